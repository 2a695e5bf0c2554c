#include "util/WideText.h"

#include "util/Cp1251.h"

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wide characters are UTF-16 units");

namespace {

std::wstring Wide(const std::u16string& text) {
    return std::wstring(text.begin(), text.end());
}

std::u16string Utf16(const std::wstring& text) {
    return std::u16string(text.begin(), text.end());
}

}  // namespace

std::wstring WideFromCp1251(const std::string& bytes) {
    return Wide(cp1251::ToUtf16(bytes));
}

bool Cp1251FromWide(const std::wstring& text, std::string& bytes) {
    return cp1251::FromUtf16(Utf16(text), bytes);
}

std::wstring WideFromUtf8(const std::string& utf8) {
    return Wide(cp1251::Utf8ToUtf16(utf8));
}

std::string Utf8FromWide(const std::wstring& text) {
    return cp1251::Utf16ToUtf8(Utf16(text));
}
