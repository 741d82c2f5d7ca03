#include "RecordIO.h"

#include "framework/Form.h"
#include "framework/Messages.h"

#include <atomic>

RecordOperations RecordIO;

namespace {
// The form is only ever set and cleared on the window thread while the library runs on its
// own; posting to a form that is being destroyed must not happen, so the target is cleared
// (SetLevelTarget(nullptr)) before the form goes.
std::atomic<framework::TForm*> levelTarget{nullptr};

void PostLevels(void*, uint32_t left, uint32_t right)
{
    if (framework::TForm* form = levelTarget.load())
        form->PostMessage(framework::WM_LEVEL, left, static_cast<intptr_t>(right));
}

void PostEvent(void*, int32_t event)
{
    if (framework::TForm* form = levelTarget.load())
        form->PostMessage(framework::WM_RECORD_EVENT, static_cast<uintptr_t>(event), 0);
}
} // namespace

void BindRecordEngine()
{
    RecordIO.StartRecord = &::StartRecord;
    RecordIO.PauseRecord = &::PauseRecord;
    RecordIO.ResumeRecord = &::ResumeRecord;
    RecordIO.StopRecord = &::StopRecord;
    RecordIO.EnumWMAFormat = &::EnumWMAFormat;
    RecordIO.RecordLossMs = &::RecordLossMs;
    RecordIO.RecordLastError = &::RecordLastError;
    RecordIO.SetRecordInput = &::SetRecordInput;
    RecordIO.RecordInputMissing = &::RecordInputMissing;
    SetLevelReport(&PostLevels, nullptr);
    SetRecordEventReport(&PostEvent, nullptr);
}

void SetLevelTarget(framework::TForm* form)
{
    levelTarget.store(form);
}

std::string RecordErrorText()
{
    const char* text = RecordIO.RecordLastError ? RecordIO.RecordLastError() : nullptr;
    return text ? text : "";
}
