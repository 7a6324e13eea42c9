#pragma once

#include <QList>
#include <QString>

namespace orvane::db {

// One token of T-SQL text. `text` holds the token's meaning: the unquoted name for identifiers
// (brackets and doubled quotes resolved), the value for string literals, the digits for numbers.
struct TsqlToken
{
    enum class Kind {
        Identifier,       // plain name, keyword, #temp or ##global temp name
        QuotedIdentifier, // [name] or "name": never a keyword
        Variable,         // @name or @@name (text keeps the @ signs)
        Number,
        String,   // 'text' or N'text'
        Operator, // punctuation and operators: ( ) , . ; = <> != <= >= + - * / % ...
        End,
    };
    Kind kind = Kind::End;
    QString text;
    qsizetype position = 0; // offset in the source text, for error messages
    bool national = false;  // N'...' literal

    bool isOperator(const char* op) const
    {
        return kind == Kind::Operator && text == QLatin1String(op);
    }
    // True for an unquoted identifier equal to `word` without regard to case.
    bool isWord(const char* word) const;
};

// Splits T-SQL text into tokens. Comments (-- and /* */) and white space are dropped.
class TsqlLexer
{
public:
    // Returns false and sets `error` on an unterminated literal, name or comment, or on a
    // character that cannot start a token.
    static bool tokenize(const QString& text, QList<TsqlToken>& tokens, QString& error);
};

} // namespace orvane::db
