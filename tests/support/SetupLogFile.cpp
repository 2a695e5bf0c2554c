#include "support/SetupLogFile.h"

#include <fstream>
#include <iterator>

namespace support {

std::map<std::string, std::string> ReadSetupLog(const std::string& path) {
    std::map<std::string, std::string> entries;
    std::ifstream file(path, std::ios::binary);
    std::string line;
    while (std::getline(file, line)) {
        const size_t equals = line.find('=');
        if (equals != std::string::npos) entries[line.substr(0, equals)] = line.substr(equals + 1);
    }
    return entries;
}

std::string SetupLogValue(const std::string& path, const std::string& key) {
    const auto log = ReadSetupLog(path);
    const auto found = log.find(key);
    return found == log.end() ? "(none)" : found->second;
}

int SetupLogCount(const std::string& path, const std::string& key) {
    std::ifstream file(path, std::ios::binary);
    std::string line;
    int count = 0;
    while (std::getline(file, line)) count += line.rfind(key + "=", 0) == 0 ? 1 : 0;
    return count;
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

}  // namespace support
