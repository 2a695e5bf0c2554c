#include "framework/MessageBoxes.h"

int ShowMessageBox(HWND owner, const std::string& text, const char* caption, UINT style) {
    return MessageBoxA(owner, text.c_str(), caption, style);
}
