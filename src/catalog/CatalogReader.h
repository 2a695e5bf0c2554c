#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "catalog/CatalogSection.h"
#include "catalog/ScrambledRecordFile.h"

// What a load found, for tools that report on a file.
struct CatalogLoadReport {
    ScrambledRecordFile::LoadStatus status = ScrambledRecordFile::LoadStatus::NotOpened;
    ScrambledRecordFile::Check check;
    std::uint16_t multiplier = 0;
    std::uint16_t increment = 0;
    std::uint16_t seed = 0;
    std::size_t imageLength = 0;
    // Image offset up to which the stream read in full: the end of the last entry, section head
    // (name and entry count) or section count that was read whole. When the stream breaks off,
    // this is where the entry or section head that breaks off begins.
    std::size_t streamEnd = 0;
    // False when a record could not be read before the counts were satisfied.
    bool streamComplete = false;
    std::size_t entriesRead = 0;
};

// The one reader of catalogue files: adds the sections of the file at path to sections. False
// when the file cannot be opened or does not verify; sections are then unchanged. A verified
// file always loads: reading stops at the first record that cannot be read, keeping what came
// before.
bool ReadCatalog(const std::string& path, CatalogSections& sections, CatalogLoadReport& report);
