#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "RegistryTree.h"
#include "handoff/HandoffRegistry.h"
#include "handoff/RegistryKey.h"
#include "protocol/HandoffProtocol.h"
#include "support/HandoffRecords.h"

namespace {

// Every key a test makes lives under this one, removed before and after each test.
const char* const testRoot = "Software\\InstallerHandoffTest";

struct ValueRead {
    LONG error = ERROR_SUCCESS;
    DWORD type = 0;
    DWORD size = 0;
    std::string bytes;
};

ValueRead ReadDefaultValue(HKEY root, const std::string& path) {
    ValueRead read;
    HKEY key = nullptr;
    read.error = RegOpenKeyExA(root, path.c_str(), 0, KEY_READ | kHandoffRegistryView, &key);
    if (read.error != ERROR_SUCCESS) return read;
    read.error = RegQueryValueExA(key, nullptr, nullptr, &read.type, nullptr, &read.size);
    if (read.error == ERROR_SUCCESS) {
        std::vector<char> buffer(read.size + 1, '\0');
        read.error = RegQueryValueExA(key, nullptr, nullptr, &read.type,
                                      reinterpret_cast<BYTE*>(buffer.data()), &read.size);
        read.bytes.assign(buffer.data(), read.size);
    }
    RegCloseKey(key);
    return read;
}

// The number of values and subkeys of a key, or -1 when it does not open.
std::pair<int, int> CountContents(HKEY root, const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ | kHandoffRegistryView, &key) !=
        ERROR_SUCCESS)
        return {-1, -1};
    DWORD subkeys = 0;
    DWORD values = 0;
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr,
                     nullptr, nullptr, nullptr);
    RegCloseKey(key);
    return {static_cast<int>(values), static_cast<int>(subkeys)};
}

class RegistryTest : public ::testing::Test {
  protected:
    void SetUp() override { DeleteTree(HKEY_CURRENT_USER, testRoot); }
    void TearDown() override {
        DeleteTree(HKEY_CURRENT_USER, testRoot);
        for (const auto& id : madeIds) DeleteTree(HKEY_CLASSES_ROOT, HandoffKeyPath(id));
    }
    std::vector<std::string> madeIds;
};

TEST_F(RegistryTest, KeyStartsEmptyAndAFailedOpenKeepsPathAndError) {
    RegistryKey key;
    EXPECT_EQ(key.Path(), "");
    EXPECT_EQ(key.Handle(), nullptr);
    EXPECT_EQ(key.LastError(), ERROR_SUCCESS);

    const std::string missing = std::string(testRoot) + "\\Missing";
    EXPECT_FALSE(key.Open(HKEY_CURRENT_USER, missing, KEY_READ));
    EXPECT_EQ(key.LastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(key.Path(), missing);
    EXPECT_EQ(key.Handle(), nullptr);
    // Nothing is open, so closing succeeds only in emptying the path; the old error stays.
    EXPECT_FALSE(key.Close());
    EXPECT_EQ(key.Path(), "");
}

TEST_F(RegistryTest, CreateReportsDispositionAndStoresTextWithItsZero) {
    const std::string path = std::string(testRoot) + "\\A\\B";
    DWORD disposition = 0;
    {
        RegistryKey key;
        ASSERT_TRUE(key.Create(HKEY_CURRENT_USER, path, nullptr, REG_OPTION_NON_VOLATILE,
                               KEY_ALL_ACCESS, nullptr, &disposition));
        EXPECT_EQ(disposition, static_cast<DWORD>(REG_CREATED_NEW_KEY));
        EXPECT_EQ(key.Path(), path);
        EXPECT_NE(key.Handle(), nullptr);
        EXPECT_TRUE(key.SetString(nullptr, "E1234"));
        EXPECT_TRUE(key.SetString("named", ""));
    }  // the key closes here
    const ValueRead value = ReadDefaultValue(HKEY_CURRENT_USER, path);
    ASSERT_EQ(value.error, ERROR_SUCCESS);
    EXPECT_EQ(value.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(value.size, 6u);
    EXPECT_EQ(value.bytes, std::string("E1234\0", 6));

    RegistryKey again;
    ASSERT_TRUE(again.Create(HKEY_CURRENT_USER, path, nullptr, 0, KEY_READ, nullptr, &disposition));
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_OPENED_EXISTING_KEY));
    // No disposition asked for: nothing is written through a null place.
    EXPECT_TRUE(again.Create(HKEY_CURRENT_USER, path, nullptr, 0, KEY_READ, nullptr, nullptr));
    EXPECT_TRUE(again.Close());
    EXPECT_EQ(again.Handle(), nullptr);
    EXPECT_EQ(again.Path(), "");
}

TEST_F(RegistryTest, SettingAValueWithoutAnOpenKeyFailsQuietly) {
    RegistryKey key;
    EXPECT_FALSE(key.SetString(nullptr, "E1"));
    EXPECT_NE(key.LastError(), ERROR_SUCCESS);
    // A failed create leaves no key open, so the value that follows fails as well.
    ASSERT_TRUE(
        key.Create(HKEY_CURRENT_USER, testRoot, nullptr, 0, KEY_ALL_ACCESS, nullptr, nullptr));
    EXPECT_FALSE(key.Create(nullptr, "Nowhere", nullptr, 0, KEY_ALL_ACCESS, nullptr, nullptr));
    EXPECT_EQ(key.Handle(), nullptr);
    EXPECT_FALSE(key.SetString(nullptr, "E1"));
    RegistryKey readOnly;
    ASSERT_TRUE(
        readOnly.Create(HKEY_CURRENT_USER, testRoot, nullptr, 0, KEY_READ, nullptr, nullptr));
    EXPECT_FALSE(readOnly.SetString(nullptr, "E1"));
    EXPECT_EQ(readOnly.LastError(), ERROR_ACCESS_DENIED);
}

TEST_F(RegistryTest, HandoffRecordHoldsTheNumberUnderArtAndAnEmptyInprocServer) {
    const std::string id = "{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9}";
    madeIds.push_back(id);
    DeleteTree(HKEY_CLASSES_ROOT, HandoffKeyPath(id));
    WriteHandoffRecord(id, "RABC");

    EXPECT_EQ(CountContents(HKEY_CLASSES_ROOT, HandoffKeyPath(id)), std::make_pair(0, 2));
    EXPECT_EQ(CountContents(HKEY_CLASSES_ROOT, HandoffKeyPath(id) + "\\InprocServer32"),
              std::make_pair(0, 0));
    EXPECT_EQ(CountContents(HKEY_CLASSES_ROOT, HandoffKeyPath(id) + "\\Art"), std::make_pair(1, 0));
    const ValueRead art = ReadDefaultValue(HKEY_CLASSES_ROOT, HandoffKeyPath(id) + "\\Art");
    ASSERT_EQ(art.error, ERROR_SUCCESS);
    EXPECT_EQ(art.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(art.size, 5u);
    EXPECT_EQ(art.bytes, std::string("RABC\0", 5));

    // A second hand-off under the same identifier replaces the number; long numbers go whole.
    const std::string longNumber(5000, 'E');
    WriteHandoffRecord(id, longNumber);
    const ValueRead longArt = ReadDefaultValue(HKEY_CLASSES_ROOT, HandoffKeyPath(id) + "\\Art");
    EXPECT_EQ(longArt.size, longNumber.size() + 1);
    EXPECT_EQ(longArt.bytes.substr(0, longNumber.size()), longNumber);
}

// Draws that make a known identifier first (bytes 0x11...) and another second (bytes 0x22...).
struct ScriptedDraws {
    int calls = 0;
    int operator()() { return calls++ < 16 ? 0x11 : 0x22; }
};
const std::string scriptedFirst = FormatHandoffClassId(DrawHandoffBytes([] { return 0x11; }));
const std::string scriptedSecond = FormatHandoffClassId(DrawHandoffBytes([] { return 0x22; }));

TEST_F(RegistryTest, AnIdentifierWhoseKeyExistsIsDrawnAgain) {
    madeIds = {scriptedFirst, scriptedSecond};
    DeleteTree(HKEY_CLASSES_ROOT, HandoffKeyPath(scriptedSecond));
    RegistryKey taken;
    ASSERT_TRUE(taken.Create(HKEY_CLASSES_ROOT, HandoffKeyPath(scriptedFirst), nullptr, 0,
                             KEY_ALL_ACCESS | kHandoffRegistryView, nullptr, nullptr));
    EXPECT_EQ(MakeHandoffClassId(ScriptedDraws(), HandoffKeyOpens), scriptedSecond);
    EXPECT_TRUE(support::HandoffKeyExists(HandoffKeyPath(scriptedFirst)));
}

TEST_F(RegistryTest, AKeyThatRefusesFullAccessCountsAsFree) {
    madeIds = {scriptedFirst};
    DeleteTree(HKEY_CLASSES_ROOT, HandoffKeyPath(scriptedFirst));
    ASSERT_TRUE(CreateKeyRefusingFullAccess(HKEY_CLASSES_ROOT, HandoffKeyPath(scriptedFirst)));
    HKEY full = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, HandoffKeyPath(scriptedFirst).c_str(), 0,
                            KEY_ALL_ACCESS | kHandoffRegistryView, &full),
              ERROR_ACCESS_DENIED);
    EXPECT_EQ(MakeHandoffClassId(ScriptedDraws(), HandoffKeyOpens), scriptedFirst);
}

TEST(HandoffIdentifier, NoIdentifierFollowsFromTheClock) {
    // What a generator seeded with the time would give first, for this second and the one before.
    std::vector<std::string> guesses;
    const std::time_t now = std::time(nullptr);
    for (std::time_t when : {now - 1, now, now + 1}) {
        std::srand(static_cast<unsigned>(when));
        guesses.push_back(FormatHandoffClassId(DrawHandoffBytes([] { return std::rand(); })));
    }
    const std::string first = MakeHandoffClassId();
    const std::string second = MakeHandoffClassId();
    EXPECT_NE(first, second);
    for (const std::string& guess : guesses) {
        EXPECT_NE(first, guess);
        EXPECT_NE(second, guess);
    }
}

TEST_F(RegistryTest, MadeIdentifiersAreFreeAndTheKeyTestSeesTheirPaths) {
    std::vector<std::string> asked;
    const std::string id = MakeHandoffClassId(SystemRandomDraw, [&](const std::string& keyPath) {
        asked.push_back(keyPath);
        return asked.size() < 3;  // the first two count as taken
    });
    ASSERT_EQ(asked.size(), 3u);
    EXPECT_EQ(asked.back(), HandoffKeyPath(id));
    EXPECT_NE(asked[0], asked[1]);
    EXPECT_EQ(id.size(), handoffClassIdLength);
    EXPECT_FALSE(support::HandoffKeyExists(HandoffKeyPath(MakeHandoffClassId())));
}

}  // namespace
