// What the set-up program kit takes from its command line and from a WM_COPYDATA record.
#include <gtest/gtest.h>

#include <string>

#include "protocol/HandoffProtocol.h"

namespace {

std::string Number(const char* line) {
    const auto number = CommandLineNumber(line);
    return number ? std::string(*number) : "(none)";
}

TEST(KitCommandLine, TheInstallersLineGivesTheNumberWhole) {
    EXPECT_EQ(Number(BuildCommandLine("E1234").c_str()), "E1234");
    // With the program's path in front, as a shell or a launcher writes it.
    EXPECT_EQ(Number(("\"D:\\English\\setup.exe\"" + BuildCommandLine("R9")).c_str()), "R9");
    // Everything after "=" belongs to the number: blanks, further markers, any length.
    EXPECT_EQ(Number(BuildCommandLine(" a b ").c_str()), " a b ");
    EXPECT_EQ(Number(BuildCommandLine(BuildCommandLine("X")).c_str()), BuildCommandLine("X"));
    const std::string longNumber(32000, '7');
    EXPECT_EQ(Number(BuildCommandLine(longNumber).c_str()), longNumber);
    EXPECT_EQ(Number(BuildCommandLine("").c_str()), "");
}

TEST(KitCommandLine, AnyOtherLineIsNotFromTheInstaller) {
    const std::string marker = LaunchMarker();
    for (const std::string& line : {
             std::string(),
             std::string("setup.exe"),
             " /v" + marker,                                // no "="
             " /V" + marker + "=E1",                        // capital V
             " /v" + marker.substr(1) + "=E1",              // a letter short
             std::string(" /vHSEPBMXJUGRDOALWITFQCNZ=E1"),  // another last letter
             "/v" + marker + "=E1",                         // no space in front
             " -v" + marker + "=E1",
         }) {
        SCOPED_TRACE(line);
        EXPECT_EQ(Number(line.c_str()), "(none)");
    }
    EXPECT_EQ(Number(nullptr), "(none)");
}

TEST(KitInstallerRecord, OnlyAWellFormedIdentifierWithItsZeroIsTheInstallers) {
    const std::string id = "{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9}";
    ASSERT_TRUE(IsHandoffClassId(id));
    EXPECT_EQ(InstallerIdentifier(id.c_str(), id.size() + 1), id);

    EXPECT_FALSE(InstallerIdentifier(nullptr, 39));
    EXPECT_FALSE(InstallerIdentifier(id.c_str(), 0));
    EXPECT_FALSE(InstallerIdentifier(id.c_str(), 38)) << "without its zero";
    const std::string longer = id + std::string(10, '\0');
    EXPECT_FALSE(InstallerIdentifier(longer.c_str(), 40)) << "oversized";
    const std::string unterminated = id + "X";
    EXPECT_FALSE(InstallerIdentifier(unterminated.c_str(), 39));

    for (size_t i = 0; i < id.size(); ++i) {
        for (char other : {'a', 'G', '-', '{', '}', '0', '\0', ' '}) {
            std::string altered = id;
            if (altered[i] == other) continue;
            altered[i] = other;
            const bool stillWellFormed =
                i != 0 && i != 37 && i != 9 && i != 14 && i != 19 && i != 24 && other == '0';
            EXPECT_EQ(IsHandoffClassId(altered), stillWellFormed) << i << " " << other;
            EXPECT_EQ(InstallerIdentifier(altered.c_str(), 39).has_value(), stillWellFormed);
        }
    }
}

TEST(KitInstallerRecord, EveryDrawnIdentifierIsWellFormed) {
    unsigned state = 1;
    for (int i = 0; i < 200; ++i) {
        const std::string id = FormatHandoffClassId(DrawHandoffBytes([&] {
            state = state * 1103515245u + 12345u;
            return static_cast<int>(state >> 16);
        }));
        EXPECT_TRUE(IsHandoffClassId(id)) << id;
    }
}

}  // namespace
