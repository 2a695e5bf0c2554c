#include "util/ModuleFile.h"

#ifdef _WIN32

#include <vector>

#include "util/WideText.h"

namespace {
// The longest path the system hands out (in UTF-16 units, with the zero).
constexpr DWORD kLongestPath = 32768;
}  // namespace

std::string ModuleFilePath(HMODULE module) {
    for (DWORD size = MAX_PATH; size <= kLongestPath; size *= 2) {
        std::vector<wchar_t> buffer(size);
        const DWORD length = GetModuleFileNameW(module, buffer.data(), size);
        if (length == 0) return std::string();
        // A result that fills the whole buffer has been cut short: try a larger one.
        if (length < size) return Utf8FromWide(std::wstring(buffer.data(), length));
    }
    return std::string();
}

std::string OwnProgramPath() {
    return ModuleFilePath(GetModuleHandleW(nullptr));
}

std::string ModuleFilePathByName(const std::string& moduleName) {
    if (moduleName.empty()) return OwnProgramPath();
    if (moduleName.find('\0') != std::string::npos) return std::string();
    const HMODULE module = GetModuleHandleW(WideFromUtf8(moduleName).c_str());
    // A null handle would stand for the running program, which is not the module asked for.
    if (module == nullptr) return std::string();
    return ModuleFilePath(module);
}

#else

#include <link.h>
#include <unistd.h>

#include <vector>

namespace {

std::string BaseName(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

struct SharedObjectSearch {
    const std::string* name;
    std::string path;
};

int VisitSharedObject(dl_phdr_info* info, std::size_t, void* context) {
    auto* search = static_cast<SharedObjectSearch*>(context);
    if (info->dlpi_name == nullptr || info->dlpi_name[0] == '\0') return 0;
    const std::string path = info->dlpi_name;
    if (BaseName(path) != *search->name) return 0;
    search->path = path;
    return 1;
}

}  // namespace

std::string OwnProgramPath() {
    std::vector<char> buffer(256);
    for (;;) {
        const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0) return std::string();
        if (static_cast<std::size_t>(length) < buffer.size()) {
            return std::string(buffer.data(), static_cast<std::size_t>(length));
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::string ModuleFilePathByName(const std::string& moduleName) {
    const std::string program = OwnProgramPath();
    if (moduleName.empty() || moduleName == BaseName(program)) return program;
    SharedObjectSearch search{&moduleName, std::string()};
    dl_iterate_phdr(VisitSharedObject, &search);
    return search.path;
}

#endif
