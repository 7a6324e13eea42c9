#pragma once

#include <QString>

namespace orvane::core {

class COrvaneApp;

// The idle lock: only the logged-in operator's password leaves it.
class CDlgAppIdleLocked
{
public:
    explicit CDlgAppIdleLocked(const COrvaneApp& app);

    static QString caption();
    QString userName() const;
    // True when `password` is the logged-in operator's; otherwise the dialog stays, without a
    // message, and the password field is selected again.
    bool unlock(const QString& password) const;

private:
    const COrvaneApp& m_app;
};

} // namespace orvane::core
