#include "platform/ui/Files.h"

#include "tests/common/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace kv::ui;
using kv::test::readFile;
using kv::test::writeFile;

TEST(Files, EnsureCreatesButNeverTruncates) {
    kv::test::TempDir dir;
    EXPECT_FALSE(ensureFile("a.txt"));
    EXPECT_EQ(readFile("a.txt"), "");
    writeFile("a.txt", "keep me");
    EXPECT_FALSE(ensureFile("a.txt"));
    EXPECT_EQ(readFile("a.txt"), "keep me");
}

TEST(Files, ReadsPastTheEndComeBackShort) {
    kv::test::TempDir dir;
    writeFile("s", "ab");
    std::string out;
    EXPECT_FALSE(readAt("s", 1, 3, out));
    EXPECT_EQ(out, "b");
    EXPECT_FALSE(readAt("s", 6, 1, out));
    EXPECT_EQ(out, "");
    // A missing file is created empty.
    EXPECT_FALSE(readAt("new", 0, 1, out));
    EXPECT_EQ(out, "");
    EXPECT_TRUE(std::filesystem::exists("new"));
}

TEST(Files, WritesInPlaceAndZeroFillTheGap) {
    kv::test::TempDir dir;
    writeFile("s", "abcdef");
    EXPECT_FALSE(writeAt("s", 2, "XY"));
    EXPECT_EQ(readFile("s"), "abXYef");
    EXPECT_FALSE(writeAt("t", 4, "Z"));
    EXPECT_EQ(readFile("t"), std::string("\0\0\0\0Z", 5));
}

TEST(Files, AFolderThatIsGoneGivesAClearError) {
    kv::test::TempDir dir;
    std::filesystem::create_directory("gone");
    FileError e = ensureFile("gone/missing/x");
    ASSERT_TRUE(e);
    EXPECT_NE(fileErrorText(e).find("gone/missing/x"), std::string::npos);
    EXPECT_NE(fileErrorText(e).find(e.reason), std::string::npos);
}

TEST(Files, ADirectoryInPlaceOfTheFileIsAnError) {
    kv::test::TempDir dir;
    std::filesystem::create_directory("System.cfg");
    std::string out;
    FileError e = readAt("System.cfg", 0, 1, out);
    ASSERT_TRUE(e);
    EXPECT_NE(fileErrorText(e).find("System.cfg"), std::string::npos);
    EXPECT_TRUE(writeAt("System.cfg", 0, "1"));
}
