// The product dialog's hand-off members run in the test's own process, for what only the
// process itself can see: whether the handle of the event "Setup Started" is still open after
// the dialog has ended, and how a failed start leaves the dialog.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

#include "RegistryTree.h"
#include "framework/Strings.h"
#include "protocol/HandoffProtocol.h"
#include "support/HandoffRecords.h"
#include "support/ProductDialogRun.h"
#include "support/SetupLogFile.h"
#include "support/Text.h"
#include "support/WaitFor.h"
#include "ui/resource.h"
#include "util/KernelHandle.h"

namespace {

using support::BesideProgram;
using support::WaitFor;

// Whether the dialog's handle to the event is open. A closed handle's value may be taken by
// another object of this process at any time, so the event's name must still be open too (no
// other program holds it here).
bool HandleIsOpen(HANDLE handle) {
    DWORD flags = 0;
    if (handle == nullptr || GetHandleInformation(handle, &flags) == FALSE) return false;
    const KernelHandle named(OpenEventA(SYNCHRONIZE, FALSE, setupStartedEventName));
    return static_cast<bool>(named);
}

struct BoxSearch {
    HWND dialog;
    HWND found;
};

BOOL CALLBACK VisitThreadWindow(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<BoxSearch*>(data);
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    if (window != search->dialog && std::string(name) == "#32770" && IsWindowVisible(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// A message box shown on the dialog's thread, other than the dialog itself.
HWND FindBox(HWND dialog) {
    BoxSearch search{dialog, nullptr};
    EnumThreadWindows(GetWindowThreadProcessId(dialog, nullptr), &VisitThreadWindow,
                      reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring WindowText(HWND window) {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return text;
}

// A top-level window with the English set-up caption, on a thread of its own, in the place of a
// set-up program's window: it counts the WM_COPYDATA it gets and sends no answer itself.
class SetupWindow {
  public:
    SetupWindow() {
        thread = std::thread([this] { Loop(); });
        WaitFor([this] { return ready.load(); });
    }
    ~SetupWindow() {
        if (window != nullptr) PostMessageA(window, WM_CLOSE, 0, 0);
        thread.join();
    }
    SetupWindow(const SetupWindow&) = delete;
    SetupWindow& operator=(const SetupWindow&) = delete;

    HWND Handle() const { return window; }
    int Count() const { return count.load(); }

  private:
    void Loop() {
        static const char className[] = "HandoffTestSetupWindow";
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = &SetupWindow::Procedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = className;
        RegisterClassA(&windowClass);  // fails harmlessly when a former window registered it
        // An ANSI set-up program's window, titled with the caption's cp1251 bytes.
        window = CreateWindowA(className, setupWindowCaption, WS_OVERLAPPED, 0, 0, 200, 100,
                               nullptr, nullptr, windowClass.hInstance, this);
        ready = true;
        if (window == nullptr) return;
        MSG message;
        while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
    }

    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_NCCREATE) {
            const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
            SetWindowLongPtrA(window, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        auto* self = reinterpret_cast<SetupWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (message == WM_COPYDATA && self != nullptr) {
            ++self->count;
            return TRUE;
        }
        if (message == WM_DESTROY) PostQuitMessage(0);
        return DefWindowProcA(window, message, wParam, lParam);
    }

    std::thread thread;
    std::atomic<bool> ready{false};
    HWND window = nullptr;
    std::atomic<int> count{0};
};

// A "%:" value that climbs from the medium's folder (the test program's) to the drive's root and
// down to path, a program on the same drive outside that folder.
std::string OutOfTheMedium(const std::string& path) {
    std::string value = "%:";
    for (int i = 0; i < 40; ++i) value += "..\\";
    return value + path.substr(3);
}

class HandoffInProcess : public ::testing::Test {
  protected:
    HandoffInProcess() = default;
    // nameTaker: an object that the dialog's construction finds under the event's name.
    explicit HandoffInProcess(HANDLE nameTaker) : nameTaker(nameTaker) {}

    void SetUp() override {
        CreateDirectoryA(BesideProgram("handoff-folder").c_str(), nullptr);
        // E1 cannot be started (a folder); E2 starts and never signals; E3 signals and shows a
        // set-up window that takes the identifier and never answers (logging what it got).
        DeleteFileA(setupLog.c_str());
        SetEnvironmentVariableA("REFERENCE_SETUP_LOG", setupLog.c_str());
        SetEnvironmentVariableA("REFERENCE_SETUP_HANDOFF", "window");
        SetEnvironmentVariableA("REFERENCE_SETUP_REPLY", "none");
        SetEnvironmentVariableA("REFERENCE_SETUP_EXIT_AFTER_MS", "30000");
        ASSERT_TRUE(support::WriteCatalogBesideProgram(
            {{"E1", BesideProgram("handoff-folder")},
             {"E2", BesideProgram("handoff_quiet_setup.exe")},
             {"E3", support::HostToWinePath(REFERENCE_SETUP_EXE)},
             {"E4", OutOfTheMedium(support::HostToWinePath(REFERENCE_SETUP_EXE))}}));
        ASSERT_TRUE(run.Start());
        dialog.Run([&] { event = dialog.Launch().Event(); });
        if (nameTaker.Get() == nullptr) {
            ASSERT_TRUE(HandleIsOpen(event));
        }
    }

    void TearDown() override {
        run.Cancel();
        // The program leaves such a handle to its process's end; here the next test must be
        // able to take the name.
        if (HANDLE open = dialog.Launch().Event()) CloseHandle(open);
        for (const auto& id : madeIds) DeleteTree(HKEY_CLASSES_ROOT, HandoffKeyPath(id));
        RemoveDirectoryA(BesideProgram("handoff-folder").c_str());
        if (SetupLogged("pid")) {
            const std::string pid = support::SetupLogValue(setupLog, "pid");
            KernelHandle setup(
                OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, std::stoul(pid)));
            if (setup) TerminateProcess(setup.Get(), 0);
            if (setup) WaitForSingleObject(setup.Get(), 10000);
        }
        DeleteFileA(setupLog.c_str());
    }

    // Whether the E3 program has logged key (it logs each line once it has done that step).
    bool SetupLogged(const std::string& key) const {
        return support::SetupLogCount(setupLog, key) > 0;
    }

    // Ends the dialog through Cancel and waits for its modal run to return.
    void Cancel() { EXPECT_EQ(run.Cancel(), IDCANCEL); }

    // Sends the dialog a WM_COPYDATA as a set-up program would, and waits for the dialog's end.
    void Answer(const std::string& text) {
        COPYDATASTRUCT record{};
        record.cbData = static_cast<DWORD>(text.size() + 1);
        record.lpData = const_cast<char*>(text.c_str());
        SendMessageA(dialog.Handle(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&record));
        EXPECT_EQ(run.Join(), IDCANCEL);
    }

    // Puts a number into the field, as typing does, and presses Next.
    void PressNext(const std::string& number) {
        SetWindowTextA(GetDlgItem(dialog.Handle(), IDC_NUMBER), number.c_str());
        PostMessageA(GetDlgItem(dialog.Handle(), IDC_NEXT), BM_CLICK, 0, 0);
    }

    // Launches E3, whose window takes the identifier and never answers; id receives the
    // identifier sent, once the program has it.
    void LaunchThatSent(std::string& id) {
        PressNext("E3");
        ASSERT_TRUE(WaitFor([&] { return SetupLogged("reply"); }, 20000));
        id = support::SetupLogValue(setupLog, "copydata.classId");
        madeIds.push_back(id);
    }

    // Waits for a box on the dialog's thread, keeps its caption and message in box, answers it
    // with OK and waits until it has gone.
    void DismissBox() {
        HWND shown = nullptr;
        ASSERT_TRUE(WaitFor([&] { return (shown = FindBox(dialog.Handle())) != nullptr; }));
        box = {WindowText(shown), WindowText(GetDlgItem(shown, 0xFFFF))};
        PostMessageA(shown, WM_COMMAND, IDOK, 0);
        ASSERT_TRUE(WaitFor([&] { return FindBox(dialog.Handle()) == nullptr; }));
    }
    void CopyDataBehindNextsBox(const std::string& number);

    KernelHandle nameTaker;  // made before the dialog
    const std::string setupLog = BesideProgram("handoff-dialog-setup.log");
    support::ProductDialogRun run;
    support::ProductDialogProbe& dialog = run.dialog;
    HANDLE event = nullptr;
    std::vector<std::string> madeIds;
    struct {
        std::wstring caption;
        std::wstring message;
    } box;  // the last box DismissBox answered
};

TEST_F(HandoffInProcess, CancelWithoutALaunchLeavesTheEventOpen) {
    Cancel();
    EXPECT_TRUE(HandleIsOpen(event));
}

TEST_F(HandoffInProcess, FailedStartKeepsTheDialogAndCancelThenClosesTheEvent) {
    PressNext("E1");
    ASSERT_NO_FATAL_FAILURE(DismissBox());
    // The launch's box carries the application's title: the program file's name.
    EXPECT_EQ(box.caption, support::TestApplication().Title());

    bool settled = true;
    dialog.Run([&] { settled = dialog.Launch().Settled(); });
    EXPECT_FALSE(settled);
    EXPECT_TRUE(IsWindowVisible(dialog.Handle()));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog.Handle(), IDC_NEXT)));
    EXPECT_TRUE(HandleIsOpen(event));

    Cancel();
    EXPECT_FALSE(HandleIsOpen(event));
    EXPECT_EQ(dialog.Launch().Event(), nullptr);
}

TEST_F(HandoffInProcess, OtherAnswerAfterALaunchEndsWithTheEventClosedAndNoRecord) {
    std::string id;
    ASSERT_NO_FATAL_FAILURE(LaunchThatSent(id));
    Answer(id.substr(0, 37));
    EXPECT_FALSE(dialog.Launch().Settled());
    EXPECT_FALSE(HandleIsOpen(event));
    EXPECT_FALSE(support::HandoffKeyExists(HandoffKeyPath(id)));
}

TEST_F(HandoffInProcess, NextResolvesTheItemTheListShowsHoweverItWasSelected) {
    dialog.Run([&] {
        // G1 is not in the catalogue; E1's set-up program cannot be started.
        dialog.EnterLocalizationPage({{"G", "G1"}, {"E", "E1"}});
        dialog.NextButton().Enable(true);
        // Selected without any notification, as another program can.
        dialog.LocalizationList().SetCurSel(1);
    });
    PostMessageA(dialog.Handle(), WM_COMMAND, MAKEWPARAM(IDC_NEXT, BN_CLICKED), 0);
    ASSERT_NO_FATAL_FAILURE(DismissBox());
    // The resolution's own box for a number without an entry, not the launch's box for E1.
    EXPECT_EQ(box.caption, LoadResourceString(IDS_ERROR_CAPTION));
    std::string number;
    dialog.Run([&] { number = dialog.articleNumber; });
    EXPECT_EQ(number, "G1");
}

TEST_F(HandoffInProcess, OkFromAnySenderEndsThroughCancel) {
    // As after a launch that has not settled (its program could not be started): the end must
    // apply the event rule.
    PressNext("E1");
    ASSERT_NO_FATAL_FAILURE(DismissBox());
    PostMessageA(dialog.Handle(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_EQ(run.Join(), IDCANCEL);
    EXPECT_FALSE(HandleIsOpen(event));
    EXPECT_EQ(dialog.Launch().Event(), nullptr);
}

TEST_F(HandoffInProcess, CopyDataWithoutARecordEndsTheDialog) {
    SendMessageA(dialog.Handle(), WM_COPYDATA, 0, 0);
    EXPECT_EQ(run.Join(), IDCANCEL);
    // No launch was begun: the event stays open.
    EXPECT_TRUE(HandleIsOpen(event));
}

TEST_F(HandoffInProcess, AnswerLaterThanTheSendIsAcceptedAndUntilThenTheHiddenDialogRunsOn) {
    // Another program's window with the caption is there as well: it gets nothing.
    SetupWindow other;
    ASSERT_NE(other.Handle(), nullptr);
    std::string sentId;
    ASSERT_NO_FATAL_FAILURE(LaunchThatSent(sentId));
    EXPECT_EQ(support::SetupLogValue(setupLog, "copydata.dwData"),
              std::to_string(reinterpret_cast<ULONG_PTR>(event)));
    EXPECT_EQ(support::SetupLogValue(setupLog, "copydata.cbData"), "39");

    // No answer: the dialog is hidden and its loop goes on taking messages.
    std::string classId;
    bool settled = true;
    dialog.Run([&] {
        classId = dialog.Launch().ClassId();
        settled = dialog.Launch().Settled();
    });
    EXPECT_EQ(classId, sentId);
    EXPECT_FALSE(settled);
    EXPECT_FALSE(IsWindowVisible(dialog.Handle()));
    EXPECT_EQ(FindBox(dialog.Handle()), nullptr);

    Answer(sentId);
    EXPECT_TRUE(dialog.Launch().Settled());
    EXPECT_TRUE(HandleIsOpen(event));
    EXPECT_EQ(support::RecordedNumber(sentId), "E3");
    EXPECT_EQ(other.Count(), 0);
}

TEST_F(HandoffInProcess, AValueThatLeavesTheMediumsFolderIsAMissingProgram) {
    PressNext("E4");
    ASSERT_NO_FATAL_FAILURE(DismissBox());
    EXPECT_EQ(box.message, LoadResourceString(IDS_SETUP_NOT_FOUND));
    EXPECT_TRUE(IsWindowVisible(dialog.Handle()));
    EXPECT_FALSE(SetupLogged("pid")) << "the program outside the medium was started";
}

// The quiet program never signals and has no window; the signal, given here after the dialog's
// start, lets the launch go on to look for the window of the program it started.
TEST_F(HandoffInProcess, AWindowOutsideTheLaunchedProgramsGetsNothing) {
    SetupWindow other;
    ASSERT_NE(other.Handle(), nullptr);
    ASSERT_TRUE(SetEvent(event));
    PressNext("E2");
    ASSERT_NO_FATAL_FAILURE(DismissBox());
    EXPECT_EQ(box.caption, support::TestApplication().Title());
    ASSERT_TRUE(run.WaitEnd());
    EXPECT_EQ(other.Count(), 0);
    EXPECT_FALSE(HandleIsOpen(event));
}

TEST_F(HandoffInProcess, NoSignalWithinTheWaitEndsTheDialogAndClosesTheEvent) {
    SetupWindow setup;
    ASSERT_NE(setup.Handle(), nullptr);
    PressNext("E2");
    ASSERT_TRUE(run.WaitEnd()) << "a box: "
                               << support::WideToCp1251(WindowText(FindBox(dialog.Handle())));
    EXPECT_EQ(run.Result(), IDCANCEL);
    EXPECT_FALSE(HandleIsOpen(event));
    EXPECT_EQ(dialog.Launch().Event(), nullptr);
    EXPECT_EQ(setup.Count(), 0);
}

// Presses Next for number, which shows one of Next's boxes, and sends a WM_COPYDATA while the box
// waits for the user: the dialog ends and is hidden at once, the box stays until it is answered.
void HandoffInProcess::CopyDataBehindNextsBox(const std::string& number) {
    PressNext(number);
    HWND shown = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (shown = FindBox(dialog.Handle())) != nullptr; }));
    SendMessageA(dialog.Handle(), WM_COPYDATA, 0, 0);
    ASSERT_TRUE(IsWindow(dialog.Handle()));
    EXPECT_FALSE(IsWindowVisible(dialog.Handle()));
    EXPECT_TRUE(IsWindowVisible(shown));
    PostMessageA(shown, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(run.WaitEnd());
    EXPECT_EQ(run.Result(), IDCANCEL);
}

TEST_F(HandoffInProcess, CopyDataWhileTheLaunchsBoxIsOpenEndsTheDialogAndClosesTheEvent) {
    CopyDataBehindNextsBox("E1");  // the launch fails and shows its box
    EXPECT_FALSE(HandleIsOpen(event));
}

TEST_F(HandoffInProcess, CopyDataWhileTheResolutionsBoxIsOpenEndsTheDialog) {
    CopyDataBehindNextsBox("X1");  // not in the catalogue
    EXPECT_TRUE(HandleIsOpen(event));
}

TEST_F(HandoffInProcess, RefusedRecordEndsTheDialogAsAfterASuccess) {
    std::string id;
    ASSERT_NO_FATAL_FAILURE(LaunchThatSent(id));
    // The record's "Art" key is there already and refuses the writer's full access.
    ASSERT_TRUE(CreateKeyRefusingFullAccess(HKEY_CLASSES_ROOT, HandoffKeyPath(id) + "\\Art"));
    Answer(id);
    EXPECT_TRUE(dialog.Launch().Settled());
    EXPECT_TRUE(HandleIsOpen(event));
    ASSERT_TRUE(support::HandoffKeyExists(HandoffKeyPath(id) + "\\Art"));
    EXPECT_EQ(support::RecordedNumber(id), "(none)");
}

// A mutex holds the event's name before the dialog is made: the dialog has no event, and no launch
// hands off.
class HandoffWithTheNameTaken : public HandoffInProcess {
  protected:
    HandoffWithTheNameTaken() : HandoffInProcess(CreateMutexA(nullptr, FALSE, "Setup Started")) {}
};

TEST_F(HandoffWithTheNameTaken, TheLaunchStartsTheProgramAndEndsQuietly) {
    ASSERT_NE(nameTaker.Get(), nullptr) << "the name is in use already";
    EXPECT_EQ(event, nullptr);
    PressNext("E3");
    ASSERT_TRUE(run.WaitEnd()) << "a box: "
                               << support::WideToCp1251(WindowText(FindBox(dialog.Handle())));
    EXPECT_EQ(run.Result(), IDCANCEL);
    // The program was started and its window is up, and it got nothing.
    ASSERT_TRUE(WaitFor([&] { return SetupLogged("window"); }, 20000));
    EXPECT_FALSE(SetupLogged("copydata.classId"));
    EXPECT_EQ(support::SetupLogValue(setupLog, "commandLine"), " /v" + LaunchMarker() + "=E3");
}

}  // namespace
