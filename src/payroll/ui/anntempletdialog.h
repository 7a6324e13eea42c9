#pragma once

#include "payroll/cdlgwageanntemplet.h"

#include <QDialog>

class QLineEdit;

namespace orvane::widgets {
class HtmlEditor;
}

namespace orvane::payroll::ui {

// "通告模板": name, subject, the HTML body and the reference items.
class AnnTempletDialog : public QDialog
{
    Q_OBJECT
public:
    AnnTempletDialog(core::COrvaneApp& app, core::Prompter& prompter, int sortId, int aid,
                     QWidget* parent = nullptr);
    int aid() const { return m_flow.aid(); }

private:
    void accept() override;

    CDlgWageAnnTemplet m_flow;
    QLineEdit* m_name = nullptr;
    QLineEdit* m_subject = nullptr;
    widgets::HtmlEditor* m_body = nullptr;
};

} // namespace orvane::payroll::ui
