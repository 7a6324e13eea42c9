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
    auto* name = new QLineEdit(m_field.name, this);
    name->setMaxLength(20);
    auto* source = new QRadioButton(QStringLiteral("源字段"), this);
    auto* custom = new QRadioButton(QStringLiteral("自定义"), this);
    auto* sequence = new QRadioButton(QStringLiteral("顺序号"), this);
    auto* group = new QButtonGroup(this);
    group->addButton(source, 0);
    group->addButton(custom, 1);
    group->addButton(sequence, 2);
    auto* captionBox = new QComboBox(this);
    captionBox->addItems(captions);
    auto* content = new QLineEdit(this);
    content->setMaxLength(255);
    if (m_field.source == BankField::SourceField)
        captionBox->setCurrentText(m_field.content);
    else
        content->setText(m_field.content);
    if (QAbstractButton* b = group->button(m_field.source))
        b->setChecked(true);
    auto* fixed = new QCheckBox(QStringLiteral("是否定长"), this);
    fixed->setChecked(m_field.fixedLength);
    auto* length = new QSpinBox(this);
    length->setRange(0, 255);
    length->setValue(m_field.length);
    auto* fill = new QComboBox(this);
    fill->addItems({QStringLiteral("空格"), QStringLiteral("0")});
    fill->setCurrentIndex(std::clamp(m_field.fillChar, 0, 1));
    auto* direction = new QComboBox(this);
    direction->addItems({QStringLiteral("补前"), QStringLiteral("补后")});
    direction->setCurrentIndex(std::clamp(m_field.fillBefore, 0, 1));
    auto* quote = new QComboBox(this);
    quote->addItems({QStringLiteral("无"), QStringLiteral("双引号"), QStringLiteral("单引号")});
    quote->setCurrentIndex(std::clamp(m_field.quote, 0, 2));
    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("域描述名："), name);
    form->addRow(source, captionBox);
    form->addRow(custom, content);
    form->addRow(sequence);
    auto* fixedRow = new QHBoxLayout;
    fixedRow->addWidget(fixed);
    fixedRow->addWidget(new QLabel(QStringLiteral("长度："), this));
    fixedRow->addWidget(length);
    form->addRow(fixedRow);
    form->addRow(QStringLiteral("补位符："), fill);
    form->addRow(QStringLiteral("补位方向："), direction);
    form->addRow(QStringLiteral("内容引号："), quote);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &BankDetailDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    const auto sync = [=] {
        captionBox->setEnabled(source->isChecked());
        content->setEnabled(custom->isChecked());
        for (QWidget* w : {static_cast<QWidget*>(length), static_cast<QWidget*>(fill),
                           static_cast<QWidget*>(direction)})
            w->setEnabled(fixed->isChecked());
    };
    connect(group, &QButtonGroup::idClicked, this, sync);
    connect(fixed, &QCheckBox::toggled, this, sync);
    sync();
    m_widgets[0] = name;
    m_widgets[1] = captionBox;
    m_widgets[2] = content;
    m_widgets[3] = fixed;
    m_widgets[4] = length;
    m_widgets[5] = fill;
    m_widgets[6] = direction;
    m_widgets[7] = quote;
    m_widgets[8] = source;
    m_widgets[9] = custom;
}

void BankDetailDialog::accept()
{
    BankField f = m_field;
    f.name = static_cast<QLineEdit*>(m_widgets[0])->text();
    const bool isSource = static_cast<QRadioButton*>(m_widgets[8])->isChecked();
    const bool isCustom = static_cast<QRadioButton*>(m_widgets[9])->isChecked();
    f.source = isSource   ? BankField::SourceField
               : isCustom ? BankField::Custom
                          : BankField::Sequence;
    f.content = isSource   ? static_cast<QComboBox*>(m_widgets[1])->currentText()
                : isCustom ? static_cast<QLineEdit*>(m_widgets[2])->text()
                           : QString();
    f.fixedLength = static_cast<QCheckBox*>(m_widgets[3])->isChecked();
    f.length = static_cast<QSpinBox*>(m_widgets[4])->value();
    f.fillChar = static_cast<QComboBox*>(m_widgets[5])->currentIndex();
    f.fillBefore = static_cast<QComboBox*>(m_widgets[6])->currentIndex();
    f.quote = static_cast<QComboBox*>(m_widgets[7])->currentIndex();
    if (!m_flow.check(f))
        return;
    m_field = f;
    QDialog::accept();
}

} // namespace orvane::payroll::ui
