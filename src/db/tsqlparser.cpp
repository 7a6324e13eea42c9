#include "db/tsqlparser.h"

#include "db/tsqlparserdetail.h"

#include <QScopeGuard>
#include <QSet>

#include <sqlite3.h>

namespace orvane::db {

using tsqldetail::DepthGuard;
using tsqldetail::kPgSysObjects;
using tsqldetail::kSysObjects;
using tsqldetail::ParseFailure;

namespace {

// Words that end an expression or a clause and therefore cannot be an alias or a procedure name.
const QSet<QString>& reservedWords()
{
    static const QSet<QString> words = {
        "ADD",    "ALL",        "ALTER",  "AND",     "ANY",         "AS",       "ASC",
        "BEGIN",  "BETWEEN",    "BY",     "CASE",    "CHECK",       "COLLATE",  "COLUMN",
        "COMMIT", "CONSTRAINT", "CREATE", "CROSS",   "DECLARE",     "DEFAULT",  "DELETE",
        "DESC",   "DISTINCT",   "DROP",   "ELSE",    "END",         "ESCAPE",   "EXCEPT",
        "EXEC",   "EXECUTE",    "EXISTS", "FOREIGN", "FROM",        "FULL",     "GO",
        "GROUP",  "HAVING",     "IF",     "IN",      "INNER",       "INSERT",   "INTERSECT",
        "INTO",   "IS",         "JOIN",   "KEY",     "LEFT",        "LIKE",     "NOT",
        "NULL",   "ON",         "OPTION", "OR",      "ORDER",       "OUTER",    "PRIMARY",
        "PRINT",  "REFERENCES", "RETURN", "RIGHT",   "ROLLBACK",    "SELECT",   "SET",
        "TABLE",  "THEN",       "TOP",    "TRAN",    "TRANSACTION", "TRUNCATE", "UNION",
        "UNIQUE", "UPDATE",     "USE",    "VALUES",  "WHEN",        "WHERE",    "WHILE",
        "WITH"};
    return words;
}

} // namespace

TsqlParser::TsqlParser(const QList<TsqlToken>& tokens, TsqlSchema* schema, Dialect dialect)
    : m_tokens(tokens), m_schema(schema), m_pg(dialect == Dialect::Postgres)
{
}

bool TsqlParser::translateBatch(QStringList& statements, QString& error)
{
    statements.clear();
    try {
        bool any = false;
        while (peek().kind != TsqlToken::Kind::End) {
            if (acceptOp(";"))
                continue;
            parseStatement(statements);
            any = true;
            if (!atStatementEnd())
                fail(QStringLiteral("unexpected text after the end of the statement"));
        }
        if (!any)
            fail(QStringLiteral("no statement to translate"));
    } catch (const ParseFailure& failure) {
        statements.clear();
        error = failure.message;
        return false;
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// tokens

const TsqlToken& TsqlParser::peek(int ahead) const
{
    const qsizetype i = std::min(m_pos + ahead, m_tokens.size() - 1);
    return m_tokens.at(i);
}

const TsqlToken& TsqlParser::next()
{
    const TsqlToken& t = m_tokens.at(m_pos);
    if (t.kind != TsqlToken::Kind::End)
        ++m_pos;
    return t;
}

bool TsqlParser::acceptWord(const char* word)
{
    if (!peek().isWord(word))
        return false;
    next();
    return true;
}

bool TsqlParser::acceptOp(const char* op)
{
    if (!peek().isOperator(op))
        return false;
    next();
    return true;
}

void TsqlParser::expectWord(const char* word)
{
    if (!acceptWord(word))
        fail(QStringLiteral("%1 expected").arg(QLatin1String(word)));
}

void TsqlParser::expectOp(const char* op)
{
    if (!acceptOp(op))
        fail(QStringLiteral("'%1' expected").arg(QLatin1String(op)));
}

void TsqlParser::fail(const QString& message) const
{
    failAt(peek(), message);
}

void TsqlParser::failAt(const TsqlToken& token, const QString& message) const
{
    QString where =
        token.kind == TsqlToken::Kind::End
            ? QStringLiteral("at the end of the text")
            : QStringLiteral("at position %1 (near '%2')").arg(token.position + 1).arg(token.text);
    throw ParseFailure{message + QLatin1Char(' ') + where};
}

bool TsqlParser::atStatementEnd() const
{
    const TsqlToken& t = peek();
    if (t.kind == TsqlToken::Kind::End || t.isOperator(";"))
        return true;
    // T-SQL batches may run statements together without a separator.
    for (const char* w : {"SELECT", "INSERT", "UPDATE", "DELETE", "CREATE", "ALTER", "DROP",
                          "TRUNCATE", "BEGIN", "COMMIT", "ROLLBACK", "SET"}) {
        if (t.isWord(w))
            return true;
    }
    return false;
}

bool TsqlParser::isReserved(const TsqlToken& token) const
{
    return token.kind == TsqlToken::Kind::Identifier &&
           reservedWords().contains(token.text.toUpper());
}

QString TsqlParser::quoteName(const QString& name) const
{
    if (m_pg) {
        // T-SQL names are case-insensitive: every name is folded to lower case, as PostgreSQL
        // folds the unquoted names of the DDL.
        QString quoted = name.toLower();
        quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
        return QLatin1Char('"') + quoted + QLatin1Char('"');
    }
    bool plain = !name.isEmpty() && (name.at(0).isLetter() || name.at(0) == u'_');
    for (QChar c : name) {
        if (!(c.unicode() < 128 && (c.isLetterOrNumber() || c == u'_'))) {
            plain = false;
            break;
        }
    }
    if (plain) {
        const QByteArray utf8 = name.toUtf8();
        if (sqlite3_keyword_check(utf8.constData(), int(utf8.size())) == 0)
            return name;
    }
    QString quoted = name;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString TsqlParser::quoteAlias(const QString& name) const
{
    // Only the outermost query names the result's columns; inside a derived table or a
    // subquery a name is folded like every other, so that references to it find it.
    if (!m_pg || m_queryNesting > 1)
        return quoteName(name);
    QString quoted = name;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString TsqlParser::quoteString(const QString& value)
{
    QString quoted = value;
    quoted.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

QString TsqlParser::operand(const Expr& e)
{
    return e.primary ? e.sql : QLatin1Char('(') + e.sql + QLatin1Char(')');
}

// ---------------------------------------------------------------------------------------------
// statements

void TsqlParser::parseStatement(QStringList& out)
{
    const TsqlToken& t = peek();
    if (t.isWord("SELECT") || t.isOperator("(")) {
        QString into;
        QStringList intoColumns;
        const QString query = parseQuery(&into, &intoColumns);
        if (into.isEmpty()) {
            out << query;
        } else {
            const bool temp = into.startsWith(QLatin1Char('#'));
            const QString prefix = temp ? QStringLiteral("TEMP ") : QString();
            if (intoColumns.isEmpty()) {
                out << QStringLiteral("CREATE %1TABLE %2 AS %3")
                           .arg(prefix, quoteName(into), query);
            } else {
                // The new table takes the source columns' declared types, collation and
                // identity, as SQL Server's SELECT ... INTO does.
                out << QStringLiteral("CREATE %1TABLE %2 (%3)")
                           .arg(prefix, quoteName(into), intoColumns.join(QStringLiteral(", ")));
                out << QStringLiteral("INSERT INTO %1 %2").arg(quoteName(into), query);
                // Identity values copied in explicitly leave the sequence behind.
                if (m_pg && intoColumns.join(u' ').contains(QLatin1String("IDENTITY")))
                    out << QStringLiteral("SELECT tsql_reseed(%1)").arg(quoteString(into));
            }
        }
    } else if (t.isWord("INSERT")) {
        parseInsert(out);
    } else if (t.isWord("UPDATE")) {
        parseUpdate(out);
    } else if (t.isWord("DELETE")) {
        parseDelete(out);
    } else if (t.isWord("CREATE")) {
        parseCreate(out);
    } else if (t.isWord("ALTER")) {
        parseAlter(out);
    } else if (t.isWord("DROP")) {
        parseDrop(out);
    } else if (t.isWord("TRUNCATE")) {
        next();
        expectWord("TABLE");
        out << QStringLiteral("DELETE FROM ") + quoteName(parseObjectName());
    } else if (t.isWord("BEGIN")) {
        next();
        if (!acceptWord("TRAN") && !acceptWord("TRANSACTION"))
            fail(QStringLiteral("only BEGIN TRANSACTION is supported"));
        out << QStringLiteral("BEGIN");
    } else if (t.isWord("COMMIT") || t.isWord("ROLLBACK")) {
        const bool commit = t.isWord("COMMIT");
        next();
        if (!acceptWord("TRAN"))
            acceptWord("TRANSACTION");
        out << (commit ? QStringLiteral("COMMIT") : QStringLiteral("ROLLBACK"));
    } else if (t.isWord("SET") && peek(1).isWord("NOCOUNT")) {
        // Row-count messages do not exist here; the option has nothing to do.
        next();
        next();
        if (!acceptWord("ON") && !acceptWord("OFF"))
            fail(QStringLiteral("ON or OFF expected"));
    } else if (t.isWord("EXEC") || t.isWord("EXECUTE")) {
        fail(QStringLiteral("a stored procedure call cannot be part of a translated statement"));
    } else {
        fail(QStringLiteral("unsupported statement"));
    }
}

struct TsqlParser::SelectCore
{
    QString sql;
    QString top;
    QString into;
    QStringList intoColumns; // column definitions for SELECT ... INTO; empty when not known
    bool distinct = false;
};

namespace {

bool isTextDecl(const QString& decl)
{
    return decl.contains(QLatin1String("CHAR"), Qt::CaseInsensitive) ||
           decl.contains(QLatin1String("TEXT"), Qt::CaseInsensitive) ||
           decl.contains(QLatin1String("CLOB"), Qt::CaseInsensitive);
}

} // namespace

// The tables of the FROM clause of the query that starts at the current token, read ahead so
// that the select list (which comes first) can resolve its columns. Derived tables appear
// with an empty name.
QList<TsqlParser::TableRef> TsqlParser::scanFromRefs() const
{
    QList<TableRef> refs;
    if (!m_schema)
        return refs;
    const qsizetype n = m_tokens.size();
    auto tok = [&](qsizetype k) -> const TsqlToken& { return m_tokens.at(std::min(k, n - 1)); };
    auto isName = [](const TsqlToken& t) {
        return t.kind == TsqlToken::Kind::Identifier || t.kind == TsqlToken::Kind::QuotedIdentifier;
    };
    auto endsClause = [](const TsqlToken& t) {
        for (const char* w :
             {"WHERE",  "GROUP",    "HAVING", "ORDER",  "UNION",    "EXCEPT", "INTERSECT",
              "OPTION", "SELECT",   "INSERT", "UPDATE", "DELETE",   "CREATE", "ALTER",
              "DROP",   "TRUNCATE", "BEGIN",  "COMMIT", "ROLLBACK", "SET"}) {
            if (t.isWord(w))
                return true;
        }
        return t.kind == TsqlToken::Kind::End || t.isOperator(";");
    };
    qsizetype i = m_pos;
    int depth = 0;
    for (;; ++i) {
        const TsqlToken& t = tok(i);
        if (t.kind == TsqlToken::Kind::End)
            return refs;
        if (t.isOperator("(")) {
            ++depth;
        } else if (t.isOperator(")")) {
            if (--depth < 0)
                return refs;
        } else if (depth == 0) {
            if (t.isWord("FROM"))
                break;
            if (endsClause(t))
                return refs;
        }
    }
    ++i;
    bool expectTable = true;
    while (i < n) {
        const TsqlToken& t = tok(i);
        if (t.isOperator("(")) {
            int d = 0;
            do {
                if (tok(i).kind == TsqlToken::Kind::End)
                    return refs;
                if (tok(i).isOperator("("))
                    ++d;
                else if (tok(i).isOperator(")"))
                    --d;
                ++i;
            } while (d > 0);
            if (expectTable) {
                TableRef derived;
                if (tok(i).isWord("AS"))
                    ++i;
                if (isName(tok(i)) && !isReserved(tok(i)))
                    derived.alias = tok(i++).text;
                refs << derived;
                expectTable = false;
            }
            continue;
        }
        if (t.isOperator(")") || endsClause(t))
            break;
        if (t.isOperator(",") || t.isWord("JOIN")) {
            expectTable = true;
            ++i;
            continue;
        }
        if (expectTable && isName(t) && !isReserved(t)) {
            TableRef ref;
            ref.table = t.text;
            ++i;
            while (tok(i).isOperator(".")) {
                while (tok(i).isOperator("."))
                    ++i;
                if (isName(tok(i)))
                    ref.table = tok(i++).text;
            }
            if (tok(i).isWord("AS"))
                ++i;
            if (tok(i).kind == TsqlToken::Kind::QuotedIdentifier ||
                (tok(i).kind == TsqlToken::Kind::Identifier && !isReserved(tok(i))))
                ref.alias = tok(i++).text;
            refs << ref;
            expectTable = false;
            continue;
        }
        ++i;
    }
    return refs;
}

QString TsqlParser::parseQuery(QString* intoTarget, QStringList* intoColumns)
{
    DepthGuard guard(m_depth);
    ++m_queryNesting;
    const auto leave = qScopeGuard([this] { --m_queryNesting; });
    if (peek().isOperator("(")) {
        // A parenthesised query used as a statement.
        next();
        QString inner = parseQuery(nullptr);
        expectOp(")");
        return inner;
    }
    const qsizetype scopeDepth = m_scopes.size();
    SelectCore first = parseSelectCore();
    QString sql = first.sql;
    bool compound = false;
    for (;;) {
        QString op;
        if (acceptWord("UNION"))
            op = acceptWord("ALL") ? QStringLiteral(" UNION ALL ") : QStringLiteral(" UNION ");
        else if (acceptWord("EXCEPT"))
            op = QStringLiteral(" EXCEPT ");
        else if (acceptWord("INTERSECT"))
            op = QStringLiteral(" INTERSECT ");
        else
            break;
        m_scopes.resize(scopeDepth);
        SelectCore more = parseSelectCore();
        if (!more.top.isEmpty() || !more.into.isEmpty())
            fail(QStringLiteral("TOP and INTO are only supported in the first query of a UNION"));
        sql += op + more.sql;
        compound = true;
    }
    if (compound && !first.top.isEmpty())
        fail(QStringLiteral("TOP in a UNION is not supported"));
    if (peek().isWord("ORDER"))
        sql += parseOrderBy(compound || first.distinct);
    m_scopes.resize(scopeDepth);
    if (!first.top.isEmpty())
        sql += QStringLiteral(" LIMIT ") + first.top;
    if (!first.into.isEmpty()) {
        if (!intoTarget)
            fail(QStringLiteral("SELECT ... INTO is not allowed in a subquery"));
        *intoTarget = first.into;
        if (intoColumns && !compound)
            *intoColumns = first.intoColumns;
    }
    return sql;
}

TsqlParser::SelectCore TsqlParser::parseSelectCore()
{
    SelectCore core;
    expectWord("SELECT");
    m_scopes.append(scanFromRefs());
    QString sql = QStringLiteral("SELECT ");
    // Column definitions for SELECT ... INTO, from the typed select list; cleared when an item's
    // name or type cannot be known, which falls back to CREATE TABLE ... AS.
    QStringList intoColumns;
    bool intoKnown = m_schema != nullptr;
    bool identityTaken = false;
    auto addIntoColumn = [&](const QString& name, const Expr& e) {
        if (name.isEmpty()) {
            intoKnown = false;
            return;
        }
        QString type;
        if (m_pg) {
            if (e.identity && e.sourceTables == 1 && !identityTaken) {
                type = QStringLiteral("integer GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY");
                identityTaken = true;
            } else if (!e.declType.isEmpty()) {
                type = pgColumnType(e.declType);
            } else if (e.type == Type::Text) {
                type = QStringLiteral("text COLLATE tsql_ci");
            } else if (e.type == Type::Date) {
                type = e.dateOnly ? QStringLiteral("date") : QStringLiteral("timestamp(0)");
            } else if (e.num == Num::Int) {
                type = QStringLiteral("integer");
            } else if (e.num == Num::Decimal) {
                type = QStringLiteral("numeric(%1,%2)").arg(e.precision).arg(e.scale);
            } else if (e.num == Num::Money) {
                type = QStringLiteral("tsqlmoney");
            } else if (e.num == Num::Float) {
                type = QStringLiteral("double precision");
            } else {
                intoKnown = false; // PostgreSQL needs a type for every column
                return;
            }
        } else if (!e.declType.isEmpty()) {
            if (e.identity && e.sourceTables == 1 && !identityTaken) {
                type = QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT");
                identityTaken = true;
            } else {
                type = e.declType;
                if (isTextDecl(type))
                    type += QStringLiteral(" COLLATE NOCASE");
            }
        } else if (e.type == Type::Text) {
            type = QStringLiteral("NVARCHAR(4000) COLLATE NOCASE");
        } else if (e.type == Type::Date) {
            type = e.dateOnly ? QStringLiteral("DATE") : QStringLiteral("DATETIME");
        } else if (e.num == Num::Int) {
            type = QStringLiteral("INTEGER");
        } else if (e.num == Num::Decimal) {
            type = QStringLiteral("DECIMAL(%1,%2)").arg(e.precision).arg(e.scale);
        } else if (e.num == Num::Money) {
            type = QStringLiteral("MONEY");
        } else if (e.num == Num::Float) {
            type = QStringLiteral("FLOAT");
        }
        intoColumns << quoteName(name) + (type.isEmpty() ? QString() : u' ' + type);
    };
    auto addIntoStar = [&](const QString& qualifier) {
        for (const TableRef& r : m_scopes.last()) {
            if (!qualifier.isEmpty() &&
                (r.alias.isEmpty() ? r.table : r.alias).compare(qualifier, Qt::CaseInsensitive))
                continue;
            const QList<TsqlColumn>* cols =
                r.table.isEmpty() ? nullptr : m_schema->columns(r.table);
            if (!cols) {
                intoKnown = false;
                return;
            }
            for (const TsqlColumn& c : *cols) {
                Expr e;
                e.declType = c.declType;
                e.identity = c.identity;
                e.sourceTables = int(m_scopes.last().size());
                addIntoColumn(c.name, e);
            }
        }
    };
    if (acceptWord("DISTINCT")) {
        sql += QStringLiteral("DISTINCT ");
        core.distinct = true;
    } else {
        acceptWord("ALL");
    }
    if (acceptWord("TOP")) {
        const TsqlToken& startTop = peek();
        if (acceptOp("(")) {
            Expr n = parseExpr();
            expectOp(")");
            core.top = operand(n);
        } else if (peek().kind == TsqlToken::Kind::Number) {
            core.top = next().text;
        } else {
            failAt(startTop, QStringLiteral("a number expected after TOP"));
        }
        if (peek().isWord("PERCENT") || peek().isWord("WITH"))
            fail(QStringLiteral("TOP ... PERCENT and WITH TIES are not supported"));
    }
    QStringList items;
    QStringList aliases;
    do {
        const TsqlToken& t = peek();
        if (t.isOperator("*")) {
            next();
            items << QStringLiteral("*");
            if (intoKnown)
                addIntoStar(QString());
            continue;
        }
        // table.* or owner.table.*
        if (t.kind == TsqlToken::Kind::Identifier || t.kind == TsqlToken::Kind::QuotedIdentifier) {
            int k = 0;
            while ((peek(k).kind == TsqlToken::Kind::Identifier ||
                    peek(k).kind == TsqlToken::Kind::QuotedIdentifier) &&
                   peek(k + 1).isOperator("."))
                k += 2;
            if (k > 0 && peek(k).isOperator("*")) {
                for (int i = 0; i < k - 2; ++i)
                    next(); // owner parts
                const QString table = next().text;
                next(); // .
                next(); // *
                items << quoteName(table) + QStringLiteral(".*");
                if (intoKnown)
                    addIntoStar(table);
                continue;
            }
        }
        // alias = expression
        if ((t.kind == TsqlToken::Kind::QuotedIdentifier ||
             (t.kind == TsqlToken::Kind::Identifier && !isReserved(t)) ||
             t.kind == TsqlToken::Kind::String) &&
            peek(1).isOperator("=")) {
            const QString alias = next().text;
            next();
            Expr e = parseExpr();
            items << e.sql + QStringLiteral(" AS ") + quoteAlias(alias);
            aliases << alias;
            if (intoKnown)
                addIntoColumn(alias, e);
            continue;
        }
        Expr e = parseExpr();
        QString item = e.sql;
        QString alias;
        if (acceptWord("AS")) {
            const TsqlToken& a = next();
            if (a.kind != TsqlToken::Kind::Identifier &&
                a.kind != TsqlToken::Kind::QuotedIdentifier && a.kind != TsqlToken::Kind::String)
                failAt(a, QStringLiteral("column alias expected"));
            alias = a.text;
        } else if (peek().kind == TsqlToken::Kind::QuotedIdentifier ||
                   peek().kind == TsqlToken::Kind::String ||
                   (peek().kind == TsqlToken::Kind::Identifier && !isReserved(peek()))) {
            alias = next().text;
        }
        if (!alias.isEmpty()) {
            item += QStringLiteral(" AS ") + quoteAlias(alias);
        } else if (e.column) {
            // A qualified column is named by its column alone, so ORDER BY can bind to it;
            // PostgreSQL keeps the name as written rather than folded.
            if (e.sql.contains(u'.') || m_pg)
                item += QStringLiteral(" AS ") + quoteAlias(e.text);
            alias = e.text;
        } else if (!e.text.isEmpty() && !e.literal) {
            item += QStringLiteral(" AS ") + quoteAlias(e.text); // a column in parentheses
            alias = e.text;
        } else if (m_pg) {
            item += QStringLiteral(" AS \"?column?\""); // the backend reports it unnamed
        } else {
            item += QStringLiteral(" AS \"\""); // an expression has no column name
        }
        if (!alias.isEmpty())
            aliases << alias;
        if (intoKnown)
            addIntoColumn(alias, e);
        items << item;
    } while (acceptOp(","));
    sql += items.join(QStringLiteral(", "));
    if (acceptWord("INTO")) {
        bool temp = false;
        core.into = parseObjectName(&temp);
        if (intoKnown)
            core.intoColumns = intoColumns;
    }
    if (acceptWord("FROM"))
        sql += QStringLiteral(" FROM ") + parseFromList(nullptr);
    if (acceptWord("WHERE"))
        sql += QStringLiteral(" WHERE ") + parseExpr().sql;
    if (acceptWord("GROUP")) {
        expectWord("BY");
        QStringList groups;
        do {
            groups << parseExpr().sql;
        } while (acceptOp(","));
        sql += QStringLiteral(" GROUP BY ") + groups.join(QStringLiteral(", "));
    }
    if (acceptWord("HAVING"))
        sql += QStringLiteral(" HAVING ") + parseExpr().sql;
    m_selectAliases = aliases;
    core.sql = sql;
    return core;
}

// `resultTerms`: the query is DISTINCT or a UNION, whose ORDER BY must name its result's
// expressions as they are, without a collation added.
QString TsqlParser::parseOrderBy(bool resultTerms)
{
    expectWord("ORDER");
    expectWord("BY");
    QStringList terms;
    const QStringList aliases = m_selectAliases;
    do {
        QString term;
        // On PostgreSQL a select-list alias keeps its case, so a name that is one is written
        // as the alias.
        const TsqlToken& t = peek();
        const TsqlToken& after = peek(1);
        if (m_pg &&
            (t.kind == TsqlToken::Kind::Identifier ||
             t.kind == TsqlToken::Kind::QuotedIdentifier) &&
            !isReserved(t) &&
            (after.isOperator(",") || after.isWord("ASC") || after.isWord("DESC") ||
             after.isOperator(")") || after.isOperator(";") ||
             after.kind == TsqlToken::Kind::End)) {
            for (const QString& a : aliases) {
                if (a.compare(t.text, Qt::CaseInsensitive) == 0) {
                    next();
                    term = quoteAlias(a);
                    break;
                }
            }
        }
        if (term.isEmpty()) {
            // A text that is no column of ours sorts under the columns' collation too (pinyin,
            // no case).
            const Expr e = parseExpr();
            if (e.type != Type::Text || e.column || resultTerms)
                term = e.sql;
            else
                term = m_pg ? pgCollated(e) : operand(e) + QStringLiteral(" COLLATE NOCASE");
        }
        // SQL Server sorts nulls first.
        if (acceptWord("DESC")) {
            term += m_pg ? QStringLiteral(" DESC NULLS LAST") : QStringLiteral(" DESC");
        } else {
            acceptWord("ASC");
            if (m_pg)
                term += QStringLiteral(" NULLS FIRST");
        }
        terms << term;
    } while (acceptOp(","));
    return QStringLiteral(" ORDER BY ") + terms.join(QStringLiteral(", "));
}

QString TsqlParser::parseFromList(QList<TableRef>* refs)
{
    QString sql = parseTableSource(refs);
    while (acceptOp(","))
        sql += QStringLiteral(", ") + parseTableSource(refs);
    return sql;
}

QString TsqlParser::parseTableSource(QList<TableRef>* refs)
{
    QString sql = parseTablePrimary(refs);
    for (;;) {
        QString join;
        if (acceptWord("CROSS")) {
            if (peek().isWord("APPLY"))
                fail(QStringLiteral("CROSS APPLY is not supported"));
            expectWord("JOIN");
            sql += QStringLiteral(" CROSS JOIN ") + parseTablePrimary(refs);
            continue;
        }
        if (acceptWord("INNER") || peek().isWord("JOIN")) {
            join = QStringLiteral("INNER JOIN");
        } else if (acceptWord("LEFT")) {
            acceptWord("OUTER");
            join = QStringLiteral("LEFT OUTER JOIN");
        } else if (acceptWord("RIGHT")) {
            acceptWord("OUTER");
            join = QStringLiteral("RIGHT OUTER JOIN");
        } else if (acceptWord("FULL")) {
            acceptWord("OUTER");
            join = QStringLiteral("FULL OUTER JOIN");
        } else {
            break;
        }
        expectWord("JOIN");
        sql += QLatin1Char(' ') + join + QLatin1Char(' ') + parseTablePrimary(refs);
        expectWord("ON");
        sql += QStringLiteral(" ON ") + parseExpr().sql;
    }
    return sql;
}

QString TsqlParser::parseTablePrimary(QList<TableRef>* refs)
{
    DepthGuard guard(m_depth);
    QString sql;
    TableRef ref;
    if (acceptOp("(")) {
        if (peek().isWord("SELECT") || peek().isOperator("(")) {
            sql = QLatin1Char('(') + parseQuery(nullptr) + QLatin1Char(')');
        } else {
            sql = QLatin1Char('(') + parseTableSource(refs) + QLatin1Char(')');
            expectOp(")");
            return sql;
        }
        expectOp(")");
    } else {
        const TsqlToken& t = peek();
        if (t.isWord("OPENROWSET") || t.isWord("OPENDATASOURCE") || t.isWord("OPENQUERY"))
            fail(QStringLiteral("reading external data sources (%1) is not supported by this "
                                "database")
                     .arg(t.text.toUpper()));
        if (t.kind != TsqlToken::Kind::Identifier && t.kind != TsqlToken::Kind::QuotedIdentifier)
            fail(QStringLiteral("table name expected"));
        if (isReserved(t))
            fail(QStringLiteral("table name expected"));
        ref.table = parseObjectName();
        if (ref.table.compare(QLatin1String("sysobjects"), Qt::CaseInsensitive) == 0)
            sql = QLatin1String(m_pg ? kPgSysObjects : kSysObjects);
        else
            sql = quoteName(ref.table);
    }
    QString alias;
    if (acceptWord("AS")) {
        const TsqlToken& a = next();
        if (a.kind != TsqlToken::Kind::Identifier && a.kind != TsqlToken::Kind::QuotedIdentifier)
            failAt(a, QStringLiteral("alias expected"));
        alias = a.text;
    } else if (peek().kind == TsqlToken::Kind::QuotedIdentifier ||
               (peek().kind == TsqlToken::Kind::Identifier && !isReserved(peek()) &&
                !peek().isWord("WITH"))) {
        alias = next().text;
    }
    if (peek().isWord("WITH") && peek(1).isOperator("(")) {
        // Table hints such as WITH (NOLOCK) have no meaning here.
        next();
        next();
        while (!peek().isOperator(")")) {
            if (peek().kind == TsqlToken::Kind::End)
                fail(QStringLiteral("')' expected"));
            next();
        }
        next();
    }
    if (!alias.isEmpty())
        sql += QStringLiteral(" AS ") + quoteName(alias);
    else if (ref.table.compare(QLatin1String("sysobjects"), Qt::CaseInsensitive) == 0)
        sql += QStringLiteral(" AS sysobjects");
    else if (ref.table.isEmpty())
        fail(QStringLiteral("a derived table needs an alias"));
    ref.alias = alias;
    if (refs && !ref.table.isEmpty())
        refs->append(ref);
    return sql;
}

QString TsqlParser::parseNamePart()
{
    const TsqlToken& t = next();
    if (t.kind != TsqlToken::Kind::Identifier && t.kind != TsqlToken::Kind::QuotedIdentifier)
        failAt(t, QStringLiteral("name expected"));
    return t.text;
}

// Reads [server.][database.][owner.]name and keeps the last part: everything lives in one
// database here.
QString TsqlParser::parseObjectName(bool* isTemp)
{
    QString name = parseNamePart();
    while (acceptOp(".")) {
        while (acceptOp(".")) {
        } // db..table
        name = parseNamePart();
    }
    if (isTemp)
        *isTemp = name.startsWith(QLatin1Char('#'));
    return name;
}

QString TsqlParser::findTargetRef(const QString& target, const QList<TableRef>& refs,
                                  QString* tableName)
{
    for (const TableRef& r : refs) {
        if (!r.alias.isEmpty() && r.alias.compare(target, Qt::CaseInsensitive) == 0) {
            *tableName = r.table;
            return r.alias;
        }
    }
    for (const TableRef& r : refs) {
        if (r.table.compare(target, Qt::CaseInsensitive) == 0) {
            *tableName = r.table;
            return r.alias.isEmpty() ? r.table : r.alias;
        }
    }
    return QString();
}

void TsqlParser::parseInsert(QStringList& out)
{
    expectWord("INSERT");
    acceptWord("INTO");
    const QString table = parseObjectName();
    QString sql = QStringLiteral("INSERT INTO ") + quoteName(table);
    // Declared types of the columns written, in the order the values come.
    QStringList types;
    const QList<TsqlColumn>* tableColumns = m_schema ? m_schema->columns(table) : nullptr;
    bool explicitIdentity = false;
    if (peek().isOperator("(") && !peek(1).isWord("SELECT")) {
        next();
        QStringList columns;
        do {
            const QString column = parseObjectName();
            const TsqlColumn* c = tableColumns ? findColumn(table, column) : nullptr;
            types << (c ? c->declType : QString());
            explicitIdentity = explicitIdentity || (c && c->identity);
            columns << quoteName(column);
        } while (acceptOp(","));
        expectOp(")");
        sql += QStringLiteral(" (") + columns.join(QStringLiteral(", ")) + QLatin1Char(')');
    } else if (tableColumns) {
        for (const TsqlColumn& c : *tableColumns) {
            if (!c.identity)
                types << c.declType;
        }
    }
    if (acceptWord("VALUES")) {
        QStringList rows;
        do {
            expectOp("(");
            QStringList values;
            do {
                values << convertForColumn(parseExpr(), types.value(values.size()));
            } while (acceptOp(","));
            expectOp(")");
            rows << QLatin1Char('(') + values.join(QStringLiteral(", ")) + QLatin1Char(')');
        } while (acceptOp(","));
        sql += QStringLiteral(" VALUES ") + rows.join(QStringLiteral(", "));
    } else if (peek().isWord("SELECT") || peek().isOperator("(")) {
        sql += QLatin1Char(' ') + parseQuery(nullptr);
    } else if (acceptWord("DEFAULT")) {
        expectWord("VALUES");
        sql += QStringLiteral(" DEFAULT VALUES");
    } else if (peek().isWord("EXEC") || peek().isWord("EXECUTE")) {
        fail(QStringLiteral("INSERT ... EXEC is not supported"));
    } else {
        fail(QStringLiteral("VALUES or SELECT expected"));
    }
    out << sql;
    // A value written into the identity column moves the identity on past it, as SQL Server
    // does; a PostgreSQL sequence does not see such values by itself.
    if (m_pg && explicitIdentity)
        out << QStringLiteral("SELECT tsql_reseed(%1)").arg(quoteString(table));
}

void TsqlParser::parseUpdate(QStringList& out)
{
    expectWord("UPDATE");
    if (peek().isWord("TOP"))
        fail(QStringLiteral("UPDATE TOP is not supported"));
    const QString target = parseObjectName();
    if (peek().isWord("WITH") && peek(1).isOperator("(")) {
        next();
        next();
        while (!acceptOp(")")) {
            if (peek().kind == TsqlToken::Kind::End)
                fail(QStringLiteral("')' expected"));
            next();
        }
    }
    expectWord("SET");
    // Columns resolve against the FROM list, and the target when it is not part of it.
    QList<TableRef> scope = scanFromRefs();
    QString targetTable = target;
    bool targetListed = false;
    for (const TableRef& r : scope) {
        if (r.alias.compare(target, Qt::CaseInsensitive) == 0 ||
            (r.alias.isEmpty() && r.table.compare(target, Qt::CaseInsensitive) == 0)) {
            targetTable = r.table;
            targetListed = true;
        }
    }
    if (!targetListed)
        scope.prepend(TableRef{target, QString()});
    const qsizetype scopeDepth = m_scopes.size();
    m_scopes.append(scope);
    m_qualifiers.clear();
    QStringList columns;
    QStringList values;
    do {
        if (peek().kind == TsqlToken::Kind::Variable)
            fail(QStringLiteral("variables are not supported"));
        // The column may be written qualified (t.[c]); SQLite wants the bare name.
        const QString column = parseObjectName();
        columns << quoteName(column);
        expectOp("=");
        const TsqlColumn* c = findColumn(targetTable, column);
        values << convertForColumn(parseExpr(), c ? c->declType : QString());
    } while (acceptOp(","));
    const QStringList setQualifiers = m_qualifiers;

    QString from;
    QList<TableRef> refs;
    if (acceptWord("FROM"))
        from = parseFromList(&refs);
    QString where;
    if (acceptWord("WHERE"))
        where = parseExpr().sql;
    m_scopes.resize(scopeDepth);
    QStringList assignments;
    for (qsizetype i = 0; i < columns.size(); ++i)
        assignments << columns[i] + QStringLiteral(" = ") + values[i];
    const QString set = assignments.join(QStringLiteral(", "));
    const QString whereSql = where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where;

    if (from.isEmpty()) {
        out << QStringLiteral("UPDATE %1 SET %2").arg(quoteName(target), set) + whereSql;
        return;
    }
    QString tableName;
    const QString refName = findTargetRef(target, refs, &tableName);
    if (refName.isEmpty()) {
        // The target is not part of the FROM list: SQLite's UPDATE ... FROM has the same meaning.
        out << QStringLiteral("UPDATE %1 SET %2 FROM %3").arg(quoteName(target), set, from) +
                   whereSql;
        return;
    }
    bool onlyTarget = true;
    for (const QString& q : setQualifiers) {
        if (q.compare(refName, Qt::CaseInsensitive) != 0 &&
            q.compare(tableName, Qt::CaseInsensitive) != 0)
            onlyTarget = false;
    }
    const QString rowKey = m_pg ? QStringLiteral("ctid") : QStringLiteral("rowid");
    const QString rows = QStringLiteral("%4 IN (SELECT %1.%4 FROM %2%3)")
                             .arg(quoteName(refName), from, whereSql, rowKey);
    if (onlyTarget) {
        // New values come from the target row alone: choose the rows through the join.
        const QString targetSql =
            quoteName(tableName) + (refName.compare(tableName, Qt::CaseInsensitive) == 0
                                        ? QString()
                                        : QStringLiteral(" AS ") + quoteName(refName));
        out << QStringLiteral("UPDATE %1 SET %2 WHERE %3").arg(targetSql, set, rows);
        return;
    }
    // Values read from joined tables: each target row takes them from its own row of the join.
    out << QStringLiteral("UPDATE %1 AS orvane_target SET (%2) = (SELECT %3 FROM %4 WHERE "
                          "%5.%8 = orvane_target.%8%6) WHERE %7")
               .arg(quoteName(tableName), columns.join(QStringLiteral(", ")),
                    values.join(QStringLiteral(", ")), from, quoteName(refName),
                    where.isEmpty() ? QString() : QStringLiteral(" AND (") + where + u')', rows,
                    rowKey);
}

void TsqlParser::parseDelete(QStringList& out)
{
    expectWord("DELETE");
    if (peek().isWord("TOP"))
        fail(QStringLiteral("DELETE TOP is not supported"));
    acceptWord("FROM");
    const QString target = parseObjectName();
    QList<TableRef> scope = scanFromRefs();
    scope.append(TableRef{target, QString()});
    const qsizetype scopeDepth = m_scopes.size();
    m_scopes.append(scope);
    QString from;
    QList<TableRef> refs;
    if (acceptWord("FROM"))
        from = parseFromList(&refs);
    QString where;
    if (acceptWord("WHERE"))
        where = parseExpr().sql;
    m_scopes.resize(scopeDepth);
    const QString whereSql = where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where;
    if (from.isEmpty()) {
        out << QStringLiteral("DELETE FROM ") + quoteName(target) + whereSql;
        return;
    }
    QString tableName;
    const QString refName = findTargetRef(target, refs, &tableName);
    if (refName.isEmpty())
        fail(QStringLiteral("the table to delete from must appear in the FROM list"));
    const QString rowKey = m_pg ? QStringLiteral("ctid") : QStringLiteral("rowid");
    out << QStringLiteral("DELETE FROM %1 WHERE %5 IN (SELECT %2.%5 FROM %3%4)")
               .arg(quoteName(tableName), quoteName(refName), from, whereSql, rowKey);
}

TsqlParser::DataType TsqlParser::parseDataType()
{
    DataType type;
    const TsqlToken& t = next();
    if (t.kind != TsqlToken::Kind::Identifier && t.kind != TsqlToken::Kind::QuotedIdentifier)
        failAt(t, QStringLiteral("data type expected"));
    type.name = t.text.toUpper();
    QStringList args;
    if (acceptOp("(")) {
        do {
            const TsqlToken& a = next();
            if (a.kind == TsqlToken::Kind::Number)
                args << a.text;
            else if (a.isWord("MAX"))
                args << QStringLiteral("MAX");
            else
                failAt(a, QStringLiteral("type length expected"));
        } while (acceptOp(","));
        expectOp(")");
    }
    static const QStringList textTypes = {"CHAR", "VARCHAR", "NCHAR",   "NVARCHAR",
                                          "TEXT", "NTEXT",   "SYSNAME", "UNIQUEIDENTIFIER",
                                          "XML"};
    static const QStringList dateTypes = {"DATETIME",  "SMALLDATETIME", "DATE",
                                          "DATETIME2", "TIME",          "DATETIMEOFFSET"};
    static const QStringList intTypes = {"INT", "INTEGER", "BIGINT", "SMALLINT", "TINYINT", "BIT"};
    static const QStringList numTypes = {"DECIMAL",    "NUMERIC", "MONEY",
                                         "SMALLMONEY", "FLOAT",   "REAL"};
    static const QStringList blobTypes = {"IMAGE", "VARBINARY", "BINARY", "TIMESTAMP",
                                          "ROWVERSION"};
    type.isText = textTypes.contains(type.name);
    type.isDate = dateTypes.contains(type.name);
    type.isInteger = intTypes.contains(type.name);
    type.isNumeric = type.isInteger || numTypes.contains(type.name);
    type.isBlob = blobTypes.contains(type.name);
    if (!type.isText && !type.isDate && !type.isNumeric && !type.isBlob)
        failAt(t, QStringLiteral("unknown data type"));
    type.isDateOnly = type.name == QLatin1String("DATE");
    if (type.name == QLatin1String("DECIMAL") || type.name == QLatin1String("NUMERIC")) {
        type.precision = args.value(0, QStringLiteral("18")).toInt();
        type.scale = args.value(1, QStringLiteral("0")).toInt();
    }
    type.sqlText =
        type.name +
        (args.isEmpty() ? QString() : QLatin1Char('(') + args.join(u',') + QLatin1Char(')'));
    return type;
}

QString TsqlParser::parseColumnDefinition(const QString& table, bool forAlter, bool* identity,
                                          QString* identityColumn, QStringList* extra)
{
    const QString column = parseNamePart();
    const DataType type = parseDataType();
    QString sql = quoteName(column) + QLatin1Char(' ');
    bool isIdentity = false;
    QString identitySeed;
    QString constraints;
    if (acceptWord("IDENTITY")) {
        if (!type.isNumeric)
            fail(QStringLiteral("IDENTITY needs an integer column"));
        isIdentity = true;
        qint64 seed = 1;
        if (acceptOp("(")) {
            const TsqlToken& s = next();
            if (s.kind != TsqlToken::Kind::Number)
                failAt(s, QStringLiteral("identity seed expected"));
            seed = s.text.toLongLong();
            expectOp(",");
            if (next().kind != TsqlToken::Kind::Number)
                fail(QStringLiteral("identity increment expected"));
            expectOp(")");
        }
        if (forAlter)
            fail(QStringLiteral("an IDENTITY column cannot be added to an existing table"));
        if (*identity)
            fail(QStringLiteral("a table can have only one IDENTITY column"));
        *identity = true;
        *identityColumn = column;
        if (m_pg) {
            identitySeed = seed != 1 ? QStringLiteral(" (START WITH %1)").arg(seed) : QString();
        } else if (seed != 1) {
            // The seed stays readable in the table's DDL for IDENT_CURRENT of an unused table.
            identitySeed = QStringLiteral(" /* IDENTITY(%1) */").arg(seed);
            *extra << QStringLiteral("INSERT INTO sqlite_sequence (name, seq) VALUES (%1, %2)")
                          .arg(quoteString(table), QString::number(seed - 1));
        }
    }
    if (m_pg) {
        sql += isIdentity ? QStringLiteral("integer GENERATED BY DEFAULT AS IDENTITY") +
                                identitySeed + QStringLiteral(" PRIMARY KEY")
                          : pgColumnType(type.sqlText);
    } else if (isIdentity)
        sql += QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT") + identitySeed;
    else if (type.isBlob)
        sql += QStringLiteral("BLOB");
    else if (type.isInteger)
        sql +=
            type.name == QLatin1String("BIT") ? QStringLiteral("BIT") : QStringLiteral("INTEGER");
    else if (type.isText && !type.name.contains(QLatin1String("CHAR")) &&
             !type.name.contains(QLatin1String("TEXT")))
        sql += QStringLiteral("TEXT");
    else
        sql += type.sqlText;
    for (;;) {
        if (acceptWord("NULL"))
            continue;
        if (acceptWord("NOT")) {
            expectWord("NULL");
            constraints += QStringLiteral(" NOT NULL");
            continue;
        }
        if (acceptWord("CONSTRAINT")) {
            parseNamePart(); // SQLite keeps no names for column constraints we need
            continue;
        }
        if (acceptWord("DEFAULT")) {
            m_inDefault = true;
            const TsqlToken& start = peek();
            Expr e = parseUnary();
            m_inDefault = false;
            if (forAlter) {
                // ALTER TABLE ... ADD COLUMN only takes a literal default.
                QString literal = e.sql;
                while (literal.startsWith(u'(') && literal.endsWith(u')'))
                    literal = literal.mid(1, literal.size() - 2);
                bool number = false;
                literal.toDouble(&number);
                if (!number && !(literal.startsWith(u'\'') && literal.endsWith(u'\'')) &&
                    literal != QLatin1String("NULL"))
                    failAt(start, QStringLiteral("an added column only takes a constant default"));
                constraints += QStringLiteral(" DEFAULT ") + literal;
            } else {
                constraints += QStringLiteral(" DEFAULT ") + operand(e);
            }
            continue;
        }
        if (acceptWord("PRIMARY")) {
            expectWord("KEY");
            if (!acceptWord("CLUSTERED"))
                acceptWord("NONCLUSTERED");
            if (forAlter)
                fail(QStringLiteral("an added column cannot be a primary key"));
            if (!isIdentity)
                constraints += QStringLiteral(" PRIMARY KEY");
            continue;
        }
        if (acceptWord("UNIQUE")) {
            if (forAlter)
                fail(QStringLiteral("an added column cannot be unique"));
            constraints += QStringLiteral(" UNIQUE");
            continue;
        }
        if (acceptWord("COLLATE")) {
            parseNamePart(); // texts always compare without regard to case
            continue;
        }
        break;
    }
    sql += constraints;
    if (type.isText && !m_pg) // pgColumnType gives texts their collation on PostgreSQL
        sql += QStringLiteral(" COLLATE NOCASE");
    return sql;
}

void TsqlParser::parseCreate(QStringList& out)
{
    expectWord("CREATE");
    if (acceptWord("TABLE")) {
        bool temp = false;
        const QString table = parseObjectName(&temp);
        expectOp("(");
        QStringList parts;
        QStringList extra;
        bool identity = false;
        QString identityColumn;
        QStringList primaryKey;
        do {
            if (acceptWord("CONSTRAINT"))
                parseNamePart();
            if (acceptWord("PRIMARY") || peek().isWord("UNIQUE")) {
                const bool unique = acceptWord("UNIQUE");
                if (!unique)
                    expectWord("KEY");
                if (!acceptWord("CLUSTERED"))
                    acceptWord("NONCLUSTERED");
                expectOp("(");
                QStringList cols;
                do {
                    const QString c = parseNamePart();
                    if (!acceptWord("ASC"))
                        acceptWord("DESC");
                    cols << c;
                } while (acceptOp(","));
                expectOp(")");
                QStringList quoted;
                for (const QString& c : cols)
                    quoted << quoteName(c);
                if (unique) {
                    parts << QStringLiteral("UNIQUE (") + quoted.join(QStringLiteral(", ")) + u')';
                } else {
                    primaryKey = cols;
                }
                continue;
            }
            if (peek().isWord("FOREIGN") || peek().isWord("CHECK"))
                fail(QStringLiteral("table constraints other than PRIMARY KEY and UNIQUE are not "
                                    "supported"));
            parts << parseColumnDefinition(table, false, &identity, &identityColumn, &extra);
        } while (acceptOp(","));
        expectOp(")");
        if (!primaryKey.isEmpty()) {
            const bool isIdentityKey =
                primaryKey.size() == 1 &&
                primaryKey.first().compare(identityColumn, Qt::CaseInsensitive) == 0;
            if (!isIdentityKey) {
                if (identity)
                    fail(QStringLiteral("a primary key other than the IDENTITY column is not "
                                        "supported"));
                QStringList quoted;
                for (const QString& c : primaryKey)
                    quoted << quoteName(c);
                parts << QStringLiteral("PRIMARY KEY (") + quoted.join(QStringLiteral(", ")) + u')';
            }
        }
        out << QStringLiteral("CREATE %1TABLE %2 (%3)")
                   .arg(temp ? QStringLiteral("TEMP ") : QString(), quoteName(table),
                        parts.join(QStringLiteral(", ")));
        out << extra;
        return;
    }
    const bool unique = acceptWord("UNIQUE");
    if (!acceptWord("CLUSTERED"))
        acceptWord("NONCLUSTERED");
    if (acceptWord("INDEX")) {
        const QString index = parseNamePart();
        expectWord("ON");
        const QString table = parseObjectName();
        expectOp("(");
        QStringList cols;
        do {
            QString c = quoteName(parseNamePart());
            if (acceptWord("DESC"))
                c += QStringLiteral(" DESC");
            else
                acceptWord("ASC");
            cols << c;
        } while (acceptOp(","));
        expectOp(")");
        out << QStringLiteral("CREATE %1INDEX %2 ON %3 (%4)")
                   .arg(unique ? QStringLiteral("UNIQUE ") : QString(), quoteName(index),
                        quoteName(table), cols.join(QStringLiteral(", ")));
        return;
    }
    fail(QStringLiteral("only CREATE TABLE and CREATE INDEX are supported"));
}

void TsqlParser::parseAlter(QStringList& out)
{
    expectWord("ALTER");
    expectWord("TABLE");
    const QString table = parseObjectName();
    const QString prefix = QStringLiteral("ALTER TABLE ") + quoteName(table);
    if (acceptWord("ADD")) {
        if (peek().isWord("CONSTRAINT") || peek().isWord("PRIMARY"))
            fail(QStringLiteral("adding constraints is not supported"));
        bool identity = false;
        QString identityColumn;
        QStringList extra;
        do {
            acceptWord("COLUMN");
            out << prefix + QStringLiteral(" ADD COLUMN ") +
                       parseColumnDefinition(table, true, &identity, &identityColumn, &extra);
        } while (acceptOp(","));
        return;
    }
    if (acceptWord("DROP")) {
        if (!acceptWord("COLUMN"))
            fail(QStringLiteral("only DROP COLUMN is supported"));
        do {
            acceptWord("COLUMN");
            out << prefix + QStringLiteral(" DROP COLUMN ") + quoteName(parseNamePart());
        } while (acceptOp(","));
        return;
    }
    if (acceptWord("ALTER")) {
        // SQLite enforces neither lengths nor nullability: nothing to change there. PostgreSQL
        // takes the new type (a text's new length); nullability stays as it is.
        expectWord("COLUMN");
        const QString column = parseNamePart();
        const DataType type = parseDataType();
        if (acceptWord("NOT"))
            expectWord("NULL");
        else
            acceptWord("NULL");
        if (m_pg) {
            QString sql = prefix + QStringLiteral(" ALTER COLUMN ") + quoteName(column) +
                          QStringLiteral(" TYPE ") + pgColumnType(type.sqlText);
            if (!type.isText) // another kind of value is converted explicitly
                sql += QStringLiteral(" USING CAST(%1 AS %2)")
                           .arg(quoteName(column), pgColumnType(type.sqlText, false));
            out << sql;
        }
        return;
    }
    fail(QStringLiteral("ADD, DROP COLUMN or ALTER COLUMN expected"));
}

void TsqlParser::parseDrop(QStringList& out)
{
    expectWord("DROP");
    if (acceptWord("INDEX")) {
        // DROP INDEX table.index or index ON table
        QString index = parseNamePart();
        if (acceptOp("."))
            index = parseNamePart();
        if (acceptWord("ON"))
            parseObjectName();
        out << QStringLiteral("DROP INDEX ") + quoteName(index);
        return;
    }
    expectWord("TABLE");
    bool ifExists = false;
    if (acceptWord("IF")) {
        expectWord("EXISTS");
        ifExists = true;
    }
    do {
        out << QStringLiteral("DROP TABLE ") +
                   (ifExists ? QStringLiteral("IF EXISTS ") : QString()) +
                   quoteName(parseObjectName());
    } while (acceptOp(","));
}

} // namespace orvane::db
