#include "catalog/CatalogStore.h"

#include "catalog/CatalogWriter.h"

bool CatalogStore::Load(const std::string& filePath, LoadReport* report) {
    LoadReport local;
    if (!ReadCatalog(filePath, sections, report ? *report : local)) {
        return false;
    }
    path = filePath;
    return true;
}

bool CatalogStore::Save(const std::string& filePath, bool overwrite) const {
    return WriteCatalog(sections, filePath.empty() ? path : filePath, overwrite);
}

std::string CatalogStore::GetValueText(const std::string& section, const std::string& key) const {
    const CatalogSection* found = FindSection(section);
    if (!found) {
        return std::string();
    }
    const CatalogValue* value = found->Find(key);
    return value ? value->Text() : std::string();
}

const CatalogSection* CatalogStore::FindSection(const std::string& name) const {
    const auto found = sections.find(name);
    return found == sections.end() ? nullptr : &found->second;
}

CatalogSection& CatalogStore::Section(const std::string& name) {
    return sections[name];
}
