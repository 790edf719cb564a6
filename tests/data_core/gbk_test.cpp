// Cutting GBK texts on whole characters.
#include "tests/support/gtest_api.h"
#include "common/gbk.h"

#include <cstring>

TEST(GbkCut, CutsOnlyBetweenWholeCharacters)
{
    const char* mixed = "ab\xD6\xD0\xCE\xC4" "cd";  // "ab中文cd"
    EXPECT_EQ(8u, Gbk_CutLen(mixed, 8, 100));       // fits whole
    EXPECT_EQ(6u, Gbk_CutLen(mixed, 8, 6));         // exact fit after a character
    EXPECT_EQ(4u, Gbk_CutLen(mixed, 8, 5));         // in the middle of 文
    EXPECT_EQ(2u, Gbk_CutLen(mixed, 8, 3));         // in the middle of 中
    EXPECT_EQ(5u, Gbk_CutLen("abcdefg", 7, 5));     // ASCII only
    EXPECT_EQ(0u, Gbk_CutLen(mixed, 8, 0));
    // A lead byte at the very end has lost its trail byte: it is dropped.
    EXPECT_EQ(2u, Gbk_CutLen("ab\xD6", 3, 10));
    // Trail bytes that look like ASCII ("\\", "_") and like lead bytes stay
    // with their lead byte.
    EXPECT_EQ(4u, Gbk_CutLen("\xD5\x5C\xB1\x5F", 4, 4));
    EXPECT_EQ(2u, Gbk_CutLen("\xD6\xD6\xD0", 3, 3));
}

TEST(GbkCut, CopyCutTerminatesAndNeverOverruns)
{
    char dst[6];
    memset(dst, 'x', sizeof dst);
    Gbk_CopyCut(dst, sizeof dst, "ab\xD6\xD0\xCE\xC4");
    EXPECT_STREQ("ab\xD6\xD0", dst);
    Gbk_CopyCut(dst, sizeof dst, "abcde");
    EXPECT_STREQ("abcde", dst);
    Gbk_CopyCut(dst, sizeof dst, nullptr);
    EXPECT_STREQ("", dst);
    Gbk_CopyCut(dst, 1, "abc");
    EXPECT_STREQ("", dst);
}
