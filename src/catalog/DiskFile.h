#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// An open disk file, closed when the object goes. The catalogue reaches the disk only through
// this class; DiskFile.cpp implements it for the two platforms.
//
// Opening modes:
// - for reading, shared with other readers and with no writer;
// - creation of a new empty file, closed at once (fails when the file exists);
// - for writing, either replacing an existing file or refusing it; the file is not shared.
class DiskFile {
  public:
    enum class Create { NewOnly, ReplaceExisting };

    // Read returns this when the platform reports an error (0 means end of file).
    static constexpr std::int64_t kReadError = -1;

    DiskFile() = default;
    DiskFile(const DiskFile&) = delete;
    DiskFile& operator=(const DiskFile&) = delete;
    DiskFile(DiskFile&& other) noexcept;
    DiskFile& operator=(DiskFile&& other) noexcept;
    ~DiskFile();

    static DiskFile OpenForReading(const std::string& path);
    static bool CreateEmpty(const std::string& path);
    static DiskFile CreateForWriting(const std::string& path, Create mode);

    bool IsOpen() const { return handle != kNoHandle; }
    // Up to size bytes: the count read, 0 at end of file, kReadError on an error.
    std::int64_t Read(void* buffer, std::size_t size);
    // The size of an open regular file, or -1 when the system does not tell it. Only a hint
    // for the reader: the file may change before it is read.
    std::int64_t Size() const;
    // True only when every byte was written.
    bool Write(const void* data, std::size_t size);
    void Close();

  private:
    static constexpr std::intptr_t kNoHandle = -1;

    DiskFile(std::intptr_t handle, bool writing) : handle(handle), writing(writing) {}

    std::intptr_t handle = kNoHandle;
    bool writing = false;
};
