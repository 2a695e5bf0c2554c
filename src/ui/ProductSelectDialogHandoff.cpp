// Article resolution, set-up launch and the hand-off of the article number.
#include "ui/ProductSelectDialog.h"

void ProductSelectDialog::OnNext() {}

void ProductSelectDialog::ExpandLocalizations() {}

std::string ProductSelectDialog::ResolveSetupPath(const std::string& value) const {
    return value;
}

int ProductSelectDialog::LanguageIndexOf(const std::string&) const {
    return -1;
}

void ProductSelectDialog::LaunchSetup() {}

LRESULT ProductSelectDialog::OnHandoffReply(WPARAM, LPARAM) {
    OnCancel();
    return Default();
}

std::string ProductSelectDialog::MakeHandoffClassId() {
    return std::string();
}

void ProductSelectDialog::WriteHandoffRecord() {}
