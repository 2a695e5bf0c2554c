// The localization page: entering it with the localizations found, the list's items and the
// numbers they own, and leaving it for the number page.
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
    if (setupStarted) return;
    localizationPage = false;
    ReleaseItemNumbers();
    localizationList.ResetContent();
    numberEdit.Show(true);
    localizationList.Show(false);
    promptLabel.SetText(LoadResourceString(IDS_ENTER_NUMBER));
    numberEdit.SetSel(0, -1);
    numberEdit.ScrollCaret();
    numberEdit.SetFocus();
    UpdateData(true);
    backButton.Show(false);
}

void ProductSelectDialog::TakeListSelection() {
    if (setupStarted) return;
    const int selected = localizationList.CurSel();
    if (selected < 0) return;
    if (const std::string* number = ItemNumber(selected)) articleNumber = *number;
}

int ProductSelectDialog::InsertLocalization(const std::wstring& name, const std::string& number) {
    const int index = localizationList.InsertString(0, name);
    if (index < 0) return index;
    // The item owns this copy until ReleaseItemNumbers.
    std::string* stored = new std::string(number);
    if (!localizationList.SetItemData(index, reinterpret_cast<LPARAM>(stored))) {
        delete stored;
    }
    return index;
}

int ProductSelectDialog::ReleaseItemNumbers() {
    int released = 0;
    const int count = localizationList.Count();
    for (int i = 0; i < count; ++i) {
        std::string* stored = reinterpret_cast<std::string*>(localizationList.ItemData(i));
        if (stored == nullptr) continue;
        delete stored;
        localizationList.SetItemData(i, 0);
        ++released;
    }
    return released;
}

const std::string* ProductSelectDialog::ItemNumber(int index) const {
    return reinterpret_cast<const std::string*>(localizationList.ItemData(index));
}
