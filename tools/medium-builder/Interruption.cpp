#include "Interruption.h"

#include <atomic>
#include <csignal>

#ifdef _WIN32
#include <windows.h>
#else
#include <signal.h>
#include <sys/types.h>
#endif

namespace interruption {

namespace {

volatile std::sig_atomic_t received = 0;
std::atomic<std::intptr_t> child{0};

#ifdef _WIN32
BOOL WINAPI Note(DWORD event) {
    received = event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT ? SIGINT : SIGTERM;
    if (const std::intptr_t job = child.load())
        TerminateJobObject(reinterpret_cast<HANDLE>(job), 1);
    return TRUE;  // the build ends itself once it has removed its temporaries
}
#else
const int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
struct sigaction earlier[3];

extern "C" void Note(int signal) {
    received = signal;
    if (const std::intptr_t process = child.load()) kill(static_cast<pid_t>(process), SIGTERM);
}
#endif

}  // namespace

Guard::Guard() {
    received = 0;
#ifdef _WIN32
    SetConsoleCtrlHandler(Note, TRUE);
#else
    struct sigaction action {};
    action.sa_handler = Note;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no restart: a wait returns and sees the signal
    for (int i = 0; i < 3; ++i) sigaction(kSignals[i], &action, &earlier[i]);
#endif
}

Guard::~Guard() {
#ifdef _WIN32
    SetConsoleCtrlHandler(Note, FALSE);
#else
    for (int i = 0; i < 3; ++i) sigaction(kSignals[i], &earlier[i], nullptr);
#endif
}

int Signal() {
    return received;
}

void SetChild(std::intptr_t process) {
    child.store(process);
}

}  // namespace interruption
