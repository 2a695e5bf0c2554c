#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "SetupTree.h"

// The contents of an installation medium put together in a folder: installer.exe, install.crt,
// autorun.inf and the set-up programs' folder tree, every file and folder dated alike.
namespace mediumstage {

// The files the medium itself puts at its root.
extern const char* const kInstallerName;
extern const char* const kCatalogName;
extern const char* const kAutorunName;

// Entries at the top of the tree whose names (in any case) the medium's own files take.
std::vector<std::string> ReservedNameClashes(const std::vector<setuptree::Entry>& entries);

// Empty for a usable volume label, else what is wrong with it. A label is 1 to 16 characters
// (the Joliet limit) of ASCII letters, digits, blank, '_', '-' and '.', with no blank at either
// end, so the ISO volume name, the Joliet one and autorun.inf all show it alike.
std::string LabelProblem(const std::string& label);

// autorun.inf: start installer.exe, show its first icon and the label.
std::string AutorunText(const std::string& label);
// True when text is an autorun.inf this tool writes, whatever the label.
bool IsOwnAutorun(const std::string& text);

// Writes install.crt at the path given and reads it back; false with a message.
using CatalogWriter = std::function<bool(const std::filesystem::path& path, std::string& error)>;

struct Inputs {
    std::vector<setuptree::Entry> entries;
    std::filesystem::path installer;
    std::string label;
    std::int64_t seconds = 0;
    CatalogWriter writeCatalog;
};

// Fills the empty folder stage with the whole medium: the own files and the set-up programs'
// tree, each file the very one the scan checked (see SetupFile.h), copied, or with linkLarge
// hard-linked when large; linked gets the relative paths of those linked, which keep the
// author's mode and date. False with a message on the first failure; stage is then left for the
// caller.
bool Fill(const Inputs& inputs, const std::filesystem::path& stage, bool linkLarge,
          std::vector<std::string>& linked, std::string& error);

}  // namespace mediumstage
