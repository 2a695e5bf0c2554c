// The installer (32-bit, or the 64-bit build of the same source) and a 64-bit set-up program on
// the kit, in a 64-bit prefix as on 64-bit Windows: the record goes to the registry's 32-bit view,
// where 32-bit set-up programs read it too, and the kit reads it there.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "driver/Driver.h"
#include "protocol/HandoffProtocol.h"
#include "support/HandoffRecords.h"
#include "support/SetupLogFile.h"
#include "ui/resource.h"

namespace {

using namespace support;

TEST(Win64, A64BitSetUpProgramGetsTheNumberFromThe32BitView) {
    BOOL wow64 = FALSE;
    ASSERT_TRUE(IsWow64Process(GetCurrentProcess(), &wow64));
    ASSERT_TRUE(sizeof(void*) == 8 || wow64) << "the prefix is to be a 64-bit one";

    e2e::TempMedium medium("win64");
    ASSERT_TRUE(medium.CopyIn(HostToWinePath(REFERENCE_SETUP_64_EXE), "English\\setup.exe"));
    ASSERT_TRUE(medium.WriteCatalog({{"E1234", medium.DriveRelative("English\\setup.exe")}}));
    const std::string log = medium.Path("setup.log");
    SetEnvironmentVariableA("REFERENCE_SETUP_LOG", log.c_str());
    SetEnvironmentVariableA("REFERENCE_SETUP_HANDOFF", "serve");
    SetEnvironmentVariableA("REFERENCE_SETUP_WINDOW", "0");
    SetEnvironmentVariableA("REFERENCE_SETUP_EXIT_AFTER_MS", "20000");

    e2e::Installer installer;
    ASSERT_TRUE(installer.Start(medium));
    ASSERT_NE(installer.WaitWindow(Cp1251("Добро пожаловать")), nullptr);
    ASSERT_TRUE(installer.TypeKeys("E1234"));
    ASSERT_TRUE(installer.Press(IDC_NEXT));
    ASSERT_TRUE(installer.WaitExit());
    ASSERT_TRUE(WaitFor([&] { return SetupLogCount(log, "exit") == 1; }, 20000))
        << ReadWholeFile(log);
    EXPECT_EQ(SetupLogValue(log, "commandLine"), BuildCommandLine("E1234"));
    EXPECT_EQ(SetupLogValue(log, "handoff.status"), "0");
    EXPECT_EQ(SetupLogValue(log, "art"), "E1234");

    // Where the record is: the 32-bit view of the classes, not the 64-bit one.
    const std::string id = SetupLogValue(log, "copydata.classId");
    ASSERT_EQ(id.size(), handoffClassIdLength);
    const std::string art = "Software\\Classes\\" + HandoffKeyPath(id) + "\\Art";
    HKEY key = nullptr;
    EXPECT_EQ(
        RegOpenKeyExA(HKEY_LOCAL_MACHINE,
                      ("Software\\Classes\\Wow6432Node\\" + HandoffKeyPath(id) + "\\Art").c_str(),
                      0, KEY_READ | KEY_WOW64_64KEY, &key),
        ERROR_SUCCESS);
    if (key != nullptr) RegCloseKey(key);
    key = nullptr;
    EXPECT_NE(RegOpenKeyExA(HKEY_LOCAL_MACHINE, art.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &key),
              ERROR_SUCCESS);
    if (key != nullptr) RegCloseKey(key);
    DeleteHandoffRecord(id);
}

}  // namespace
