#pragma once

#include "db/backend.h"

#include <QStringList>

#include <memory>

namespace orvane::platform {
class WorkbookReader;
}

namespace orvane::db {

class CADODatabase;

// Backend over an Excel workbook (.xlsx or .xls), opened with the Jet connection string
// "Provider='Microsoft.JET.OLEDB.4.0';Data Source=PATH;Extended Properties="Excel 8.0;HDR=YES"".
//
// A path that does not exist yet is a new workbook: "CREATE TABLE name (col TEXT, col DATETIME,
// col LOGICAL, col NUMBER, ...)" gives it its sheet (written at once with the title row), and
// rows come by "INSERT INTO name [(cols)] VALUES (...)" or through a recordset opened on
// "SELECT * FROM name" (AddNew, SetFieldValue, Update). The workbook is written again when the
// connection closes; a path ending in .xls gets an Excel 97-2003 file, any other .xlsx.
//
// It answers "SELECT * FROM [sheet]", "SELECT * FROM sheet" and "SELECT * FROM [sheet$]". With
// HDR=YES (the default) the first row gives the field names (an empty or repeated title becomes
// F1, F2, ... by column); HDR=NO names every column so and keeps the first row as data. A column
// whose cells are all numbers is adDouble, all dates adDate, all booleans adBoolean; any other
// column is adVarWChar with every value given as text. Everything else is refused.
class WorkbookBackend : public Backend
{
public:
    WorkbookBackend();
    ~WorkbookBackend() override;

    BackendKind kind() const override { return BackendKind::Workbook; }
    QString sourceName() const override { return QStringLiteral("Workbook"); }

    bool open(const ConnectionString& connection, bool create) override;
    void close() override;
    bool isOpen() const override;

    bool execute(const QString& sql, qint64* affected) override;
    bool query(const QString& sql, ResultSet& result, bool updatable) override;

    bool beginTransaction() override;
    bool commitTransaction() override;
    bool rollbackTransaction() override;
    bool inTransaction() const override { return false; }
    bool savepoint(const QString& name) override;
    bool releaseSavepoint(const QString& name) override;
    bool rollbackToSavepoint(const QString& name) override;

    bool updateRow(const QString& table, const QStringList& keyColumns,
                   const QVariantList& keyValues, const QStringList& columns,
                   const QVariantList& values) override;
    bool insertRow(const QString& table, const QStringList& columns, const QVariantList& values,
                   const QStringList& keyColumns, QVariantList* newKey) override;
    bool fetchRow(const QString& table, const QStringList& keyColumns,
                  const QVariantList& keyValues, const QStringList& columns,
                  QVariantList& values) override;
    QVariant lastInsertId() const override { return {}; }

    // The worksheet names of the open workbook, in workbook order.
    QStringList sheetNames() const;

    // The table a "SELECT * FROM ..." names, without its brackets or quotes;
    // empty when the text is not such a query.
    static QString sheetOfQuery(const QString& sql);

private:
    struct NewSheet
    {
        QString name;
        QStringList columns;
        QList<int> adoTypes;
        QList<QVariantList> rows;
    };
    bool refuse(const QString& what);
    bool createSheet(const QString& sql);
    bool insertValues(const QString& sql, qint64* affected);
    NewSheet* newSheet(const QString& table);
    static qsizetype columnOf(const NewSheet& sheet, const QString& column);
    bool writeNewWorkbook();

    std::unique_ptr<platform::WorkbookReader> m_reader;
    bool m_firstRowHasNames = true;
    QString m_path;
    bool m_open = false;
    std::unique_ptr<NewSheet> m_created; // the sheet of a new workbook
    bool m_dirty = false;
};

// The worksheet names of a connection opened on a workbook; empty for any other connection.
QStringList workbookSheetNames(const CADODatabase& database);

} // namespace orvane::db
