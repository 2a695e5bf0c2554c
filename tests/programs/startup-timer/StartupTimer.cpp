// startup-timer: starts a program and measures the time until it shows a visible top-level
// window with a given caption, then keeps it open for a while and ends it.
//
//   startup-timer [--hold MS] [--cwd DIR] CAPTION PROGRAM
//
// Prints "visible MS" (milliseconds from before process creation) when the window shows, or
// "timeout" after 30 s; then, after the hold time, sends the window the cancel command and
// waits for the program's end. Exit code 0 when the window showed, 1 otherwise, 2 on bad usage.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "Options.h"
#include "ProcessWindows.h"
#include "util/KernelHandle.h"

namespace {

int Usage(const std::string& error) {
    if (!error.empty()) std::fprintf(stderr, "startup-timer: %s\n", error.c_str());
    std::fprintf(stderr, "usage: startup-timer [--hold MS] [--cwd DIR] CAPTION PROGRAM\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    std::string error;
    if (!options.Parse(std::vector<std::string>(argv + 1, argv + argc),
                       {{"--hold", true}, {"--cwd", true}}, error) ||
        options.Positional().size() != 2) {
        return Usage(error);
    }
    DWORD holdMs = 0;
    if (options.Has("--hold")) {
        const std::string text = options.Value("--hold");
        char* end = nullptr;
        const long value = std::strtol(text.c_str(), &end, 10);
        if (text.empty() || *end != '\0' || value < 0) return Usage("--hold needs milliseconds");
        holdMs = static_cast<DWORD>(value);
    }
    const std::string cwdText = options.Value("--cwd");
    const char* cwd = options.Has("--cwd") ? cwdText.c_str() : nullptr;
    const std::string caption = options.Positional()[0];
    const std::string program = options.Positional()[1];

    LARGE_INTEGER frequency{}, start{}, now{};
    QueryPerformanceFrequency(&frequency);
    std::string commandLine = "\"" + program + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    QueryPerformanceCounter(&start);
    if (!CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, cwd,
                        &startup, &info)) {
        std::fprintf(stderr, "startup-timer: cannot start %s (error %lu)\n", program.c_str(),
                     GetLastError());
        return 1;
    }
    const KernelHandle process(info.hProcess);
    const KernelHandle thread(info.hThread);

    HWND found = nullptr;
    for (;;) {
        for (HWND window : VisibleTopLevelWindows(info.dwProcessId)) {
            if (found == nullptr && WindowCaption(window) == caption) found = window;
        }
        QueryPerformanceCounter(&now);
        const double ms = 1000.0 * (now.QuadPart - start.QuadPart) / frequency.QuadPart;
        if (found != nullptr) {
            std::printf("visible %.1f\n", ms);
            break;
        }
        if (ms > 30000 || WaitForSingleObject(process.Get(), 0) == WAIT_OBJECT_0) {
            std::printf("timeout\n");
            break;
        }
        AwaitNextLook({process.Get()});
    }
    std::fflush(stdout);

    // Held open for the hold time, unless the program ends by itself before.
    if (found != nullptr && WaitForSingleObject(process.Get(), holdMs) != WAIT_OBJECT_0) {
        PostMessageA(found, WM_COMMAND, IDCANCEL, 0);
    }
    if (WaitForSingleObject(process.Get(), 10000) != WAIT_OBJECT_0) {
        TerminateProcess(process.Get(), 1);
        WaitForSingleObject(process.Get(), 5000);
    }
    return found != nullptr ? 0 : 1;
}
