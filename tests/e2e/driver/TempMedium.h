#pragma once

#include <windows.h>

#include <map>
#include <string>

namespace e2e {

// A medium folder under the Wine user's temporary folder, made on construction with a copy of
// installer.exe in it and removed with its files on destruction. Relative names are cp1251; the
// folder's own name may hold any character (the wide constructor), and then only the Wide...
// paths name it whole.
class TempMedium {
  public:
    explicit TempMedium(const std::string& name);
    explicit TempMedium(const std::wstring& name);
    ~TempMedium();
    TempMedium(const TempMedium&) = delete;
    TempMedium& operator=(const TempMedium&) = delete;

    // The folder's path with a trailing backslash, e.g. C:\users\me\Temp\m1-42\ .
    const std::string& Dir() const { return dir; }
    std::string Path(const std::string& relative) const { return dir + relative; }
    const std::wstring& WideDir() const { return wideDir; }
    std::wstring WidePath(const std::string& relative) const;
    // A catalogue value for a file of the medium: "%:\" (the medium's folder) and the name.
    std::string DriveRelative(const std::string& relative) const;
    std::string InstallerPath() const { return Path("installer.exe"); }

    // Writes install.crt with the article section holding key -> text value.
    bool WriteCatalog(const std::map<std::string, std::string>& articles) const;
    // Writes any bytes as a file of the medium (e.g. a damaged catalogue).
    bool WriteFile(const std::string& relative, const std::string& bytes) const;
    bool MakeDir(const std::string& relative) const;
    // Copies a file (a Windows path, cp1251) to the medium, making its folder when needed.
    bool CopyIn(const std::string& source, const std::string& relative) const;

  private:
    std::wstring wideDir;
    std::string dir;
};

// The Windows path of the installer.exe built with the tests.
std::string BuiltInstallerPath();

}  // namespace e2e
