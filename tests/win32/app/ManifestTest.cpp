// The application manifest of the built installer.exe, read back as Windows finds it: resource
// type 24 (RT_MANIFEST), id 1, in the program file opened as data.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "ProgramFile.h"

namespace {

using app_test::ProgramFile;
using app_test::ProgramPath;

// The manifest's text; empty when the program has none with id 1.
std::string ManifestOf(const ProgramFile& program) {
    return program.Resource(MAKEINTRESOURCEA(24), 1);
}

// The whole element that begins with opening, e.g. "<requestedExecutionLevel ".
std::string Element(const std::string& xml, const std::string& opening) {
    const size_t start = xml.find(opening);
    if (start == std::string::npos) return std::string();
    const size_t end = xml.find('>', start);
    return xml.substr(start, end == std::string::npos ? std::string::npos : end - start + 1);
}

TEST(InstallerManifest, AsksForAdministratorRightsNamesTheSystemsAndTheControls) {
    const ProgramFile program(ProgramPath());
    ASSERT_NE(program.Get(), nullptr) << ProgramPath() << ": error " << GetLastError();
    const std::string xml = ManifestOf(program);
    ASSERT_FALSE(xml.empty()) << "no RT_MANIFEST resource 1 in " << ProgramPath();
    EXPECT_EQ(xml.rfind("<?xml", 0), 0u) << xml.substr(0, 80);

    EXPECT_EQ(Element(xml, "<requestedExecutionLevel "),
              "<requestedExecutionLevel level=\"requireAdministrator\" uiAccess=\"false\"/>");
    // Vista, 7, 8, 8.1, and 10 with 11.
    for (const char* id :
         {"{e2011457-1546-43c5-a5fe-008deee3d3f0}", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
          "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}", "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",
          "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"}) {
        EXPECT_NE(xml.find(std::string("<supportedOS Id=\"") + id + "\"/>"), std::string::npos)
            << id;
    }
    EXPECT_NE(xml.find(">true</dpiAware>"), std::string::npos);
    EXPECT_NE(xml.find(">system</dpiAwareness>"), std::string::npos);
    const std::string controls =
        Element(xml, "<assemblyIdentity type=\"win32\" name=\"Microsoft.Windows.Common-Controls\"");
    EXPECT_NE(controls.find("version=\"6.0.0.0\""), std::string::npos) << controls;
    EXPECT_NE(controls.find("publicKeyToken=\"6595b64144ccf1df\""), std::string::npos) << controls;
}

}  // namespace
