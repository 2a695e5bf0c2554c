#include "handoff/SetupProcess.h"

#include <vector>

#include "handoff/KernelHandle.h"

#ifndef _WIN64
static_assert(sizeof(STARTUPINFOA) == 68, "set-up programs are started with a 68-byte record");
#endif

bool StartSetupProcess(const std::string& path, const std::string& commandLine,
                       DWORD startBoundMs) {
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = 0;
    startup.wShowWindow = SW_SHOW;
    PROCESS_INFORMATION created{};
    if (!CreateProcessA(path.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &created)) {
        return false;
    }
    KernelHandle process(created.hProcess);
    KernelHandle thread(created.hThread);
    // Fails at once for a program without a message loop of its own; then there is nothing to
    // wait for.
    WaitForInputIdle(process.Get(), startBoundMs);
    thread.Reset();
    process.Reset();
    return true;
}

LRESULT SendHandoffClassId(HWND target, HWND replyTo, HANDLE event, const std::string& classId) {
    COPYDATASTRUCT record{};
    record.dwData = reinterpret_cast<ULONG_PTR>(event);
    record.cbData = static_cast<DWORD>(classId.size() + 1);
    record.lpData = const_cast<char*>(classId.c_str());
    return SendMessageA(target, WM_COPYDATA, reinterpret_cast<WPARAM>(replyTo),
                        reinterpret_cast<LPARAM>(&record));
}
