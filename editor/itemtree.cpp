#include "itemtree.h"

#include <QTreeWidget>

namespace {

const QString kClashSuffix = QStringLiteral("Dst");

ItemNode* asNode(QTreeWidgetItem* item) {
    return static_cast<ItemNode*>(item);
}

} // namespace

int ItemTree::count() const {
    return m_tree->topLevelItemCount();
}

ItemNode* ItemTree::at(int index) const {
    return asNode(m_tree->topLevelItem(index));
}

ItemNode* ItemTree::insertAt(ItemNode* parent, int index, const QString& key) {
    const QString free = m_keys.claim(key) ? key : m_keys.claimWithSuffix(key, kClashSuffix);
    auto* node = new ItemNode(free);
    if (parent)
        parent->insertChild(index, node);
    else
        m_tree->insertTopLevelItem(index, node);
    return node;
}

ItemNode* ItemTree::append(const QString& key, ItemNode* parent) {
    return insertAt(parent, parent ? parent->childCount() : count(), key);
}

ItemNode* ItemTree::insertAfter(ItemNode* ref, const QString& key) {
    return insertAt(parentOf(ref), indexOf(ref) + 1, key);
}

void ItemTree::appendAll(const QStringList& keys, const QList<clsItem>& items) {
    QList<QTreeWidgetItem*> nodes;
    nodes.reserve(items.size());
    for (qsizetype i = 0; i < items.size(); ++i) {
        const QString& key = keys.at(i);
        const QString free = m_keys.claim(key) ? key : m_keys.claimWithSuffix(key, kClashSuffix);
        nodes << new ItemNode(free, items.at(i));
    }
    m_tree->addTopLevelItems(nodes);
}

void ItemTree::releaseKeys(const ItemNode* node) {
    m_keys.release(node->sKey);
    for (int i = 0; i < node->childCount(); ++i)
        releaseKeys(asNode(node->child(i)));
}

void ItemTree::remove(ItemNode* node) {
    if (!node)
        return;
    releaseKeys(node);
    delete node; // takes itself out of the tree
}

void ItemTree::clear() {
    m_tree->clear();
    m_keys.clear();
}

bool ItemTree::setKey(ItemNode* node, const QString& key) {
    if (node->sKey == key)
        return true;
    if (!m_keys.claim(key))
        return false;
    m_keys.release(node->sKey);
    node->sKey = key;
    return true;
}

QString ItemTree::setKeyWithSuffix(ItemNode* node, const QString& base, const QString& suffix) {
    QString key = base + suffix;
    while (!setKey(node, key))
        key += suffix;
    return key;
}

ItemNode* ItemTree::parentOf(const ItemNode* node) const {
    return asNode(node->parent());
}

int ItemTree::indexOf(const ItemNode* node) const {
    // The const_cast only serves the lookup's signature; nothing is changed.
    auto* item = const_cast<ItemNode*>(node);
    if (QTreeWidgetItem* parent = node->parent())
        return parent->indexOfChild(item);
    return m_tree->indexOfTopLevelItem(item);
}

ItemNode* ItemTree::previous(const ItemNode* node) const {
    const int i = indexOf(node);
    if (i <= 0)
        return nullptr;
    QTreeWidgetItem* parent = node->parent();
    return asNode(parent ? parent->child(i - 1) : m_tree->topLevelItem(i - 1));
}

ItemNode* ItemTree::next(const ItemNode* node) const {
    const int i = indexOf(node);
    if (i < 0)
        return nullptr;
    QTreeWidgetItem* parent = node->parent();
    return asNode(parent ? parent->child(i + 1) : m_tree->topLevelItem(i + 1));
}

ItemNode* ItemTree::selected() const {
    return asNode(m_tree->currentItem());
}

void ItemTree::select(ItemNode* node) {
    m_tree->setCurrentItem(node);
}

void ItemTree::scrollTo(ItemNode* node) {
    if (node)
        m_tree->scrollToItem(node);
}
