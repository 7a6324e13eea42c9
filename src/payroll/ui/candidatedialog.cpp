#include "payroll/ui/candidatedialog.h"

#include "payroll/candidatelist.h"

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

CandidateDialog::CandidateDialog(CandidateList& candidates, int departmentId, core::COrvaneApp& app,
                                 QWidget* parent)
    : QDialog(parent), m_candidates(candidates)
{
    auto* departments = new widgets::CDropDownListDept(this);
    departments->setObjectName(QStringLiteral("departments"));
    departments->setDepartments(
        personnel::PickerLists(app.database(), app.currentOperator()).departments());
    departments->setCurrentDepartment(departmentId);
    auto* searchText = new QLineEdit(this);
    searchText->setObjectName(QStringLiteral("search"));
    searchText->setPlaceholderText(QStringLiteral("编号或姓名"));
    QPushButton* find = commandButton(this, QStringLiteral("查找"), "find");
    m_grid = createGrid(this, &m_model, "candidates");
    QPushButton* all = commandButton(this, QStringLiteral("全选"), "tickAll");
    QPushButton* none = commandButton(this, QStringLiteral("全不选"), "untickAll");

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("部门："), this));
    top->addWidget(departments, 1);
    top->addWidget(new QLabel(QStringLiteral("编号/姓名："), this));
    top->addWidget(searchText);
    top->addWidget(find);
    m_buttons = new QHBoxLayout;
    m_buttons->addWidget(all);
    m_buttons->addWidget(none);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_grid, 1);
    layout->addLayout(m_buttons);

    connect(m_grid->table(), &QTableView::clicked, this, [this](const QModelIndex& index) {
        if (index.column() == CandidateList::Ticked)
            toggle(index.row());
    });
    connect(departments, &QComboBox::currentIndexChanged, this, [this, departments] {
        setDepartment(departments->currentDepartment());
        showCandidates();
    });
    auto search = [this, searchText] {
        const int row = m_candidates.search(searchText->text());
        if (row >= 0)
            m_grid->selectRow(row);
    };
    connect(find, &QPushButton::clicked, this, search);
    connect(searchText, &QLineEdit::returnPressed, this, search);
    connect(all, &QPushButton::clicked, this, [this] {
        m_candidates.tickAll(true);
        showCandidates();
    });
    connect(none, &QPushButton::clicked, this, [this] {
        m_candidates.tickAll(false);
        showCandidates();
    });
    m_grid->table()->installEventFilter(this);
    showCandidates();
}

bool CandidateDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space && m_grid->currentRow() >= 0) {
        toggle(m_grid->currentRow());
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void CandidateDialog::toggle(int row)
{
    toggleCandidate(m_model, m_candidates, m_display, row);
}

void CandidateDialog::showCandidates()
{
    ui::showCandidates(m_grid, m_model, m_candidates, m_display);
}

} // namespace orvane::payroll::ui
