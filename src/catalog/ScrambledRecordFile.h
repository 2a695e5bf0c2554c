#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "catalog/CatalogFormat.h"
#include "catalog/Keystream.h"
#include "catalog/MemoryFile.h"

class DiskFile;

// The container of the catalogue file: the whole content as one in-memory image on which typed
// records are written and read one after another, and its way to and from the disk (header,
// prefix and scrambling as CatalogFormat.h lays them out).
//
// Every operation reaches the image through the raw operations only; they turn faults of the
// memory file into false results (0 bytes for a read), so nothing is ever thrown from here.
// Position and length, which cannot fault, are read as they stand.
class ScrambledRecordFile : private MemoryFile {
  public:
    using Origin = MemoryFile::Origin;

    // Disk reads and writes and the passes over the body go in pieces of this size.
    static constexpr std::size_t kChunkSize = 65536;

    // How the last load went, for tools that say why a file was refused.
    enum class LoadStatus {
        Loaded,
        Created,      // missing, and created empty as asked
        NotOpened,    // missing or held by another opener
        HeaderShort,  // fewer than 16 header bytes
        BadMagic,     // header does not begin with 1A 1A
        ReadError,    // the platform reported an error in the body
        ImageFault,   // the memory image could not take the content
        BadMarker,
        BadSum,
        BadOr,
    };

    // The checks of the last UnscrambleAndVerify.
    struct Check {
        bool markerGood = false;
        std::uint8_t storedSum = 0;
        std::uint8_t computedSum = 0;
        std::uint8_t storedOr = 0;
        std::uint8_t computedOr = 0;
        bool Good() const {
            return markerGood && storedSum == computedSum && storedOr == computedOr;
        }
    };

    ScrambledRecordFile(std::uint16_t multiplier, std::uint16_t increment, std::uint16_t seed);
    explicit ScrambledRecordFile(catalog_format::Generator generator)
        : ScrambledRecordFile(generator.multiplier, generator.increment, generator.seed) {}
    ~ScrambledRecordFile() override;

    bool LoadFromDisk(const std::string& path, bool createIfMissing);
    LoadStatus Load(const std::string& path, bool createIfMissing);
    bool SaveToDisk(const std::string& path, bool overwrite);

    bool Scramble();
    bool UnscrambleAndVerify();
    const Check& LastCheck() const { return lastCheck; }

    bool WriteString(const std::string& text);
    bool ReadString(std::string& text);
    bool WriteInt32(std::int32_t value);
    bool ReadInt32(std::int32_t& value);
    bool WriteBool(std::uint32_t value);
    bool ReadBool(std::uint32_t& value);
    bool WriteBlob(const void* bytes, std::uint32_t length);
    // With no buffer: the stored length of the blob record at the position, which stays
    // unconsumed. With a buffer: the record's bytes, when capacity holds them all and the image
    // holds them all; 0 otherwise (the tag and length stay consumed).
    std::uint32_t ReadBlob(void* buffer, std::uint32_t capacity);

    std::uint16_t Multiplier() const { return multiplier; }
    std::uint16_t Increment() const { return increment; }
    std::uint16_t Seed() const { return seed; }

    // Up to count bytes from the position on, which stays where it is: for readers that take
    // several records from one read. Skip then moves the position on by what they took.
    std::size_t Peek(void* buffer, std::size_t count);
    bool Skip(std::size_t count);

    // Bytes between the position and the end of the image.
    std::size_t Remaining() const;
    std::size_t Position() const;
    std::size_t Length() const;
    // A copy of the whole image; the position is kept.
    std::vector<std::uint8_t> ImageBytes();

  protected:
    // A record's tag and its 32-bit word.
    bool WriteTag(std::uint8_t tag, std::uint32_t word);
    bool ReadTag(std::uint8_t tag);
    // A tag and the 32-bit value after it, read at once. A tag of another kind consumes its
    // byte only; a record cut short by the end of the image consumes what the image held.
    bool ReadTagged(std::uint8_t tag, std::uint32_t& value);

    bool RawWrite(const void* data, std::size_t count);
    std::size_t RawRead(void* buffer, std::size_t count);
    bool RawSeek(std::int64_t offset, Origin origin, std::size_t* newPosition = nullptr);
    bool RawSetLength(std::size_t length);
    // Room for length bytes; what the image holds is unchanged either way.
    bool RawReserve(std::size_t length);

  private:
    // Image bytes from to to (4 on: the body) in pieces of piece.size() bytes: each piece is
    // XORed with stream from its offset in the body and written back, or with no stream only
    // measured. totals are those of the plain bytes.
    bool PassBody(std::vector<std::uint8_t>& piece, const Keystream* stream, std::uint8_t key,
                  bool decode, Keystream::Totals& totals, std::size_t from, std::size_t to);
    // Decoding, image bytes 4 to plainEnd are plain already, with the totals plain.
    bool Transform(bool decode, std::size_t plainEnd = catalog_format::kPrefixSize,
                   Keystream::Totals plain = Keystream::Totals());
    bool UnscrambleAndVerifyFrom(std::size_t plainEnd, Keystream::Totals plain);
    LoadStatus LoadBody(const std::string& path, bool createIfMissing);
    // LoadBody's steps: the header's generator taken over (false with the failure's status), the
    // body read and unscrambled as it comes, and the status the last verify pass gives.
    bool ReadGenerator(DiskFile& file, LoadStatus& failure);
    LoadStatus ReadBody(DiskFile& file);
    LoadStatus VerifiedStatus() const;

    std::uint16_t multiplier;
    std::uint16_t increment;
    std::uint16_t seed;
    Check lastCheck;
};
