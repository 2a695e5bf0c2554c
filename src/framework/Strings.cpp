#include "framework/Strings.h"

#include <vector>

#include "framework/Application.h"

std::string LoadResourceStringFrom(HINSTANCE module, UINT id) {
    // LoadStringA cuts the text to the buffer; grow until it fits with room to spare.
    for (std::size_t size = 256; size <= 65536; size *= 4) {
        std::vector<char> buffer(size);
        const int copied = LoadStringA(module, id, buffer.data(), static_cast<int>(size));
        if (copied <= 0) return std::string();
        if (static_cast<std::size_t>(copied) < size - 1)
            return std::string(buffer.data(), static_cast<std::size_t>(copied));
    }
    return std::string();
}

std::string LoadResourceString(UINT id) {
    return LoadResourceStringFrom(ModuleInstance(), id);
}
