#pragma once

#include <windows.h>

#include <utility>

// Owns one kernel handle (process, thread, event) and closes it when it goes. Null and
// INVALID_HANDLE_VALUE both stand for no handle.
class KernelHandle {
  public:
    KernelHandle() = default;
    explicit KernelHandle(HANDLE h) : handle(h) {}
    ~KernelHandle() { Reset(); }
    KernelHandle(const KernelHandle&) = delete;
    KernelHandle& operator=(const KernelHandle&) = delete;
    KernelHandle(KernelHandle&& other) noexcept : handle(other.Release()) {}
    KernelHandle& operator=(KernelHandle&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }

    HANDLE Get() const { return handle; }
    explicit operator bool() const { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }
    // Closes the handle owned so far and takes h.
    void Reset(HANDLE h = nullptr) {
        if (*this) CloseHandle(handle);
        handle = h;
    }
    // Gives the handle up without closing it; it stays open until someone closes it or the
    // process ends.
    HANDLE Release() { return std::exchange(handle, nullptr); }

  private:
    HANDLE handle = nullptr;
};
