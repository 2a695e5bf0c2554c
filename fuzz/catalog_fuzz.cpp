// Catalogue loading from arbitrary bytes. The first input byte picks the path:
// - even: the rest is a whole catalogue file, header included;
// - odd: the rest is a plain record stream, which is given a valid header and prefix and
//   scrambled, so that it verifies and the record stream reader sees it as it is.
// Whatever loads is saved again and reloaded; the two stores must agree. On the odd path the
// two entry readers take the entry at the front of the stream alike.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "catalog/CatalogFormat.h"
#include "catalog/CatalogStore.h"
#include "catalog/EntryReader.h"
#include "catalog/RecordEntryReader.h"
#include "catalog/ScrambledRecordFile.h"
#include "catalog/WholeEntryReader.h"

namespace {

const std::string& WorkDir() {
    static const std::string dir = [] {
        char pattern[] = "/tmp/catalog-fuzz-XXXXXX";
        const char* made = mkdtemp(pattern);
        if (!made) {
            std::abort();
        }
        return std::string(made);
    }();
    return dir;
}

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        std::abort();
    }
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) {
        std::abort();
    }
    std::fclose(f);
}

// A plain record stream written to path as the catalogue writer's file container writes a
// catalogue: header, prefix and scrambled body.
class PlainImage : public ScrambledRecordFile {
  public:
    PlainImage() : ScrambledRecordFile(catalog_format::kCatalogGenerator) {}
    using ScrambledRecordFile::RawWrite;
};

void WriteScrambled(const std::string& path, const std::uint8_t* stream, std::size_t size) {
    PlainImage image;
    if ((size != 0 && !image.RawWrite(stream, size)) || !image.SaveToDisk(path, true)) {
        std::abort();
    }
}

bool SameValue(const CatalogValue& a, const CatalogValue& b) {
    if (a.type != b.type) {
        return false;
    }
    switch (a.type) {
        case CatalogValue::kTruth:
            return (a.Word() != 0) == (b.Word() != 0);
        case CatalogValue::kString:
            return a.Text() == b.Text();
        case CatalogValue::kBlob:
        case CatalogValue::kInteger:
            return a.length == b.length &&
                   std::equal(a.bytes.get(), a.bytes.get() + a.length, b.bytes.get());
        default:
            return b.length == 0;
    }
}

void CheckSameStores(const CatalogStore& a, const CatalogStore& b) {
    if (a.Sections().size() != b.Sections().size()) {
        std::abort();
    }
    for (const auto& [name, section] : a.Sections()) {
        const CatalogSection* other = b.FindSection(name);
        if (!other || other->Size() != section.Size()) {
            std::abort();
        }
        for (const auto& [key, value] : section.Entries()) {
            const CatalogValue* copy = other->Find(key);
            if (!copy || !SameValue(value, *copy)) {
                std::abort();
            }
        }
    }
}

// Values alike to the byte.
bool SameBytes(const CatalogValue& a, const CatalogValue& b) {
    return a.type == b.type && a.length == b.length &&
           std::equal(a.bytes.get(), a.bytes.get() + a.length, b.bytes.get());
}

// The entry at the front of the stream of the file at path as reader takes it: the section it
// fills and the image offset after it.
struct FrontEntry {
    bool taken = false;
    std::size_t end = 0;
    CatalogSection section;
};

FrontEntry TakeFront(EntryReader& reader, const std::string& path) {
    ScrambledRecordFile file(0, 0, 0);
    if (file.Load(path, false) != ScrambledRecordFile::LoadStatus::Loaded) {
        std::abort();  // a correctly scrambled image always verifies
    }
    FrontEntry front;
    front.taken = reader.ReadEntry(file, front.section);
    front.end = file.Position();
    return front;
}

// Wherever the whole-entry reader takes the entry at the front of the stream, the record reads
// take the same one and end where it ends.
void CheckEntryReadersAgree(const std::string& path) {
    WholeEntryReader wholeEntries;
    RecordEntryReader records;
    const FrontEntry whole = TakeFront(wholeEntries, path);
    if (!whole.taken) {
        return;
    }
    const FrontEntry recorded = TakeFront(records, path);
    if (!recorded.taken || recorded.end != whole.end || whole.section.Size() != 1 ||
        recorded.section.Size() != 1) {
        std::abort();
    }
    const auto& [key, value] = *whole.section.Entries().begin();
    const CatalogValue* other = recorded.section.Find(key);
    if (!other || !SameBytes(value, *other)) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::string input = WorkDir() + "/input.crt";
    const std::string saved = WorkDir() + "/saved.crt";
    if (data[0] & 1) {
        WriteScrambled(input, data + 1, size - 1);
        CheckEntryReadersAgree(input);
    } else {
        WriteFile(input, std::vector<std::uint8_t>(data + 1, data + size));
    }
    CatalogStore store;
    CatalogStore::LoadReport report;
    if (!store.Load(input, &report)) {
        if (data[0] & 1) {
            std::abort();  // a correctly scrambled image always verifies
        }
        return 0;
    }
    if (report.streamEnd > report.imageLength) {
        std::abort();
    }
    store.GetValueText("\xC0\xF0\xF2\xE8\xEA\xF3\xEB\xFB", "R1234");
    if (!store.Save(saved, true)) {
        std::abort();
    }
    CatalogStore reloaded;
    if (!reloaded.Load(saved, &report) || !report.streamComplete) {
        std::abort();
    }
    CheckSameStores(store, reloaded);
    return 0;
}
