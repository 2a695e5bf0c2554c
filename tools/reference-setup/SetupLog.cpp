#include "SetupLog.h"

#include <cstdio>
#include <memory>
#include <mutex>
#include <utility>

SetupLog::SetupLog(std::string path) : path(std::move(path)) {}

void SetupLog::Write(const std::string& key, const std::string& value) const {
    if (path.empty()) return;
    // The kit's thread writes too.
    static std::mutex writing;
    const std::lock_guard<std::mutex> lock(writing);
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "ab"), &std::fclose);
    if (!file) return;
    const std::string line = key + "=" + value + "\n";
    std::fwrite(line.data(), 1, line.size(), file.get());
}
