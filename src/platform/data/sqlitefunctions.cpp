#include "sqlitefunctions.h"

#include <sqlite3.h>

#include <cmath>

namespace SqliteFunctions {

QString sqlServerStr(double value, int length, int decimals)
{
    if (length <= 0 || length > 8000 || !std::isfinite(value))
        return QString();
    decimals = qBound(0, decimals, 16);
    const double scale = std::pow(10.0, decimals);
    const double rounded = std::round(value * scale) / scale; // halves away from zero
    QString text = QString::number(rounded, 'f', decimals);
    if (text.size() > length && decimals > 0) {
        // SQL Server gives up decimals before it gives up the number
        const int keep = qMax(0, length - int(text.indexOf(u'.')) - 1);
        text = QString::number(rounded, 'f', keep);
    }
    if (text.size() > length)
        return QString(length, u'*');
    return text.rightJustified(length, u' ');
}

int sqlServerLen(const QString &text)
{
    int n = text.size();
    while (n > 0 && text[n - 1] == u' ')
        --n;
    return n;
}

namespace {

void lenFunction(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const auto *text = reinterpret_cast<const char *>(sqlite3_value_text(argv[0]));
    const int bytes = sqlite3_value_bytes(argv[0]);
    sqlite3_result_int(ctx, sqlServerLen(QString::fromUtf8(text, bytes)));
}

void strFunction(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    for (int i = 0; i < argc; ++i) {
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL) {
            sqlite3_result_null(ctx);
            return;
        }
    }
    const double value = sqlite3_value_double(argv[0]);
    const int length = argc > 1 ? sqlite3_value_int(argv[1]) : 10;
    const int decimals = argc > 2 ? sqlite3_value_int(argv[2]) : 0;
    const QString s = sqlServerStr(value, length, decimals);
    if (s.isNull()) {
        sqlite3_result_null(ctx);
        return;
    }
    const QByteArray utf8 = s.toUtf8();
    sqlite3_result_text(ctx, utf8.constData(), utf8.size(), SQLITE_TRANSIENT);
}

} // namespace

bool registerAll(sqlite3 *db)
{
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    bool ok = sqlite3_create_function_v2(db, "LEN", 1, flags, nullptr, lenFunction, nullptr,
                                         nullptr, nullptr) == SQLITE_OK;
    for (int argc = 1; argc <= 3; ++argc)
        ok = ok && sqlite3_create_function_v2(db, "STR", argc, flags, nullptr, strFunction, nullptr,
                                              nullptr, nullptr) == SQLITE_OK;
    return ok;
}

} // namespace SqliteFunctions
