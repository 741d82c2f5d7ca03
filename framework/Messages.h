#pragma once
// Window message numbers and the record a posted message carries.
#include <cstdint>

namespace framework {

inline constexpr uint32_t WM_USER = 0x0400;
// Left level in wParam, right level in lParam, each 0 (silence) to 32768 (full scale).
inline constexpr uint32_t WM_LEVEL = WM_USER + 200;
// The recording library reports an event of the running recording (wParam: which one).
inline constexpr uint32_t WM_RECORD_EVENT = WM_USER + 201;
// A wave output buffer came back; lParam identifies it.
inline constexpr uint32_t MM_WOM_DONE = 0x3BD;

struct TMessage {
    uint32_t Msg = 0;
    uintptr_t WParam = 0;
    intptr_t LParam = 0;
    intptr_t Result = 0;
};

// Message box flags and answers, with the values of the message-box call they stand for.
inline constexpr unsigned MB_OK = 0x00;
inline constexpr unsigned MB_OKCANCEL = 0x01;
inline constexpr unsigned MB_YESNO = 0x04;
inline constexpr unsigned MB_ICONERROR = 0x10;
inline constexpr unsigned MB_ICONQUESTION = 0x20;
inline constexpr unsigned MB_ICONWARNING = 0x30;
inline constexpr unsigned MB_ICONINFORMATION = 0x40;
inline constexpr unsigned MB_DEFBUTTON1 = 0x000;
inline constexpr unsigned MB_DEFBUTTON2 = 0x100;

inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

} // namespace framework
