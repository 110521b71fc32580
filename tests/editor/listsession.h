#pragma once

// The item list's session, shared by the programs that work on items.

#include "editorsession.h"

#include "document.h"
#include "scriptreader.h"

#include <QMap>
#include <QPushButton>
#include <QTreeWidget>

// A saved document of a sideways scroller (every Item field on) with the given items, by default
// `count` items A, B, C, ... (keys Item0, Item1, ...; widths 10, 11, ...), so the counter for new
// items starts at count + 1; shown on the Items tab with its first item current.
struct ListSession : EditorSession {
    explicit ListSession(const QList<ScriptItem>& items) {
        open(itemsScript(2, items), QStringLiteral("list.js"), 1);
    }
    explicit ListSession(int count = 3) : ListSession(letteredItems(count, true)) {}
    QStringList shown() const {
        return {field("txtItmName")->text(), text()->toPlainText(), field("txtItmWidth")->text()};
    }
    void clickRow(int i, Qt::KeyboardModifiers modifiers = Qt::NoModifier) const {
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, modifiers,
                          list()->visualItemRect(node(i)).center());
    }
    void ctrlZ(QWidget* target, bool redo = false) const {
        QTest::keyClick(target, Qt::Key_Z,
                        redo ? Qt::ControlModifier | Qt::ShiftModifier : Qt::ControlModifier);
    }
    QString undoText() const { return action("mnuEditUndo")->text(); }
    bool starred() const { return w->windowTitle().endsWith(QStringLiteral("*]")); }
    // What the document holds for a field (the first item's for an Item field).
    QString recorded(const QString& field) const {
        const clsScroller& r = w->scroller();
        return QMap<QString, QString>{{"txtScrName", r.sName},
                                      {"txtItmName", doc().item(0).sName},
                                      {"txtScrWidth", r.sWidth},
                                      {"txtScrHeight", r.sHeight},
                                      {"txtScrSpeed", r.sSpeed},
                                      {"txtScrDefWidth", r.sDefWidth},
                                      {"txtScrSpacing", r.sSpacing},
                                      {"txtScrPause", r.sPause},
                                      {"txtItmWidth", doc().item(0).sWidth}}
            .value(field, QStringLiteral("?"));
    }
};
