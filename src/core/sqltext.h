#pragma once

#include <QString>

namespace orvane::core {

// Text typed by an operator, made safe for the inside of a single-quoted SQL literal: every
// single quote is doubled. Nothing else needs escaping in T-SQL string literals.
inline QString sqlEscape(const QString& text)
{
    QString out = text;
    out.replace(QLatin1Char('\''), QLatin1String("''"));
    return out;
}

// The complete literal: 'text' with the quotes doubled inside.
inline QString sqlQuote(const QString& text)
{
    return QLatin1Char('\'') + sqlEscape(text) + QLatin1Char('\'');
}

} // namespace orvane::core
