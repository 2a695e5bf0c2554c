#include "RecordReader.h"

#include <windows.h>

#include <memory>
#include <type_traits>
#include <vector>

#include "protocol/HandoffProtocol.h"

namespace {

struct KeyCloser {
    void operator()(HKEY key) const { RegCloseKey(key); }
};
using OpenKey = std::unique_ptr<std::remove_pointer_t<HKEY>, KeyCloser>;

// The key's default value through the 8-bit or the wide call, up to its first zero.
template <typename Char, typename Query>
std::optional<std::basic_string<Char>> DefaultText(HKEY key, Query query) {
    std::vector<Char> value(64);
    for (;;) {
        DWORD type = 0;
        DWORD size = static_cast<DWORD>(value.size() * sizeof(Char));
        const LONG result =
            query(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value.data()), &size);
        if (result == ERROR_MORE_DATA) {
            value.resize(size / sizeof(Char) + 1);
            continue;
        }
        if (result != ERROR_SUCCESS || type != REG_SZ) return std::nullopt;
        const std::basic_string<Char> text(value.data(), size / sizeof(Char));
        return text.substr(0, text.find(Char(0)));
    }
}

}  // namespace

std::optional<RecordedNumber> ReadRecordedNumber(const std::string& identifier) {
    // The identifier's characters are ASCII.
    const std::string path = HandoffKeyPath(identifier) + "\\" + handoffNumberKeyName;
    const std::wstring widePath(path.begin(), path.end());
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, widePath.c_str(), 0,
                      KEY_QUERY_VALUE | kHandoffRegistryView, &opened) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    const OpenKey art(opened);
    auto bytes = DefaultText<char>(art.get(), &RegQueryValueExA);
    auto text = DefaultText<wchar_t>(art.get(), &RegQueryValueExW);
    if (!bytes || !text) return std::nullopt;
    return RecordedNumber{std::move(*bytes), std::move(*text)};
}
