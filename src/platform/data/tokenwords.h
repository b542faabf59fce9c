#pragma once

#include "tsqladapter.h"

#include <initializer_list>

/// How the statement readings (the adapter, the summary's and the narrowing rewrites) look at a
/// token.
namespace TSqlAdapter {

/// The token is this word, in any case.
inline bool is(const Token &t, const char *word)
{
    return t.kind == Token::Word && t.text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}

/// The token is this one punctuation character.
inline bool isPunct(const Token &t, QChar c)
{
    return t.kind == Token::Punct && t.text.size() == 1 && t.text[0] == c;
}

/// The word, in upper case, is one of these.
inline bool oneOf(const QString &upper, std::initializer_list<const char *> words)
{
    for (const char *w : words)
        if (upper == QLatin1String(w))
            return true;
    return false;
}

} // namespace TSqlAdapter
