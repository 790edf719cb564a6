// House listings against the real server: the load's two shapes and the
// expiring-listings probe, the 5000-row limit and its order, duplicates on
// insert and update, deletion guarded by live follow-ups, hostile texts and
// empty dates.
#include "tests/data_listings/listings_support.h"
#include "db/dbtool.h"

#include <cstdlib>
#include <cstring>

namespace {

class Houses : public testing::Test {
protected:
    void SetUp() override { Listings_Reset(); }
    void TearDown() override { SqlLog_Stop(); }
};

int AddHouse(int iEst, const char* build, const char* room)
{
    tagHOUSE h = NewHouse(iEst, build, room);
    EXPECT_EQ(1, FD_Ist_Hou(1, &h));
    return h.iOrdinal;
}

const tagHOUSE* Find(const tagHOUSE* p, int n, int key)
{
    for (int i = 0; i < n; ++i)
        if (p[i].iOrdinal == key)
            return &p[i];
    return nullptr;
}

bool AllZero(const void* p, size_t cb)
{
    const unsigned char* b = static_cast<const unsigned char*>(p);
    for (size_t i = 0; i < cb; ++i)
        if (b[i])
            return false;
    return true;
}

} // namespace

TEST_F(Houses, UnfilteredLiveLoadCountsDaysAndProbesExpiringListings)
{
    int stale = AddHouse(1, "1", "101");
    int fresh = AddHouse(1, "1", "102");
    int sold = AddHouse(1, "1", "103");
    TestDb_Exec("update t_house set dtFollow = date_sub(now(), interval 10 day) where iOrdinal in (" +
                std::to_string(stale) + "," + std::to_string(sold) + ")");
    TestDb_Exec("update t_house set dtFollow = now() where iOrdinal = " + std::to_string(fresh));
    TestDb_Exec("update t_house set szTrade = '已售' where iOrdinal = " + std::to_string(sold));

    SqlLog_Start();
    tagHOUSE* p = nullptr;
    int n = -1, expiring = -7;
    unsigned char remind[2] = {7, 30};
    ASSERT_NE(nullptr, FD_Sct_Hou(1, &p, &n, "", 0, &expiring, remind));
    ASSERT_EQ(3, n);
    EXPECT_EQ(10, Find(p, n, stale)->iDaysUnfollowed);
    EXPECT_EQ(0, Find(p, n, fresh)->iDaysUnfollowed);
    EXPECT_EQ(1, expiring);
    auto loads = SqlLog_Find("select iOrdinal, dtFollow");
    ASSERT_EQ(1u, loads.size());
    EXPECT_NE(std::string::npos, loads[0].find(", DATEDIFF(CURDATE() ,dtFollow) from t_house where  bRecyle = 0 order by"));
    // The probe goes to the server in the same batch, after the list.
    EXPECT_TRUE(SqlLog_Find("select iOrdinal from t_house").empty());
    EXPECT_NE(std::string::npos,
              loads[0].find(" limit 0, 5000;select iOrdinal from t_house where  bRecyle = 0 and (szTrade = '租售' or "
                            "szTrade='出租' or szTrade='出售') and (DATE_SUB(CURDATE(),INTERVAL 7 DAY) >= dtFollow and "
                            "DATE_SUB(CURDATE(),INTERVAL 30 DAY) <= dtFollow) limit 0, 1"))
        << loads[0];
    Mem_Free_Hou(p);

    // Last followed 10 days ago is beyond a REMIND2 of 9: nothing expiring.
    remind[1] = 9;
    expiring = -7;
    p = FD_Sct_Hou(1, &p, &n, "", 0, &expiring, remind);
    EXPECT_EQ(0, expiring);
    Mem_Free_Hou(p);
    // Without REMIND2 only the lower bound counts; a sold listing never does.
    TestDb_Exec("update t_house set dtFollow = now() where iOrdinal = " + std::to_string(stale));
    remind[1] = 0;
    p = FD_Sct_Hou(1, &p, &n, "", 0, &expiring, remind);
    EXPECT_EQ(0, expiring);
    Mem_Free_Hou(p);

    // REMIND1 0, a missing flag or thresholds: the load alone.
    SqlLog_Start();
    remind[0] = 0;
    expiring = -7;
    p = FD_Sct_Hou(1, &p, &n, "", 0, &expiring, remind);
    Mem_Free_Hou(FD_Sct_Hou(1, &p, &n, "", 0, nullptr, remind));
    Mem_Free_Hou(FD_Sct_Hou(1, &p, &n, "", 0, &expiring, nullptr));
    EXPECT_EQ(-7, expiring);
    EXPECT_TRUE(SqlLog_Find("select iOrdinal from t_house").empty());
    for (const std::string& load : SqlLog_Find("select iOrdinal, dtFollow"))
        EXPECT_EQ(std::string::npos, load.find("limit 0, 1")) << load;
    EXPECT_EQ(0u, TestBoxes_Count());
}

TEST_F(Houses, FilteredOrRecycleLoadsHaveNoDaysAndNoProbe)
{
    int key = AddHouse(3, "2", "201");
    TestDb_Exec("update t_house set dtFollow = date_sub(now(), interval 12 day)");
    unsigned char remind[2] = {7, 30};

    SqlLog_Start();
    tagHOUSE* p = nullptr;
    int n = 0, expiring = -7;
    ASSERT_NE(nullptr, FD_Sct_Hou(1, &p, &n, " iEst = 3 ", 0, &expiring, remind));
    ASSERT_EQ(1, n);
    EXPECT_EQ(key, p[0].iOrdinal);
    EXPECT_EQ(0, p[0].iDaysUnfollowed);
    Mem_Free_Hou(p);
    ASSERT_NE(nullptr, FD_Sct_Hou(1, &p, &n, "", 1, &expiring, remind));
    EXPECT_EQ(0, n);
    Mem_Free_Hou(p);
    EXPECT_EQ(-7, expiring);

    auto loads = SqlLog_Find("select iOrdinal, dtFollow");
    ASSERT_EQ(2u, loads.size());
    for (auto& s : loads)
        EXPECT_EQ(std::string::npos, s.find("DATEDIFF")) << s;
    EXPECT_NE(std::string::npos, loads[0].find("szHouseStruct from t_house where  bRecyle = 0 and ( iEst = 3 ) order by dDelegate desc"));
    EXPECT_NE(std::string::npos, loads[1].find("where  bRecyle = 1 order by iOrdinal asc limit 0, 5000"));
    EXPECT_TRUE(SqlLog_Find("select iOrdinal from t_house").empty());
}

TEST_F(Houses, LoadsAtMost5000NewestCommissionFirstAndRecycleInKeyOrder)
{
    // 5003 live houses with distinct commission dates, 3 in the recycle bin.
    std::string sql = "insert into t_house (iEst, szBuildNO, szHouseNO, szTrade, dDelegate, bRecyle) values ";
    for (int i = 0; i < 5006; ++i) {
        if (i)
            sql += ",";
        sql += "(" + std::to_string(1 + i % 7) + ",'" + std::to_string(i / 7) + "','" + std::to_string(i) + "','出售',"
               "date_add('2010-01-01', interval " + std::to_string(i) + " day)," + (i % 1000 == 1 && i < 3000 ? "1" : "0") + ")";
    }
    TestDb_Exec(sql);
    ASSERT_EQ(5003, TestDb_Count("t_house where bRecyle = 0"));

    tagHOUSE* p = nullptr;
    int n = 0;
    ASSERT_NE(nullptr, FD_Sct_Hou(1, &p, &n, "", 0, nullptr, nullptr));
    ASSERT_EQ(5000, n);
    EXPECT_EQ(TestDb_Scalar("select max(dDelegate) from t_house where bRecyle = 0"), p[0].dDelegate);
    for (int i = 1; i < n; ++i)
        ASSERT_GE(strcmp(p[i - 1].dDelegate, p[i].dDelegate), 0) << i;
    // The three oldest live commissions are the ones left out.
    EXPECT_EQ(TestDb_Scalar("select dDelegate from t_house where bRecyle = 0 order by dDelegate limit 3, 1"), p[n - 1].dDelegate);
    EXPECT_TRUE(AllZero(p + n, sizeof(tagHOUSE) * 101));
    Mem_Free_Hou(p);

    // The next, smaller load (which may reuse the released memory) has its
    // own rows and clean free slots.
    ASSERT_NE(nullptr, FD_Sct_Hou(1, &p, &n, " iEst <> 1 ", 0, nullptr, nullptr));
    ASSERT_EQ(TestDb_Count("t_house where bRecyle = 0 and iEst <> 1"), n);
    for (int i = 0; i < n; ++i)
        ASSERT_NE(1, p[i].iEst) << i;
    EXPECT_TRUE(AllZero(p + n, sizeof(tagHOUSE) * 101));
    Mem_Free_Hou(p);

    ASSERT_NE(nullptr, FD_Sct_Hou(1, &p, &n, "", 1, nullptr, nullptr));
    ASSERT_EQ(3, n);
    EXPECT_LT(p[0].iOrdinal, p[1].iOrdinal);
    EXPECT_LT(p[1].iOrdinal, p[2].iOrdinal);
    Mem_Free_Hou(p);
}

TEST_F(Houses, NoRowsStillGives101FreeSlots)
{
    tagHOUSE* p = reinterpret_cast<tagHOUSE*>(1);
    int n = 9;
    tagHOUSE* r = FD_Sct_Hou(1, &p, &n, " szTrade = 'none' ", 0, nullptr, nullptr);
    ASSERT_NE(nullptr, r);
    EXPECT_EQ(r, p);
    EXPECT_EQ(0, n);
    EXPECT_TRUE(AllZero(r, sizeof(tagHOUSE) * 101));
    Mem_Free_Hou(r);
    Mem_Free_Hou(nullptr);
}

TEST_F(Houses, InsertNumbersRefusesDuplicatesEvenRecycledOrPurged)
{
    tagHOUSE h = NewHouse(5, "3", "301");
    ASSERT_EQ(1, FD_Ist_Hou(1, &h));
    char expect[16];
    snprintf(expect, sizeof expect, "%08d", h.iOrdinal);
    EXPECT_STREQ(expect, h.szHouseNum);
    EXPECT_EQ(expect, TestDb_Scalar("select szHouseNum from t_house where iOrdinal = " + std::to_string(h.iOrdinal)));
    EXPECT_EQ("3", TestDb_Scalar("select iAct from t_log where iObjType = 0 and iObjID = " + std::to_string(h.iOrdinal)));
    EXPECT_EQ("住宅", TestDb_Scalar("select szHouseType from t_house where iOrdinal = " + std::to_string(h.iOrdinal)));

    tagHOUSE typed = NewHouse(5, "3", "302");
    strcpy(typed.szHouseNum, "FY-0042");
    ASSERT_EQ(1, FD_Ist_Hou(1, &typed));
    EXPECT_STREQ("FY-0042", typed.szHouseNum);
    EXPECT_EQ(0u, TestBoxes_Count());

    TestDb_Exec("update t_house set bRecyle = 1 where iOrdinal = " + std::to_string(h.iOrdinal));
    TestDb_Exec("update t_house set bRecyle = 1, bDeleted = 1 where iOrdinal = " + std::to_string(typed.iOrdinal));
    for (const char* room : {"301", "302"}) {
        TestBoxes_Reset();
        tagHOUSE again = NewHouse(5, "3", room);
        EXPECT_EQ(0, FD_Ist_Hou(1, &again));
        EXPECT_EQ(0, again.iOrdinal);
        auto boxes = TestBoxes_Taken();
        ASSERT_EQ(1u, boxes.size());
        EXPECT_EQ("重复 ", boxes[0].text);
        EXPECT_EQ("", boxes[0].caption);
        EXPECT_EQ((UINT)MB_OK, boxes[0].flags & MB_TYPEMASK);
    }
    EXPECT_EQ(2, TestDb_Count("t_house"));
}

TEST_F(Houses, UpdateRefusesAnotherHousesNumbersAndAcceptsItsOwn)
{
    tagHOUSE a = NewHouse(6, "1", "101"), b = NewHouse(6, "1", "102");
    ASSERT_EQ(1, FD_Ist_Hou(1, &a));
    ASSERT_EQ(1, FD_Ist_Hou(1, &b));
    TestDb_Exec("update t_house set dtUpdate = '2020-01-01 00:00:00'");

    tagHOUSE moved = b;
    strcpy(moved.szHouseNO, "101");
    moved.iSales = 999;
    EXPECT_EQ(0, FD_Upd_Hou(1, &b, &moved));
    auto boxes = TestBoxes_Taken();
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ("楼盘名称,栋号,房号,有重复,或原始数据被其他用户删除", boxes[0].text);
    EXPECT_EQ("修改失败", boxes[0].caption);
    EXPECT_EQ("102", TestDb_Scalar("select szHouseNO from t_house where iOrdinal = " + std::to_string(b.iOrdinal)));
    EXPECT_EQ("320", TestDb_Scalar("select iSales from t_house where iOrdinal = " + std::to_string(b.iOrdinal)));

    TestBoxes_Reset();
    tagHOUSE same = b;
    same.iSales = 350;
    strcpy(same.szHouseType, "别墅");  // not rewritten by an update
    ASSERT_EQ(1, FD_Upd_Hou(1, &b, &same));
    EXPECT_EQ(0u, TestBoxes_Count());
    std::string key = std::to_string(b.iOrdinal);
    EXPECT_EQ(TestDb_Scalar("select dtUpdate from t_house where iOrdinal = " + key), same.dtUpdate);
    EXPECT_STRNE("2020-01-01 00:00:00", same.dtUpdate);
    EXPECT_EQ("350", TestDb_Scalar("select iSales from t_house where iOrdinal = " + key));
    EXPECT_EQ("住宅", TestDb_Scalar("select szHouseType from t_house where iOrdinal = " + key));
    EXPECT_EQ("2", TestDb_Scalar("select iAct from t_log where iObjType = 0 and iObjID = " + key + " order by iOrdinal desc limit 1"));

    // A house that is gone cannot be updated either.
    tagHOUSE ghost = b;
    ghost.iOrdinal = 424242;
    EXPECT_EQ(0, FD_Upd_Hou(1, &ghost, &same));
    EXPECT_EQ(1u, TestBoxes_Count());
}

// Two desks open the same house; the later save finds the earlier one and
// stores nothing, saying what the other desk changed; a transfer of the
// agent counts as a change too.  Reloaded, the house saves again.
TEST_F(Houses, ASaveFromAFormLoadedBeforeAnotherDesksSaveIsRefusedAndNamesTheirChange)
{
    tagHOUSE h = NewHouse(7, "3", "301");
    ASSERT_EQ(1, FD_Ist_Hou(1, &h));
    std::string key = std::to_string(h.iOrdinal);
    auto load = [&]() {
        tagHOUSE* p = nullptr;
        int n = 0;
        EXPECT_NE(nullptr, FD_Sct_Hou(1, &p, &n, (" iOrdinal = " + key).c_str(), 0, nullptr, nullptr));
        EXPECT_EQ(1, n);
        tagHOUSE r = p[0];
        Mem_Free_Hou(p);
        return r;
    };
    tagHOUSE deskA = load(), deskB = load();
    EXPECT_EQ(0, deskA.iVersion);

    tagHOUSE a = deskA;
    a.iSales = 400;
    ASSERT_EQ(1, FD_Upd_Hou(1, &deskA, &a));
    EXPECT_EQ(1, a.iVersion);
    tagHOUSE b = deskB;
    strcpy(b.szRemark, "desk B's remark");
    long long logs = TestDb_Count("t_log where iObjType = 0 and iObjID = " + key);
    EXPECT_EQ(0, FD_Upd_Hou(1, &deskB, &b));
    auto boxes = TestBoxes_Taken();
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ("其他用户同时修改了同一数据,这次操作没有保存,请刷新后再试.\n\n其他用户修改了: 售价", boxes[0].text);
    EXPECT_EQ("修改失败", boxes[0].caption);
    EXPECT_EQ("400", TestDb_Scalar("select iSales from t_house where iOrdinal = " + key));
    EXPECT_EQ("", TestDb_Scalar("select coalesce(szRemark, '') from t_house where iOrdinal = " + key));
    EXPECT_EQ(logs, TestDb_Count("t_log where iObjType = 0 and iObjID = " + key));

    // Desk A's form goes on from what it saved.
    TestBoxes_Reset();
    tagHOUSE a2 = a;
    a2.iRent = 3000;
    ASSERT_EQ(1, FD_Upd_Hou(1, &a, &a2));
    EXPECT_EQ(0u, TestBoxes_Count());

    // The agent's houses handed to another employee: the open form is stale.
    TestDb_Exec("insert into t_employee (iOrdinal, szEmp, iBr) values (90, 'from', 1), (91, 'to', 1);"
                "update t_house set iEmp = 90 where iOrdinal = " + key);
    tagHOUSE open = load();
    tagTRANSFER counts;
    memset(&counts, 0, sizeof counts);
    ASSERT_EQ(1, FD_Transfer_Emp(1, 90, 91, 1, &counts));
    TestBoxes_Reset();
    tagHOUSE edit = open;
    edit.iSales = 1;
    EXPECT_EQ(0, FD_Upd_Hou(1, &open, &edit));
    boxes = TestBoxes_Taken();
    ASSERT_EQ(1u, boxes.size());
    EXPECT_NE(std::string::npos, boxes[0].text.find("其他用户修改了: 登记员工")) << boxes[0].text;
    EXPECT_EQ("91", TestDb_Scalar("select iEmp from t_house where iOrdinal = " + key));

    // Reloaded, the save goes through.
    TestBoxes_Reset();
    tagHOUSE fresh = load(), mine = fresh;
    mine.iSales = 1;
    ASSERT_EQ(1, FD_Upd_Hou(1, &fresh, &mine));
    EXPECT_EQ("1", TestDb_Scalar("select iSales from t_house where iOrdinal = " + key));
    EXPECT_EQ("91", TestDb_Scalar("select iEmp from t_house where iOrdinal = " + key));
}

TEST_F(Houses, DeleteNeedsTheFollowUpsRetiredFirst)
{
    tagHOUSE h = NewHouse(7, "9", "901");
    ASSERT_EQ(1, FD_Ist_Hou(1, &h));
    tagFOLLOW f = {};
    f.iHou = h.iOrdinal;
    f.iEmp = 1;
    f.iBr = 1;
    strcpy(f.szWay, "电话");
    strcpy(f.szContent, "业主同意降价");
    ASSERT_EQ(1, FD_Ist_Follow(1, &f));
    // A client follow-up that retiring the house's follow-ups must not touch.
    TestDb_Exec("insert into t_follow (iHou, iCli, szContent) values (0, 55, 'client')");

    EXPECT_EQ(0, FD_Del_Hou(1, &h));
    auto boxes = TestBoxes_Taken();
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ("错误原因:\n\n1.该房源有写跟进,不能直接删除\n\n2.已被其它用户删除", boxes[0].text);
    EXPECT_EQ("操作失败", boxes[0].caption);
    EXPECT_EQ(0, TestDb_Count("t_recyle"));

    tagHOUSE slot = {};
    EXPECT_EQ(0, FD_C_F_Hou(1, &slot));  // a free slot retires nothing
    EXPECT_EQ(1, FD_C_F_Hou(1, &h));
    EXPECT_EQ(0, TestDb_Count("t_follow where bRecyle = 0 and iHou = " + std::to_string(h.iOrdinal)));
    EXPECT_EQ(1, TestDb_Count("t_follow where bRecyle = 0 and iCli = 55"));
    // The retired follow-up waits in the recycle bin like a deleted one.
    EXPECT_EQ(1, TestDb_Count("t_recyle where iObjType = 7 and iObjOrdinal = " + std::to_string(f.iOrdinal)));

    TestBoxes_Reset();
    EXPECT_EQ(1, FD_Del_Hou(3, &h));
    EXPECT_EQ(0u, TestBoxes_Count());
    std::string key = std::to_string(h.iOrdinal);
    EXPECT_EQ("1", TestDb_Scalar("select bRecyle from t_house where iOrdinal = " + key));
    auto rec = TestDb_Query("select iObjType, iObjOrdinal, iEmp from t_recyle where iObjType = 0");
    ASSERT_EQ(1u, rec.size());
    EXPECT_EQ((std::vector<std::string>{"0", key, "3"}), rec[0]);
    // The deletion is in the operation log; the refused attempt is not.
    EXPECT_EQ(1, TestDb_Count("t_log where iAct = 1 and iObjType = 0 and iObjID = " + key));
}

TEST_F(Houses, HostileTextInEveryFieldRoundTrips)
{
    tagHOUSE h = NewHouse(8, "", "");
    FillHostile(h.szRingArea);
    FillHostile(h.szDist);
    FillHostile(h.szBuildNO);
    FillHostile(h.szHouseNO);
    FillHostile(h.szFloor);
    FillHostile(h.szRoomType);
    FillHostile(h.szToward);
    FillHostile(h.szDecoration);
    FillHostile(h.szLayout);
    FillHostile(h.szStatusquo);
    FillHostile(h.szLook);
    FillHostile(h.szSign);
    FillHostile(h.szMortgage);
    FillHostile(h.szPark);
    FillHostile(h.szTrade);
    FillHostile(h.szHouseNum);
    FillHostile(h.szBuildType);
    FillHostile(h.szBuildStruct);
    FillHostile(h.szHouseType);
    FillHostile(h.szHouseStruct);
    FillHostile(h.szLinkMan);
    FillHostile(h.szLinkTel);
    FillHostile(h.szOwnerMan);
    FillHostile(h.szOwnerTel);
    FillHostile(h.szCitizen);
    FillHostile(h.szHPC);
    FillHostile(h.szPPTSource);
    FillHostile(h.szRemark);
    ASSERT_EQ(1, FD_Ist_Hou(1, &h));
    EXPECT_EQ(HostileText(), TestDb_Scalar("select szRemark from t_house"));
    EXPECT_EQ(1, TestDb_Count("t_log where iObjType = 0"));

    // A duplicate of hostile numbers is still recognised.
    tagHOUSE dup = h;
    EXPECT_EQ(0, FD_Ist_Hou(1, &dup));

    tagHOUSE* p = nullptr;
    int n = 0;
    ASSERT_NE(nullptr, FD_Sct_Hou(1, &p, &n, "", 0, nullptr, nullptr));
    ASSERT_EQ(1, n);
    tagHOUSE got = p[0];
    Mem_Free_Hou(p);
    // Everything the load reads comes back byte for byte.
    tagHOUSE want = h;
    strcpy(want.dtUpdate, got.dtUpdate);
    want.iBed = want.iLiving = want.iBath = 0;  // not read by loads
    EXPECT_EQ(0, memcmp(&want, &got, sizeof want));
    EXPECT_STREQ(h.szLinkTel, got.szLinkTel);
    EXPECT_STREQ(h.szHouseNO, got.szHouseNO);

    // The update writes every field just as safely.
    tagHOUSE upd = got;
    upd.iSales = 1;
    ASSERT_EQ(1, FD_Upd_Hou(1, &got, &upd));
    EXPECT_EQ(HostileText(), TestDb_Scalar("select szOwnerMan from t_house"));
    EXPECT_EQ("1", TestDb_Scalar("select count(*) from information_schema.tables where table_schema = database() and table_name = 't_log'"));
}

TEST_F(Houses, EmptyDatesLoadEmptyAndLongTextsAreCutAtWholeCharacters)
{
    tagHOUSE h = NewHouse(9, "1", "1");
    h.dBuy[0] = '\0';
    strcpy(h.dRent, "0000-00-00");  // what the edit dialog writes for no date
    ASSERT_EQ(1, FD_Ist_Hou(1, &h));
    std::string key = std::to_string(h.iOrdinal);
    EXPECT_EQ("0000-00-00", TestDb_Scalar("select dBuy from t_house where iOrdinal = " + key));
    // 30 Chinese characters in a field of 26 bytes: 12 whole characters remain.
    std::string longName;
    for (int i = 0; i < 30; ++i)
        longName += "张";
    TestDb_Exec("update t_house set szLinkMan = '" + longName + "' where iOrdinal = " + key);

    tagHOUSE* p = nullptr;
    int n = 0;
    ASSERT_NE(nullptr, FD_Sct_Hou(1, &p, &n, "", 0, nullptr, nullptr));
    ASSERT_EQ(1, n);
    EXPECT_STREQ("", p[0].dBuy);
    EXPECT_STREQ("", p[0].dRent);
    EXPECT_STREQ(h.dDelegate, p[0].dDelegate);
    EXPECT_STREQ("", p[0].dtFollow);
    EXPECT_EQ(0, p[0].iDaysUnfollowed);
    EXPECT_EQ(longName.substr(0, 24), p[0].szLinkMan);
    Mem_Free_Hou(p);
}

// A list reads into the block the previous list released: every record
// comes out as if the block were new, numbers exactly as the C library
// reads the server's texts.
TEST_F(Houses, AListReadIntoAReleasedBlockHoldsOnlyWhatItRead)
{
    tagHOUSE h = NewHouse(9, "1", "1");
    ASSERT_EQ(1, FD_Ist_Hou(1, &h));
    std::string key = std::to_string(h.iOrdinal);
    TestDb_Exec("update t_house set szRemark = repeat('x', 250), szLinkMan = '张张张张张张张张张张张张' where iOrdinal = " +
                key);
    tagHOUSE* p = nullptr;
    int n = 0;
    ASSERT_NE(nullptr, FD_Sct_Hou(1, &p, &n, "", 0, nullptr, nullptr));
    ASSERT_EQ(1, n);
    EXPECT_EQ(250u, strlen(p[0].szRemark));
    // Scribbled over, as a window may leave a record, then released.
    memset(&p[1], 0x5A, sizeof(tagHOUSE) * 3);
    Mem_Free_Hou(p);

    TestDb_Exec("update t_house set szRemark = 'y', szLinkMan = '张', iSales = -123, iRent = 2147483647,"
                " dbBuildArea = 1234567890.12, dbRentAve = 0.07 where iOrdinal = " + key);
    p = nullptr;
    ASSERT_NE(nullptr, FD_Sct_Hou(1, &p, &n, "", 0, nullptr, nullptr));
    ASSERT_EQ(1, n);
    EXPECT_STREQ("y", p[0].szRemark);
    EXPECT_TRUE(AllZero(p[0].szRemark + 1, sizeof(p[0].szRemark) - 1));
    EXPECT_STREQ("张", p[0].szLinkMan);
    EXPECT_TRUE(AllZero(p[0].szLinkMan + 2, sizeof(p[0].szLinkMan) - 2));
    EXPECT_EQ(-123, p[0].iSales);
    EXPECT_EQ(2147483647, p[0].iRent);
    auto text = TestDb_Query("select dbBuildArea, dbRentAve from t_house where iOrdinal = " + key);
    ASSERT_EQ(1u, text.size());
    EXPECT_EQ(strtod(text[0][0].c_str(), nullptr), p[0].dbBuildArea);
    EXPECT_EQ(strtod(text[0][1].c_str(), nullptr), p[0].dbRentAve);
    for (int i = 1; i <= 101; ++i)
        EXPECT_TRUE(AllZero(&p[i], sizeof(tagHOUSE))) << "spare record " << i;
    Mem_Free_Hou(p);
}

TEST_F(Houses, ServerErrorsAreRecordedAndReported)
{
    tagHOUSE h = NewHouse(1, "1", "1");
    ASSERT_EQ(1, FD_Ist_Hou(1, &h));
    size_t errors = ErrLogCount();
    TestDb_Exec("rename table t_house to t_house_away");
    tagHOUSE* p = reinterpret_cast<tagHOUSE*>(1);
    int n = 3;
    EXPECT_EQ(nullptr, FD_Sct_Hou(1, &p, &n, "", 0, nullptr, nullptr));
    EXPECT_EQ(nullptr, p);
    EXPECT_EQ(0, n);
    tagHOUSE other = h;
    EXPECT_EQ(0, FD_Upd_Hou(1, &h, &other));
    EXPECT_EQ(0, FD_Del_Hou(1, &h));
    tagHOUSE fresh = NewHouse(1, "1", "2");
    EXPECT_EQ(0, FD_Ist_Hou(1, &fresh));
    EXPECT_EQ(0, fresh.iOrdinal);
    TestDb_Exec("rename table t_house_away to t_house");
    EXPECT_EQ(errors + 4, ErrLogCount());
    auto boxes = TestBoxes_Taken();
    ASSERT_EQ(3u, boxes.size());
    EXPECT_EQ("修改没有保存: 数据服务器拒绝了这次修改, 错误原因查看错误日志文件.", boxes[0].text);
    EXPECT_EQ("", boxes[0].caption);
    EXPECT_EQ("异常错误,错误原因查看错误日志文件.", boxes[1].text);
    EXPECT_EQ("操作失败", boxes[1].caption);
    // An insert that could not even look for a duplicate says so too.
    EXPECT_EQ("保存失败,房源没有保存,可以再次保存.", boxes[2].text);
    EXPECT_EQ("操作失败", boxes[2].caption);
}

// Every text of the record filled to its last byte without a terminating
// NUL, each with its own letter: the row gets each field whole and nothing
// of the field after it.
TEST_F(Houses, FieldsFilledToTheBrimAreWrittenWholeAndAlone)
{
    tagHOUSE h = NewHouse(1, "1", "101");
    const BrimText texts[] = {
        {h.szRingArea, sizeof h.szRingArea, "szRingArea"}, {h.szDist, sizeof h.szDist, "szDist"},
        {h.szBuildNO, sizeof h.szBuildNO, "szBuildNO"}, {h.szHouseNO, sizeof h.szHouseNO, "szHouseNO"},
        {h.szFloor, sizeof h.szFloor, "szFloor"}, {h.szRoomType, sizeof h.szRoomType, "szRoomType"},
        {h.szToward, sizeof h.szToward, "szToward"}, {h.szDecoration, sizeof h.szDecoration, "szDecoration"},
        {h.szLayout, sizeof h.szLayout, "szLayout"}, {h.szStatusquo, sizeof h.szStatusquo, "szStatusquo"},
        {h.szLook, sizeof h.szLook, "szLook"}, {h.szSign, sizeof h.szSign, "szSign"},
        {h.szMortgage, sizeof h.szMortgage, "szMortgage"}, {h.szPark, sizeof h.szPark, "szPark"},
        {h.szTrade, sizeof h.szTrade, "szTrade"}, {h.szHouseNum, sizeof h.szHouseNum, "szHouseNum"},
        {h.szBuildType, sizeof h.szBuildType, "szBuildType"}, {h.szBuildStruct, sizeof h.szBuildStruct, "szBuildStruct"},
        {h.szHouseType, sizeof h.szHouseType, "szHouseType"}, {h.szHouseStruct, sizeof h.szHouseStruct, "szHouseStruct"},
        {h.szLinkMan, sizeof h.szLinkMan, "szLinkMan"}, {h.szLinkTel, sizeof h.szLinkTel, "szLinkTel"},
        {h.szOwnerTel, sizeof h.szOwnerTel, "szOwnerTel"}, {h.szCitizen, sizeof h.szCitizen, "szCitizen"},
        {h.szPPTSource, sizeof h.szPPTSource, "szPPTSource"}, {h.szRemark, sizeof h.szRemark, "szRemark"},
    };
    const size_t count = sizeof texts / sizeof texts[0];
    FillToBrim(texts, count);
    ASSERT_EQ(1, FD_Ist_Hou(1, &h));
    ExpectBrimRow("t_house", h.iOrdinal, texts, count);
}

namespace {

// Keys of a list select run with every house list index set aside: the
// server then reads the table and sorts, the plain meaning of the statement.
std::vector<std::string> KeysWithoutListIndexes(const std::string& where)
{
    std::vector<std::string> keys;
    for (auto& r : TestDb_Query("select iOrdinal from t_house ignore index (ix_house_list, ix_house_est_list,"
                                " ix_house_emp_list, ix_house_br_list, ix_house_trade, ix_house_sale, ix_house_rent) where bRecyle = 0 and (" +
                                where + ") order by dDelegate desc, dtFollow desc, dtUpdate desc limit 0, 5000"))
        keys.push_back(r[0]);
    return keys;
}

std::string IndexColumns(const char* name)
{
    return TestDb_Scalar("select group_concat(concat(column_name, if(collation = 'D', ' DESC', '')) order by"
                         " seq_in_index separator ', ') from information_schema.statistics where table_schema ="
                         " database() and table_name = 't_house' and index_name = '" + std::string(name) + "'");
}

}  // namespace

// The list's indexes are stored newest first and carry the filtered
// columns; whichever of them the server reads, a filtered load returns the
// rows and the order of the statement read without them: more than 5000
// matches cut at the same row, houses never followed up (a NULL follow-up
// time) after those followed up on the same commission day, the recycle bin
// left out.
TEST_F(Houses, FilteredLoadsListTheSameRowsInTheSameOrderWhateverIndexIsRead)
{
    TestDb_Exec("insert into t_house (iEst, iEmp, iBr, szBuildNO, szHouseNO, szTrade, iSales, iRent, dbBuildArea, iBed,"
                " dDelegate, dtFollow, dtUpdate, bRecyle) select 1 + seq % 5, 1 + seq % 4, 1 + seq % 2, seq div 100,"
                " seq, elt(1 + seq % 4, '出售', '出租', '租售', '已售'), seq % 400, seq % 6000, 40 + seq % 100,"
                " seq % 5, date_sub('2026-12-01', interval seq % 60 day), if(seq % 7 = 0, null,"
                " date_sub('2026-12-01 12:00:00', interval seq minute)), date_sub('2026-12-01 12:00:00', interval"
                " seq second), seq % 97 = 0 from seq_0_to_13999");
    const char* filters[] = {
        "1 = 1",
        "(szTrade = '出售' or szTrade =  '租售') and iSales >= 100 and iSales<= 300",
        "(szTrade = '出租' or szTrade =  '租售') and iRent >= 2000 and iRent<= 5000",
        " ((iSales >= 1 and iSales <= 300) or (iRent >= 1 and iRent <= 300))",
        "(szTrade = '出售' or szTrade =  '租售') and dbBuildArea >= 80 and dbBuildArea <= 120 and iBed >= 2 and iBed <= 3",
        "(szTrade = '已售')",
        " ( iEst = 3)",
        " iBr = 2",
        "(szTrade = '出售' or szTrade =  '租售') and iEmp = 3",
        " dDelegate >= '2026-11-20' and dDelegate <= '2026-11-25 23:59:59'",
    };
    for (const char* f : filters) {
        std::vector<std::string> want = KeysWithoutListIndexes(f);
        tagHOUSE* p = nullptr;
        int n = 0;
        ASSERT_NE(nullptr, FD_Sct_Hou(1, &p, &n, f, 0, nullptr, nullptr)) << f;
        std::vector<std::string> got;
        for (int i = 0; i < n; ++i)
            got.push_back(std::to_string(p[i].iOrdinal));
        Mem_Free_Hou(p);
        EXPECT_EQ(want, got) << f;
        EXPECT_GT(want.size(), 100u) << f;
    }
    EXPECT_EQ(5000u, KeysWithoutListIndexes("1 = 1").size());
}

// A database whose house list indexes were made by an earlier schema gets
// the current ones from the set-up tool's upgrade, as a new one has them.
TEST_F(Houses, UpgradeRebuildsTheListIndexesOfAnEarlierSchema)
{
    const char* names[] = {"ix_house_list", "ix_house_est_list", "ix_house_emp_list", "ix_house_br_list",
                           "ix_house_trade"};
    std::vector<std::string> fresh;
    for (const char* n : names)
        fresh.push_back(IndexColumns(n));
    EXPECT_EQ("bRecyle, dDelegate DESC, dtFollow DESC, dtUpdate DESC, szTrade, iSales, iRent, dbBuildArea, iBed, iBr,"
              " iEmp",
              fresh[0]);
    TestDb_Exec("alter table t_house drop index ix_house_list, add index ix_house_list (bRecyle, dDelegate, dtFollow,"
                " dtUpdate), drop index ix_house_emp_list, add index ix_house_emp (iEmp), drop index ix_house_trade,"
                " add index ix_house_trade (szTrade, bRecyle, dDelegate, dtFollow, dtUpdate)");
    std::string err;
    ASSERT_TRUE(DbTool_Upgrade(TestDb_Conn(), &err)) << err;
    for (size_t i = 0; i < sizeof names / sizeof names[0]; ++i)
        EXPECT_EQ(fresh[i], IndexColumns(names[i])) << names[i];
    EXPECT_EQ("<NULL>", IndexColumns("ix_house_emp"));
    ASSERT_TRUE(DbTool_Upgrade(TestDb_Conn(), &err)) << err;    // a current database is left as it is
    EXPECT_EQ(fresh[0], IndexColumns(names[0]));
}
