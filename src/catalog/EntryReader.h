#pragma once

#include "catalog/CatalogSection.h"
#include "catalog/ScrambledRecordFile.h"

// One way of taking a section's entries from the record stream. The loader asks the fast whole
// entry reader first and the record by record reader where it declines; the fuzz target holds
// the two to the same result wherever both take an entry.
class EntryReader {
  public:
    virtual ~EntryReader() = default;

    // Takes the entry at the file's position into section and moves the position past it:
    // true. False when this reader does not take it (see each reader for what that leaves).
    virtual bool ReadEntry(ScrambledRecordFile& file, CatalogSection& section) = 0;
};
