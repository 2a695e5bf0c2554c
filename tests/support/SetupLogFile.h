#pragma once

#include <map>
#include <string>

// The log a reference set-up program writes: "key=value" lines, appended as it goes.
namespace support {

// Every key with its last value.
std::map<std::string, std::string> ReadSetupLog(const std::string& path);
// The last value of key; "(none)" when it was never written.
std::string SetupLogValue(const std::string& path, const std::string& key);
// How many times key was written.
int SetupLogCount(const std::string& path, const std::string& key);
// A whole file's bytes; empty when it cannot be read.
std::string ReadWholeFile(const std::string& path);

}  // namespace support
