#pragma once

#include <functional>
#include <string>
#include <vector>

#include "catalog/CatalogSection.h"

// Checks that every article of a medium's catalogue names a set-up program on the medium.
namespace mediumcheck {

struct Problem {
    std::string article;  // cp1251, as in the catalogue
    std::string value;    // cp1251
    std::string path;     // resolved path, empty when the value does not point onto the medium
    std::string reason;
};

// A value on the program's drive (see handoff/ArticleRules.h: it begins with the drive
// placeholder "%") stands for the medium root; "%:" is the root's drive form, so
// "%:\English\setup.exe" is root/English/setup.exe. Empty for any other value.
std::string ResolveOnMedium(const std::string& value, const std::string& root);

// Every article with a non-empty value whose set-up program cannot be found, sorted by
// article. Articles with an empty value count as absent and are not checked.
std::vector<Problem> Check(const CatalogSection& articles, const std::string& root,
                           const std::function<bool(const std::string&)>& exists);

}  // namespace mediumcheck
