#include "Interruption.h"

#include <csignal>

#ifndef _WIN32
#include <signal.h>
#include <sys/types.h>
#endif

namespace interruption {

namespace {

volatile std::sig_atomic_t received = 0;
volatile std::sig_atomic_t child = 0;

#ifndef _WIN32
const int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
struct sigaction earlier[3];

extern "C" void Note(int signal) {
    received = signal;
    if (child > 0) kill(static_cast<pid_t>(child), SIGTERM);
}
#endif

}  // namespace

Guard::Guard() {
    received = 0;
#ifndef _WIN32
    struct sigaction action {};
    action.sa_handler = Note;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no restart: a wait returns and sees the signal
    for (int i = 0; i < 3; ++i) sigaction(kSignals[i], &action, &earlier[i]);
#endif
}

Guard::~Guard() {
#ifndef _WIN32
    for (int i = 0; i < 3; ++i) sigaction(kSignals[i], &earlier[i], nullptr);
#endif
}

int Signal() {
    return received;
}

void SetChild(long process) {
    child = static_cast<std::sig_atomic_t>(process);
}

}  // namespace interruption
