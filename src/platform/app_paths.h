#pragma once
// Where the running program lives: its language files and setting.ini sit
// beside the executable, whatever the current directory is.

#include <string>
#include <string_view>

namespace lumetra {

// Folder of the running executable with the trailing separator, e.g. "/opt/lumetra/bin/".
extern std::string g_strAppFolder;
// g_strAppFolder followed by "setting.ini".
extern std::string g_strSettingsFile;

// The folder part of an executable's path, up to and including the last separator.
std::string AppFolderFromExecutable(std::string_view executablePath);

// Sets both values from the executable itself (/proc/self/exe). Returns false
// when the executable cannot be found, leaving the values empty.
bool InitAppPaths();

}  // namespace lumetra
