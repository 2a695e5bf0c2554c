/* The kit's private window messages, in C for the kit's own tests as well. */
#pragma once

#include <windows.h>

/* Posted to the session's window once the outcome is set: the callback runs after the record's
   send has returned, so the installer is not held by it. */
#define KIT_TELL_MESSAGE (WM_APP + 0x48)
