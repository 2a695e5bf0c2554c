#pragma once

#include <windows.h>

// Owns one kernel handle (process, thread, event) and closes it when it goes.
class KernelHandle {
  public:
    explicit KernelHandle(HANDLE h = nullptr) : handle(h) {}
    ~KernelHandle() { Reset(); }
    KernelHandle(const KernelHandle&) = delete;
    KernelHandle& operator=(const KernelHandle&) = delete;

    HANDLE Get() const { return handle; }
    // Closes the handle owned so far and takes h.
    void Reset(HANDLE h = nullptr) {
        if (handle != nullptr && handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
        handle = h;
    }

  private:
    HANDLE handle;
};
