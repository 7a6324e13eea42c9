#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace orvane::core {

// The only way a workflow talks to the operator. The client shows real dialogs (QtPrompter);
// tests script the answers (ScriptedPrompter), so no workflow needs a QWidget.
class Prompter
{
public:
    enum class Icon { NoIcon, Information, Warning, Error, Question };
    enum class Answer { Yes, No, Cancel, Retry, Ok };

    virtual ~Prompter() = default;

    // A message box with one OK button.
    virtual void message(const QString& text, const QString& caption, Icon icon) = 0;

    // Yes/No question; returns Answer::Yes or Answer::No. No is the usual default.
    virtual Answer askYesNo(const QString& text, const QString& caption, Icon icon,
                            Answer defaultButton = Answer::No) = 0;
    // Yes/No/Cancel question; returns Yes, No or Cancel.
    virtual Answer askYesNoCancel(const QString& text, const QString& caption, Icon icon,
                                  Answer defaultButton = Answer::Cancel) = 0;
    // Retry/Cancel question; returns Answer::Retry or Answer::Cancel.
    virtual Answer retryCancel(const QString& text, const QString& caption, Icon icon) = 0;
    // OK/Cancel question; returns Answer::Ok or Answer::Cancel.
    virtual Answer okCancel(const QString& text, const QString& caption, Icon icon) = 0;

    // File choices; an empty text (or list) when the operator cancels.
    virtual QString openFileName(const QString& caption, const QString& dir,
                                 const QString& filter) = 0;
    virtual QStringList openFileNames(const QString& caption, const QString& dir,
                                      const QString& filter) = 0;
    // Who asks before an existing file is replaced: the file dialog, or the caller with its own
    // question (when it changes the chosen name or must word the question itself).
    enum class Overwrite { DialogAsks, CallerAsks };
    virtual QString saveFileName(const QString& caption, const QString& dir, const QString& filter,
                                 Overwrite overwrite = Overwrite::DialogAsks) = 0;
    virtual QString existingDirectory(const QString& caption, const QString& dir) = 0;

    // One line of text; std::nullopt when the operator cancels.
    virtual std::optional<QString> textInput(const QString& caption, const QString& label,
                                             const QString& initial = QString()) = 0;

    // Progress of a long job: begin, any number of steps, end. cancelled() tells whether the
    // operator asked to stop; the job polls it between records. The begin text titles the
    // progress window ("请稍候..."); a step's text replaces the line shown in it.
    virtual void progressBegin(const QString& text, int maximum) = 0;
    virtual void progressStep(int value, const QString& text = QString()) = 0;
    virtual bool progressCancelled() = 0;
    virtual void progressEnd() = 0;
};

// Caption of every ordinary message box (string 117).
inline QString promptCaption()
{
    return QStringLiteral("提示");
}

} // namespace orvane::core
