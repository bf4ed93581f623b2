#pragma once
// Where the program's files live.
#include <string>

namespace gs {

// The running executable's folder, ending in "/". Tests may point it at a
// folder of their own before the main window is created.
std::string ExecutableDir();
void SetExecutableDirForTesting(const std::string& dir);  // empty restores the real one

// "$XDG_CONFIG_HOME/gslip3.ini", falling back to "~/.config/gslip3.ini".
std::string SettingsFilePath();

}  // namespace gs
