#pragma once

#include "clsitem.h"
#include "clsscroller.h"
#include "fieldrules.h"

#include <QString>
#include <QStringList>

class frmMain;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class UpDown;

// One field of the Properties or Items tab: its widget, the record member it edits, its check,
// the name of its undo step and its help number. frmMain::fieldTable() holds one row per field;
// the layout, showing and taking in a record, the checks and the help all read it.
struct FieldRow {
    enum class Place { ScrollerFrame, ItemFrame, ItemsTab };
    enum class Check { None, Name, Range };

    Place place = Place::ScrollerFrame;
    const char* key = ""; // the widgets are txt/cbo + key, lbl + key and ud + key
    QString caption;      // the label's; without its colon, the field's accessible name
    QString tip;
    QString undoName;
    int help = 0;

    // The widget: one of these.
    QLineEdit* frmMain::*line = nullptr;
    QComboBox* frmMain::*list = nullptr;
    QPlainTextEdit* frmMain::*box = nullptr;
    UpDown* frmMain::*spinner = nullptr; // beside a line with a range check
    QStringList entries;                 // a list's
    int unknownAs = -1;                  // the entry a list shows for a value it does not have

    // The record member: one of these.
    QString clsScroller::*text = nullptr;
    qint16 clsScroller::*choice = nullptr;
    QString clsItem::*itemText = nullptr;

    Check check = Check::None;
    fieldrules::NumericField bounds = fieldrules::NumericField::ScrWidth;
    // Only a sideways scroller uses the field: it is off while the direction is up or down.
    bool across = false;

    bool ofItem() const { return itemText != nullptr; }
    // The message of the rule the text breaks, or an empty string when the check passes it.
    QString problem(const QString& text) const;
    FieldRow lineIn(QLineEdit* frmMain::*w) const;
    FieldRow numberIn(QLineEdit* frmMain::*w, UpDown* frmMain::*u,
                      fieldrules::NumericField b) const;
    FieldRow listIn(QComboBox* frmMain::*w, const QStringList& items, int unknown) const;
    FieldRow boxIn(QPlainTextEdit* frmMain::*w) const;
    FieldRow of(QString clsScroller::*m) const;
    FieldRow of(qint16 clsScroller::*m) const;
    FieldRow of(QString clsItem::*m) const;
    FieldRow named() const;
    FieldRow sideways() const;
};
