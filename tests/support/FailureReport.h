#pragma once

#include <functional>
#include <string>

// Every Windows test program reports its first failure in each test the same way: a screenshot
// of the screen beside the test program (failed-<suite>.<test>.bmp) and what the windows it
// drives show, as told by the describers registered here while they live.
namespace support {

using WindowDescriber = std::function<std::string()>;

// Registers a describer; the id unregisters it.
int WatchWindows(WindowDescriber describe);
void UnwatchWindows(int id);

}  // namespace support
