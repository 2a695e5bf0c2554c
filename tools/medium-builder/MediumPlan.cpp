#include "MediumPlan.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <set>

#include "ComposedNames.h"
#include "MediumCheck.h"
#include "MediumStage.h"
#include "OutputCheck.h"
#include "TextForm.h"
#include "ToolFiles.h"
#include "WindowsNames.h"
#include "catalog/ArticleCatalog.h"

namespace mediumplan {

namespace fs = std::filesystem;

namespace {

using toolfiles::ToArgument;

// 2000-01-01 00:00:00 UTC, the date of every file when SOURCE_DATE_EPOCH is not set.
constexpr std::int64_t kDefaultSeconds = 946684800;
// 2156-01-01 00:00:00 UTC: an ISO 9660 file date holds the year as 1900 + one byte.
constexpr std::int64_t kEndSeconds = 5869584000;

bool ReadWhole(const fs::path& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

void CheckDate(Plan& plan, Problems& problems) {
    const char* given = std::getenv("SOURCE_DATE_EPOCH");
    plan.seconds = kDefaultSeconds;
    if (given == nullptr) return;
    const std::string text = given;
    const std::string name = "SOURCE_DATE_EPOCH=" + text;
    if (text.empty()) {
        problems.Add(Problems::Medium, ExitCode::Usage,
                     name + " is empty; unset it for the default date, 2000-01-01");
        return;
    }
    if (text.size() > 1 && text[0] == '0') {
        problems.Add(Problems::Medium, ExitCode::Usage,
                     name + " begins with a 0; write the count of seconds without leading zeros");
        return;
    }
    std::int64_t seconds = 0;
    for (char c : text) {
        if (c < '0' || c > '9' || seconds >= kEndSeconds) {
            problems.Add(Problems::Medium, ExitCode::Usage,
                         name + " is not a count of seconds from 1970 to the end of 2155");
            return;
        }
        seconds = seconds * 10 + (c - '0');
    }
    if (seconds >= kEndSeconds) {
        problems.Add(Problems::Medium, ExitCode::Usage,
                     name + " is past the end of 2155, the last date an ISO 9660 image holds");
        return;
    }
    plan.seconds = seconds;
}

void ReadCatalogue(const makemedium::Request& request, Plan& plan, Problems& problems) {
    const fs::path source = toolfiles::FromArgument(request.source);
    std::string text;
    std::error_code code;
    if (fs::is_directory(source, code)) {
        problems.Add(Problems::Catalogue, ExitCode::Usage,
                     request.source + ": is a folder, not a catalogue source");
        return;
    }
    if (!ReadWhole(source, text)) {
        problems.Add(Problems::Catalogue, ExitCode::Usage, request.source + ": cannot be read");
        return;
    }
    std::string faults;
    if (!textform::Parse(text, request.source, plan.store, faults)) {
        std::size_t start = 0;
        while (start < faults.size()) {
            std::size_t end = faults.find('\n', start);
            if (end == std::string::npos) end = faults.size();
            problems.Add(Problems::Catalogue, ExitCode::CheckFailed,
                         faults.substr(start, end - start));
            start = end + 1;
        }
        return;
    }
    const CatalogSection* articles = plan.store.FindSection(ArticleCatalog::ArticleSectionName);
    const std::string section = textform::PrintName(ArticleCatalog::ArticleSectionName);
    if (articles == nullptr) {
        problems.Add(Problems::Catalogue, ExitCode::CheckFailed,
                     request.source + ": no section " + section);
    } else if (articles->Size() == 0) {
        problems.Add(Problems::Catalogue, ExitCode::CheckFailed,
                     request.source + ": the section " + section + " holds no article");
    } else if (std::all_of(articles->Entries().begin(), articles->Entries().end(),
                           [](const auto& article) { return article.second.Text().empty(); })) {
        problems.Add(Problems::Catalogue, ExitCode::CheckFailed,
                     request.source + ": every article of the section " + section +
                         " is empty, so the medium would offer nothing to install");
    }
}

std::uintmax_t RoundedUp(std::uintmax_t bytes, std::uintmax_t unit) {
    return (bytes + unit - 1) / unit * unit;
}

// A file's bytes as the outputs take them: a folder file system gives whole blocks, and an image
// whole sectors.
void AddPayload(Plan& plan, std::uintmax_t bytes) {
    plan.folderBytes += RoundedUp(bytes, 4096);
    plan.imageBytes += RoundedUp(bytes, 2048);
}

void CheckInstaller(const makemedium::Request& request, Plan& plan, Problems& problems) {
    plan.installer = toolfiles::FromArgument(request.installer);
    if (request.installer.empty()) {
        plan.installer = toolfiles::OwnProgramFolder() / mediumstage::kInstallerName;
    }
    std::string head;
    std::error_code code;
    const std::string name = ToArgument(plan.installer);
    if (!fs::is_regular_file(plan.installer, code) || !ReadWhole(plan.installer, head)) {
        problems.Add(Problems::Medium, ExitCode::Usage,
                     name + ": cannot be read" +
                         (request.installer.empty() ? " (give --installer FILE)" : ""));
    } else if (head.compare(0, 2, "MZ") != 0) {
        problems.Add(Problems::Medium, ExitCode::Usage, name + ": is not a Windows program");
    } else {
        AddPayload(plan, head.size());
    }
}

// Every name as Windows will show it, or a problem saying why it would not.
void CheckNames(const Plan& plan, const std::string& shownRoot, Problems& problems) {
    std::map<std::pair<std::string, std::string>, std::string> folded;  // (folder, NAME) -> name
    for (const setuptree::Entry& entry : plan.entries) {
        const std::string name = entry.relative.filename().u8string();
        const std::string relative = entry.relative.generic_u8string();
        const std::string shown = windowsnames::Shown(shownRoot + "/" + relative);
        const std::string problem = windowsnames::NameProblem(name);
        if (!problem.empty()) {
            problems.Add(Problems::Medium, ExitCode::CheckFailed, shown + ": the name " + problem);
            continue;
        }
        const std::size_t bytes = windowsnames::JolietPathBytes(relative);
        if (bytes > windowsnames::kLongestPathBytes) {
            problems.Add(Problems::Medium, ExitCode::CheckFailed,
                         shown + ": the path takes " + std::to_string(bytes) +
                             " bytes in the Joliet tree, which holds " +
                             std::to_string(windowsnames::kLongestPathBytes));
        }
        const auto key = std::make_pair(entry.relative.parent_path().generic_u8string(),
                                        windowsnames::CaseFolded(name));
        const auto [seen, fresh] = folded.emplace(key, name);
        if (!fresh) {
            problems.Add(Problems::Medium, ExitCode::CheckFailed,
                         shown + ": differs from " + seen->second +
                             " only in letter case; Windows would see one of them");
        }
    }
}

void CheckArticles(const Plan& plan, const makemedium::Request& request, Problems& problems) {
    const CatalogSection* articles = plan.store.FindSection(ArticleCatalog::ArticleSectionName);
    if (articles == nullptr) return;
    std::set<std::string> present;
    std::map<std::string, std::string> byFolded;
    std::map<std::string, std::string> byComposed;
    for (const setuptree::Entry& entry : plan.entries) {
        const std::string relative = entry.relative.generic_u8string();
        present.insert(relative);
        byFolded.emplace(windowsnames::CaseFolded(relative), relative);
        const std::string composed = composednames::Composed(relative);
        if (composed != relative) byComposed.emplace(composed, relative);
    }
    const auto exists = [&present](const std::string& path) {
        std::string relative = path;
        std::replace(relative.begin(), relative.end(), '\\', '/');
        return present.count(relative) > 0;
    };
    for (const mediumcheck::Problem& p : mediumcheck::Check(*articles, "", exists)) {
        std::string reason = p.reason;
        const std::string relative = mediumcheck::RelativeOnMedium(p.value);
        const auto other = byFolded.find(windowsnames::CaseFolded(relative));
        const auto decomposed = byComposed.find(relative);
        if (p.reason == "missing" && decomposed != byComposed.end()) {
            reason = "missing; the folder holds " + request.setupFolder + "/" +
                     windowsnames::Shown(decomposed->second) +
                     ", the same name with its letters decomposed (NFD, as macOS writes names): " +
                     "rename it with the letters composed (NFC)";
        } else if (p.reason == "missing" && other != byFolded.end()) {
            reason = "missing; the folder holds " + request.setupFolder + "/" + other->second +
                     ", whose letter case differs: name it as it is";
        }
        const std::string shown =
            relative.empty() ? "" : " -> " + request.setupFolder + "/" + relative;
        problems.Add(Problems::Catalogue, ExitCode::CheckFailed,
                     "article " + textform::PrintName(p.article) + ": " +
                         textform::QuoteText(p.value) + shown + ": " + reason);
    }
}

void CheckSetupFolder(const makemedium::Request& request, Plan& plan, Problems& problems) {
    plan.setupFolder = Normal(request.setupFolder);
    std::error_code code;
    if (!fs::is_directory(plan.setupFolder, code)) {
        problems.Add(Problems::Medium, ExitCode::Usage, request.setupFolder + ": is not a folder");
        return;
    }
    std::vector<setuptree::Problem> found;
    plan.entries = setuptree::List(plan.setupFolder, found);
    for (const setuptree::Problem& p : found) {
        problems.Add(Problems::Medium, p.unreadable ? ExitCode::Usage : ExitCode::CheckFailed,
                     p.text);
    }
    for (const std::string& name : mediumstage::ReservedNameClashes(plan.entries)) {
        problems.Add(Problems::Medium, ExitCode::CheckFailed,
                     request.setupFolder + ": " + name +
                         " would be replaced by the medium's own file of that name");
    }
    CheckNames(plan, ToArgument(plan.setupFolder), problems);
    CheckArticles(plan, request, problems);
    for (const setuptree::Entry& entry : plan.entries)
        AddPayload(plan, entry.folder ? 1 : entry.size);
}

}  // namespace

fs::path Normal(const std::string& name) {
    std::string text = name;
    while (text.size() > 1 && (text.back() == '/' || text.back() == fs::path::preferred_separator))
        text.pop_back();
    return toolfiles::FromArgument(text);
}

void Validate(const makemedium::Request& request, Plan& plan, Problems& problems) {
    ReadCatalogue(request, plan, problems);
    CheckDate(plan, problems);
    const std::string labelProblem = mediumstage::LabelProblem(request.label);
    if (!labelProblem.empty()) {
        problems.Add(Problems::Medium, ExitCode::Usage,
                     "--label \"" + request.label + "\" " + labelProblem);
    }
    plan.label = request.label;
    plan.force = request.force;
    CheckInstaller(request, plan, problems);
    CheckSetupFolder(request, plan, problems);
    outputcheck::Check(request, plan, problems);
}

}  // namespace mediumplan
