#include "operator_fixture.h"

#include "core/catalog.h"
#include "core/cataloglists.h"
#include "core/sqlbuilder.h"
#include "db/cadorecordset.h"

namespace orvane::coretest {

using core::Catalog;
using core::CatalogLists;
using core::SqlBuilder;

class CatalogTest : public AdminTest
{
protected:
    void addDept(int parent, const QString& name, int ord)
    {
        ASSERT_TRUE(db().Execute(
            QStringLiteral("INSERT INTO qp_Dept (ParentID,Name,Ord,ParentArr) VALUES (%1,'%2',%3,'')")
                .arg(QString::number(parent), core::sqlEscape(name), QString::number(ord))));
    }
    void addDictItem(const QString& dict, const QString& value, const QString& title,
                     const QString& parent, int active = 1)
    {
        ASSERT_TRUE(db().Execute(
            QStringLiteral("INSERT INTO qp_DictItem (DictId,DictValue,Title,ParentValue,Active) "
                           "VALUES ('%1','%2','%3','%4',%5)")
                .arg(dict, value, core::sqlEscape(title), parent, QString::number(active))));
    }
    bool runs(const QString& sql)
    {
        db::CADORecordset rs(&db());
        const bool ok = rs.Open(sql);
        EXPECT_TRUE(ok) << sql.toStdString() << "\n" << rs.GetLastErrorString().toStdString();
        return ok;
    }
};

TEST_F(CatalogTest, LookupsFindValuesAndGiveEmptyWhenMissing)
{
    const Catalog catalog(db());
    addDept(0, QStringLiteral("总部"), 1);
    addDept(1, QStringLiteral("研发'部"), 1);
    addDept(1, QStringLiteral("销售部"), 2);
    EXPECT_EQ(catalog.departmentName(2), QStringLiteral("研发'部"));
    EXPECT_EQ(catalog.departmentName(99), QString());
    EXPECT_EQ(catalog.departmentChildCount(1), 2);
    EXPECT_EQ(catalog.departmentChildCount(2), 0);
    EXPECT_EQ(catalog.categoryName(2), QStringLiteral("离职人员"));
    EXPECT_EQ(catalog.categoryName(0), QString());
    EXPECT_EQ(catalog.lastIdentity(QStringLiteral("qp_Dept")), 3);

    // Captions compare without regard to case; quotes in typed text stay text.
    EXPECT_EQ(catalog.tableTitle(QStringLiteral("QP_psnbase")),
              catalog.text(QStringLiteral("SELECT Title FROM qp_Table WHERE TblName='qp_PsnBase'")));
    const QString baseTitle = catalog.tableTitle(QStringLiteral("qp_PsnBase"));
    ASSERT_FALSE(baseTitle.isEmpty());
    EXPECT_EQ(catalog.fieldName(baseTitle, QStringLiteral("部门")), QStringLiteral("DID"));
    EXPECT_EQ(catalog.fieldType(baseTitle, QStringLiteral("部门")), 4);
    EXPECT_EQ(catalog.fieldAlias(QStringLiteral("qp_psnbase"), QStringLiteral("did")),
              QStringLiteral("部门"));
    EXPECT_EQ(catalog.columnWidth(QStringLiteral("DID")), 120);
    EXPECT_EQ(catalog.fieldName(baseTitle, QStringLiteral("x' OR '1'='1")), QString());
    EXPECT_EQ(catalog.fieldType(QStringLiteral("'); DELETE FROM qp_Items; --"), QStringLiteral("[部门]")), 0);
    EXPECT_GT(database().scalarInt(QStringLiteral("SELECT COUNT(*) FROM qp_Items")), 0);

    EXPECT_TRUE(catalog.tableExists(QStringLiteral("qp_Dept")));
    EXPECT_FALSE(catalog.tableExists(QStringLiteral("qp_Dept' OR 'a'='a")));
    EXPECT_TRUE(catalog.rowExists(QStringLiteral("qp_Dept"), QStringLiteral("[DID]=2")));
    EXPECT_FALSE(catalog.rowExists(QStringLiteral("qp_Dept"), QStringLiteral("[DID]=9")));
    EXPECT_FALSE(catalog.rowExists(QStringLiteral("no_such_table"), QStringLiteral("1=1")));

    ASSERT_TRUE(db().Execute(QStringLiteral(
        "INSERT INTO qp_PsnBase (DID,AID,Number,Name) VALUES (1,1,'ab0001','张三')")));
    EXPECT_TRUE(catalog.personnelNumberExists(QStringLiteral("AB0001")));
    EXPECT_FALSE(catalog.personnelNumberExists(QStringLiteral("ab0001' OR ''='")));

    // Message 133 for a row deleted meanwhile.
    EXPECT_FALSE(catalog.confirmRowExists(prompter, QStringLiteral("qp_Dept"),
                                          QStringLiteral("[DID]=9")));
    EXPECT_EQ(prompter.messageTexts(),
              QStringList{QStringLiteral("该记录已被其他操作员删除,请刷新数据列表!")});
    EXPECT_EQ(prompter.last().caption, QStringLiteral("提示"));

    db().Close(); // a vanished database: empty results, no crash
    EXPECT_EQ(catalog.departmentName(2), QString());
    EXPECT_EQ(catalog.departmentChildCount(1), 0);
    EXPECT_FALSE(catalog.tableExists(QStringLiteral("qp_Dept")));
}

TEST_F(CatalogTest, DepartmentTreeAndKeyedListsHonourThePermittedList)
{
    addDept(0, QStringLiteral("总部"), 2);      // 1
    addDept(0, QStringLiteral("分公司"), 1);    // 2
    addDept(1, QStringLiteral("财务部"), 1);    // 3
    addDept(3, QStringLiteral("出纳组"), 1);    // 4
    const CatalogLists lists(db());

    const auto all = lists.departmentTree();
    ASSERT_EQ(all.size(), 2);
    EXPECT_EQ(all[0].name, QStringLiteral("分公司")); // Ord order
    ASSERT_EQ(all[1].children.size(), 1);
    ASSERT_EQ(all[1].children[0].children.size(), 1);
    EXPECT_EQ(all[1].children[0].children[0].did, 4);

    // 1 and 3 hidden: 4 comes up to the top level; "12" must not count as 1 or 2.
    const auto some = lists.departmentTree(QStringLiteral("12,2,4"));
    ASSERT_EQ(some.size(), 2);
    EXPECT_EQ(some[0].did, 2);
    EXPECT_EQ(some[1].did, 4);

    EXPECT_EQ(lists.categories(QStringLiteral("3,1")),
              (QList<core::KeyedName>{{1, QStringLiteral("在职人员")},
                                      {3, QStringLiteral("退休人员")}}));
    const auto withAll = lists.categoriesWithAll(QStringLiteral("2"));
    ASSERT_EQ(withAll.size(), 2);
    EXPECT_EQ(withAll[0], (core::KeyedName{0, QStringLiteral("<所有类别>")}));
    EXPECT_TRUE(lists.wageSorts(QString()).isEmpty());
    EXPECT_EQ(lists.operators().size(), 1);

    // A damaged tree (a department under itself) ends instead of recursing forever.
    ASSERT_TRUE(db().Execute(QStringLiteral("UPDATE qp_Dept SET ParentID=4 WHERE DID=3")));
    ASSERT_TRUE(db().Execute(QStringLiteral("UPDATE qp_Dept SET DID=0 WHERE DID=2")));
    EXPECT_FALSE(lists.departmentTree().isEmpty());
}

TEST_F(CatalogTest, DictionaryTreeFlatListAndFields)
{
    const QString dict = QStringLiteral("TST");
    addDictItem(dict, QStringLiteral("2"), QStringLiteral("乙"), QString());
    addDictItem(dict, QStringLiteral("1"), QStringLiteral("甲'--"), QString());
    addDictItem(dict, QStringLiteral("11"), QStringLiteral("甲一"), QStringLiteral("1"));
    addDictItem(dict, QStringLiteral("111"), QStringLiteral("甲一一"), QStringLiteral("11"));
    addDictItem(dict, QStringLiteral("12"), QStringLiteral("停用"), QStringLiteral("1"), 0);
    const CatalogLists lists(db());

    const auto tree = lists.dictionaryTree(dict);
    ASSERT_EQ(tree.size(), 2);
    EXPECT_EQ(tree[0].title, QStringLiteral("甲'--"));
    ASSERT_EQ(tree[0].children.size(), 1); // the inactive entry is left out
    ASSERT_EQ(tree[0].children[0].children.size(), 1);
    EXPECT_EQ(tree[0].children[0].children[0].value, QStringLiteral("111"));
    EXPECT_TRUE(lists.dictionaryTree(QStringLiteral("TST' OR '1'='1")).isEmpty());

    for (int i = 0; i < 520; ++i)
        addDictItem(QStringLiteral("BIG"), QStringLiteral("%1").arg(i, 4, 10, QLatin1Char('0')),
                    QStringLiteral("t%1").arg(i), QString());
    const QStringList titles = lists.dictionaryTitles(QStringLiteral("BIG"));
    ASSERT_EQ(titles.size(), 500);
    EXPECT_EQ(titles.first(), QStringLiteral("t0"));
    EXPECT_EQ(titles.last(), QStringLiteral("t499"));

    const auto fields = lists.fields(QStringLiteral("WHERE UPPER(TblName)='QP_PSNBASE' ORDER BY Ord"));
    ASSERT_FALSE(fields.isEmpty());
    const auto dept = std::find_if(fields.begin(), fields.end(), [](const auto& f) {
        return f.name() == QStringLiteral("DID");
    });
    ASSERT_NE(dept, fields.end());
    EXPECT_EQ(dept->alias(), QStringLiteral("部门"));
    EXPECT_EQ(dept->tableName(), QStringLiteral("qp_PsnBase"));
    EXPECT_EQ(dept->iDataType, 4);
    EXPECT_EQ(dept->Work[0], 0);

    core::tagORVANEITEMINFO info;
    info.setAlias(QString(80, QLatin1Char('x')));
    EXPECT_EQ(info.alias().size(), 49);
}

TEST_F(CatalogTest, BuiltClausesRunAndKeepHostileCaptionsAsNames)
{
    EXPECT_EQ(SqlBuilder::personnelFrom(true),
              QStringLiteral(" FROM qp_PsnBase LEFT OUTER JOIN qp_PsnSort ON "
                             "qp_PsnBase.AID=qp_PsnSort.AID LEFT OUTER JOIN qp_Dept ON "
                             "qp_PsnBase.DID=qp_Dept.DID LEFT JOIN qp_PsnAdj ON "
                             "qp_PsnAdj.PID=qp_PsnBase.PID "));
    EXPECT_EQ(SqlBuilder::personRowsFrom(QStringLiteral("qp_PsnRedeploy")),
              QStringLiteral(" FROM qp_PsnRedeploy INNER JOIN qp_PsnBase ON qp_PsnRedeploy.PID = "
                             "qp_PsnBase.PID INNER JOIN qp_Dept ON qp_PsnRedeploy.DID = "
                             "qp_Dept.DID INNER JOIN qp_PsnSort ON qp_PsnRedeploy.AID = "
                             "qp_PsnSort.AID "));

    const SqlBuilder builder(db());
    const QString columns = builder.personnelColumns();
    EXPECT_TRUE(columns.contains(QStringLiteral("QP_DEPT.Name AS [部门]"))) << columns.toStdString();
    EXPECT_TRUE(columns.contains(QStringLiteral("QP_PSNBASE.Name AS [")));
    EXPECT_FALSE(columns.endsWith(QLatin1Char(',')));

    // A caption with a closing bracket and a comment marker stays one column name.
    ASSERT_TRUE(db().Execute(QStringLiteral(
        "UPDATE qp_Items SET Alias='姓名] FROM qp_Users --' WHERE TblName='qp_PsnBase' AND Name='Name'")));
    ASSERT_TRUE(db().Execute(QStringLiteral(
        "INSERT INTO qp_PsnBase (DID,AID,Number,Name) VALUES (0,1,'0001','张三')")));
    db::CADORecordset rs(&db());
    const QString sql = QStringLiteral("SELECT ") + builder.personnelColumns()
                        + SqlBuilder::personnelFrom();
    ASSERT_TRUE(rs.Open(sql)) << rs.GetLastErrorString().toStdString();
    EXPECT_EQ(rs.GetFieldString(QStringLiteral("姓名] FROM qp_Users --")), QStringLiteral("张三"));

    const QString full = builder.fullPersonnelColumns();
    EXPECT_TRUE(full.startsWith(QStringLiteral("qp_PsnBase.PID,")));
    EXPECT_FALSE(full.endsWith(QLatin1Char(',')));
    EXPECT_TRUE(runs(QStringLiteral("SELECT ") + full + SqlBuilder::personnelFrom(true)));

    const int redeploy = database().scalarInt(
        QStringLiteral("SELECT ID FROM qp_Table WHERE TblName='qp_PsnRedeploy'"));
    ASSERT_GT(redeploy, 0);
    const QString withExtra = builder.fullPersonnelColumns(redeploy);
    EXPECT_TRUE(withExtra.contains(QStringLiteral("qp_PsnRedeploy.")));

    const QString deptColumns = builder.tableColumns(QStringLiteral("qp_dept"));
    EXPECT_TRUE(deptColumns.contains(QStringLiteral("ParentID AS [上级部门]")));
    EXPECT_TRUE(runs(QStringLiteral("SELECT ") + deptColumns + QStringLiteral(" FROM qp_Dept")));
    EXPECT_EQ(builder.tableColumns(QStringLiteral("x' OR '1'='1")), QString());
}

} // namespace orvane::coretest
