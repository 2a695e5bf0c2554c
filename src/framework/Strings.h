#pragma once

#include <windows.h>

#include <string>

// A string-table entry of the application's module as 8-bit text in the ANSI code page (the
// platform converts the stored UTF-16 text). Empty when the entry does not exist.
// Note: <windows.h> maps LoadString to LoadStringA; the name below is renamed with it.
std::string LoadString(UINT id);

// The same from a given module.
std::string LoadStringFrom(HINSTANCE module, UINT id);
