#include "RecorderSettings.h"

#include "platform/Paths.h"

RecorderSettings::RecorderSettings()
{
    AutoName.Path = DefaultAutoNamePath();
}

std::string DefaultAutoNamePath()
{
    return platform::HomeFolder();
}

EffectiveFormat EffectiveFormatOf(const RecordingFormat& format)
{
    if (format.UseWma)
        return {2, format.WmaSamplePerSec, format.WmaChannels, format.WmaBitrate};
    return {format.RecordType, format.SampleRate, format.Channels, format.Mp3Rate};
}
