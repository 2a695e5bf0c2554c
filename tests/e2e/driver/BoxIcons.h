#pragma once

#include <windows.h>

#include <ostream>

// Which of the system's standard icons a message box shows, told by its pixels on the screen.
namespace e2e {

enum class BoxIcon { None, Error, Warning, Information, Question, Unknown };
const char* BoxIconName(BoxIcon icon);
// For test output.
inline std::ostream& operator<<(std::ostream& out, BoxIcon icon) {
    return out << BoxIconName(icon);
}

// The icon of a message box; None when it shows none, Unknown when it is none of the standard
// ones.
BoxIcon ClassifyIcon(HWND box);

}  // namespace e2e
