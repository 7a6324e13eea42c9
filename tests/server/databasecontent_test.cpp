// The delivered database: tables and columns the client's SQL relies on, catalogue consistency,
// dictionaries, seed rows, and creating a file.
#include "server/databasecreator.h"
#include "server/schema.h"
#include "server/schemaupgrade.h"
#include "testutil/testbackend.h"
#include "testutil/testdatabase.h"

#include "db/cadorecordset.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using orvane::db::CADORecordset;
using orvane::testutil::DatabaseTest;

namespace {

// Columns read or written by the client's statements and procedure calls, per table.
const std::pair<const char*, const char*> kUsedColumns[] = {
    {"qp_Table", "ID,TblName,Title,nType,ParentID,hasChild,Flag,bShow,bStat,Descr,Ord,bFixed"},
    {"qp_Items", "ItemID,TblName,Name,Alias,iDataType,iLength,bFixed,iFlag,iDec,iChoice,IdRef,"
                 "DefValue,bNotNull,bShow,iWid,ColFmt,iSort,Ord,OrdF,FExp,FExp2,StdTblID,"
                 "iProperty,Active"},
    {"qp_Dict", "ID,DictId,Title,Active,Ord"},
    {"qp_DictItem", "ID,DictId,DictValue,Title,ParentValue,hasChild,Active"},
    {"qp_SysOption", "id,nType,sContent"},
    {"qp_Users", "UserID,UserName,Pwd,Locked,ISuper,Descr,Purview"},
    {"qp_Log", "id,lDate,lUser,lAction"},
    {"qp_Dept", "DID,ParentID,Name,Ord,ParentArr,PNRule"},
    {"qp_PsnSort", "AID,Name,Ord"},
    {"qp_PsnBase", "PID,DID,AID,Number,Name,Sex,Nation,Birthday,IDNumber,Address,Ord"},
    {"qp_PsnAdj", "PID,Photo"},
    {"qp_PsnFiles", "ID,PID,Name,FileSize,AddDate,FileData"},
    {"qp_PsnRedeploy", "ID,PID,MobDate,BeforeDep,AfterDep"},
    {"qp_PsnSortAlter", "ID,PID,ADate,OStatus,NStatus"},
    {"qp_Research", "RID,Name,UserID,iType,OrdCol"},
    {"qp_ResearchDetail", "id,RID,Flag,AndOr,TblName,ItemName,OpSgn,sValue,Ord"},
    {"qp_Stat", "TID,sCaption,sFlag,bFixed,sTblName,sFldName,Ord"},
    {"qp_StatItmFilter", "id,TID,fTitle,LowerVal,UperVal,Ord"},
    {"qp_PsnCaseWakeup", "ID,Title,WTips,WTable,WField,BefDays,ISCustom,WCondit,Ord"},
    {"qp_WageTable", "ID,SID,fDate,Stat,CreateDate"},
    {"qp_WagePsn", "ID,SID,PID,Ord"},
    {"qp_WageStdTable", "id,SID,STDName,Descr,STDDim,STDTable,DictRow,FldRow,TblRow,DictCol,"
                        "FldCol,TblCol,Ord"},
    {"qp_WageStdTblItem", "StdID,DictId,DictValue"},
    {"qp_WageExport", "EID,SID,Name,Active,Header,Footer,Sep,Ext,SFRows,Ord"},
    {"qp_WageExportDetail", "ID,EID,DName,iSource,DContent,bFixLen,iLen,iFillChar,iFillDirec,"
                            "iQuo,Ord"},
    {"qp_WageAnnounce", "AID,SID,Name,Active,Subject,Content,Ord"},
    {"qp_BatchMailSet", "id,dt,dbfield,svrname,port,auh,ssl,account,password,mailadr,username"},
    {"qp_Report", "ID,Name,Type,SID,Active,Ord"},
};

class DeliveredDatabase : public DatabaseTest
{
protected:
    // Rows of a query as "a|b|c" texts.
    QStringList rows(const QString& sql)
    {
        QStringList out;
        CADORecordset rs(&db());
        EXPECT_TRUE(rs.Open(sql)) << rs.GetLastErrorString().toStdString();
        for (; rs.IsOpen() && !rs.IsEOF(); rs.MoveNext()) {
            QStringList cells;
            for (int i = 0; i < rs.GetFieldCount(); ++i) {
                QString v;
                rs.GetFieldValue(i, v);
                cells << v;
            }
            out << cells.join(QLatin1Char('|'));
        }
        return out;
    }
};

TEST_F(DeliveredDatabase, HasEveryColumnTheClientUses)
{
    for (const auto& [table, columns] : kUsedColumns) {
        CADORecordset rs(&db());
        const QString sql = QStringLiteral("SELECT %1 FROM %2 WHERE 1=0").arg(columns, table);
        EXPECT_TRUE(rs.Open(sql)) << rs.GetLastErrorString().toStdString();
        EXPECT_TRUE(orvane::server::deliveredTable(QString::fromLatin1(table))) << table;
    }
    EXPECT_EQ(database().scalarInt("SELECT MAX(Version) FROM qp_SchemaVersion"),
              orvane::server::kSchemaVersion);
}

TEST_F(DeliveredDatabase, CatalogueDescribesExistingColumnsWithUniqueCaptions)
{
    const QStringList items = rows("SELECT TblName,Name,iDataType,IdRef,iSort FROM qp_Items");
    ASSERT_GT(items.size(), 20);
    const QStringList dicts = rows("SELECT DictId FROM qp_Dict");
    for (const QString& item : items) {
        const QStringList f = item.split(QLatin1Char('|'));
        CADORecordset rs(&db());
        EXPECT_TRUE(rs.Open(QStringLiteral("SELECT [%1] FROM [%2] WHERE 1=0").arg(f[1], f[0])))
            << item.toStdString();
        EXPECT_EQ(database().scalar(QStringLiteral("SELECT COUNT(*) FROM qp_Table WHERE "
                                                   "UPPER(TblName)='%1'")
                                        .arg(f[0].toUpper())),
                  "1")
            << item.toStdString();
        if (f[2] == "3")
            EXPECT_TRUE(dicts.contains(f[3]) || f[3].endsWith(".NAME")) << item.toStdString();
        if (f[2] == "4")
            EXPECT_TRUE(f[3] == "QP_DEPT.DID" || f[3] == "QP_PSNSORT.AID") << item.toStdString();
        const QString owner = f[0].toUpper();
        const int expectedSort = owner == "QP_PSNBASE"   ? 0
                                 : owner == "QP_PSNSORT" ? 3
                                 : owner == "QP_DEPT"    ? 4
                                                         : 5;
        EXPECT_EQ(f[4].toInt(), expectedSort) << item.toStdString();
    }
    EXPECT_TRUE(rows("SELECT UPPER(TblName),UPPER(Alias) FROM qp_Items GROUP BY UPPER(TblName),"
                     "UPPER(Alias) HAVING COUNT(*)>1")
                    .isEmpty());
    EXPECT_TRUE(rows("SELECT UPPER(Title) FROM qp_Table GROUP BY UPPER(Title) HAVING COUNT(*)>1")
                    .isEmpty());
    // The captions other Parts fall back to, and the personnel table's key links.
    EXPECT_EQ(rows("SELECT Name,Alias,iDataType,IdRef FROM qp_Items WHERE UPPER(TblName)="
                   "'QP_PSNBASE' AND UPPER(Name) IN ('NUMBER','NAME','SEX','DID','AID') "
                   "ORDER BY Ord"),
              QStringList({"Number|编号|1|", "Name|姓名|1|", "Sex|性别|3|D01",
                           "DID|部门|4|QP_DEPT.DID", "AID|人员类别|4|QP_PSNSORT.AID"}));
    EXPECT_EQ(database().scalarInt("SELECT COUNT(*) FROM qp_Table WHERE nType=4"), 3);
    EXPECT_EQ(database().scalarInt("SELECT COUNT(*) FROM qp_Table WHERE nType IN (5,6)"), 0);
}

TEST_F(DeliveredDatabase, DictionariesFollowTheNationalCodes)
{
    const QStringList nations = rows("SELECT DictValue,Title FROM qp_DictItem WHERE DictId="
                                     "(SELECT DictId FROM qp_Dict WHERE Title='民族') "
                                     "ORDER BY DictValue");
    ASSERT_EQ(nations.size(), 56);
    for (int i = 0; i < 56; ++i)
        EXPECT_TRUE(
            nations[i].startsWith(QStringLiteral("%1|").arg(i + 1, 2, 10, QLatin1Char('0'))));
    EXPECT_EQ(nations.first(), "01|汉族");
    EXPECT_EQ(nations[10], "11|满族");
    EXPECT_EQ(nations.last(), "56|基诺族");

    EXPECT_EQ(rows("SELECT Title FROM qp_DictItem WHERE DictId='D01' ORDER BY DictValue"),
              QStringList({"男", "女"}));
    EXPECT_EQ(database().scalar("SELECT Title FROM qp_DictItem WHERE DictId=(SELECT DictId FROM "
                                "qp_Dict WHERE Title='政治面貌') AND DictValue='13'"),
              "群众");
    for (const char* title : {"学历", "学位", "婚姻状况", "健康状况", "职称", "用工形式"})
        EXPECT_GT(database().scalarInt(QStringLiteral("SELECT COUNT(*) FROM qp_DictItem WHERE "
                                                      "DictId=(SELECT DictId FROM qp_Dict WHERE "
                                                      "Title='%1')")
                                           .arg(title)),
                  2)
            << title;
    EXPECT_TRUE(rows("SELECT DictId,UPPER(Title) FROM qp_DictItem GROUP BY DictId,UPPER(Title) "
                     "HAVING COUNT(*)>1")
                    .isEmpty());
}

TEST_F(DeliveredDatabase, SeedsOptionsAndTheSuperOperator)
{
    EXPECT_EQ(rows("SELECT UserName,Pwd,ISuper,Locked FROM qp_Users"),
              QStringList({"admin||True|False"}));
    // Names compare without regard to case, as on the client's original server.
    EXPECT_EQ(database().scalarInt("SELECT COUNT(*) FROM qp_Users WHERE UserName='ADMIN'"), 1);
    EXPECT_EQ(database().scalar("SELECT sContent FROM qp_SysOption WHERE nType=2"), "60");
    EXPECT_EQ(database()
                  .scalar("SELECT sContent FROM qp_SysOption WHERE nType=0")
                  .split(QLatin1Char('|'))
                  .size(),
              3);
    EXPECT_TRUE(database()
                    .scalar("SELECT sContent FROM qp_SysOption WHERE nType=1")
                    .contains("Function IncomeTax"));
    EXPECT_EQ(database().scalar("SELECT dbfield FROM qp_BatchMailSet WHERE dt=0"),
              database().scalar("SELECT Alias FROM qp_Items WHERE UPPER(TblName)='QP_PSNBASE' "
                                "AND UPPER(Name)='EMAIL'"));
}

TEST_F(DeliveredDatabase, IdentityContinuesAfterSeededRows)
{
    ASSERT_TRUE(db().Execute("INSERT INTO qp_PsnSort (Name,Ord) VALUES ('临时人员',4)"));
    EXPECT_EQ(database().scalarInt("SELECT seq FROM sqlite_sequence WHERE name='qp_PsnSort'"), 4);
    EXPECT_EQ(database().scalarInt("SELECT AID FROM qp_PsnSort WHERE Name='临时人员'"), 4);
}

TEST_F(DeliveredDatabase, UpgradeAcceptsItsOwnVersionAndRefusesOthers)
{
    QString error;
    EXPECT_TRUE(orvane::server::upgradeDatabase(db(), &error)) << error.toStdString();
    EXPECT_EQ(database().scalarInt("SELECT COUNT(*) FROM qp_SchemaVersion"), 1);

    ASSERT_TRUE(db().Execute("INSERT INTO qp_SchemaVersion (Version,Descr) VALUES (99,'future')"));
    EXPECT_FALSE(orvane::server::upgradeDatabase(db(), &error));
    EXPECT_TRUE(error.contains("99"));

    ASSERT_TRUE(db().Execute("DELETE FROM qp_SchemaVersion"));
    EXPECT_EQ(orvane::server::databaseSchemaVersion(db()), 0);
    EXPECT_FALSE(orvane::server::upgradeDatabase(db(), &error));
}

TEST(CreateDatabase, RefusesExistingFilesAndUnwritablePlaces)
{
    if (orvane::testutil::onPostgres()) {
        // A database of that name on the server is left as it is.
        orvane::testutil::ScratchDatabase existing{QString()};
        ASSERT_TRUE(existing.error().isEmpty()) << existing.error().toStdString();
        QString error;
        EXPECT_FALSE(orvane::server::createDatabase(existing.connection(), &error));
        EXPECT_FALSE(error.isEmpty());
        EXPECT_TRUE(orvane::testutil::pgadmin::databaseExists(existing.serverName()));
        EXPECT_FALSE(orvane::server::createDatabase(QString(), &error));
        return;
    }
    QTemporaryDir dir;
    const QString path = dir.filePath("existing.db");
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("not a database");
    }
    QString error;
    EXPECT_FALSE(orvane::server::createDatabase(path, &error));
    EXPECT_TRUE(error.contains("exists"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("not a database"));

    const QString nowhere = dir.filePath("missing/folder/x.db");
    EXPECT_FALSE(orvane::server::createDatabase(nowhere, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFile::exists(nowhere));
    EXPECT_FALSE(orvane::server::createDatabase(QString(), &error));
}

} // namespace
