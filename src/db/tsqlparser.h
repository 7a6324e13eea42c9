#pragma once

#include "db/tsqllexer.h"
#include "db/tsqlschema.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace orvane::db {

// Recursive-descent parser over the T-SQL subset the client writes. It translates while it
// parses: every rule returns the SQLite text of what it read, so no separate tree is kept.
// Expressions carry a type (number with SQL Server's numeric kind, precision and scale, text,
// date or unknown); column types come from the schema when one is given, so that decimal
// arithmetic, date comparison and SELECT ... INTO follow SQL Server.
class TsqlParser
{
public:
    // The dialect of the text emitted: SQLite's, or PostgreSQL's (see TsqlTranslator).
    enum class Dialect { Sqlite, Postgres };

    explicit TsqlParser(const QList<TsqlToken>& tokens, TsqlSchema* schema = nullptr,
                        Dialect dialect = Dialect::Sqlite);

    // Translates every statement of the batch. Returns false with `error` set on the first
    // construct that is malformed or not supported; `statements` is then left empty.
    bool translateBatch(QStringList& statements, QString& error);

private:
    enum class Type { Unknown, Number, Text, Date };
    // SQL Server's numeric kinds, in order of precedence (a mixed operation takes the higher).
    enum class Num { None, Int, Money, Decimal, Float };
    struct Expr
    {
        QString sql;
        Type type = Type::Unknown;
        bool primary = false; // needs no parentheses as an operand
        bool column = false;  // a plain column reference (carries the column's collation)
        bool null = false;    // the NULL literal
        Num num = Num::None;  // for numbers of known kind
        int precision = 0;    // decimal precision and scale
        int scale = 0;
        bool dateOnly = false; // a DATE (no time of day)
        bool literal = false;  // a string literal; `sql` is its quoted form, `text` its value
        QString text;          // literal value, or the column name of a column reference
        QString declType;      // declared type of a column reference
        bool identity = false; // the identity column of its table
        int sourceTables = 0;  // tables of the query the column was read from
    };
    struct TableRef
    {
        QString table; // object name, without owner prefix; empty for a derived table
        QString alias; // empty when none
    };
    struct DataType
    {
        QString name;    // upper case, e.g. VARCHAR
        QString sqlText; // as passed to tsql_convert, e.g. VARCHAR(10)
        bool isText = false;
        bool isDate = false;
        bool isInteger = false;
        bool isNumeric = false; // integer, decimal, money or float
        bool isBlob = false;
        bool isDateOnly = false;
        int precision = 18; // DECIMAL/NUMERIC precision and scale
        int scale = 0;
    };
    struct SelectCore;

    // tokens
    const TsqlToken& peek(int ahead = 0) const;
    const TsqlToken& next();
    bool acceptWord(const char* word);
    bool acceptOp(const char* op);
    void expectWord(const char* word);
    void expectOp(const char* op);
    [[noreturn]] void fail(const QString& message) const;
    [[noreturn]] void failAt(const TsqlToken& token, const QString& message) const;
    bool atStatementEnd() const;
    bool isReserved(const TsqlToken& token) const;

    // statements
    void parseStatement(QStringList& out);
    QString parseQuery(QString* intoTarget, QStringList* intoColumns = nullptr);
    SelectCore parseSelectCore();
    QString parseFromList(QList<TableRef>* refs);
    QString parseTableSource(QList<TableRef>* refs);
    QString parseTablePrimary(QList<TableRef>* refs);
    QString parseOrderBy(bool resultTerms);
    void parseInsert(QStringList& out);
    void parseUpdate(QStringList& out);
    void parseDelete(QStringList& out);
    void parseCreate(QStringList& out);
    void parseAlter(QStringList& out);
    void parseDrop(QStringList& out);
    QString parseColumnDefinition(const QString& table, bool forAlter, bool* identity,
                                  QString* identityColumn, QStringList* extra);
    DataType parseDataType();
    QString parseObjectName(bool* isTemp = nullptr);
    QString parseNamePart();
    static QString findTargetRef(const QString& target, const QList<TableRef>& refs,
                                 QString* tableName);

    // expressions
    Expr parseExpr();
    Expr parseOr();
    Expr parseAnd();
    Expr parseNot();
    Expr parsePredicate();
    Expr parseAdditive();
    Expr parseMultiplicative();
    Expr parseUnary();
    Expr parsePrimary();
    Expr parseFunction(const QString& name);
    std::optional<Expr> parsePgFunction(const QString& name);
    Expr parseCase();
    Expr parseColumnRef();
    Expr comparison(const Expr& left, const QString& op, const Expr& right) const;
    Expr addition(const Expr& left, const Expr& right) const;
    Expr subtraction(const Expr& left, const Expr& right) const;
    Expr conversion(const DataType& type, const Expr& value, const QString& style) const;
    Expr arithmetic(const Expr& left, const QString& op, const Expr& right) const;
    Expr typedFromDecl(Expr e, const QString& declType) const;
    Expr dateOperand(const Expr& e, const Expr& other) const;
    QString convertForColumn(const Expr& value, const QString& declType) const;
    bool resolveColumn(const QString& qualifier, const QString& column, TsqlColumn* found,
                       QString* refName, int* tables) const;
    const TsqlColumn* findColumn(const QString& table, const QString& column) const;
    QList<TableRef> scanFromRefs() const;
    QString datePartName();
    QList<Expr> parseArguments(int minCount, int maxCount, const QString& function);

    QString quoteName(const QString& name) const;
    // A result column's name: kept as written on PostgreSQL (where quoteName folds case).
    QString quoteAlias(const QString& name) const;
    // PostgreSQL helpers: the column type of a T-SQL declared type, a text value under the
    // collation tsql_ci, a value as text, a value read as a date.
    QString pgColumnType(const QString& declType, bool collated = true) const;
    static QString pgCollated(const Expr& e);
    static QString pgText(const Expr& e);
    QString pgDate(const Expr& e) const;
    QString pgConversion(const DataType& type, const Expr& value, const QString& style) const;
    QString pgLike(const Expr& left, const Expr& pattern, bool negated, const QString& escape);
    static QString quoteString(const QString& value);
    static QString operand(const Expr& e);

    const QList<TsqlToken>& m_tokens;
    TsqlSchema* m_schema = nullptr;
    bool m_pg = false;
    int m_queryNesting = 0;          // queries being read, the outermost is 1
    QStringList m_selectAliases;     // aliases of the select list read last, for ORDER BY
    QList<QList<TableRef>> m_scopes; // tables visible to column references, innermost last
    QList<Expr> m_selectItems;       // typed items of the select list being read
    qsizetype m_pos = 0;
    int m_depth = 0;
    bool m_inDefault = false; // translating a column DEFAULT: only built-in functions allowed
    QStringList m_qualifiers; // table qualifiers of the column references read
};

} // namespace orvane::db
