// Reminders against the real server: due only on their day, per-employee
// acknowledgement, nothing due, clearing past ones, texts.
#include "tests/data_listings/listings_support.h"

#include <cstring>

namespace {

class Reminders : public testing::Test {
protected:
    void SetUp() override { Listings_Reset(); }
};

int Add(int iDays, int iBr, int iEmp, const char* content, int iCli = 0)
{
    tagREMIND r;
    memset(&r, 0, sizeof r);
    strcpy(r.dRemind, ServerDay(iDays).c_str());
    snprintf(r.szContent, sizeof r.szContent, "%s", content);
    r.iBr = iBr;
    r.iEmp = iEmp;
    r.iCli = iCli;
    r.iHou = iCli ? 0 : 5;
    r.iRange = 1;
    EXPECT_EQ(1, FD_Ist_Remind(1, &r));
    EXPECT_NE(0, r.iOrdinal);
    return r.iOrdinal;
}

std::vector<int> Due(int iEmp, int iBr)
{
    tagREMIND* p = nullptr;
    int n = -1;
    std::vector<int> keys;
    tagREMIND* r = FD_SCT_Remind(&p, &n, iEmp, iBr);
    EXPECT_EQ(r, p);
    for (int i = 0; i < n; ++i)
        keys.push_back(r[i].iOrdinal);
    if (r) {
        EXPECT_EQ(0, r[n].iOrdinal);
    }
    Mem_Free_Remind(r);
    return keys;
}

} // namespace

TEST_F(Reminders, DueOnTheirDayForBranchAndEmployeeUntilAcknowledged)
{
    int branch = Add(0, 2, 0, "回访业主");
    int mine = Add(0, 0, 7, "联系客户");
    Add(1, 2, 7, "明天的");
    Add(-1, 2, 7, "昨天的");

    // Employee 7 of branch 2 sees both of today's; a colleague of branch 2
    // only the branch's; someone elsewhere none.
    EXPECT_EQ((std::vector<int>{branch, mine}), Due(7, 2));
    EXPECT_EQ((std::vector<int>{branch}), Due(8, 2));
    EXPECT_TRUE(Due(9, 3).empty());

    FD_UPD_Remind(7, branch);
    EXPECT_EQ((std::vector<int>{mine}), Due(7, 2));
    EXPECT_EQ((std::vector<int>{branch}), Due(8, 2));
    EXPECT_EQ(0, TestDb_Count("t_log"));  // reminders are not in the operation log
}

TEST_F(Reminders, NothingDueGivesNullAndZero)
{
    Add(1, 1, 1, "tomorrow");
    tagREMIND* p = reinterpret_cast<tagREMIND*>(8);
    int n = 5;
    EXPECT_EQ(nullptr, FD_SCT_Remind(&p, &n, 1, 1));
    EXPECT_EQ(nullptr, p);
    EXPECT_EQ(0, n);
}

TEST_F(Reminders, LoadedRecordsCarryTheDayAndAtMost99BytesOfText)
{
    std::string longText(105, 'x');
    longText.replace(98, 2, "\xD5\x5C");  // a character across the 99-byte cut
    tagREMIND r;
    memset(&r, 0, sizeof r);
    strcpy(r.dRemind, ServerDay(0).c_str());
    strcpy(r.szContent, longText.c_str());
    r.iEmp = 3;
    r.iCli = 12;
    ASSERT_EQ(1, FD_Ist_Remind(1, &r));
    EXPECT_EQ(longText, TestDb_Scalar("select szContent from t_remind"));
    int hostile = Add(0, 0, 3, HostileText().c_str());

    tagREMIND* p = nullptr;
    int n = 0;
    ASSERT_NE(nullptr, FD_SCT_Remind(&p, &n, 3, 0));
    ASSERT_EQ(2, n);
    EXPECT_EQ(r.iOrdinal, p[0].iOrdinal);
    EXPECT_EQ(12, p[0].iCli);
    EXPECT_EQ(3, p[0].iEmp);
    EXPECT_STREQ(ServerDay(0).c_str(), p[0].dRemind);
    EXPECT_STREQ(ServerDay(0).c_str(), p[0].szRemindDay);
    EXPECT_EQ(longText.substr(0, 98), p[0].szContent);
    EXPECT_EQ(hostile, p[1].iOrdinal);
    EXPECT_EQ(HostileText(), p[1].szContent);
    Mem_Free_Remind(p);
}

TEST_F(Reminders, ClearingKeepsTodayAndLaterAndDeletingTakesAcknowledgements)
{
    int past = Add(-3, 1, 1, "past");
    int today = Add(0, 1, 1, "today");
    int later = Add(2, 1, 1, "later");
    TestDb_Exec("insert into t_remind (dRemind, szContent) values ('', 'no day')");
    FD_UPD_Remind(1, past);
    EXPECT_EQ(1, FD_Clear_Remind(1));
    auto left = TestDb_Query("select iOrdinal from t_remind order by iOrdinal");
    ASSERT_EQ(2u, left.size());
    EXPECT_EQ(std::to_string(today), left[0][0]);
    EXPECT_EQ(std::to_string(later), left[1][0]);
    EXPECT_EQ(1, TestDb_Count("t_reminddated"));  // acknowledgements stay

    FD_UPD_Remind(1, today);
    tagREMIND r = {};
    r.iOrdinal = today;
    EXPECT_EQ(1, FD_Del_Remind(1, &r));
    EXPECT_EQ(0, TestDb_Count("t_remind where iOrdinal = " + std::to_string(today)));
    EXPECT_EQ(0, TestDb_Count("t_reminddated where iRemind = " + std::to_string(today)));
    EXPECT_EQ(0u, TestBoxes_Count());
}
