#include "handoff/ArticleRules.h"

#include "handoff/LanguageTable.h"

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace

std::string TrimArticleNumber(const std::string& number) {
    size_t begin = 0;
    while (begin < number.size() && IsBlank(number[begin])) ++begin;
    size_t end = number.size();
    while (end > begin && IsBlank(number[end - 1])) --end;
    return number.substr(begin, end - begin);
}

bool IsPlaceholderNumber(const std::string& number) {
    return number.find(placeholderLetter) == 0;
}

std::vector<Candidate> ExpandCandidates(const std::string& number) {
    std::vector<Candidate> candidates;
    for (int i = 0; i < LanguageTable::size; ++i) {
        std::string candidate = number;
        for (char& c : candidate) {
            if (c == placeholderLetter) c = languageTable.letters[i];
        }
        candidates.push_back({i, std::move(candidate)});
    }
    return candidates;
}

bool IsOnProgramDrive(const std::string& value) {
    return value.find(drivePlaceholder) == 0;
}

std::string ResolveSetupPath(const std::string& value, const std::string& programPath) {
    if (!IsOnProgramDrive(value)) return value;
    const std::string drive = programPath.substr(0, 1);
    std::string path;
    for (char c : value) {
        if (c == drivePlaceholder) {
            path += drive;
        } else {
            path += c;
        }
    }
    return path;
}

int LanguageIndexOf(const std::string& number) {
    const std::string first = number.substr(0, 1);
    const size_t at = std::string(languageTable.letters).find(first);
    return at == std::string::npos ? -1 : static_cast<int>(at);
}
