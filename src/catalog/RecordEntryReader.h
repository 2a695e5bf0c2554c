#pragma once

#include <string>

#include "catalog/CatalogValue.h"
#include "catalog/EntryReader.h"

// The record by record path, which takes every entry the stream holds whole and decides how a
// stream that breaks off or holds records of the wrong kind loads. False means the stream
// breaks off at this entry: the file's position is then wherever the records stopped, and the
// key read, if any, holds nothing in the section (so no entry ever holds fewer bytes than its
// type letter says).
class RecordEntryReader : public EntryReader {
  public:
    bool ReadEntry(ScrambledRecordFile& file, CatalogSection& section) override;

  private:
    bool ReadValue(ScrambledRecordFile& file, CatalogValue& value);
    bool ReadBlobValue(ScrambledRecordFile& file, CatalogValue& value);

    std::string scratch;  // one buffer for every string value read
};
