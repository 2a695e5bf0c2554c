#include "support/HandoffRecords.h"

#include <windows.h>

#include "handoff/HandoffClassId.h"

namespace support {

void DeleteHandoffRecord(const std::string& classId) {
    if (!IsHandoffClassId(classId)) return;
    RegDeleteKeyA(HKEY_CLASSES_ROOT, (HandoffKeyPath(classId) + "\\Art").c_str());
    RegDeleteKeyA(HKEY_CLASSES_ROOT, (HandoffKeyPath(classId) + "\\InprocServer32").c_str());
    RegDeleteKeyA(HKEY_CLASSES_ROOT, HandoffKeyPath(classId).c_str());
}

}  // namespace support
