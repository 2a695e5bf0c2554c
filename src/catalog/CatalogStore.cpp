#include "catalog/CatalogStore.h"

#include <algorithm>
#include <array>
#include <memory>
#include <new>
#include <vector>

#include "catalog/WholeEntry.h"

namespace {

// The smallest entry: an empty key (5 bytes) and a type code (5 bytes).
constexpr std::size_t kSmallestEntry = 10;
// A blob record's tag and length.
constexpr std::size_t kBlobHead = 5;
// Bytes of the image read at once for whole entries.
constexpr std::size_t kWindow = 4096;

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

}  // namespace

CatalogStore::~CatalogStore() {
    if (modified) {
        Save(std::string(), true);
    }
}

bool CatalogStore::Load(const std::string& filePath, LoadReport* report) {
    LoadReport local;
    LoadReport& out = report ? *report : local;
    out = LoadReport();
    ScrambledRecordFile file(kMultiplier, kIncrement, kSeed);
    out.status = file.Load(filePath, false);
    out.check = file.LastCheck();
    out.multiplier = file.Multiplier();
    out.increment = file.Increment();
    out.seed = file.Seed();
    out.imageLength = file.Length();
    if (out.status != ScrambledRecordFile::LoadStatus::Loaded) {
        return false;
    }
    try {
        out.streamComplete = ReadStream(file, out);
    } catch (const std::bad_alloc&) {
        out.streamComplete = false;  // memory ran out: keep what was read
    }
    path = filePath;
    return true;
}

bool CatalogStore::ReadStream(ScrambledRecordFile& file, LoadReport& report) {
    std::string scratch;  // one buffer for every string value read
    // The stream reads in full up to here; a record or entry that breaks off is not counted.
    const auto readable = [&file, &report] { report.streamEnd = file.Position(); };
    readable();
    std::int32_t sectionCount = 0;
    if (!file.ReadInt32(sectionCount)) {
        return false;
    }
    readable();
    for (std::int32_t s = 0; s < sectionCount; ++s) {
        std::string name;
        if (!file.ReadString(name)) {
            return false;
        }
        CatalogSection& section = sections[name];
        section = CatalogSection();
        std::int32_t entryCount = 0;
        if (!file.ReadInt32(entryCount)) {
            return false;
        }
        readable();
        if (entryCount > 0) {
            // Never trust a count beyond what the remaining bytes can hold.
            section.Reserve(std::min<std::size_t>(static_cast<std::size_t>(entryCount),
                                                  file.Remaining() / kSmallestEntry));
        }
        if (!ReadEntries(file, section, entryCount, report, scratch)) {
            return false;
        }
    }
    return true;
}

bool CatalogStore::ReadEntries(ScrambledRecordFile& file, CatalogSection& section,
                               std::int32_t count, LoadReport& report, std::string& scratch) {
    std::array<std::uint8_t, kWindow> window;
    WholeEntry entry;
    for (std::int32_t e = 0; e < count;) {
        // As many whole entries as one read of the image holds; each counts as read in full
        // where it ends.
        const std::size_t start = file.Position();
        const std::size_t have = file.Peek(window.data(), window.size());
        std::size_t used = 0;
        while (e < count) {
            const std::size_t n = ParseWholeEntry(window.data() + used, have - used, entry);
            if (n == 0) {
                break;
            }
            section.Set(std::string(entry.key), std::move(entry.value));
            used += n;
            ++e;
            ++report.entriesRead;
            report.streamEnd = start + used;
        }
        file.Skip(used);
        // An entry the read did not hold whole, or one of those read record by record.
        if (used == 0 && e < count) {
            if (!ReadEntry(file, section, scratch)) {
                return false;
            }
            ++e;
            ++report.entriesRead;
            report.streamEnd = file.Position();
        }
    }
    return true;
}

bool CatalogStore::ReadEntry(ScrambledRecordFile& file, CatalogSection& section,
                             std::string& scratch) {
    std::string key;
    if (!file.ReadString(key)) {
        return false;
    }
    CatalogValue value;
    if (!ReadValue(file, value, scratch)) {
        // The key replaced what it held before; a value that cannot be read in full is not
        // kept either, so no entry ever holds fewer bytes than its type letter says.
        section.Erase(key);
        return false;
    }
    section.Set(std::move(key), std::move(value));
    return true;
}

bool CatalogStore::ReadValue(ScrambledRecordFile& file, CatalogValue& value, std::string& text) {
    std::int32_t code = 0;
    if (!file.ReadInt32(code)) {
        return false;
    }
    value.type = static_cast<char>(code & 0xFF);
    switch (value.type) {
        case CatalogValue::kTruth:
        case CatalogValue::kInteger: {
            std::uint32_t word = 0;
            std::int32_t number = 0;
            const bool read =
                value.type == CatalogValue::kTruth ? file.ReadBool(word) : file.ReadInt32(number);
            if (!read) {
                return false;
            }
            if (value.type == CatalogValue::kInteger) {
                word = static_cast<std::uint32_t>(number);
            }
            const std::uint8_t bytes[4] = {
                static_cast<std::uint8_t>(word), static_cast<std::uint8_t>(word >> 8),
                static_cast<std::uint8_t>(word >> 16), static_cast<std::uint8_t>(word >> 24)};
            value.SetBytes(bytes, 4);
            return true;
        }
        case CatalogValue::kString: {
            if (!file.ReadString(text)) {
                return false;
            }
            value.SetBytes(text.c_str(), static_cast<std::uint32_t>(text.size() + 1));
            return true;
        }
        case CatalogValue::kBlob: {
            // ReadBlob gives 0 both for an empty blob and for a failure. With the tag and the
            // length in the image, a failure consumes the tag byte and a success nothing; at
            // the end of the image it would consume nothing either way.
            if (file.Remaining() < kBlobHead) {
                return false;
            }
            const std::size_t before = file.Position();
            const std::uint32_t length = file.ReadBlob(nullptr, 0);
            if (file.Position() != before) {
                return false;
            }
            // All of the record's bytes must be in the image before anything is allocated.
            if (length > file.Remaining() - kBlobHead) {
                return false;
            }
            if (length == 0) {
                std::uint8_t none = 0;
                file.ReadBlob(&none, 0);  // consumes the empty record
                return file.Position() == before + kBlobHead;
            }
            std::unique_ptr<std::uint8_t[]> buffer(new std::uint8_t[length]);
            if (file.ReadBlob(buffer.get(), length) != length) {
                return false;
            }
            value.bytes = std::move(buffer);
            value.length = length;
            return true;
        }
        default:
            return true;
    }
}

bool CatalogStore::Save(const std::string& filePath, bool overwrite) {
    try {
        return SaveSorted(filePath.empty() ? path : filePath, overwrite);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool CatalogStore::SaveSorted(const std::string& target, bool overwrite) const {
    ScrambledRecordFile file(kMultiplier, kIncrement, kSeed);
    // Sections and entries go out sorted by their bytes, so one store always gives one file.
    bool built = file.WriteInt32(static_cast<std::int32_t>(sections.size()));
    for (const auto* section : SortedByKey(sections)) {
        const CatalogSection::EntryMap& entries = section->second.Entries();
        built = built && file.WriteString(section->first) &&
                file.WriteInt32(static_cast<std::int32_t>(entries.size()));
        for (const auto* entry : SortedByKey(entries)) {
            const CatalogValue& value = entry->second;
            built = built && file.WriteString(entry->first) &&
                    file.WriteInt32(static_cast<std::uint8_t>(value.type));
            switch (value.type) {
                case CatalogValue::kTruth:
                    built = built && file.WriteBool(value.Word() != 0 ? 1 : 0);
                    break;
                case CatalogValue::kBlob:
                    built = built && file.WriteBlob(value.bytes.get(), value.length);
                    break;
                case CatalogValue::kInteger:
                    built = built && file.WriteInt32(static_cast<std::int32_t>(value.Word()));
                    break;
                case CatalogValue::kString:
                    built = built && file.WriteString(value.Text());
                    break;
                default:
                    break;
            }
        }
    }
    if (!built) {
        return false;
    }
    return file.SaveToDisk(target, overwrite);
}

std::string CatalogStore::GetValueText(const std::string& section, const std::string& key) const {
    const CatalogSection* found = FindSection(section);
    if (!found) {
        return std::string();
    }
    const CatalogValue* value = found->Find(key);
    return value ? value->Text() : std::string();
}

const CatalogSection* CatalogStore::FindSection(const std::string& name) const {
    const auto found = sections.find(name);
    return found == sections.end() ? nullptr : &found->second;
}

CatalogSection& CatalogStore::Section(const std::string& name) {
    return sections[name];
}
