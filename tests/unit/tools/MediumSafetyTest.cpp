// make-medium as a program, the way media authors run it: what it never deletes, the names in
// any locale and as Windows shows them, links, a killed build and names too long to build beside.
#ifndef _WIN32
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <set>

#include "../catalog/CatalogTestFiles.h"
#include "ToolRun.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

const std::string kArticlesUtf8 =
    "\xD0\x90\xD1\x80\xD1\x82\xD0\xB8\xD0\xBA\xD1\x83\xD0\xBB\xD1\x8B";
const std::string kRussianUtf8 = "\xD0\xA0\xD1\x83\xD1\x81\xD1\x81\xD0\xBA\xD0\xB8\xD0\xB9";

void Write(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

std::set<std::string> Below(const fs::path& root) {
    std::set<std::string> names;
    for (const auto& e : fs::recursive_directory_iterator(root))
        names.insert(e.path().lexically_relative(root).generic_u8string());
    return names;
}

// The command's exit code and what it printed, run through the shell with its environment set.
ToolRun Shell(const std::string& command) {
    const fs::path out = fs::temp_directory_path() / ("medium-shell-" + std::to_string(getpid()));
    const int status = std::system((command + " >" + out.string() + " 2>&1").c_str());
    std::ifstream in(out);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    fs::remove(out);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, text, text};
}

constexpr int kWaitBoundMs = 10000;

// Waits until fd has something to read (or its writer is gone), at most the bound.
bool WaitReadable(int fd) {
    pollfd watched{fd, POLLIN, 0};
    return poll(&watched, 1, kWaitBoundMs) == 1;
}

// Waits until a process that need not be ours has ended (a zombie counts): its pidfd becomes
// readable then. One that is already gone has ended.
bool WaitEnded(pid_t process) {
    const int pidfd = static_cast<int>(syscall(SYS_pidfd_open, process, 0));
    if (pidfd < 0) return errno == ESRCH;
    const bool ended = WaitReadable(pidfd);
    close(pidfd);
    return ended;
}

// The first whole number written to a FIFO, once its writer has written it; 0 after the bound.
pid_t ReadPidFrom(const fs::path& fifo) {
    const int fd = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    if (fd < 0) return 0;
    std::string text;
    char buffer[32];
    while (text.find('\n') == std::string::npos && WaitReadable(fd)) {
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got <= 0) break;
        text.append(buffer, static_cast<size_t>(got));
    }
    close(fd);
    return static_cast<pid_t>(std::atol(text.c_str()));
}

// A catalogue, set-up programs with a Cyrillic folder and an installer in work/; outputs beside.
class MediumSafety : public ::testing::Test {
  protected:
    void SetUp() override {
        unsetenv("SOURCE_DATE_EPOCH");
        Write(work / "cat.txt", "[" + kArticlesUtf8 + "]\nE1 S \"%:\\English\\setup.exe\"\n" +
                                    "R1 S \"%:\\" + kRussianUtf8 + "\\setup.exe\"\n");
        Write(work / "in" / "English" / "setup.exe", "MZ english");
        Write(work / "in" / kRussianUtf8 / "setup.exe", "MZ russian");
        Write(work / "installer.exe", "MZ installer");
        Write(work / "notes.txt", "the author's");
    }
    std::vector<std::string> Args(const std::vector<std::string>& outputs) const {
        std::vector<std::string> args = {"make-medium", W("cat.txt"),  W("in"),           "--label",
                                         "M",           "--installer", W("installer.exe")};
        args.insert(args.end(), outputs.begin(), outputs.end());
        return args;
    }
    std::string Command(const std::vector<std::string>& outputs) const {
        std::string command = CATALOG_TOOL_PROGRAM;
        for (const std::string& arg : Args(outputs)) command += " '" + arg + "'";
        return command;
    }
    std::string W(const std::string& name) const { return (work / name).string(); }

    ScratchDir dir;
    fs::path work = dir.path / "work";
};

bool HaveXorriso() {
    return std::system("command -v xorriso >/dev/null 2>&1") == 0;
}

TEST_F(MediumSafety, NoOutputDeletesOrSwallowsAnInputAndAFailureWritesNothing) {
    const std::set<std::string> inputs = Below(work);
    for (const auto& outputs : std::vector<std::vector<std::string>>{
             {"-o", W(""), "--force"},                    // the folder holding every input
             {"-o", W("in/medium"), "--force"},           // inside the set-up programs
             {"-o", W("cat.txt"), "--force"},             // the catalogue source
             {"--image", W("in/m.iso"), "--force"},       // an image the next build would take in
             {"-o", W("out"), "--image", W("out/m.iso")}  // an image inside the medium folder
         }) {
        const ToolRun run = Tool(Args(outputs));
        EXPECT_EQ(run.code, 2) << outputs[1] << run.err;
        EXPECT_EQ(Below(work), inputs) << outputs[1];
    }
    // --force replaces an earlier medium; an image refused up front leaves it as it was.
    fs::create_directory(dir.path / "out");
    ASSERT_EQ(Tool(Args({"-o", (dir.path / "out/medium").string()})).code, 0);
    const std::set<std::string> medium = Below(dir.path / "out");
    const ToolRun refused = Tool(Args({"-o", (dir.path / "out/medium").string(), "--image",
                                       (dir.path / "out/medium/m.iso").string(), "--force"}));
    EXPECT_EQ(refused.code, 2);
    EXPECT_NE(refused.err.find("lies in the medium folder"), std::string::npos) << refused.err;
    EXPECT_EQ(Below(dir.path / "out"), medium);
}

TEST_F(MediumSafety, NamesAreTheSameInEveryLocale) {
    if (!HaveXorriso()) GTEST_SKIP() << "xorriso is not there";
    const std::string path = std::string("PATH='") + std::getenv("PATH") + "' ";
    const ToolRun bare = Shell("env -i " + path + Command({"--image", W("../bare.iso")}));
    ASSERT_EQ(bare.code, 0) << bare.err;
    ASSERT_EQ(Shell("env -i LC_ALL=C " + path + Command({"--image", W("../c.iso")})).code, 0);
    ASSERT_EQ(Tool(Args({"--image", W("../here.iso")})).code, 0);
    EXPECT_EQ(ReadAll(W("../bare.iso")), ReadAll(W("../c.iso")));
    EXPECT_EQ(ReadAll(W("../bare.iso")), ReadAll(W("../here.iso")));
    const ToolRun joliet = Shell("xorriso -local_charset UTF-8 -read_fs norock -indev " +
                                 W("../bare.iso") + " -find /");
    EXPECT_NE(joliet.out.find("'/" + kRussianUtf8 + "/setup.exe'"), std::string::npos)
        << joliet.out;
}

TEST_F(MediumSafety, TheFolderCopyKeepsHoles) {
    constexpr std::uintmax_t kSize = 64 << 20;
    {
        std::ofstream sparse(work / "in" / "English" / "sparse.cab", std::ios::binary);
        sparse << "head";
        sparse.seekp(kSize - 4);
        sparse << "tail";
    }
    ASSERT_EQ(Tool(Args({"-o", W("../medium")})).code, 0);
    const fs::path copy = dir.path / "medium" / "English" / "sparse.cab";
    struct stat info {};
    ASSERT_EQ(stat(copy.c_str(), &info), 0);
    EXPECT_EQ(static_cast<std::uintmax_t>(info.st_size), kSize);
    EXPECT_LT(static_cast<std::uintmax_t>(info.st_blocks) * 512, kSize / 4);
    EXPECT_EQ(ReadAll(copy.string()), ReadAll(W("in/English/sparse.cab")));
}

TEST_F(MediumSafety, LinksAreFollowedOnlyInsideTheSetUpFolder) {
    fs::create_directory_symlink("English", work / "in" / "Alias");
    fs::create_directory_symlink(dir.path, work / "in" / "English" / "out");
    fs::create_directory_symlink("..", work / "in" / "English" / "up");
    fs::create_symlink("gone.exe", work / "in" / "English" / "dangling.exe");
    const ToolRun refused = Shell("timeout 10 " + Command({"-o", W("../medium")}));
    EXPECT_EQ(refused.code, 1) << refused.err;
    EXPECT_NE(refused.err.find("English/out: is a link out of the set-up programs' folder"),
              std::string::npos)
        << refused.err;
    EXPECT_NE(refused.err.find("English/up: is a link loop"), std::string::npos);
    EXPECT_NE(refused.err.find("dangling.exe: is a link to nothing"), std::string::npos);

    for (const char* name : {"out", "up", "dangling.exe"}) fs::remove(work / "in/English" / name);
    ASSERT_EQ(Tool(Args({"-o", W("../medium")})).code, 0);
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(dir.path / "medium/Alias/setup.exe")));
}

TEST_F(MediumSafety, AKilledBuildLeavesNothingBehindOnTheNextRun) {
    // An xorriso that tells its process id through a FIFO and then waits to be ended.
    const fs::path fifo = dir.path / "xorriso.fifo";
    Write(dir.path / "bin" / "xorriso",
          "#!/bin/sh\necho $$ > " + fifo.string() + "\nexec sleep 600\n");
    fs::permissions(dir.path / "bin" / "xorriso", fs::perms::owner_all);
    const std::string path = std::getenv("PATH");
    const std::set<std::string> before = Below(dir.path);
    for (int signal : {SIGTERM, SIGKILL}) {
        ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
        setenv("PATH", ((dir.path / "bin").string() + ":" + path).c_str(), 1);
        std::vector<std::string> args = Args({"-o", W("../medium"), "--image", W("../m.iso")});
        args.insert(args.begin(), CATALOG_TOOL_PROGRAM);
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(&a[0]);
        argv.push_back(nullptr);
        pid_t tool = 0;
        ASSERT_EQ(posix_spawn(&tool, argv[0], nullptr, nullptr, argv.data(), environ), 0);
        setenv("PATH", path.c_str(), 1);
        const pid_t xorriso = ReadPidFrom(fifo);
        fs::remove(fifo);
        ASSERT_GT(xorriso, 0) << "the stand-in xorriso was not started";
        kill(tool, signal);
        int status = 0;
        waitpid(tool, &status, 0);
        EXPECT_TRUE(WaitEnded(xorriso)) << "xorriso outlived the tool";
        kill(xorriso, SIGKILL);
        if (signal == SIGTERM) {
            EXPECT_EQ(Below(dir.path), before) << "temporaries were left";
        }
    }
    if (!HaveXorriso()) GTEST_SKIP() << "xorriso is not there";
    const ToolRun rerun = Tool(Args({"-o", W("../medium"), "--image", W("../m.iso")}));
    ASSERT_EQ(rerun.code, 0) << rerun.err;
    std::set<std::string> after = before;
    for (const std::string& medium : Below(dir.path / "medium")) after.insert("medium/" + medium);
    after.insert({"medium", "m.iso"});
    EXPECT_EQ(Below(dir.path), after);
}

TEST_F(MediumSafety, NamesWindowsCannotShowAreRefusedAllAtOnce) {
    const std::string longName(104, 'x');
    const fs::path deep = work / "in" / std::string(100, 'd') / std::string(19, 'e');
    for (const std::string& name :
         {longName, std::string("a<b"), std::string("dot."), std::string("blank "),
          std::string("CON"), std::string("lpt9.txt"), std::string("Readme.txt"),
          std::string("README.TXT"), std::string("tab\tname")}) {
        Write(work / "in" / "English" / name, "x");
    }
    Write(deep / "f", "x");
    Write(work / "cat.txt", "[" + kArticlesUtf8 + "]\nE1 S \"%:\\English\\SETUP.EXE\"\n");
    const ToolRun run = Tool(Args({"-o", W("../medium")}));
    EXPECT_EQ(run.code, 1);
    for (const std::string& expected :
         {longName + ": the name is 104 characters long; the Joliet tree holds 103",
          std::string("a<b: the name holds '<'"), std::string("dot.: the name ends with a dot"),
          std::string("blank : the name ends with a blank"),
          std::string("CON: the name is a device name"),
          std::string("lpt9.txt: the name is a device name"),
          std::string("Readme.txt: differs from README.TXT only in letter case"),
          std::string("control character 0x09"), std::string("the Joliet tree, which holds 240"),
          std::string("SETUP.EXE\" -> " + W("in") +
                      "/English/SETUP.EXE: missing; the folder "
                      "holds " +
                      W("in") + "/English/setup.exe")}) {
        EXPECT_NE(run.err.find(expected), std::string::npos) << expected << "\n" << run.err;
    }
    EXPECT_FALSE(fs::exists(dir.path / "medium"));
}

TEST_F(MediumSafety, TheImagesJolietTreeIsReadBackAndComparedNameByName) {
    if (!HaveXorriso()) GTEST_SKIP() << "xorriso is not there";
    Write(work / "in" / "English" / "a;b.txt", "Windows allows it, Joliet does not");
    const ToolRun run = Tool(Args({"--image", W("../m.iso")}));
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.err.find("English/a;b.txt: not in the image's Joliet tree as given"),
              std::string::npos)
        << run.err;
    EXPECT_FALSE(fs::exists(dir.path / "m.iso"));
}

TEST_F(MediumSafety, AnOutputNameTooLongToBuildBesideEndsWithAClearError) {
    const std::string name(250, 'n');
    const ToolRun run =
        Shell("timeout 2 " + Command({"-o", W("../" + name), "--image", W("../" + name + "i")}));
    EXPECT_EQ(run.code, 2) << "124 is the timeout's";
    EXPECT_NE(run.err.find(name + ": the name is longer than the "), std::string::npos) << run.err;
}

}  // namespace
#endif
