#include "wmaio.h"

#include "engines/wma/WmaFile.h"

extern "C" {
#include <libavcodec/avcodec.h>
}

WmaLibrary WmaIO;
bool WmaLibraryLoaded = false;

namespace {
std::function<bool()>& Probe()
{
    static std::function<bool()> probe;
    return probe;
}

bool WmaRuntimePresent()
{
    if (auto& probe = Probe())
        return probe();
    return avcodec_find_decoder(AV_CODEC_ID_WMAV2) != nullptr && avcodec_find_decoder(AV_CODEC_ID_WMAV1) != nullptr;
}
} // namespace

void SetWmaRuntimeProbe(std::function<bool()> probe)
{
    Probe() = std::move(probe);
}

void LoadWmaLibrary()
{
    WmaLibraryLoaded = false;
    WmaIO = WmaLibrary{}; // empty until bound (the program binds once; tests rebind)
    if (!WmaRuntimePresent())
        return;
    WmaIO.CheckWMAFileInfo = &::CheckWMAFileInfo;
    WmaIO.InitWMAReadFile = &::InitWMAReadFile;
    WmaIO.ReadWMAFile = &::ReadWMAFile;
    WmaIO.CloseWMAReadFile = &::CloseWMAReadFile;
    WmaLibraryLoaded = true;
}
