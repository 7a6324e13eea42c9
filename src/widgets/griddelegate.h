#pragma once

#include <QStyledItemDelegate>

namespace orvane::widgets {

// Cell editors by catalogue data type: a date with an empty state (OptionalDateEdit), the
// dictionary's titles in a drop-down list, a number with the column's decimals, and a line of
// text limited to the field's length. Works on a GridModel; other models get Qt's editors.
class GridDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;
};

} // namespace orvane::widgets
