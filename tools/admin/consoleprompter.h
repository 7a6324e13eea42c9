#pragma once

#include "core/unattendedprompter.h"

namespace orvane::admin {

// The prompter of a batch job: every message goes to standard error, nothing is asked (questions
// get the safe answer, file choices are cancelled) and nothing cancels the progress.
class ConsolePrompter : public core::UnattendedPrompter
{
public:
    void message(const QString& text, const QString& caption, Icon icon) override;
    Answer askYesNo(const QString& text, const QString& caption, Icon icon,
                    Answer defaultButton = Answer::No) override;
    Answer askYesNoCancel(const QString& text, const QString& caption, Icon icon,
                          Answer defaultButton = Answer::Cancel) override;
    Answer retryCancel(const QString& text, const QString& caption, Icon icon) override;
    Answer okCancel(const QString& text, const QString& caption, Icon icon) override;

    // Messages shown so far (an error icon counts).
    int errors() const { return m_errors; }

private:
    int m_errors = 0;
};

} // namespace orvane::admin
