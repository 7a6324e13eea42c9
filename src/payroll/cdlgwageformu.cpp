#include "payroll/cdlgwageformu.h"

#include "core/corvaneapp.h"
#include "core/sqltext.h"

#include "db/cadorecordset.h"

#include <QDir>
#include <QFile>
#include <QXmlStreamReader>

#include <utility>

namespace orvane::payroll {

namespace {

QStringList captions(db::CADODatabase& database, const QString& sql)
{
    QStringList out;
    db::CADORecordset rs(&database);
    if (rs.Open(sql)) {
        for (; !rs.IsEOF(); rs.MoveNext())
            out << rs.GetFieldString(QStringLiteral("Alias"));
    }
    return out;
}

} // namespace

CDlgWageFormu::CDlgWageFormu(core::COrvaneApp& app, int sortId, QString itemCaption,
                             QString formulaText)
    : formula(std::move(formulaText)), m_app(app), m_caption(std::move(itemCaption))
{
    db::CADODatabase& database = m_app.database();
    db::CADORecordset sort(&database);
    if (sort.Open(QStringLiteral("SELECT Title,TblName FROM qp_Table WHERE nType=6 AND ID=%1")
                      .arg(sortId)) &&
        !sort.IsEOF()) {
        const QString table = sort.GetFieldString(QStringLiteral("TblName"));
        m_fields.append(
            {sort.GetFieldString(QStringLiteral("Title")),
             captions(database, QStringLiteral("SELECT ItemID,Alias FROM qp_Items WHERE "
                                               "UPPER(TblName)='%1' AND iDataType<4 "
                                               "ORDER BY Ord")
                                    .arg(core::sqlEscape(table.toUpper())))});
    }
    db::CADORecordset psn(&database);
    if (psn.Open(QStringLiteral("SELECT Title FROM qp_Table WHERE UPPER(TblName)='QP_PSNBASE'")) &&
        !psn.IsEOF())
        m_fields.append(
            {psn.GetFieldString(QStringLiteral("Title")),
             captions(database, QStringLiteral("SELECT ItemID,Alias FROM qp_Items WHERE "
                                               "UPPER(TblName)='QP_PSNBASE' AND "
                                               "iDataType<4 ORDER BY Ord"))});
    m_functions = {{QStringLiteral("系统常数"), {}},
                   {QStringLiteral("系统函数"), {}},
                   {QStringLiteral("VBScript函数"), {}}};
    loadCatalogue(cataloguePath(m_app.programFolder()));
}

QString CDlgWageFormu::windowTitle() const
{
    return QStringLiteral("[%1] - 公式设置").arg(m_caption);
}

QString CDlgWageFormu::fieldReference(const QString& tableTitle, const QString& caption)
{
    return QLatin1Char('[') + tableTitle + QLatin1Char('.') + caption + QLatin1Char(']');
}

QString CDlgWageFormu::cataloguePath(const QString& programFolder)
{
    return QDir(programFolder).filePath(QStringLiteral("funcdescr.xml"));
}

void CDlgWageFormu::loadCatalogue(const QString& path)
{
    for (FunctionGroup& group : m_functions)
        group.functions.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    QXmlStreamReader xml(&file);
    int group = -1;
    Function current;
    QString element;
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::StartElement:
            if (xml.name() == QLatin1String("function")) {
                const auto type = xml.attributes().value(QLatin1String("type"));
                group = type == QLatin1String("const")      ? 0
                        : type == QLatin1String("system")   ? 1
                        : type == QLatin1String("vbscript") ? 2
                                                            : -1;
                current = Function();
            } else if (group >= 0 && (xml.name() == QLatin1String("name") ||
                                      xml.name() == QLatin1String("description"))) {
                element = xml.name().toString();
                const QString text = xml.readElementText().trimmed();
                (element == QLatin1String("name") ? current.name : current.description) = text;
            }
            break;
        case QXmlStreamReader::EndElement:
            if (xml.name() == QLatin1String("function") && group >= 0 && !current.name.isEmpty())
                m_functions[group].functions.append(current);
            if (xml.name() == QLatin1String("function"))
                group = -1;
            break;
        default:
            break;
        }
    }
    // A malformed file keeps what was read before the error.
}

QString CDlgWageFormu::description(const QString& functionName) const
{
    for (const FunctionGroup& group : m_functions) {
        for (const Function& f : group.functions) {
            if (f.name == functionName)
                return f.description;
        }
    }
    return {};
}

const QList<CDlgWageFormu::Button>& CDlgWageFormu::buttons()
{
    static const QList<Button> list = [] {
        QList<Button> b = {{QStringLiteral("+"), QStringLiteral("加")},
                           {QStringLiteral("-"), QStringLiteral("减")},
                           {QStringLiteral("*"), QStringLiteral("乘")},
                           {QStringLiteral("/"), QStringLiteral("除")},
                           {QStringLiteral("="), QStringLiteral("等号")},
                           {QStringLiteral(">"), QStringLiteral("大于号")},
                           {QStringLiteral("<"), QStringLiteral("小于号")},
                           {QStringLiteral("<>"), QStringLiteral("不等号")},
                           {QStringLiteral("("), QStringLiteral("左小括号")},
                           {QStringLiteral(")"), QStringLiteral("右小括号")},
                           {QStringLiteral(" And "), QStringLiteral("并且")},
                           {QStringLiteral(" Or "), QStringLiteral("或者")}};
        for (int d = 0; d <= 9; ++d)
            b.append({QString::number(d), QStringLiteral("数字%1").arg(d)});
        b.append({QStringLiteral("."), QStringLiteral("小数点")});
        b.append({QStringLiteral(","), QStringLiteral("逗号")});
        return b;
    }();
    return list;
}

} // namespace orvane::payroll
