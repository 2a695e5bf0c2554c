#include "RecordReader.h"

#include <windows.h>

#include <vector>

#include "handoff/HandoffClassId.h"
#include "handoff/HandoffReply.h"
#include "handoff/RegistryKey.h"

namespace {

#ifdef _WIN64
constexpr REGSAM registryView = KEY_WOW64_32KEY;
#else
constexpr REGSAM registryView = 0;
#endif

}  // namespace

std::optional<std::string> ReadRecordedNumber(const std::string& identifier) {
    RegistryKey art;
    if (!art.Open(HKEY_CLASSES_ROOT, HandoffKeyPath(identifier) + "\\Art",
                  KEY_QUERY_VALUE | registryView)) {
        return std::nullopt;
    }
    std::vector<char> value(64);
    for (;;) {
        DWORD type = 0;
        DWORD size = static_cast<DWORD>(value.size());
        const LONG result = RegQueryValueExA(art.Handle(), nullptr, nullptr, &type,
                                             reinterpret_cast<BYTE*>(value.data()), &size);
        if (result == ERROR_MORE_DATA) {
            value.resize(size + 1);
            continue;
        }
        if (result != ERROR_SUCCESS || type != REG_SZ) return std::nullopt;
        return ReceivedReplyText(value.data(), size);
    }
}
