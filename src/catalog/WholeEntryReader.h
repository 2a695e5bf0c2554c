#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "catalog/EntryReader.h"
#include "catalog/WholeEntry.h"

// The fast path: entries taken whole (ParseWholeEntry) from one read of the image, many per
// read. An entry this declines leaves the file and the section as they were.
class WholeEntryReader : public EntryReader {
  public:
    bool ReadEntry(ScrambledRecordFile& file, CatalogSection& section) override;

  private:
    // Bytes of the image read at once.
    static constexpr std::size_t kWindow = 4096;

    // Parses the entry at the file's position from the window, when the window holds it.
    std::size_t ParseAt(std::size_t position);

    std::array<std::uint8_t, kWindow> window;
    std::size_t windowStart = 0;  // image offset of window[0]
    std::size_t windowSize = 0;   // bytes the window holds
    WholeEntry entry;
};
