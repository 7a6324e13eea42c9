#include "db/tsqlparser.h"

#include "db/tsqlparserdetail.h"

// Expressions: operators, predicates and built-in functions, translated with their types.
namespace orvane::db {

using tsqldetail::DepthGuard;
using tsqldetail::kSysObjects;

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
        return Expr{operand(left) + notSql + QStringLiteral(" BETWEEN ") + operand(low) +
                        QStringLiteral(" AND ") + operand(high),
                    Type::Number};
    }
    if (negated)
        fail(QStringLiteral("LIKE, IN or BETWEEN expected after NOT"));
    if (acceptWord("IS")) {
        const bool isNot = acceptWord("NOT");
        expectWord("NULL");
        return Expr{operand(left) +
                        (isNot ? QStringLiteral(" IS NOT NULL") : QStringLiteral(" IS NULL")),
                    Type::Number};
    }
    return left;
}

// Texts compare without regard to case. A column made by our DDL carries COLLATE NOCASE and
// SQLite applies it to the comparison; only when neither side is a column (a function result,
// a literal) the collation is added here. Numbers need none.
TsqlParser::Expr TsqlParser::comparison(const Expr& left, const QString& op,
                                        const Expr& right) const
{
    QString sql = operand(left) + QLatin1Char(' ') + op + QLatin1Char(' ') + operand(right);
    if (!left.column && !right.column && left.type != Type::Number && right.type != Type::Number &&
        !left.null && !right.null)
        sql = operand(left) + QLatin1Char(' ') + op + QLatin1Char(' ') +
              (right.primary ? right.sql : QLatin1Char('(') + right.sql + QLatin1Char(')')) +
              QStringLiteral(" COLLATE NOCASE");
    return Expr{sql, Type::Number};
}

// `+` is addition, text concatenation or date arithmetic depending on the operands' types,
// as in SQL Server. Where the translation cannot tell the types, tsql_add decides at run time.
TsqlParser::Expr TsqlParser::addition(const Expr& left, const Expr& right) const
{
    if (left.type == Type::Number && right.type == Type::Number)
        return Expr{left.sql + QStringLiteral(" + ") + right.sql, Type::Number};
    if (left.type == Type::Date && right.type == Type::Number)
        return Expr{QStringLiteral("dateadd('day', %1, %2)").arg(right.sql, left.sql), Type::Date,
                    true};
    if (left.type == Type::Number && right.type == Type::Date)
        return Expr{QStringLiteral("dateadd('day', %1, %2)").arg(left.sql, right.sql), Type::Date,
                    true};
    if (left.type == Type::Text && right.type == Type::Text)
        return Expr{QLatin1Char('(') + operand(left) + QStringLiteral(" || ") + operand(right) +
                        u')',
                    Type::Text, true};
    return Expr{QStringLiteral("tsql_add(%1, %2)").arg(left.sql, right.sql), Type::Unknown, true};
}

TsqlParser::Expr TsqlParser::subtraction(const Expr& left, const Expr& right) const
{
    if (left.type == Type::Date && right.type == Type::Number)
        return Expr{QStringLiteral("dateadd('day', -(%1), %2)").arg(right.sql, left.sql),
                    Type::Date, true};
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
                left = Expr{
                    QStringLiteral("((%1 | %2) - (%1 & %2))").arg(operand(left), operand(right)),
                    Type::Number, true};
            } else {
                left = Expr{QLatin1Char('(') + operand(left) + u' ' + op + u' ' + operand(right) +
                                u')',
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
        {"year", {"YEAR", "YY", "YYYY"}},    {"quarter", {"QUARTER", "QQ", "Q"}},
        {"month", {"MONTH", "MM", "M"}},     {"dayofyear", {"DAYOFYEAR", "DY", "Y"}},
        {"day", {"DAY", "DD", "D"}},         {"week", {"WEEK", "WK", "WW"}},
        {"weekday", {"WEEKDAY", "DW", "W"}}, {"hour", {"HOUR", "HH"}},
        {"minute", {"MINUTE", "MI", "N"}},   {"second", {"SECOND", "SS", "S"}},
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
        const Type result = type.isText      ? Type::Text
                            : type.isDate    ? Type::Date
                            : type.isNumeric ? Type::Number
                                             : Type::Unknown;
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
        const Type result = type.isText      ? Type::Text
                            : type.isDate    ? Type::Date
                            : type.isNumeric ? Type::Number
                                             : Type::Unknown;
        return Expr{
            QStringLiteral("tsql_convert(%1, %2)").arg(quoteString(type.sqlText), value.sql),
            result, true};
    }
    if (name == QLatin1String("DATEADD") || name == QLatin1String("DATEDIFF") ||
        name == QLatin1String("DATEPART")) {
        const QString part = datePartName();
        expectOp(",");
        QList<Expr> rest = parseArguments(name == QLatin1String("DATEPART") ? 1 : 2,
                                          name == QLatin1String("DATEPART") ? 1 : 2, name);
        rest.prepend(Expr{quoteString(part), Type::Text, true});
        return call(name.toLower(), rest,
                    name == QLatin1String("DATEADD") ? Type::Date : Type::Number);
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
    if (name == QLatin1String("SUM") || name == QLatin1String("AVG") ||
        name == QLatin1String("MIN") || name == QLatin1String("MAX")) {
        const bool distinct = acceptWord("DISTINCT");
        Expr arg = parseExpr();
        expectOp(")");
        const Type type = (name == QLatin1String("MIN") || name == QLatin1String("MAX"))
                              ? arg.type
                              : Type::Number;
        return Expr{
            QStringLiteral("%1(%2%3)")
                .arg(name.toLower(), distinct ? QStringLiteral("DISTINCT ") : QString(), arg.sql),
            type, true};
    }

    struct Mapping
    {
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
        return Expr{QStringLiteral("length(rtrim(%1, ' '))").arg(args.first().sql), Type::Number,
                    true};
    }
    if (name == QLatin1String("DATALENGTH")) {
        const QList<Expr> args = parseArguments(1, 1, name);
        return Expr{QStringLiteral("length(CAST(%1 AS BLOB))").arg(args.first().sql), Type::Number,
                    true};
    }
    if (name == QLatin1String("LEFT")) {
        const QList<Expr> args = parseArguments(2, 2, name);
        return Expr{QStringLiteral("substr(%1, 1, %2)").arg(args.at(0).sql, args.at(1).sql),
                    Type::Text, true};
    }
    if (name == QLatin1String("LTRIM") || name == QLatin1String("RTRIM")) {
        const QList<Expr> args = parseArguments(1, 1, name);
        return Expr{QStringLiteral("%1(%2, ' ')").arg(name.toLower(), args.first().sql), Type::Text,
                    true};
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
