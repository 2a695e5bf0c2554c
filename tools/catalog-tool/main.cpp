#include <iostream>
#include <string>
#include <vector>

#include "CatalogTool.h"
#ifdef _WIN32
#include <windows.h>
// CommandLineToArgvW
#include <shellapi.h>

#include "util/SystemLibrary.h"
#include "util/WideText.h"

// The arguments as the system holds them, in UTF-8 like every path of the tools: the 8-bit
// arguments would be in the system's code page and lose what it cannot hold.
std::vector<std::string> Arguments(int, char**) {
    std::vector<std::string> args;
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    for (int i = 1; wide != nullptr && i < count; ++i) args.push_back(Utf8FromWide(wide[i]));
    LocalFree(wide);
    return args;
}
#else
std::vector<std::string> Arguments(int argc, char** argv) {
    return std::vector<std::string>(argv + 1, argv + argc);
}
#endif

int main(int argc, char** argv) {
#ifdef _WIN32
    RestrictDllSearchToSystem();
#endif
    const std::vector<std::string> args = Arguments(argc, argv);
    return RunCatalogTool(args, std::cout, std::cerr);
}
