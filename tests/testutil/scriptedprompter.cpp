#include "testutil/scriptedprompter.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace orvane::testutil {

namespace {
std::string describe(const ScriptedPrompter::Shown& s)
{
    return QStringLiteral("\"%1\" (caption \"%2\")").arg(s.text, s.caption).toStdString();
}
} // namespace

ScriptedPrompter::~ScriptedPrompter()
{
    if (!m_script.empty())
        ADD_FAILURE() << m_script.size() << " scripted answer(s) were never asked for";
}

ScriptedPrompter& ScriptedPrompter::answer(Answer a)
{
    m_script.push_back({ScriptKind::Button, a, {}, {}});
    return *this;
}

ScriptedPrompter& ScriptedPrompter::chooseFile(const QString& path)
{
    m_script.push_back({ScriptKind::Files,
                        Answer::Cancel,
                        path.isEmpty() ? QStringList() : QStringList{path},
                        {}});
    return *this;
}

ScriptedPrompter& ScriptedPrompter::chooseFiles(const QStringList& paths)
{
    m_script.push_back({ScriptKind::Files, Answer::Cancel, paths, {}});
    return *this;
}

ScriptedPrompter& ScriptedPrompter::enterText(const QString& text)
{
    m_script.push_back({ScriptKind::Text, Answer::Cancel, {}, text});
    return *this;
}

ScriptedPrompter& ScriptedPrompter::cancelText()
{
    m_script.push_back({ScriptKind::Text, Answer::Cancel, {}, std::nullopt});
    return *this;
}

QStringList ScriptedPrompter::messageTexts() const
{
    QStringList texts;
    for (const auto& s : m_shown) {
        if (s.kind == Kind::Message)
            texts << s.text;
    }
    return texts;
}

ScriptedPrompter::Shown ScriptedPrompter::last() const
{
    if (m_shown.empty()) {
        ADD_FAILURE() << "nothing was shown to the operator";
        return {};
    }
    return m_shown.back();
}

void ScriptedPrompter::record(const Shown& s)
{
    m_shown.push_back(s);
    if (onShown)
        onShown(s);
}

bool ScriptedPrompter::take(ScriptKind kind, const Shown& asked, Scripted& out)
{
    if (m_script.empty()) {
        ADD_FAILURE() << "unscripted prompt " << describe(asked);
        return false;
    }
    if (m_script.front().kind != kind) {
        ADD_FAILURE() << "the next scripted answer does not fit the prompt " << describe(asked);
        m_script.pop_front();
        return false;
    }
    out = m_script.front();
    m_script.pop_front();
    return true;
}

ScriptedPrompter::Answer ScriptedPrompter::askButtons(Kind kind, const QString& text,
                                                      const QString& caption, Icon icon,
                                                      Answer defaultButton,
                                                      std::initializer_list<Answer> allowed,
                                                      Answer safe)
{
    const Shown s{kind, text, caption, icon, defaultButton};
    record(s);
    Scripted a{ScriptKind::Button};
    if (!take(ScriptKind::Button, s, a))
        return safe;
    if (std::find(allowed.begin(), allowed.end(), a.button) == allowed.end()) {
        ADD_FAILURE() << "scripted button is not offered by " << describe(s);
        return safe;
    }
    return a.button;
}

void ScriptedPrompter::message(const QString& text, const QString& caption, Icon icon)
{
    record({Kind::Message, text, caption, icon, Answer::Ok});
}

ScriptedPrompter::Answer ScriptedPrompter::askYesNo(const QString& text, const QString& caption,
                                                    Icon icon, Answer defaultButton)
{
    return askButtons(Kind::YesNo, text, caption, icon, defaultButton, {Answer::Yes, Answer::No},
                      Answer::No);
}

ScriptedPrompter::Answer ScriptedPrompter::askYesNoCancel(const QString& text,
                                                          const QString& caption, Icon icon,
                                                          Answer defaultButton)
{
    return askButtons(Kind::YesNoCancel, text, caption, icon, defaultButton,
                      {Answer::Yes, Answer::No, Answer::Cancel}, Answer::Cancel);
}

ScriptedPrompter::Answer ScriptedPrompter::retryCancel(const QString& text, const QString& caption,
                                                       Icon icon)
{
    return askButtons(Kind::RetryCancel, text, caption, icon, Answer::Retry,
                      {Answer::Retry, Answer::Cancel}, Answer::Cancel);
}

ScriptedPrompter::Answer ScriptedPrompter::okCancel(const QString& text, const QString& caption,
                                                    Icon icon)
{
    return askButtons(Kind::OkCancel, text, caption, icon, Answer::Ok, {Answer::Ok, Answer::Cancel},
                      Answer::Cancel);
}

QString ScriptedPrompter::openFileName(const QString& caption, const QString&,
                                       const QString& filter)
{
    const Shown s{Kind::OpenFile, filter, caption, Icon::NoIcon, Answer::Cancel};
    record(s);
    Scripted a{ScriptKind::Files};
    return take(ScriptKind::Files, s, a) ? a.files.value(0) : QString();
}

QStringList ScriptedPrompter::openFileNames(const QString& caption, const QString&,
                                            const QString& filter)
{
    const Shown s{Kind::OpenFiles, filter, caption, Icon::NoIcon, Answer::Cancel};
    record(s);
    Scripted a{ScriptKind::Files};
    return take(ScriptKind::Files, s, a) ? a.files : QStringList();
}

QString ScriptedPrompter::saveFileName(const QString& caption, const QString&,
                                       const QString& filter, Overwrite overwrite)
{
    const Shown s{Kind::SaveFile, filter, caption, Icon::NoIcon, Answer::Cancel, overwrite};
    record(s);
    Scripted a{ScriptKind::Files};
    return take(ScriptKind::Files, s, a) ? a.files.value(0) : QString();
}

QString ScriptedPrompter::existingDirectory(const QString& caption, const QString& dir)
{
    const Shown s{Kind::Directory, dir, caption, Icon::NoIcon, Answer::Cancel};
    record(s);
    Scripted a{ScriptKind::Files};
    return take(ScriptKind::Files, s, a) ? a.files.value(0) : QString();
}

std::optional<QString> ScriptedPrompter::textInput(const QString& caption, const QString& label,
                                                   const QString&)
{
    const Shown s{Kind::TextInput, label, caption, Icon::NoIcon, Answer::Cancel};
    record(s);
    Scripted a{ScriptKind::Text};
    return take(ScriptKind::Text, s, a) ? a.text : std::nullopt;
}

void ScriptedPrompter::progressBegin(const QString& text, int maximum)
{
    m_progressRunning = true;
    m_progressMax = maximum;
    m_progressValue = 0;
    m_progressTexts << text;
}

void ScriptedPrompter::progressStep(int value, const QString& text)
{
    m_progressValue = value;
    if (!text.isEmpty())
        m_progressTexts << text;
}

bool ScriptedPrompter::progressCancelled()
{
    return m_cancelAt >= 0 && m_progressValue >= m_cancelAt;
}

void ScriptedPrompter::progressEnd()
{
    m_progressRunning = false;
}

} // namespace orvane::testutil
