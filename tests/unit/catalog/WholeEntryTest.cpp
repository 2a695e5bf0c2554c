#include <gtest/gtest.h>

#include "CatalogTestFiles.h"
#include "catalog/WholeEntry.h"

namespace {

std::size_t Parse(const Bytes& bytes, WholeEntry& entry) {
    return ParseWholeEntry(bytes.data(), bytes.size(), entry);
}

Bytes Value(const CatalogValue& value) {
    return Bytes(value.bytes.get(), value.bytes.get() + value.length);
}

TEST(WholeEntry, EachKindTakesItsRecordsAsTheRecordReadsDo) {
    WholeEntry e;
    const Bytes text = Stream().EntryS("R1", "a\\b").Int(9).data;  // one record beyond
    EXPECT_EQ(Parse(text, e), text.size() - 5);
    EXPECT_EQ(e.key, "R1");
    EXPECT_EQ(e.value.type, 'S');
    EXPECT_EQ(Value(e.value), (Bytes{'a', '\\', 'b', 0}));

    const Bytes cut = Stream().Str(std::string("k\0x", 3)).Int('S').Str({"v\0w", 3}).data;
    EXPECT_EQ(Parse(cut, e), cut.size());
    EXPECT_EQ(e.key, "k");
    EXPECT_EQ(Value(e.value), (Bytes{'v', 0}));

    const Bytes empty = Stream().Str("").Int('S').Str("").data;
    EXPECT_EQ(Parse(empty, e), empty.size());
    EXPECT_EQ(e.key, "");
    EXPECT_EQ(Value(e.value), (Bytes{0}));
}

TEST(WholeEntry, WordsKeepTheirStoredBytesAndOtherLettersHoldNone) {
    WholeEntry e;
    const Bytes number = Stream().Str("I").Int('I').Int(-2).data;
    EXPECT_EQ(Parse(number, e), number.size());
    EXPECT_EQ(e.value.type, 'I');
    EXPECT_EQ(Value(e.value), (Bytes{0xFE, 0xFF, 0xFF, 0xFF}));

    const Bytes truth = Stream().Str("B").Int('B').Truth(0x01020304).data;
    EXPECT_EQ(Parse(truth, e), truth.size());
    EXPECT_EQ(Value(e.value), (Bytes{4, 3, 2, 1}));

    const Bytes other = Stream().Str("Q").Int(0x151).data;  // 'Q', low 8 bits of the code
    EXPECT_EQ(Parse(other, e), other.size());
    EXPECT_EQ(e.value.type, 'Q');
    EXPECT_EQ(e.value.length, 0u);
    EXPECT_EQ(e.value.bytes, nullptr);
}

TEST(WholeEntry, EntriesCutShortAreLeftAlone) {
    for (const Bytes& whole :
         {Stream().EntryS("key", "value").data, Stream().Str("I").Int('I').Int(7).data,
          Stream().Str("B").Int('B').Truth(1).data}) {
        for (std::size_t size = 0; size < whole.size(); ++size) {
            WholeEntry e;
            e.key = "kept";
            EXPECT_EQ(ParseWholeEntry(whole.data(), size, e), 0u) << size;
            EXPECT_EQ(e.key, "kept");
            EXPECT_EQ(e.value.type, 0);
        }
    }
}

TEST(WholeEntry, WrongTagsAndBlobsAreLeftToTheRecordReads) {
    for (const Bytes& bytes :
         {Stream().Int(1).Int('S').Str("v").data, Stream().Str("k").Str("S").Str("v").data,
          Stream().Str("k").Int('S').Int(1).data, Stream().Str("k").Int('I').Truth(1).data,
          Stream().Str("k").Int('B').Int(1).data, Stream().Str("k").Int('H').Blob({1, 2}).data}) {
        WholeEntry e;
        EXPECT_EQ(Parse(bytes, e), 0u);
    }
}

}  // namespace
