// The localization page: entering it with the localizations found, the list's items and the
// numbers they own, and leaving it for the number page.
#include <algorithm>
#include <cstddef>

#include "framework/Strings.h"
#include "ui/ProductSelectDialog.h"
#include "ui/resource.h"

void ProductSelectDialog::ShowLocalizationPage() {
    localizationPage = true;
    numberEdit.Show(false);
    localizationList.Show(true);
    promptLabel.SetText(LoadResourceString(IDS_CHOOSE_LOCALIZATION));
    backButton.Show(true);
    localizationList.SetCurSel(0);
    localizationList.SetFocus();
    if (const std::string* number = ItemNumber(localizationList.CurSel())) articleNumber = *number;
}

void ProductSelectDialog::OnBack() {
    if (launch.Started()) return;
    localizationPage = false;
    ReleaseItemNumbers();
    localizationList.ResetContent();
    numberEdit.Show(true);
    localizationList.Show(false);
    promptLabel.SetText(LoadResourceString(IDS_ENTER_NUMBER));
    numberEdit.SetSel(0, -1);
    numberEdit.ScrollCaret();
    numberEdit.SetFocus();
    UpdateData(Direction::ToMembers);
    backButton.Show(false);
}

void ProductSelectDialog::TakeListSelection() {
    if (launch.Started()) return;
    const int selected = localizationList.CurSel();
    if (selected < 0) return;
    if (const std::string* number = ItemNumber(selected)) articleNumber = *number;
}

int ProductSelectDialog::InsertLocalization(const std::wstring& name, const std::string& number) {
    const int index = localizationList.InsertString(0, name);
    if (index < 0) return index;
    // The item's number lives here, at the item's index; the item's own data holds none.
    const size_t at = std::min(static_cast<size_t>(index), itemNumbers.size());
    itemNumbers.insert(itemNumbers.begin() + static_cast<std::ptrdiff_t>(at), number);
    return index;
}

int ProductSelectDialog::ReleaseItemNumbers() {
    const int released = static_cast<int>(itemNumbers.size());
    itemNumbers.clear();
    return released;
}

const std::string* ProductSelectDialog::ItemNumber(int index) const {
    if (index < 0 || static_cast<size_t>(index) >= itemNumbers.size()) return nullptr;
    return &itemNumbers[static_cast<size_t>(index)];
}
