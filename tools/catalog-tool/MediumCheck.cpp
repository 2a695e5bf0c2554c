#include "MediumCheck.h"

#include <algorithm>

#include "ToolFiles.h"
#include "handoff/ArticleRules.h"

namespace mediumcheck {

std::string ResolveOnMedium(const std::string& value, const std::string& root) {
    if (!IsOnProgramDrive(value)) {
        return std::string();
    }
    std::size_t skip = 1;
    if (value.size() > 1 && value[1] == ':') {
        skip = 2;
    }
    return toolfiles::JoinMediumPath(root, value.substr(skip));
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
        if (path.empty()) {
            problems.push_back({article, value, path,
                                std::string("does not begin with ") + drivePlaceholder +
                                    " and so is not on the medium"});
        } else if (value.find(drivePlaceholder, 1) != std::string::npos) {
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
