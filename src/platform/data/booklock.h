#pragma once

#include <QString>

/// Another program may hold a lock on the embedded book (a write in progress, a transaction left
/// open). Every connection to a book waits for it this long, then gives up; what is said then.
namespace BookLock {

/// How long a statement waits for a lock another connection holds.
constexpr int kWaitMs = 5000;

/// Whether an SQLite result code (primary or extended) says that another connection holds the
/// lock: SQLITE_BUSY or SQLITE_LOCKED.
bool isBusy(int code);

/// "Knjiga "path" je zaključana: ...": another program holds it, and for how long it was waited
/// for.
QString heldByAnother(const QString &path);

} // namespace BookLock
