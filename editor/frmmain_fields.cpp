// The Properties and Item fields as one table, and what reads it: fields to records and back,
// the checks' verdicts and the names of the undo steps.
#include "frmmain.h"

#include "fieldrow.h"
#include "modstring.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

FieldRow FieldRow::lineIn(QLineEdit* frmMain::*w) const {
    FieldRow r = *this;
    r.line = w;
    return r;
}

FieldRow FieldRow::numberIn(QLineEdit* frmMain::*w, UpDown* frmMain::*u,
                            fieldrules::NumericField b) const {
    FieldRow r = lineIn(w);
    r.spinner = u;
    r.check = Check::Range;
    r.bounds = b;
    return r;
}

FieldRow FieldRow::listIn(QComboBox* frmMain::*w, const QStringList& items, int unknown) const {
    FieldRow r = *this;
    r.list = w;
    r.entries = items;
    r.unknownAs = unknown;
    return r;
}

FieldRow FieldRow::boxIn(QPlainTextEdit* frmMain::*w) const {
    FieldRow r = *this;
    r.box = w;
    return r;
}

FieldRow FieldRow::of(QString clsScroller::*m) const {
    FieldRow r = *this;
    r.text = m;
    return r;
}

FieldRow FieldRow::of(qint16 clsScroller::*m) const {
    FieldRow r = *this;
    r.choice = m;
    return r;
}

FieldRow FieldRow::of(QString clsItem::*m) const {
    FieldRow r = *this;
    r.itemText = m;
    return r;
}

FieldRow FieldRow::named() const {
    FieldRow r = *this;
    r.check = Check::Name;
    return r;
}

FieldRow FieldRow::sideways() const {
    FieldRow r = *this;
    r.across = true;
    return r;
}

const std::vector<FieldRow>& frmMain::fieldTable() {
    using P = FieldRow::Place;
    using N = fieldrules::NumericField;
    using S = clsScroller;
    const auto row = [](P place, const char* key, const char* caption, const char* tip,
                        const char* undo, int help) {
        FieldRow r;
        r.place = place;
        r.key = key;
        r.caption = QString::fromUtf8(caption);
        r.tip = QString::fromUtf8(tip);
        r.undoName = QString::fromUtf8(undo);
        r.help = help;
        return r;
    };
    // In tab order.
    static const std::vector<FieldRow> table = {
        row(P::ScrollerFrame, "ScrName", "Name:",
            "Scroller name. The name must contain only alphanumeric characters and must not "
            "begin with a number.",
            "Edit Scroller Name", 1001)
            .lineIn(&frmMain::txtScrName)
            .of(&S::sName)
            .named(),
        row(P::ScrollerFrame, "ScrWidth", "Width (px):", "Scroller width", "Edit Scroller Width",
            1002)
            .numberIn(&frmMain::txtScrWidth, &frmMain::udScrWidth, N::ScrWidth)
            .of(&S::sWidth),
        row(P::ScrollerFrame, "ScrHeight", "Height (px):", "Scroller height",
            "Edit Scroller Height", 1003)
            .numberIn(&frmMain::txtScrHeight, &frmMain::udScrHeight, N::ScrHeight)
            .of(&S::sHeight),
        row(P::ScrollerFrame, "ScrSpeed", "Scroll Speed (ms):", "Scroller speed",
            "Edit Scroll Speed", 1004)
            .numberIn(&frmMain::txtScrSpeed, &frmMain::udScrSpeed, N::ScrSpeed)
            .of(&S::sSpeed),
        // A direction the list does not have (from a hand-written script) shows as none.
        row(P::ScrollerFrame, "ScrDirn", "Scroll Direction:", "Scroll direction",
            "Change Scroll Direction", 1005)
            .listIn(&frmMain::cboScrDirn,
                    {QStringLiteral("Top < Bottom"), QStringLiteral("Top > Bottom"),
                     QStringLiteral("Left < Right"), QStringLiteral("Left > Right")},
                    -1)
            .of(&S::iDirn),
        // Any value but 0 stops no scrolling under the mouse.
        row(P::ScrollerFrame, "ScrMsePause", "Mouseover Pause:", "", "Change Mouseover Pause", 1006)
            .listIn(&frmMain::cboScrMsePause, {QStringLiteral("Yes"), QStringLiteral("No")}, 1)
            .of(&S::iMsePause),
        row(P::ItemFrame, "ScrDefWidth", "Default Width (px):",
            "Default item width. Not required for vertical scroller.", "Edit Default Width", 2001)
            .numberIn(&frmMain::txtScrDefWidth, &frmMain::udScrDefWidth, N::ScrDefWidth)
            .of(&S::sDefWidth)
            .sideways(),
        row(P::ItemFrame, "ScrSpacing", "Spacing (px):", "Spacing between items", "Edit Spacing",
            2002)
            .numberIn(&frmMain::txtScrSpacing, &frmMain::udScrSpacing, N::ScrSpacing)
            .of(&S::sSpacing),
        row(P::ItemFrame, "ScrPause", "Pause (ms):", "Item pause after scrolling into view",
            "Edit Pause", 2003)
            .numberIn(&frmMain::txtScrPause, &frmMain::udScrPause, N::ScrPause)
            .of(&S::sPause),
        row(P::ItemsTab, "ItmName", "Name",
            "Item name. For reference only. This will not be displayed.", "Edit Item Name", 3001)
            .lineIn(&frmMain::txtItmName)
            .of(&clsItem::sName),
        row(P::ItemsTab, "ItmWidth", "Width (px)",
            "Item width. Not required for vertical scroller.", "Edit Item Width", 3002)
            .numberIn(&frmMain::txtItmWidth, &frmMain::udItmWidth, N::ItmWidth)
            .of(&clsItem::sWidth)
            .sideways(),
        row(P::ItemsTab, "ItmText", "Text",
            "Item text. This will be displayed. HTML syntax supported.", "Edit Item Text", 3003)
            .boxIn(&frmMain::txtItmText)
            .of(&clsItem::sText),
    };
    return table;
}

QWidget* frmMain::widgetOf(const FieldRow& f) const {
    if (f.line)
        return this->*f.line;
    if (f.list)
        return this->*f.list;
    return this->*f.box;
}

QLabel* frmMain::labelOf(const FieldRow& f) const {
    return findChild<QLabel*>(QLatin1String("lbl") + QLatin1String(f.key));
}

const FieldRow* frmMain::rowOf(const QWidget* widget) const {
    for (const FieldRow& f : fieldTable())
        if (widget && widgetOf(f) == widget)
            return &f;
    return nullptr;
}

QString frmMain::typedText(const FieldRow& f) const {
    return f.line ? (this->*f.line)->text() : itemText();
}

void frmMain::showText(const FieldRow& f, const QString& text, bool clean) {
    if (f.line)
        setFieldText(this->*f.line, text);
    else if (clean)
        cleanItemText(text);
    else
        setItemText(text);
}

QString FieldRow::problem(const QString& text) const {
    switch (check) {
    case Check::Name:
        return fieldrules::CheckVariableName(text);
    case Check::Range:
        return fieldrules::rangeProblem(text, bounds);
    case Check::None:
        break;
    }
    return QString();
}

bool frmMain::fieldRefused(const FieldRow& f) const {
    return f.line && (this->*f.line)->isEnabled() && !f.problem((this->*f.line)->text()).isEmpty();
}

void frmMain::fieldsInto(clsScroller& s) const {
    for (const FieldRow& f : fieldTable()) {
        if (f.text)
            s.*f.text = typedText(f);
        // A list without a choice keeps the value as read.
        else if (f.choice && (this->*f.list)->currentIndex() >= 0)
            s.*f.choice = qint16((this->*f.list)->currentIndex());
    }
}

void frmMain::itemFieldsInto(clsItem& item) const {
    for (const FieldRow& f : fieldTable())
        if (f.ofItem())
            item.*f.itemText = modString::ScriptSafe(typedText(f));
}

void frmMain::keepGoodValues(clsScroller& s) const {
    const clsScroller& good = m_doc->scroller();
    for (const FieldRow& f : fieldTable())
        if (f.text && fieldRefused(f))
            s.*f.text = good.*f.text;
}

QLineEdit* frmMain::refusedTypingField() const {
    const int row = m_doc->current();
    for (const FieldRow& f : fieldTable()) {
        if (!f.line || (f.ofItem() && row < 0) || !fieldRefused(f))
            continue;
        const QString kept = f.ofItem() ? m_doc->item(row).*f.itemText : m_doc->scroller().*f.text;
        if ((this->*f.line)->text() != kept)
            return this->*f.line;
    }
    return nullptr;
}

namespace {

// The name of a change for the Edit menu: the one field that changed, else the whole.
template <class Same>
QString changeName(const std::vector<FieldRow>& rows, Same same, const QString& whole) {
    QString one;
    for (const FieldRow& f : rows) {
        if (same(f))
            continue;
        if (!one.isEmpty())
            return whole;
        one = f.undoName;
    }
    return one.isEmpty() ? whole : one;
}

} // namespace

QString frmMain::stepName(const clsScroller& before, const clsScroller& after) {
    return changeName(
        fieldTable(),
        [&](const FieldRow& f) {
            if (f.text)
                return before.*f.text == after.*f.text;
            return !f.choice || before.*f.choice == after.*f.choice;
        },
        QStringLiteral("Edit Scroller Settings"));
}

QString frmMain::stepName(const clsItem& before, const clsItem& after) {
    return changeName(
        fieldTable(),
        [&](const FieldRow& f) { return !f.ofItem() || before.*f.itemText == after.*f.itemText; },
        QStringLiteral("Edit Item"));
}
