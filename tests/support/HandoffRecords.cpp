#include "support/HandoffRecords.h"

#include <windows.h>

#include "protocol/HandoffProtocol.h"

namespace support {

bool HandoffKeyExists(const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ | kHandoffRegistryView, &key) !=
        ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

std::string RecordedNumber(const std::string& classId) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, (HandoffKeyPath(classId) + "\\Art").c_str(), 0,
                      KEY_READ | kHandoffRegistryView, &key) != ERROR_SUCCESS)
        return "(none)";
    DWORD type = 0;
    DWORD size = 0;
    LONG read = RegQueryValueExA(key, nullptr, nullptr, &type, nullptr, &size);
    std::string value(size, '\0');
    if (read == ERROR_SUCCESS)
        read = RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(&value[0]),
                                &size);
    RegCloseKey(key);
    if (read == ERROR_FILE_NOT_FOUND) return "(none)";
    if (read != ERROR_SUCCESS) return "(error " + std::to_string(read) + ")";
    if (type != REG_SZ) return "(not REG_SZ)";
    return value.substr(0, value.find('\0'));
}

void DeleteHandoffRecord(const std::string& classId) {
    if (!IsHandoffClassId(classId)) return;
    RegDeleteKeyExA(HKEY_CLASSES_ROOT, (HandoffKeyPath(classId) + "\\Art").c_str(),
                    kHandoffRegistryView, 0);
    RegDeleteKeyExA(HKEY_CLASSES_ROOT, (HandoffKeyPath(classId) + "\\InprocServer32").c_str(),
                    kHandoffRegistryView, 0);
    RegDeleteKeyExA(HKEY_CLASSES_ROOT, HandoffKeyPath(classId).c_str(), kHandoffRegistryView, 0);
}

}  // namespace support
