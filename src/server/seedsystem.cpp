#include "server/seeddata.h"

#include "server/schema.h"

namespace orvane::server {

namespace {

SeedRow option(int nType, const QString& content)
{
    return {QStringLiteral("qp_SysOption"),
            {QStringLiteral("nType"), QStringLiteral("sContent")},
            {nType, content}};
}

SeedRow category(const char* name, int ord)
{
    return {QStringLiteral("qp_PsnSort"),
            {QStringLiteral("Name"), QStringLiteral("Ord")},
            {QString::fromUtf8(name), ord}};
}

SeedRow statItem(const char* caption, const char* table, const char* field, int ord)
{
    return {QStringLiteral("qp_Stat"),
            {QStringLiteral("sCaption"), QStringLiteral("sFlag"), QStringLiteral("bFixed"),
             QStringLiteral("sTblName"), QStringLiteral("sFldName"), QStringLiteral("Ord")},
            {QString::fromUtf8(caption), 1, 0, QString::fromLatin1(table),
             QString::fromLatin1(field), ord}};
}

} // namespace

QString deliveredScriptLibrary()
{
    return QStringLiteral(
        "' 系统函数库：薪资公式和打印模板脚本都可以调用这里的函数。\r\n"
        "\r\n"
        "' 个人所得税（按月，综合所得税率表）：Income 为应税收入，Threshold 为起征点（传 0 时按 "
        "5000）。\r\n"
        "Function IncomeTax(Income, Threshold)\r\n"
        "    Dim t\r\n"
        "    If Threshold <= 0 Then Threshold = 5000\r\n"
        "    t = Income - Threshold\r\n"
        "    If t <= 0 Then\r\n"
        "        IncomeTax = 0\r\n"
        "        Exit Function\r\n"
        "    End If\r\n"
        "    Select Case True\r\n"
        "        Case t <= 3000\r\n"
        "            IncomeTax = t * 0.03\r\n"
        "        Case t <= 12000\r\n"
        "            IncomeTax = t * 0.1 - 210\r\n"
        "        Case t <= 25000\r\n"
        "            IncomeTax = t * 0.2 - 1410\r\n"
        "        Case t <= 35000\r\n"
        "            IncomeTax = t * 0.25 - 2660\r\n"
        "        Case t <= 55000\r\n"
        "            IncomeTax = t * 0.3 - 4410\r\n"
        "        Case t <= 80000\r\n"
        "            IncomeTax = t * 0.35 - 7160\r\n"
        "        Case Else\r\n"
        "            IncomeTax = t * 0.45 - 15160\r\n"
        "    End Select\r\n"
        "    IncomeTax = Round(IncomeTax, 2)\r\n"
        "End Function\r\n"
        "\r\n"
        "' 较大值与较小值。\r\n"
        "Function MaxOf(a, b)\r\n"
        "    If a > b Then MaxOf = a Else MaxOf = b\r\n"
        "End Function\r\n"
        "\r\n"
        "Function MinOf(a, b)\r\n"
        "    If a < b Then MinOf = a Else MinOf = b\r\n"
        "End Function\r\n"
        "\r\n"
        "' 按天数折算：月薪 Amount 按实际出勤 Days / 应出勤 WorkDays 折算，保留两位小数。\r\n"
        "Function ProRata(Amount, Days, WorkDays)\r\n"
        "    If WorkDays <= 0 Then\r\n"
        "        ProRata = 0\r\n"
        "    Else\r\n"
        "        ProRata = Round(Amount * Days / WorkDays, 2)\r\n"
        "    End If\r\n"
        "End Function\r\n");
}

QList<SeedRow> systemRows()
{
    QList<SeedRow> rows;
    rows.append({QStringLiteral("qp_SchemaVersion"),
                 {QStringLiteral("Version"), QStringLiteral("Descr")},
                 {kSchemaVersion, QStringLiteral("initial database")}});

    // Personnel numbers: sequence only, at least 6 digits, no prefix.
    rows.append(option(0, QStringLiteral("0|6|")));
    rows.append(option(1, deliveredScriptLibrary()));
    rows.append(option(2, QStringLiteral("60")));

    // The super operator holds every right through ISuper; the mask is filled in as well so
    // that the operator editor shows every box ticked.
    rows.append({QStringLiteral("qp_Users"),
                 {QStringLiteral("UserName"), QStringLiteral("Pwd"), QStringLiteral("Locked"),
                  QStringLiteral("ISuper"), QStringLiteral("Descr"), QStringLiteral("Purview")},
                 {QString::fromLatin1(kSuperOperatorName), QString(), 0, 1,
                  QStringLiteral("系统管理员"), QStringLiteral("ffffffffffffffff|1,2,3||")}});

    rows.append(category("在职人员", 1));
    rows.append(category("离职人员", 2));
    rows.append(category("退休人员", 3));

    // The personnel field that holds a person's mail address, by caption.
    rows.append({QStringLiteral("qp_BatchMailSet"),
                 {QStringLiteral("dt"), QStringLiteral("dbfield")},
                 {0, QStringLiteral("电子邮箱")}});

    rows.append(statItem("性别构成", "qp_PsnBase", "Sex", 1));
    rows.append(statItem("民族构成", "qp_PsnBase", "Nation", 2));
    rows.append(statItem("学历构成", "qp_PsnBase", "Education", 3));
    rows.append(statItem("政治面貌构成", "qp_PsnBase", "Political", 4));
    return rows;
}

} // namespace orvane::server
