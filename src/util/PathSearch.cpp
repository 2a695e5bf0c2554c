#include "util/PathSearch.h"

std::size_t FindLastSeparator(const std::string& text, char separator) {
    return text.rfind(separator);
}

bool EndsWithSeparator(const std::string& text, char separator) {
    return !text.empty() && text.back() == separator;
}

std::string ExistenceQuery(const std::string& fullPath) {
    std::string query = fullPath;
    if (!EndsWithSeparator(fullPath, '\\')) return query;
    if (fullPath.size() >= 2 && fullPath[fullPath.size() - 2] == ':') {
        query += '*';
    } else {
        query.pop_back();
    }
    return query;
}
