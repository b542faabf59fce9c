#pragma once

#include <QString>

/// What an ADO-style connection string from the host asks for, and how to reach it here.
struct ConnectionTarget
{
    enum Kind { Invalid, SqlServer, Odbc, Sqlite };
    Kind kind = Invalid;
    QString odbcString; ///< for SqlServer and Odbc: what Qt's ODBC driver is given
    QString sqlitePath; ///< for Sqlite: the book file
    QString error;      ///< for Invalid: why the string fits no form

    /// Sorts a host connection string into one of the accepted forms.
    static ConnectionTarget parse(const QString &connectionString);
};
