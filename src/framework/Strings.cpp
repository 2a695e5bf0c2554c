#include "framework/Strings.h"

#include "framework/Application.h"
#include "framework/ResourceLanguage.h"

namespace {

// The entry in whatever language the system's own lookup takes.
std::wstring LoadAnyLanguage(HINSTANCE module, UINT id) {
    // With no buffer, LoadStringW hands out the text in the resource itself, whatever its length.
    const wchar_t* text = nullptr;
    const int length = LoadStringW(module, id, reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || text == nullptr) return std::wstring();
    return std::wstring(text, static_cast<std::size_t>(length));
}

}  // namespace

std::wstring LoadResourceStringIn(HINSTANCE module, UINT id, LANGID language) {
    // A block holds the 16 entries from (id / 16) * 16, each a count of characters and the
    // characters; an entry that is not there has the count 0.
    DWORD size = 0;
    const auto* entry = static_cast<const WORD*>(
        LockedResource(module, stringTables, MAKEINTRESOURCEW(id / 16 + 1), language, &size));
    if (entry == nullptr) return std::wstring();
    const WORD* const end = entry + size / sizeof(WORD);
    for (UINT skip = id % 16; skip > 0 && entry < end; --skip) entry += 1 + *entry;
    if (entry >= end || entry + 1 + *entry > end) return std::wstring();
    return std::wstring(reinterpret_cast<const wchar_t*>(entry + 1), *entry);
}

std::wstring LoadResourceStringFrom(HINSTANCE module, UINT id) {
    const LANGID language = ResourceLanguageOf(module);
    return language != 0 ? LoadResourceStringIn(module, id, language) : LoadAnyLanguage(module, id);
}

std::wstring LoadResourceString(UINT id) {
    return LoadResourceStringFrom(ModuleInstance(), id);
}
