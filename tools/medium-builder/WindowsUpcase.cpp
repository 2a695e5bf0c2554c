#include "WindowsUpcase.h"

namespace windowsupcase {

namespace {

// A run of letters where capital and small alternate, a capital first.
struct Pairs {
    char32_t first;
    char32_t last;
};

const Pairs kPairs[] = {
    {0x0100, 0x012F}, {0x0132, 0x0137}, {0x0139, 0x0148}, {0x014A, 0x0177}, {0x0179, 0x017E},
    {0x01CD, 0x01DC}, {0x01DE, 0x01EF}, {0x01F8, 0x021F}, {0x0222, 0x0233}, {0x0246, 0x024F},
    {0x03D8, 0x03EF}, {0x0460, 0x0481}, {0x048A, 0x04BF}, {0x04C1, 0x04CE}, {0x04D0, 0x052F},
    {0x1E00, 0x1E95}, {0x1EA0, 0x1EFF}, {0x2C80, 0x2CE3}, {0xA640, 0xA66D}, {0xA680, 0xA69B},
    {0xA722, 0xA72F}, {0xA732, 0xA76F}, {0xA77E, 0xA787}, {0xA790, 0xA793}, {0xA796, 0xA7A9},
};

// A run of small letters whose capitals lie a fixed distance below.
struct Shift {
    char32_t first;
    char32_t last;
    char32_t by;
};

const Shift kShifts[] = {
    {'a', 'z', 0x20},         {0x00E0, 0x00F6, 0x20}, {0x00F8, 0x00FE, 0x20},
    {0x03AD, 0x03AF, 0x25},   {0x03B1, 0x03C1, 0x20}, {0x03C3, 0x03CB, 0x20},
    {0x03CD, 0x03CE, 0x3F},   {0x0430, 0x044F, 0x20}, {0x0450, 0x045F, 0x50},
    {0x0561, 0x0586, 0x30},   {0x2170, 0x217F, 0x10}, {0x24D0, 0x24E9, 0x1A},
    {0x2D00, 0x2D25, 0x1C60}, {0xFF41, 0xFF5A, 0x20},
};

}  // namespace

char32_t Upper(char32_t c) {
    if (c < 'a') return c;
    for (const Shift& s : kShifts) {
        if (c >= s.first && c <= s.last) return c - s.by;
    }
    for (const Pairs& p : kPairs) {
        if (c >= p.first && c <= p.last) {
            return (c - p.first) % 2 == 1 ? c - 1 : c;
        }
    }
    switch (c) {
        case 0x00B5:
            return 0x039C;  // micro sign
        case 0x00FF:
            return 0x0178;  // y with diaeresis
        case 0x0180:
            return 0x0243;
        case 0x0183:
        case 0x0185:
        case 0x0188:
        case 0x018C:
        case 0x0192:
        case 0x0199:
        case 0x01A1:
        case 0x01A3:
        case 0x01A5:
        case 0x01A8:
        case 0x01AD:
        case 0x01B0:
        case 0x01B4:
        case 0x01B6:
        case 0x01B9:
        case 0x01BD:
        case 0x01F5:
            return c - 1;
        case 0x01C6:
        case 0x01C9:
        case 0x01CC:
        case 0x01F3:
            return c - 2;
        case 0x03AC:
            return 0x0386;
        case 0x03C2:
            return 0x03A3;  // final sigma
        case 0x03CC:
            return 0x038C;
        case 0x04CF:
            return 0x04C0;
        default:
            return c;
    }
}

}  // namespace windowsupcase
