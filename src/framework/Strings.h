#pragma once

#include <windows.h>

#include <string>

// A string-table entry of the application's module, as the UTF-16 text the resources hold. Empty
// when the entry does not exist.
std::wstring LoadResourceString(UINT id);

// The same from a given module.
std::wstring LoadResourceStringFrom(HINSTANCE module, UINT id);
