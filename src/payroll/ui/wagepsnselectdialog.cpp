#include "payroll/ui/wagepsnselectdialog.h"

#include "payroll/ui/gridhelpers.h"

#include "widgets/cdropdownlistdept.h"
#include "widgets/cgridview.h"
#include "widgets/gridmodel.h"

#include "core/corvaneapp.h"

#include "personnel/pickerlists.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace orvane::payroll::ui {

WagePsnSelectDialog::WagePsnSelectDialog(CDlgWagePsnSelect& select, core::COrvaneApp& app,
                                         QWidget* parent)
    : QDialog(parent), m_select(select)
{
    setObjectName(QStringLiteral("WagePsnSelectDialog"));
    setWindowTitle(QStringLiteral("选择人员"));
    resize(720, 540);
    m_departments = new widgets::CDropDownListDept(this);
    m_departments->setObjectName(QStringLiteral("departments"));
    m_departments->setDepartments(
        personnel::PickerLists(app.database(), app.currentOperator()).departments());
    m_departments->setCurrentDepartment(select.departmentId());
    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("search"));
    m_search->setPlaceholderText(QStringLiteral("编号或姓名"));
    QPushButton* find = commandButton(this, QStringLiteral("查找"), "find");
    m_grid = createGrid(this, &m_model, "candidates");
    QPushButton* all = commandButton(this, QStringLiteral("全选"), "tickAll");
    QPushButton* none = commandButton(this, QStringLiteral("全不选"), "untickAll");
    QPushButton* add = commandButton(this, QStringLiteral("添加"), "add");
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
    bottom->addStretch();
    bottom->addWidget(add);
    bottom->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_grid, 1);
    layout->addLayout(bottom);

    // A click on the tick cell or the space bar on a row toggles the tick.
    connect(m_grid->table(), &QTableView::clicked, this, [this](const QModelIndex& index) {
        if (index.column() == CandidateList::Ticked)
            toggle(index.row());
    });
    connect(m_departments, &QComboBox::currentIndexChanged, this, [this] {
        m_select.setDepartment(m_departments->currentDepartment());
        showCandidates();
    });
    auto search = [this] {
        const int row = m_select.candidates().search(m_search->text());
        if (row >= 0)
            m_grid->selectRow(row);
    };
    connect(find, &QPushButton::clicked, this, search);
    connect(m_search, &QLineEdit::returnPressed, this, search);
    connect(all, &QPushButton::clicked, this, [this] {
        m_select.candidates().tickAll(true);
        showCandidates();
    });
    connect(none, &QPushButton::clicked, this, [this] {
        m_select.candidates().tickAll(false);
        showCandidates();
    });
    connect(add, &QPushButton::clicked, this, [this] {
        if (m_select.addTicked())
            showCandidates();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_grid, &widgets::CGridView::rowActivated, this, [this](int row) {
        if (m_select.addOne(row))
            showCandidates();
    });
    m_grid->table()->installEventFilter(this);
    showCandidates();
}

bool WagePsnSelectDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space && m_grid->currentRow() >= 0) {
        toggle(m_grid->currentRow());
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void WagePsnSelectDialog::toggle(int row)
{
    toggleCandidate(m_model, m_select.candidates(), m_display, row);
}

void WagePsnSelectDialog::showCandidates()
{
    ui::showCandidates(m_grid, m_model, m_select.candidates(), m_display);
}

} // namespace orvane::payroll::ui
