#include "Timer.h"

#include "HandlerGuard.h"

namespace framework {

TTimer::TTimer(QObject* owner, const std::string& name) : TComponent(owner, name)
{
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &TTimer::Tick);
    Restart();
}

void TTimer::SetEnabled(bool enabled)
{
    enabled_ = enabled;
    Restart();
}

void TTimer::SetInterval(int milliseconds)
{
    interval_ = milliseconds;
    Restart();
}

void TTimer::Restart()
{
    timer_.stop();
    if (enabled_ && interval_ > 0)
        timer_.start(interval_);
}

void TTimer::Tick()
{
    if (OnTimer)
        Guarded(OnTimer);
}

} // namespace framework
