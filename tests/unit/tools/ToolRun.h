#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "CatalogTool.h"

// One run of the catalogue tool in the test's process: its exit code and what it printed.
struct ToolRun {
    int code;
    std::string out;
    std::string err;
};

inline ToolRun Tool(std::vector<std::string> args) {
    std::ostringstream out;
    std::ostringstream err;
    const int code = RunCatalogTool(args, out, err);
    return {code, out.str(), err.str()};
}
