#include "driver/Driver.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <vector>

#include "ProcessWindows.h"
#include "handoff/ArticleRules.h"
#include "handoff/HandoffNames.h"
#include "support/ArticleCatalogFile.h"

namespace e2e {

using support::HostToWinePath;
using support::ToUtf8;
using support::WaitFor;

namespace {

// The ids the platform's message box gives its text and its icon.
constexpr int kBoxTextId = 0xFFFF;
constexpr int kBoxIconId = 0x0440;
constexpr DWORD kSendTimeoutMs = 5000;
// Upper bounds of the waits for the program's handling of a click and for a box's painting.
constexpr DWORD kHandleTimeoutMs = 30000;
constexpr DWORD kPaintTimeoutMs = 5000;

std::string ClassOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof(name));
    return name;
}

// The text of a window of another process, through WM_GETTEXT.
std::string TextOf(HWND window) {
    if (window == nullptr) return std::string();
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                             &length))
        return std::string();
    std::vector<char> buffer(length + 2);
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, buffer.size(),
                             reinterpret_cast<LPARAM>(buffer.data()), SMTO_ABORTIFHUNG,
                             kSendTimeoutMs, &copied))
        return std::string();
    return std::string(buffer.data(), copied < buffer.size() ? copied : buffer.size() - 1);
}

bool IsMessageBox(HWND window) {
    return ClassOf(window) == "#32770" && GetDlgItem(window, kBoxTextId) != nullptr;
}

// A 32-bit top-down bitmap selected into a memory device context made for the screen; its
// pixels are BGRX rows, top row first.
class ScreenBitmap {
  public:
    ScreenBitmap(int width, int height)
        : count(static_cast<std::size_t>(width) * height),
          screen(GetDC(nullptr)),
          memory(CreateCompatibleDC(screen)) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (bitmap != nullptr) old = SelectObject(memory, bitmap);
    }
    ~ScreenBitmap() {
        if (bitmap != nullptr) {
            SelectObject(memory, old);
            DeleteObject(bitmap);
        }
        DeleteDC(memory);
        ReleaseDC(nullptr, screen);
    }
    ScreenBitmap(const ScreenBitmap&) = delete;
    ScreenBitmap& operator=(const ScreenBitmap&) = delete;

    bool Usable() const { return bitmap != nullptr; }
    HDC Screen() const { return screen; }
    HDC Dc() const { return memory; }
    void Fill(const std::vector<DWORD>& pixels) {
        std::copy(pixels.begin(), pixels.begin() + count, static_cast<DWORD*>(bits));
    }
    std::vector<DWORD> Pixels() const {
        GdiFlush();
        const DWORD* first = static_cast<const DWORD*>(bits);
        return std::vector<DWORD>(first, first + count);
    }

  private:
    std::size_t count;
    HDC screen;
    HDC memory;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
    void* bits = nullptr;
};

// Pixels of a screen rectangle as 32-bit BGRX rows, top row first.
std::vector<DWORD> CaptureScreen(const RECT& rect) {
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return std::vector<DWORD>();
    ScreenBitmap bitmap(width, height);
    if (!bitmap.Usable()) return std::vector<DWORD>(static_cast<std::size_t>(width) * height);
    BitBlt(bitmap.Dc(), 0, 0, width, height, bitmap.Screen(), rect.left, rect.top, SRCCOPY);
    return bitmap.Pixels();
}

// One of the standard icons drawn over a background colour, in the same pixel layout.
std::vector<DWORD> RenderIcon(LPCSTR iconId, int width, int height, DWORD background) {
    std::vector<DWORD> pixels(static_cast<std::size_t>(width) * height, background);
    ScreenBitmap bitmap(width, height);
    if (!bitmap.Usable()) return pixels;
    bitmap.Fill(pixels);
    DrawIconEx(bitmap.Dc(), 0, 0, LoadIconA(nullptr, iconId), 0, 0, 0, nullptr, DI_NORMAL);
    return bitmap.Pixels();
}

long long Difference(const std::vector<DWORD>& a, const std::vector<DWORD>& b) {
    long long sum = 0;
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
        for (int shift = 0; shift < 24; shift += 8) {
            sum += std::abs(static_cast<int>((a[i] >> shift) & 0xFF) -
                            static_cast<int>((b[i] >> shift) & 0xFF));
        }
    }
    return sum;
}

// Which standard icon the box's icon control shows, by comparing its pixels on the screen
// with each standard icon drawn here.
BoxIcon ClassifyIcon(HWND box) {
    HWND icon = GetDlgItem(box, kBoxIconId);
    if (icon == nullptr || !IsWindowVisible(icon)) return BoxIcon::None;
    RECT rect{};
    GetWindowRect(icon, &rect);
    const std::vector<DWORD> shown = CaptureScreen(rect);
    if (shown.empty()) return BoxIcon::Unknown;
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    struct Candidate {
        BoxIcon icon;
        LPCSTR id;
    };
    const Candidate candidates[] = {{BoxIcon::Error, IDI_HAND},
                                    {BoxIcon::Warning, IDI_EXCLAMATION},
                                    {BoxIcon::Information, IDI_ASTERISK},
                                    {BoxIcon::Question, IDI_QUESTION}};
    BoxIcon best = BoxIcon::Unknown;
    long long bestDifference = -1;
    for (const Candidate& candidate : candidates) {
        const long long difference =
            Difference(shown, RenderIcon(candidate.id, width, height, shown[0]));
        if (bestDifference < 0 || difference < bestDifference) {
            bestDifference = difference;
            best = candidate.icon;
        }
    }
    // Far from every standard icon: not one of them.
    const long long limit = static_cast<long long>(shown.size()) * 3 * 40;
    return bestDifference <= limit ? best : BoxIcon::Unknown;
}

bool RemoveTree(const std::string& dir) {
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA((dir + "*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            const std::string path = dir + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path + "\\");
            } else {
                SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(path.c_str());
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    return RemoveDirectoryA(dir.c_str()) != FALSE;
}

}  // namespace

const char* BoxIconName(BoxIcon icon) {
    switch (icon) {
        case BoxIcon::None:
            return "none";
        case BoxIcon::Error:
            return "error";
        case BoxIcon::Warning:
            return "warning";
        case BoxIcon::Information:
            return "information";
        case BoxIcon::Question:
            return "question";
        case BoxIcon::Unknown:
            break;
    }
    return "unknown";
}

std::string BuiltInstallerPath() {
    return HostToWinePath(INSTALLER_EXE_HOST_PATH);
}

TempMedium::TempMedium(const std::string& name) {
    char temp[MAX_PATH + 1] = {};
    GetTempPathA(sizeof(temp), temp);
    static int counter = 0;
    dir = std::string(temp) + name + "-" + std::to_string(GetCurrentProcessId()) + "-" +
          std::to_string(++counter) + "\\";
    RemoveTree(dir);
    CreateDirectoryA(dir.c_str(), nullptr);
    CopyFileA(BuiltInstallerPath().c_str(), InstallerPath().c_str(), FALSE);
}

TempMedium::~TempMedium() {
    RemoveTree(dir);
}

std::string TempMedium::DriveRelative(const std::string& relative) const {
    return std::string{drivePlaceholder, ':', '\\'} + relative;
}

bool TempMedium::WriteCatalog(const std::map<std::string, std::string>& articles) const {
    return support::WriteArticleCatalog(Path(catalogFileName), articles);
}

bool TempMedium::WriteFile(const std::string& relative, const std::string& bytes) const {
    FILE* file = std::fopen(Path(relative).c_str(), "wb");
    if (file == nullptr) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

bool TempMedium::MakeDir(const std::string& relative) const {
    return CreateDirectoryA(Path(relative).c_str(), nullptr) != FALSE;
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
}

void Installer::NewSerial() {
    static unsigned nextSerial = 0;
    PendingClickCounts().erase(serial);
    serial = ++nextSerial;
    PendingClickCounts()[serial] = 0;
}

Installer::~Installer() {
    PendingClickCounts().erase(serial);
    if (Running()) {
        TerminateProcess(process.Get(), 1);
        WaitForSingleObject(process.Get(), 5000);
    }
}

bool Installer::Start(const TempMedium& medium) {
    return Start(medium.InstallerPath(), medium.Dir());
}

bool Installer::Start(const std::string& programPath, const std::string& currentDir) {
    std::string commandLine = "\"" + programPath + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(programPath.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
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

std::vector<HWND> Installer::TopLevelWindows(const std::string* caption, bool boxesOnly) const {
    std::vector<HWND> matching;
    for (HWND candidate : VisibleTopLevelWindows(processId)) {
        // A box is any dialog of the process other than the one the driver works on.
        if (boxesOnly && (candidate == window || !IsMessageBox(candidate))) continue;
        if (caption != nullptr && WindowCaption(candidate) != *caption) continue;
        matching.push_back(candidate);
    }
    return matching;
}

HWND Installer::FindTopLevel(const std::string* caption, bool boxesOnly) const {
    const std::vector<HWND> matching = TopLevelWindows(caption, boxesOnly);
    return matching.empty() ? nullptr : matching.front();
}

HWND Installer::WaitWindow(const std::string& caption, DWORD timeoutMs) {
    HWND found = nullptr;
    // Shown and active: the window takes input as a person would give it.
    WaitFor(
        [&] {
            found = FindTopLevel(&caption, false);
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
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    if (!GetGUIThreadInfo(threadId, &info) || info.hwndFocus == nullptr) return false;
    for (unsigned char c : text) {
        DWORD_PTR ignored = 0;
        if (!SendMessageTimeoutA(info.hwndFocus, WM_CHAR, c, 1, SMTO_ABORTIFHUNG, kSendTimeoutMs,
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

std::vector<std::string> Installer::ListItems(int id) const {
    std::vector<std::string> items;
    HWND list = GetDlgItem(window, id);
    const LRESULT count = SendMessageW(list, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        // Across processes the ANSI form hands back the UTF-16 text cut to bytes: ask for the
        // UTF-16 text itself and convert it here.
        const LRESULT length = SendMessageW(list, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
        if (length < 0) {
            items.push_back(std::string());
            continue;
        }
        std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
        SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(&text[0]));
        text.resize(wcslen(text.c_str()));
        items.push_back(support::WideToCp1251(text));
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
    box.caption = WindowCaption(box.window);
    box.text = TextOf(GetDlgItem(box.window, kBoxTextId));
    // The icon is known once the box has painted it.
    WaitFor([&] { return (box.icon = ClassifyIcon(box.window)) != BoxIcon::Unknown; },
            kPaintTimeoutMs);
    return box;
}

int Installer::CountWindows(const std::string& caption) const {
    return static_cast<int>(TopLevelWindows(&caption, false).size());
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

bool Installer::Screenshot(const std::string& path) const {
    if (window == nullptr) return false;
    RECT rect{};
    GetWindowRect(window, &rect);
    const std::vector<DWORD> pixels = CaptureScreen(rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (pixels.empty()) return false;
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
    FILE* out = std::fopen(path.c_str(), "wb");
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
    return std::fclose(out) == 0 && ok;
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
    } else {
        out << "  window \"" << ToUtf8(WindowCaption(window)) << "\" "
            << (IsWindowVisible(window) ? "visible" : "hidden") << ", focus on " << Focus() << "\n";
        std::vector<HWND> children;
        EnumChildWindows(window, &CollectChild, reinterpret_cast<LPARAM>(&children));
        for (HWND child : children) {
            out << "    [" << GetDlgCtrlID(child) << "] " << ClassOf(child) << " \""
                << ToUtf8(TextOf(child)) << "\"" << (IsWindowVisible(child) ? "" : " hidden")
                << (IsWindowEnabled(child) ? "" : " disabled") << "\n";
        }
    }
    if (HWND box = FindTopLevel(nullptr, true)) {
        out << "  message box \"" << ToUtf8(WindowCaption(box)) << "\": \""
            << ToUtf8(TextOf(GetDlgItem(box, kBoxTextId))) << "\"\n";
    }
    return out.str();
}

}  // namespace e2e
