/* The set-up program kit as a set-up author meets it: only setup_handoff.h, and an installer
   played from outside by the word of the protocol. One program in three parts:
     - without arguments it runs the scenarios, each in a fresh pair of processes;
     - "installer" plays the installer: makes the event, starts the set-up part with the
       installer's command line, finds its window by the caption and hands the number over;
     - started with the installer's command line, it is the set-up program on the kit.
   The parts write their findings as lines to the file HANDOFF_TEST_RESULT; the set-up part's last
   line starts with "setup". Run it in a system code page other than 1251 as well. */
#include <stdio.h>
#include <string.h>
#include <windows.h>

#include "setup_handoff.h"

#define WAIT_BOUND_MS 30000

/* The protocol's names, as a set-up author reads them in the kit's documentation. */
static const wchar_t eventName[] = L"Setup Started";
static const wchar_t caption[] =
    L"\x0422\x0435\x0441\x0442\x0438\x0440\x043E\x0432\x0430\x043D"
    L"\x0438\x0435 install.exe: RUS";
static const char captionCp1251[] =
    "\xD2\xE5\xF1\xF2\xE8\xF0\xEE\xE2\xE0\xED\xE8\xE5 install.exe: RUS";
static const wchar_t commandLine[] = L" /vHSEPBMXJUGRDOALWITFQCNY=";
/* The typed number; its last letter is not in every code page. */
static const wchar_t typed[] = L"R12\x0439";

static char resultPath[MAX_PATH];

static void Report(const char* format, const char* detail) {
    char line[512];
    DWORD written = 0;
    HANDLE file = CreateFileA(resultPath, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              NULL, OPEN_ALWAYS, 0, NULL);
    snprintf(line, sizeof line, format, detail);
    strcat(line, "\n");
    if (file == INVALID_HANDLE_VALUE) return;
    WriteFile(file, line, (DWORD)strlen(line), &written, NULL);
    CloseHandle(file);
}

/* ---- the set-up program ---- */

static int RunSetup(void) {
    char expected[64];
    size_t length = 0;
    const char* number;
    const wchar_t* text;
    SetupHandoff* handoff = SetupHandoffStart(NULL, NULL, NULL);
    int status = SetupHandoffWait(handoff, WAIT_BOUND_MS);
    WideCharToMultiByte(CP_ACP, 0, typed, -1, expected, sizeof expected, NULL, NULL);
    number = SetupHandoffNumber(handoff, &length);
    text = SetupHandoffNumberW(handoff, NULL);
    if (status != SETUP_HANDOFF_DONE) {
        Report("setup: status %s instead of DONE", status == 1 ? "PENDING" : "other");
    } else if (number == NULL || length != strlen(expected) || strcmp(number, expected) != 0) {
        Report("setup: the 8-bit number is not the code page's form of the typed one: %s",
               number ? number : "NULL");
    } else if (text == NULL || wcscmp(text, typed) != 0) {
        Report("setup: the UTF-16 number is not the typed one%s", "");
    } else {
        Report("setup ok%s", "");
    }
    SetupHandoffClose(handoff);
    return 0;
}

/* ---- the installer ---- */

static char classId[40];
static int answered;

static void WriteRecord(void) {
    char path[64];
    HKEY key = NULL;
    snprintf(path, sizeof path, "CLSID\\%s\\Art", classId);
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, path, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL) !=
        ERROR_SUCCESS) {
        Report("installer: the record's key cannot be made%s", "");
        return;
    }
    RegSetValueExW(key, NULL, 0, REG_SZ, (const BYTE*)typed, (DWORD)sizeof typed);
    RegCloseKey(key);
}

static void DeleteRecord(void) {
    char path[64];
    snprintf(path, sizeof path, "CLSID\\%s\\Art", classId);
    RegDeleteKeyA(HKEY_CLASSES_ROOT, path);
    snprintf(path, sizeof path, "CLSID\\%s", classId);
    RegDeleteKeyA(HKEY_CLASSES_ROOT, path);
}

static LRESULT CALLBACK InstallerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COPYDATA) {
        const COPYDATASTRUCT* answer = (const COPYDATASTRUCT*)lParam;
        if (answer->cbData == strlen(classId) + 1 &&
            memcmp(answer->lpData, classId, answer->cbData) == 0) {
            WriteRecord();
            answered = 1;
        }
        return TRUE;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

/* Dispatches this thread's messages until the process has ended or the bound has passed. */
static int PumpUntilEnded(HANDLE process) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < WAIT_BOUND_MS) {
        MSG message;
        if (MsgWaitForMultipleObjects(1, &process, FALSE, WAIT_BOUND_MS, QS_ALLINPUT) ==
            WAIT_OBJECT_0) {
            return 1;
        }
        while (PeekMessageW(&message, NULL, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    }
    return 0;
}

static HANDLE StartSelf(const wchar_t* line) {
    wchar_t program[MAX_PATH];
    wchar_t buffer[256];
    STARTUPINFOW startup;
    PROCESS_INFORMATION created;
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    GetModuleFileNameW(NULL, program, MAX_PATH);
    wcscpy(buffer, line);
    if (!CreateProcessW(program, buffer, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &created)) {
        return NULL;
    }
    CloseHandle(created.hThread);
    return created.hProcess;
}

static int RunInstaller(void) {
    WNDCLASSW windowClass;
    HWND self;
    HWND setup;
    HANDLE program;
    wchar_t line[128];
    COPYDATASTRUCT record;
    HANDLE event = CreateEventW(NULL, FALSE, FALSE, eventName);

    memset(&windowClass, 0, sizeof windowClass);
    windowClass.lpfnWndProc = InstallerProc;
    windowClass.lpszClassName = L"HandoffTestInstaller";
    RegisterClassW(&windowClass);
    self = CreateWindowExW(0, windowClass.lpszClassName, L"installer", WS_OVERLAPPED, 0, 0, 0, 0,
                           NULL, NULL, NULL, NULL);
    snprintf(classId, sizeof classId, "{%08lX-0000-4000-8000-%012lX}",
             (unsigned long)GetCurrentProcessId(), (unsigned long)GetTickCount());
    wcscat(wcscpy(line, commandLine), typed);
    program = StartSelf(line);
    if (program == NULL || WaitForSingleObject(event, WAIT_BOUND_MS) != WAIT_OBJECT_0) {
        Report("installer: the set-up program did not signal%s", "");
        return 1;
    }
    setup = FindWindowW(NULL, caption);
    if (setup == NULL) {
        Report("installer: no window has the caption as text%s", "");
    } else if (GetACP() == 1251 && FindWindowA(NULL, captionCp1251) != setup) {
        Report("installer: the caption's cp1251 bytes do not find the window%s", "");
    } else {
        record.dwData = (ULONG_PTR)event;
        record.cbData = (DWORD)strlen(classId) + 1;
        record.lpData = classId;
        SendMessageW(setup, WM_COPYDATA, (WPARAM)self, (LPARAM)&record);
    }
    if (!PumpUntilEnded(program)) Report("installer: the set-up program runs on%s", "");
    DeleteRecord();
    CloseHandle(program);
    return 0;
}

/* ---- the scenarios ---- */

/* The result file's text once the set-up part has written its last line; empty after the bound. */
static const char* WaitResult(char* text, size_t size) {
    const DWORD start = GetTickCount();
    text[0] = '\0';
    while (GetTickCount() - start < WAIT_BOUND_MS + 10000) {
        FILE* file = fopen(resultPath, "rb");
        if (file != NULL) {
            size_t read = fread(text, 1, size - 1, file);
            text[read] = '\0';
            fclose(file);
            if (strstr(text, "setup") != NULL && text[read - 1] == '\n') return text;
        }
        /* The poll step between looks at the file. */
        Sleep(10);
    }
    return text;
}

static int RunScenario(const char* name) {
    char text[2048];
    HANDLE installer;
    DeleteFileA(resultPath);
    installer = StartSelf(L"kit-test installer");
    if (installer == NULL) {
        printf("%s: the installer part did not start\n", name);
        return 1;
    }
    WaitResult(text, sizeof text);
    WaitForSingleObject(installer, WAIT_BOUND_MS);
    CloseHandle(installer);
    if (strcmp(text, "setup ok\n") != 0) {
        printf("%s (code page %u) FAILED:\n%s\n", name, GetACP(), text[0] ? text : "(no result)\n");
        return 1;
    }
    printf("%s (code page %u): ok\n", name, GetACP());
    return 0;
}

int main(int argc, char** argv) {
    if (GetEnvironmentVariableA("HANDOFF_TEST_RESULT", resultPath, MAX_PATH) == 0) {
        GetTempPathA(MAX_PATH, resultPath);
        snprintf(resultPath + strlen(resultPath), MAX_PATH - strlen(resultPath),
                 "handoff-kit-test-%lu.txt", (unsigned long)GetCurrentProcessId());
        SetEnvironmentVariableA("HANDOFF_TEST_RESULT", resultPath);
    }
    if (SetupHandoffFindNumber(GetCommandLineA(), NULL) != NULL) return RunSetup();
    if (argc > 1 && strcmp(argv[1], "installer") == 0) return RunInstaller();
    {
        int failures = RunScenario("handoff");
        DeleteFileA(resultPath);
        return failures == 0 ? 0 : 1;
    }
}
