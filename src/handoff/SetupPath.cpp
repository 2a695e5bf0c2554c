#include "handoff/SetupPath.h"

#include <windows.h>

#include <vector>

#include "handoff/ArticleRules.h"
#include "util/WideText.h"

namespace {

// The system's full form of a path; empty when it gives none.
std::string FullPath(const std::string& path) {
    const std::wstring wide = WideFromUtf8(path);
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetFullPathNameW(wide.c_str(), static_cast<DWORD>(buffer.size()),
                                              buffer.data(), nullptr);
        if (length == 0) return {};
        if (length < buffer.size()) return Utf8FromWide(std::wstring(buffer.data(), length));
        buffer.resize(length);
    }
}

}  // namespace

std::string SetupPathOnMedium(const std::string& value, const std::string& programPath) {
    const std::string path = ResolveSetupPath(value, programPath);
    if (path.empty() || !IsOnProgramDrive(value)) return path;
    const std::string full = FullPath(path);
    const std::string folder = FullPath(ProgramFolderOf(programPath));
    return LiesInFolder(full, folder) ? full : std::string();
}
