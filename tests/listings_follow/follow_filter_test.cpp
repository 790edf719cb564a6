// The follow-up windows' filter texts and the estate box's matching: pure
// functions of the panel values and the shared lists, compared as strings.
#include "tests/support/test_support.h"
#include "app/listings/estate_box.h"
#include "app/listings/follow_filter.h"
#include "app/listings/follow_ids.h"

#include <cstring>

namespace {

tagBRLIST kBr[] = {{1, "总店", "", "", "", ""}, {2, "二部", "", "", "", ""}};
tagEMPLIST kEmp[] = {{1, 1, "管理员"}, {5, 1, "张三"}, {7, 2, "王五"}, {8, 2, "赵六"}, {9, 1, "李娜"}, {10, 2, "李娜"}};
tagESTLIST kEst[] = {{11, 1, "嘉绿苑", "JLY", "", "", "", "", ""}, {12, 1, "嘉绿苑二期", "JLYEQ", "", "", "", "", ""},
                     {13, 1, "翠苑一区", "CYYQ", "", "", "", "", ""}, {14, 1, "7号公馆", "7HGG", "", "", "", "", ""}};

// A parameter block holding only the lists names are looked up in.
const tagZT_Main_Param* Lists()
{
    static tagZT_Main_Param p;
    p.pBrList = kBr;
    p.nBr = 2;
    p.pEmpList = kEmp;
    p.nEmp = 6;
    p.pEstList = kEst;
    p.nEst = 4;
    return &p;
}

FOLLOW_FILTER Panel(int kind, const char* br = "", const char* emp = "", const char* estate = "",
                    const char* trade = "", const char* level = "", const char* from = "", const char* to = "",
                    const char* scope = "")
{
    FOLLOW_FILTER f = {kind, br, emp, trade, estate, level, from, to, scope};
    return f;
}

std::string Text(const FOLLOW_FILTER& f, int want = 0)
{
    std::string s = "<unset>";
    EXPECT_EQ(Follow_FilterText(Lists(), f, &s), want) << f.from << " " << f.to;
    return s;
}

const int H = FOLLOW_KIND_HOUSE, C = FOLLOW_KIND_CLIENT;

TEST(FollowFilter, APanelAsItOpensListsTodaysFollowUpsToTheLastSecond)
{
    SYSTEMTIME st;
    GetLocalTime(&st);
    char today[32];
    snprintf(today, sizeof(today), "%04d-%02d-%02d", st.wYear, st.wMonth, st.wDay);
    FOLLOW_FILTER f = Follow_DefaultFilter(H);
    EXPECT_EQ(f.from + f.to + f.br + f.emp + f.trade + f.estate, std::string(today) + today);
    EXPECT_EQ(Text(f), std::string("  f.dtFollow >= '") + today + "'  and  f.dtFollow <= '" + today + " 23:59:59'");
    EXPECT_EQ(Text(Panel(C)), "");
}

TEST(FollowFilter, EveryPieceInItsOrderEachAfterTheFirstJoinedByAnd)
{
    EXPECT_EQ(Text(Panel(H, "二部", "王五", "翠苑一区", "出租", "A级", "2024-02-01", "2024-02-29")),
              " iEst = 13   and  f.iEmp = 7   and  f.iBr = 2   and  szTrade = '出租'"
              "  and  f.dtFollow >= '2024-02-01'  and  f.dtFollow <= '2024-02-29 23:59:59'");
    // The estate box is the house window's, the grade box the client window's;
    // the scope of the list comes last.
    EXPECT_EQ(Text(Panel(C, "二部", "王五", "翠苑一区", "求租", "A级", "2024-02-01", "2024-02-29", "t.iEmp = 7")),
              "  f.iEmp = 7   and  f.iBr = 2   and  szTrade = '求租'  and  szLevel= 'A级'"
              "  and  f.dtFollow >= '2024-02-01'  and  f.dtFollow <= '2024-02-29 23:59:59'  and  t.iEmp = 7");
    EXPECT_EQ(Text(Panel(H, "", "", "", "", "", "", "", "t.iBr = 2")), "  t.iBr = 2");
    EXPECT_EQ(Text(Panel(C, "", "", "", "", "VIP")), "  szLevel= 'VIP'");
    EXPECT_EQ(Text(Panel(H, "", "", "", "", "", "", "2024-03-01")), "  f.dtFollow <= '2024-03-01 23:59:59'");
    // Texts go through the quoting helper.
    EXPECT_EQ(Text(Panel(C, "", "", "", "O'Brien", "a\\b")), "  szTrade = 'O\\'Brien'  and  szLevel= 'a\\\\b'");
}

TEST(FollowFilter, TheWriterIsFoundByNameAndANameTheListsDoNotKnowFindsNothing)
{
    // The employee alone: whoever has that name, in any branch.
    EXPECT_EQ(Text(Panel(H, "", "王五")), "  f.iEmp = 7 ");
    EXPECT_EQ(Text(Panel(H, "", "李娜")), "  f.iEmp in (9,10) ");
    EXPECT_EQ(Text(Panel(H, "二部", "李娜")), "  f.iEmp = 10   and  f.iBr = 2 ");
    // Names the lists do not know (exactly) give keys no record has.
    EXPECT_EQ(Text(Panel(H, "总店", "王五")), "  f.iEmp = 0   and  f.iBr = 1 ");   // not one of that branch's
    EXPECT_EQ(Text(Panel(H, "二", "王五")), "  f.iEmp = 0   and  f.iBr = 0 ");   // no such branch
    EXPECT_EQ(Text(Panel(C, "二")), "  f.iBr = 0 ");
    EXPECT_EQ(Text(Panel(H, "", "", "嘉绿")), " iEst = 0 ");         // the beginning of a name
    EXPECT_EQ(Text(Panel(H, "", "", "jly")), " iEst = 0 ");          // an abbreviation only lists
    EXPECT_EQ(Text(Panel(H, "", "", "嘉绿苑")), " iEst = 11 ");
    EXPECT_EQ(Text(Panel(H, "", "", "嘉绿苑二期")), " iEst = 12 ");
    EXPECT_EQ(Text(Panel(C, "", "", "无此楼盘")), "");               // the client window has no estate box
}

TEST(FollowFilter, ADateThatIsNoCalendarDayNamesItsBoxAndGivesNoText)
{
    const char* bad[] = {"2024-02-30", "2023-02-29", "2024-2-03", "2024-13-01", "20240201", "2024-02-01'",
                         "' or 1=1 --", "２０２４-02-01"};
    for (const char* day : bad) {
        EXPECT_EQ(Text(Panel(H, "", "", "", "", "", day), IDC_FOLLOW_FROM), "");
        EXPECT_EQ(Text(Panel(C, "", "", "", "", "", "2024-02-29", day), IDC_FOLLOW_TO), "");
    }
    EXPECT_NE(Text(Panel(H, "", "", "", "", "", "2000-02-29", "2100-12-31")), "");
}

TEST(EstateBox, TypingListsNamesAndAbbreviationsThatBeginWithIt)
{
    auto names = [](const char* typed, int max = ESTATE_BOX_MAX) {
        int idx[ESTATE_BOX_MAX];
        int n = EstateBox_Find(kEst, 4, typed, idx, max);
        std::string s = n < 0 ? "<left alone>" : "";
        for (int i = 0; i < n; i++)
            s += std::string(kEst[idx[i]].szEstate) + ",";
        return s;
    };
    EXPECT_EQ(names(""), "嘉绿苑,嘉绿苑二期,翠苑一区,7号公馆,");
    EXPECT_EQ(names("", 2), "嘉绿苑,嘉绿苑二期,");
    EXPECT_EQ(names("嘉绿"), "嘉绿苑,嘉绿苑二期,");
    EXPECT_EQ(names("jly"), "嘉绿苑,嘉绿苑二期,");
    EXPECT_EQ(names("ＪＬＹＥ"), "嘉绿苑二期,");            // full-width capitals
    EXPECT_EQ(names("苑"), "");
    EXPECT_EQ(names("7"), "<left alone>");                // a telephone or a key
    EXPECT_EQ(names("７号"), "<left alone>");
    char out[32];
    EstateBox_Normalise("ａＢ０x\xD5\x5C", out, sizeof(out));
    EXPECT_STREQ(out, "ａB0X\xD5\x5C");                    // trail bytes are not letters
}

}  // namespace
