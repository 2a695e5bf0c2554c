#include "ChildProcess.h"

#include "Interruption.h"

#ifdef _WIN32
#include <windows.h>

#include "util/WideText.h"
#else
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace childprocess {

#ifdef _WIN32
namespace {

// One argument quoted the way the C runtime splits a command line again.
std::string Quote(const std::string& arg) {
    if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos) return arg;
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (char c : arg) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, '\\');
    return quoted + "\"";
}

class Handle {
  public:
    explicit Handle(HANDLE h = nullptr) : handle(h) {}
    ~Handle() { Close(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE Get() const { return handle; }
    HANDLE* Out() { return &handle; }
    void Close() {
        if (handle != nullptr && handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
        handle = nullptr;
    }

  private:
    HANDLE handle;
};

}  // namespace

int Run(const std::vector<std::string>& args, std::string* output) {
    if (args.empty()) return kNotStarted;
    std::string line;
    for (const std::string& arg : args) line += (line.empty() ? "" : " ") + Quote(arg);
    std::wstring commandLine = WideFromUtf8(line);

    Handle job(CreateJobObjectW(nullptr, nullptr));
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (job.Get() != nullptr)
        SetInformationJobObject(job.Get(), JobObjectExtendedLimitInformation, &limits,
                                sizeof limits);

    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    Handle readEnd;
    Handle writeEnd;
    if (!CreatePipe(readEnd.Out(), writeEnd.Out(), &inherit, 0)) return kNotStarted;
    SetHandleInformation(readEnd.Get(), HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    startup.hStdOutput = output != nullptr ? writeEnd.Get() : startup.hStdError;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, TRUE, CREATE_SUSPENDED, nullptr,
                        nullptr, &startup, &info)) {
        return kNotStarted;
    }
    Handle process(info.hProcess);
    Handle thread(info.hThread);
    if (job.Get() != nullptr) {
        AssignProcessToJobObject(job.Get(), process.Get());
        interruption::SetChild(reinterpret_cast<std::intptr_t>(job.Get()));
        if (interruption::Signal() != 0) TerminateJobObject(job.Get(), 1);
    }
    ResumeThread(thread.Get());
    writeEnd.Close();
    char chunk[4096];
    DWORD read = 0;
    while (ReadFile(readEnd.Get(), chunk, sizeof chunk, &read, nullptr) && read > 0) {
        if (output != nullptr) output->append(chunk, read);
    }
    WaitForSingleObject(process.Get(), INFINITE);
    interruption::SetChild(0);
    if (interruption::Signal() != 0) return kInterrupted;
    DWORD code = 0;
    return GetExitCodeProcess(process.Get(), &code) ? static_cast<int>(code) : kNotStarted;
}
#else
namespace {

class Fd {
  public:
    explicit Fd(int f = -1) : fd(f) {}
    ~Fd() { Close(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int Get() const { return fd; }
    void Close() { Reset(-1); }
    void Reset(int f) {
        if (fd >= 0) close(fd);
        fd = f;
    }

  private:
    int fd;
};

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
    outputWrite.Close();
    failureWrite.Close();

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
