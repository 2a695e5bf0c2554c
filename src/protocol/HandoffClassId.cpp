#include <cstdio>

#include "protocol/HandoffProtocol.h"

std::string FormatHandoffClassId(const HandoffBytes& b) {
    char text[handoffClassIdLength + 1];
    std::snprintf(text, sizeof text,
                  "%s%02X%02X%02X%02X%s%02X%02X%s%02X%02X%s%02X%02X%s%02X%02X%02X%02X%02X%02X%s",
                  "{", b[0], b[1], b[2], b[3], "-", b[4], b[5], "-", b[6], b[7], "-", b[8], b[9],
                  "-", b[10], b[11], b[12], b[13], b[14], b[15], "}");
    return text;
}

bool IsHandoffClassId(const std::string& text) {
    if (text.size() != handoffClassIdLength) return false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        bool fits = false;
        if (i == 0) {
            fits = c == '{';
        } else if (i == handoffClassIdLength - 1) {
            fits = c == '}';
        } else if (i == 9 || i == 14 || i == 19 || i == 24) {
            fits = c == '-';
        } else {
            fits = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
        }
        if (!fits) return false;
    }
    return true;
}

HandoffBytes DrawHandoffBytes(const std::function<int()>& draw) {
    HandoffBytes bytes{};
    for (auto& byte : bytes) byte = static_cast<std::uint8_t>(draw() & 0xFF);
    return bytes;
}

std::string DrawFreeHandoffClassId(const std::function<int()>& draw,
                                   const std::function<bool(const std::string& classId)>& isTaken) {
    for (;;) {
        std::string classId = FormatHandoffClassId(DrawHandoffBytes(draw));
        if (!isTaken(classId)) return classId;
    }
}

std::string HandoffKeyPath(const std::string& classId) {
    return "CLSID\\" + classId;
}
