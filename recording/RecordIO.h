#pragma once
// The binding of the recording library: its operations in slots, filled once before the
// main window exists, and the level report that posts WM_LEVEL to the main window. Tests
// put a fake into the slots instead.
#include "engines/record/RecordApi.h"

#include <string>

namespace framework {
class TForm;
}

struct RecordOperations {
    uint8_t (*StartRecord)(const StartRecordParams*, const char*, int32_t, int32_t, uint32_t) = nullptr;
    void (*PauseRecord)() = nullptr;
    void (*ResumeRecord)() = nullptr;
    void (*StopRecord)() = nullptr;
    void (*EnumWMAFormat)(WmaFormatCallback) = nullptr;
    // Milliseconds of sound the last stopped recording lost; null counts as none.
    uint32_t (*RecordLossMs)() = nullptr;
    // Why the last start was refused or the recording's file stopped; null counts as "".
    const char* (*RecordLastError)() = nullptr;
    // The input of the following starts, a sound server's source name; null slot: the default.
    void (*SetRecordInput)(const char*) = nullptr;
    // Whether the running or last recording took the default input for a missing one; null counts as no.
    uint8_t (*RecordInputMissing)() = nullptr;
};

// The slots the program calls through.
extern RecordOperations RecordIO;

// Fills the slots with the recording library. Called once at program start.
void BindRecordEngine();

// Where levels and events go: WM_LEVEL (wParam left, lParam right) and WM_RECORD_EVENT
// (wParam the event) are posted to this form from the library's thread. Null stops them.
// Window thread only.
void SetLevelTarget(framework::TForm* form);

// RecordLastError through the slot, "" when the slot is empty.
std::string RecordErrorText();
