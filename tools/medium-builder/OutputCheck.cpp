#include "OutputCheck.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>

#include "MediumStage.h"
#include "Temporary.h"
#include "ToolFiles.h"

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

fs::path Real(const fs::path& path) {
    std::error_code code;
    const fs::path real = fs::weakly_canonical(fs::absolute(path, code), code);
    return code ? fs::absolute(path, code) : real;
}

bool Inside(const fs::path& path, const fs::path& folder) {
    const auto differ = std::mismatch(folder.begin(), folder.end(), path.begin(), path.end());
    return differ.first == folder.end();
}

bool IsOwnMediumFolder(const fs::path& folder) {
    std::string autorun;
    std::error_code code;
    return ReadWhole(folder / mediumstage::kAutorunName, autorun) &&
           mediumstage::IsOwnAutorun(autorun) &&
           fs::is_regular_file(folder / mediumstage::kCatalogName, code) &&
           fs::is_regular_file(folder / mediumstage::kInstallerName, code);
}

bool IsIsoImage(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    char mark[5] = {};
    in.seekg(16 * 2048 + 1);
    return in.read(mark, sizeof mark) && std::string(mark, sizeof mark) == "CD001";
}

// An output may replace only what an earlier make-medium made there, and only with --force; it
// may not be, hold or lie in an input, nor the other output; its folder has to exist and its name
// leave room for the temporaries beside it.
void CheckOutput(const fs::path& path, bool folder,
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
        if (real == other) {
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
    } else if (fs::exists(own)) {
        if (!force) {
            refuse("exists; give --force to replace it");
        } else if (fs::is_directory(own) != folder) {
            refuse(std::string("exists and is not a ") + (folder ? "folder" : "file"));
        } else if (folder ? !IsOwnMediumFolder(path) : !IsIsoImage(path)) {
            refuse(std::string("exists and is not ") +
                   (folder ? "a medium folder" : "an ISO 9660 image") +
                   " make-medium made; nothing of it is replaced");
        }
    }
    const fs::path parent = fs::absolute(path, code).parent_path();
    if (!fs::is_directory(parent, code)) {
        refuse("its folder " + ToArgument(parent) + " does not exist");
    } else if (path.filename().u8string().size() > toolfiles::LongestTargetName(parent)) {
        refuse("the name is longer than the " +
               std::to_string(toolfiles::LongestTargetName(parent)) +
               " bytes that leave room for the temporary names beside it");
    }
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
    if (!plan.folder.empty()) {
        CheckOutput(plan.folder, true, inputs, request.force, problems);
        inputs.push_back({plan.folder, "the medium folder " + request.folder});
    }
    if (!plan.image.empty()) CheckOutput(plan.image, false, inputs, request.force, problems);

    // The space the outputs take, where they go.
    std::map<fs::path, std::uintmax_t> needs;
    const auto parentOf = [](const fs::path& p) {
        std::error_code code;
        return fs::absolute(p, code).parent_path();
    };
    if (!plan.folder.empty()) needs[parentOf(plan.folder)] += plan.payloadBytes;
    if (!plan.image.empty()) needs[parentOf(plan.image)] += plan.payloadBytes + kImageOverhead;
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
