#pragma once

#include <string>

// Gives a program file another version resource: the one of `fromModule`, or none at all when
// `fromModule` is empty. Every other resource of the program is kept. True when the file was
// rewritten.
bool SwapVersionResource(const std::string& program, const std::string& fromModule);
