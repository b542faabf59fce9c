#pragma once

// Helpers shared by the test programs: the demo book they run against, and an independent way to
// ask it questions (the bare SQLite interface, bypassing our data access and adapter).
//
// The tests hold for any day they run on. The fixture book is made for a fixed set of years,
// kFirstYear to kLastYear, and every test program runs on a fixed day of the book's last year,
// today(), through the clock the windows read (their year boxes open over this year and the five
// before it, as over the book). A test of what follows the date fixes another day itself.
#include "demobook.h"
#include "platform/clock/clock.h"

#include <QtTest> // and the whole of QtCore

#include <sqlite3.h>

namespace TestSupport {

constexpr int kFirstYear = 2021;
constexpr int kLastYear = 2026;
inline QDate today()
{
    return QDate(kLastYear, 6, 15);
}

/// Fixes the test clock at today() when the test program starts.
inline const bool kClockFixed = (Clock::fixToday(today()), true);

/// The demo book at scale 1 over kFirstYear..kLastYear, made once per build tree and shared
/// read-only by the tests.
inline QString demoBook()
{
    const QString dir = QStringLiteral(FINGRAF_TEST_DATA);
    QDir().mkpath(dir);
    const QString path =
        dir + QStringLiteral("/demo-%1-%2.sqlite").arg(DemoBook::kEdition).arg(kLastYear);
    DemoBook::Options options;
    options.lastYear = kLastYear;
    QString error;
    if (!DemoBook::create(path, options, &error))
        qFatal("demo book: %s", qPrintable(error));
    return path;
}

/// A private copy of the demo book for a test that writes.
inline QString demoBookCopy(const QTemporaryDir &dir)
{
    const QString path = dir.filePath(QStringLiteral("book.sqlite"));
    QFile::remove(path);
    QFile::copy(demoBook(), path);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    return path;
}

/// First column of the first row of sql, run by SQLite itself.
inline QVariant scalar(const QString &path, const QString &sql)
{
    sqlite3 *db = nullptr;
    sqlite3_stmt *s = nullptr;
    QVariant result;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &s, nullptr) != SQLITE_OK)
        qWarning("scalar: %s", sqlite3_errmsg(db));
    const int type = s && sqlite3_step(s) == SQLITE_ROW ? sqlite3_column_type(s, 0) : SQLITE_NULL;
    if (type == SQLITE_INTEGER)
        result = qlonglong(sqlite3_column_int64(s, 0));
    else if (type == SQLITE_FLOAT)
        result = sqlite3_column_double(s, 0);
    else if (type == SQLITE_TEXT)
        result = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(s, 0)));
    sqlite3_finalize(s);
    sqlite3_close(db);
    return result;
}

/// Runs sql on the book with SQLite itself (a test changing its own copy); the error, or nothing.
inline QString execute(const QString &path, const QString &sql)
{
    sqlite3 *db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    // after a failed open, the message is the open's
    const QString error =
        sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr) == SQLITE_OK
            ? QString()
            : QString::fromUtf8(sqlite3_errmsg(db));
    sqlite3_close(db);
    return error;
}

/// What a program prints on its standard output (pdftotext, say).
inline QString output(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

inline QString sqliteConn(const QString &path)
{
    return QStringLiteral("Provider=SQLite;Data Source=") + path;
}

} // namespace TestSupport
