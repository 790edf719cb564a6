// Client demands against the real server: the telephone duplicate rule on
// insert and update (live and recycled rows, no telephone at all), the
// client number, range texts, deletion guarded by live follow-ups, hostile
// texts.
#include "tests/data_listings/listings_support.h"

#include <cstdio>
#include <cstring>

namespace {

class Clients : public testing::Test {
protected:
    void SetUp() override { Listings_Reset(); }
};

void ExpectOneBox(const char* text, const char* caption)
{
    TestBoxes_ExpectOne(text, caption, MB_OK, MB_TYPEMASK);
}

const char kDup[] = "客源电话, 联系电话 不允许重复 ";
const char kUpdDup[] = "联系电话,客源电话,证件号,有重复,或原始数据被其他用户删除";

} // namespace

TEST_F(Clients, TelephoneInUseByAnyClientIsRefusedOnInsert)
{
    tagCLIENT a = NewClient("c0a1", "l0a1");
    ASSERT_EQ(1, FD_Ist_Cli(1, &a));
    tagCLIENT b = NewClient("c0b1", "l0b1");
    ASSERT_EQ(1, FD_Ist_Cli(1, &b));
    TestDb_Exec("update t_client set bRecyle = 1 where iOrdinal = " + std::to_string(b.iOrdinal));
    EXPECT_EQ(0u, TestBoxes_Count());

    // Each telephone against each column, live row and recycled row.
    struct { const char* cli; const char* link; } clash[] = {
        {"l0a1", ""}, {"c0a1", ""}, {"", "l0a1"}, {"", "c0a1"},
        {"new1", "l0b1"}, {"c0b1", "new2"},
    };
    for (auto& c : clash) {
        tagCLIENT x = NewClient(c.cli, c.link);
        EXPECT_EQ(0, FD_Ist_Cli(1, &x)) << c.cli << "/" << c.link;
        EXPECT_EQ(0, x.iOrdinal);
        ExpectOneBox(kDup, "");
    }
    EXPECT_EQ(2, TestDb_Count("t_client"));

    tagCLIENT ok = NewClient("", "fresh");
    EXPECT_EQ(1, FD_Ist_Cli(1, &ok));
}

TEST_F(Clients, NoTelephoneAtAllIsRefusedWithoutAStatement)
{
    size_t errors = ErrLogCount();
    tagCLIENT x = NewClient("", "");
    EXPECT_EQ(0, FD_Ist_Cli(1, &x));
    ExpectOneBox(kDup, "");
    EXPECT_EQ(0, TestDb_Count("t_client"));

    tagCLIENT a = NewClient("c1", "");
    ASSERT_EQ(1, FD_Ist_Cli(1, &a));
    tagCLIENT bare = a;
    bare.szCliTel[0] = '\0';
    EXPECT_EQ(0, FD_Upd_Cli(1, &a, &bare));
    ExpectOneBox(kUpdDup, "修改失败");
    EXPECT_EQ("c1", TestDb_Scalar("select szCliTel from t_client"));
    EXPECT_EQ(errors, ErrLogCount());
}

TEST_F(Clients, ClientNumberIsAlwaysTheKey)
{
    tagCLIENT c = NewClient("111", "222");
    strcpy(c.szClientNum, "TYPED");
    ASSERT_EQ(1, FD_Ist_Cli(1, &c));
    char expect[16];
    snprintf(expect, sizeof expect, "%08d", c.iOrdinal);
    EXPECT_STREQ(expect, c.szClientNum);
    std::string key = std::to_string(c.iOrdinal);
    EXPECT_EQ(expect, TestDb_Scalar("select szClientNum from t_client where iOrdinal = " + key));
    EXPECT_EQ("3", TestDb_Scalar("select iAct from t_log where iObjType = 1 and iObjID = " + key));
}

TEST_F(Clients, UpdateRefusesAnotherClientsTelephoneAndKeepsItsOwn)
{
    tagCLIENT a = NewClient("ta", "la"), b = NewClient("tb", "lb");
    ASSERT_EQ(1, FD_Ist_Cli(1, &a));
    ASSERT_EQ(1, FD_Ist_Cli(1, &b));
    TestDb_Exec("update t_client set dtUpdate = '2020-01-01 00:00:00'");
    TestDb_Exec("update t_client set bRecyle = 1 where iOrdinal = " + std::to_string(a.iOrdinal));

    for (const char* tel : {"ta", "la"}) {
        tagCLIENT to = b;
        strcpy(to.szLinkTel, tel);
        EXPECT_EQ(0, FD_Upd_Cli(1, &b, &to)) << tel;
        ExpectOneBox(kUpdDup, "修改失败");
    }
    EXPECT_EQ("lb", TestDb_Scalar("select szLinkTel from t_client where iOrdinal = " + std::to_string(b.iOrdinal)));

    tagCLIENT same = b;
    same.iMaxBuy = 500;
    strcpy(same.szLevel, "A级");
    ASSERT_EQ(1, FD_Upd_Cli(1, &b, &same));
    EXPECT_EQ(0u, TestBoxes_Count());
    std::string key = std::to_string(b.iOrdinal);
    EXPECT_EQ("500", TestDb_Scalar("select iMaxBuy from t_client where iOrdinal = " + key));
    // The server keeps the update time; the record gets it back.
    std::string stamp = TestDb_Scalar("select dtUpdate from t_client where iOrdinal = " + key);
    EXPECT_NE("2020-01-01 00:00:00", stamp);
    EXPECT_EQ(stamp, same.dtUpdate);
    EXPECT_EQ("2", TestDb_Scalar("select iAct from t_log where iObjType = 1 and iObjID = " + key + " order by iOrdinal desc limit 1"));
}

// As for houses: the later of two forms of one client stores nothing and
// is told what the other desk changed; its own form goes on from its save.
TEST_F(Clients, ASaveFromAFormLoadedBeforeAnotherDesksSaveIsRefusedAndNamesTheirChange)
{
    tagCLIENT c = NewClient("v1", "");
    ASSERT_EQ(1, FD_Ist_Cli(1, &c));
    std::string key = std::to_string(c.iOrdinal);
    auto load = [&]() {
        tagCLIENT* p = nullptr;
        int n = 0;
        EXPECT_NE(nullptr, FD_Sct_Cli(1, &p, &n, (" iOrdinal = " + key).c_str(), 0));
        EXPECT_EQ(1, n);
        tagCLIENT r = p[0];
        Mem_Free_Cli(p);
        return r;
    };
    tagCLIENT deskA = load(), deskB = load();
    tagCLIENT a = deskA;
    a.iMaxBuy = 300;
    strcpy(a.szCliMan, "李雷");
    ASSERT_EQ(1, FD_Upd_Cli(1, &deskA, &a));
    tagCLIENT b = deskB;
    strcpy(b.szRemark, "desk B");
    EXPECT_EQ(0, FD_Upd_Cli(1, &deskB, &b));
    auto boxes = TestBoxes_Taken();
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ("其他用户同时修改了同一数据,这次操作没有保存,请刷新后再试.\n\n其他用户修改了: 客户姓名、购价", boxes[0].text);
    EXPECT_EQ("300", TestDb_Scalar("select iMaxBuy from t_client where iOrdinal = " + key));
    EXPECT_EQ("", TestDb_Scalar("select coalesce(szRemark, '') from t_client where iOrdinal = " + key));
    TestBoxes_Reset();
    tagCLIENT a2 = a;
    strcpy(a2.szRemark, "desk A");
    ASSERT_EQ(1, FD_Upd_Cli(1, &a, &a2));
    EXPECT_EQ(0u, TestBoxes_Count());
    EXPECT_EQ("2", TestDb_Scalar("select iVersion from t_client where iOrdinal = " + key));
}

TEST_F(Clients, LoadFillsRangesAndOrdersByFollowUp)
{
    tagCLIENT a = NewClient("1", ""), b = NewClient("2", ""), c = NewClient("3", "");
    a.iMinRent = 1500;
    a.iMaxRent = 3000;
    a.iMinArea = 60;
    a.iMaxArea = 90;
    a.iMinRoom = 2;
    a.iMaxRoom = 3;
    strcpy(a.dDelegate, "2024-05-06");
    for (tagCLIENT* x : {&a, &b, &c})
        ASSERT_EQ(1, FD_Ist_Cli(1, x));
    TestDb_Exec("update t_client set dtFollow = now() where iOrdinal = " + std::to_string(b.iOrdinal));
    TestDb_Exec("update t_client set dtFollow = date_sub(now(), interval 1 day) where iOrdinal = " + std::to_string(a.iOrdinal));
    TestDb_Exec("update t_client set bRecyle = 1 where iOrdinal = " + std::to_string(c.iOrdinal));

    tagCLIENT* p = nullptr;
    int n = 0;
    ASSERT_NE(nullptr, FD_Sct_Cli(1, &p, &n, "", 0));
    ASSERT_EQ(2, n);
    EXPECT_EQ(b.iOrdinal, p[0].iOrdinal);
    EXPECT_EQ(a.iOrdinal, p[1].iOrdinal);
    EXPECT_STREQ("100-200", p[1].szPurchaseRange);
    EXPECT_STREQ("1500-3000", p[1].szRentRange);
    EXPECT_STREQ("60-90", p[1].szAreaRange);
    EXPECT_STREQ("2-3", p[1].szRoomRange);
    EXPECT_STREQ("2024-05-06", p[1].dDelegate);
    EXPECT_STREQ("", p[0].dDelegate);  // no date given: none stored
    EXPECT_EQ(0, p[n].iOrdinal);
    Mem_Free_Cli(p);

    ASSERT_NE(nullptr, FD_Sct_Cli(1, &p, &n, " szCliTel = '3' ", 1));
    ASSERT_EQ(1, n);
    EXPECT_EQ(c.iOrdinal, p[0].iOrdinal);
    Mem_Free_Cli(p);
}

TEST_F(Clients, RangesOfExtremeBoundsAreWrittenWholeOrCutToTheirField)
{
    tagCLIENT a = NewClient("1", "");
    ASSERT_EQ(1, FD_Ist_Cli(1, &a));
    TestDb_Exec("update t_client set iMinBuy = -5, iMaxBuy = 2147483647, iMinRoom = -2147483648, iMaxRoom = 2147483647,"
                " iMinArea = 0, iMaxArea = 0 where iOrdinal = " + std::to_string(a.iOrdinal));
    tagCLIENT* p = nullptr;
    int n = 0;
    ASSERT_NE(nullptr, FD_Sct_Cli(1, &p, &n, "", 0));
    ASSERT_EQ(1, n);
    // "-2147483648-2147483647" does not fit the room range's 14 bytes.
    EXPECT_STREQ("-5-2147483647", p[0].szPurchaseRange);
    EXPECT_STREQ("0-0", p[0].szAreaRange);
    EXPECT_STREQ("-2147483648-2", p[0].szRoomRange);
    Mem_Free_Cli(p);
}

TEST_F(Clients, DeleteNeedsTheFollowUpsRetiredFirst)
{
    tagCLIENT c = NewClient("x1", "x2");
    ASSERT_EQ(1, FD_Ist_Cli(1, &c));
    tagFOLLOW f = {};
    f.iCli = c.iOrdinal;
    strcpy(f.szContent, "预算可再提高");
    ASSERT_EQ(1, FD_Ist_Follow(1, &f));
    TestDb_Exec("insert into t_follow (iHou, iCli, szContent) values (77, 0, 'house')");

    EXPECT_EQ(0, FD_Del_Cli(1, &c));
    ExpectOneBox("错误原因:\n\n1.该客源有写跟进,不能直接删除\n\n2.已被其它用户删除", "操作失败");
    tagCLIENT slot = {};
    EXPECT_EQ(0, FD_C_F_Hou(1, &slot));
    EXPECT_EQ(1, FD_C_F_Hou(1, &c));
    EXPECT_EQ(1, TestDb_Count("t_follow where bRecyle = 0 and iHou = 77"));
    // The retired follow-up waits in the recycle bin like a deleted one.
    EXPECT_EQ(1, TestDb_Count("t_recyle where iObjType = 8 and iObjOrdinal = " + std::to_string(f.iOrdinal)));
    EXPECT_EQ(1, FD_Del_Cli(2, &c));
    EXPECT_EQ(0u, TestBoxes_Count());
    std::string key = std::to_string(c.iOrdinal);
    auto rec = TestDb_Query("select iObjType, iObjOrdinal, iEmp from t_recyle where iObjType = 1");
    ASSERT_EQ(1u, rec.size());
    EXPECT_EQ((std::vector<std::string>{"1", key, "2"}), rec[0]);
    // The deletion is in the operation log; the refused attempt is not.
    EXPECT_EQ(1, TestDb_Count("t_log where iAct = 1 and iObjType = 1 and iObjID = " + key));
}

TEST_F(Clients, HostileTextInEveryFieldRoundTrips)
{
    tagCLIENT c = NewClient("", "");
    FillHostile(c.szTrade);
    FillHostile(c.szUrban);
    FillHostile(c.szHouseType);
    FillHostile(c.szFloor);
    FillHostile(c.szToward);
    FillHostile(c.szDecoration);
    FillHostile(c.szLayout);
    FillHostile(c.szLevel);
    FillHostile(c.szSource);
    FillHostile(c.szPayment);
    FillHostile(c.szAgencyFee);
    FillHostile(c.szUsage);
    FillHostile(c.szCliMan);
    FillHostile(c.szCliTel);
    FillHostile(c.szLinkMan);
    FillHostile(c.szCitizen);
    FillHostile(c.szDelegatePD);
    FillHostile(c.szRemark);
    strcpy(c.szLinkTel, "\xD5\x5C' or '1'='1");
    ASSERT_EQ(1, FD_Ist_Cli(1, &c));
    EXPECT_EQ(HostileText(), TestDb_Scalar("select szCliTel from t_client"));

    // The same hostile telephones are recognised as duplicates.
    tagCLIENT dup = c;
    EXPECT_EQ(0, FD_Ist_Cli(1, &dup));
    ExpectOneBox(kDup, "");

    tagCLIENT* p = nullptr;
    int n = 0;
    ASSERT_NE(nullptr, FD_Sct_Cli(1, &p, &n, "", 0));
    ASSERT_EQ(1, n);
    tagCLIENT got = p[0];
    Mem_Free_Cli(p);
    tagCLIENT want = c;
    strcpy(want.dtUpdate, got.dtUpdate);
    strcpy(want.szPurchaseRange, "100-200");
    strcpy(want.szRentRange, "0-0");
    strcpy(want.szAreaRange, "0-0");
    strcpy(want.szRoomRange, "0-0");
    EXPECT_EQ(0, memcmp(&want, &got, sizeof want));

    tagCLIENT upd = got;
    upd.iMinBuy = 1;
    ASSERT_EQ(1, FD_Upd_Cli(1, &got, &upd));
    EXPECT_EQ(HostileText(), TestDb_Scalar("select szRemark from t_client"));
    EXPECT_EQ(1, TestDb_Count("t_client"));
}

// An update whose record texts are filled to their last byte without a
// terminating NUL writes each field whole and nothing of the next one.
TEST_F(Clients, UpdateOfFieldsFilledToTheBrimWritesEachWholeAndAlone)
{
    tagCLIENT c = NewClient("13800000001", "");
    ASSERT_EQ(1, FD_Ist_Cli(1, &c));
    tagCLIENT n = c;
    const BrimText texts[] = {
        {n.szTrade, sizeof n.szTrade, "szTrade"}, {n.szUrban, sizeof n.szUrban, "szUrban"},
        {n.szHouseType, sizeof n.szHouseType, "szHouseType"}, {n.szFloor, sizeof n.szFloor, "szFloor"},
        {n.szToward, sizeof n.szToward, "szToward"}, {n.szDecoration, sizeof n.szDecoration, "szDecoration"},
        {n.szLayout, sizeof n.szLayout, "szLayout"}, {n.szLevel, sizeof n.szLevel, "szLevel"},
        {n.szSource, sizeof n.szSource, "szSource"}, {n.szPayment, sizeof n.szPayment, "szPayment"},
        {n.szAgencyFee, sizeof n.szAgencyFee, "szAgencyFee"}, {n.szUsage, sizeof n.szUsage, "szUsage"},
        {n.szCliTel, sizeof n.szCliTel, "szCliTel"}, {n.szLinkTel, sizeof n.szLinkTel, "szLinkTel"},
        {n.szCitizen, sizeof n.szCitizen, "szCitizen"}, {n.szDelegatePD, sizeof n.szDelegatePD, "szDelegatePD"},
        {n.szRemark, sizeof n.szRemark, "szRemark"},
    };
    const size_t count = sizeof texts / sizeof texts[0];
    FillToBrim(texts, count);
    ASSERT_EQ(1, FD_Upd_Cli(1, &c, &n));
    ExpectBrimRow("t_client", c.iOrdinal, texts, count);
}

namespace {

// 5,003 clients in one statement: 客1 followed first, 客5003 last.
void InsertManyClients(int bRecyle)
{
    const char digits[] = "(select 0 d union all select 1 union all select 2 union all select 3 union all select 4 "
                          "union all select 5 union all select 6 union all select 7 union all select 8 union all "
                          "select 9)";
    TestDb_Exec(std::string("insert into t_client (szTrade, szCliMan, dtFollow, bRecyle) select '求购', "
                            "concat('客', n), date_add('2020-01-01', interval n minute), ") +
                std::to_string(bRecyle) + " from (select a.d + 10 * b.d + 100 * c.d + 1000 * e.d + 1 as n from " +
                digits + " a, " + digits + " b, " + digits + " c, " + digits + " e) s where n <= 5003");
}

}  // namespace

// A bounded list (the client list, the recycle bin) reads the newest 5,000
// rows of its filter, in the list's own order, and says how many match; a
// caller that asks for no bound still gets every row.
TEST_F(Clients, ABoundedListReadsTheNewestAndCountsWhatTheFilterMatches)
{
    InsertManyClients(0);
    tagCLIENT* list = nullptr;
    int n = 0;
    long long matched = -1;
    ASSERT_NE(nullptr, FD_Sct_Cli(0, &list, &n, "", 0, &matched));
    EXPECT_EQ(5000, n);
    EXPECT_EQ(5003, matched);
    EXPECT_STREQ("客5003", list[0].szCliMan);      // followed last, listed first
    EXPECT_STREQ("客4", list[4999].szCliMan);
    Mem_Free_Cli(list);
    // A filter within the bound: every row it matches, and that count.
    ASSERT_NE(nullptr, FD_Sct_Cli(0, &list, &n, "szCliMan like '客1%'", 0, &matched));
    EXPECT_EQ(1 + 10 + 100 + 1000, n);
    EXPECT_EQ(n, matched);
    Mem_Free_Cli(list);
    ASSERT_NE(nullptr, FD_Sct_Cli(0, &list, &n, "", 0));
    EXPECT_EQ(5003, n);
    Mem_Free_Cli(list);

    // The same clients in the bin: the newest 5,000 entries, oldest first.
    TestDb_Exec("update t_client set bRecyle = 1");
    TestDb_Exec("insert into t_recyle (iObjType, iObjOrdinal, iEmp) select 1, iOrdinal, 1 from t_client "
                "order by iOrdinal");
    tagRECY* recy = nullptr;
    tagCLIENT* objs = nullptr;
    ASSERT_NE(nullptr, FD_Sct_Recy_Cli(&recy, &objs, &n, nullptr, &matched));
    EXPECT_EQ(5000, n);
    EXPECT_EQ(5003, matched);
    long long first = atoll(TestDb_Scalar("select min(iOrdinal) from t_recyle").c_str());
    EXPECT_EQ(first + 3, recy[0].iOrdinal);
    EXPECT_EQ(first + 5002, recy[4999].iOrdinal);
    EXPECT_STREQ("客4", objs[0].szCliMan);
    Mem_Free_Recyle(recy);
    Mem_Free_Cli(objs);
}
