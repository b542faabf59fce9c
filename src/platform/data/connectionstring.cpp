#include "connectionstring.h"

#include <QFileInfo>
#include <QHash>

namespace {

// Splits "key=value;key=value" as ADO does: keys are case-insensitive, values may be quoted
// with ", ' or {}.
QHash<QString, QString> splitPairs(const QString &s, bool *sawPair)
{
    QHash<QString, QString> pairs;
    *sawPair = false;
    int i = 0;
    const int n = s.size();
    while (i < n) {
        while (i < n && (s[i] == u';' || s[i].isSpace()))
            ++i;
        const int keyStart = i;
        while (i < n && s[i] != u'=' && s[i] != u';')
            ++i;
        if (i >= n || s[i] != u'=') {
            continue;
        }
        const QString key = s.mid(keyStart, i - keyStart).trimmed().toLower();
        ++i; // '='
        while (i < n && s[i] == u' ')
            ++i;
        QString value;
        if (i < n && (s[i] == u'"' || s[i] == u'\'' || s[i] == u'{')) {
            const QChar close = s[i] == u'{' ? u'}' : s[i];
            ++i;
            while (i < n) {
                if (s[i] == close) {
                    if (i + 1 < n && s[i + 1] == close) { // doubled quote inside
                        value += close;
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                value += s[i++];
            }
            while (i < n && s[i] != u';')
                ++i;
        } else {
            const int valueStart = i;
            while (i < n && s[i] != u';')
                ++i;
            value = s.mid(valueStart, i - valueStart).trimmed();
        }
        if (!key.isEmpty()) {
            pairs.insert(key, value);
            *sawPair = true;
        }
    }
    return pairs;
}

QString firstOf(const QHash<QString, QString> &pairs, std::initializer_list<const char *> keys)
{
    for (const char *k : keys) {
        const auto it = pairs.constFind(QString::fromLatin1(k));
        if (it != pairs.constEnd())
            return *it;
    }
    return {};
}

QString odbcValue(const QString &v)
{
    if (v.contains(u';') || v.contains(u'{') || v.contains(u'}'))
        return u'{' + QString(v).replace(QStringLiteral("}"), QStringLiteral("}}")) + u'}';
    return v;
}

bool looksLikeSqliteFile(const QString &s)
{
    const QString suffix = QFileInfo(s).suffix().toLower();
    return suffix == u"sqlite" || suffix == u"db" || suffix == u"sqlite3";
}

} // namespace

ConnectionTarget ConnectionTarget::parse(const QString &connectionString)
{
    ConnectionTarget t;
    const QString s = connectionString.trimmed();
    if (s.isEmpty()) {
        t.error = QStringLiteral("Niz za spajanje na bazu podataka je prazan.");
        return t;
    }
    if (!s.contains(u'=')) {
        if (looksLikeSqliteFile(s)) {
            t.kind = Sqlite;
            t.sqlitePath = s;
        } else {
            t.error =
                QStringLiteral("Neprepoznat niz za spajanje na bazu podataka: \"%1\".").arg(s);
        }
        return t;
    }

    bool sawPair = false;
    const QHash<QString, QString> pairs = splitPairs(s, &sawPair);
    const QString provider = pairs.value(QStringLiteral("provider")).trimmed();
    const QString dataSource = firstOf(pairs, {"data source", "server", "address"});

    if (!provider.isEmpty()) {
        const QString p = provider.toUpper();
        if (p == u"SQLITE") {
            if (dataSource.isEmpty()) {
                t.error =
                    QStringLiteral("U nizu za spajanje nedostaje \"Data Source\" (datoteka baze).");
                return t;
            }
            t.kind = Sqlite;
            t.sqlitePath = dataSource;
            return t;
        }
        if (p.startsWith(u"SQLOLEDB") || p.startsWith(u"SQLNCLI") || p.startsWith(u"MSOLEDBSQL")) {
            if (dataSource.isEmpty()) {
                t.error =
                    QStringLiteral("U nizu za spajanje nedostaje \"Data Source\" (poslužitelj).");
                return t;
            }
            QString odbc = QStringLiteral("DRIVER={FreeTDS};SERVER=%1;").arg(odbcValue(dataSource));
            if (!dataSource.contains(u',') && !dataSource.contains(u'\\'))
                odbc += QStringLiteral("PORT=1433;");
            const QString catalog = firstOf(pairs, {"initial catalog", "database"});
            if (!catalog.isEmpty())
                odbc += QStringLiteral("DATABASE=%1;").arg(odbcValue(catalog));
            const QString security = pairs.value(QStringLiteral("integrated security")).toUpper();
            if (security == u"SSPI" || security == u"TRUE" || security == u"YES") {
                odbc += QStringLiteral("Trusted_Connection=Yes;");
            } else {
                odbc += QStringLiteral("UID=%1;PWD=%2;")
                            .arg(odbcValue(firstOf(pairs, {"user id", "uid", "user"})),
                                 odbcValue(firstOf(pairs, {"password", "pwd"})));
            }
            odbc += QStringLiteral("TDS_Version=7.4;ClientCharset=UTF-8;");
            t.kind = SqlServer;
            t.odbcString = odbc;
            return t;
        }
        t.error =
            QStringLiteral("Nepoznat davatelj podataka (Provider) u nizu za spajanje: \"%1\".")
                .arg(provider);
        return t;
    }
    if (pairs.contains(QStringLiteral("driver")) || pairs.contains(QStringLiteral("dsn"))) {
        t.kind = Odbc;
        t.odbcString = s;
        return t;
    }
    if (looksLikeSqliteFile(s)) {
        t.kind = Sqlite;
        t.sqlitePath = s;
        return t;
    }
    t.error = QStringLiteral("Neprepoznat niz za spajanje na bazu podataka: \"%1\".").arg(s);
    return t;
}
