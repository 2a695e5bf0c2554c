#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "protocol/HandoffProtocol.h"

namespace {

TEST(LaunchMarkerWord, TwentyThreeLettersFromAToYAndAlwaysTheSame) {
    const std::string marker = LaunchMarker();
    ASSERT_EQ(marker.size(), launchMarkerLength);
    for (char c : marker) EXPECT_TRUE(c >= 'A' && c <= 'Y') << c;
    // The word set-up programs are written against; changing it breaks every medium.
    EXPECT_EQ(marker, "HSEPBMXJUGRDOALWITFQCNY");
    EXPECT_EQ(LaunchMarker(), marker);
}

TEST(LaunchMarkerWord, FollowsOneArithmeticProgressionModulo25) {
    const std::string marker = LaunchMarker();
    const int step = (marker[1] - marker[0] + 25) % 25;
    for (size_t i = 1; i < marker.size(); ++i) {
        EXPECT_EQ((marker[i] - marker[i - 1] + 25) % 25, step) << "letter " << i;
    }
}

TEST(LaunchMarkerWord, WritesSizeMinusOneLettersAndTheZeroOnly) {
    std::vector<char> buffer(40, '#');
    BuildLaunchMarker(buffer.data() + 3, 24);
    EXPECT_EQ(std::string(buffer.data() + 3), LaunchMarker());
    EXPECT_EQ(buffer[26], '\0');
    EXPECT_EQ(buffer[2], '#');
    EXPECT_EQ(buffer[27], '#');

    // Shorter buffers get a prefix of the same word; size 1 is just the zero; size 0 writes
    // nothing.
    char small[5] = {'#', '#', '#', '#', '#'};
    BuildLaunchMarker(small, 4);
    EXPECT_EQ(std::string(small), LaunchMarker().substr(0, 3));
    EXPECT_EQ(small[4], '#');
    BuildLaunchMarker(small, 1);
    EXPECT_EQ(small[0], '\0');
    EXPECT_EQ(small[1], LaunchMarker()[1]);
    small[0] = '#';
    BuildLaunchMarker(small, 0);
    EXPECT_EQ(small[0], '#');
}

TEST(CommandLine, LaysOutSlashVMarkerEqualsNumber) {
    const std::string line = BuildCommandLine("E1234");
    EXPECT_EQ(line.size(), 32u);
    EXPECT_EQ(line, " /v" + LaunchMarker() + "=E1234");
    // No program path: the line starts with the space.
    EXPECT_EQ(line[0], ' ');
    EXPECT_EQ(BuildCommandLine(""), " /v" + LaunchMarker() + "=");
}

TEST(CommandLine, TwentyTwoCharactersFillTheClassicFortyNine) {
    const std::string number(22, '7');
    EXPECT_EQ(BuildCommandLine(number).size(), 49u);
}

TEST(CommandLine, LongNumbersGoWhole) {
    for (size_t length : {23u, 40u, 1000u, 32767u}) {
        std::string number(length, 'A');
        number.back() = 'E';
        const std::string line = BuildCommandLine(number);
        ASSERT_EQ(line.size(), commandLinePrefixLength + length);
        EXPECT_EQ(line.substr(0, commandLinePrefixLength), " /v" + LaunchMarker() + "=");
        EXPECT_EQ(line.substr(commandLinePrefixLength), number);
    }
    // Bytes are copied as they are, cp1251 letters included.
    EXPECT_EQ(BuildCommandLine("\xC0\xFF").substr(commandLinePrefixLength), "\xC0\xFF");
}

}  // namespace
