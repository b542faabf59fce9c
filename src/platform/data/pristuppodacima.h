#pragma once

#include "recordset.h"
#include "tsqladapter.h"

#include <QString>

#include <functional>
#include <optional>

struct sqlite3;

/// The data-access component: every statement of the windows goes through it.
///
/// Connections are opened once per connection string and shared by all instances. The unit of
/// work (OtvoriVezu ... ZatvoriVezu) has a connection of its own, so that its transaction holds
/// only its own statements. Each operation returns false on failure and keeps the description,
/// which callers show as "Desila se greška: " + OpisGreske().
class cPristupPodacima
{
public:
    cPristupPodacima();
    ~cPristupPodacima();
    cPristupPodacima(const cPristupPodacima &) = delete;
    cPristupPodacima &operator=(const cPristupPodacima &) = delete;

    bool PocniTransakciju();
    void ZatvoriVezu();
    bool PotvrdiTransakciju();
    /// Runs a statement that returns no rows; an empty conn runs it inside the unit of work.
    bool IzvrsiNaredbu(const QString &conn, const QString &sql);
    /// Opens rows on the unit of work's connection that take AddNew, field assignment and Update.
    bool OtvoriRecordsetZaIzmjene(const QString &sql, Recordset &rs, int cursorType, int lockType);
    /// Opens a read-only, scrollable record set. On failure rs keeps what it held.
    bool OtvoriRecordset(const QString &conn, const QString &sql, Recordset &rs, bool readOnly,
                         bool async);
    void OtvoriVezu(const QString &conn);
    void PonistiTransakciju();

    /// Description of the last failure (empty after a success).
    QString OpisGreske() const { return m_error; }

    /// Receives every statement: stage "sql" as the caller built it, and on the embedded book
    /// stage "sqlite" as it runs after the adapter, or "sqlite (<via>)" when a statement hook gave
    /// it (TSqlAdapter::Result::via).
    using Trace = std::function<void(const QString &stage, const QString &sql)>;
    static void setTrace(Trace trace);

    /// Receives the description of every failure, as OpisGreske() then gives it: the cause of
    /// what a window reports in words of its own.
    using FailureTrace = std::function<void(const QString &description)>;
    static void setFailureTrace(FailureTrace trace);

    /// Opens the connection the statements on conn will use (or finds it open); forWriting, also
    /// makes sure that a statement could write to the embedded book now: it was not opened
    /// read-only and no other program holds it locked longer than the wait (booklock.h). False
    /// with the cause in OpisGreske().
    bool checkConnection(const QString &conn, bool forWriting);

    /// Given each statement on an embedded book before the adapter: the statement as it runs
    /// there, when the hook has a way of its own for this one; else nothing, and the adapter's
    /// plain one is taken.
    using StatementHook = std::function<std::optional<TSqlAdapter::Result>(const QString &sql)>;
    /// Asked as the connection to an embedded book opens (its handle, the book's schema "dbo"):
    /// the hook for the statements on it, or an empty one. What knows the book's tables sets it.
    using ConnectionHook = std::function<StatementHook(sqlite3 *book, const QString &schema)>;
    static void setConnectionHook(ConnectionHook hook);

    /// Closes every cached connection (at shutdown, and between tests).
    static void closeAllConnections();

private:
    bool fail(const QString &description);
    /// Tells the failure trace of a failure; returns ok.
    bool told(bool ok) const;
    bool unitOfWorkReady();

    QString m_error;
    QString m_uowConnection; // Qt connection name of the unit of work, empty when none
    bool m_uowSqlite = false;
    bool m_inTransaction = false;
};
