#pragma once

#include "itemnode.h"
#include "nodekeys.h"

#include <QStringList>

class QTreeWidget;

// A tree widget used as a list of items: every node has a key that is unique within the tree,
// a text and a record of its own. Keys are claimed and released here only, so the rule that no
// two nodes share a key holds in one place.
class ItemTree {
public:
    ItemTree() = default;
    ItemTree(const ItemTree&) = delete;
    ItemTree& operator=(const ItemTree&) = delete;

    void setWidget(QTreeWidget* tree) { m_tree = tree; }
    QTreeWidget* widget() const { return m_tree; }

    int count() const; // top-level nodes
    ItemNode* at(int index) const;
    const NodeKeys& keys() const { return m_keys; }

    // A new node with an empty record at the end of parent's level (the top level when parent
    // is none), or directly after ref on ref's level. A key already in use gets "Dst" appended
    // until it is free, as copies do.
    ItemNode* append(const QString& key, ItemNode* parent = nullptr);
    ItemNode* insertAfter(ItemNode* ref, const QString& key);
    // Many top-level nodes at once, in order; keys and records as given.
    void appendAll(const QStringList& keys, const QList<clsItem>& items);

    // Removes the node with its subtree and frees their keys.
    void remove(ItemNode* node);
    void clear();

    // Gives node the key; false, and nothing changes, when another node holds it.
    bool setKey(ItemNode* node, const QString& key);
    // Appends suffix to base until the key is free, gives it to node and returns it.
    QString setKeyWithSuffix(ItemNode* node, const QString& base, const QString& suffix);

    ItemNode* previous(const ItemNode* node) const;
    ItemNode* next(const ItemNode* node) const;
    ItemNode* parentOf(const ItemNode* node) const;
    int indexOf(const ItemNode* node) const; // on its own level

    ItemNode* selected() const;
    void select(ItemNode* node);
    void scrollTo(ItemNode* node);

private:
    ItemNode* insertAt(ItemNode* parent, int index, const QString& key);
    void releaseKeys(const ItemNode* node);

    QTreeWidget* m_tree = nullptr;
    NodeKeys m_keys;
};
