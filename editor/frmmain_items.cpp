// The item list: choosing the item whose fields are shown, the Item menu's commands, and the
// list following the document's items.
#include "frmmain.h"

#include "fieldrow.h"

#include "itemlistview.h"

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScopedValueRollback>
#include <QShortcut>

void frmMain::connectItemCommands() {
    connect(mnuItemAdd, &QAction::triggered, this, &frmMain::mnuItemAdd_Click);
    connect(mnuItemDelete, &QAction::triggered, this, &frmMain::mnuItemDelete_Click);
    connect(mnuItemMoveUp, &QAction::triggered, this, &frmMain::mnuItemMoveUp_Click);
    connect(mnuItemMoveDown, &QAction::triggered, this, &frmMain::mnuItemMoveDown_Click);
    connect(mnuEditCut, &QAction::triggered, this, &frmMain::mnuEditCut_Click);
    connect(mnuEditCopy, &QAction::triggered, this, &frmMain::mnuEditCopy_Click);
    connect(mnuEditPaste, &QAction::triggered, this, &frmMain::mnuEditPaste_Click);
    // While the list has the focus the usual editing keys act on whole items; in a text field
    // they act on the text. The Edit menu itself shows no keys.
    tvItm->addAction(mnuItemDelete);
    // Only the Ctrl forms: Shift+Del, another form of Cut, deletes the item in the list.
    const std::pair<const char*, QAction*> listKeys[] = {
        {"Ctrl+X", mnuEditCut}, {"Ctrl+C", mnuEditCopy}, {"Ctrl+V", mnuEditPaste}};
    for (const auto& [key, action] : listKeys)
        new QShortcut(QKeySequence(QLatin1String(key)), tvItm, action, &QAction::trigger,
                      Qt::WidgetShortcut);
    // A click on the item already shown stores and shows it again, as any click does.
    connect(tvItm, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
        if (item && tvItm->indexOfTopLevelItem(item) == m_doc->current())
            tvItm_NodeClick(item);
    });
    tvItm->setMoveHandler([this](int from, int to) { tvItm_Drop(from, to); });
    buildMarkupButtons();
}

void frmMain::connectDocument() {
    connect(m_doc, &EditorDocument::itemsReset, this, &frmMain::listReset);
    connect(m_doc, &EditorDocument::itemInserted, this, [this](int row) {
        const QScopedValueRollback<bool> syncing(m_syncingList, true);
        tvItm->insertTopLevelItem(row, new QTreeWidgetItem({m_doc->item(row).sName}));
        syncListCurrent();
    });
    connect(m_doc, &EditorDocument::itemRemoved, this, [this](int row) {
        const QScopedValueRollback<bool> syncing(m_syncingList, true);
        delete tvItm->takeTopLevelItem(row);
        syncListCurrent();
    });
    connect(m_doc, &EditorDocument::itemMoved, this, [this](int from, int to) {
        const QScopedValueRollback<bool> syncing(m_syncingList, true);
        QTreeWidgetItem* node = tvItm->takeTopLevelItem(from);
        node->setText(0, m_doc->item(to).sName);
        tvItm->insertTopLevelItem(to, node);
        syncListCurrent();
    });
    connect(m_doc, &EditorDocument::itemChanged, this, [this](int row) {
        if (QTreeWidgetItem* node = tvItm->topLevelItem(row))
            node->setText(0, m_doc->item(row).sName);
        // While the fields are being committed they already show the record.
        if (row == m_doc->current() && !m_committing)
            ShowItemFields();
    });
    connect(m_doc, &EditorDocument::currentChanged, this, &frmMain::showCurrent);
    connect(m_doc, &EditorDocument::scrollerChanged, this, [this] {
        if (!m_committing)
            SyncScrollerFields(false);
    });
    connect(m_doc, &EditorDocument::stateChanged, this, &frmMain::RefreshControls);
}

void frmMain::listReset() {
    const QScopedValueRollback<bool> syncing(m_syncingList, true);
    tvItm->clear();
    QList<QTreeWidgetItem*> nodes;
    nodes.reserve(m_doc->count());
    for (int i = 0; i < m_doc->count(); ++i)
        nodes << new QTreeWidgetItem({m_doc->item(i).sName});
    tvItm->addTopLevelItems(nodes);
    syncListCurrent();
}

void frmMain::syncListCurrent() {
    // The list marks the document's current item, whatever the widget chose on a removal.
    const QScopedValueRollback<bool> syncing(m_syncingList, true);
    QTreeWidgetItem* node = tvItm->topLevelItem(m_doc->current());
    if (tvItm->currentItem() != node)
        tvItm->setCurrentItem(node);
    if (node)
        tvItm->scrollToItem(node);
}

void frmMain::showCurrent() {
    syncListCurrent();
    if (m_doc->current() >= 0)
        ShowItemFields();
    else
        showNoItem();
    RefreshControls();
}

void frmMain::tvItm_NodeClick(QTreeWidgetItem* item) {
    if (!item)
        return;
    commitFields();
    const int row = tvItm->indexOfTopLevelItem(item);
    if (row == m_doc->current())
        ShowItemFields();
    else
        m_doc->setCurrent(row);
    RefreshControls();
}

void frmMain::showNoItem() {
    // With no current item the fields belong to nothing: they are emptied, and RefreshControls
    // switches them off until an item is added or pasted.
    {
        const QScopedValueRollback<bool> showing(m_showingRecord, true);
        for (const FieldRow& f : fieldTable())
            if (f.ofItem())
                showText(f, QString());
    }
    clearItemUndo();
    // The list keeps the keyboard, so Add and Paste are at hand.
    if (fraItmAttr->isAncestorOf(QApplication::focusWidget()))
        tvItm->setFocus(Qt::OtherFocusReason);
}

void frmMain::mnuItemAdd_Click() {
    commitFields();
    const bool hadCurrent = m_doc->current() >= 0;
    m_doc->addItem();
    if (!hadCurrent)
        tvItm->setFocus(Qt::OtherFocusReason);
    RefreshControls();
}

void frmMain::mnuItemDelete_Click() {
    commitFields();
    m_doc->deleteItem(m_doc->current());
    RefreshControls();
}

void frmMain::mnuItemMoveDown_Click() {
    commitFields();
    const int row = m_doc->current();
    m_doc->moveItem(row, row + 1, QStringLiteral("Move Item Down"));
    RefreshControls();
}

void frmMain::mnuItemMoveUp_Click() {
    commitFields();
    const int row = m_doc->current();
    m_doc->moveItem(row, row - 1, QStringLiteral("Move Item Up"));
    RefreshControls();
}

void frmMain::tvItm_Drop(int from, int to) {
    commitFields();
    m_doc->moveItem(from, to, QStringLiteral("Move Item"));
    RefreshControls();
}
