#pragma once
// Where the program's own files live, and the path separator every split and join uses.
#include <string>

namespace platform {

// "/" here; the rules that cut a path at its last separator use this character.
inline constexpr char PathSeparator = '/';

// The folder of the running executable, ending in the separator. set.ini, the tray
// pictures and the help page are found as this folder followed by their fixed name.
std::string ExeFolder();

// Points ExeFolder at another folder (tests only, so that no test touches a real set.ini);
// an empty string restores the real folder. A missing trailing separator is added.
void SetExeFolderOverride(const std::string& folder);

// The user's home folder, ending in the separator (the default folder of automatic names).
std::string HomeFolder();

// The program's folder among the user's configuration ($XDG_CONFIG_HOME/kestrune/, by
// default ~/.config/kestrune/), ending in the separator. It may not exist yet.
std::string ConfigFolder();

} // namespace platform
