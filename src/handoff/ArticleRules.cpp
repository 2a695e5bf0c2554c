#include "handoff/ArticleRules.h"

#include "protocol/HandoffProtocol.h"

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The cp1251 capitals that look like Latin capitals, beside those capitals. A small letter is
// its capital's byte + 0x20.
struct LookAlike {
    unsigned char cyrillic;
    char latin;
};
constexpr LookAlike lookAlikes[] = {
    {0xC0, 'A'},  // А
    {0xC2, 'B'},  // В
    {0xC5, 'E'},  // Е
    {0xCA, 'K'},  // К
    {0xCC, 'M'},  // М
    {0xCD, 'H'},  // Н
    {0xCE, 'O'},  // О
    {0xD0, 'P'},  // Р
    {0xD1, 'C'},  // С
    {0xD2, 'T'},  // Т
    {0xD5, 'X'},  // Х
};
constexpr unsigned char cyrillicSmallOffset = 0x20;

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
    for (int i = 0; i < languageCount; ++i) {
        std::string candidate = number;
        for (char& c : candidate) {
            if (c == placeholderLetter) c = languageLetters[i];
        }
        candidates.push_back({i, std::move(candidate)});
    }
    return candidates;
}

bool IsKnownNumber(const std::string& number, const CatalogKeyTest& isKey) {
    if (!IsPlaceholderNumber(number)) return isKey(number);
    for (const Candidate& candidate : ExpandCandidates(number)) {
        if (isKey(candidate.number)) return true;
    }
    return false;
}

std::string ReplaceLookAlikeLetters(const std::string& number) {
    std::string replaced = number;
    for (char& c : replaced) {
        const auto byte = static_cast<unsigned char>(c);
        for (const LookAlike& pair : lookAlikes) {
            if (byte == pair.cyrillic || byte == pair.cyrillic + cyrillicSmallOffset)
                c = pair.latin;
        }
    }
    return replaced;
}

std::string ChooseTypedNumber(const std::string& number, const CatalogKeyTest& isKey) {
    if (IsKnownNumber(number, isKey)) return number;
    const std::string latin = ReplaceLookAlikeLetters(number);
    if (latin != number && IsKnownNumber(latin, isKey)) return latin;
    return number;
}

bool IsOnProgramDrive(const std::string& value) {
    return value.find(drivePlaceholder) == 0;
}

namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

bool IsAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

}  // namespace

char DriveLetterOf(const std::string& programPath) {
    const std::string longPrefix = "\\\\?\\";
    const size_t at = programPath.compare(0, longPrefix.size(), longPrefix) == 0 ? 4 : 0;
    const bool lettered =
        programPath.size() > at + 1 && IsAsciiLetter(programPath[at]) && programPath[at + 1] == ':';
    return lettered ? programPath[at] : '\0';
}

bool PathBelowMedium(const std::string& value, char driveLetter, std::string& below) {
    if (!IsOnProgramDrive(value)) return false;
    const bool folderForm = value.compare(0, 2, std::string{drivePlaceholder, ':'}) == 0;
    size_t from = folderForm ? 2 : 0;
    if (folderForm) {
        while (from < value.size() && IsSeparator(value[from])) ++from;
    }
    below.clear();
    for (size_t i = from; i < value.size(); ++i) {
        if (value[i] != drivePlaceholder) {
            below += value[i];
        } else if (driveLetter != '\0') {
            below += driveLetter;
        } else {
            return false;
        }
    }
    return true;
}

std::string ProgramFolderOf(const std::string& programPath) {
    const size_t separator = programPath.find_last_of("\\/");
    return separator == std::string::npos ? std::string() : programPath.substr(0, separator + 1);
}

std::string ResolveSetupPath(const std::string& value, const std::string& programPath) {
    if (value.empty()) return value;
    const std::string folder = ProgramFolderOf(programPath);
    std::string below;
    if (IsOnProgramDrive(value)) {
        if (folder.empty() || !PathBelowMedium(value, DriveLetterOf(programPath), below)) return {};
        return folder + below;
    }
    const bool rooted = IsSeparator(value[0]);
    if (rooted) return value.size() > 1 && IsSeparator(value[1]) ? value : std::string();
    if (value.size() >= 2 && value[1] == ':') {
        return value.size() > 2 && IsSeparator(value[2]) ? value : std::string();
    }
    return folder.empty() ? std::string() : folder + value;
}

bool LiesInFolder(const std::string& fullPath, const std::string& folder) {
    if (folder.empty() || fullPath.size() <= folder.size() ||
        fullPath.compare(0, folder.size(), folder) != 0)
        return false;
    std::string name;
    for (size_t i = folder.size(); i <= fullPath.size(); ++i) {
        if (i < fullPath.size() && !IsSeparator(fullPath[i])) {
            name += fullPath[i];
            continue;
        }
        if (name.empty() || name == "." || name == "..") return false;
        name.clear();
    }
    return true;
}
