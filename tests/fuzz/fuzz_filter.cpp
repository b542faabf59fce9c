// Any filter text must either be refused with a reason or applied without a crash.
#include "platform/data/recordset.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const Recordset rows = [] {
        Recordset rs;
        rs.assign({{QStringLiteral("Konto"), QMetaType::QString},
                   {QStringLiteral("Godina"), QMetaType::LongLong}},
                  {{QStringLiteral("1200"), 2025},
                   {QStringLiteral("D'Oro"), 2026},
                   {QVariant(), QVariant()}});
        return rs;
    }();
    Recordset rs = rows;
    const QString criteria = QString::fromUtf8(reinterpret_cast<const char *>(data), int(size));
    if (!rs.setFilter(criteria) && rs.filterError().isEmpty())
        abort();
    if (rs.RecordCount() > 3)
        abort();
    for (rs.MoveFirst(); !rs.Eof(); rs.MoveNext())
        (void)rs.value(0);
    return 0;
}
