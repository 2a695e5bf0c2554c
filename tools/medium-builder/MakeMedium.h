#pragma once

#include <ostream>
#include <string>

#include "ExitCode.h"

// A medium folder, and on request its ISO image, from a catalogue source, the set-up programs'
// folder and installer.exe: every input and output is checked first and every problem reported
// at once; then the outputs are made under temporary names beside their places; then they are
// moved into place together. A failure or a signal leaves every earlier output as it was.
namespace makemedium {

struct Request {
    std::string source;       // the catalogue's text form
    std::string setupFolder;  // the set-up programs, laid out as on the medium
    std::string label;
    std::string folder;     // the medium folder to write; empty for none
    std::string image;      // the image to write; empty for none
    std::string installer;  // empty for the installer.exe beside this program
    bool force = false;     // replace an earlier medium folder or image
};

// The exit code; a signal that stopped the build is returned in interruptedBy (else 0).
ExitCode Make(const Request& request, std::ostream& out, std::ostream& err, int& interruptedBy);

}  // namespace makemedium
