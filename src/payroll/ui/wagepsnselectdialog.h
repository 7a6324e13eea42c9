#pragma once

#include "payroll/cdlgwagepsnselect.h"

#include "db/resultset.h"

#include <QDialog>

class QLabel;
class QLineEdit;

namespace orvane::widgets {
class CDropDownListDept;
class CGridView;
class GridModel;
} // namespace orvane::widgets

namespace orvane::payroll::ui {

// Adding members to a sort: department selector, number/name search, candidates with tick
// boxes, "全选", "全不选", "添加" and "取消"; a double click adds one person at once.
class WagePsnSelectDialog : public QDialog
{
    Q_OBJECT
public:
    WagePsnSelectDialog(CDlgWagePsnSelect& select, core::COrvaneApp& app,
                        QWidget* parent = nullptr);

    widgets::CGridView* grid() const { return m_grid; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showCandidates();
    void toggle(int row);

    CDlgWagePsnSelect& m_select;
    widgets::CDropDownListDept* m_departments;
    QLineEdit* m_search;
    widgets::GridModel* m_model = nullptr;
    widgets::CGridView* m_grid = nullptr;
    db::ResultSet m_display; // the candidates with the tick column drawn as a box
};

} // namespace orvane::payroll::ui
