#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "catalog/CatalogValue.h"

// One entry of the record stream taken from plain bytes already read: the key's string record,
// the type code's integer record and, for B, I and S, the value record. The loader takes the
// usual entries this way, many from one read of the image; whatever this declines is read
// record by record, which decides how a stream that breaks off or holds records of the wrong
// kind loads.
struct WholeEntry {
    std::string_view key;  // within the bytes parsed, cut at its first zero byte
    CatalogValue value;
};

// The entry at bytes[0], when its records all lie whole within count bytes with the tags they
// should have and its type is not H (a blob entry has its own rules): the number of bytes it
// takes. Otherwise 0, and entry is left as it was.
std::size_t ParseWholeEntry(const std::uint8_t* bytes, std::size_t count, WholeEntry& entry);
