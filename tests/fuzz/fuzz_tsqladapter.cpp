// Any text must come through the adapter without a crash, and the tokens must join back to the
// input, so nothing inside a literal can ever be lost or rewritten.
#include "platform/data/tsqladapter.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString sql = QString::fromUtf8(reinterpret_cast<const char *>(data), int(size));
    QString joined;
    for (const auto &t : TSqlAdapter::tokenize(sql))
        joined += t.text;
    if (joined != sql)
        abort();
    const TSqlAdapter::Result r = TSqlAdapter::adapt(sql);
    int literalsIn = 0, literalsOut = 0;
    for (const auto &t : TSqlAdapter::tokenize(sql))
        literalsIn += t.kind == TSqlAdapter::Token::String;
    for (const auto &t : TSqlAdapter::tokenize(r.sql))
        literalsOut += t.kind == TSqlAdapter::Token::String;
    if (!r.noop && literalsOut != literalsIn)
        abort();
    return 0;
}
