#include "booklock.h"

#include <sqlite3.h>

namespace BookLock {

bool isBusy(int code)
{
    const int primary = code & 0xff;
    return primary == SQLITE_BUSY || primary == SQLITE_LOCKED;
}

QString heldByAnother(const QString &path)
{
    return QStringLiteral("Knjiga \"%1\" je zaključana: drži je drugi program, a nije je pustio "
                          "ni nakon %2 s čekanja.")
        .arg(path)
        .arg(kWaitMs / 1000);
}

} // namespace BookLock
