#pragma once

#include "db/tsqllexer.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace orvane::db {

// Recursive-descent parser over the T-SQL subset the client writes. It translates while it
// parses: every rule returns the SQLite text of what it read, so no separate tree is kept.
// Expressions carry a coarse type (number, text, date or unknown) so that `+` and date
// arithmetic can be translated without knowing the columns' types.
class TsqlParser
{
public:
    explicit TsqlParser(const QList<TsqlToken>& tokens);

    // Translates every statement of the batch. Returns false with `error` set on the first
    // construct that is malformed or not supported; `statements` is then left empty.
    bool translateBatch(QStringList& statements, QString& error);

private:
    enum class Type { Unknown, Number, Text, Date };
    struct Expr
    {
        QString sql;
        Type type = Type::Unknown;
        bool primary = false; // needs no parentheses as an operand
        bool column = false;  // a plain column reference (carries the column's collation)
        bool null = false;    // the NULL literal
    };
    struct TableRef
    {
        QString table; // object name, without owner prefix
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
    QString parseQuery(QString* intoTarget);
    SelectCore parseSelectCore();
    QString parseFromList(QList<TableRef>* refs);
    QString parseTableSource(QList<TableRef>* refs);
    QString parseTablePrimary(QList<TableRef>* refs);
    QString parseOrderBy();
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
    Expr parseCase();
    Expr parseColumnRef();
    Expr comparison(const Expr& left, const QString& op, const Expr& right) const;
    Expr addition(const Expr& left, const Expr& right) const;
    Expr subtraction(const Expr& left, const Expr& right) const;
    QString datePartName();
    QList<Expr> parseArguments(int minCount, int maxCount, const QString& function);

    static QString quoteName(const QString& name);
    static QString quoteString(const QString& value);
    static QString operand(const Expr& e);

    const QList<TsqlToken>& m_tokens;
    qsizetype m_pos = 0;
    int m_depth = 0;
    bool m_inDefault = false; // translating a column DEFAULT: only built-in functions allowed
    QStringList m_qualifiers; // table qualifiers of the column references read
};

} // namespace orvane::db
