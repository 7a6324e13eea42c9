#include "admincommand.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstdio>

namespace orvane::admin {

std::vector<AdminCommand>& adminCommands()
{
    static std::vector<AdminCommand> commands;
    return commands;
}

void printOut(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
}

void printErr(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
}

static void printHelp()
{
    auto commands = adminCommands();
    std::sort(commands.begin(), commands.end(),
              [](const AdminCommand& a, const AdminCommand& b) { return a.name < b.name; });
    QString text = QStringLiteral("Usage: orvane-admin COMMAND [ARGS...]\n\n"
                                  "Administration tool for Orvane databases.\n\nCommands:\n");
    for (const auto& c : commands)
        text += QStringLiteral("  %1\n      %2\n").arg(c.synopsis, c.summary);
    text += QStringLiteral("\n  --help    show this text\n");
    printOut(text);
}

} // namespace orvane::admin

int main(int argc, char** argv)
{
    using namespace orvane::admin;
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("TalverySoft"));
    QCoreApplication::setApplicationName(QStringLiteral("Orvane"));
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty() || args.first() == QLatin1String("--help") ||
        args.first() == QLatin1String("-h") || args.first() == QLatin1String("help")) {
        printHelp();
        return args.isEmpty() ? 2 : 0;
    }
    const QString name = args.takeFirst();
    for (const auto& c : adminCommands()) {
        if (c.name == name)
            return c.run(args);
    }
    printErr(QStringLiteral("orvane-admin: unknown command '%1' (see --help)\n").arg(name));
    return 2;
}
