// orvane-admin eval "expression" [--library FILE]: evaluates one formula expression with the
// script engine and prints its value (as CStr writes it) and its type name.

#include "admincommand.h"

#include "script/conversions.h"
#include "script/scriptengine.h"
#include "script/scripterror.h"
#include "script/wagecontext.h"
#include "script/wagefunctions.h"

#include <QFile>

namespace orvane::admin {
namespace {

int runEval(const QStringList& args)
{
    QString expression;
    QString libraryPath;
    bool haveExpression = false;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--library") && i + 1 < args.size()) {
            libraryPath = args[++i];
        } else if (!haveExpression) {
            expression = args[i];
            haveExpression = true;
        } else {
            printErr(QStringLiteral("usage: orvane-admin eval \"expression\" [--library FILE]\n"));
            return 2;
        }
    }
    if (!haveExpression) {
        printErr(QStringLiteral("usage: orvane-admin eval \"expression\" [--library FILE]\n"));
        return 2;
    }
    std::string library;
    if (!libraryPath.isEmpty()) {
        QFile file(libraryPath);
        if (!file.open(QIODevice::ReadOnly)) {
            printErr(QStringLiteral("cannot read %1: %2\n").arg(libraryPath, file.errorString()));
            return 1;
        }
        library = file.readAll().toStdString();
    }

    script::WageContext context;
    script::ScriptEngine engine;
    script::registerWageFunctions(engine.host(), context);
    auto report = [](const script::EngineError& e) {
        QString text = QStringLiteral("%1 %2").arg(e.number).arg(QString::fromStdString(e.description));
        if (e.line > 0)
            text += QStringLiteral(" (line %1)").arg(e.line);
        printErr(text + QLatin1Char('\n'));
    };
    if (!engine.reset(library)) {
        report(engine.lastError());
        return 1;
    }
    script::Variant value;
    if (!engine.evaluate(expression.toStdString(), value)) {
        report(engine.lastError());
        return 1;
    }
    std::string text;
    try {
        text = script::toUtf8(script::toString(value));
    } catch (const script::ScriptException&) {
        // Arrays and objects without a value have no text form; the type name still tells.
        text.clear();
    }
    printOut(QString::fromStdString(text) + QLatin1Char('\t')
             + QString::fromStdU16String(script::typeName(value)) + QLatin1Char('\n'));
    return 0;
}

const AdminCommandRegistration registration(AdminCommand{
    QStringLiteral("eval"), QStringLiteral("eval \"EXPRESSION\" [--library FILE]"),
    QStringLiteral("evaluate a formula expression; prints the value and its type name"), runEval});

} // namespace
} // namespace orvane::admin
