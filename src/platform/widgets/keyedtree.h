#pragma once

#include <QHash>
#include <QTreeWidget>

/// A tree whose nodes carry a key (unique or empty), a text and a tag, found by key.
/// Setting a key that another node holds fails and leaves the node without a key.
class KeyedTree : public QTreeWidget
{
    Q_OBJECT
public:
    explicit KeyedTree(QWidget *parent = nullptr);

    /// Adds a node under parent (top level when null); false when the key is taken (the node is
    /// still added, without a key).
    QTreeWidgetItem *addNode(QTreeWidgetItem *parent, const QString &key, const QString &text,
                             const QString &tag, bool *keyTaken = nullptr);
    struct Node
    {
        QString key, text, tag;
    };
    /// Adds nodes under parent in one step, as addNode would one by one: the view hears of them
    /// once, so thousands of children come in milliseconds.
    void addChildren(QTreeWidgetItem *parent, const QVector<Node> &nodes);
    void clearNodes();
    /// Whether top-level nodes stand in the order of their texts (children keep the order they
    /// were added in).
    void setRootsSorted(bool sorted) { m_rootsSorted = sorted; }
    /// Removes the children of a node, with their keys.
    void removeChildren(QTreeWidgetItem *node);
    QTreeWidgetItem *node(const QString &key) const { return m_byKey.value(key); }
    /// Every node that was given this key, in the tree's order: more than one when the key was
    /// given again (the later nodes went without it).
    QList<QTreeWidgetItem *> nodesGiven(const QString &key) const;

    static QString key(const QTreeWidgetItem *n);
    static QString tag(const QTreeWidgetItem *n);

signals:
    void nodeClicked(QTreeWidgetItem *node);

private:
    QHash<QString, QTreeWidgetItem *> m_byKey;
    bool m_rootsSorted = false;
};
