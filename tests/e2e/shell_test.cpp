// The installer program as a user meets it: start-up from a medium, the catalogue failure,
// the number page's rules and the ways to end the program.
#include <gtest/gtest.h>

#include "driver/Driver.h"
#include "protocol/HandoffProtocol.h"
#include "ui/resource.h"

namespace {

using e2e::Installer;
using e2e::TempMedium;
using support::Cp1251;

const std::string& DialogCaption() {
    static const std::string caption = Cp1251("Добро пожаловать");
    return caption;
}

// A medium with a loadable catalogue and the program started on it, its dialog found.
class NumberPage : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(medium.WriteCatalog({{"E100", medium.DriveRelative("English\\setup.exe")}}));
        ASSERT_TRUE(installer.Start(medium));
        ASSERT_NE(installer.WaitWindow(DialogCaption()), nullptr) << installer.Describe();
    }

    TempMedium medium{"number-page"};
    Installer installer;
};

// The catalogue failure: one box with the full catalogue path, the init caption and the error
// icon; after OK the program ends without showing its dialog.
void ExpectCatalogFailure(TempMedium& medium) {
    Installer installer;
    ASSERT_TRUE(installer.Start(medium));
    const e2e::MessageBoxInfo box = installer.ReadBox();
    ASSERT_NE(box.window, nullptr) << installer.Describe();
    EXPECT_EQ(
        support::ToUtf8(box.text),
        support::ToUtf8(Cp1251("Файл ") + medium.Path(catalogFileName) + Cp1251(" не найден!")));
    EXPECT_EQ(support::ToUtf8(box.caption), "Ошибка инициализации");
    EXPECT_EQ(box.icon, e2e::BoxIcon::Error);
    EXPECT_EQ(installer.CountBoxes(), 1);
    EXPECT_TRUE(installer.PressOk(box));
    EXPECT_TRUE(installer.WaitExit()) << installer.Describe();
    EXPECT_EQ(installer.CountBoxes(), 0);
}

// Tells Wine to take a library's copy beside installer.exe before its own, as Windows' search
// order would (the prefix's per-program library settings), for as long as the object lives.
class PreferLibraryBesideInstaller {
  public:
    explicit PreferLibraryBesideInstaller(const char* library) : library(library) {
        RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr);
        RegSetValueExA(key, library, 0, REG_SZ, reinterpret_cast<const BYTE*>("native,builtin"),
                       15);
    }
    ~PreferLibraryBesideInstaller() {
        RegDeleteValueA(key, library);
        RegCloseKey(key);
    }
    PreferLibraryBesideInstaller(const PreferLibraryBesideInstaller&) = delete;
    PreferLibraryBesideInstaller& operator=(const PreferLibraryBesideInstaller&) = delete;

  private:
    static constexpr const char* kKey = "Software\\Wine\\AppDefaults\\installer.exe\\DllOverrides";
    const char* library;
    HKEY key = nullptr;
};

// A library planted beside the program under the name of one the program's windows load is not
// taken. (Wine's own user32 imports version.dll, so a planted version.dll proves nothing here.)
TEST(PlantedLibrary, NothingBesideTheProgramIsLoaded) {
    TempMedium medium("planted");
    ASSERT_TRUE(medium.WriteCatalog({{"E100", medium.DriveRelative("English\\setup.exe")}}));
    ASSERT_TRUE(medium.CopyIn(support::HostToWinePath(PLANTED_LIBRARY), "uxtheme.dll"));
    const PreferLibraryBesideInstaller preferPlanted("uxtheme");
    Installer installer;
    ASSERT_TRUE(installer.Start(medium));
    ASSERT_NE(installer.WaitWindow(DialogCaption()), nullptr) << installer.Describe();
    // The About box reads the version through the system's version library.
    installer.SysCommand(IDM_ABOUTBOX);
    ASSERT_NE(installer.WaitWindow(Cp1251("О программе")), nullptr) << installer.Describe();
    EXPECT_EQ(GetFileAttributesA(medium.Path("planted-loaded.txt").c_str()),
              INVALID_FILE_ATTRIBUTES);
}

TEST(CatalogFailure, MissingCatalogueShowsOneBoxAndEnds) {
    TempMedium medium("no-catalogue");
    ExpectCatalogFailure(medium);
}

TEST(CatalogFailure, DamagedCataloguesShowTheSameBox) {
    // Not a catalogue at all, an empty file, and a real one with one byte changed.
    {
        TempMedium medium("garbage-catalogue");
        ASSERT_TRUE(medium.WriteFile(catalogFileName, "this is not a catalogue file at all"));
        ExpectCatalogFailure(medium);
    }
    {
        TempMedium medium("empty-catalogue");
        ASSERT_TRUE(medium.WriteFile(catalogFileName, ""));
        ExpectCatalogFailure(medium);
    }
    {
        TempMedium medium("flipped-catalogue");
        ASSERT_TRUE(medium.WriteCatalog({{"E100", "%:\\English\\setup.exe"}}));
        HANDLE file =
            CreateFileA(medium.Path(catalogFileName).c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                        nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        const DWORD size = GetFileSize(file, nullptr);
        ASSERT_GT(size, 8u);
        std::string bytes(size, '\0');
        DWORD done = 0;
        ReadFile(file, &bytes[0], size, &done, nullptr);
        CloseHandle(file);
        bytes[size / 2] = static_cast<char>(bytes[size / 2] ^ 0x5A);
        ASSERT_TRUE(medium.WriteFile(catalogFileName, bytes));
        ExpectCatalogFailure(medium);
    }
}

TEST(CatalogFailure, CatalogueFolderInsteadOfFile) {
    TempMedium medium("folder-catalogue");
    ASSERT_TRUE(medium.MakeDir(catalogFileName));
    ExpectCatalogFailure(medium);
}

TEST_F(NumberPage, OpensOnTheNumberPageWithNextDisabled) {
    EXPECT_EQ(support::ToUtf8(installer.ControlText(IDC_PROMPT)),
              "Введите артикульный номер продукта:");
    EXPECT_TRUE(installer.IsVisible(IDC_NUMBER));
    EXPECT_EQ(installer.ControlText(IDC_NUMBER), "");
    EXPECT_FALSE(installer.IsVisible(IDC_BACK));
    EXPECT_FALSE(installer.IsVisible(IDC_LOCALIZATIONS));
    EXPECT_TRUE(installer.IsVisible(IDC_NEXT));
    EXPECT_FALSE(installer.IsEnabled(IDC_NEXT));
    EXPECT_TRUE(installer.IsEnabled(IDCANCEL));
    EXPECT_TRUE(installer.WaitFocus(IDC_NUMBER)) << "focus on " << installer.Focus();
    EXPECT_EQ(installer.CountBoxes(), 0);
}

TEST_F(NumberPage, NextFollowsTheFieldBeingEmpty) {
    ASSERT_TRUE(installer.TypeKeys("1"));
    EXPECT_TRUE(support::WaitFor([&] { return installer.IsEnabled(IDC_NEXT); }))
        << installer.Describe();
    ASSERT_TRUE(installer.TypeKeys("\b"));
    EXPECT_TRUE(support::WaitFor([&] { return !installer.IsEnabled(IDC_NEXT); }))
        << installer.Describe();
    // Spaces are not trimmed here: a field of spaces enables Next.
    ASSERT_TRUE(installer.TypeKeys("   "));
    EXPECT_TRUE(support::WaitFor([&] { return installer.IsEnabled(IDC_NEXT); }))
        << installer.Describe();
    EXPECT_EQ(installer.ControlText(IDC_NUMBER), "   ");
    ASSERT_TRUE(installer.TypeKeys("\b\b"));
    EXPECT_TRUE(installer.IsEnabled(IDC_NEXT));
    ASSERT_TRUE(installer.TypeKeys("\b"));
    EXPECT_TRUE(support::WaitFor([&] { return !installer.IsEnabled(IDC_NEXT); }))
        << installer.Describe();
}

TEST_F(NumberPage, TabMovesThroughTheUsableControlsInTemplateOrder) {
    // Next is disabled and Back hidden: from the field straight to Cancel, then around.
    ASSERT_TRUE(installer.PressKey(VK_TAB));
    EXPECT_TRUE(support::WaitFor([&] { return installer.Focus() == IDCANCEL; }))
        << installer.Describe();
    ASSERT_TRUE(installer.PressKey(VK_TAB));
    EXPECT_TRUE(support::WaitFor([&] { return installer.Focus() == IDC_NUMBER; }))
        << installer.Describe();
    ASSERT_TRUE(installer.TypeKeys("7"));
    ASSERT_TRUE(support::WaitFor([&] { return installer.IsEnabled(IDC_NEXT); }));
    ASSERT_TRUE(installer.PressKey(VK_TAB));
    EXPECT_TRUE(support::WaitFor([&] { return installer.Focus() == IDC_NEXT; }))
        << installer.Describe();
}

TEST_F(NumberPage, LowerCaseTypingShowsCapitals) {
    ASSERT_TRUE(installer.TypeKeys("zabc-12x"));
    EXPECT_TRUE(support::WaitFor([&] { return installer.ControlText(IDC_NUMBER) == "ZABC-12X"; }))
        << installer.Describe();
}

TEST_F(NumberPage, EscapeEndsTheProgram) {
    ASSERT_TRUE(installer.TypeKeys("e100"));
    ASSERT_TRUE(installer.PressKey(VK_ESCAPE));
    EXPECT_TRUE(installer.WaitExit()) << installer.Describe();
    EXPECT_EQ(installer.CountBoxes(), 0);
}

TEST_F(NumberPage, CancelEndsTheProgram) {
    ASSERT_TRUE(installer.Press(IDCANCEL));
    EXPECT_TRUE(installer.WaitExit()) << installer.Describe();
}

TEST_F(NumberPage, CloseCommandEndsTheProgram) {
    installer.SysCommand(SC_CLOSE);
    EXPECT_TRUE(installer.WaitExit()) << installer.Describe();
}

TEST_F(NumberPage, OtherSystemCommandsKeepTheirUsualMeaning) {
    // Wine takes in the display's report of the window's first mapping when it arrives, and a
    // minimize handled before that is undone; so the command is given until the window is seen
    // minimized.
    EXPECT_TRUE(support::WaitFor([&] {
        if (IsIconic(installer.Window())) return true;
        installer.SysCommand(SC_MINIMIZE);
        return false;
    })) << installer.Describe();
    installer.SysCommand(SC_RESTORE);
    EXPECT_TRUE(support::WaitFor([&] { return IsIconic(installer.Window()) == FALSE; }))
        << installer.Describe();
    // Still on the number page and still taking input, once the field has the focus back.
    EXPECT_TRUE(support::WaitFor([&] { return installer.Focus() == IDC_NUMBER; }))
        << installer.Describe();
    ASSERT_TRUE(installer.TypeKeys("r1"));
    EXPECT_TRUE(support::WaitFor([&] { return installer.ControlText(IDC_NUMBER) == "R1"; }));
    EXPECT_TRUE(installer.Running());
    EXPECT_EQ(installer.CountBoxes(), 0);
}

TEST_F(NumberPage, MoveCommandMovesTheWindowWithTheKeyboard) {
    ASSERT_TRUE(installer.TypeKeys("r1"));
    RECT before{};
    GetWindowRect(installer.Window(), &before);
    installer.SysCommand(SC_MOVE);
    // The keyboard move puts the pointer on the caption and moves it with each arrow key: each
    // key is pressed once the pointer shows that the one before has been taken.
    POINT start{};
    ASSERT_TRUE(support::WaitFor([&] {
        return installer.InMoveOrSize() && GetCursorPos(&start) && PtInRect(&before, start);
    })) << installer.Describe();
    ASSERT_TRUE(installer.PressKey(VK_RIGHT));
    POINT moved{};
    EXPECT_TRUE(support::WaitFor([&] { return GetCursorPos(&moved) && moved.x > start.x; }));
    ASSERT_TRUE(installer.PressKey(VK_RETURN));
    RECT after{};
    EXPECT_TRUE(support::WaitFor([&] {
        GetWindowRect(installer.Window(), &after);
        return !installer.InMoveOrSize() && after.left > before.left;
    })) << installer.Describe();
    EXPECT_EQ(after.top, before.top);
    EXPECT_EQ(after.right - after.left, before.right - before.left);
    // The keys went to the move, not to the page: it is as it was and still takes input.
    EXPECT_EQ(installer.ControlText(IDC_NUMBER), "R1");
    EXPECT_TRUE(installer.IsVisible(IDC_NUMBER));
    ASSERT_TRUE(installer.TypeKeys("2"));
    EXPECT_TRUE(support::WaitFor([&] { return installer.ControlText(IDC_NUMBER) == "R12"; }))
        << installer.Describe();
    EXPECT_TRUE(installer.Running());
    EXPECT_EQ(installer.CountBoxes(), 0);
}

TEST_F(NumberPage, EnterActsAsNext) {
    // A number the catalogue does not hold: Next's failure box, through the Enter key.
    ASSERT_TRUE(installer.TypeKeys("x1"));
    ASSERT_TRUE(installer.PressKey(VK_RETURN));
    const e2e::MessageBoxInfo box = installer.ReadBox();
    ASSERT_NE(box.window, nullptr) << installer.Describe();
    EXPECT_EQ(support::ToUtf8(box.caption), "Ошибка");
    EXPECT_EQ(support::ToUtf8(box.text), "Вы ввели неверный артикульный номер!");
    EXPECT_TRUE(installer.PressOk(box));
    // The key was posted, so its handling goes on after the box: its last step selects the text.
    EXPECT_TRUE(support::WaitFor([&] {
        return installer.Selection(IDC_NUMBER) == std::make_pair(0, 2);
    })) << installer.Describe();
    EXPECT_FALSE(installer.IsEnabled(IDC_NEXT));
    EXPECT_EQ(installer.CountBoxes(), 0);
    EXPECT_TRUE(installer.Running());
}

// A medium with set-up programs for two localizations, the program started on it and a
// placeholder number taken to the localization page.
class LocalizationPage : public ::testing::Test {
  protected:
    void Open(const std::string& typed) {
        for (const char* folder : {"English", "Russian"}) {
            ASSERT_TRUE(medium.MakeDir(folder));
            ASSERT_TRUE(medium.WriteFile(std::string(folder) + "\\setup.exe", "MZ"));
        }
        ASSERT_TRUE(medium.WriteCatalog({{"EABC", medium.DriveRelative("English\\setup.exe")},
                                         {"RABC", medium.DriveRelative("Russian\\setup.exe")}}));
        ASSERT_TRUE(installer.Start(medium));
        ASSERT_NE(installer.WaitWindow(DialogCaption()), nullptr) << installer.Describe();
        ASSERT_TRUE(installer.TypeKeys(typed));
        ASSERT_TRUE(installer.Press(IDC_NEXT));
        ASSERT_TRUE(installer.IsVisible(IDC_LOCALIZATIONS)) << installer.Describe();
    }

    TempMedium medium{"localization-page"};
    Installer installer;
};

// The placeholder number with set-up programs for two localizations, then Back.
TEST_F(LocalizationPage, BackReturnsToTheNumberAsTyped) {
    Open(" zabc");
    if (HasFatalFailure()) return;
    EXPECT_EQ(support::ToUtf8(installer.ListItems(IDC_LOCALIZATIONS)),
              (std::vector<std::string>{"Русская", "Английская"}));

    ASSERT_TRUE(installer.Press(IDC_BACK));
    EXPECT_TRUE(support::WaitFor([&] { return installer.IsVisible(IDC_NUMBER); }))
        << installer.Describe();
    EXPECT_EQ(support::ToUtf8(installer.ControlText(IDC_PROMPT)), "Введите номер:");
    EXPECT_EQ(installer.ControlText(IDC_NUMBER), " ZABC");
    EXPECT_EQ(installer.Selection(IDC_NUMBER), std::make_pair(0, 5));
    EXPECT_TRUE(installer.WaitFocus(IDC_NUMBER)) << "focus on " << installer.Focus();
    EXPECT_FALSE(installer.IsVisible(IDC_BACK));
    EXPECT_FALSE(installer.IsVisible(IDC_LOCALIZATIONS));
    EXPECT_TRUE(installer.ListItems(IDC_LOCALIZATIONS).empty());
    EXPECT_TRUE(installer.IsEnabled(IDC_NEXT));
    ASSERT_TRUE(installer.Press(IDCANCEL));
    EXPECT_TRUE(installer.WaitExit()) << installer.Describe();
}

// The set-up program of the localization shown goes missing after the list was filled.
TEST_F(LocalizationPage, FailedNextKeepsTheFocusOnThePageAndNextDisabledUntilTheNumberIsEdited) {
    Open("zabc");
    if (HasFatalFailure()) return;
    ASSERT_TRUE(DeleteFileA(medium.Path("Russian\\setup.exe").c_str()));

    ASSERT_TRUE(installer.Press(IDC_NEXT));
    const e2e::MessageBoxInfo box = installer.ReadBox();
    ASSERT_NE(box.window, nullptr) << installer.Describe();
    EXPECT_EQ(support::ToUtf8(box.text), "Не найден файл, соответствующий введённому номеру!");
    EXPECT_TRUE(installer.PressOk(box));
    ASSERT_TRUE(support::WaitFor([&] { return installer.CountBoxes() == 0; }));
    EXPECT_TRUE(support::WaitFor([&] { return installer.Focus() == IDC_LOCALIZATIONS; }))
        << installer.Describe();
    EXPECT_FALSE(installer.IsEnabled(IDC_NEXT));
    EXPECT_TRUE(installer.IsVisible(IDC_LOCALIZATIONS));
    // Typing reaches the list, not the hidden number field: Next stays disabled.
    // (The keys are sent: the field's change, had it been reached, is handled when they return.)
    ASSERT_TRUE(installer.TypeKeys("x"));
    EXPECT_FALSE(installer.IsEnabled(IDC_NEXT)) << installer.Describe();
    EXPECT_EQ(installer.ControlText(IDC_NUMBER), "ZABC");

    ASSERT_TRUE(installer.Press(IDC_BACK));
    ASSERT_TRUE(support::WaitFor([&] { return installer.IsVisible(IDC_NUMBER); }))
        << installer.Describe();
    EXPECT_FALSE(installer.IsEnabled(IDC_NEXT));
    EXPECT_TRUE(installer.WaitFocus(IDC_NUMBER)) << "focus on " << installer.Focus();
    ASSERT_TRUE(installer.TypeKeys("1"));
    EXPECT_TRUE(support::WaitFor([&] { return installer.IsEnabled(IDC_NEXT); }))
        << installer.Describe();
    // Back selected the whole number: typing replaced it.
    EXPECT_EQ(installer.ControlText(IDC_NUMBER), "1");
    ASSERT_TRUE(installer.Press(IDCANCEL));
    EXPECT_TRUE(installer.WaitExit()) << installer.Describe();
}

}  // namespace
