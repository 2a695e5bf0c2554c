#pragma once

#include <windows.h>

// The registry view that holds the hand-off's record: the 32-bit one, on every system and from
// every build. The installer has always been a 32-bit program, so that is where 32-bit set-up
// programs read it; the installer's 64-bit build writes and checks it there too, and the kit
// reads it there from 32-bit and 64-bit set-up programs alike. On a 32-bit system the flag
// changes nothing.
constexpr REGSAM kHandoffRegistryView = KEY_WOW64_32KEY;
