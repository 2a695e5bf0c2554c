// The product selection dialog class run in the test's own process, for what only its members
// show: the stored numbers' ownership, the taking over of a list selection, its system menu.
#include <gtest/gtest.h>

#include <functional>

#include "support/ProductDialogRun.h"
#include "support/Text.h"
#include "ui/resource.h"

namespace {

using support::Cp1251;
using support::ToUtf8;

// Runs the dialog modally on its own thread for the length of a test.
class DialogInProcess : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(support::WriteCatalogBesideProgram({{"E100", "%:\\English\\setup.exe"}}));
        ASSERT_TRUE(run.Start());
    }

    // The numbers stored with each item, in list order; "-" for an item without one. The items'
    // own data holds nothing: no pointer crosses to the list control.
    std::vector<std::string> StoredNumbers() {
        std::vector<std::string> numbers;
        int itemsWithData = 0;
        dialog.Run([&] {
            for (int i = 0; i < dialog.LocalizationList().Count(); ++i) {
                const std::string* number = dialog.ItemNumber(i);
                numbers.push_back(number != nullptr ? *number : "-");
                if (dialog.LocalizationList().ItemData(i) != 0) ++itemsWithData;
            }
        });
        EXPECT_EQ(itemsWithData, 0);
        return numbers;
    }

    support::ProductDialogRun run;
    support::ProductDialogProbe& dialog = run.dialog;
};

// What Back shows is the end-to-end scenario's; here what only the members show: the numbers
// stored with the items are released and the number is the text as typed again.
TEST_F(DialogInProcess, BackReleasesTheStoredNumbersAndTakesTheTypedNumberBack) {
    dialog.Run([&] {
        dialog.NumberEdit().SetText(L"  Z12 ");
        dialog.EnterLocalizationPage({{Cp1251("Английская"), "E12"}, {Cp1251("Русская"), "R12"}});
    });
    std::string numberBefore;
    dialog.Run([&] { numberBefore = dialog.articleNumber; });
    EXPECT_EQ(numberBefore, "R12");
    EXPECT_EQ(StoredNumbers(), (std::vector<std::string>{"R12", "E12"}));

    int released = -1;
    std::string number;
    dialog.Run([&] {
        dialog.Command(IDC_BACK);
        released = dialog.ReleaseItemNumbers();
        number = dialog.articleNumber;
    });
    // Back released the numbers itself and emptied the list.
    EXPECT_EQ(released, 0);
    EXPECT_EQ(StoredNumbers(), std::vector<std::string>{});
    // Untrimmed, as typed before the search.
    EXPECT_EQ(number, "  Z12 ");
}

TEST_F(DialogInProcess, BackLeavesNextAsItWas) {
    for (bool enabled : {false, true}) {
        bool after = !enabled;
        dialog.Run([&] {
            dialog.NumberEdit().SetText(L"Z7");
            dialog.EnterLocalizationPage({{Cp1251("Немецкая"), "G7"}});
            dialog.NextButton().Enable(enabled);
            dialog.Command(IDC_BACK);
            after = dialog.NextButton().IsEnabled();
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
        {"arrow key", [&] { dialog.LocalizationList().Send(WM_KEYDOWN, VK_DOWN, 1); }, "Английская",
         "EABC"},
        {"letter", [&] { dialog.LocalizationList().Send(WM_CHAR, L'Р', 1); }, "Русская", "RABC"},
        {"wheel",
         [&] { dialog.LocalizationList().Send(WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA)); },
         "Английская", "EABC"},
        {"close-up",
         [&] {
             dialog.LocalizationList().SetCurSel(0);
             dialog.Command(IDC_LOCALIZATIONS, CBN_CLOSEUP);
         },
         "Русская", "RABC"},
    };
    std::string number;
    std::wstring shown;
    for (const Change& step : changes) {
        SCOPED_TRACE(step.way);
        dialog.Run([&] {
            step.change();
            number = dialog.articleNumber;
            shown = dialog.LocalizationList().ItemText(dialog.LocalizationList().CurSel());
        });
        EXPECT_EQ(ToUtf8(support::WideToCp1251(shown)), step.shown);
        EXPECT_EQ(number, step.number);
    }
    // No selection: the number stays.
    dialog.Run([&] {
        dialog.LocalizationList().SetCurSel(-1);
        dialog.Command(IDC_LOCALIZATIONS, CBN_CLOSEUP);
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
        dialog.Command(IDCANCEL);
        dialog.Command(IDCANCEL);
        releasedAfter = dialog.ReleaseItemNumbers();
        items = dialog.LocalizationList().Count();
        for (int i = 0; i < items; ++i) numbers.push_back(dialog.ItemNumber(i) ? "set" : "-");
    });
    // The items stay until the window goes, but hold no numbers any more.
    EXPECT_EQ(items, 3);
    EXPECT_EQ(numbers, (std::vector<std::string>{"-", "-", "-"}));
    EXPECT_EQ(releasedAfter, 0);
    EXPECT_EQ(run.Join(), IDCANCEL);
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
    EXPECT_EQ(ToUtf8(lastText), "&О программе...");
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
