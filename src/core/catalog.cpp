#include "core/catalog.h"

#include "core/prompter.h"
#include "core/sqltext.h"
#include "db/cadorecordset.h"

namespace orvane::core {

namespace {

QString upperQuoted(const QString& value)
{
    return sqlEscape(value.toUpper());
}

} // namespace

QString Catalog::deletedRowMessage()
{
    return QStringLiteral("该记录已被其他操作员删除,请刷新数据列表!");
}

QString Catalog::text(const QString& sql) const
{
    db::CADORecordset rs(&m_db);
    QString value;
    if (!rs.Open(sql) || rs.IsEOF() || rs.GetFieldCount() < 1)
        return QString();
    rs.GetFieldValue(0, value);
    return value;
}

int Catalog::integer(const QString& sql) const
{
    db::CADORecordset rs(&m_db);
    int value = 0;
    if (!rs.Open(sql) || rs.IsEOF() || rs.GetFieldCount() < 1)
        return 0;
    if (!rs.GetFieldValue(0, value))
        return 0;
    return value;
}

QString Catalog::categoryName(int aid) const
{
    return text(QStringLiteral("SELECT Name FROM qp_PsnSort WHERE AID=%1").arg(aid));
}

QString Catalog::departmentName(int did) const
{
    return text(QStringLiteral("SELECT Name FROM qp_Dept WHERE DID=%1").arg(did));
}

QString Catalog::wageSortTable(int sortId) const
{
    return text(QStringLiteral("SELECT TblName FROM qp_Table WHERE nType=6 AND ID=%1").arg(sortId));
}

QString Catalog::wageSortTitle(int sortId) const
{
    return text(QStringLiteral("SELECT Title FROM qp_Table WHERE nType=6 AND ID=%1").arg(sortId));
}

QString Catalog::tableTitle(const QString& tableName) const
{
    return text(QStringLiteral("SELECT [Title] FROM qp_Table WHERE UPPER(TblName)='%1'")
                    .arg(upperQuoted(tableName)));
}

QString Catalog::dictionaryCode(int dictId) const
{
    return text(QStringLiteral("SELECT DictId FROM qp_Dict WHERE ID=%1").arg(dictId));
}

QString Catalog::fieldName(const QString& tableTitle, const QString& alias) const
{
    return text(QStringLiteral("SELECT Name FROM qp_Items INNER JOIN qp_Table ON "
                               "UPPER(qp_Items.TblName)=UPPER(qp_Table.TblName) WHERE "
                               "(UPPER(qp_Table.Title)='%1' AND UPPER(qp_Items.Alias)='%2')")
                    .arg(upperQuoted(tableTitle), upperQuoted(alias)));
}

int Catalog::fieldType(const QString& tableTitle, const QString& alias) const
{
    return integer(QStringLiteral("SELECT iDataType FROM qp_Items INNER JOIN qp_Table ON "
                                  "UPPER(qp_Items.TblName)=UPPER(qp_Table.TblName) WHERE "
                                  "(UPPER(qp_Table.Title)='%1' AND UPPER(qp_Items.Alias)='%2')")
                       .arg(upperQuoted(tableTitle), upperQuoted(alias)));
}

QString Catalog::fieldAlias(const QString& tableName, const QString& fieldName) const
{
    return text(
        QStringLiteral("SELECT Alias FROM qp_Items WHERE (UPPER(TblName)='%1' AND UPPER(Name)='%2')")
            .arg(upperQuoted(tableName), upperQuoted(fieldName)));
}

int Catalog::columnWidth(const QString& fieldName) const
{
    return integer(
        QStringLiteral("SELECT iWid FROM qp_Items WHERE [Name]='%1'").arg(sqlEscape(fieldName)));
}

int Catalog::lastIdentity(const QString& tableName) const
{
    return integer(QStringLiteral("SELECT IDENT_CURRENT('%1')").arg(sqlEscape(tableName)));
}

bool Catalog::tableExists(const QString& tableName) const
{
    db::CADORecordset rs(&m_db);
    return rs.Open(QStringLiteral("SELECT 1 FROM sysobjects WHERE [name]='%1'")
                       .arg(sqlEscape(tableName)))
           && !rs.IsEOF();
}

bool Catalog::rowExists(const QString& tableName, const QString& condition) const
{
    QString name = tableName;
    name.replace(QLatin1Char(']'), QStringLiteral("]]"));
    db::CADORecordset rs(&m_db);
    return rs.Open(QStringLiteral("SELECT 1 FROM [%1] WHERE (%2)").arg(name, condition))
           && !rs.IsEOF();
}

bool Catalog::personnelNumberExists(const QString& number) const
{
    return integer(QStringLiteral("SELECT COUNT(PID) FROM qp_PsnBase WHERE UPPER([Number])='%1'")
                       .arg(upperQuoted(number)))
           > 0;
}

int Catalog::departmentChildCount(int did) const
{
    return integer(QStringLiteral("SELECT COUNT(DID) FROM qp_Dept WHERE ParentID=%1").arg(did));
}

bool Catalog::confirmRowExists(Prompter& prompter, const QString& tableName,
                               const QString& condition) const
{
    if (rowExists(tableName, condition))
        return true;
    prompter.message(deletedRowMessage(), promptCaption(), Prompter::Icon::Warning);
    return false;
}

} // namespace orvane::core
