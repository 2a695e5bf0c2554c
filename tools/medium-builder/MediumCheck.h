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
// placeholder "%") names the place PathBelowMedium gives it below the medium root, so
// "%:\English\setup.exe" is root/English/setup.exe. Empty for any other value, and for one whose
// further "%" only the installer's drive letter could fill.
std::string ResolveOnMedium(const std::string& value, const std::string& root);

// Joins a medium root (UTF-8) and a path below it written with backslashes (cp1251); UTF-8.
std::string JoinMediumPath(const std::string& root, const std::string& relativeBackslashed);

// The path below the medium's root a "%:\\..." value names, UTF-8 with '/' between names; empty
// for a value that does not name a place on the medium.
std::string RelativeOnMedium(const std::string& value);

// Every article with a non-empty value whose set-up program cannot be found, or that does not
// name one on the medium (no "%:", a ".." leaving it, the root itself), sorted by article. Articles
// with an empty value count as absent and are not checked.
std::vector<Problem> Check(const CatalogSection& articles, const std::string& root,
                           const std::function<bool(const std::string&)>& exists);

}  // namespace mediumcheck
