#pragma once

#include <string>

#include "catalog/CatalogStore.h"

// The readable text form of a catalogue (UTF-8), described in README.md under "Catalogue text
// form". Printing sorts sections and keys by their bytes, so one store always prints the same.
namespace textform {

// Fills store from text; false with "source:line: message" for every fault found, one a line.
bool Parse(const std::string& text, const std::string& sourceName, CatalogStore& store,
           std::string& error);

std::string Print(const CatalogStore& store);

// The pieces of the printed form.
std::string QuoteText(const std::string& cp1251);
std::string PrintName(const std::string& cp1251);

}  // namespace textform
