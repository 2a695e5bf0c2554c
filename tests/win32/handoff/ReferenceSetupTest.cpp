// The installer's launch and message steps against the reference set-up program, on the set-up
// program kit or playing the set-up side itself as told: this test plays the installer's part
// (event, launch, WM_COPYDATA, registry record), and that of hostile senders, and reads what the
// set-up program recorded.

#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "RegistryTree.h"
#include "handoff/HandoffRegistry.h"
#include "handoff/SetupLaunch.h"
#include "handoff/SetupProcess.h"
#include "protocol/HandoffProtocol.h"
#include "support/HandoffRecords.h"
#include "support/SetupLogFile.h"
#include "support/Text.h"
#include "support/WaitFor.h"
#include "util/WideText.h"

namespace {

// The shared test support: waits, texts and paths, the set-up log, the record clean-up.
using namespace support;

// The reference set-up program's own window, beside the hidden one its kit serves.
const char referenceStatusTitle[] = "Reference set-up program";

const std::string referenceSetup = support::HostToWinePath(REFERENCE_SETUP_EXE);

// Waits for done(), dispatching this thread's messages meanwhile: the answers come to a window
// of this thread.
template <typename Condition>
bool PumpUntil(Condition done, DWORD milliseconds = 20000) {
    return support::WaitFor(done, milliseconds, support::WhileWaiting::DispatchMessages);
}

// Plays the installer's dialog: receives the set-up program's answer and, when it is the
// identifier sent, writes the record the way the installer does.
struct Receiver {
    HWND window = nullptr;
    std::string sentId;
    std::string number;
    int replies = 0;
    std::string reply;
    DWORD replyBytes = 0;

    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<Receiver*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (message == WM_COPYDATA && self) {
            const auto* record = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
            ++self->replies;
            self->replyBytes = record->cbData;
            self->reply.assign(static_cast<const char*>(record->lpData), record->cbData);
            if (self->reply == self->sentId + '\0') WriteHandoffRecord(self->sentId, self->number);
            return TRUE;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }

    Receiver() {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = Proc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "HandoffTestReceiver";
        RegisterClassA(&windowClass);
        window = CreateWindowExA(0, "HandoffTestReceiver", "receiver", WS_OVERLAPPED, 0, 0, 10, 10,
                                 nullptr, nullptr, windowClass.hInstance, nullptr);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~Receiver() { DestroyWindow(window); }
};

class ReferenceSetupRun : public ::testing::Test {
  protected:
    void SetUp() override {
        NewLog();
        SetEnvironmentVariableA("REFERENCE_SETUP_EXIT_AFTER_MS", "30000");
        SetEnvironmentVariableA("REFERENCE_SETUP_HANDOFF", nullptr);
        SetEnvironmentVariableA("REFERENCE_SETUP_REPLY", nullptr);
        SetEnvironmentVariableA("REFERENCE_SETUP_WINDOW", nullptr);
        event = CreateEventA(nullptr, FALSE, FALSE, setupStartedEventName);
        ASSERT_NE(event, nullptr);
    }
    void TearDown() override {
        EndSetup();
        CloseHandle(event);
        for (const auto& id : madeIds) DeleteTree(HKEY_CLASSES_ROOT, HandoffKeyPath(id));
        DeleteFileA(logPath.c_str());
    }

    // Sends the next set-up program's records to a fresh file.
    void NewLog() {
        static int runs = 0;
        logPath = support::TempFilePath("reference-setup-" + std::to_string(GetCurrentProcessId()) +
                                        "-" + std::to_string(++runs) + ".log");
        DeleteFileA(logPath.c_str());
        SetEnvironmentVariableA("REFERENCE_SETUP_LOG", logPath.c_str());
    }

    // Closes the set-up program's own window, if one is open, and waits until the program has
    // ended.
    void EndSetup() {
        if (GetFileAttributesA(logPath.c_str()) == INVALID_FILE_ATTRIBUTES) return;
        // The hand-off may be over before the program has opened its own window.
        HWND status = nullptr;
        PumpUntil([&] {
            return (status = FindWindowA(nullptr, referenceStatusTitle)) != nullptr ||
                   (ReadSetupLog(logPath).count("window") == 0 &&
                    ReadSetupLog(logPath).count("exit") == 1);
        });
        if (status != nullptr) PostMessageA(status, WM_CLOSE, 0, 0);
        EXPECT_TRUE(PumpUntil([&] { return ReadSetupLog(logPath).count("exit") == 1; }))
            << "the set-up program did not end; its log:\n"
            << std::ifstream(logPath, std::ios::binary).rdbuf();
        DeleteFileA(logPath.c_str());
    }

    // Starts the set-up program for a number and waits for its signal and, unless it opens none,
    // for its window.
    HWND Launch(const std::string& number, bool expectWindow = true) {
        EXPECT_TRUE(StartSetupProcess(referenceSetup, BuildCommandLine(number), launched))
            << referenceSetup;
        EXPECT_EQ(WaitForSingleObject(event, 20000), WAIT_OBJECT_0) << "no signal";
        HWND setup = nullptr;
        if (expectWindow) {
            EXPECT_TRUE(PumpUntil([&] {
                return (setup = FindWindowA(nullptr, setupWindowCaption));
            })) << "no window with the set-up caption";
        }
        return setup;
    }

    // Sends a fresh identifier to the set-up window as the installer does.
    void Hand(HWND setup, Receiver& receiver, const std::string& number) {
        receiver.sentId = MakeHandoffClassId();
        receiver.number = number;
        madeIds.push_back(receiver.sentId);
        SendHandoffClassId(setup, receiver.window, event, receiver.sentId);
    }

    std::string logPath;
    HANDLE event = nullptr;
    KernelHandle launched;
    std::vector<std::string> madeIds;
};

TEST_F(ReferenceSetupRun, KitAnswersWithinTheSendAndFindsTheNumberInTheRegistry) {
    Receiver receiver;
    HWND setup = Launch("E1234");
    ASSERT_NE(setup, nullptr);
    Hand(setup, receiver, "E1234");
    // The answer came while the send was still under way, and the record was in place after it.
    EXPECT_EQ(receiver.replies, 1);
    EXPECT_EQ(receiver.reply, receiver.sentId + '\0');
    EXPECT_EQ(receiver.replyBytes, 39u);

    ASSERT_TRUE(PumpUntil([&] { return ReadSetupLog(logPath).count("art") == 1; }));
    const auto log = ReadSetupLog(logPath);
    EXPECT_EQ(log.at("commandLine"), " /v" + LaunchMarker() + "=E1234");
    EXPECT_EQ(log.at("copydata.classId"), receiver.sentId);
    EXPECT_EQ(log.at("art"), "E1234");
    EXPECT_EQ(log.at("handoff.status"), "0");
}

// Sends a record to a window the way any process could, and returns whether the call went
// through.
bool SendRecord(HWND target, HWND sender, const void* data, DWORD size, bool withRecord = true) {
    COPYDATASTRUCT record{};
    record.cbData = size;
    record.lpData = const_cast<void*>(data);
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(target, WM_COPYDATA, reinterpret_cast<WPARAM>(sender),
                               withRecord ? reinterpret_cast<LPARAM>(&record) : 0, SMTO_ABORTIFHUNG,
                               10000, &result) != 0;
}

TEST_F(ReferenceSetupRun, KitAnswersOnlyTheInstallersRecord) {
    Receiver receiver;
    HWND setup = Launch("R5");
    ASSERT_NE(setup, nullptr);
    const std::string id = MakeHandoffClassId();
    madeIds.push_back(id);
    std::string lower = id;
    for (char& c : lower) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    const std::string unterminated = id + "X";
    std::string oversized = id;
    oversized.resize(400, '\0');

    // Whether the system passes each of these on is its own affair; none may be answered or
    // bring the program down.
    SendRecord(setup, receiver.window, nullptr, 0, false);
    SendRecord(setup, receiver.window, nullptr, 39);
    SendRecord(setup, receiver.window, id.c_str(), 20);
    SendRecord(setup, receiver.window, unterminated.data(), 39);
    SendRecord(setup, receiver.window, oversized.data(), 400);
    SendRecord(setup, receiver.window, lower.c_str(), 39);
    SendRecord(setup, nullptr, id.c_str(), 39);
    EXPECT_EQ(receiver.replies, 0);

    // Still there, and the installer's own record is answered, once.
    receiver.sentId = id;
    receiver.number = "R5";
    ASSERT_TRUE(SendRecord(setup, receiver.window, id.c_str(), 39));
    EXPECT_EQ(receiver.replies, 1);
    EXPECT_EQ(receiver.reply, id + '\0');
    ASSERT_TRUE(PumpUntil([&] { return ReadSetupLog(logPath).count("art") == 1; }));
    EXPECT_EQ(ReadSetupLog(logPath).at("art"), "R5");
    EXPECT_TRUE(SendRecord(setup, receiver.window, id.c_str(), 39) || !IsWindow(setup));
    EXPECT_EQ(receiver.replies, 1);
}

TEST_F(ReferenceSetupRun, LongNumbersReachTheSetUpProgramWhole) {
    // 30000 characters: all that the number field takes in by default.
    std::string number = "R";
    for (int i = 0; number.size() < 30000; ++i) number += static_cast<char>('0' + i % 10);
    Receiver receiver;
    HWND setup = Launch(number);
    ASSERT_NE(setup, nullptr);
    Hand(setup, receiver, number);
    ASSERT_TRUE(PumpUntil([&] { return ReadSetupLog(logPath).count("art") == 1; }));
    const auto log = ReadSetupLog(logPath);
    EXPECT_EQ(log.at("commandLine"), BuildCommandLine(number));
    EXPECT_EQ(log.at("art"), number);
}

TEST_F(ReferenceSetupRun, AlteredAnswersAreWhatTheSetUpProgramWasToldToSend) {
    SetEnvironmentVariableA("REFERENCE_SETUP_HANDOFF", "window");
    const std::pair<const char*, std::string (*)(const std::string&)> modes[] = {
        {"lower",
         [](const std::string& id) {
             std::string text = id;
             for (char& c : text) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
             return text;
         }},
        {"nobrace", [](const std::string& id) { return id.substr(0, id.size() - 1); }},
    };
    for (const auto& mode : modes) {
        SCOPED_TRACE(mode.first);
        SetEnvironmentVariableA("REFERENCE_SETUP_REPLY", mode.first);
        Receiver receiver;
        HWND setup = Launch("G1");
        ASSERT_NE(setup, nullptr);
        Hand(setup, receiver, "G1");
        EXPECT_EQ(receiver.replies, 1);
        EXPECT_EQ(receiver.reply, mode.second(receiver.sentId) + '\0');
        // Nothing was written, so the set-up program finds no number.
        EXPECT_EQ(ReadSetupLog(logPath).at("art").rfind("missing", 0), 0u);
        EndSetup();
        NewLog();
    }
}

TEST_F(ReferenceSetupRun, LaterAnswerArrivesAfterTheSendReturns) {
    SetEnvironmentVariableA("REFERENCE_SETUP_HANDOFF", "window");
    SetEnvironmentVariableA("REFERENCE_SETUP_REPLY", "later");
    Receiver receiver;
    HWND setup = Launch("I7");
    ASSERT_NE(setup, nullptr);
    Hand(setup, receiver, "I7");
    EXPECT_EQ(receiver.replies, 0);
    ASSERT_TRUE(PumpUntil([&] { return receiver.replies == 1; }));
    EXPECT_EQ(receiver.reply, receiver.sentId + '\0');
    EXPECT_TRUE(PumpUntil([&] { return ReadSetupLog(logPath).count("art") == 1; }));
    EXPECT_EQ(ReadSetupLog(logPath).at("art"), "I7");
}

TEST_F(ReferenceSetupRun, NoAnswerAndNoWindowAreRecorded) {
    SetEnvironmentVariableA("REFERENCE_SETUP_HANDOFF", "window");
    SetEnvironmentVariableA("REFERENCE_SETUP_REPLY", "none");
    {
        Receiver receiver;
        HWND setup = Launch("F1");
        ASSERT_NE(setup, nullptr);
        Hand(setup, receiver, "F1");
        // The decision not to answer is made while the send is under way; the program's end,
        // with this thread taking in messages until then, shows that no answer came later.
        EXPECT_EQ(ReadSetupLog(logPath).at("reply"), "none");
        EndSetup();
        EXPECT_EQ(receiver.replies, 0);
        NewLog();
    }
    SetEnvironmentVariableA("REFERENCE_SETUP_WINDOW", "0");
    SetEnvironmentVariableA("REFERENCE_SETUP_EXIT_AFTER_MS", "1");
    Launch("F2", false);
    ASSERT_TRUE(PumpUntil([&] { return ReadSetupLog(logPath).count("exit") == 1; }));
    const auto log = ReadSetupLog(logPath);
    EXPECT_EQ(log.count("window"), 0u);
    EXPECT_EQ(log.at("copydata"), "none");
    EXPECT_EQ(log.at("commandLine"), BuildCommandLine("F2"));
}

// A window with the set-up caption in the test's own process, as any other program could show.
struct CaptionedWindow : Receiver {
    CaptionedWindow() { SetWindowTextA(window, setupWindowCaption); }
};

TEST_F(ReferenceSetupRun, OnlyTheLaunchedProgramsWindowIsFoundAndItStartsInItsOwnFolderClean) {
    SetEnvironmentVariableA("COR_ENABLE_PROFILING", "1");
    SetEnvironmentVariableA("COMPlus_EnableDiagnostics", "0");
    const std::wstring caption = WideFromCp1251(setupWindowCaption);
    {
        HWND setup = Launch("E5");
        ASSERT_NE(setup, nullptr);
        CaptionedWindow other;
        EXPECT_EQ(FindSetupWindow(caption, launched.Get()), setup);
        const auto log = ReadSetupLog(logPath);
        const std::string program = log.at("program");
        EXPECT_EQ(log.at("folder") + "\\", program.substr(0, program.rfind('\\') + 1));
        EXPECT_EQ(log.at("environment.COR_ENABLE_PROFILING"), "unset");
        EXPECT_EQ(log.at("environment.COMPlus_EnableDiagnostics"), "unset");
        EndSetup();
        NewLog();
    }
    SetEnvironmentVariableA("COR_ENABLE_PROFILING", nullptr);
    SetEnvironmentVariableA("COMPlus_EnableDiagnostics", nullptr);
    // Signals and shows no window: the other program's window is no stand-in.
    SetEnvironmentVariableA("REFERENCE_SETUP_HANDOFF", "signal");
    SetEnvironmentVariableA("REFERENCE_SETUP_WINDOW", "0");
    SetEnvironmentVariableA("REFERENCE_SETUP_EXIT_AFTER_MS", "1");
    CaptionedWindow other;
    Launch("E6", false);
    EXPECT_EQ(FindSetupWindow(caption, launched.Get()), nullptr);
}

TEST(SetupProcessStart, FailsForWhatCannotRun) {
    KernelHandle process;
    const std::string directory = support::TempFilePath("handoff-not-a-program");
    CreateDirectoryA(directory.c_str(), nullptr);
    EXPECT_FALSE(StartSetupProcess(directory, BuildCommandLine("E1"), process));

    const std::string textFile = support::TempFilePath("handoff-not-a-program.txt");
    std::ofstream(textFile) << "not a program\n";
    EXPECT_FALSE(StartSetupProcess(textFile, BuildCommandLine("E1"), process));

    EXPECT_FALSE(StartSetupProcess(support::TempFilePath("handoff-missing\\setup.exe"),
                                   BuildCommandLine("E1"), process));
    EXPECT_FALSE(StartSetupProcess("", BuildCommandLine("E1"), process));
    DeleteFileA(textFile.c_str());
    RemoveDirectoryA(directory.c_str());
}

// The installer's launch on its own, a plain window in the place of the dialog: the set-up program
// gets the launch's identifier, only that identifier settles the launch and records the number,
// and a settled launch leaves the event open at its end.
TEST_F(ReferenceSetupRun, ALaunchWithoutTheDialogSettlesOnlyOnItsOwnIdentifier) {
    SetEnvironmentVariableA("REFERENCE_SETUP_HANDOFF", "window");
    SetEnvironmentVariableA("REFERENCE_SETUP_REPLY", "none");
    SetupLaunch missing;
    EXPECT_EQ(missing.StartProgram(referenceSetup + ".none", "E5"), SetupLaunch::Start::failed);
    EXPECT_FALSE(missing.Started());
    missing.End();

    Receiver receiver;
    SetupLaunch launch;
    ASSERT_EQ(launch.StartProgram(referenceSetup, "E5"), SetupLaunch::Start::signalled);
    ASSERT_EQ(launch.HandOver(WideFromCp1251(setupWindowCaption), receiver.window),
              SetupLaunch::Handover::sent);
    madeIds.push_back(launch.ClassId());
    ASSERT_TRUE(PumpUntil([&] { return ReadSetupLog(logPath).count("reply") == 1; }));
    EXPECT_EQ(ReadSetupLog(logPath).at("copydata.classId"), launch.ClassId());

    const auto answer = [&launch](const std::string& text) {
        COPYDATASTRUCT record{0, static_cast<DWORD>(text.size() + 1),
                              const_cast<char*>(text.c_str())};
        launch.TakeAnswer(&record);
    };
    answer(launch.ClassId().substr(1));
    EXPECT_FALSE(launch.Settled());
    EXPECT_EQ(RecordedNumber(launch.ClassId()), "(none)");
    answer(launch.ClassId());
    EXPECT_TRUE(launch.Settled());
    EXPECT_EQ(RecordedNumber(launch.ClassId()), "E5");
    launch.End();
    ASSERT_NE(launch.Event(), nullptr);
    // The next scenario makes the event anew.
    CloseHandle(launch.Event());
}

}  // namespace
