#include "payroll/ui/banktempletdialog.h"

#include "payroll/cdlgwagebankoutput.h"
#include "payroll/ui/bankoutputdialog.h"
#include "payroll/wagescriptsession.h"

#include "core/corvaneapp.h"
#include "core/prompter.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

namespace orvane::payroll::ui {

namespace {

QString sourceText(const BankField& f)
{
    switch (f.source) {
    case BankField::SourceField:
        return QStringLiteral("源字段：") + f.content;
    case BankField::Custom:
        return QStringLiteral("自定义：") + f.content;
    case BankField::Sequence:
        return QStringLiteral("顺序号");
    default:
        return QString();
    }
}

QString formatText(const BankField& f)
{
    QStringList parts;
    if (f.fixedLength)
        parts << QStringLiteral("定长%1，%2%3")
                     .arg(f.length)
                     .arg(f.fillBefore == 0 ? QStringLiteral("补前") : QStringLiteral("补后"),
                          f.fillChar == 1 ? QStringLiteral("0") : QStringLiteral("空格"));
    if (f.quote == BankField::DoubleQuote)
        parts << QStringLiteral("双引号");
    else if (f.quote == BankField::SingleQuote)
        parts << QStringLiteral("单引号");
    return parts.join(QStringLiteral("，"));
}

} // namespace

BankTempletDialog::BankTempletDialog(core::COrvaneApp& app, core::Prompter& prompter, int sortId,
                                     int eid, QWidget* parent)
    : QDialog(parent), m_app(app), m_prompter(prompter), m_sortId(sortId),
      m_flow(app, prompter, sortId, eid)
{
    setObjectName(QStringLiteral("BankTempletDialog"));
    setWindowTitle(m_flow.title());
    resize(760, 600);
    m_flow.load();
    const BankTemplate& v = m_flow.values();
    m_name = new QLineEdit(v.name, this);
    m_name->setObjectName(QStringLiteral("name"));
    m_name->setMaxLength(255);
    m_header = new QPlainTextEdit(v.header, this);
    m_header->setObjectName(QStringLiteral("header"));
    m_header->setMaximumHeight(60);
    m_footer = new QPlainTextEdit(v.footer, this);
    m_footer->setObjectName(QStringLiteral("footer"));
    m_footer->setMaximumHeight(60);
    m_sep = new QLineEdit(v.separator, this);
    m_sep->setMaxLength(6);
    m_ext = new QLineEdit(v.extension, this);
    m_ext->setMaxLength(6);
    m_rows = new QSpinBox(this);
    m_rows->setRange(0, 10000000);
    m_rows->setValue(v.linesPerFile);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("模板名称："), m_name);
    form->addRow(QStringLiteral("首部标识："), m_header);
    form->addRow(QStringLiteral("尾部标识："), m_footer);
    auto* line = new QHBoxLayout;
    line->addWidget(m_sep);
    line->addWidget(new QLabel(QStringLiteral("文件扩展名："), this));
    line->addWidget(m_ext);
    line->addWidget(new QLabel(QStringLiteral("单文件最大行数（不限填0）："), this));
    line->addWidget(m_rows);
    form->addRow(QStringLiteral("数据域分隔符："), line);

    m_fields = new QTableWidget(0, 3, this);
    m_fields->setObjectName(QStringLiteral("fields"));
    m_fields->setHorizontalHeaderLabels(
        {QStringLiteral("域描述名"), QStringLiteral("域内容"), QStringLiteral("格式")});
    m_fields->horizontalHeader()->setStretchLastSection(true);
    m_fields->setColumnWidth(0, 120);
    m_fields->setColumnWidth(1, 360);
    m_fields->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_fields->setSelectionMode(QAbstractItemView::SingleSelection);
    m_fields->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_fields->verticalHeader()->hide();
    auto* commands = new QVBoxLayout;
    const auto button = [&](const QString& text) {
        auto* b = new QPushButton(text, this);
        b->setAutoDefault(false);
        commands->addWidget(b);
        return b;
    };
    QPushButton* add = button(QStringLiteral("新建"));
    QPushButton* modify = button(QStringLiteral("修改"));
    QPushButton* remove = button(QStringLiteral("删除"));
    QPushButton* up = button(QStringLiteral("向上"));
    QPushButton* down = button(QStringLiteral("向下"));
    QPushButton* refresh = button(QStringLiteral("刷新"));
    commands->addStretch();
    auto* box = new QGroupBox(QStringLiteral("明细数据域"), this);
    auto* boxLayout = new QHBoxLayout(box);
    boxLayout->addWidget(m_fields, 1);
    boxLayout->addLayout(commands);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton* previewButton =
        buttons->addButton(QStringLiteral("预览(&V)"), QDialogButtonBox::ActionRole);
    previewButton->setObjectName(QStringLiteral("preview"));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(box, 1);
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::accepted, this, &BankTempletDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(previewButton, &QPushButton::clicked, this, &BankTempletDialog::preview);
    connect(m_fields, &QTableWidget::currentCellChanged, this,
            [this](int row) { m_flow.fields().setCurrentRow(row); });
    connect(m_fields, &QTableWidget::cellDoubleClicked, this, [this] { editField(false); });
    connect(add, &QPushButton::clicked, this, [this] { editField(true); });
    connect(modify, &QPushButton::clicked, this, [this] { editField(false); });
    connect(remove, &QPushButton::clicked, this, [this] {
        if (m_flow.deleteField())
            showFields();
    });
    connect(up, &QPushButton::clicked, this, [this] {
        if (m_flow.moveField(core::RowOrder::Direction::Up))
            showFields();
    });
    connect(down, &QPushButton::clicked, this, [this] {
        if (m_flow.moveField(core::RowOrder::Direction::Down))
            showFields();
    });
    connect(refresh, &QPushButton::clicked, this, [this] {
        m_flow.refreshFields();
        showFields();
    });
    showFields();
}

void BankTempletDialog::collect()
{
    BankTemplate& v = m_flow.values();
    v.name = m_name->text();
    v.header = m_header->toPlainText();
    v.footer = m_footer->toPlainText();
    v.separator = m_sep->text();
    v.extension = m_ext->text();
    v.linesPerFile = m_rows->value();
}

void BankTempletDialog::showFields()
{
    const int current = m_flow.fields().currentRow();
    m_fields->setRowCount(m_flow.fields().rowCount());
    for (int r = 0; r < m_flow.fields().rowCount(); ++r) {
        const BankField f = m_flow.fieldAt(r);
        m_fields->setItem(r, 0, new QTableWidgetItem(f.name));
        m_fields->setItem(r, 1, new QTableWidgetItem(sourceText(f)));
        m_fields->setItem(r, 2, new QTableWidgetItem(formatText(f)));
    }
    if (current >= 0)
        m_fields->selectRow(current);
}

void BankTempletDialog::editField(bool isNew)
{
    if (!m_flow.canEditFields())
        return;
    BankField field;
    if (!isNew) {
        if (m_flow.fields().currentKey() == 0) {
            m_prompter.message(QStringLiteral("请选择项！"), core::promptCaption(),
                               core::Prompter::Icon::Warning);
            return;
        }
        field = m_flow.fieldAt(m_flow.fields().currentRow());
    }
    CDlgWageBankDetail detail(m_app, m_prompter, m_sortId, m_flow.eid());
    BankDetailDialog dialog(detail, m_flow.sourceCaptions(), field, this);
    if (dialog.exec() == QDialog::Accepted && m_flow.storeField(dialog.field()))
        showFields();
}

void BankTempletDialog::preview()
{
    collect();
    QString sql;
    script::WageContext context;
    if (!m_flow.previewQuery(sql, context))
        return;
    WageScriptSession session(m_app.database(), context);
    BankTemplate values = m_flow.values();
    CDlgWageBankOutput output(m_app.database(), values, sql, session);
    BankOutputDialog dialog(output, m_prompter, this);
    dialog.startLater();
    dialog.exec();
}

void BankTempletDialog::accept()
{
    collect();
    if (m_flow.save())
        QDialog::accept();
}

BankDetailDialog::BankDetailDialog(CDlgWageBankDetail& flow, const QStringList& captions,
                                   BankField field, QWidget* parent)
    : QDialog(parent), m_flow(flow), m_field(std::move(field))
{
    setObjectName(QStringLiteral("BankDetailDialog"));
    setWindowTitle(CDlgWageBankDetail::title(m_field.id == 0));
    setMinimumWidth(440);
    m_name = new QLineEdit(m_field.name, this);
    m_name->setMaxLength(20);
    m_source = new QRadioButton(QStringLiteral("源字段"), this);
    m_custom = new QRadioButton(QStringLiteral("自定义"), this);
    auto* sequence = new QRadioButton(QStringLiteral("顺序号"), this);
    auto* group = new QButtonGroup(this);
    group->addButton(m_source, BankField::SourceField);
    group->addButton(m_custom, BankField::Custom);
    group->addButton(sequence, BankField::Sequence);
    m_caption = new QComboBox(this);
    m_caption->addItems(captions);
    m_content = new QLineEdit(this);
    m_content->setMaxLength(255);
    if (m_field.source == BankField::SourceField)
        m_caption->setCurrentText(m_field.content);
    else
        m_content->setText(m_field.content);
    if (QAbstractButton* b = group->button(m_field.source))
        b->setChecked(true);
    m_fixed = new QCheckBox(QStringLiteral("是否定长"), this);
    m_fixed->setChecked(m_field.fixedLength);
    m_length = new QSpinBox(this);
    m_length->setRange(0, 255);
    m_length->setValue(m_field.length);
    const auto choice = [this](const QStringList& items, int current) {
        auto* box = new QComboBox(this);
        box->addItems(items);
        box->setCurrentIndex(std::clamp(current, 0, int(items.size()) - 1));
        return box;
    };
    m_fill = choice({QStringLiteral("空格"), QStringLiteral("0")}, m_field.fillChar);
    m_direction = choice({QStringLiteral("补前"), QStringLiteral("补后")}, m_field.fillBefore);
    m_quote = choice({QStringLiteral("无"), QStringLiteral("双引号"), QStringLiteral("单引号")},
                     m_field.quote);
    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("域描述名："), m_name);
    form->addRow(m_source, m_caption);
    form->addRow(m_custom, m_content);
    form->addRow(sequence);
    auto* fixedRow = new QHBoxLayout;
    fixedRow->addWidget(m_fixed);
    fixedRow->addWidget(new QLabel(QStringLiteral("长度："), this));
    fixedRow->addWidget(m_length);
    form->addRow(fixedRow);
    form->addRow(QStringLiteral("补位符："), m_fill);
    form->addRow(QStringLiteral("补位方向："), m_direction);
    form->addRow(QStringLiteral("内容引号："), m_quote);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &BankDetailDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    const auto sync = [this] {
        m_caption->setEnabled(m_source->isChecked());
        m_content->setEnabled(m_custom->isChecked());
        for (QWidget* w : std::initializer_list<QWidget*>{m_length, m_fill, m_direction})
            w->setEnabled(m_fixed->isChecked());
    };
    connect(group, &QButtonGroup::idClicked, this, sync);
    connect(m_fixed, &QCheckBox::toggled, this, sync);
    sync();
}

void BankDetailDialog::accept()
{
    BankField f = m_field;
    f.name = m_name->text();
    f.source = m_source->isChecked()   ? BankField::SourceField
               : m_custom->isChecked() ? BankField::Custom
                                       : BankField::Sequence;
    f.content = f.source == BankField::SourceField ? m_caption->currentText()
                : f.source == BankField::Custom    ? m_content->text()
                                                   : QString();
    f.fixedLength = m_fixed->isChecked();
    f.length = m_length->value();
    f.fillChar = m_fill->currentIndex();
    f.fillBefore = m_direction->currentIndex();
    f.quote = m_quote->currentIndex();
    if (!m_flow.check(f))
        return;
    m_field = f;
    QDialog::accept();
}

} // namespace orvane::payroll::ui
