#include "ChildProcess.h"

#include <cerrno>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#else
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;
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

// The environment block of this process with the given entries set.
std::string EnvironmentBlock(const std::vector<std::string>& extra) {
    std::string block;
    if (LPCH own = GetEnvironmentStringsA()) {
        for (const char* entry = own; *entry; entry += std::strlen(entry) + 1) {
            const std::string text = entry;
            const std::size_t equals = text.find('=', 1);
            bool replaced = false;
            for (const std::string& e : extra) {
                if (equals != std::string::npos &&
                    e.compare(0, equals + 1, text, 0, equals + 1) == 0)
                    replaced = true;
            }
            if (!replaced) block.append(text).push_back('\0');
        }
        FreeEnvironmentStringsA(own);
    }
    for (const std::string& e : extra) block.append(e).push_back('\0');
    block.push_back('\0');
    return block;
}

}  // namespace

int Run(const std::vector<std::string>& args, const std::vector<std::string>& environment) {
    if (args.empty()) return kNotStarted;
    std::string commandLine;
    for (const std::string& arg : args) {
        if (!commandLine.empty()) commandLine += ' ';
        commandLine += Quote(arg);
    }
    std::string block = EnvironmentBlock(environment);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, &block[0], nullptr,
                        &startup, &info)) {
        return kNotStarted;
    }
    CloseHandle(info.hThread);
    WaitForSingleObject(info.hProcess, INFINITE);
    DWORD code = 0;
    const BOOL known = GetExitCodeProcess(info.hProcess, &code);
    CloseHandle(info.hProcess);
    return known ? static_cast<int>(code) : kNotStarted;
}
#else
int Run(const std::vector<std::string>& args, const std::vector<std::string>& environment) {
    if (args.empty()) return kNotStarted;
    std::vector<char*> argv;
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    std::vector<std::string> entries;
    for (char** e = environ; *e; ++e) {
        const std::string text = *e;
        const std::size_t equals = text.find('=');
        bool replaced = false;
        for (const std::string& extra : environment) {
            if (equals != std::string::npos &&
                extra.compare(0, equals + 1, text, 0, equals + 1) == 0)
                replaced = true;
        }
        if (!replaced) entries.push_back(text);
    }
    entries.insert(entries.end(), environment.begin(), environment.end());
    std::vector<char*> envp;
    for (const std::string& entry : entries) envp.push_back(const_cast<char*>(entry.c_str()));
    envp.push_back(nullptr);

    pid_t child = 0;
    // The child's standard output joins its standard error, so this program's output stays its own.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, STDERR_FILENO, STDOUT_FILENO);
    const int started = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (started != 0) return kNotStarted;
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) return kNotStarted;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : kNotStarted;
}
#endif

}  // namespace childprocess
