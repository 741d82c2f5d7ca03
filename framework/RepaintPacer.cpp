#include "RepaintPacer.h"

#include "HandlerGuard.h"
#include "platform/TickCount.h"

#include <QScreen>
#include <algorithm>
#include <cmath>

namespace framework {

TRepaintPacer::TRepaintPacer(QWidget* window, uint32_t leastMs, const std::string& name)
    : TComponent(window, name), window_(window), leastMs_(leastMs), frameMs_(FrameMs())
{
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, [this] { Guarded([this] { Repaint(); }); });
}

uint32_t TRepaintPacer::FrameMs() const
{
    const QScreen* screen = window_->screen();
    double hz = screen ? screen->refreshRate() : 0.0;
    if (hz < 1.0)
        hz = 60.0;
    // Rounded up, so that the pace never passes the screen's.
    return std::max(leastMs_, static_cast<uint32_t>(std::ceil(1000.0 / hz)));
}

TRepaintPacer::Batch::Batch(TRepaintPacer* pacer) : pacer_(pacer)
{
    if (pacer_)
        ++pacer_->batches_;
}

TRepaintPacer::Batch::~Batch()
{
    if (pacer_ && --pacer_->batches_ == 0 && pacer_->Holding())
        pacer_->Pace();
}

void TRepaintPacer::Invalidate(QWidget* control)
{
    if (std::find(held_.begin(), held_.end(), control) == held_.end())
        held_.emplace_back(control);
    if (batches_ == 0)
        Pace();
}

void TRepaintPacer::Pace()
{
    const uint32_t frame = frameMs_;
    const uint32_t since = platform::GetTickCount() - lastTick_;
    if (!repainted_ || since >= frame) {
        Repaint();
        return;
    }
    if (!timer_.isActive())
        timer_.start(static_cast<int>(2 * frame - since));
}

void TRepaintPacer::Repaint()
{
    timer_.stop();
    frameMs_ = FrameMs(); // the window may have moved to another screen
    lastTick_ = platform::GetTickCount();
    repainted_ = true;
    ++repaints_;
    // Marked together in one pass, they are painted together in the window's next paint.
    for (const QPointer<QWidget>& control : held_)
        if (control)
            control->update();
    held_.clear();
}

} // namespace framework
