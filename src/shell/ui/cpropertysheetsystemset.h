#pragma once

#include "shell/cpropertypagegeneral.h"
#include "shell/cpropertypagescript.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QSpinBox;
class QTabWidget;

namespace orvane::widgets {
class CodeEditor;
}
namespace orvane::payroll::ui {
class MailSettingsPage;
}

namespace orvane::shell::ui {

// The system settings window: the personnel-number rule, the batch mail settings and the site's
// function library.
class CPropertySheetSystemSet : public QDialog
{
    Q_OBJECT
public:
    CPropertySheetSystemSet(core::COrvaneApp& app, core::Prompter& prompter,
                            QWidget* parent = nullptr);

    CPropertyPageGeneral& general() { return m_general; }
    CPropertyPageScript& script() { return m_script; }
    widgets::CodeEditor* scriptEditor() const { return m_scriptEdit; }
    QComboBox* ruleBox() const { return m_mode; }
    QSpinBox* lengthBox() const { return m_length; }
    QLineEdit* prefixEdit() const { return m_prefix; }

    // Writes both pages; false (and the window stays) when a page refused.
    bool applyAll();

public slots:
    void accept() override;

private:
    core::Prompter& m_prompter;
    CPropertyPageGeneral m_general;
    CPropertyPageScript m_script;
    QComboBox* m_mode = nullptr;
    QSpinBox* m_length = nullptr;
    QLineEdit* m_prefix = nullptr;
    widgets::CodeEditor* m_scriptEdit = nullptr;
    QTabWidget* m_tabs = nullptr;
    payroll::ui::MailSettingsPage* m_mail = nullptr;
};

} // namespace orvane::shell::ui
