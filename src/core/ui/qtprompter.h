#pragma once

#include "core/prompter.h"

#include <QPointer>

class QProgressDialog;
class QWidget;

namespace orvane::core::ui {

// The operator's real dialogs: message boxes, file dialogs, input and progress dialogs, all
// modal to the given parent. Standard button texts come from Qt's loaded translation.
class QtPrompter : public Prompter
{
public:
    explicit QtPrompter(QWidget* parent = nullptr);
    ~QtPrompter() override;

    void setParent(QWidget* parent) { m_parent = parent; }
    QWidget* parent() const { return m_parent; }

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
    QPointer<QWidget> m_parent;
    QProgressDialog* m_progress = nullptr;
};

// While alive, message boxes of a QtPrompter are owned by `window` (nothing for other prompters).
class PrompterParentScope
{
public:
    PrompterParentScope(Prompter& prompter, QWidget* window)
        : m_prompter(dynamic_cast<QtPrompter*>(&prompter))
    {
        if (m_prompter) {
            m_previous = m_prompter->parent();
            m_prompter->setParent(window);
        }
    }
    ~PrompterParentScope()
    {
        if (m_prompter)
            m_prompter->setParent(m_previous);
    }
    PrompterParentScope(const PrompterParentScope&) = delete;
    PrompterParentScope& operator=(const PrompterParentScope&) = delete;

private:
    QtPrompter* m_prompter;
    QWidget* m_previous = nullptr;
};

} // namespace orvane::core::ui
