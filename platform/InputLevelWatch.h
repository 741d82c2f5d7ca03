#pragma once
// The live levels of the sound server's inputs, for a page that lets the user choose one:
// the list of inputs, and a small peak stream on each watched input (25 peaks a second).
// Window thread only; the peaks arrive on the connection's own thread. Plain C++: no Qt.
#include "SoundInputs.h"

#include <memory>
#include <string>
#include <vector>

namespace platform {

class InputLevelWatch {
public:
    virtual ~InputLevelWatch() = default;
    // The server's inputs and its default; false when no server answers.
    virtual bool List(SoundInputList& list) = 0;
    // Watches these sources from now on, in this order, instead of any watched before ("" is
    // the default source). A source that cannot be watched reads silent.
    virtual void Watch(const std::vector<std::string>& sources) = 0;
    // The latest peak of each watched source, 0 (silence) to 1 (full scale), in Watch's order.
    virtual std::vector<float> Peaks() = 0;
};

// Connects to the sound server; the connection and every peak stream end with the object.
// Never starts a server: with none, List answers false and nothing is watched.
std::unique_ptr<InputLevelWatch> OpenServerLevelWatch();

} // namespace platform
