#pragma once

#include "personnel/picknode.h"

#include <QComboBox>

namespace orvane::widgets {

// A drop-down list of departments headed by "<全体部门>" (key 0), indented by level; used where a
// department filter is chosen.
class CDropDownListDept : public QComboBox
{
    Q_OBJECT
public:
    explicit CDropDownListDept(QWidget* parent = nullptr);

    void setDepartments(const QList<personnel::PickNode>& nodes);
    int currentDepartment() const;
    void setCurrentDepartment(int did);

private:
    void addLevel(const QList<personnel::PickNode>& nodes, int depth);
};

} // namespace orvane::widgets
