#include "wagecalc_reference.h"

#include "payroll/wagecalc.h"
#include "payroll/wagecellvalue.h"
#include "payroll/wagescriptsession.h"

#include "script/conversions.h"
#include "script/formula.h"

#include "db/cadocommand.h"
#include "db/cadodatabase.h"
#include "db/cadorecordset.h"
#include "db/resultset.h"

#include <QRegularExpression>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>

namespace orvane::payrolltest {

namespace {

double rounded(double value, int choice, int decimals)
{
    if (choice == 1)
        return std::floor(value);
    if (choice == 2)
        return std::ceil(value);
    char text[400];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return std::strtod(text, nullptr);
}

QString literal(double value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.17g", value);
    return QString::fromLatin1(text);
}

// The SQL literal a result is written as; nullopt when the numeric column cannot take it.
std::optional<QString> storedLiteral(const script::Variant& r, int choice, int decimals)
{
    using script::VarType;
    switch (r.type()) {
    case VarType::Double:
    case VarType::Single:
    case VarType::Currency:
        return literal(rounded(script::toDouble(r), choice, decimals));
    case VarType::Byte:
    case VarType::Integer:
    case VarType::Long:
        return QString::number(script::toLong(r));
    case VarType::Boolean:
        return QString::number(r.boolValue() ? -1 : 0);
    case VarType::String:
        if (const auto v = script::parseNumber(r.stringValue()))
            return literal(rounded(*v, 0, 4));
        return std::nullopt;
    case VarType::Empty:
    case VarType::Null:
        return QStringLiteral("NULL");
    default:
        return std::nullopt;
    }
}

} // namespace

std::vector<ReferenceFailure> referenceCalculateMonth(db::CADODatabase& database,
                                                      payroll::WageScriptSession& session,
                                                      const payroll::WageViewFilter& filter)
{
    std::vector<ReferenceFailure> failures;
    const QString table = payroll::WageViewFilter::dataTable(database, filter.sortId);
    const QString where = filter.whereText(table);
    const QString from = payroll::WageViewFilter::fromClause(table);
    session.context().sortId = filter.sortId;
    session.context().sortTitle =
        payroll::WageViewFilter::sortTitle(database, filter.sortId).toStdString();
    session.context().fDate = filter.fDate;
    session.context().fromWhere = (from + where).toStdString();
    session.setDataSource(nullptr);

    db::CADORecordset items(&database);
    if (!items.Open(QStringLiteral("SELECT Name,Alias,iDec,iChoice,FExp,StdTblID,iProperty FROM "
                                   "qp_Items WHERE ((UPPER(TblName)='%1' AND Active=1 AND "
                                   "iDataType=0) AND (iProperty=1 OR iProperty=2)) ORDER BY OrdF")
                        .arg(table.toUpper())))
        return failures;
    static const QRegularExpression placeholder(QStringLiteral("\\{([^{}]*)\\}"));
    for (; !items.IsEOF(); items.MoveNext()) {
        const QString name = items.GetFieldString(QStringLiteral("Name"));
        const QString caption = items.GetFieldString(QStringLiteral("Alias"));
        const int decimals = items.GetFieldInt(QStringLiteral("iDec"));
        const int choice = items.GetFieldInt(QStringLiteral("iChoice"));
        const QString fexp = items.GetFieldString(QStringLiteral("FExp"));
        const int stdId = items.GetFieldInt(QStringLiteral("StdTblID"));
        const bool standard = items.GetFieldInt(QStringLiteral("iProperty")) == 2;

        db::ResultSet rows;
        db::BackendError error;
        if (!database.runQuery(QStringLiteral("SELECT * ") + from + where + QLatin1Char(' ') +
                                   payroll::WageViewFilter::orderBy(table),
                               rows, false, error))
            return failures;
        const int idColumn = rows.columnIndex(QStringLiteral("ID"));
        const int pidColumn = rows.columnIndex(QStringLiteral("PID"));
        const int numberColumn = rows.columnIndex(QStringLiteral("Number"));
        for (int r = 0; r < rows.rowCount(); ++r) {
            QString value;
            if (standard) {
                db::CADOCommand cmd(&database, QStringLiteral("qp_GetWageStdTableByPsn"));
                cmd.AddParameter(QStringLiteral("psnID"), db::adInteger, db::adParamInput, 4,
                                 rows.at(r, pidColumn).toInt());
                cmd.AddParameter(QStringLiteral("nFDate"), db::adInteger, db::adParamInput, 4,
                                 filter.fDate);
                cmd.AddParameter(QStringLiteral("stdTableId"), db::adInteger, db::adParamInput, 4,
                                 stdId);
                db::CADORecordset amount(&database);
                QVariant money;
                if (amount.Open(cmd) && !amount.IsEOF())
                    amount.GetFieldValue(0, money);
                value = money.isNull() ? QStringLiteral("NULL")
                                       : literal(rounded(money.toDouble(), choice, decimals));
            } else {
                std::vector<std::string> names;
                std::vector<script::Variant> values;
                bool known = true;
                for (auto m = placeholder.globalMatch(fexp); m.hasNext();) {
                    const QString field = m.next().captured(1);
                    const int column = rows.columnIndex(field);
                    if (column < 0) {
                        known = false;
                        break;
                    }
                    names.push_back(field.toStdString());
                    values.push_back(payroll::wageCellVariant(
                        rows.at(r, column), rows.columns[size_t(column)].adoType));
                }
                std::string text;
                script::Variant result;
                std::optional<QString> stored;
                if (known && script::Formula::substitute(fexp.toStdString(), names, values, text) &&
                    session.engine().evaluate(text, result))
                    stored = storedLiteral(result, choice, decimals);
                if (!stored) {
                    failures.push_back({caption, rows.at(r, numberColumn).toString()});
                    break;
                }
                value = *stored;
            }
            if (!database.Execute(QStringLiteral("UPDATE [%1] SET [%2]=%3 WHERE ID=%4")
                                      .arg(table, name, value)
                                      .arg(rows.at(r, idColumn).toInt())))
                return failures;
        }
    }
    return failures;
}

} // namespace orvane::payrolltest
