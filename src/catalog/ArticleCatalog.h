#pragma once

#include <string>

#include "catalog/CatalogStore.h"

// The catalogue the product selection dialog owns: every question goes to the section of
// article numbers.
class ArticleCatalog {
  public:
    // "Артикулы" in cp1251.
    static const char* const ArticleSectionName;

    virtual ~ArticleCatalog() = default;

    bool Load(const std::string& path) { return store.Load(path); }
    // The value text of an article number; empty when it is missing.
    std::string GetValue(const std::string& key) const {
        return store.GetValueText(ArticleSectionName, key);
    }
    // An article whose value text is empty counts as absent.
    bool HasKey(const std::string& key) const { return !GetValue(key).empty(); }

    const CatalogStore& Store() const { return store; }

  private:
    CatalogStore store;
};
