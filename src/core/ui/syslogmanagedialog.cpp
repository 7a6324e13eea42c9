#include "core/ui/syslogmanagedialog.h"

#include "core/corvaneapp.h"
#include "core/ui/qtprompter.h"
#include "core/ui/syslogoptiondialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace orvane::core::ui {

SysLogManageDialog::SysLogManageDialog(COrvaneApp& app, Prompter& prompter, QWidget* parent)
    : QDialog(parent), m_prompter(prompter), m_viewer(app, prompter), m_model(this)
{
    setObjectName(QStringLiteral("SysLogManageDialog"));
    setWindowTitle(QStringLiteral("系统日志"));

    m_user = new QComboBox(this);
    m_user->setObjectName(QStringLiteral("operator"));
    m_user->setMinimumContentsLength(12);
    auto dateEdit = [this](const char* name) {
        auto* e = new QDateEdit(QDate::currentDate(), this);
        e->setObjectName(QLatin1String(name));
        e->setCalendarPopup(true);
        e->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        e->setEnabled(false);
        return e;
    };
    m_useStart = new QCheckBox(QStringLiteral("开始日期(&S)："), this);
    m_start = dateEdit("start");
    m_useEnd = new QCheckBox(QStringLiteral("结束日期(&E)："), this);
    m_end = dateEdit("end");
    connect(m_useStart, &QCheckBox::toggled, m_start, &QWidget::setEnabled);
    connect(m_useEnd, &QCheckBox::toggled, m_end, &QWidget::setEnabled);
    m_action = new QLineEdit(this);
    m_action->setObjectName(QStringLiteral("action"));
    m_action->setPlaceholderText(QStringLiteral("操作内容包含的文字"));

    auto* filters = new QGroupBox(QStringLiteral("查询条件"), this);
    auto* grid = new QGridLayout(filters);
    auto* userLabel = new QLabel(QStringLiteral("用户(&U)："), filters);
    userLabel->setBuddy(m_user);
    auto* actionLabel = new QLabel(QStringLiteral("操作(&A)："), filters);
    actionLabel->setBuddy(m_action);
    grid->addWidget(userLabel, 0, 0, Qt::AlignRight);
    grid->addWidget(m_user, 0, 1);
    grid->addWidget(m_useStart, 0, 2, Qt::AlignRight);
    grid->addWidget(m_start, 0, 3);
    grid->addWidget(m_useEnd, 0, 4, Qt::AlignRight);
    grid->addWidget(m_end, 0, 5);
    grid->addWidget(actionLabel, 1, 0, Qt::AlignRight);
    grid->addWidget(m_action, 1, 1, 1, 5);
    grid->setColumnStretch(1, 1);

    m_table = new QTableView(this);
    m_table->setObjectName(QStringLiteral("log"));
    m_table->setModel(&m_model);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setAlternatingRowColors(true);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->verticalHeader()->setDefaultSectionSize(22);

    m_footer = new QLabel(this);
    m_footer->setObjectName(QStringLiteral("footer"));
    m_export = new QPushButton(QStringLiteral("导出"), this);
    m_export->setObjectName(QStringLiteral("export"));
    m_refresh = new QPushButton(QStringLiteral("刷新"), this);
    m_refresh->setObjectName(QStringLiteral("refresh"));
    m_refresh->setDefault(true);
    m_options = new QPushButton(QStringLiteral("日志设置..."), this);
    m_options->setObjectName(QStringLiteral("options"));
    m_options->setAutoDefault(false);
    auto* close = new QPushButton(QStringLiteral("退出"), this);
    close->setAutoDefault(false);
    m_export->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_footer, 1);
    buttons->addWidget(m_options);
    buttons->addWidget(m_export);
    buttons->addWidget(m_refresh);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(filters);
    layout->addWidget(m_table, 1);
    layout->addLayout(buttons);

    connect(m_refresh, &QPushButton::clicked, this, &SysLogManageDialog::refresh);
    connect(m_export, &QPushButton::clicked, this, [this] {
        PrompterParentScope scope(m_prompter, this);
        m_viewer.exportList();
    });
    connect(m_options, &QPushButton::clicked, this, [this, &app] {
        SysLogOptionDialog dialog(app.database(), this);
        dialog.exec();
    });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    resize(760, 480);
    {
        PrompterParentScope scope(m_prompter, this);
        m_viewer.open();
    }
    m_user->addItems(m_viewer.operatorChoices());
    showRows();
}

void SysLogManageDialog::refresh()
{
    CDlgSysLogManage::Filter& filter = m_viewer.filter();
    filter.user = m_user->currentText();
    filter.start = m_useStart->isChecked() ? std::optional<QDate>(m_start->date()) : std::nullopt;
    filter.end = m_useEnd->isChecked() ? std::optional<QDate>(m_end->date()) : std::nullopt;
    filter.action = m_action->text();
    {
        PrompterParentScope scope(m_prompter, this);
        m_viewer.refresh();
    }
    showRows();
}

void SysLogManageDialog::showRows()
{
    m_model.reset(&m_viewer.rows());
    if (m_model.columnCount() > 0) {
        m_table->setColumnHidden(0, true); // id
        m_table->setColumnWidth(1, 150);
        m_table->setColumnWidth(2, 90);
    }
    m_footer->setText(m_viewer.footerText());
}

} // namespace orvane::core::ui
