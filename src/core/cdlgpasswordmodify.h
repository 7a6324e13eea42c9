#pragma once

#include <QString>

namespace orvane::core {

class COrvaneApp;
class Prompter;

// Changing the logged-in operator's own password.
class CDlgPassWordModify
{
public:
    enum class Result { Stay, Closed };
    enum class Field { None, OldPassword, NewPassword, Confirmation };

    CDlgPassWordModify(COrvaneApp& app, Prompter& prompter);

    // The OK button. An empty new password is stored only after the operator confirms it.
    // Stay keeps the dialog with focusField() set; Closed ends it, whether the
    // update worked or not (only success is reported).
    Result submit(const QString& oldPassword, const QString& newPassword,
                  const QString& confirmation);
    Field focusField() const { return m_focus; }

private:
    COrvaneApp& m_app;
    Prompter& m_prompter;
    Field m_focus = Field::None;
};

} // namespace orvane::core
