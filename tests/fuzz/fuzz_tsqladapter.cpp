// Any text must come through the adapter without a crash, and the tokens must join back to the
// input, so nothing inside a literal can ever be lost or rewritten; the adapted statement keeps
// its literals and comments.
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
    // rewriting must neither merge nor split literals, nor make a comment out of two minus signs
    const auto count = [](const QString &text, TSqlAdapter::Token::Kind kind) {
        int n = 0;
        for (const auto &t : TSqlAdapter::tokenize(text))
            n += t.kind == kind;
        return n;
    };
    if (!r.noop &&
        (count(r.sql, TSqlAdapter::Token::String) != count(sql, TSqlAdapter::Token::String) ||
         count(r.sql, TSqlAdapter::Token::Comment) != count(sql, TSqlAdapter::Token::Comment)))
        abort();
    return 0;
}
