#include "catalog/CatalogSection.h"

CatalogSection::~CatalogSection() {
    values.clear();
}

CatalogValue& CatalogSection::Set(std::string key, CatalogValue value) {
    CatalogValue& slot = values[std::move(key)];
    slot = std::move(value);
    return slot;
}

const CatalogValue* CatalogSection::Find(const std::string& key) const {
    const auto found = values.find(key);
    return found == values.end() ? nullptr : &found->second;
}
