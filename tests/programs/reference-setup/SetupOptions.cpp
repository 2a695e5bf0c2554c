// The tests' build reads its options from its environment (SetupOptions.h names the variables).

#include <cctype>
#include <cstdlib>

#include "SetupModes.h"
#include "SteeredOptions.h"

namespace {

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

}  // namespace

SetupOptions ReadSetupOptions() {
    SetupOptions options;
    options.logPath = Variable("REFERENCE_SETUP_LOG");
    // A program that only signals never finishes starting: it has no window of its own.
    options.openWindow = Variable("REFERENCE_SETUP_WINDOW") != "0" &&
                         ReadSteeredOptions().handoff != SteeredOptions::Handoff::signal;
    options.exitAfterMs = static_cast<unsigned>(
        std::strtoul(Variable("REFERENCE_SETUP_EXIT_AFTER_MS").c_str(), nullptr, 10));
    options.numberEvent = Variable("REFERENCE_SETUP_NUMBER_EVENT");
    return options;
}

SteeredOptions ReadSteeredOptions() {
    SteeredOptions options;
    const std::string handoff = Variable("REFERENCE_SETUP_HANDOFF");
    using Handoff = SteeredOptions::Handoff;
    if (handoff == "window") options.handoff = Handoff::window;
    if (handoff == "signal") options.handoff = Handoff::signal;
    if (handoff == "none") options.handoff = Handoff::none;
    const std::string reply = Variable("REFERENCE_SETUP_REPLY");
    using Reply = SteeredOptions::Reply;
    if (reply == "later") options.reply = Reply::later;
    if (reply == "lower") options.reply = Reply::lower;
    if (reply == "nobrace") options.reply = Reply::noBrace;
    if (reply == "none") options.reply = Reply::none;
    return options;
}

std::string ReplyFor(const std::string& classId, SteeredOptions::Reply reply) {
    std::string text = classId;
    switch (reply) {
        case SteeredOptions::Reply::none:
            return {};
        case SteeredOptions::Reply::lower:
            for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            return text;
        case SteeredOptions::Reply::noBrace:
            if (!text.empty() && text.back() == '}') text.pop_back();
            return text;
        default:
            return text;
    }
}
