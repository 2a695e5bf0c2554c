#pragma once

#include "framework/Dialog.h"

// The About box, opened from the product selection dialog's system menu. Its owner is the
// application's main window.
class AboutDialog : public Dialog {
  public:
    AboutDialog();
    ~AboutDialog() override;
};
