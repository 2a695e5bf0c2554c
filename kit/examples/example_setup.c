/* A set-up program's side of the installer's hand-off, in full. */
#include <windows.h>

#include <stdio.h>

#include "setup_handoff.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR arguments, int show) {
    /* First thing: the installer goes on once this program has finished starting. */
    SetupHandoff* handoff = SetupHandoffStart(NULL, NULL, NULL);
    char text[512];
    size_t length = 0;
    int status = SetupHandoffWait(handoff, 30000);
    const char* number = SetupHandoffNumber(handoff, &length);
    (void)instance, (void)previous, (void)arguments, (void)show;

    if (status == SETUP_HANDOFF_DONE) {
        snprintf(text, sizeof text, "Installing article %.*s.", (int)length, number);
    } else if (status == SETUP_HANDOFF_NOT_STARTED_BY_INSTALLER) {
        snprintf(text, sizeof text, "Please start this program from the installer.");
    } else {
        number = SetupHandoffFindNumber(GetCommandLineA(), &length);
        snprintf(text, sizeof text, "The installer did not hand the number over (status %d); "
                 "the command line says %.*s.", status, (int)length, number ? number : "");
    }
    MessageBoxA(NULL, text, "Example set-up", MB_OK | MB_ICONINFORMATION);
    SetupHandoffClose(handoff);
    return 0;
}
