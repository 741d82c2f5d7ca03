#include "DiskCapture.h"

#include "TestSignal.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdlib>

namespace fakes {

DiskCapture::DiskCapture(const std::vector<int16_t>& interleaved) : saved_(RecordIO)
{
    const std::string input = folder.File("capture-input.raw");
    WriteRawPcm(input, interleaved);
    setenv("SDL_AUDIODRIVER", "disk", 1);
    unsetenv("SDL_DISKAUDIODELAY"); // real time, as a sound card delivers
    setenv("SDL_DISKAUDIOFILEIN", input.c_str(), 1);
    BindRecordEngine();
}

DiskCapture::~DiskCapture()
{
    RecordIO.StopRecord();
    RecordIO = saved_;
}

void PumpEvents(int ms, const std::function<bool()>& until)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms && !(until && until()))
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

} // namespace fakes
