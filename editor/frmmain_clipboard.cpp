// The Edit menu: Cut, Copy and Paste of whole items through the hidden clipboard list, which
// holds at most one item. The system clipboard is not involved.
#include "frmmain.h"

#include "itemnode.h"

// The clipboard takes the item as the fields show it: what was typed into them since the item
// was last stored goes with the copy, and is not lost when the item is cut or when another
// item is pasted over the fields.

void frmMain::copyToClipboard() {
    m_tmp.clear();
    ItemNode* clip = m_tmp.append(QStringLiteral("Key%1").arg(iNextItem));
    CopyItemsToTemp(oSelNode, clip);
    m_tmp.select(clip);
}

void frmMain::mnuEditCopy_Click() {
    if (!oSelNode)
        return;
    StoreItemFields(oSelNode);
    copyToClipboard();
    RefreshControls();
}

void frmMain::mnuEditCut_Click() {
    if (!oSelNode)
        return;
    StoreItemFields(oSelNode);
    copyToClipboard();
    removeCurrentItem();
    // The list has changed, also when the fields happen to show the same values as before.
    bDirty = true;
    RefreshControls();
}

void frmMain::mnuEditPaste_Click() {
    ItemNode* clip = m_tmp.selected();
    if (!clip)
        return;
    StoreItemFields(oSelNode);
    ItemNode* pasted = oSelNode ? m_itm.insertAfter(oSelNode, QStringLiteral("Tmp"))
                                : m_itm.append(QStringLiteral("Tmp"));
    CopyTempToItems(clip, pasted);
    makeCurrent(pasted);
    ShowItemFields(pasted);
    bDirty = true;
    RefreshControls();
}
