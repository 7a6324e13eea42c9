#pragma once

#include "personnel/cdlgdetppsnnumprefix.h"

#include <QDialog>

namespace orvane::widgets {
class CTreeGrid;
}

namespace orvane::personnel::ui {

// The personnel-number prefixes of the departments: a click on a prefix cell edits it; the value
// is stored when the edit ends.
class PsnNumPrefixDialog : public QDialog
{
public:
    PsnNumPrefixDialog(core::COrvaneApp& app, core::Prompter& prompter, QWidget* parent = nullptr);

    widgets::CTreeGrid* grid() const { return m_grid; }

private:
    CDlgDetpPsnNumPrefix m_prefixes;
    core::Prompter& m_prompter;
    widgets::CTreeGrid* m_grid;
};

} // namespace orvane::personnel::ui
