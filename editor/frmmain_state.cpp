// Document state: clearing, copying between fields and records, loading.
#include "frmmain.h"

#include "document.h"
#include "editorrules.h"
#include "itemnode.h"
#include "scriptreader.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScopedValueRollback>
#include <QTextCursor>
#include <QTreeWidget>

#include <algorithm>

void frmMain::setFieldText(QLineEdit* field, const QString& text) {
    // Setting a field to the text it holds is no change.
    if (field->text() != text)
        field->setText(text);
}

QString frmMain::itemText() const {
    return editorrules::toModelLineBreaks(txtItmText->toPlainText());
}

void frmMain::setItemText(const QString& text) {
    const QString shown = editorrules::toFieldLineBreaks(text);
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
    const QString after = editorrules::toFieldLineBreaks(text);
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
    // Setting a line edit's text, also the text it holds, starts its undo history afresh.
    txtItmName->setText(txtItmName->text());
    txtItmWidth->setText(txtItmWidth->text());
    txtItmText->document()->clearUndoRedoStacks();
}

void frmMain::ClearForm() {
    oSelNode = nullptr;
    m_itm.clear();
    m_tmp.clear();
    m_feed = feed::Source();
    bFieldError = false;
    iNextItem = 1;
    setFieldText(txtItmName, QString());
    setFieldText(txtItmWidth, QString());
    setItemText(QString());
    for (QLineEdit* f : {txtScrName, txtScrWidth, txtScrHeight, txtScrDefWidth, txtScrSpacing,
                         txtScrPause, txtScrSpeed})
        setFieldText(f, QString());
    cboScrMsePause->setCurrentIndex(0);
    cboScrDirn->setCurrentIndex(0);
    cboScrDirn_Click();
    oScroller = clsScroller();
    SyncScrollerFields(true);
    sFilePath.clear();
    sProjectFolder.clear();
    m_encoding = TextEncoding::Utf8;
    bDirty = false;
}

void frmMain::SyncScrollerFields(bool bToRecord) {
    clsScroller& s = oScroller;
    if (bToRecord) {
        fieldsInto(s);
        return;
    }
    const clsScroller copy = s; // the change logic below must not see a half-copied record
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
}

void frmMain::ShowItemFields(ItemNode* node) {
    if (!node)
        return;
    const QScopedValueRollback<bool> showing(m_showingRecord, true);
    const clsItem item = node->oItem;
    setFieldText(txtItmName, item.sName);
    setItemText(item.sText);
    setFieldText(txtItmWidth, item.sWidth);
    // Undo in a field never brings back what another item held.
    clearItemUndo();
}

void frmMain::StoreItemFields(ItemNode* node) {
    if (!node)
        return;
    // What goes into the record is what a saved script gives back; the fields show the same.
    const QString name = editorrules::scriptSafe(txtItmName->text());
    const QString text = editorrules::scriptSafe(itemText());
    const QString width = editorrules::scriptSafe(txtItmWidth->text());
    node->setText(0, name);
    node->oItem.sName = name;
    node->oItem.sText = text;
    node->oItem.sWidth = width;
    // The fields take the cleaned values; the user's typing has already marked the document.
    const QScopedValueRollback<bool> showing(m_showingRecord, true);
    setFieldText(txtItmName, name);
    cleanItemText(text);
    setFieldText(txtItmWidth, width);
}

ScrollerDocument frmMain::buildDocument() const {
    ScrollerDocument doc;
    doc.scroller = oScroller;
    doc.encoding = m_encoding;
    const int n = tvItm->topLevelItemCount();
    doc.items.reserve(n);
    for (int i = 0; i < n; ++i) {
        clsItem item = static_cast<const ItemNode*>(tvItm->topLevelItem(i))->oItem;
        item.sName = editorrules::scriptSafe(item.sName);
        item.sText = editorrules::scriptSafe(item.sText);
        item.sWidth = editorrules::scriptSafe(item.sWidth);
        doc.items << item;
    }
    return doc;
}

bool frmMain::LoadScroller(const QString& path) {
    ScrollerDocument doc;
    doc.scroller = oScroller; // settings the file does not mention keep their value
    const scriptreader::LoadResult r = scriptreader::LoadScroller(path, doc);
    m_encoding = doc.encoding;
    oScroller = doc.scroller;

    QStringList keys;
    keys.reserve(doc.items.size());
    for (qsizetype i = 0; i < doc.items.size(); ++i)
        keys << QStringLiteral("Item%1").arg(i);
    m_itm.appendAll(keys, doc.items);
    iNextItem = qint16(std::min<int>(32767, iNextItem + r.itemsRead));

    // The reader's description says it all; what it means for a save is asked at the save.
    if (!r.ok)
        inform(r.error, platform::Dialogs::Icon::Exclamation);
    // Whatever was read is shown, also after a failure, so nothing read is hidden and then
    // overwritten by stale fields.
    if (m_itm.count() > 0) {
        oSelNode = m_itm.at(0);
        // The list marks the item the fields show.
        tvItm->setCurrentItem(oSelNode);
        ShowItemFields(oSelNode);
    }
    SyncScrollerFields(false);
    return r.ok;
}
