#include "protocol/HandoffProtocol.h"

int LanguageIndexOf(const std::string& number) {
    const std::string first = number.substr(0, 1);
    const size_t at = std::string(languageLetters).find(first);
    return at == std::string::npos ? -1 : static_cast<int>(at);
}
