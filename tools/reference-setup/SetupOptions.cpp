#include "SetupOptions.h"

#include <cctype>
#include <cstdlib>

namespace {

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

}  // namespace

SetupOptions SetupOptions::FromEnvironment() {
    SetupOptions options;
    const std::string handoff = Variable("REFERENCE_SETUP_HANDOFF");
    if (handoff == "window") options.handoff = Handoff::window;
    if (handoff == "signal") options.handoff = Handoff::signal;
    if (handoff == "none") options.handoff = Handoff::none;
    const std::string reply = Variable("REFERENCE_SETUP_REPLY");
    if (reply == "later") options.reply = Reply::later;
    if (reply == "lower") options.reply = Reply::lower;
    if (reply == "nobrace") options.reply = Reply::noBrace;
    if (reply == "none") options.reply = Reply::none;
    options.openWindow = Variable("REFERENCE_SETUP_WINDOW") != "0";
    options.exitAfterMs = static_cast<unsigned>(
        std::strtoul(Variable("REFERENCE_SETUP_EXIT_AFTER_MS").c_str(), nullptr, 10));
    options.numberEvent = Variable("REFERENCE_SETUP_NUMBER_EVENT");
    return options;
}

std::string ReplyFor(const std::string& classId, SetupOptions::Reply reply) {
    std::string text = classId;
    switch (reply) {
        case SetupOptions::Reply::none:
            return {};
        case SetupOptions::Reply::lower:
            for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            return text;
        case SetupOptions::Reply::noBrace:
            if (!text.empty() && text.back() == '}') text.pop_back();
            return text;
        default:
            return text;
    }
}
