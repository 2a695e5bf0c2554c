#pragma once

#include <windows.h>

#include <map>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "driver/BoxIcons.h"
#include "driver/TempMedium.h"
#include "support/Text.h"
#include "support/WaitFor.h"
#include "util/KernelHandle.h"

// Drives installer.exe as a person would: starts it from a temporary medium folder, finds its
// windows, types into the focused control, presses buttons, reads what the windows show and
// waits for the program's end. Texts are 8-bit cp1251, read and written through the UTF-16 API
// and converted with the code page 1251 whatever the system's code page is; the Wide... variants
// give the UTF-16 text itself, for telling a "?" the window shows from a character cp1251 lacks.
namespace e2e {

struct MessageBoxInfo {
    HWND window = nullptr;
    std::string caption;
    std::string text;
    std::wstring wideCaption;
    std::wstring wideText;
    BoxIcon icon = BoxIcon::None;
};

// The text of a window of any process, through WM_GETTEXT in UTF-16.
std::wstring WideWindowText(HWND window);

class Installer {
  public:
    Installer();
    ~Installer();
    Installer(const Installer&) = delete;
    Installer& operator=(const Installer&) = delete;

    // Starts the medium's installer.exe with the medium as its current folder.
    bool Start(const TempMedium& medium);
    bool Start(const std::string& programPath, const std::string& currentDir);
    bool Start(const std::wstring& programPath, const std::wstring& currentDir);

    // A visible top-level window of the process with exactly this caption; null after the time.
    HWND WaitWindow(const std::string& caption, DWORD timeoutMs = 30000);
    // How many visible top-level windows of the process have exactly this caption.
    int CountWindows(const std::string& caption) const;
    // Makes this window the one the control calls below work on.
    void Use(HWND dialog) { window = dialog; }
    HWND Window() const { return window; }

    // Characters into the control that has the keyboard focus, as WM_CHAR (so the control's
    // own handling, e.g. capitals, runs); "\b" is Backspace. Each character is sent: it has been
    // handled, with the notifications it caused, when this returns.
    bool TypeKeys(const std::string& text);
    // The same for characters of any script.
    bool WideTypeKeys(const std::wstring& text);
    // A key such as VK_RETURN or VK_ESCAPE to the focused control, posted as keyboard input so
    // that the dialog's keyboard handling sees it. Returns once it is posted: the caller waits
    // for what the key is to do.
    bool PressKey(UINT virtualKey);
    // Clicks an enabled, visible button of the window; false when it cannot be clicked. Returns
    // once the program has handled the click, or shows a message box that waits for the user,
    // or has ended.
    bool Press(int id);
    // Clicks the button as a click queued while the program is busy: posted, returns at once.
    bool PostClick(int id);
    std::string ControlText(int id) const;
    std::wstring WideControlText(int id) const;
    // The item texts of a combo box, in list order (cp1251).
    std::vector<std::string> ListItems(int id) const;
    std::vector<std::wstring> WideListItems(int id) const;
    bool IsVisible(int id) const;
    bool IsEnabled(int id) const;
    // Whether the program's window is being moved or sized (the system's modal loop for it runs).
    bool InMoveOrSize() const;
    // The control id that has the keyboard focus in the program; 0 when none.
    int Focus() const;
    // Waits until the control has the focus: after a box closes, the system hands the focus back
    // to the dialog a moment after the program has handled the click.
    bool WaitFocus(int id, DWORD timeoutMs = 5000) const;
    // The selection of an edit control: start and end.
    std::pair<int, int> Selection(int id) const;
    // A control's rectangle in the window's client coordinates.
    RECT ControlRect(int id) const;
    RECT ClientRect() const;
    // Posts a system command to the window; the caller waits for what it is to do.
    void SysCommand(WPARAM command);

    // A message box of the process (a dialog other than the ones known here) within the time.
    MessageBoxInfo ReadBox(DWORD timeoutMs = 30000);
    // Counts the message boxes the process shows now.
    int CountBoxes() const;
    // Clicks the box's OK; returns once the box has gone and the program has handled the click
    // that opened it (or shows another box, or has ended). False when the box stays.
    bool PressOk(const MessageBoxInfo& box);

    // Waits for the process to end; false after the time.
    bool WaitExit(DWORD timeoutMs = 15000);
    bool Running() const;
    DWORD ExitCode() const;

    // What the window shows: each control's id, class, text, visibility and state, the focus,
    // and any message box. For failure messages.
    std::string Describe() const;

    DWORD ProcessId() const { return processId; }

  private:
    // The visible top-level windows of the process, with this caption when one is given; only
    // message boxes (other than the driver's window) when boxesOnly.
    std::vector<HWND> TopLevelWindows(const std::wstring* caption, bool boxesOnly) const;
    HWND FindTopLevel(const std::wstring* caption, bool boxesOnly) const;
    // Waits until no sent click is still being handled, a box waits for the user, or the
    // program has ended.
    bool WaitHandled(DWORD timeoutMs);
    int PendingClicks() const;
    void NewSerial();

    // This driver's part in the failure report.
    int watchId = 0;
    KernelHandle process;
    KernelHandle thread;
    DWORD processId = 0;
    DWORD threadId = 0;
    HWND window = nullptr;
    // Tells the handled clicks of this driver from those of one that is gone.
    unsigned serial = 0;
};

}  // namespace e2e
