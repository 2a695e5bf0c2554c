#include "ui/PictureScaling.h"

#include <algorithm>

SIZE FitInto(SIZE picture, SIZE place) {
    if (picture.cx <= 0 || picture.cy <= 0 || place.cx <= 0 || place.cy <= 0) return picture;
    // Compared as products, so that a place of exactly the picture's proportions gives its own
    // size back without rounding.
    const LONGLONG widthBound = static_cast<LONGLONG>(place.cx) * picture.cy;
    const LONGLONG heightBound = static_cast<LONGLONG>(place.cy) * picture.cx;
    SIZE size{};
    if (widthBound <= heightBound) {
        size.cx = place.cx;
        size.cy = MulDiv(place.cx, picture.cy, picture.cx);
    } else {
        size.cy = place.cy;
        size.cx = MulDiv(place.cy, picture.cx, picture.cy);
    }
    size.cx = std::max<LONG>(size.cx, 1);
    size.cy = std::max<LONG>(size.cy, 1);
    return size;
}

SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP info{};
    if (bitmap == nullptr || GetObjectW(bitmap, sizeof info, &info) != sizeof info) return SIZE{};
    return SIZE{info.bmWidth, info.bmHeight};
}

OwnedBitmap ScaledCopy(HBITMAP source, SIZE size) {
    const SIZE from = BitmapSize(source);
    if (from.cx <= 0 || from.cy <= 0 || size.cx <= 0 || size.cy <= 0) return OwnedBitmap();
    ScreenDc screen;
    MemoryDc sourceDc(CreateCompatibleDC(screen.Get()));
    MemoryDc targetDc(CreateCompatibleDC(screen.Get()));
    if (!sourceDc || !targetDc) return OwnedBitmap();

    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = size.cx;
    format.bmiHeader.biHeight = -size.cy;  // top-down
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 24;
    format.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    OwnedBitmap scaled(CreateDIBSection(screen.Get(), &format, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!scaled) return OwnedBitmap();

    Selection sourceSelected(sourceDc.Get(), source);
    Selection targetSelected(targetDc.Get(), scaled.Get());
    if (!sourceSelected || !targetSelected) return OwnedBitmap();
    SetStretchBltMode(targetDc.Get(), HALFTONE);
    // HALFTONE wants the brush origin set after the mode.
    SetBrushOrgEx(targetDc.Get(), 0, 0, nullptr);
    if (!StretchBlt(targetDc.Get(), 0, 0, size.cx, size.cy, sourceDc.Get(), 0, 0, from.cx, from.cy,
                    SRCCOPY)) {
        return OwnedBitmap();
    }
    GdiFlush();
    return scaled;
}
