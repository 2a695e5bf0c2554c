#include "OutputCheck.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>

#include "MediumImage.h"
#include "MediumStage.h"
#include "Temporary.h"
#include "ToolFiles.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace outputcheck {

namespace fs = std::filesystem;

namespace {

using toolfiles::ToArgument;

// The space an image takes beyond its files: descriptors, the three trees, the padding.
constexpr std::uintmax_t kImageOverhead = 1 << 20;

bool ReadWhole(const fs::path& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

// The place as the system resolves it: the real path of the part that exists, then the rest.
fs::path Real(const fs::path& path) {
    std::error_code code;
    const fs::path real = fs::weakly_canonical(fs::absolute(path, code), code);
    return code ? fs::absolute(path, code) : real;
}

// True when path is folder or lies in it, told by the file's identity (device and inode), so that
// a second view of a folder (a bind mount, a hard link) counts as the folder.
bool Inside(const fs::path& path, const fs::path& folder) {
    std::error_code code;
    if (!fs::exists(folder, code)) {
        const auto differ = std::mismatch(folder.begin(), folder.end(), path.begin(), path.end());
        return differ.first == folder.end();
    }
    for (fs::path at = path; !at.empty(); at = at.parent_path()) {
        if (fs::equivalent(at, folder, code) && !code) return true;
        if (at == at.parent_path()) break;
    }
    return false;
}

bool Same(const fs::path& a, const fs::path& b) {
    std::error_code code;
    return a == b || (fs::equivalent(a, b, code) && !code);
}

// Why nobody can write in folder; empty when one can (or the system does not say).
std::string Unwritable(const fs::path& folder) {
#ifdef _WIN32
    (void)folder;
    return std::string();
#else
    return access(folder.c_str(), W_OK | X_OK) == 0 ? std::string() : toolfiles::LastSystemError();
#endif
}

}  // namespace

bool IsOwnMediumFolder(const fs::path& folder) {
    std::string autorun;
    std::error_code code;
    // Only a plain file is read: a FIFO or a device would block or be read.
    return fs::is_regular_file(fs::symlink_status(folder / mediumstage::kAutorunName, code)) &&
           ReadWhole(folder / mediumstage::kAutorunName, autorun) &&
           mediumstage::IsOwnAutorun(autorun) &&
           fs::is_regular_file(folder / mediumstage::kCatalogName, code) &&
           fs::is_regular_file(folder / mediumstage::kInstallerName, code);
}

bool IsOwnImage(const fs::path& file) {
    // Only a plain file is opened: a FIFO or a device would block or be read.
    std::error_code code;
    if (!fs::is_regular_file(fs::symlink_status(file, code))) return false;
    std::ifstream in(file, std::ios::binary);
    const std::string id = mediumimage::kApplicationId;
    std::string descriptor(2048, '\0');
    in.seekg(16 * 2048);
    // The primary volume descriptor: its type, "CD001", and at 574 the application's id.
    return in.read(&descriptor[0], 2048) &&
           descriptor.compare(0, 6,
                              "\x01"
                              "CD001") == 0 &&
           descriptor.compare(574, id.size(), id) == 0 &&
           descriptor.find_first_not_of(' ', 574 + id.size()) >= 574 + 128;
}

namespace {

// An output may replace only what an earlier make-medium made there, and only with --force; it
// may not be, hold or lie in an input, nor the other output; its folder has to exist and its name
// leave room for the temporaries beside it. Returns the folder it goes into, as the system
// resolves it.
fs::path CheckOutput(const fs::path& path, bool folder,
                     const std::vector<std::pair<fs::path, std::string>>& inputs, bool force,
                     Problems& problems) {
    const std::string name = ToArgument(path);
    const auto refuse = [&](const std::string& why) {
        problems.Add(Problems::Medium, ExitCode::Usage, name + ": " + why);
    };
    std::error_code code;
    const fs::path real = Real(path);
    for (const auto& [input, what] : inputs) {
        const fs::path other = Real(input);
        if (Same(real, other)) {
            refuse("is " + what);
        } else if (Inside(other, real)) {
            refuse("holds " + what);
        } else if (Inside(real, other)) {
            refuse("lies in " + what);
        }
    }
    const fs::file_status own = fs::symlink_status(path, code);
    if (fs::is_symlink(own)) {
        refuse("is a link; give the place itself");
    } else if (fs::exists(own) && !fs::is_directory(own) && !fs::is_regular_file(own)) {
        refuse(
            "is neither a file nor a folder (a device, a FIFO or a socket); it is never "
            "replaced");
    } else if (fs::exists(own)) {
        if (!force) {
            refuse("exists; give --force to replace it");
        } else if (fs::is_directory(own) != folder) {
            refuse(std::string("exists and is not a ") + (folder ? "folder" : "file"));
        } else if (folder ? !IsOwnMediumFolder(path) : !IsOwnImage(path)) {
            refuse(std::string("exists and is not ") + (folder ? "a medium folder" : "an image") +
                   " make-medium made; nothing of it is replaced");
        }
    }
    const fs::path parent = real.parent_path();
    const bool present = fs::is_directory(parent, code);
    const std::string unwritable = present ? Unwritable(parent) : std::string();
    const std::size_t longest = toolfiles::LongestTargetName(parent);
    if (!present) {
        refuse("its folder " + ToArgument(parent) + " does not exist");
    } else if (!unwritable.empty()) {
        refuse("its folder " + ToArgument(parent) + " cannot be written (" + unwritable + ")");
    } else if (path.filename().u8string().size() > longest) {
        refuse("the name is longer than the " + std::to_string(longest) +
               " bytes that leave room for the temporary names beside it");
    }
    return parent;
}

}  // namespace

void Check(const makemedium::Request& request, mediumplan::Plan& plan, Problems& problems) {
    plan.folder = request.folder.empty() ? fs::path() : mediumplan::Normal(request.folder);
    plan.image = request.image.empty() ? fs::path() : mediumplan::Normal(request.image);
    std::vector<std::pair<fs::path, std::string>> inputs = {
        {plan.setupFolder, "the set-up programs' folder " + request.setupFolder},
        {mediumplan::Normal(request.source), "the catalogue source " + request.source}};
    if (!plan.installer.empty())
        inputs.push_back({plan.installer, "the installer " + ToArgument(plan.installer)});
    // The space the outputs take, where they go.
    std::map<fs::path, std::uintmax_t> needs;
    if (!plan.folder.empty()) {
        needs[CheckOutput(plan.folder, true, inputs, request.force, problems)] += plan.folderBytes;
        inputs.push_back({plan.folder, "the medium folder " + request.folder});
    }
    if (!plan.image.empty()) {
        needs[CheckOutput(plan.image, false, inputs, request.force, problems)] +=
            plan.imageBytes + kImageOverhead;
    }
    for (const auto& [where, bytes] : needs) {
        const std::int64_t free = toolfiles::FreeBytes(where);
        if (free >= 0 && static_cast<std::uintmax_t>(free) < bytes) {
            problems.Add(Problems::Medium, ExitCode::Usage,
                         ToArgument(where) + ": the outputs need about " + std::to_string(bytes) +
                             " bytes there, and " + std::to_string(free) + " are free");
        }
    }
}

}  // namespace outputcheck
