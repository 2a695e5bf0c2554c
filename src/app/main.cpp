#include <windows.h>

#include "app/InstallerApp.h"
#include "util/SystemLibrary.h"

namespace {

// The one application object, constructed before WinMain runs.
InstallerApp theApp;

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // Before anything can load a library: the program's folder is the medium's, anybody's.
    RestrictDllSearchToSystem();
    return theApp.Run(instance);
}
