#include "widgets/templatemanagerdialog.h"

#include "payroll/templatemanager.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QShortcut>
#include <QTableWidget>
#include <QVBoxLayout>

namespace orvane::widgets {

TemplateManagerDialog::TemplateManagerDialog(payroll::TemplateManager& manager,
                                             std::function<int(int key)> edit, QWidget* parent)
    : QDialog(parent), m_manager(manager), m_edit(std::move(edit))
{
    setObjectName(QStringLiteral("TemplateManagerDialog"));
    setWindowTitle(manager.kind().caption);
    resize(560, 400);
    m_table = new QTableWidget(0, 2, this);
    m_table->setObjectName(QStringLiteral("templates"));
    m_table->setHorizontalHeaderLabels({QStringLiteral("启用"), QStringLiteral("模板名称")});
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setColumnWidth(0, 60);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->hide();

    auto* buttons = new QVBoxLayout;
    const auto button = [&](const QString& text, const char* name) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        buttons->addWidget(b);
        return b;
    };
    QPushButton* add = button(QStringLiteral("新建(&N)"), "new");
    QPushButton* modify = button(QStringLiteral("修改(&M)"), "modify");
    QPushButton* copy = button(QStringLiteral("复制(&C)"), "copy");
    QPushButton* remove = button(QStringLiteral("删除(&D)"), "delete");
    QPushButton* up = button(QStringLiteral("向上(&U)"), "up");
    QPushButton* down = button(QStringLiteral("向下(&W)"), "down");
    QPushButton* refresh = button(QStringLiteral("刷新(&R)"), "refresh");
    buttons->addStretch();
    QPushButton* close = button(QStringLiteral("退出(&X)"), "close");
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_table, 1);
    layout->addLayout(buttons);

    connect(m_table, &QTableWidget::currentCellChanged, this, [this](int row) {
        if (!m_filling)
            m_manager.templates().setCurrentRow(row);
    });
    connect(m_table, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (m_filling || item->column() != 0)
            return;
        m_manager.setActive(item->row(), item->checkState() == Qt::Checked);
        showTemplates();
    });
    connect(m_table, &QTableWidget::cellDoubleClicked, this, [this] { editTemplate(false); });
    connect(add, &QPushButton::clicked, this, [this] { editTemplate(true); });
    connect(modify, &QPushButton::clicked, this, [this] { editTemplate(false); });
    connect(copy, &QPushButton::clicked, this, [this] {
        if (m_manager.copySelected())
            showTemplates();
    });
    connect(remove, &QPushButton::clicked, this, [this] {
        if (m_manager.deleteSelected())
            showTemplates();
    });
    const auto move = [this](core::RowOrder::Direction direction) {
        if (m_manager.move(direction))
            showTemplates();
    };
    connect(up, &QPushButton::clicked, this, [move] { move(core::RowOrder::Direction::Up); });
    connect(down, &QPushButton::clicked, this, [move] { move(core::RowOrder::Direction::Down); });
    auto* upKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Up), this);
    connect(upKey, &QShortcut::activated, up, &QPushButton::click);
    auto* downKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Down), this);
    connect(downKey, &QShortcut::activated, down, &QPushButton::click);
    connect(refresh, &QPushButton::clicked, this, [this] {
        m_manager.refresh();
        showTemplates();
    });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    m_manager.refresh();
    showTemplates();
}

void TemplateManagerDialog::showTemplates()
{
    m_filling = true;
    const db::ResultSet& rows = m_manager.templates().rows();
    m_table->setRowCount(rows.rowCount());
    for (int r = 0; r < rows.rowCount(); ++r) {
        auto* active = new QTableWidgetItem;
        active->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        active->setCheckState(rows.value(r, QStringLiteral("Active")).toInt() != 0 ? Qt::Checked
                                                                                   : Qt::Unchecked);
        m_table->setItem(r, 0, active);
        m_table->setItem(r, 1,
                         new QTableWidgetItem(rows.value(r, QStringLiteral("Name")).toString()));
    }
    const int current = m_manager.templates().currentRow();
    if (current >= 0)
        m_table->selectRow(current);
    m_filling = false;
}

void TemplateManagerDialog::editTemplate(bool isNew)
{
    int key = 0;
    if (!isNew && (key = m_manager.selectedForChange()) == 0)
        return;
    const int stored = m_edit(key);
    if (stored != 0) {
        m_manager.reloadAndSelect(stored);
        showTemplates();
    }
}

} // namespace orvane::widgets
