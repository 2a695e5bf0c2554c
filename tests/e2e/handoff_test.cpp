// The hand-off as a user and a set-up program meet it: resolution of typed numbers, the
// localization page, the launch with its failures, and the handshake with the reference set-up
// program ending in the registry record. Copies of the reference set-up program stand in for the
// medium's set-up programs; they record what they received in log files of the medium.
#include <gtest/gtest.h>

#include <fstream>
#include <iostream>
#include <map>

#include "driver/Driver.h"
#include "handoff/HandoffClassId.h"
#include "handoff/LaunchCommand.h"

namespace {

using e2e::Cp1251;
using e2e::Installer;
using e2e::TempMedium;
using e2e::ToUtf8;

constexpr int kNext = 1000;
constexpr int kBack = 1001;
constexpr int kNumber = 1002;
constexpr int kList = 1003;
constexpr int kPrompt = 1004;

const std::string& DialogCaption() {
    static const std::string caption = Cp1251("Добро пожаловать");
    return caption;
}

const std::string& SetupCaption() {
    static const std::string caption = Cp1251("Тестирование install.exe: RUS");
    return caption;
}

const std::string referenceSetup = e2e::HostToWinePath(REFERENCE_SETUP_EXE);

// The lines "key=value" of a set-up log; a key written twice keeps its last value.
std::map<std::string, std::string> ReadLog(const std::string& path) {
    std::map<std::string, std::string> entries;
    std::ifstream file(path, std::ios::binary);
    std::string line;
    while (std::getline(file, line)) {
        const size_t equals = line.find('=');
        if (equals != std::string::npos) entries[line.substr(0, equals)] = line.substr(equals + 1);
    }
    return entries;
}

std::string LogValue(const std::string& path, const std::string& key) {
    const auto log = ReadLog(path);
    const auto found = log.find(key);
    return found == log.end() ? "(none)" : found->second;
}

bool KeyExists(const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

// The default value of a key under HKEY_CLASSES_ROOT with its stored size; empty when missing.
std::pair<std::string, DWORD> DefaultValue(const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return {};
    DWORD type = 0;
    DWORD size = 0;
    RegQueryValueExA(key, nullptr, nullptr, &type, nullptr, &size);
    std::string value(size, '\0');
    RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(&value[0]), &size);
    RegCloseKey(key);
    if (type != REG_SZ) return {"(not REG_SZ)", size};
    return {value.substr(0, value.find('\0')), size};
}

void DeleteRecord(const std::string& classId) {
    if (classId.size() != handoffClassIdLength) return;
    RegDeleteKeyA(HKEY_CLASSES_ROOT, (HandoffKeyPath(classId) + "\\Art").c_str());
    RegDeleteKeyA(HKEY_CLASSES_ROOT, (HandoffKeyPath(classId) + "\\InprocServer32").c_str());
    RegDeleteKeyA(HKEY_CLASSES_ROOT, HandoffKeyPath(classId).c_str());
}

// A medium whose set-up programs are copies of the reference set-up program, with the installer
// started on it. Copies the installer starts record into launched.log and open no window, so the
// only set-up window is the one a test starts itself (StartResidentSetup).
class Handoff : public ::testing::Test {
  protected:
    void SetUp() override {
        event = CreateEventA(nullptr, FALSE, FALSE, "Setup Started");
        ASSERT_NE(event, nullptr);
        SetEnvironmentVariableA("REFERENCE_SETUP_REPLY", nullptr);
        SetEnvironmentVariableA("REFERENCE_SETUP_EXIT_AFTER_MS", "20000");
    }

    void TearDown() override {
        if (HasFailure()) {
            installer.Screenshot(medium.Path("failed.bmp"));
            std::cout << installer.Describe() << "launched.log:\n"
                      << ReadFile(LaunchedLog()) << "resident.log:\n"
                      << ReadFile(ResidentLog());
        }
        if (resident.Get()) {
            if (HWND setup = FindWindowA(nullptr, SetupCaption().c_str()))
                PostMessageA(setup, WM_CLOSE, 0, 0);
            if (WaitForSingleObject(resident.Get(), 10000) != WAIT_OBJECT_0)
                TerminateProcess(resident.Get(), 1);
        }
        DeleteRecord(LogValue(ResidentLog(), "copydata.classId"));
        CloseHandle(event);
    }

    static std::string ReadFile(const std::string& path) {
        std::ifstream file(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), {});
    }

    std::string LaunchedLog() const { return medium.Path("launched.log"); }
    std::string ResidentLog() const { return medium.Path("resident.log"); }

    // Puts a copy of the reference set-up program at a path of the medium.
    void AddSetup(const std::string& relative) {
        const size_t slash = relative.rfind('\\');
        if (slash != std::string::npos) medium.MakeDir(relative.substr(0, slash));
        ASSERT_TRUE(CopyFileA(referenceSetup.c_str(), medium.Path(relative).c_str(), FALSE))
            << referenceSetup;
    }

    // Writes the catalogue and starts the installer, ready on its number page.
    void Start(const std::map<std::string, std::string>& articles) {
        ASSERT_TRUE(medium.WriteCatalog(articles));
        SetEnvironmentVariableA("REFERENCE_SETUP_LOG", LaunchedLog().c_str());
        SetEnvironmentVariableA("REFERENCE_SETUP_WINDOW", "0");
        SetEnvironmentVariableA("REFERENCE_SETUP_EXIT_AFTER_MS", "1");
        ASSERT_TRUE(installer.Start(medium));
        ASSERT_NE(installer.WaitWindow(DialogCaption()), nullptr) << installer.Describe();
    }

    // A set-up program already running with its window open, as the one the installer finds.
    void StartResidentSetup(const char* reply = nullptr) {
        SetEnvironmentVariableA("REFERENCE_SETUP_LOG", ResidentLog().c_str());
        SetEnvironmentVariableA("REFERENCE_SETUP_WINDOW", nullptr);
        SetEnvironmentVariableA("REFERENCE_SETUP_REPLY", reply);
        SetEnvironmentVariableA("REFERENCE_SETUP_EXIT_AFTER_MS", "20000");
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info{};
        std::string commandLine = "setup.exe";
        ASSERT_TRUE(CreateProcessA(referenceSetup.c_str(), &commandLine[0], nullptr, nullptr, FALSE,
                                   0, nullptr, nullptr, &startup, &info));
        CloseHandle(info.hThread);
        resident.Reset(info.hProcess);
        ASSERT_TRUE(
            e2e::WaitFor([] { return FindWindowA(nullptr, SetupCaption().c_str()); }, 15000));
        SetEnvironmentVariableA("REFERENCE_SETUP_REPLY", nullptr);
    }

    // Types into the focused field.
    void Type(const std::string& text) {
        ASSERT_TRUE(installer.TypeKeys(text)) << installer.Describe();
        installer.Settle();
    }

    // Types a number into the field and presses Next.
    void Enter(const std::string& number) {
        Type(number);
        ASSERT_TRUE(installer.Press(kNext)) << installer.Describe();
    }

    // The one box the installer shows now: its caption, text and icon; it is closed with OK.
    void ExpectBox(const std::string& caption, const std::string& text) {
        const e2e::MessageBoxInfo box = installer.ReadBox();
        ASSERT_NE(box.window, nullptr) << installer.Describe();
        EXPECT_EQ(ToUtf8(box.caption), caption);
        EXPECT_EQ(ToUtf8(box.text), text);
        EXPECT_EQ(box.icon, e2e::BoxIcon::Error) << e2e::BoxIconName(box.icon);
        EXPECT_TRUE(installer.PressOk(box));
        installer.Settle();
    }

    // After a failed Next: still on the number page, Next disabled, the text as typed wholly
    // selected with the focus in the field.
    void ExpectFailedNext(const std::string& typed) {
        EXPECT_TRUE(installer.Running());
        EXPECT_TRUE(installer.IsVisible(kNumber));
        EXPECT_FALSE(installer.IsVisible(kList));
        EXPECT_FALSE(installer.IsEnabled(kNext));
        EXPECT_EQ(installer.Focus(), kNumber);
        EXPECT_EQ(installer.ControlText(kNumber), typed);
        EXPECT_EQ(installer.Selection(kNumber), std::make_pair(0, static_cast<int>(typed.size())));
    }

    std::vector<std::string> ListItems() {
        std::vector<std::string> items;
        HWND list = GetDlgItem(installer.Window(), kList);
        const int count = static_cast<int>(SendMessageA(list, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            // Across processes the list hands out its UTF-16 text even to the ANSI call, so ask
            // for that, with room to spare.
            std::vector<wchar_t> text(4096, L'\0');
            const LRESULT length = SendMessageW(list, CB_GETLBTEXTLEN, i, 0);
            if (length < 0 || length >= static_cast<LRESULT>(text.size()) / 2) continue;
            SendMessageW(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()));
            char utf8[8192] = {};
            WideCharToMultiByte(CP_UTF8, 0, text.data(), -1, utf8, sizeof utf8, nullptr, nullptr);
            items.push_back(utf8);
        }
        return items;
    }

    // The command line the launched set-up program received, once it has recorded it.
    std::string LaunchedCommandLine() {
        e2e::WaitFor([&] { return ReadLog(LaunchedLog()).count("exit") == 1; }, 15000);
        return LogValue(LaunchedLog(), "commandLine");
    }

    TempMedium medium{"handoff"};
    Installer installer;
    HANDLE event = nullptr;
    UniqueHandle resident;
};

TEST_F(Handoff, PlaceholderListsTheLocalizationsFoundLastOneFirst) {
    AddSetup("English\\setup.exe");
    AddSetup("Russian\\setup.exe");
    // German has an entry but no set-up program; French has a program but no entry.
    AddSetup("French\\setup.exe");
    Start({{"EABC", medium.DriveRelative("English\\setup.exe")},
           {"GABC", medium.DriveRelative("German\\setup.exe")},
           {"RABC", medium.DriveRelative("Russian\\setup.exe")}});
    Enter(" zabc ");

    EXPECT_EQ(ListItems(), (std::vector<std::string>{"Русская", "Английская"}));
    EXPECT_TRUE(installer.IsVisible(kList));
    EXPECT_FALSE(installer.IsVisible(kNumber));
    EXPECT_TRUE(installer.IsVisible(kBack));
    EXPECT_TRUE(installer.IsEnabled(kNext));
    EXPECT_EQ(ToUtf8(installer.ControlText(kPrompt)), "Выберите локализацию:");
    EXPECT_EQ(installer.Focus(), kList);
    EXPECT_EQ(SendMessageA(GetDlgItem(installer.Window(), kList), CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(installer.CountBoxes(), 0);

    // Next launches the selected localization's number; the set-up program does not signal in
    // time, so the dialog ends without a message.
    ASSERT_TRUE(installer.Press(kNext));
    EXPECT_TRUE(installer.WaitExit()) << installer.Describe();
    EXPECT_EQ(LaunchedCommandLine(), BuildCommandLine("RABC"));
}

TEST_F(Handoff, ChoosingFromTheOpenedListTakesThatNumber) {
    AddSetup("English\\setup.exe");
    AddSetup("Russian\\setup.exe");
    Start({{"EABC", medium.DriveRelative("English\\setup.exe")},
           {"RABC", medium.DriveRelative("Russian\\setup.exe")}});
    Enter("ZABC");
    ASSERT_EQ(ListItems().size(), 2u);

    HWND list = GetDlgItem(installer.Window(), kList);
    ASSERT_TRUE(installer.PressKey(VK_F4));  // opens the list
    ASSERT_TRUE(installer.PressKey(VK_DOWN));
    ASSERT_TRUE(installer.PressKey(VK_RETURN));  // closes it on "Английская"
    installer.Settle();
    EXPECT_EQ(SendMessageA(list, CB_GETCURSEL, 0, 0), 1);
    ASSERT_TRUE(installer.Press(kNext));
    EXPECT_TRUE(installer.WaitExit()) << installer.Describe();
    EXPECT_EQ(LaunchedCommandLine(), BuildCommandLine("EABC"));
}

TEST_F(Handoff, EveryPlaceholderIsReplacedAndAZFurtherOnIsLookedUpDirectly) {
    AddSetup("Italian\\setup.exe");
    AddSetup("Direct\\setup.exe");
    Start({{"I1I", medium.DriveRelative("Italian\\setup.exe")},
           {"I1Z", medium.DriveRelative("Direct\\setup.exe")},
           {"AZ1", medium.DriveRelative("Direct\\setup.exe")},
           {"A11", medium.DriveRelative("Direct\\setup.exe")}});
    Enter("Z1Z");
    EXPECT_EQ(ListItems(), (std::vector<std::string>{"Итальянская"}));
    ASSERT_TRUE(installer.Press(kBack));
    EXPECT_TRUE(installer.IsVisible(kNumber));

    ASSERT_TRUE(installer.TypeKeys("\b\b\bAZ1"));
    installer.Settle();
    ASSERT_TRUE(installer.Press(kNext));
    EXPECT_TRUE(installer.WaitExit()) << installer.Describe();
    EXPECT_EQ(LaunchedCommandLine(), BuildCommandLine("AZ1"));
}

TEST_F(Handoff, UnknownNumberAndMissingSetUpProgramFailOnTheNumberPage) {
    AddSetup("English\\setup.exe");
    Start({{"E1", medium.DriveRelative("English\\setup.exe")},
           {"E2", medium.DriveRelative("English\\missing.exe")}});
    Enter(" E9 ");
    ExpectBox("Ошибка", "Вы ввели неверный артикульный номер!");
    ExpectFailedNext(" E9 ");

    // Typing replaces the selected text and enables Next again.
    Enter("E2");
    ExpectBox("Ошибка", "Не найден файл, соответствующий введённому номеру!");
    ExpectFailedNext("E2");
}

TEST_F(Handoff, PlaceholderWithEntriesButNoSetUpProgramsIsAWrongNumber) {
    Start({{"E5", medium.DriveRelative("English\\setup.exe")},
           {"R5", medium.DriveRelative("Russian\\setup.exe")}});
    Enter("Z5");
    ExpectBox("Ошибка", "Вы ввели неверный артикульный номер!");
    ExpectFailedNext("Z5");
    EXPECT_TRUE(ListItems().empty());
}

TEST_F(Handoff, SetUpProgramThatCannotBeStartedLeavesTheDialogUsable) {
    ASSERT_TRUE(medium.MakeDir("Folder"));
    ASSERT_TRUE(medium.WriteFile("notes.txt", "not a program"));
    Start({{"E1", medium.DriveRelative("Folder")}, {"E2", medium.DriveRelative("notes.txt")}});
    Enter("E1");
    // The launch's box carries the application's title.
    ExpectBox("installer", "Не найден файл, соответствующий введённому номеру!");
    EXPECT_TRUE(IsWindowVisible(installer.Window()));
    EXPECT_TRUE(installer.IsEnabled(kNext));
    EXPECT_EQ(installer.ControlText(kNumber), "E1");

    ASSERT_TRUE(installer.TypeKeys("\b2"));
    installer.Settle();
    ASSERT_TRUE(installer.Press(kNext));
    ExpectBox("installer", "Не найден файл, соответствующий введённому номеру!");
    ASSERT_TRUE(installer.Press(IDCANCEL));
    EXPECT_TRUE(installer.WaitExit()) << installer.Describe();
}

class HandshakeTest : public Handoff, public ::testing::WithParamInterface<std::string> {};

TEST_P(HandshakeTest, AnsweredIdentifierEndsInTheRegistryRecord) {
    const std::string number = GetParam();
    AddSetup("English\\setup.exe");
    StartResidentSetup();
    Start({{number, medium.DriveRelative("English\\setup.exe")}});
    Type(number);
    // The set-up program's signal, given after the dialog's start and before the launch.
    ASSERT_TRUE(SetEvent(event));
    ASSERT_TRUE(installer.Press(kNext));
    EXPECT_TRUE(installer.WaitExit()) << installer.Describe();
    EXPECT_EQ(installer.CountBoxes(), 0);

    EXPECT_EQ(LaunchedCommandLine(), BuildCommandLine(number));
    const std::string classId = LogValue(ResidentLog(), "copydata.classId");
    ASSERT_EQ(classId.size(), handoffClassIdLength) << classId;
    EXPECT_EQ(LogValue(ResidentLog(), "copydata.cbData"), "39");
    EXPECT_NE(LogValue(ResidentLog(), "copydata.dwData"), "0");
    // The record was in place when the answer's send returned.
    EXPECT_EQ(LogValue(ResidentLog(), "art"), number);
    EXPECT_EQ(LogValue(ResidentLog(), "art.size"), std::to_string(number.size() + 1));
    EXPECT_TRUE(KeyExists(HandoffKeyPath(classId) + "\\InprocServer32"));
    EXPECT_EQ(DefaultValue(HandoffKeyPath(classId) + "\\Art"),
              std::make_pair(number, static_cast<DWORD>(number.size() + 1)));
}

INSTANTIATE_TEST_SUITE_P(Numbers, HandshakeTest,
                         ::testing::Values("E1234", "E1234567890123456789012345678901234567890X"));

TEST_F(Handoff, AnswerInSmallLettersOrWithoutBraceIsRejected) {
    for (const char* reply : {"lower", "nobrace"}) {
        SCOPED_TRACE(reply);
        AddSetup("German\\setup.exe");
        StartResidentSetup(reply);
        Start({{"G77", medium.DriveRelative("German\\setup.exe")}});
        Type("G77");
        ASSERT_TRUE(SetEvent(event));
        ASSERT_TRUE(installer.Press(kNext));
        EXPECT_TRUE(installer.WaitExit()) << installer.Describe();
        const std::string classId = LogValue(ResidentLog(), "copydata.classId");
        ASSERT_EQ(classId.size(), handoffClassIdLength);
        EXPECT_FALSE(KeyExists(HandoffKeyPath(classId)));
        EXPECT_EQ(LogValue(ResidentLog(), "art").rfind("missing", 0), 0u);
        EXPECT_EQ(LogValue(ResidentLog(), "reply.returned"), "yes");

        // The next round starts from a fresh medium and set-up window.
        PostMessageA(FindWindowA(nullptr, SetupCaption().c_str()), WM_CLOSE, 0, 0);
        WaitForSingleObject(resident.Get(), 10000);
        resident.Reset();
        DeleteFileA(ResidentLog().c_str());
        DeleteFileA(LaunchedLog().c_str());
    }
}

TEST_F(Handoff, MissingSetUpWindowShowsTheApplicationBoxThenEnds) {
    AddSetup("Russian\\setup.exe");
    Start({{"R1", medium.DriveRelative("Russian\\setup.exe")}});
    Type("R1");
    ASSERT_TRUE(SetEvent(event));
    ASSERT_TRUE(installer.Press(kNext));
    const e2e::MessageBoxInfo box = installer.ReadBox();
    ASSERT_NE(box.window, nullptr) << installer.Describe();
    EXPECT_EQ(ToUtf8(box.caption), "installer");
    EXPECT_EQ(ToUtf8(box.text), "Не найден файл, соответствующий введённому номеру!");
    EXPECT_FALSE(IsWindowVisible(installer.Window()));
    EXPECT_TRUE(installer.PressOk(box));
    EXPECT_TRUE(installer.WaitExit()) << installer.Describe();
}

TEST_F(Handoff, NumberOutsideTheLanguageLettersHidesAndEndsSilently) {
    AddSetup("Other\\setup.exe");
    StartResidentSetup();
    Start({{"X1", medium.DriveRelative("Other\\setup.exe")}});
    Type("X1");
    ASSERT_TRUE(SetEvent(event));
    ASSERT_TRUE(installer.Press(kNext));
    EXPECT_TRUE(installer.WaitExit()) << installer.Describe();
    EXPECT_EQ(LaunchedCommandLine(), BuildCommandLine("X1"));
    // No caption, so no set-up window was looked for and nothing was sent.
    ASSERT_TRUE(PostMessageA(FindWindowA(nullptr, SetupCaption().c_str()), WM_CLOSE, 0, 0));
    ASSERT_EQ(WaitForSingleObject(resident.Get(), 10000), WAIT_OBJECT_0);
    EXPECT_EQ(LogValue(ResidentLog(), "copydata"), "none");
}

TEST_F(Handoff, CopyDataBeforeAnyLaunchEndsTheDialog) {
    for (bool withText : {true, false}) {
        SCOPED_TRACE(withText ? "with text" : "without data");
        Start({{"E1", medium.DriveRelative("English\\setup.exe")}});
        std::string text = "{00000000-0000-0000-0000-000000000000}";
        COPYDATASTRUCT record{};
        record.cbData = withText ? static_cast<DWORD>(text.size() + 1) : 0;
        record.lpData = withText ? &text[0] : nullptr;
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(installer.Window(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&record),
                            SMTO_ABORTIFHUNG, 5000, &ignored);
        EXPECT_TRUE(installer.WaitExit()) << installer.Describe();
        EXPECT_FALSE(KeyExists(HandoffKeyPath(text)));
    }
}

}  // namespace
