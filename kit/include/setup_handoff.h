/*
 * The set-up program's side of the installer's hand-off, for C and C++ set-up programs.
 *
 * The installer starts a set-up program with the command line " /v<marker>=<article number>",
 * waits until the program has finished starting, then finds the program's window by its
 * caption, sends it a class identifier with WM_COPYDATA, and when that identifier comes back it
 * records the article number in the registry under HKEY_CLASSES_ROOT\CLSID\{identifier}\Art.
 * This library does all of that for the set-up program:
 *
 *     SetupHandoff* handoff = SetupHandoffStart(NULL, NULL, NULL);
 *     ... show the program's window ...
 *     if (SetupHandoffWait(handoff, SETUP_HANDOFF_INFINITE) == SETUP_HANDOFF_DONE) {
 *         size_t length;
 *         const char* number = SetupHandoffNumber(handoff, &length);
 *         ...
 *     }
 *     SetupHandoffClose(handoff);
 *
 * Call SetupHandoffStart near the start of the program, before its message loop first waits for
 * input: the installer goes on as soon as it does, and a program that has not signalled by then
 * gets no hand-off (a console program, which has no message loop, gets 2 seconds). The
 * hand-off is served on a thread of the library's own with a hidden window and message loop of its
 * own, so the program's user interface framework, or having none, does not matter. Only the
 * installer that started the program is answered: a record from a window of any other process
 * than the program's parent is ignored, and a recorded number other than the one on the command
 * line is never handed out. Call SetupHandoffStart in the process the installer starts: a program
 * that a launcher of its own starts gets no hand-off there (SETUP_HANDOFF_NO_INSTALLER).
 *
 * Every wait ends: SETUP_HANDOFF_PENDING only means "not yet". The hand-off ends with the
 * installer's record (SETUP_HANDOFF_DONE), or when the installer that started the program has
 * ended without one (SETUP_HANDOFF_NO_RECORD after an answer, SETUP_HANDOFF_NO_INSTALLER
 * before), or at once when no installer waits for the program (also when another program holds
 * the name "Setup Started" as an object of another kind or as an event the program may not set).
 *
 * Threads. All functions may be called from any thread. When the hand-off ends, the library
 * first sets the status, the number and the identifier in the handle, then releases
 * SetupHandoffWait, then calls the callback: whatever the callback wakes finds the outcome in the
 * handle, and the callback itself may read it. The outcome never changes afterwards, so no lock
 * is needed to read it. The callback runs once, on a thread of the library's, never within
 * SetupHandoffStart (also when the outcome is known at once, e.g. SETUP_HANDOFF_ALREADY_STARTED:
 * that thread is let go as SetupHandoffStart returns), unless the handle is closed before the
 * hand-off has ended. Only when the library cannot make a thread at all does the callback run
 * within SetupHandoffStart. The callback gets the outcome as its arguments, so it need not read
 * the handle.
 *
 * Handles. A handle stays valid memory for as long as the program runs: SetupHandoffClose ends its
 * service (window and thread) and frees the number and identifier, and marks it closed. Every call
 * on a closed handle then gives SETUP_HANDOFF_NO_HANDLE (NULL for the number and identifier), a
 * wait under way on another thread ends with SETUP_HANDOFF_NO_HANDLE, and a second close does
 * nothing. So the callback may close its handle, and code that reads the handle later finds it
 * closed instead of crashing. SetupHandoffClose from another thread waits until a running callback
 * has returned, so the callback must not wait for a thread that is closing its handle. Each
 * SetupHandoffStart keeps a few dozen bytes until the program ends. One hand-off per process:
 * while a handle is open, a further SetupHandoffStart gives a handle with
 * SETUP_HANDOFF_ALREADY_STARTED.
 *
 * 8-bit texts are in the system's ANSI code page (the installer's is cp1251); the number is also
 * given as UTF-16 (SetupHandoffNumberW). The library is C++ inside: link the program with the
 * MinGW-w64 C++ driver (g++ -static), or add -lstdc++.
 */
#ifndef SETUP_HANDOFF_H
#define SETUP_HANDOFF_H

#include <stddef.h>

/* This header's version: the major number changes when a program written for an earlier one
   needs a change. */
#define SETUP_HANDOFF_VERSION_MAJOR 2
#define SETUP_HANDOFF_VERSION_MINOR 1
#define SETUP_HANDOFF_VERSION (SETUP_HANDOFF_VERSION_MAJOR * 100 + SETUP_HANDOFF_VERSION_MINOR)

/* SetupHandoffWait's time for "until the hand-off has ended". */
#define SETUP_HANDOFF_INFINITE 0xFFFFFFFFUL

#ifdef __cplusplus
extern "C" {
#endif

/* What a hand-off came to. Every status but SETUP_HANDOFF_PENDING is final. */
enum SetupHandoffStatus {
    /* The installer recorded the article number; SetupHandoffNumber gives it. */
    SETUP_HANDOFF_DONE = 0,
    /* Not yet: the installer that started the program runs and has not sent its record (or its
       record is being handled). SetupHandoffWait's time ran out. */
    SETUP_HANDOFF_PENDING = 1,
    /* The command line does not carry an article number: the installer did not start this
       program. */
    SETUP_HANDOFF_NOT_STARTED_BY_INSTALLER = 2,
    /* The number's first letter is not one the installer hands over (E, G, F, I, R). */
    SETUP_HANDOFF_NOT_OFFERED = 3,
    /* The identifier was answered, but the installer that started the program ended without
       recording the number under it. */
    SETUP_HANDOFF_NO_RECORD = 4,
    /* The library could not make its window or thread. */
    SETUP_HANDOFF_FAILED = 5,
    /* The command line is the installer's, but no installer hands the number over: none waited
       for the program when SetupHandoffStart ran (the program was started without the installer,
       or the installer had given up on it: SetupHandoffStart called after the program's message
       loop began, a console program that signalled late; or the program was started by a
       launcher of its own; or another program holds the name "Setup Started"), or the installer
       ended without sending its identifier. */
    SETUP_HANDOFF_NO_INSTALLER = 6,
    /* Another handle of this process is open; that one serves the hand-off. */
    SETUP_HANDOFF_ALREADY_STARTED = 7,
    /* The handle is NULL (SetupHandoffStart returns NULL only when out of memory) or closed. */
    SETUP_HANDOFF_NO_HANDLE = 8
};

typedef struct SetupHandoff SetupHandoff;

/* Called once when the hand-off has ended (any status but SETUP_HANDOFF_PENDING), after the
   outcome is in the handle. number is the recorded article number (length bytes,
   zero-terminated) for SETUP_HANDOFF_DONE, otherwise NULL. See "Threads" above. */
typedef void (*SetupHandoffCallback)(void* context, int status, const char* number, size_t length);

/* Finds the article number in a command line as GetCommandLineA gives it. Returns a pointer into
   commandLine at the number's first byte (the number runs to the end of the text, any length) and
   stores its length in *length (when length is not NULL); NULL when the line does not carry the
   installer's " /v<marker>=" (or commandLine is NULL). */
const char* SetupHandoffFindNumber(const char* commandLine, size_t* length);

/* The same for a command line as GetCommandLineW gives it: the number as typed. */
const wchar_t* SetupHandoffFindNumberW(const wchar_t* commandLine, size_t* length);

/* Signals the installer that the program has started, and serves the hand-off for the number on
   commandLine (NULL: the program's own command line; a launcher of the program's own may pass
   the line it was started with). callback may be NULL. Returns NULL only when out of memory;
   every other outcome is told by SetupHandoffWait. */
SetupHandoff* SetupHandoffStart(const char* commandLine, SetupHandoffCallback callback,
                                void* context);

/* Waits up to timeoutMs milliseconds (SETUP_HANDOFF_INFINITE: until the end) for the hand-off to
   end and returns its status; SETUP_HANDOFF_NO_HANDLE for NULL, for a closed handle, and when the
   handle is closed on another thread during the wait. */
int SetupHandoffWait(SetupHandoff* handoff, unsigned long timeoutMs);

/* The recorded article number once the status is SETUP_HANDOFF_DONE, valid until
   SetupHandoffClose; NULL before, and for NULL or a closed handle. Its length is stored in *length
   when length is not NULL. The bytes are in the system's ANSI code page, as RegQueryValueExA gives
   them: on a system whose code page is 1251 the installer's cp1251 bytes; elsewhere a character the
   code page lacks is '?'. */
const char* SetupHandoffNumber(const SetupHandoff* handoff, size_t* length);

/* The same number as UTF-16 text, as RegQueryValueExW gives it: the number as typed, on every
   system. Its length in characters is stored in *length when length is not NULL. */
const wchar_t* SetupHandoffNumberW(const SetupHandoff* handoff, size_t* length);

/* The class identifier the installer sent, "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", once the
   status is SETUP_HANDOFF_DONE or SETUP_HANDOFF_NO_RECORD; NULL before or when none came. The
   installer leaves its record under it in place. */
const char* SetupHandoffIdentifier(const SetupHandoff* handoff);

/* The status's name, e.g. "SETUP_HANDOFF_DONE", for messages and logs; "unknown status" for any
   other value. */
const char* SetupHandoffStatusName(int status);

/* Ends the service (its window and thread), frees the number and identifier and marks the handle
   closed; the handle itself stays valid memory (see "Handles" above). NULL and a closed handle are
   allowed and do nothing. */
void SetupHandoffClose(SetupHandoff* handoff);

#ifdef __cplusplus
}
#endif

#endif
