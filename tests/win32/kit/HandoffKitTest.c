/* The set-up program kit as a set-up author meets it: only setup_handoff.h, against an installer
   played by the word of the protocol. One program in four parts:
     - without arguments it runs the scenarios, each in fresh processes;
     - "installer" plays the installer: makes the event, starts the set-up part with the
       installer's command line, finds its window by the caption and hands the number over;
     - "forger" plays another local program that sends records of its own first;
     - started with the installer's command line, it is the set-up program on the kit.
   The parts write their findings to the file HANDOFF_TEST_RESULT; the set-up part ends it with
   "setup ok" or "setup failed". Run it in code pages other than 1251 as well. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

#include "setup_handoff.h"

#define BOUND_MS 30000

/* The protocol's names, as a set-up author reads them in the kit's documentation. */
static const wchar_t eventName[] = L"Setup Started";
static const wchar_t caption[] =
    L"\x0422\x0435\x0441\x0442\x0438\x0440\x043E\x0432\x0430\x043D"
    L"\x0438\x0435 install.exe: RUS";
static const char captionCp1251[] =
    "\xD2\xE5\xF1\xF2\xE8\xF0\xEE\xE2\xE0\xED\xE8\xE5 install.exe: RUS";
/* The installer's command line for the typed number; its last letter is not in every code page. */
static const wchar_t launchLine[] = L" /vHSEPBMXJUGRDOALWITFQCNY=R12\x0439";
static const wchar_t typed[] = L"R12\x0439";
/* Records the forger plants: one it sends from its own window, one naming the installer's. */
static const char* const forgedIds[] = {"{0BADF00D-0000-0000-0000-000000000001}",
                                        "{0BADF00D-0000-0000-0000-000000000002}"};

static char resultPath[MAX_PATH];
static char scenario[16];
static int failed;

static void Report(const char* format, const char* detail) {
    char line[512];
    DWORD written = 0;
    HANDLE file = CreateFileA(resultPath, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              NULL, OPEN_ALWAYS, 0, NULL);
    snprintf(line, sizeof line - 1, format, detail);
    strcat(line, "\n");
    if (file == INVALID_HANDLE_VALUE) return;
    WriteFile(file, line, (DWORD)strlen(line), &written, NULL);
    CloseHandle(file);
}

static void Fail(const char* format, const char* detail) {
    failed = 1;
    Report(format, detail);
}

/* ---- steps every part takes ---- */

static HANDLE StartSelf(const wchar_t* line) {
    wchar_t program[MAX_PATH];
    wchar_t buffer[128];
    STARTUPINFOW startup = {0};
    PROCESS_INFORMATION created;
    startup.cb = sizeof startup;
    GetModuleFileNameW(NULL, program, MAX_PATH);
    wcscpy(buffer, line);
    if (!CreateProcessW(program, buffer, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &created)) {
        return NULL;
    }
    CloseHandle(created.hThread);
    return created.hProcess;
}

/* Dispatches this thread's messages until the process has ended; 0 after the bound. */
static int PumpUntilEnded(HANDLE process) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < BOUND_MS) {
        MSG message;
        if (MsgWaitForMultipleObjects(1, &process, FALSE, BOUND_MS, QS_ALLINPUT) == WAIT_OBJECT_0) {
            return 1;
        }
        while (PeekMessageW(&message, NULL, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    }
    return 0;
}

static HWND MakeWindow(const wchar_t* name, WNDPROC proc) {
    WNDCLASSW windowClass = {0};
    windowClass.lpfnWndProc = proc;
    windowClass.lpszClassName = name;
    RegisterClassW(&windowClass);
    return CreateWindowExW(0, name, name, WS_OVERLAPPED, 0, 0, 0, 0, NULL, NULL, NULL, NULL);
}

/* HKEY_CLASSES_ROOT\CLSID\{id}\Art with number as its default value, as the installer writes. */
static void SetRecord(const char* id, const wchar_t* number) {
    char path[64];
    HKEY key = NULL;
    snprintf(path, sizeof path, "CLSID\\%s\\Art", id);
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, path, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL) !=
        ERROR_SUCCESS) {
        Fail("- the record %s cannot be written", id);
        return;
    }
    RegSetValueExW(key, NULL, 0, REG_SZ, (const BYTE*)number,
                   (DWORD)((wcslen(number) + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

static void DeleteRecord(const char* id) {
    char path[64];
    snprintf(path, sizeof path, "CLSID\\%s\\Art", id);
    RegDeleteKeyA(HKEY_CLASSES_ROOT, path);
    snprintf(path, sizeof path, "CLSID\\%s", id);
    RegDeleteKeyA(HKEY_CLASSES_ROOT, path);
}

static void SendRecord(HWND to, HWND from, const char* id) {
    COPYDATASTRUCT record;
    DWORD_PTR ignored = 0;
    record.dwData = 0;
    record.cbData = (DWORD)strlen(id) + 1;
    record.lpData = (void*)id;
    SendMessageTimeoutW(to, WM_COPYDATA, (WPARAM)from, (LPARAM)&record, SMTO_ABORTIFHUNG, BOUND_MS,
                        &ignored);
}

/* ---- the set-up program ---- */

static struct {
    HANDLE stored, told, mayClose, closed;
    SetupHandoff* handoff;
    int status, statusInHandle, numberInHandle;
    char toldNumber[64];
} seen;

/* Reads the handle from within the callback, then closes it there once the program's thread is
   done with it. */
static void HandoffEnded(void* context, int status, const char* number, size_t length) {
    (void)context;
    WaitForSingleObject(seen.stored, BOUND_MS);
    seen.status = status;
    snprintf(seen.toldNumber, sizeof seen.toldNumber, "%.*s", number ? (int)length : 4,
             number ? number : "NULL");
    seen.statusInHandle = SetupHandoffWait(seen.handoff, 0);
    seen.numberInHandle = SetupHandoffNumber(seen.handoff, NULL) != NULL;
    SetEvent(seen.told);
    WaitForSingleObject(seen.mayClose, BOUND_MS);
    SetupHandoffClose(seen.handoff);
    SetEvent(seen.closed);
}

/* What the callback woke finds in the handle without waiting: the typed number, both ways. */
static void CheckNumber(void) {
    char expected[64];
    size_t length = 0;
    const char* number = SetupHandoffNumber(seen.handoff, &length);
    const wchar_t* text = SetupHandoffNumberW(seen.handoff, NULL);
    WideCharToMultiByte(CP_ACP, 0, typed, -1, expected, sizeof expected, NULL, NULL);
    if (number == NULL || length != strlen(expected) || strcmp(number, expected) != 0) {
        Fail("- the 8-bit number is not the code page's form of the typed one: %s",
             number ? number : "NULL");
    }
    if (strcmp(seen.toldNumber, expected) != 0) Fail("- the callback was told %s", seen.toldNumber);
    if (text == NULL || wcscmp(text, typed) != 0)
        Fail("- the UTF-16 number is not the typed one%s", "");
    if (!seen.numberInHandle) Fail("- within the callback the handle has no number%s", "");
}

static void RunSetup(void) {
    const int hand = strcmp(scenario, "hand") == 0;
    SetupHandoff* second;
    if (strcmp(scenario, "alone") == 0) {
        SetupHandoff* alone = SetupHandoffStart(NULL, NULL, NULL);
        const int status = SetupHandoffWait(alone, 0);
        if (status != SETUP_HANDOFF_NO_INSTALLER)
            Fail("- with no installer: %s", SetupHandoffStatusName(status));
        SetupHandoffClose(alone);
        return;
    }
    seen.stored = CreateEventW(NULL, TRUE, FALSE, NULL);
    seen.told = CreateEventW(NULL, TRUE, FALSE, NULL);
    seen.mayClose = CreateEventW(NULL, TRUE, FALSE, NULL);
    seen.closed = CreateEventW(NULL, TRUE, FALSE, NULL);
    seen.handoff = SetupHandoffStart(NULL, HandoffEnded, NULL);
    second = SetupHandoffStart(NULL, NULL, NULL);
    if (SetupHandoffWait(second, 0) != SETUP_HANDOFF_ALREADY_STARTED) {
        Fail("- a second start gives %s", SetupHandoffStatusName(SetupHandoffWait(second, 0)));
    }
    SetupHandoffClose(second);
    SetEvent(seen.stored);
    if (WaitForSingleObject(seen.told, BOUND_MS) != WAIT_OBJECT_0) {
        Fail("- the hand-off never ended: %s",
             SetupHandoffStatusName(SetupHandoffWait(seen.handoff, 0)));
        return;
    }
    if (seen.status != (hand ? SETUP_HANDOFF_DONE : SETUP_HANDOFF_NO_INSTALLER)) {
        Fail("- the hand-off ended with %s", SetupHandoffStatusName(seen.status));
    }
    if (seen.statusInHandle != seen.status) {
        Fail("- within the callback the handle shows %s",
             SetupHandoffStatusName(seen.statusInHandle));
    }
    if (hand) CheckNumber();
    SetEvent(seen.mayClose);
    if (WaitForSingleObject(seen.closed, BOUND_MS) != WAIT_OBJECT_0) {
        Fail("- SetupHandoffClose from the callback did not return%s", "");
    }
}

/* ---- the installer and the forger ---- */

static char classId[40];

static LRESULT CALLBACK InstallerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COPYDATA) {
        /* Only its own identifier is taken; any other answer is refused. */
        const COPYDATASTRUCT* answer = (const COPYDATASTRUCT*)lParam;
        if (answer->cbData == strlen(classId) + 1 &&
            memcmp(answer->lpData, classId, answer->cbData) == 0) {
            SetRecord(classId, typed);
        }
        return TRUE;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

static void RunInstaller(void) {
    HANDLE event = CreateEventW(NULL, FALSE, FALSE, eventName);
    HWND self = MakeWindow(L"HandoffTestInstaller", InstallerProc);
    HANDLE program = StartSelf(launchLine);
    HWND setup;
    snprintf(classId, sizeof classId, "{%08lX-0000-4000-8000-%012lX}",
             (unsigned long)GetCurrentProcessId(), (unsigned long)GetTickCount());
    if (program == NULL || WaitForSingleObject(event, BOUND_MS) != WAIT_OBJECT_0) {
        Fail("- installer: the set-up program did not signal%s", "");
        return;
    }
    /* Ends without a word. */
    if (strcmp(scenario, "leaves") == 0) return;
    setup = FindWindowW(NULL, caption);
    if (setup == NULL) {
        Fail("- installer: no window has the caption as text%s", "");
    } else if (GetACP() == 1251 && FindWindowA(NULL, captionCp1251) != setup) {
        Fail("- installer: the caption's cp1251 bytes do not find the window%s", "");
    } else {
        char window[32];
        HANDLE forger;
        snprintf(window, sizeof window, "%lu", (unsigned long)(ULONG_PTR)self);
        SetEnvironmentVariableA("HANDOFF_TEST_INSTALLER_WINDOW", window);
        forger = StartSelf(L"kit-test forger");
        if (forger == NULL || !PumpUntilEnded(forger))
            Fail("- installer: the forger did not end%s", "");
        SendRecord(setup, self, classId);
    }
    if (!PumpUntilEnded(program)) Fail("- installer: the set-up program runs on%s", "");
    DeleteRecord(classId);
    DeleteRecord(forgedIds[0]);
    DeleteRecord(forgedIds[1]);
}

static void RunForger(void) {
    char window[32] = "";
    HWND installer;
    HWND self = MakeWindow(L"HandoffTestForger", DefWindowProcW);
    HWND setup = FindWindowW(NULL, caption);
    GetEnvironmentVariableA("HANDOFF_TEST_INSTALLER_WINDOW", window, sizeof window);
    installer = (HWND)(ULONG_PTR)strtoul(window, NULL, 10);
    SetRecord(forgedIds[0], L"Z999");
    SetRecord(forgedIds[1], L"Z998");
    SendRecord(setup, self, forgedIds[0]);
    SendRecord(setup, installer, forgedIds[1]);
}

/* ---- the scenarios ---- */

/* The result file's text once the set-up part has ended it; what there is after the bound. */
static void WaitResult(char* text, size_t size) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 2 * BOUND_MS) {
        FILE* file = fopen(resultPath, "rb");
        size_t read = 0;
        if (file != NULL) {
            read = fread(text, 1, size - 1, file);
            fclose(file);
        }
        text[read] = '\0';
        if (strstr(text, "setup ok\n") || strstr(text, "setup failed\n")) return;
        /* The poll step between looks at the file. */
        Sleep(10);
    }
}

static int RunScenario(const char* name) {
    char text[2048];
    HANDLE first;
    SetEnvironmentVariableA("HANDOFF_TEST_SCENARIO", name);
    DeleteFileA(resultPath);
    /* Alone: started as the installer would start it, with no installer there. */
    first = StartSelf(strcmp(name, "alone") == 0 ? launchLine : L"kit-test installer");
    WaitResult(text, sizeof text);
    if (first != NULL) WaitForSingleObject(first, BOUND_MS);
    if (strcmp(text, "setup ok\n") != 0) {
        printf("%s (code page %u) FAILED:\n%s\n", name, GetACP(), text[0] ? text : "(no result)");
        return 1;
    }
    printf("%s (code page %u): ok\n", name, GetACP());
    return 0;
}

int main(int argc, char** argv) {
    GetEnvironmentVariableA("HANDOFF_TEST_SCENARIO", scenario, sizeof scenario);
    if (GetEnvironmentVariableA("HANDOFF_TEST_RESULT", resultPath, MAX_PATH) == 0) {
        GetTempPathA(MAX_PATH - 40, resultPath);
        sprintf(resultPath + strlen(resultPath), "handoff-kit-test-%lu.txt",
                (unsigned long)GetCurrentProcessId());
        SetEnvironmentVariableA("HANDOFF_TEST_RESULT", resultPath);
    }
    if (SetupHandoffFindNumber(GetCommandLineA(), NULL) != NULL) {
        RunSetup();
        Report(failed ? "setup failed%s" : "setup ok%s", "");
    } else if (argc > 1 && strcmp(argv[1], "installer") == 0) {
        RunInstaller();
    } else if (argc > 1 && strcmp(argv[1], "forger") == 0) {
        RunForger();
    } else {
        const int failures = RunScenario("hand") + RunScenario("leaves") + RunScenario("alone");
        DeleteFileA(resultPath);
        return failures == 0 ? 0 : 1;
    }
    return 0;
}
