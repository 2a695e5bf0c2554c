// The product selection dialog class run in the test's own process: its page switch back,
// the taking over of a list selection, the stored numbers' ownership and its system menu.
#include <gtest/gtest.h>

#include <functional>
#include <thread>

#include "catalog/ArticleCatalog.h"
#include "catalog/CatalogStore.h"
#include "driver/Driver.h"
#include "framework/Application.h"
#include "framework/Strings.h"
#include "handoff/HandoffNames.h"
#include "ui/ProductSelectDialog.h"
#include "ui/resource.h"
#include "util/PathParts.h"

namespace {

using e2e::Cp1251;

constexpr UINT kRunOnDialogThread = WM_APP + 1;

class TestApp : public Application {
  public:
    bool InitInstance() override { return false; }
};

TestApp testApp;

// The real dialog with one more message: runs a function on the dialog's thread, so a test
// can call the dialog's handlers the way its own messages would.
class ProbeDialog : public ProductSelectDialog {
  public:
    using ProductSelectDialog::articleNumber;
    using ProductSelectDialog::backButton;
    using ProductSelectDialog::InsertLocalization;
    using ProductSelectDialog::ItemNumber;
    using ProductSelectDialog::localizationList;
    using ProductSelectDialog::nextButton;
    using ProductSelectDialog::numberEdit;
    using ProductSelectDialog::OnBack;
    using ProductSelectDialog::OnCancel;
    using ProductSelectDialog::promptLabel;
    using ProductSelectDialog::ReleaseItemNumbers;
    using ProductSelectDialog::TakeListSelection;

    // Runs fn on the dialog's thread and returns when it is done.
    void Run(const std::function<void()>& fn) {
        SendMessageA(Handle(), kRunOnDialogThread, 0, reinterpret_cast<LPARAM>(&fn));
    }

    // Shows the localization page the way the resolution does, with the given items.
    void EnterLocalizationPage(const std::vector<std::pair<std::string, std::string>>& items) {
        for (const auto& [name, number] : items) InsertLocalization(name, number);
        ShowLocalizationPage();
    }

  private:
    LRESULT OnRun(WPARAM, LPARAM fn) {
        (*reinterpret_cast<const std::function<void()>*>(fn))();
        return 0;
    }

  protected:
    DECLARE_MESSAGE_TABLE()
};

DEFINE_MESSAGE_TABLE(ProbeDialog, ProductSelectDialog,
                     OnMessageEntry(kRunOnDialogThread, &ProbeDialog::OnRun))

// Writes a loadable install.crt beside the test program, where the dialog looks for it.
bool WriteCatalogBesideProgram() {
    PathParts path(catalogFileName);
    path.SetDirectoryFromModule("");
    CatalogStore store;
    store.Section(ArticleCatalog::ArticleSectionName)
        .Set("E100", CatalogValue::String("%:\\English\\setup.exe"));
    const bool saved = store.Save(path.fullPath, true);
    store.modified = false;
    return saved;
}

// Runs the dialog modally on its own thread for the length of a test.
class DialogInProcess : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(WriteCatalogBesideProgram());
        modal = std::thread([this] { result = dialog.DoModal(); });
        ASSERT_TRUE(e2e::WaitFor(
            [this] { return dialog.Handle() != nullptr && IsWindowVisible(dialog.Handle()); }));
    }

    void TearDown() override {
        if (dialog.Handle() != nullptr) PostMessageA(dialog.Handle(), WM_COMMAND, IDCANCEL, 0);
        if (modal.joinable()) modal.join();
    }

    // The numbers stored with each item, in list order; "-" for an item without one.
    std::vector<std::string> StoredNumbers() {
        std::vector<std::string> numbers;
        dialog.Run([&] {
            for (int i = 0; i < dialog.localizationList.Count(); ++i) {
                const std::string* number = dialog.ItemNumber(i);
                numbers.push_back(number != nullptr ? *number : "-");
            }
        });
        return numbers;
    }

    ProbeDialog dialog;
    std::thread modal;
    INT_PTR result = 0;
};

TEST_F(DialogInProcess, ItemsInsertedAtTheTopKeepTheirNumbers) {
    dialog.Run([&] {
        dialog.InsertLocalization(Cp1251("Английская"), "E1");
        dialog.InsertLocalization(Cp1251("Русская"), "R1");
        dialog.InsertLocalization(Cp1251("Итальянская"), "I1");
    });
    // The list's sort style does not reorder inserted items.
    EXPECT_EQ(StoredNumbers(), (std::vector<std::string>{"I1", "R1", "E1"}));
    std::string first;
    dialog.Run([&] { first = dialog.localizationList.ItemText(0); });
    EXPECT_EQ(e2e::ToUtf8(first), "Итальянская");
}

TEST_F(DialogInProcess, BackRestoresTheNumberPage) {
    dialog.Run([&] {
        dialog.numberEdit.SetText("  Z12 ");
        dialog.EnterLocalizationPage({{Cp1251("Английская"), "E12"}, {Cp1251("Русская"), "R12"}});
    });
    std::string numberBefore;
    dialog.Run([&] { numberBefore = dialog.articleNumber; });
    EXPECT_EQ(numberBefore, "R12");

    int released = -1;
    dialog.Run([&] {
        dialog.OnBack();
        released = dialog.ReleaseItemNumbers();
    });
    // OnBack released the numbers itself and emptied the list.
    EXPECT_EQ(released, 0);
    EXPECT_EQ(StoredNumbers(), std::vector<std::string>{});

    bool numberVisible = false, listVisible = true, backVisible = true;
    std::string prompt, number;
    DWORD selection = 0;
    HWND focus = nullptr;
    dialog.Run([&] {
        numberVisible = dialog.numberEdit.IsVisible();
        listVisible = dialog.localizationList.IsVisible();
        backVisible = dialog.backButton.IsVisible();
        prompt = dialog.promptLabel.Text();
        number = dialog.articleNumber;
        selection = static_cast<DWORD>(dialog.numberEdit.Send(EM_GETSEL));
        focus = GetFocus();
    });
    EXPECT_TRUE(numberVisible);
    EXPECT_FALSE(listVisible);
    EXPECT_FALSE(backVisible);
    EXPECT_EQ(e2e::ToUtf8(prompt), "Введите номер:");
    // The number as typed before the search, untrimmed, all of it selected.
    EXPECT_EQ(number, "  Z12 ");
    EXPECT_EQ(LOWORD(selection), 0);
    EXPECT_EQ(HIWORD(selection), 6);
    EXPECT_EQ(focus, dialog.numberEdit.Handle());
}

TEST_F(DialogInProcess, BackLeavesNextAsItWas) {
    for (bool enabled : {false, true}) {
        bool after = !enabled;
        dialog.Run([&] {
            dialog.numberEdit.SetText("Z7");
            dialog.EnterLocalizationPage({{Cp1251("Немецкая"), "G7"}});
            dialog.nextButton.Enable(enabled);
            dialog.OnBack();
            after = dialog.nextButton.IsEnabled();
        });
        EXPECT_EQ(after, enabled);
    }
}

TEST_F(DialogInProcess, TheNumberFollowsTheItemTheListShows) {
    dialog.Run([&] {
        dialog.EnterLocalizationPage({{Cp1251("Английская"), "EABC"}, {Cp1251("Русская"), "RABC"}});
    });
    struct Change {
        const char* way;
        std::function<void()> change;
        const char* shown;
        const char* number;
    };
    // Each way a person changes the selection of the closed list, then the list's closing.
    const std::vector<Change> changes = {
        {"arrow key", [&] { dialog.localizationList.Send(WM_KEYDOWN, VK_DOWN, 1); }, "Английская",
         "EABC"},
        {"letter", [&] { dialog.localizationList.Send(WM_CHAR, 0xD0 /* cp1251 Р */, 1); },
         "Русская", "RABC"},
        {"wheel", [&] { dialog.localizationList.Send(WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA)); },
         "Английская", "EABC"},
        {"close-up",
         [&] {
             dialog.localizationList.SetCurSel(0);
             dialog.TakeListSelection();
         },
         "Русская", "RABC"},
    };
    std::string number, shown;
    for (const Change& step : changes) {
        SCOPED_TRACE(step.way);
        dialog.Run([&] {
            step.change();
            number = dialog.articleNumber;
            shown = dialog.localizationList.ItemText(dialog.localizationList.CurSel());
        });
        EXPECT_EQ(e2e::ToUtf8(shown), step.shown);
        EXPECT_EQ(number, step.number);
    }
    // No selection: the number stays.
    dialog.Run([&] {
        dialog.localizationList.SetCurSel(-1);
        dialog.TakeListSelection();
        number = dialog.articleNumber;
    });
    EXPECT_EQ(number, "RABC");
}

TEST_F(DialogInProcess, CancelTwiceReleasesEachNumberOnce) {
    dialog.Run([&] {
        dialog.EnterLocalizationPage(
            {{Cp1251("Английская"), "E5"}, {Cp1251("Немецкая"), "G5"}, {Cp1251("Русская"), "R5"}});
    });
    int releasedAfter = -1, items = 0;
    std::vector<std::string> numbers;
    dialog.Run([&] {
        dialog.OnCancel();
        dialog.OnCancel();
        releasedAfter = dialog.ReleaseItemNumbers();
        items = dialog.localizationList.Count();
        for (int i = 0; i < items; ++i) numbers.push_back(dialog.ItemNumber(i) ? "set" : "-");
    });
    // The items stay until the window goes, but hold no numbers any more.
    EXPECT_EQ(items, 3);
    EXPECT_EQ(numbers, (std::vector<std::string>{"-", "-", "-"}));
    EXPECT_EQ(releasedAfter, 0);
    modal.join();
    EXPECT_EQ(result, IDCANCEL);
}

TEST_F(DialogInProcess, SystemMenuEndsWithTheAboutItem) {
    int count = 0;
    UINT lastId = 0, separatorType = 0;
    std::string lastText;
    dialog.Run([&] {
        HMENU menu = GetSystemMenu(dialog.Handle(), FALSE);
        count = GetMenuItemCount(menu);
        char text[128] = {};
        GetMenuStringA(menu, count - 1, text, sizeof(text), MF_BYPOSITION);
        lastText = text;
        lastId = GetMenuItemID(menu, count - 1);
        MENUITEMINFOA info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE;
        GetMenuItemInfoA(menu, count - 2, TRUE, &info);
        separatorType = info.fType;
    });
    ASSERT_GE(count, 2);
    EXPECT_EQ(e2e::ToUtf8(lastText), "&О программе...");
    EXPECT_EQ(lastId, 16u);
    EXPECT_TRUE(separatorType & MFT_SEPARATOR);
}

TEST_F(DialogInProcess, WindowCarriesTheProgramIcon) {
    HICON big = nullptr, small = nullptr, drag = nullptr;
    dialog.Run([&] {
        big = reinterpret_cast<HICON>(SendMessageA(dialog.Handle(), WM_GETICON, ICON_BIG, 0));
        small = reinterpret_cast<HICON>(SendMessageA(dialog.Handle(), WM_GETICON, ICON_SMALL, 0));
        drag = reinterpret_cast<HICON>(SendMessageA(dialog.Handle(), WM_QUERYDRAGICON, 0, 0));
    });
    // Icon 128 of the program's module: a shared icon, the same handle for every load.
    const HICON programIcon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME));
    ASSERT_NE(programIcon, nullptr);
    EXPECT_EQ(big, programIcon);
    EXPECT_EQ(small, programIcon);
    EXPECT_EQ(drag, programIcon);
}

}  // namespace
