#include "handoff/HandoffRegistry.h"

#include <windows.h>
// The system's generator, exported by ADVAPI32 (a known DLL) as SystemFunction036.
#include <ntsecapi.h>

#include "handoff/RegistryKey.h"
#include "protocol/HandoffProtocol.h"

std::string MakeHandoffClassId(const std::function<int()>& draw,
                               const std::function<bool(const std::string& keyPath)>& keyOpens) {
    return DrawFreeHandoffClassId(
        draw, [&](const std::string& id) { return keyOpens(HandoffKeyPath(id)); });
}

int SystemRandomDraw() {
    unsigned char byte = 0;
    if (!RtlGenRandom(&byte, sizeof byte)) {
        // The generator has no way to fail on any supported system; should it ever, the process
        // ends rather than hand out a guessable identifier.
        FatalAppExitW(0, L"The system's random number generator failed.");
    }
    return byte;
}

bool HandoffKeyOpens(const std::string& keyPath) {
    RegistryKey key;
    return key.Open(HKEY_CLASSES_ROOT, keyPath, KEY_ALL_ACCESS | kHandoffRegistryView);
}

std::string MakeHandoffClassId() {
    return MakeHandoffClassId(SystemRandomDraw, HandoffKeyOpens);
}

void WriteHandoffRecord(const std::string& classId, const std::string& number) {
    RegistryKey key;
    key.Create(HKEY_CLASSES_ROOT, HandoffKeyPath(classId) + "\\" + handoffServerKeyName, nullptr,
               REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS | kHandoffRegistryView, nullptr, nullptr);
    key.Create(HKEY_CLASSES_ROOT, HandoffKeyPath(classId) + "\\" + handoffNumberKeyName, nullptr,
               REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS | kHandoffRegistryView, nullptr, nullptr);
    key.SetString(nullptr, number);
}
