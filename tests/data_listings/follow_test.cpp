// Follow-ups against the real server: stamping the listing's latest
// follow-up, the joined and per-listing lists, changing, retiring into the
// recycle bin, hostile texts.
#include "tests/data_listings/listings_support.h"

#include <cstring>

namespace {

class FollowUps : public testing::Test {
protected:
    void SetUp() override { Listings_Reset(); }
};

int AddHouse(int iEst, const char* room)
{
    tagHOUSE h = NewHouse(iEst, "1", room);
    EXPECT_EQ(1, FD_Ist_Hou(1, &h));
    return h.iOrdinal;
}

int Write(int iHou, int iCli, const char* content, const char* when = nullptr)
{
    tagFOLLOW f = NewFollow(iHou, iCli, content);
    EXPECT_EQ(1, FD_Ist_Follow(1, &f));
    if (when)
        TestDb_Exec(std::string("update t_follow set dtFollow = '") + when + "' where iOrdinal = " + std::to_string(f.iOrdinal));
    return f.iOrdinal;
}

} // namespace

TEST_F(FollowUps, WritingStampsTheListingWithExactlyItsTime)
{
    int house = AddHouse(1, "101");
    TestDb_Exec("update t_house set dtFollow = date_sub(now(), interval 40 day)");
    tagFOLLOW f = NewFollow(house, 0, "已带客户看房");
    ASSERT_EQ(1, FD_Ist_Follow(4, &f));
    ASSERT_NE(0, f.iOrdinal);
    std::string key = std::to_string(f.iOrdinal);
    std::string stored = TestDb_Scalar("select dtFollow from t_follow where iOrdinal = " + key);
    EXPECT_EQ(stored, f.dtFollow);
    EXPECT_EQ(stored, TestDb_Scalar("select dtFollow from t_house where iOrdinal = " + std::to_string(house)));
    auto log = TestDb_Query("select iAct, iObjType, iOpEmp from t_log where iObjType = 7 and iObjID = " + key);
    ASSERT_EQ(1u, log.size());
    EXPECT_EQ((std::vector<std::string>{"3", "7", "4"}), log[0]);

    tagHOUSE* p = nullptr;
    int n = 0;
    ASSERT_NE(nullptr, FD_Sct_Hou(1, &p, &n, "", 0, nullptr, nullptr));
    ASSERT_EQ(1, n);
    EXPECT_EQ(0, p[0].iDaysUnfollowed);
    EXPECT_STREQ(f.dtFollow, p[0].dtFollow);
    Mem_Free_Hou(p);

    tagCLIENT c = NewClient("t1", "");
    ASSERT_EQ(1, FD_Ist_Cli(1, &c));
    tagFOLLOW cf = NewFollow(0, c.iOrdinal, "预算可再提高");
    ASSERT_EQ(1, FD_Ist_Follow(1, &cf));
    EXPECT_EQ(cf.dtFollow, TestDb_Scalar("select dtFollow from t_client where iOrdinal = " + std::to_string(c.iOrdinal)));
    EXPECT_EQ("8", TestDb_Scalar("select iObjType from t_log where iObjID = " + std::to_string(cf.iOrdinal) + " and iAct = 3"));
}

TEST_F(FollowUps, JoinedHouseListFiltersByEstateNewestFirst)
{
    int h1 = AddHouse(11, "101"), h2 = AddHouse(11, "102"), other = AddHouse(12, "101");
    int a = Write(h1, 0, "a", "2024-03-01 10:00:00");
    int b = Write(h2, 0, "b", "2024-03-03 10:00:00");
    int c = Write(h1, 0, "c", "2024-03-02 10:00:00");
    Write(other, 0, "elsewhere");
    tagCLIENT cl = NewClient("t9", "");
    ASSERT_EQ(1, FD_Ist_Cli(1, &cl));
    int cf = Write(0, cl.iOrdinal, "client");
    TestDb_Exec("update t_client set szLevel = 'A级' where iOrdinal = " + std::to_string(cl.iOrdinal));

    tagFOLLOW* p = nullptr;
    int n = 0;
    ASSERT_NE(nullptr, FD_Sct_F(&p, &n, " iEst = 11 ", FOLLOW_KIND_HOUSE, 0));
    ASSERT_EQ(3, n);
    EXPECT_EQ(b, p[0].iOrdinal);
    EXPECT_EQ(c, p[1].iOrdinal);
    EXPECT_EQ(a, p[2].iOrdinal);
    EXPECT_EQ(h2, p[0].iHou);
    EXPECT_EQ(0, p[0].iCli);
    EXPECT_EQ(11, p[0].iEst);
    EXPECT_STREQ("1", p[0].szBuildNO);
    EXPECT_STREQ("102", p[0].szHouseNO);
    EXPECT_STREQ("出售", p[0].szTrade);
    EXPECT_STREQ("电话", p[0].szWay);
    EXPECT_STREQ("2024-03-03 10:00:00", p[0].dtFollow);
    EXPECT_EQ(0, p[n].iOrdinal);
    Mem_Free_Follow(p);

    p = nullptr;
    n = 0;
    ASSERT_NE(nullptr, FD_Sct_F(&p, &n, "", FOLLOW_KIND_CLIENT, 0));
    ASSERT_EQ(1, n);
    EXPECT_EQ(cf, p[0].iOrdinal);
    EXPECT_EQ(cl.iOrdinal, p[0].iCli);
    EXPECT_STREQ("王芳", p[0].szCliMan);
    EXPECT_STREQ("A级", p[0].szLevel);
    EXPECT_STREQ("求购", p[0].szTrade);
    Mem_Free_Follow(p);

    // Retired follow-ups come in their own key order (both tables have one).
    TestDb_Exec("update t_follow set bRecyle = 1 where iOrdinal in (" + std::to_string(b) + "," + std::to_string(a) + ")");
    p = nullptr;
    n = 0;
    ASSERT_NE(nullptr, FD_Sct_F(&p, &n, "", FOLLOW_KIND_HOUSE, 1));
    ASSERT_EQ(2, n);
    EXPECT_EQ(a, p[0].iOrdinal);
    EXPECT_EQ(b, p[1].iOrdinal);
    Mem_Free_Follow(p);

    // A rejected filter leaves the outputs alone.
    p = nullptr;
    n = 5;
    EXPECT_EQ(nullptr, FD_Sct_F(&p, &n, " nosuchcolumn = 1 ", FOLLOW_KIND_HOUSE, 0));
    EXPECT_EQ(nullptr, p);
    EXPECT_EQ(5, n);
}

TEST_F(FollowUps, PerListingListHoldsOnlyThatListingsLiveOnes)
{
    int h1 = AddHouse(1, "1"), h2 = AddHouse(1, "2");
    int older = Write(h1, 0, "older", "2024-01-01 08:00:00");
    int newer = Write(h1, 0, "newer", "2024-01-02 08:00:00");
    int retired = Write(h1, 0, "retired", "2024-01-03 08:00:00");
    Write(h2, 0, "other house");
    int cf = Write(0, 99, "client");
    TestDb_Exec("update t_follow set bRecyle = 1 where iOrdinal = " + std::to_string(retired));

    tagFOLLOW* p = nullptr;
    int n = 0;
    ASSERT_NE(nullptr, FD_Sct_Follow(&p, h1, 0, &n, nullptr));
    ASSERT_EQ(2, n);
    EXPECT_EQ(newer, p[0].iOrdinal);
    EXPECT_EQ(older, p[1].iOrdinal);
    EXPECT_EQ(h1, p[1].iHou);
    EXPECT_STREQ("older", p[1].szContent);
    Mem_Free_Follow(p);

    ASSERT_NE(nullptr, FD_Sct_Follow(&p, 0, 99, &n, nullptr));
    ASSERT_EQ(1, n);
    EXPECT_EQ(cf, p[0].iOrdinal);
    Mem_Free_Follow(p);

    ASSERT_NE(nullptr, FD_Sct_Follow(&p, 0, 0, &n, nullptr));
    EXPECT_EQ(4, n);
    Mem_Free_Follow(p);
}

TEST_F(FollowUps, ChangingAndRetiringOneFollowUp)
{
    int house = AddHouse(1, "1");
    tagFOLLOW first = NewFollow(house, 0, "first");
    ASSERT_EQ(1, FD_Ist_Follow(1, &first));
    TestDb_Exec("update t_follow set dtFollow = date_sub(dtFollow, interval 1 day) where iOrdinal = " +
                std::to_string(first.iOrdinal));
    tagFOLLOW newest = NewFollow(house, 0, "newest");
    ASSERT_EQ(1, FD_Ist_Follow(1, &newest));
    std::string stamp = TestDb_Scalar("select dtFollow from t_house");

    // Way and content change; time, writer and listing do not.
    tagFOLLOW changed = first;
    FillHostile(changed.szWay);
    FillHostile(changed.szContent);
    changed.iEmp = 9;
    ASSERT_EQ(1, FD_Upd_Follow(2, &first, &changed));
    tagFOLLOW* p = nullptr;
    int n = 0;
    ASSERT_NE(nullptr, FD_Sct_Follow(&p, house, 0, &n, nullptr));
    ASSERT_EQ(2, n);
    EXPECT_STREQ(changed.szWay, p[1].szWay);
    EXPECT_STREQ(HostileText().c_str(), p[1].szContent);
    EXPECT_EQ(1, p[1].iEmp);
    EXPECT_STREQ(first.dtFollow, TestDb_Scalar("select date_add(dtFollow, interval 1 day) from t_follow where iOrdinal = " +
                                               std::to_string(first.iOrdinal)).c_str());
    Mem_Free_Follow(p);
    EXPECT_EQ("2", TestDb_Scalar("select iAct from t_log where iObjType = 7 and iOpEmp = 2"));

    // Retiring the newest leaves the listing's stamp; the recycle bin
    // indexes it as a house follow-up.
    ASSERT_EQ(1, FD_Del_Follow(3, &newest));
    EXPECT_EQ(0u, TestBoxes_Count());
    EXPECT_EQ(stamp, TestDb_Scalar("select dtFollow from t_house"));
    EXPECT_EQ("1", TestDb_Scalar("select bRecyle from t_follow where iOrdinal = " + std::to_string(newest.iOrdinal)));
    auto rec = TestDb_Query("select iObjType, iObjOrdinal, iEmp from t_recyle");
    ASSERT_EQ(1u, rec.size());
    EXPECT_EQ((std::vector<std::string>{"7", std::to_string(newest.iOrdinal), "3"}), rec[0]);
    EXPECT_EQ(1, TestDb_Count("t_log where iAct = 1 and iObjType = 7"));

    tagCLIENT c = NewClient("t1", "");
    ASSERT_EQ(1, FD_Ist_Cli(1, &c));
    tagFOLLOW cf = NewFollow(0, c.iOrdinal, "client");
    ASSERT_EQ(1, FD_Ist_Follow(1, &cf));
    ASSERT_EQ(1, FD_Del_Follow(3, &cf));
    EXPECT_EQ(1, TestDb_Count("t_recyle where iObjType = 8 and iObjOrdinal = " + std::to_string(cf.iOrdinal)));

    // Retiring a whole listing's follow-ups indexes each one retired.
    tagHOUSE h = {};
    h.iOrdinal = house;
    ASSERT_EQ(1, FD_C_F_Hou(1, &h));
    EXPECT_EQ(3, TestDb_Count("t_recyle"));
    EXPECT_EQ(1, TestDb_Count("t_recyle where iObjType = 7 and iObjOrdinal = " + std::to_string(first.iOrdinal)));
}

// Two desks changing one follow-up from lists each loaded before the other's
// save: the later stores nothing and is told what the other desk changed.
TEST_F(FollowUps, AChangeFromAListLoadedBeforeAnotherDesksChangeIsRefused)
{
    int house = AddHouse(1, "1");
    int key = Write(house, 0, "first");
    auto load = [&]() {
        tagFOLLOW* p = nullptr;
        int n = 0;
        EXPECT_NE(nullptr, FD_Sct_Follow(&p, house, 0, &n, nullptr));
        EXPECT_EQ(1, n);
        tagFOLLOW r = p[0];
        Mem_Free_Follow(p);
        return r;
    };
    tagFOLLOW deskA = load(), deskB = load();
    tagFOLLOW a = deskA, b = deskB;
    strcpy(a.szContent, "desk A");
    strcpy(b.szWay, "电话");
    ASSERT_EQ(1, FD_Upd_Follow(1, &deskA, &a));
    EXPECT_EQ(1, a.iVersion);
    long long logs = TestDb_Count("t_log");
    EXPECT_EQ(0, FD_Upd_Follow(1, &deskB, &b));
    auto boxes = TestBoxes_Taken();
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ("其他用户同时修改了同一数据,这次操作没有保存,请刷新后再试.\n\n其他用户修改了: 跟进内容", boxes[0].text);
    EXPECT_EQ("修改失败", boxes[0].caption);
    TestBoxes_Reset();
    EXPECT_EQ((std::vector<std::string>{"desk A", deskA.szWay}),
              TestDb_Query("select szContent, coalesce(szWay, '') from t_follow where iOrdinal = " + std::to_string(key))[0]);
    EXPECT_EQ(logs, TestDb_Count("t_log"));
    tagFOLLOW a2 = a;
    strcpy(a2.szWay, "上门");
    ASSERT_EQ(1, FD_Upd_Follow(1, &a, &a2));
    EXPECT_EQ(0u, TestBoxes_Count());
    EXPECT_EQ(2, load().iVersion);
}

TEST_F(FollowUps, HostileWayAndContentRoundTrip)
{
    int house = AddHouse(2, "1");
    tagFOLLOW f = NewFollow(house, 0, "");
    FillHostile(f.szWay);
    FillHostile(f.szContent);
    ASSERT_EQ(1, FD_Ist_Follow(1, &f));
    EXPECT_EQ(HostileText(), TestDb_Scalar("select szContent from t_follow"));
    tagFOLLOW* p = nullptr;
    int n = 0;
    ASSERT_NE(nullptr, FD_Sct_F(&p, &n, "", FOLLOW_KIND_HOUSE, 0));
    ASSERT_EQ(1, n);
    EXPECT_STREQ(f.szWay, p[0].szWay);
    EXPECT_STREQ(f.szContent, p[0].szContent);
    EXPECT_STREQ(f.dtFollow, p[0].dtFollow);
    Mem_Free_Follow(p);
}
