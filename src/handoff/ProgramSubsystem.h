#pragma once

#include <cstddef>

// How many bytes from a program file's start IsConsoleProgramHeader looks at: the headers of
// every program a linker writes lie within them.
constexpr std::size_t programHeaderReadSize = 4096;

// True when the bytes (a program file's first bytes) are a PE program's headers whose subsystem
// is the console's (IMAGE_SUBSYSTEM_WINDOWS_CUI), 32-bit or 64-bit. Anything else, headers that
// reach past the bytes given included, is not a console program.
bool IsConsoleProgramHeader(const unsigned char* bytes, std::size_t size);
