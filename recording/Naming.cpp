// Naming the target file: automatic names from the clock, the file selection, and the
// shortened form the window shows.
#include "app/Kestrune.h"

void TKestrune::tbOpenClick() {}

std::string TKestrune::MakeAutoFileName()
{
    return {};
}

std::string TKestrune::ShortFileName(const std::string& path) const
{
    return path;
}
