// The tray icon's picture and tooltip. The icon itself comes with the tray commands; until
// then these keep what it is to show.
#include "Kestrune.h"

void TKestrune::LoadTrayIcon(const std::string& fileName, bool)
{
    TrayIconFile = fileName;
}

void TKestrune::SetTrayToolTip(const std::string& text)
{
    TrayToolTip = text;
}

void TKestrune::ShowTitleAndToolTip(const std::string& text)
{
    ShowTitle(text);
    SetTrayToolTip(text);
}
