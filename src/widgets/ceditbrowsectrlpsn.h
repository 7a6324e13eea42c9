#pragma once

#include "widgets/browseedit.h"

#include "db/resultset.h"

namespace orvane::widgets {

class CDropListGrid;

// Person picker: the drop-down lists the persons given by the workflow (first column the key
// PID, then the shown columns, one of them "姓名") in a filterable grid with the column widths
// 50, 80, 50 and 100. The choice is the person's PID and name.
class CEditBrowseCtrlPSN : public BrowseEdit
{
    Q_OBJECT
public:
    explicit CEditBrowseCtrlPSN(QWidget* parent = nullptr);

    void setRows(const db::ResultSet& rows);
    const db::ResultSet& rows() const { return m_rows; }
    // Picks the row at that position as the operator would.
    void pickRow(int row);
    CDropListGrid* dropList();

protected:
    void openDropDown() override;

private:
    db::ResultSet m_rows;
    CDropListGrid* m_drop = nullptr;
};

} // namespace orvane::widgets
