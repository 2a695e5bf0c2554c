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
    HRSRC found =
        FindResourceExW(module, MAKEINTRESOURCEW(6), MAKEINTRESOURCEW(id / 16 + 1), language);
    if (found == nullptr) return std::wstring();
    HGLOBAL loaded = LoadResource(module, found);
    const auto* entry = static_cast<const WORD*>(loaded ? LockResource(loaded) : nullptr);
    if (entry == nullptr) return std::wstring();
    const WORD* const end = entry + SizeofResource(module, found) / sizeof(WORD);
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
