#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "ExitCode.h"
#include "WindowsNames.h"

// Everything that stops a medium from being built, gathered before anything is written and
// reported at once: the catalogue's faults first, then the medium's. The worst kind decides the
// exit code. A control character left in a problem's text (a newline in a path given) is
// escaped, so that every problem is one line of the report.
class Problems {
  public:
    enum Part { Catalogue, Medium };

    void Add(Part part, ExitCode kind, const std::string& text) {
        (part == Catalogue ? catalogue : medium).push_back(windowsnames::ControlsEscaped(text));
        if (ToInt(kind) > ToInt(code)) code = kind;
    }
    bool Any() const { return !catalogue.empty() || !medium.empty(); }
    ExitCode Code() const { return code; }
    void Print(std::ostream& err) const {
        for (const std::string& line : catalogue) err << "make-medium: " << line << "\n";
        for (const std::string& line : medium) err << "make-medium: " << line << "\n";
    }

  private:
    std::vector<std::string> catalogue;
    std::vector<std::string> medium;
    ExitCode code = ExitCode::Ok;
};
