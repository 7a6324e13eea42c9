#pragma once

#include "payroll/ui/gridhelpers.h"

#include "db/resultset.h"

#include <QDialog>

class QHBoxLayout;

namespace orvane::core {
class COrvaneApp;
}

namespace orvane::payroll::ui {

// What the dialogs that add persons from a candidate list share: department selector,
// number/name search and "查找" above, the candidates with tick boxes (a click on the tick cell or
// the space bar toggles one), and "全选" and "全不选" opening the row of buttons below, where each
// dialog adds its own.
class CandidateDialog : public QDialog
{
    Q_OBJECT
public:
    widgets::CGridView* grid() const { return m_grid; }

protected:
    CandidateDialog(CandidateList& candidates, int departmentId, core::COrvaneApp& app,
                    QWidget* parent);

    // The operator chose another department: the workflow lists its candidates.
    virtual void setDepartment(int departmentId) = 0;

    QHBoxLayout* buttonRow() const { return m_buttons; }
    void showCandidates();
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void toggle(int row);

    CandidateList& m_candidates;
    widgets::GridModel* m_model = nullptr;
    widgets::CGridView* m_grid = nullptr;
    QHBoxLayout* m_buttons;
    db::ResultSet m_display; // the candidates with the tick column drawn as a box
};

} // namespace orvane::payroll::ui
