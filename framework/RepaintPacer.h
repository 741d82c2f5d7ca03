#pragma once
// Paces the repaints of controls that change more often than a screen can show them (the
// level meters change with every captured block, about 90 times a second): at most one
// repaint per refresh of the window's screen, or per the pacer's least interval when that is
// longer. A control's state changes at once; only its
// repaint waits. Every repaint costs the window's thread the same whatever it shows, so
// fewer of them is what saves.
#include "Component.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <vector>

namespace framework {

class TRepaintPacer : public TComponent {
    Q_OBJECT
public:
    // The window whose screen sets the pace; the pacer is owned by it. leastMs: the pace
    // never passes one repaint in that many milliseconds either, whatever the screen.
    explicit TRepaintPacer(QWidget* window, uint32_t leastMs = 0, const std::string& name = {});

    // Marks the control for repainting. A frame after the last repaint it repaints at once;
    // sooner, it is held and goes out with the next change that finds a frame passed, or
    // two frames after the last repaint when no change comes. Changes that come in a steady
    // stream so carry each other out without waking the thread only to paint.
    void Invalidate(QWidget* control);

    // The changes made while a batch lives are one change: their controls go out together.
    class Batch {
    public:
        explicit Batch(TRepaintPacer* pacer);
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

    private:
        TRepaintPacer* pacer_;
    };

    // Milliseconds of one repaint's turn: a refresh of the window's screen, rounded up (60 Hz
    // when unknown), or leastMs when that is longer.
    uint32_t FrameMs() const;
    // How many times held controls went out to be repainted (each time one repaint).
    int Repaints() const { return repaints_; }
    bool Holding() const { return !held_.empty(); }

private:
    void Pace();
    void Repaint();

    QWidget* window_;
    uint32_t leastMs_;
    std::vector<QPointer<QWidget>> held_;
    uint32_t frameMs_;      // FrameMs as of the last repaint
    QTimer timer_;          // single shot: the held repaint when no change comes
    uint32_t lastTick_ = 0; // tick count of the last repaint
    bool repainted_ = false;
    int batches_ = 0; // open batches; their changes are paced when the last one closes
    int repaints_ = 0;
};

} // namespace framework
