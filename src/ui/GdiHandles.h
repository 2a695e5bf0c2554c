#pragma once

#include <windows.h>

#include <utility>

// Owners of the GDI and icon handles the dialogs make: each frees what it holds when it goes.

// Owns one handle that Free gives back.
template <class Handle, BOOL(WINAPI* Free)(Handle)>
class OwnedHandle {
  public:
    OwnedHandle() = default;
    explicit OwnedHandle(Handle h) : handle(h) {}
    ~OwnedHandle() { Reset(); }
    OwnedHandle(const OwnedHandle&) = delete;
    OwnedHandle& operator=(const OwnedHandle&) = delete;
    OwnedHandle(OwnedHandle&& other) noexcept : handle(other.Release()) {}
    OwnedHandle& operator=(OwnedHandle&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }

    Handle Get() const { return handle; }
    explicit operator bool() const { return handle != nullptr; }
    // Frees the handle owned so far and takes h.
    void Reset(Handle h = nullptr) {
        if (handle != nullptr) Free(handle);
        handle = h;
    }
    Handle Release() { return std::exchange(handle, nullptr); }

  private:
    Handle handle = nullptr;
};

inline BOOL WINAPI DeleteBitmapObject(HBITMAP bitmap) {
    return DeleteObject(bitmap);
}

using OwnedBitmap = OwnedHandle<HBITMAP, DeleteBitmapObject>;
using OwnedIcon = OwnedHandle<HICON, DestroyIcon>;
// A memory device context made with CreateCompatibleDC.
using MemoryDc = OwnedHandle<HDC, DeleteDC>;

// The screen's device context for the length of a scope.
class ScreenDc {
  public:
    ScreenDc() : dc(GetDC(nullptr)) {}
    ~ScreenDc() {
        if (dc != nullptr) ReleaseDC(nullptr, dc);
    }
    ScreenDc(const ScreenDc&) = delete;
    ScreenDc& operator=(const ScreenDc&) = delete;
    HDC Get() const { return dc; }

  private:
    HDC dc;
};

// An object selected into a device context for the length of a scope; the object it replaced
// goes back in when the scope ends.
class Selection {
  public:
    Selection(HDC dc, HGDIOBJ object) : dc(dc), previous(SelectObject(dc, object)) {}
    ~Selection() {
        if (*this) SelectObject(dc, previous);
    }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;
    explicit operator bool() const { return previous != nullptr && previous != HGDI_ERROR; }

  private:
    HDC dc;
    HGDIOBJ previous;
};
