#include "catalog/RecordEntryReader.h"

#include <cstdint>
#include <memory>
#include <utility>

#include "catalog/CatalogFormat.h"

bool RecordEntryReader::ReadEntry(ScrambledRecordFile& file, CatalogSection& section) {
    std::string key;
    if (!file.ReadString(key)) {
        return false;
    }
    CatalogValue value;
    if (!ReadValue(file, value)) {
        // The key replaced what it held before; a value that cannot be read in full is not
        // kept either.
        section.Erase(key);
        return false;
    }
    section.Set(std::move(key), std::move(value));
    return true;
}

bool RecordEntryReader::ReadValue(ScrambledRecordFile& file, CatalogValue& value) {
    std::int32_t code = 0;
    if (!file.ReadInt32(code)) {
        return false;
    }
    value.type = static_cast<char>(code & 0xFF);
    switch (value.type) {
        case CatalogValue::kTruth: {
            std::uint32_t word = 0;
            if (!file.ReadBool(word)) {
                return false;
            }
            value.SetWord(word);
            return true;
        }
        case CatalogValue::kInteger: {
            std::int32_t number = 0;
            if (!file.ReadInt32(number)) {
                return false;
            }
            value.SetWord(static_cast<std::uint32_t>(number));
            return true;
        }
        case CatalogValue::kString:
            if (!file.ReadString(scratch)) {
                return false;
            }
            value.SetBytes(scratch.c_str(), static_cast<std::uint32_t>(scratch.size() + 1));
            return true;
        case CatalogValue::kBlob:
            return ReadBlobValue(file, value);
        default:
            return true;
    }
}

bool RecordEntryReader::ReadBlobValue(ScrambledRecordFile& file, CatalogValue& value) {
    constexpr std::size_t kHead = catalog_format::kRecordHead;
    // ReadBlob gives 0 both for an empty blob and for a failure. With the tag and the length in
    // the image, a failure consumes the tag byte and a success nothing; at the end of the image
    // it would consume nothing either way.
    if (file.Remaining() < kHead) {
        return false;
    }
    const std::size_t before = file.Position();
    const std::uint32_t length = file.ReadBlob(nullptr, 0);
    if (file.Position() != before) {
        return false;
    }
    // All of the record's bytes must be in the image before anything is allocated.
    if (length > file.Remaining() - kHead) {
        return false;
    }
    if (length == 0) {
        std::uint8_t none = 0;
        file.ReadBlob(&none, 0);  // consumes the empty record
        return file.Position() == before + kHead;
    }
    std::unique_ptr<std::uint8_t[]> buffer(new std::uint8_t[length]);
    if (file.ReadBlob(buffer.get(), length) != length) {
        return false;
    }
    value.bytes = std::move(buffer);
    value.length = length;
    return true;
}
