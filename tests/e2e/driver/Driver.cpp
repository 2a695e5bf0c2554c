#include "driver/Driver.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <iterator>
#include <sstream>
#include <vector>

#include "ProcessWindows.h"
#include "handoff/ArticleRules.h"
#include "protocol/HandoffProtocol.h"
#include "support/ArticleCatalogFile.h"
#include "support/FailureReport.h"
#include "util/WideText.h"

namespace e2e {

using support::HostToWinePath;
using support::WaitFor;

namespace {

// The ids the platform's message box gives its text and its icon.
constexpr int kBoxTextId = 0xFFFF;
constexpr int kBoxIconId = 0x0440;
constexpr DWORD kSendTimeoutMs = 5000;
// Upper bounds of the waits for the program's handling of a click and for a box's painting.
constexpr DWORD kHandleTimeoutMs = 30000;
constexpr DWORD kPaintTimeoutMs = 5000;

// The tests' cp1251 texts as the UTF-16 the windows hold, and back ("?" for what cp1251 lacks).
std::wstring Wide(const std::string& cp1251) {
    return WideFromCp1251(cp1251);
}

std::string Narrow(const std::wstring& text) {
    return support::WideToCp1251(text);
}

std::string ClassOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof(name));
    return name;
}

std::string TextOf(HWND window) {
    return Narrow(WideWindowText(window));
}

std::wstring WideCaption(HWND window) {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, static_cast<int>(std::size(text)));
    return text;
}

bool IsMessageBox(HWND window) {
    return ClassOf(window) == "#32770" && GetDlgItem(window, kBoxTextId) != nullptr;
}

}  // namespace

std::wstring WideWindowText(HWND window) {
    if (window == nullptr) return std::wstring();
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                             &length))
        return std::wstring();
    std::vector<wchar_t> buffer(length + 2);
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, buffer.size(),
                             reinterpret_cast<LPARAM>(buffer.data()), SMTO_ABORTIFHUNG,
                             kSendTimeoutMs, &copied))
        return std::wstring();
    return std::wstring(buffer.data(), copied < buffer.size() ? copied : buffer.size() - 1);
}

namespace {

// The clicks sent and not yet handled, per driver. The program's answer comes through a callback
// on this thread, possibly after the driver that sent the click is gone.
std::map<unsigned, int>& PendingClickCounts() {
    static std::map<unsigned, int> counts;
    return counts;
}

void CALLBACK ClickHandled(HWND, UINT, ULONG_PTR serial, LRESULT) {
    auto found = PendingClickCounts().find(static_cast<unsigned>(serial));
    if (found != PendingClickCounts().end() && found->second > 0) --found->second;
}

}  // namespace

Installer::Installer() {
    NewSerial();
    watchId = support::WatchWindows([this] { return Describe(); });
}

void Installer::NewSerial() {
    static unsigned nextSerial = 0;
    PendingClickCounts().erase(serial);
    serial = ++nextSerial;
    PendingClickCounts()[serial] = 0;
}

Installer::~Installer() {
    support::UnwatchWindows(watchId);
    PendingClickCounts().erase(serial);
    if (Running()) {
        TerminateProcess(process.Get(), 1);
        WaitForSingleObject(process.Get(), 5000);
    }
}

bool Installer::Start(const TempMedium& medium) {
    return Start(medium.WidePath("installer.exe"), medium.WideDir());
}

bool Installer::Start(const std::string& programPath, const std::string& currentDir) {
    return Start(Wide(programPath), Wide(currentDir));
}

bool Installer::Start(const std::wstring& programPath, const std::wstring& currentDir) {
    std::wstring commandLine = L"\"" + programPath + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(programPath.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        currentDir.empty() ? nullptr : currentDir.c_str(), &startup, &info))
        return false;
    process.Reset(info.hProcess);
    thread.Reset(info.hThread);
    // Clicks sent to an earlier process are not waited for.
    NewSerial();
    processId = info.dwProcessId;
    threadId = info.dwThreadId;
    window = nullptr;
    return true;
}

std::vector<HWND> Installer::TopLevelWindows(const std::wstring* caption, bool boxesOnly) const {
    std::vector<HWND> matching;
    for (HWND candidate : VisibleTopLevelWindows(processId)) {
        // A box is any dialog of the process other than the one the driver works on.
        if (boxesOnly && (candidate == window || !IsMessageBox(candidate))) continue;
        if (caption != nullptr && WideCaption(candidate) != *caption) continue;
        matching.push_back(candidate);
    }
    return matching;
}

HWND Installer::FindTopLevel(const std::wstring* caption, bool boxesOnly) const {
    const std::vector<HWND> matching = TopLevelWindows(caption, boxesOnly);
    return matching.empty() ? nullptr : matching.front();
}

HWND Installer::WaitWindow(const std::string& caption, DWORD timeoutMs) {
    const std::wstring wanted = Wide(caption);
    HWND found = nullptr;
    // Shown and active: the window takes input as a person would give it.
    WaitFor(
        [&] {
            found = FindTopLevel(&wanted, false);
            GUITHREADINFO info{};
            info.cbSize = sizeof(info);
            return found != nullptr && GetGUIThreadInfo(threadId, &info) &&
                   info.hwndActive == found;
        },
        timeoutMs);
    if (found != nullptr) window = found;
    return found;
}

bool Installer::TypeKeys(const std::string& text) {
    return WideTypeKeys(Wide(text));
}

bool Installer::WideTypeKeys(const std::wstring& text) {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    // Right after a box has closed, the focus comes back to the dialog a moment later.
    const bool focused = WaitFor(
        [&] { return GetGUIThreadInfo(threadId, &info) && info.hwndFocus != nullptr; }, 5000);
    if (!focused) return false;
    for (wchar_t c : text) {
        DWORD_PTR ignored = 0;
        if (!SendMessageTimeoutW(info.hwndFocus, WM_CHAR, c, 1, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                                 &ignored))
            return false;
    }
    return true;
}

bool Installer::PressKey(UINT virtualKey) {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    if (!GetGUIThreadInfo(threadId, &info) || info.hwndFocus == nullptr) return false;
    const UINT scan = MapVirtualKeyA(virtualKey, 0);
    const LPARAM down = 1 | (static_cast<LPARAM>(scan) << 16);
    const LPARAM up = down | (1u << 30) | (1u << 31);
    // Posted, so the program's dialog loop sees them as keyboard input.
    return PostMessageA(info.hwndFocus, WM_KEYDOWN, virtualKey, down) &&
           PostMessageA(info.hwndFocus, WM_KEYUP, virtualKey, up);
}

bool Installer::Press(int id) {
    HWND button = GetDlgItem(window, id);
    if (button == nullptr || !IsWindowVisible(button) || !IsWindowEnabled(button)) return false;
    if (!SendMessageCallbackA(button, BM_CLICK, 0, 0, &ClickHandled, serial)) return false;
    ++PendingClickCounts()[serial];
    return WaitHandled(kHandleTimeoutMs);
}

bool Installer::PostClick(int id) {
    HWND button = GetDlgItem(window, id);
    if (button == nullptr || !IsWindowVisible(button) || !IsWindowEnabled(button)) return false;
    return PostMessageA(button, BM_CLICK, 0, 0) != FALSE;
}

int Installer::PendingClicks() const {
    const auto found = PendingClickCounts().find(serial);
    return found == PendingClickCounts().end() ? 0 : found->second;
}

bool Installer::WaitHandled(DWORD timeoutMs) {
    return WaitFor([&] { return PendingClicks() == 0 || CountBoxes() > 0 || !Running(); },
                   timeoutMs, support::WhileWaiting::DispatchMessages);
}

std::string Installer::ControlText(int id) const {
    return TextOf(GetDlgItem(window, id));
}

std::wstring Installer::WideControlText(int id) const {
    return WideWindowText(GetDlgItem(window, id));
}

std::vector<std::string> Installer::ListItems(int id) const {
    std::vector<std::string> items;
    for (const std::wstring& item : WideListItems(id)) items.push_back(Narrow(item));
    return items;
}

std::vector<std::wstring> Installer::WideListItems(int id) const {
    std::vector<std::wstring> items;
    HWND list = GetDlgItem(window, id);
    const LRESULT count = SendMessageW(list, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendMessageW(list, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
        if (length < 0) {
            items.push_back(std::wstring());
            continue;
        }
        std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
        SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(&text[0]));
        text.resize(wcslen(text.c_str()));
        items.push_back(text);
    }
    return items;
}

bool Installer::IsVisible(int id) const {
    HWND control = GetDlgItem(window, id);
    return control != nullptr && IsWindowVisible(control);
}

bool Installer::IsEnabled(int id) const {
    HWND control = GetDlgItem(window, id);
    return control != nullptr && IsWindowEnabled(control);
}

bool Installer::InMoveOrSize() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    return GetGUIThreadInfo(threadId, &info) && (info.flags & GUI_INMOVESIZE) != 0;
}

int Installer::Focus() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    if (!GetGUIThreadInfo(threadId, &info) || info.hwndFocus == nullptr) return 0;
    return GetDlgCtrlID(info.hwndFocus);
}

bool Installer::WaitFocus(int id, DWORD timeoutMs) const {
    return WaitFor([&] { return Focus() == id; }, timeoutMs);
}

std::pair<int, int> Installer::Selection(int id) const {
    DWORD_PTR packed = 0;
    SendMessageTimeoutA(GetDlgItem(window, id), EM_GETSEL, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                        &packed);
    return {static_cast<int>(LOWORD(packed)), static_cast<int>(HIWORD(packed))};
}

RECT Installer::ControlRect(int id) const {
    RECT rect{};
    GetWindowRect(GetDlgItem(window, id), &rect);
    MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

RECT Installer::ClientRect() const {
    RECT rect{};
    GetClientRect(window, &rect);
    return rect;
}

void Installer::SysCommand(WPARAM command) {
    PostMessageA(window, WM_SYSCOMMAND, command, 0);
}

MessageBoxInfo Installer::ReadBox(DWORD timeoutMs) {
    MessageBoxInfo box;
    WaitFor([&] { return (box.window = FindTopLevel(nullptr, true)) != nullptr; }, timeoutMs);
    if (box.window == nullptr) return box;
    box.wideCaption = WideCaption(box.window);
    box.wideText = WideWindowText(GetDlgItem(box.window, kBoxTextId));
    box.caption = Narrow(box.wideCaption);
    box.text = Narrow(box.wideText);
    // The icon is known once the box has painted it.
    WaitFor([&] { return (box.icon = ClassifyIcon(box.window)) != BoxIcon::Unknown; },
            kPaintTimeoutMs);
    return box;
}

int Installer::CountWindows(const std::string& caption) const {
    const std::wstring wanted = Wide(caption);
    return static_cast<int>(TopLevelWindows(&wanted, false).size());
}

int Installer::CountBoxes() const {
    return static_cast<int>(TopLevelWindows(nullptr, true).size());
}

bool Installer::PressOk(const MessageBoxInfo& box) {
    if (box.window == nullptr) return false;
    HWND ok = GetDlgItem(box.window, IDOK);
    const bool posted = ok != nullptr ? PostMessageA(ok, BM_CLICK, 0, 0) != FALSE
                                      : PostMessageA(box.window, WM_COMMAND, IDOK, 0) != FALSE;
    if (!posted) return false;
    const HWND closing = box.window;
    if (!WaitFor([&] { return !IsWindow(closing) || !IsWindowVisible(closing); }, kHandleTimeoutMs))
        return false;
    return WaitHandled(kHandleTimeoutMs);
}

bool Installer::WaitExit(DWORD timeoutMs) {
    return process && WaitForSingleObject(process.Get(), timeoutMs) == WAIT_OBJECT_0;
}

bool Installer::Running() const {
    return process && WaitForSingleObject(process.Get(), 0) == WAIT_TIMEOUT;
}

DWORD Installer::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    if (process) GetExitCodeProcess(process.Get(), &code);
    return code;
}

namespace {

BOOL CALLBACK CollectChild(HWND child, LPARAM param) {
    auto& children = *reinterpret_cast<std::vector<HWND>*>(param);
    children.push_back(child);
    return TRUE;
}

}  // namespace

std::string Installer::Describe() const {
    std::ostringstream out;
    out << "process " << processId << (Running() ? " running" : " ended") << "\n";
    if (window == nullptr || !IsWindow(window)) {
        out << "  no dialog window\n";
        for (HWND shown : VisibleTopLevelWindows(processId)) {
            if (!IsMessageBox(shown))
                out << "  shows \"" << Utf8FromWide(WideCaption(shown)) << "\"\n";
        }
    } else {
        out << "  window \"" << Utf8FromWide(WideCaption(window)) << "\" "
            << (IsWindowVisible(window) ? "visible" : "hidden") << ", focus on " << Focus() << "\n";
        std::vector<HWND> children;
        EnumChildWindows(window, &CollectChild, reinterpret_cast<LPARAM>(&children));
        for (HWND child : children) {
            out << "    [" << GetDlgCtrlID(child) << "] " << ClassOf(child) << " \""
                << Utf8FromWide(WideWindowText(child)) << "\""
                << (IsWindowVisible(child) ? "" : " hidden")
                << (IsWindowEnabled(child) ? "" : " disabled") << "\n";
        }
    }
    if (HWND box = FindTopLevel(nullptr, true)) {
        out << "  message box \"" << Utf8FromWide(WideCaption(box)) << "\": \""
            << Utf8FromWide(WideWindowText(GetDlgItem(box, kBoxTextId))) << "\"\n";
    }
    return out.str();
}

}  // namespace e2e
