#pragma once
// The binding of the WMA library: ten slots looked up by name, bound once while the main
// window is created, and only when the WMA runtime (FFmpeg's WMA decoder) is present.
#include <cstdint>
#include <functional>

struct WmaLibrary {
    // Writing and tag functions: looked up, never called; this library has none of them.
    void* InitWMAWriteFile = nullptr;
    void* WriteWMAFile = nullptr;
    void* CloseWMAWriteFile = nullptr;
    uint8_t (*CheckWMAFileInfo)(const char* path, void* info) = nullptr;
    uint8_t (*InitWMAReadFile)(const char* path, void* info, int32_t startMs) = nullptr;
    uint8_t (*ReadWMAFile)(void* info, uint8_t** block, uint32_t* size) = nullptr;
    void (*CloseWMAReadFile)(void* info) = nullptr;
    void* GetWmaSongInfo = nullptr;
    void* SetWmaSongInfo = nullptr;
    void* EnumWMAFormat = nullptr;
};

extern WmaLibrary WmaIO;
// Set when the library was bound; nothing else reads it.
extern bool WmaLibraryLoaded;

// Clears the flag; binds the slots when the WMA runtime is present.
void LoadWmaLibrary();

// Replaces the question "is the WMA runtime present?" (tests); empty restores the real one.
void SetWmaRuntimeProbe(std::function<bool()> probe);
