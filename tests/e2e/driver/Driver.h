#pragma once

#include <windows.h>

#include <map>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "handoff/KernelHandle.h"
#include "support/Text.h"
#include "support/WaitFor.h"

// Drives installer.exe as a person would: starts it from a temporary medium folder, finds its
// windows, types into the focused control, presses buttons, reads what the windows show and
// waits for the program's end. Texts are 8-bit cp1251, read and written through the UTF-16 API
// and converted with the code page 1251 whatever the system's code page is; the Wide... variants
// give the UTF-16 text itself, for telling a "?" the window shows from a character cp1251 lacks.
namespace e2e {

// The standard icons a message box can carry.
enum class BoxIcon { None, Error, Warning, Information, Question, Unknown };
const char* BoxIconName(BoxIcon icon);
// For test output.
inline std::ostream& operator<<(std::ostream& out, BoxIcon icon) {
    return out << BoxIconName(icon);
}

struct MessageBoxInfo {
    HWND window = nullptr;
    std::string caption;
    std::string text;
    std::wstring wideCaption;
    std::wstring wideText;
    BoxIcon icon = BoxIcon::None;
};

// A medium folder under the Wine user's temporary folder, made on construction with a copy of
// installer.exe in it and removed with its files on destruction. Relative names are cp1251; the
// folder's own name may hold any character (the wide constructor), and then only the Wide...
// paths name it whole.
class TempMedium {
  public:
    explicit TempMedium(const std::string& name);
    explicit TempMedium(const std::wstring& name);
    ~TempMedium();
    TempMedium(const TempMedium&) = delete;
    TempMedium& operator=(const TempMedium&) = delete;

    // The folder's path with a trailing backslash, e.g. C:\users\me\Temp\m1-42\ .
    const std::string& Dir() const { return dir; }
    std::string Path(const std::string& relative) const { return dir + relative; }
    const std::wstring& WideDir() const { return wideDir; }
    std::wstring WidePath(const std::string& relative) const;
    // A catalogue value for a file of the medium: "%:\" (the medium's folder) and the name.
    std::string DriveRelative(const std::string& relative) const;
    std::string InstallerPath() const { return Path("installer.exe"); }

    // Writes install.crt with the article section holding key -> text value.
    bool WriteCatalog(const std::map<std::string, std::string>& articles) const;
    // Writes any bytes as a file of the medium (e.g. a damaged catalogue).
    bool WriteFile(const std::string& relative, const std::string& bytes) const;
    bool MakeDir(const std::string& relative) const;
    // Copies a file (a Windows path, cp1251) to the medium, making its folder when needed.
    bool CopyIn(const std::string& source, const std::string& relative) const;

  private:
    std::wstring wideDir;
    std::string dir;
};

// The Windows path of the installer.exe built with the tests.
std::string BuiltInstallerPath();

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

    // A 24-bit BMP of the window as it appears on the screen, at a cp1251 path.
    bool Screenshot(const std::string& path) const;
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

    KernelHandle process;
    KernelHandle thread;
    DWORD processId = 0;
    DWORD threadId = 0;
    HWND window = nullptr;
    // Tells the handled clicks of this driver from those of one that is gone.
    unsigned serial = 0;
};

}  // namespace e2e
