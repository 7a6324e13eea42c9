// The application core's procedures through the three ways the client calls them, the run-time
// DDL they carry out, and their refusals leaving the data as it was.
#include "server/coreprocedures.h"
#include "testutil/testbackend.h"
#include "testutil/testdatabase.h"

#include "db/backend.h"
#include "db/cadocommand.h"
#include "db/cadorecordset.h"

#include <QDate>

#include <gtest/gtest.h>

using namespace orvane::db;
using orvane::testutil::DatabaseTest;

namespace {

class CoreProcedures : public DatabaseTest
{
protected:
    int count(const QString& sql) { return database().scalarInt(sql); }

    bool hasColumn(const QString& table, const QString& column)
    {
        CADORecordset rs(&db());
        return rs.Open(QStringLiteral("SELECT [%1] FROM [%2] WHERE 1=0").arg(column, table));
    }

    // qp_AddDBTable through a command with a return parameter, as the table editor calls it.
    int addTable(const QString& title, int parentId = 1)
    {
        CADOCommand cmd(&db(), "qp_AddDBTable");
        cmd.AddParameter("Return", adInteger, adParamReturnValue, 4, 0);
        cmd.AddParameter("nType", adInteger, adParamInput, 4, 5);
        cmd.AddParameter("Title", adVarChar, adParamInput, 50, title);
        cmd.AddParameter("Descr", adVarChar, adParamInput, 100, QString("说明"));
        cmd.AddParameter("ParentID", adInteger, adParamInput, 4, parentId);
        cmd.AddParameter("IShow", adBoolean, adParamInput, 1, 1);
        EXPECT_TRUE(cmd.Execute()) << cmd.GetLastErrorString().toStdString();
        int ret = -1;
        cmd.GetParameter("Return").GetValue(ret);
        return ret;
    }

    int addItem(const QString& table, const QString& alias, int dataType, const QString& idRef = {})
    {
        CADOCommand cmd(&db(), "qp_AddDBTableItem");
        cmd.AddParameter("Return", adInteger, adParamReturnValue, 4, 0);
        cmd.AddParameter("iSort", adInteger, adParamInput, 4, 5);
        cmd.AddParameter("TblName", adVarChar, adParamInput, 50, table);
        cmd.AddParameter("Alias", adVarChar, adParamInput, 50, alias);
        cmd.AddParameter("DataType", adInteger, adParamInput, 4, dataType);
        cmd.AddParameter("IdRef", adVarChar, adParamInput, 100, idRef);
        cmd.AddParameter("DefValue", adVarChar, adParamInput, 256, QString());
        cmd.AddParameter("Length", adInteger, adParamInput, 4, 30);
        cmd.AddParameter("bNotNull", adBoolean, adParamInput, 1, 0);
        cmd.AddParameter("bShow", adBoolean, adParamInput, 1, 1);
        EXPECT_TRUE(cmd.Execute()) << cmd.GetLastErrorString().toStdString();
        int ret = -1;
        cmd.GetParameter("Return").GetValue(ret);
        return ret;
    }
};

TEST_F(CoreProcedures, SystemLogArrivesTheSameByEveryCallForm)
{
    ASSERT_TRUE(db().Execute("EXEC qp_AddSystemLog 'admin','系统管理[一]',0,60"));
    ASSERT_TRUE(db().Execute("qp_AddSystemLog 'admin','系统管理[''二'']',0,60"));
    CADOCommand cmd(&db(), "qp_AddSystemLog");
    cmd.AddParameter("UserName", adVarChar, adParamInput, 50, QString("admin"));
    cmd.AddParameter("Content", adVarChar, adParamInput, 2000, QString(3000, QChar(u'长')));
    cmd.AddParameter("Cleanup", adBoolean, adParamInput, 1, 0);
    cmd.AddParameter("RecentDays", adInteger, adParamInput, 4, 60);
    ASSERT_TRUE(cmd.Execute()) << cmd.GetLastErrorString().toStdString();

    EXPECT_EQ(count("SELECT COUNT(*) FROM qp_Log WHERE lUser='admin'"), 3);
    EXPECT_EQ(count("SELECT COUNT(*) FROM qp_Log WHERE lAction='系统管理[''二'']'"), 1);
    EXPECT_EQ(database().scalar("SELECT lAction FROM qp_Log WHERE id=3").size(), 2000);
    const QString today = QDate::currentDate().toString("yyyy-MM-dd");
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM qp_Log WHERE lDate>='%1'").arg(today)), 3);

    // Cleanup removes lines older than the retention, keeps the recent ones.
    ASSERT_TRUE(db().Execute("INSERT INTO qp_Log (lDate,lUser,lAction) VALUES "
                             "('2001-01-01 08:00:00','old','旧')"));
    ASSERT_TRUE(db().Execute("EXEC qp_AddSystemLog 'admin','登出系统',1,60"));
    EXPECT_EQ(count("SELECT COUNT(*) FROM qp_Log WHERE lUser='old'"), 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM qp_Log"), 4);
}

TEST_F(CoreProcedures, RelatedTableLifecycle)
{
    const int tables = count("SELECT COUNT(*) FROM qp_Table");
    ASSERT_EQ(addTable("学习经历"), orvane::server::kReturnOk);
    const int id = count("SELECT ID FROM qp_Table WHERE Title='学习经历'");
    const QString table = database().scalar(QStringLiteral("SELECT TblName FROM qp_Table WHERE "
                                                           "ID=%1")
                                                .arg(id));
    EXPECT_EQ(table, QStringLiteral("qp_PsnRelat%1").arg(id));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM qp_Table WHERE ID=%1 AND nType=5 AND "
                                   "ParentID=1 AND bShow=1 AND bFixed=0")
                        .arg(id)),
              1);
    EXPECT_TRUE(hasColumn(table, "ID") && hasColumn(table, "PID") && hasColumn(table, "Ord"));

    // A duplicate title, in another letter case, is refused with nothing added.
    ASSERT_EQ(addTable("Skills"), orvane::server::kReturnOk);
    EXPECT_EQ(addTable("SKILLS"), orvane::server::kReturnDuplicate);
    EXPECT_EQ(addTable("  "), orvane::server::kReturnInvalid);
    EXPECT_EQ(count("SELECT COUNT(*) FROM qp_Table"), tables + 2);

    // Fields: the procedure names the column; it holds data; it is changed and dropped again.
    ASSERT_EQ(addItem(table, "学校", 1), orvane::server::kReturnOk);
    ASSERT_EQ(addItem(table, "学历", 3, "D03"), orvane::server::kReturnOk);
    EXPECT_EQ(addItem(table, "学校", 1), orvane::server::kReturnDuplicate);
    EXPECT_EQ(addItem(table, "专业", 3), orvane::server::kReturnInvalid);
    EXPECT_EQ(addItem("qp_NoSuchTable", "专业", 1), orvane::server::kReturnInvalid);
    const int item = count("SELECT ItemID FROM qp_Items WHERE Alias='学校'");
    const QString column = database().scalar(QStringLiteral("SELECT Name FROM qp_Items WHERE "
                                                            "ItemID=%1")
                                                 .arg(item));
    EXPECT_EQ(column, QStringLiteral("F%1").arg(item));
    EXPECT_EQ(count(QStringLiteral("SELECT Ord FROM qp_Items WHERE ItemID=%1").arg(item)), 1);
    ASSERT_TRUE(db().Execute(
        QStringLiteral("INSERT INTO %1 (PID,Ord,%2) VALUES (1,1,'北京大学')").arg(table, column)));

    ASSERT_TRUE(db().Execute(
        QStringLiteral("EXEC qp_UpdateDBTableItem %1,'毕业学校','','',80,1,0").arg(item)));
    EXPECT_EQ(
        database().scalar(QStringLiteral("SELECT Alias FROM qp_Items WHERE ItemID=%1").arg(item)),
        "毕业学校");
    EXPECT_EQ(count(QStringLiteral("SELECT iLength FROM qp_Items WHERE ItemID=%1").arg(item)), 80);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM qp_Items WHERE ItemID=%1 AND bNotNull=1")
                        .arg(item)),
              1);
    EXPECT_EQ(database().scalar(QStringLiteral("SELECT %1 FROM %2").arg(column, table)),
              "北京大学");
    // The column itself was made longer: it takes a value of the new length.
    EXPECT_TRUE(
        db().Execute(QStringLiteral("UPDATE %1 SET %2=REPLICATE(N'学', 80)").arg(table, column)))
        << db().GetLastErrorString().toStdString();

    // The manager lists the group's tables and the table's fields.
    CADORecordset fields(&db());
    ASSERT_TRUE(fields.Open(QStringLiteral("EXEC qp_SelectFieldsByTableID %1").arg(id)));
    EXPECT_EQ(fields.GetRecordCount(), 2);
    EXPECT_EQ(fields.GetFieldString("Alias"), "毕业学校");
    EXPECT_GE(fields.GetFieldIndex("bFixed"), 0);
    EXPECT_GE(fields.GetFieldIndex("iDataType"), 0);
    CADORecordset group(&db());
    ASSERT_TRUE(group.Open("qp_SelectSystemDBTable 1"));
    EXPECT_EQ(group.GetRecordCount(), 2 + 2); // photos, attachments and the two new tables

    ASSERT_TRUE(db().Execute(QStringLiteral("qp_DeleteItemByID %1").arg(item)));
    EXPECT_FALSE(hasColumn(table, column));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM qp_Items WHERE ItemID=%1").arg(item)), 0);

    ASSERT_TRUE(db().Execute(QStringLiteral("EXEC qp_DeleteTableByID %1").arg(id)));
    EXPECT_FALSE(hasColumn(table, "ID"));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM qp_Items WHERE TblName='%1'").arg(table)),
              0);
}

TEST_F(CoreProcedures, RefusalsLeaveDataUnchanged)
{
    // Fixed tables and fields cannot be dropped.
    const int fixedItem = count("SELECT ItemID FROM qp_Items WHERE TblName='qp_PsnBase' AND "
                                "Name='Number'");
    EXPECT_FALSE(db().Execute(QStringLiteral("EXEC qp_DeleteItemByID %1").arg(fixedItem)));
    EXPECT_TRUE(hasColumn("qp_PsnBase", "Number"));
    EXPECT_FALSE(db().Execute("EXEC qp_DeleteTableByID 1"));
    EXPECT_EQ(count("SELECT COUNT(*) FROM qp_Table WHERE ID=1"), 1);

    // A table name left behind outside the catalogue does not block a new table.
    const int next = count("SELECT MAX(ID) FROM qp_Table") + 1;
    ASSERT_TRUE(db().Execute(QStringLiteral("CREATE TABLE qp_PsnRelat%1 (x int)").arg(next)));
    ASSERT_EQ(addTable("冲突"), orvane::server::kReturnOk);
    const QString table = database().scalar("SELECT TblName FROM qp_Table WHERE Title='冲突'");
    EXPECT_EQ(table, QStringLiteral("qp_PsnRelat%1_2").arg(next));
    EXPECT_TRUE(hasColumn(QStringLiteral("qp_PsnRelat%1").arg(next), "x"));

    // A failure after the catalogue row was removed puts it back: SQLite refuses to drop an
    // indexed column, PostgreSQL one a view reads.
    ASSERT_EQ(addItem(table, "证书", 1), orvane::server::kReturnOk);
    const int item = count("SELECT ItemID FROM qp_Items WHERE Alias='证书'");
    const QString column = QStringLiteral("F%1").arg(item);
    orvane::db::BackendError blockError;
    ASSERT_TRUE(db().runNative(
        orvane::testutil::onPostgres()
            ? QStringLiteral("CREATE VIEW v_cert AS SELECT %2 FROM %1").arg(table, column)
            : QStringLiteral("CREATE INDEX ix_cert ON %1 (%2)").arg(table, column),
        nullptr, blockError))
        << blockError.description.toStdString();
    EXPECT_FALSE(db().Execute(QStringLiteral("EXEC qp_DeleteItemByID %1").arg(item)));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM qp_Items WHERE ItemID=%1").arg(item)), 1);
    EXPECT_TRUE(hasColumn(table, column));

    // Hostile text is stored as typed and shapes no statement.
    ASSERT_EQ(addTable("O'Brien%1'); DROP TABLE qp_Users;--"), orvane::server::kReturnOk);
    EXPECT_EQ(count("SELECT COUNT(*) FROM qp_Table WHERE Title='O''Brien%1''); DROP TABLE "
                    "qp_Users;--'"),
              1);
    EXPECT_EQ(count("SELECT COUNT(*) FROM qp_Users"), 1);
    // The connection stays usable after every refusal.
    EXPECT_TRUE(db().Execute("EXEC qp_AddSystemLog 'admin','x',0,60"));
}

TEST_F(CoreProcedures, TableChangesKeepTitlesUnique)
{
    ASSERT_EQ(addTable("奖惩记录"), orvane::server::kReturnOk);
    const int id = count("SELECT ID FROM qp_Table WHERE Title='奖惩记录'");
    CADOCommand cmd(&db(), "qp_UpdateDBTable");
    cmd.AddParameter("ID", adInteger, adParamInput, 4, id);
    cmd.AddParameter("Title", adVarChar, adParamInput, 50, QString("奖励记录"));
    cmd.AddParameter("Descr", adVarChar, adParamInput, 100, QString("新说明"));
    cmd.AddParameter("IShow", adBoolean, adParamInput, 1, 0);
    ASSERT_TRUE(cmd.Execute()) << cmd.GetLastErrorString().toStdString();
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM qp_Table WHERE ID=%1 AND Title='奖励记录' "
                                   "AND Descr='新说明' AND bShow=0")
                        .arg(id)),
              1);

    // Another table's title (in any letter case) and a vanished row are refused unchanged.
    EXPECT_FALSE(db().Execute(QStringLiteral("EXEC qp_UpdateDBTable %1,'人员档案','',1").arg(id)));
    EXPECT_FALSE(db().Execute("qp_UpdateDBTable 999,'无此表','',1"));
    EXPECT_TRUE(db().Execute(QStringLiteral("qp_UpdateDBTable %1,'奖励记录','',1").arg(id)));
    EXPECT_EQ(database().scalar(QStringLiteral("SELECT Title FROM qp_Table WHERE ID=%1").arg(id)),
              "奖励记录");

    // A field added by plain text gets the next order within its table.
    const QString table = database().scalar(QStringLiteral("SELECT TblName FROM qp_Table WHERE "
                                                           "ID=%1")
                                                .arg(id));
    ASSERT_TRUE(db().Execute(
        QStringLiteral("EXEC qp_AddDBTableItem 5,'%1','日期',2,'','',8,0,1").arg(table)));
    ASSERT_TRUE(db().Execute(
        QStringLiteral("EXEC qp_AddDBTableItem 5,'%1','金额',0,'','',9,0,1").arg(table)));
    EXPECT_EQ(count(QStringLiteral("SELECT Ord FROM qp_Items WHERE Alias='金额' AND TblName='%1'")
                        .arg(table)),
              2);
    const QString column = database().scalar("SELECT Name FROM qp_Items WHERE Alias='金额'");
    ASSERT_TRUE(db().Execute(
        QStringLiteral("INSERT INTO %1 (PID,%2) VALUES (1,1234.5)").arg(table, column)));
    EXPECT_EQ(database().scalar(QStringLiteral("SELECT %1 FROM %2").arg(column, table)), "1234.5");
}

TEST_F(CoreProcedures, DictionariesAndTheirEntries)
{
    ASSERT_TRUE(db().Execute("EXEC qp_AddDictSort 0,1,'岗位'"));
    const QString dictId = database().scalar("SELECT DictId FROM qp_Dict WHERE Title='岗位'");
    EXPECT_EQ(dictId, "D11");
    EXPECT_FALSE(db().Execute("EXEC qp_AddDictSort 0,1,'性别'"));
    EXPECT_EQ(count("SELECT COUNT(*) FROM qp_Dict"), 11);

    const auto addItem = [&](int id, const QString& code, const QString& title,
                             const QString& parent) {
        return db().Execute(QStringLiteral("qp_AddDictItem %1,1,'%2','%3','%4','%5'")
                                .arg(QString::number(id), dictId, code, title, parent));
    };
    ASSERT_TRUE(addItem(0, "01", "管理岗", ""));
    ASSERT_TRUE(addItem(0, "0101", "部门经理", "01"));
    ASSERT_TRUE(addItem(0, "01A", "主管", "01"));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM qp_DictItem WHERE DictId='%1' AND "
                                   "DictValue='01' AND hasChild=1")
                        .arg(dictId)),
              1);
    // Child codes extend the parent's code; titles are unique in the dictionary.
    EXPECT_FALSE(addItem(0, "01", "重复", "01"));
    EXPECT_FALSE(addItem(0, "02", "其他", "01"));
    EXPECT_FALSE(addItem(0, "0102", "管理岗", "01"));
    EXPECT_FALSE(addItem(0, "02", "", ""));
    EXPECT_EQ(
        count(QStringLiteral("SELECT COUNT(*) FROM qp_DictItem WHERE DictId='%1'").arg(dictId)), 3);

    // Moving the last child to the top clears the parent's flag.
    const int child = count("SELECT ID FROM qp_DictItem WHERE Title='主管'");
    const int manager = count("SELECT ID FROM qp_DictItem WHERE Title='部门经理'");
    ASSERT_TRUE(addItem(child, "03", "主管", ""));
    ASSERT_TRUE(addItem(manager, "05", "部门经理", ""));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM qp_DictItem WHERE DictId='%1' AND "
                                   "DictValue='01' AND hasChild=1")
                        .arg(dictId)),
              0);
    // A code is unique among its siblings only.
    EXPECT_TRUE(addItem(0, "011", "顶级", ""));
    EXPECT_TRUE(addItem(0, "011", "子级", "01")) << db().GetErrorDescription().toStdString();
    EXPECT_FALSE(addItem(0, "011", "又一个", ""));
    EXPECT_TRUE(db().GetErrorDescription().contains("错误：编码重复!"));

    CADOCommand cmd(&db(), "qp_SelectSystemDictItemsByID");
    cmd.AddParameter("DictId", adVarChar, adParamInput, 50, QString("D02"));
    cmd.AddParameter("ParentValue", adVarChar, adParamInput, 50, QString());
    CADORecordset rs(&db());
    ASSERT_TRUE(rs.Open(cmd));
    EXPECT_EQ(rs.GetRecordCount(), 56);
    EXPECT_EQ(rs.GetFieldString("Title"), "汉族");
}

TEST_F(CoreProcedures, OperatorListForSuperAndOrdinaryCallers)
{
    ASSERT_TRUE(db().Execute("INSERT INTO qp_Users (UserName,Pwd,Locked,ISuper,Descr,Purview) "
                             "VALUES ('clerk','',0,0,'','8000000000000000|1|1|')"));
    CADORecordset all(&db());
    ASSERT_TRUE(all.Open("EXEC qp_SelectSystemUsers 1"));
    EXPECT_EQ(all.GetRecordCount(), 2);
    const char* columns[] = {"UserID", "UserName", "Locked", "Descr", "Purview", "ISuper"};
    for (int i = 0; i < 6; ++i) {
        CADOFieldInfo info;
        ASSERT_TRUE(all.GetFieldInfo(i, &info));
        EXPECT_EQ(info.m_strName, columns[i]);
    }
    CADORecordset own(&db());
    ASSERT_TRUE(own.Open("qp_SelectSystemUsers 2"));
    ASSERT_EQ(own.GetRecordCount(), 1);
    EXPECT_EQ(own.GetFieldString("UserName"), "clerk");
}

} // namespace
