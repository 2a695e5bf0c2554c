// Disk access for Windows: reading through the classic file calls with exclusive sharing,
// creation and writing through CreateFileA and WriteFile with share mode 0.
#include <windows.h>

#include "catalog/DiskFile.h"

namespace {

// _lopen mode 16: read access, no other process may open the file meanwhile.
constexpr int kReadExclusive = OF_READ | OF_SHARE_EXCLUSIVE;
static_assert(kReadExclusive == 16, "read access with exclusive sharing");

HANDLE AsHandle(std::intptr_t h) {
    return reinterpret_cast<HANDLE>(h);
}

}  // namespace

DiskFile DiskFile::OpenForReading(const std::string& path) {
    const HFILE file = _lopen(path.c_str(), kReadExclusive);
    if (file == HFILE_ERROR) {
        return DiskFile();
    }
    return DiskFile(static_cast<std::intptr_t>(file), false);
}

bool DiskFile::CreateEmpty(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    CloseHandle(file);
    return true;
}

DiskFile DiskFile::CreateForWriting(const std::string& path, Create mode) {
    const DWORD disposition = mode == Create::ReplaceExisting ? CREATE_ALWAYS : CREATE_NEW;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, disposition,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return DiskFile();
    }
    return DiskFile(reinterpret_cast<std::intptr_t>(file), true);
}

std::int64_t DiskFile::Read(void* buffer, std::size_t size) {
    if (!IsOpen() || writing) {
        return kReadError;
    }
    const UINT n = _lread(static_cast<HFILE>(handle), buffer, static_cast<UINT>(size));
    if (n == static_cast<UINT>(HFILE_ERROR)) {
        return kReadError;
    }
    return n;
}

bool DiskFile::Write(const void* data, std::size_t size) {
    if (!IsOpen() || !writing) {
        return false;
    }
    DWORD written = 0;
    return WriteFile(AsHandle(handle), data, static_cast<DWORD>(size), &written, nullptr) &&
           written == size;
}

void DiskFile::Close() {
    if (!IsOpen()) {
        return;
    }
    if (writing) {
        CloseHandle(AsHandle(handle));
    } else {
        _lclose(static_cast<HFILE>(handle));
    }
    handle = kNoHandle;
}
