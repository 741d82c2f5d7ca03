#pragma once
// Stands in for the recording library in the program's slots while alive: keeps every call
// and answers StartRecord as told. The real slots come back when it goes.
#include "recording/RecordIO.h"

#include <string>
#include <vector>

namespace fakes {

class FakeRecordEngine {
public:
    struct Start {
        StartRecordParams params;
        std::string path;
        int32_t append;
        int32_t startMs;
        uint32_t existingMs;
        std::string input; // the input set before the start
    };

    FakeRecordEngine();
    ~FakeRecordEngine();
    FakeRecordEngine(const FakeRecordEngine&) = delete;
    FakeRecordEngine& operator=(const FakeRecordEngine&) = delete;

    bool startAnswer = true;
    uint32_t lossMs = 0; // what the stopped recording reports as lost
    std::string lastError; // what RecordLastError answers
    bool inputMissing = false; // what RecordInputMissing answers
    std::string input;         // the input last set
    std::vector<Start> starts;
    std::vector<std::string> calls; // "start", "pause", "resume", "stop" in order

private:
    RecordOperations saved_;
};

} // namespace fakes
