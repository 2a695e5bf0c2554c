#pragma once

#include <windows.h>

#include <map>

// Every running process's parent id, as one snapshot of the system's processes shows them; empty
// when no snapshot can be taken. Shared by the installer (which set-up window belongs to the
// program it started) and the kit (which installer started this program).
std::map<DWORD, DWORD> ParentsOfProcesses();
