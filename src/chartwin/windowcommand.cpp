#include "windowcommand.h"

#include <QCommandLineParser>

QStringList WindowCommand::pathNames() const
{
    QStringList names;
    for (const QCommandLineOption &o : path)
        names << o.names().constLast();
    return names;
}

bool WindowCommand::asksForWindowlessWork(const QCommandLineParser &p) const
{
    for (const QString &o : windowless)
        if (p.isSet(o))
            return true;
    return false;
}

bool WindowCommand::asksForWriting(const QCommandLineParser &p) const
{
    for (const QString &o : writing)
        if (p.isSet(o))
            return true;
    return false;
}

QString WindowCommand::outOfRange(const QCommandLineParser &p, const QString &name, int min,
                                  int max)
{
    if (!p.isSet(name))
        return {};
    bool ok = false;
    const qlonglong v = p.value(name).trimmed().toLongLong(&ok);
    if (ok && v >= min && v <= max)
        return {};
    return QStringLiteral("--%1: očekuje se cijeli broj od %2 do %3, a ne \"%4\".")
        .arg(name)
        .arg(min)
        .arg(max)
        .arg(p.value(name));
}
