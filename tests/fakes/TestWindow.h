#pragma once
// A main window for one test: its own program folder (so its set.ini is the test's) with the
// tray pictures, an optional set.ini text, a tick count and a local time the test sets by hand.
#include "TempFolder.h"
#include "app/Kestrune.h"
#include "framework/Application.h"
#include "platform/LocalTime.h"
#include "platform/TickCount.h"

#include <memory>
#include <vector>

namespace fakes {

struct TestWindow {
    TempFolder folder;
    RecordingQueue queue;
    uint32_t tick = 1000; // milliseconds, as the window's clock reads them
    std::unique_ptr<TKestrune> w;

    explicit TestWindow(const std::string& setIni = {})
    {
        folder.CopyTrayIcons();
        folder.BecomeExeFolder();
        if (!setIni.empty())
            WriteWholeFile(folder.File("set.ini"), setIni);
        platform::SetTickSource([this] { return tick; });
        w = std::make_unique<TKestrune>(queue);
    }
    ~TestWindow()
    {
        w.reset();
        framework::Application().Params.clear();
        platform::SetTickSource({});
        platform::SetLocalTimeSource({});
    }
    TKestrune* operator->() { return w.get(); }
    TKestrune& operator*() { return *w; }
    // The six time digits' image indices, hh mm ss.
    std::vector<int> Digits() const
    {
        return {w->n1->ImageIndex(), w->n2->ImageIndex(), w->n3->ImageIndex(), w->n4->ImageIndex(),
            w->n5->ImageIndex(), w->n6->ImageIndex()};
    }
    // Lets time pass: the tick count moves on, and the record-time timer ticks every 200 ms.
    void Run(uint32_t ms)
    {
        for (uint32_t left = ms; left > 0;) {
            const uint32_t step = left < 200 ? left : 200;
            tick += step;
            left -= step;
            if (w->tmRecordTime->Enabled())
                w->tmRecordTime->Tick();
        }
    }
};

} // namespace fakes
