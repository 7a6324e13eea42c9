#include "core/sqlbuilder.h"

#include "core/catalog.h"
#include "core/sqltext.h"
#include "db/cadorecordset.h"

#include <QStringList>

namespace orvane::core {

QString SqlBuilder::bracketed(const QString& name)
{
    QString escaped = name;
    escaped.replace(QLatin1Char(']'), QStringLiteral("]]"));
    return QLatin1Char('[') + escaped + QLatin1Char(']');
}

QString SqlBuilder::personnelFrom(bool withAdjustment)
{
    QString sql = QStringLiteral(
        " FROM qp_PsnBase LEFT OUTER JOIN qp_PsnSort ON qp_PsnBase.AID=qp_PsnSort.AID LEFT OUTER "
        "JOIN qp_Dept ON qp_PsnBase.DID=qp_Dept.DID ");
    if (withAdjustment)
        sql += QStringLiteral("LEFT JOIN qp_PsnAdj ON qp_PsnAdj.PID=qp_PsnBase.PID ");
    return sql;
}

QString SqlBuilder::personRowsFrom(const QString& tableName, bool withAdjustment)
{
    QString sql = QStringLiteral(" FROM %1 INNER JOIN qp_PsnBase ON %1.PID = qp_PsnBase.PID INNER "
                                 "JOIN qp_Dept ON %1.DID = qp_Dept.DID INNER JOIN qp_PsnSort ON "
                                 "%1.AID = qp_PsnSort.AID ")
                      .arg(tableName);
    if (withAdjustment)
        sql += QStringLiteral("LEFT OUTER JOIN qp_PsnAdj ON %1.PID = qp_PsnAdj.PID ").arg(tableName);
    return sql;
}

QString SqlBuilder::personnelColumns() const
{
    QStringList items;
    db::CADORecordset rs(&m_db);
    if (!rs.Open(QStringLiteral("SELECT Name,Alias,iDataType,IdRef FROM qp_Items WHERE "
                                "UPPER(TblName)='QP_PSNBASE' ORDER BY Ord")))
        return QString();
    for (; !rs.IsEOF(); rs.MoveNext()) {
        const QString alias = bracketed(rs.GetFieldString(QStringLiteral("Alias")));
        if (rs.GetFieldInt(QStringLiteral("iDataType")) == 4) {
            const QString idRef = rs.GetFieldString(QStringLiteral("IdRef"));
            items << idRef.section(QLatin1Char('.'), 0, 0) + QStringLiteral(".Name AS ") + alias;
        } else {
            items << QStringLiteral("QP_PSNBASE.") + rs.GetFieldString(QStringLiteral("Name"))
                         + QStringLiteral(" AS ") + alias;
        }
    }
    return items.join(QLatin1Char(','));
}

void SqlBuilder::appendFields(QString& out, const QString& sql, const QString& prefix) const
{
    db::CADORecordset rs(&m_db);
    if (!rs.Open(sql))
        return;
    for (; !rs.IsEOF(); rs.MoveNext()) {
        const QString table =
            prefix.isEmpty() ? rs.GetFieldString(QStringLiteral("TblName")) : prefix;
        out += table + QLatin1Char('.') + rs.GetFieldString(QStringLiteral("Name"))
               + QStringLiteral(" AS ") + bracketed(rs.GetFieldString(QStringLiteral("Alias")))
               + QLatin1Char(',');
    }
}

QString SqlBuilder::fullPersonnelColumns(int extraTableId) const
{
    QString out = QStringLiteral("qp_PsnBase.PID,");
    const QString base = QStringLiteral(
        "SELECT Name,Alias,TblName FROM qp_Items WHERE UPPER(TblName)='%1' AND iDataType<4 "
        "ORDER BY Ord");
    appendFields(out, base.arg(QStringLiteral("QP_PSNBASE")), QString());
    appendFields(out, base.arg(QStringLiteral("QP_PSNSORT")), QString());
    appendFields(out, base.arg(QStringLiteral("QP_DEPT")), QString());
    appendFields(out,
                 QStringLiteral("SELECT Name,Alias,TblName FROM qp_Items WHERE "
                                "UPPER(TblName)='QP_PSNADJ' ORDER BY Ord"),
                 QString());
    if (extraTableId != 0) {
        const QString table = Catalog(m_db).text(
            QStringLiteral("SELECT TblName FROM qp_Table WHERE ID=%1").arg(extraTableId));
        if (!table.isEmpty()) {
            appendFields(out,
                         QStringLiteral("SELECT qp_Items.Name,qp_Items.Alias FROM qp_Items WHERE "
                                        "UPPER(TblName)='%1' ORDER BY Ord")
                             .arg(sqlEscape(table.toUpper())),
                         table);
        }
    }
    if (out.endsWith(QLatin1Char(',')))
        out.chop(1);
    return out;
}

QString SqlBuilder::tableColumns(const QString& tableName) const
{
    QStringList items;
    db::CADORecordset rs(&m_db);
    if (!rs.Open(QStringLiteral("SELECT [Name],[Alias] FROM qp_Items WHERE UPPER(TblName)='%1' "
                                "ORDER BY Ord")
                     .arg(sqlEscape(tableName.toUpper()))))
        return QString();
    for (; !rs.IsEOF(); rs.MoveNext())
        items << rs.GetFieldString(QStringLiteral("Name")) + QStringLiteral(" AS ")
                     + bracketed(rs.GetFieldString(QStringLiteral("Alias")));
    return items.join(QLatin1Char(','));
}

} // namespace orvane::core
