#pragma once

#include <string>
#include <unordered_map>

#include "catalog/CatalogValue.h"

// Key -> value; keys are exact, case-sensitive byte strings.
class CatalogSection {
  public:
    using EntryMap = std::unordered_map<std::string, CatalogValue>;

    CatalogSection() = default;
    CatalogSection(CatalogSection&&) = default;
    CatalogSection& operator=(CatalogSection&&) = default;
    virtual ~CatalogSection();

    // Enters value under key, replacing (and destroying) a value held under it.
    CatalogValue& Set(std::string key, CatalogValue value);
    const CatalogValue* Find(const std::string& key) const;

    void Erase(const std::string& key) { values.erase(key); }

    const EntryMap& Entries() const { return values; }
    std::size_t Size() const { return values.size(); }
    void Reserve(std::size_t count) { values.reserve(count); }

  private:
    EntryMap values;
};

// Section name -> section: what a catalogue holds.
using CatalogSections = std::unordered_map<std::string, CatalogSection>;
