#pragma once

#include "payroll/cdlgwagebankoutput.h"

#include <QDialog>

#include <memory>

class QPlainTextEdit;

namespace orvane::core {
class Prompter;
}
namespace orvane::widgets {
class ProgressStatusBar;
}

namespace orvane::payroll::ui {

// "银行代发数据 - <template>": the generated text in a fixed-pitch preview, with 保存, 打印 and
// 退出; the generation runs on the workflow's worker thread and reports here.
class BankOutputDialog : public QDialog, private BankOutputSink
{
    Q_OBJECT
public:
    BankOutputDialog(CDlgWageBankOutput& output, core::Prompter& prompter,
                     QWidget* parent = nullptr);
    ~BankOutputDialog() override;

    // Starts the generation 200 ms after the window has opened.
    void startLater();

private:
    void appendText(const QString& text) override;
    void setStatus(int pane, const QString& text) override;
    void setProgress(int value, int maximum) override;
    void print();
    void reject() override;

    CDlgWageBankOutput& m_output;
    core::Prompter& m_prompter;
    QPlainTextEdit* m_preview = nullptr;
    widgets::ProgressStatusBar* m_status = nullptr;
};

} // namespace orvane::payroll::ui
