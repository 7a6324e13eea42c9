#include "widgets/cdropdownlistdept.h"

namespace orvane::widgets {

CDropDownListDept::CDropDownListDept(QWidget* parent) : QComboBox(parent)
{
    setDepartments({});
}

void CDropDownListDept::setDepartments(const QList<personnel::PickNode>& nodes)
{
    clear();
    addItem(QStringLiteral("<全体部门>"), 0);
    addLevel(nodes, 0);
    setCurrentIndex(0);
}

void CDropDownListDept::addLevel(const QList<personnel::PickNode>& nodes, int depth)
{
    for (const personnel::PickNode& node : nodes) {
        addItem(QString(depth * 2, QChar(0x3000)) + node.text, node.id);
        addLevel(node.children, depth + 1);
    }
}

int CDropDownListDept::currentDepartment() const
{
    return currentData().toInt();
}

void CDropDownListDept::setCurrentDepartment(int did)
{
    const int index = findData(did);
    setCurrentIndex(index < 0 ? 0 : index);
}

} // namespace orvane::widgets
