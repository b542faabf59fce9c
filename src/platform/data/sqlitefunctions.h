#pragma once

#include <QString>

struct sqlite3;

/// SQL Server's LEN and STR, registered on a SQLite connection so that the statements mean the
/// same on the embedded book.
namespace SqliteFunctions {
bool registerAll(sqlite3 *db);
/// STR(n, length, decimals): n rounded, right-aligned in length characters, or length '*' when
/// the number does not fit.
QString sqlServerStr(double value, int length = 10, int decimals = 0);
/// LEN(text): characters without the trailing blanks.
int sqlServerLen(const QString &text);
} // namespace SqliteFunctions
