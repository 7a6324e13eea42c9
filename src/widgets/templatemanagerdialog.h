#pragma once

#include <QDialog>

#include <functional>

class QTableWidget;

namespace orvane::payroll {
class TemplateManager;
}

namespace orvane::widgets {

// The manager window of output templates (bank disbursement and mail alike): the list with its
// active check column and the commands 新建, 修改, 复制, 删除, 向上, 向下, 刷新, 退出.
class TemplateManagerDialog : public QDialog
{
    Q_OBJECT
public:
    // `edit` opens the kind's editor for a key (0 = new) and returns the stored key, or 0 when
    // the operator cancelled.
    TemplateManagerDialog(payroll::TemplateManager& manager, std::function<int(int key)> edit,
                          QWidget* parent = nullptr);

private:
    void showTemplates();
    void editTemplate(bool isNew);

    payroll::TemplateManager& m_manager;
    std::function<int(int)> m_edit;
    QTableWidget* m_table = nullptr;
    bool m_filling = false;
};

} // namespace orvane::widgets
