#pragma once

#include <windows.h>

#include <string>

// A string-table entry of the application's module, as the UTF-16 text the resources hold, in
// the language the module's texts are shown in (framework/ResourceLanguage.h). Empty when the
// entry does not exist.
std::wstring LoadResourceString(UINT id);

// The same from a given module.
std::wstring LoadResourceStringFrom(HINSTANCE module, UINT id);

// The entry in one language of the module's string tables; empty when that language has none.
std::wstring LoadResourceStringIn(HINSTANCE module, UINT id, LANGID language);
