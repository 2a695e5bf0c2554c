#pragma once

#include <string>

// Appends "key=value" lines to the file named by REFERENCE_SETUP_LOG; without that variable it
// records nothing. The file is opened and closed for every line, so a killed program loses none.
class SetupLog {
  public:
    SetupLog();
    void Write(const std::string& key, const std::string& value) const;

  private:
    std::string path;
};
