#pragma once

#include <QString>
#include <QStringView>

// One item of the scroller. Single quotes in sName and sText are held escaped ("\'"), exactly
// as they go into the script; the item itself never escapes anything.
class clsItem {
public:
    QString sName;
    QString sText;
    QString sWidth;

    clsItem Clone() const { return *this; }

    // The argument part of an add call: .add('text', 'width', 'name');
    QString ToString() const;
    void appendTo(QString& s) const; // the same, appended

    // Characters ToString() gives.
    qsizetype stringLength() const { return sText.size() + sWidth.size() + sName.size() + 15; }

    // Fills the fields from a script line; an argument the line lacks leaves its field as it was.
    void SetItem(QStringView sCode);

    friend bool operator==(const clsItem& a, const clsItem& b) {
        return a.sName == b.sName && a.sText == b.sText && a.sWidth == b.sWidth;
    }
    friend bool operator!=(const clsItem& a, const clsItem& b) { return !(a == b); }
};
