#include "server/schema.h"

namespace orvane::server {

namespace {

ColumnDef identity(const char* name)
{
    return {QString::fromLatin1(name), ColumnType::Identity, 0, {}};
}

ColumnDef integer(const char* name, const char* def = "0")
{
    return {QString::fromLatin1(name), ColumnType::Integer, 0, QString::fromLatin1(def)};
}

ColumnDef flag(const char* name, const char* def = "0")
{
    return {QString::fromLatin1(name), ColumnType::Boolean, 0, QString::fromLatin1(def)};
}

ColumnDef text(const char* name, int length, const char* def = nullptr)
{
    return {QString::fromLatin1(name), ColumnType::Text, length,
            def ? QString::fromLatin1(def) : QString()};
}

ColumnDef longText(const char* name)
{
    return {QString::fromLatin1(name), ColumnType::LongText, 0, {}};
}

ColumnDef dateTime(const char* name)
{
    return {QString::fromLatin1(name), ColumnType::DateTime, 0, {}};
}

ColumnDef binary(const char* name)
{
    return {QString::fromLatin1(name), ColumnType::Binary, 0, {}};
}

QList<TableDef> buildTables()
{
    QList<TableDef> t;

    t.append({QStringLiteral("qp_SchemaVersion"),
              {integer("Version"), dateTime("Applied"), text("Descr", 200)}});

    // Catalogue.
    t.append({QStringLiteral("qp_Table"),
              {identity("ID"), text("TblName", 50), text("Title", 50), integer("nType"),
               integer("ParentID"), flag("hasChild"), integer("Flag"), flag("bShow", "1"),
               flag("bStat"), flag("bFixed"), text("Descr", 100), integer("Ord")}});
    t.append({QStringLiteral("qp_Items"),
              {identity("ItemID"),  text("TblName", 50),       text("Name", 50),
               text("Alias", 50),   integer("iDataType", "1"), integer("iLength", "50"),
               flag("bFixed"),      integer("iFlag"),          integer("iDec"),
               integer("iChoice"),  text("IdRef", 100),        text("DefValue", 256),
               flag("bNotNull"),    flag("bShow", "1"),        integer("iWid", "80"),
               text("ColFmt", 50),  integer("iSort"),          integer("Ord"),
               integer("OrdF"),     longText("FExp"),          longText("FExp2"),
               integer("StdTblID"), integer("iProperty"),      flag("Active", "1"),
               flag("Retain")}});
    t.append({QStringLiteral("qp_Dict"),
              {identity("ID"), text("DictId", 50), text("Title", 50), flag("Active", "1"),
               integer("Ord")}});
    t.append({QStringLiteral("qp_DictItem"),
              {identity("ID"), text("DictId", 50), text("DictValue", 50), text("Title", 100),
               text("ParentValue", 50, "''"), flag("hasChild"), flag("Active", "1")}});

    // System.
    t.append(
        {QStringLiteral("qp_SysOption"), {identity("id"), integer("nType"), longText("sContent")}});
    t.append({QStringLiteral("qp_Users"),
              {identity("UserID"), text("UserName", 50), text("Pwd", 32, "''"), flag("Locked"),
               flag("ISuper"), text("Descr", 100), longText("Purview")}});
    t.append({QStringLiteral("qp_Log"),
              {identity("id"), dateTime("lDate"), text("lUser", 50), text("lAction", 2000)}});

    // Organisation and personnel.
    t.append({QStringLiteral("qp_Dept"),
              {identity("DID"), integer("ParentID"), text("Name", 50), integer("Ord"),
               text("ParentArr", 500, "''"), text("PNRule", 50, "''")}});
    t.append({QStringLiteral("qp_PsnSort"), {identity("AID"), text("Name", 50), integer("Ord")}});
    t.append({QStringLiteral("qp_PsnBase"),
              {identity("PID"),      integer("DID"),          integer("AID"),
               text("Number", 50),   text("Name", 50),        text("Sex", 50),
               text("Nation", 50),   dateTime("Birthday"),    text("IDNumber", 20),
               text("Address", 100), text("NativePlace", 50), text("Education", 50),
               text("Degree", 50),   text("Political", 50),   text("Marital", 50),
               text("Health", 50),   text("TechTitle", 50),   text("EmployForm", 50),
               dateTime("WorkDate"), dateTime("JoinDate"),    text("Phone", 30),
               text("Email", 50),    text("Memo", 200),       integer("Ord")}});
    t.append({QStringLiteral("qp_PsnAdj"), {integer("PID"), binary("Photo")}});
    t.append({QStringLiteral("qp_PsnFiles"),
              {identity("ID"), integer("PID"), text("Name", 255), text("FileSize", 50),
               dateTime("AddDate"), binary("FileData")}});
    t.append({QStringLiteral("qp_PsnRedeploy"),
              {identity("ID"), integer("PID"), dateTime("MobDate"), integer("BeforeDep"),
               integer("AfterDep"), text("Reason", 100)}});
    t.append({QStringLiteral("qp_PsnSortAlter"),
              {identity("ID"), integer("PID"), dateTime("ADate"), integer("OStatus"),
               integer("NStatus"), text("Reason", 100)}});

    // Query and analysis.
    t.append({QStringLiteral("qp_Research"),
              {identity("RID"), text("Name", 50), integer("UserID"), integer("iType"),
               longText("OrdCol")}});
    t.append(
        {QStringLiteral("qp_ResearchDetail"),
         {identity("id"), integer("RID"), integer("Flag"), text("AndOr", 50), text("TblName", 50),
          text("ItemName", 50), text("OpSgn", 20), text("sValue", 100), integer("Ord")}});
    t.append({QStringLiteral("qp_Stat"),
              {identity("TID"), text("sCaption", 100), integer("sFlag", "1"), flag("bFixed"),
               text("sTblName", 50), text("sFldName", 50), integer("Ord")}});
    t.append({QStringLiteral("qp_StatItmFilter"),
              {identity("id"), integer("TID"), text("fTitle", 100), text("LowerVal", 50),
               text("UperVal", 50), integer("Ord")}});
    t.append({QStringLiteral("qp_PsnCaseWakeup"),
              {identity("ID"), text("Title", 200), longText("WTips"), text("WTable", 100),
               text("WField", 100), integer("BefDays"), flag("ISCustom"), longText("WCondit"),
               integer("Ord")}});

    // Payroll.
    t.append({QStringLiteral("qp_WageTable"),
              {identity("ID"), integer("SID"), integer("fDate"), integer("Stat"),
               dateTime("CreateDate")}});
    t.append({QStringLiteral("qp_WagePsn"),
              {identity("ID"), integer("SID"), integer("PID"), integer("Ord")}});
    t.append({QStringLiteral("qp_WageStdTable"),
              {identity("id"), integer("SID"), text("STDName", 50), text("Descr", 100),
               integer("STDDim", "1"), text("STDTable", 50), text("DictRow", 50),
               text("FldRow", 50), text("TblRow", 50), text("DictCol", 50), text("FldCol", 50),
               text("TblCol", 50), integer("Ord")}});
    t.append({QStringLiteral("qp_WageStdTblItem"),
              {identity("ID"), integer("StdID"), text("DictId", 50), text("DictValue", 50)}});
    t.append({QStringLiteral("qp_WageExport"),
              {identity("EID"), integer("SID"), text("Name", 255), flag("Active", "1"),
               longText("Header"), longText("Footer"), text("Sep", 6, "''"), text("Ext", 6, "''"),
               integer("SFRows"), integer("Ord")}});
    t.append({QStringLiteral("qp_WageExportDetail"),
              {identity("ID"), integer("EID"), integer("SID"), text("DName", 20),
               integer("iSource"), text("DContent", 255), flag("bFixLen"), integer("iLen"),
               integer("iFillChar"), integer("iFillDirec"), integer("iQuo"), integer("Ord")}});
    t.append({QStringLiteral("qp_WageAnnounce"),
              {identity("AID"), integer("SID"), text("Name", 255), flag("Active", "1"),
               text("Subject", 256), longText("Content"), integer("Ord")}});
    t.append({QStringLiteral("qp_BatchMailSet"),
              {identity("id"), integer("dt"), text("dbfield", 50), text("svrname", 50),
               integer("port", "25"), integer("auh", "1"), integer("ssl"), text("account", 50),
               text("password", 255), text("mailadr", 50), text("username", 50)}});

    // Report templates; the layout is the report engine's own text.
    t.append({QStringLiteral("qp_Report"),
              {identity("ID"), text("Name", 255), integer("Type"), integer("SID"),
               flag("Active", "1"), integer("Ord"), longText("Layout")}});
    return t;
}

} // namespace

const ColumnDef* TableDef::column(const QString& columnName) const
{
    for (const auto& c : columns) {
        if (c.name.compare(columnName, Qt::CaseInsensitive) == 0)
            return &c;
    }
    return nullptr;
}

const QList<TableDef>& deliveredTables()
{
    static const QList<TableDef> tables = buildTables();
    return tables;
}

const QList<IndexDef>& deliveredIndexes()
{
    static const QList<IndexDef> indexes = {
        // At most one photo row per person; one wage table per sort and month.
        {QStringLiteral("ix_PsnAdj_PID"),
         QStringLiteral("qp_PsnAdj"),
         {QStringLiteral("PID")},
         true},
        {QStringLiteral("ix_WageTable_SID_fDate"),
         QStringLiteral("qp_WageTable"),
         {QStringLiteral("SID"), QStringLiteral("fDate")},
         true},
        {QStringLiteral("ix_Items_TblName"),
         QStringLiteral("qp_Items"),
         {QStringLiteral("TblName")},
         false},
        {QStringLiteral("ix_DictItem_DictId"),
         QStringLiteral("qp_DictItem"),
         {QStringLiteral("DictId"), QStringLiteral("DictValue")},
         false},
        {QStringLiteral("ix_PsnBase_DID"),
         QStringLiteral("qp_PsnBase"),
         {QStringLiteral("DID")},
         false},
        {QStringLiteral("ix_WagePsn_SID"),
         QStringLiteral("qp_WagePsn"),
         {QStringLiteral("SID")},
         false},
        {QStringLiteral("ix_Log_lDate"),
         QStringLiteral("qp_Log"),
         {QStringLiteral("lDate")},
         false},
    };
    return indexes;
}

const TableDef* deliveredTable(const QString& name)
{
    for (const auto& t : deliveredTables()) {
        if (t.name.compare(name, Qt::CaseInsensitive) == 0)
            return &t;
    }
    return nullptr;
}

} // namespace orvane::server
