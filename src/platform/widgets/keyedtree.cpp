#include "keyedtree.h"

#include <QHeaderView>
#include <QHelpEvent>
#include <QStyle>
#include <QToolTip>
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
    // a long name loses its middle, so that the code at its end stays in sight; the tip has it
    setTextElideMode(Qt::ElideMiddle);
    connect(this, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem *item) { emit nodeClicked(item); });
}

QString KeyedTree::cutTextAt(QPoint pos) const
{
    const QTreeWidgetItem *item = itemAt(pos);
    if (!item)
        return {};
    const QRect rect = visualItemRect(item);
    const QString text = item->text(0);
    // the room the text has: the row right of the indentation, less the item's margins
    const int room = viewport()->width() - rect.left() -
                     2 * style()->pixelMetric(QStyle::PM_FocusFrameHMargin) - 2;
    return fontMetrics().horizontalAdvance(text) > room ? text : QString();
}

bool KeyedTree::viewportEvent(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        const auto *help = static_cast<QHelpEvent *>(event);
        const QString text = cutTextAt(help->pos());
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), text, viewport());
        return true;
    }
    return QTreeWidget::viewportEvent(event);
}

void KeyedTree::addChildren(QTreeWidgetItem *parent, int count, const NodeSource &nodeAt)
{
    completeChildren();
    m_pendingParent = parent;
    m_pendingSource = nodeAt;
    m_pendingNext = 0;
    m_pendingCount = count;
    m_byKey.reserve(m_byKey.size() + count);
    addPending(kAtOnce);
}

void KeyedTree::completeChildren()
{
    addPending(m_pendingCount);
}

// Adds the pending level's nodes up to index upTo, in one step: the view hears of them once.
void KeyedTree::addPending(int upTo)
{
    if (!m_pendingParent)
        return;
    upTo = qMin(upTo, m_pendingCount);
    QList<QTreeWidgetItem *> items;
    items.reserve(upTo - m_pendingNext);
    QVariant tag; // the same for every node, as a rule: made once
    for (; m_pendingNext < upTo; ++m_pendingNext) {
        const Node n = m_pendingSource(m_pendingNext);
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
    m_pendingParent->addChildren(items);
    if (m_pendingNext < m_pendingCount) {
        if (!m_step) {
            m_step = new QTimer(this);
            m_step->setSingleShot(true);
            m_step->setInterval(0);
            connect(m_step, &QTimer::timeout, this, [this] { addPending(m_pendingNext + kStep); });
        }
        m_step->start();
    } else {
        dropPending();
    }
}

void KeyedTree::dropPending()
{
    m_pendingParent = nullptr;
    m_pendingSource = nullptr;
    m_pendingNext = m_pendingCount = 0;
    if (m_step)
        m_step->stop();
}

QTreeWidgetItem *KeyedTree::node(const QString &key) const
{
    const_cast<KeyedTree *>(this)->completeChildren(); // the tree as it will be
    return m_byKey.value(key);
}

QTreeWidgetItem *KeyedTree::addNode(QTreeWidgetItem *parent, const QString &key,
                                    const QString &text, const QString &tag, bool *keyTaken)
{
    completeChildren(); // a key goes to the node that was added first
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
    dropPending();
    m_byKey.clear();
    clear();
}

void KeyedTree::removeChildren(QTreeWidgetItem *node)
{
    // a level still filling under node goes with it
    for (const QTreeWidgetItem *p = m_pendingParent; p; p = p->parent())
        if (p == node) {
            dropPending();
            break;
        }
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
    const_cast<KeyedTree *>(this)->completeChildren();
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
