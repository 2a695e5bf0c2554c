#pragma once

// Test helpers: a scratch folder, whole-file reads and writes, and a record stream builder that
// lays out the bytes as the format says (CatalogFormat.h) and scrambles on its own (serial
// generator), independent of the code under test.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "catalog/CatalogFormat.h"

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
        std::uint8_t coded[4];
        catalog_format::PutLe32(coded, v);
        data.insert(data.end(), coded, coded + 4);
        return *this;
    }
    Stream& Str(const std::string& text) {
        data.push_back(catalog_format::kString);
        U32(static_cast<std::uint32_t>(text.size()));
        data.insert(data.end(), text.begin(), text.end());
        return *this;
    }
    Stream& Int(std::int32_t v) {
        data.push_back(catalog_format::kInteger);
        return U32(static_cast<std::uint32_t>(v));
    }
    Stream& Truth(std::uint32_t v) {
        data.push_back(catalog_format::kTruth);
        return U32(v);
    }
    Stream& Blob(const Bytes& bytes) {
        data.push_back(catalog_format::kBlob);
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

using Generator = catalog_format::Generator;

// The disk form of a plain record stream: header, prefix (marker, sum, OR, key) and scrambled
// body. headerGenerator is what the header claims; scrambleGenerator what was used; the key
// byte is the sum unless one is given.
inline Bytes DiskImage(const Bytes& stream, Generator headerGenerator = {},
                       Generator scrambleGenerator = {},
                       std::optional<std::uint8_t> givenKey = std::nullopt) {
    Bytes file(catalog_format::kHeaderSize + catalog_format::kPrefixSize);
    catalog_format::PutHeader(file.data(), headerGenerator);
    std::uint8_t sum = 0;
    std::uint8_t bitOr = 0;
    for (std::uint8_t b : stream) {
        sum = static_cast<std::uint8_t>(sum + b);
        bitOr |= b;
    }
    std::uint8_t* prefix = file.data() + catalog_format::kHeaderSize;
    catalog_format::PutPrefix(prefix, sum, bitOr);
    const std::uint8_t key = givenKey.value_or(sum);
    prefix[3] = key;
    std::uint16_t s = scrambleGenerator.seed;
    for (std::uint8_t b : stream) {
        s = static_cast<std::uint16_t>(std::uint32_t{scrambleGenerator.multiplier} * s +
                                       scrambleGenerator.increment);
        file.push_back(static_cast<std::uint8_t>(b ^ (s & 0xFF) ^ key));
    }
    return file;
}
