#include "catalog/DiskFile.h"

DiskFile::DiskFile(DiskFile&& other) noexcept : handle(other.handle), writing(other.writing) {
    other.handle = kNoHandle;
}

DiskFile& DiskFile::operator=(DiskFile&& other) noexcept {
    if (this != &other) {
        Close();
        handle = other.handle;
        writing = other.writing;
        other.handle = kNoHandle;
    }
    return *this;
}

DiskFile::~DiskFile() {
    Close();
}
