#pragma once

#include <windows.h>

#include <vector>

// The language of the templates and strings a module shows, chosen as the system chooses a
// language for resources: the thread's preferred UI languages, then the user's, in their order.
// A language the module has exactly is taken; otherwise one of the same primary language (a
// Swiss German user gets the German texts); when the module has none of them, English.

// The thread's and the user's preferred UI languages, in order, without repeats.
std::vector<LANGID> PreferredUiLanguages();

// The first of preferred that available holds, exactly or by its primary language; else the
// English one of available; else 0 (none of them).
LANGID PickResourceLanguage(const std::vector<LANGID>& preferred,
                            const std::vector<LANGID>& available);

// The languages the module's string tables are in.
std::vector<LANGID> StringTableLanguages(HINSTANCE module);

// The language the module's templates and strings are shown in for this thread's user; 0 when
// the module has no string table. Worked out on a thread's first ask for each module and kept:
// every dialog and string of a run is in the same language.
LANGID ResourceLanguageOf(HINSTANCE module);

// The resource types the framework loads: dialog templates (RT_DIALOG) and string tables
// (RT_STRING), as the wide calls take them.
inline const LPCWSTR dialogTemplates = MAKEINTRESOURCEW(5);
inline const LPCWSTR stringTables = MAKEINTRESOURCEW(6);

// The resource of a type and name in that language, locked in memory, with its size in bytes when
// asked for; null when the module has none.
const void* LockedResource(HINSTANCE module, LPCWSTR type, LPCWSTR name, LANGID language,
                           DWORD* size = nullptr);
