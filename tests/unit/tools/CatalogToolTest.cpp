#include <gtest/gtest.h>

#include <sstream>

#include "../catalog/CatalogTestFiles.h"
#include "CatalogTool.h"
#include "ToolRun.h"
#include "protocol/HandoffProtocol.h"

namespace {

const std::string kArticlesUtf8 =
    "\xD0\x90\xD1\x80\xD1\x82\xD0\xB8\xD0\xBA\xD1\x83\xD0\xBB\xD1\x8B";

Bytes FromHex(const std::string& hex) {
    Bytes bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        bytes.push_back(static_cast<std::uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    }
    return bytes;
}

void WriteText(const std::string& path, const std::string& text) {
    WriteAll(path, Bytes(text.begin(), text.end()));
}

std::string ReadText(const std::string& path) {
    const Bytes bytes = ReadAll(path);
    return std::string(bytes.begin(), bytes.end());
}

class CatalogToolFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        source = dir.File("catalog.txt");
        target = dir.File(catalogFileName);
        WriteText(source, "[" + kArticlesUtf8 +
                              "]\n"
                              "R1234 S \"%:\\Russian\\setup.exe\"\n"
                              "E5678 S \"%:\\English\\setup.exe\"\n"
                              "R9999 S \"%:\\Missing\\setup.exe\"\n");
    }
    std::size_t FileCount() const {
        std::size_t n = 0;
        for (auto it = std::filesystem::directory_iterator(dir.path);
             it != std::filesystem::directory_iterator(); ++it) {
            ++n;
        }
        return n;
    }

    ScratchDir dir;
    std::string source;
    std::string target;
};

using CatalogToolPack = CatalogToolFiles;
using CatalogToolInspect = CatalogToolFiles;
using CatalogToolMedium = CatalogToolFiles;

TEST(CatalogToolUsage, HelpAndBadCommandLines) {
    EXPECT_EQ(Tool({"--help"}).code, 0);
    EXPECT_NE(Tool({"--help"}).out.find("check-medium DIR"), std::string::npos);
    EXPECT_EQ(Tool({}).code, 2);
    EXPECT_EQ(Tool({"frobnicate"}).code, 2);
    EXPECT_EQ(Tool({"pack", "only-source"}).code, 2);
    EXPECT_EQ(Tool({"pack", "a", "b", "-o", "c"}).code, 2);
    EXPECT_EQ(Tool({"pack", "a", "-o", "c", "--fast"}).code, 2);
    EXPECT_EQ(Tool({"dump"}).code, 2);
    EXPECT_EQ(Tool({"verify", "a", "b"}).code, 2);
}

TEST_F(CatalogToolPack, DumpPackDumpIsIdentical) {
    ASSERT_EQ(Tool({"pack", source, "-o", target}).code, 0);
    const ToolRun first = Tool({"dump", target});
    ASSERT_EQ(first.code, 0) << first.err;
    EXPECT_EQ(first.out, "[" + kArticlesUtf8 +
                             "]\n"
                             "E5678 S \"%:\\English\\setup.exe\"\n"
                             "R1234 S \"%:\\Russian\\setup.exe\"\n"
                             "R9999 S \"%:\\Missing\\setup.exe\"\n");
    WriteText(dir.File("dumped.txt"), first.out);
    ASSERT_EQ(Tool({"pack", dir.File("dumped.txt"), "-o", dir.File("again.crt")}).code, 0);
    EXPECT_EQ(Tool({"dump", dir.File("again.crt")}).out, first.out);
    EXPECT_EQ(ReadAll(dir.File("again.crt")), ReadAll(target));
}

TEST_F(CatalogToolPack, AnExistingCatalogueIsReplacedOnlyWithForce) {
    WriteText(target, "precious");
    const ToolRun refused = Tool({"pack", source, "-o", target});
    EXPECT_EQ(refused.code, 2);
    EXPECT_NE(refused.err.find("--force"), std::string::npos);
    EXPECT_EQ(ReadText(target), "precious");

    EXPECT_EQ(Tool({"pack", source, "-o", target, "--force"}).code, 0);
    EXPECT_EQ(Tool({"verify", target}).code, 0);
    EXPECT_EQ(FileCount(), 2u);  // no temporary file left
}

TEST_F(CatalogToolPack, BadSourceNamesFileAndLineAndWritesNothing) {
    WriteText(target, "precious");
    WriteText(source, "[A]\nK S \"\xE4\xB8\xAD\"\n");
    const ToolRun bad = Tool({"pack", source, "-o", target, "--force"});
    EXPECT_EQ(bad.code, 1);
    EXPECT_EQ(bad.err.rfind(source + ":2: U+4E2D", 0), 0u) << bad.err;
    EXPECT_EQ(ReadText(target), "precious");
    EXPECT_EQ(FileCount(), 2u);

    const ToolRun missing = Tool({"pack", dir.File("none.txt"), "-o", dir.File("x.crt")});
    EXPECT_EQ(missing.code, 2);
    EXPECT_FALSE(std::filesystem::exists(dir.File("x.crt")));
    WriteText(source, "[A]\nK S \"x\"\n");
    EXPECT_EQ(Tool({"pack", source, "-o", dir.File("no/such/dir/x.crt")}).code, 2);
    EXPECT_EQ(Tool({"pack", dir.path.string(), "-o", dir.File("x.crt")}).code, 2);
    EXPECT_FALSE(std::filesystem::exists(dir.File("x.crt")));
}

TEST_F(CatalogToolInspect, VerifyTellsWhatTheFileHoldsOrWhichCheckFailed) {
    ASSERT_EQ(Tool({"pack", source, "-o", target}).code, 0);
    const ToolRun good = Tool({"verify", target});
    EXPECT_EQ(good.code, 0);
    EXPECT_NE(good.out.find("multiplier 24117, increment 51893, seed 30562"), std::string::npos);
    EXPECT_NE(good.out.find(kArticlesUtf8 + ": 3 entries"), std::string::npos);
    EXPECT_NE(good.out.find("verify: ok"), std::string::npos);

    const Bytes image = ReadAll(target);
    struct Case {
        const char* name;
        Bytes bytes;
        const char* message;
    };
    Bytes sum = image;
    sum[17] ^= 0x01;
    Bytes bitOr = image;
    bitOr[18] = 0x7F;  // the sum still matches, the OR does not
    Bytes marker = image;
    marker[16] = 0;
    Bytes magic = image;
    magic[0] = 'M';
    Bytes header(image.begin(), image.begin() + 10);
    const Case cases[] = {
        {"sum", sum, "sum check failed"},          {"or", bitOr, "OR check failed"},
        {"marker", marker, "marker check failed"}, {"magic", magic, "magic check failed"},
        {"header", header, "header check failed"},
    };
    for (const Case& c : cases) {
        WriteAll(dir.File("bad.crt"), c.bytes);
        const ToolRun run = Tool({"verify", dir.File("bad.crt")});
        EXPECT_EQ(run.code, 1) << c.name;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << c.name << ": " << run.err;
        EXPECT_EQ(Tool({"dump", dir.File("bad.crt")}).code, 1) << c.name;
    }
    EXPECT_EQ(Tool({"verify", dir.File("missing.crt")}).code, 2);
}

TEST_F(CatalogToolInspect, BrokenRecordStreamsFailVerifyAndDumpWhatWasRead) {
    Stream s;
    s.Int(1).Str("A").Int(3).EntryS("k", "v").Str("cut");
    WriteAll(target, DiskImage(s.data));
    const ToolRun verify = Tool({"verify", target});
    EXPECT_EQ(verify.code, 1);
    // 33 bytes of records up to the entry "cut", whose key is all that is left of it.
    EXPECT_NE(verify.out.find("breaks off at image byte 37 of 45 after 1 entries"),
              std::string::npos)
        << verify.out;
    const ToolRun dump = Tool({"dump", target});
    EXPECT_EQ(dump.code, 1);
    EXPECT_EQ(dump.out, "[A]\nk S \"v\"\n");

    // The last entry's value record is missing altogether, whatever its type letter.
    for (const char type : {'H', 'S', 'I', 'B'}) {
        Stream missing;
        missing.Int(1).Str("A").Int(1).Str("k").Int(type);
        WriteAll(target, DiskImage(missing.data));
        const ToolRun run = Tool({"verify", target});
        EXPECT_EQ(run.code, 1) << type;
        EXPECT_NE(run.out.find("breaks off"), std::string::npos) << type << ": " << run.out;
        EXPECT_EQ(Tool({"dump", target}).out, "[A]\n") << type;
    }
    // The same for 'H', byte for byte as the file was reported.
    WriteAll(target, FromHex("1a1a355eb5ca627700000000000000001a006b00fd8135aebb6d103ab7986c04"
                             "f20489126eb1255e2bf703a227c81d"));
    EXPECT_EQ(Tool({"verify", target}).code, 1);

    Stream trailing;
    trailing.Int(0).Int(5);
    WriteAll(target, DiskImage(trailing.data));
    const ToolRun extra = Tool({"verify", target});
    EXPECT_EQ(extra.code, 1);
    EXPECT_NE(extra.out.find("5 bytes follow the last record"), std::string::npos);
}

TEST_F(CatalogToolMedium, ListsEveryArticleWhoseSetUpProgramIsMissing) {
    ASSERT_EQ(Tool({"pack", source, "-o", target}).code, 0);
    for (const char* folder : {"Russian", "English"}) {
        std::filesystem::create_directories(dir.path / folder);
        WriteText((dir.path / folder / "setup.exe").string(), "MZ");
    }
    const ToolRun run = Tool({"check-medium", dir.path.string()});
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.out.find("R9999: \"%:\\Missing\\setup.exe\" -> "), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("R1234"), std::string::npos);
    EXPECT_NE(run.out.find("3 articles"), std::string::npos);

    std::filesystem::create_directories(dir.path / "Missing" / "setup.exe");  // a folder counts
    EXPECT_EQ(Tool({"check-medium", dir.path.string()}).code, 0);

    ScratchDir empty;
    EXPECT_EQ(Tool({"check-medium", empty.path.string()}).code, 2);
    WriteText(source, "[Other]\nK S \"%:\\x\"\n");
    ASSERT_EQ(Tool({"pack", source, "-o", target, "--force"}).code, 0);
    const ToolRun noSection = Tool({"check-medium", dir.path.string()});
    EXPECT_EQ(noSection.code, 1);
    EXPECT_NE(noSection.err.find("no section"), std::string::npos);
}

}  // namespace
