#include "ui/AboutDialog.h"

#include "ui/resource.h"

AboutDialog::AboutDialog() : Dialog(IDD_ABOUTBOX) {}

AboutDialog::~AboutDialog() = default;
