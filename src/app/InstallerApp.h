#pragma once

#include "framework/Application.h"

// The program's application object: runs the product selection dialog and ends.
class InstallerApp : public Application {
  public:
    InstallerApp() = default;
    // Runs the dialog modally; always false, so the program ends after the dialog.
    bool InitInstance() override;
};
