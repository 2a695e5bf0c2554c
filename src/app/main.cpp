#include <windows.h>

#include "app/InstallerApp.h"

namespace {

// The one application object, constructed before WinMain runs.
InstallerApp theApp;

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    return theApp.Run(instance);
}
