#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <vector>

#include "protocol/HandoffProtocol.h"

namespace {

// A small, seeded stand-in for the standard generator: the same seed gives the same draws.
class SeededDraws {
  public:
    explicit SeededDraws(unsigned seed) : state(seed) {}
    int operator()() {
        state = state * 1103515245u + 12345u;
        return static_cast<int>((state >> 16) & 0x7FFF);
    }

  private:
    unsigned state;
};

TEST(ClassIdFormat, BytesInDrawOrderAsCapitalHexInRegistryForm) {
    HandoffBytes bytes{};
    for (int i = 0; i < 16; ++i) bytes[i] = static_cast<std::uint8_t>(i * 17);
    EXPECT_EQ(FormatHandoffClassId(bytes), "{00112233-4455-6677-8899-AABBCCDDEEFF}");
    bytes.fill(10);
    EXPECT_EQ(FormatHandoffClassId(bytes), "{0A0A0A0A-0A0A-0A0A-0A0A-0A0A0A0A0A0A}");
    bytes.fill(0);
    bytes[0] = 0xFE;
    bytes[15] = 0x01;
    EXPECT_EQ(FormatHandoffClassId(bytes), "{FE000000-0000-0000-0000-000000000001}");
}

TEST(ClassIdFormat, EveryDrawnIdentifierHasTheFixedShape) {
    SeededDraws draws(12345);
    std::set<std::string> seen;
    for (int n = 0; n < 200; ++n) {
        const std::string id = FormatHandoffClassId(DrawHandoffBytes(std::ref(draws)));
        ASSERT_EQ(id.size(), handoffClassIdLength);
        for (size_t i = 0; i < id.size(); ++i) {
            if (i == 0) {
                EXPECT_EQ(id[i], '{');
            } else if (i == 37) {
                EXPECT_EQ(id[i], '}');
            } else if (i == 9 || i == 14 || i == 19 || i == 24) {
                EXPECT_EQ(id[i], '-');
            } else {
                EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(id[i])) ||
                            (id[i] >= 'A' && id[i] <= 'F'))
                    << id;
            }
        }
        seen.insert(id);
    }
    EXPECT_EQ(seen.size(), 200u);
}

TEST(ClassIdDraw, ByteKIsTheLowEightBitsOfDrawK) {
    int next = 0x1200;
    const HandoffBytes bytes = DrawHandoffBytes([&] { return next++; });
    for (int k = 0; k < 16; ++k) EXPECT_EQ(bytes[k], k) << k;
    EXPECT_EQ(next, 0x1210);
    EXPECT_EQ(DrawHandoffBytes([] { return 0x7FFF; })[0], 0xFF);
}

TEST(ClassIdDraw, ATakenIdentifierIsRedrawnFromTheSameSequence) {
    SeededDraws reference(99);
    const std::string first = FormatHandoffClassId(DrawHandoffBytes(std::ref(reference)));
    const std::string second = FormatHandoffClassId(DrawHandoffBytes(std::ref(reference)));
    const std::string third = FormatHandoffClassId(DrawHandoffBytes(std::ref(reference)));

    SeededDraws draws(99);
    std::vector<std::string> asked;
    const std::string free = DrawFreeHandoffClassId(std::ref(draws), [&](const std::string& id) {
        asked.push_back(id);
        return id == first || id == second;
    });
    EXPECT_EQ(free, third);
    EXPECT_EQ(asked, (std::vector<std::string>{first, second, third}));

    SeededDraws again(99);
    EXPECT_EQ(DrawFreeHandoffClassId(std::ref(again), [](const std::string&) { return false; }),
              first);
    EXPECT_EQ(HandoffKeyPath(first), "CLSID\\" + first);
}

TEST(ReplyText, StopsAtTheFirstZeroAndNeverReadsPastTheSize) {
    const char text[] = "{ABC}\0tail";
    EXPECT_EQ(ReceivedReplyText(text, sizeof text), "{ABC}");
    EXPECT_EQ(ReceivedReplyText(text, 3), "{AB");
    EXPECT_EQ(ReceivedReplyText(text, 0), "");
    EXPECT_EQ(ReceivedReplyText(nullptr, 39), "");
    // A reply without a zero inside its size is taken whole, up to the size.
    const std::vector<char> unterminated(39, 'A');
    EXPECT_EQ(ReceivedReplyText(unterminated.data(), unterminated.size()), std::string(39, 'A'));
}

TEST(ReplyAcceptance, OnlyTheExactIdentifierIsAccepted) {
    const std::string id = "{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9}";
    EXPECT_TRUE(IsAcceptedReply(id, id));
    EXPECT_FALSE(IsAcceptedReply(id, "{0a1b2c3d-4e5f-6071-8293-a4b5c6d7e8f9}"));
    EXPECT_FALSE(IsAcceptedReply(id, id.substr(0, 37)));
    EXPECT_FALSE(IsAcceptedReply(id, id + "}"));
    EXPECT_FALSE(IsAcceptedReply(id, ""));
    // Nothing sent yet: no answer can match, not even an empty one.
    EXPECT_FALSE(IsAcceptedReply("", ""));
    EXPECT_FALSE(IsAcceptedReply("", id));
}

}  // namespace
