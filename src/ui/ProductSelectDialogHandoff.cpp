// Next: the article number resolved to a set-up program or to the localization page, and the
// launch (handoff/SetupLaunch) started and followed. The rules live in handoff/ and protocol/;
// these members apply them to the dialog and tell the user what went wrong.
#include <string>

#include "framework/Application.h"
#include "framework/MessageBoxes.h"
#include "framework/MessageParams.h"
#include "framework/Strings.h"
#include "handoff/ArticleRules.h"
#include "handoff/SetupPath.h"
#include "protocol/HandoffProtocol.h"
#include "ui/LanguageTable.h"
#include "ui/ProductSelectDialog.h"
#include "ui/resource.h"
#include "util/Cp1251.h"
#include "util/ModuleFile.h"
#include "util/PathParts.h"
#include "util/WideText.h"

namespace {

// Looks after the set-up window while the dialog waits hidden for its answer.
constexpr UINT_PTR setupWatchTimer = 1;
constexpr UINT setupWatchPeriodMs = 250;

// Puts the keyboard focus in the number field with all its text selected, so typing replaces it.
void SelectWholeNumber(const EditControl& numberEdit) {
    numberEdit.SetFocus();
    numberEdit.SetSel(0, -1);
    numberEdit.ScrollCaret();
}

// The launch's own boxes go through the application and carry its title as caption.
void ShowApplicationError(HWND owner, UINT textId) {
    const std::wstring text = LoadResourceString(textId);
    if (Application* app = TheApplication()) {
        app->ShowMessageBox(text, MB_ICONERROR | MB_OK);
    } else {
        ShowMessageBox(owner, text, nullptr, MB_ICONERROR | MB_OK);
    }
}

}  // namespace

void ProductSelectDialog::OnNext() {
    if (launch.Started()) return;
    // On the localization page the number is the one of the item the list shows, whichever way
    // its selection came about (a selection set by another program sends no notification).
    if (localizationPage) TakeListSelection();
    // The number field keeps the text as typed; only the member is trimmed. A typed character
    // that cp1251 cannot hold makes a number no catalogue key can be.
    articleNumber = TrimArticleNumber(articleNumber);
    const bool lookable = localizationPage || numberFits;
    // A typed number goes on in its Latin form when only that is in the catalogue.
    if (!localizationPage && numberFits) {
        articleNumber = ChooseTypedNumber(
            articleNumber, [this](const std::string& key) { return catalog.HasKey(key); });
    }
    if (lookable && IsPlaceholderNumber(articleNumber)) {
        ExpandLocalizations();
        return;
    }
    UINT failure = IDS_WRONG_NUMBER;
    if (lookable && catalog.HasKey(articleNumber)) {
        const std::string path = SetupPathOf(catalog.GetValue(articleNumber));
        if (PathParts(path).Exists()) {
            LaunchSetup(path);
            return;
        }
        failure = IDS_SETUP_NOT_FOUND;
    }
    ShowMessage(IDS_ERROR_CAPTION, failure, MB_ICONERROR);
    nextButton.Enable(false);
    // The focus stays on a control the page shows: the hidden number field would take typing
    // that enables Next again for a number nobody sees.
    if (localizationPage) {
        localizationList.SetFocus();
    } else {
        SelectWholeNumber(numberEdit);
    }
}

void ProductSelectDialog::ExpandLocalizations() {
    bool found = false;
    for (const Candidate& candidate : ExpandCandidates(articleNumber)) {
        if (!catalog.HasKey(candidate.number) ||
            !PathParts(SetupPathOf(catalog.GetValue(candidate.number))).Exists())
            continue;
        // Each item goes in at the top, so the last one found comes first.
        const std::wstring name =
            LoadResourceString(languageTable.nameIds[candidate.languageIndex]);
        if (InsertLocalization(name, candidate.number) >= 0) found = true;
    }
    if (!found) {
        SelectWholeNumber(numberEdit);
        ShowMessage(IDS_ERROR_CAPTION, IDS_WRONG_NUMBER, MB_ICONERROR);
        nextButton.Enable(false);
        return;
    }
    ShowLocalizationPage();
}

std::string ProductSelectDialog::SetupPathOf(const std::string& value) const {
    // Catalogue values are cp1251; paths inside the program are UTF-8. A refused value gives an
    // empty path, which names no program.
    return SetupPathOnMedium(cp1251::ToUtf8(value), OwnProgramPath());
}

void ProductSelectDialog::LaunchSetup(const std::string& path) {
    switch (launch.StartProgram(path, articleNumber)) {
        case SetupLaunch::Start::failed:
            ShowApplicationError(Handle(), IDS_SETUP_NOT_FOUND);
            return;
        case SetupLaunch::Start::unsignalled:
            OnCancel();
            return;
        case SetupLaunch::Start::signalled:
            break;
    }
    ShowWindow(Handle(), SW_HIDE);
    const int language = LanguageIndexOf(articleNumber);
    const std::wstring caption =
        language < 0 ? std::wstring() : LoadResourceString(languageTable.captionIds[language]);
    // The answer may arrive while the identifier's send is under way and end the dialog from
    // inside it.
    switch (launch.HandOver(caption, Handle())) {
        case SetupLaunch::Handover::noCaption:
            OnCancel();
            return;
        case SetupLaunch::Handover::noWindow:
            ShowApplicationError(Handle(), IDS_SETUP_NOT_FOUND);
            OnCancel();
            return;
        case SetupLaunch::Handover::sent:
            break;
    }
    if (!launch.Settled()) SetTimer(Handle(), setupWatchTimer, setupWatchPeriodMs, nullptr);
}

LRESULT ProductSelectDialog::OnSetupWatch(WPARAM timerId, LPARAM) {
    if (timerId != setupWatchTimer || launch.Settled()) return Default();
    if (!launch.SetupGone()) return 0;
    KillTimer(Handle(), setupWatchTimer);
    OnCancel();
    return 0;
}

LRESULT ProductSelectDialog::OnHandoffReply(WPARAM wParam, LPARAM lParam) {
    launch.TakeAnswer(CopyDataMessage{wParam, lParam}.Record());
    OnCancel();
    // The sender gets the result of the dialog manager's default processing of the message.
    return Default();
}
