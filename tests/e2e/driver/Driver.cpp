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
#include "handoff/HandoffNames.h"
#include "support/ArticleCatalogFile.h"
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

bool RemoveTree(const std::wstring& dir) {
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((dir + L"*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring path = dir + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path + L"\\");
            } else {
                SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(path.c_str());
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    return RemoveDirectoryW(dir.c_str()) != FALSE;
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

TempMedium::TempMedium(const std::string& name) : TempMedium(Wide(name)) {}

TempMedium::TempMedium(const std::wstring& name) {
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(static_cast<DWORD>(std::size(temp)), temp);
    static int counter = 0;
    wideDir = temp + name + L"-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
              std::to_wstring(++counter) + L"\\";
    dir = Narrow(wideDir);
    RemoveTree(wideDir);
    CreateDirectoryW(wideDir.c_str(), nullptr);
    CopyFileW(Wide(BuiltInstallerPath()).c_str(), WidePath("installer.exe").c_str(), FALSE);
}

TempMedium::~TempMedium() {
    RemoveTree(wideDir);
}

std::wstring TempMedium::WidePath(const std::string& relative) const {
    return wideDir + Wide(relative);
}

std::string TempMedium::DriveRelative(const std::string& relative) const {
    return std::string{drivePlaceholder, ':', '\\'} + relative;
}

bool TempMedium::WriteCatalog(const std::map<std::string, std::string>& articles) const {
    // Written under a name every code page holds, then moved to the medium by its UTF-16 path.
    const std::string written =
        support::TempFilePath("catalog-" + std::to_string(GetCurrentProcessId()) + ".crt");
    return support::WriteArticleCatalog(written, articles) &&
           MoveFileExW(Wide(written).c_str(), WidePath(catalogFileName).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED);
}

bool TempMedium::WriteFile(const std::string& relative, const std::string& bytes) const {
    KernelHandle file(CreateFileW(WidePath(relative).c_str(), GENERIC_WRITE, 0, nullptr,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file &&
           ::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                       nullptr) &&
           written == bytes.size();
}

bool TempMedium::MakeDir(const std::string& relative) const {
    return CreateDirectoryW(WidePath(relative).c_str(), nullptr) != FALSE;
}

bool TempMedium::CopyIn(const std::string& source, const std::string& relative) const {
    const size_t slash = relative.rfind('\\');
    if (slash != std::string::npos) MakeDir(relative.substr(0, slash));
    return CopyFileW(Wide(source).c_str(), WidePath(relative).c_str(), FALSE) != FALSE;
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
    if (!GetGUIThreadInfo(threadId, &info) || info.hwndFocus == nullptr) return false;
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
    FILE* out = _wfopen(Wide(path).c_str(), L"wb");
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
