#pragma once

#include <cstddef>
#include <optional>
#include <string>

// The class identifier of an installer's WM_COPYDATA record: exactly 39 bytes, a well-formed
// identifier "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" (capital hex digits) and its zero. Any other
// record (none, short, unterminated, oversized, another text) gives nothing.
std::optional<std::string> InstallerIdentifier(const void* data, std::size_t size);
