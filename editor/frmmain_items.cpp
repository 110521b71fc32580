// The item list: choosing the item whose fields are shown.
#include "frmmain.h"

#include "itemnode.h"

#include <QTreeWidget>

void frmMain::tvItm_NodeClick(QTreeWidgetItem* item) {
    auto* node = static_cast<ItemNode*>(item);
    if (!node)
        return;
    StoreItemFields(oSelNode);
    oSelNode = node;
    ShowItemFields(oSelNode);
    RefreshControls();
}
