#include "catalog/ScrambledRecordFile.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <exception>

#include "catalog/DiskFile.h"

namespace {

namespace format = catalog_format;
using format::kPrefixSize;

void Accumulate(Keystream::Totals& totals, Keystream::Totals more) {
    totals.sum = static_cast<std::uint8_t>(totals.sum + more.sum);
    totals.bitOr = static_cast<std::uint8_t>(totals.bitOr | more.bitOr);
}

}  // namespace

ScrambledRecordFile::ScrambledRecordFile(std::uint16_t multiplier, std::uint16_t increment,
                                         std::uint16_t seed)
    : multiplier(multiplier), increment(increment), seed(seed) {
    const std::uint8_t prefix[kPrefixSize] = {0, 0, 0, 0};
    RawWrite(prefix, sizeof prefix);
}

ScrambledRecordFile::~ScrambledRecordFile() = default;

// ---- raw access: the only way to the image ----

bool ScrambledRecordFile::RawWrite(const void* data, std::size_t count) {
    try {
        Write(data, count);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

std::size_t ScrambledRecordFile::RawRead(void* buffer, std::size_t count) {
    try {
        return Read(buffer, count);
    } catch (const std::exception&) {
        return 0;
    }
}

bool ScrambledRecordFile::RawSeek(std::int64_t offset, Origin origin, std::size_t* newPosition) {
    try {
        const std::size_t position = Seek(offset, origin);
        if (newPosition) {
            *newPosition = position;
        }
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool ScrambledRecordFile::RawSetLength(std::size_t length) {
    try {
        SetLength(length);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool ScrambledRecordFile::RawReserve(std::size_t length) {
    try {
        Reserve(length);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

// Position and length are read as they stand; neither can fault.
std::size_t ScrambledRecordFile::Position() const {
    return GetPosition();
}

std::size_t ScrambledRecordFile::Length() const {
    return GetLength();
}

std::size_t ScrambledRecordFile::Remaining() const {
    const std::size_t position = Position();
    const std::size_t end = Length();
    return end > position ? end - position : 0;
}

std::size_t ScrambledRecordFile::Peek(void* buffer, std::size_t count) {
    const std::size_t position = Position();
    const std::size_t n = RawRead(buffer, count);
    RawSeek(static_cast<std::int64_t>(position), Origin::Begin);
    return n;
}

bool ScrambledRecordFile::Skip(std::size_t count) {
    return RawSeek(static_cast<std::int64_t>(count), Origin::Current);
}

std::vector<std::uint8_t> ScrambledRecordFile::ImageBytes() {
    std::vector<std::uint8_t> bytes;
    const std::size_t position = Position();
    try {
        bytes.resize(Length());
    } catch (const std::exception&) {
        return {};
    }
    if (RawSeek(0, Origin::Begin)) {
        bytes.resize(RawRead(bytes.data(), bytes.size()));
    }
    RawSeek(static_cast<std::int64_t>(position), Origin::Begin);
    return bytes;
}

// ---- image transforms ----

bool ScrambledRecordFile::PassBody(std::vector<std::uint8_t>& piece, const Keystream* stream,
                                   std::uint8_t key, bool decode, Keystream::Totals& totals,
                                   std::size_t from, std::size_t to) {
    totals = Keystream::Totals();
    for (std::size_t at = from; at < to;) {
        const std::size_t n = std::min(piece.size(), to - at);
        const auto offset = static_cast<std::int64_t>(at);
        if (!RawSeek(offset, Origin::Begin) || RawRead(piece.data(), n) != n) {
            return false;
        }
        const Keystream::Totals taken =
            stream ? stream->Apply(piece.data(), n, key, decode, at - kPrefixSize)
                   : Keystream::Measure(piece.data(), n);
        if (stream && !(RawSeek(offset, Origin::Begin) && RawWrite(piece.data(), n))) {
            return false;
        }
        Accumulate(totals, taken);
        at += n;
    }
    return true;
}

bool ScrambledRecordFile::Transform(bool decode, std::size_t plainEnd, Keystream::Totals plain) {
    std::vector<std::uint8_t> piece;
    try {
        piece.resize(kChunkSize);
    } catch (const std::exception&) {
        return false;
    }
    const std::size_t n = Length();
    // An image shorter than the prefix is read with zeros after it, and keeps them.
    std::uint8_t prefix[kPrefixSize] = {};
    if ((n < kPrefixSize && !RawSetLength(kPrefixSize)) || !RawSeek(0, Origin::Begin) ||
        RawRead(prefix, kPrefixSize) != kPrefixSize) {
        return false;
    }
    const Keystream stream(multiplier, increment, seed);
    Keystream::Totals rest;
    if (decode) {
        lastCheck = Check();
        lastCheck.markerGood = n >= kPrefixSize && prefix[0] == format::kMarker;
        lastCheck.storedSum = prefix[1];
        lastCheck.storedOr = prefix[2];
        if (!PassBody(piece, &stream, prefix[3], true, rest, plainEnd, Length())) {
            return false;
        }
        Accumulate(plain, rest);
        lastCheck.computedSum = plain.sum;
        lastCheck.computedOr = plain.bitOr;
        return RawSeek(0, Origin::End);
    }
    if (!PassBody(piece, nullptr, 0, false, plain, kPrefixSize, Length())) {
        return false;
    }
    std::uint8_t head[kPrefixSize];
    format::PutPrefix(head, plain.sum, plain.bitOr);
    return RawSeek(0, Origin::Begin) && RawWrite(head, sizeof head) &&
           PassBody(piece, &stream, plain.sum, false, rest, kPrefixSize, Length()) &&
           RawSeek(0, Origin::End);
}

bool ScrambledRecordFile::Scramble() {
    return Transform(false);
}

bool ScrambledRecordFile::UnscrambleAndVerify() {
    return UnscrambleAndVerifyFrom(kPrefixSize, Keystream::Totals());
}

bool ScrambledRecordFile::UnscrambleAndVerifyFrom(std::size_t plainEnd, Keystream::Totals plain) {
    if (!Transform(true, plainEnd, plain)) {
        lastCheck = Check();
        return false;
    }
    return lastCheck.Good() && RawSeek(kPrefixSize, Origin::Begin);
}

// ---- disk ----

ScrambledRecordFile::LoadStatus ScrambledRecordFile::LoadBody(const std::string& path,
                                                              bool createIfMissing) {
    DiskFile file = DiskFile::OpenForReading(path);
    if (!file.IsOpen()) {
        if (createIfMissing && DiskFile::CreateEmpty(path)) {
            return LoadStatus::Created;
        }
        return LoadStatus::NotOpened;
    }
    if (!RawSeek(0, Origin::Begin)) {
        return LoadStatus::ImageFault;
    }
    LoadStatus failure = LoadStatus::ImageFault;
    if (!ReadGenerator(file, failure)) {
        return failure;
    }
    return ReadBody(file);
}

bool ScrambledRecordFile::ReadGenerator(DiskFile& file, LoadStatus& failure) {
    std::array<std::uint8_t, format::kHeaderSize> header;
    std::size_t have = 0;
    while (have < header.size()) {
        const std::int64_t n = file.Read(header.data() + have, header.size() - have);
        if (n == DiskFile::kReadError) {
            failure = LoadStatus::ReadError;
            return false;
        }
        if (n == 0) {
            failure = LoadStatus::HeaderShort;
            return false;
        }
        have += static_cast<std::size_t>(n);
    }
    format::Generator generator;
    if (!format::GetHeader(header.data(), generator)) {
        failure = LoadStatus::BadMagic;
        return false;
    }
    multiplier = generator.multiplier;
    increment = generator.increment;
    seed = generator.seed;
    return true;
}

ScrambledRecordFile::LoadStatus ScrambledRecordFile::ReadBody(DiskFile& file) {
    std::vector<std::uint8_t> chunk;
    try {
        chunk.resize(kChunkSize);
    } catch (const std::exception&) {
        return LoadStatus::ImageFault;
    }
    // Room for the whole body at once when the file tells its size, in place of growing the
    // image as it comes. Without the room the body still loads as far as memory allows.
    const std::int64_t size = file.Size();
    if (size > static_cast<std::int64_t>(format::kHeaderSize)) {
        const std::uint64_t body = static_cast<std::uint64_t>(size) - format::kHeaderSize;
        if (body <= SIZE_MAX) {
            RawReserve(static_cast<std::size_t>(body));
        }
    }
    // The body is unscrambled as it comes in, from image byte 4 on, with the key byte (image
    // byte 3) that comes before it; the verify pass takes what the image held beyond the file.
    const Keystream stream(multiplier, increment, seed);
    Keystream::Totals plain;
    std::uint8_t key = 0;
    std::size_t at = 0;
    // When the load stops short, what was unscrambled goes back as it was read.
    const auto restore = [&] {
        Keystream::Totals ignored;
        PassBody(chunk, &stream, key, false, ignored, kPrefixSize, std::max(at, kPrefixSize));
    };
    for (;;) {
        const std::int64_t n = file.Read(chunk.data(), chunk.size());
        if (n == DiskFile::kReadError) {
            restore();
            return LoadStatus::ReadError;
        }
        if (n == 0) {
            break;
        }
        const std::size_t count = static_cast<std::size_t>(n);
        if (at < kPrefixSize && at + count >= kPrefixSize) {
            key = chunk[kPrefixSize - 1 - at];
        }
        if (at + count > kPrefixSize) {
            const std::size_t skip = at < kPrefixSize ? kPrefixSize - at : 0;
            Accumulate(plain, stream.Apply(chunk.data() + skip, count - skip, key, true,
                                           at + skip - kPrefixSize));
        }
        if (!RawWrite(chunk.data(), count)) {
            restore();
            return LoadStatus::ImageFault;
        }
        at += count;
    }
    file.Close();
    if (UnscrambleAndVerifyFrom(std::max(at, kPrefixSize), plain)) {
        return LoadStatus::Loaded;
    }
    return VerifiedStatus();
}

ScrambledRecordFile::LoadStatus ScrambledRecordFile::VerifiedStatus() const {
    if (!lastCheck.markerGood) {
        return LoadStatus::BadMarker;
    }
    if (lastCheck.storedSum != lastCheck.computedSum) {
        return LoadStatus::BadSum;
    }
    if (lastCheck.storedOr != lastCheck.computedOr) {
        return LoadStatus::BadOr;
    }
    return LoadStatus::ImageFault;
}

ScrambledRecordFile::LoadStatus ScrambledRecordFile::Load(const std::string& path,
                                                          bool createIfMissing) {
    lastCheck = Check();
    return LoadBody(path, createIfMissing);
}

bool ScrambledRecordFile::LoadFromDisk(const std::string& path, bool createIfMissing) {
    const LoadStatus status = Load(path, createIfMissing);
    return status == LoadStatus::Loaded || status == LoadStatus::Created;
}

bool ScrambledRecordFile::SaveToDisk(const std::string& path, bool overwrite) {
    Scramble();
    std::vector<std::uint8_t> chunk;
    try {
        chunk.resize(kChunkSize);
    } catch (const std::exception&) {
        return false;
    }
    DiskFile file = DiskFile::CreateForWriting(
        path, overwrite ? DiskFile::Create::ReplaceExisting : DiskFile::Create::NewOnly);
    if (!file.IsOpen() || !RawSeek(0, Origin::Begin)) {
        return false;
    }
    format::PutHeader(chunk.data(), {multiplier, increment, seed});
    if (!file.Write(chunk.data(), format::kHeaderSize)) {
        return false;
    }
    bool written = true;
    for (;;) {
        const std::size_t n = RawRead(chunk.data(), chunk.size());
        if (n == 0) {
            break;
        }
        if (!file.Write(chunk.data(), n)) {
            written = false;
            break;
        }
    }
    file.Close();
    return written && UnscrambleAndVerify();
}

// ---- records ----

bool ScrambledRecordFile::WriteTag(std::uint8_t tag, std::uint32_t word) {
    std::uint8_t bytes[format::kRecordHead] = {tag};
    format::PutLe32(bytes + 1, word);
    return RawWrite(bytes, sizeof bytes);
}

bool ScrambledRecordFile::ReadTag(std::uint8_t tag) {
    std::uint8_t byte = 0;
    return RawRead(&byte, 1) == 1 && byte == tag;
}

bool ScrambledRecordFile::ReadTagged(std::uint8_t tag, std::uint32_t& value) {
    std::uint8_t bytes[format::kRecordHead];
    const std::size_t n = RawRead(bytes, sizeof bytes);
    if (n == 0) {
        return false;
    }
    if (bytes[0] != tag) {
        // A record of another kind: only its tag byte is consumed.
        RawSeek(1 - static_cast<std::int64_t>(n), Origin::Current);
        return false;
    }
    if (n != sizeof bytes) {
        return false;
    }
    value = format::GetLe32(bytes + 1);
    return true;
}

bool ScrambledRecordFile::WriteString(const std::string& text) {
    const std::size_t length = std::strlen(text.c_str());
    return WriteTag(format::kString, static_cast<std::uint32_t>(length)) &&
           (length == 0 || RawWrite(text.data(), length));
}

bool ScrambledRecordFile::ReadString(std::string& text) {
    std::uint32_t length = 0;
    if (!ReadTagged(format::kString, length)) {
        return false;
    }
    if (length == 0) {
        text.clear();
        return true;
    }
    // A length beyond the image fails before anything is allocated for it.
    if (length > Remaining()) {
        return false;
    }
    // The text is read in place; with the length checked, the read can only fall short
    // through a fault of the image.
    try {
        text.resize(length);
    } catch (const std::exception&) {
        return false;
    }
    if (RawRead(&text[0], length) != length) {
        text.clear();
        return false;
    }
    const std::size_t zero = text.find('\0');
    if (zero != std::string::npos) {
        text.resize(zero);
    }
    return true;
}

bool ScrambledRecordFile::WriteInt32(std::int32_t value) {
    return WriteTag(format::kInteger, static_cast<std::uint32_t>(value));
}

bool ScrambledRecordFile::ReadInt32(std::int32_t& value) {
    std::uint32_t raw = 0;
    if (!ReadTagged(format::kInteger, raw)) {
        return false;
    }
    value = static_cast<std::int32_t>(raw);
    return true;
}

bool ScrambledRecordFile::WriteBool(std::uint32_t value) {
    return WriteTag(format::kTruth, value);
}

bool ScrambledRecordFile::ReadBool(std::uint32_t& value) {
    return ReadTagged(format::kTruth, value);
}

bool ScrambledRecordFile::WriteBlob(const void* bytes, std::uint32_t length) {
    return WriteTag(format::kBlob, length) && (length == 0 || RawWrite(bytes, length));
}

std::uint32_t ScrambledRecordFile::ReadBlob(void* buffer, std::uint32_t capacity) {
    std::uint32_t length = 0;
    if (!ReadTagged(format::kBlob, length)) {
        return 0;
    }
    if (!buffer) {
        return RawSeek(-static_cast<std::int64_t>(format::kRecordHead), Origin::Current) ? length
                                                                                         : 0;
    }
    if (capacity < length || length > Remaining()) {
        return 0;
    }
    return static_cast<std::uint32_t>(RawRead(buffer, length));
}
