#pragma once

#include <windows.h>

#include <memory>
#include <string>

// Reads the version resource of a module file once and answers string queries on it. Absence is
// reported by an empty result or false, never by a message.
class VersionInfoReader {
  public:
    VersionInfoReader() = default;
    VersionInfoReader(const VersionInfoReader&) = delete;
    VersionInfoReader& operator=(const VersionInfoReader&) = delete;

    // Reads the resource of a loaded module's file; a null handle means the running program.
    bool Load(HMODULE module);
    // Reads the resource of a file (a UTF-8 path). On failure the reader is left empty.
    bool LoadFile(const char* path);

    // The length the platform reports for a value (bytes, or characters for a text), or 0 when it
    // is absent or empty.
    UINT QueryValueLength(const char* subBlock);
    // Copies a value that exists, is not empty and fits the destination.
    bool CopyValue(const char* subBlock, void* destination, UINT destinationSize);
    // A string value by name and language/code page (language in the high 16 bits); when the
    // value is absent or empty, the same language's UTF-16 string table is tried once. The text
    // ends at its first NUL character; empty when the value is found under neither key.
    std::wstring GetString(const char* valueName, DWORD languageCodePage);

    bool IsLoaded() const { return data != nullptr; }
    DWORD DataSize() const { return dataSize; }
    // The root block of the loaded resource; all zero before a successful load.
    const VS_FIXEDFILEINFO& FixedInfo() const { return fixedInfo; }

  private:
    void Clear();
    std::wstring ReadString(const std::string& subBlock);

    VS_FIXEDFILEINFO fixedInfo{};
    std::unique_ptr<unsigned char[]> data;
    DWORD dataSize = 0;
};
