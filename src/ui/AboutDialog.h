#pragma once

#include <string>

#include "framework/Dialog.h"
#include "ui/GdiHandles.h"

// The About box, opened from the product selection dialog's system menu. Its owner is the
// application's main window. It shows the program's file version, read anew from the program's
// own version resource each time it opens.
class AboutDialog : public Dialog {
  public:
    AboutDialog();
    ~AboutDialog() override;

  protected:
    // Static 1006 with copyrightText, then static 1005 with versionText.
    void DoDataExchange(DataExchange& dx) override;
    BOOL OnInitDialog() override;
    // The program's icon, as the group image nearest the size the box shows icons at, at the
    // image's own size (none stretched), centred where the template puts it.
    void ShowNearestIcon();

    // Bound to static 1006, which stays hidden: receives the resource's "LegalCopyright".
    std::wstring copyrightText;
    // Bound to static 1005: "Версия: " and the resource's "FileVersion".
    std::wstring versionText;
    // The image ShowNearestIcon loaded, while the icon static shows it.
    OwnedIcon nearestIcon;
};

// The version line: `format` (string 122) with its first %s replaced by `version`; %% stands for
// a percent sign, and every other % is kept as it is.
std::wstring FormatVersionLine(const std::wstring& format, const std::wstring& version);
