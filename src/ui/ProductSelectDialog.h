#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "catalog/ArticleCatalog.h"
#include "framework/Controls.h"
#include "framework/Dialog.h"
#include "handoff/SetupLaunch.h"
#include "ui/GdiHandles.h"

namespace support {
class ProductDialogProbe;
}

// The program's working surface: asks for a product article number (number page) and, for a
// number that leaves the localization open, offers the localizations found (localization page).
// Every end of the dialog passes through OnCancel.
class ProductSelectDialog : public Dialog {
  public:
    ProductSelectDialog();

    // Shows a message box owned by the dialog; text and caption come from the string table.
    int ShowMessage(UINT captionId, UINT textId, UINT style);

  private:
    // The one way in for tests: the probe that runs the dialog in a test's own process.
    friend class support::ProductDialogProbe;

    void DoDataExchange(DataExchange& dx) override;
    BOOL OnInitDialog() override;
    void OnCancel() override;
    // Cancel, Escape, Close and OK; ignored once a set-up program has been started.
    void OnCancelCommand();

    // Number page (ProductSelectDialog.cpp) and localization page (ProductSelectDialogPages.cpp).
    void OnNumberChange();
    // Switches to the localization page with the first item selected and its number taken over.
    void ShowLocalizationPage();
    // Leaves it for the number page.
    void OnBack();
    // Takes the number of the item the list shows over; run on every change of the list's
    // selection (the closed list's arrow keys, letters and wheel, a click in the dropped list)
    // and when the drop-down closes. Without a selection the number stays.
    void TakeListSelection();
    LRESULT OnSysCommand(WPARAM command, LPARAM lParam);
    void OnPaint();
    LRESULT OnQueryDragIcon(WPARAM, LPARAM);

    // The article numbers of localizationList's items, in itemNumbers at each item's index (the
    // items' own data holds none). InsertLocalization puts an item at index 0 and its number with
    // it; it returns the new index, or a negative value when the list refused the item (then no
    // number is kept). ReleaseItemNumbers forgets every number; it returns how many there were.
    int InsertLocalization(const std::wstring& name, const std::string& number);
    int ReleaseItemNumbers();
    // The number stored with an item; null when it has none.
    const std::string* ItemNumber(int index) const;

    // Article resolution, set-up launch and hand-off (ProductSelectDialogHandoff.cpp).
    void OnNext();
    void ExpandLocalizations();
    // The set-up path a catalogue value names on this medium (UTF-8); empty when refused.
    std::string SetupPathOf(const std::string& value) const;
    // Starts the set-up program at path for articleNumber and hands the number over (launch); the
    // dialog tells the user of a failed start or a missing window and hides or ends as the launch
    // goes.
    void LaunchSetup(const std::string& path);
    // The set-up program's answer, or any other WM_COPYDATA: the launch takes it, the dialog ends.
    LRESULT OnHandoffReply(WPARAM wParam, LPARAM lParam);
    // While the dialog waits hidden for the answer: ends it quietly once the set-up window is gone
    // or its program has ended without answering.
    LRESULT OnSetupWatch(WPARAM timerId, LPARAM);

    // Sizes the picture to the place the template gives it, at its own proportions, and places
    // it centred across the client area, in the band above the prompt.
    void PlacePicture();

    StaticControl promptLabel;
    ComboBoxControl localizationList;
    std::vector<std::string> itemNumbers;
    EditControl numberEdit;
    ButtonControl backButton;
    ButtonControl nextButton;
    // cp1251, the catalogue's text: the number looked up, launched and recorded.
    std::string articleNumber;
    // False while the number field holds a character that cp1251 cannot hold: no catalogue key
    // can be that text, and articleNumber is then empty.
    bool numberFits = true;
    StaticControl picture;
    // The picture drawn at the dialog's scale, while the picture control shows it; null where
    // the control shows the bitmap of the template at its own size.
    OwnedBitmap scaledPicture;
    // A shared icon of the module: never destroyed.
    HICON appIcon = nullptr;
    ArticleCatalog catalog;
    // The launch of the set-up program and the hand-off. Once a program has been started
    // (launch.Started()) the launch owns the dialog: no click, key or command of the pages acts
    // any more (input that queued up while the set-up program was starting included).
    SetupLaunch launch;
    // True from ShowLocalizationPage to OnBack.
    bool localizationPage = false;

    DECLARE_MESSAGE_TABLE()
};
