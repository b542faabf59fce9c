#pragma once

#include <QHash>
#include <QTimer>
#include <QTreeWidget>

#include <functional>

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
    /// The node at an index of a level, made when it is added.
    using NodeSource = std::function<Node(int index)>;
    /// The nodes a level shows at once; the rest follow kStep at a time.
    static constexpr int kAtOnce = 1000, kStep = 2000;
    /// Adds count nodes under parent, as addNode would one by one. The first kAtOnce come at once;
    /// the rest follow on the next turns of the event loop, so a level of tens of thousands of
    /// partners is usable at once and the window stays responsive while it fills. Every other
    /// call of the tree first adds what is still to come (completeChildren), so it sees the
    /// level whole; code that walks a node's children itself calls completeChildren first.
    void addChildren(QTreeWidgetItem *parent, int count, const NodeSource &nodeAt);
    /// Adds now whatever nodes are still to come.
    void completeChildren();
    void clearNodes();
    /// Whether top-level nodes stand in the order of their texts (children keep the order they
    /// were added in).
    void setRootsSorted(bool sorted) { m_rootsSorted = sorted; }
    /// Removes the children of a node, with their keys.
    void removeChildren(QTreeWidgetItem *node);
    QTreeWidgetItem *node(const QString &key) const;
    /// Every node that was given this key, in the tree's order: more than one when the key was
    /// given again (the later nodes went without it).
    QList<QTreeWidgetItem *> nodesGiven(const QString &key) const;

    static QString key(const QTreeWidgetItem *n);
    static QString tag(const QTreeWidgetItem *n);

    /// The whole text of the node at a place in the viewport when the tree shows it cut, for its
    /// tip; empty when it shows whole or nothing is there.
    QString cutTextAt(QPoint pos) const;

protected:
    bool viewportEvent(QEvent *event) override;

signals:
    void nodeClicked(QTreeWidgetItem *node);

private:
    void addPending(int upTo);
    void dropPending();

    QHash<QString, QTreeWidgetItem *> m_byKey;
    bool m_rootsSorted = false;
    // the one level still filling: its parent, where its nodes come from, the next one
    QTreeWidgetItem *m_pendingParent = nullptr;
    NodeSource m_pendingSource;
    int m_pendingNext = 0, m_pendingCount = 0;
    QTimer *m_step = nullptr;
};
