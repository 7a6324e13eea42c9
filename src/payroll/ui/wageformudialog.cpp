#include "payroll/ui/wageformudialog.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace orvane::payroll::ui {

WageFormuDialog::WageFormuDialog(CDlgWageFormu& formu, QWidget* parent)
    : QDialog(parent), m_formu(formu)
{
    setObjectName(QStringLiteral("WageFormuDialog"));
    setWindowTitle(formu.windowTitle());
    resize(860, 560);

    m_fields = new QTreeWidget(this);
    m_fields->setObjectName(QStringLiteral("fields"));
    m_fields->setHeaderLabel(QStringLiteral("项目"));
    for (const CDlgWageFormu::FieldGroup& group : formu.fields()) {
        auto* top = new QTreeWidgetItem(m_fields, {group.title});
        for (const QString& caption : group.captions) {
            new QTreeWidgetItem(top, {caption});
        }
        top->setExpanded(true);
    }
    m_functions = new QTreeWidget(this);
    m_functions->setObjectName(QStringLiteral("functions"));
    m_functions->setHeaderLabel(QStringLiteral("函数"));
    for (const CDlgWageFormu::FunctionGroup& group : formu.functions()) {
        auto* top = new QTreeWidgetItem(m_functions, {group.title});
        for (const CDlgWageFormu::Function& f : group.functions) {
            new QTreeWidgetItem(top, {f.name});
        }
        top->setExpanded(true);
    }
    m_description = new QLabel(this);
    m_description->setObjectName(QStringLiteral("description"));
    m_description->setWordWrap(true);
    m_description->setMinimumHeight(48);
    m_description->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    m_edit = new QPlainTextEdit(formu.formula, this);
    m_edit->setObjectName(QStringLiteral("formula"));
    m_edit->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_edit->setMaximumHeight(130);

    auto* pad = new QGridLayout;
    const QList<CDlgWageFormu::Button>& buttons = CDlgWageFormu::buttons();
    for (int i = 0; i < buttons.size(); ++i) {
        auto* b = new QPushButton(buttons[i].text.trimmed(), this);
        b->setToolTip(buttons[i].tip);
        b->setAutoDefault(false);
        b->setFixedWidth(48);
        const QString text = buttons[i].text;
        connect(b, &QPushButton::clicked, this, [this, text] { insert(text); });
        pad->addWidget(b, i / 8, i % 8);
    }
    auto* undo = new QPushButton(QStringLiteral("撤销"), this);
    undo->setObjectName(QStringLiteral("undo"));
    undo->setToolTip(QStringLiteral("撤销上一次编辑"));
    undo->setAutoDefault(false);
    connect(undo, &QPushButton::clicked, m_edit, &QPlainTextEdit::undo);
    pad->addWidget(undo, int(buttons.size()) / 8, int(buttons.size()) % 8, 1, 2);

    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(box, &QDialogButtonBox::accepted, this, &WageFormuDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* trees = new QHBoxLayout;
    trees->addWidget(m_fields, 1);
    auto* functionColumn = new QVBoxLayout;
    functionColumn->addWidget(m_functions, 1);
    functionColumn->addWidget(m_description);
    trees->addLayout(functionColumn, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(trees, 3);
    layout->addWidget(new QLabel(QStringLiteral("公式："), this));
    layout->addWidget(m_edit, 2);
    layout->addLayout(pad);
    layout->addWidget(box);

    connect(m_fields, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
        if (item->parent())
            insert(CDlgWageFormu::fieldReference(item->parent()->text(0), item->text(0)));
    });
    connect(m_functions, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        m_description->setText(item && item->parent() ? m_formu.description(item->text(0))
                                                      : QString());
    });
    connect(m_functions, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
        if (item->parent())
            insert(item->text(0));
    });
    m_edit->setFocus();
}

void WageFormuDialog::insert(const QString& text)
{
    m_edit->insertPlainText(text);
    // A function inserted as "Name()" leaves the caret between its parentheses.
    if (text.size() > 2 && text.endsWith(QLatin1String("()")))
        m_edit->moveCursor(QTextCursor::PreviousCharacter);
    m_edit->setFocus();
}

void WageFormuDialog::accept()
{
    m_formu.formula = m_edit->toPlainText();
    QDialog::accept();
}

} // namespace orvane::payroll::ui
