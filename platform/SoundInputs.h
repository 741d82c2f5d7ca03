#pragma once
// The sound server's inputs (its sources, the monitors of its outputs among them) and its
// default one, read through a ready connection. Plain C++: no Qt.
#include "PulseConnection.h"

#include <string>
#include <vector>

namespace platform {

struct SoundInput {
    std::string Name;        // the server's source name, what [set] Input holds
    std::string Description; // what the desktop shows ("Monitor of Built-in Audio", ...)
    bool Monitor = false;    // what an output plays
};

struct SoundInputList {
    std::string DefaultName; // empty when the server has no default source
    std::vector<SoundInput> Inputs; // in the server's order
};

// With the loop locked: the server's sources and its default; false with nothing read when
// the server does not answer within a few seconds.
bool ReadSoundInputs(PulseConnection& connection, SoundInputList& list);

// The description of the source called name in list; empty when it is not there.
std::string DescriptionOf(const SoundInputList& list, const std::string& name);

} // namespace platform
