#include "db/tsqltranslator.h"

#include "db/tsqllexer.h"
#include "db/tsqlparser.h"
#include "db/tsqlschema.h"

namespace orvane::db {

namespace {

Translation translate(const QString& tsql, TsqlSchema* schema, TsqlParser::Dialect dialect)
{
    Translation result;
    QList<TsqlToken> tokens;
    QString error;
    if (!TsqlLexer::tokenize(tsql, tokens, error)) {
        result.error = error;
        return result;
    }
    if (schema)
        schema->beginTranslation();
    TsqlParser parser(tokens, schema, dialect);
    if (!parser.translateBatch(result.statements, error)) {
        result.error = error;
        return result;
    }
    result.ok = true;
    return result;
}

} // namespace

Translation TsqlTranslator::toSqlite(const QString& tsql, TsqlSchema* schema)
{
    return translate(tsql, schema, TsqlParser::Dialect::Sqlite);
}

Translation TsqlTranslator::toPostgres(const QString& tsql, TsqlSchema* schema)
{
    return translate(tsql, schema, TsqlParser::Dialect::Postgres);
}

namespace {

bool isName(const TsqlToken& t)
{
    return t.kind == TsqlToken::Kind::Identifier || t.kind == TsqlToken::Kind::QuotedIdentifier;
}

// Statement words that can never be the name of a procedure called without EXEC.
bool isStatementWord(const TsqlToken& t)
{
    static const char* const words[] = {
        "SELECT",   "INSERT", "UPDATE",   "DELETE",     "CREATE",    "ALTER",    "DROP",
        "TRUNCATE", "WITH",   "IF",       "BEGIN",      "COMMIT",    "ROLLBACK", "SET",
        "DECLARE",  "PRINT",  "USE",      "GO",         "WHILE",     "RETURN",   "GRANT",
        "REVOKE",   "DENY",   "MERGE",    "BACKUP",     "RESTORE",   "DBCC",     "KILL",
        "OPEN",     "CLOSE",  "FETCH",    "DEALLOCATE", "RAISERROR", "THROW",    "WAITFOR",
        "SAVE",     "BREAK",  "CONTINUE", "GOTO",       "END",       "ELSE",     "NULL",
        "DEFAULT"};
    for (const char* w : words) {
        if (t.isWord(w))
            return true;
    }
    return false;
}

} // namespace

std::optional<ProcedureCallText> parseProcedureCall(const QString& tsql)
{
    QList<TsqlToken> tokens;
    QString error;
    if (!TsqlLexer::tokenize(tsql, tokens, error))
        return std::nullopt;
    qsizetype i = 0;
    auto at = [&](qsizetype k) -> const TsqlToken& {
        return tokens.at(std::min(k, tokens.size() - 1));
    };
    if (at(i).isWord("EXEC") || at(i).isWord("EXECUTE")) {
        ++i;
    } else if (at(i).kind != TsqlToken::Kind::Identifier || isStatementWord(at(i))) {
        return std::nullopt;
    }
    if (!isName(at(i)) || isStatementWord(at(i)))
        return std::nullopt;
    ProcedureCallText call;
    call.name = at(i++).text;
    while (at(i).isOperator(".")) { // owner prefix: dbo.name, [dbo].[name]
        ++i;
        if (!isName(at(i)))
            return std::nullopt;
        call.name = at(i++).text;
    }
    // After the name only arguments may follow; anything else means this is not a call.
    bool expectArgument = !(at(i).kind == TsqlToken::Kind::End || at(i).isOperator(";"));
    while (expectArgument) {
        ProcedureArgument argument;
        if (at(i).kind == TsqlToken::Kind::Variable && at(i + 1).isOperator("=")) {
            argument.name = at(i).text.mid(1);
            i += 2;
        }
        bool negative = false;
        if (at(i).isOperator("-") || at(i).isOperator("+")) {
            negative = at(i).isOperator("-");
            ++i;
            if (at(i).kind != TsqlToken::Kind::Number)
                return std::nullopt;
        }
        const TsqlToken& v = at(i);
        if (v.kind == TsqlToken::Kind::Variable) {
            // `@Out = @x OUTPUT`: a variable receives an output; there are no variables here, so
            // the argument only marks the parameter as an output of this call.
            if (!(at(i + 1).isWord("OUTPUT") || at(i + 1).isWord("OUT")))
                return std::nullopt;
            argument.output = true;
        } else if (v.kind == TsqlToken::Kind::Number) {
            const QString digits = (negative ? QStringLiteral("-") : QString()) + v.text;
            bool isInt = false;
            const qlonglong n = digits.toLongLong(&isInt);
            if (isInt) {
                argument.value = n;
            } else {
                bool isReal = false;
                const double d = digits.toDouble(&isReal);
                if (!isReal)
                    return std::nullopt;
                argument.value = d;
            }
        } else if (v.isWord("NULL")) {
            argument.value = QVariant();
        } else if (v.kind == TsqlToken::Kind::String ||
                   (v.kind == TsqlToken::Kind::Identifier && !isStatementWord(v))) {
            // T-SQL also takes a bare word as a text argument.
            argument.value = v.text;
        } else {
            return std::nullopt;
        }
        ++i;
        if (at(i).isWord("OUTPUT") || at(i).isWord("OUT")) {
            argument.output = true;
            ++i;
        }
        call.arguments.append(argument);
        if (at(i).isOperator(","))
            ++i;
        else
            expectArgument = false;
    }
    if (at(i).isOperator(";"))
        ++i;
    if (at(i).kind != TsqlToken::Kind::End)
        return std::nullopt;
    return call;
}

} // namespace orvane::db
