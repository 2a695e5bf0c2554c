#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

// The class identifier a set-up program receives and must send back: 38 characters in the
// registry form "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", made from 16 random bytes.

constexpr size_t handoffClassIdLength = 38;

using HandoffBytes = std::array<std::uint8_t, 16>;

// Two capital hexadecimal digits per byte, bytes in the order given, no group reversed.
std::string FormatHandoffClassId(const HandoffBytes& bytes);

// True for exactly the texts FormatHandoffClassId writes.
bool IsHandoffClassId(const std::string& text);

// Sixteen draws from a rand-like source; byte k is the low 8 bits of draw k.
HandoffBytes DrawHandoffBytes(const std::function<int()>& draw);

// Draws identifiers from the source until one is not taken; the source is never reseeded, so each
// further identifier continues its sequence.
std::string DrawFreeHandoffClassId(const std::function<int()>& draw,
                                   const std::function<bool(const std::string& classId)>& isTaken);

// The registry sub path of an identifier's key: "CLSID\" followed by the identifier.
std::string HandoffKeyPath(const std::string& classId);
