#pragma once

#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

// The running program's file path (UTF-8); empty when the platform cannot tell it.
std::string OwnProgramPath();

// The file path of a loaded module; an empty name means the running program. Empty when no loaded
// module has that name or its path cannot be obtained.
std::string ModuleFilePathByName(const std::string& moduleName);

#ifdef _WIN32
// The file path of a loaded module; a null handle means the running program. Empty when the
// platform cannot tell it. The path is UTF-8, of any length the system allows.
std::string ModuleFilePath(HMODULE module);
#endif
