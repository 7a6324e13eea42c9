#pragma once

#include <QDialog>

class QPushButton;

namespace orvane::core {
class CDlgResetOrder;
}

namespace orvane::widgets {

class CGridView;
class GridModel;

// The window of the shared order editor (core::CDlgResetOrder): the list in a grid with its
// footer and the buttons "置顶", "置底", "向上", "向下", "刷新", "退出"; the keys Home, End, Up and
// Down move the selected row like the first four. Loads the list when constructed.
class ResetOrderDialog : public QDialog
{
    Q_OBJECT
public:
    ResetOrderDialog(core::CDlgResetOrder& order, const QString& title, QWidget* parent = nullptr);

    CGridView* grid() const { return m_grid; }
    QPushButton* button(int index) const { return m_buttons.value(index); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void run(bool (core::CDlgResetOrder::*command)());
    void showRows();

    core::CDlgResetOrder& m_order;
    GridModel* m_model;
    CGridView* m_grid;
    QList<QPushButton*> m_buttons;
};

} // namespace orvane::widgets
