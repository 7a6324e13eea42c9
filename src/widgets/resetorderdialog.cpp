#include "widgets/resetorderdialog.h"

#include "core/cdlgresetorder.h"
#include "widgets/cgridview.h"
#include "widgets/gridmodel.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace orvane::widgets {

ResetOrderDialog::ResetOrderDialog(core::CDlgResetOrder& order, const QString& title,
                                   QWidget* parent)
    : QDialog(parent), m_order(order), m_model(new GridModel(this)), m_grid(new CGridView(this))
{
    setWindowTitle(title);
    resize(560, 480);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_grid, 1);
    auto* buttons = new QVBoxLayout;
    layout->addLayout(buttons);

    using Command = bool (core::CDlgResetOrder::*)();
    const std::pair<QString, Command> commands[] = {
        {QStringLiteral("置顶"), &core::CDlgResetOrder::moveTop},
        {QStringLiteral("置底"), &core::CDlgResetOrder::moveBottom},
        {QStringLiteral("向上"), &core::CDlgResetOrder::moveUp},
        {QStringLiteral("向下"), &core::CDlgResetOrder::moveDown},
        {QStringLiteral("刷新"), &core::CDlgResetOrder::refresh},
    };
    for (const auto& [caption, command] : commands) {
        auto* button = new QPushButton(caption, this);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, command = command] { run(command); });
        buttons->addWidget(button);
        m_buttons << button;
    }
    buttons->addStretch(1);
    auto* close = new QPushButton(QStringLiteral("退出"), this);
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    buttons->addWidget(close);
    m_buttons << close;

    m_grid->setModel(m_model);
    m_grid->table()->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->table()->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->table()->installEventFilter(this);
    connect(m_grid, &CGridView::currentRowChanged, this,
            [this](int row) { m_order.setCurrentRow(row); });

    m_order.load();
    showRows();
}

void ResetOrderDialog::showRows()
{
    QList<core::GridColumn> columns = GridModel::defaultColumns(m_order.rows());
    if (m_order.keyColumn() >= 0 && m_order.keyColumn() < columns.size())
        columns[m_order.keyColumn()].visible = false;
    if (m_order.orderColumn() >= 0 && m_order.orderColumn() < columns.size())
        columns[m_order.orderColumn()].caption = QStringLiteral("顺序");
    const int current = m_order.currentRow();
    m_model->setSource(&m_order.rows(), columns);
    m_grid->setFooterText(m_order.footerText());
    if (current >= 0)
        m_grid->selectRow(current);
}

void ResetOrderDialog::run(bool (core::CDlgResetOrder::*command)())
{
    // The list is reread after every command, moved or not, so the grid shows what is stored.
    (m_order.*command)();
    showRows();
}

bool ResetOrderDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_grid->table() && event->type() == QEvent::KeyPress) {
        switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Home:
            run(&core::CDlgResetOrder::moveTop);
            return true;
        case Qt::Key_End:
            run(&core::CDlgResetOrder::moveBottom);
            return true;
        case Qt::Key_Up:
            run(&core::CDlgResetOrder::moveUp);
            return true;
        case Qt::Key_Down:
            run(&core::CDlgResetOrder::moveDown);
            return true;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace orvane::widgets
