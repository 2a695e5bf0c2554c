#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <limits>
#include <thread>

#ifndef _WIN32
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "CatalogTestFiles.h"
#include "catalog/ScrambledRecordFile.h"

namespace {

using Status = ScrambledRecordFile::LoadStatus;

// Opens the raw operations to the tests.
class OpenImage : public ScrambledRecordFile {
  public:
    OpenImage() : ScrambledRecordFile(24117, 51893, 30562) {}
    using ScrambledRecordFile::RawRead;
    using ScrambledRecordFile::RawSeek;
    using ScrambledRecordFile::RawSetLength;
    using ScrambledRecordFile::RawWrite;
    using ScrambledRecordFile::ReadTag;

    void Put(const Bytes& bytes) { ASSERT_TRUE(RawWrite(bytes.data(), bytes.size())); }
    void Rewind() { ASSERT_TRUE(RawSeek(4, Origin::Begin)); }
};

Bytes Header(std::uint16_t m = 24117, std::uint16_t i = 51893, std::uint16_t s = 30562) {
    return DiskImage({}, {m, i, s}, {m, i, s});
}

TEST(ScrambledImage, NewObjectHoldsZeroPrefixAtPositionFour) {
    OpenImage file;
    EXPECT_EQ(file.ImageBytes(), (Bytes{0, 0, 0, 0}));
    EXPECT_EQ(file.Position(), 4u);
    EXPECT_EQ(file.Length(), 4u);
}

TEST(ScrambledImage, ScrambleSetsMarkerSumOrAndKeyedBytes) {
    OpenImage file;
    file.Put({0x61, 0x62, 0x63});
    EXPECT_TRUE(file.Scramble());
    EXPECT_EQ(file.ImageBytes(), (Bytes{0x1A, 0x26, 0x63, 0x26, 0xB8, 0xC4, 0x70}));

    EXPECT_TRUE(file.UnscrambleAndVerify());
    EXPECT_EQ(file.ImageBytes(), (Bytes{0x1A, 0x26, 0x63, 0x26, 0x61, 0x62, 0x63}));
    EXPECT_EQ(file.Position(), 4u);
}

TEST(ScrambledImage, EmptyBodyScramblesToBareMarker) {
    OpenImage file;
    EXPECT_TRUE(file.Scramble());
    EXPECT_EQ(file.ImageBytes(), (Bytes{0x1A, 0, 0, 0}));
    EXPECT_TRUE(file.UnscrambleAndVerify());
}

TEST(ScrambledImage, VerifyNamesTheFailedCheckAndStillDecodes) {
    OpenImage file;
    file.Put({0x61, 0x62, 0x63});
    file.Scramble();
    // Flip a bit the OR already has: the sum changes, the OR does not.
    ASSERT_TRUE(file.RawSeek(4, ScrambledRecordFile::Origin::Begin));
    const std::uint8_t changed = 0xB8 ^ 0x01;
    file.RawWrite(&changed, 1);
    EXPECT_FALSE(file.UnscrambleAndVerify());
    EXPECT_TRUE(file.LastCheck().markerGood);
    EXPECT_EQ(file.LastCheck().storedSum, 0x26);
    EXPECT_EQ(file.LastCheck().computedSum, 0x25);
    EXPECT_EQ(file.LastCheck().computedOr, 0x63);
    EXPECT_EQ(file.ImageBytes(), (Bytes{0x1A, 0x26, 0x63, 0x26, 0x60, 0x62, 0x63}));

    OpenImage unmarked;
    unmarked.Put({0x61});
    unmarked.Scramble();
    ASSERT_TRUE(unmarked.RawSeek(0, ScrambledRecordFile::Origin::Begin));
    const std::uint8_t zero = 0;
    unmarked.RawWrite(&zero, 1);
    EXPECT_FALSE(unmarked.UnscrambleAndVerify());
    EXPECT_FALSE(unmarked.LastCheck().markerGood);
}

TEST(ScrambledDisk, EmptyObjectSavesAsTwentyBytes) {
    ScratchDir dir;
    ScrambledRecordFile file(24117, 51893, 30562);
    ASSERT_TRUE(file.SaveToDisk(dir.File("empty.crt"), false));
    EXPECT_EQ(ReadAll(dir.File("empty.crt")),
              (Bytes{0x1A, 0x1A, 0x35, 0x5E, 0xB5, 0xCA, 0x62, 0x77, 0, 0,
                     0,    0,    0,    0,    0,    0,    0x1A, 0,    0, 0}));
    EXPECT_EQ(file.Position(), 4u);
    EXPECT_EQ(file.ImageBytes(), (Bytes{0x1A, 0, 0, 0}));
}

TEST(ScrambledDisk, SavedRecordsLoadBackWithTheHeaderGenerator) {
    ScratchDir dir;
    ScrambledRecordFile out(1, 2, 3);
    ASSERT_TRUE(out.WriteString("abc"));
    ASSERT_TRUE(out.SaveToDisk(dir.File("a.crt"), false));
    EXPECT_EQ(ReadAll(dir.File("a.crt")),
              DiskImage(Stream().Str("abc").data, {1, 2, 3}, {1, 2, 3}));

    ScrambledRecordFile in(24117, 51893, 30562);
    ASSERT_TRUE(in.LoadFromDisk(dir.File("a.crt"), false));
    EXPECT_EQ(in.Multiplier(), 1);
    EXPECT_EQ(in.Increment(), 2);
    EXPECT_EQ(in.Seed(), 3);
    std::string text;
    EXPECT_TRUE(in.ReadString(text));
    EXPECT_EQ(text, "abc");
}

TEST(ScrambledDisk, ShortOrForeignFilesAreRefused) {
    ScratchDir dir;
    struct Case {
        const char* name;
        Bytes bytes;
        Status status;
    };
    Bytes headerOnly = Header();
    headerOnly.resize(16);
    Bytes shortHeader = headerOnly;
    shortHeader.resize(15);
    Bytes badMagic = Header();
    badMagic[1] = 0x1B;
    Bytes badMarker = Header();
    badMarker[16] = 0x1B;
    const Case cases[] = {
        {"zero bytes", {}, Status::HeaderShort},
        {"fifteen bytes", shortHeader, Status::HeaderShort},
        // The image keeps the new object's zero prefix, whose byte 0 is not the marker.
        {"header only", headerOnly, Status::BadMarker},
        {"bad magic", badMagic, Status::BadMagic},
        {"bad marker", badMarker, Status::BadMarker},
    };
    for (const Case& c : cases) {
        WriteAll(dir.File("f.crt"), c.bytes);
        ScrambledRecordFile file(24117, 51893, 30562);
        EXPECT_EQ(file.Load(dir.File("f.crt"), false), c.status) << c.name;
        EXPECT_FALSE(file.LoadFromDisk(dir.File("f.crt"), false)) << c.name;
    }
}

TEST(ScrambledDisk, BodiesShorterThanThePrefixKeepItsZeros) {
    // The body overwrites the new object's zero prefix from byte 0 on; what it does not reach
    // stays zero, so a stored sum or OR the body does reach must be zero as well.
    struct Case {
        Bytes body;
        Status status;
    };
    const Case cases[] = {
        {{0x1A}, Status::Loaded},       {{0x1A, 0}, Status::Loaded},
        {{0x1A, 0, 0}, Status::Loaded}, {{0x1A, 7}, Status::BadSum},
        {{0x1A, 0, 7}, Status::BadOr},  {{0x1B, 0, 0}, Status::BadMarker},
    };
    ScratchDir dir;
    for (const Case& c : cases) {
        Bytes bytes = Header();
        bytes.resize(16);
        bytes.insert(bytes.end(), c.body.begin(), c.body.end());
        WriteAll(dir.File("f.crt"), bytes);
        ScrambledRecordFile file(24117, 51893, 30562);
        EXPECT_EQ(file.Load(dir.File("f.crt"), false), c.status) << c.body.size();
        Bytes image = c.body;
        image.resize(4, 0);
        EXPECT_EQ(file.ImageBytes(), image) << c.body.size();
        if (c.status == Status::Loaded) {
            EXPECT_EQ(file.Position(), 4u);
            EXPECT_EQ(file.Remaining(), 0u);
        }
    }
}

TEST(ScrambledDisk, KeyByteIsUsedAsStoredAndNotComparedWithTheSum) {
    ScratchDir dir;
    const Bytes stream = Stream().Str("abc").data;
    const Bytes bytes = DiskImage(stream, {}, {}, 0xC3);
    ASSERT_NE(bytes[17], 0xC3);  // the sum
    WriteAll(dir.File("f.crt"), bytes);
    ScrambledRecordFile file(24117, 51893, 30562);
    ASSERT_TRUE(file.LoadFromDisk(dir.File("f.crt"), false));
    std::string text;
    EXPECT_TRUE(file.ReadString(text));
    EXPECT_EQ(text, "abc");
    EXPECT_EQ(file.ImageBytes()[3], 0xC3);
}

TEST(ScrambledDisk, ReservedHeaderBytesAreIgnored) {
    ScratchDir dir;
    Bytes bytes = DiskImage(Stream().Int(7).data);
    for (int i = 8; i < 16; ++i) {
        bytes[i] = static_cast<std::uint8_t>(0xF0 + i);
    }
    WriteAll(dir.File("f.crt"), bytes);
    ScrambledRecordFile file(24117, 51893, 30562);
    ASSERT_TRUE(file.LoadFromDisk(dir.File("f.crt"), false));
    std::int32_t value = 0;
    EXPECT_TRUE(file.ReadInt32(value));
    EXPECT_EQ(value, 7);
}

TEST(ScrambledDisk, HeaderWithOtherGeneratorFailsOnSumOrOr) {
    ScratchDir dir;
    const Bytes stream = Stream().Str("Some article text").Int(12345).data;
    WriteAll(dir.File("f.crt"), DiskImage(stream, {24117, 51893, 30563}, {}));
    ScrambledRecordFile file(24117, 51893, 30562);
    const Status status = file.Load(dir.File("f.crt"), false);
    EXPECT_TRUE(status == Status::BadSum || status == Status::BadOr);
    EXPECT_FALSE(file.LastCheck().Good());
}

TEST(ScrambledDisk, OnlyTheLowBytesOfTheGeneratorValuesCount) {
    // The stream byte is the low byte of the state, and the low byte of each step depends on
    // the low bytes of multiplier, increment and state alone: header bytes 3, 5 and 7 never
    // change what a file decodes to.
    ScratchDir dir;
    const Bytes stream = Stream().Str("Some article text").Int(12345).data;
    const Generator claimed{24117 ^ 0xA500, 51893 ^ 0x0100, 30562 ^ 0xFF00};
    WriteAll(dir.File("f.crt"), DiskImage(stream, claimed, {}));
    ScrambledRecordFile file(24117, 51893, 30562);
    ASSERT_TRUE(file.LoadFromDisk(dir.File("f.crt"), false));
    EXPECT_EQ(file.Multiplier(), claimed.multiplier);
    EXPECT_EQ(file.Seed(), claimed.seed);
    const Bytes image = file.ImageBytes();
    EXPECT_TRUE(std::equal(stream.begin(), stream.end(), image.begin() + 4));
}

TEST(ScrambledDisk, LongBodiesDecodeAcrossTheGeneratorPeriod) {
    // Bodies past 65536 bytes, with odd multipliers (periodic stream) and even ones (a stream
    // that settles on a fixed value), against the serial generator of the test helper.
    ScratchDir dir;
    Bytes stream(200003);
    for (std::size_t i = 0; i < stream.size(); ++i) {
        stream[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
    }
    for (Generator g : {Generator{}, Generator{4, 1, 9}, Generator{0, 0, 0},
                        Generator{65535, 65535, 65535}, Generator{2, 7, 1}}) {
        WriteAll(dir.File("long.crt"), DiskImage(stream, g, g));
        ScrambledRecordFile file(24117, 51893, 30562);
        ASSERT_TRUE(file.LoadFromDisk(dir.File("long.crt"), false)) << g.multiplier;
        const Bytes image = file.ImageBytes();
        ASSERT_EQ(image.size(), stream.size() + 4);
        EXPECT_TRUE(std::equal(stream.begin(), stream.end(), image.begin() + 4)) << g.multiplier;

        ScrambledRecordFile again(g.multiplier, g.increment, g.seed);
        again.Load(dir.File("long.crt"), false);
        ASSERT_TRUE(again.SaveToDisk(dir.File("again.crt"), true));
        Bytes expected = DiskImage(stream, g, g);
        EXPECT_EQ(ReadAll(dir.File("again.crt")), expected) << g.multiplier;
    }
}

TEST(ScrambledDisk, MissingFileIsCreatedOnlyWhenAsked) {
    ScratchDir dir;
    const std::string path = dir.File("missing.crt");
    ScrambledRecordFile file(24117, 51893, 30562);
    EXPECT_EQ(file.Load(path, false), Status::NotOpened);
    EXPECT_FALSE(std::filesystem::exists(path));

    EXPECT_TRUE(file.LoadFromDisk(path, true));
    ASSERT_TRUE(std::filesystem::exists(path));
    EXPECT_EQ(std::filesystem::file_size(path), 0u);
    EXPECT_EQ(file.ImageBytes(), (Bytes{0, 0, 0, 0}));

    ScrambledRecordFile later(24117, 51893, 30562);
    EXPECT_EQ(later.Load(path, true), Status::HeaderShort);
}

TEST(ScrambledDisk, SaveWithoutOverwriteLeavesAnExistingFileAlone) {
    ScratchDir dir;
    const std::string path = dir.File("install.crt");
    const Bytes before = {'k', 'e', 'e', 'p'};
    WriteAll(path, before);
    ScrambledRecordFile file(24117, 51893, 30562);
    file.WriteInt32(1);
    EXPECT_FALSE(file.SaveToDisk(path, false));
    EXPECT_EQ(ReadAll(path), before);

    ScrambledRecordFile replacing(24117, 51893, 30562);
    replacing.WriteInt32(1);
    EXPECT_TRUE(replacing.SaveToDisk(path, true));
    EXPECT_EQ(ReadAll(path), DiskImage(Stream().Int(1).data));
}

TEST(ScrambledDisk, ADirectoryIsNeitherLoadedNorReplaced) {
    ScratchDir dir;
    ScrambledRecordFile file(24117, 51893, 30562);
    EXPECT_FALSE(file.LoadFromDisk(dir.path.string(), false));
    EXPECT_FALSE(file.SaveToDisk(dir.path.string(), true));
    EXPECT_TRUE(std::filesystem::is_directory(dir.path));
}

TEST(ScrambledDisk, AnImageLongerThanTheFileDecodesAsIfTheFileWentOn) {
    // The body overwrites the image from byte 0 on; what lies beyond it is decoded with it.
    ScratchDir dir;
    const Bytes shortFile = DiskImage(Stream().Str("abc").data);
    WriteAll(dir.File("short.crt"), shortFile);
    OpenImage held;
    held.Put(Bytes(100, 0x5A));
    Bytes longFile = shortFile;
    const Bytes image = held.ImageBytes();
    longFile.insert(longFile.end(), image.begin() + (shortFile.size() - 16), image.end());
    WriteAll(dir.File("long.crt"), longFile);

    const Status status = held.Load(dir.File("short.crt"), false);
    ScrambledRecordFile fresh(24117, 51893, 30562);
    EXPECT_EQ(status, fresh.Load(dir.File("long.crt"), false));
    EXPECT_EQ(held.ImageBytes(), fresh.ImageBytes());
    EXPECT_EQ(held.LastCheck().computedSum, fresh.LastCheck().computedSum);
}

#ifndef _WIN32
// Writes bytes into a pipe one piece at a time, each once the one before has been read, so
// that each read at the other end takes one piece.
void WritePieces(const std::string& pipe, const Bytes& bytes, std::vector<std::size_t> sizes) {
    const int fd = open(pipe.c_str(), O_WRONLY);
    std::size_t at = 0;
    for (std::size_t size : sizes) {
        int queued = 0;
        pollfd end = {fd, 0, 0};
        while (ioctl(fd, FIONREAD, &queued) == 0 && queued > 0 && poll(&end, 1, 0) == 0) {
            std::this_thread::yield();
        }
        size = std::min(size, bytes.size() - at);
        if (write(fd, bytes.data() + at, size) != static_cast<ssize_t>(size)) {
            break;  // the reader is gone
        }
        at += size;
    }
    close(fd);
}

TEST(ScrambledDisk, ABodyThatComesInSmallPiecesDecodesAsAWholeOne) {
    // Pieces end inside the header, the prefix and the body; the key byte comes alone before
    // the body, or in a piece that begins inside the prefix and goes on into the body.
    std::signal(SIGPIPE, SIG_IGN);  // a reader that stops early fails the test, not the run
    const Bytes whole = DiskImage(Stream().Str("some text").Int(7).data);
    for (const std::vector<std::size_t>& sizes : {std::vector<std::size_t>{10, 7, 2, 1, 1, 3, 99},
                                                  std::vector<std::size_t>{16, 2, 5, 99}}) {
        ScratchDir dir;
        const std::string pipe = dir.File("pipe.crt");
        ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
        std::thread writer(WritePieces, pipe, whole, sizes);
        ScrambledRecordFile file(24117, 51893, 30562);
        EXPECT_EQ(file.Load(pipe, false), Status::Loaded) << sizes.size();
        writer.join();
        std::string text;
        EXPECT_TRUE(file.ReadString(text));
        EXPECT_EQ(text, "some text");
    }
}

TEST(ScrambledDisk, ReadAndWriteErrorsFail) {
    ScratchDir dir;
    ScrambledRecordFile reading(24117, 51893, 30562);
    EXPECT_EQ(reading.Load(dir.path.string(), false), Status::ReadError);
    if (std::filesystem::exists("/dev/full")) {
        ScrambledRecordFile writing(24117, 51893, 30562);
        EXPECT_FALSE(writing.SaveToDisk("/dev/full", true));
    }
}
#endif

TEST(ScrambledRecords, WritesGiveTheTaggedLittleEndianBytes) {
    OpenImage file;
    EXPECT_TRUE(file.WriteString("ab"));
    EXPECT_TRUE(file.WriteString(""));
    EXPECT_TRUE(file.WriteInt32(-2));
    EXPECT_TRUE(file.WriteBool(0x01020304));
    const std::uint8_t blob[] = {9, 8};
    EXPECT_TRUE(file.WriteBlob(blob, 2));
    EXPECT_TRUE(file.WriteBlob(nullptr, 0));
    EXPECT_EQ(file.ImageBytes(),
              (Bytes{0,    0,    0, 0, 1, 2, 0, 0, 0, 'a', 'b', 1, 0, 0, 0, 0, 2, 0xFE, 0xFF,
                     0xFF, 0xFF, 3, 4, 3, 2, 1, 4, 2, 0,   0,   0, 9, 8, 4, 0, 0, 0,    0}));
}

TEST(ScrambledRecords, StringStopsAtItsFirstZeroAndConsumesAllItsBytes) {
    OpenImage file;
    file.Put(Stream().Str(std::string("ab\0cd", 5)).Int(5).data);
    file.Rewind();
    std::string text = "old";
    EXPECT_TRUE(file.ReadString(text));
    EXPECT_EQ(text, "ab");
    std::int32_t next = 0;
    EXPECT_TRUE(file.ReadInt32(next));
    EXPECT_EQ(next, 5);
}

TEST(ScrambledRecords, MismatchedTagConsumesOneByteAndKeepsTheOutParameter) {
    OpenImage file;
    file.Put(Stream().Int(5).data);
    file.Rewind();
    std::string text = "kept";
    EXPECT_FALSE(file.ReadString(text));
    EXPECT_EQ(text, "kept");
    EXPECT_EQ(file.Position(), 5u);

    file.Rewind();
    EXPECT_FALSE(file.ReadTag(3));
    EXPECT_EQ(file.Position(), 5u);
}

TEST(ScrambledRecords, RecordsCutShortByTheEndOfTheImageFail) {
    // What a failed read consumed stays consumed; a text the image cannot hold is not read.
    struct Case {
        const char* name;
        Bytes bytes;
        std::size_t consumed;
    };
    const Case cases[] = {
        {"string length cut", {1, 5, 0}, 3},
        {"string text cut", {1, 5, 0, 0, 0, 'a', 'b'}, 5},
        {"string length beyond any memory", {1, 0xFF, 0xFF, 0xFF, 0xFF, 'a'}, 5},
        {"integer cut", {2, 1, 2, 3}, 4},
        {"no bytes at all", {}, 0},
    };
    for (const Case& c : cases) {
        OpenImage file;
        file.Put(c.bytes);
        file.Rewind();
        std::string text = "kept";
        std::int32_t number = 77;
        EXPECT_FALSE(c.bytes.size() > 0 && c.bytes[0] == 2 ? file.ReadInt32(number)
                                                           : file.ReadString(text))
            << c.name;
        EXPECT_EQ(text, "kept") << c.name;
        EXPECT_EQ(number, 77) << c.name;
        EXPECT_EQ(file.Position(), 4 + c.consumed) << c.name;
    }
}

TEST(ScrambledRecords, BlobLengthProbeLeavesTheRecordInPlace) {
    OpenImage file;
    file.Put(Stream().Blob({1, 2, 3}).Blob({}).data);
    file.Rewind();
    EXPECT_EQ(file.ReadBlob(nullptr, 0), 3u);
    EXPECT_EQ(file.Position(), 4u);

    std::uint8_t small[2] = {0, 0};
    EXPECT_EQ(file.ReadBlob(small, 2), 0u);  // too small: tag and length consumed
    EXPECT_EQ(file.Position(), 9u);

    file.Rewind();
    std::uint8_t large[8] = {};
    EXPECT_EQ(file.ReadBlob(large, sizeof large), 3u);
    EXPECT_EQ(large[0], 1);
    EXPECT_EQ(large[2], 3);
    EXPECT_EQ(large[3], 0);

    EXPECT_EQ(file.ReadBlob(nullptr, 0), 0u);  // empty blob: probe, then consume
    EXPECT_EQ(file.ReadBlob(large, 0), 0u);
    EXPECT_EQ(file.Remaining(), 0u);
}

TEST(ScrambledRecords, BlobLengthProbeOnAnotherRecordFails) {
    // A record of another kind: its tag byte is consumed, as for every read of the wrong kind.
    OpenImage file;
    file.Put(Stream().Int(5).data);
    file.Rewind();
    EXPECT_EQ(file.ReadBlob(nullptr, 0), 0u);
    EXPECT_EQ(file.Position(), 5u);
    // At the end of the image there is nothing to consume: the position stays, as it does for
    // an empty blob, so only the bytes remaining tell the two apart.
    OpenImage empty;
    EXPECT_EQ(empty.ReadBlob(nullptr, 0), 0u);
    EXPECT_EQ(empty.Position(), 4u);
}

TEST(ScrambledRecords, BlobLongerThanTheImageReadsNothing) {
    OpenImage file;
    file.Put(Stream().U32(0).data);  // filler so the blob does not start at byte 4
    file.Put({4, 0xFF, 0xFF, 0xFF, 0x7F, 1, 2});
    ASSERT_TRUE(file.RawSeek(8, ScrambledRecordFile::Origin::Begin));
    EXPECT_EQ(file.ReadBlob(nullptr, 0), 0x7FFFFFFFu);
    std::uint8_t buffer[4] = {0xEE, 0xEE, 0xEE, 0xEE};
    EXPECT_EQ(file.ReadBlob(buffer, 0xFFFFFFFFu), 0u);
    EXPECT_EQ(buffer[0], 0xEE);
}

TEST(ScrambledRecords, RawFaultsBecomeFalseResults) {
    OpenImage file;
    EXPECT_FALSE(file.RawSeek(-5, ScrambledRecordFile::Origin::Begin));
    EXPECT_FALSE(file.RawSeek(-5, ScrambledRecordFile::Origin::Current));
    EXPECT_FALSE(
        file.RawSeek(std::numeric_limits<std::int64_t>::min(), ScrambledRecordFile::Origin::End));
    EXPECT_EQ(file.Position(), 4u);
    EXPECT_FALSE(file.RawSetLength(std::numeric_limits<std::size_t>::max()));
    EXPECT_EQ(file.Length(), 4u);
    // A position past the end reads nothing and a write there fills the gap with zeros.
    ASSERT_TRUE(file.RawSeek(6, ScrambledRecordFile::Origin::Begin));
    std::uint8_t byte = 0;
    EXPECT_EQ(file.RawRead(&byte, 1), 0u);
    file.Put({7});
    EXPECT_EQ(file.ImageBytes(), (Bytes{0, 0, 0, 0, 0, 0, 7}));
}

}  // namespace
