#pragma once

#include <map>
#include <string>

namespace support {

// Writes a loadable catalogue file at path whose article section holds key -> text value.
bool WriteArticleCatalog(const std::string& path,
                         const std::map<std::string, std::string>& articles);

}  // namespace support
