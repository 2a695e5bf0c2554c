#include "MediumBuild.h"

#include <algorithm>
#include <cctype>
#include <fstream>

#include "MediumFiles.h"

namespace mediumbuild {

namespace fs = std::filesystem;

const char* const kInstallerName = "installer.exe";
const char* const kCatalogName = "install.crt";
const char* const kAutorunName = "autorun.inf";

namespace {

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
    error = mediumfiles::ToArgument(path) + ": " + what;
    if (code) error += " (" + code.message() + ")";
    return false;
}

bool WriteText(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    return !out.fail();
}

}  // namespace

std::vector<Entry> ListTree(const fs::path& root, std::vector<std::string>& problems) {
    std::vector<Entry> entries;
    std::error_code code;
    fs::recursive_directory_iterator it(root, fs::directory_options::follow_directory_symlink,
                                        code);
    if (code) {
        problems.push_back(mediumfiles::ToArgument(root) + ": cannot be listed (" + code.message() +
                           ")");
        return entries;
    }
    for (; it != fs::recursive_directory_iterator(); it.increment(code)) {
        if (code) break;
        const fs::path& path = it->path();
        std::error_code typeCode;
        const fs::file_status status = fs::status(path, typeCode);
        if (fs::is_directory(status)) {
            entries.push_back({path.lexically_relative(root), true});
        } else if (fs::is_regular_file(status)) {
            entries.push_back({path.lexically_relative(root), false});
        } else {
            problems.push_back(mediumfiles::ToArgument(path) +
                               ": is neither a file nor a folder (a broken link?)");
        }
    }
    if (code) {
        problems.push_back(mediumfiles::ToArgument(root) + ": cannot be listed (" + code.message() +
                           ")");
    }
    std::sort(entries.begin(), entries.end(),
              [](const Entry& a, const Entry& b) { return a.relative < b.relative; });
    return entries;
}

std::vector<std::string> ReservedNameClashes(const std::vector<Entry>& entries) {
    std::vector<std::string> clashes;
    for (const Entry& entry : entries) {
        if (entry.relative.has_parent_path()) continue;
        const std::string name = mediumfiles::ToArgument(entry.relative);
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
    return std::string("[autorun]\r\nopen=") + kInstallerName + "\r\nicon=" + kInstallerName +
           ",0\r\nlabel=" + label + "\r\n";
}

bool Fill(const Inputs& inputs, const fs::path& stage, const CatalogWriter& writeCatalog,
          std::string& error) {
    std::error_code code;
    for (const Entry& entry : inputs.entries) {
        const fs::path target = stage / entry.relative;
        if (entry.folder) {
            if (!fs::create_directory(target, code) || code)
                return Fail(error, target, "cannot be created", code);
        } else if (!fs::copy_file(inputs.setupFolder / entry.relative, target, code) || code) {
            return Fail(error, inputs.setupFolder / entry.relative, "cannot be copied", code);
        }
    }
    if (!fs::copy_file(inputs.installer, stage / kInstallerName, code) || code)
        return Fail(error, inputs.installer, "cannot be copied", code);
    if (!writeCatalog(stage / kCatalogName, error)) return false;
    if (!WriteText(stage / kAutorunName, AutorunText(inputs.label)))
        return Fail(error, stage / kAutorunName, "cannot be written");

    // Modes and dates alike everywhere; a folder's date is set after its contents are in place.
    std::vector<Entry> all = inputs.entries;
    for (const char* name : {kInstallerName, kCatalogName, kAutorunName}) {
        all.push_back({fs::path(name), false});
    }
    std::sort(all.begin(), all.end(),
              [](const Entry& a, const Entry& b) { return a.relative < b.relative; });
    all.insert(all.begin(), Entry{fs::path(), true});
    for (auto it = all.rbegin(); it != all.rend(); ++it) {
        const fs::path target = it->relative.empty() ? stage : stage / it->relative;
        fs::permissions(target, it->folder ? kFolderMode : kFileMode, code);
        if (code) return Fail(error, target, "cannot be given its mode", code);
        if (!mediumfiles::SetModificationTime(target, inputs.seconds))
            return Fail(error, target, "cannot be given its date");
    }
    return true;
}

}  // namespace mediumbuild
