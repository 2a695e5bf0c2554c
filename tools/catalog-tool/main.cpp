#include <iostream>
#include <string>
#include <vector>

#include "CatalogTool.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return RunCatalogTool(args, std::cout, std::cerr);
}
