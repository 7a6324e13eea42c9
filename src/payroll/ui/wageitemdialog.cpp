#include "payroll/ui/wageitemdialog.h"

#include "payroll/ui/wageformudialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace orvane::payroll::ui {

WageItemDialog::WageItemDialog(CDlgWageItemSet& item, core::COrvaneApp& app, int sortId,
                               QWidget* parent)
    : QDialog(parent), m_item(item), m_app(app), m_sortId(sortId)
{
    setObjectName(QStringLiteral("WageItemDialog"));
    setWindowTitle(item.windowTitle());

    m_caption = new QLineEdit(item.caption, this);
    m_caption->setObjectName(QStringLiteral("caption"));
    m_caption->setMaxLength(50);
    m_type = new QComboBox(this);
    m_type->setObjectName(QStringLiteral("type"));
    m_type->addItem(QStringLiteral("数值"), CDlgWageItemSet::Numeric);
    m_type->addItem(QStringLiteral("参照"), CDlgWageItemSet::Reference);
    m_type->setCurrentIndex(item.dataType == CDlgWageItemSet::Reference ? 1 : 0);
    m_dict = new QComboBox(this);
    m_dict->setObjectName(QStringLiteral("dictionary"));
    m_dict->addItem(QString(), QString());
    for (const auto& d : item.dictionaries())
        m_dict->addItem(d.title, d.key);
    m_dict->setCurrentIndex(qMax(0, m_dict->findData(item.dictionary)));
    m_property = new QComboBox(this);
    m_property->setObjectName(QStringLiteral("property"));
    m_property->addItems(
        {QStringLiteral("自由输入"), QStringLiteral("公式计算"), QStringLiteral("查标准表")});
    m_property->setCurrentIndex(qBound(0, item.property, 2));
    m_decimals = new QComboBox(this);
    m_decimals->addItems(
        {QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")});
    m_decimals->setCurrentIndex(qBound(0, item.decimals, 3));
    m_rounding = new QComboBox(this);
    m_rounding->addItems(
        {QStringLiteral("四舍五入"), QStringLiteral("全舍"), QStringLiteral("全入")});
    m_rounding->setCurrentIndex(qBound(0, item.rounding, 2));
    m_retain = new QCheckBox(QStringLiteral("结转保留（新建下月薪资表时带入本月数据）"), this);
    m_retain->setChecked(item.retain);
    m_active = new QCheckBox(QStringLiteral("有效（参与计算）"), this);
    m_active->setChecked(item.active);
    m_std = new QComboBox(this);
    m_std->setObjectName(QStringLiteral("standardTable"));
    m_std->addItem(QString(), 0);
    for (const auto& s : item.standardTables())
        m_std->addItem(s.title, s.id);
    m_std->setCurrentIndex(qMax(0, m_std->findData(item.standardTable)));
    m_formula = new QPlainTextEdit(item.formula, this);
    m_formula->setObjectName(QStringLiteral("formula"));
    m_formula->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_formula->setMinimumHeight(110);
    m_formulaButton = new QPushButton(QStringLiteral("公式设置..."), this);
    m_formulaButton->setObjectName(QStringLiteral("editFormula"));
    m_formulaButton->setAutoDefault(false);

    auto* grid = new QGridLayout;
    int row = 0;
    auto label = [this](const QString& text) { return new QLabel(text, this); };
    grid->addWidget(label(QStringLiteral("项目名称：")), row, 0);
    grid->addWidget(m_caption, row++, 1, 1, 3);
    grid->addWidget(label(QStringLiteral("数据类型：")), row, 0);
    grid->addWidget(m_type, row, 1);
    QLabel* dictLabel = label(QStringLiteral("参照档案："));
    grid->addWidget(dictLabel, row, 2);
    grid->addWidget(m_dict, row++, 3);
    m_dictRow = {dictLabel, m_dict};
    grid->addWidget(label(QStringLiteral("项目属性：")), row, 0);
    grid->addWidget(m_property, row++, 1);
    grid->addWidget(label(QStringLiteral("小数位数：")), row, 0);
    grid->addWidget(m_decimals, row, 1);
    grid->addWidget(label(QStringLiteral("舍入方式：")), row, 2);
    grid->addWidget(m_rounding, row++, 3);
    grid->addWidget(m_retain, row++, 0, 1, 4);
    grid->addWidget(m_active, row++, 0, 1, 4);
    QLabel* stdLabel = label(QStringLiteral("薪资标准表："));
    grid->addWidget(stdLabel, row, 0);
    grid->addWidget(m_std, row++, 1, 1, 3);
    m_stdRow = {stdLabel, m_std};
    QLabel* formulaLabel = label(QStringLiteral("计算公式："));
    grid->addWidget(formulaLabel, row, 0, Qt::AlignTop);
    grid->addWidget(m_formula, row, 1, 1, 3);
    grid->addWidget(m_formulaButton, ++row, 3, Qt::AlignRight);
    m_formulaRow = {formulaLabel, m_formula, m_formulaButton};
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);

    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(box, &QDialogButtonBox::accepted, this, &WageItemDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addStretch();
    layout->addWidget(box);

    connect(m_type, &QComboBox::currentIndexChanged, this, &WageItemDialog::updateRows);
    connect(m_property, &QComboBox::currentIndexChanged, this, &WageItemDialog::updateRows);
    connect(m_formulaButton, &QPushButton::clicked, this, &WageItemDialog::editFormula);
    setMinimumWidth(560);
    updateRows();
}

void WageItemDialog::updateRows()
{
    readBack();
    for (QWidget* w : std::as_const(m_dictRow))
        w->setVisible(m_item.showsDictionary());
    for (QWidget* w : std::as_const(m_stdRow))
        w->setVisible(m_item.showsStandardTable());
    for (QWidget* w : std::as_const(m_formulaRow))
        w->setVisible(m_item.showsFormula());
    m_property->setEnabled(m_item.dataType == CDlgWageItemSet::Numeric);
    // The window grows for the formula and shrinks back without it.
    QTimer::singleShot(0, this, [this] { resize(width(), sizeHint().height()); });
}

void WageItemDialog::readBack()
{
    m_item.caption = m_caption->text();
    m_item.dataType = m_type->currentData().toInt();
    m_item.dictionary = m_dict->currentData().toString();
    m_item.property = m_property->currentIndex();
    m_item.decimals = m_decimals->currentIndex();
    m_item.rounding = m_rounding->currentIndex();
    m_item.retain = m_retain->isChecked();
    m_item.active = m_active->isChecked();
    m_item.standardTable = m_std->currentData().toInt();
    m_item.formula = m_formula->toPlainText();
}

void WageItemDialog::editFormula()
{
    readBack();
    CDlgWageFormu formu(m_app, m_sortId, m_item.caption.trimmed(), m_item.formula);
    WageFormuDialog dialog(formu, this);
    if (dialog.exec() == QDialog::Accepted)
        m_formula->setPlainText(formu.formula);
}

void WageItemDialog::accept()
{
    readBack();
    if (!m_item.save())
        return;
    // The check may have taken brackets out of quoted texts.
    m_formula->setPlainText(m_item.formula);
    QDialog::accept();
}

} // namespace orvane::payroll::ui
