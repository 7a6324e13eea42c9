#pragma once

#include "payroll/wageexportquery.h"

class QWidget;

namespace orvane::core {
class COrvaneApp;
class Prompter;
} // namespace orvane::core

namespace orvane::payroll::ui {

// The bank-file and payslip commands of a wage window: the template managers and the outputs
// for a selection of a wage month.
void manageBankTemplates(core::COrvaneApp& app, core::Prompter& prompter, int sortId,
                         QWidget* parent);
void manageMailTemplates(core::COrvaneApp& app, core::Prompter& prompter, int sortId,
                         QWidget* parent);
void exportBankFile(core::COrvaneApp& app, core::Prompter& prompter, const WageSelection& selection,
                    QWidget* parent);
void sendPayslips(core::COrvaneApp& app, core::Prompter& prompter, const WageSelection& selection,
                  QWidget* parent);

} // namespace orvane::payroll::ui
