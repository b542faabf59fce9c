#pragma once

// Chart windows opened the way the host opens them, over the demo book or a test's own copy of
// it, with scripted boxes and settings kept in memory; what a window drew is compared with what
// SQLite itself reads from the book. The window's widgets are all declared here for the tests.
#include "chartwin/chartwindow.h"
#include "entry/cfingrafpromet.h"
#include "platform/chart/chartcontrol.h"
#include "platform/widgets/keyedtree.h"
#include "testsupport.h"

#include <QtWidgets>

#include <functional>

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

// Clicks down a path of codes as the launcher does; a path the tree does not hold fails the test
// with what the window says of it.
#define CLICK_PATH(window, ...)                                                                    \
    do {                                                                                           \
        QString notFound_;                                                                         \
        QVERIFY2((window)->clickPath(QStringList{__VA_ARGS__}, &notFound_),                        \
                 qPrintable(notFound_));                                                           \
    } while (false)

// The i-th child of a node; fails the test when the node has fewer children.
#define CHILD_NODE(var, parent, i)                                                                 \
    QVERIFY2((parent)->childCount() > (i),                                                         \
             qPrintable((parent)->text(0) + QStringLiteral(": too few children")));                \
    QTreeWidgetItem *const var = (parent)->child(i)

// A figure the window drew against the book's, within half a cent (the window rounds some to the
// cent), naming what was compared.
#define COMPARE_FIGURE(drawn, book, what)                                                          \
    do {                                                                                           \
        const double drawn_ = (drawn), book_ = (book);                                             \
        QVERIFY2(qAbs(drawn_ - book_) < 0.0051,                                                    \
                 qPrintable(QStringLiteral("%1: %2 drawn, %3 in the book")                         \
                                .arg(what, QString::number(drawn_, 'f', 2),                        \
                                     QString::number(book_, 'f', 2))));                            \
    } while (false)

/// A month's two digits, as the month columns Mj00..Mj12 and the book's DUG00..POT12 name it.
inline QString mm(int month)
{
    return QStringLiteral("%1").arg(month, 2, 10, QLatin1Char('0'));
}

/// The labels of the rows a window drew, in their order, a blank between.
inline QString labels(const Recordset &rs)
{
    QStringList out;
    for (int r = 0; r < rs.RecordCount(); ++r)
        out << rs.valueAt(r, 0).toString();
    return out.join(u' ');
}

/// The figure a window drew for a month in the row with this label; NaN when it drew no such row
/// or month.
inline double drawn(ChartWindow *w, const QString &label, int month)
{
    const Recordset &rs = w->chartRecordset();
    const int field = rs.fieldIndex(QStringLiteral("Mj") + mm(month));
    for (int r = 0; field > 0 && r < rs.RecordCount(); ++r)
        if (rs.valueAt(r, 0).toString() == label)
            return rs.valueAt(r, field).toDouble();
    return qQNaN();
}

struct WindowFixture
{
    std::shared_ptr<ScriptedDialogs> dialogs = std::make_shared<ScriptedDialogs>();
    std::shared_ptr<MemorySettingsStore> settings = std::make_shared<MemorySettingsStore>();
    std::shared_ptr<ScriptedSpreadsheets> spreadsheets = std::make_shared<ScriptedSpreadsheets>();
    QTemporaryDir printDir;
    std::shared_ptr<PdfPrinters> printers =
        std::make_shared<PdfPrinters>(printDir.filePath(QStringLiteral("print.pdf")));
    /// The book the windows open on and the sums are read from.
    QString book = TestSupport::demoBook();
    /// The window opened last, closed with the fixture.
    QPointer<ChartWindow> window;

    ~WindowFixture()
    {
        if (window)
            window->close();
    }

    Services services() const { return Services{dialogs, settings, spreadsheets, printers}; }

    /// Settings as a closed window with this caption left them: a key, its value, and so on.
    void store(const QString &caption, const QStringList &keysAndValues)
    {
        for (int i = 0; i + 1 < keysAndValues.size(); i += 2)
            settings->save(caption, QStringLiteral("Settings"), keysAndValues[i],
                           keysAndValues[i + 1]);
    }

    /// The turnover window, or its cumulative balance, for firm 1 in the book's last year.
    ChartWindow *open(bool cumulative = false, const QString &table = QStringLiteral("PROMET"))
    {
        return openMethod(cumulative ? 2 : 1, QString(), 1, TestSupport::kLastYear, table);
    }

    /// Any window by its entry method's number, for a firm and bookkeeping year; on the
    /// fixture's book without a connection string.
    template <class Window = ChartWindow>
    Window *openMethod(int method, const QString &conn = QString(), qint16 firm = 1,
                       qint16 year = TestSupport::kLastYear,
                       const QString &table = QStringLiteral("PROMET"), qint16 plan = 1)
    {
        cFinGrafPromet host(services());
        QString nivo, op = QStringLiteral("test");
        host.PrikažiProzor(method, conn.isEmpty() ? TestSupport::sqliteConn(book) : conn, nivo,
                           firm, year, 0, QStringLiteral("FIN"), table, op, plan);
        window = host.lastWindow();
        return qobject_cast<Window *>(window.data());
    }

    /// What the windows said since the last call, the texts of their boxes; forgotten after.
    QStringList said()
    {
        const QStringList texts = dialogs->texts();
        dialogs->messages.clear();
        return texts;
    }

    /// What SQLite itself answers from the book: the first column of the first row.
    QVariant ask(const QString &sql) const { return TestSupport::scalar(book, sql); }

    /// The book's TOTAL of an expression over firm 1's turnover where the condition holds.
    double total(const QString &expression, const QString &condition) const
    {
        return ask(QStringLiteral("SELECT TOTAL(%1) FROM PROMET WHERE BROJPODUZECA=1 AND %2")
                       .arg(expression, condition))
            .toDouble();
    }

    /// The rows a window drew against the book: a row "word year" for each word and each year
    /// from first to the last with turnover where the condition holds, and no other; in each,
    /// every month the book's TOTAL of the figure of its word and the month over that year.
    void compareRows(ChartWindow *w, const QStringList &words,
                     const std::function<QString(const QString &word, int month)> &figure,
                     const QString &condition, int first) const
    {
        const QString years =
            ask(QStringLiteral("SELECT group_concat(GODINAKNJ, ' ') FROM (SELECT DISTINCT "
                               "GODINAKNJ FROM PROMET WHERE BROJPODUZECA=1 AND %1 AND GODINAKNJ "
                               "BETWEEN %2 AND %3)")
                    .arg(condition, QString::number(first),
                         QString::number(TestSupport::kLastYear)))
                .toString();
        QStringList expected;
        for (const QString &word : words)
            for (const QString &year : years.split(u' ', Qt::SkipEmptyParts))
                expected << word + u' ' + year;
        QCOMPARE(w->chartRecordset().RecordCount(), expected.size());
        QVERIFY(!expected.isEmpty());
        for (const QString &label : std::as_const(expected))
            for (int m = 0; m <= 12; ++m)
                COMPARE_FIGURE(
                    drawn(w, label, m),
                    total(figure(label.chopped(5), m),
                          condition + QStringLiteral(" AND GODINAKNJ=") + label.right(4)),
                    label + QStringLiteral(" Mj") + mm(m));
    }
};
