#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>

// A growable file held in memory: a byte buffer with a length and a current position.
// A write at the position overwrites and extends the content and advances the position; a read
// returns at most the bytes between the position and the end. The buffer is allocated in whole
// steps of 1024 bytes. Faults (memory exhausted, a seek before the start or beyond what a size
// can express) are thrown: std::bad_alloc or MemoryFileError.
class MemoryFile {
  public:
    enum class Origin { Begin, Current, End };

    static constexpr std::size_t kGrowStep = 1024;

    MemoryFile() = default;
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;
    virtual ~MemoryFile();

    void Write(const void* data, std::size_t count);
    // Returns the number of bytes copied into buffer.
    std::size_t Read(void* buffer, std::size_t count);
    // Returns the new position. A position past the end is allowed; a later write fills the gap
    // with zero bytes.
    std::size_t Seek(std::int64_t offset, Origin origin);
    void SetLength(std::size_t newLength);
    // Room for needed bytes, so that writes up to that length need no further allocation; the
    // content, length and position stay as they are.
    void Reserve(std::size_t needed);

    std::size_t GetLength() const { return length; }
    std::size_t GetPosition() const { return position; }
    std::size_t GetCapacity() const { return capacity; }

  private:
    std::unique_ptr<std::uint8_t[]> buffer;
    std::size_t capacity = 0;
    std::size_t length = 0;
    std::size_t position = 0;
};

class MemoryFileError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};
