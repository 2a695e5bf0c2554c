#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <sstream>

#include "../catalog/CatalogTestFiles.h"
#include "CatalogTool.h"
#include "ToolFiles.h"
#include "ToolRun.h"

namespace {

namespace fs = std::filesystem;

const std::string kArticlesUtf8 =
    "\xD0\x90\xD1\x80\xD1\x82\xD0\xB8\xD0\xBA\xD1\x83\xD0\xBB\xD1\x8B";
const std::string kRussianUtf8 = "\xD0\xA0\xD1\x83\xD1\x81\xD1\x81\xD0\xBA\xD0\xB8\xD0\xB9";
constexpr std::int64_t kDefaultSeconds = 946684800;  // 2000-01-01

void WriteText(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

Bytes ReadPath(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void SetVariable(const char* name, const char* value) {
#ifdef _WIN32
    _putenv_s(name, value ? value : "");
#else
    if (value) {
        setenv(name, value, 1);
    } else {
        unsetenv(name);
    }
#endif
}

// Every file and folder below root: relative name -> contents ("/" for a folder) and date.
std::map<std::string, std::pair<std::string, std::int64_t>> Tree(const fs::path& root) {
    std::map<std::string, std::pair<std::string, std::int64_t>> tree;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const Bytes bytes = entry.is_directory() ? Bytes() : ReadPath(entry.path());
        tree[entry.path().lexically_relative(root).generic_u8string()] = {
            entry.is_directory() ? "/" : std::string(bytes.begin(), bytes.end()),
            toolfiles::ModificationTime(entry.path())};
    }
    return tree;
}

std::vector<std::string> Names(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().u8string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool HaveXorriso() {
#ifdef _WIN32
    return false;
#else
    return std::system("command -v xorriso >/dev/null 2>&1") == 0;
#endif
}

// A catalogue source, a set-up programs' folder with an English and a Cyrillic-named folder, and
// an installer, all in one scratch folder; outputs go beside them.
class MakeMediumFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        SetVariable("SOURCE_DATE_EPOCH", nullptr);
        WriteText(dir.path / "catalog.txt", "[" + kArticlesUtf8 +
                                                "]\n"
                                                "E1 S \"%:\\English\\setup.exe\"\n"
                                                "R1 S \"%:\\" +
                                                kRussianUtf8 + "\\setup.exe\"\n");
        WriteText(dir.path / "setups" / "English" / "setup.exe", "MZ english");
        WriteText(dir.path / "setups" / "English" / "data.cab", "cabinet");
        WriteText(dir.path / "setups" / fs::u8path(kRussianUtf8) / "setup.exe", "MZ russian");
        WriteText(dir.path / "installer.exe", "MZ installer");
    }
    void TearDown() override { SetVariable("SOURCE_DATE_EPOCH", nullptr); }

    std::string In(const std::string& name) const { return (dir.path / name).string(); }

    ToolRun Make(const std::vector<std::string>& extra, const std::string& setups = "setups") {
        std::vector<std::string> args = {"make-medium",      In("catalog.txt"), In(setups),
                                         "--label",          "SAMPLE MEDIUM",   "--installer",
                                         In("installer.exe")};
        args.insert(args.end(), extra.begin(), extra.end());
        return Tool(args);
    }

    ScratchDir dir;
};

TEST(MakeMediumUsage, HelpAndBadCommandLines) {
    EXPECT_NE(Tool({"--help"}).out.find("make-medium SOURCE SETUP_DIR --label LABEL"),
              std::string::npos);
    EXPECT_EQ(Tool({"make-medium", "a", "b", "-o", "c"}).code, 2);             // no label
    EXPECT_EQ(Tool({"make-medium", "a", "b", "--label", "L"}).code, 2);        // no output
    EXPECT_EQ(Tool({"make-medium", "a", "--label", "L", "-o", "c"}).code, 2);  // no SETUP_DIR
    EXPECT_EQ(Tool({"make-medium", "a", "b", "--label", "L", "-o", "c", "--fast"}).code, 2);
    EXPECT_EQ(Tool({"make-medium", "a", "b", "--label"}).code, 2);
}

TEST_F(MakeMediumFiles, FolderHoldsTheMediumWithEveryDateAlike) {
    const ToolRun run = Make({"-o", In("medium")});
    ASSERT_EQ(run.code, 0) << run.err;
    const auto tree = Tree(dir.path / "medium");
    std::vector<std::string> names;
    for (const auto& [name, item] : tree) {
        names.push_back(name);
        EXPECT_EQ(item.second, kDefaultSeconds) << name;
    }
    EXPECT_EQ(names, (std::vector<std::string>{"English", "English/data.cab", "English/setup.exe",
                                               "autorun.inf", "install.crt", "installer.exe",
                                               kRussianUtf8, kRussianUtf8 + "/setup.exe"}));
    EXPECT_EQ(tree.at("installer.exe").first, "MZ installer");
    EXPECT_EQ(tree.at("English/data.cab").first, "cabinet");
    EXPECT_EQ(tree.at(kRussianUtf8 + "/setup.exe").first, "MZ russian");
    EXPECT_EQ(tree.at("autorun.inf").first,
              "[autorun]\r\nopen=installer.exe\r\nicon=installer.exe,0\r\nlabel=SAMPLE "
              "MEDIUM\r\n");
    // install.crt is what pack makes of the source.
    ASSERT_EQ(Tool({"pack", In("catalog.txt"), "-o", In("packed.crt")}).code, 0);
    EXPECT_EQ(ReadAll(In("medium/install.crt")), ReadAll(In("packed.crt")));
    EXPECT_EQ(Tool({"check-medium", In("medium")}).code, 0);
    EXPECT_EQ(Names(dir.path), (std::vector<std::string>{"catalog.txt", "installer.exe", "medium",
                                                         "packed.crt", "setups"}));

    SetVariable("SOURCE_DATE_EPOCH", "1700000000");
    ASSERT_EQ(Make({"-o", In("medium"), "--force"}).code, 0);
    EXPECT_EQ(toolfiles::ModificationTime(dir.path / "medium" / "English" / "setup.exe"),
              1700000000);
    EXPECT_EQ(toolfiles::ModificationTime(dir.path / "medium"), 1700000000);
    SetVariable("SOURCE_DATE_EPOCH", "yesterday");
    const ToolRun badDate = Make({"-o", In("medium"), "--force"});
    EXPECT_EQ(badDate.code, 2);
    EXPECT_NE(badDate.err.find("SOURCE_DATE_EPOCH=yesterday"), std::string::npos) << badDate.err;
}

TEST_F(MakeMediumFiles, MissingSetUpProgramsAreAllNamedAndNothingIsWritten) {
    fs::remove(dir.path / "setups" / "English" / "setup.exe");
    fs::remove(dir.path / "setups" / fs::u8path(kRussianUtf8) / "setup.exe");
    WriteText(dir.path / "setups" / "AUTORUN.INF", "[autorun]\r\nopen=other.exe\r\n");
    const std::vector<std::string> before = Names(dir.path);
    const ToolRun run = Make({"-o", In("medium"), "--image", In("medium.iso")});
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.err.find("article E1: \"%:\\English\\setup.exe\" -> "), std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("article R1: "), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("AUTORUN.INF would be replaced"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("nothing written"), std::string::npos);
    EXPECT_EQ(Names(dir.path), before);

    // Problems of the command line and of the medium together, the worse one deciding the code.
    fs::remove(dir.path / "installer.exe");
    const ToolRun worse =
        Tool({"make-medium", In("catalog.txt"), In("setups"), "--label", "Bad/Label", "--installer",
              In("installer.exe"), "-o", In("medium")});
    EXPECT_EQ(worse.code, 2);
    EXPECT_NE(worse.err.find("installer.exe: cannot be read"), std::string::npos) << worse.err;
    EXPECT_NE(worse.err.find("--label \"Bad/Label\" may hold only"), std::string::npos);
    EXPECT_NE(worse.err.find("article E1"), std::string::npos);
    EXPECT_EQ(Names(dir.path).size(), before.size() - 1);
}

TEST_F(MakeMediumFiles, EveryProblemIsInOneReportTheCataloguesFirst) {
    WriteText(dir.path / "setups" / "CON", "a device name on Windows");
    WriteText(dir.path / "catalog.txt", "[" + kArticlesUtf8 + "]\nE1 S x\nE2 B yes\n");
    const ToolRun faults = Make({"-o", In("medium")});
    EXPECT_EQ(faults.code, 1);
    const std::size_t first = faults.err.find("catalog.txt:2: quoted text expected");
    const std::size_t second = faults.err.find("catalog.txt:3: B needs true or false");
    const std::size_t medium = faults.err.find("CON: the name is a device name");
    EXPECT_TRUE(first < second && second < medium) << faults.err;

    WriteText(dir.path / "catalog.txt", "[" + kArticlesUtf8 +
                                            "]\nA S \"%:\\..\\English\\setup.exe\"\n"
                                            "B S \"%\\English\\setup.exe\"\nC S \"%:\\\"\n");
    const ToolRun values = Make({"-o", In("medium")});
    EXPECT_EQ(values.code, 1);
    for (const char* reason :
         {"leaves the medium (..)", "lacks the colon", "names the medium's root"})
        EXPECT_NE(values.err.find(reason), std::string::npos) << reason << values.err;

    WriteText(dir.path / "catalog.txt", "[" + kArticlesUtf8 + "]\n");
    EXPECT_NE(Make({"-o", In("medium")}).err.find("holds no article"), std::string::npos);
    WriteText(dir.path / "catalog.txt", "[" + kArticlesUtf8 + "]\nE1 S \"\"\n");
    EXPECT_NE(Make({"-o", In("medium")}).err.find("is empty, so the medium would offer nothing"),
              std::string::npos);
    const ToolRun folder =
        Tool({"make-medium", In("setups"), In("setups"), "--label", "L", "-o", In("m")});
    EXPECT_EQ(folder.code, 2);
    EXPECT_NE(folder.err.find("is a folder, not a catalogue source"), std::string::npos);
    const ToolRun twice = Make({"-o", In("a"), "-o", In("b")});
    EXPECT_EQ(twice.code, 2);
    EXPECT_NE(twice.err.find("-o is given more than once"), std::string::npos);
#ifdef _WIN32
    for (const char* date : {"5869584000"}) {  // setting it empty removes it here
#else
    for (const char* date : {"", "5869584000"}) {
#endif
        SetVariable("SOURCE_DATE_EPOCH", date);
        EXPECT_NE(Make({"-o", In("medium")}).err.find("SOURCE_DATE_EPOCH="), std::string::npos)
            << date;
    }
    EXPECT_FALSE(fs::exists(dir.path / "medium"));
}

TEST_F(MakeMediumFiles, LabelsAndOutputsThatAreRefused) {
    for (const char* label : {"", " LEADING", "SEVENTEEN CHARS..", "\xD0\x94\xD0\xB0"}) {
        const ToolRun run = Tool({"make-medium", In("catalog.txt"), In("setups"), "--label", label,
                                  "--installer", In("installer.exe"), "-o", In("medium")});
        EXPECT_EQ(run.code, 2) << label;
        EXPECT_NE(run.err.find("--label"), std::string::npos) << run.err;
    }
    WriteText(dir.path / "not-a-program.exe", "plain text");
    const ToolRun notProgram = Tool({"make-medium", In("catalog.txt"), In("setups"), "--label", "L",
                                     "--installer", In("not-a-program.exe"), "-o", In("medium")});
    EXPECT_EQ(notProgram.code, 2);
    EXPECT_NE(notProgram.err.find("is not a Windows program"), std::string::npos);
    EXPECT_EQ(Make({"-o", In("no/such/folder/medium")}).code, 2);
    EXPECT_EQ(Make({"-o", In("setups/medium")}).code, 2);
    EXPECT_EQ(Make({"-o", In("medium")}, "catalog.txt").code, 2);

    WriteText(dir.path / "medium" / "precious.txt", "keep");
    const ToolRun exists = Make({"-o", In("medium")});
    EXPECT_EQ(exists.code, 2);
    EXPECT_NE(exists.err.find("--force"), std::string::npos);
    EXPECT_TRUE(fs::exists(dir.path / "medium" / "precious.txt"));
    // --force replaces only a medium make-medium made.
    const ToolRun forced = Make({"-o", In("medium"), "--force"});
    EXPECT_EQ(forced.code, 2);
    EXPECT_NE(forced.err.find("is not a medium folder make-medium made"), std::string::npos);
    EXPECT_TRUE(fs::exists(dir.path / "medium" / "precious.txt"));
    fs::remove_all(dir.path / "medium");
    ASSERT_EQ(Make({"-o", In("medium")}).code, 0);
    ASSERT_EQ(Make({"-o", In("medium"), "--force"}).code, 0);
    EXPECT_TRUE(fs::exists(dir.path / "medium" / "autorun.inf"));
}

TEST_F(MakeMediumFiles, SameInputsGiveTheSameFolderAndImage) {
    const bool image = HaveXorriso();
    std::vector<std::string> first = {"-o", In("one/medium")};
    std::vector<std::string> second = {"-o", In("two/medium")};
    if (image) {
        first.insert(first.end(), {"--image", In("one/medium.iso")});
        second.insert(second.end(), {"--image", In("two/medium.iso")});
    }
    fs::create_directories(dir.path / "one");
    fs::create_directories(dir.path / "two");
    ASSERT_EQ(Make(first).code, 0);
    // The second time from a copy of the inputs with other dates, into another folder.
    fs::copy(dir.path / "setups", dir.path / "copy", fs::copy_options::recursive);
    toolfiles::SetModificationTime(dir.path / "copy" / "English" / "setup.exe", 1234567890);
    const ToolRun again = Make(second, "copy");
    ASSERT_EQ(again.code, 0) << again.err;
    EXPECT_EQ(Tree(dir.path / "one" / "medium"), Tree(dir.path / "two" / "medium"));
    if (!image) {
        std::cout << "xorriso is not there: the image was not compared\n";
        return;
    }
    const Bytes one = ReadAll(In("one/medium.iso"));
    EXPECT_GT(one.size(), 32768u);
    EXPECT_EQ(one, ReadAll(In("two/medium.iso")));
    EXPECT_EQ(Names(dir.path / "two"), (std::vector<std::string>{"medium", "medium.iso"}));

    // Another SOURCE_DATE_EPOCH is another image.
    SetVariable("SOURCE_DATE_EPOCH", "1700000000");
    ASSERT_EQ(Make({"--image", In("two/medium.iso"), "--force"}).code, 0);
    EXPECT_NE(ReadAll(In("two/medium.iso")), one);
    // 0 too: the set-up programs' own dates never reach the image; "0001" is refused up front.
    SetVariable("SOURCE_DATE_EPOCH", "0");
    ASSERT_EQ(Make({"--image", In("one/zero.iso")}).code, 0);
    ASSERT_EQ(Make({"--image", In("two/zero.iso")}, "copy").code, 0);
    EXPECT_EQ(ReadAll(In("one/zero.iso")), ReadAll(In("two/zero.iso")));
    SetVariable("SOURCE_DATE_EPOCH", "0001");
    const ToolRun padded = Make({"--image", In("padded.iso")});
    EXPECT_EQ(padded.code, 2);
    EXPECT_NE(padded.err.find("SOURCE_DATE_EPOCH=0001 begins with a 0"), std::string::npos);
    SetVariable("SOURCE_DATE_EPOCH", nullptr);
}

#ifndef _WIN32
TEST_F(MakeMediumFiles, ImageThatCannotBeMadeLeavesNothingBehind) {
    const char* path = std::getenv("PATH");
    const std::string saved = path ? path : "";
    setenv("PATH", dir.path.c_str(), 1);  // no xorriso here
    const ToolRun run = Make({"-o", In("medium"), "--image", In("medium.iso")});
    setenv("PATH", saved.c_str(), 1);
    EXPECT_EQ(run.code, 2);
    EXPECT_NE(run.err.find("xorriso cannot be started"), std::string::npos) << run.err;
    EXPECT_EQ(Names(dir.path),
              (std::vector<std::string>{"catalog.txt", "installer.exe", "setups"}));
}
#endif

}  // namespace
