#include "protocol/HandoffProtocol.h"

namespace {

// The progression behind the marker. The step is prime to 25, so the 23 letters are distinct.
constexpr unsigned markerStart = 7;
constexpr unsigned markerStep = 11;
constexpr unsigned markerAlphabet = 25;

}  // namespace

void BuildLaunchMarker(char* buffer, size_t size) {
    if (size == 0) return;
    for (size_t i = 0; i + 1 < size; ++i) {
        const size_t term = markerStart + i * markerStep;
        buffer[i] = static_cast<char>('A' + term % markerAlphabet);
    }
    buffer[size - 1] = '\0';
}

std::string LaunchMarker() {
    char marker[launchMarkerLength + 1];
    BuildLaunchMarker(marker, sizeof marker);
    return marker;
}

std::string BuildCommandLine(const std::string& number) {
    std::string line;
    line.reserve(commandLinePrefixLength + number.size());
    line += " /v";
    line += LaunchMarker();
    line += '=';
    line += number;
    return line;
}
