#pragma once

// Opens chart windows the way the host does, with scripted boxes and settings kept in memory.
#include "chartwin/chartwindow.h"
#include "entry/cfingrafpromet.h"
#include "platform/services.h"
#include "platform/widgets/keyedtree.h"
#include "testsupport.h"

#include <QApplication>

// Tree nodes by key. A key the tree does not hold fails the test, naming the key; the node is
// never used.
#define FIND_NODE(var, tree, key)                                                                  \
    QTreeWidgetItem *const var = (tree)->node(key);                                                \
    QVERIFY2(var, qPrintable(QStringLiteral("no node with the key \"%1\" in the tree").arg(key)))

// Finds the node and clicks it as the user does.
#define CLICK_NODE(var, tree, key)                                                                 \
    FIND_NODE(var, tree, key);                                                                     \
    emit(tree)->nodeClicked(var)

// Clicks the node with this key, when only the click matters.
#define CLICK(tree, key)                                                                           \
    do {                                                                                           \
        CLICK_NODE(clicked_, tree, key);                                                           \
    } while (false)

// The i-th child of a node; fails the test when the node has fewer children.
#define CHILD_NODE(var, parent, i)                                                                 \
    QVERIFY2((parent)->childCount() > (i),                                                         \
             qPrintable(QStringLiteral("the node \"%1\" has %2 children, not %3")                  \
                            .arg((parent)->text(0))                                                \
                            .arg((parent)->childCount())                                           \
                            .arg((i) + 1)));                                                       \
    QTreeWidgetItem *const var = (parent)->child(i)

struct WindowFixture
{
    std::shared_ptr<ScriptedDialogs> dialogs = std::make_shared<ScriptedDialogs>();
    std::shared_ptr<MemorySettingsStore> settings = std::make_shared<MemorySettingsStore>();
    std::shared_ptr<ScriptedSpreadsheets> spreadsheets = std::make_shared<ScriptedSpreadsheets>();
    QTemporaryDir printDir;
    std::shared_ptr<PdfPrinters> printers =
        std::make_shared<PdfPrinters>(printDir.filePath(QStringLiteral("print.pdf")));

    Services services() const { return Services{dialogs, settings, spreadsheets, printers}; }

    ChartWindow *open(bool cumulative = false, const QString &table = QStringLiteral("PROMET"),
                      const QString &conn = TestSupport::sqliteConn(TestSupport::demoBook()))
    {
        cFinGrafPromet host(services());
        QString nivo, op = QStringLiteral("test");
        if (cumulative)
            host.PrikažiGrafPrometKumulativ(conn, nivo, 1, TestSupport::kLastYear, 0,
                                            QStringLiteral("FIN"), table, op);
        else
            host.PrikažiGrafPromet(conn, nivo, 1, TestSupport::kLastYear, 0, QStringLiteral("FIN"),
                                   table, op);
        return host.lastWindow();
    }

    /// Any window by its entry method's number, for a firm and bookkeeping year.
    ChartWindow *openMethod(int method, const QString &conn, qint16 firm = 1,
                            qint16 year = TestSupport::kLastYear,
                            const QString &table = QStringLiteral("PROMET"), qint16 plan = 1)
    {
        cFinGrafPromet host(services());
        QString nivo, op = QStringLiteral("test");
        host.PrikažiProzor(method, conn, nivo, firm, year, 0, QStringLiteral("FIN"), table, op,
                           plan);
        return host.lastWindow();
    }
};
