// Any text must come through the adapter without a crash, and the tokens must join back to the
// input, so nothing inside a literal can ever be lost or rewritten; the adapted statement keeps
// its literals and comments. With a turnover summary at hand, likewise (a narrowed statement may
// repeat them), and a statement naming a partner, a cost centre, a row count or a rowid is never
// answered from the summary.
#include "book/bookstatements.h"
#include "platform/data/tsqladapter.h"

#include <QHash>
#include <QSet>

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
    const auto keepsLiterals = [&](const TSqlAdapter::Result &a) {
        return a.noop || (count(a.sql, TSqlAdapter::Token::String) ==
                              count(sql, TSqlAdapter::Token::String) &&
                          count(a.sql, TSqlAdapter::Token::Comment) ==
                              count(sql, TSqlAdapter::Token::Comment));
    };
    if (!keepsLiterals(r) || !r.via.isEmpty())
        abort();

    static const QVector<SummaryTable> summaries = [] {
        SummaryTable t{QStringLiteral("PROMET"),
                       QStringLiteral("PROMET_SAZETAK"),
                       {QStringLiteral("BROJPODUZECA"), QStringLiteral("GODINAKNJ"),
                        QStringLiteral("SINTKONTO"), QStringLiteral("ANALKONTO"),
                        QStringLiteral("MJESTOTROSKA")},
                       true};
        for (const char *side : {"DUG", "POT"})
            for (int m = 0; m <= 12; ++m)
                t.columns << QStringLiteral("%1%2")
                                 .arg(QLatin1String(side))
                                 .arg(m, 2, 10, QLatin1Char('0'));
        return QVector<SummaryTable>{t};
    }();
    // A statement narrowed before its joins repeats its select items in a GROUP BY: each literal
    // and comment of the input is still there, whole, as often or more.
    const auto keepsEachLiteral = [&](const TSqlAdapter::Result &a) {
        if (a.noop)
            return true;
        // a literal as SQLite reads it: N'text' is 'text'
        const auto plain = [](const TSqlAdapter::Token &t) {
            return t.kind == TSqlAdapter::Token::String && !t.text.startsWith(u'\'') ? t.text.mid(1)
                                                                                     : t.text;
        };
        QHash<QString, int> seen;
        for (const auto &t : TSqlAdapter::tokenize(a.sql))
            if (t.kind == TSqlAdapter::Token::String || t.kind == TSqlAdapter::Token::Comment)
                ++seen[plain(t)];
        for (const auto &t : TSqlAdapter::tokenize(sql))
            if ((t.kind == TSqlAdapter::Token::String || t.kind == TSqlAdapter::Token::Comment) &&
                --seen[plain(t)] < 0)
                return false;
        return true;
    };
    static const QSet<QString> rowKeys{QStringLiteral("KOMITENT.SIFKOMIT")};
    const TSqlAdapter::Result s = BookStatements::adapt(sql, summaries, rowKeys);
    if (!keepsEachLiteral(s))
        abort();
    if (!s.via.isEmpty()) {
        const auto tokens = TSqlAdapter::tokenize(sql);
        for (int i = 0; i < tokens.size(); ++i) {
            const auto is = [&](const char *w) {
                return tokens[i].kind == TSqlAdapter::Token::Word &&
                       tokens[i].text.compare(QLatin1String(w), Qt::CaseInsensitive) == 0;
            };
            for (const char *w : {"ANALKONTO", "MJESTOTROSKA", "ROWID"})
                if (is(w))
                    abort();
            for (const char *w : {"COUNT", "AVG", "MIN", "MAX"})
                if (is(w) && i + 1 < tokens.size() && tokens[i + 1].text == u"(")
                    abort();
        }
        if (!s.sql.contains(QLatin1String("PROMET_SAZETAK")))
            abort();
    }
    return 0;
}
