// The installer on a medium made by the catalogue tool's make-medium: its image, extracted by
// xorriso, is mapped as a CD-ROM drive (tests/e2e/cdrom-medium.sh), and the program runs from
// there as it would from a disc.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h.

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>

#include "driver/Driver.h"
#include "protocol/HandoffProtocol.h"
#include "support/HandoffRecords.h"
#include "support/SetupLogFile.h"
#include "ui/resource.h"

namespace {

// The shared test support: waits, texts and paths, the set-up log, the record clean-up.
using namespace support;

const std::string referenceSetup = support::HostToWinePath(REFERENCE_SETUP_EXE);

class CdromMedium : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* given = std::getenv("CDROM_DRIVE");
        ASSERT_NE(given, nullptr) << "CDROM_DRIVE names the drive the medium is mapped to";
        drive = given;
        logs = support::TempFilePath("cdrom-test-" + std::to_string(GetCurrentProcessId()) + "\\");
        ASSERT_TRUE(CreateDirectoryA(logs.c_str(), nullptr)) << logs;
    }

    void TearDown() override {
        if (HasFailure()) {
            std::cout << installer.Describe() << "launched.log:\n"
                      << ReadWholeFile(logs + "launched.log");
        }
        if (launched.Get() && WaitForSingleObject(launched.Get(), 0) != WAIT_OBJECT_0)
            TerminateProcess(launched.Get(), 1);
        DeleteHandoffRecord(SetupLogValue(logs + "launched.log", "copydata.classId"));
        DeleteFileA((logs + "launched.log").c_str());
        RemoveDirectoryA(logs.c_str());
    }

    std::string drive;
    std::string logs;
    KernelHandle launched;
    e2e::Installer installer;
};

TEST_F(CdromMedium, InstallerStartsFromTheDriveAndHandsOverToItsSetUpProgram) {
    const std::string root = drive + "\\";
    ASSERT_EQ(GetDriveTypeA(root.c_str()), static_cast<UINT>(DRIVE_CDROM)) << root;
    EXPECT_EQ(ReadWholeFile(root + "autorun.inf"),
              "[autorun]\r\nopen=installer.exe\r\nicon=installer.exe,0\r\nlabel=CDROM TEST\r\n");

    // The set-up program the installer starts from the drive takes part in the hand-off itself and
    // records what it got.
    SetEnvironmentVariableA("REFERENCE_SETUP_LOG", (logs + "launched.log").c_str());
    SetEnvironmentVariableA("REFERENCE_SETUP_HANDOFF", "serve");
    SetEnvironmentVariableA("REFERENCE_SETUP_WINDOW", "0");
    SetEnvironmentVariableA("REFERENCE_SETUP_EXIT_AFTER_MS", "20000");
    ASSERT_TRUE(installer.Start(root + "installer.exe", root));
    ASSERT_NE(installer.WaitWindow(Cp1251("Добро пожаловать")), nullptr) << installer.Describe();
    ASSERT_TRUE(installer.TypeKeys("R1234"));
    ASSERT_TRUE(installer.Press(IDC_NEXT)) << installer.Describe();
    EXPECT_TRUE(installer.WaitExit()) << installer.Describe();

    // "%:\Русский\setup.exe" became the program on this drive.
    const std::string launchedLog = logs + "launched.log";
    ASSERT_TRUE(
        support::WaitFor([&] { return ReadSetupLog(launchedLog).count("art") == 1; }, 15000))
        << ReadWholeFile(launchedLog);
    EXPECT_EQ(SetupLogValue(launchedLog, "commandLine"), BuildCommandLine("R1234"));
    const DWORD pid = static_cast<DWORD>(std::stoul(SetupLogValue(launchedLog, "pid")));
    launched.Reset(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid));
    EXPECT_EQ(ToUtf8(SetupLogValue(launchedLog, "program")), drive + "\\Русский\\setup.exe");

    const std::string classId = SetupLogValue(launchedLog, "copydata.classId");
    ASSERT_EQ(classId.size(), handoffClassIdLength) << classId;
    EXPECT_EQ(SetupLogValue(launchedLog, "art"), "R1234");
    EXPECT_EQ(RecordedNumber(classId), "R1234");
}

}  // namespace
