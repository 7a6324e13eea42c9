#include "db/fromclause.h"

namespace orvane::db {

namespace {

// A small lexer, enough to find the FROM clause of a select.
struct Token
{
    enum Kind { Word, Quoted, String, Number, Punct } kind;
    QString text;  // as written
    QString upper; // words: upper-cased; quoted names: the name without quotes
    qsizetype start;
};

std::vector<Token> lex(const QString& sql)
{
    std::vector<Token> tokens;
    const qsizetype n = sql.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar ch = sql[i];
        if (ch.isSpace()) {
            ++i;
            continue;
        }
        if (ch == QLatin1Char('-') && i + 1 < n && sql[i + 1] == QLatin1Char('-')) {
            while (i < n && sql[i] != QLatin1Char('\n'))
                ++i;
            continue;
        }
        if (ch == QLatin1Char('/') && i + 1 < n && sql[i + 1] == QLatin1Char('*')) {
            const qsizetype end = sql.indexOf(QLatin1String("*/"), i + 2);
            i = end < 0 ? n : end + 2;
            continue;
        }
        const qsizetype start = i;
        if (ch == QLatin1Char('\'') || ch == QLatin1Char('"') || ch == QLatin1Char('`') ||
            ch == QLatin1Char('[')) {
            const QChar close = ch == QLatin1Char('[') ? QLatin1Char(']') : ch;
            ++i;
            QString inner;
            while (i < n) {
                if (sql[i] == close) {
                    if (close != QLatin1Char(']') && i + 1 < n && sql[i + 1] == close) {
                        inner += close;
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                inner += sql[i++];
            }
            tokens.push_back({ch == QLatin1Char('\'') ? Token::String : Token::Quoted,
                              sql.mid(start, i - start), inner, start});
            continue;
        }
        if (ch.isLetter() || ch == QLatin1Char('_') || ch == QLatin1Char('#') ||
            ch == QLatin1Char('@') || ch == QLatin1Char('$')) {
            while (i < n && (sql[i].isLetterOrNumber() || sql[i] == QLatin1Char('_') ||
                             sql[i] == QLatin1Char('#') || sql[i] == QLatin1Char('$') ||
                             sql[i] == QLatin1Char('@')))
                ++i;
            const QString word = sql.mid(start, i - start);
            tokens.push_back({Token::Word, word, word.toUpper(), start});
            continue;
        }
        if (ch.isDigit()) {
            while (i < n && (sql[i].isLetterOrNumber() || sql[i] == QLatin1Char('.')))
                ++i;
            tokens.push_back({Token::Number, sql.mid(start, i - start), QString(), start});
            continue;
        }
        ++i;
        tokens.push_back({Token::Punct, QString(ch), QString(ch), start});
    }
    return tokens;
}

bool isName(const Token& t)
{
    return t.kind == Token::Word || t.kind == Token::Quoted;
}

QString nameOf(const Token& t)
{
    return t.kind == Token::Quoted ? t.upper : t.text;
}

bool isClauseEnd(const QString& upper)
{
    static const QStringList words = {
        QStringLiteral("WHERE"),  QStringLiteral("GROUP"),  QStringLiteral("ORDER"),
        QStringLiteral("HAVING"), QStringLiteral("LIMIT"),  QStringLiteral("WINDOW"),
        QStringLiteral("UNION"),  QStringLiteral("EXCEPT"), QStringLiteral("INTERSECT")};
    return words.contains(upper);
}

bool isJoinWord(const QString& upper)
{
    static const QStringList words = {
        QStringLiteral("JOIN"),    QStringLiteral("LEFT"),    QStringLiteral("RIGHT"),
        QStringLiteral("INNER"),   QStringLiteral("OUTER"),   QStringLiteral("CROSS"),
        QStringLiteral("NATURAL"), QStringLiteral("FULL"),    QStringLiteral("ON"),
        QStringLiteral("USING"),   QStringLiteral("INDEXED"), QStringLiteral("NOT"),
        QStringLiteral("AS")};
    return words.contains(upper);
}

} // namespace

FromTables scanFromTables(const QString& sql)
{
    FromTables keyed;
    const std::vector<Token> tokens = lex(sql);
    if (tokens.empty() || tokens[0].upper != QLatin1String("SELECT"))
        return keyed;
    if (tokens.size() > 1 && (tokens[1].upper == QLatin1String("DISTINCT")))
        return keyed;
    int depth = 0;
    qsizetype fromIndex = -1;
    for (size_t i = 1; i < tokens.size(); ++i) {
        const Token& t = tokens[i];
        if (t.text == QLatin1String("("))
            ++depth;
        else if (t.text == QLatin1String(")"))
            --depth;
        else if (depth == 0 && t.kind == Token::Word) {
            if (t.upper == QLatin1String("FROM") && fromIndex < 0)
                fromIndex = qsizetype(i);
            else if (t.upper == QLatin1String("UNION") || t.upper == QLatin1String("EXCEPT") ||
                     t.upper == QLatin1String("INTERSECT") || t.upper == QLatin1String("GROUP") ||
                     t.upper == QLatin1String("SELECT"))
                return keyed; // compound or grouped: rows are not base rows
        }
    }
    if (fromIndex < 0)
        return keyed;

    // Table references of the FROM clause.
    bool expectTable = true;
    depth = 0;
    for (size_t i = size_t(fromIndex) + 1; i < tokens.size(); ++i) {
        const Token& t = tokens[i];
        if (t.text == QLatin1String("(")) {
            ++depth;
            expectTable = false; // a sub-query or a parenthesised join: not written back
            continue;
        }
        if (t.text == QLatin1String(")")) {
            --depth;
            continue;
        }
        if (depth > 0)
            continue;
        if (t.kind == Token::Word && isClauseEnd(t.upper))
            break;
        if (t.text == QLatin1String(",") || t.upper == QLatin1String("JOIN")) {
            expectTable = true;
            continue;
        }
        if (!expectTable || !isName(t) || (t.kind == Token::Word && isJoinWord(t.upper)))
            continue;
        QString table = nameOf(t);
        QString reference = t.text;
        size_t j = i + 1;
        while (j + 1 < tokens.size() && tokens[j].text == QLatin1String(".") &&
               isName(tokens[j + 1])) { // schema.table
            table = nameOf(tokens[j + 1]);
            reference += QLatin1Char('.') + tokens[j + 1].text;
            j += 2;
        }
        if (j < tokens.size() && tokens[j].upper == QLatin1String("AS"))
            ++j;
        if (j < tokens.size() && isName(tokens[j]) &&
            !(tokens[j].kind == Token::Word &&
              (isJoinWord(tokens[j].upper) || isClauseEnd(tokens[j].upper)))) {
            reference = tokens[j].text;
            ++j;
        }
        keyed.tables << table;
        keyed.aliases << reference;
        expectTable = false;
        i = j - 1;
    }
    if (!keyed.tables.isEmpty())
        keyed.insertAt = tokens[size_t(fromIndex)].start;
    return keyed;
}

} // namespace orvane::db
