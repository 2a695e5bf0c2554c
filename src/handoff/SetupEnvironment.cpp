#include "handoff/SetupEnvironment.h"

#include <windows.h>

#include <cwchar>
#include <string>

#include "handoff/RuntimeHookVariable.h"

namespace {

// Owns the block GetEnvironmentStringsW gives.
struct EnvironmentStrings {
    EnvironmentStrings() : block(GetEnvironmentStringsW()) {}
    ~EnvironmentStrings() {
        if (block != nullptr) FreeEnvironmentStringsW(block);
    }
    EnvironmentStrings(const EnvironmentStrings&) = delete;
    EnvironmentStrings& operator=(const EnvironmentStrings&) = delete;
    wchar_t* block;
};

}  // namespace

std::vector<wchar_t> SetupEnvironmentBlock() {
    std::vector<wchar_t> kept;
    const EnvironmentStrings own;
    for (const wchar_t* entry = own.block; entry != nullptr && *entry != L'\0';
         entry += std::wcslen(entry) + 1) {
        const std::wstring text(entry);
        if (IsRuntimeHookVariable(text)) continue;
        kept.insert(kept.end(), text.begin(), text.end());
        kept.push_back(L'\0');
    }
    // An empty block is still two zeros.
    if (kept.empty()) kept.push_back(L'\0');
    kept.push_back(L'\0');
    return kept;
}
