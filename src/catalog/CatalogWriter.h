#pragma once

#include <string>

#include "catalog/CatalogSection.h"

// The one writer of catalogue files: sections and entries go out sorted by their bytes, so one
// set of sections always gives one file. overwrite allows replacing an existing file. Nothing
// reaches the disk when the records cannot be put together in memory.
bool WriteCatalog(const CatalogSections& sections, const std::string& path, bool overwrite);
