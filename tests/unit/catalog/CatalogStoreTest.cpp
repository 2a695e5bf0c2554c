#include <gtest/gtest.h>

#include "CatalogTestFiles.h"
#include "catalog/ArticleCatalog.h"
#include "catalog/CatalogStore.h"

namespace {

const std::string kArticles = "\xC0\xF0\xF2\xE8\xEA\xF3\xEB\xFB";  // "Артикулы"

class CatalogFiles : public ::testing::Test {
  protected:
    std::string Write(const Bytes& stream, const std::string& name = "install.crt") {
        const std::string path = dir.File(name);
        WriteAll(path, DiskImage(stream));
        return path;
    }
    ScratchDir dir;
};

using CatalogLoad = CatalogFiles;
using CatalogDefects = CatalogFiles;
using CatalogSave = CatalogFiles;

TEST_F(CatalogLoad, MissingFileFailsCreatesNothingAndKeepsTheStore) {
    CatalogStore store;
    Stream s;
    s.Int(1).Str("A").Int(1).EntryS("k", "v");
    const std::string good = Write(s.data, "good.crt");
    ASSERT_TRUE(store.Load(good));

    EXPECT_FALSE(store.Load(dir.File("install.crt")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("install.crt")));
    WriteAll(dir.File("broken.crt"), {0x1A, 0x1A, 0});
    EXPECT_FALSE(store.Load(dir.File("broken.crt")));

    EXPECT_EQ(store.GetValueText("A", "k"), "v");
    EXPECT_EQ(store.Path(), good);
}

TEST_F(CatalogLoad, EmptyOrNegativeSectionCountsGiveAnEmptyCatalogue) {
    for (std::int32_t count : {0, -1, -2147483647 - 1}) {
        Stream s;
        s.Int(count).Str(kArticles).Int(1).EntryS("R1", "x");  // never read
        ArticleCatalog catalog;
        ASSERT_TRUE(catalog.Load(Write(s.data)));
        EXPECT_TRUE(catalog.Store().Sections().empty());
        EXPECT_FALSE(catalog.HasKey("R1"));
        EXPECT_EQ(catalog.GetValue("R1"), "");
    }
}

TEST_F(CatalogLoad, EmptyOrNegativeEntryCountsGiveEmptySections) {
    Stream s;
    s.Int(4).Str("zero").Int(0).Str("minus one").Int(-1).Str("lowest").Int(-2147483647 - 1);
    s.Str("A").Int(1).EntryS("k", "v");
    CatalogStore store;
    CatalogStore::LoadReport report;
    ASSERT_TRUE(store.Load(Write(s.data), &report));
    EXPECT_TRUE(report.streamComplete);
    EXPECT_EQ(report.streamEnd, report.imageLength);
    EXPECT_EQ(store.Sections().size(), 4u);
    for (const char* name : {"zero", "minus one", "lowest"}) {
        ASSERT_NE(store.FindSection(name), nullptr) << name;
        EXPECT_EQ(store.FindSection(name)->Size(), 0u) << name;
    }
    EXPECT_EQ(store.GetValueText("A", "k"), "v");
}

TEST_F(CatalogLoad, ArticleQuestionsGoToTheArticleSectionOnly) {
    // Only the cp1251 bytes name the article section: neither its UTF-8 spelling nor its
    // lower-case form does.
    const std::string utf8 = "\xD0\x90\xD1\x80\xD1\x82\xD0\xB8\xD0\xBA\xD1\x83\xD0\xBB\xD1\x8B";
    const std::string lower = "\xE0\xF0\xF2\xE8\xEA\xF3\xEB\xFB";
    Stream s;
    s.Int(4).Str("Other").Int(1).EntryS("R1", "elsewhere");
    s.Str(utf8).Int(1).EntryS("R2", "utf-8");
    s.Str(lower).Int(1).EntryS("R3", "lower case");
    s.Str(kArticles).Int(1).EntryS("R4", "articles");
    ArticleCatalog catalog;
    ASSERT_TRUE(catalog.Load(Write(s.data)));
    EXPECT_FALSE(catalog.HasKey("R1"));
    EXPECT_FALSE(catalog.HasKey("R2"));
    EXPECT_FALSE(catalog.HasKey("R3"));
    EXPECT_EQ(catalog.GetValue("R4"), "articles");
    EXPECT_EQ(catalog.Store().GetValueText("Other", "R1"), "elsewhere");
    EXPECT_EQ(catalog.Store().GetValueText(utf8, "R2"), "utf-8");
}

TEST_F(CatalogLoad, EntriesOfEveryKindAnswerAsText) {
    Stream s;
    s.Int(1).Str(kArticles).Int(9);
    s.EntryS("R1234", "%:\\Russian\\setup.exe");
    s.EntryS("r1234", "lower case");
    s.EntryS("EMPTY", "");
    s.Str("INT").Int('I').Int(0x00333231);      // "123" then a zero byte
    s.Str("TRUTH").Int('B').Truth(0x41424344);  // "DCBA", no zero byte within 4
    s.Str("NOBLOB").Int('H').Blob({});
    s.Str("BLOB").Int('H').Blob({'h', 'i', 0, 'x'});
    s.Str("OTHER").Int('Q');                     // no value record
    s.Str("WIDE").Int(0x153).Str("low byte S");  // type letter is the code's low 8 bits
    ArticleCatalog catalog;
    CatalogStore::LoadReport report;
    ASSERT_TRUE(catalog.Load(Write(s.data)));

    EXPECT_EQ(catalog.GetValue("R1234"), "%:\\Russian\\setup.exe");
    EXPECT_EQ(catalog.GetValue("r1234"), "lower case");
    EXPECT_EQ(catalog.GetValue("R1234 "), "");
    EXPECT_FALSE(catalog.HasKey("EMPTY"));
    EXPECT_EQ(catalog.GetValue("INT"), "123");
    EXPECT_EQ(catalog.GetValue("TRUTH"), "DCBA");
    EXPECT_FALSE(catalog.HasKey("NOBLOB"));
    EXPECT_EQ(catalog.GetValue("BLOB"), "hi");
    EXPECT_FALSE(catalog.HasKey("OTHER"));
    EXPECT_EQ(catalog.GetValue("WIDE"), "low byte S");

    const CatalogSection* section = catalog.Store().FindSection(kArticles);
    ASSERT_NE(section, nullptr);
    EXPECT_EQ(section->Size(), 9u);
    const CatalogValue* empty = section->Find("EMPTY");
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty->length, 1u);  // the terminating zero
    const CatalogValue* noBlob = section->Find("NOBLOB");
    EXPECT_EQ(noBlob->type, 'H');
    EXPECT_EQ(noBlob->length, 0u);
    EXPECT_EQ(noBlob->bytes, nullptr);
    EXPECT_EQ(section->Find("OTHER")->type, 'Q');
    EXPECT_EQ(section->Find("WIDE")->type, 'S');
}

TEST_F(CatalogLoad, EntriesAcrossReadsOfTheImageLoadWhole) {
    // Enough entries that reads of the image end inside them, and a text longer than a read.
    Stream s;
    s.Int(1).Str(kArticles).Int(302);
    for (int i = 0; i < 300; ++i) {
        s.EntryS("K" + std::to_string(i), std::string(i % 50, 'v'));
    }
    s.EntryS("LONG", std::string(10000, 'x')).Str("N").Int('I').Int(5);
    CatalogStore store;
    CatalogStore::LoadReport report;
    ASSERT_TRUE(store.Load(Write(s.data), &report));
    EXPECT_TRUE(report.streamComplete);
    EXPECT_EQ(report.entriesRead, 302u);
    EXPECT_EQ(report.streamEnd, report.imageLength);
    for (int i = 0; i < 300; ++i) {
        const std::string key = "K" + std::to_string(i);
        ASSERT_EQ(store.GetValueText(kArticles, key), std::string(i % 50, 'v')) << key;
    }
    EXPECT_EQ(store.GetValueText(kArticles, "LONG"), std::string(10000, 'x'));
    EXPECT_EQ(store.FindSection(kArticles)->Find("N")->Word(), 5u);
}

TEST_F(CatalogLoad, LaterKeysAndSectionsReplaceEarlierOnes) {
    Stream s;
    s.Int(3);
    s.Str("A").Int(2).EntryS("k", "first").EntryS("gone", "x");
    s.Str("B").Int(2).EntryS("k", "first").EntryS("k", "second");
    s.Str("A").Int(1).EntryS("k", "again");
    CatalogStore store;
    ASSERT_TRUE(store.Load(Write(s.data)));
    EXPECT_EQ(store.GetValueText("B", "k"), "second");
    EXPECT_EQ(store.GetValueText("A", "k"), "again");
    EXPECT_EQ(store.GetValueText("A", "gone"), "");
    EXPECT_EQ(store.FindSection("B")->Size(), 1u);
}

TEST_F(CatalogLoad, LoadsAddToWhatIsHeld) {
    Stream first;
    first.Int(1).Str("A").Int(1).EntryS("k", "a");
    Stream second;
    second.Int(1).Str("B").Int(1).EntryS("k", "b");
    CatalogStore store;
    ASSERT_TRUE(store.Load(Write(first.data, "1.crt")));
    ASSERT_TRUE(store.Load(Write(second.data, "2.crt")));
    EXPECT_EQ(store.GetValueText("A", "k"), "a");
    EXPECT_EQ(store.GetValueText("B", "k"), "b");
    EXPECT_EQ(store.Path(), dir.File("2.crt"));
}

TEST_F(CatalogDefects, StreamsThatBreakOffKeepWhatCameBefore) {
    struct Case {
        const char* name;
        Stream tail;  // after the entry "ok" of section "A", which announces 5 entries
        std::size_t entries;
    };
    std::vector<Case> cases;
    cases.push_back({"nothing follows", Stream(), 1});
    cases.push_back({"key of the wrong kind", Stream().Int(5), 1});
    cases.push_back({"value of the wrong kind", Stream().Str("bad").Int('S').Int(3), 1});
    cases.push_back({"string longer than the image",
                     Stream().Str("bad").Int('S').Raw({1}).U32(1000).Raw({'a'}), 1});
    cases.push_back(
        {"string length near 4 GiB", Stream().Str("bad").Int('S').Raw({1}).U32(0xFFFFFFFF), 1});
    cases.push_back({"blob longer than the image",
                     Stream().Str("bad").Int('H').Raw({4}).U32(6).Raw({1, 2, 3}), 1});
    cases.push_back(
        {"blob length near 4 GiB", Stream().Str("bad").Int('H').Raw({4}).U32(0xFFFFFFFF), 1});
    cases.push_back({"blob header cut", Stream().Str("bad").Int('H').Raw({4, 1}), 1});
    cases.push_back({"blob record missing", Stream().Str("bad").Int('H'), 1});
    cases.push_back({"string where the blob belongs", Stream().Str("bad").Int('H').Str("x"), 1});
    cases.push_back({"integer cut", Stream().Str("bad").Int('I').Raw({2, 1, 2}), 1});
    cases.push_back({"type code cut", Stream().Str("bad").Raw({2, 'S'}), 1});
    cases.push_back({"one more good entry", Stream().EntryS("ok2", "fine"), 2});
    for (const Case& c : cases) {
        Stream s;
        s.Int(0x7FFFFFFF).Str("A").Int(5).EntryS("ok", "fine");
        // The readable stream ends where the entry that breaks off begins: at the tail, or
        // after it when the tail itself is a good entry.
        const std::size_t readable = 4 + s.data.size() + (c.entries == 2 ? c.tail.data.size() : 0);
        s.data.insert(s.data.end(), c.tail.data.begin(), c.tail.data.end());
        CatalogStore store;
        CatalogStore::LoadReport report;
        ASSERT_TRUE(store.Load(Write(s.data), &report)) << c.name;
        EXPECT_FALSE(report.streamComplete) << c.name;
        EXPECT_EQ(report.streamEnd, readable) << c.name;
        EXPECT_EQ(report.entriesRead, c.entries) << c.name;
        EXPECT_EQ(store.GetValueText("A", "ok"), "fine") << c.name;
        ASSERT_NE(store.FindSection("A"), nullptr);
        // A value that could not be read in full is not kept.
        EXPECT_EQ(store.FindSection("A")->Find("bad"), nullptr) << c.name;
        EXPECT_EQ(store.FindSection("A")->Size(), c.entries) << c.name;
    }
}

TEST_F(CatalogDefects, AKeyWhoseNewValueBreaksOffLosesTheOldOneToo) {
    Stream s;
    s.Int(1).Str("A").Int(2).EntryS("k", "old").Str("k").Int('S').Raw({1, 9});
    CatalogStore store;
    ASSERT_TRUE(store.Load(Write(s.data)));
    EXPECT_EQ(store.FindSection("A")->Find("k"), nullptr);
}

TEST_F(CatalogDefects, HugeCountsOverFewBytesEndQuickly) {
    Stream s;
    s.Int(0x7FFFFFFF);
    for (int i = 0; i < 3; ++i) {
        s.Str("S" + std::to_string(i)).Int(0x7FFFFFFF).Str("k").Int('Z');
    }
    CatalogStore store;
    CatalogStore::LoadReport report;
    ASSERT_TRUE(store.Load(Write(s.data), &report));
    EXPECT_EQ(store.Sections().size(), 1u);  // the first section swallows the rest as keys
    EXPECT_FALSE(report.streamComplete);
}

TEST_F(CatalogSave, EveryTypeLetterComesBackAsWritten) {
    CatalogStore store;
    CatalogSection& a = store.Section(kArticles);
    a.Set("S", CatalogValue::String("%:\\English\\setup.exe"));
    CatalogValue cut;
    cut.type = 'S';
    cut.SetBytes("ab\0cd", 6);
    a.Set("CUT", std::move(cut));
    a.Set("I", CatalogValue::Integer(-123456));
    CatalogValue truth;
    truth.type = 'B';
    const std::uint8_t seven[4] = {7, 0, 0, 0};
    truth.SetBytes(seven, 4);
    a.Set("B7", std::move(truth));
    a.Set("B0", CatalogValue::Truth(false));
    a.Set("H", CatalogValue::Blob(std::string("\0\1\2", 3)));
    a.Set("H0", CatalogValue::Blob(""));
    a.Set("X", CatalogValue::Untyped('X'));
    store.Section("Empty");
    const std::string path = dir.File("install.crt");
    ASSERT_TRUE(store.Save(path, false));

    CatalogStore back;
    CatalogStore::LoadReport report;
    ASSERT_TRUE(back.Load(path, &report));
    EXPECT_TRUE(report.streamComplete);
    EXPECT_EQ(report.streamEnd, report.imageLength);
    EXPECT_EQ(back.Sections().size(), 2u);
    ASSERT_NE(back.FindSection("Empty"), nullptr);
    const CatalogSection& b = *back.FindSection(kArticles);
    EXPECT_EQ(b.Size(), 8u);
    EXPECT_EQ(b.Find("S")->Text(), "%:\\English\\setup.exe");
    EXPECT_EQ(b.Find("CUT")->length, 3u);  // "ab" and its zero
    EXPECT_EQ(static_cast<std::int32_t>(b.Find("I")->Word()), -123456);
    EXPECT_EQ(b.Find("B7")->Word(), 1u);
    EXPECT_EQ(b.Find("B0")->Word(), 0u);
    EXPECT_EQ(b.Find("H")->length, 3u);
    EXPECT_EQ(b.Find("H")->bytes[2], 2);
    EXPECT_EQ(b.Find("H0")->length, 0u);
    EXPECT_EQ(b.Find("X")->type, 'X');
    EXPECT_EQ(b.Find("X")->length, 0u);
}

TEST_F(CatalogSave, OutputIsSortedAndByteExact) {
    CatalogStore store;
    store.Section("B").Set("y", CatalogValue::Integer(2));
    store.Section("B").Set("x", CatalogValue::String("t"));
    store.Section("A");
    const std::string path = dir.File("sorted.crt");
    ASSERT_TRUE(store.Save(path, false));
    Stream expected;
    expected.Int(2).Str("A").Int(0).Str("B").Int(2).EntryS("x", "t").Str("y").Int('I').Int(2);
    EXPECT_EQ(ReadAll(path), DiskImage(expected.data));
}

TEST_F(CatalogSave, RefusesToReplaceUnlessAskedAndRemembersTheLoadPath) {
    Stream s;
    s.Int(1).Str("A").Int(1).EntryS("k", "v");
    const std::string path = Write(s.data);
    const Bytes before = ReadAll(path);
    {
        CatalogStore store;
        ASSERT_TRUE(store.Load(path));
        store.Section("A").Set("k", CatalogValue::String("changed"));
        EXPECT_FALSE(store.Save("", false));
        EXPECT_EQ(ReadAll(path), before);
        EXPECT_TRUE(store.Save("", true));
        store.Section("A").Set("k", CatalogValue::String("saved again"));
        EXPECT_TRUE(store.Save("", true));
    }
    CatalogStore reread;
    ASSERT_TRUE(reread.Load(path));
    EXPECT_EQ(reread.GetValueText("A", "k"), "saved again");
}

}  // namespace
