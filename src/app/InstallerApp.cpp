#include "app/InstallerApp.h"

#include "ui/ProductSelectDialog.h"

bool InstallerApp::InitInstance() {
    ProductSelectDialog dialog;
    SetMainWindow(&dialog);
    dialog.DoModal();
    // The window is gone; the reference was cleared with it. Clear it again in case the
    // window never came into being.
    WindowDestroyed(&dialog);
    return false;
}
