#include "pristuppodacima.h"

#include "booklock.h"
#include "connectionstring.h"
#include "sqlitefunctions.h"

#include <QFileInfo>
#include <QHash>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUrl>

#include <sqlite3.h>

#include <memory>

namespace {

using Adapted = QHash<QString, TSqlAdapter::Result>;

struct Connection
{
    QString name; // Qt connection name
    bool sqlite = false;
    QString book; // the embedded book's file
    // the statements adapted for it so far
    std::shared_ptr<Adapted> adapted;
    sqlite3 *handle = nullptr; // the embedded book's, while the Qt connection is open
    cPristupPodacima::StatementHook hook = {};
};

cPristupPodacima::ConnectionHook &connectionHook()
{
    static cPristupPodacima::ConnectionHook h;
    return h;
}

QHash<QString, Connection> &cache()
{
    static QHash<QString, Connection> c;
    return c;
}

cPristupPodacima::Trace &traceHook()
{
    static cPristupPodacima::Trace t;
    return t;
}

cPristupPodacima::FailureTrace &failureHook()
{
    static cPristupPodacima::FailureTrace t;
    return t;
}

bool isBusy(const QSqlError &e)
{
    return BookLock::isBusy(e.nativeErrorCode().toInt()) ||
           e.databaseText().contains(QLatin1String("database is locked"));
}

int &connectionCounter()
{
    static int n = 0;
    return n;
}

QString describe(const QSqlError &e)
{
    QString text = e.databaseText().trimmed();
    const QString driver = e.driverText().trimmed();
    if (text.isEmpty())
        text = driver;
    else if (!driver.isEmpty() && !text.contains(driver))
        text = driver + QStringLiteral(": ") + text;
    if (text.isEmpty())
        return QStringLiteral("Nepoznata greška baze podataka.");
    // the engine's words alone do not say that it waited, nor for whom
    if (isBusy(e))
        return QStringLiteral("knjigu drži zaključanom drugi program dulje od %1 s (%2)")
            .arg(BookLock::kWaitMs / 1000)
            .arg(text);
    return text;
}

bool attachSqliteBook(QSqlDatabase &db, const QString &path, Connection *c, QString *error)
{
    QSqlQuery q(db);
    const QString uriPath = QString::fromLatin1(
        QUrl::toPercentEncoding(QFileInfo(path).absoluteFilePath(), QByteArrayLiteral("/")));
    // mode=rw never creates a file; a file that may not be written is still opened for reading.
    // A book another program holds locked is not: a connection made read-only by a passing lock
    // would fail every write after it.
    for (const char *mode : {"rw", "ro"}) {
        q.prepare(QStringLiteral("ATTACH DATABASE ? AS dbo"));
        q.addBindValue(QStringLiteral("file:%1?mode=%2").arg(uriPath, QLatin1String(mode)));
        if (q.exec())
            break;
        if (isBusy(q.lastError())) {
            *error = BookLock::heldByAnother(path);
            return false;
        }
        if (qstrcmp(mode, "ro") == 0) {
            const QString cause = describe(q.lastError());
            *error = cause.contains(QLatin1String("not a database"))
                         ? QStringLiteral("Datoteka \"%1\" nije baza podataka: %2").arg(path, cause)
                         : QStringLiteral("Baza podataka \"%1\" se ne može otvoriti: %2")
                               .arg(path, cause);
            return false;
        }
    }
    // Reading the schema proves the file is a database and not some other file.
    if (!q.exec(QStringLiteral("SELECT count(*) FROM dbo.sqlite_master"))) {
        *error = isBusy(q.lastError()) ? BookLock::heldByAnother(path)
                                       : QStringLiteral("Datoteka \"%1\" nije baza podataka: %2")
                                             .arg(path, describe(q.lastError()));
        return false;
    }
    const QVariant handle = db.driver()->handle();
    if (qstrcmp(handle.typeName(), "sqlite3*") != 0 ||
        !SqliteFunctions::registerAll(*static_cast<sqlite3 *const *>(handle.data()))) {
        *error = QStringLiteral("Nisu registrirane funkcije LEN i STR na bazi \"%1\".").arg(path);
        return false;
    }
    c->handle = *static_cast<sqlite3 *const *>(handle.data());
    if (connectionHook())
        c->hook = connectionHook()(c->handle, QStringLiteral("dbo"));
    return true;
}

// Opens a new Qt connection for a host connection string.
bool openConnection(const QString &conn, const QString &name, Connection *out, QString *error)
{
    const ConnectionTarget target = ConnectionTarget::parse(conn);
    if (target.kind == ConnectionTarget::Invalid) {
        *error = target.error;
        return false;
    }
    if (target.kind == ConnectionTarget::Sqlite) {
        if (!QFileInfo(target.sqlitePath).isFile()) {
            *error = QFileInfo(target.sqlitePath).isDir()
                         ? QStringLiteral("\"%1\" je mapa, a ne datoteka baze podataka.")
                               .arg(target.sqlitePath)
                         : QStringLiteral("Datoteka baze podataka ne postoji: \"%1\".")
                               .arg(target.sqlitePath);
            return false;
        }
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(QStringLiteral(":memory:"));
        // the wait holds from the attach on, for every statement of the connection
        db.setConnectOptions(
            QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(BookLock::kWaitMs));
        if (!db.open()) {
            *error = describe(db.lastError());
        } else if (Connection c{name, true, target.sqlitePath, std::make_shared<Adapted>()};
                   attachSqliteBook(db, target.sqlitePath, &c, error)) {
            *out = c;
            return true;
        }
    } else {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), name);
        db.setDatabaseName(target.odbcString);
        db.setConnectOptions(QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT=15"));
        if (db.open()) {
            *out = Connection{name, false, {}, nullptr};
            return true;
        }
        *error = QStringLiteral("Spajanje na bazu podataka nije uspjelo: %1")
                     .arg(describe(db.lastError()));
    }
    QSqlDatabase::database(name, false).close();
    QSqlDatabase::removeDatabase(name);
    return false;
}

bool cachedConnection(const QString &conn, Connection *out, QString *error)
{
    auto it = cache().constFind(conn);
    if (it != cache().constEnd() && QSqlDatabase::database(it->name, false).isOpen()) {
        *out = *it;
        return true;
    }
    if (it != cache().constEnd()) {
        QSqlDatabase::removeDatabase(it->name);
        cache().remove(conn);
    }
    const QString name = QStringLiteral("fingraf-%1").arg(++connectionCounter());
    if (!openConnection(conn, name, out, error))
        return false;
    cache().insert(conn, *out);
    return true;
}

// The statement as it runs on the connection; false with noop set when there is nothing to run.
QString statementFor(const Connection &c, const QString &sql, bool *noop)
{
    *noop = false;
    if (traceHook())
        traceHook()(QStringLiteral("sql"), sql);
    if (!c.sqlite)
        return sql;
    std::optional<TSqlAdapter::Result> own = c.hook ? c.hook(sql) : std::nullopt;
    TSqlAdapter::Result r;
    if (own) {
        r = *own;
    } else if (c.adapted) {
        // A window re-runs the same few statements on every redraw: adapt each text once.
        auto it = c.adapted->constFind(sql);
        if (it == c.adapted->constEnd()) {
            if (c.adapted->size() >= 512)
                c.adapted->clear();
            it = c.adapted->insert(sql, TSqlAdapter::adapt(sql));
        }
        r = *it;
    } else {
        r = TSqlAdapter::adapt(sql);
    }
    *noop = r.noop;
    if (traceHook() && !r.noop)
        traceHook()(r.via.isEmpty() ? QStringLiteral("sqlite")
                                    : QStringLiteral("sqlite (") + r.via + u')',
                    r.sql);
    return r.sql;
}

QMetaType::Type typeOf(const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Short:
        return QMetaType::LongLong;
    case QMetaType::Double:
    case QMetaType::Float:
        return QMetaType::Double;
    default:
        return QMetaType::Type(v.typeId());
    }
}

bool readRows(const Connection &c, const QString &sql, Recordset &rs, QString *error)
{
    bool noop = false;
    const QString statement = statementFor(c, sql, &noop);
    if (noop) {
        rs.assign({}, {});
        return true;
    }
    QSqlQuery q(QSqlDatabase::database(c.name, false));
    q.setForwardOnly(true);
    if (!q.exec(statement)) {
        *error = describe(q.lastError());
        return false;
    }
    const QSqlRecord rec = q.record();
    const int n = rec.count();
    QVector<Recordset::FieldInfo> fields(n);
    for (int i = 0; i < n; ++i)
        fields[i] = {rec.fieldName(i), QMetaType::Type(rec.field(i).metaType().id())};
    QVector<QVector<QVariant>> rows;
    while (q.next()) {
        QVector<QVariant> row(n);
        for (int i = 0; i < n; ++i)
            row[i] = q.value(i);
        rows.append(std::move(row));
    }
    if (q.lastError().isValid()) {
        *error = describe(q.lastError());
        return false;
    }
    // SQLite knows no column types for expressions: take the first value's type.
    for (int i = 0; i < n; ++i) {
        for (const auto &row : rows) {
            if (!row[i].isNull()) {
                fields[i].type = typeOf(row[i]);
                break;
            }
        }
    }
    rs.assign(std::move(fields), std::move(rows));
    return true;
}

bool execute(const Connection &c, const QString &sql, QString *error)
{
    bool noop = false;
    const QString statement = statementFor(c, sql, &noop);
    if (noop)
        return true;
    QSqlQuery q(QSqlDatabase::database(c.name, false));
    if (!q.exec(statement)) {
        *error = describe(q.lastError());
        return false;
    }
    return true;
}

// The table named after the first FROM of a simple SELECT.
QString tableOf(const QString &sql)
{
    const auto tokens = TSqlAdapter::tokenize(sql);
    for (int i = 0; i < tokens.size(); ++i) {
        if (tokens[i].kind == TSqlAdapter::Token::Word &&
            tokens[i].text.compare(QLatin1String("FROM"), Qt::CaseInsensitive) == 0) {
            QString name;
            for (int j = i + 1; j < tokens.size(); ++j) {
                const auto &t = tokens[j];
                if (t.kind == TSqlAdapter::Token::Space && name.isEmpty())
                    continue;
                if (t.kind == TSqlAdapter::Token::Word || t.kind == TSqlAdapter::Token::Quoted ||
                    t.text == u".")
                    name += t.text;
                else
                    break;
            }
            return name;
        }
    }
    return {};
}

} // namespace

cPristupPodacima::cPristupPodacima() = default;

cPristupPodacima::~cPristupPodacima()
{
    ZatvoriVezu();
}

bool cPristupPodacima::fail(const QString &description)
{
    m_error = description;
    return told(false);
}

bool cPristupPodacima::told(bool ok) const
{
    if (!ok && failureHook())
        failureHook()(m_error);
    return ok;
}

void cPristupPodacima::setTrace(Trace trace)
{
    traceHook() = std::move(trace);
}

void cPristupPodacima::setFailureTrace(FailureTrace trace)
{
    failureHook() = std::move(trace);
}

bool cPristupPodacima::checkConnection(const QString &conn, bool forWriting)
{
    m_error.clear();
    Connection c;
    if (!cachedConnection(conn, &c, &m_error))
        return told(false);
    if (!forWriting || !c.sqlite)
        return true;
    QSqlDatabase db = QSqlDatabase::database(c.name, false);
    const QVariant handle = db.driver()->handle();
    if (qstrcmp(handle.typeName(), "sqlite3*") == 0 &&
        sqlite3_db_readonly(*static_cast<sqlite3 *const *>(handle.data()), "dbo") == 1)
        return fail(QStringLiteral("Knjiga \"%1\" se ne može mijenjati: otvorena je samo za "
                                   "čitanje (nema dopuštenja za pisanje).")
                        .arg(c.book));
    // a write lock taken and given back at once: no other program holds the book now
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("BEGIN IMMEDIATE")))
        return fail(isBusy(q.lastError()) ? BookLock::heldByAnother(c.book)
                                          : describe(q.lastError()));
    q.exec(QStringLiteral("ROLLBACK"));
    return true;
}

void cPristupPodacima::setConnectionHook(ConnectionHook hook)
{
    connectionHook() = std::move(hook);
}

void cPristupPodacima::closeAllConnections()
{
    for (const Connection &c : std::as_const(cache())) {
        QSqlDatabase::database(c.name, false).close();
        QSqlDatabase::removeDatabase(c.name);
    }
    cache().clear();
}

bool cPristupPodacima::OtvoriRecordset(const QString &conn, const QString &sql, Recordset &rs, bool,
                                       bool)
{
    m_error.clear();
    Connection c;
    if (!cachedConnection(conn, &c, &m_error))
        return told(false);
    return told(readRows(c, sql, rs, &m_error));
}

bool cPristupPodacima::IzvrsiNaredbu(const QString &conn, const QString &sql)
{
    m_error.clear();
    if (conn.isEmpty()) {
        if (!unitOfWorkReady())
            return false;
        return told(execute(Connection{m_uowConnection, m_uowSqlite, {}, nullptr}, sql, &m_error));
    }
    Connection c;
    if (!cachedConnection(conn, &c, &m_error))
        return told(false);
    return told(execute(c, sql, &m_error));
}

void cPristupPodacima::OtvoriVezu(const QString &conn)
{
    ZatvoriVezu();
    m_error.clear();
    const QString name = QStringLiteral("fingraf-uow-%1").arg(++connectionCounter());
    Connection c;
    if (openConnection(conn, name, &c, &m_error)) {
        m_uowConnection = c.name;
        m_uowSqlite = c.sqlite;
    } else {
        told(false);
    }
}

bool cPristupPodacima::unitOfWorkReady()
{
    if (m_uowConnection.isEmpty())
        return fail(m_error.isEmpty() ? QStringLiteral("Veza za izmjene nije otvorena.") : m_error);
    return true;
}

bool cPristupPodacima::PocniTransakciju()
{
    if (!unitOfWorkReady())
        return false;
    m_error.clear();
    QSqlDatabase db = QSqlDatabase::database(m_uowConnection, false);
    if (!db.transaction())
        return fail(describe(db.lastError()));
    m_inTransaction = true;
    return true;
}

bool cPristupPodacima::PotvrdiTransakciju()
{
    if (!unitOfWorkReady())
        return false;
    m_error.clear();
    if (!m_inTransaction)
        return fail(QStringLiteral("Transakcija nije započeta."));
    QSqlDatabase db = QSqlDatabase::database(m_uowConnection, false);
    if (!db.commit())
        return fail(describe(db.lastError()));
    m_inTransaction = false;
    return true;
}

void cPristupPodacima::PonistiTransakciju()
{
    if (m_uowConnection.isEmpty() || !m_inTransaction)
        return;
    QSqlDatabase::database(m_uowConnection, false).rollback();
    m_inTransaction = false;
}

void cPristupPodacima::ZatvoriVezu()
{
    if (m_uowConnection.isEmpty())
        return;
    PonistiTransakciju(); // an unfinished unit of work never commits by closing
    QSqlDatabase::database(m_uowConnection, false).close();
    QSqlDatabase::removeDatabase(m_uowConnection);
    m_uowConnection.clear();
}

bool cPristupPodacima::OtvoriRecordsetZaIzmjene(const QString &sql, Recordset &rs, int, int)
{
    m_error.clear();
    if (!unitOfWorkReady())
        return false;
    const Connection c{m_uowConnection, m_uowSqlite, {}, nullptr};
    if (!readRows(c, sql, rs, &m_error))
        return told(false);
    const QString table = tableOf(sql);
    if (table.isEmpty())
        return fail(QStringLiteral("Iz naredbe se ne vidi tablica za izmjene: %1").arg(sql));
    rs.setWriter([c, table](const QStringList &fields, const QVariantList &values, QString *error) {
        QSqlDatabase db = QSqlDatabase::database(c.name, false);
        if (!db.isOpen()) {
            *error = QStringLiteral("Veza za izmjene je zatvorena.");
            return false;
        }
        QStringList marks;
        for (int i = 0; i < fields.size(); ++i)
            marks << QStringLiteral("?");
        QString sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                          .arg(table, fields.join(u','), marks.join(u','));
        if (c.sqlite)
            sql = TSqlAdapter::adapt(sql).sql;
        QSqlQuery q(db);
        if (!q.prepare(sql)) {
            *error = describe(q.lastError());
            return false;
        }
        for (const QVariant &v : values)
            q.addBindValue(v);
        if (!q.exec()) {
            *error = describe(q.lastError());
            return false;
        }
        return true;
    });
    return true;
}
