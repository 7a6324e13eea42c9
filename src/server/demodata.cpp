#include "server/demodata.h"

#include "db/cadodatabase.h"
#include "db/cadorecordset.h"
#include "db/transaction.h"
#include "server/seeddata.h"

#include <QDate>
#include <QHash>
#include <QStringList>

#include <random>

namespace orvane::server {

namespace {

struct DeptSpec
{
    const char* name;
    const char* prefix;
    std::initializer_list<DeptSpec> children;
};

const DeptSpec kDepartments[] = {
    {"总经理办公室", "ZB", {}},
    {"人力资源部", "RL", {{"招聘培训科", "RL", {}}, {"薪酬福利科", "RL", {}}}},
    {"财务部", "CW", {{"会计科", "CW", {}}, {"资金科", "CW", {}}}},
    {"技术中心",
     "JS",
     {{"研发一部", "JS", {{"平台组", "JS", {}}, {"应用组", "JS", {}}}},
      {"研发二部", "JS", {}},
      {"测试部", "JS", {}}}},
    {"市场营销部", "SC", {{"华东区", "SC", {}}, {"华南区", "SC", {}}, {"华北区", "SC", {}}}},
    {"生产中心",
     "SC",
     {{"一车间", "SC", {{"装配班", "SC", {}}, {"质检班", "SC", {}}}},
      {"二车间", "SC", {}},
      {"仓储物流部", "SC", {}}}},
    {"行政后勤部", "XZ", {}},
};

const char* const kSurnames[] = {
    "王", "李", "张", "刘", "陈", "杨", "黄", "赵", "吴", "周", "徐",   "孙",   "马",
    "朱", "胡", "郭", "何", "高", "林", "罗", "郑", "梁", "谢", "宋",   "唐",   "许",
    "韩", "冯", "邓", "曹", "彭", "曾", "肖", "田", "董", "袁", "潘",   "于",   "蒋",
    "蔡", "余", "杜", "叶", "程", "苏", "魏", "吕", "丁", "任", "沈",   "姚",   "卢",
    "姜", "崔", "钟", "谭", "陆", "汪", "范", "金", "石", "廖", "贾",   "夏",   "韦",
    "方", "白", "邹", "孟", "熊", "秦", "邱", "江", "尹", "薛", "欧阳", "司马", "上官"};

const char* const kMaleChars[] = {"伟", "强", "磊", "军", "勇", "杰", "涛", "斌", "超", "明",
                                  "刚", "平", "辉", "鹏", "华", "飞", "鑫", "波", "宁", "浩",
                                  "宇", "俊", "凯", "峰", "建", "国", "志", "文", "东", "海",
                                  "晨", "博", "然", "轩", "睿", "泽", "子", "天", "昊", "一"};
const char* const kFemaleChars[] = {"芳", "娜", "敏", "静", "丽", "艳", "娟", "霞", "玲", "燕",
                                    "秀", "婷", "雪", "慧", "倩", "琳", "欣", "颖", "佳", "梅",
                                    "晶", "莉", "洁", "萍", "红", "兰", "雨", "萱", "怡", "涵",
                                    "诗", "梦", "思", "悦", "彤", "晓", "文", "月", "心", "可"};

const char* const kRegions[] = {"110101", "310104", "440106", "320102", "330106", "510107",
                                "420106", "610113", "370102", "210102", "350102", "430102"};

template <typename T, std::size_t N> const char* pick(std::minstd_rand& rng, const T (&table)[N])
{
    return table[std::uniform_int_distribution<std::size_t>(0, N - 1)(rng)];
}

int between(std::minstd_rand& rng, int low, int high)
{
    return std::uniform_int_distribution<int>(low, high)(rng);
}

QString quoted(const QString& text)
{
    QString out = text;
    out.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + out + QLatin1Char('\'');
}

// 18-character identity number: region, birthday, sequence (odd for men), ISO 7064 check.
QString identityNumber(std::minstd_rand& rng, const QDate& birthday, bool male)
{
    int sequence = between(rng, 0, 499) * 2 + (male ? 1 : 0);
    QString body = QString::fromLatin1(pick(rng, kRegions)) + birthday.toString(u"yyyyMMdd") +
                   QStringLiteral("%1").arg(sequence, 3, 10, QLatin1Char('0'));
    static const int weights[17] = {7, 9, 10, 5, 8, 4, 2, 1, 6, 3, 7, 9, 10, 5, 8, 4, 2};
    int sum = 0;
    for (int i = 0; i < 17; ++i)
        sum += (body.at(i).unicode() - '0') * weights[i];
    return body + QLatin1Char("10X98765432"[sum % 11]);
}

// A rights text whose empty category and department lists are filled with every key, so that a
// demo operator sees the whole demo organisation and passes the operator editor's checks.
QString withKeyLists(const QString& purview, const QString& categories, const QString& departments)
{
    QStringList parts = purview.split(QLatin1Char('|'));
    while (parts.size() < 4)
        parts << QString();
    if (parts[1].isEmpty())
        parts[1] = categories;
    if (parts[2].isEmpty())
        parts[2] = departments;
    return parts.join(QLatin1Char('|'));
}

class Filler
{
public:
    Filler(db::CADODatabase& database, QString* error) : m_db(database), m_error(error) {}

    bool exec(const QString& sql)
    {
        if (m_db.Execute(sql))
            return true;
        if (m_error)
            *m_error = m_db.GetLastErrorString();
        return false;
    }

    int lastId(const QString& table, const QString& key)
    {
        db::CADORecordset rs(&m_db);
        if (!rs.Open(QStringLiteral("SELECT MAX(%1) AS k FROM %2").arg(key, table)) || rs.IsEOF())
            return 0;
        return rs.GetFieldString(QStringLiteral("k")).toInt();
    }

    // The keys the query lists, joined by ','.
    QString keyList(const QString& sql)
    {
        QStringList keys;
        db::CADORecordset rs(&m_db);
        if (rs.Open(sql)) {
            for (; !rs.IsEOF(); rs.MoveNext()) {
                int key = 0;
                rs.GetFieldValue(0, key);
                keys << QString::number(key);
            }
        }
        return keys.join(QLatin1Char(','));
    }

    // Adds the department and its children; leaves get people.
    bool addDepartment(const DeptSpec& spec, int parentId, const QString& parentPath, int ord)
    {
        if (!exec(QStringLiteral("INSERT INTO qp_Dept (ParentID,Name,Ord,ParentArr,PNRule) "
                                 "VALUES (%1,%2,%3,'',%4)")
                      .arg(parentId)
                      .arg(quoted(QString::fromUtf8(spec.name)))
                      .arg(ord)
                      .arg(quoted(QString::fromLatin1(spec.prefix)))))
            return false;
        const int id = lastId(QStringLiteral("qp_Dept"), QStringLiteral("DID"));
        const QString path = parentId == 0 ? QStringLiteral("|%1|").arg(id)
                                           : QStringLiteral("|%1").arg(id) + parentPath;
        if (!exec(
                QStringLiteral("UPDATE qp_Dept SET ParentArr='%1' WHERE DID=%2").arg(path).arg(id)))
            return false;
        ++departments;
        departmentIds.append(id);
        int childOrd = 1;
        for (const DeptSpec& child : spec.children) {
            if (!addDepartment(child, id, path, childOrd++))
                return false;
        }
        return true;
    }

    // Title of a delivered dictionary entry; the code itself when the entry is unknown.
    QString dictionaryTitle(const QString& dictId, const QString& code)
    {
        if (m_dictTitles.isEmpty()) {
            for (const SeedRow& row : dictionaryRows()) {
                if (row.table == QLatin1String("qp_DictItem"))
                    m_dictTitles.insert(row.values[0].toString() + QLatin1Char('/') +
                                            row.values[1].toString(),
                                        row.values[2].toString());
            }
        }
        return m_dictTitles.value(dictId + QLatin1Char('/') + code, code);
    }

    bool addPersons(int count)
    {
        std::minstd_rand rng(20260101u);
        std::vector<int> ordPerDept(departmentIds.size(), 0);
        const int batch = 200;
        QStringList rows;
        rows.reserve(batch);
        for (int i = 0; i < count; ++i) {
            const bool male = between(rng, 0, 99) < 54;
            QString name = QString::fromUtf8(pick(rng, kSurnames));
            const int given = between(rng, 0, 9) < 7 ? 2 : 1;
            for (int g = 0; g < given; ++g)
                name += QString::fromUtf8(male ? pick(rng, kMaleChars) : pick(rng, kFemaleChars));
            const QDate birthday = QDate(1962, 1, 1).addDays(between(rng, 0, 40 * 365));
            QDate workDate = birthday.addYears(between(rng, 18, 24)).addDays(between(rng, 0, 300));
            const QDate last(2026, 6, 30);
            if (workDate > last)
                workDate = last;
            QDate joinDate = workDate.addDays(between(rng, 0, 15 * 365));
            if (joinDate > last)
                joinDate = last;
            const int deptIndex = between(rng, 0, int(departmentIds.size()) - 1);
            const int r = between(rng, 0, 99);
            const int category = r < 88 ? 1 : (r < 93 ? 2 : (r < 97 ? 3 : extraCategory));
            // Dictionary fields hold the entry's title, as the record form stores them.
            const QString nation = dictionaryTitle(
                QStringLiteral("D02"),
                between(rng, 0, 99) < 91
                    ? QStringLiteral("01")
                    : QStringLiteral("%1").arg(between(rng, 2, 56), 2, 10, QLatin1Char('0')));
            rows << QStringLiteral("(%1,%2,'%3',%4,'%5','%6','%7','%8','%9','%10','%11',%12)")
                        .arg(departmentIds[deptIndex])
                        .arg(category)
                        .arg(QStringLiteral("E%1").arg(i + 1, 6, 10, QLatin1Char('0')))
                        .arg(quoted(name))
                        .arg(dictionaryTitle(QStringLiteral("D01"),
                                             male ? QStringLiteral("1") : QStringLiteral("2")))
                        .arg(nation)
                        .arg(birthday.toString(Qt::ISODate))
                        .arg(identityNumber(rng, birthday, male))
                        .arg(workDate.toString(Qt::ISODate))
                        .arg(joinDate.toString(Qt::ISODate))
                        .arg(QStringLiteral("13%1").arg(between(rng, 0, 999999999), 9, 10,
                                                        QLatin1Char('0')))
                        .arg(++ordPerDept[deptIndex]);
            if (rows.size() == batch || i == count - 1) {
                if (!exec(QStringLiteral("INSERT INTO qp_PsnBase (DID,AID,Number,Name,Sex,Nation,"
                                         "Birthday,IDNumber,WorkDate,JoinDate,Phone,Ord) VALUES ") +
                          rows.join(QLatin1Char(','))))
                    return false;
                rows.clear();
            }
        }
        persons = count;
        return true;
    }

    db::CADODatabase& m_db;
    QString* m_error;
    QList<int> departmentIds;
    QHash<QString, QString> m_dictTitles;
    int departments = 0;
    int persons = 0;
    int extraCategory = 1;
};

} // namespace

bool fillDemoData(db::CADODatabase& database, int persons, const QList<DemoOperator>& operators,
                  DemoDataCounts* counts, QString* error)
{
    if (persons < 0) {
        if (error)
            *error = QStringLiteral("the number of persons must not be negative");
        return false;
    }
    if (!database.IsOpen()) {
        if (error)
            *error = QStringLiteral("the database is not open");
        return false;
    }
    db::Transaction transaction(database);
    Filler filler(database, error);
    int ord = 1;
    for (const DeptSpec& spec : kDepartments) {
        if (!filler.addDepartment(spec, 0, QString(), ord++))
            return false;
    }
    if (!filler.exec(QStringLiteral("INSERT INTO qp_PsnSort (Name,Ord) VALUES ('外聘人员',4)")))
        return false;
    filler.extraCategory = filler.lastId(QStringLiteral("qp_PsnSort"), QStringLiteral("AID"));
    if (!filler.addPersons(persons))
        return false;
    const QString allCategories =
        filler.keyList(QStringLiteral("SELECT AID FROM qp_PsnSort ORDER BY Ord"));
    const QString allDepartments =
        filler.keyList(QStringLiteral("SELECT DID FROM qp_Dept ORDER BY Ord"));
    for (DemoOperator op : operators) {
        op.purview = withKeyLists(op.purview, allCategories, allDepartments);
        if (!filler.exec(QStringLiteral("INSERT INTO qp_Users (UserName,Pwd,Locked,ISuper,Descr,"
                                        "Purview) VALUES (%1,%2,0,%3,%4,%5)")
                             .arg(quoted(op.name), quoted(op.passwordHash))
                             .arg(op.super ? 1 : 0)
                             .arg(quoted(op.description), quoted(op.purview))))
            return false;
    }
    if (!transaction.commit()) {
        if (error)
            *error = QStringLiteral("could not commit: %1").arg(database.GetLastErrorString());
        return false;
    }
    if (counts) {
        counts->departments = filler.departments;
        counts->categories = 1;
        counts->persons = filler.persons;
        counts->operators = int(operators.size());
    }
    return true;
}

} // namespace orvane::server
