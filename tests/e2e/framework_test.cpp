// The dialog framework: message tables, default handling, data exchange, strings and the
// application object.
#include <gtest/gtest.h>

#include <thread>

#include "framework/Application.h"
#include "framework/Controls.h"
#include "framework/Dialog.h"
#include "framework/ResourceLanguage.h"
#include "framework/Strings.h"
#include "support/WaitFor.h"
#include "ui/resource.h"

namespace {

class TestApp : public Application {
  public:
    bool InitInstance() override {
        ++initCalls;
        return false;
    }
    int initCalls = 0;
};

TestApp testApp;

// A dialog on the About box's template that counts what reaches its handlers.
class CountingDialog : public Dialog {
  public:
    CountingDialog() : Dialog(IDD_ABOUTBOX) {}

    int okClicks = 0;
    int versionClicks = 0;
    int timerTicks = 0;
    int exchanges = 0;
    std::wstring versionText = L"first";
    StaticControl version;
    std::wstring afterInit;

  protected:
    void DoDataExchange(DataExchange& dx) override {
        ++exchanges;
        dx.Control(IDC_VERSION, version);
        dx.Text(IDC_VERSION, versionText);
    }

    BOOL OnInitDialog() override {
        Dialog::OnInitDialog();
        afterInit = version.Text();
        // Messages to dispatch once the modal loop runs.
        PostMessageA(Handle(), WM_COMMAND, MAKEWPARAM(IDC_VERSION, BN_CLICKED), 0);
        PostMessageA(Handle(), WM_COMMAND, MAKEWPARAM(IDC_VERSION, BN_DOUBLECLICKED), 0);
        PostMessageA(Handle(), WM_APP, 7, 0);
        return TRUE;
    }

    void OnOK() override {
        ++okClicks;
        Dialog::OnOK();
    }

  private:
    void OnVersionClicked() { ++versionClicks; }

    LRESULT OnApp(WPARAM wParam, LPARAM) {
        timerTicks += static_cast<int>(wParam);
        // Change the control, read it back into the member, then end through IDOK.
        version.SetText(L"second");
        UpdateData(Direction::ToMembers);
        PostMessageA(Handle(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return 0;
    }

  protected:
    DECLARE_MESSAGE_TABLE()
};

DEFINE_MESSAGE_TABLE(CountingDialog, Dialog,
                     OnCommandEntry(BN_CLICKED, IDC_VERSION, &CountingDialog::OnVersionClicked),
                     OnMessageEntry(WM_APP, &CountingDialog::OnApp))

TEST(DialogFramework, TableDispatchDataExchangeAndDefaultEnd) {
    CountingDialog dialog;
    EXPECT_EQ(dialog.DoModal(), IDOK);
    // Towards the controls at initialisation.
    EXPECT_EQ(dialog.afterInit, L"first");
    // Only the notification code in the table reached the handler.
    EXPECT_EQ(dialog.versionClicks, 1);
    EXPECT_EQ(dialog.timerTicks, 7);
    // The base table's IDOK row ran the derived OnOK, whose exchange took the new text.
    EXPECT_EQ(dialog.okClicks, 1);
    EXPECT_EQ(dialog.versionText, L"second");
    EXPECT_EQ(dialog.exchanges, 3);
    EXPECT_EQ(dialog.Handle(), nullptr);
}

// A dialog whose handlers look at messages and pass them on to the default processing.
class PassingOnDialog : public Dialog {
  public:
    PassingOnDialog() : Dialog(IDD_ABOUTBOX) {}

    int defIdAsks = 0;
    int closes = 0;
    LRESULT defIdSeen = -1;

  protected:
    BOOL OnInitDialog() override {
        Dialog::OnInitDialog();
        PostMessageA(Handle(), WM_APP, 0, 0);
        return TRUE;
    }

  private:
    LRESULT OnGetDefId(WPARAM, LPARAM) {
        ++defIdAsks;
        return Default();
    }

    LRESULT OnClose(WPARAM, LPARAM) {
        ++closes;
        return Default();
    }

    LRESULT OnApp(WPARAM, LPARAM) {
        defIdSeen = SendMessageA(Handle(), DM_GETDEFID, 0, 0);
        // The dialog manager's handling of the close message is Cancel.
        PostMessageA(Handle(), WM_CLOSE, 0, 0);
        return 0;
    }

    DECLARE_MESSAGE_TABLE()
};

DEFINE_MESSAGE_TABLE(PassingOnDialog, Dialog,
                     OnMessageEntry(DM_GETDEFID, &PassingOnDialog::OnGetDefId),
                     OnMessageEntry(WM_CLOSE, &PassingOnDialog::OnClose),
                     OnMessageEntry(WM_APP, &PassingOnDialog::OnApp))

TEST(DialogFramework, PassedOnMessagesGetTheDialogManagersHandling) {
    PassingOnDialog dialog;
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.defIdAsks, 1);
    // The template's default push button, as the dialog manager reports it.
    EXPECT_EQ(dialog.defIdSeen, MAKELRESULT(IDOK, DC_HASDEFID));
    EXPECT_EQ(dialog.closes, 1);
}

TEST(DialogFramework, MainWindowReferenceGoesWithTheWindow) {
    CountingDialog dialog;
    testApp.SetMainWindow(&dialog);
    dialog.DoModal();
    EXPECT_EQ(testApp.MainWindow(), nullptr);
}

TEST(DialogFramework, TemplateThatDoesNotExistFails) {
    class Missing : public Dialog {
      public:
        Missing() : Dialog(4242) {}
    } dialog;
    EXPECT_EQ(dialog.DoModal(), -1);
}

TEST(DialogFramework, MessageTableLooksAtTheBaseAfterTheClass) {
    static const MessageEntry baseRows[] = {
        {WM_COMMAND, BN_CLICKED, 5, nullptr, nullptr},
        {WM_PAINT, 0, 0, nullptr, nullptr},
    };
    static const MessageEntry derivedRows[] = {
        {WM_COMMAND, EN_CHANGE, 5, nullptr, nullptr},
        {WM_PAINT, 0, 0, nullptr, nullptr},
    };
    const MessageTable base{nullptr, baseRows, 2};
    const MessageTable derived{&base, derivedRows, 2};
    EXPECT_EQ(derived.Find(WM_COMMAND, MAKEWPARAM(5, EN_CHANGE)), &derivedRows[0]);
    EXPECT_EQ(derived.Find(WM_COMMAND, MAKEWPARAM(5, BN_CLICKED)), &baseRows[0]);
    EXPECT_EQ(derived.Find(WM_PAINT, 0), &derivedRows[1]);
    EXPECT_EQ(derived.Find(WM_COMMAND, MAKEWPARAM(6, BN_CLICKED)), nullptr);
    // Only WM_COMMAND rows look at the code and the id.
    EXPECT_EQ(derived.Find(WM_PAINT, MAKEWPARAM(9, 9)), &derivedRows[1]);
    EXPECT_EQ(derived.Find(WM_SIZE, 0), nullptr);
}

TEST(Strings, LoadsTheTextsAsTheyStandAndNothingForMissingIds) {
    EXPECT_EQ(LoadResourceString(IDS_ERROR_CAPTION), L"Ошибка");
    EXPECT_EQ(LoadResourceString(IDS_CATALOG_NOT_FOUND).find(L'%'), 5u);
    EXPECT_EQ(LoadResourceString(114), L"");
    EXPECT_EQ(LoadResourceString(9999), L"");
}

TEST(Strings, LanguageIsTheFirstPreferredTheModuleHasThenEnglish) {
    const LANGID russian = 0x0419, english = 0x0409, german = 0x0407, swissGerman = 0x0807,
                 japanese = 0x0411, britishEnglish = 0x0809;
    const std::vector<LANGID> available = {german, english, russian};
    EXPECT_EQ(PickResourceLanguage({japanese, swissGerman, russian}, available), german);
    EXPECT_EQ(PickResourceLanguage({russian, german}, available), russian);
    EXPECT_EQ(PickResourceLanguage({japanese}, available), english);
    EXPECT_EQ(PickResourceLanguage({japanese}, {russian, britishEnglish}), britishEnglish);
    EXPECT_EQ(PickResourceLanguage({japanese}, {russian}), 0);
    // The test program carries the installer's texts: this prefix's Russian user reads them.
    EXPECT_EQ(ResourceLanguageOf(GetModuleHandleW(nullptr)), russian);
}

TEST(ApplicationObject, RunCallsInitInstanceOnceAndTakesTheFileName) {
    // Other tests run the application too, in any order.
    const int callsBefore = testApp.initCalls;
    testApp.Run(nullptr);
    EXPECT_EQ(testApp.initCalls, callsBefore + 1);
    EXPECT_EQ(testApp.Title(), L"framework_test");
    EXPECT_EQ(TheApplication(), &testApp);
}

TEST(ApplicationObject, ShowMessageBoxIsCaptionedWithTheTitle) {
    testApp.Run(nullptr);
    int result = 0;
    std::thread box([&] { result = testApp.ShowMessageBox(L"text of the box", MB_ICONERROR); });
    HWND window = nullptr;
    ASSERT_TRUE(support::WaitFor(
        [&] { return (window = FindWindowA("#32770", "framework_test")) != nullptr; }));
    char text[64] = {};
    GetDlgItemTextA(window, 0xFFFF, text, sizeof(text));
    EXPECT_STREQ(text, "text of the box");
    PostMessageA(window, WM_COMMAND, IDOK, 0);
    box.join();
    EXPECT_EQ(result, IDOK);
}

}  // namespace
