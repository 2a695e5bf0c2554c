#pragma once

#include <string>

// Names whose letters are written decomposed (a base letter and a combining mark, as macOS and
// some copying tools write them) against the composed letters a cp1251 catalogue spells: "й" is
// U+0439 in the catalogue and may be U+0438 U+0306 on the disk.
namespace composednames {

// The UTF-8 name with every decomposed letter cp1251 can write composed; the rest as it is.
std::string Composed(const std::string& name);

}  // namespace composednames
