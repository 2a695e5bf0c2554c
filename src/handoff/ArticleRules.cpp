#include "handoff/ArticleRules.h"

#include "handoff/LanguageTable.h"

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
    for (int i = 0; i < LanguageTable::size; ++i) {
        std::string candidate = number;
        for (char& c : candidate) {
            if (c == placeholderLetter) c = languageTable.letters[i];
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

// "D:\medium\" for "D:\medium\installer.exe"; empty when the path names no folder.
std::string FolderOf(const std::string& programPath) {
    const size_t separator = programPath.rfind('\\');
    return separator == std::string::npos ? std::string() : programPath.substr(0, separator + 1);
}

bool IsRelative(const std::string& path) {
    const bool rooted = !path.empty() && (path[0] == '\\' || path[0] == '/');
    const bool withDrive = path.size() >= 2 && path[1] == ':';
    return !rooted && !withDrive;
}

}  // namespace

std::string ResolveSetupPath(const std::string& value, const std::string& programPath) {
    if (value.empty()) return value;
    const std::string folder = FolderOf(programPath);
    std::string path;
    size_t from = 0;
    if (value.compare(0, 2, std::string{drivePlaceholder, ':'}) == 0 && !folder.empty()) {
        from = 2;
        // The folder keeps its closing backslash only when the value brings none of its own.
        const bool ownSeparator = value.size() > from && value[from] == '\\';
        path = ownSeparator ? folder.substr(0, folder.size() - 1) : folder;
    }
    const std::string drive = programPath.substr(0, 1);
    for (size_t i = from; i < value.size(); ++i) {
        if (value[i] == drivePlaceholder && IsOnProgramDrive(value)) {
            path += drive;
        } else {
            path += value[i];
        }
    }
    return IsRelative(path) ? folder + path : path;
}

int LanguageIndexOf(const std::string& number) {
    const std::string first = number.substr(0, 1);
    const size_t at = std::string(languageTable.letters).find(first);
    return at == std::string::npos ? -1 : static_cast<int>(at);
}
