#pragma once

#include <string>

// How the reference set-up program behaves, read from its environment so that tests can steer
// a copy started by the installer:
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
    enum class Handoff { serve, window, signal, none };
    enum class Reply { exact, later, lower, noBrace, none };

    Handoff handoff = Handoff::serve;
    Reply reply = Reply::exact;
    bool openWindow = true;
    unsigned exitAfterMs = 0;  // 0: run until closed
    std::string numberEvent;

    static SetupOptions FromEnvironment();
};

// The text sent back for a received identifier; empty for Reply::none.
std::string ReplyFor(const std::string& classId, SetupOptions::Reply reply);
