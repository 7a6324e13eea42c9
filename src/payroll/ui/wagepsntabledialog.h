#pragma once

#include "payroll/cdlgwagepsntable.h"

#include "db/resultset.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace orvane::widgets {
class CDropDownListDept;
class CGridView;
class GridModel;
} // namespace orvane::widgets

namespace orvane::payroll::ui {

// Adding persons to one month ("添加人员"): department selector, number/name search, candidates
// with tick boxes, "全选", "全不选", "同时导入以往薪资数据" with the earlier month, "确定" and
// "取消". OK adds the ticked persons and closes.
class WagePsnTableDialog : public QDialog
{
    Q_OBJECT
public:
    WagePsnTableDialog(CDlgWagePsnTable& table, core::COrvaneApp& app, QWidget* parent = nullptr);

    widgets::CGridView* grid() const { return m_grid; }
    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showCandidates();

    CDlgWagePsnTable& m_table;
    widgets::CDropDownListDept* m_departments;
    QLineEdit* m_search;
    QCheckBox* m_importEarlier;
    QComboBox* m_months;
    widgets::GridModel* m_model = nullptr;
    widgets::CGridView* m_grid = nullptr;
    db::ResultSet m_display;
};

} // namespace orvane::payroll::ui
