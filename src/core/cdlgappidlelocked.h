#pragma once

#include <QString>

namespace orvane::core {

class COrvaneApp;

// The idle lock: only the logged-in operator's password leaves it. A wrong password keeps the
// lock with a hint in the window (no message box); the third wrong password in a row ends the
// program, as three failed attempts end the login.
class CDlgAppIdleLocked
{
public:
    enum class Result { Unlocked, Stay, TooManyAttempts };
    static constexpr int kMaxAttempts = 3;

    explicit CDlgAppIdleLocked(const COrvaneApp& app);

    static QString caption();
    QString userName() const;
    // The OK button.
    Result unlock(const QString& password);
    int failedAttempts() const { return m_failed; }
    // The hint shown in the window after a wrong password; empty before.
    QString hint() const;

private:
    const COrvaneApp& m_app;
    int m_failed = 0;
};

} // namespace orvane::core
