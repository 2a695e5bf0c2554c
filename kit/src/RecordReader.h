#pragma once

#include <optional>
#include <string>

// The article number the installer recorded for an identifier: the default value of
// HKEY_CLASSES_ROOT\CLSID\{identifier}\Art, REG_SZ, up to its first zero. A 64-bit program reads
// the 32-bit registry view, as the 32-bit installer writes there.
struct RecordedNumber {
    // As RegQueryValueExA gives it: in the system's ANSI code page (cp1251 on a Russian system).
    std::string bytes;
    // As RegQueryValueExW gives it: the number as the installer wrote it.
    std::wstring text;
};

// Nothing when the key or the value is missing or is not text.
std::optional<RecordedNumber> ReadRecordedNumber(const std::string& identifier);
