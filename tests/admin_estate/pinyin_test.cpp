// The estate abbreviation and the numbers typed into the estate dialogs.
#include "tests/support/test_support.h"
#include "app/admin/estate_dialog.h"
#include "app/admin/pinyin.h"

#include <string>

namespace {

std::string Abbrev(const std::string& name)
{
    char out[26];
    Pinyin_Abbrev(name.c_str(), out, sizeof(out));
    return out;
}

char Initial(const char* gbk)
{
    return Pinyin_Initial(static_cast<unsigned char>(gbk[0]), static_cast<unsigned char>(gbk[1]));
}

TEST(Pinyin, EachLetterOfGb2312LevelOneBeginsAndEndsWhereItsReadingsDo)
{
    // The last character of one letter and the first of the next.
    struct Edge {
        const char* last;
        char lastLetter;
        const char* first;
        char firstLetter;
    };
    const Edge edges[] = {
        {"澳", 'A', "芭", 'B'},   // B0C4 | B0C5
        {"怖", 'B', "擦", 'C'},   // B2C0 | B2C1
        {"蛾", 'E', "鹅", 'E'},   // inside E
        {"贰", 'E', "发", 'F'},   // B7A1 èr | B7A2 fā
        {"祸", 'H', "击", 'J'},   // BBF6 | BBF7: no I
        {"唾", 'T', "挖", 'W'},   // CDD9 | CDDA: no U, V
        {"迅", 'X', "压", 'Y'},   // D1B8 | D1B9
        {"再", 'Z', "座", 'Z'},   // inside Z, up to D7F9
    };
    for (const Edge& e : edges) {
        EXPECT_EQ(Initial(e.last), e.lastLetter) << e.last;
        EXPECT_EQ(Initial(e.first), e.firstLetter) << e.first;
    }
    // The whole end of X's range, which an earlier boundary table gave to Y.
    EXPECT_EQ(Abbrev("寻巡询循训讯迅"), "XXXXXXX");
    EXPECT_EQ(Abbrev("啊座"), "AZ");              // B0A1 and D7F9, the ends of level 1
}

TEST(Pinyin, CharactersBeyondLevelOneTakeTheirInitialFromTheTable)
{
    EXPECT_EQ(Abbrev("蓁"), "Z");                 // GB2312 level 2 (DDE8)
    EXPECT_EQ(Abbrev("鑫"), "X");                 // level 2 (F6CE)
    EXPECT_EQ(Abbrev("亍"), "C");                 // first of level 2 (D8A1)
    EXPECT_EQ(Abbrev("璟"), "J");                 // GBK extension (AD5A)
    EXPECT_EQ(Abbrev("堃"), "K");                 // GBK extension (88D2)
    // Not a character, a symbol, full-width punctuation: no letter.
    EXPECT_EQ(Abbrev("\xD7\xFA"), "");
    EXPECT_EQ(Abbrev("（※）"), "");
}

TEST(Pinyin, AMixedNameGivesOneLetterPerCharacterWithLatinLettersInCapitals)
{
    EXPECT_EQ(Abbrev("阳光城市花园"), "YGCSHY");   // six level-1 characters
    EXPECT_EQ(Abbrev("翠苑a3 b区"), "CYA3 BQ");
    EXPECT_EQ(Abbrev("ABC-12"), "ABC-12");
    // A lead byte without its trail byte adds nothing, wherever it stands.
    EXPECT_EQ(Abbrev("翠\xB4"), "C");
    EXPECT_EQ(Abbrev("\xB4 x"), " X");
    EXPECT_EQ(Abbrev("\xB4" "a"), "M");           // B4 61 is one character (碼)
    // The output is cut to its room and always terminated.
    char small[4];
    EXPECT_EQ(Pinyin_Abbrev("阳光城市花园", small, sizeof(small)), 3u);
    EXPECT_STREQ(small, "YGC");
}

TEST(EstateNumbers, ANumberIsDigitsOnlyAndAnythingElseCountsAsZero)
{
    EXPECT_EQ(Est_ParseCount("120"), 120);
    EXPECT_EQ(Est_ParseCount(" 7 "), 7);
    EXPECT_EQ(Est_ParseCount("2147483647"), 2147483647);
    for (const char* s : {"", "-5", "12a", "1.5", "2147483648", "99999999999999999999", "'1'"})
        EXPECT_EQ(Est_ParseCount(s), 0) << s;

    double v = -1;
    EXPECT_TRUE(Est_ParseMoney("12.5", &v));
    EXPECT_DOUBLE_EQ(v, 12.5);
    EXPECT_TRUE(Est_ParseMoney("3.456", &v));
    EXPECT_DOUBLE_EQ(v, 3.46);
    EXPECT_TRUE(Est_ParseMoney("9999999999.99", &v));
    EXPECT_DOUBLE_EQ(v, 9999999999.99);
    for (const char* s : {"", "abc", "-1", "1.2.3", "1e5", "'"}) {
        EXPECT_TRUE(Est_ParseMoney(s, &v)) << s;
        EXPECT_EQ(v, 0) << s;
    }
    EXPECT_FALSE(Est_ParseMoney("10000000000", &v));
    EXPECT_FALSE(Est_ParseMoney("99999999999999999999999", &v));
}

}  // namespace
