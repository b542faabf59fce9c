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
    // Each literal and comment of the input is in the statement made of it, whole (a literal as
    // SQLite reads it: N'text' is 'text'). The adapter keeps each exactly as often: it neither
    // merges nor splits literals, nor makes a comment out of two minus signs. A statement narrowed
    // before its joins repeats its select items in a GROUP BY: as often or more.
    const auto keepsLiterals = [&](const TSqlAdapter::Result &a, bool exactly) {
        QHash<QString, int> left;
        for (const auto &[text, by] : {std::pair{a.sql, 1}, std::pair{sql, -1}})
            for (const auto &t : TSqlAdapter::tokenize(text))
                if (t.kind == TSqlAdapter::Token::String && !t.text.startsWith(u'\''))
                    left[t.text.mid(1)] += by;
                else if (t.kind == TSqlAdapter::Token::String ||
                         t.kind == TSqlAdapter::Token::Comment)
                    left[t.text] += by;
        for (const int n : std::as_const(left))
            if (n < 0 || (exactly && n > 0))
                return a.noop; // a statement that is not run keeps nothing
        return true;
    };
    const TSqlAdapter::Result r = TSqlAdapter::adapt(sql);
    if (!keepsLiterals(r, true) || !r.via.isEmpty())
        abort();

    static const QVector<SummaryTable> summaries = [] {
        SummaryTable t{QStringLiteral("PROMET"), QStringLiteral("PROMET_SAZETAK"), {}, true};
        for (const char *key :
             {"BROJPODUZECA", "GODINAKNJ", "SINTKONTO", "ANALKONTO", "MJESTOTROSKA"})
            t.columns << QLatin1String(key);
        for (const char *side : {"DUG", "POT"})
            for (int m = 0; m <= 12; ++m)
                t.columns << QLatin1String(side) +
                                 QStringLiteral("%1").arg(m, 2, 10, QLatin1Char('0'));
        return QVector<SummaryTable>{t};
    }();
    static const QSet<QString> rowKeys{QStringLiteral("KOMITENT.SIFKOMIT")};
    const TSqlAdapter::Result s = BookStatements::adapt(sql, summaries, rowKeys);
    if (!keepsLiterals(s, false))
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
