#include "payroll/ui/wagepsntabledialog.h"

#include "payroll/ui/gridhelpers.h"

#include "widgets/cdropdownlistdept.h"
#include "widgets/cgridview.h"
#include "widgets/gridmodel.h"

#include "core/apphelpers.h"
#include "core/corvaneapp.h"

#include "personnel/pickerlists.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace orvane::payroll::ui {

WagePsnTableDialog::WagePsnTableDialog(CDlgWagePsnTable& table, core::COrvaneApp& app,
                                       QWidget* parent)
    : QDialog(parent), m_table(table)
{
    setObjectName(QStringLiteral("WagePsnTableDialog"));
    setWindowTitle(QStringLiteral("添加人员"));
    resize(720, 560);
    m_departments = new widgets::CDropDownListDept(this);
    m_departments->setObjectName(QStringLiteral("departments"));
    m_departments->setDepartments(
        personnel::PickerLists(app.database(), app.currentOperator()).departments());
    m_departments->setCurrentDepartment(table.departmentId());
    m_search = new QLineEdit(this);
    m_search->setPlaceholderText(QStringLiteral("编号或姓名"));
    QPushButton* find = commandButton(this, QStringLiteral("查找"), "find");
    m_grid = createGrid(this, &m_model, "candidates");
    QPushButton* all = commandButton(this, QStringLiteral("全选"), "tickAll");
    QPushButton* none = commandButton(this, QStringLiteral("全不选"), "untickAll");
    m_importEarlier = new QCheckBox(QStringLiteral("同时导入以往薪资数据"), this);
    m_importEarlier->setObjectName(QStringLiteral("importEarlier"));
    m_months = new QComboBox(this);
    m_months->setObjectName(QStringLiteral("earlierMonth"));
    for (int month : table.earlierMonths())
        m_months->addItem(core::monthText(month), month);
    m_months->setEnabled(false);
    m_importEarlier->setEnabled(!table.earlierMonths().isEmpty());
    QPushButton* ok = commandButton(this, QStringLiteral("确定"), "ok");
    QPushButton* cancel = commandButton(this, QStringLiteral("取消"), "cancel");

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("部门："), this));
    top->addWidget(m_departments, 1);
    top->addWidget(new QLabel(QStringLiteral("编号/姓名："), this));
    top->addWidget(m_search);
    top->addWidget(find);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(all);
    bottom->addWidget(none);
    bottom->addSpacing(16);
    bottom->addWidget(m_importEarlier);
    bottom->addWidget(m_months);
    bottom->addStretch();
    bottom->addWidget(ok);
    bottom->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_grid, 1);
    layout->addLayout(bottom);

    connect(m_grid->table(), &QTableView::clicked, this, [this](const QModelIndex& index) {
        if (index.column() == CandidateList::Ticked)
            toggleCandidate(m_model, m_table.candidates(), m_display, index.row());
    });
    connect(m_departments, &QComboBox::currentIndexChanged, this, [this] {
        m_table.setDepartment(m_departments->currentDepartment());
        showCandidates();
    });
    auto search = [this] {
        const int row = m_table.candidates().search(m_search->text());
        if (row >= 0)
            m_grid->selectRow(row);
    };
    connect(find, &QPushButton::clicked, this, search);
    connect(m_search, &QLineEdit::returnPressed, this, search);
    connect(all, &QPushButton::clicked, this, [this] {
        m_table.candidates().tickAll(true);
        showCandidates();
    });
    connect(none, &QPushButton::clicked, this, [this] {
        m_table.candidates().tickAll(false);
        showCandidates();
    });
    connect(m_importEarlier, &QCheckBox::toggled, m_months, &QWidget::setEnabled);
    connect(ok, &QPushButton::clicked, this, &WagePsnTableDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    m_grid->table()->installEventFilter(this);
    showCandidates();
}

void WagePsnTableDialog::accept()
{
    m_table.importEarlier = m_importEarlier->isChecked();
    m_table.earlierMonth = m_months->currentData().toInt();
    if (m_table.accept())
        QDialog::accept();
}

bool WagePsnTableDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space && m_grid->currentRow() >= 0) {
        toggleCandidate(m_model, m_table.candidates(), m_display, m_grid->currentRow());
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void WagePsnTableDialog::showCandidates()
{
    ui::showCandidates(m_grid, m_model, m_table.candidates(), m_display);
}

} // namespace orvane::payroll::ui
