// fingraf: plays the bookkeeping host. It opens the chart windows of the component over a book,
// and makes the embedded demo book.
#include "demobook.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTextStream>

namespace {

int runDemo(const QStringList &args)
{
    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral("Izrađuje demo knjigu (SQLite) ako je nema i ispisuje što sadrži."));
    p.addHelpOption();
    p.addOption({QStringLiteral("scale"), QStringLiteral("Množi komitente i promet (1: oko 10.000 redaka prometa)."),
                 QStringLiteral("N"), QStringLiteral("1")});
    p.addPositionalArgument(QStringLiteral("PATH"), QStringLiteral("Datoteka knjige (zadano: %1).").arg(DemoBook::defaultPath()));
    p.process(args);
    DemoBook::Options o;
    o.scale = p.value(QStringLiteral("scale")).toInt();
    const QString path = p.positionalArguments().value(0, DemoBook::defaultPath());
    QString error;
    QTextStream out(stdout);
    if (!DemoBook::create(path, o, &error)) {
        QTextStream(stderr) << error << Qt::endl;
        return 1;
    }
    out << path << Qt::endl << DemoBook::summary(path) << Qt::endl;
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("fingraf"));
    const QStringList args = QApplication::arguments();
    const QString command = args.value(1);
    QStringList rest = args;
    if (rest.size() > 1)
        rest.removeAt(1);
    if (command == u"demo" || command == u"--demo")
        return runDemo(rest);
    QTextStream(stderr) << "Upotreba: fingraf demo [--scale N] [PATH]" << Qt::endl;
    return 2;
}
