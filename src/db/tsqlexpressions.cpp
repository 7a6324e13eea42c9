#include "db/tsqlparser.h"

#include "db/sqlitefunctions.h"
#include "db/tsqlparserdetail.h"

#include <algorithm>

// Expressions: operators, predicates and built-in functions, translated with their types.
namespace orvane::db {

using tsqldetail::DepthGuard;
using tsqldetail::kPgSysObjects;
using tsqldetail::kSysObjects;

// ---------------------------------------------------------------------------------------------
// types

// The type SQL Server gives a column of the declared type.
TsqlParser::Expr TsqlParser::typedFromDecl(Expr e, const QString& declType) const
{
    const QString decl = declType.toUpper();
    const qsizetype paren = decl.indexOf(u'(');
    const QString base = (paren < 0 ? decl : decl.left(paren)).trimmed();
    if (decl.contains(QLatin1String("CHAR")) || decl.contains(QLatin1String("TEXT")) ||
        decl.contains(QLatin1String("CLOB"))) {
        e.type = Type::Text;
    } else if (base == QLatin1String("DATE")) {
        e.type = Type::Date;
        e.dateOnly = true;
    } else if (base.startsWith(QLatin1String("DATETIME")) ||
               base == QLatin1String("SMALLDATETIME")) {
        e.type = Type::Date;
    } else if (decl.contains(QLatin1String("INT")) || base == QLatin1String("BIT")) {
        e.type = Type::Number;
        e.num = Num::Int;
    } else if (base == QLatin1String("DECIMAL") || base == QLatin1String("NUMERIC")) {
        e.type = Type::Number;
        e.num = Num::Decimal;
        e.precision = 18;
        e.scale = 0;
        if (paren >= 0) {
            const QStringList args = decl.mid(paren + 1).chopped(1).split(u',');
            e.precision = args.value(0).trimmed().toInt();
            e.scale = args.value(1).trimmed().toInt();
        }
    } else if (base.endsWith(QLatin1String("MONEY"))) {
        e.type = Type::Number;
        e.num = Num::Money;
        e.precision = 19;
        e.scale = 4;
    } else if (base == QLatin1String("FLOAT") || base == QLatin1String("REAL") ||
               base == QLatin1String("DOUBLE")) {
        e.type = Type::Number;
        e.num = Num::Float;
    }
    return e;
}

const TsqlColumn* TsqlParser::findColumn(const QString& table, const QString& column) const
{
    if (!m_schema || table.isEmpty())
        return nullptr;
    const QList<TsqlColumn>* columns = m_schema->columns(table);
    if (!columns)
        return nullptr;
    for (const TsqlColumn& c : *columns) {
        if (c.name.compare(column, Qt::CaseInsensitive) == 0)
            return &c;
    }
    return nullptr;
}

// ---------------------------------------------------------------------------------------------
// PostgreSQL

// The PostgreSQL column type for a T-SQL declared type. Texts keep their declared length and
// take the collation tsql_ci, so that comparisons, ORDER BY and indexes ignore case, width and
// blanks and sort Chinese by pinyin as SQL Server's default collation does. Without
// `collated` a text type is given bare, as CAST takes it.
QString TsqlParser::pgColumnType(const QString& declType, bool collated) const
{
    const QString decl = declType.toUpper().trimmed();
    const qsizetype paren = decl.indexOf(u'(');
    const QString base = (paren < 0 ? decl : decl.left(paren)).trimmed();
    const QString args = paren < 0 ? QString() : decl.mid(paren);
    if (base.contains(QLatin1String("CHAR")) || base.contains(QLatin1String("TEXT")) ||
        base == QLatin1String("SYSNAME") || base == QLatin1String("UNIQUEIDENTIFIER") ||
        base == QLatin1String("XML")) {
        QString type;
        if (base == QLatin1String("SYSNAME"))
            type = QStringLiteral("varchar(128)");
        else if (base == QLatin1String("UNIQUEIDENTIFIER"))
            type = QStringLiteral("varchar(36)");
        else if (!base.contains(QLatin1String("CHAR")) || args.contains(QLatin1String("MAX")))
            type = QStringLiteral("text");
        else // a length left out is 1, as in SQL Server's DDL
            type = QStringLiteral("varchar") + (args.isEmpty() ? QStringLiteral("(1)") : args);
        return collated ? type + QStringLiteral(" COLLATE tsql_ci") : type;
    }
    if (base == QLatin1String("DATE"))
        return QStringLiteral("date");
    if (base == QLatin1String("TIME"))
        return QStringLiteral("time(0)");
    if (base.startsWith(QLatin1String("DATETIME")) || base == QLatin1String("SMALLDATETIME") ||
        base == QLatin1String("TIMESTAMP(0)"))
        return QStringLiteral("timestamp(0)");
    if (base == QLatin1String("BIGINT"))
        return QStringLiteral("bigint");
    if (base == QLatin1String("SMALLINT") || base == QLatin1String("TINYINT"))
        return QStringLiteral("smallint");
    if (base == QLatin1String("BIT"))
        return QStringLiteral("tsqlbit");
    if (base.contains(QLatin1String("INT")))
        return QStringLiteral("integer");
    if (base == QLatin1String("DECIMAL") || base == QLatin1String("NUMERIC"))
        return QStringLiteral("numeric") + (args.isEmpty() ? QStringLiteral("(18,0)") : args);
    if (base == QLatin1String("MONEY"))
        return QStringLiteral("tsqlmoney");
    if (base == QLatin1String("SMALLMONEY"))
        return QStringLiteral("numeric(10,4)");
    if (base == QLatin1String("FLOAT") || base == QLatin1String("DOUBLE"))
        return QStringLiteral("double precision");
    if (base == QLatin1String("REAL"))
        return QStringLiteral("real");
    if (base == QLatin1String("IMAGE") || base.contains(QLatin1String("BINARY")) ||
        base == QLatin1String("TIMESTAMP") || base == QLatin1String("ROWVERSION") ||
        base == QLatin1String("BLOB"))
        return QStringLiteral("bytea");
    return declType;
}

// A text compared, listed or sorted under tsql_ci: a column made by our DDL has the collation
// already (and keeps its index usable); literals, parameters and expressions are given it.
QString TsqlParser::pgCollated(const Expr& e)
{
    if (e.column && e.type == Type::Text)
        return e.sql;
    return operand(e) + QStringLiteral(" COLLATE tsql_ci");
}

// A value as text, for the functions that take texts (PostgreSQL converts no number to a text
// implicitly).
QString TsqlParser::pgText(const Expr& e)
{
    if (e.type == Type::Text || e.null)
        return e.sql;
    return QStringLiteral("CAST(%1 AS text)").arg(e.sql);
}

// A value read as a date-time: texts and numbers converted as SQL Server does.
QString TsqlParser::pgDate(const Expr& e) const
{
    if (e.type == Type::Date || e.null)
        return e.sql;
    if (e.literal) {
        const std::optional<QString> canonical = canonicalDateText(e.text, false);
        if (!canonical)
            fail(QStringLiteral("Conversion failed when converting date and/or time from "
                                "character string."));
        return QStringLiteral("CAST(%1 AS timestamp)").arg(quoteString(*canonical));
    }
    if (e.type == Type::Text || e.type == Type::Number)
        return QStringLiteral("tsql_datetime(%1)").arg(e.sql);
    return e.sql;
}

namespace {

// T-SQL LIKE pattern with character classes as a regular expression (anchored, case folded
// by the ~* operator).
QString likePatternToRegex(const QString& pattern, QChar escape)
{
    QString re = QStringLiteral("^");
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern.at(i);
        if (!escape.isNull() && c == escape && i + 1 < pattern.size()) {
            const QChar lit = pattern.at(++i);
            re += lit.isLetterOrNumber() ? QString(lit) : QStringLiteral("\\") + lit;
        } else if (c == u'%') {
            re += QStringLiteral(".*");
        } else if (c == u'_') {
            re += u'.';
        } else if (c == u'[') {
            const qsizetype close = pattern.indexOf(u']', i + 2);
            if (close < 0) {
                re += QStringLiteral("\\[");
                continue;
            }
            QString inner = pattern.mid(i + 1, close - i - 1);
            QString cls = QStringLiteral("[");
            if (inner.startsWith(u'^')) {
                cls += u'^';
                inner.remove(0, 1);
            }
            for (QChar k : inner)
                cls +=
                    (k == u'\\' || k == u'[' || k == u']') ? QStringLiteral("\\") + k : QString(k);
            re += cls + u']';
            i = close;
        } else if (c.isLetterOrNumber() || c.unicode() > 127 || c == u' ') {
            re += c;
        } else {
            re += QStringLiteral("\\") + c;
        }
    }
    return re + u'$';
}

} // namespace

// LIKE as T-SQL has it: case-insensitive, no escape character unless one is named, character
// classes in brackets (as a regular expression, which PostgreSQL's LIKE lacks). PostgreSQL
// matches patterns under deterministic collations only: the subject is read under "und-x-icu"
// and, like the pattern, normalised to NFKC, so that full-width letters match their ASCII
// forms as they compare equal under tsql_ci.
QString TsqlParser::pgLike(const Expr& left, const Expr& pattern, bool negated,
                           const QString& escape)
{
    const QString subject =
        QStringLiteral("normalize(%1 COLLATE \"und-x-icu\", NFKC)")
            .arg(left.type == Type::Text ? operand(left)
                                         : QStringLiteral("CAST(%1 AS text)").arg(left.sql));
    if (pattern.literal && pattern.text.contains(u'[')) {
        QChar escapeChar;
        if (!escape.isEmpty()) {
            if (escape.size() != 3 || !escape.startsWith(u'\'') || !escape.endsWith(u'\''))
                fail(QStringLiteral("ESCAPE with a character class needs a one-character "
                                    "literal"));
            escapeChar = escape.at(1);
        }
        return subject + (negated ? QStringLiteral(" !~* ") : QStringLiteral(" ~* ")) +
               quoteString(likePatternToRegex(
                   pattern.text.normalized(QString::NormalizationForm_KC), escapeChar));
    }
    const QString patternSql =
        pattern.literal ? quoteString(pattern.text.normalized(QString::NormalizationForm_KC))
                        : QStringLiteral("normalize(%1, NFKC)").arg(pgText(pattern));
    return subject + (negated ? QStringLiteral(" NOT ILIKE ") : QStringLiteral(" ILIKE ")) +
           patternSql + QStringLiteral(" ESCAPE ") +
           (escape.isEmpty() ? QStringLiteral("''") : escape);
}

// Finds the table column a reference names: by its qualifier, or the first table of the
// innermost query that has the column, then the enclosing queries (correlated references).
bool TsqlParser::resolveColumn(const QString& qualifier, const QString& column, TsqlColumn* found,
                               QString* refName, int* tables) const
{
    if (!m_schema)
        return false;
    for (qsizetype s = m_scopes.size() - 1; s >= 0; --s) {
        const QList<TableRef>& refs = m_scopes.at(s);
        for (const TableRef& r : refs) {
            const QString name = r.alias.isEmpty() ? r.table : r.alias;
            if (!qualifier.isEmpty() && name.compare(qualifier, Qt::CaseInsensitive) != 0 &&
                r.table.compare(qualifier, Qt::CaseInsensitive) != 0)
                continue;
            if (const TsqlColumn* c = findColumn(r.table, column)) {
                *found = *c;
                *refName = name;
                *tables = int(refs.size());
                return true;
            }
            if (!qualifier.isEmpty())
                return false;
        }
    }
    return false;
}

namespace {

struct DecimalShape
{
    int precision;
    int scale;
};

// SQL Server's precision and scale of a decimal result, reduced to 38 digits as it does.
DecimalShape decimalResult(const QString& op, DecimalShape a, DecimalShape b)
{
    int p = 0;
    int s = 0;
    if (op == QLatin1String("*")) {
        p = a.precision + b.precision + 1;
        s = a.scale + b.scale;
    } else if (op == QLatin1String("/")) {
        s = std::max(6, a.scale + b.precision + 1);
        p = a.precision - a.scale + b.scale + s;
    } else {
        s = std::max(a.scale, b.scale);
        p = std::max(a.precision - a.scale, b.precision - b.scale) + s + 1;
    }
    if (p > 38) {
        s = std::max(std::min(s, 6), s - (p - 38));
        p = 38;
    }
    return {p, s};
}

} // namespace

// Arithmetic with SQL Server's result types: integers stay integers (7/2 is 3), a decimal or
// money operand makes the result decimal (7.0/2 is 3.5) with the scale SQL Server gives it, and
// a zero divisor fails the statement. Unknown operands are decided at run time.
TsqlParser::Expr TsqlParser::arithmetic(const Expr& left, const QString& op,
                                        const Expr& right) const
{
    Expr out;
    out.type = Type::Number;
    out.primary = true;
    const bool known = left.num != Num::None && right.num != Num::None;
    const bool exact = left.num == Num::Decimal || left.num == Num::Money ||
                       right.num == Num::Decimal || right.num == Num::Money ||
                       left.num == Num::Float || right.num == Num::Float;
    if (m_pg) {
        // PostgreSQL's own operators already follow SQL Server: int / int stays int, numeric
        // keeps its digits, a zero divisor fails the statement.
        out.sql = operand(left) + u' ' + op + u' ' + operand(right);
        out.primary = false;
    } else if (op == QLatin1String("/") || op == QLatin1String("%")) {
        const QString fn =
            op == QLatin1String("/") ? QStringLiteral("tsql_div") : QStringLiteral("tsql_mod");
        // The third argument asks for division of decimals even when both values are stored
        // as whole numbers (a DECIMAL column keeps 7.0 as 7).
        out.sql = exact ? QStringLiteral("%1(%2, %3, 1)").arg(fn, left.sql, right.sql)
                        : QStringLiteral("%1(%2, %3)").arg(fn, left.sql, right.sql);
    } else {
        out.sql = operand(left) + u' ' + op + u' ' + operand(right);
        out.primary = false;
    }
    if (!known)
        return out;
    out.num = std::max(left.num, right.num);
    if (out.num == Num::Decimal || out.num == Num::Money) {
        auto shape = [](const Expr& e) -> DecimalShape {
            if (e.num == Num::Int)
                return {10, 0};
            if (e.num == Num::Money)
                return {19, 4};
            return {e.precision, e.scale};
        };
        const DecimalShape r = out.num == Num::Money ? DecimalShape{19, 4}
                                                     : decimalResult(op, shape(left), shape(right));
        out.precision = r.precision;
        out.scale = r.scale;
        // Binary fractions drift (0.1 + 0.2); the exact decimal result is the value rounded to
        // the result's scale.
        if (op != QLatin1String("/") && op != QLatin1String("%") && out.scale <= 12 && !m_pg)
            out.sql = QStringLiteral("tsql_scale(%1, %2)").arg(out.sql, QString::number(out.scale));
        out.primary = !m_pg || out.primary;
    }
    return out;
}

// A value compared with a date: a literal is read as a date now (and must be one), other texts
// are read at run time, so that '2024-03-05' and '2024-03-05 00:00:00' are the same datetime.
TsqlParser::Expr TsqlParser::dateOperand(const Expr& e, const Expr& other) const
{
    if (e.null || (e.type == Type::Date && e.dateOnly == other.dateOnly))
        return e;
    Expr out = e;
    out.type = Type::Date;
    out.dateOnly = other.dateOnly;
    out.primary = true;
    out.column = false;
    if (e.literal) {
        const std::optional<QString> canonical = canonicalDateText(e.text, other.dateOnly);
        if (!canonical)
            fail(QStringLiteral("Conversion failed when converting date and/or time from "
                                "character string."));
        out.sql =
            m_pg ? QStringLiteral("CAST(%1 AS %2)")
                       .arg(quoteString(*canonical),
                            other.dateOnly ? QStringLiteral("date") : QStringLiteral("timestamp"))
                 : quoteString(*canonical);
        return out;
    }
    if (e.type == Type::Text || e.type == Type::Date) {
        out.sql = QStringLiteral("%1(%2)").arg(
            other.dateOnly ? QStringLiteral("tsql_date") : QStringLiteral("tsql_datetime"), e.sql);
        return out;
    }
    return e;
}

// A value written into a column of the declared type, converted as SQL Server stores it: dates
// in the one canonical form, decimals rounded to the column's scale.
QString TsqlParser::convertForColumn(const Expr& value, const QString& declType) const
{
    if (declType.isEmpty() || value.null)
        return value.sql;
    const Expr column = typedFromDecl(Expr{}, declType);
    if (column.type == Type::Date)
        return dateOperand(value, column).sql;
    if (m_pg) {
        // A column takes numbers into texts only through an explicit conversion.
        if (column.type == Type::Text && value.type == Type::Number && !value.literal)
            return pgText(value);
        return value.sql; // numeric columns round to their scale themselves
    }
    if ((column.num == Num::Decimal || column.num == Num::Money) && value.num != Num::Int &&
        !(value.num == column.num && value.scale <= column.scale) && value.type != Type::Date)
        return QStringLiteral("tsql_scale(%1, %2)").arg(value.sql, QString::number(column.scale));
    return value.sql;
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
        if (m_pg) {
            QString escape;
            if (acceptWord("ESCAPE"))
                escape = parsePrimary().sql;
            return Expr{pgLike(left, pattern, negated, escape), Type::Number};
        }
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
                const Expr item = parseExpr();
                items << (left.type == Type::Date ? dateOperand(item, left).sql : item.sql);
            } while (acceptOp(","));
            list = items.join(QStringLiteral(", "));
        }
        expectOp(")");
        QString subject = operand(left);
        if (m_pg) {
            if (left.type == Type::Text && !left.column)
                subject = pgCollated(left);
        } else if (!left.column && left.type != Type::Number)
            subject = QLatin1Char('(') + left.sql + QStringLiteral(") COLLATE NOCASE");
        return Expr{subject + notSql + QStringLiteral(" IN (") + list + u')', Type::Number};
    }
    if (acceptWord("BETWEEN")) {
        Expr low = parseAdditive();
        expectWord("AND");
        Expr high = parseAdditive();
        if (left.type == Type::Date) {
            low = dateOperand(low, left);
            high = dateOperand(high, left);
        }
        const QString subject =
            m_pg && left.type == Type::Text && !left.column ? pgCollated(left) : operand(left);
        return Expr{subject + notSql + QStringLiteral(" BETWEEN ") + operand(low) +
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
TsqlParser::Expr TsqlParser::comparison(const Expr& leftIn, const QString& op,
                                        const Expr& rightIn) const
{
    Expr left = leftIn;
    Expr right = rightIn;
    if (left.type == Type::Date && right.type != Type::Number)
        right = dateOperand(right, left);
    else if (right.type == Type::Date && left.type != Type::Number)
        left = dateOperand(left, right);
    if (left.type == Type::Date && right.type == Type::Date)
        return Expr{operand(left) + u' ' + op + u' ' + operand(right), Type::Number};
    if (m_pg) {
        // A text compared with a number is read as a number (SQL Server's precedence); texts
        // compare under tsql_ci.
        auto side = [&](const Expr& e, const Expr& other) {
            if (e.type == Type::Text && other.type == Type::Number && !other.null)
                return QStringLiteral("CAST(%1 AS numeric)").arg(pgText(e));
            if (e.type == Type::Text && !e.column && !other.null)
                return pgCollated(e);
            return operand(e);
        };
        // Two text columns: a work table made by CREATE TABLE ... AS may have a column of
        // the default collation, which would conflict with tsql_ci; the right one is given it.
        if (left.type == Type::Text && right.type == Type::Text && left.column && right.column)
            return Expr{left.sql + u' ' + op + u' ' + right.sql +
                            QStringLiteral(" COLLATE tsql_ci"),
                        Type::Number};
        return Expr{side(left, right) + u' ' + op + u' ' + side(right, left), Type::Number};
    }
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
        return arithmetic(left, QStringLiteral("+"), right);
    // A text added to a number is read as the number's type, and fails as SQL Server does
    // when it is none ("Conversion failed when converting the varchar value ...").
    auto pgNumber = [](const Expr& text, const Expr& number) {
        return QStringLiteral("CAST(%1 AS %2)")
            .arg(pgText(text),
                 number.num == Num::Int ? QStringLiteral("integer") : QStringLiteral("numeric"));
    };
    const bool textFirst = left.type == Type::Text && right.type == Type::Number && !right.null;
    if (m_pg && (textFirst ||
                 (left.type == Type::Number && right.type == Type::Text && !left.null))) {
        const Expr& number = textFirst ? right : left;
        const QString first = textFirst ? pgNumber(left, right) : operand(left);
        const QString second = textFirst ? operand(right) : pgNumber(right, left);
        Expr e{QStringLiteral("(%1 + %2)").arg(first, second), Type::Number, true};
        e.num = number.num == Num::Int ? Num::Int : Num::None;
        return e;
    }
    if (left.type == Type::Date && right.type == Type::Number)
        return Expr{QStringLiteral("dateadd('day', %1, %2)").arg(right.sql, left.sql), Type::Date,
                    true};
    if (left.type == Type::Number && right.type == Type::Date)
        return Expr{QStringLiteral("dateadd('day', %1, %2)").arg(left.sql, right.sql), Type::Date,
                    true};
    if ((left.type == Type::Text && right.type == Type::Date) ||
        (left.type == Type::Date && right.type == Type::Text)) {
        // SQL Server reads the text as a datetime and adds the two as days since 1900; a NULL
        // date gives NULL without the text being read.
        const Expr& date = left.type == Type::Date ? left : right;
        const Expr& text = left.type == Type::Date ? right : left;
        if (m_pg)
            return Expr{QStringLiteral("tsql_add(CAST(%1 AS timestamp), CAST(%2 AS text))")
                            .arg(date.sql, text.sql),
                        Type::Date, true};
        return Expr{QStringLiteral("CASE WHEN %1 IS NULL THEN NULL ELSE datetime(julianday(%1) + "
                                   "julianday(%2) - 2415020.5) END")
                        .arg(operand(date), dateOperand(text, date).sql),
                    Type::Date, true};
    }
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
    if (left.type == Type::Number && right.type == Type::Number)
        return arithmetic(left, QStringLiteral("-"), right);
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
        left = arithmetic(left, op, right);
    }
}

TsqlParser::Expr TsqlParser::parseUnary()
{
    if (acceptOp("-")) {
        DepthGuard guard(m_depth);
        Expr inner = parseUnary();
        Expr negated = inner;
        negated.sql = QStringLiteral("-") + operand(inner);
        negated.type = Type::Number;
        negated.primary = true;
        negated.column = false;
        negated.literal = false;
        negated.text.clear();
        return negated;
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
    case TsqlToken::Kind::Number: {
        next();
        Expr e{t.text, Type::Number, true};
        const qsizetype dot = t.text.indexOf(u'.');
        if (t.text.contains(u'e', Qt::CaseInsensitive)) {
            e.num = Num::Float;
        } else if (dot >= 0) {
            e.num = Num::Decimal;
            e.scale = int(t.text.size() - dot - 1);
            e.precision = std::max(e.scale, int(t.text.size() - 1));
        } else if (t.text.size() <= 18) {
            e.num = Num::Int;
        } else {
            e.num = Num::Decimal;
            e.precision = std::min(38, int(t.text.size()));
        }
        return e;
    }
    case TsqlToken::Kind::String: {
        next();
        Expr e{quoteString(t.text), Type::Text, true};
        e.literal = true;
        e.text = t.text;
        return e;
    }
    case TsqlToken::Kind::Variable: {
        const QString name = t.text.toUpper();
        next();
        if (name == QLatin1String("@@IDENTITY"))
            return Expr{m_pg ? QStringLiteral("tsql_identity()")
                             : QStringLiteral("last_insert_rowid()"),
                        Type::Number, true};
        if (name == QLatin1String("@@ROWCOUNT") && !m_pg)
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
            if (m_pg)
                return Expr{m_inDefault ? QStringLiteral("(LOCALTIMESTAMP(0))")
                                        : QStringLiteral("tsql_getdate()"),
                            Type::Date, true};
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
    TsqlColumn column;
    QString refName;
    int tables = 0;
    if (resolveColumn(parts.size() == 2 ? parts.first() : QString(), parts.last(), &column,
                      &refName, &tables)) {
        e = typedFromDecl(e, column.declType);
        e.declType = column.declType;
        e.identity = column.identity;
        e.sourceTables = tables;
        if (parts.size() == 1)
            m_qualifiers << refName; // the table an unqualified column was found in
    }
    e.column = true;
    e.text = parts.last();
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
    Expr result; // numeric kind of the branches: the highest one, unknown if any is unknown
    auto mergeKind = [&](const Expr& value) {
        if (value.null)
            return;
        if (value.num == Num::None || result.num == Num::None) {
            result.num = Num::None;
            return;
        }
        result.num = std::max(result.num, value.num);
        result.scale = std::max(result.scale, value.scale);
        result.precision = std::max(result.precision, value.precision);
    };
    if (!peek().isWord("WHEN"))
        fail(QStringLiteral("WHEN expected"));
    while (acceptWord("WHEN")) {
        sql += QStringLiteral(" WHEN ") + parseExpr().sql;
        expectWord("THEN");
        Expr value = parseExpr();
        sql += QStringLiteral(" THEN ") + value.sql;
        if (first) {
            type = value.type;
            result = value;
        } else if (type != value.type) {
            type = Type::Unknown;
        }
        mergeKind(value);
        first = false;
    }
    if (acceptWord("ELSE")) {
        Expr value = parseExpr();
        sql += QStringLiteral(" ELSE ") + value.sql;
        if (type != value.type)
            type = Type::Unknown;
        mergeKind(value);
    }
    expectWord("END");
    Expr e{sql + QStringLiteral(" END"), type, true};
    if (type == Type::Number) {
        e.num = result.num;
        e.precision = result.precision;
        e.scale = result.scale;
    }
    return e;
}

// CONVERT and CAST with SQL Server's result type. A decimal or money value becomes text with
// its scale ("7.00"); a date without a style becomes SQL Server's default text.
TsqlParser::Expr TsqlParser::conversion(const DataType& type, const Expr& value,
                                        const QString& style) const
{
    Expr e;
    e.primary = true;
    e.type = type.isText      ? Type::Text
             : type.isDate    ? Type::Date
             : type.isNumeric ? Type::Number
                              : Type::Unknown;
    e.dateOnly = type.isDateOnly;
    if (type.isInteger)
        e.num = Num::Int;
    else if (type.name == QLatin1String("DECIMAL") || type.name == QLatin1String("NUMERIC"))
        e.num = Num::Decimal, e.precision = type.precision, e.scale = type.scale;
    else if (type.name.endsWith(QLatin1String("MONEY")))
        e.num = Num::Money, e.precision = 19, e.scale = 4;
    else if (type.isNumeric)
        e.num = Num::Float;
    if (m_pg) {
        e.sql = pgConversion(type, value, style);
        return e;
    }
    if (type.isInteger && value.type == Type::Number && style.isEmpty()) {
        e.sql = QStringLiteral("CAST(%1 AS INTEGER)").arg(value.sql);
        return e;
    }
    QString source = value.sql;
    QString styleSql = style;
    if (type.isText && style.isEmpty()) {
        if (value.num == Num::Decimal || value.num == Num::Money)
            source =
                QStringLiteral("tsql_fixed(%1, %2)")
                    .arg(value.sql, QString::number(value.num == Num::Money ? 2 : value.scale));
        else if (value.type == Type::Date && !value.literal)
            styleSql = value.dateOnly ? QStringLiteral("23") : QStringLiteral("0");
    }
    e.sql = QStringLiteral("tsql_convert(%1, %2%3)")
                .arg(quoteString(type.sqlText), source,
                     styleSql.isEmpty() ? QString() : QStringLiteral(", ") + styleSql);
    return e;
}

// CONVERT and CAST on PostgreSQL: numbers truncated into integers as SQL Server does, dates
// formatted by style, texts cut or padded to the length, decimals shown with their scale.
QString TsqlParser::pgConversion(const DataType& type, const Expr& value,
                                 const QString& style) const
{
    if (value.null)
        return QStringLiteral("CAST(NULL AS %1)").arg(pgColumnType(type.sqlText, false));
    if (type.isInteger) {
        const QString target = type.name == QLatin1String("BIGINT") ? QStringLiteral("bigint")
                               : type.name == QLatin1String("BIT")  ? QStringLiteral("tsqlbit")
                                                                    : QStringLiteral("integer");
        if (type.name == QLatin1String("BIT"))
            return QStringLiteral("CAST(CASE WHEN CAST(%1 AS numeric) <> 0 THEN 1 WHEN CAST(%1 "
                                  "AS numeric) = 0 THEN 0 END AS tsqlbit)")
                .arg(value.type == Type::Text ? pgText(value) : value.sql);
        if (value.type == Type::Number)
            return value.num == Num::Int ? QStringLiteral("CAST(%1 AS %2)").arg(value.sql, target)
                                         : QStringLiteral("CAST(trunc(CAST(%1 AS numeric)) AS %2)")
                                               .arg(value.sql, target);
        if (value.type == Type::Text)
            return QStringLiteral("CAST(btrim(%1) AS %2)").arg(pgText(value), target);
        return QStringLiteral("CAST(%1 AS %2)").arg(value.sql, target);
    }
    if (type.isNumeric) {
        const QString source =
            value.type == Type::Text ? QStringLiteral("btrim(%1)").arg(pgText(value)) : value.sql;
        return QStringLiteral("CAST(%1 AS %2)").arg(source, pgColumnType(type.sqlText));
    }
    if (type.isDate) {
        const QString target =
            type.isDateOnly ? QStringLiteral("date") : QStringLiteral("timestamp(0)");
        if (value.literal && style.isEmpty()) {
            const std::optional<QString> canonical = canonicalDateText(value.text, false);
            if (!canonical)
                fail(QStringLiteral("Conversion failed when converting date and/or time from "
                                    "character string."));
            return QStringLiteral("CAST(%1 AS %2)").arg(quoteString(*canonical), target);
        }
        if (value.type == Type::Date)
            return QStringLiteral("CAST(%1 AS %2)").arg(value.sql, target);
        return QStringLiteral("CAST(tsql_datetime(%1%3) AS %2)")
            .arg(value.type == Type::Text ? pgText(value) : value.sql, target,
                 style.isEmpty() || value.type != Type::Text ? QString()
                                                             : QStringLiteral(", ") + style);
    }
    if (type.isBlob) {
        if (value.type == Type::Text)
            return QStringLiteral("convert_to(%1, 'UTF8')").arg(pgText(value));
        return QStringLiteral("CAST(%1 AS bytea)").arg(value.sql);
    }
    // To a text type.
    QString text;
    if (value.type == Type::Date || (value.type == Type::Unknown && !style.isEmpty())) {
        QString styleSql = style;
        if (styleSql.isEmpty())
            styleSql = value.dateOnly ? QStringLiteral("23") : QStringLiteral("0");
        text = QStringLiteral("tsql_datestr(%1, %2)").arg(value.sql, styleSql);
    } else if (value.type == Type::Text && !style.isEmpty()) {
        // A text that holds a date is formatted by the style too.
        text = QStringLiteral("tsql_datestr(%1, %2)").arg(pgText(value), style);
    } else if (value.num == Num::Decimal || value.num == Num::Money) {
        text = QStringLiteral("CAST(round(CAST(%1 AS numeric), %2) AS text)")
                   .arg(value.sql, QString::number(value.num == Num::Money ? 2 : value.scale));
    } else {
        text = pgText(value);
    }
    const qsizetype open = type.sqlText.indexOf(u'(');
    const QString length = open < 0 ? QString() : type.sqlText.mid(open + 1).chopped(1).trimmed();
    if (length == QLatin1String("MAX") || type.name.contains(QLatin1String("TEXT")) ||
        type.name == QLatin1String("XML") || type.name == QLatin1String("UNIQUEIDENTIFIER"))
        return text;
    const QString n = length.isEmpty() ? QStringLiteral("30") : length;
    if (type.name == QLatin1String("CHAR") || type.name == QLatin1String("NCHAR"))
        return QStringLiteral("rpad(%1, %2)").arg(text, n);
    return QStringLiteral("left(%1, %2)").arg(text, n);
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

// The built-ins whose PostgreSQL form differs from SQLite's; std::nullopt for the others.
std::optional<TsqlParser::Expr> TsqlParser::parsePgFunction(const QString& name)
{
    auto integer = [](const QString& sql) {
        Expr e{sql, Type::Number, true};
        e.num = Num::Int;
        return e;
    };
    auto text = [](const QString& sql) { return Expr{sql, Type::Text, true}; };
    auto is = [&](const char* n) { return name == QLatin1String(n); };
    if (is("GETDATE") || is("GETUTCDATE")) {
        expectOp(")");
        if (is("GETUTCDATE"))
            return Expr{QStringLiteral("CAST(CURRENT_TIMESTAMP AT TIME ZONE 'UTC' AS "
                                       "timestamp(0))"),
                        Type::Date, true};
        return Expr{m_inDefault ? QStringLiteral("(LOCALTIMESTAMP(0))")
                                : QStringLiteral("tsql_getdate()"),
                    Type::Date, true};
    }
    if (is("DATEADD") || is("DATEDIFF") || is("DATEPART")) {
        const QString part = datePartName();
        expectOp(",");
        const QList<Expr> rest =
            parseArguments(is("DATEPART") ? 1 : 2, is("DATEPART") ? 1 : 2, name);
        if (is("DATEADD"))
            return Expr{QStringLiteral("dateadd('%1', %2, %3)")
                            .arg(part, rest.at(0).sql, pgDate(rest.at(1))),
                        Type::Date, true};
        if (is("DATEDIFF"))
            return integer(QStringLiteral("datediff('%1', %2, %3)")
                               .arg(part, pgDate(rest.at(0)), pgDate(rest.at(1))));
        return integer(QStringLiteral("datepart('%1', %2)").arg(part, pgDate(rest.at(0))));
    }
    if (is("YEAR") || is("MONTH") || is("DAY")) {
        const QList<Expr> args = parseArguments(1, 1, name);
        return integer(
            QStringLiteral("CAST(EXTRACT(%1 FROM %2) AS integer)").arg(name, pgDate(args.first())));
    }
    if (is("COUNT") || is("COUNT_BIG")) {
        QString inner;
        if (acceptOp("*")) {
            inner = QStringLiteral("*");
        } else {
            const bool distinct = acceptWord("DISTINCT");
            inner = (distinct ? QStringLiteral("DISTINCT ") : QString()) + parseExpr().sql;
        }
        expectOp(")");
        return integer(
            QStringLiteral("CAST(count(%1) AS %2)")
                .arg(inner, is("COUNT") ? QStringLiteral("integer") : QStringLiteral("bigint")));
    }
    if (is("SUM") || is("AVG")) {
        const bool distinct = acceptWord("DISTINCT");
        const Expr arg = parseExpr();
        expectOp(")");
        Expr e{
            QStringLiteral("%1(%2%3)")
                .arg(name.toLower(), distinct ? QStringLiteral("DISTINCT ") : QString(), arg.sql),
            Type::Number, true};
        e.num = arg.num;
        e.precision = arg.precision;
        e.scale = arg.scale;
        if (arg.num == Num::Decimal || arg.num == Num::Money) {
            if (is("AVG") && arg.num == Num::Decimal)
                e.scale = std::max(arg.scale, 6);
            e.precision = 38;
            e.sql = QStringLiteral("round(%1, %2)").arg(e.sql, QString::number(e.scale));
        } else if (arg.num == Num::Int && is("AVG")) {
            e.sql = QStringLiteral("CAST(trunc(%1) AS integer)").arg(e.sql);
        }
        return e;
    }
    if (is("CHARINDEX")) {
        const QList<Expr> args = parseArguments(2, 3, name);
        return integer(
            QStringLiteral("tsql_charindex(%1, %2%3)")
                .arg(pgText(args.at(0)), pgText(args.at(1)),
                     args.size() > 2 ? QStringLiteral(", ") + args.at(2).sql : QString()));
    }
    if (is("ISDATE") || is("ISNUMERIC")) {
        const QList<Expr> args = parseArguments(1, 1, name);
        if (is("ISDATE") && args.first().type == Type::Date)
            return integer(
                QStringLiteral("CASE WHEN %1 IS NULL THEN 0 ELSE 1 END").arg(args.first().sql));
        return integer(QStringLiteral("tsql_%1(%2)").arg(name.toLower(), pgText(args.first())));
    }
    if (is("ROUND")) {
        const QList<Expr> args = parseArguments(2, 3, name);
        Expr e = args.first();
        e.sql = QStringLiteral("tsql_round(CAST(%1 AS numeric), %2%3)")
                    .arg(args.at(0).sql, args.at(1).sql,
                         args.size() > 2 ? QStringLiteral(", ") + args.at(2).sql : QString());
        if (args.first().num == Num::Int)
            e.sql = QStringLiteral("CAST(%1 AS integer)").arg(e.sql);
        else if (args.first().num == Num::Float)
            e.sql = QStringLiteral("CAST(%1 AS double precision)").arg(e.sql);
        e.type = Type::Number;
        e.primary = true;
        e.column = e.literal = false;
        e.text.clear();
        e.declType.clear();
        return e;
    }
    if (is("UPPER") || is("LOWER") || is("LTRIM") || is("RTRIM")) {
        const QList<Expr> args = parseArguments(1, 1, name);
        if (is("UPPER") || is("LOWER"))
            return text(QStringLiteral("%1(%2)").arg(name.toLower(), pgText(args.first())));
        return text(QStringLiteral("%1(%2, ' ')").arg(name.toLower(), pgText(args.first())));
    }
    if (is("SUBSTRING")) {
        const QList<Expr> args = parseArguments(3, 3, name);
        return text(QStringLiteral("substr(%1, %2, %3)")
                        .arg(pgText(args.at(0)), args.at(1).sql, args.at(2).sql));
    }
    if (is("LEFT") || is("RIGHT") || is("REPLICATE")) {
        const QList<Expr> args = parseArguments(2, 2, name);
        return text(QStringLiteral("%1(%2, %3)")
                        .arg(is("REPLICATE") ? QStringLiteral("repeat") : name.toLower(),
                             pgText(args.at(0)), args.at(1).sql));
    }
    if (is("SPACE")) {
        const QList<Expr> args = parseArguments(1, 1, name);
        return text(QStringLiteral("repeat(' ', %1)").arg(args.first().sql));
    }
    if (is("REPLACE")) {
        const QList<Expr> args = parseArguments(3, 3, name);
        return text(QStringLiteral("tsql_replace(%1, %2, %3)")
                        .arg(pgText(args.at(0)), pgText(args.at(1)), pgText(args.at(2))));
    }
    if (is("STR")) {
        const QList<Expr> args = parseArguments(1, 3, name);
        QStringList sqls{QStringLiteral("CAST(%1 AS numeric)").arg(args.first().sql)};
        for (qsizetype i = 1; i < args.size(); ++i)
            sqls << args.at(i).sql;
        return text(QStringLiteral("tsql_str(%1)").arg(sqls.join(QStringLiteral(", "))));
    }
    if (is("CHAR") || is("NCHAR")) {
        const QList<Expr> args = parseArguments(1, 1, name);
        return text(QStringLiteral("chr(%1)").arg(args.first().sql));
    }
    if (is("ASCII") || is("UNICODE")) {
        const QList<Expr> args = parseArguments(1, 1, name);
        return integer(QStringLiteral("ascii(%1)").arg(pgText(args.first())));
    }
    if (is("ISNULL")) {
        const QList<Expr> args = parseArguments(2, 2, name);
        const Expr& first = args.first();
        Expr second = args.at(1);
        QString fallback = second.sql;
        if (first.type == Type::Date)
            fallback = dateOperand(second, first).sql;
        else if (first.type == Type::Number && second.literal)
            // SQL Server converts the replacement to the first argument's type: '' is 0.
            fallback = second.text.trimmed().isEmpty()
                           ? QStringLiteral("0")
                           : QStringLiteral("CAST(%1 AS numeric)").arg(second.sql);
        else if (first.type == Type::Text && second.type == Type::Number)
            fallback = pgText(second);
        Expr e{QStringLiteral("coalesce(%1, %2)").arg(first.sql, fallback), first.type, true};
        e.num = first.num;
        e.precision = first.precision;
        e.scale = first.scale;
        e.dateOnly = first.dateOnly;
        return e;
    }
    if (is("LEN")) {
        const QList<Expr> args = parseArguments(1, 1, name);
        return integer(QStringLiteral("length(rtrim(%1, ' '))").arg(pgText(args.first())));
    }
    if (is("DATALENGTH")) {
        const QList<Expr> args = parseArguments(1, 1, name);
        const bool blob =
            args.first().declType.contains(QLatin1String("IMAGE"), Qt::CaseInsensitive) ||
            args.first().declType.contains(QLatin1String("BINARY"), Qt::CaseInsensitive);
        return integer(
            QStringLiteral("octet_length(%1)").arg(blob ? args.first().sql : pgText(args.first())));
    }
    if (is("SCOPE_IDENTITY")) {
        parseArguments(0, 0, name);
        return Expr{QStringLiteral("tsql_identity()"), Type::Number, true};
    }
    if (is("NEWID")) {
        parseArguments(0, 0, name);
        return text(QStringLiteral("CAST(gen_random_uuid() AS text)"));
    }
    if (is("OBJECT_ID")) {
        const QList<Expr> args = parseArguments(1, 1, name);
        return Expr{QStringLiteral("(SELECT id FROM %1 AS o WHERE o.name = %2)")
                        .arg(QLatin1String(kPgSysObjects), pgText(args.first())),
                    Type::Number, true};
    }
    if (is("IDENT_CURRENT")) {
        const QList<Expr> args = parseArguments(1, 1, name);
        return integer(QStringLiteral("ident_current(%1)").arg(pgText(args.first())));
    }
    return std::nullopt;
}

TsqlParser::Expr TsqlParser::parseFunction(const QString& name)
{
    DepthGuard guard(m_depth);
    if (m_pg) {
        if (std::optional<Expr> e = parsePgFunction(name))
            return *e;
    }
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
        return conversion(type, value, style);
    }
    if (name == QLatin1String("CAST")) {
        Expr value = parseExpr();
        expectWord("AS");
        const DataType type = parseDataType();
        expectOp(")");
        return conversion(type, value, QString());
    }
    if (name == QLatin1String("DATEADD") || name == QLatin1String("DATEDIFF") ||
        name == QLatin1String("DATEPART")) {
        const QString part = datePartName();
        expectOp(",");
        QList<Expr> rest = parseArguments(name == QLatin1String("DATEPART") ? 1 : 2,
                                          name == QLatin1String("DATEPART") ? 1 : 2, name);
        rest.prepend(Expr{quoteString(part), Type::Text, true});
        Expr e = call(name.toLower(), rest,
                      name == QLatin1String("DATEADD") ? Type::Date : Type::Number);
        if (e.type == Type::Number)
            e.num = Num::Int;
        return e;
    }
    auto integer = [](const QString& sql) {
        Expr e{sql, Type::Number, true};
        e.num = Num::Int;
        return e;
    };
    if (name == QLatin1String("COUNT") || name == QLatin1String("COUNT_BIG")) {
        if (acceptOp("*")) {
            expectOp(")");
            return integer(QStringLiteral("count(*)"));
        }
        const bool distinct = acceptWord("DISTINCT");
        Expr arg = parseExpr();
        expectOp(")");
        return integer(QStringLiteral("count(%1%2)")
                           .arg(distinct ? QStringLiteral("DISTINCT ") : QString(), arg.sql));
    }
    if (name == QLatin1String("SUM") || name == QLatin1String("AVG") ||
        name == QLatin1String("MIN") || name == QLatin1String("MAX")) {
        const bool distinct = acceptWord("DISTINCT");
        Expr arg = parseExpr();
        expectOp(")");
        Expr e = arg;
        e.sql =
            QStringLiteral("%1(%2%3)")
                .arg(name.toLower(), distinct ? QStringLiteral("DISTINCT ") : QString(), arg.sql);
        e.primary = true;
        e.column = false;
        e.literal = false;
        e.text.clear();
        e.declType.clear();
        e.identity = false;
        if (name == QLatin1String("MIN") || name == QLatin1String("MAX"))
            return e;
        e.type = Type::Number;
        // SUM and AVG keep SQL Server's result type: decimals keep their scale (AVG at least
        // 6), the average of integers is an integer.
        if (arg.num == Num::Decimal || arg.num == Num::Money) {
            if (name == QLatin1String("AVG") && arg.num == Num::Decimal)
                e.scale = std::max(arg.scale, 6);
            e.precision = 38;
            if (e.scale <= 12)
                e.sql = QStringLiteral("tsql_scale(%1, %2)").arg(e.sql, QString::number(e.scale));
        } else if (arg.num == Num::Int && name == QLatin1String("AVG")) {
            e.sql = QStringLiteral("CAST(%1 AS INTEGER)").arg(e.sql);
        }
        return e;
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
            Expr e = call(QString::fromLatin1(m.sqlite), args, m.type);
            static const QStringList keepsKind = {"FLOOR", "CEILING", "ROUND",    "ABS",
                                                  "SIGN",  "POWER",   "COALESCE", "NULLIF"};
            if (keepsKind.contains(name)) {
                // The result has the first argument's type (FLOOR and CEILING drop the scale).
                const Expr& first = args.first();
                e.type = first.type == Type::Unknown && m.type == Type::Number ? Type::Number
                         : m.type == Type::Unknown                             ? first.type
                                                                               : m.type;
                e.num = first.num;
                e.precision = first.precision;
                e.scale = (name == QLatin1String("FLOOR") || name == QLatin1String("CEILING"))
                              ? 0
                              : first.scale;
                e.dateOnly = first.dateOnly;
                // FLOOR and CEILING of an integer are the integer itself, of SQL Server's type.
                if ((name == QLatin1String("FLOOR") || name == QLatin1String("CEILING")) &&
                    first.num == Num::Int)
                    e.sql = operand(first);
            } else if (name == QLatin1String("SQRT")) {
                e.num = Num::Float;
            } else if (m.type == Type::Number) {
                e.num = Num::Int;
            }
            return e;
        }
    }
    if (name == QLatin1String("ISNULL")) {
        const QList<Expr> args = parseArguments(2, 2, name);
        Expr e = call(QStringLiteral("coalesce"), args, args.first().type);
        e.num = args.first().num;
        e.precision = args.first().precision;
        e.scale = args.first().scale;
        e.dateOnly = args.first().dateOnly;
        if (e.type == Type::Date && args.at(1).type != Type::Date)
            e.sql = QStringLiteral("coalesce(%1, %2)")
                        .arg(args.first().sql, dateOperand(args.at(1), args.first()).sql);
        return e;
    }
    if (name == QLatin1String("LEN")) {
        const QList<Expr> args = parseArguments(1, 1, name);
        return integer(QStringLiteral("length(rtrim(%1, ' '))").arg(args.first().sql));
    }
    if (name == QLatin1String("DATALENGTH")) {
        const QList<Expr> args = parseArguments(1, 1, name);
        return integer(QStringLiteral("length(CAST(%1 AS BLOB))").arg(args.first().sql));
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
