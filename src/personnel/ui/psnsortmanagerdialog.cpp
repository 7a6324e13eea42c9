#include "personnel/ui/psnsortmanagerdialog.h"

#include "core/ui/qtprompter.h"
#include "personnel/cdlgdynctlformforpsnsort.h"
#include "personnel/ui/dynctlformdialog.h"
#include "widgets/commandbutton.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace orvane::personnel::ui {

PsnSortManagerDialog::PsnSortManagerDialog(core::COrvaneApp& app, core::Prompter& prompter,
                                           QWidget* parent)
    : QDialog(parent), m_prompter(prompter), m_manager(app, prompter),
      m_table(new QTableWidget(this))
{
    setObjectName(QStringLiteral("PsnSortManagerDialog"));
    setWindowTitle(QStringLiteral("人员类别"));
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setAlternatingRowColors(true);
    m_table->verticalHeader()->setVisible(false);
    m_table->verticalHeader()->setDefaultSectionSize(24);
    m_table->horizontalHeader()->setStretchLastSection(true);

    auto* bar = new QHBoxLayout;
    const std::pair<const char*, bool (CDlgPsnSortManager::*)()> commands[] = {
        {"新建", &CDlgPsnSortManager::newCategory},    {"修改", &CDlgPsnSortManager::editCategory},
        {"删除", &CDlgPsnSortManager::deleteCategory}, {"向上", &CDlgPsnSortManager::moveUp},
        {"向下", &CDlgPsnSortManager::moveDown},       {"刷新", &CDlgPsnSortManager::refresh}};
    for (const auto& [text, command] : commands) {
        connect(widgets::addCommandButton(bar, this, QString::fromUtf8(text)),
                &QPushButton::clicked, this, [this, command = command] { run(command); });
    }
    bar->addStretch(1);
    connect(widgets::addCommandButton(bar, this, QStringLiteral("退出")), &QPushButton::clicked,
            this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(m_table, 1);

    m_manager.runForm = [this](CDlgDynCtlFormForPsnSort& form) {
        DynCtlFormDialog dialog(form, m_prompter, this);
        dialog.exec();
    };
    connect(m_table->horizontalHeader(), &QHeaderView::sectionResized, this,
            [this](int column, int, int width) {
                // Only a drag by the operator counts; the last column follows the window.
                if (!m_filling && QGuiApplication::mouseButtons() != Qt::NoButton &&
                    column < m_manager.columns().size())
                    m_manager.columnResized(m_manager.columns()[column].caption, width);
            });
    connect(m_table, &QTableWidget::cellDoubleClicked, this,
            [this] { run(&CDlgPsnSortManager::editCategory); });
    resize(460, 400);
    {
        core::ui::PrompterParentScope scope(m_prompter, this);
        m_manager.reload();
    }
    showRows();
}

void PsnSortManagerDialog::showRows()
{
    m_filling = true;
    const auto& columns = m_manager.columns();
    RowList& rows = m_manager.rows();
    m_table->clear();
    m_table->setColumnCount(int(columns.size()));
    m_table->setRowCount(rows.rowCount());
    QStringList headers;
    for (const auto& column : columns)
        headers << column.caption;
    m_table->setHorizontalHeaderLabels(headers);
    for (int c = 0; c < columns.size(); ++c) {
        m_table->setColumnHidden(c, columns[c].hidden);
        m_table->setColumnWidth(c, columns[c].width > 0 ? columns[c].width : 100);
    }
    for (int r = 0; r < rows.rowCount(); ++r)
        for (int c = 0; c < columns.size(); ++c)
            m_table->setItem(r, c, new QTableWidgetItem(rows.row(r).value(c).toString()));
    if (rows.currentRow() >= 0)
        m_table->selectRow(rows.currentRow());
    m_filling = false;
}

void PsnSortManagerDialog::run(bool (CDlgPsnSortManager::*command)())
{
    m_manager.rows().setCurrentRow(m_table->currentRow());
    core::ui::PrompterParentScope scope(m_prompter, this);
    (m_manager.*command)();
    showRows();
}

} // namespace orvane::personnel::ui
