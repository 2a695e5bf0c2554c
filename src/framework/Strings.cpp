#include "framework/Strings.h"

#include "framework/Application.h"

std::wstring LoadResourceStringFrom(HINSTANCE module, UINT id) {
    // With no buffer, LoadStringW hands out the text in the resource itself, whatever its length.
    const wchar_t* text = nullptr;
    const int length = LoadStringW(module, id, reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || text == nullptr) return std::wstring();
    return std::wstring(text, static_cast<std::size_t>(length));
}

std::wstring LoadResourceString(UINT id) {
    return LoadResourceStringFrom(ModuleInstance(), id);
}
