#include "payroll/recordtext.h"

#include "db/adotypes.h"
#include "db/cadorecordset.h"
#include "script/expressionexpander.h"

#include <QDateTime>
#include <QVariant>

#include <string>

namespace orvane::payroll {

namespace {
constexpr int kMaxRounds = 4096;
}

QString RecordText::literal(db::CADORecordset& record, const QString& caption)
{
    if (record.GetFieldIndex(caption) < 0)
        return QString();
    QVariant value;
    if (!record.GetFieldValue(caption, value) || value.isNull() || !value.isValid())
        return QString();
    const auto quoted = [](const QString& text) {
        return QLatin1Char('"') + text + QLatin1Char('"');
    };
    switch (value.typeId()) {
    case QMetaType::QString: {
        const QString text = value.toString();
        return text.isEmpty() ? QString() : quoted(text);
    }
    case QMetaType::QDateTime:
        return quoted(value.toDateTime().toString(QStringLiteral("yyyy-MM-dd")));
    case QMetaType::QDate:
        return quoted(value.toDate().toString(QStringLiteral("yyyy-MM-dd")));
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    default:
        break;
    }
    QString text;
    record.GetFieldValue(caption, text);
    return text;
}

QString RecordText::substitute(QString text, db::CADORecordset& record)
{
    // A value that holds its own placeholder would otherwise be substituted for ever.
    for (int round = 0; round < kMaxRounds; ++round) {
        const qsizetype close = text.indexOf(QLatin1Char(']'));
        if (close < 0)
            break;
        const qsizetype open = text.lastIndexOf(QLatin1Char('['), close);
        if (open < 0)
            break;
        const QString token = text.mid(open, close - open + 1);
        text.replace(token, literal(record, token.mid(1, token.size() - 2)));
    }
    return text;
}

bool RecordText::expand(QString& text, script::ScriptEngine& engine)
{
    if (!text.contains(QLatin1String("$}")))
        return true;
    std::string utf8 = text.toStdString();
    const bool ok = script::expandExpressions(utf8, engine);
    text = QString::fromStdString(utf8);
    return ok;
}

} // namespace orvane::payroll
