#include "personnel/ui/psnnumprefixdialog.h"

#include "core/ui/qtprompter.h"
#include "widgets/ctreegrid.h"

#include <QDialogButtonBox>
#include <QTimer>
#include <QVBoxLayout>

namespace orvane::personnel::ui {

PsnNumPrefixDialog::PsnNumPrefixDialog(core::COrvaneApp& app, core::Prompter& prompter,
                                       QWidget* parent)
    : QDialog(parent), m_prefixes(app, prompter), m_prompter(prompter),
      m_grid(new widgets::CTreeGrid(this))
{
    setObjectName(QStringLiteral("PsnNumPrefixDialog"));
    setWindowTitle(QStringLiteral("人员编号前缀"));
    m_grid->setKeyColumn(CDlgDetpPsnNumPrefix::DidColumn);
    m_grid->setEditableColumn(CDlgDetpPsnNumPrefix::PrefixColumn);
    m_grid->setColumns(CDlgDetpPsnNumPrefix::columns());
    {
        core::ui::PrompterParentScope scope(m_prompter, this);
        m_prefixes.refresh();
    }
    m_grid->setRows(m_prefixes.rows());
    connect(m_grid, &widgets::CTreeGrid::cellEdited, this,
            [this](int did, int, const QString& text) {
                core::ui::PrompterParentScope scope(m_prompter, this);
                if (!m_prefixes.setPrefix(did, text))
                    QTimer::singleShot(0, this, [this] { m_grid->setRows(m_prefixes.rows()); });
            });
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_grid, 1);
    layout->addWidget(buttons);
    resize(400, 440);
}

} // namespace orvane::personnel::ui
