#pragma once

#include "clsitem.h"

#include <QTreeWidgetItem>

class ItemTree;

// One entry of the item list (or of the clipboard list): its key, never shown or saved, and the
// record it owns. The visible text is the item's name. Keys change only through ItemTree, which
// keeps them unique.
class ItemNode : public QTreeWidgetItem {
public:
    const QString& key() const { return sKey; }

    clsItem oItem;

private:
    friend class ItemTree;
    explicit ItemNode(const QString& key) : sKey(key) {}
    ItemNode(const QString& key, const clsItem& item) : oItem(item), sKey(key) {
        setText(0, item.sName);
    }

    QString sKey;
};
