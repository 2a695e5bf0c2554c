#pragma once

#include <windows.h>

#include <string>

// A child control of a dialog: holds its window handle (not owned; the window goes with the
// dialog) and offers the few calls the dialogs use. Texts are UTF-16, as the controls hold them.
class ControlWindow {
  public:
    void Attach(HWND window) { hwnd = window; }
    HWND Handle() const { return hwnd; }

    void Show(bool visible) const;
    void Enable(bool enabled) const;
    bool IsVisible() const;
    bool IsEnabled() const;
    void SetText(const std::wstring& text) const;
    std::wstring Text() const;
    void SetFocus() const;
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

  private:
    HWND hwnd = nullptr;
};

class StaticControl : public ControlWindow {};

class ButtonControl : public ControlWindow {};

class EditControl : public ControlWindow {
  public:
    void SetSel(int start, int end) const;
    void ScrollCaret() const;
};

// A combo box; item data are pointer-sized numbers, their meaning is the owner's.
class ComboBoxControl : public ControlWindow {
  public:
    int Count() const;
    // Inserts at index without sorting; the new index, or a negative value on failure.
    int InsertString(int index, const std::wstring& text) const;
    bool SetItemData(int index, LPARAM data) const;
    // 0 for an item without data and for an index out of range.
    LPARAM ItemData(int index) const;
    int CurSel() const;
    void SetCurSel(int index) const;
    void ResetContent() const;
    std::wstring ItemText(int index) const;
};
