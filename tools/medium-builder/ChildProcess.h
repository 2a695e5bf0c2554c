#pragma once

#include <string>
#include <vector>

// Runs another program found on the search path and waits for it. Its standard error is this
// program's; its standard output is collected when asked for, else joins standard error. The
// child ends with this program: natively it is in this program's process group and is killed
// when this program dies, and a signal the build notes (see Interruption.h) ends it too; on
// Windows it runs in a job that ends when this program's handle to it closes, is looked for in
// PATH's absolute folders only (never the current folder) and inherits only its three standard
// handles (see ChildProcessWindows.cpp).
namespace childprocess {

constexpr int kNotStarted = -1;
constexpr int kInterrupted = -2;

// The program's exit code; kNotStarted when it could not be started or ended abnormally,
// kInterrupted when a signal to this program ended it.
int Run(const std::vector<std::string>& args, std::string* output);

}  // namespace childprocess
