#include "framework/ResourceLanguage.h"

#include <algorithm>
#include <cwchar>
#include <utility>

namespace {

// The flags of the preferred-language queries (Windows Vista and later).
constexpr DWORD languageIds = 0x4;       // MUI_LANGUAGE_ID: hexadecimal language ids
constexpr DWORD threadLanguages = 0x40;  // MUI_THREAD_LANGUAGES: the thread's own list only

using PreferredLanguagesQuery = BOOL(WINAPI*)(DWORD, PULONG, PZZWSTR, PULONG);

// The query of kernel32 by this name, where the system has it; null on older systems.
PreferredLanguagesQuery FindQuery(const char* name) {
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    if (kernel == nullptr) return nullptr;
    return reinterpret_cast<PreferredLanguagesQuery>(
        reinterpret_cast<void (*)()>(GetProcAddress(kernel, name)));
}

void AddLanguage(std::vector<LANGID>& list, LANGID language) {
    if (language != 0 && std::find(list.begin(), list.end(), language) == list.end())
        list.push_back(language);
}

// Appends the languages a query lists. The list is read up to its empty end rather than by the
// count the query gives, which some systems leave at 0.
void AddQueried(std::vector<LANGID>& list, const char* name, DWORD flags) {
    const PreferredLanguagesQuery query = FindQuery(name);
    if (query == nullptr) return;
    ULONG count = 0;
    ULONG size = 0;
    if (!query(flags, &count, nullptr, &size) || size == 0) return;
    std::vector<wchar_t> buffer(size + 2, L'\0');
    if (!query(flags, &count, buffer.data(), &size)) return;
    for (const wchar_t* id = buffer.data(); *id != L'\0'; id += std::wcslen(id) + 1)
        AddLanguage(list, static_cast<LANGID>(std::wcstoul(id, nullptr, 16)));
}

BOOL CALLBACK TakeFirstName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR param) {
    *reinterpret_cast<LPCWSTR*>(param) = name;
    return FALSE;
}

BOOL CALLBACK CollectLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR param) {
    AddLanguage(*reinterpret_cast<std::vector<LANGID>*>(param), language);
    return TRUE;
}

}  // namespace

std::vector<LANGID> PreferredUiLanguages() {
    std::vector<LANGID> list;
    AddQueried(list, "GetThreadPreferredUILanguages", languageIds | threadLanguages);
    AddQueried(list, "GetUserPreferredUILanguages", languageIds);
    AddLanguage(list, GetUserDefaultUILanguage());
    return list;
}

LANGID PickResourceLanguage(const std::vector<LANGID>& preferred,
                            const std::vector<LANGID>& available) {
    const auto withPrimary = [&](LANGID language) {
        return std::find_if(available.begin(), available.end(), [&](LANGID candidate) {
            return PRIMARYLANGID(candidate) == PRIMARYLANGID(language);
        });
    };
    for (LANGID language : preferred) {
        if (std::find(available.begin(), available.end(), language) != available.end())
            return language;
        const auto relative = withPrimary(language);
        if (relative != available.end()) return *relative;
    }
    const auto english = withPrimary(MAKELANGID(LANG_ENGLISH, SUBLANG_NEUTRAL));
    return english != available.end() ? *english : 0;
}

std::vector<LANGID> StringTableLanguages(HINSTANCE module) {
    // Every string table block is there in every language: the first block's languages are all.
    LPCWSTR first = nullptr;
    EnumResourceNamesW(module, stringTables, &TakeFirstName, reinterpret_cast<LONG_PTR>(&first));
    std::vector<LANGID> languages;
    if (first == nullptr || !IS_INTRESOURCE(first)) return languages;
    EnumResourceLanguagesW(module, stringTables, first, &CollectLanguage,
                           reinterpret_cast<LONG_PTR>(&languages));
    return languages;
}

LANGID ResourceLanguageOf(HINSTANCE module) {
    thread_local std::vector<std::pair<HINSTANCE, LANGID>> known;
    for (const auto& [knownModule, language] : known) {
        if (knownModule == module) return language;
    }
    const LANGID language =
        PickResourceLanguage(PreferredUiLanguages(), StringTableLanguages(module));
    known.emplace_back(module, language);
    return language;
}

const void* LockedResource(HINSTANCE module, LPCWSTR type, LPCWSTR name, LANGID language,
                           DWORD* size) {
    HRSRC found = FindResourceExW(module, type, name, language);
    HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
    const void* locked = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (size != nullptr) *size = locked != nullptr ? SizeofResource(module, found) : 0;
    return locked;
}
