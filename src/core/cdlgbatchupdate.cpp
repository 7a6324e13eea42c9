#include "core/cdlgbatchupdate.h"

#include "core/apphelpers.h"
#include "core/gridcolumn.h"
#include "core/prompter.h"
#include "core/sqltext.h"
#include "db/cadodatabase.h"
#include "db/cadorecordset.h"

namespace orvane::core {

CDlgBatchUpdate::CDlgBatchUpdate(db::CADODatabase& database, Prompter& prompter, QString fieldQuery,
                                 Rounding rounding)
    : m_db(database), m_prompter(prompter), m_query(std::move(fieldQuery)), m_rounding(rounding)
{
}

bool CDlgBatchUpdate::load()
{
    m_fields.clear();
    db::CADORecordset rs(&m_db);
    if (!rs.Open(m_query)) {
        m_prompter.message(rs.GetLastErrorString(), promptCaption(), Prompter::Icon::Error);
        return false;
    }
    for (; !rs.IsEOF(); rs.MoveNext()) {
        Field f;
        f.itemId = rs.GetFieldInt(QStringLiteral("ItemID"));
        f.name = rs.GetFieldString(QStringLiteral("Name"));
        f.caption = rs.GetFieldString(QStringLiteral("Alias"));
        f.dataType = rs.GetFieldInt(QStringLiteral("iDataType"));
        f.decimals = rs.GetFieldInt(QStringLiteral("iDec"));
        f.rounding = rs.GetFieldInt(QStringLiteral("iChoice"));
        m_fields << f;
    }
    return true;
}

QString CDlgBatchUpdate::operationName(int operation)
{
    static const QStringList names = {QStringLiteral("赋值"), QStringLiteral("统加"),
                                      QStringLiteral("统减"), QStringLiteral("统乘"),
                                      QStringLiteral("统除")};
    return operation >= 0 && operation < names.size() ? names.at(operation) : QString();
}

QStringList CDlgBatchUpdate::operationsFor(int fieldIndex) const
{
    QStringList names{operationName(Assign)};
    if (fieldIndex >= 0 && fieldIndex < m_fields.size() &&
        m_fields.at(fieldIndex).dataType == GridColumn::Number) {
        for (int op = Add; op <= Divide; ++op)
            names << operationName(op);
    }
    return names;
}

bool CDlgBatchUpdate::numericField() const
{
    return field >= 0 && field < m_fields.size() &&
           m_fields.at(field).dataType == GridColumn::Number;
}

bool CDlgBatchUpdate::confirm()
{
    auto refuse = [this](const QString& text) {
        m_prompter.message(text, promptCaption(), Prompter::Icon::Warning);
        return false;
    };
    if (field < 0 || field >= m_fields.size())
        return refuse(QStringLiteral("请选择项！"));
    if (operation < Assign || operation > Divide || (operation != Assign && !numericField()))
        return refuse(QStringLiteral("请选择修改方式!"));
    if (numericField()) {
        bool ok = false;
        const double number = value.trimmed().toDouble(&ok);
        if (!isNumberText(value) || !ok)
            return refuse(QStringLiteral("值只能是数字!"));
        if (operation == Divide && number == 0.0)
            return refuse(QStringLiteral("除数不能为零!"));
    }
    return m_prompter.askYesNo(QStringLiteral("操作不可回退，确定批量修改吗?"), promptCaption(),
                               Prompter::Icon::Question) == Prompter::Answer::Yes;
}

QString CDlgBatchUpdate::valueText() const
{
    return numericField() ? value.trimmed() : value;
}

QString CDlgBatchUpdate::expression() const
{
    if (field < 0 || field >= m_fields.size())
        return QString();
    const Field& f = m_fields.at(field);
    if (!numericField())
        return QLatin1Char('\'') + sqlEscape(value) + QLatin1Char('\'');
    // The number as typed, in the form every server reads: no '+', a zero before a leading '.',
    // a negative value in parentheses so that "[f]--1" cannot become a comment.
    QString number = value.trimmed();
    const bool negative = number.startsWith(QLatin1Char('-'));
    if (negative || number.startsWith(QLatin1Char('+')))
        number.remove(0, 1);
    if (number.startsWith(QLatin1Char('.')))
        number.prepend(QLatin1Char('0'));
    if (negative)
        number = QStringLiteral("(-%1)").arg(number);
    static const char* const forms[] = {"", "[%1]+%2", "[%1]-%2", "[%1]*%2", "[%1]/%2"};
    const QString raw =
        operation == Assign ? number : QString::fromLatin1(forms[operation]).arg(f.name, number);
    if (m_rounding == Rounding::ByRule && f.rounding == 1)
        return QStringLiteral("FLOOR(%1)").arg(raw);
    if (m_rounding == Rounding::ByRule && f.rounding == 2)
        return QStringLiteral("CEILING(%1)").arg(raw);
    return QStringLiteral("ROUND(%1,%2)").arg(raw).arg(f.decimals);
}

} // namespace orvane::core
