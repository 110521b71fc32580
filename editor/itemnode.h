#pragma once

#include "clsitem.h"

#include <QTreeWidgetItem>

// One entry of the item list (or of the clipboard list): its key, never shown or saved, and the
// record it owns. The visible text is the item's name.
class ItemNode : public QTreeWidgetItem {
public:
    ItemNode(const QString& key, const clsItem& item) : sKey(key), oItem(item) {
        setText(0, item.sName);
    }

    QString sKey;
    clsItem oItem;
};
