#pragma once

#include <vector>

// The environment a set-up program is started with, as a UTF-16 block for CreateProcessW (with
// CREATE_UNICODE_ENVIRONMENT): the installer's own, without the .NET runtime's loader hooks
// (IsRuntimeHookVariable).
std::vector<wchar_t> SetupEnvironmentBlock();
