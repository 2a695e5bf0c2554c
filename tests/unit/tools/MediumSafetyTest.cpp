// make-medium as a program, the way media authors run it: what it never deletes, the names in
// any locale and as Windows shows them, links, a killed build and names too long to build beside.
#ifndef _WIN32
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <set>

#include "../catalog/CatalogTestFiles.h"
#include "FileCopy.h"
#include "OutputCheck.h"
#include "SetupFile.h"
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

// Runs step in a child process, which a wait on a FIFO with no writer would hold: false when the
// child did not end within the bound (it is killed then), else whether step gave true.
template <class Step>
bool EndsInChild(Step step, bool& ended) {
    const pid_t child = fork();
    if (child == 0) _exit(step() ? 0 : 1);
    ended = WaitEnded(child);
    if (!ended) kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    return ended && WIFEXITED(status) && WEXITSTATUS(status) == 0;
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

// A build held in its image step: a stand-in xorriso on PATH tells its process id and waits for
// Release() before it runs the real one, so that the test acts while the build is under way.
class HeldBuild {
  public:
    explicit HeldBuild(std::vector<std::string> args)
        : told(scratch.path / "told.fifo"),
          go(scratch.path / "go.fifo"),
          log(scratch.path / "held.log") {
        const ToolRun real = Shell("command -v xorriso");
        Write(scratch.path / "held" / "xorriso",
              "#!/bin/sh\ncase \" $* \" in *\" -outdev \"*) echo $$ > " + told.string() +
                  "; read go < " + go.string() + ";; esac\nexec " +
                  real.out.substr(0, real.out.find('\n')) + " \"$@\"\n");
        fs::permissions(scratch.path / "held" / "xorriso", fs::perms::owner_all);
        mkfifo(told.c_str(), 0600);
        mkfifo(go.c_str(), 0600);
        const std::string path = std::getenv("PATH");
        setenv("PATH", ((scratch.path / "held").string() + ":" + path).c_str(), 1);
        args.insert(args.begin(), CATALOG_TOOL_PROGRAM);
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(&a[0]);
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT, 0600);
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
        posix_spawn(&tool, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        setenv("PATH", path.c_str(), 1);
        xorriso = ReadPidFrom(told);
    }
    // A build a failed test left held is ended (its xorriso goes with it).
    ~HeldBuild() {
        if (tool <= 0) return;
        kill(tool, SIGKILL);
        waitpid(tool, nullptr, 0);
    }
    HeldBuild(const HeldBuild&) = delete;
    HeldBuild& operator=(const HeldBuild&) = delete;

    // Lets xorriso go on and waits for the tool: its exit code and what it printed.
    ToolRun Release() {
        const int fd = open(go.c_str(), O_WRONLY);
        (void)!write(fd, "\n", 1);
        close(fd);
        int status = 0;
        waitpid(tool, &status, 0);
        tool = 0;
        const std::string text = ReadText(log);
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, text, text};
    }
    // Ends the build with signal while it is held and waits for it: its wait status.
    int Stop(int signal) {
        kill(tool, signal);
        int status = 0;
        waitpid(tool, &status, 0);
        tool = 0;
        return status;
    }
    pid_t xorriso = 0;

  private:
    static std::string ReadText(const fs::path& path) {
        std::ifstream in(path);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    ScratchDir scratch;
    fs::path told, go, log;
    pid_t tool = 0;
};

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
    const ToolRun newline = Tool(Args({"-o", W("new\nline/medium")}));
    EXPECT_NE(newline.err.find("line/medium: its folder " + W("new\\nline") + " does not exist"),
              std::string::npos)
        << newline.err;
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
    const std::set<std::string> before = Below(dir.path);
    for (int signal : {SIGTERM, SIGKILL}) {
        HeldBuild held(Args({"-o", W("../medium"), "--image", W("../m.iso")}));
        ASSERT_GT(held.xorriso, 0) << "the stand-in xorriso was not started";
        held.Stop(signal);
        EXPECT_TRUE(WaitEnded(held.xorriso)) << "xorriso outlived the tool";
        kill(held.xorriso, SIGKILL);
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

TEST_F(MediumSafety, AFifoWhereAPlainFileWasIsRefusedAndNeverWaitedOn) {
    std::vector<setuptree::Problem> problems;
    const std::vector<setuptree::Entry> entries = setuptree::List(work / "in", problems);
    ASSERT_EQ(entries.size(), 4u);
    const setuptree::Entry& setup = entries[1];
    ASSERT_EQ(setup.relative, "English/setup.exe");
    // Another file, then a FIFO, in its place; the FIFO has no writer, so the place is tried in a
    // child that a wait on it would hold.
    Write(work / "other.exe", "MZ other");
    fs::rename(work / "other.exe", setup.source);
    for (bool fifo : {false, true}) {
        if (fifo) {
            fs::remove(setup.source);
            ASSERT_EQ(mkfifo(setup.source.c_str(), 0600), 0);
        }
        bool ended = false;
        EXPECT_TRUE(EndsInChild(
            [&] {
                bool linked = false;
                std::string error;
                setupfile::Place(setup, dir.path / "copy", false, 0, linked, error);
                return error.find("was exchanged for another file") != std::string::npos;
            },
            ended))
            << fifo;
        EXPECT_TRUE(ended) << "the build waits on the FIFO";
    }
    EXPECT_FALSE(fs::exists(dir.path / "copy"));

    // The installer's copy, and an earlier medium's autorun.inf read to tell whether the folder may
    // be replaced: a FIFO in either place is refused at once, never read.
    const fs::path medium = work / "earlier";
    fs::create_directories(medium);
    Write(medium / "install.crt", "catalogue");
    Write(medium / "installer.exe", "MZ");
    ASSERT_EQ(mkfifo((medium / "autorun.inf").c_str(), 0600), 0);
    bool ended = false;
    EXPECT_TRUE(EndsInChild([&] { return !outputcheck::IsOwnMediumFolder(medium); }, ended));
    EXPECT_TRUE(ended) << "the check waits on autorun.inf";
    EXPECT_TRUE(EndsInChild(
        [&] {
            std::string error;
            return !CopyFileContents(medium / "autorun.inf", dir.path / "installer", error) &&
                   error.find("not a plain file") != std::string::npos;
        },
        ended));
    EXPECT_TRUE(ended) << "the copy waits on the FIFO";
}

TEST_F(MediumSafety, NamesWindowsCannotShowAreRefusedAllAtOnce) {
    const std::string longName(104, 'x');
    const fs::path deep = work / "in" / std::string(100, 'd') / std::string(19, 'e');
    for (const std::string& name :
         {longName, std::string("a<b"), std::string("dot."), std::string("blank "),
          std::string("CON"), std::string("lpt9.txt"), std::string("Readme.txt"),
          std::string("README.TXT"), std::string("tab\tname"), std::string("a;b.txt"),
          std::string("COM0"), std::string("com\xC2\xB9.txt"), std::string("CONIN$"),
          std::string("\xC5\x81\xC3\xB3"
                      "d\xC5\xBA.txt"),
          std::string("\xC5\x82\xC3\xB3"
                      "d\xC5\xBA.txt"),
          std::string("\xEF\xBC\xA1"), std::string("\xEF\xBD\x81"), std::string("new\nline")}) {
        Write(work / "in" / "English" / name, "x");
    }
    Write(deep / "f", "x");
    // The catalogue spells "й" composed; the disk holds it decomposed.
    Write(work / "in" / "\xD0\xB8\xCC\x86" / "setup.exe", "MZ");
    Write(work / "cat.txt", "[" + kArticlesUtf8 + "]\nE1 S \"%:\\English\\SETUP.EXE\"\n" +
                                "E2 S \"%:\\\xD0\xB9\\setup.exe\"\n");
    const std::string path = std::getenv("PATH");
    setenv("PATH", dir.path.c_str(), 1);  // found before any xorriso is needed
    const ToolRun run = Tool(Args({"-o", W("../medium"), "--image", W("../m.iso")}));
    setenv("PATH", path.c_str(), 1);
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
                      W("in") + "/English/setup.exe"),
          std::string("a;b.txt: the name holds ';'"), std::string("COM0: the name is a device"),
          std::string("com\xC2\xB9.txt: the name is a device"),
          std::string("CONIN$: the name is a device"),
          std::string("\xC5\x82\xC3\xB3"
                      "d\xC5\xBA.txt: differs from \xC5\x81\xC3\xB3"
                      "d\xC5\xBA.txt only"),
          std::string("\xEF\xBD\x81: differs from \xEF\xBC\xA1 only"),
          std::string("English/new\\nline\": the name holds the control character 0x0A"),
          std::string("\xD0\xB8\xCC\x86/setup.exe, the same name with its letters decomposed")}) {
        EXPECT_NE(run.err.find(expected), std::string::npos) << expected << "\n" << run.err;
    }
    EXPECT_EQ(run.err.find("xorriso"), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(dir.path / "medium"));
}

TEST_F(MediumSafety, TheImagesJolietTreeIsReadBackAndMustHoldTheFoldersNamesWhole) {
    if (!HaveXorriso()) GTEST_SKIP() << "xorriso is not there";
    const std::string emoji = "x\xF0\x9F\x98\x80y.txt";
    Write(work / "in" / "English" / emoji, "kept whole, checked by the read-back");
    const ToolRun run = Tool(Args({"--image", W("../m.iso")}));
    ASSERT_EQ(run.code, 0) << run.err;
    const ToolRun joliet =
        Shell("xorriso -local_charset UTF-8 -read_fs norock -indev " + W("../m.iso") + " -find /");
    EXPECT_NE(joliet.out.find("'/English/" + emoji + "'"), std::string::npos) << joliet.out;

    // A tree read back that differs from the folder, here by a name more, fails the build and
    // publishes nothing.
    const ToolRun real = Shell("command -v xorriso");
    Write(work / "bin" / "xorriso",
          "#!/bin/sh\ncase \" $* \" in *\" -find \"*) " + real.out.substr(0, real.out.find('\n')) +
              " \"$@\"; echo \"'/English/ghost.txt'\";; *) exec " +
              real.out.substr(0, real.out.find('\n')) + " \"$@\";; esac\n");
    fs::permissions(work / "bin" / "xorriso", fs::perms::owner_all);
    const ToolRun differing =
        Shell("PATH=" + W("bin") + ":\"$PATH\" " + Command({"--image", W("../m2.iso")}));
    EXPECT_EQ(differing.code, 1) << differing.err;
    EXPECT_NE(
        differing.err.find("English/ghost.txt: in the image's Joliet tree, not in the folder"),
        std::string::npos)
        << differing.err;
    EXPECT_FALSE(fs::exists(dir.path / "m2.iso"));
}

TEST_F(MediumSafety, AnOutputNameTooLongToBuildBesideEndsWithAClearError) {
    const std::string name(250, 'n');
    const ToolRun run =
        Shell("timeout 2 " + Command({"-o", W("../" + name), "--image", W("../" + name + "i")}));
    EXPECT_EQ(run.code, 2) << "124 is the timeout's";
    EXPECT_NE(run.err.find(name + ": the name is longer than the "), std::string::npos) << run.err;
}

TEST_F(MediumSafety, WhatAppearsAtAnOutputDuringTheBuildIsKept) {
    if (!HaveXorriso()) GTEST_SKIP() << "xorriso is not there";
    const std::set<std::string> before = Below(dir.path);
    // Without --force: a folder and an image appear at the outputs' places.
    HeldBuild first(Args({"-o", W("../out"), "--image", W("../m.iso")}));
    ASSERT_GT(first.xorriso, 0) << "the stand-in xorriso was not started";
    Write(dir.path / "out" / "notes.txt", "notes");
    const ToolRun kept = first.Release();
    EXPECT_EQ(kept.code, 2) << kept.err;
    EXPECT_NE(kept.err.find("out: appeared during the build; it is kept"), std::string::npos)
        << kept.err;
    std::set<std::string> expected = before;
    expected.insert({"out", "out/notes.txt"});
    EXPECT_EQ(Below(dir.path), expected) << "a temporary was left or an author's file lost";

    // Two builds to one image: the first to finish wins, the other says why.
    fs::remove_all(dir.path / "out");
    HeldBuild slower(Args({"--image", W("../m.iso")}));
    ASSERT_GT(slower.xorriso, 0);
    ASSERT_EQ(Tool(Args({"--image", W("../m.iso")})).code, 0);
    const ToolRun lost = slower.Release();
    EXPECT_EQ(lost.code, 2);
    EXPECT_NE(lost.err.find("m.iso: appeared during the build"), std::string::npos) << lost.err;

    // With --force: an earlier medium exchanged for the author's folder during the build.
    fs::remove(dir.path / "m.iso");
    ASSERT_EQ(Tool(Args({"-o", W("../out")})).code, 0);
    HeldBuild second(Args({"-o", W("../out"), "--image", W("../m.iso"), "--force"}));
    ASSERT_GT(second.xorriso, 0);
    fs::rename(dir.path / "out", dir.path / "earlier");
    Write(dir.path / "out" / "notes.txt", "notes");
    const ToolRun changed = second.Release();
    EXPECT_EQ(changed.code, 2);
    EXPECT_NE(changed.err.find("changed during the build"), std::string::npos) << changed.err;
    EXPECT_TRUE(fs::exists(dir.path / "out" / "notes.txt"));
    EXPECT_FALSE(fs::exists(dir.path / "m.iso"));

    // A build that runs on its own publishes an image a web server can read, and not what a
    // set-up file was swapped for during the build.
    fs::remove_all(dir.path / "out");
    Write(dir.path / "secret.txt", "a secret of the builder's");
    const mode_t mask = umask(022);
    HeldBuild plain(Args({"--image", W("../m.iso")}));
    umask(mask);
    ASSERT_GT(plain.xorriso, 0);
    const fs::path setup = work / "in" / "English" / "setup.exe";
    fs::remove(setup);
    fs::create_symlink(dir.path / "secret.txt", setup);
    const ToolRun published = plain.Release();
    ASSERT_EQ(published.code, 0) << published.err;
    struct stat info {};
    ASSERT_EQ(stat((dir.path / "m.iso").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0644u);
    const Bytes image = ReadAll(W("../m.iso"));
    const std::string bytes(image.begin(), image.end());
    EXPECT_EQ(bytes.find("a secret of the builder's"), std::string::npos);
    EXPECT_NE(bytes.find("MZ english"), std::string::npos);
}

TEST_F(MediumSafety, FoldersAnotherUserCannotUseAreFoundBeforeAnythingIsWritten) {
    if (geteuid() != 0 || Shell("command -v setpriv").code != 0)
        GTEST_SKIP() << "needs root to run the tool as another user";
    const std::string nobody = "setpriv --reuid=65534 --regid=65534 --clear-groups ";
    fs::create_directory(dir.path / "open");
    fs::permissions(dir.path / "open", fs::perms::all);
    fs::create_directory(dir.path / "closed");  // root's, and only root writes in it
    const ToolRun unwritable =
        Shell(nobody + Command({"-o", W("../open/medium"), "--image", W("../closed/m.iso")}));
    EXPECT_EQ(unwritable.code, 2);
    EXPECT_NE(unwritable.err.find("closed cannot be written"), std::string::npos) << unwritable.err;
    EXPECT_TRUE(fs::is_empty(dir.path / "open"));
    // A folder that can be listed but not searched.
    Write(work / "in" / "English" / "locked" / "data.cab", "x");
    fs::permissions(work / "in" / "English" / "locked",
                    fs::perms::owner_all | fs::perms::group_read | fs::perms::others_read);
    const ToolRun unsearchable = Shell(nobody + Command({"-o", W("../open/medium")}));
    EXPECT_EQ(unsearchable.code, 2);
    EXPECT_NE(unsearchable.err.find("locked/data.cab: cannot be read"), std::string::npos)
        << unsearchable.err;
}

TEST_F(MediumSafety, AStoppedCommitIsUndoneAndOnlyUnlockedMarkedTemporariesAreSwept) {
    ASSERT_EQ(Tool(Args({"-o", W("../medium")})).code, 0);
    const std::set<std::string> earlier = Below(dir.path / "medium");
    // A run stopped during its commit: the earlier medium set aside, its own in place, and its
    // image in place where there was none.
    const fs::path lock = dir.path / "medium.tmp-catalog-tool-Ab3xYz";
    std::string journal = "catalog-tool run\n";
    for (const std::string& field :
         {std::string("move"), lock.string() + "-Qw9eRt", W("../medium"), lock.string() + "-old",
          std::string("move"), lock.string() + "-Img001/medium.iso", W("../m.iso"),
          W("../m.iso.old")})
        journal += field + '\0';
    Write(lock, journal);
    fs::rename(dir.path / "medium", lock.string() + "-old");
    Write(dir.path / "medium" / "stopped.txt", "the stopped run's");
    fs::create_directory(lock.string() + "-Img001");
    Write(dir.path / "m.iso", "the stopped run's");
    // A set-up folder that only looks like a temporary, and the temporaries of a live run.
    Write(dir.path / "medium.tmp-catalog-tool-99999-abcdef" / "setup.exe", "MZ");
    Write(dir.path / "medium.tmp-catalog-tool-Live01-Qw9eRt" / "f", "live");
    Write(dir.path / "medium.tmp-catalog-tool-Live01", "catalog-tool run\n");
    const int live = open((dir.path / "medium.tmp-catalog-tool-Live01").c_str(), O_RDONLY);
    ASSERT_EQ(flock(live, LOCK_EX), 0);

    const ToolRun rerun = Tool(Args({"-o", W("../medium")}));
    close(live);
    EXPECT_EQ(rerun.code, 2) << "the earlier medium is back, and needs --force";
    EXPECT_EQ(Below(dir.path / "medium"), earlier);
    for (const char* name : {"medium.tmp-catalog-tool-99999-abcdef/setup.exe",
                             "medium.tmp-catalog-tool-Live01-Qw9eRt/f"}) {
        EXPECT_TRUE(fs::exists(dir.path / name)) << name;
    }
    EXPECT_FALSE(fs::exists(lock));
    EXPECT_FALSE(fs::exists(lock.string() + "-old"));
    EXPECT_FALSE(fs::exists(dir.path / "m.iso"));
}

TEST_F(MediumSafety, OutputPlacesAreToldByIdentityAndOnlyOwnImagesReplaced) {
    if (!HaveXorriso()) GTEST_SKIP() << "xorriso is not there";
    ASSERT_EQ(mkfifo((dir.path / "fifo.iso").c_str(), 0600), 0);
    const ToolRun fifo = Shell("timeout 10 " + Command({"--image", W("../fifo.iso"), "--force"}));
    EXPECT_EQ(fifo.code, 2) << "124 is the timeout's";
    EXPECT_NE(fifo.err.find("fifo.iso: is neither a file nor a folder"), std::string::npos)
        << fifo.err;
    ASSERT_EQ(
        Shell("xorriso -outdev " + W("../vendor-os.iso") + " -map " + W("in") + " / -commit").code,
        0);
    const Bytes vendor = ReadAll(W("../vendor-os.iso"));
    const ToolRun other = Tool(Args({"--image", W("../vendor-os.iso"), "--force"}));
    EXPECT_EQ(other.code, 2);
    EXPECT_NE(other.err.find("is not an image make-medium made"), std::string::npos) << other.err;
    EXPECT_EQ(ReadAll(W("../vendor-os.iso")), vendor);

    // The set-up folder reached through a link and "..", as the system resolves it.
    fs::create_directories(work / "sub" / "deeper");
    fs::create_directory_symlink("sub/deeper", work / "L");
    std::vector<std::string> args = Args({"-o", W("../medium")});
    args[2] = W("L/../in");
    const ToolRun resolved = Tool(args);
    EXPECT_EQ(resolved.code, 2);
    EXPECT_NE(resolved.err.find("L/../in: is not a folder"), std::string::npos) << resolved.err;

    // A second view of the set-up folder is the set-up folder.
    fs::create_directory(dir.path / "view");
    if (Shell("mount --bind " + W("in") + " " + (dir.path / "view").string()).code != 0)
        GTEST_SKIP() << "no bind mounts here";
    const ToolRun view = Tool(Args({"-o", (dir.path / "view" / "medium").string()}));
    Shell("umount " + (dir.path / "view").string());
    EXPECT_EQ(view.code, 2);
    EXPECT_NE(view.err.find("lies in the set-up programs' folder"), std::string::npos) << view.err;
    // A file system mounted inside the set-up folder is part of it.
    const fs::path mounted = work / "in" / "English" / "mounted";
    fs::create_directory(mounted);
    ASSERT_EQ(Shell("mount -t tmpfs none " + mounted.string()).code, 0);
    Write(mounted / "data.cab", "on another file system");
    const ToolRun inner = Tool(Args({"--image", W("../inner.iso")}));
    Shell("umount " + mounted.string());
    EXPECT_EQ(inner.code, 0) << inner.err;
    // 300 one-byte files take 300 blocks of 4 KiB in a folder: more than a 1 MiB disk holds.
    for (int i = 0; i < 300; ++i) Write(work / "in" / "Many" / std::to_string(i), "x");
    fs::create_directory(dir.path / "small");
    ASSERT_EQ(Shell("mount -t tmpfs -o size=1m none " + W("../small")).code, 0);
    const ToolRun full = Tool(Args({"-o", W("../small/medium")}));
    Shell("umount " + W("../small"));
    EXPECT_EQ(full.code, 2);
    EXPECT_NE(full.err.find("the outputs need about"), std::string::npos) << full.err;
}

}  // namespace
#endif
