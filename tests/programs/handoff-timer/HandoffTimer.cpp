// handoff-timer: times the installer's launch step on a medium whose set-up programs are copies of
// the reference set-up program.
//
//   handoff-timer MEDIUM_DIR NUMBER SETUP_PATH REPETITIONS [console]
//
// Each repetition makes four runs and prints one line
// "baseline MS cancel MS handoff MS number MS nosignal MS":
//   baseline  the reference set-up program alone, from process creation until it has finished
//             starting (WaitForInputIdle), which bounds what any hand-off can take; with
//             "console" (SETUP_PATH is the console build, which has no message loop) until its
//             kit has signalled "Setup Started", which this program then holds;
//   cancel    installer.exe: from the click on Cancel until the installer has ended, the time its
//             own end takes;
//   handoff   installer.exe: from the click on Next until the dialog is hidden, the launched
//             set-up program taking part;
//   number    the same run: from the click on Next until the launched set-up program has the
//             number (its kit's callback sets an event this program names), what a set-up
//             author waits for;
//   nosignal  installer.exe: from the click on Next until the installer has ended, the launched
//             set-up program not signalling.
// NUMBER must resolve to SETUP_PATH on the medium. Exit code 0, 1 when a run failed, 2 on usage.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "ProcessWindows.h"
#include "protocol/HandoffProtocol.h"
#include "util/KernelHandle.h"

namespace {

const int nextId = 1000;
const int numberId = 1002;

double Now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER count;
    QueryPerformanceCounter(&count);
    return 1000.0 * static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

struct Started {
    KernelHandle process;
    DWORD processId = 0;
};

bool Start(const std::string& program, std::string commandLine, const std::string& directory,
           Started& started) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        directory.empty() ? nullptr : directory.c_str(), &startup, &info)) {
        return false;
    }
    CloseHandle(info.hThread);
    started.process.Reset(info.hProcess);
    started.processId = info.dwProcessId;
    return true;
}

// The installer's visible product dialog, within 30 s.
HWND WaitDialog(DWORD processId, HANDLE process) {
    const double until = Now() + 30000;
    for (double now = Now(); now < until; now = Now()) {
        for (HWND window : VisibleTopLevelWindows(processId)) {
            if (GetDlgItem(window, nextId) != nullptr) return window;
        }
        if (WaitForSingleObject(process, 0) == WAIT_OBJECT_0) break;
        AwaitNextLook({process});
    }
    return nullptr;
}

void SetupBehaviour(const char* handoff, const char* exitAfterMs) {
    SetEnvironmentVariableA("REFERENCE_SETUP_HANDOFF", handoff);
    SetEnvironmentVariableA("REFERENCE_SETUP_WINDOW", "0");
    SetEnvironmentVariableA("REFERENCE_SETUP_EXIT_AFTER_MS", exitAfterMs);
}

// Milliseconds from the click on a button until the dialog is hidden (untilEnd false) or the
// installer has ended (true); negative when it did not happen within 60 s. With hasNumber, also
// until that event is set, in *numberMs.
double TimeInstaller(const std::string& medium, const std::string& number, int button,
                     bool untilEnd, HANDLE hasNumber = nullptr, double* numberMs = nullptr) {
    Started installer;
    if (!Start(medium + "\\installer.exe", "installer.exe", medium, installer)) return -1;
    HWND dialog = WaitDialog(installer.processId, installer.process.Get());
    if (dialog == nullptr) return -1;
    SendMessageA(GetDlgItem(dialog, numberId), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(number.c_str()));
    if (hasNumber != nullptr) ResetEvent(hasNumber);
    const double start = Now();
    PostMessageA(GetDlgItem(dialog, button), BM_CLICK, 0, 0);
    double result = -1;
    for (double now = Now(); now < start + 60000; now = Now()) {
        if (hasNumber != nullptr && *numberMs < 0 &&
            WaitForSingleObject(hasNumber, 0) == WAIT_OBJECT_0) {
            *numberMs = Now() - start;
        }
        const bool numberDone = hasNumber == nullptr || *numberMs >= 0;
        if (!untilEnd && result < 0 && !IsWindowVisible(dialog)) result = Now() - start;
        if (!untilEnd && result >= 0 && numberDone) break;
        if (WaitForSingleObject(installer.process.Get(), 0) == WAIT_OBJECT_0) {
            if (untilEnd) result = Now() - start;
            if (untilEnd || numberDone) break;
        }
        // The number's event while it is awaited, and the installer's end, end the step early.
        std::vector<HANDLE> handles{installer.process.Get()};
        if (hasNumber != nullptr && *numberMs < 0) handles.push_back(hasNumber);
        AwaitNextLook(handles);
    }
    if (WaitForSingleObject(installer.process.Get(), 20000) != WAIT_OBJECT_0) {
        TerminateProcess(installer.process.Get(), 1);
    }
    return result;
}

double TimeSetupStart(const std::string& setup, const std::string& number) {
    const double start = Now();
    Started program;
    if (!Start(setup, BuildCommandLine(number), "", program)) return -1;
    const DWORD idle = WaitForInputIdle(program.process.Get(), 20000);
    const double elapsed = Now() - start;
    TerminateProcess(program.process.Get(), 0);
    WaitForSingleObject(program.process.Get(), 20000);
    return idle == 0 ? elapsed : -1;
}

// A console program's start-up: from process creation until its kit has signalled.
double TimeConsoleSetupStart(const std::string& setup, const std::string& number) {
    KernelHandle started(CreateEventA(nullptr, FALSE, FALSE, setupStartedEventName));
    if (!started) return -1;
    SetupBehaviour("serve", "20000");
    const double start = Now();
    Started program;
    if (!Start(setup, BuildCommandLine(number), "", program)) return -1;
    const DWORD signalled = WaitForSingleObject(started.Get(), 20000);
    const double elapsed = Now() - start;
    TerminateProcess(program.process.Get(), 0);
    WaitForSingleObject(program.process.Get(), 20000);
    return signalled == WAIT_OBJECT_0 ? elapsed : -1;
}

}  // namespace

int main(int argc, char** argv) {
    const bool console = argc == 6 && std::string(argv[5]) == "console";
    if (argc != 5 && !console) {
        std::fprintf(stderr,
                     "usage: handoff-timer MEDIUM_DIR NUMBER SETUP_PATH REPETITIONS [console]\n");
        return 2;
    }
    const std::string medium = argv[1];
    const std::string number = argv[2];
    const std::string setup = argv[3];
    const int repetitions = std::atoi(argv[4]);
    // Set by the launched set-up program once its kit has the number.
    const std::string numberEventName =
        "HandoffTimerNumber-" + std::to_string(GetCurrentProcessId());
    KernelHandle hasNumber(CreateEventA(nullptr, TRUE, FALSE, numberEventName.c_str()));
    SetEnvironmentVariableA("REFERENCE_SETUP_NUMBER_EVENT", numberEventName.c_str());
    int failures = 0;
    for (int i = 0; i < repetitions; ++i) {
        // Not signalling, and with its own message loop: the start-up alone.
        SetEnvironmentVariableA("REFERENCE_SETUP_HANDOFF", "none");
        SetEnvironmentVariableA("REFERENCE_SETUP_WINDOW", nullptr);
        const double baseline =
            console ? TimeConsoleSetupStart(setup, number) : TimeSetupStart(setup, number);
        const double cancel = TimeInstaller(medium, number, IDCANCEL, true);
        SetupBehaviour("serve", "20000");
        double numberMs = -1;
        const double handoff =
            TimeInstaller(medium, number, nextId, false, hasNumber.Get(), &numberMs);
        SetupBehaviour("none", "1");
        const double noSignal = TimeInstaller(medium, number, nextId, true);
        if (baseline < 0 || cancel < 0 || handoff < 0 || numberMs < 0 || noSignal < 0) ++failures;
        std::printf("baseline %.1f cancel %.1f handoff %.1f number %.1f nosignal %.1f\n", baseline,
                    cancel, handoff, numberMs, noSignal);
        std::fflush(stdout);
    }
    return failures == 0 ? 0 : 1;
}
