/* A set-up program written against the 8-bit API alone, as older set-up programs are: it signals
   "Setup Started" while it starts, titles a hidden top-level window with the set-up caption's
   cp1251 bytes through CreateWindowExA, answers the installer's identifier and reads the article
   number back with RegQueryValueExA. It appends what it got to the file ANSI_SETUP_LOG names, as
   key=value lines with the keys of the reference set-up program's log: pid, commandLine (the
   bytes GetCommandLineA gives), program (its own path, UTF-8), copydata.classId, art (the
   bytes RegQueryValueExA gives, or "missing"), art.size (their count with the zero) and exit.
   It ends after its answer, or after 30 seconds without one. */
#include <stdio.h>
#include <string.h>
#include <windows.h>

/* "Тестирование install.exe: RUS" */
static const char setupCaption[] =
    "\xD2\xE5\xF1\xF2\xE8\xF0\xEE\xE2\xE0\xED\xE8\xE5 install.exe: RUS";
static const char windowClass[] = "AnsiSetupProgram";
/* "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" and its zero. */
enum { classIdSize = 39 };

static FILE* logFile;

static void Log(const char* key, const char* value, size_t length) {
    if (logFile == NULL) return;
    fprintf(logFile, "%s=", key);
    fwrite(value, 1, length, logFile);
    fputc('\n', logFile);
    fflush(logFile);
}

static void LogText(const char* key, const char* text) {
    Log(key, text, strlen(text));
}

static void LogProgramPath(void) {
    wchar_t path[MAX_PATH];
    char utf8[4 * MAX_PATH];
    const DWORD length = GetModuleFileNameW(NULL, path, MAX_PATH);
    const int bytes =
        WideCharToMultiByte(CP_UTF8, 0, path, (int)length, utf8, sizeof utf8, NULL, NULL);
    Log("program", utf8, bytes > 0 ? (size_t)bytes : 0);
}

/* The default value of HKEY_CLASSES_ROOT\CLSID\{id}\Art as the 8-bit API reads it, in the
   registry's 32-bit view, where the installer writes it. */
static void LogRecord(const char* classId) {
    char path[64];
    char value[256];
    char size[16];
    DWORD type = 0;
    DWORD bytes = sizeof value;
    HKEY key = NULL;
    LONG result;
    snprintf(path, sizeof path, "CLSID\\%s\\Art", classId);
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path, 0, KEY_READ | KEY_WOW64_32KEY, &key) !=
        ERROR_SUCCESS) {
        LogText("art", "missing");
        return;
    }
    result = RegQueryValueExA(key, NULL, NULL, &type, (BYTE*)value, &bytes);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || type != REG_SZ || bytes == 0) {
        LogText("art", "missing");
        return;
    }
    Log("art", value, value[bytes - 1] == '\0' ? bytes - 1 : bytes);
    snprintf(size, sizeof size, "%lu", (unsigned long)bytes);
    LogText("art.size", size);
}

static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COPYDATA) {
        const COPYDATASTRUCT* record = (const COPYDATASTRUCT*)lParam;
        char classId[classIdSize];
        COPYDATASTRUCT answer;
        if (record == NULL || record->lpData == NULL || record->cbData != classIdSize) return TRUE;
        memcpy(classId, record->lpData, classIdSize);
        classId[classIdSize - 1] = '\0';
        LogText("copydata.classId", classId);
        /* Answered while the installer's send is under way; the record is written when the
           answer's send returns. */
        answer.dwData = 0;
        answer.cbData = classIdSize;
        answer.lpData = classId;
        SendMessageA((HWND)wParam, WM_COPYDATA, (WPARAM)window, (LPARAM)&answer);
        LogRecord(classId);
        PostQuitMessage(0);
        return TRUE;
    }
    if (message == WM_TIMER) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
    wchar_t logPath[MAX_PATH];
    const DWORD logLength = GetEnvironmentVariableW(L"ANSI_SETUP_LOG", logPath, MAX_PATH);
    char pid[16];
    WNDCLASSA windowClassInfo;
    HWND window;
    HANDLE event;
    MSG message;
    (void)previous;
    (void)commandLine;
    (void)show;
    if (logLength > 0 && logLength < MAX_PATH) logFile = _wfopen(logPath, L"ab");
    snprintf(pid, sizeof pid, "%lu", (unsigned long)GetCurrentProcessId());
    LogText("pid", pid);
    LogText("commandLine", GetCommandLineA());
    LogProgramPath();

    memset(&windowClassInfo, 0, sizeof windowClassInfo);
    windowClassInfo.lpfnWndProc = WindowProc;
    windowClassInfo.hInstance = instance;
    windowClassInfo.lpszClassName = windowClass;
    RegisterClassA(&windowClassInfo);
    window = CreateWindowExA(0, windowClass, setupCaption, WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                             NULL, NULL, instance, NULL);
    SetTimer(window, 1, 30000, NULL);
    event = OpenEventA(EVENT_MODIFY_STATE, FALSE, "Setup Started");
    if (event != NULL) {
        SetEvent(event);
        CloseHandle(event);
    }
    while (GetMessageA(&message, NULL, 0, 0) > 0) DispatchMessageA(&message);
    LogText("exit", "0");
    if (logFile != NULL) fclose(logFile);
    return 0;
}
