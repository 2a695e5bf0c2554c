#include "util/PathSearch.h"

bool NoLeadByte(unsigned char) {
    return false;
}

std::size_t FindLastSeparator(const std::string& text, char separator,
                              LeadBytePredicate isLeadByte) {
    std::size_t found = std::string::npos;
    std::size_t i = 0;
    while (i < text.size()) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (isLeadByte(byte) && i + 1 < text.size()) {
            i += 2;
            continue;
        }
        if (text[i] == separator) found = i;
        ++i;
    }
    return found;
}

bool EndsWithSeparator(const std::string& text, char separator, LeadBytePredicate isLeadByte) {
    return !text.empty() && FindLastSeparator(text, separator, isLeadByte) == text.size() - 1;
}

std::string ExistenceQuery(const std::string& fullPath, LeadBytePredicate isLeadByte) {
    std::string query = fullPath;
    if (!EndsWithSeparator(fullPath, '\\', isLeadByte)) return query;
    if (fullPath.size() >= 2 && fullPath[fullPath.size() - 2] == ':') {
        query += '*';
    } else {
        query.pop_back();
    }
    return query;
}
