#pragma once

#include <string>

#include "catalog/CatalogReader.h"
#include "catalog/CatalogSection.h"

// Section name -> section, read from a catalogue file (CatalogReader) and written to one
// (CatalogWriter) only when Save is called.
class CatalogStore {
  public:
    using SectionMap = CatalogSections;
    using LoadReport = CatalogLoadReport;

    CatalogStore() = default;
    CatalogStore(const CatalogStore&) = delete;
    CatalogStore& operator=(const CatalogStore&) = delete;
    virtual ~CatalogStore() = default;

    // Adds the sections of the file to those held. False when the file cannot be opened or
    // does not verify; the store is then unchanged. A verified file always loads: reading stops
    // at the first record that cannot be read, keeping what came before.
    bool Load(const std::string& path, LoadReport* report = nullptr);
    // An empty path means the path of the last successful Load. Nothing reaches the disk when
    // the records cannot be put together in memory.
    bool Save(const std::string& path, bool overwrite) const;

    // The value's bytes as zero-terminated text; empty when the section or key is missing.
    std::string GetValueText(const std::string& section, const std::string& key) const;

    const CatalogSection* FindSection(const std::string& name) const;
    // The section of that name, made empty when it is not there yet.
    CatalogSection& Section(const std::string& name);
    const SectionMap& Sections() const { return sections; }
    const std::string& Path() const { return path; }

  private:
    SectionMap sections;
    std::string path;
};
