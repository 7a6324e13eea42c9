#include "shell/ui/cpropertysheetsystemset.h"

#include "payroll/ui/mailsettingspage.h"

#include "core/ui/qtprompter.h"
#include "widgets/codeeditor.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

namespace orvane::shell::ui {

CPropertySheetSystemSet::CPropertySheetSystemSet(core::COrvaneApp& app, core::Prompter& prompter,
                                                 QWidget* parent)
    : QDialog(parent), m_prompter(prompter), m_general(app, prompter), m_script(app, prompter)
{
    setWindowTitle(QStringLiteral("系统设置"));
    m_tabs = new QTabWidget(this);

    auto* general = new QWidget;
    auto* form = new QFormLayout(general);
    m_mode = new QComboBox(general);
    m_mode->setObjectName(QStringLiteral("numberRule"));
    m_mode->addItems(CPropertyPageGeneral::ruleNames());
    m_length = new QSpinBox(general);
    m_length->setObjectName(QStringLiteral("numberLength"));
    m_length->setRange(0, CPropertyPageGeneral::MaxNumberLength);
    m_prefix = new QLineEdit(general);
    m_prefix->setObjectName(QStringLiteral("numberPrefix"));
    m_prefix->setMaxLength(CPropertyPageGeneral::MaxNumberLength);
    auto* note = new QLabel(general);
    note->setWordWrap(true);
    form->addRow(QStringLiteral("人员编号规则(&R):"), m_mode);
    form->addRow(QStringLiteral("顺序号位数(&L):"), m_length);
    form->addRow(QStringLiteral("固定前缀(&F):"), m_prefix);
    form->addRow(note);
    m_tabs->addTab(general, QStringLiteral("常规"));

    m_mail = new payroll::ui::MailSettingsPage(app, prompter);
    m_tabs->addTab(m_mail, QStringLiteral("邮件设置"));

    m_scriptEdit = new widgets::CodeEditor;
    m_scriptEdit->setObjectName(QStringLiteral("script"));
    m_scriptEdit->setMinimumSize(560, 320);
    m_tabs->addTab(m_scriptEdit, QStringLiteral("自定义脚本"));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel |
                                         QDialogButtonBox::Apply);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons->button(QDialogButtonBox::Apply), &QPushButton::clicked, this,
            [this] { applyAll(); });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addWidget(buttons);

    // The fields the chosen rule does not use are off, and the note says what the rule does.
    const auto follow = [this, note](int mode) {
        m_length->setEnabled(CPropertyPageGeneral::usesLength(mode));
        m_prefix->setEnabled(CPropertyPageGeneral::usesPrefix(mode));
        static const char* const kNotes[] = {
            "新增人员时按顺序号自动编号，不足位数时左侧补 0。",
            "新增人员时按“固定前缀 + 顺序号”自动编号，固定前缀不能为空。",
            "新增人员时按“所在部门的编号前缀 + 顺序号”自动编号，前缀在组织机构中设置。",
            "新增人员时由操作员输入人员编号。"};
        note->setText(QString::fromUtf8(kNotes[qBound(0, mode, 3)]));
    };
    connect(m_mode, &QComboBox::currentIndexChanged, this, follow);

    m_general.load();
    m_mode->setCurrentIndex(m_general.mode);
    m_length->setValue(m_general.length);
    m_prefix->setText(m_general.prefix);
    follow(m_general.mode);
    m_script.load();
    m_scriptEdit->setPlainText(m_script.text());
    adjustSize();
}

bool CPropertySheetSystemSet::applyAll()
{
    core::ui::PrompterParentScope scope(m_prompter, this);
    m_general.mode = m_mode->currentIndex();
    m_general.length = m_length->value();
    m_general.prefix = m_prefix->text();
    if (!m_general.apply()) {
        m_tabs->setCurrentIndex(0);
        if (m_prefix->isEnabled())
            m_prefix->setFocus();
        return false;
    }
    m_mail->apply();
    if (!m_script.apply(m_scriptEdit->toPlainText())) {
        if (m_script.errorLine() > 0) {
            m_tabs->setCurrentWidget(m_scriptEdit);
            m_scriptEdit->goToLine(m_script.errorLine());
        }
        return false;
    }
    return true;
}

void CPropertySheetSystemSet::accept()
{
    if (applyAll())
        QDialog::accept();
}

} // namespace orvane::shell::ui
