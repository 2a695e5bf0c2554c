#include "handoff/SetupProcess.h"

#include <vector>

#include "handoff/KernelHandle.h"
#include "util/WideText.h"

#ifndef _WIN64
static_assert(sizeof(STARTUPINFOW) == 68, "set-up programs are started with a 68-byte record");
#endif

bool StartSetupProcess(const std::string& path, const std::string& commandLine,
                       DWORD startBoundMs) {
    const std::wstring wideLine = WideFromCp1251(commandLine);
    std::vector<wchar_t> line(wideLine.begin(), wideLine.end());
    line.push_back(L'\0');

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = 0;
    startup.wShowWindow = SW_SHOW;
    PROCESS_INFORMATION created{};
    if (!CreateProcessW(WideFromUtf8(path).c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
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

HWND FindSetupWindow(const std::wstring& caption) {
    if (HWND window = FindWindowW(nullptr, caption.c_str())) return window;
    std::string bytes;
    if (!Cp1251FromWide(caption, bytes)) return nullptr;
    return FindWindowA(nullptr, bytes.c_str());
}

LRESULT SendHandoffClassId(HWND target, HWND replyTo, HANDLE event, const std::string& classId) {
    COPYDATASTRUCT record{};
    record.dwData = reinterpret_cast<ULONG_PTR>(event);
    record.cbData = static_cast<DWORD>(classId.size() + 1);
    record.lpData = const_cast<char*>(classId.c_str());
    return SendMessageW(target, WM_COPYDATA, reinterpret_cast<WPARAM>(replyTo),
                        reinterpret_cast<LPARAM>(&record));
}
