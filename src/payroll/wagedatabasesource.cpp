#include "payroll/wagedatabasesource.h"

#include "script/scripterror.h"
#include "script/wagecontext.h"

#include "db/cadocommand.h"
#include "db/cadodatabase.h"
#include "db/cadorecordset.h"

#include <QDateTime>
#include <QString>

#include <optional>

namespace orvane::payroll {

namespace {

QString text(const std::string& s)
{
    return QString::fromStdString(s);
}

[[noreturn]] void raise(const QString& description)
{
    throw script::ScriptException(script::err::CannotPerformOperation, description.toStdString(),
                                  "Orvane");
}

script::Variant toVariant(const QVariant& value)
{
    if (value.isNull() || !value.isValid())
        return script::Variant();
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return script::Variant::fromDouble(double(value.toLongLong()));
    case QMetaType::QString:
        return script::Variant::fromString(value.toString().toStdU16String());
    default:
        break;
    }
    return script::Variant::fromDouble(value.toDouble());
}

// Runs a procedure with named parameters and gives the first value of its first row.
script::Variant firstValue(db::CADOCommand& cmd)
{
    db::CADORecordset rs(cmd.GetDatabase());
    if (!rs.Open(cmd))
        raise(rs.GetErrorDescription().isEmpty() ? cmd.GetErrorDescription()
                                                 : rs.GetErrorDescription());
    if (rs.IsEOF() || rs.GetFieldCount() == 0)
        return script::Variant();
    QVariant value;
    rs.GetFieldValue(0, value);
    return toVariant(value);
}

} // namespace

script::Variant WageDatabaseSource::count(const script::WageContext& context)
{
    db::CADORecordset rs(&m_db);
    if (!rs.Open(QStringLiteral("SELECT COUNT(*) ") + text(context.fromWhere)))
        raise(rs.GetErrorDescription());
    QVariant value;
    if (!rs.IsEOF())
        rs.GetFieldValue(0, value);
    return script::Variant::fromLong(value.toInt());
}

script::Variant WageDatabaseSource::aggregate(const script::WageContext& context,
                                              const std::string& function,
                                              const std::string& itemCaption)
{
    db::CADOCommand cmd(&m_db, QStringLiteral("qp_GetAggregeWageValue"));
    cmd.AddParameter(QStringLiteral("SID"), db::adInteger, db::adParamInput, 4, context.sortId);
    cmd.AddParameter(QStringLiteral("FromWhereSql"), db::adVarChar, db::adParamInput, 1000,
                     text(context.fromWhere));
    cmd.AddParameter(QStringLiteral("ItmAlias"), db::adVarChar, db::adParamInput, 50,
                     text(itemCaption));
    cmd.AddParameter(QStringLiteral("AgFun"), db::adVarChar, db::adParamInput, 10, text(function));
    return firstValue(cmd);
}

namespace {

// The parameters GETSALARY and GETPRESALARY share, around the periods of the latter.
void addPersonItem(db::CADOCommand& cmd, const std::string& personNumber, int fDate,
                   const std::optional<int>& periodsBack, const std::string& itemCaption,
                   const std::string& sortTitle)
{
    cmd.AddParameter(QStringLiteral("PsnNumber"), db::adVarChar, db::adParamInput, 50,
                     text(personNumber));
    cmd.AddParameter(QStringLiteral("nFDate"), db::adInteger, db::adParamInput, 4, fDate);
    if (periodsBack)
        cmd.AddParameter(QStringLiteral("nPer"), db::adInteger, db::adParamInput, 4, *periodsBack);
    cmd.AddParameter(QStringLiteral("ItmAlias"), db::adVarChar, db::adParamInput, 50,
                     text(itemCaption));
    cmd.AddParameter(QStringLiteral("SortName"), db::adVarChar, db::adParamInput, 100,
                     text(sortTitle));
}

} // namespace

script::Variant WageDatabaseSource::salary(const std::string& personNumber,
                                           const std::string& sortTitle, int fDate,
                                           const std::string& itemCaption)
{
    db::CADOCommand cmd(&m_db, QStringLiteral("qp_GetPSNWageValue"));
    addPersonItem(cmd, personNumber, fDate, std::nullopt, itemCaption, sortTitle);
    return firstValue(cmd);
}

script::Variant WageDatabaseSource::previousSalary(const std::string& personNumber,
                                                   const std::string& sortTitle, int fDate,
                                                   int periodsBack, const std::string& itemCaption)
{
    db::CADOCommand cmd(&m_db, QStringLiteral("qp_GetPSNPreWageValue"));
    addPersonItem(cmd, personNumber, fDate, periodsBack, itemCaption, sortTitle);
    return firstValue(cmd);
}

} // namespace orvane::payroll
