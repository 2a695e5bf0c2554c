#pragma once

#include <functional>
#include <string>

// The registry side of the hand-off: a class identifier whose key under HKEY_CLASSES_ROOT\CLSID
// is free, and the record that carries the article number to the set-up program.

// Seeds the standard generator with the current time on every call, then draws identifiers until
// one's key "CLSID\{id}" does not open with KEY_ALL_ACCESS under HKEY_CLASSES_ROOT. Two calls
// within the same second draw the same sequence.
std::string MakeHandoffClassId();
// The same, with the test of whether a key path ("CLSID\{id}") is taken supplied by the caller.
std::string MakeHandoffClassId(const std::function<bool(const std::string& keyPath)>& keyOpens);

// Creates "CLSID\{id}\InprocServer32" and "CLSID\{id}\Art" under HKEY_CLASSES_ROOT and stores the
// number as the default value of "Art". No step's result stops the next one, and nothing is
// reported: a refused write leaves no record, or an incomplete one.
void WriteHandoffRecord(const std::string& classId, const std::string& number);
