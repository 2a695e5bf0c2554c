// Catalogue loading from arbitrary bytes. The first input byte picks the path:
// - even: the rest is a whole catalogue file, header included;
// - odd: the rest is a plain record stream, which is given a valid header and prefix and
//   scrambled, so that it verifies and the record stream reader sees it as it is.
// Whatever loads is saved again and reloaded; the two stores must agree. On the odd path a
// whole entry taken from the front of the stream must be the one the record reads give.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "catalog/CatalogStore.h"
#include "catalog/Keystream.h"
#include "catalog/ScrambledRecordFile.h"
#include "catalog/WholeEntry.h"

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

std::vector<std::uint8_t> ScrambledFile(const std::uint8_t* stream, std::size_t size,
                                        std::uint16_t multiplier, std::uint16_t increment,
                                        std::uint16_t seed) {
    std::vector<std::uint8_t> file(16 + 4 + size);
    file[0] = file[1] = 0x1A;
    file[2] = static_cast<std::uint8_t>(multiplier);
    file[3] = static_cast<std::uint8_t>(multiplier >> 8);
    file[4] = static_cast<std::uint8_t>(increment);
    file[5] = static_cast<std::uint8_t>(increment >> 8);
    file[6] = static_cast<std::uint8_t>(seed);
    file[7] = static_cast<std::uint8_t>(seed >> 8);
    std::uint8_t* body = file.data() + 20;
    std::copy(stream, stream + size, body);
    const Keystream::Totals totals = Keystream::Measure(body, size);
    file[16] = 26;
    file[17] = totals.sum;
    file[18] = totals.bitOr;
    file[19] = totals.sum;
    Keystream(multiplier, increment, seed).Apply(body, size, totals.sum, false);
    return file;
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

// The entry ParseWholeEntry takes from the front of a plain record stream is the one the
// record reads give, and ends where they end.
void CheckWholeEntry(const std::uint8_t* stream, std::size_t size, const std::string& path) {
    WholeEntry entry;
    const std::size_t taken = ParseWholeEntry(stream, size, entry);
    if (taken == 0) {
        return;
    }
    ScrambledRecordFile file(0, 0, 0);
    std::string key;
    std::int32_t code = 0;
    if (file.Load(path, false) != ScrambledRecordFile::LoadStatus::Loaded ||
        !file.ReadString(key) || key != entry.key || !file.ReadInt32(code) ||
        static_cast<char>(code & 0xFF) != entry.value.type) {
        std::abort();
    }
    const CatalogValue& value = entry.value;
    std::uint32_t word = 0;
    std::int32_t number = 0;
    std::string text;
    bool same = value.length == 0;
    if (value.type == CatalogValue::kTruth) {
        same = file.ReadBool(word) && value.length == 4 && value.Word() == word;
    } else if (value.type == CatalogValue::kInteger) {
        same = file.ReadInt32(number) && value.length == 4 &&
               value.Word() == static_cast<std::uint32_t>(number);
    } else if (value.type == CatalogValue::kString) {
        same = file.ReadString(text) && value.length == text.size() + 1 && value.Text() == text;
    }
    if (!same || file.Position() != ScrambledRecordFile::kPrefixSize + taken) {
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
        WriteFile(input, ScrambledFile(data + 1, size - 1, CatalogStore::kMultiplier,
                                       CatalogStore::kIncrement, CatalogStore::kSeed));
        CheckWholeEntry(data + 1, size - 1, input);
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
