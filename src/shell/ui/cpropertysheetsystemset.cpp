#include "shell/ui/cpropertysheetsystemset.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

namespace orvane::shell::ui {

CPropertySheetSystemSet::CPropertySheetSystemSet(core::COrvaneApp& app, core::Prompter& prompter,
                                                 QWidget* parent)
    : QDialog(parent), m_general(app, prompter), m_script(app, prompter)
{
    setWindowTitle(QStringLiteral("系统设置"));
    resize(640, 480);
    auto* tabs = new QTabWidget(this);

    auto* general = new QWidget;
    auto* form = new QFormLayout(general);
    m_mode = new QComboBox(general);
    m_mode->addItems({QStringLiteral("顺序号"), QStringLiteral("固定前缀 + 顺序号"),
                      QStringLiteral("部门前缀 + 顺序号"), QStringLiteral("手工输入")});
    m_length = new QSpinBox(general);
    m_length->setRange(0, 99);
    m_prefix = new QLineEdit(general);
    m_prefix->setMaxLength(20);
    form->addRow(QStringLiteral("人员编号规则:"), m_mode);
    form->addRow(QStringLiteral("顺序号位数:"), m_length);
    form->addRow(QStringLiteral("固定前缀:"), m_prefix);
    tabs->addTab(general, QStringLiteral("常规"));

    auto* announce = new QLabel(QStringLiteral("工资条公告的设置不包含在此版本中。"));
    announce->setAlignment(Qt::AlignCenter);
    tabs->addTab(announce, QStringLiteral("公告"));

    m_scriptEdit = new QPlainTextEdit;
    m_scriptEdit->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_scriptEdit->setLineWrapMode(QPlainTextEdit::NoWrap);
    tabs->addTab(m_scriptEdit, QStringLiteral("自定义脚本"));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel |
                                         QDialogButtonBox::Apply);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons->button(QDialogButtonBox::Apply), &QPushButton::clicked, this,
            [this] { applyAll(); });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addWidget(buttons);

    m_general.load();
    m_mode->setCurrentIndex(m_general.mode);
    m_length->setValue(m_general.length);
    m_prefix->setText(m_general.prefix);
    m_script.load();
    m_scriptEdit->setPlainText(m_script.text());
}

bool CPropertySheetSystemSet::applyAll()
{
    m_general.mode = m_mode->currentIndex();
    m_general.length = m_length->value();
    m_general.prefix = m_prefix->text();
    if (!m_general.apply())
        return false;
    return m_script.apply(m_scriptEdit->toPlainText());
}

void CPropertySheetSystemSet::accept()
{
    if (applyAll())
        QDialog::accept();
}

} // namespace orvane::shell::ui
