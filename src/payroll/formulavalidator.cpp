#include "payroll/formulavalidator.h"

#include "payroll/wagescriptsession.h"

#include "core/apphelpers.h"
#include "core/catalog.h"
#include "core/corvaneapp.h"
#include "core/prompter.h"

#include <QDate>
#include <QRandomGenerator>

#include <algorithm>

namespace orvane::payroll {

using core::Prompter;

namespace {

// A reference "[title.caption]" found as the first ']' and the last '[' before it.
struct Reference
{
    qsizetype open = -1;
    qsizetype close = -1;
    QString inner; // "title.caption"
    QString title;
    QString caption;
};

bool nextReference(const QString& text, Reference& ref)
{
    ref.close = text.indexOf(QLatin1Char(']'));
    if (ref.close < 0)
        return false;
    ref.open = text.lastIndexOf(QLatin1Char('['), ref.close);
    if (ref.open < 0)
        return false;
    ref.inner = text.mid(ref.open + 1, ref.close - ref.open - 1);
    const qsizetype dot = ref.inner.indexOf(QLatin1Char('.'));
    ref.title = dot < 0 ? QString() : ref.inner.left(dot);
    ref.caption = dot < 0 ? ref.inner : ref.inner.mid(dot + 1);
    return true;
}

} // namespace

FormulaValidator::FormulaValidator(core::COrvaneApp& app, core::Prompter& prompter)
    : m_app(app), m_prompter(prompter)
{
}

void FormulaValidator::refuse(const QString& text)
{
    m_prompter.message(text, core::promptCaption(), Prompter::Icon::Warning);
}

QString FormulaValidator::stripQuotedBrackets(const QString& formula)
{
    QString out;
    out.reserve(formula.size());
    qsizetype i = 0;
    while (i < formula.size()) {
        if (formula.at(i) != u'"') {
            out += formula.at(i++);
            continue;
        }
        const qsizetype end = formula.indexOf(QLatin1Char('"'), i + 1);
        if (end < 0) {
            out += formula.mid(i);
            break;
        }
        QString literal = formula.mid(i, end - i + 1);
        if (literal.contains(QLatin1Char('[')) && literal.contains(QLatin1Char(']'))) {
            literal.remove(QLatin1Char('['));
            literal.remove(QLatin1Char(']'));
        }
        out += literal;
        i = end + 1;
    }
    return out;
}

QString FormulaValidator::pairingError(const QString& formula)
{
    if (!core::pairBalanced(formula, u'[', u']'))
        return QStringLiteral("中括号不配对!");
    if (!core::pairBalanced(formula, u'(', u')'))
        return QStringLiteral("小括号不配对!");
    if (formula.count(QLatin1Char('"')) % 2 != 0)
        return QStringLiteral("双引号不配对!");
    if (formula.count(QLatin1Char('\'')) % 2 != 0)
        return QStringLiteral("单引号不配对!");
    return {};
}

bool FormulaValidator::validate(int sortId, const QString& itemCaption, QString& formula)
{
    formula = stripQuotedBrackets(formula);
    if (formula.size() > kMaxLength) {
        refuse(QStringLiteral("公式内容过长，不能超过%1个字符!").arg(kMaxLength));
        return false;
    }
    if (const QString error = pairingError(formula); !error.isEmpty()) {
        refuse(error);
        return false;
    }

    const core::Catalog catalog(m_app.database());
    const QString sortTitle = catalog.wageSortTitle(sortId);
    const QString personnelTitle = catalog.text(
        QStringLiteral("SELECT Title FROM qp_Table WHERE UPPER(TblName)='QP_PSNBASE'"));

    script::WageContext context;
    context.operatorName = m_app.currentOperator().UserName.toStdString();
    WageScriptSession session(m_app.database(), context);
    session.setErrorReporter([this, &itemCaption](const script::EngineError& e) {
        m_prompter.message(QStringLiteral("项目“%1”：%2 (错误 %3，第%4行)")
                               .arg(itemCaption, QString::fromStdString(e.description))
                               .arg(e.number)
                               .arg(e.line),
                           e.source.empty() ? core::promptCaption()
                                            : QString::fromStdString(e.source),
                           Prompter::Icon::NoIcon);
    });
    session.engine().setStepBudget(kStepBudget);
    session.reset();

    QString work = formula;
    Reference ref;
    for (int n = 1; nextReference(work, ref); ++n) {
        const bool ownTable = ref.title.compare(sortTitle, Qt::CaseInsensitive) == 0 ||
                              ref.title.compare(personnelTitle, Qt::CaseInsensitive) == 0;
        const bool known = ownTable && !catalog.fieldName(ref.title, ref.caption).isEmpty();
        if (!known) {
            refuse(QStringLiteral("项目名称'%1'不匹配!").arg(ref.inner));
            return false;
        }
        QString sample;
        switch (catalog.fieldType(ref.title, ref.caption)) {
        case 1:
        case 3:
            sample = QStringLiteral("\"Test%1\"").arg(n);
            break;
        case 2:
            sample = QStringLiteral("\"%1\"").arg(QDate::currentDate().toString(Qt::ISODate));
            break;
        default:
            // Never zero, also once written with three decimals, so that a division by a
            // reference does not fail the check.
            sample = QString::asprintf(
                "%.3f", std::max(0.001, (QRandomGenerator::global()->bounded(32767) + 1) /
                                            32768.0 * n));
            break;
        }
        work.replace(ref.open, ref.close - ref.open + 1, sample);
    }

    script::Variant result;
    if (!session.engine().evaluate(work.toStdString(), result)) {
        refuse(QStringLiteral("错误公式表达式,请检查函数名和参数是否正确!"));
        return false;
    }
    return true;
}

bool FormulaValidator::convert(const QString& formula, QString& executable)
{
    const core::Catalog catalog(m_app.database());
    executable = formula;
    Reference ref;
    while (nextReference(executable, ref)) {
        const QString name = catalog.fieldName(ref.title, ref.caption);
        if (name.isEmpty()) {
            refuse(QStringLiteral("项目名称'%1'不匹配!").arg(ref.inner));
            return false;
        }
        executable.replace(QLatin1Char('[') + ref.inner + QLatin1Char(']'),
                           QLatin1Char('{') + name + QLatin1Char('}'));
    }
    return true;
}

} // namespace orvane::payroll
