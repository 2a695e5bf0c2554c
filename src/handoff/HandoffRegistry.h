#pragma once

#include <functional>
#include <string>

// The registry side of the hand-off: a class identifier whose key under HKEY_CLASSES_ROOT\CLSID
// is free, and the record that carries the article number to the set-up program. Both are in the
// registry's 32-bit view (kHandoffRegistryView, protocol/HandoffProtocol.h), whichever build runs.

// Draws identifiers from the system's cryptographic generator until one's key "CLSID\{id}" does not
// open with KEY_ALL_ACCESS under HKEY_CLASSES_ROOT. Nothing about an identifier tells another: no
// seed, no clock.
std::string MakeHandoffClassId();
// The same with the draws (rand-like: byte k is the low 8 bits of draw k) and the test of whether
// a key path ("CLSID\{id}") is taken supplied by the caller.
std::string MakeHandoffClassId(const std::function<int()>& draw,
                               const std::function<bool(const std::string& keyPath)>& keyOpens);
// One draw from the system's cryptographic generator.
int SystemRandomDraw();
// Whether "CLSID\{id}" opens with KEY_ALL_ACCESS under HKEY_CLASSES_ROOT: the identifier is taken.
bool HandoffKeyOpens(const std::string& keyPath);

// Creates "CLSID\{id}\InprocServer32" and "CLSID\{id}\Art" under HKEY_CLASSES_ROOT and stores the
// number as the default value of "Art". No step's result stops the next one, and nothing is
// reported: a refused write leaves no record, or an incomplete one.
void WriteHandoffRecord(const std::string& classId, const std::string& number);
