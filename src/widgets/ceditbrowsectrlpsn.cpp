#include "widgets/ceditbrowsectrlpsn.h"

#include "widgets/cdroplistgrid.h"

namespace orvane::widgets {

CEditBrowseCtrlPSN::CEditBrowseCtrlPSN(QWidget* parent) : BrowseEdit(parent) {}

void CEditBrowseCtrlPSN::setRows(const db::ResultSet& rows)
{
    m_rows = rows;
    if (m_drop)
        m_drop->setRows(m_rows, {50, 80, 50, 100});
}

void CEditBrowseCtrlPSN::pickRow(int row)
{
    if (row < 0 || row >= m_rows.rowCount() || m_rows.columnCount() == 0)
        return;
    int nameColumn = m_rows.columnIndex(QStringLiteral("姓名"));
    if (nameColumn < 0)
        nameColumn = m_rows.columnIndex(QStringLiteral("Name"));
    const QString name = nameColumn >= 0 ? m_rows.at(row, nameColumn).toString() : QString();
    choose(m_rows.at(row, 0).toInt(), name);
}

CDropListGrid* CEditBrowseCtrlPSN::dropList()
{
    if (!m_drop) {
        m_drop = new CDropListGrid(this);
        m_drop->setRows(m_rows, {50, 80, 50, 100});
        connect(m_drop, &CDropListGrid::picked, this, &CEditBrowseCtrlPSN::pickRow);
    }
    return m_drop;
}

void CEditBrowseCtrlPSN::openDropDown()
{
    dropList()->popup(this);
}

} // namespace orvane::widgets
