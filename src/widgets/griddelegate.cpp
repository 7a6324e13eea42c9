#include "widgets/griddelegate.h"

#include "widgets/gridmodel.h"
#include "widgets/optionaldateedit.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>

namespace orvane::widgets {

using core::GridColumn;

namespace {

const GridColumn* columnOf(const QModelIndex& index)
{
    const auto* model = qobject_cast<const GridModel*>(index.model());
    if (!model || index.column() >= model->columns().size())
        return nullptr;
    return &model->column(index.column());
}

} // namespace

QWidget* GridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                    const QModelIndex& index) const
{
    const GridColumn* column = columnOf(index);
    if (!column)
        return QStyledItemDelegate::createEditor(parent, option, index);
    const auto* model = static_cast<const GridModel*>(index.model());
    if (model->startEdit && !model->startEdit(index.row(), index.column()))
        return nullptr;
    switch (column->dataType) {
    case GridColumn::Date:
        return new OptionalDateEdit(parent);
    case GridColumn::Dictionary: {
        auto* combo = new QComboBox(parent);
        combo->addItem(QString());
        combo->addItems(column->choices);
        return combo;
    }
    case GridColumn::Number: {
        auto* spin = new QDoubleSpinBox(parent);
        spin->setDecimals(qBound(0, column->decimals, 6));
        spin->setRange(-1e12, 1e12);
        spin->setButtonSymbols(QAbstractSpinBox::NoButtons);
        return spin;
    }
    default: {
        auto* line = new QLineEdit(parent);
        if (column->maxLength > 0)
            line->setMaxLength(column->maxLength);
        return line;
    }
    }
}

void GridDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    const QVariant value = index.data(Qt::EditRole);
    if (auto* date = qobject_cast<OptionalDateEdit*>(editor)) {
        date->setDate(value.toDate());
    } else if (auto* combo = qobject_cast<QComboBox*>(editor)) {
        const int found = combo->findText(value.toString());
        if (found < 0 && !value.toString().isEmpty()) {
            combo->addItem(value.toString());
            combo->setCurrentIndex(combo->count() - 1);
        } else {
            combo->setCurrentIndex(qMax(0, found));
        }
    } else if (auto* spin = qobject_cast<QDoubleSpinBox*>(editor)) {
        spin->setValue(value.toDouble());
    } else if (auto* line = qobject_cast<QLineEdit*>(editor)) {
        line->setText(value.toString());
    } else {
        QStyledItemDelegate::setEditorData(editor, index);
    }
}

void GridDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                const QModelIndex& index) const
{
    if (auto* date = qobject_cast<OptionalDateEdit*>(editor))
        model->setData(index, date->date());
    else if (auto* combo = qobject_cast<QComboBox*>(editor))
        model->setData(index, combo->currentText());
    else if (auto* spin = qobject_cast<QDoubleSpinBox*>(editor))
        model->setData(index, spin->value());
    else if (auto* line = qobject_cast<QLineEdit*>(editor))
        model->setData(index, line->text());
    else
        QStyledItemDelegate::setModelData(editor, model, index);
}

void GridDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                        const QModelIndex& index) const
{
    QRect rect = option.rect;
    if (qobject_cast<OptionalDateEdit*>(editor))
        rect.setWidth(qMax(rect.width(), 130));
    editor->setGeometry(rect);
    Q_UNUSED(index);
}

} // namespace orvane::widgets
