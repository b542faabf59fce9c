#include "tsqladapter.h"

#include "tokenwords.h"

#include <QSet>

namespace TSqlAdapter {

namespace {

bool isWordStart(QChar c)
{
    return c.isLetter() || c == u'_' || c == u'@' || c == u'#';
}
bool isWordPart(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c == u'@' || c == u'#' || c == u'$';
}

// Functions whose result is text, so that "+" next to them joins strings.
bool isTextFunction(const QString &word)
{
    static const QSet<QString> names = {
        QStringLiteral("LTRIM"),     QStringLiteral("RTRIM"),  QStringLiteral("STR"),
        QStringLiteral("LEFT"),      QStringLiteral("RIGHT"),  QStringLiteral("SUBSTRING"),
        QStringLiteral("UPPER"),     QStringLiteral("LOWER"),  QStringLiteral("REPLACE"),
        QStringLiteral("CHAR"),      QStringLiteral("NCHAR"),  QStringLiteral("SPACE"),
        QStringLiteral("REPLICATE"), QStringLiteral("SUBSTR"), QStringLiteral("TRIM")};
    return names.contains(word.toUpper());
}

bool significant(const Token &t)
{
    return t.kind != Token::Space && t.kind != Token::Comment;
}

int nextSig(const QVector<Token> &t, int i)
{
    for (++i; i < t.size(); ++i)
        if (significant(t[i]))
            return i;
    return -1;
}
int prevSig(const QVector<Token> &t, int i)
{
    for (--i; i >= 0; --i)
        if (significant(t[i]))
            return i;
    return -1;
}

// Index of the ")" that closes the "(" at open, or -1.
int matchingClose(const QVector<Token> &t, int open)
{
    int depth = 0;
    for (int i = open; i < t.size(); ++i) {
        if (isPunct(t[i], u'('))
            ++depth;
        else if (isPunct(t[i], u')') && --depth == 0)
            return i;
    }
    return -1;
}
int matchingOpen(const QVector<Token> &t, int close)
{
    int depth = 0;
    for (int i = close; i >= 0; --i) {
        if (isPunct(t[i], u')'))
            ++depth;
        else if (isPunct(t[i], u'(') && --depth == 0)
            return i;
    }
    return -1;
}

bool leftOperandIsText(const QVector<Token> &t, int plus)
{
    const int p = prevSig(t, plus);
    if (p < 0)
        return false;
    if (t[p].kind == Token::String)
        return true;
    if (isPunct(t[p], u')')) {
        const int open = matchingOpen(t, p);
        const int fn = open >= 0 ? prevSig(t, open) : -1;
        return fn >= 0 && t[fn].kind == Token::Word && isTextFunction(t[fn].text);
    }
    return false;
}

bool rightOperandIsText(const QVector<Token> &t, int plus)
{
    const int n = nextSig(t, plus);
    if (n < 0)
        return false;
    if (t[n].kind == Token::String)
        return true;
    const int after = nextSig(t, n);
    return t[n].kind == Token::Word && isTextFunction(t[n].text) && after >= 0 &&
           isPunct(t[after], u'(');
}

QString join(const QVector<Token> &t, int from, int to)
{
    QString s;
    for (int i = from; i < to; ++i)
        s += t[i].text;
    return s;
}

// LEFT(x, n) -> substr(x,1,n); the arguments are adapted on their own.
QString rewriteLeft(const QVector<Token> &t, int open, int close)
{
    int depth = 0;
    int comma = -1;
    for (int i = open + 1; i < close; ++i) {
        if (isPunct(t[i], u'('))
            ++depth;
        else if (isPunct(t[i], u')'))
            --depth;
        else if (depth == 0 && isPunct(t[i], u',')) {
            comma = i;
            break;
        }
    }
    if (comma < 0)
        return {};
    return QStringLiteral("substr(") + adapt(join(t, open + 1, comma)).sql + QStringLiteral(",1,") +
           adapt(join(t, comma + 1, close)).sql + u')';
}

} // namespace

QVector<Token> tokenize(const QString &sql)
{
    QVector<Token> out;
    const int n = sql.size();
    int i = 0;
    while (i < n) {
        const QChar c = sql[i];
        const int start = i;
        Token::Kind kind;
        if (c.isSpace()) {
            while (i < n && sql[i].isSpace())
                ++i;
            kind = Token::Space;
        } else if (c == u'\'' || ((c == u'N' || c == u'n') && i + 1 < n && sql[i + 1] == u'\'')) {
            i += (c == u'\'') ? 1 : 2;
            while (i < n) {
                if (sql[i] == u'\'') {
                    if (i + 1 < n && sql[i + 1] == u'\'') {
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                ++i;
            }
            kind = Token::String;
        } else if (c == u'"' || c == u'[' || c == u'`') {
            const QChar close = c == u'[' ? u']' : c;
            ++i;
            while (i < n) {
                if (sql[i] == close) {
                    if (i + 1 < n && sql[i + 1] == close) {
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                ++i;
            }
            kind = Token::Quoted;
        } else if (c == u'-' && i + 1 < n && sql[i + 1] == u'-') {
            while (i < n && sql[i] != u'\n')
                ++i;
            kind = Token::Comment;
        } else if (c == u'/' && i + 1 < n && sql[i + 1] == u'*') {
            const int end = sql.indexOf(QLatin1String("*/"), i + 2);
            i = end < 0 ? n : end + 2;
            kind = Token::Comment;
        } else if (c.isDigit() || (c == u'.' && i + 1 < n && sql[i + 1].isDigit())) {
            while (i < n && (sql[i].isDigit() || sql[i] == u'.'))
                ++i;
            if (i < n && (sql[i] == u'e' || sql[i] == u'E')) {
                int j = i + 1;
                if (j < n && (sql[j] == u'+' || sql[j] == u'-'))
                    ++j;
                if (j < n && sql[j].isDigit()) {
                    i = j;
                    while (i < n && sql[i].isDigit())
                        ++i;
                }
            }
            kind = Token::Number;
        } else if (isWordStart(c)) {
            while (i < n && isWordPart(sql[i]))
                ++i;
            kind = Token::Word;
        } else {
            ++i;
            // keep two-character operators together so that "<>" and ">=" stay whole
            if (i < n &&
                ((c == u'<' && (sql[i] == u'>' || sql[i] == u'=')) ||
                 ((c == u'>' || c == u'!') && sql[i] == u'=') || (c == u'|' && sql[i] == u'|')))
                ++i;
            kind = Token::Punct;
        }
        out.append(Token{kind, sql.mid(start, i - start)});
    }
    return out;
}

Result adapt(const QString &tsql)
{
    QVector<Token> t = tokenize(tsql);

    // SET TEXTSIZE n: a SQL Server session option that SQLite does not need.
    {
        const int a = nextSig(t, -1);
        const int b = a >= 0 ? nextSig(t, a) : -1;
        if (a >= 0 && b >= 0 && is(t[a], "SET") && is(t[b], "TEXTSIZE"))
            return Result{QString(), true, {}};
    }

    // Decide every "+" on the untouched token list, before LEFT is rewritten.
    QVector<bool> concat(t.size(), false);
    for (int i = 0; i < t.size(); ++i)
        if (isPunct(t[i], u'+'))
            concat[i] = leftOperandIsText(t, i) || rightOperandIsText(t, i);

    QString out;
    out.reserve(tsql.size() + 16);
    for (int i = 0; i < t.size(); ++i) {
        const Token &tok = t[i];
        if (tok.kind == Token::String && (tok.text.startsWith(u'N') || tok.text.startsWith(u'n'))) {
            // 'a'N'b' would become 'a''b', one literal with a quote in it
            if (out.endsWith(u'\''))
                out += u' ';
            out += tok.text.mid(1);
            continue;
        }
        if (tok.kind != Token::Word && tok.kind != Token::Punct) {
            out += tok.text;
            continue;
        }
        if (concat[i]) {
            out += QStringLiteral("||");
            continue;
        }
        if (is(tok, "TOP")) {
            const int a = nextSig(t, i);
            const int b = a >= 0 ? nextSig(t, a) : -1;
            if (a >= 0 && b >= 0 && t[a].kind == Token::Number && t[a].text == u"100" &&
                is(t[b], "PERCENT")) {
                // a comment among the words stays, a line comment with the end of its line
                for (int j = i + 1; j < b; ++j)
                    if (t[j].kind == Token::Comment)
                        out += t[j].text + (t[j].text.startsWith(u'-') ? u'\n' : u' ');
                i = b;
                const int after = i + 1;
                if (after < t.size() && t[after].kind == Token::Space)
                    i = after; // drop the blank that followed PERCENT as well
                // what stood on either side must not run together ("-TOP 100 PERCENT -1")
                if (!out.isEmpty() && !out.back().isSpace() && i + 1 < t.size())
                    out += u' ';
                continue;
            }
        }
        if (is(tok, "INSERT")) {
            const int a = nextSig(t, i);
            out += tok.text;
            if (a >= 0 && t[a].kind != Token::Punct && !is(t[a], "INTO") && !is(t[a], "OR"))
                out += QStringLiteral(" INTO");
            continue;
        }
        if (is(tok, "LEFT")) {
            const int open = nextSig(t, i);
            if (open >= 0 && isPunct(t[open], u'(')) {
                const int close = matchingClose(t, open);
                const QString rewritten = close > 0 ? rewriteLeft(t, open, close) : QString();
                if (!rewritten.isEmpty()) {
                    out += rewritten;
                    i = close;
                    continue;
                }
            }
        }
        out += tok.text;
    }
    return Result{out, false, {}};
}

} // namespace TSqlAdapter
