#pragma once

#include <string>

// How the reference set-up program behaves, read from its environment so that tests can steer
// a copy started by the installer:
//   REFERENCE_SETUP_REPLY          exact (default), later (after the installer's send returns),
//                                  lower (identifier in small letters), nobrace (without its
//                                  closing brace) or none (no answer)
//   REFERENCE_SETUP_WINDOW         0: open no window, only record the start and signal the event
//   REFERENCE_SETUP_EXIT_AFTER_MS  end by itself after that many milliseconds
struct SetupOptions {
    enum class Reply { exact, later, lower, noBrace, none };

    Reply reply = Reply::exact;
    bool openWindow = true;
    unsigned exitAfterMs = 0;  // 0: run until closed

    static SetupOptions FromEnvironment();
};

// The text sent back for a received identifier; empty for Reply::none.
std::string ReplyFor(const std::string& classId, SetupOptions::Reply reply);
