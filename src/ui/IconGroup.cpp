#include "ui/IconGroup.h"

#include <cstdlib>

namespace {

// The group's header (reserved, type, count: three 16-bit words), then one entry per image:
// width, height, colour count and a reserved byte, planes and bit count (16 bits each), the
// image's byte count (32 bits) and its RT_ICON id (16 bits).
constexpr size_t groupHeaderSize = 6;
constexpr size_t groupEntrySize = 14;

}  // namespace

std::vector<int> IconGroupSizes(HMODULE module, UINT groupId) {
    std::vector<int> sizes;
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(groupId), RT_GROUP_ICON);
    HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
    const auto* bytes =
        static_cast<const BYTE*>(loaded != nullptr ? LockResource(loaded) : nullptr);
    if (bytes == nullptr) return sizes;
    const size_t length = SizeofResource(module, found);
    if (length < groupHeaderSize) return sizes;
    const size_t count = bytes[4] | bytes[5] << 8;
    for (size_t i = 0; i < count; ++i) {
        const size_t entry = groupHeaderSize + i * groupEntrySize;
        if (entry + groupEntrySize > length) break;
        sizes.push_back(bytes[entry] == 0 ? 256 : bytes[entry]);
    }
    return sizes;
}

int NearestSize(const std::vector<int>& sizes, int wanted) {
    int nearest = wanted;
    int distance = -1;
    for (int size : sizes) {
        const int d = std::abs(size - wanted);
        if (distance < 0 || d < distance || (d == distance && size > nearest)) {
            nearest = size;
            distance = d;
        }
    }
    return nearest;
}
