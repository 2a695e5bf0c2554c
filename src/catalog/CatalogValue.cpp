#include "catalog/CatalogValue.h"

#include <cstring>

#include "catalog/CatalogFormat.h"

void CatalogValue::SetBytes(const void* data, std::uint32_t count) {
    if (count == 0) {
        bytes.reset();
        length = 0;
        return;
    }
    std::unique_ptr<std::uint8_t[]> copy(new std::uint8_t[count]);
    std::memcpy(copy.get(), data, count);
    bytes = std::move(copy);
    length = count;
}

void CatalogValue::SetText(const char* text, std::uint32_t count) {
    std::unique_ptr<std::uint8_t[]> copy(new std::uint8_t[count + std::size_t{1}]);
    std::memcpy(copy.get(), text, count);
    copy[count] = 0;
    bytes = std::move(copy);
    length = count + 1;
}

std::string CatalogValue::Text() const {
    if (!bytes) {
        return std::string();
    }
    const void* zero = std::memchr(bytes.get(), 0, length);
    const std::size_t n =
        zero ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(zero) - bytes.get())
             : length;
    return std::string(reinterpret_cast<const char*>(bytes.get()), n);
}

std::uint32_t CatalogValue::Word() const {
    if (length < 4) {
        return 0;
    }
    return catalog_format::GetLe32(bytes.get());
}

void CatalogValue::SetWord(std::uint32_t word) {
    std::uint8_t coded[4];
    catalog_format::PutLe32(coded, word);
    SetBytes(coded, sizeof coded);
}

namespace {

CatalogValue Make(char type, const void* data, std::uint32_t count) {
    CatalogValue value;
    value.type = type;
    value.SetBytes(data, count);
    return value;
}

CatalogValue MakeWord(char type, std::uint32_t word) {
    CatalogValue value;
    value.type = type;
    value.SetWord(word);
    return value;
}

}  // namespace

CatalogValue CatalogValue::String(const std::string& text) {
    const std::string cut(text.c_str());
    return Make(kString, cut.c_str(), static_cast<std::uint32_t>(cut.size() + 1));
}

CatalogValue CatalogValue::Integer(std::int32_t value) {
    return MakeWord(kInteger, static_cast<std::uint32_t>(value));
}

CatalogValue CatalogValue::Truth(bool value) {
    return MakeWord(kTruth, value ? 1 : 0);
}

CatalogValue CatalogValue::Blob(const std::string& data) {
    return Make(kBlob, data.data(), static_cast<std::uint32_t>(data.size()));
}

CatalogValue CatalogValue::Untyped(char letter) {
    CatalogValue value;
    value.type = letter;
    return value;
}
