#include "handoff/HandoffRegistry.h"

#include <windows.h>

#include <cstdlib>
#include <ctime>

#include "handoff/HandoffClassId.h"
#include "handoff/RegistryKey.h"

std::string MakeHandoffClassId(const std::function<bool(const std::string& keyPath)>& keyOpens) {
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    return DrawFreeHandoffClassId(
        [] { return std::rand(); },
        [&](const std::string& id) { return keyOpens(HandoffKeyPath(id)); });
}

std::string MakeHandoffClassId() {
    RegistryKey key;
    return MakeHandoffClassId([&key](const std::string& keyPath) {
        return key.Open(HKEY_CLASSES_ROOT, keyPath, KEY_ALL_ACCESS);
    });
}

void WriteHandoffRecord(const std::string& classId, const std::string& number) {
    RegistryKey key;
    key.Create(HKEY_CLASSES_ROOT, HandoffKeyPath(classId) + "\\InprocServer32", nullptr,
               REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, nullptr);
    key.Create(HKEY_CLASSES_ROOT, HandoffKeyPath(classId) + "\\Art", nullptr,
               REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, nullptr);
    key.SetString(nullptr, number);
}
