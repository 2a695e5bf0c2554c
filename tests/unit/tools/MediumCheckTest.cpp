#include <gtest/gtest.h>

#include <set>

#include "MediumCheck.h"

namespace {

#ifdef _WIN32
const char* const kSep = "\\";
#else
const char* const kSep = "/";
#endif

// The root as given, then the path below it with the platform's separators.
std::string Native(const std::string& root, std::string below) {
    for (char& c : below) {
        if (c == '/') c = kSep[0];
    }
    return root + below;
}

TEST(MediumResolve, PercentStandsForTheMediumRoot) {
    EXPECT_EQ(mediumcheck::ResolveOnMedium("%:\\English\\setup.exe", "m"),
              Native("m", "/English/setup.exe"));
    // A further placeholder is the installer's drive letter, which the builder cannot know.
    EXPECT_EQ(mediumcheck::ResolveOnMedium("%\\A\\b.exe", "m/"), "");
    EXPECT_EQ(mediumcheck::ResolveOnMedium("%:\\English\\100%\\setup.exe", "m"), "");
    EXPECT_EQ(mediumcheck::RelativeOnMedium("%:\\English\\100%\\setup.exe"), "");
    EXPECT_EQ(mediumcheck::ResolveOnMedium("%:setup.exe", "m"), Native("m", "/setup.exe"));
    EXPECT_EQ(mediumcheck::ResolveOnMedium("C:\\setup.exe", "/m"), "");
    EXPECT_EQ(mediumcheck::ResolveOnMedium("A%B", "/m"), "");
    EXPECT_EQ(mediumcheck::ResolveOnMedium("", "/m"), "");
}

#ifndef _WIN32
TEST(MediumResolve, Cp1251NamesBecomeUtf8OnThisSystem) {
    EXPECT_EQ(mediumcheck::ResolveOnMedium("%:\\\xD0\xF3\xF1\\s.exe", "/m"),
              "/m/\xD0\xA0\xD1\x83\xD1\x81/s.exe");  // "Рус"
}
#endif

TEST(MediumCheck, ListsArticlesWithoutTheirSetUpProgramInOrder) {
    CatalogSection articles;
    articles.Set("R2", CatalogValue::String("%:\\Missing\\setup.exe"));
    articles.Set("E1", CatalogValue::String("%:\\English\\setup.exe"));
    articles.Set("A0", CatalogValue::String("D:\\Elsewhere\\setup.exe"));
    articles.Set("R1", CatalogValue::String("%:\\Gone\\setup.exe"));
    articles.Set("EMPTY", CatalogValue::String(""));
    articles.Set("E2", CatalogValue::String("%:\\English%\\setup.exe"));
    const std::set<std::string> present = {Native("m", "/English/setup.exe")};
    const auto problems = mediumcheck::Check(
        articles, "m", [&](const std::string& p) { return present.count(p) > 0; });
    ASSERT_EQ(problems.size(), 4u);
    EXPECT_EQ(problems[0].article, "A0");
    EXPECT_EQ(problems[0].path, "");
    EXPECT_NE(problems[0].reason.find("not on the medium"), std::string::npos);
    EXPECT_EQ(problems[1].article, "E2");
    EXPECT_NE(problems[1].reason.find("drive letter"), std::string::npos);
    EXPECT_EQ(problems[2].article, "R1");
    EXPECT_EQ(problems[3].article, "R2");
    EXPECT_EQ(problems[3].path, Native("m", "/Missing/setup.exe"));
    EXPECT_EQ(problems[3].reason, "missing");
}

}  // namespace
