#include "catalog/WholeEntry.h"

#include <cstring>

#include "catalog/CatalogFormat.h"

namespace {

namespace format = catalog_format;

// Reads a record's tag and 32-bit value at p, when both lie before end.
bool Head(const std::uint8_t*& p, const std::uint8_t* end, std::uint8_t tag, std::uint32_t& value) {
    if (static_cast<std::size_t>(end - p) < format::kRecordHead || p[0] != tag) {
        return false;
    }
    value = format::GetLe32(p + 1);
    p += format::kRecordHead;
    return true;
}

// A string record's text at p, cut at its first zero byte, when the whole record lies before
// end.
bool Text(const std::uint8_t*& p, const std::uint8_t* end, const char*& text, std::size_t& size) {
    const std::uint8_t* at = p;
    std::uint32_t length = 0;
    if (!Head(at, end, format::kString, length) || static_cast<std::size_t>(end - at) < length) {
        return false;
    }
    text = reinterpret_cast<const char*>(at);
    const void* zero = std::memchr(at, 0, length);
    size = zero ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(zero) - at) : length;
    p = at + length;
    return true;
}

}  // namespace

std::size_t ParseWholeEntry(const std::uint8_t* bytes, std::size_t count, WholeEntry& entry) {
    const std::uint8_t* p = bytes;
    const std::uint8_t* const end = bytes + count;
    const char* key = nullptr;
    std::size_t keySize = 0;
    std::uint32_t code = 0;
    if (!Text(p, end, key, keySize) || !Head(p, end, format::kInteger, code)) {
        return 0;
    }
    CatalogValue value;
    value.type = static_cast<char>(code & 0xFF);
    switch (value.type) {
        case CatalogValue::kTruth:
        case CatalogValue::kInteger: {
            const std::uint8_t* record = p;
            const std::uint8_t tag =
                value.type == CatalogValue::kTruth ? format::kTruth : format::kInteger;
            std::uint32_t word = 0;
            if (!Head(p, end, tag, word)) {
                return 0;
            }
            value.SetBytes(record + 1, 4);  // the value's bytes as stored
            break;
        }
        case CatalogValue::kString: {
            const char* text = nullptr;
            std::size_t size = 0;
            if (!Text(p, end, text, size)) {
                return 0;
            }
            value.SetText(text, static_cast<std::uint32_t>(size));
            break;
        }
        case CatalogValue::kBlob:
            return 0;
        default:
            break;  // no value record
    }
    entry.key = std::string_view(key, keySize);
    entry.value = std::move(value);
    return static_cast<std::size_t>(p - bytes);
}
