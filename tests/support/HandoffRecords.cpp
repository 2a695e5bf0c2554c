#include "support/HandoffRecords.h"

#include <windows.h>

#include "protocol/HandoffProtocol.h"

namespace support {

void DeleteHandoffRecord(const std::string& classId) {
    if (!IsHandoffClassId(classId)) return;
    RegDeleteKeyExA(HKEY_CLASSES_ROOT, (HandoffKeyPath(classId) + "\\Art").c_str(),
                    kHandoffRegistryView, 0);
    RegDeleteKeyExA(HKEY_CLASSES_ROOT, (HandoffKeyPath(classId) + "\\InprocServer32").c_str(),
                    kHandoffRegistryView, 0);
    RegDeleteKeyExA(HKEY_CLASSES_ROOT, HandoffKeyPath(classId).c_str(), kHandoffRegistryView, 0);
}

}  // namespace support
