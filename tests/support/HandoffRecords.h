#pragma once

#include <string>

// The installer's hand-off records under HKEY_CLASSES_ROOT\CLSID, as the tests read and clean
// them up: in the hand-off's registry view, whichever build runs.
namespace support {

// Whether a key under HKEY_CLASSES_ROOT opens for reading.
bool HandoffKeyExists(const std::string& path);
// The number recorded for a class identifier: its "Art" key's default value as a string, read
// through the 8-bit call. "(none)" when the key or the value is missing, "(not REG_SZ)" for a
// value of another type, "(error N)" when it cannot be read.
std::string RecordedNumber(const std::string& classId);
// Removes the record of a class identifier (its "Art" and "InprocServer32" keys and the key
// itself); anything that is not an identifier is left alone.
void DeleteHandoffRecord(const std::string& classId);

}  // namespace support
