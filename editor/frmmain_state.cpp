// Document state: clearing, copying between fields and records, loading.
#include "frmmain.h"

#include "fieldrow.h"
#include "modstring.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScopedValueRollback>
#include <QTextCursor>

#include <algorithm>

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
    for (const FieldRow& f : fieldTable())
        if (f.ofItem())
            forgetFieldTyping(widgetOf(f));
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

void frmMain::SyncScrollerFields(bool bToRecord, const QString& what) {
    if (bToRecord) {
        clsScroller s = m_doc->scroller();
        fieldsInto(s);
        keepGoodValues(s);
        m_doc->setScroller(s, !what.isEmpty() ? what : stepName(m_doc->scroller(), s));
        return;
    }
    const QScopedValueRollback<bool> showing(m_showingRecord, true);
    const clsScroller copy = m_doc->scroller(); // the change logic must not see a half copy
    for (const FieldRow& f : fieldTable()) {
        if (f.text) {
            showText(f, copy.*f.text);
        } else if (f.choice) {
            QComboBox* list = this->*f.list;
            const int v = copy.*f.choice;
            const int index = v >= 0 && v < list->count() ? v : f.unknownAs;
            if (list->currentIndex() != index)
                list->setCurrentIndex(index);
        }
    }
    cboScrDirn_Click();
    for (const FieldRow& f : fieldTable())
        if (f.text)
            forgetFieldTyping(widgetOf(f));
}

void frmMain::ShowItemFields() {
    const int row = m_doc->current();
    if (row < 0)
        return;
    const QScopedValueRollback<bool> showing(m_showingRecord, true);
    const clsItem item = m_doc->item(row);
    for (const FieldRow& f : fieldTable())
        if (f.ofItem())
            showText(f, item.*f.itemText);
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
    itemFieldsInto(item);
    const clsItem& was = m_doc->item(row);
    for (const FieldRow& f : fieldTable()) {
        if (!f.ofItem())
            continue;
        // A refused value stays in its field, and out of the record.
        if (fieldRefused(f)) {
            item.*f.itemText = was.*f.itemText;
        } else if (cleanFields) {
            const QScopedValueRollback<bool> showing(m_showingRecord, true);
            showText(f, item.*f.itemText, true);
        }
    }
    m_doc->setItem(row, item, !what.isEmpty() ? what : stepName(was, item));
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
    for (const FieldRow& f : fieldTable())
        if (!f.list && (!f.ofItem() || m_doc->current() >= 0) && !fieldRefused(f))
            forgetFieldTyping(widgetOf(f));
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
