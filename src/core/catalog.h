#pragma once

#include <QString>

namespace orvane::db {
class CADODatabase;
}

namespace orvane::core {

class Prompter;

// Single-value lookups on the catalogue and the organisation tables. Each runs one query on the
// given connection and returns the first value of the first row, or "" / 0 / false when there is
// no row or the query fails. Texts that end up inside quotes are escaped.
class Catalog
{
public:
    explicit Catalog(db::CADODatabase& database) : m_db(database) {}

    // Any single-value query.
    QString text(const QString& sql) const;
    int integer(const QString& sql) const;

    QString categoryName(int aid) const;
    QString departmentName(int did) const;
    QString wageSortTable(int sortId) const;
    QString wageSortTitle(int sortId) const;
    QString tableTitle(const QString& tableName) const;
    QString dictionaryCode(int dictId) const;
    // Field lookups by table caption and field caption (both compared in upper case).
    QString fieldName(const QString& tableTitle, const QString& alias) const;
    int fieldType(const QString& tableTitle, const QString& alias) const;
    QString fieldAlias(const QString& tableName, const QString& fieldName) const;
    int columnWidth(const QString& fieldName) const;
    int lastIdentity(const QString& tableName) const;
    bool tableExists(const QString& tableName) const;
    // "SELECT 1 FROM [table] WHERE (condition)"; the condition is composed by the caller.
    bool rowExists(const QString& tableName, const QString& condition) const;
    bool personnelNumberExists(const QString& number) const;
    int departmentChildCount(int did) const;

    // rowExists(); when the row has gone, tells the operator with message 133.
    bool confirmRowExists(Prompter& prompter, const QString& tableName,
                          const QString& condition) const;

    static QString deletedRowMessage();

private:
    db::CADODatabase& m_db;
};

} // namespace orvane::core
