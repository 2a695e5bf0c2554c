/*
 * The set-up program's side of the installer's hand-off, for C and C++ set-up programs.
 *
 * The installer starts a set-up program with the command line " /v<marker>=<article number>",
 * waits until the program has finished starting, then finds the program's window by its
 * caption, sends it a class identifier with WM_COPYDATA, and when that identifier comes back it
 * records the article number in the registry under HKEY_CLASSES_ROOT\CLSID\{identifier}\Art.
 * This library does all of that for the set-up program:
 *
 *     SetupHandoff* handoff = SetupHandoffStart(GetCommandLineA(), NULL, NULL);
 *     ...
 *     if (SetupHandoffWait(handoff, 30000) == SETUP_HANDOFF_DONE) {
 *         size_t length;
 *         const char* number = SetupHandoffNumber(handoff, &length);
 *         ...
 *     }
 *     SetupHandoffClose(handoff);
 *
 * Call SetupHandoffStart near the start of the program, before its own windows and message
 * loop: the installer goes on as soon as the program's first message loop waits for input, and
 * a program that has not signalled by then gets no hand-off. The hand-off is served on a thread
 * of the library's own with a hidden window and message loop of its own, so the program's user
 * interface framework, or having none, does not matter.
 *
 * 8-bit texts are in the system's ANSI code page (the installer's is cp1251); the number is also
 * given as UTF-16 (SetupHandoffNumberW). The library is C++ inside: link the program with the MinGW-w64 C++ driver (g++), or add -lstdc++.
 */
#ifndef SETUP_HANDOFF_H
#define SETUP_HANDOFF_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

/* What a hand-off came to. */
enum SetupHandoffStatus {
    /* The installer recorded the article number; SetupHandoffNumber gives it. */
    SETUP_HANDOFF_DONE = 0,
    /* Still waiting for the installer (SetupHandoffWait's time ran out). */
    SETUP_HANDOFF_PENDING = 1,
    /* The command line does not carry an article number: the installer did not start this
       program. */
    SETUP_HANDOFF_NOT_STARTED_BY_INSTALLER = 2,
    /* The number's first letter is not one the installer hands over (E, G, F, I, R). */
    SETUP_HANDOFF_NOT_OFFERED = 3,
    /* The identifier was answered, but the registry holds no number under it (the installer
       refused the answer, or could not write the record). */
    SETUP_HANDOFF_NO_RECORD = 4,
    /* The library could not make its window or thread. */
    SETUP_HANDOFF_FAILED = 5
};

typedef struct SetupHandoff SetupHandoff;

/* Called once when the hand-off has come to an end (any status but SETUP_HANDOFF_PENDING): on the
   library's thread, or within SetupHandoffStart itself when the outcome is known at once (not
   started by the installer, not offered). number is the recorded article number (length bytes,
   zero-terminated) for SETUP_HANDOFF_DONE, otherwise NULL. It must not call SetupHandoffClose. */
typedef void (*SetupHandoffCallback)(void* context, int status, const char* number,
                                     size_t length);

/* Finds the article number in a command line as GetCommandLineA gives it. Returns a pointer into
   commandLine at the number's first byte (the number runs to the end of the text, any length) and
   stores its length in *length (when length is not NULL); NULL when the line does not carry the
   installer's " /v<marker>=" (or commandLine is NULL). */
const char* SetupHandoffFindNumber(const char* commandLine, size_t* length);

/* Signals the installer that the program has started, and serves the hand-off for the number on
   commandLine (NULL: the program's own command line). callback may be NULL. Returns NULL only
   when out of memory; every other outcome is told by SetupHandoffWait. */
SetupHandoff* SetupHandoffStart(const char* commandLine, SetupHandoffCallback callback,
                                void* context);

/* Waits up to timeoutMs milliseconds (0xFFFFFFFF: no limit) for the hand-off to end and returns
   its status. */
int SetupHandoffWait(SetupHandoff* handoff, unsigned long timeoutMs);

/* The recorded article number once SetupHandoffWait returned SETUP_HANDOFF_DONE, valid until
   SetupHandoffClose; NULL before. Its length is stored in *length when length is not NULL. The
   bytes are in the system's ANSI code page, as RegQueryValueExA gives them: on a system whose code
   page is 1251 the installer's cp1251 bytes; elsewhere a character the code page lacks is '?'. */
const char* SetupHandoffNumber(const SetupHandoff* handoff, size_t* length);

/* The same number as UTF-16 text, as RegQueryValueExW gives it: the number as typed, on every
   system. Its length in characters is stored in *length when length is not NULL. */
const wchar_t* SetupHandoffNumberW(const SetupHandoff* handoff, size_t* length);

/* The class identifier the installer sent, "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", once
   SetupHandoffWait has returned SETUP_HANDOFF_DONE or SETUP_HANDOFF_NO_RECORD; NULL before or
   when none came. The installer leaves its record under it in place. */
const char* SetupHandoffIdentifier(const SetupHandoff* handoff);

/* Ends the service (its window and thread) and frees the handle. NULL is allowed. */
void SetupHandoffClose(SetupHandoff* handoff);

#ifdef __cplusplus
}
#endif

#endif
