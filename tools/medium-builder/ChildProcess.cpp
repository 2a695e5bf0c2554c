#include "ChildProcess.h"

#include "FileDescriptor.h"
#include "Interruption.h"

#ifndef _WIN32
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace childprocess {

#ifndef _WIN32
namespace {

using Fd = toolfiles::FileDescriptor;

bool MakePipe(Fd& readEnd, Fd& writeEnd) {
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) return false;
    readEnd.Reset(ends[0]);
    writeEnd.Reset(ends[1]);
    return true;
}

// The child's side between fork and exec: only calls that are safe there.
[[noreturn]] void StartChild(char* const* argv, pid_t parent, int outputFd, int failureFd) {
    // Killed when the tool dies, even by SIGKILL, so it never writes on alone.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) _exit(127);
    dup2(outputFd >= 0 ? outputFd : STDERR_FILENO, STDOUT_FILENO);
    execvp(argv[0], argv);
    const int failure = errno;
    (void)!write(failureFd, &failure, sizeof failure);
    _exit(127);
}

}  // namespace

int Run(const std::vector<std::string>& args, std::string* output) {
    if (args.empty()) return kNotStarted;
    std::vector<char*> argv;
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    Fd outputRead, outputWrite, failureRead, failureWrite;
    if ((output != nullptr && !MakePipe(outputRead, outputWrite)) ||
        !MakePipe(failureRead, failureWrite)) {
        return kNotStarted;
    }
    const pid_t parent = getpid();
    const pid_t child = fork();
    if (child < 0) return kNotStarted;
    if (child == 0) StartChild(argv.data(), parent, outputWrite.Get(), failureWrite.Get());
    interruption::SetChild(child);
    if (interruption::Signal() != 0) kill(child, SIGTERM);
    outputWrite.Reset();
    failureWrite.Reset();

    char chunk[65536];
    while (outputRead.Get() >= 0) {
        const ssize_t n = read(outputRead.Get(), chunk, sizeof chunk);
        if (n > 0) {
            output->append(chunk, static_cast<std::size_t>(n));
        } else if (n == 0 || errno != EINTR) {
            break;
        }
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    interruption::SetChild(0);
    int failure = 0;
    const bool notStarted = read(failureRead.Get(), &failure, sizeof failure) > 0;
    if (interruption::Signal() != 0) return kInterrupted;
    if (notStarted || !WIFEXITED(status)) return kNotStarted;
    return WEXITSTATUS(status);
}
#endif

}  // namespace childprocess
