#include "server/seeddata.h"

namespace orvane::server {

namespace {

// qp_Table.nType of the fixed tables. 4 marks the tables joined into every personnel query
// (the reminder editor offers their date fields); 5 and 6 are the run-time related-record
// tables and wage sorts.
constexpr int kTypeHistory = 2;
constexpr int kTypeCompanion = 3;
constexpr int kTypePersonnel = 4;

struct TableSeed
{
    int id;
    const char* tblName;
    const char* title;
    int nType;
    int parentId;
    bool hasChild;
    bool show;
    bool stat;
    const char* descr;
};

// Flag 0 shows the system-table icon in the table tree.
const TableSeed kTables[] = {
    {1, "qp_PsnBase", "人员档案", kTypePersonnel, 0, true, true, true, "人员基本信息"},
    {2, "qp_PsnSort", "人员类别", kTypePersonnel, 0, false, true, true, "人员类别"},
    {3, "qp_Dept", "部门", kTypePersonnel, 0, false, true, true, "组织机构"},
    {4, "qp_PsnAdj", "人员照片", kTypeCompanion, 1, false, false, false, "人员照片"},
    {5, "qp_PsnFiles", "人员附件", kTypeCompanion, 1, false, false, false, "人员附件"},
    {6, "qp_PsnRedeploy", "人员调动", kTypeHistory, 0, false, true, false, "人员调动记录"},
    {7, "qp_PsnSortAlter", "人员类别变动", kTypeHistory, 0, false, true, false, "人员类别变动记录"},
};

// iSort: 0 personnel master, 3 categories, 4 departments, 5 other tables.
struct ItemSeed
{
    const char* tblName;
    const char* name;
    const char* alias;
    int dataType;
    int length;
    const char* idRef;
    bool notNull;
    int iFlag;
    int width;
    bool fixed;
};

const ItemSeed kItems[] = {
    {"qp_PsnBase", "Number", "编号", 1, 50, "", true, 0, 80, true},
    {"qp_PsnBase", "Name", "姓名", 1, 50, "", true, 0, 80, true},
    {"qp_PsnBase", "Sex", "性别", 3, 50, "D01", false, 0, 50, true},
    {"qp_PsnBase", "DID", "部门", 4, 4, "QP_DEPT.DID", true, 0, 120, true},
    {"qp_PsnBase", "AID", "人员类别", 4, 4, "QP_PSNSORT.AID", true, 0, 80, true},
    {"qp_PsnBase", "Nation", "民族", 3, 50, "D02", false, 0, 60, true},
    {"qp_PsnBase", "Birthday", "出生日期", 2, 8, "", false, 0, 80, true},
    {"qp_PsnBase", "IDNumber", "身份证号", 1, 20, "", false, 0, 140, true},
    {"qp_PsnBase", "Address", "住址", 1, 100, "", false, 0, 200, true},
    {"qp_PsnBase", "NativePlace", "籍贯", 1, 50, "", false, 0, 80, false},
    {"qp_PsnBase", "Education", "学历", 3, 50, "D03", false, 0, 80, false},
    {"qp_PsnBase", "Degree", "学位", 3, 50, "D04", false, 0, 60, false},
    {"qp_PsnBase", "Political", "政治面貌", 3, 50, "D05", false, 0, 100, false},
    {"qp_PsnBase", "Marital", "婚姻状况", 3, 50, "D06", false, 0, 60, false},
    {"qp_PsnBase", "Health", "健康状况", 3, 50, "D07", false, 0, 60, false},
    {"qp_PsnBase", "TechTitle", "职称", 3, 50, "D08", false, 0, 80, false},
    {"qp_PsnBase", "EmployForm", "用工形式", 3, 50, "D09", false, 0, 80, false},
    {"qp_PsnBase", "WorkDate", "参加工作日期", 2, 8, "", false, 0, 90, false},
    {"qp_PsnBase", "JoinDate", "进入本单位日期", 2, 8, "", false, 0, 90, false},
    {"qp_PsnBase", "Phone", "联系电话", 1, 30, "", false, 0, 100, false},
    {"qp_PsnBase", "Email", "电子邮箱", 1, 50, "", false, 0, 150, false},
    {"qp_PsnBase", "Memo", "备注", 1, 200, "", false, 0, 200, false},

    {"qp_PsnSort", "Name", "类别名称", 1, 50, "", true, 0, 120, true},

    {"qp_Dept", "Name", "部门名称", 1, 50, "", true, 0, 150, true},
    {"qp_Dept", "ParentID", "上级部门", 4, 4, "QP_DEPT.DID", false, 0, 150, true},
    {"qp_Dept", "PNRule", "编号前缀", 1, 50, "", false, 0, 80, true},

    {"qp_PsnFiles", "Name", "文件名", 1, 255, "", true, 0, 200, true},
    {"qp_PsnFiles", "FileSize", "文件大小", 1, 50, "", false, 0, 80, true},
    {"qp_PsnFiles", "AddDate", "添加时间", 2, 8, "", false, 0, 120, true},

    // The wizards fill the "before" columns themselves (iFlag 2 keeps them off the form).
    {"qp_PsnRedeploy", "MobDate", "调动日期", 2, 8, "", true, 0, 80, true},
    {"qp_PsnRedeploy", "BeforeDep", "原部门", 4, 4, "QP_DEPT.DID", false, 2, 120, true},
    {"qp_PsnRedeploy", "AfterDep", "调入部门", 4, 4, "QP_DEPT.DID", true, 0, 120, true},
    {"qp_PsnRedeploy", "Reason", "调动原因", 1, 100, "", false, 0, 200, false},

    {"qp_PsnSortAlter", "ADate", "变动日期", 2, 8, "", true, 0, 80, true},
    {"qp_PsnSortAlter", "OStatus", "原类别", 4, 4, "QP_PSNSORT.AID", false, 2, 100, true},
    {"qp_PsnSortAlter", "NStatus", "新类别", 4, 4, "QP_PSNSORT.AID", true, 0, 100, true},
    {"qp_PsnSortAlter", "Reason", "变动原因", 1, 100, "", false, 0, 200, false},
};

int itemSort(const QString& table)
{
    if (table.compare(QLatin1String("qp_PsnBase"), Qt::CaseInsensitive) == 0)
        return 0;
    if (table.compare(QLatin1String("qp_PsnSort"), Qt::CaseInsensitive) == 0)
        return 3;
    if (table.compare(QLatin1String("qp_Dept"), Qt::CaseInsensitive) == 0)
        return 4;
    return 5;
}

} // namespace

QList<SeedRow> catalogueRows()
{
    QList<SeedRow> rows;
    int ord = 0;
    for (const auto& t : kTables) {
        rows.append(
            {QStringLiteral("qp_Table"),
             {QStringLiteral("ID"), QStringLiteral("TblName"), QStringLiteral("Title"),
              QStringLiteral("nType"), QStringLiteral("ParentID"), QStringLiteral("hasChild"),
              QStringLiteral("Flag"), QStringLiteral("bShow"), QStringLiteral("bStat"),
              QStringLiteral("bFixed"), QStringLiteral("Descr"), QStringLiteral("Ord")},
             {t.id, QString::fromUtf8(t.tblName), QString::fromUtf8(t.title), t.nType, t.parentId,
              int(t.hasChild), 0, int(t.show), int(t.stat), 1, QString::fromUtf8(t.descr), ++ord}});
    }

    QString previousTable;
    for (const auto& i : kItems) {
        const QString table = QString::fromUtf8(i.tblName);
        ord = table == previousTable ? ord + 1 : 1;
        previousTable = table;
        rows.append(
            {QStringLiteral("qp_Items"),
             {QStringLiteral("TblName"), QStringLiteral("Name"), QStringLiteral("Alias"),
              QStringLiteral("iDataType"), QStringLiteral("iLength"), QStringLiteral("bFixed"),
              QStringLiteral("iFlag"), QStringLiteral("IdRef"), QStringLiteral("DefValue"),
              QStringLiteral("bNotNull"), QStringLiteral("bShow"), QStringLiteral("iWid"),
              QStringLiteral("iSort"), QStringLiteral("Ord")},
             {table, QString::fromUtf8(i.name), QString::fromUtf8(i.alias), i.dataType, i.length,
              int(i.fixed), i.iFlag, QString::fromUtf8(i.idRef), QString(), int(i.notNull), 1,
              i.width, itemSort(table), ord}});
    }
    return rows;
}

QList<SeedRow> deliveredRows()
{
    QList<SeedRow> rows = catalogueRows();
    rows += dictionaryRows();
    rows += systemRows();
    return rows;
}

} // namespace orvane::server
