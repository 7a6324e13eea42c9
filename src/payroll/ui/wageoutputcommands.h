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
// `templateId` 0 lets the operator choose among the active templates.
void exportBankFile(core::COrvaneApp& app, core::Prompter& prompter, const WageSelection& selection,
                    QWidget* parent, int templateId = 0);
void sendPayslips(core::COrvaneApp& app, core::Prompter& prompter, const WageSelection& selection,
                  QWidget* parent, int templateId = 0);
// The personnel view's notices: the mail templates of no wage sort sent to the persons of the
// view's condition (" WHERE ..." or empty) in its order.
void sendNotices(core::COrvaneApp& app, core::Prompter& prompter, const QString& where,
                 const QString& orderBy, QWidget* parent);

} // namespace orvane::payroll::ui
