#pragma once

#include <string>

// The installer's hand-off records under HKEY_CLASSES_ROOT\CLSID, as the tests clean them up.
namespace support {

// Removes the record of a class identifier (its "Art" and "InprocServer32" keys and the key
// itself); anything that is not an identifier is left alone.
void DeleteHandoffRecord(const std::string& classId);

}  // namespace support
