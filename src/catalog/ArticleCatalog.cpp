#include "catalog/ArticleCatalog.h"

// "Артикулы" in cp1251.
const char* const ArticleCatalog::ArticleSectionName = "\xC0\xF0\xF2\xE8\xEA\xF3\xEB\xFB";
