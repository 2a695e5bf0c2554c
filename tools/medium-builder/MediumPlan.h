#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "MakeMedium.h"
#include "Problems.h"
#include "SetupTree.h"
#include "catalog/CatalogStore.h"

// What a make-medium request is to build, found valid before anything is written: the catalogue
// read, the set-up programs' tree listed and every name in it one Windows shows as given, every
// article's set-up program there, and the outputs clear of every input and of each other.
namespace mediumplan {

struct Plan {
    CatalogStore store;
    std::vector<setuptree::Entry> entries;
    std::filesystem::path setupFolder;
    std::filesystem::path installer;
    std::filesystem::path folder;  // empty for none
    std::filesystem::path image;   // empty for none
    std::string label;
    std::int64_t seconds = 0;
    // The space the set-up programs and the installer take in a medium folder (whole 4 KiB
    // blocks) and in an image (whole 2 KiB sectors).
    std::uintmax_t folderBytes = 0;
    std::uintmax_t imageBytes = 0;
    bool force = false;  // an earlier output of make-medium's may be replaced
};

// A command-line path without a trailing separator; nothing else of it is changed as text, so
// that the system resolves its links and ".." as it does for every other use.
std::filesystem::path Normal(const std::string& name);

// Fills plan; every problem found is added.
void Validate(const makemedium::Request& request, Plan& plan, Problems& problems);

}  // namespace mediumplan
