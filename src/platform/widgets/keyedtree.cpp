#include "keyedtree.h"

#include <QHeaderView>
#include <QTreeWidgetItemIterator>

namespace {
constexpr int KeyRole = Qt::UserRole + 1;
constexpr int TagRole = Qt::UserRole + 2;
constexpr int GivenKeyRole = Qt::UserRole + 3; // the key asked for, held or not
} // namespace

KeyedTree::KeyedTree(QWidget *parent) : QTreeWidget(parent)
{
    setHeaderHidden(true);
    setColumnCount(1);
    setUniformRowHeights(true);
    connect(this, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem *item) { emit nodeClicked(item); });
}

void KeyedTree::addChildren(QTreeWidgetItem *parent, const QVector<Node> &nodes)
{
    QList<QTreeWidgetItem *> items;
    items.reserve(nodes.size());
    m_byKey.reserve(m_byKey.size() + nodes.size());
    QVariant tag; // the same for every node, as a rule: made once
    for (const Node &n : nodes) {
        auto *item = new QTreeWidgetItem(QStringList{n.text});
        if (tag.toString() != n.tag)
            tag = n.tag;
        item->setData(0, TagRole, tag);
        if (!n.key.isEmpty()) {
            const QVariant key(n.key);
            item->setData(0, GivenKeyRole, key);
            const qsizetype before = m_byKey.size();
            QTreeWidgetItem *&slot = m_byKey[n.key]; // one lookup: the key's place, new or held
            if (m_byKey.size() > before) {
                slot = item;
                item->setData(0, KeyRole, key);
            }
        }
        items << item;
    }
    parent->addChildren(items);
}

QTreeWidgetItem *KeyedTree::addNode(QTreeWidgetItem *parent, const QString &key,
                                    const QString &text, const QString &tag, bool *keyTaken)
{
    auto *item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem();
    item->setText(0, text);
    if (!parent) {
        int at = topLevelItemCount();
        if (m_rootsSorted)
            while (at > 0 && QString::localeAwareCompare(topLevelItem(at - 1)->text(0), text) > 0)
                --at;
        insertTopLevelItem(at, item);
    }
    item->setData(0, TagRole, tag);
    if (!key.isEmpty())
        item->setData(0, GivenKeyRole, key);
    const bool taken = !key.isEmpty() && m_byKey.contains(key);
    if (!key.isEmpty() && !taken) {
        item->setData(0, KeyRole, key);
        m_byKey.insert(key, item);
    }
    if (keyTaken)
        *keyTaken = taken;
    return item;
}

void KeyedTree::clearNodes()
{
    m_byKey.clear();
    clear();
}

void KeyedTree::removeChildren(QTreeWidgetItem *node)
{
    const QList<QTreeWidgetItem *> children = node->takeChildren();
    for (QTreeWidgetItem *child : children) {
        removeChildren(child);
        m_byKey.remove(key(child));
    }
    qDeleteAll(children);
}

QList<QTreeWidgetItem *> KeyedTree::nodesGiven(const QString &key) const
{
    QList<QTreeWidgetItem *> nodes;
    if (key.isEmpty())
        return nodes;
    for (QTreeWidgetItemIterator it(const_cast<KeyedTree *>(this)); *it; ++it)
        if ((*it)->data(0, GivenKeyRole).toString() == key)
            nodes << *it;
    return nodes;
}

QString KeyedTree::key(const QTreeWidgetItem *n)
{
    return n ? n->data(0, KeyRole).toString() : QString();
}
QString KeyedTree::tag(const QTreeWidgetItem *n)
{
    return n ? n->data(0, TagRole).toString() : QString();
}
