#include "support/ScreenCapture.h"

#include <cstdio>
#include <memory>

namespace support {

std::vector<DWORD> CaptureScreen(const RECT& rect) {
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return std::vector<DWORD>();
    ScreenBitmap bitmap(width, height);
    if (!bitmap.Usable()) return std::vector<DWORD>(static_cast<std::size_t>(width) * height);
    BitBlt(bitmap.Dc(), 0, 0, width, height, bitmap.Screen(), rect.left, rect.top, SRCCOPY);
    return bitmap.Pixels();
}

RECT WholeScreen() {
    return RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

bool SaveBitmap(const std::wstring& path, const std::vector<DWORD>& pixels, int width, int height) {
    if (pixels.size() != static_cast<std::size_t>(width) * height || pixels.empty()) return false;
    const int stride = (width * 3 + 3) & ~3;
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER header{};
    header.biSize = sizeof(header);
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biSizeImage = static_cast<DWORD>(stride) * height;
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(header);
    file.bfSize = file.bfOffBits + header.biSizeImage;
    struct Closer {
        void operator()(FILE* f) const { std::fclose(f); }
    };
    std::unique_ptr<FILE, Closer> owned(_wfopen(path.c_str(), L"wb"));
    FILE* out = owned.get();
    if (out == nullptr) return false;
    bool ok = std::fwrite(&file, sizeof(file), 1, out) == 1 &&
              std::fwrite(&header, sizeof(header), 1, out) == 1;
    std::vector<unsigned char> row(static_cast<std::size_t>(stride), 0);
    for (int y = height - 1; ok && y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            const DWORD p = pixels[static_cast<std::size_t>(y) * width + x];
            row[x * 3] = static_cast<unsigned char>(p & 0xFF);
            row[x * 3 + 1] = static_cast<unsigned char>((p >> 8) & 0xFF);
            row[x * 3 + 2] = static_cast<unsigned char>((p >> 16) & 0xFF);
        }
        ok = std::fwrite(row.data(), 1, row.size(), out) == row.size();
    }
    return std::fclose(owned.release()) == 0 && ok;
}

bool SaveWindowImage(HWND window, const std::wstring& path) {
    RECT rect{};
    if (window == nullptr || !GetWindowRect(window, &rect)) return false;
    return SaveBitmap(path, CaptureScreen(rect), rect.right - rect.left, rect.bottom - rect.top);
}

}  // namespace support
