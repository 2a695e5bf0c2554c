#include "util/FileProbe.h"

#ifdef _WIN32

#include <windows.h>

#include "util/WideText.h"

bool PathExists(const std::string& query) {
    if (query.empty() || query.find('\0') != std::string::npos) return false;
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW(WideFromUtf8(query).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    FindClose(search);
    return true;
}

#else

#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>

#include <memory>

namespace {

struct DirectoryCloser {
    void operator()(DIR* directory) const { closedir(directory); }
};

bool AnyEntryMatches(const std::string& directory, const std::string& pattern) {
    const std::unique_ptr<DIR, DirectoryCloser> entries(opendir(directory.c_str()));
    if (!entries) return false;
    while (const dirent* entry = readdir(entries.get())) {
        if (fnmatch(pattern.c_str(), entry->d_name, 0) == 0) return true;
    }
    return false;
}

}  // namespace

bool PathExists(const std::string& query) {
    if (query.empty() || query.find('\0') != std::string::npos) return false;
    const std::size_t separator = query.find_last_of("/\\");
    const std::size_t start = separator == std::string::npos ? 0 : separator + 1;
    if (query.find_first_of("*?", start) != std::string::npos) {
        const std::string directory = separator == std::string::npos ? "." : query.substr(0, start);
        // Only * and ? are wildcards; everything else in the pattern stands for itself.
        std::string pattern;
        for (std::size_t i = start; i < query.size(); ++i) {
            if (query[i] == '[' || query[i] == ']' || query[i] == '\\') pattern += '\\';
            pattern += query[i];
        }
        return AnyEntryMatches(directory, pattern);
    }
    struct stat status;
    return stat(query.c_str(), &status) == 0;
}

#endif
