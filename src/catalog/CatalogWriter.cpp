#include "catalog/CatalogWriter.h"

#include <algorithm>
#include <cstdint>
#include <new>
#include <vector>

#include "catalog/CatalogFormat.h"
#include "catalog/ScrambledRecordFile.h"

namespace {

template <typename Map>
std::vector<typename Map::const_pointer> SortedByKey(const Map& map) {
    std::vector<typename Map::const_pointer> items;
    items.reserve(map.size());
    for (const auto& item : map) {
        items.push_back(&item);
    }
    std::sort(items.begin(), items.end(), [](auto a, auto b) { return a->first < b->first; });
    return items;
}

// The value record of the type letter; none for a letter other than B, H, I, S.
bool WriteValue(ScrambledRecordFile& file, const CatalogValue& value) {
    switch (value.type) {
        case CatalogValue::kTruth:
            return file.WriteBool(value.Word() != 0 ? 1 : 0);
        case CatalogValue::kBlob:
            return file.WriteBlob(value.bytes.get(), value.length);
        case CatalogValue::kInteger:
            return file.WriteInt32(static_cast<std::int32_t>(value.Word()));
        case CatalogValue::kString:
            return file.WriteString(value.Text());
        default:
            return true;
    }
}

bool WriteSection(ScrambledRecordFile& file, const std::string& name,
                  const CatalogSection& section) {
    const CatalogSection::EntryMap& entries = section.Entries();
    bool built =
        file.WriteString(name) && file.WriteInt32(static_cast<std::int32_t>(entries.size()));
    for (const auto* entry : SortedByKey(entries)) {
        const CatalogValue& value = entry->second;
        built = built && file.WriteString(entry->first) &&
                file.WriteInt32(static_cast<std::uint8_t>(value.type)) && WriteValue(file, value);
    }
    return built;
}

bool WriteSorted(const CatalogSections& sections, const std::string& path, bool overwrite) {
    ScrambledRecordFile file(catalog_format::kCatalogGenerator);
    bool built = file.WriteInt32(static_cast<std::int32_t>(sections.size()));
    for (const auto* section : SortedByKey(sections)) {
        built = built && WriteSection(file, section->first, section->second);
    }
    return built && file.SaveToDisk(path, overwrite);
}

}  // namespace

bool WriteCatalog(const CatalogSections& sections, const std::string& path, bool overwrite) {
    try {
        return WriteSorted(sections, path, overwrite);
    } catch (const std::bad_alloc&) {
        return false;
    }
}
