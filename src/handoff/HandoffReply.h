#pragma once

#include <cstddef>
#include <string>

// The answer a set-up program sends back with WM_COPYDATA.

// The bytes at data up to the first zero byte, reading no further than size bytes; a null data
// pointer gives an empty text.
std::string ReceivedReplyText(const void* data, size_t size);

// True when an identifier was sent and the answer is exactly that identifier, byte for byte.
bool IsAcceptedReply(const std::string& sentClassId, const std::string& received);
