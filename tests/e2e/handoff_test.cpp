// The hand-off as a user and a set-up program meet it: resolution of typed numbers, the
// localization page, the launch with its failures, and the handshake with the reference set-up
// program ending in the registry record. Copies of the reference set-up program, built on the
// set-up program kit or playing the set-up side themselves, stand in for the medium's set-up
// programs; they record what they received in log files of the medium. The launched copies take
// part in the hand-off themselves, or are told not to signal, so that no outcome hangs on how fast
// a program starts.
#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <iostream>
#include <map>
#include <thread>

#include "driver/Driver.h"
#include "handoff/SetupProcess.h"
#include "protocol/HandoffProtocol.h"
#include "support/HandoffRecords.h"
#include "support/SetupLogFile.h"
#include "ui/resource.h"
#include "util/WideText.h"

namespace {

// The shared test support: waits, texts and paths, the set-up log, the record clean-up.
using namespace support;

using e2e::Installer;
using e2e::TempMedium;

const std::string& DialogCaption() {
    static const std::string caption = Cp1251("Добро пожаловать");
    return caption;
}

const std::string SetupCaption() {
    return setupWindowCaption;
}

// The reference set-up program's own window, beside the hidden one its kit serves.
const char referenceStatusTitle[] = "Reference set-up program";

const std::string referenceSetup = support::HostToWinePath(REFERENCE_SETUP_EXE);
const std::string consoleSetup = support::HostToWinePath(REFERENCE_SETUP_CONSOLE_EXE);

// The default value of a key under HKEY_CLASSES_ROOT with its stored size; empty when missing.
std::pair<std::string, DWORD> DefaultValue(const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ | kHandoffRegistryView, &key) !=
        ERROR_SUCCESS)
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

// A medium whose set-up programs are copies of the reference set-up program, with the installer
// started on it. Copies the installer starts record into launched.log; unless a test says
// otherwise (LaunchedCopies), they neither signal nor serve and end at once, so the only set-up
// window is one a test starts itself (StartResidentSetup).
class Handoff : public ::testing::Test {
  protected:
    void SetUp() override {
        event = CreateEventA(nullptr, FALSE, FALSE, setupStartedEventName);
        ASSERT_NE(event, nullptr);
        SetEnvironmentVariableA("REFERENCE_SETUP_REPLY", nullptr);
        LaunchedCopies("none", "1");
    }

    // What the copies the installer starts do: handoff is serve, window, signal or none.
    static void LaunchedCopies(const char* handoff, const char* exitAfterMs) {
        SetEnvironmentVariableA("REFERENCE_SETUP_HANDOFF", handoff);
        SetEnvironmentVariableA("REFERENCE_SETUP_EXIT_AFTER_MS", exitAfterMs);
    }

    void TearDown() override {
        if (HasFailure()) {
            std::cout << "launched.log:\n"
                      << ReadWholeFile(LaunchedLog()) << "resident.log:\n"
                      << ReadWholeFile(ResidentLog());
        }
        if (resident.Get()) CloseResident();
        EndLaunched();
        DeleteHandoffRecord(SetupLogValue(ResidentLog(), "copydata.classId"));
        DeleteHandoffRecord(SetupLogValue(LaunchedLog(), "copydata.classId"));
        CloseHandle(event);
    }

    // Closes the resident set-up program's own window and waits until the program has ended.
    void CloseResident() {
        HWND status = nullptr;
        support::WaitFor([&] { return (status = FindWindowA(nullptr, referenceStatusTitle)); });
        if (status != nullptr) PostMessageA(status, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(resident.Get(), 10000) != WAIT_OBJECT_0)
            TerminateProcess(resident.Get(), 1);
        resident.Reset();
    }

    // Calls fn with each launched copy's process, as the copies recorded their process ids.
    template <class Fn>
    void ForEachLaunched(Fn fn) {
        std::ifstream file(LaunchedLog(), std::ios::binary);
        std::string line;
        while (std::getline(file, line)) {
            if (line.rfind("pid=", 0) != 0) continue;
            KernelHandle copy(
                OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, std::stoul(line.substr(4))));
            if (copy) fn(copy.Get());
        }
    }

    // Ends every launched copy that still runs.
    void EndLaunched() {
        ForEachLaunched([](HANDLE copy) {
            if (WaitForSingleObject(copy, 0) == WAIT_TIMEOUT) {
                TerminateProcess(copy, 1);
                WaitForSingleObject(copy, 10000);
            }
        });
    }

    // Waits until the launched copies that logged their exit have ended, so that their program
    // file can be replaced.
    void WaitLaunchedEnded() {
        ForEachLaunched([](HANDLE copy) {
            EXPECT_EQ(WaitForSingleObject(copy, 15000), WAIT_OBJECT_0) << "a copy runs on";
        });
    }

    std::string LaunchedLog() const { return medium.Path("launched.log"); }
    std::string ResidentLog() const { return medium.Path("resident.log"); }

    // Puts a copy of the reference set-up program (or another program) at a path of the medium.
    void AddSetup(const std::string& relative, const std::string& program = referenceSetup) {
        const size_t slash = relative.rfind('\\');
        if (slash != std::string::npos) medium.MakeDir(relative.substr(0, slash));
        ASSERT_TRUE(CopyFileA(program.c_str(), medium.Path(relative).c_str(), FALSE)) << program;
    }

    // Writes the catalogue and starts the installer, ready on its number page.
    void Start(const std::map<std::string, std::string>& articles) {
        ASSERT_TRUE(medium.WriteCatalog(articles));
        SetEnvironmentVariableA("REFERENCE_SETUP_LOG", LaunchedLog().c_str());
        SetEnvironmentVariableA("REFERENCE_SETUP_WINDOW", "0");
        ASSERT_TRUE(installer.Start(medium));
        ASSERT_NE(installer.WaitWindow(DialogCaption()), nullptr) << installer.Describe();
    }

    // A set-up program already running and serving a hand-off for number, as the one the
    // installer finds; started before the installer, so its own signal does not count. The kit
    // answers only the installer that started its program, so this one plays its side itself.
    void StartResidentSetup(const std::string& number, const char* reply = nullptr) {
        SetEnvironmentVariableA("REFERENCE_SETUP_LOG", ResidentLog().c_str());
        SetEnvironmentVariableA("REFERENCE_SETUP_WINDOW", nullptr);
        SetEnvironmentVariableA("REFERENCE_SETUP_REPLY", reply);
        SetEnvironmentVariableA("REFERENCE_SETUP_HANDOFF", "window");
        SetEnvironmentVariableA("REFERENCE_SETUP_EXIT_AFTER_MS", "20000");
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info{};
        std::string commandLine = "setup.exe" + BuildCommandLine(number);
        ASSERT_TRUE(CreateProcessA(referenceSetup.c_str(), &commandLine[0], nullptr, nullptr, FALSE,
                                   0, nullptr, nullptr, &startup, &info));
        CloseHandle(info.hThread);
        resident.Reset(info.hProcess);
        ASSERT_TRUE(
            support::WaitFor([] { return FindWindowA(nullptr, SetupCaption().c_str()); }, 15000));
        SetEnvironmentVariableA("REFERENCE_SETUP_REPLY", nullptr);
        LaunchedCopies("none", "1");
    }

    // The installer ended by itself, which it cannot do while one of its boxes is open.
    void ExpectQuietEnd() { EXPECT_TRUE(installer.WaitExit()) << installer.Describe(); }

    // Types into the focused field.
    void Type(const std::string& text) {
        ASSERT_TRUE(installer.TypeKeys(text)) << installer.Describe();
    }

    // Types a number into the field and presses Next.
    void Enter(const std::string& number) {
        Type(number);
        ASSERT_TRUE(installer.Press(IDC_NEXT)) << installer.Describe();
    }

    // The one box the installer shows now: its caption, text and icon; it is closed with OK.
    void ExpectBox(const std::string& caption, const std::string& text) {
        const e2e::MessageBoxInfo box = installer.ReadBox();
        ASSERT_NE(box.window, nullptr) << installer.Describe();
        EXPECT_EQ(ToUtf8(box.caption), caption);
        EXPECT_EQ(ToUtf8(box.text), text);
        EXPECT_EQ(box.icon, e2e::BoxIcon::Error) << e2e::BoxIconName(box.icon);
        EXPECT_TRUE(installer.PressOk(box));
    }

    // After a failed Next: still on the number page, Next disabled, the text as typed wholly
    // selected with the focus in the field.
    void ExpectFailedNext(const std::string& typed) {
        EXPECT_TRUE(installer.Running());
        EXPECT_TRUE(installer.IsVisible(IDC_NUMBER));
        EXPECT_FALSE(installer.IsVisible(IDC_LOCALIZATIONS));
        EXPECT_FALSE(installer.IsEnabled(IDC_NEXT));
        EXPECT_TRUE(installer.WaitFocus(IDC_NUMBER)) << "focus on " << installer.Focus();
        EXPECT_EQ(installer.ControlText(IDC_NUMBER), typed);
        EXPECT_EQ(installer.Selection(IDC_NUMBER),
                  std::make_pair(0, static_cast<int>(typed.size())));
    }

    // The localization list's items, in list order (UTF-8).
    std::vector<std::string> ListItems() { return ToUtf8(installer.ListItems(IDC_LOCALIZATIONS)); }

    // The command line the launched set-up program received, once it has recorded it.
    std::string LaunchedCommandLine() {
        support::WaitFor([&] { return ReadSetupLog(LaunchedLog()).count("exit") == 1; }, 15000);
        return SetupLogValue(LaunchedLog(), "commandLine");
    }

    TempMedium medium{"handoff"};
    Installer installer;
    HANDLE event = nullptr;
    KernelHandle resident;
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
    EXPECT_TRUE(installer.IsVisible(IDC_LOCALIZATIONS));
    EXPECT_FALSE(installer.IsVisible(IDC_NUMBER));
    EXPECT_TRUE(installer.IsVisible(IDC_BACK));
    EXPECT_TRUE(installer.IsEnabled(IDC_NEXT));
    EXPECT_EQ(ToUtf8(installer.ControlText(IDC_PROMPT)), "Выберите локализацию:");
    EXPECT_TRUE(installer.WaitFocus(IDC_LOCALIZATIONS)) << "focus on " << installer.Focus();
    EXPECT_EQ(SendMessageA(GetDlgItem(installer.Window(), IDC_LOCALIZATIONS), CB_GETCURSEL, 0, 0),
              0);
    EXPECT_EQ(installer.CountBoxes(), 0);

    // Next launches the selected localization's number; the set-up program does not signal, so
    // the dialog ends without a message, and with no set-up window nothing could be sent.
    ASSERT_TRUE(installer.Press(IDC_NEXT));
    ExpectQuietEnd();
    EXPECT_EQ(LaunchedCommandLine(), BuildCommandLine("RABC"));
}

TEST_F(Handoff, ChoosingFromTheOpenedListTakesThatNumber) {
    AddSetup("English\\setup.exe");
    AddSetup("Russian\\setup.exe");
    Start({{"EABC", medium.DriveRelative("English\\setup.exe")},
           {"RABC", medium.DriveRelative("Russian\\setup.exe")}});
    Enter("ZABC");
    ASSERT_EQ(ListItems().size(), 2u);

    HWND list = GetDlgItem(installer.Window(), IDC_LOCALIZATIONS);
    ASSERT_TRUE(installer.PressKey(VK_F4));  // opens the list
    ASSERT_TRUE(installer.PressKey(VK_DOWN));
    ASSERT_TRUE(installer.PressKey(VK_RETURN));  // closes it on "Английская"
    EXPECT_TRUE(support::WaitFor([&] {
        return SendMessageA(list, CB_GETDROPPEDSTATE, 0, 0) == FALSE &&
               SendMessageA(list, CB_GETCURSEL, 0, 0) == 1;
    })) << installer.Describe();
    ASSERT_TRUE(installer.Press(IDC_NEXT));
    ExpectQuietEnd();
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
    ASSERT_TRUE(installer.Press(IDC_BACK));
    EXPECT_TRUE(installer.IsVisible(IDC_NUMBER));

    ASSERT_TRUE(installer.TypeKeys("\b\b\bAZ1"));
    ASSERT_TRUE(installer.Press(IDC_NEXT));
    ExpectQuietEnd();
    EXPECT_EQ(LaunchedCommandLine(), BuildCommandLine("AZ1"));
}

TEST_F(Handoff, UnknownNumberAndMissingSetUpProgramFailOnTheNumberPage) {
    AddSetup("English\\setup.exe");
    Start({{"E1", medium.DriveRelative("English\\setup.exe")},
           {"E2", medium.DriveRelative("English\\missing.exe")},
           {"?3", medium.DriveRelative("English\\setup.exe")}});
    Enter(" E9 ");
    ExpectBox("Ошибка", "Вы ввели неверный артикульный номер!");
    ExpectFailedNext(" E9 ");

    // Typing replaces the selected text and enables Next again.
    Enter("E2");
    ExpectBox("Ошибка", "Не найден файл, соответствующий введённому номеру!");
    ExpectFailedNext("E2");

    // A letter cp1251 cannot hold is a wrong number, never a lookup of a stand-in such as "?3".
    ASSERT_TRUE(installer.WideTypeKeys(L"\u01413"));  // Ł3
    ASSERT_TRUE(installer.Press(IDC_NEXT)) << installer.Describe();
    ExpectBox("Ошибка", "Вы ввели неверный артикульный номер!");
    EXPECT_EQ(installer.WideControlText(IDC_NUMBER), L"\u01413");
    EXPECT_FALSE(installer.IsEnabled(IDC_NEXT));
}

TEST_F(Handoff, OnlyTheMediumsOwnSetUpProgramsRun) {
    // A program planted at the root of the drive the medium is on, under the value's name.
    const std::string planted = "C:\\planted-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(planted.c_str(), nullptr);
    ASSERT_TRUE(CopyFileA(referenceSetup.c_str(), (planted + "\\setup.exe").c_str(), FALSE));
    AddSetup("Relative\\setup.exe");
    ASSERT_TRUE(
        medium.WriteCatalog({{"E1", medium.DriveRelative(planted.substr(3) + "\\setup.exe")},
                             {"E2", "Relative\\setup.exe"}}));
    SetEnvironmentVariableA("REFERENCE_SETUP_LOG", LaunchedLog().c_str());
    SetEnvironmentVariableA("REFERENCE_SETUP_WINDOW", "0");
    // Started from another folder: nothing is looked for there either.
    ASSERT_TRUE(installer.Start(medium.InstallerPath(), "C:\\"));
    ASSERT_NE(installer.WaitWindow(DialogCaption()), nullptr) << installer.Describe();

    Enter("E1");
    ExpectBox("Ошибка", "Не найден файл, соответствующий введённому номеру!");
    Enter("E2");
    ExpectQuietEnd();
    EXPECT_EQ(LaunchedCommandLine(), BuildCommandLine("E2"));
    DeleteFileA((planted + "\\setup.exe").c_str());
    RemoveDirectoryA(planted.c_str());
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
    EXPECT_TRUE(installer.IsEnabled(IDC_NEXT));
    EXPECT_EQ(installer.ControlText(IDC_NUMBER), "E1");

    ASSERT_TRUE(installer.TypeKeys("\b2"));
    ASSERT_TRUE(installer.Press(IDC_NEXT));
    ExpectBox("installer", "Не найден файл, соответствующий введённому номеру!");
    ASSERT_TRUE(installer.Press(IDCANCEL));
    EXPECT_TRUE(installer.WaitExit()) << installer.Describe();
}

// The record the installer wrote for number under classId, as the set-up program finds it.
void ExpectRecord(const std::string& classId, const std::string& number) {
    ASSERT_EQ(classId.size(), handoffClassIdLength) << classId;
    EXPECT_TRUE(HandoffKeyExists(HandoffKeyPath(classId) + "\\InprocServer32"));
    EXPECT_EQ(DefaultValue(HandoffKeyPath(classId) + "\\Art"),
              std::make_pair(number, static_cast<DWORD>(number.size() + 1)));
}

class LiveHandoff : public Handoff, public ::testing::WithParamInterface<std::string> {};

// No signal from the test: the launched set-up program signals as it starts, and the kit serves
// its side to the end.
TEST_P(LiveHandoff, SetUpProgramThatSignalsAsItStartsGetsTheNumberFromTheRegistry) {
    const std::string number = GetParam();
    AddSetup("English\\setup.exe");
    LaunchedCopies("serve", "20000");
    Start({{number, medium.DriveRelative("English\\setup.exe")}});
    Type(number);
    ASSERT_TRUE(installer.Press(IDC_NEXT));
    ExpectQuietEnd();

    ASSERT_TRUE(support::WaitFor([&] { return SetupLogCount(LaunchedLog(), "exit") == 1; }, 15000));
    EXPECT_EQ(SetupLogValue(LaunchedLog(), "commandLine"), BuildCommandLine(number));
    EXPECT_EQ(SetupLogValue(LaunchedLog(), "handoff.status"), "0");
    // The number the kit read back from the record and handed to the program.
    EXPECT_EQ(SetupLogValue(LaunchedLog(), "art"), number);
    ExpectRecord(SetupLogValue(LaunchedLog(), "copydata.classId"), number);
}

INSTANTIATE_TEST_SUITE_P(Numbers, LiveHandoff,
                         ::testing::Values("E1234", "E1234567890123456789012345678901234567890X"));

// A number typed in the Russian keyboard layout: its Cyrillic Е looks exactly like the Latin E.
// The set-up program gets the Latin number on its command line and in the record, unless the
// catalogue holds the number as typed.
TEST_F(Handoff, CyrillicLookAlikeLettersStandForTheLatinNumberTheCatalogueHolds) {
    const std::string typed = Cp1251("Е5678");
    AddSetup("English\\setup.exe");
    LaunchedCopies("serve", "20000");
    Start({{"E5678", medium.DriveRelative("English\\setup.exe")}});
    Enter(typed);
    ExpectQuietEnd();
    ASSERT_TRUE(support::WaitFor([&] { return SetupLogCount(LaunchedLog(), "exit") == 1; }, 15000));
    EXPECT_EQ(SetupLogValue(LaunchedLog(), "commandLine"), BuildCommandLine("E5678"));
    EXPECT_EQ(SetupLogValue(LaunchedLog(), "art"), "E5678");
    DeleteHandoffRecord(SetupLogValue(LaunchedLog(), "copydata.classId"));

    WaitLaunchedEnded();
    DeleteFileA(LaunchedLog().c_str());
    AddSetup("Russian\\setup.exe");
    LaunchedCopies("none", "1");
    Start({{"E5678", medium.DriveRelative("English\\setup.exe")},
           {typed, medium.DriveRelative("Russian\\setup.exe")}});
    Enter(typed);
    ExpectQuietEnd();
    EXPECT_EQ(LaunchedCommandLine(), BuildCommandLine(typed));
    const std::string program = SetupLogValue(LaunchedLog(), "program");
    EXPECT_NE(program.find("\\Russian\\setup.exe"), std::string::npos) << program;
}

TEST_F(Handoff, SignalGivenBeforeTheLaunchCountsAndAnotherProgramsWindowGetsNothing) {
    AddSetup("English\\setup.exe");
    StartResidentSetup("E42");
    Start({{"E42", medium.DriveRelative("English\\setup.exe")}});
    Type("E42");
    // A signal given after the dialog's start and before the launch satisfies the wait: the
    // installer goes on to look for the launched copy's window, which it has none of. The set-up
    // window of a program it did not start is no stand-in.
    ASSERT_TRUE(SetEvent(event));
    ASSERT_TRUE(installer.Press(IDC_NEXT));
    const e2e::MessageBoxInfo box = installer.ReadBox();
    ASSERT_NE(box.window, nullptr) << installer.Describe();
    EXPECT_EQ(ToUtf8(box.text), "Не найден файл, соответствующий введённому номеру!");
    EXPECT_TRUE(installer.PressOk(box));
    ExpectQuietEnd();
    EXPECT_EQ(LaunchedCommandLine(), BuildCommandLine("E42"));
    CloseResident();
    EXPECT_EQ(SetupLogValue(ResidentLog(), "copydata"), "none");
}

TEST_F(Handoff, AnswerInSmallLettersOrWithoutBraceIsRejected) {
    for (const char* reply : {"lower", "nobrace"}) {
        SCOPED_TRACE(reply);
        AddSetup("German\\setup.exe");
        SetEnvironmentVariableA("REFERENCE_SETUP_REPLY", reply);
        LaunchedCopies("window", "20000");
        Start({{"G77", medium.DriveRelative("German\\setup.exe")}});
        Type("G77");
        ASSERT_TRUE(installer.Press(IDC_NEXT));
        ExpectQuietEnd();
        ASSERT_TRUE(
            support::WaitFor([&] { return SetupLogCount(LaunchedLog(), "exit") == 1; }, 15000));
        const std::string classId = SetupLogValue(LaunchedLog(), "copydata.classId");
        ASSERT_EQ(classId.size(), handoffClassIdLength);
        EXPECT_EQ(SetupLogValue(LaunchedLog(), "copydata.cbData"), "39");
        EXPECT_NE(SetupLogValue(LaunchedLog(), "copydata.dwData"), "0");
        EXPECT_FALSE(HandoffKeyExists(HandoffKeyPath(classId)));
        EXPECT_EQ(SetupLogValue(LaunchedLog(), "reply.returned"), "yes");
        EXPECT_EQ(SetupLogValue(LaunchedLog(), "art").rfind("missing", 0), 0u);

        // The next round starts from a fresh medium log, and puts its copy where this one was.
        WaitLaunchedEnded();
        DeleteFileA(LaunchedLog().c_str());
    }
}

TEST_F(Handoff, SetUpProgramThatNeverSignalsEndsTheInstallerQuietly) {
    AddSetup("Russian\\setup.exe");
    // A set-up window is there to be found: nothing may be sent to it.
    StartResidentSetup("R8");
    Start({{"R8", medium.DriveRelative("Russian\\setup.exe")}});
    Type("R8");
    ASSERT_TRUE(installer.Press(IDC_NEXT));
    ExpectQuietEnd();
    EXPECT_EQ(LaunchedCommandLine(), BuildCommandLine("R8"));
    CloseResident();
    EXPECT_EQ(SetupLogValue(ResidentLog(), "copydata"), "none");
}

TEST_F(Handoff, SetUpProgramThatNeverFinishesStartingCostsTheBoundThenAQuietEnd) {
    AddSetup("Italian\\setup.exe");
    // No signal and no message loop: the program never waits for input.
    LaunchedCopies("none", "30000");
    Start({{"I3", medium.DriveRelative("Italian\\setup.exe")}});
    Type("I3");
    const DWORD pressed = GetTickCount();
    ASSERT_TRUE(installer.Press(IDC_NEXT));
    ExpectQuietEnd();
    // The installer waited for the program to finish starting as long as it lets one take (the
    // tick count moves in steps of up to a few tens of milliseconds).
    EXPECT_GE(GetTickCount() - pressed, setupStartBoundMs - 100);
    EXPECT_EQ(SetupLogCount(LaunchedLog(), "exit"), 0) << "the set-up program runs on alone";
}

// A console program has no message loop to show that it has finished starting: the installer
// waits for its signal instead, and the kit's program gets the number.
TEST_F(Handoff, ConsoleSetUpProgramOnTheKitGetsTheNumber) {
    AddSetup("French\\setup.exe", consoleSetup);
    LaunchedCopies("serve", "20000");
    Start({{"F3", medium.DriveRelative("French\\setup.exe")}});
    Enter("F3");
    ExpectQuietEnd();
    ASSERT_TRUE(support::WaitFor([&] { return SetupLogCount(LaunchedLog(), "exit") == 1; }, 15000));
    EXPECT_EQ(SetupLogValue(LaunchedLog(), "handoff.status"), "0");
    EXPECT_EQ(SetupLogValue(LaunchedLog(), "art"), "F3");
    ExpectRecord(SetupLogValue(LaunchedLog(), "copydata.classId"), "F3");
}

TEST_F(Handoff, ConsoleSetUpProgramThatNeverSignalsCostsItsBoundThenAQuietEnd) {
    AddSetup("French\\setup.exe", consoleSetup);
    LaunchedCopies("none", "30000");
    Start({{"F3", medium.DriveRelative("French\\setup.exe")}});
    Type("F3");
    const DWORD pressed = GetTickCount();
    ASSERT_TRUE(installer.Press(IDC_NEXT));
    ExpectQuietEnd();
    EXPECT_GE(GetTickCount() - pressed, consoleSignalBoundMs - 100);
    ASSERT_TRUE(support::WaitFor([&] { return SetupLogCount(LaunchedLog(), "commandLine") == 1; }));
    EXPECT_EQ(SetupLogValue(LaunchedLog(), "commandLine"), BuildCommandLine("F3"));
    EXPECT_EQ(SetupLogCount(LaunchedLog(), "exit"), 0) << "the set-up program runs on alone";
}

TEST_F(Handoff, InputWhileTheSetUpProgramStartsStartsNothingMore) {
    AddSetup("English\\setup.exe");
    // Signals, then never finishes starting: the installer waits its whole bound.
    LaunchedCopies("signal", "30000");
    Start({{"E7", medium.DriveRelative("English\\setup.exe")}});
    Type("E7");
    HWND next = GetDlgItem(installer.Window(), IDC_NEXT);
    HWND cancel = GetDlgItem(installer.Window(), IDCANCEL);
    HWND number = GetDlgItem(installer.Window(), IDC_NUMBER);
    ASSERT_TRUE(installer.PostClick(IDC_NEXT));
    ASSERT_TRUE(
        support::WaitFor([&] { return SetupLogCount(LaunchedLog(), "event") == 1; }, 15000));
    // What a user does while the installer waits, queued up behind the wait.
    PostMessageA(next, BM_CLICK, 0, 0);
    PostMessageA(number, WM_CHAR, '9', 0);
    PostMessageA(number, WM_KEYDOWN, VK_RETURN, 0);
    PostMessageA(cancel, BM_CLICK, 0, 0);
    PostMessageA(installer.Window(), WM_COMMAND, MAKEWPARAM(IDC_NEXT, BN_CLICKED),
                 reinterpret_cast<LPARAM>(next));

    // The signal came, so the installer looks for the set-up window, finds none and says so: the
    // queued Cancel did not end the hidden dialog, and no second copy was started.
    const e2e::MessageBoxInfo box = installer.ReadBox(setupStartBoundMs + 15000);
    ASSERT_NE(box.window, nullptr) << installer.Describe();
    EXPECT_EQ(ToUtf8(box.text), "Не найден файл, соответствующий введённому номеру!");
    EXPECT_FALSE(IsWindowVisible(installer.Window()));
    EXPECT_TRUE(installer.PressOk(box));
    ExpectQuietEnd();
    EXPECT_EQ(SetupLogCount(LaunchedLog(), "pid"), 1);
    EXPECT_EQ(SetupLogValue(LaunchedLog(), "commandLine"), BuildCommandLine("E7"));
}

// A topmost window with the set-up caption in the test's process, as another program could show
// one to hold the installer: hung (its thread takes no message until it is let go) or silent (it
// takes the identifier and never answers). Let go, it destroys its window.
class FakeSetupWindow {
  public:
    explicit FakeSetupWindow(bool hung)
        : hung(hung), go(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
        thread = std::thread([this] { Run(); });
        support::WaitFor([this] { return created.load(); });
    }
    ~FakeSetupWindow() {
        LetGo();
        thread.join();
    }
    void LetGo() { SetEvent(go.Get()); }
    int Received() const { return received.load(); }

  private:
    void Run() {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = &Procedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"FakeSetupWindow";
        RegisterClassW(&windowClass);  // a former fake registered it already
        HWND window = CreateWindowExW(WS_EX_TOPMOST, windowClass.lpszClassName,
                                      WideFromCp1251(setupWindowCaption).c_str(), WS_POPUP, 0, 0,
                                      10, 10, nullptr, nullptr, windowClass.hInstance, nullptr);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        created = true;
        if (hung) {
            WaitForSingleObject(go.Get(), INFINITE);
        } else {
            HANDLE wait = go.Get();
            while (MsgWaitForMultipleObjects(1, &wait, FALSE, INFINITE, QS_ALLINPUT) !=
                   WAIT_OBJECT_0) {
                MSG message;
                while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
            }
        }
        DestroyWindow(window);
    }
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<FakeSetupWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (message == WM_COPYDATA && self != nullptr) ++self->received;
        return DefWindowProcW(window, message, wParam, lParam);
    }

    bool hung;
    KernelHandle go;
    std::atomic<bool> created{false};
    std::atomic<int> received{0};
    std::thread thread;
};

TEST_F(Handoff, AFakeSetUpWindowDoesNotHoldTheInstaller) {
    // A hung fake beside the real set-up program: the real one gets the number.
    {
        FakeSetupWindow fake(true);
        AddSetup("English\\setup.exe");
        LaunchedCopies("serve", "20000");
        Start({{"E1", medium.DriveRelative("English\\setup.exe")}});
        Type("E1");
        ASSERT_TRUE(installer.Press(IDC_NEXT));
        ExpectQuietEnd();
        ASSERT_TRUE(
            support::WaitFor([&] { return SetupLogCount(LaunchedLog(), "exit") == 1; }, 15000));
        EXPECT_EQ(SetupLogValue(LaunchedLog(), "art"), "E1");
        DeleteHandoffRecord(SetupLogValue(LaunchedLog(), "copydata.classId"));
        WaitLaunchedEnded();
    }
    // A silent fake as the only window: it gets nothing, and the installer says so and ends.
    FakeSetupWindow fake(false);
    DeleteFileA(LaunchedLog().c_str());
    LaunchedCopies("signal", "1");
    Start({{"E2", medium.DriveRelative("English\\setup.exe")}});
    Type("E2");
    ASSERT_TRUE(installer.Press(IDC_NEXT));
    const e2e::MessageBoxInfo box = installer.ReadBox();
    ASSERT_NE(box.window, nullptr) << installer.Describe();
    EXPECT_TRUE(installer.PressOk(box));
    ExpectQuietEnd();
    EXPECT_EQ(fake.Received(), 0);
}

TEST_F(Handoff, MissingSetUpWindowShowsTheApplicationBoxThenEnds) {
    AddSetup("Russian\\setup.exe");
    Start({{"R1", medium.DriveRelative("Russian\\setup.exe")}});
    Type("R1");
    ASSERT_TRUE(SetEvent(event));
    ASSERT_TRUE(installer.Press(IDC_NEXT));
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
    StartResidentSetup("E1");
    Start({{"X1", medium.DriveRelative("Other\\setup.exe")}});
    Type("X1");
    ASSERT_TRUE(SetEvent(event));
    ASSERT_TRUE(installer.Press(IDC_NEXT));
    ExpectQuietEnd();
    EXPECT_EQ(LaunchedCommandLine(), BuildCommandLine("X1"));
    // No caption, so no set-up window was looked for and nothing was sent.
    CloseResident();
    EXPECT_EQ(SetupLogValue(ResidentLog(), "copydata"), "none");
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
        EXPECT_FALSE(HandoffKeyExists(HandoffKeyPath(text)));
    }
}

}  // namespace
