#include "catalog/MemoryFile.h"

#include <cstring>
#include <limits>

MemoryFile::~MemoryFile() = default;

void MemoryFile::Reserve(std::size_t needed) {
    if (needed <= capacity) {
        return;
    }
    constexpr std::size_t kMax = std::numeric_limits<std::size_t>::max();
    if (needed > kMax - kGrowStep) {
        throw MemoryFileError("memory file too large");
    }
    // Grow by at least half the current size so that a long run of small writes costs linear
    // time; the allocation stays a whole number of steps.
    std::size_t wanted = needed;
    if (capacity <= kMax / 3 && capacity + capacity / 2 > wanted) {
        wanted = capacity + capacity / 2;
    }
    const std::size_t newCapacity = (wanted + kGrowStep - 1) / kGrowStep * kGrowStep;
    std::unique_ptr<std::uint8_t[]> grown(new std::uint8_t[newCapacity]);
    if (length > 0) {
        std::memcpy(grown.get(), buffer.get(), length);
    }
    buffer = std::move(grown);
    capacity = newCapacity;
}

void MemoryFile::Write(const void* data, std::size_t count) {
    if (count == 0) {
        return;
    }
    if (count > std::numeric_limits<std::size_t>::max() - position) {
        throw MemoryFileError("write beyond the largest size");
    }
    const std::size_t end = position + count;
    Reserve(end);
    if (position > length) {
        std::memset(buffer.get() + length, 0, position - length);
    }
    std::memcpy(buffer.get() + position, data, count);
    position = end;
    if (end > length) {
        length = end;
    }
}

std::size_t MemoryFile::Read(void* out, std::size_t count) {
    if (position >= length) {
        return 0;
    }
    const std::size_t available = length - position;
    const std::size_t n = count < available ? count : available;
    if (n > 0) {
        std::memcpy(out, buffer.get() + position, n);
        position += n;
    }
    return n;
}

std::size_t MemoryFile::Seek(std::int64_t offset, Origin origin) {
    std::int64_t base = 0;
    if (origin == Origin::Current) {
        base = static_cast<std::int64_t>(position);
    } else if (origin == Origin::End) {
        base = static_cast<std::int64_t>(length);
    }
    if ((offset < 0 && offset < -base) ||
        (offset > 0 && offset > std::numeric_limits<std::int64_t>::max() - base)) {
        throw MemoryFileError("seek before the start of the memory file");
    }
    const std::int64_t target = base + offset;
    if (static_cast<std::uint64_t>(target) > std::numeric_limits<std::size_t>::max()) {
        throw MemoryFileError("seek beyond the largest size");
    }
    position = static_cast<std::size_t>(target);
    return position;
}

void MemoryFile::SetLength(std::size_t newLength) {
    if (newLength > length) {
        Reserve(newLength);
        std::memset(buffer.get() + length, 0, newLength - length);
    }
    length = newLength;
    if (position > length) {
        position = length;
    }
}
