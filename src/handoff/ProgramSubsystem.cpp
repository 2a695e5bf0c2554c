#include "handoff/ProgramSubsystem.h"

#include <cstdint>

namespace {

constexpr std::size_t newHeaderOffsetAt = 0x3C;
// Signature "PE\0\0" (4 bytes) and file header (20 bytes) before the optional header.
constexpr std::size_t optionalHeaderAfter = 4 + 20;
// The subsystem's place in the optional header: the same for PE32 and PE32+.
constexpr std::size_t subsystemAt = 68;
constexpr std::uint16_t pe32Magic = 0x10B;
constexpr std::uint16_t pe32PlusMagic = 0x20B;
constexpr std::uint16_t consoleSubsystem = 3;

std::uint32_t Little(const unsigned char* bytes, std::size_t count) {
    std::uint32_t value = 0;
    for (std::size_t i = count; i-- > 0;) value = (value << 8) | bytes[i];
    return value;
}

}  // namespace

bool IsConsoleProgramHeader(const unsigned char* bytes, std::size_t size) {
    if (bytes == nullptr || size < newHeaderOffsetAt + 4 || bytes[0] != 'M' || bytes[1] != 'Z')
        return false;
    const std::size_t pe = Little(bytes + newHeaderOffsetAt, 4);
    const std::size_t optional = pe + optionalHeaderAfter;
    // Compared without adding to pe first, so that no offset wraps around.
    if (pe > size || size - pe < optionalHeaderAfter + subsystemAt + 2) return false;
    if (Little(bytes + pe, 4) != 0x4550) return false;  // "PE\0\0"
    const std::uint32_t magic = Little(bytes + optional, 2);
    if (magic != pe32Magic && magic != pe32PlusMagic) return false;
    return Little(bytes + optional + subsystemAt, 2) == consoleSubsystem;
}
