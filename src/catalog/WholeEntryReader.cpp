#include "catalog/WholeEntryReader.h"

#include <string>
#include <utility>

std::size_t WholeEntryReader::ParseAt(std::size_t position) {
    if (position < windowStart || position - windowStart > windowSize) {
        return 0;
    }
    const std::size_t used = position - windowStart;
    return ParseWholeEntry(window.data() + used, windowSize - used, entry);
}

bool WholeEntryReader::ReadEntry(ScrambledRecordFile& file, CatalogSection& section) {
    const std::size_t position = file.Position();
    std::size_t taken = ParseAt(position);
    if (taken == 0) {
        // The window does not hold the entry whole: read the image on from the entry.
        windowStart = position;
        windowSize = file.Peek(window.data(), window.size());
        taken = ParseAt(position);
    }
    if (taken == 0 || !file.Skip(taken)) {
        return false;
    }
    section.Set(std::string(entry.key), std::move(entry.value));
    return true;
}
