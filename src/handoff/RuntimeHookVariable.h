#pragma once

#include <string>

// Whether an environment entry ("NAME=value") sets a variable of the .NET runtime's loader hooks,
// COR_* or COMPlus_* (names in any letter case): through them a user's own environment could
// load a library into an elevated .NET set-up program, so the set-up program never gets them.
bool IsRuntimeHookVariable(const std::wstring& entry);
