#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

// The contents of an installation medium put together in a folder: installer.exe, install.crt,
// autorun.inf and the set-up programs' folder tree, every file and folder dated alike.
namespace mediumbuild {

// The files the medium itself puts at its root.
extern const char* const kInstallerName;
extern const char* const kCatalogName;
extern const char* const kAutorunName;

// One file or folder below the set-up programs' folder, by its path relative to it.
struct Entry {
    std::filesystem::path relative;
    bool folder = false;
};

// Every file and folder below root, sorted so that a folder comes before its contents. Each
// thing that cannot be listed or is neither file nor folder is added to problems.
std::vector<Entry> ListTree(const std::filesystem::path& root, std::vector<std::string>& problems);

// Entries at the top of the tree whose names (in any case) the medium's own files take.
std::vector<std::string> ReservedNameClashes(const std::vector<Entry>& entries);

// Empty for a usable volume label, else what is wrong with it. A label is 1 to 16 characters
// (the Joliet limit) of ASCII letters, digits, blank, '_', '-' and '.', with no blank at either
// end, so the ISO volume name, the Joliet one and autorun.inf all show it alike.
std::string LabelProblem(const std::string& label);

// autorun.inf: start installer.exe, show its first icon and the label.
std::string AutorunText(const std::string& label);

struct Inputs {
    std::filesystem::path setupFolder;
    std::vector<Entry> entries;
    std::filesystem::path installer;
    std::string label;
    std::int64_t seconds = 0;
};

// Writes install.crt at the path given; false with a message.
using CatalogWriter = std::function<bool(const std::filesystem::path& path, std::string& error)>;

// Fills the empty folder stage with the medium. False with a message on the first failure;
// stage is then left for the caller to remove.
bool Fill(const Inputs& inputs, const std::filesystem::path& stage,
          const CatalogWriter& writeCatalog, std::string& error);

}  // namespace mediumbuild
