#pragma once

#include <QElapsedTimer>
#include <QtGlobal>

namespace orvane::shell {

// Milliseconds on a monotonic clock. The frame uses the steady clock; tests move a fake one.
class ShellClock
{
public:
    virtual ~ShellClock() = default;
    virtual qint64 nowMs() const = 0;
};

class SteadyClock : public ShellClock
{
public:
    SteadyClock() { m_timer.start(); }
    qint64 nowMs() const override { return m_timer.elapsed(); }

private:
    QElapsedTimer m_timer;
};

} // namespace orvane::shell
