#include "handoff/HandoffReply.h"

#include <cstring>

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
