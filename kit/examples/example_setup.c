/* A set-up program's side of the installer's hand-off, in full. The program shows its window at
   once, waiting, and says what the hand-off came to when the kit tells it. Build, from the folder
   this file is in (kit/examples), for 32-bit Windows:
     i686-w64-mingw32-gcc -c example_setup.c -I../include
     i686-w64-mingw32-g++ -static -mwindows example_setup.o -L../lib32 \
         -lsetuphandoff -luser32 -ladvapi32 -o example-setup.exe
   and for 64-bit Windows:
     x86_64-w64-mingw32-gcc -c example_setup.c -I../include
     x86_64-w64-mingw32-g++ -static -mwindows example_setup.o -L../lib64 \
         -lsetuphandoff -luser32 -ladvapi32 -o example-setup64.exe */
#include <stdio.h>
#include <windows.h>

#include "setup_handoff.h"

#define WM_HANDOFF_ENDED (WM_APP + 1)
#define LABEL_ID 1

static SetupHandoff* handoff;

/* Runs on the kit's thread once the outcome is in the handle (never within SetupHandoffStart): it
   only tells the window, whose thread reads the outcome. */
static void HandoffEnded(void* context, int status, const char* number, size_t length) {
    (void)status, (void)number, (void)length;
    PostMessageA((HWND)context, WM_HANDOFF_ENDED, 0, 0);
}

static void ShowOutcome(HWND window) {
    char text[512];
    char program[MAX_PATH] = "";
    size_t length = 0;
    int status = SetupHandoffWait(handoff, 0);
    const char* number = SetupHandoffNumber(handoff, &length);
    /* The installer puts no program path on the command line (argv[0] is empty): the program's
       own path comes from the system. */
    GetModuleFileNameA(NULL, program, sizeof program);
    if (status == SETUP_HANDOFF_PENDING) {
        snprintf(text, sizeof text, "Waiting for the installer to hand the article number over.");
    } else if (status == SETUP_HANDOFF_DONE) {
        snprintf(text, sizeof text, "Installing article %.*s from %s.", (int)length, number,
                 program);
    } else if (status == SETUP_HANDOFF_NOT_STARTED_BY_INSTALLER) {
        snprintf(text, sizeof text, "Please start this program from the installer.");
    } else {
        number = SetupHandoffFindNumber(GetCommandLineA(), &length);
        snprintf(text, sizeof text,
                 "The installer did not hand the number over (%s); the command line says %.*s.",
                 SetupHandoffStatusName(status), (int)length, number ? number : "");
    }
    SetDlgItemTextA(window, LABEL_ID, text);
}

static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_HANDOFF_ENDED:
            ShowOutcome(window);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR arguments, int show) {
    WNDCLASSA windowClass = {0};
    HWND window;
    MSG message;
    (void)previous, (void)arguments;

    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(NULL, IDC_ARROW);
    windowClass.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = "ExampleSetup";
    RegisterClassA(&windowClass);
    window = CreateWindowExA(0, "ExampleSetup", "Example set-up", WS_OVERLAPPEDWINDOW,
                             CW_USEDEFAULT, CW_USEDEFAULT, 520, 160, NULL, NULL, instance, NULL);
    CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 12, 12, 480, 80, window,
                    (HMENU)LABEL_ID, instance, NULL);

    /* Before the message loop first waits for input: the installer goes on once it does. */
    handoff = SetupHandoffStart(NULL, HandoffEnded, window);
    ShowOutcome(window);
    ShowWindow(window, show);
    while (GetMessageA(&message, NULL, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    SetupHandoffClose(handoff);
    return 0;
}
