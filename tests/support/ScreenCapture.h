#pragma once

#include <windows.h>

#include <string>
#include <vector>

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
// pixels are BGRX rows, top row first.
class ScreenBitmap {
  public:
    ScreenBitmap(int width, int height)
        : count(static_cast<std::size_t>(width) * height),
          screen(GetDC(nullptr)),
          memory(CreateCompatibleDC(screen)) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (bitmap != nullptr) old = SelectObject(memory, bitmap);
    }
    ~ScreenBitmap() {
        if (bitmap != nullptr) {
            SelectObject(memory, old);
            DeleteObject(bitmap);
        }
        DeleteDC(memory);
        ReleaseDC(nullptr, screen);
    }
    ScreenBitmap(const ScreenBitmap&) = delete;
    ScreenBitmap& operator=(const ScreenBitmap&) = delete;

    bool Usable() const { return bitmap != nullptr; }
    HDC Screen() const { return screen; }
    HDC Dc() const { return memory; }
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
    HDC screen;
    HDC memory;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
    void* bits = nullptr;
};

}  // namespace support
