#pragma once
// The checks a start passes before anything is opened or created.
#include "RecordApi.h"

#include <string>

namespace record {

// False, with the reason, for a rate outside 8000 to 192000, channels other than 1 or 2, an
// unknown format, a continued WMA, an empty path, a folder that is missing or not writable,
// or (when continuing) a missing file.
bool CheckStart(const StartRecordParams& params, const std::string& path, bool append, std::string& error);

} // namespace record
