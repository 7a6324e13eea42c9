#include "db/tsqlparser.h"

#include <sqlite3.h>

namespace orvane::db {

namespace {

struct ParseFailure {
    QString message;
};

// Nesting limit for expressions and queries: deep enough for any statement the client
// composes, low enough to keep hostile input from exhausting the stack.
constexpr int kMaxDepth = 200;

class DepthGuard
{
public:
    explicit DepthGuard(int& depth) : m_depth(depth)
    {
        if (++m_depth > kMaxDepth)
            throw ParseFailure{QStringLiteral("statement is nested too deeply")};
    }
    ~DepthGuard() { --m_depth; }
    DepthGuard(const DepthGuard&) = delete;
    DepthGuard& operator=(const DepthGuard&) = delete;

private:
    int& m_depth;
};

// Words that end an expression or a clause and therefore cannot be an alias or a procedure name.
const QStringList& reservedWords()
{
    static const QStringList words = {
        "ADD", "ALL", "ALTER", "AND", "ANY", "AS", "ASC", "BEGIN", "BETWEEN", "BY", "CASE",
        "CHECK", "COLLATE", "COLUMN", "COMMIT", "CONSTRAINT", "CREATE", "CROSS", "DECLARE",
        "DEFAULT", "DELETE", "DESC", "DISTINCT", "DROP", "ELSE", "END", "ESCAPE", "EXCEPT",
        "EXEC", "EXECUTE", "EXISTS", "FOREIGN", "FROM", "FULL", "GO", "GROUP", "HAVING", "IF",
        "IN", "INNER", "INSERT", "INTERSECT", "INTO", "IS", "JOIN", "KEY", "LEFT", "LIKE", "NOT",
        "NULL", "ON", "OPTION", "OR", "ORDER", "OUTER", "PRIMARY", "PRINT", "REFERENCES",
        "RETURN", "RIGHT", "ROLLBACK", "SELECT", "SET", "TABLE", "THEN", "TOP", "TRAN",
        "TRANSACTION", "TRUNCATE", "UNION", "UNIQUE", "UPDATE", "USE", "VALUES", "WHEN", "WHERE",
        "WHILE", "WITH"};
    return words;
}

const char* const kSysObjects =
    "(SELECT name COLLATE NOCASE AS name, rootpage AS id, "
    "CASE type WHEN 'view' THEN 'V' ELSE 'U' END AS xtype, "
    "CASE type WHEN 'view' THEN 'V' ELSE 'U' END AS type "
    "FROM sqlite_master WHERE type IN ('table','view') AND name NOT LIKE 'sqlite!_%' ESCAPE '!')";

} // namespace

TsqlParser::TsqlParser(const QList<TsqlToken>& tokens) : m_tokens(tokens) {}

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
    QString where = token.kind == TsqlToken::Kind::End
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
    return token.kind == TsqlToken::Kind::Identifier
        && reservedWords().contains(token.text, Qt::CaseInsensitive);
}

QString TsqlParser::quoteName(const QString& name)
{
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
        const QString query = parseQuery(&into);
        if (into.isEmpty()) {
            out << query;
        } else {
            const bool temp = into.startsWith(QLatin1Char('#'));
            out << QStringLiteral("CREATE %1TABLE %2 AS %3")
                       .arg(temp ? QStringLiteral("TEMP ") : QString(), quoteName(into), query);
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

struct TsqlParser::SelectCore {
    QString sql;
    QString top;
    QString into;
};

QString TsqlParser::parseQuery(QString* intoTarget)
{
    DepthGuard guard(m_depth);
    if (peek().isOperator("(") ) {
        // A parenthesised query used as a statement.
        next();
        QString inner = parseQuery(nullptr);
        expectOp(")");
        return inner;
    }
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
        SelectCore more = parseSelectCore();
        if (!more.top.isEmpty() || !more.into.isEmpty())
            fail(QStringLiteral("TOP and INTO are only supported in the first query of a UNION"));
        sql += op + more.sql;
        compound = true;
    }
    if (compound && !first.top.isEmpty())
        fail(QStringLiteral("TOP in a UNION is not supported"));
    if (peek().isWord("ORDER"))
        sql += parseOrderBy();
    if (!first.top.isEmpty())
        sql += QStringLiteral(" LIMIT ") + first.top;
    if (!first.into.isEmpty()) {
        if (!intoTarget)
            fail(QStringLiteral("SELECT ... INTO is not allowed in a subquery"));
        *intoTarget = first.into;
    }
    return sql;
}

TsqlParser::SelectCore TsqlParser::parseSelectCore()
{
    SelectCore core;
    expectWord("SELECT");
    QString sql = QStringLiteral("SELECT ");
    if (acceptWord("DISTINCT"))
        sql += QStringLiteral("DISTINCT ");
    else
        acceptWord("ALL");
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
    do {
        const TsqlToken& t = peek();
        if (t.isOperator("*")) {
            next();
            items << QStringLiteral("*");
            continue;
        }
        // table.* or owner.table.*
        if (t.kind == TsqlToken::Kind::Identifier || t.kind == TsqlToken::Kind::QuotedIdentifier) {
            int k = 0;
            while ((peek(k).kind == TsqlToken::Kind::Identifier
                    || peek(k).kind == TsqlToken::Kind::QuotedIdentifier)
                   && peek(k + 1).isOperator("."))
                k += 2;
            if (k > 0 && peek(k).isOperator("*")) {
                for (int i = 0; i < k - 2; ++i)
                    next(); // owner parts
                const QString table = next().text;
                next(); // .
                next(); // *
                items << quoteName(table) + QStringLiteral(".*");
                continue;
            }
        }
        // alias = expression
        if ((t.kind == TsqlToken::Kind::QuotedIdentifier
             || (t.kind == TsqlToken::Kind::Identifier && !isReserved(t))
             || t.kind == TsqlToken::Kind::String)
            && peek(1).isOperator("=")) {
            const QString alias = next().text;
            next();
            Expr e = parseExpr();
            items << e.sql + QStringLiteral(" AS ") + quoteName(alias);
            continue;
        }
        Expr e = parseExpr();
        QString item = e.sql;
        if (acceptWord("AS")) {
            const TsqlToken& a = next();
            if (a.kind != TsqlToken::Kind::Identifier && a.kind != TsqlToken::Kind::QuotedIdentifier
                && a.kind != TsqlToken::Kind::String)
                failAt(a, QStringLiteral("column alias expected"));
            item += QStringLiteral(" AS ") + quoteName(a.text);
        } else if (peek().kind == TsqlToken::Kind::QuotedIdentifier
                   || peek().kind == TsqlToken::Kind::String
                   || (peek().kind == TsqlToken::Kind::Identifier && !isReserved(peek()))) {
            item += QStringLiteral(" AS ") + quoteName(next().text);
        }
        items << item;
    } while (acceptOp(","));
    sql += items.join(QStringLiteral(", "));
    if (acceptWord("INTO")) {
        bool temp = false;
        core.into = parseObjectName(&temp);
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
    core.sql = sql;
    return core;
}

QString TsqlParser::parseOrderBy()
{
    expectWord("ORDER");
    expectWord("BY");
    QStringList terms;
    do {
        QString term = parseExpr().sql;
        if (acceptWord("DESC"))
            term += QStringLiteral(" DESC");
        else
            acceptWord("ASC");
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
        if (acceptWord("INNER")) {
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
        } else if (peek().isWord("JOIN")) {
            join = QStringLiteral("INNER JOIN");
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
                                "database").arg(t.text.toUpper()));
        if (t.kind != TsqlToken::Kind::Identifier && t.kind != TsqlToken::Kind::QuotedIdentifier)
            fail(QStringLiteral("table name expected"));
        if (isReserved(t))
            fail(QStringLiteral("table name expected"));
        ref.table = parseObjectName();
        if (ref.table.compare(QLatin1String("sysobjects"), Qt::CaseInsensitive) == 0)
            sql = QLatin1String(kSysObjects);
        else
            sql = quoteName(ref.table);
    }
    QString alias;
    if (acceptWord("AS")) {
        const TsqlToken& a = next();
        if (a.kind != TsqlToken::Kind::Identifier && a.kind != TsqlToken::Kind::QuotedIdentifier)
            failAt(a, QStringLiteral("alias expected"));
        alias = a.text;
    } else if (peek().kind == TsqlToken::Kind::QuotedIdentifier
               || (peek().kind == TsqlToken::Kind::Identifier && !isReserved(peek())
                   && !peek().isWord("WITH"))) {
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
    if (peek().isOperator("(") && !peek(1).isWord("SELECT")) {
        next();
        QStringList columns;
        do {
            columns << quoteName(parseObjectName());
        } while (acceptOp(","));
        expectOp(")");
        sql += QStringLiteral(" (") + columns.join(QStringLiteral(", ")) + QLatin1Char(')');
    }
    if (acceptWord("VALUES")) {
        QStringList rows;
        do {
            expectOp("(");
            QStringList values;
            do {
                values << parseExpr().sql;
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
    m_qualifiers.clear();
    QStringList columns;
    QStringList values;
    do {
        if (peek().kind == TsqlToken::Kind::Variable)
            fail(QStringLiteral("variables are not supported"));
        // The column may be written qualified (t.[c]); SQLite wants the bare name.
        columns << quoteName(parseObjectName());
        expectOp("=");
        values << parseExpr().sql;
    } while (acceptOp(","));
    const QStringList setQualifiers = m_qualifiers;

    QString from;
    QList<TableRef> refs;
    if (acceptWord("FROM"))
        from = parseFromList(&refs);
    QString where;
    if (acceptWord("WHERE"))
        where = parseExpr().sql;
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
        out << QStringLiteral("UPDATE %1 SET %2 FROM %3").arg(quoteName(target), set, from)
                + whereSql;
        return;
    }
    bool onlyTarget = true;
    for (const QString& q : setQualifiers) {
        if (q.compare(refName, Qt::CaseInsensitive) != 0
            && q.compare(tableName, Qt::CaseInsensitive) != 0)
            onlyTarget = false;
    }
    const QString rows = QStringLiteral("rowid IN (SELECT %1.rowid FROM %2%3)")
                             .arg(quoteName(refName), from, whereSql);
    if (onlyTarget) {
        // New values come from the target row alone: choose the rows through the join.
        const QString targetSql = quoteName(tableName)
            + (refName.compare(tableName, Qt::CaseInsensitive) == 0
                   ? QString() : QStringLiteral(" AS ") + quoteName(refName));
        out << QStringLiteral("UPDATE %1 SET %2 WHERE %3").arg(targetSql, set, rows);
        return;
    }
    // Values read from joined tables: each target row takes them from its own row of the join.
    out << QStringLiteral("UPDATE %1 AS orvane_target SET (%2) = (SELECT %3 FROM %4 WHERE "
                          "%5.rowid = orvane_target.rowid%6) WHERE %7")
               .arg(quoteName(tableName), columns.join(QStringLiteral(", ")),
                    values.join(QStringLiteral(", ")), from, quoteName(refName),
                    where.isEmpty() ? QString() : QStringLiteral(" AND (") + where + u')', rows);
}

void TsqlParser::parseDelete(QStringList& out)
{
    expectWord("DELETE");
    if (peek().isWord("TOP"))
        fail(QStringLiteral("DELETE TOP is not supported"));
    acceptWord("FROM");
    const QString target = parseObjectName();
    QString from;
    QList<TableRef> refs;
    if (acceptWord("FROM"))
        from = parseFromList(&refs);
    QString where;
    if (acceptWord("WHERE"))
        where = parseExpr().sql;
    const QString whereSql = where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where;
    if (from.isEmpty()) {
        out << QStringLiteral("DELETE FROM ") + quoteName(target) + whereSql;
        return;
    }
    QString tableName;
    const QString refName = findTargetRef(target, refs, &tableName);
    if (refName.isEmpty())
        fail(QStringLiteral("the table to delete from must appear in the FROM list"));
    out << QStringLiteral("DELETE FROM %1 WHERE rowid IN (SELECT %2.rowid FROM %3%4)")
               .arg(quoteName(tableName), quoteName(refName), from, whereSql);
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
    static const QStringList textTypes = {"CHAR", "VARCHAR", "NCHAR", "NVARCHAR", "TEXT", "NTEXT",
                                          "SYSNAME", "UNIQUEIDENTIFIER", "XML"};
    static const QStringList dateTypes = {"DATETIME", "SMALLDATETIME", "DATE", "DATETIME2",
                                          "TIME", "DATETIMEOFFSET"};
    static const QStringList intTypes = {"INT", "INTEGER", "BIGINT", "SMALLINT", "TINYINT", "BIT"};
    static const QStringList numTypes = {"DECIMAL", "NUMERIC", "MONEY", "SMALLMONEY", "FLOAT",
                                         "REAL"};
    static const QStringList blobTypes = {"IMAGE", "VARBINARY", "BINARY", "TIMESTAMP",
                                          "ROWVERSION"};
    type.isText = textTypes.contains(type.name);
    type.isDate = dateTypes.contains(type.name);
    type.isInteger = intTypes.contains(type.name);
    type.isNumeric = type.isInteger || numTypes.contains(type.name);
    type.isBlob = blobTypes.contains(type.name);
    if (!type.isText && !type.isDate && !type.isNumeric && !type.isBlob)
        failAt(t, QStringLiteral("unknown data type"));
    type.sqlText = type.name
        + (args.isEmpty() ? QString() : QLatin1Char('(') + args.join(u',') + QLatin1Char(')'));
    return type;
}

QString TsqlParser::parseColumnDefinition(const QString& table, bool forAlter, bool* identity,
                                          QString* identityColumn, QStringList* extra)
{
    const QString column = parseNamePart();
    const DataType type = parseDataType();
    QString sql = quoteName(column) + QLatin1Char(' ');
    bool isIdentity = false;
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
        if (seed != 1) {
            *extra << QStringLiteral("INSERT INTO sqlite_sequence (name, seq) VALUES (%1, %2)")
                          .arg(quoteString(table)).arg(seed - 1);
        }
    }
    if (isIdentity)
        sql += QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT");
    else if (type.isBlob)
        sql += QStringLiteral("BLOB");
    else if (type.isInteger)
        sql += type.name == QLatin1String("BIT") ? QStringLiteral("BIT") : QStringLiteral("INTEGER");
    else if (type.isText && !type.name.contains(QLatin1String("CHAR"))
             && !type.name.contains(QLatin1String("TEXT")))
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
                if (!number && !(literal.startsWith(u'\'') && literal.endsWith(u'\''))
                    && literal != QLatin1String("NULL"))
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
    if (type.isText)
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
            const bool isIdentityKey = primaryKey.size() == 1
                && primaryKey.first().compare(identityColumn, Qt::CaseInsensitive) == 0;
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
            out << prefix + QStringLiteral(" ADD COLUMN ")
                    + parseColumnDefinition(table, true, &identity, &identityColumn, &extra);
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
        // Column lengths and nullability are not enforced by SQLite: nothing to change.
        expectWord("COLUMN");
        parseNamePart();
        parseDataType();
        if (acceptWord("NOT"))
            expectWord("NULL");
        else
            acceptWord("NULL");
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
        out << QStringLiteral("DROP TABLE ") + (ifExists ? QStringLiteral("IF EXISTS ") : QString())
                + quoteName(parseObjectName());
    } while (acceptOp(","));
}

// ---------------------------------------------------------------------------------------------
// expressions

TsqlParser::Expr TsqlParser::parseExpr()
{
    DepthGuard guard(m_depth);
    return parseOr();
}

TsqlParser::Expr TsqlParser::parseOr()
{
    Expr left = parseAnd();
    while (acceptWord("OR")) {
        Expr right = parseAnd();
        left = Expr{left.sql + QStringLiteral(" OR ") + right.sql, Type::Number};
    }
    return left;
}

TsqlParser::Expr TsqlParser::parseAnd()
{
    Expr left = parseNot();
    while (acceptWord("AND")) {
        Expr right = parseNot();
        left = Expr{left.sql + QStringLiteral(" AND ") + right.sql, Type::Number};
    }
    return left;
}

TsqlParser::Expr TsqlParser::parseNot()
{
    if (acceptWord("NOT")) {
        DepthGuard guard(m_depth);
        Expr inner = parseNot();
        return Expr{QStringLiteral("NOT ") + inner.sql, Type::Number};
    }
    return parsePredicate();
}

TsqlParser::Expr TsqlParser::parsePredicate()
{
    if (acceptWord("EXISTS")) {
        expectOp("(");
        const QString query = parseQuery(nullptr);
        expectOp(")");
        return Expr{QStringLiteral("EXISTS (") + query + u')', Type::Number, true};
    }
    Expr left = parseAdditive();
    static const char* const comparisons[] = {"=", "<>", "!=", "<", ">", "<=", ">=", "!<", "!>"};
    for (const char* op : comparisons) {
        if (acceptOp(op)) {
            Expr right = parseAdditive();
            QString sqlOp = QString::fromLatin1(op);
            if (sqlOp == QLatin1String("!="))
                sqlOp = QStringLiteral("<>");
            else if (sqlOp == QLatin1String("!<"))
                sqlOp = QStringLiteral(">=");
            else if (sqlOp == QLatin1String("!>"))
                sqlOp = QStringLiteral("<=");
            return comparison(left, sqlOp, right);
        }
    }
    const bool negated = acceptWord("NOT");
    const QString notSql = negated ? QStringLiteral(" NOT") : QString();
    if (acceptWord("LIKE")) {
        Expr pattern = parseAdditive();
        QString sql = operand(left) + notSql + QStringLiteral(" LIKE ") + operand(pattern);
        if (acceptWord("ESCAPE"))
            sql += QStringLiteral(" ESCAPE ") + parsePrimary().sql;
        return Expr{sql, Type::Number};
    }
    if (acceptWord("IN")) {
        expectOp("(");
        QString list;
        if (peek().isWord("SELECT")) {
            list = parseQuery(nullptr);
        } else {
            QStringList items;
            do {
                items << parseExpr().sql;
            } while (acceptOp(","));
            list = items.join(QStringLiteral(", "));
        }
        expectOp(")");
        QString subject = operand(left);
        if (!left.column && left.type != Type::Number)
            subject = QLatin1Char('(') + left.sql + QStringLiteral(") COLLATE NOCASE");
        return Expr{subject + notSql + QStringLiteral(" IN (") + list + u')', Type::Number};
    }
    if (acceptWord("BETWEEN")) {
        Expr low = parseAdditive();
        expectWord("AND");
        Expr high = parseAdditive();
        return Expr{operand(left) + notSql + QStringLiteral(" BETWEEN ") + operand(low)
                        + QStringLiteral(" AND ") + operand(high),
                    Type::Number};
    }
    if (negated)
        fail(QStringLiteral("LIKE, IN or BETWEEN expected after NOT"));
    if (acceptWord("IS")) {
        const bool isNot = acceptWord("NOT");
        expectWord("NULL");
        return Expr{operand(left) + (isNot ? QStringLiteral(" IS NOT NULL") : QStringLiteral(" IS NULL")),
                    Type::Number};
    }
    return left;
}

// Texts compare without regard to case. A column made by our DDL carries COLLATE NOCASE and
// SQLite applies it to the comparison; only when neither side is a column (a function result,
// a literal) the collation is added here. Numbers need none.
TsqlParser::Expr TsqlParser::comparison(const Expr& left, const QString& op, const Expr& right) const
{
    QString sql = operand(left) + QLatin1Char(' ') + op + QLatin1Char(' ') + operand(right);
    if (!left.column && !right.column && left.type != Type::Number
        && right.type != Type::Number && !left.null && !right.null)
        sql = operand(left) + QLatin1Char(' ') + op + QLatin1Char(' ')
            + (right.primary ? right.sql : QLatin1Char('(') + right.sql + QLatin1Char(')'))
            + QStringLiteral(" COLLATE NOCASE");
    return Expr{sql, Type::Number};
}

// `+` is addition, text concatenation or date arithmetic depending on the operands' types,
// as in SQL Server. Where the translation cannot tell the types, tsql_add decides at run time.
TsqlParser::Expr TsqlParser::addition(const Expr& left, const Expr& right) const
{
    if (left.type == Type::Number && right.type == Type::Number)
        return Expr{left.sql + QStringLiteral(" + ") + right.sql, Type::Number};
    if (left.type == Type::Date && right.type == Type::Number)
        return Expr{QStringLiteral("dateadd('day', %1, %2)").arg(right.sql, left.sql), Type::Date, true};
    if (left.type == Type::Number && right.type == Type::Date)
        return Expr{QStringLiteral("dateadd('day', %1, %2)").arg(left.sql, right.sql), Type::Date, true};
    if (left.type == Type::Text && right.type == Type::Text)
        return Expr{QLatin1Char('(') + operand(left) + QStringLiteral(" || ") + operand(right) + u')',
                    Type::Text, true};
    return Expr{QStringLiteral("tsql_add(%1, %2)").arg(left.sql, right.sql), Type::Unknown, true};
}

TsqlParser::Expr TsqlParser::subtraction(const Expr& left, const Expr& right) const
{
    if (left.type == Type::Date && right.type == Type::Number)
        return Expr{QStringLiteral("dateadd('day', -(%1), %2)").arg(right.sql, left.sql), Type::Date, true};
    return Expr{left.sql + QStringLiteral(" - ") + operand(right), Type::Number};
}

TsqlParser::Expr TsqlParser::parseAdditive()
{
    Expr left = parseMultiplicative();
    for (;;) {
        if (acceptOp("+")) {
            Expr right = parseMultiplicative();
            left = addition(left, right);
        } else if (acceptOp("-")) {
            Expr right = parseMultiplicative();
            left = subtraction(left, right);
        } else if (peek().isOperator("&") || peek().isOperator("|") || peek().isOperator("^")) {
            const QString op = next().text;
            Expr right = parseMultiplicative();
            if (op == QLatin1String("^")) {
                // SQLite has no exclusive or: (a | b) - (a & b)
                left = Expr{QStringLiteral("((%1 | %2) - (%1 & %2))").arg(operand(left), operand(right)),
                            Type::Number, true};
            } else {
                left = Expr{QLatin1Char('(') + operand(left) + u' ' + op + u' ' + operand(right) + u')',
                            Type::Number, true};
            }
        } else {
            return left;
        }
    }
}

TsqlParser::Expr TsqlParser::parseMultiplicative()
{
    Expr left = parseUnary();
    for (;;) {
        QString op;
        if (acceptOp("*"))
            op = QStringLiteral("*");
        else if (acceptOp("/"))
            op = QStringLiteral("/");
        else if (acceptOp("%"))
            op = QStringLiteral("%");
        else
            return left;
        Expr right = parseUnary();
        left = Expr{left.sql + u' ' + op + u' ' + operand(right), Type::Number};
    }
}

TsqlParser::Expr TsqlParser::parseUnary()
{
    if (acceptOp("-")) {
        DepthGuard guard(m_depth);
        Expr inner = parseUnary();
        return Expr{QStringLiteral("-") + operand(inner), Type::Number, true};
    }
    if (acceptOp("+")) {
        DepthGuard guard(m_depth);
        return parseUnary();
    }
    if (acceptOp("~")) {
        DepthGuard guard(m_depth);
        Expr inner = parseUnary();
        return Expr{QStringLiteral("~") + operand(inner), Type::Number, true};
    }
    return parsePrimary();
}

TsqlParser::Expr TsqlParser::parsePrimary()
{
    const TsqlToken& t = peek();
    switch (t.kind) {
    case TsqlToken::Kind::Number:
        next();
        return Expr{t.text, Type::Number, true};
    case TsqlToken::Kind::String:
        next();
        return Expr{quoteString(t.text), Type::Text, true};
    case TsqlToken::Kind::Variable: {
        const QString name = t.text.toUpper();
        next();
        if (name == QLatin1String("@@IDENTITY"))
            return Expr{QStringLiteral("last_insert_rowid()"), Type::Number, true};
        if (name == QLatin1String("@@ROWCOUNT"))
            return Expr{QStringLiteral("changes()"), Type::Number, true};
        failAt(t, QStringLiteral("variables are not supported"));
    }
    case TsqlToken::Kind::Operator:
        if (t.isOperator("(")) {
            next();
            DepthGuard guard(m_depth);
            if (peek().isWord("SELECT")) {
                const QString query = parseQuery(nullptr);
                expectOp(")");
                return Expr{QLatin1Char('(') + query + u')', Type::Unknown, true};
            }
            Expr inner = parseExpr();
            expectOp(")");
            inner.sql = QLatin1Char('(') + inner.sql + u')';
            inner.primary = true;
            inner.column = false;
            return inner;
        }
        fail(QStringLiteral("expression expected"));
    case TsqlToken::Kind::End:
        fail(QStringLiteral("expression expected"));
    case TsqlToken::Kind::Identifier:
        if (t.isWord("NULL")) {
            next();
            Expr e{QStringLiteral("NULL"), Type::Unknown, true};
            e.null = true;
            return e;
        }
        if (t.isWord("CASE"))
            return parseCase();
        if (t.isWord("CURRENT_TIMESTAMP")) {
            next();
            return Expr{m_inDefault ? QStringLiteral("(datetime('now', 'localtime'))")
                                    : QStringLiteral("getdate()"),
                        Type::Date, true};
        }
        if (peek(1).isOperator("(")) {
            const QString name = next().text.toUpper();
            next(); // (
            return parseFunction(name);
        }
        if (isReserved(t))
            fail(QStringLiteral("expression expected"));
        return parseColumnRef();
    case TsqlToken::Kind::QuotedIdentifier:
        return parseColumnRef();
    }
    fail(QStringLiteral("expression expected"));
}

TsqlParser::Expr TsqlParser::parseColumnRef()
{
    QStringList parts;
    parts << parseNamePart();
    while (acceptOp("."))
        parts << parseNamePart();
    if (parts.size() > 4)
        fail(QStringLiteral("too many parts in a column name"));
    // owner.table.column: the owner has no meaning here
    while (parts.size() > 2)
        parts.removeFirst();
    if (parts.size() == 2)
        m_qualifiers << parts.first();
    QStringList quoted;
    for (const QString& p : parts)
        quoted << quoteName(p);
    Expr e{quoted.join(u'.'), Type::Unknown, true};
    e.column = true;
    return e;
}

TsqlParser::Expr TsqlParser::parseCase()
{
    DepthGuard guard(m_depth);
    expectWord("CASE");
    QString sql = QStringLiteral("CASE");
    if (!peek().isWord("WHEN"))
        sql += u' ' + parseExpr().sql;
    Type type = Type::Unknown;
    bool first = true;
    if (!peek().isWord("WHEN"))
        fail(QStringLiteral("WHEN expected"));
    while (acceptWord("WHEN")) {
        sql += QStringLiteral(" WHEN ") + parseExpr().sql;
        expectWord("THEN");
        Expr value = parseExpr();
        sql += QStringLiteral(" THEN ") + value.sql;
        if (first)
            type = value.type;
        else if (type != value.type)
            type = Type::Unknown;
        first = false;
    }
    if (acceptWord("ELSE")) {
        Expr value = parseExpr();
        sql += QStringLiteral(" ELSE ") + value.sql;
        if (type != value.type)
            type = Type::Unknown;
    }
    expectWord("END");
    return Expr{sql + QStringLiteral(" END"), type, true};
}

QString TsqlParser::datePartName()
{
    const TsqlToken& t = next();
    if (t.kind != TsqlToken::Kind::Identifier && t.kind != TsqlToken::Kind::String)
        failAt(t, QStringLiteral("date part expected"));
    static const QList<QPair<QString, QStringList>> parts = {
        {"year", {"YEAR", "YY", "YYYY"}},
        {"quarter", {"QUARTER", "QQ", "Q"}},
        {"month", {"MONTH", "MM", "M"}},
        {"dayofyear", {"DAYOFYEAR", "DY", "Y"}},
        {"day", {"DAY", "DD", "D"}},
        {"week", {"WEEK", "WK", "WW"}},
        {"weekday", {"WEEKDAY", "DW", "W"}},
        {"hour", {"HOUR", "HH"}},
        {"minute", {"MINUTE", "MI", "N"}},
        {"second", {"SECOND", "SS", "S"}},
    };
    const QString upper = t.text.toUpper();
    for (const auto& p : parts) {
        if (p.second.contains(upper))
            return p.first;
    }
    failAt(t, QStringLiteral("unknown date part"));
}

QList<TsqlParser::Expr> TsqlParser::parseArguments(int minCount, int maxCount,
                                                   const QString& function)
{
    QList<Expr> args;
    if (!peek().isOperator(")")) {
        do {
            args << parseExpr();
        } while (acceptOp(","));
    }
    expectOp(")");
    if (args.size() < minCount || args.size() > maxCount)
        fail(QStringLiteral("wrong number of arguments for %1").arg(function));
    return args;
}

TsqlParser::Expr TsqlParser::parseFunction(const QString& name)
{
    DepthGuard guard(m_depth);
    auto call = [](const QString& fn, const QList<Expr>& args, Type type) {
        QStringList sqls;
        for (const Expr& a : args)
            sqls << a.sql;
        return Expr{fn + u'(' + sqls.join(QStringLiteral(", ")) + u')', type, true};
    };
    if (name == QLatin1String("GETDATE") || name == QLatin1String("GETUTCDATE")) {
        expectOp(")");
        const bool utc = name == QLatin1String("GETUTCDATE");
        if (m_inDefault) {
            return Expr{utc ? QStringLiteral("(datetime('now'))")
                            : QStringLiteral("(datetime('now', 'localtime'))"),
                        Type::Date, true};
        }
        return Expr{utc ? QStringLiteral("datetime('now')") : QStringLiteral("getdate()"),
                    Type::Date, true};
    }
    if (name == QLatin1String("CONVERT")) {
        const DataType type = parseDataType();
        expectOp(",");
        Expr value = parseExpr();
        QString style;
        if (acceptOp(","))
            style = parseExpr().sql;
        expectOp(")");
        if (type.isInteger && value.type == Type::Number && style.isEmpty())
            return Expr{QStringLiteral("CAST(%1 AS INTEGER)").arg(value.sql), Type::Number, true};
        const Type result = type.isText ? Type::Text : type.isDate ? Type::Date
            : type.isNumeric ? Type::Number : Type::Unknown;
        return Expr{QStringLiteral("tsql_convert(%1, %2%3)")
                        .arg(quoteString(type.sqlText), value.sql,
                             style.isEmpty() ? QString() : QStringLiteral(", ") + style),
                    result, true};
    }
    if (name == QLatin1String("CAST")) {
        Expr value = parseExpr();
        expectWord("AS");
        const DataType type = parseDataType();
        expectOp(")");
        if (type.isInteger && value.type == Type::Number)
            return Expr{QStringLiteral("CAST(%1 AS INTEGER)").arg(value.sql), Type::Number, true};
        const Type result = type.isText ? Type::Text : type.isDate ? Type::Date
            : type.isNumeric ? Type::Number : Type::Unknown;
        return Expr{QStringLiteral("tsql_convert(%1, %2)").arg(quoteString(type.sqlText), value.sql),
                    result, true};
    }
    if (name == QLatin1String("DATEADD") || name == QLatin1String("DATEDIFF")
        || name == QLatin1String("DATEPART")) {
        const QString part = datePartName();
        expectOp(",");
        QList<Expr> rest = parseArguments(name == QLatin1String("DATEPART") ? 1 : 2,
                                          name == QLatin1String("DATEPART") ? 1 : 2, name);
        rest.prepend(Expr{quoteString(part), Type::Text, true});
        return call(name.toLower(), rest, name == QLatin1String("DATEADD") ? Type::Date : Type::Number);
    }
    if (name == QLatin1String("COUNT") || name == QLatin1String("COUNT_BIG")) {
        if (acceptOp("*")) {
            expectOp(")");
            return Expr{QStringLiteral("count(*)"), Type::Number, true};
        }
        const bool distinct = acceptWord("DISTINCT");
        Expr arg = parseExpr();
        expectOp(")");
        return Expr{QStringLiteral("count(%1%2)")
                        .arg(distinct ? QStringLiteral("DISTINCT ") : QString(), arg.sql),
                    Type::Number, true};
    }
    if (name == QLatin1String("SUM") || name == QLatin1String("AVG") || name == QLatin1String("MIN")
        || name == QLatin1String("MAX")) {
        const bool distinct = acceptWord("DISTINCT");
        Expr arg = parseExpr();
        expectOp(")");
        const Type type = (name == QLatin1String("MIN") || name == QLatin1String("MAX"))
            ? arg.type : Type::Number;
        return Expr{QStringLiteral("%1(%2%3)").arg(name.toLower(),
                        distinct ? QStringLiteral("DISTINCT ") : QString(), arg.sql),
                    type, true};
    }

    struct Mapping {
        const char* tsql;
        const char* sqlite;
        int minArgs;
        int maxArgs;
        Type type;
    };
    static const Mapping mappings[] = {
        {"CHARINDEX", "charindex", 2, 3, Type::Number},
        {"ISDATE", "isdate", 1, 1, Type::Number},
        {"ISNUMERIC", "isnumeric", 1, 1, Type::Number},
        {"YEAR", "year", 1, 1, Type::Number},
        {"MONTH", "month", 1, 1, Type::Number},
        {"DAY", "day", 1, 1, Type::Number},
        {"FLOOR", "floor", 1, 1, Type::Number},
        {"CEILING", "ceiling", 1, 1, Type::Number},
        {"ROUND", "tsql_round", 2, 3, Type::Number},
        {"ABS", "abs", 1, 1, Type::Number},
        {"SIGN", "sign", 1, 1, Type::Number},
        {"POWER", "power", 2, 2, Type::Number},
        {"SQRT", "sqrt", 1, 1, Type::Number},
        {"IDENT_CURRENT", "ident_current", 1, 1, Type::Number},
        {"UPPER", "upper", 1, 1, Type::Text},
        {"LOWER", "lower", 1, 1, Type::Text},
        {"SUBSTRING", "substr", 3, 3, Type::Text},
        {"RIGHT", "tsql_right", 2, 2, Type::Text},
        {"REPLACE", "tsql_replace", 3, 3, Type::Text},
        {"REPLICATE", "tsql_replicate", 2, 2, Type::Text},
        {"SPACE", "tsql_space", 1, 1, Type::Text},
        {"STR", "tsql_str", 1, 3, Type::Text},
        {"COALESCE", "coalesce", 2, 64, Type::Unknown},
        {"NULLIF", "nullif", 2, 2, Type::Unknown},
        {"CHAR", "char", 1, 1, Type::Text},
        {"NCHAR", "char", 1, 1, Type::Text},
        {"ASCII", "unicode", 1, 1, Type::Number},
        {"UNICODE", "unicode", 1, 1, Type::Number},
    };
    for (const Mapping& m : mappings) {
        if (name == QLatin1String(m.tsql)) {
            const QList<Expr> args = parseArguments(m.minArgs, m.maxArgs, name);
            return call(QString::fromLatin1(m.sqlite), args, m.type);
        }
    }
    if (name == QLatin1String("ISNULL")) {
        const QList<Expr> args = parseArguments(2, 2, name);
        return call(QStringLiteral("coalesce"), args, args.first().type);
    }
    if (name == QLatin1String("LEN")) {
        const QList<Expr> args = parseArguments(1, 1, name);
        return Expr{QStringLiteral("length(rtrim(%1, ' '))").arg(args.first().sql), Type::Number, true};
    }
    if (name == QLatin1String("DATALENGTH")) {
        const QList<Expr> args = parseArguments(1, 1, name);
        return Expr{QStringLiteral("length(CAST(%1 AS BLOB))").arg(args.first().sql), Type::Number, true};
    }
    if (name == QLatin1String("LEFT")) {
        const QList<Expr> args = parseArguments(2, 2, name);
        return Expr{QStringLiteral("substr(%1, 1, %2)").arg(args.at(0).sql, args.at(1).sql),
                    Type::Text, true};
    }
    if (name == QLatin1String("LTRIM") || name == QLatin1String("RTRIM")) {
        const QList<Expr> args = parseArguments(1, 1, name);
        return Expr{QStringLiteral("%1(%2, ' ')").arg(name.toLower(), args.first().sql),
                    Type::Text, true};
    }
    if (name == QLatin1String("SCOPE_IDENTITY")) {
        parseArguments(0, 0, name);
        return Expr{QStringLiteral("last_insert_rowid()"), Type::Number, true};
    }
    if (name == QLatin1String("NEWID")) {
        parseArguments(0, 0, name);
        return Expr{QStringLiteral("lower(hex(randomblob(16)))"), Type::Text, true};
    }
    if (name == QLatin1String("OBJECT_ID")) {
        const QList<Expr> args = parseArguments(1, 1, name);
        return Expr{QStringLiteral("(SELECT id FROM %1 AS o WHERE o.name = %2)")
                        .arg(QLatin1String(kSysObjects), args.first().sql),
                    Type::Number, true};
    }
    fail(QStringLiteral("unsupported function %1").arg(name));
}

} // namespace orvane::db
