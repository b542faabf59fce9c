// The tree's keys: a key names one node at most, whether its nodes come one by one or a level at
// once, and a long level that fills on its own is whole to whoever asks.
#include "platform/widgets/keyedtree.h"

#include <QTest>

class TstKeyedTree : public QObject
{
    Q_OBJECT
private slots:
    void levelAtOnceIsKeyedAsOneByOne();
    void longLevelFillsOnItsOwnAndWholeWhenAsked();
};

namespace {

// partner i of a level: key "A: <i>", "A: 1" held elsewhere, none for 2, "A: 3" twice
KeyedTree::Node partner(int i)
{
    const int code = i == 4 ? 3 : i;
    return {i == 2 ? QString() : QStringLiteral("A: %1").arg(code),
            QStringLiteral("Komitent (%1)").arg(code), QStringLiteral("Komit")};
}

QTreeWidgetItem *withOtherAccount(KeyedTree &tree)
{
    QTreeWidgetItem *other =
        tree.addNode(nullptr, QStringLiteral("K: 2200"), QStringLiteral("2200"), {});
    tree.addNode(other, QStringLiteral("A: 1"), QStringLiteral("Komitent (1)"), {});
    return tree.addNode(nullptr, QStringLiteral("K: 1200"), QStringLiteral("1200"), {});
}

} // namespace

void TstKeyedTree::levelAtOnceIsKeyedAsOneByOne()
{
    KeyedTree oneByOne, atOnce;
    QTreeWidgetItem *a = withOtherAccount(oneByOne), *b = withOtherAccount(atOnce);
    for (int i = 0; i < 5; ++i)
        oneByOne.addNode(a, partner(i).key, partner(i).text, partner(i).tag);
    atOnce.addChildren(b, 5, partner);
    QCOMPARE(b->childCount(), 5);
    for (int i = 0; i < 5; ++i) {
        QCOMPARE(b->child(i)->text(0), a->child(i)->text(0));
        QCOMPARE(KeyedTree::tag(b->child(i)), KeyedTree::tag(a->child(i)));
        QCOMPARE(KeyedTree::key(b->child(i)), KeyedTree::key(a->child(i)));
    }
    QCOMPARE(KeyedTree::key(b->child(1)), QString()); // held by the other account's partner
    QCOMPARE(KeyedTree::key(b->child(3)), QStringLiteral("A: 3"));
    QCOMPARE(KeyedTree::key(b->child(4)), QString()); // taken by the node before
    QCOMPARE(atOnce.node(QStringLiteral("A: 0")), b->child(0));
    QCOMPARE(atOnce.nodesGiven(QStringLiteral("A: 3")).size(), 2);
    atOnce.removeChildren(b);
    QVERIFY(!atOnce.node(QStringLiteral("A: 3")));
    QVERIFY(atOnce.node(QStringLiteral("A: 1"))); // the other account's partner keeps its key
}

void TstKeyedTree::longLevelFillsOnItsOwnAndWholeWhenAsked()
{
    const int count = KeyedTree::kAtOnce + 2 * KeyedTree::kStep + 7;
    KeyedTree tree;
    QTreeWidgetItem *account = withOtherAccount(tree);
    auto refill = [&] {
        tree.removeChildren(account);
        tree.addChildren(account, count, [](int i) {
            return KeyedTree::Node{QStringLiteral("A: %1").arg(i), QStringLiteral("K (%1)").arg(i),
                                   QStringLiteral("Komit")};
        });
    };
    refill();
    QCOMPARE(account->childCount(), KeyedTree::kAtOnce); // shown at once
    QTRY_COMPARE(account->childCount(), count);          // the rest on the next turns
    QCOMPARE(account->child(count - 1)->text(0), QStringLiteral("K (%1)").arg(count - 1));

    // asking for a node finds it whole, whether still to come or not
    refill();
    QCOMPARE(tree.node(QStringLiteral("A: %1").arg(count - 1))->parent(), account);
    QCOMPARE(account->childCount(), count);

    // a node added while a level fills comes after it, and a key goes to the first
    refill();
    QTreeWidgetItem *late =
        tree.addNode(account, QStringLiteral("A: 5000"), QStringLiteral("late"), {});
    QCOMPARE(account->childCount(), count + 1);
    QCOMPARE(KeyedTree::key(late), QString());

    // a level removed, or the whole tree cleared, while it fills is gone, and nothing follows
    refill();
    tree.removeChildren(account);
    QTest::qWait(20);
    QCOMPARE(account->childCount(), 0);
    QVERIFY(!tree.node(QStringLiteral("A: 0")));
    refill();
    tree.clearNodes();
    QTest::qWait(20);
    QCOMPARE(tree.topLevelItemCount(), 0);
}

QTEST_MAIN(TstKeyedTree)
#include "tst_keyedtree.moc"
