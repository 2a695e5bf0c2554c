#pragma once

#include <string>

// How a run of the reference set-up program behaves. The program on the sample medium runs on
// the defaults: the kit serves the hand-off and the status window stays until it is closed. The
// tests' build reads them from its environment (tests/programs/reference-setup), so that tests
// can steer a copy started by the installer; HANDOFF and REPLY are that build's own
// (SteeredOptions.h there), and signal opens no status window:
//   REFERENCE_SETUP_LOG            the file its log appends to (SetupLog.h)
//   REFERENCE_SETUP_HANDOFF        serve (default: the kit serves the hand-off), window (the
//                                  program plays the set-up side itself, without the kit, for
//                                  trying the installer: answers any sender as
//                                  REFERENCE_SETUP_REPLY says), signal (signals "Setup Started" and
//                                  has no message loop at all, so it never finishes starting) or
//                                  none (neither)
//   REFERENCE_SETUP_REPLY          for window: exact (default: answers while the installer's send
//                                  is under way), later (after the send returned), lower
//                                  (identifier in small letters), nobrace (without its closing
//                                  brace) or none
//   REFERENCE_SETUP_WINDOW         0: no status window of its own
//   REFERENCE_SETUP_EXIT_AFTER_MS  end by itself after that many milliseconds
//   REFERENCE_SETUP_NUMBER_EVENT   the name of an event to set once the kit has the number
struct SetupOptions {
    std::string logPath;  // empty: no log
    bool openWindow = true;
    unsigned exitAfterMs = 0;  // 0: run until closed
    std::string numberEvent;
};
