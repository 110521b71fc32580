// Document state: clearing, copying between fields and records, loading.
#include "frmmain.h"

#include "modstring.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScopedValueRollback>
#include <QTextCursor>

#include <algorithm>
#include <tuple>

namespace {

QString toFieldLineBreaks(const QString& modelText) {
    QString out = modelText;
    out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    out.replace(u'\r', u'\n');
    return out;
}

// Line breaks as the text field delivers them (LF), as the model holds them (CR LF).
QString toModelLineBreaks(const QString& fieldText) {
    QString out = toFieldLineBreaks(fieldText);
    out.replace(u'\n', QStringLiteral("\r\n"));
    return out;
}

} // namespace

void frmMain::setFieldText(QLineEdit* field, const QString& text) {
    // Setting a field to the text it holds is no change.
    if (field->text() != text)
        field->setText(text);
}

QString frmMain::itemText() const {
    return toModelLineBreaks(txtItmText->toPlainText());
}

void frmMain::setItemText(const QString& text) {
    const QString shown = toFieldLineBreaks(text);
    if (txtItmText->toPlainText() != shown)
        txtItmText->setPlainText(shown);
}

namespace {

// Where a caret at pos in before stands once the text reads after: the unchanged start and end
// keep their places, a place inside the rewritten middle goes to the middle's end.
int keptPosition(const QString& before, const QString& after, int pos) {
    const qsizetype shorter = std::min(before.size(), after.size());
    qsizetype head = 0;
    while (head < shorter && before[head] == after[head])
        ++head;
    qsizetype tail = 0;
    while (tail < shorter - head &&
           before[before.size() - 1 - tail] == after[after.size() - 1 - tail])
        ++tail;
    if (pos <= head)
        return pos;
    if (pos >= before.size() - tail)
        return int(pos + after.size() - before.size());
    return int(after.size() - tail);
}

} // namespace

void frmMain::cleanItemText(const QString& text) {
    // A cleanup rewrites the text the user is working in: the caret and the selection stay on
    // the same characters, so a following markup command acts on what was selected.
    const QString before = txtItmText->toPlainText();
    const QString after = toFieldLineBreaks(text);
    if (before == after)
        return;
    QTextCursor c = txtItmText->textCursor();
    const int anchor = keptPosition(before, after, c.anchor());
    const int position = keptPosition(before, after, c.position());
    txtItmText->setPlainText(after);
    c = txtItmText->textCursor();
    c.setPosition(anchor);
    c.setPosition(position, QTextCursor::KeepAnchor);
    txtItmText->setTextCursor(c);
}

void frmMain::clearItemUndo() {
    forgetFieldTyping(txtItmName);
    forgetFieldTyping(txtItmWidth);
    forgetFieldTyping(txtItmText);
}

void frmMain::forgetFieldTyping(QWidget* field) {
    // Typing taken into the document is undone through the document from now on; the caret
    // and the selection stay where they are.
    if (auto* line = qobject_cast<QLineEdit*>(field)) {
        const int start = line->selectionStart();
        const int length = line->selectedText().size();
        const int caret = line->cursorPosition();
        const QScopedValueRollback<bool> showing(m_showingRecord, true);
        line->setText(line->text());
        if (start >= 0)
            line->setSelection(caret == start ? start + length : start,
                               caret == start ? -length : length);
        else
            line->setCursorPosition(caret);
    } else if (auto* edit = qobject_cast<QPlainTextEdit*>(field)) {
        edit->document()->clearUndoRedoStacks();
    }
}

bool frmMain::fieldCanUndo(QObject* field, bool redo) const {
    if (auto* line = qobject_cast<QLineEdit*>(field))
        return redo ? line->isRedoAvailable() : line->isUndoAvailable();
    if (auto* edit = qobject_cast<QPlainTextEdit*>(field))
        return redo ? edit->document()->isRedoAvailable() : edit->document()->isUndoAvailable();
    return false;
}

void frmMain::ClearForm() {
    // The document's New and Open empty the records and the list; these are the window's own.
    bFieldError = false;
    m_fieldsEdited = false;
    m_commitTimer->stop();
    cboScrDirn_Click();
}

namespace {

// The name of a change for the Edit menu: the one field that changed, else the whole.
template <class Record>
QString
changeName(const Record& before, const Record& after,
           std::initializer_list<std::pair<bool (*)(const Record&, const Record&), QString>> fields,
           const QString& whole) {
    QString one;
    for (const auto& [same, name] : fields) {
        if (same(before, after))
            continue;
        if (!one.isEmpty())
            return whole;
        one = name;
    }
    return one.isEmpty() ? whole : one;
}

} // namespace

void frmMain::SyncScrollerFields(bool bToRecord, const QString& what) {
    if (bToRecord) {
        clsScroller s = m_doc->scroller();
        fieldsInto(s);
        keepGoodValues(s);
        const clsScroller& b = m_doc->scroller();
        using S = clsScroller;
        const QString name =
            !what.isEmpty()
                ? what
                : changeName<S>(b, s,
                                {{[](const S& x, const S& y) { return x.sName == y.sName; },
                                  QStringLiteral("Edit Scroller Name")},
                                 {[](const S& x, const S& y) { return x.sWidth == y.sWidth; },
                                  QStringLiteral("Edit Scroller Width")},
                                 {[](const S& x, const S& y) { return x.sHeight == y.sHeight; },
                                  QStringLiteral("Edit Scroller Height")},
                                 {[](const S& x, const S& y) { return x.sSpeed == y.sSpeed; },
                                  QStringLiteral("Edit Scroll Speed")},
                                 {[](const S& x, const S& y) { return x.iDirn == y.iDirn; },
                                  QStringLiteral("Change Scroll Direction")},
                                 {[](const S& x, const S& y) { return x.iMsePause == y.iMsePause; },
                                  QStringLiteral("Change Mouseover Pause")},
                                 {[](const S& x, const S& y) { return x.sDefWidth == y.sDefWidth; },
                                  QStringLiteral("Edit Default Width")},
                                 {[](const S& x, const S& y) { return x.sSpacing == y.sSpacing; },
                                  QStringLiteral("Edit Spacing")},
                                 {[](const S& x, const S& y) { return x.sPause == y.sPause; },
                                  QStringLiteral("Edit Pause")}},
                                QStringLiteral("Edit Scroller Settings"));
        m_doc->setScroller(s, name);
        return;
    }
    const QScopedValueRollback<bool> showing(m_showingRecord, true);
    const clsScroller copy = m_doc->scroller(); // the change logic must not see a half copy
    setFieldText(txtScrName, copy.sName);
    setFieldText(txtScrWidth, copy.sWidth);
    setFieldText(txtScrHeight, copy.sHeight);
    setFieldText(txtScrSpeed, copy.sSpeed);
    const int dirn = copy.iDirn >= 0 && copy.iDirn < cboScrDirn->count() ? copy.iDirn : -1;
    if (cboScrDirn->currentIndex() != dirn)
        cboScrDirn->setCurrentIndex(dirn);
    cboScrDirn_Click();
    cboScrMsePause->setCurrentIndex(copy.iMsePause == 0 ? 0 : 1);
    setFieldText(txtScrDefWidth, copy.sDefWidth);
    setFieldText(txtScrSpacing, copy.sSpacing);
    setFieldText(txtScrPause, copy.sPause);
    for (QLineEdit* f : {txtScrName, txtScrWidth, txtScrHeight, txtScrSpeed, txtScrDefWidth,
                         txtScrSpacing, txtScrPause})
        forgetFieldTyping(f);
}

void frmMain::ShowItemFields() {
    const int row = m_doc->current();
    if (row < 0)
        return;
    const QScopedValueRollback<bool> showing(m_showingRecord, true);
    const clsItem item = m_doc->item(row);
    setFieldText(txtItmName, item.sName);
    setItemText(item.sText);
    setFieldText(txtItmWidth, item.sWidth);
    // Undo in a field never brings back what another item held.
    clearItemUndo();
    // Refused typing in the item's width went with the item shown before.
    if (m_fieldsEdited && !m_commitTimer->isActive())
        m_fieldsEdited = refusedTypingField() != nullptr;
}

void frmMain::StoreItemFields(const QString& what, bool cleanFields) {
    const int row = m_doc->current();
    if (row < 0)
        return;
    // What goes into the record is what a saved script gives back; the fields show the same.
    clsItem item;
    item.sName = modString::ScriptSafe(txtItmName->text());
    item.sText = modString::ScriptSafe(itemText());
    // A refused width stays in its field, and out of the record.
    const bool widthRefused = fieldRefused(txtItmWidth);
    item.sWidth =
        widthRefused ? m_doc->item(row).sWidth : modString::ScriptSafe(txtItmWidth->text());
    if (cleanFields) {
        const QScopedValueRollback<bool> showing(m_showingRecord, true);
        setFieldText(txtItmName, item.sName);
        cleanItemText(item.sText);
        if (!widthRefused)
            setFieldText(txtItmWidth, item.sWidth);
    }
    using I = clsItem;
    const QString name =
        !what.isEmpty()
            ? what
            : changeName<I>(m_doc->item(row), item,
                            {{[](const I& x, const I& y) { return x.sName == y.sName; },
                              QStringLiteral("Edit Item Name")},
                             {[](const I& x, const I& y) { return x.sText == y.sText; },
                              QStringLiteral("Edit Item Text")},
                             {[](const I& x, const I& y) { return x.sWidth == y.sWidth; },
                              QStringLiteral("Edit Item Width")}},
                            QStringLiteral("Edit Item"));
    m_doc->setItem(row, item, name);
}

void frmMain::commitFields(const QString& what, bool cleanFields) {
    m_commitTimer->stop();
    if (m_committing)
        return;
    {
        const QScopedValueRollback<bool> committing(m_committing, true);
        m_fieldsEdited = false;
        StoreItemFields(what, cleanFields);
        SyncScrollerFields(true, what);
    }
    // Refused typing is still the user's, to correct or to take back in the field.
    m_fieldsEdited = refusedTypingField() != nullptr;
    if (m_doc->current() >= 0) {
        forgetFieldTyping(txtItmName);
        forgetFieldTyping(txtItmText);
    }
    for (QLineEdit* f : {txtScrName, txtScrWidth, txtScrHeight, txtScrSpeed, txtScrDefWidth,
                         txtScrSpacing, txtScrPause, txtItmWidth})
        if (!fieldRefused(f) && (f != txtItmWidth || m_doc->current() >= 0))
            forgetFieldTyping(f);
}

void frmMain::keepGoodValues(clsScroller& s) const {
    const clsScroller& b = m_doc->scroller();
    const std::tuple<QLineEdit*, QString*, const QString*> fields[] = {
        {txtScrName, &s.sName, &b.sName},
        {txtScrWidth, &s.sWidth, &b.sWidth},
        {txtScrHeight, &s.sHeight, &b.sHeight},
        {txtScrSpeed, &s.sSpeed, &b.sSpeed},
        {txtScrDefWidth, &s.sDefWidth, &b.sDefWidth},
        {txtScrSpacing, &s.sSpacing, &b.sSpacing},
        {txtScrPause, &s.sPause, &b.sPause}};
    for (const auto& [field, value, good] : fields)
        if (fieldRefused(field))
            *value = *good;
}

QLineEdit* frmMain::refusedTypingField() const {
    const clsScroller& s = m_doc->scroller();
    const int row = m_doc->current();
    const std::pair<QLineEdit*, QString> fields[] = {
        {txtScrName, s.sName},
        {txtScrWidth, s.sWidth},
        {txtScrHeight, s.sHeight},
        {txtScrSpeed, s.sSpeed},
        {txtScrDefWidth, s.sDefWidth},
        {txtScrSpacing, s.sSpacing},
        {txtScrPause, s.sPause},
        {txtItmWidth, row >= 0 ? m_doc->item(row).sWidth : QString()}};
    for (const auto& [field, kept] : fields)
        if ((field != txtItmWidth || row >= 0) && fieldRefused(field) && field->text() != kept)
            return field;
    return nullptr;
}

void frmMain::undoStep(bool redo) {
    // Typing not yet taken in is a step of its own, and the first to go.
    commitFields();
    if (m_fieldsEdited) {
        // What is left is typing the checks refuse: Undo takes it back, Redo has nothing.
        if (!redo) {
            SyncScrollerFields(false);
            ShowItemFields();
            m_fieldsEdited = false;
            bFieldError = false;
        }
        RefreshControls();
        return;
    }
    int touched = -1; // the tab that shows what the step changed
    const auto settings =
        connect(m_doc, &EditorDocument::scrollerChanged, this, [&touched] { touched = 0; });
    const auto items =
        connect(m_doc, &EditorDocument::currentChanged, this, [&touched] { touched = 1; });
    const auto item =
        connect(m_doc, &EditorDocument::itemChanged, this, [&touched] { touched = 1; });
    if (redo)
        m_doc->undoStack()->redo();
    else
        m_doc->undoStack()->undo();
    for (const auto& c : {settings, items, item})
        disconnect(c);
    if (touched >= 0 && touched != tabMain->currentIndex())
        tabMain->setCurrentIndex(touched);
    RefreshControls();
}

void frmMain::mnuEditUndo_Click() {
    undoStep(false);
}

void frmMain::mnuEditRedo_Click() {
    undoStep(true);
}
