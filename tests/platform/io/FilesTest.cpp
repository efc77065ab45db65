#include "platform/io/AtomicFile.h"
#include "platform/io/Files.h"

#include "tests/common/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>
#include <unistd.h>

using namespace kv::io;
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

// ---------------------------------------------------------------- files replaced whole

namespace {
// The names in the current folder.
std::vector<std::string> here() {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(".")) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}
} // namespace

TEST(ReplaceFile, NewBytesReplaceTheOldKeepingItsPermissionsAndNoTemporaryStays) {
    kv::test::TempDir dir;
    writeFile("project.ini", "old contents that are longer");
    ::chmod("project.ini", 0640);
    EXPECT_TRUE(replaceFile("project.ini", "new"));
    EXPECT_EQ(readFile("project.ini"), "new");
    struct stat st {};
    ASSERT_EQ(::stat("project.ini", &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_TRUE(replaceFile("fresh.ini", std::string("a\0b", 3)));
    EXPECT_EQ(readFile("fresh.ini"), std::string("a\0b", 3));
    EXPECT_EQ(here(), (std::vector<std::string>{"fresh.ini", "project.ini"}));
}

TEST(ReplaceFile, AFailureSaysWhereAndLeavesTheOldFileWhole) {
    kv::test::TempDir dir;
    std::filesystem::create_directory("folder");
    Replaced r = replaceFile("folder", "x");
    EXPECT_EQ(r.step, Replaced::Step::Folder);
    EXPECT_EQ(r.error, EISDIR);
    r = replaceFile("no/such/place.ini", "x");
    EXPECT_EQ(r.step, Replaced::Step::Open);
    EXPECT_EQ(r.error, ENOENT);
    if (::geteuid() != 0) { // a read-only folder stops the new file before the old one is touched
        writeFile("folder/keep.ini", "kept");
        ::chmod("folder", 0500);
        r = replaceFile("folder/keep.ini", "lost");
        ::chmod("folder", 0700);
        EXPECT_EQ(r.step, Replaced::Step::Open);
        EXPECT_EQ(readFile("folder/keep.ini"), "kept");
    }
    EXPECT_EQ(here(), (std::vector<std::string>{"folder"}));
}
