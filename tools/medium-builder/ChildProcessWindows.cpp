// The child process on Windows: the program is found on PATH only (never in the current folder
// or beside this program), named to CreateProcessW as the application, and given exactly three
// handles: NUL as its input, its output (a pipe, or this program's standard error) and standard
// error. It runs in a job that ends when this program's handle to it closes.
#ifdef _WIN32
#include <windows.h>

#include "ChildProcess.h"
#include "Interruption.h"
#include "util/KernelHandle.h"
#include "util/WideText.h"

namespace childprocess {

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

// The folders of PATH that are absolute (a drive and a backslash, or a UNC name), joined by ';':
// a relative entry such as "." would name the current folder.
std::wstring AbsoluteSearchPath() {
    const DWORD size = GetEnvironmentVariableW(L"PATH", nullptr, 0);
    if (size == 0) return std::wstring();
    std::wstring path(size, L'\0');
    path.resize(GetEnvironmentVariableW(L"PATH", &path[0], size));
    std::wstring kept;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find(L';', start);
        if (end == std::wstring::npos) end = path.size();
        std::wstring folder = path.substr(start, end - start);
        if (folder.size() > 1 && folder.front() == L'"' && folder.back() == L'"')
            folder = folder.substr(1, folder.size() - 2);
        const bool drive =
            folder.size() >= 3 && folder[1] == L':' && (folder[2] == L'\\' || folder[2] == L'/');
        const bool unc = folder.size() >= 3 && folder[0] == L'\\' && folder[1] == L'\\';
        if (drive || unc) kept += (kept.empty() ? L"" : L";") + folder;
        start = end + 1;
    }
    return kept;
}

// The program's full path, found on PATH only; empty when it is not there.
std::wstring FindOnPath(const std::string& program) {
    const std::wstring folders = AbsoluteSearchPath();
    if (folders.empty()) return std::wstring();
    const std::wstring name = WideFromUtf8(program);
    const DWORD size = SearchPathW(folders.c_str(), name.c_str(), L".exe", 0, nullptr, nullptr);
    if (size == 0) return std::wstring();
    std::wstring found(size, L'\0');
    const DWORD length =
        SearchPathW(folders.c_str(), name.c_str(), L".exe", size, &found[0], nullptr);
    if (length == 0 || length >= size) return std::wstring();
    found.resize(length);
    return found;
}

// An inheritable copy of this program's handle, or NUL where it has none.
bool InheritableCopy(HANDLE from, KernelHandle& copy) {
    const HANDLE self = GetCurrentProcess();
    HANDLE made = nullptr;
    if (from != nullptr && from != INVALID_HANDLE_VALUE &&
        DuplicateHandle(self, from, self, &made, 0, TRUE, DUPLICATE_SAME_ACCESS)) {
        copy.Reset(made);
        return true;
    }
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    copy.Reset(CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           &inherit, OPEN_EXISTING, 0, nullptr));
    return static_cast<bool>(copy);
}

// The list of handles a child may inherit, where the system has one (Vista and later); elsewhere
// only the handles made inheritable here are, as every other handle of this program is made
// without inheritance.
constexpr DWORD kExtendedStartupInfo = 0x00080000;
constexpr DWORD_PTR kHandleListAttribute = 0x00020002;

using InitializeList = BOOL(WINAPI*)(void*, DWORD, DWORD, SIZE_T*);
using UpdateList = BOOL(WINAPI*)(void*, DWORD, DWORD_PTR, void*, SIZE_T, void*, SIZE_T*);
using DeleteList = void(WINAPI*)(void*);

template <typename Function>
Function Kernel32(const char* name) {
    const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    const FARPROC found = kernel != nullptr ? GetProcAddress(kernel, name) : nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(found));
}

class InheritList {
  public:
    explicit InheritList(std::vector<HANDLE> handles) : handles(std::move(handles)) {
        const auto initialize = Kernel32<InitializeList>("InitializeProcThreadAttributeList");
        const auto update = Kernel32<UpdateList>("UpdateProcThreadAttribute");
        remove = Kernel32<DeleteList>("DeleteProcThreadAttributeList");
        if (initialize == nullptr || update == nullptr || remove == nullptr) return;
        SIZE_T size = 0;
        initialize(nullptr, 1, 0, &size);
        storage.resize(size);
        if (size == 0 || !initialize(storage.data(), 1, 0, &size)) return;
        initialized = true;
        ready = update(storage.data(), 0, kHandleListAttribute, this->handles.data(),
                       this->handles.size() * sizeof(HANDLE), nullptr, nullptr) != 0;
    }
    ~InheritList() {
        if (initialized) remove(storage.data());
    }
    InheritList(const InheritList&) = delete;
    InheritList& operator=(const InheritList&) = delete;
    void* Get() { return ready ? storage.data() : nullptr; }

  private:
    std::vector<HANDLE> handles;
    std::vector<unsigned char> storage;
    DeleteList remove = nullptr;
    bool initialized = false;
    bool ready = false;
};

struct StartupInfoEx {
    STARTUPINFOW startup;
    void* attributes;
};

}  // namespace

int Run(const std::vector<std::string>& args, std::string* output) {
    if (args.empty()) return kNotStarted;
    std::wstring application = FindOnPath(args[0]);
    if (application.empty()) return kNotStarted;
    std::string line = Quote(args[0]);
    for (std::size_t i = 1; i < args.size(); ++i) line += " " + Quote(args[i]);
    std::wstring commandLine = WideFromUtf8(line);

    KernelHandle job(CreateJobObjectW(nullptr, nullptr));
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (job.Get() != nullptr)
        SetInformationJobObject(job.Get(), JobObjectExtendedLimitInformation, &limits,
                                sizeof limits);

    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE pipeRead = nullptr;
    HANDLE pipeWrite = nullptr;
    if (!CreatePipe(&pipeRead, &pipeWrite, &inherit, 0)) return kNotStarted;
    KernelHandle readEnd(pipeRead);
    KernelHandle writeEnd(pipeWrite);
    KernelHandle input;
    KernelHandle error;
    if (!SetHandleInformation(readEnd.Get(), HANDLE_FLAG_INHERIT, 0) ||
        !InheritableCopy(nullptr, input) ||
        !InheritableCopy(GetStdHandle(STD_ERROR_HANDLE), error)) {
        return kNotStarted;
    }
    StartupInfoEx startup{};
    startup.startup.cb = sizeof startup.startup;
    startup.startup.dwFlags = STARTF_USESTDHANDLES;
    startup.startup.hStdInput = input.Get();
    startup.startup.hStdError = error.Get();
    startup.startup.hStdOutput = output != nullptr ? writeEnd.Get() : error.Get();
    std::vector<HANDLE> inherited = {input.Get(), error.Get()};
    if (output != nullptr) inherited.push_back(writeEnd.Get());
    InheritList list(inherited);
    DWORD flags = CREATE_SUSPENDED;
    if (list.Get() != nullptr) {
        startup.startup.cb = sizeof startup;
        startup.attributes = list.Get();
        flags |= kExtendedStartupInfo;
    }
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(application.c_str(), &commandLine[0], nullptr, nullptr, TRUE, flags,
                        nullptr, nullptr, &startup.startup, &info)) {
        return kNotStarted;
    }
    KernelHandle process(info.hProcess);
    KernelHandle thread(info.hThread);
    if (job.Get() != nullptr) {
        AssignProcessToJobObject(job.Get(), process.Get());
        interruption::SetChild(reinterpret_cast<std::intptr_t>(job.Get()));
        if (interruption::Signal() != 0) TerminateJobObject(job.Get(), 1);
    }
    ResumeThread(thread.Get());
    writeEnd.Reset();
    input.Reset();
    error.Reset();
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

}  // namespace childprocess
#endif
