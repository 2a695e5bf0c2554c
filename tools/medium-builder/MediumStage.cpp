#include "MediumStage.h"

#include <algorithm>
#include <cctype>
#include <fstream>

#include "FileCopy.h"
#include "Interruption.h"
#include "SetupFile.h"
#include "ToolFiles.h"
#include "protocol/HandoffProtocol.h"

namespace mediumstage {

namespace fs = std::filesystem;

const char* const kInstallerName = installerFileName;
const char* const kCatalogName = catalogFileName;
const char* const kAutorunName = autorunFileName;

namespace {

const char kAutorunHead[] = "[autorun]\r\nopen=";

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

const fs::perms kFileMode =
    fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read;
const fs::perms kFolderMode =
    kFileMode | fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec;

bool Fail(std::string& error, const fs::path& path, const std::string& what,
          const std::error_code& code = std::error_code()) {
    error = toolfiles::ToArgument(path) + ": " + what;
    if (code) error += " (" + code.message() + ")";
    return false;
}

bool WriteText(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    return !out.fail();
}

// Modes and dates alike everywhere; a folder's date is set after its contents are in place.
bool SetModesAndDates(std::vector<fs::path> relatives, const fs::path& stage, std::int64_t seconds,
                      std::string& error) {
    std::sort(relatives.begin(), relatives.end());
    relatives.insert(relatives.begin(), fs::path());
    std::error_code code;
    for (auto it = relatives.rbegin(); it != relatives.rend(); ++it) {
        const fs::path target = it->empty() ? stage : stage / *it;
        fs::permissions(target, fs::is_directory(target, code) ? kFolderMode : kFileMode, code);
        if (code) return Fail(error, target, "cannot be given its mode", code);
        if (!toolfiles::SetModificationTime(target, seconds))
            return Fail(error, target, "cannot be given its date");
    }
    return true;
}

bool WriteFiles(const Inputs& inputs, const fs::path& stage, std::string& error) {
    if (!CopyFileContents(inputs.installer, stage / kInstallerName, error)) return false;
    if (!inputs.writeCatalog(stage / kCatalogName, error)) return false;
    if (!WriteText(stage / kAutorunName, AutorunText(inputs.label)))
        return Fail(error, stage / kAutorunName, "cannot be written");
    return true;
}

}  // namespace

std::vector<std::string> ReservedNameClashes(const std::vector<setuptree::Entry>& entries) {
    std::vector<std::string> clashes;
    for (const setuptree::Entry& entry : entries) {
        if (entry.relative.has_parent_path()) continue;
        const std::string name = toolfiles::ToArgument(entry.relative);
        const std::string lower = Lower(name);
        if (lower == kInstallerName || lower == kCatalogName || lower == kAutorunName) {
            clashes.push_back(name);
        }
    }
    return clashes;
}

std::string LabelProblem(const std::string& label) {
    if (label.empty()) return "is empty";
    if (label.size() > 16) return "is longer than 16 characters";
    for (char c : label) {
        const bool allowed = std::isalnum(static_cast<unsigned char>(c)) || c == ' ' || c == '_' ||
                             c == '-' || c == '.';
        if (static_cast<unsigned char>(c) >= 0x80 || !allowed) {
            return "may hold only ASCII letters, digits, blanks, '_', '-' and '.'";
        }
    }
    if (label.front() == ' ' || label.back() == ' ') return "begins or ends with a blank";
    return std::string();
}

std::string AutorunText(const std::string& label) {
    return std::string(kAutorunHead) + kInstallerName + "\r\nicon=" + kInstallerName +
           ",0\r\nlabel=" + label + "\r\n";
}

bool IsOwnAutorun(const std::string& text) {
    const std::string head = AutorunText("");
    const std::size_t labelAt = head.size() - 2;
    return text.size() >= head.size() && text.compare(0, labelAt, head, 0, labelAt) == 0 &&
           text.compare(text.size() - 2, 2, "\r\n") == 0 &&
           LabelProblem(text.substr(labelAt, text.size() - head.size())).empty();
}

bool Fill(const Inputs& inputs, const fs::path& stage, bool linkLarge,
          std::vector<std::string>& linked, std::string& error) {
    std::error_code code;
    // The folders and the own files get their modes and dates after; the set-up programs' files
    // as they are placed.
    std::vector<fs::path> relatives = {kInstallerName, kCatalogName, kAutorunName};
    for (const setuptree::Entry& entry : inputs.entries) {
        if (interruption::Signal() != 0) return Fail(error, stage, "interrupted");
        const fs::path target = stage / entry.relative;
        bool isLink = false;
        if (entry.folder) {
            if (!fs::create_directory(target, code) || code)
                return Fail(error, target, "cannot be created", code);
            relatives.push_back(entry.relative);
        } else if (!setupfile::Place(entry, target, linkLarge, inputs.seconds, isLink, error)) {
            return false;
        } else if (isLink) {
            linked.push_back(entry.relative.generic_u8string());
        }
    }
    return WriteFiles(inputs, stage, error) &&
           SetModesAndDates(relatives, stage, inputs.seconds, error);
}

}  // namespace mediumstage
