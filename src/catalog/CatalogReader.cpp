#include "catalog/CatalogReader.h"

#include <algorithm>
#include <new>

#include "catalog/CatalogFormat.h"
#include "catalog/RecordEntryReader.h"
#include "catalog/WholeEntryReader.h"

namespace {

namespace format = catalog_format;

// The smallest entry: an empty key and a type code, one record head each.
constexpr std::size_t kSmallestEntry = 2 * format::kRecordHead;

class StreamReader {
  public:
    StreamReader(ScrambledRecordFile& file, CatalogLoadReport& report)
        : file(file), report(report) {}

    bool ReadSections(CatalogSections& sections);

  private:
    // The stream reads in full up to here; a record or entry that breaks off is not counted.
    void Readable() { report.streamEnd = file.Position(); }
    bool ReadEntries(CatalogSection& section, std::int32_t count);

    ScrambledRecordFile& file;
    CatalogLoadReport& report;
    WholeEntryReader wholeEntries;
    RecordEntryReader records;
};

bool StreamReader::ReadSections(CatalogSections& sections) {
    Readable();
    std::int32_t sectionCount = 0;
    if (!file.ReadInt32(sectionCount)) {
        return false;
    }
    Readable();
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
        Readable();
        if (entryCount > 0) {
            // Never trust a count beyond what the remaining bytes can hold.
            section.Reserve(std::min<std::size_t>(static_cast<std::size_t>(entryCount),
                                                  file.Remaining() / kSmallestEntry));
        }
        if (!ReadEntries(section, entryCount)) {
            return false;
        }
    }
    return true;
}

bool StreamReader::ReadEntries(CatalogSection& section, std::int32_t count) {
    for (std::int32_t e = 0; e < count; ++e) {
        // The usual entries go whole; whatever that declines, record by record.
        if (!wholeEntries.ReadEntry(file, section) && !records.ReadEntry(file, section)) {
            return false;
        }
        ++report.entriesRead;
        Readable();
    }
    return true;
}

}  // namespace

bool ReadCatalog(const std::string& path, CatalogSections& sections, CatalogLoadReport& report) {
    report = CatalogLoadReport();
    ScrambledRecordFile file(format::kCatalogGenerator);
    report.status = file.Load(path, false);
    report.check = file.LastCheck();
    report.multiplier = file.Multiplier();
    report.increment = file.Increment();
    report.seed = file.Seed();
    report.imageLength = file.Length();
    if (report.status != ScrambledRecordFile::LoadStatus::Loaded) {
        return false;
    }
    try {
        report.streamComplete = StreamReader(file, report).ReadSections(sections);
    } catch (const std::bad_alloc&) {
        report.streamComplete = false;  // memory ran out: keep what was read
    }
    return true;
}
