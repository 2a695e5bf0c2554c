#include "InstallerRecord.h"

#include "handoff/HandoffClassId.h"

std::optional<std::string> InstallerIdentifier(const void* data, std::size_t size) {
    if (data == nullptr || size != handoffClassIdLength + 1) return std::nullopt;
    const char* bytes = static_cast<const char*>(data);
    if (bytes[handoffClassIdLength] != '\0') return std::nullopt;
    std::string text(bytes, handoffClassIdLength);
    if (!IsHandoffClassId(text)) return std::nullopt;
    return text;
}
