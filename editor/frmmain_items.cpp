// The item list: choosing the item whose fields are shown, the Item menu's commands, and the
// copying of nodes between the list and the clipboard list.
#include "frmmain.h"

#include "itemnode.h"

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScopedValueRollback>
#include <QShortcut>
#include <QTreeWidget>

#include <limits>

namespace {

const QString kCopySuffix = QStringLiteral("Dst");
const QString kSourceSuffix = QStringLiteral("Src");

} // namespace

void frmMain::connectItemCommands() {
    m_itm.setWidget(tvItm);
    m_tmp.setWidget(tvTmp);
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
        if (item && item == oSelNode)
            tvItm_NodeClick(item);
    });
    buildMarkupButtons();
}

void frmMain::tvItm_NodeClick(QTreeWidgetItem* item) {
    auto* node = static_cast<ItemNode*>(item);
    if (!node)
        return;
    StoreItemFields(oSelNode);
    oSelNode = node;
    ShowItemFields(oSelNode);
    RefreshControls();
}

void frmMain::makeCurrent(ItemNode* node) {
    // oSelNode first: the list's change of its current entry then finds nothing to do.
    oSelNode = node;
    m_itm.select(node);
    m_itm.scrollTo(node);
}

void frmMain::removeCurrentItem() {
    ItemNode* gone = oSelNode;
    // The entry that takes the removed one's place becomes current.
    ItemNode* next = m_itm.next(gone);
    if (!next)
        next = m_itm.previous(gone);
    if (!next)
        next = m_itm.parentOf(gone);
    makeCurrent(next);
    m_itm.remove(gone);
    if (oSelNode)
        ShowItemFields(oSelNode);
    else
        showNoItem();
}

void frmMain::showNoItem() {
    // With no current item the fields belong to nothing: they are emptied, and RefreshControls
    // switches them off until an item is added or pasted.
    {
        const QScopedValueRollback<bool> showing(m_showingRecord, true);
        setFieldText(txtItmName, QString());
        setFieldText(txtItmWidth, QString());
        setItemText(QString());
    }
    clearItemUndo();
    // The list keeps the keyboard, so Add and Paste are at hand.
    if (fraItmAttr->isAncestorOf(QApplication::focusWidget()))
        tvItm->setFocus(Qt::OtherFocusReason);
}

void frmMain::mnuItemAdd_Click() {
    StoreItemFields(oSelNode);
    ItemNode* selected = m_itm.selected();
    // New items go to the end of the list, whatever is selected.
    ItemNode* node = m_itm.append(QStringLiteral("Item%1").arg(iNextItem),
                                  selected ? m_itm.parentOf(selected) : nullptr);
    makeCurrent(node);
    InitNewItem(node);
    if (!selected)
        tvItm->setFocus(Qt::OtherFocusReason);
    bDirty = true;
    RefreshControls();
}

void frmMain::InitNewItem(ItemNode* node) {
    const QString n = QString::number(iNextItem);
    setFieldText(txtItmName, QStringLiteral("Item ") + n);
    setFieldText(txtItmWidth, QString());
    setItemText(QStringLiteral("This is item ") + n);
    clsItem item;
    item.sName = txtItmName->text();
    item.sText = itemText();
    item.sWidth = txtItmWidth->text();
    node->oItem = item;
    node->setText(0, txtItmName->text());
    clearItemUndo();
    // The counter never goes back, so numbers are not reused; at its end it stays there and
    // the list keeps the keys apart.
    if (iNextItem < std::numeric_limits<qint16>::max())
        ++iNextItem;
}

void frmMain::mnuItemDelete_Click() {
    if (oSelNode) {
        // Its fields are not stored: the item is going.
        removeCurrentItem();
        bDirty = true;
    }
    RefreshControls();
}

void frmMain::mnuItemMoveDown_Click() {
    if (!oSelNode) {
        RefreshControls();
        return;
    }
    StoreItemFields(oSelNode);
    if (ItemNode* after = m_itm.next(oSelNode)) {
        ItemNode* moved = m_itm.insertAfter(after, QStringLiteral("TmpNode"));
        CopyTempToItems(oSelNode, moved);
        ItemNode* old = oSelNode;
        makeCurrent(moved);
        m_itm.remove(old);
    }
    bDirty = true;
    RefreshControls();
}

void frmMain::mnuItemMoveUp_Click() {
    if (!oSelNode) {
        RefreshControls();
        return;
    }
    StoreItemFields(oSelNode);
    // The current item stays where it is in the widget; its predecessor moves behind it.
    if (ItemNode* before = m_itm.previous(oSelNode)) {
        ItemNode* moved = m_itm.insertAfter(oSelNode, QStringLiteral("Tmp"));
        CopyTempToItems(before, moved);
        m_itm.remove(before);
        m_itm.scrollTo(oSelNode);
    }
    bDirty = true;
    RefreshControls();
}

void frmMain::CopyTempToItems(ItemNode* source, ItemNode* destination) {
    destination->setText(0, source->text(0));
    destination->oItem = source->oItem.Clone();
    m_itm.setKeyWithSuffix(destination, source->key(), kCopySuffix);
    for (int i = 0; i < source->childCount(); ++i) {
        ItemNode* child = m_itm.append(kCopySuffix, destination);
        CopyTempToItems(static_cast<ItemNode*>(source->child(i)), child);
    }
}

void frmMain::CopyItemsToTemp(ItemNode* source, ItemNode* destination) {
    destination->setText(0, source->text(0));
    destination->oItem = source->oItem.Clone();
    const QString key = source->key();
    m_itm.setKeyWithSuffix(source, key, kSourceSuffix);
    if (!m_tmp.setKey(destination, key))
        m_tmp.setKeyWithSuffix(destination, key, kCopySuffix);
    for (int i = 0; i < source->childCount(); ++i) {
        ItemNode* child = m_tmp.append(kCopySuffix, destination);
        CopyItemsToTemp(static_cast<ItemNode*>(source->child(i)), child);
    }
}
