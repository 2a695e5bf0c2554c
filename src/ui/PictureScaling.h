#pragma once

#include <windows.h>

#include "ui/GdiHandles.h"

// A picture shown at another size than its own, as a dialog that scales with the system's DPI
// shows it.

// The largest size with the picture's proportions that fits into place; the picture's own size
// when that is what fits. Each side is at least 1.
SIZE FitInto(SIZE picture, SIZE place);

// The size of a bitmap; 0 x 0 when the handle is not a bitmap.
SIZE BitmapSize(HBITMAP bitmap);

// A copy of source at size, made once with the system's high-quality stretching (HALFTONE) as
// a 24-bit device-independent bitmap; null when it cannot be made.
OwnedBitmap ScaledCopy(HBITMAP source, SIZE size);
