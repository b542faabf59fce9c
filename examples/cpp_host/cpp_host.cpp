// A bookkeeping host in C++: opens the turnover chart of the book whose connection string it is
// given, as the host program's menu would, and runs until the window is closed.
//
//   cpp_host "Provider=SQLite;Data Source=book.sqlite" [--close-after MS]
//
// --close-after closes every window after MS milliseconds (for a run without a screen).
#include <cfingrafpromet.h>

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <cstdio>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: cpp_host CONNECTION [--close-after MS]\n");
        return 2;
    }
    const QString conn = args.at(1);
    cFinGrafPromet component;
    QString nivo = QStringLiteral("1");
    QString operatorName = QStringLiteral("host");

    // An unsafe turnover table name is refused, with the reason in lastError().
    if (component.PrikažiGrafPromet(conn, nivo, 1, 2026, 0, QStringLiteral("FIN"),
                                    QStringLiteral("PROMET; DROP"), operatorName) ||
        component.lastError().isEmpty()) {
        std::fprintf(stderr, "a bad table name was taken\n");
        return 1;
    }
    std::printf("refused: %s\n", qUtf8Printable(component.lastError()));

    if (!component.PrikažiGrafPromet(conn, nivo, 1, 2026, 0, QStringLiteral("FIN"),
                                     QStringLiteral("PROMET"), operatorName)) {
        std::fprintf(stderr, "PrikažiGrafPromet: %s\n", qUtf8Printable(component.lastError()));
        return 1;
    }
    const auto windows = QApplication::topLevelWidgets();
    int visible = 0;
    for (QWidget *w : windows)
        visible += w->isVisible() ? 1 : 0;
    std::printf("windows open: %d\n", visible);
    if (visible == 0)
        return 1;

    const int at = args.indexOf(QStringLiteral("--close-after"));
    if (at > 0 && at + 1 < args.size())
        QTimer::singleShot(args.at(at + 1).toInt(), &app, [] { QApplication::closeAllWindows(); });
    return app.exec();
}
