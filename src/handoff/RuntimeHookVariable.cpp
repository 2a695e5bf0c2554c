#include "handoff/RuntimeHookVariable.h"

bool IsRuntimeHookVariable(const std::wstring& entry) {
    const auto startsWith = [&entry](const std::wstring& prefix) {
        if (entry.size() < prefix.size()) return false;
        for (size_t i = 0; i < prefix.size(); ++i) {
            wchar_t c = entry[i];
            if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
            if (c != prefix[i]) return false;
        }
        return true;
    };
    return startsWith(L"COR_") || startsWith(L"COMPLUS_");
}
