#pragma once

#include <windows.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "ui/GdiHandles.h"

// What the screen shows, for tests that look at pixels and for failure reports.
namespace support {

// Pixels of a screen rectangle as 32-bit BGRX rows, top row first; empty for an empty rectangle.
std::vector<DWORD> CaptureScreen(const RECT& rect);
// The rectangle of the whole screen.
RECT WholeScreen();
// Writes pixels in that layout as a 24-bit BMP file.
bool SaveBitmap(const std::wstring& path, const std::vector<DWORD>& pixels, int width, int height);
// A window as it appears on the screen, as a 24-bit BMP file.
bool SaveWindowImage(HWND window, const std::wstring& path);

// A 32-bit top-down bitmap selected into a memory device context made for the screen; its
// pixels are BGRX rows, top row first. The handles are the product's GDI owners.
class ScreenBitmap {
  public:
    ScreenBitmap(int width, int height)
        : count(static_cast<std::size_t>(width) * height),
          memory(CreateCompatibleDC(screen.Get())) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        bitmap.Reset(CreateDIBSection(memory.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        if (bitmap) selected.emplace(memory.Get(), bitmap.Get());
    }

    bool Usable() const { return static_cast<bool>(bitmap); }
    HDC Screen() const { return screen.Get(); }
    HDC Dc() const { return memory.Get(); }
    void Fill(const std::vector<DWORD>& pixels) {
        std::copy(pixels.begin(), pixels.begin() + count, static_cast<DWORD*>(bits));
    }
    std::vector<DWORD> Pixels() const {
        GdiFlush();
        const DWORD* first = static_cast<const DWORD*>(bits);
        return std::vector<DWORD>(first, first + count);
    }

  private:
    std::size_t count;
    // Released in the reverse order: the bitmap leaves the context before either goes.
    ScreenDc screen;
    MemoryDc memory;
    OwnedBitmap bitmap;
    std::optional<Selection> selected;
    void* bits = nullptr;
};

}  // namespace support
