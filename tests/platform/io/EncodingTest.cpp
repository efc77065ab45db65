// Interface files in GBK or UTF-8: the conversions and the check that tells them apart.
#include "platform/io/Encoding.h"

#include <gtest/gtest.h>

#include <string>

using namespace kv::io;

TEST(Encoding, GbkAndUtf8) {
    const std::string utf8 = "磁芯:用户输入";
    const std::string gbk = utf8ToGbk(utf8);
    EXPECT_EQ(gbk.size(), 13u); // 6 two-byte characters and ':'
    EXPECT_FALSE(isValidUtf8(gbk));
    EXPECT_EQ(gbkToUtf8(gbk), utf8);
    EXPECT_EQ(decodeText(gbk), utf8);
    EXPECT_EQ(decodeText(utf8), utf8);
    // Overlong forms and surrogates are not UTF-8.
    EXPECT_FALSE(isValidUtf8("\xC0\xAF"));
    EXPECT_FALSE(isValidUtf8("\xED\xA0\x80"));
    EXPECT_FALSE(isValidUtf8("\xE4\xB8"));
    // Junk never stops the conversion.
    const std::string junk("\x81\xFF\x00\x80zz", 6);
    const std::string out = gbkToUtf8(junk);
    EXPECT_TRUE(isValidUtf8(out));
    EXPECT_NE(out.find("zz"), std::string::npos);
    // A broken lead byte takes only itself: the ';' after it survives.
    EXPECT_EQ(gbkToUtf8("ab\x81;"), "ab\xEF\xBF\xBD;");
}
