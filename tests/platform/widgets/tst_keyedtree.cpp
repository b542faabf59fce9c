// The tree's keys: a key names one node at most, whether its nodes come one by one or many at once.
#include "platform/widgets/keyedtree.h"

#include <QTest>

class TstKeyedTree : public QObject
{
    Q_OBJECT
private slots:
    void childrenAtOnceAreKeyedAsOneByOne();
};

void TstKeyedTree::childrenAtOnceAreKeyedAsOneByOne()
{
    // "A: 1" is held already elsewhere, "A: 2" comes twice, one node has no key
    const QVector<KeyedTree::Node> nodes{
        {QStringLiteral("A: 1"), QStringLiteral("Prvi (1)"), QStringLiteral("Komit")},
        {QStringLiteral("A: 2"), QStringLiteral("Drugi (2)"), QStringLiteral("Komit")},
        {QString(), QStringLiteral("Bez ključa"), QStringLiteral("Komit")},
        {QStringLiteral("A: 2"), QStringLiteral("Opet drugi (2)"), QStringLiteral("Ostalo")}};
    KeyedTree oneByOne, atOnce;
    for (KeyedTree *tree : {&oneByOne, &atOnce}) {
        QTreeWidgetItem *other = tree->addNode(nullptr, QStringLiteral("K: 2200"),
                                               QStringLiteral("2200"), QStringLiteral("Anal"));
        tree->addNode(other, QStringLiteral("A: 1"), QStringLiteral("Prvi (1)"),
                      QStringLiteral("Komit"));
        QTreeWidgetItem *parent = tree->addNode(nullptr, QStringLiteral("K: 1200"),
                                                QStringLiteral("1200"), QStringLiteral("Anal"));
        if (tree == &atOnce) {
            tree->addChildren(parent, nodes);
        } else {
            for (const KeyedTree::Node &n : nodes)
                tree->addNode(parent, n.key, n.text, n.tag);
        }
    }
    QTreeWidgetItem *a = oneByOne.node(QStringLiteral("K: 1200")),
                    *b = atOnce.node(QStringLiteral("K: 1200"));
    QCOMPARE(b->childCount(), int(nodes.size()));
    for (int i = 0; i < a->childCount(); ++i) {
        QCOMPARE(b->child(i)->text(0), a->child(i)->text(0));
        QCOMPARE(KeyedTree::tag(b->child(i)), KeyedTree::tag(a->child(i)));
        QCOMPARE(KeyedTree::key(b->child(i)), KeyedTree::key(a->child(i)));
    }
    QCOMPARE(KeyedTree::key(b->child(1)), QStringLiteral("A: 2"));
    QCOMPARE(KeyedTree::key(b->child(3)), QString()); // taken by the second node
    QCOMPARE(atOnce.node(QStringLiteral("A: 2")), b->child(1));
    QCOMPARE(atOnce.node(QStringLiteral("A: 1"))->parent(), atOnce.node(QStringLiteral("K: 2200")));
    QCOMPARE(atOnce.nodesGiven(QStringLiteral("A: 2")).size(), 2);
    atOnce.removeChildren(b);
    QVERIFY(!atOnce.node(QStringLiteral("A: 2")));
    QVERIFY(atOnce.node(QStringLiteral("A: 1"))); // the other account's partner keeps its key
}

QTEST_MAIN(TstKeyedTree)
#include "tst_keyedtree.moc"
