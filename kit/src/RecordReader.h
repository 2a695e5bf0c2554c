#pragma once

#include <optional>
#include <string>

// The article number the installer recorded for an identifier: the default value of
// HKEY_CLASSES_ROOT\CLSID\{identifier}\Art, REG_SZ, up to its first zero byte. Nothing when the
// key or the value is missing or is not text. A 64-bit program reads the 32-bit registry view, as
// the 32-bit installer writes there.
std::optional<std::string> ReadRecordedNumber(const std::string& identifier);
