#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "protocol/HandoffProtocol.h"

// In the hand-off's registry view (kHandoffRegistryView), as every helper here.

// Removes a key with everything below it; a missing key is left alone. A key that refuses full
// access but allows deleting goes as well, when it has no subkeys.
inline void DeleteTree(HKEY root, const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_ALL_ACCESS | kHandoffRegistryView, &key) !=
        ERROR_SUCCESS) {
        RegDeleteKeyExA(root, path.c_str(), kHandoffRegistryView, 0);
        return;
    }
    char name[256];
    for (;;) {
        DWORD length = sizeof name;
        if (RegEnumKeyExA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        DeleteTree(root, path + "\\" + name);
    }
    RegCloseKey(key);
    RegDeleteKeyExA(root, path.c_str(), kHandoffRegistryView, 0);
}

// Creates a key whose security lets everyone read and delete it and nothing else: it opens for
// reading, but neither with KEY_ALL_ACCESS nor for making subkeys or values.
inline bool CreateKeyRefusingFullAccess(HKEY root, const std::string& path) {
    SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
    PSID everyone = nullptr;
    if (!AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone))
        return false;
    std::vector<BYTE> aclBytes(sizeof(ACL) + sizeof(ACCESS_ALLOWED_ACE) + GetLengthSid(everyone));
    auto* acl = reinterpret_cast<ACL*>(aclBytes.data());
    SECURITY_DESCRIPTOR descriptor{};
    const bool described =
        InitializeAcl(acl, static_cast<DWORD>(aclBytes.size()), ACL_REVISION) &&
        AddAccessAllowedAce(acl, ACL_REVISION, KEY_READ | DELETE, everyone) &&
        InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) &&
        SetSecurityDescriptorDacl(&descriptor, TRUE, acl, FALSE);
    LONG created = ERROR_INVALID_PARAMETER;
    if (described) {
        SECURITY_ATTRIBUTES attributes{sizeof attributes, &descriptor, FALSE};
        HKEY key = nullptr;
        created = RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0,
                                  KEY_READ | WRITE_DAC | kHandoffRegistryView, &attributes, &key,
                                  nullptr);
        if (created == ERROR_SUCCESS) {
            // The platform may leave the creation's attributes aside: set the security again.
            created = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &descriptor);
            RegCloseKey(key);
        }
    }
    FreeSid(everyone);
    return created == ERROR_SUCCESS;
}
