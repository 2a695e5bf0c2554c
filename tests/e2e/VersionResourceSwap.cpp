#include "VersionResourceSwap.h"

#include <windows.h>

#include <memory>
#include <type_traits>
#include <vector>

namespace {

constexpr ULONG_PTR kVersionType = 16;
constexpr ULONG_PTR kVersionName = 1;

struct ModuleCloser {
    void operator()(HMODULE module) const { FreeLibrary(module); }
};
using DataModule = std::unique_ptr<std::remove_pointer_t<HMODULE>, ModuleCloser>;

DataModule LoadAsData(const std::string& path) {
    return DataModule(LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
}

// A resource type or name: a number, or a text.
struct ResourceKey {
    explicit ResourceKey(LPCSTR key)
        : number(IS_INTRESOURCE(key) ? reinterpret_cast<ULONG_PTR>(key) : 0),
          text(IS_INTRESOURCE(key) ? "" : key) {}
    LPCSTR Pointer() const { return number != 0 ? MAKEINTRESOURCEA(number) : text.c_str(); }
    ULONG_PTR number;
    std::string text;
};

struct Resource {
    ResourceKey type;
    ResourceKey name;
    WORD language;
    std::vector<char> bytes;
};

BOOL CALLBACK CollectLanguage(HMODULE module, LPCSTR type, LPCSTR name, WORD language,
                              LONG_PTR list) {
    HRSRC found = FindResourceExA(module, type, name, language);
    HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
    const char* data = loaded != nullptr ? static_cast<const char*>(LockResource(loaded)) : nullptr;
    if (data == nullptr) return FALSE;
    reinterpret_cast<std::vector<Resource>*>(list)->push_back(
        Resource{ResourceKey(type), ResourceKey(name), language,
                 std::vector<char>(data, data + SizeofResource(module, found))});
    return TRUE;
}

BOOL CALLBACK CollectName(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR list) {
    return EnumResourceLanguagesA(module, type, name, &CollectLanguage, list);
}

BOOL CALLBACK CollectType(HMODULE module, LPSTR type, LONG_PTR list) {
    return EnumResourceNamesA(module, type, &CollectName, list);
}

bool IsVersion(const Resource& resource) {
    return resource.type.number == kVersionType && resource.name.number == kVersionName;
}

bool ReadResources(const std::string& path, std::vector<Resource>& resources) {
    const DataModule module = LoadAsData(path);
    return module &&
           EnumResourceTypesA(module.get(), &CollectType, reinterpret_cast<LONG_PTR>(&resources));
}

}  // namespace

bool SwapVersionResource(const std::string& program, const std::string& fromModule) {
    std::vector<Resource> kept;
    if (!ReadResources(program, kept)) return false;
    std::vector<Resource> versions;
    if (!fromModule.empty()) {
        std::vector<Resource> source;
        if (!ReadResources(fromModule, source)) return false;
        for (Resource& resource : source) {
            if (IsVersion(resource)) versions.push_back(std::move(resource));
        }
        if (versions.empty()) return false;
    }

    // The whole table is written anew: Wine does not delete a single entry.
    HANDLE update = BeginUpdateResourceA(program.c_str(), TRUE);
    if (update == nullptr) return false;
    bool ok = true;
    auto add = [&](const Resource& resource) {
        std::vector<char> bytes = resource.bytes;
        ok = ok &&
             UpdateResourceA(update, resource.type.Pointer(), resource.name.Pointer(),
                             resource.language, bytes.data(), static_cast<DWORD>(bytes.size()));
    };
    for (const Resource& resource : kept) {
        if (!IsVersion(resource)) add(resource);
    }
    for (const Resource& resource : versions) add(resource);
    return EndUpdateResourceA(update, ok ? FALSE : TRUE) && ok;
}
