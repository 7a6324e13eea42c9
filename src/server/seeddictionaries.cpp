#include "server/seeddata.h"

#include <initializer_list>
#include <utility>

namespace orvane::server {

namespace {

using Entries = std::initializer_list<std::pair<const char*, const char*>>;

struct DictSeed
{
    const char* dictId;
    const char* title;
    Entries entries;
};

// Codes follow the national standards where one exists: sex GB/T 2261.1, nationalities
// GB/T 3304, education GB/T 4658, degree GB/T 6864, political status GB/T 4762, marital status
// GB/T 2261.2, health GB/T 2261.3.
const DictSeed kDictionaries[] = {
    {"D01", "性别", {{"1", "男"}, {"2", "女"}}},
    {"D02",
     "民族",
     {{"01", "汉族"},       {"02", "蒙古族"},   {"03", "回族"},       {"04", "藏族"},
      {"05", "维吾尔族"},   {"06", "苗族"},     {"07", "彝族"},       {"08", "壮族"},
      {"09", "布依族"},     {"10", "朝鲜族"},   {"11", "满族"},       {"12", "侗族"},
      {"13", "瑶族"},       {"14", "白族"},     {"15", "土家族"},     {"16", "哈尼族"},
      {"17", "哈萨克族"},   {"18", "傣族"},     {"19", "黎族"},       {"20", "傈僳族"},
      {"21", "佤族"},       {"22", "畲族"},     {"23", "高山族"},     {"24", "拉祜族"},
      {"25", "水族"},       {"26", "东乡族"},   {"27", "纳西族"},     {"28", "景颇族"},
      {"29", "柯尔克孜族"}, {"30", "土族"},     {"31", "达斡尔族"},   {"32", "仫佬族"},
      {"33", "羌族"},       {"34", "布朗族"},   {"35", "撒拉族"},     {"36", "毛南族"},
      {"37", "仡佬族"},     {"38", "锡伯族"},   {"39", "阿昌族"},     {"40", "普米族"},
      {"41", "塔吉克族"},   {"42", "怒族"},     {"43", "乌孜别克族"}, {"44", "俄罗斯族"},
      {"45", "鄂温克族"},   {"46", "德昂族"},   {"47", "保安族"},     {"48", "裕固族"},
      {"49", "京族"},       {"50", "塔塔尔族"}, {"51", "独龙族"},     {"52", "鄂伦春族"},
      {"53", "赫哲族"},     {"54", "门巴族"},   {"55", "珞巴族"},     {"56", "基诺族"}}},
    {"D03",
     "学历",
     {{"11", "博士研究生"},
      {"14", "硕士研究生"},
      {"21", "大学本科"},
      {"31", "大学专科"},
      {"41", "中等专科"},
      {"44", "职业高中"},
      {"61", "普通高中"},
      {"71", "初中"},
      {"81", "小学"},
      {"90", "其他"}}},
    {"D04", "学位", {{"2", "博士"}, {"3", "硕士"}, {"4", "学士"}, {"9", "无"}}},
    {"D05",
     "政治面貌",
     {{"01", "中国共产党党员"},
      {"02", "中国共产党预备党员"},
      {"03", "中国共产主义青年团团员"},
      {"04", "中国国民党革命委员会会员"},
      {"05", "中国民主同盟盟员"},
      {"06", "中国民主建国会会员"},
      {"07", "中国民主促进会会员"},
      {"08", "中国农工民主党党员"},
      {"09", "中国致公党党员"},
      {"10", "九三学社社员"},
      {"11", "台湾民主自治同盟盟员"},
      {"12", "无党派人士"},
      {"13", "群众"}}},
    {"D06",
     "婚姻状况",
     {{"10", "未婚"}, {"20", "已婚"}, {"30", "丧偶"}, {"40", "离婚"}, {"90", "未说明"}}},
    {"D07", "健康状况", {{"1", "健康"}, {"2", "一般"}, {"3", "有慢性病"}, {"6", "残疾"}}},
    {"D08",
     "职称",
     {{"1", "正高级"},
      {"2", "副高级"},
      {"3", "中级"},
      {"4", "助理级"},
      {"5", "员级"},
      {"9", "无"}}},
    {"D09",
     "用工形式",
     {{"1", "正式在编"},
      {"2", "劳动合同"},
      {"3", "劳务派遣"},
      {"4", "临时聘用"},
      {"5", "退休返聘"},
      {"6", "实习"}}},
    {"D10",
     "职务级别",
     {{"1", "高层管理"}, {"2", "中层管理"}, {"3", "基层管理"}, {"4", "普通员工"}}},
};

} // namespace

QList<SeedRow> dictionaryRows()
{
    QList<SeedRow> rows;
    int ord = 0;
    for (const auto& d : kDictionaries) {
        const QString dictId = QString::fromLatin1(d.dictId);
        rows.append({QStringLiteral("qp_Dict"),
                     {QStringLiteral("DictId"), QStringLiteral("Title"), QStringLiteral("Active"),
                      QStringLiteral("Ord")},
                     {dictId, QString::fromUtf8(d.title), 1, ++ord}});
        for (const auto& [code, title] : d.entries) {
            rows.append(
                {QStringLiteral("qp_DictItem"),
                 {QStringLiteral("DictId"), QStringLiteral("DictValue"), QStringLiteral("Title"),
                  QStringLiteral("ParentValue"), QStringLiteral("hasChild"),
                  QStringLiteral("Active")},
                 {dictId, QString::fromLatin1(code), QString::fromUtf8(title), QString(), 0, 1}});
        }
    }
    return rows;
}

} // namespace orvane::server
