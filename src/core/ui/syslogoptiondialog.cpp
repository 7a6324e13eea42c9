#include "core/ui/syslogoptiondialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace orvane::core::ui {

SysLogOptionDialog::SysLogOptionDialog(db::CADODatabase& database, QWidget* parent)
    : QDialog(parent), m_option(database)
{
    setObjectName(QStringLiteral("SysLogOptionDialog"));
    setWindowTitle(QStringLiteral("日志选项"));
    m_option.load();

    m_days = new QSpinBox(this);
    m_days->setObjectName(QStringLiteral("days"));
    m_days->setRange(CDlgSysLogOption::MinimumDays, CDlgSysLogOption::MaximumDays);
    m_days->setSuffix(QStringLiteral(" 天"));
    m_days->setValue(m_option.days());

    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->addRow(QStringLiteral("日志保留天数(&D)："), m_days);
    auto* note = new QLabel(QStringLiteral("0 表示不记录操作日志；修改在下次启动程序后生效。"), this);
    note->setWordWrap(true);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    connect(buttons, &QDialogButtonBox::accepted, this, &SysLogOptionDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &SysLogOptionDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(note);
    layout->addWidget(buttons);
    setMinimumWidth(320);
    m_days->setFocus();
    m_days->selectAll();
}

void SysLogOptionDialog::accept()
{
    m_option.setDays(m_days->value());
    m_option.save(); // without a stored row nothing is kept
    QDialog::accept();
}

} // namespace orvane::core::ui
