#pragma once

#include <string>

// Appends "key=value" lines to the file named (SetupOptions::logPath); with no name it records
// nothing. The file is opened and closed for every line, so a killed program loses none.
class SetupLog {
  public:
    explicit SetupLog(std::string path);
    void Write(const std::string& key, const std::string& value) const;

  private:
    std::string path;
};
