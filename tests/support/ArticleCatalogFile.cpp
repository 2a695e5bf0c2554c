#include "support/ArticleCatalogFile.h"

#include "catalog/ArticleCatalog.h"
#include "catalog/CatalogStore.h"

namespace support {

bool WriteArticleCatalog(const std::string& path,
                         const std::map<std::string, std::string>& articles) {
    CatalogStore store;
    CatalogSection& section = store.Section(ArticleCatalog::ArticleSectionName);
    for (const auto& [key, value] : articles) section.Set(key, CatalogValue::String(value));
    return store.Save(path, true);
}

}  // namespace support
