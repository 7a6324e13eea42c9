#include "consoleprompter.h"

#include "admincommand.h"

namespace orvane::admin {

void ConsolePrompter::message(const QString& text, const QString& caption, Icon icon)
{
    if (icon == Icon::Error)
        ++m_errors;
    printErr(caption + QStringLiteral(": ") + text + QLatin1Char('\n'));
}

core::Prompter::Answer ConsolePrompter::askYesNo(const QString& text, const QString& caption,
                                                 Icon icon, Answer)
{
    message(text, caption, icon);
    return Answer::No;
}

core::Prompter::Answer ConsolePrompter::askYesNoCancel(const QString& text, const QString& caption,
                                                       Icon icon, Answer)
{
    message(text, caption, icon);
    return Answer::Cancel;
}

core::Prompter::Answer ConsolePrompter::retryCancel(const QString& text, const QString& caption,
                                                    Icon icon)
{
    message(text, caption, icon);
    return Answer::Cancel;
}

core::Prompter::Answer ConsolePrompter::okCancel(const QString& text, const QString& caption,
                                                 Icon icon)
{
    message(text, caption, icon);
    return Answer::Cancel;
}

} // namespace orvane::admin
