#pragma once
// A periodic timer on the window thread. Its handler runs through the handler guard.
#include "Component.h"

#include <QTimer>
#include <functional>

namespace framework {

class TTimer : public TComponent {
    Q_OBJECT
public:
    explicit TTimer(QObject* owner = nullptr, const std::string& name = {});

    bool Enabled() const { return enabled_; }
    // Enabling starts a full interval from now; disabling stops it.
    void SetEnabled(bool enabled);
    // Milliseconds; changing it while enabled restarts the interval.
    int Interval() const { return interval_; }
    void SetInterval(int milliseconds);

    std::function<void()> OnTimer;

    // Runs the handler as one tick would (tests drive timers with this instead of waiting).
    void Tick();

private:
    void Restart();

    QTimer timer_;
    bool enabled_ = true;
    int interval_ = 1000;
};

} // namespace framework
