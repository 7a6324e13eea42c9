#include "core/ui/userlistdialog.h"

#include "core/ui/qtprompter.h"
#include "core/ui/userdialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace orvane::core::ui {

UserListDialog::UserListDialog(COrvaneApp& app, Prompter& prompter, QWidget* parent)
    : QDialog(parent), m_prompter(prompter), m_list(app, prompter)
{
    setObjectName(QStringLiteral("UserListDialog"));
    setWindowTitle(QStringLiteral("操作员管理"));

    m_table = new QTableWidget(0, 4, this);
    m_table->setObjectName(QStringLiteral("operators"));
    m_table->setHorizontalHeaderLabels({QStringLiteral("用户名称"), QStringLiteral("状态"),
                                        QStringLiteral("超级用户"), QStringLiteral("说明")});
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setAlternatingRowColors(true);
    m_table->verticalHeader()->setVisible(false);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setColumnWidth(0, 140);

    auto button = [this](const QString& text, const char* name) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        return b;
    };
    m_new = button(QStringLiteral("新建(&N)"), "new");
    m_change = button(QStringLiteral("修改(&E)"), "change");
    m_delete = button(QStringLiteral("删除(&D)"), "delete");
    m_refresh = button(QStringLiteral("刷新(&R)"), "refresh");
    QPushButton* close = button(QStringLiteral("退出(&X)"), "close");
    m_footer = new QLabel(this);
    m_footer->setObjectName(QStringLiteral("footer"));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_footer, 1);
    for (QPushButton* b : {m_new, m_change, m_delete, m_refresh, close})
        buttons->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_table, 1);
    layout->addLayout(buttons);

    m_list.runEditor = [this](CDLGUser& editor) {
        UserDialog dialog(editor, m_prompter, this);
        return dialog.exec() == QDialog::Accepted;
    };
    connect(m_new, &QPushButton::clicked, this, [this] { run(&CDlgUserList::newOperator); });
    connect(m_change, &QPushButton::clicked, this, [this] { run(&CDlgUserList::changeOperator); });
    connect(m_delete, &QPushButton::clicked, this, [this] { run(&CDlgUserList::deleteOperator); });
    connect(m_refresh, &QPushButton::clicked, this, [this] { run(&CDlgUserList::refresh); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_table, &QTableWidget::cellDoubleClicked, this,
            [this] { run(&CDlgUserList::changeOperator); });

    m_table->installEventFilter(this);

    resize(560, 380);
    {
        PrompterParentScope scope(m_prompter, this);
        m_list.refresh();
    }
    showRows();
}

bool UserListDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_table && event->type() == QEvent::KeyPress) {
        // Enter opens the selected operator, Delete deletes him.
        switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            run(&CDlgUserList::changeOperator);
            return true;
        case Qt::Key_Delete:
            run(&CDlgUserList::deleteOperator);
            return true;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void UserListDialog::run(bool (CDlgUserList::*command)())
{
    const QModelIndexList selected = m_table->selectionModel()->selectedRows();
    m_list.setCurrentRow(selected.isEmpty() ? -1 : selected.first().row());
    PrompterParentScope scope(m_prompter, this);
    if ((m_list.*command)())
        showRows();
}

void UserListDialog::showRows()
{
    const auto& rows = m_list.operators();
    m_table->setRowCount(int(rows.size()));
    for (int row = 0; row < rows.size(); ++row) {
        const OperatorEntry& entry = rows[row];
        const QStringList cells{
            entry.UserName, entry.Locked ? QStringLiteral("锁定") : QStringLiteral("正常"),
            entry.ISuper ? QStringLiteral("是") : QStringLiteral("否"), entry.Descr};
        for (int column = 0; column < cells.size(); ++column)
            m_table->setItem(row, column, new QTableWidgetItem(cells[column]));
    }
    if (m_list.currentRow() >= 0)
        m_table->selectRow(m_list.currentRow());
    else
        m_table->clearSelection();
    m_footer->setText(m_list.footerText());
}

} // namespace orvane::core::ui
