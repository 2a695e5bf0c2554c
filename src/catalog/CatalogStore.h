#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>

#include "catalog/CatalogSection.h"
#include "catalog/ScrambledRecordFile.h"

// Section name -> section, read from and written to a catalogue file. The record stream from
// image byte 4 on: the section count; per section its name, its entry count and per entry the
// key, the type letter's code and (for B, H, I, S) the value record.
class CatalogStore {
  public:
    static constexpr std::uint16_t kMultiplier = 24117;
    static constexpr std::uint16_t kIncrement = 51893;
    static constexpr std::uint16_t kSeed = 30562;

    using SectionMap = std::unordered_map<std::string, CatalogSection>;

    // What a load found, for tools that report on a file.
    struct LoadReport {
        ScrambledRecordFile::LoadStatus status = ScrambledRecordFile::LoadStatus::NotOpened;
        ScrambledRecordFile::Check check;
        std::uint16_t multiplier = 0;
        std::uint16_t increment = 0;
        std::uint16_t seed = 0;
        std::size_t imageLength = 0;
        // Image offset up to which the stream read in full: the end of the last entry, section
        // head (name and entry count) or section count that was read whole. When the stream
        // breaks off, this is where the entry or section head that breaks off begins.
        std::size_t streamEnd = 0;
        // False when a record could not be read before the counts were satisfied.
        bool streamComplete = false;
        std::size_t entriesRead = 0;
    };

    CatalogStore() = default;
    CatalogStore(const CatalogStore&) = delete;
    CatalogStore& operator=(const CatalogStore&) = delete;
    // Writes the store back to its path when modified is set.
    virtual ~CatalogStore();

    // Adds the sections of the file to those held. False when the file cannot be opened or
    // does not verify; the store is then unchanged. A verified file always loads: reading stops
    // at the first record that cannot be read, keeping what came before.
    bool Load(const std::string& path, LoadReport* report = nullptr);
    // An empty path means the path of the last successful Load. Nothing reaches the disk when
    // the records cannot be put together in memory.
    bool Save(const std::string& path, bool overwrite);

    // The value's bytes as zero-terminated text; empty when the section or key is missing.
    std::string GetValueText(const std::string& section, const std::string& key) const;

    const CatalogSection* FindSection(const std::string& name) const;
    // The section of that name, made empty when it is not there yet.
    CatalogSection& Section(const std::string& name);
    const SectionMap& Sections() const { return sections; }
    const std::string& Path() const { return path; }

    bool modified = false;

  private:
    bool ReadStream(ScrambledRecordFile& file, LoadReport& report);
    bool SaveSorted(const std::string& target, bool overwrite) const;
    // count entries: whole ones many at a time from one read of the image, the rest record by
    // record.
    bool ReadEntries(ScrambledRecordFile& file, CatalogSection& section, std::int32_t count,
                     LoadReport& report, std::string& scratch);
    bool ReadEntry(ScrambledRecordFile& file, CatalogSection& section, std::string& scratch);
    static bool ReadValue(ScrambledRecordFile& file, CatalogValue& value, std::string& scratch);

    SectionMap sections;
    std::string path;
};
