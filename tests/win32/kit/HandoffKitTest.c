/* The set-up program kit as a set-up author meets it: only setup_handoff.h, against an installer
   played by the word of the protocol. One program in four parts:
     - without arguments it runs the scenarios, each in fresh processes, and plays the shell that
       starts the installer, with a window of its own;
     - "installer" plays the installer: makes the event, starts the set-up part with the
       installer's command line, finds its window by the caption and hands the number over;
     - "forger" plays another local program that sends records of its own and the kit's private
       message first;
     - started with the installer's command line, it is the set-up program on the kit.
   The parts write their findings to the standard output they inherit, a pipe the scenario reads;
   the set-up part ends with "setup ok" or "setup failed". Run it in code pages other than 1251
   as well. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

#include "KitMessages.h"
#include "setup_handoff.h"

#define BOUND_MS 30000

/* The protocol's names, as a set-up author reads them in the kit's documentation. */
static const wchar_t eventName[] = L"Setup Started";
static const wchar_t caption[] =
    L"\x0422\x0435\x0441\x0442\x0438\x0440\x043E\x0432\x0430\x043D"
    L"\x0438\x0435 install.exe: RUS";
/* The installer's command line for the typed number; its last letter is not in every code page. */
static const wchar_t launchLine[] = L" /vHSEPBMXJUGRDOALWITFQCNY=R12\x0439";
static const wchar_t typed[] = L"R12\x0439";
/* Records the forger plants: one it sends from its own window, one naming the installer's, one
   naming the shell's. */
static const char* const forgedIds[] = {"{0BADF00D-0000-0000-0000-000000000001}",
                                        "{0BADF00D-0000-0000-0000-000000000002}",
                                        "{0BADF00D-0000-0000-0000-000000000003}"};

static char scenario[16];
static int failed;

/* Writes a line for the scenario; a line that starts with "-" tells a failure. */
static void Note(const char* format, const char* detail) {
    char line[512];
    DWORD written = 0;
    if (format[0] == '-') failed = 1;
    snprintf(line, sizeof line - 1, format, detail);
    strcat(line, "\n");
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), line, (DWORD)strlen(line), &written, NULL);
}

/* ---- steps every part takes ---- */

/* Starts this program again with line, its output going to output. */
static HANDLE StartSelf(const wchar_t* line, HANDLE output) {
    wchar_t program[MAX_PATH];
    wchar_t buffer[128];
    STARTUPINFOW startup = {0};
    PROCESS_INFORMATION created;
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = output;
    GetModuleFileNameW(NULL, program, MAX_PATH);
    wcscpy(buffer, line);
    if (!CreateProcessW(program, buffer, NULL, NULL, TRUE, 0, NULL, NULL, &startup, &created)) {
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

/* HKEY_CLASSES_ROOT\CLSID\{id}\Art with number as its default value, as the installer writes it:
   in the registry's 32-bit view. */
static void SetRecord(const char* id, const wchar_t* number) {
    char path[64];
    HKEY key = NULL;
    snprintf(path, sizeof path, "CLSID\\%s\\Art", id);
    RegCreateKeyExA(HKEY_CLASSES_ROOT, path, 0, NULL, 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, NULL,
                    &key, NULL);
    RegSetValueExW(key, NULL, 0, REG_SZ, (const BYTE*)number,
                   (DWORD)((wcslen(number) + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

static void DeleteRecord(const char* id) {
    char path[64];
    snprintf(path, sizeof path, "CLSID\\%s\\Art", id);
    RegDeleteKeyExA(HKEY_CLASSES_ROOT, path, KEY_WOW64_32KEY, 0);
    *strrchr(path, '\\') = '\0';
    RegDeleteKeyExA(HKEY_CLASSES_ROOT, path, KEY_WOW64_32KEY, 0);
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

enum { stored, told, mayClose, closed, secondStored, secondTold };
static struct {
    HANDLE events[6];
    SetupHandoff *handoff, *second;
    int status, statusInHandle, secondInHandle;
    LONG calls;
    char toldNumber[64];
} seen;

/* Reads the handle from within the callback, then closes it there once the program's thread is
   done with it. */
static void HandoffEnded(void* context, int status, const char* number, size_t length) {
    (void)context;
    InterlockedIncrement(&seen.calls);
    WaitForSingleObject(seen.events[stored], BOUND_MS);
    seen.status = status;
    snprintf(seen.toldNumber, sizeof seen.toldNumber, "%.*s", number ? (int)length : 4,
             number ? number : "NULL");
    seen.statusInHandle = SetupHandoffWait(seen.handoff, 0);
    SetEvent(seen.events[told]);
    WaitForSingleObject(seen.events[mayClose], BOUND_MS);
    SetupHandoffClose(seen.handoff);
    SetEvent(seen.events[closed]);
}

/* The second start's callback: only once SetupHandoffStart has returned its handle. */
static void SecondEnded(void* context, int status, const char* number, size_t length) {
    (void)context, (void)status, (void)number, (void)length;
    if (WaitForSingleObject(seen.events[secondStored], BOUND_MS) != WAIT_OBJECT_0)
        Note("- the second start's callback ran within SetupHandoffStart%s", "");
    seen.secondInHandle = SetupHandoffWait(seen.second, 0);
    SetEvent(seen.events[secondTold]);
}

/* A handle closed (within its callback) stays a handle that says so, however often it is used. */
static void CheckClosed(SetupHandoff* handoff) {
    /* The kit's window lives on a thread of its own, which ends with it. */
    HWND kitWindow = FindWindowW(NULL, caption);
    HANDLE kitThread = kitWindow != NULL ? OpenThread(SYNCHRONIZE, FALSE,
                                                      GetWindowThreadProcessId(kitWindow, NULL))
                                         : NULL;
    if (SetupHandoffWait(handoff, 0) != SETUP_HANDOFF_NO_HANDLE ||
        SetupHandoffNumber(handoff, NULL) != NULL || SetupHandoffNumberW(handoff, NULL) != NULL ||
        SetupHandoffIdentifier(handoff) != NULL)
        Note("- a closed handle still answers%s", "");
    SetupHandoffClose(handoff);
    /* The kit's window goes with its thread, once every message posted before has been handled:
       the stray ones posted during the callback bring no second call. */
    if (kitThread != NULL) {
        if (WaitForSingleObject(kitThread, BOUND_MS) != WAIT_OBJECT_0)
            Note("- the kit's window thread did not end after the close%s", "");
        CloseHandle(kitThread);
    }
    if (seen.calls != 1) Note("- the callback ran more than once%s", "");
}

/* What the callback woke finds in the handle without waiting: the typed number, both ways. */
static void CheckNumber(void) {
    char expected[64];
    size_t length = 0;
    const char* number = SetupHandoffNumber(seen.handoff, &length);
    const wchar_t* text = SetupHandoffNumberW(seen.handoff, NULL);
    WideCharToMultiByte(CP_ACP, 0, typed, -1, expected, sizeof expected, NULL, NULL);
    if (number == NULL || length != strlen(expected) || strcmp(number, expected) != 0) {
        Note("- the 8-bit number is not the code page's form of the typed one: %s",
             number ? number : "NULL");
    }
    if (strcmp(seen.toldNumber, expected) != 0) Note("- the callback was told %s", seen.toldNumber);
    if (text == NULL || wcscmp(text, typed) != 0)
        Note("- the UTF-16 number is not the typed one%s", "");
}

static void RunSetup(void) {
    const int hand = strcmp(scenario, "hand") == 0;
    int i;
    if (strcmp(scenario, "alone") == 0 || strcmp(scenario, "squatted") == 0) {
        /* No installer, or the event's name held by a mutex: no wait hangs. */
        SetupHandoff* alone = SetupHandoffStart(NULL, NULL, NULL);
        const int status = SetupHandoffWait(alone, BOUND_MS);
        if (status != SETUP_HANDOFF_NO_INSTALLER)
            Note("- with no installer: %s", SetupHandoffStatusName(status));
        SetupHandoffClose(alone);
        return;
    }
    for (i = 0; i < 6; ++i) seen.events[i] = CreateEventW(NULL, TRUE, FALSE, NULL);
    seen.handoff = SetupHandoffStart(NULL, HandoffEnded, NULL);
    seen.second = SetupHandoffStart(NULL, SecondEnded, NULL);
    SetEvent(seen.events[secondStored]);
    if (WaitForSingleObject(seen.events[secondTold], BOUND_MS) != WAIT_OBJECT_0 ||
        seen.secondInHandle != SETUP_HANDOFF_ALREADY_STARTED)
        Note("- a second start: %s", SetupHandoffStatusName(seen.secondInHandle));
    SetupHandoffClose(seen.second);
    SetEvent(seen.events[stored]);
    if (WaitForSingleObject(seen.events[told], BOUND_MS) != WAIT_OBJECT_0) {
        Note("- the hand-off never ended: %s",
             SetupHandoffStatusName(SetupHandoffWait(seen.handoff, 0)));
        return;
    }
    if (seen.status != (hand ? SETUP_HANDOFF_DONE : SETUP_HANDOFF_NO_INSTALLER)) {
        Note("- the hand-off ended with %s", SetupHandoffStatusName(seen.status));
    }
    if (seen.statusInHandle != seen.status) {
        Note("- within the callback the handle shows %s",
             SetupHandoffStatusName(seen.statusInHandle));
    }
    if (hand) CheckNumber();
    /* Stray posts of the kit's private message while its callback runs. */
    for (i = 0; i < 3; ++i) PostMessageW(FindWindowW(NULL, caption), KIT_TELL_MESSAGE, 0, 0);
    SetEvent(seen.events[mayClose]);
    if (WaitForSingleObject(seen.events[closed], BOUND_MS) != WAIT_OBJECT_0) {
        Note("- SetupHandoffClose from the callback did not return%s", "");
        return;
    }
    CheckClosed(seen.handoff);
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
    int i;
    HANDLE event = CreateEventW(NULL, FALSE, FALSE, eventName);
    HWND self = MakeWindow(L"HandoffTestInstaller", InstallerProc);
    HANDLE program = StartSelf(launchLine, GetStdHandle(STD_OUTPUT_HANDLE));
    HWND setup;
    snprintf(classId, sizeof classId, "{%08lX-0000-4000-8000-%012lX}",
             (unsigned long)GetCurrentProcessId(), (unsigned long)GetTickCount());
    if (program == NULL || WaitForSingleObject(event, BOUND_MS) != WAIT_OBJECT_0) {
        Note("- installer: the set-up program did not signal%s", "");
        return;
    }
    setup = FindWindowW(NULL, caption);
    if (setup == NULL) {
        Note("- installer: no window has the caption as text%s", "");
    } else {
        char window[32];
        HANDLE forger;
        snprintf(window, sizeof window, "%lu", (unsigned long)(ULONG_PTR)self);
        SetEnvironmentVariableA("HANDOFF_TEST_INSTALLER_WINDOW", window);
        forger = StartSelf(L"kit-test forger", GetStdHandle(STD_OUTPUT_HANDLE));
        if (forger != NULL) PumpUntilEnded(forger);
        /* Ends without a word. */
        if (strcmp(scenario, "leaves") == 0) return;
        SendRecord(setup, self, classId);
    }
    if (!PumpUntilEnded(program)) Note("- installer: the set-up program runs on%s", "");
    DeleteRecord(classId);
    for (i = 0; i < 3; ++i) DeleteRecord(forgedIds[i]);
}

/* The window whose handle an environment variable of this program holds. */
static HWND WindowNamed(const char* variable) {
    char window[32] = "";
    GetEnvironmentVariableA(variable, window, sizeof window);
    return (HWND)(ULONG_PTR)strtoul(window, NULL, 10);
}

static void RunForger(void) {
    HWND self = MakeWindow(L"HandoffTestForger", DefWindowProcW);
    HWND setup = FindWindowW(NULL, caption);
    int i;
    /* Before the hand-off has ended the kit's private message must do nothing. */
    for (i = 0; i < 3; ++i) PostMessageW(setup, KIT_TELL_MESSAGE, 0, 0);
    SetRecord(forgedIds[0], L"Z999");
    SetRecord(forgedIds[1], L"Z998");
    SetRecord(forgedIds[2], L"Z997");
    SendRecord(setup, self, forgedIds[0]);
    /* Leaving, the installer is to have answered nothing. */
    if (strcmp(scenario, "leaves") != 0)
        SendRecord(setup, WindowNamed("HANDOFF_TEST_INSTALLER_WINDOW"), forgedIds[1]);
    /* The shell started the installer, but did not start the set-up program. */
    SendRecord(setup, WindowNamed("HANDOFF_TEST_SHELL_WINDOW"), forgedIds[2]);
}

/* ---- the scenarios ---- */

/* The shell's window, served on a thread of its own while the scenarios run. */
static DWORD WINAPI ServeShellWindow(void* made) {
    char window[32];
    MSG message;
    snprintf(window, sizeof window, "%lu",
             (unsigned long)(ULONG_PTR)MakeWindow(L"HandoffTestShell", DefWindowProcW));
    SetEnvironmentVariableA("HANDOFF_TEST_SHELL_WINDOW", window);
    SetEvent(made);
    while (GetMessageW(&message, NULL, 0, 0) > 0) DispatchMessageW(&message);
    return 0;
}

static void ShowShellWindow(void) {
    HANDLE made = CreateEventW(NULL, TRUE, FALSE, NULL);
    CloseHandle(CreateThread(NULL, 0, ServeShellWindow, made, 0, NULL));
    WaitForSingleObject(made, BOUND_MS);
    CloseHandle(made);
}

/* Whether the set-up part has written its last line and the part started first has ended. */
static int ScenarioOver(const char* text, HANDLE first) {
    return (strstr(text, "setup ok\n") || strstr(text, "setup failed\n")) &&
           WaitForSingleObject(first, 0) == WAIT_OBJECT_0;
}

/* The scenario's parts write into a named pipe that is read here with overlapped reads, so the
   wait is for the next text or the end of the part started first, never a poll. It ends when the
   scenario is over (a system process may hold the pipe on), every writer has gone, or after the
   bound. */
static int RunScenario(const char* name) {
    static int scenarios = 0;
    char text[2048] = "";
    DWORD used = 0;
    const DWORD start = GetTickCount();
    wchar_t pipeName[64];
    HANDLE reader, writer, first, squatter, waits[2];
    OVERLAPPED read = {0};
    int reading = 0;
    SECURITY_ATTRIBUTES inherited = {sizeof inherited, NULL, TRUE};
    swprintf(pipeName, 64, L"\\\\.\\pipe\\kit-test-%lu-%d", GetCurrentProcessId(), ++scenarios);
    reader = CreateNamedPipeW(pipeName, PIPE_ACCESS_INBOUND | FILE_FLAG_OVERLAPPED, PIPE_TYPE_BYTE,
                              1, 0, sizeof text, 0, NULL);
    writer = CreateFileW(pipeName, GENERIC_WRITE, 0, &inherited, OPEN_EXISTING, 0, NULL);
    read.hEvent = CreateEventW(NULL, TRUE, FALSE, NULL);
    SetEnvironmentVariableA("HANDOFF_TEST_SCENARIO", name);
    /* Another program holds the event's name as a mutex. */
    squatter = strcmp(name, "squatted") == 0 ? CreateMutexW(NULL, FALSE, eventName) : NULL;
    /* Alone and squatted: started as the installer would start it, with no installer there. */
    first = StartSelf(strcmp(name, "alone") == 0 || squatter ? launchLine : L"kit-test installer",
                      writer);
    CloseHandle(writer);
    waits[0] = read.hEvent;
    waits[1] = first;
    while (!ScenarioOver(text, first) && GetTickCount() - start < 3 * BOUND_MS) {
        DWORD got = 0;
        if (!reading) {
            if (used >= sizeof text - 1) break;
            ResetEvent(read.hEvent);
            if (!ReadFile(reader, text + used, sizeof text - 1 - used, NULL, &read) &&
                GetLastError() != ERROR_IO_PENDING)
                break; /* every writer has gone */
            reading = 1;
        }
        /* Once the first part has ended, only the text is waited for. */
        WaitForMultipleObjects(WaitForSingleObject(first, 0) == WAIT_OBJECT_0 ? 1 : 2, waits, FALSE,
                               3 * BOUND_MS - (GetTickCount() - start));
        if (!HasOverlappedIoCompleted(&read)) continue;
        reading = 0;
        if (!GetOverlappedResult(reader, &read, &got, FALSE)) break;
        used += got;
        text[used] = '\0';
    }
    if (reading) {
        DWORD got = 0;
        CancelIo(reader);
        GetOverlappedResult(reader, &read, &got, TRUE);
    }
    CloseHandle(read.hEvent);
    CloseHandle(reader);
    CloseHandle(first);
    if (squatter != NULL) CloseHandle(squatter);
    if (strcmp(text, "setup ok\n") != 0) {
        printf("%s (code page %u) FAILED:\n%s\n", name, GetACP(), text);
        return 1;
    }
    printf("%s (code page %u): ok\n", name, GetACP());
    return 0;
}

int main(int argc, char** argv) {
    GetEnvironmentVariableA("HANDOFF_TEST_SCENARIO", scenario, sizeof scenario);
    if (SetupHandoffFindNumber(GetCommandLineA(), NULL) != NULL) {
        RunSetup();
        Note(failed ? "setup failed%s" : "setup ok%s", "");
    } else if (argc > 1 && strcmp(argv[1], "installer") == 0) {
        RunInstaller();
    } else if (argc > 1 && strcmp(argv[1], "forger") == 0) {
        RunForger();
    } else {
        ShowShellWindow();
        const int failures = RunScenario("hand") + RunScenario("leaves") + RunScenario("alone") +
                             RunScenario("squatted");
        return failures == 0 ? 0 : 1;
    }
    return 0;
}
