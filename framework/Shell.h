#pragma once
// Starting other programs and opening documents with the desktop's viewer. Tests replace
// both with a hook, so no test ever starts a program or a browser.
#include <functional>
#include <string>
#include <vector>

namespace framework {

struct ShellRequest {
    std::string program;           // a program to start, with args ...
    std::vector<std::string> args;
    std::string document;          // ... or a file to open with the desktop's viewer
};

// Answers whether the request could be started; an empty hook restores the real shell.
void SetShellHook(std::function<bool(const ShellRequest&)> hook);

// The full path of a program on PATH; empty when there is none.
std::string FindProgram(const std::string& name);

// Starts the program on its own (it outlives us); false when it could not be started.
bool ShellStart(const std::string& program, const std::vector<std::string>& args);

// Opens the file with the desktop's default viewer; false when no viewer took it.
bool ShellOpen(const std::string& path);

} // namespace framework
