#pragma once
// TKestrune: the main window, which is also the controller. It owns every state record of the
// program; its handlers live beside the subsystem they belong to.
//
// Sections:
//   1. Lifecycle (app/Kestrune.cpp): creation, close query, close.
//   2. Settings (settings/): the settings record and the program-wide queue.
#include "framework/Form.h"
#include "settings/RecorderSettings.h"
#include "settings/RecordingQueue.h"

#include <string>

class TKestrune : public framework::TForm {
    Q_OBJECT
public:
    // The queue is the program's one list, created before the window and outliving it.
    explicit TKestrune(RecordingQueue& queue);

    // --- 1. Lifecycle -------------------------------------------------------------------
    void FormCreate();
    void FormCloseQuery(bool& canClose);
    void FormClose();

    // --- 2. Settings --------------------------------------------------------------------
    void LoadSettings();
    void SaveSettings();

    RecorderSettings Settings;
    RecordingQueue& Queue;
};
