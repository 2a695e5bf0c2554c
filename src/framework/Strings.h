#pragma once

#include <windows.h>

#include <string>

// A string-table entry of the application's module as 8-bit text in the ANSI code page (the
// platform converts the stored UTF-16 text). Empty when the entry does not exist.
std::string LoadResourceString(UINT id);

// The same from a given module.
std::string LoadResourceStringFrom(HINSTANCE module, UINT id);
