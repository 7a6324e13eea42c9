#include "personnel/deptpaneflow.h"

#include "core/cataloglists.h"
#include "core/corvaneapp.h"
#include "personnel/pickerlists.h"

namespace orvane::personnel {

DeptPaneFlow::DeptPaneFlow(core::COrvaneApp& app) : m_app(app) {}

QString DeptPaneFlow::rootCaption()
{
    return QStringLiteral("全体部门");
}

void DeptPaneFlow::reload()
{
    const PickerLists lists(m_app.database(), m_app.currentOperator());
    m_categories = lists.categories();
    m_categories.append({0, core::CatalogLists::allCategoriesCaption(), {}});
    m_departments = lists.departments();
    m_categoryIndex = 0;
    m_selection = DeptSelection{};
    m_selection.categoryId = m_categories.first().id;
    m_selection.categoryCaption = m_categories.first().text.left(DeptSelection::CaptionSize - 1);
    m_selection.departmentId = 0;
    m_selection.departmentCaption = rootCaption();
    publish();
}

void DeptPaneFlow::selectCategory(int index)
{
    if (index < 0 || index >= m_categories.size()) {
        m_categoryIndex = -1;
        m_selection.categoryId = -1;
        m_selection.categoryCaption.clear();
    } else {
        m_categoryIndex = index;
        m_selection.categoryId = m_categories[index].id;
        m_selection.categoryCaption = m_categories[index].text.left(DeptSelection::CaptionSize - 1);
    }
    publish();
}

void DeptPaneFlow::selectDepartment(int did)
{
    if (did == 0) {
        m_selection.departmentId = 0;
        m_selection.departmentCaption = rootCaption();
    } else if (const PickNode* node = findPickNode(m_departments, did)) {
        m_selection.departmentId = did;
        m_selection.departmentCaption = node->text.left(DeptSelection::CaptionSize - 1);
    } else {
        return;
    }
    publish();
}

void DeptPaneFlow::publish()
{
    if (onSelectionChanged)
        onSelectionChanged(m_selection);
}

} // namespace orvane::personnel
