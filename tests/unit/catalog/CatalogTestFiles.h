#pragma once

// Test helpers: a scratch folder, whole-file reads and writes, and a record stream builder that
// encodes and scrambles on its own (serial generator), independent of the code under test.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

class ScratchDir {
  public:
    ScratchDir() {
        std::random_device random;
        path = std::filesystem::temp_directory_path() /
               ("catalog-test-" + std::to_string(random()) + std::to_string(random()));
        std::filesystem::create_directories(path);
    }
    ~ScratchDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    std::string File(const std::string& name) const { return (path / name).string(); }

    std::filesystem::path path;
};

inline Bytes ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteAll(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

// Plain record stream under construction.
class Stream {
  public:
    Stream& Raw(std::initializer_list<int> bytes) {
        for (int b : bytes) {
            data.push_back(static_cast<std::uint8_t>(b));
        }
        return *this;
    }
    Stream& U32(std::uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            data.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
        }
        return *this;
    }
    Stream& Str(const std::string& text) {
        data.push_back(1);
        U32(static_cast<std::uint32_t>(text.size()));
        data.insert(data.end(), text.begin(), text.end());
        return *this;
    }
    Stream& Int(std::int32_t v) {
        data.push_back(2);
        return U32(static_cast<std::uint32_t>(v));
    }
    Stream& Truth(std::uint32_t v) {
        data.push_back(3);
        return U32(v);
    }
    Stream& Blob(const Bytes& bytes) {
        data.push_back(4);
        U32(static_cast<std::uint32_t>(bytes.size()));
        data.insert(data.end(), bytes.begin(), bytes.end());
        return *this;
    }
    // key, type code, value record
    Stream& EntryS(const std::string& key, const std::string& text) {
        return Str(key).Int('S').Str(text);
    }

    Bytes data;
};

struct Generator {
    std::uint16_t multiplier = 24117;
    std::uint16_t increment = 51893;
    std::uint16_t seed = 30562;
};

// The disk form of a plain record stream: header, prefix (marker, sum, OR, key) and scrambled
// body. headerGenerator is what the header claims; scrambleGenerator what was used; the key
// byte is the sum unless one is given.
inline Bytes DiskImage(const Bytes& stream, Generator headerGenerator = {},
                       Generator scrambleGenerator = {},
                       std::optional<std::uint8_t> givenKey = std::nullopt) {
    Bytes file = {0x1A, 0x1A};
    for (std::uint16_t v :
         {headerGenerator.multiplier, headerGenerator.increment, headerGenerator.seed}) {
        file.push_back(static_cast<std::uint8_t>(v));
        file.push_back(static_cast<std::uint8_t>(v >> 8));
    }
    file.resize(16, 0);
    std::uint8_t sum = 0;
    std::uint8_t bitOr = 0;
    for (std::uint8_t b : stream) {
        sum = static_cast<std::uint8_t>(sum + b);
        bitOr |= b;
    }
    const std::uint8_t key = givenKey.value_or(sum);
    file.insert(file.end(), {26, sum, bitOr, key});
    std::uint16_t s = scrambleGenerator.seed;
    for (std::uint8_t b : stream) {
        s = static_cast<std::uint16_t>(std::uint32_t{scrambleGenerator.multiplier} * s +
                                       scrambleGenerator.increment);
        file.push_back(static_cast<std::uint8_t>(b ^ (s & 0xFF) ^ key));
    }
    return file;
}
