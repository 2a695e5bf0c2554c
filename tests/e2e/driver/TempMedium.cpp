#include "driver/TempMedium.h"

#include <iterator>

#include "handoff/ArticleRules.h"
#include "protocol/HandoffProtocol.h"
#include "support/ArticleCatalogFile.h"
#include "support/Text.h"
#include "util/KernelHandle.h"
#include "util/WideText.h"

namespace e2e {

namespace {

bool RemoveTree(const std::wstring& dir) {
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((dir + L"*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring path = dir + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path + L"\\");
            } else {
                SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(path.c_str());
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    return RemoveDirectoryW(dir.c_str()) != FALSE;
}

}  // namespace

std::string BuiltInstallerPath() {
    return support::HostToWinePath(INSTALLER_EXE_HOST_PATH);
}

TempMedium::TempMedium(const std::string& name) : TempMedium(WideFromCp1251(name)) {}

TempMedium::TempMedium(const std::wstring& name) {
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(static_cast<DWORD>(std::size(temp)), temp);
    static int counter = 0;
    wideDir = temp + name + L"-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
              std::to_wstring(++counter) + L"\\";
    dir = support::WideToCp1251(wideDir);
    RemoveTree(wideDir);
    CreateDirectoryW(wideDir.c_str(), nullptr);
    CopyFileW(WideFromCp1251(BuiltInstallerPath()).c_str(), WidePath("installer.exe").c_str(),
              FALSE);
}

TempMedium::~TempMedium() {
    RemoveTree(wideDir);
}

std::wstring TempMedium::WidePath(const std::string& relative) const {
    return wideDir + WideFromCp1251(relative);
}

std::string TempMedium::DriveRelative(const std::string& relative) const {
    return std::string{drivePlaceholder, ':', '\\'} + relative;
}

bool TempMedium::WriteCatalog(const std::map<std::string, std::string>& articles) const {
    // The catalogue's disk access takes UTF-8 paths, which name any folder.
    return support::WriteArticleCatalog(Utf8FromWide(WidePath(catalogFileName)), articles);
}

bool TempMedium::WriteFile(const std::string& relative, const std::string& bytes) const {
    KernelHandle file(CreateFileW(WidePath(relative).c_str(), GENERIC_WRITE, 0, nullptr,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file &&
           ::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                       nullptr) &&
           written == bytes.size();
}

bool TempMedium::MakeDir(const std::string& relative) const {
    return CreateDirectoryW(WidePath(relative).c_str(), nullptr) != FALSE;
}

bool TempMedium::CopyIn(const std::string& source, const std::string& relative) const {
    const size_t slash = relative.rfind('\\');
    if (slash != std::string::npos) MakeDir(relative.substr(0, slash));
    return CopyFileW(WideFromCp1251(source).c_str(), WidePath(relative).c_str(), FALSE) != FALSE;
}

}  // namespace e2e
