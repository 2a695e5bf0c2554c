#pragma once

#include <windows.h>

// Nothing from the program's own folder, or from the current one, is loaded as a library: the
// program may run elevated from a folder a user downloaded, where anybody can put a DLL.

// Restricts the library search of the whole process to the system folder. The first statement of
// a program: SetDefaultDllDirectories where the system has it (looked up, so that a system without
// it still starts), and SetDllDirectoryW(L"") in any case, which takes the current folder out.
void RestrictDllSearchToSystem();

// Loads a library of the system folder by its full path, so that no search takes place; null when
// it cannot be loaded. The library stays loaded until the process ends.
HMODULE LoadSystemLibrary(const wchar_t* fileName);
