#include "FakeRecordEngine.h"

namespace fakes {
namespace {
FakeRecordEngine* current = nullptr;
}

FakeRecordEngine::FakeRecordEngine() : saved_(RecordIO)
{
    current = this;
    RecordIO.StartRecord = [](const StartRecordParams* params, const char* path, int32_t append, int32_t startMs,
                               uint32_t existingMs) -> uint8_t {
        current->calls.push_back("start");
        current->starts.push_back({*params, path, append, startMs, existingMs, current->input});
        return current->startAnswer ? 1 : 0;
    };
    RecordIO.PauseRecord = [] { current->calls.push_back("pause"); };
    RecordIO.ResumeRecord = [] { current->calls.push_back("resume"); };
    RecordIO.StopRecord = [] { current->calls.push_back("stop"); };
    RecordIO.RecordLossMs = [] { return current->lossMs; };
    RecordIO.RecordLastError = [] { return current->lastError.c_str(); };
    RecordIO.SetRecordInput = [](const char* source) { current->input = source ? source : ""; };
    RecordIO.RecordInputMissing = []() -> uint8_t { return current->inputMissing ? 1 : 0; };
}

FakeRecordEngine::~FakeRecordEngine()
{
    RecordIO = saved_;
    current = nullptr;
}

} // namespace fakes
