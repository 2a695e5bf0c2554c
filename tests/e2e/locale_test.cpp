// The installer on systems of other ANSI code pages and users of other languages: CTest runs this
// program in a prefix of each of 1251 (a Russian user), 1252 (an English one), 932 (a Japanese
// one) and in the 1252 prefix of a German user (WINE_CODEPAGE and WINE_LANGUAGE name it). On
// each, the dialogs, the list and the boxes speak the user's language, English for the Japanese
// user; an ANSI set-up program's window is still found by today's caption's cp1251 bytes, a
// set-up program in a Cyrillic folder starts with today's command line, and a medium in a folder
// the code page cannot name works. Texts are read through the UTF-16 API and compared as UTF-8,
// so a "?" never passes for a letter.
#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "ProcessWindows.h"
#include "driver/Driver.h"
#include "protocol/HandoffProtocol.h"
#include "support/HandoffRecords.h"
#include "support/ProductDialogRun.h"
#include "support/SetupLogFile.h"
#include "ui/resource.h"
#include "util/WideText.h"
#include "version.h"

namespace {

// The shared test support: waits, texts and paths, the set-up log, the record clean-up.
using namespace support;

using e2e::Installer;
using e2e::TempMedium;

const std::string referenceSetup = HostToWinePath(REFERENCE_SETUP_EXE);
const std::string ansiSetup = HostToWinePath(ANSI_SETUP_EXE);

// What the installer shows a user of one language.
struct UserTexts {
    const char* welcome;
    const char* prompt;
    const char* next;
    const char* back;
    const char* cancel;
    const char* about;
    const char* installer;
    const char* version;
    const char* aboutItem;
    const char* errorCaption;
    const char* wrongNumber;
    const char* chooseLocalization;
    // The localizations as the list shows them: Russian, Italian, French, German, English.
    std::vector<std::string> localizations;
    const char* initErrorCaption;
    // The missing catalogue's text around its path.
    const char* catalogBefore;
    const char* catalogAfter;
};

const UserTexts russianTexts = {"Добро пожаловать",
                                "Введите артикульный номер продукта:",
                                "&Далее >",
                                "< &Назад",
                                "Отмена",
                                "О программе",
                                "Инсталлятор Orvex Family 7.0",
                                "Версия: ",
                                "&О программе...",
                                "Ошибка",
                                "Вы ввели неверный артикульный номер!",
                                "Выберите локализацию:",
                                {"Русская", "Итальянская", "Французская", "Немецкая", "Английская"},
                                "Ошибка инициализации",
                                "Файл ",
                                " не найден!"};
const UserTexts englishTexts = {"Welcome",
                                "Enter the product's article number:",
                                "&Next >",
                                "< &Back",
                                "Cancel",
                                "About",
                                "Orvex Family 7.0 Installer",
                                "Version ",
                                "&About...",
                                "Error",
                                "The article number you entered is not valid.",
                                "Select a language:",
                                {"Russian", "Italian", "French", "German", "English"},
                                "Initialization Error",
                                "The file ",
                                " was not found."};
const UserTexts germanTexts = {"Willkommen",
                               "Geben Sie die Artikelnummer des Produkts ein:",
                               "&Weiter >",
                               "< &Zurück",
                               "Abbrechen",
                               "Info",
                               "Installation von Orvex Family 7.0",
                               "Version ",
                               "&Info...",
                               "Fehler",
                               "Die eingegebene Artikelnummer ist ungültig.",
                               "Wählen Sie eine Sprache aus:",
                               {"Russisch", "Italienisch", "Französisch", "Deutsch", "Englisch"},
                               "Initialisierungsfehler",
                               "Die Datei ",
                               " wurde nicht gefunden."};

// The prefix's user: Russian in 1251, German where WINE_LANGUAGE says so, otherwise English (the
// 1252 prefix's American user, and the Japanese user of 932, whose language the installer lacks).
const UserTexts& Expected() {
    const char* language = std::getenv("WINE_LANGUAGE");
    if (language != nullptr && std::string(language) == "de") return germanTexts;
    return GetACP() == 1251 ? russianTexts : englishTexts;
}

std::vector<std::string> Utf8(const std::vector<std::wstring>& texts) {
    std::vector<std::string> utf8;
    for (const std::wstring& text : texts) utf8.push_back(Utf8FromWide(text));
    return utf8;
}

BOOL CALLBACK CollectVisibleStatic(HWND child, LPARAM param) {
    wchar_t name[16] = {};
    GetClassNameW(child, name, 16);
    // The icon static's text is its resource number, not a line.
    const bool icon = (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON;
    if (std::wstring(name) == L"Static" && !icon && IsWindowVisible(child))
        reinterpret_cast<std::vector<std::wstring>*>(param)->push_back(e2e::WideWindowText(child));
    return TRUE;
}

// The lines a window's visible text statics show, in template order (UTF-8).
std::vector<std::string> VisibleStaticTexts(HWND window) {
    std::vector<std::wstring> texts;
    EnumChildWindows(window, &CollectVisibleStatic, reinterpret_cast<LPARAM>(&texts));
    return Utf8(texts);
}

// Whether the system's code page lacks a character of text.
bool CodePageLacks(const std::wstring& text) {
    BOOL lacking = FALSE;
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.c_str(), -1, nullptr, 0, nullptr,
                        &lacking);
    return lacking != FALSE;
}

// A medium in the Wine user's temporary folder, whose name every code page holds; the set-up
// programs log to a file in it. Every scenario first makes sure that the prefix has the code page
// it was made for.
class OtherCodePage : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* wanted = std::getenv("WINE_CODEPAGE");
        ASSERT_NE(wanted, nullptr) << "WINE_CODEPAGE names the ANSI code page of the prefix";
        ASSERT_EQ(GetACP(), std::strtoul(wanted, nullptr, 10)) << "the prefix's locale";
        SetEnvironmentVariableA("ANSI_SETUP_LOG", Log().c_str());
        SetEnvironmentVariableA("REFERENCE_SETUP_LOG", Log().c_str());
        SetEnvironmentVariableA("REFERENCE_SETUP_HANDOFF", "serve");
        SetEnvironmentVariableA("REFERENCE_SETUP_WINDOW", "0");
        SetEnvironmentVariableA("REFERENCE_SETUP_EXIT_AFTER_MS", "20000");
    }

    void TearDown() override {
        if (HasFailure()) std::cout << "set-up log:\n" << ReadWholeFile(Log());
        EndSetup();
        DeleteHandoffRecord(SetupLogValue(Log(), "copydata.classId"));
    }

    // The set-up program the log names has ended (it is ended when it has not logged its end).
    void EndSetup() {
        const std::string pid = SetupLogValue(Log(), "pid");
        if (pid == "(none)") return;
        const KernelHandle setup(
            OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, std::stoul(pid)));
        if (!setup) return;
        if (SetupLogCount(Log(), "exit") == 0) TerminateProcess(setup.Get(), 1);
        WaitForSingleObject(setup.Get(), 10000);
    }

    std::string Log() const { return medium.Path("setup.log"); }

    // Starts the installer on a medium and waits for its dialog; another window in its place (a
    // box, a caption of question marks) fails at once.
    void Open(const TempMedium& on) {
        ASSERT_TRUE(installer.Start(on));
        const std::string caption = Cp1251(Expected().welcome);
        WaitFor([&] { return !VisibleTopLevelWindows(installer.ProcessId()).empty(); }, 30000);
        if (installer.CountWindows(caption) > 0) dialog = installer.WaitWindow(caption);
        ASSERT_NE(dialog, nullptr) << installer.Describe();
    }

    // The installer has ended without a box, and the set-up program has logged the record it read.
    void ExpectHandedOver() {
        ASSERT_TRUE(installer.WaitExit()) << installer.Describe();
        EXPECT_EQ(installer.CountBoxes(), 0);
        // The reference set-up program's kit logs the hand-off on a thread of its own, and the
        // program what it was started with beside it: both are awaited.
        ASSERT_TRUE(WaitFor(
            [&] {
                return SetupLogCount(Log(), "art") == 1 && SetupLogCount(Log(), "program") == 1;
            },
            15000))
            << ReadWholeFile(Log());
    }

    TempMedium medium{"other-code-page"};
    // A medium elsewhere, for the scenario that needs one.
    std::optional<TempMedium> foreignMedium;
    Installer installer;
    HWND dialog = nullptr;
};

TEST_F(OtherCodePage, NumberPageAboutBoxAndErrorBoxSpeakTheUsersLanguage) {
    const UserTexts& expected = Expected();
    ASSERT_TRUE(medium.WriteCatalog({{"E100", medium.DriveRelative("English\\setup.exe")}}));
    Open(medium);
    if (HasFatalFailure()) return;
    EXPECT_EQ(Utf8FromWide(installer.WideControlText(IDC_PROMPT)), expected.prompt);
    EXPECT_EQ(Utf8FromWide(installer.WideControlText(IDC_NEXT)), expected.next);
    EXPECT_EQ(Utf8FromWide(installer.WideControlText(IDC_BACK)), expected.back);
    EXPECT_EQ(Utf8FromWide(installer.WideControlText(IDCANCEL)), expected.cancel);

    installer.SysCommand(IDM_ABOUTBOX);
    const HWND about = installer.WaitWindow(Cp1251(expected.about));
    ASSERT_NE(about, nullptr) << installer.Describe();
    EXPECT_EQ(VisibleStaticTexts(about),
              (std::vector<std::string>{expected.installer,
                                        expected.version + std::string(INSTALLER_FILE_VERSION_TEXT),
                                        "© 2026 Orvex"}));
    ASSERT_TRUE(installer.Press(IDOK));
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(about) && IsWindowEnabled(dialog); }));
    installer.Use(dialog);

    ASSERT_TRUE(installer.TypeKeys("X1"));
    ASSERT_TRUE(installer.Press(IDC_NEXT));
    const e2e::MessageBoxInfo box = installer.ReadBox();
    ASSERT_NE(box.window, nullptr) << installer.Describe();
    EXPECT_EQ(Utf8FromWide(box.wideCaption), expected.errorCaption);
    EXPECT_EQ(Utf8FromWide(box.wideText), expected.wrongNumber);
    EXPECT_TRUE(installer.PressOk(box));
    ASSERT_TRUE(installer.Press(IDCANCEL));
    EXPECT_TRUE(installer.WaitExit()) << installer.Describe();
}

TEST_F(OtherCodePage, MissingCatalogueBoxSpeaksTheUsersLanguage) {
    ASSERT_TRUE(installer.Start(medium));
    const e2e::MessageBoxInfo box = installer.ReadBox();
    ASSERT_NE(box.window, nullptr) << installer.Describe();
    EXPECT_EQ(Utf8FromWide(box.wideCaption), Expected().initErrorCaption);
    EXPECT_EQ(Utf8FromWide(box.wideText), Expected().catalogBefore +
                                              Utf8FromWide(medium.WidePath(catalogFileName)) +
                                              Expected().catalogAfter);
    EXPECT_TRUE(installer.PressOk(box));
    EXPECT_TRUE(installer.WaitExit()) << installer.Describe();
}

// The system menu's About item, read in the test's own process: the menus of another process
// cannot be read.
TEST_F(OtherCodePage, SystemMenuOffersTheAboutBoxInTheUsersLanguage) {
    ASSERT_TRUE(WriteCatalogBesideProgram({{"E100", "%:\\English\\setup.exe"}}));
    ProductDialogRun run;
    ASSERT_TRUE(run.Start());
    wchar_t item[64] = {};
    run.dialog.Run([&] {
        GetMenuStringW(GetSystemMenu(run.Handle(), FALSE), IDM_ABOUTBOX, item, 64, MF_BYCOMMAND);
    });
    EXPECT_EQ(Utf8FromWide(item), Expected().aboutItem);
}

// The Russian localization's set-up program stands in a Cyrillic folder and is written against
// the 8-bit API: its window's title is today's caption's cp1251 bytes, which only a Russian system
// shows as the caption, whatever the user's language. What it reads of an ASCII number is the
// same bytes on every system.
TEST_F(OtherCodePage, AllFiveLocalizationsAndAnAnsiSetUpProgramInARussianFolder) {
    std::map<std::string, std::string> articles;
    for (const char* folder : {"English", "German", "French", "Italian"}) {
        const std::string program = std::string(folder) + "\\setup.exe";
        ASSERT_TRUE(medium.MakeDir(folder));
        ASSERT_TRUE(medium.WriteFile(program, "MZ"));
        articles[std::string(1, folder[0]) + "1234"] = medium.DriveRelative(program);
    }
    const std::string russian = Cp1251("Русский\\setup.exe");
    ASSERT_TRUE(medium.CopyIn(ansiSetup, russian));
    articles["R1234"] = medium.DriveRelative(russian);
    ASSERT_TRUE(medium.WriteCatalog(articles));
    Open(medium);
    if (HasFatalFailure()) return;

    ASSERT_TRUE(installer.TypeKeys("Z1234"));
    ASSERT_TRUE(installer.Press(IDC_NEXT)) << installer.Describe();
    EXPECT_EQ(Utf8FromWide(installer.WideControlText(IDC_PROMPT)), Expected().chooseLocalization);
    // Found in the order E, G, F, I, R, each put at the top.
    ASSERT_EQ(Utf8(installer.WideListItems(IDC_LOCALIZATIONS)), Expected().localizations);
    ASSERT_TRUE(installer.Press(IDC_NEXT)) << installer.Describe();
    ExpectHandedOver();
    if (HasFatalFailure()) return;

    EXPECT_EQ(SetupLogValue(Log(), "program"), Utf8FromWide(medium.WidePath(russian)));
    EXPECT_EQ(SetupLogValue(Log(), "commandLine"), BuildCommandLine("R1234"));
    EXPECT_EQ(SetupLogValue(Log(), "art"), "R1234");
    EXPECT_EQ(SetupLogValue(Log(), "art.size"), "6");
}

// The installer and its catalogue in a folder whose name neither the system's code page nor
// cp1251 holds; the set-up program, on the kit, stands elsewhere on the drive.
TEST_F(OtherCodePage, MediumInAFolderTheCodePageCannotNameHandsOverToTheKit) {
    foreignMedium.emplace(std::wstring(L"Łódź-Диск"));
    ASSERT_TRUE(CodePageLacks(foreignMedium->WideDir()))
        << "the folder's name is to be outside the code page";
    // "%:" is the medium's folder, so the catalogue's cp1251 value reaches a folder it cannot name.
    ASSERT_TRUE(foreignMedium->CopyIn(referenceSetup, "English\\setup.exe"));
    ASSERT_TRUE(foreignMedium->WriteCatalog(
        {{"E1234", foreignMedium->DriveRelative("English\\setup.exe")}}));
    Open(*foreignMedium);
    if (HasFatalFailure()) return;
    ASSERT_TRUE(installer.TypeKeys("E1234"));
    ASSERT_TRUE(installer.Press(IDC_NEXT)) << installer.Describe();
    ExpectHandedOver();
    if (HasFatalFailure()) return;

    EXPECT_EQ(SetupLogValue(Log(), "commandLine"), BuildCommandLine("E1234"));
    EXPECT_EQ(SetupLogValue(Log(), "handoff.status"), "0");
    EXPECT_EQ(SetupLogValue(Log(), "art"), "E1234");
}

}  // namespace
