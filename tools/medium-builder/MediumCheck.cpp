#include "MediumCheck.h"

#include <algorithm>

#include "handoff/ArticleRules.h"
#include "util/Cp1251.h"

namespace mediumcheck {

namespace {

#ifdef _WIN32
constexpr char kSeparator = '\\';
#else
constexpr char kSeparator = '/';
#endif

// The names of a path written with backslashes (or slashes), empty ones left out.
std::vector<std::string> Names(const std::string& path) {
    std::vector<std::string> names;
    std::string name;
    for (char c : path + '\\') {
        if (c != '\\' && c != '/') {
            name += c;
        } else if (!name.empty()) {
            names.push_back(name);
            name.clear();
        }
    }
    return names;
}

// Why a value that begins with the drive placeholder does not name a set-up program on the
// medium; empty when it does.
std::string PlaceProblem(const std::string& value) {
    if (value.size() < 2 || value[1] != ':') {
        return std::string("lacks the colon: the medium's folder is written ") + drivePlaceholder +
               ":\\";
    }
    const std::vector<std::string> names = Names(value.substr(2));
    bool named = false;
    for (const std::string& name : names) {
        if (name == "..") return "leaves the medium (..)";
        if (name != ".") named = true;
    }
    if (!named) return "names the medium's root, not a set-up program";
    return std::string();
}

}  // namespace

std::string JoinMediumPath(const std::string& root, const std::string& relative) {
    // Catalogue texts are cp1251; paths in the tool are UTF-8 on every system.
    std::string below = cp1251::ToUtf8(relative);
    for (char& c : below) {
        if (c == '\\' || c == '/') c = kSeparator;
    }
    std::size_t skip = 0;
    while (skip < below.size() && below[skip] == kSeparator) ++skip;
    std::string joined = root;
    if (!joined.empty() && joined.back() != '/' && joined.back() != '\\') joined += kSeparator;
    return joined + below.substr(skip);
}

std::string RelativeOnMedium(const std::string& value) {
    std::string below;
    if (!PlaceProblem(value).empty() || !PathBelowMedium(value, '\0', below)) return std::string();
    std::string relative;
    for (const std::string& name : Names(below)) {
        if (name == ".") continue;
        relative += (relative.empty() ? "" : "/") + cp1251::ToUtf8(name);
    }
    return relative;
}

std::string ResolveOnMedium(const std::string& value, const std::string& root) {
    // The installer's own rule, with no drive letter known here.
    std::string below;
    if (!PathBelowMedium(value, '\0', below)) {
        return std::string();
    }
    return JoinMediumPath(root, below);
}

std::vector<Problem> Check(const CatalogSection& articles, const std::string& root,
                           const std::function<bool(const std::string&)>& exists) {
    std::vector<Problem> problems;
    for (const auto& [article, entry] : articles.Entries()) {
        const std::string value = entry.Text();
        if (value.empty()) {
            continue;
        }
        const std::string path = ResolveOnMedium(value, root);
        if (!IsOnProgramDrive(value)) {
            problems.push_back({article, value, path,
                                std::string("does not begin with ") + drivePlaceholder +
                                    " and so is not on the medium"});
        } else if (!PlaceProblem(value).empty()) {
            problems.push_back({article, value, path, PlaceProblem(value)});
        } else if (path.empty()) {
            // The installer puts its drive letter in place of every placeholder, which is
            // unknown here.
            problems.push_back({article, value, path,
                                std::string("holds a further ") + drivePlaceholder +
                                    ", which becomes the drive letter at run time"});
        } else if (!exists(path)) {
            problems.push_back({article, value, path, "missing"});
        }
    }
    std::sort(problems.begin(), problems.end(),
              [](const Problem& a, const Problem& b) { return a.article < b.article; });
    return problems;
}

}  // namespace mediumcheck
