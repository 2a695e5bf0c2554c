#include "handoff/SetupProcess.h"

#include <vector>

#include "handoff/ArticleRules.h"
#include "handoff/ProgramSubsystem.h"
#include "handoff/SetupEnvironment.h"
#include "protocol/HandoffProtocol.h"
#include "util/KernelHandle.h"
#include "util/WideText.h"

#ifndef _WIN64
static_assert(sizeof(STARTUPINFOW) == 68, "set-up programs are started with a 68-byte record");
#endif

namespace {

// Whether the program file is a console program; a file that cannot be read is not.
bool IsConsoleProgram(const std::string& path) {
    KernelHandle file(CreateFileW(WideFromUtf8(path).c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    std::vector<unsigned char> head(programHeaderReadSize);
    DWORD read = 0;
    if (!ReadFile(file.Get(), head.data(), static_cast<DWORD>(head.size()), &read, nullptr))
        return false;
    return IsConsoleProgramHeader(head.data(), read);
}

}  // namespace

bool StartSetupProcess(const std::string& path, const std::string& commandLine,
                       KernelHandle& process, HANDLE startedSignal, bool* signalTaken,
                       DWORD startBoundMs) {
    if (signalTaken != nullptr) *signalTaken = false;
    const bool console = startedSignal != nullptr && IsConsoleProgram(path);
    const std::wstring wideLine = WideFromCp1251(commandLine);
    std::vector<wchar_t> line(wideLine.begin(), wideLine.end());
    line.push_back(L'\0');

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = 0;
    startup.wShowWindow = SW_SHOW;
    // Not the installer's current folder, where anybody may have put files.
    const std::string folder = ProgramFolderOf(path);
    const std::wstring wideFolder = WideFromUtf8(folder);
    std::vector<wchar_t> environment = SetupEnvironmentBlock();
    PROCESS_INFORMATION created{};
    if (!CreateProcessW(WideFromUtf8(path).c_str(), line.data(), nullptr, nullptr, FALSE,
                        CREATE_UNICODE_ENVIRONMENT, environment.data(),
                        folder.empty() ? nullptr : wideFolder.c_str(), &startup, &created)) {
        return false;
    }
    process.Reset(created.hProcess);
    KernelHandle thread(created.hThread);
    if (console) {
        HANDLE waits[] = {startedSignal, process.Get()};
        const bool taken =
            WaitForMultipleObjects(2, waits, FALSE, consoleSignalBoundMs) == WAIT_OBJECT_0;
        if (signalTaken != nullptr) *signalTaken = taken;
    } else {
        // Fails at once for a program without a message loop of its own; then there is nothing
        // to wait for.
        WaitForInputIdle(process.Get(), startBoundMs);
    }
    thread.Reset();
    return true;
}

namespace {

// Every top-level window the system matches with the caption, the text lookup's first.
std::vector<HWND> WindowsTitled(const std::wstring& caption) {
    std::vector<HWND> found;
    for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, nullptr, caption.c_str())) != nullptr;)
        found.push_back(w);
    std::string bytes;
    if (Cp1251FromWide(caption, bytes)) {
        for (HWND w = nullptr; (w = FindWindowExA(nullptr, w, nullptr, bytes.c_str())) != nullptr;)
            found.push_back(w);
    }
    return found;
}

}  // namespace

HWND FindSetupWindow(const std::wstring& caption, HANDLE launched) {
    const std::vector<HWND> windows = WindowsTitled(caption);
    if (windows.empty()) return nullptr;
    const LaunchedProcessTree tree(launched);
    for (HWND window : windows) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (tree.Holds(owner)) return window;
    }
    return nullptr;
}

void SendHandoffClassId(HWND target, HWND replyTo, HANDLE event, const std::string& classId) {
    COPYDATASTRUCT record{};
    record.dwData = reinterpret_cast<ULONG_PTR>(event);
    record.cbData = static_cast<DWORD>(classId.size() + 1);
    record.lpData = const_cast<char*>(classId.c_str());
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(target, WM_COPYDATA, reinterpret_cast<WPARAM>(replyTo),
                        reinterpret_cast<LPARAM>(&record), SMTO_NORMAL | SMTO_ABORTIFHUNG,
                        handoffSendBoundMs, &ignored);
}
