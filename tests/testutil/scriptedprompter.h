#pragma once

#include "core/prompter.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <vector>

namespace orvane::testutil {

// A Prompter for tests: records everything shown and answers questions from a queue that the test
// fills beforehand. A question without a matching scripted answer fails the running test and is
// answered with the safe choice (No / Cancel / nothing chosen); answers left unused when the
// prompter is destroyed fail the test too.
class ScriptedPrompter : public core::Prompter
{
public:
    enum class Kind {
        Message,
        YesNo,
        YesNoCancel,
        RetryCancel,
        OkCancel,
        OpenFile,
        OpenFiles,
        SaveFile,
        Directory,
        TextInput
    };

    // One thing shown to the operator. For file and text prompts `text` is the label or filter.
    struct Shown
    {
        Kind kind = Kind::Message;
        QString text;
        QString caption;
        Icon icon = Icon::NoIcon;
        Answer defaultButton = Answer::No;
        // A save dialog: who asks before replacing an existing file.
        Overwrite overwrite = Overwrite::DialogAsks;
    };

    ScriptedPrompter() = default;
    ~ScriptedPrompter() override;

    // Scripting the answers, consumed in order.
    ScriptedPrompter& answer(Answer a); // Yes/No, Yes/No/Cancel, Retry/Cancel, OK/Cancel
    ScriptedPrompter& chooseFile(const QString& path); // open/save/directory; "" = cancel
    ScriptedPrompter& chooseFiles(const QStringList& paths);
    ScriptedPrompter& enterText(const QString& text);
    ScriptedPrompter& cancelText();
    // Progress reports cancelled once a step reaches this value.
    void cancelProgressAt(int value) { m_cancelAt = value; }

    // Called for every prompt before it is answered (to change the world in between).
    std::function<void(const Shown&)> onShown;

    const std::vector<Shown>& shown() const { return m_shown; }
    // Texts of the plain message boxes, in order.
    QStringList messageTexts() const;
    // The last prompt of any kind; fails the test when nothing was shown.
    Shown last() const;
    void clear() { m_shown.clear(); }
    int pendingAnswers() const { return int(m_script.size()); }

    // Progress as reported.
    QStringList progressTexts() const { return m_progressTexts; }
    int progressMaximum() const { return m_progressMax; }
    int progressValue() const { return m_progressValue; }
    bool progressRunning() const { return m_progressRunning; }

    void message(const QString& text, const QString& caption, Icon icon) override;
    Answer askYesNo(const QString& text, const QString& caption, Icon icon,
                    Answer defaultButton = Answer::No) override;
    Answer askYesNoCancel(const QString& text, const QString& caption, Icon icon,
                          Answer defaultButton = Answer::Cancel) override;
    Answer retryCancel(const QString& text, const QString& caption, Icon icon) override;
    Answer okCancel(const QString& text, const QString& caption, Icon icon) override;
    QString openFileName(const QString& caption, const QString& dir,
                         const QString& filter) override;
    QStringList openFileNames(const QString& caption, const QString& dir,
                              const QString& filter) override;
    QString saveFileName(const QString& caption, const QString& dir, const QString& filter,
                         Overwrite overwrite = Overwrite::DialogAsks) override;
    QString existingDirectory(const QString& caption, const QString& dir) override;
    std::optional<QString> textInput(const QString& caption, const QString& label,
                                     const QString& initial = QString()) override;
    void progressBegin(const QString& text, int maximum) override;
    void progressStep(int value, const QString& text = QString()) override;
    bool progressCancelled() override;
    void progressEnd() override;

private:
    enum class ScriptKind { Button, Files, Text };
    struct Scripted
    {
        ScriptKind kind;
        Answer button = Answer::Cancel;
        QStringList files;
        std::optional<QString> text;
    };

    void record(const Shown& s);
    // Takes the next scripted answer of the wanted kind; fails the test when there is none.
    bool take(ScriptKind kind, const Shown& asked, Scripted& out);
    Answer askButtons(Kind kind, const QString& text, const QString& caption, Icon icon,
                      Answer defaultButton, std::initializer_list<Answer> allowed, Answer safe);

    std::vector<Shown> m_shown;
    std::deque<Scripted> m_script;
    QStringList m_progressTexts;
    int m_progressMax = 0;
    int m_progressValue = 0;
    int m_cancelAt = -1;
    bool m_progressRunning = false;
};

} // namespace orvane::testutil
