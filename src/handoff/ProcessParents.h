#pragma once

#include <windows.h>

#include <map>

// Every running process's parent id, as one snapshot of the system's processes shows them; empty
// when no snapshot can be taken. Shared by the installer (which set-up window belongs to the
// program it started) and the kit (which installer started this program).
std::map<DWORD, DWORD> ParentsOfProcesses();

// When a process was created, in the system's 100-ns units; 0 when it cannot be asked. A process
// id names a later process once its own process has ended: a parent created after its child is
// not its parent.
ULONGLONG ProcessCreationTime(HANDLE process);
