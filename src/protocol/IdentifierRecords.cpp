#include <cstring>

#include "protocol/HandoffProtocol.h"

std::optional<std::string> InstallerIdentifier(const void* data, std::size_t size) {
    if (data == nullptr || size != handoffClassIdLength + 1) return std::nullopt;
    const char* bytes = static_cast<const char*>(data);
    if (bytes[handoffClassIdLength] != '\0') return std::nullopt;
    std::string text(bytes, handoffClassIdLength);
    if (!IsHandoffClassId(text)) return std::nullopt;
    return text;
}

std::string ReceivedReplyText(const void* data, size_t size) {
    if (data == nullptr) return {};
    const char* text = static_cast<const char*>(data);
    const void* zero = std::memchr(text, '\0', size);
    const size_t length = zero ? static_cast<size_t>(static_cast<const char*>(zero) - text) : size;
    return std::string(text, length);
}

bool IsAcceptedReply(const std::string& sentClassId, const std::string& received) {
    return !sentClassId.empty() && received == sentClassId;
}
