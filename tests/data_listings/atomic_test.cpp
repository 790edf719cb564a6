// Changes of several statements against the real server, cut off half-way:
// the library's connection is killed (or the server stopped) while one of
// its statements waits at a gate; the change is then stored whole or not at
// all, the caller is told which, and saving again works.
#include "tests/data_listings/listings_support.h"

#include <algorithm>
#include <cstring>

namespace {

class AllOrNothing : public testing::Test {
protected:
    void SetUp() override { Listings_Reset(); }
};

std::string Str(int i) { return std::to_string(i); }

int InsertId(const std::string& sql)
{
    TestDb_Exec(sql);
    return atoi(TestDb_Scalar("select LAST_INSERT_ID()").c_str());
}

// The one box shown since the last reset, and a reset.
void ExpectBox(const char* text, const char* caption = "操作失败")
{
    TestBoxes_ExpectOne(text, caption, 0, 0);
}

const char kRecycleFailed[] = "写入回收站失败, 数据未删除";

} // namespace

TEST_F(AllOrNothing, AListingInsertCutOffStoresNothingAndSavingAgainIsNotADuplicate)
{
    {
        tagHOUSE h = NewHouse(3, "2", "201");
        Gate gate("t_house", "update");   // after the key-row insert
        // Another thread's change meanwhile waits for the library: it must
        // not land inside the insert's transaction (and go with it).
        tagREMIND rem = {};
        rem.iHou = 1;
        strcpy(rem.dRemind, ServerDay(1).c_str());
        Worker other;
        other.call = [&] { return FD_Ist_Remind(1, &rem); };
        int r = CutAtGate(gate, [&] { return FD_Ist_Hou(1, &h); }, [&](const std::string& id) {
            Worker_Start(other);
            Sleep(500);
            EXPECT_EQ(0, TestDb_Count("t_remind")) << "it waits for the transaction";
            TestDb_Exec("kill connection " + id);
        });
        EXPECT_EQ(0, r);
        EXPECT_EQ(1, Worker_Join(other));
        EXPECT_EQ(0, h.iOrdinal);
        EXPECT_STREQ("", h.szHouseNum);
        ExpectBox("保存失败,房源没有保存,可以再次保存.");
        EXPECT_EQ(0, TestDb_Count("t_house"));
        EXPECT_EQ(0, TestDb_Count("t_log"));
        EXPECT_EQ(1, TestDb_Count("t_remind"));
    }
    tagHOUSE again = NewHouse(3, "2", "201");
    ASSERT_EQ(1, FD_Ist_Hou(1, &again));
    EXPECT_EQ(0u, TestBoxes_Count()) << "the connection comes back without a word";
    EXPECT_EQ(1, TestDb_Count("t_house where szTrade = '出售' and iOrdinal = " + Str(again.iOrdinal)));
    EXPECT_EQ(1, TestDb_Count("t_log where iAct = 3 and iObjType = 0"));
    // The session is not left inside a transaction: a single statement of
    // the library is seen by others at once.
    FD_UPD_Remind(1, 78);
    EXPECT_EQ(1, TestDb_Count("t_reminddated where iRemind = 78"));

    // The same with the server killed, for a client.
    {
        tagCLIENT c = NewClient("13900000001", "");
        strcpy(c.szClientNum, "typed");
        Gate gate("t_client", "update");
        // The server itself is killed there (a stop would let the change
        // finish first) and started again.
        int r = CutAtGate(gate, [&] { return FD_Ist_Cli(1, &c); }, [](const std::string&) {
            KillServer();
            TestDb_ServerStart();
        });
        EXPECT_EQ(0, r);
        EXPECT_EQ(0, c.iOrdinal);
        EXPECT_STREQ("typed", c.szClientNum);
        ExpectBox("保存失败,客源没有保存,可以再次保存.");
        EXPECT_EQ(0, TestDb_Count("t_client"));
    }
    tagCLIENT c = NewClient("13900000001", "");
    ASSERT_EQ(1, FD_Ist_Cli(1, &c));
    EXPECT_EQ(1, TestDb_Count("t_client where szTrade = '求购'"));
    EXPECT_EQ(0u, TestBoxes_Count());
}

// Every kind the recycle bin holds: a deletion whose entry is cut off
// deletes nothing; the next attempt deletes, indexes and logs it.
TEST_F(AllOrNothing, ASoftDeleteAndItsRecycleEntryAreStoredTogether)
{
    int house = InsertId("insert into t_house (iEst, szBuildNO, szHouseNO) values (4, '1', '1')");
    int client = InsertId("insert into t_client (szCliTel) values ('x1')");
    struct Kind {
        const char* table;
        int type;
        int key;
        std::function<int(int)> del;   // deletes the key as operator 6
    } kinds[] = {
        {"t_house", 0, house, [](int k) { tagHOUSE h = {}; h.iOrdinal = k; return FD_Del_Hou(6, &h); }},
        {"t_client", 1, client, [](int k) { tagCLIENT c = {}; c.iOrdinal = k; return FD_Del_Cli(6, &c); }},
        {"t_estate", 2, InsertId("insert into t_estate (szEstate, iUrban) values ('半途苑', 0)"),
         [](int k) { tagESTATE e = {}; e.iOrdinal = k; return FD_Del_Est(6, &e); }},
        {"t_branch", 3, InsertId("insert into t_branch (szBr) values ('半途店')"),
         [](int k) { tagBRANCH b = {}; b.iOrdinal = k; return FD_Del_Br(6, &b); }},
        {"t_employee", 4, InsertId("insert into t_employee (szEmp, iBr) values ('半途', 1)"),
         [](int k) { tagEMPLOYEE e = {}; e.iOrdinal = k; return FD_Del_Emp(6, &e); }},
        {"t_position", 5, InsertId("insert into t_position (szPST) values ('半途')"),
         [](int k) { tagPostion p = {}; p.iOrdinal = k; return FD_Del_Pst(6, &p); }},
        {"t_urban", 6, InsertId("insert into t_urban (iParentIndex, szUrban) values (0, '半途市')"),
         [](int k) { tagCITY c = {}; c.iOrdinal = k; return FD_DEL_CITY(6, &c); }},
        {"t_urban", 6, InsertId("insert into t_urban (iParentIndex, szUrban) values (99999, '半途区')"),
         [](int k) { tagURBAN u = {}; u.iOrdinal = k; return FD_DEL_URBAN(6, &u); }},
        {"t_district", 11, InsertId("insert into t_district (iParentIndex, szDistrict) values (1, '半途片')"),
         [](int k) { tagDISTRICT d = {}; d.iOrdinal = k; return FD_DEL_DISTRICT(6, &d); }},
        {"t_follow", 7, InsertId("insert into t_follow (iHou, szContent) values (" + Str(house) + ", 'h')"),
         [](int k) { tagFOLLOW f = NewFollow(1, 0, ""); f.iOrdinal = k; return FD_Del_Follow(6, &f); }},
        {"t_follow", 8, InsertId("insert into t_follow (iCli, szContent) values (" + Str(client) + ", 'c')"),
         [](int k) { tagFOLLOW f = NewFollow(0, 1, ""); f.iOrdinal = k; return FD_Del_Follow(6, &f); }},
    };
    // Follow-ups first: a listing with live follow-ups cannot be deleted.
    std::rotate(std::begin(kinds), std::begin(kinds) + 9, std::end(kinds));
    for (const Kind& k : kinds) {
        SCOPED_TRACE(std::string(k.table) + " type " + Str(k.type));
        std::string row = std::string(k.table) + " where iOrdinal = " + Str(k.key);
        {
            Gate gate("t_recyle", "insert");
            EXPECT_EQ(0, CutAtGate(gate, [&] { return k.del(k.key); }));
        }
        ExpectBox(kRecycleFailed);
        EXPECT_EQ(1, TestDb_Count(row + " and bRecyle = 0")) << "not deleted";
        EXPECT_EQ(0, TestDb_Count("t_recyle where iObjOrdinal = " + Str(k.key) + " and iObjType = " + Str(k.type)));

        ASSERT_EQ(1, k.del(k.key));
        EXPECT_EQ(0u, TestBoxes_Count());
        EXPECT_EQ(1, TestDb_Count(row + " and bRecyle = 1"));
        EXPECT_EQ(1, TestDb_Count("t_recyle where iEmp = 6 and iObjOrdinal = " + Str(k.key) + " and iObjType = " +
                                  Str(k.type)));
        // Districts have no log rows.
        EXPECT_EQ(k.type == 11 ? 0 : 1, TestDb_Count("t_log where iAct = 1 and iOpEmp = 6 and iObjID = " +
                                                     Str(k.key) + " and iObjType = " + Str(k.type)));
    }
}

TEST_F(AllOrNothing, TheLogRowOfAChangeIsStoredWithIt)
{
    tagHOUSE h = NewHouse(5, "1", "101");
    ASSERT_EQ(1, FD_Ist_Hou(1, &h));
    TestDb_Exec("delete from t_log");
    {
        Gate gate("t_log", "insert");
        tagHOUSE dearer = h;
        dearer.iSales = 999;
        EXPECT_EQ(0, CutAtGate(gate, [&] { return FD_Upd_Hou(2, &h, &dearer); }));
        ExpectBox("修改没有保存: 数据服务器拒绝了这次修改, 错误原因查看错误日志文件.", "");
        EXPECT_EQ(0, CutAtGate(gate, [&] { return FD_Del_Hou(2, &h); }));
        ExpectBox("异常错误,错误原因查看错误日志文件.");
        tagESTATE e = {};
        strcpy(e.szEstate, "日志苑");
        e.iUrban = 1;
        EXPECT_EQ(0, CutAtGate(gate, [&] { return FD_Ist_Est(2, &e); }));
        ExpectBox("增加数据出错", "");
        EXPECT_EQ(0, e.iOrdinal);
    }
    EXPECT_EQ(0, TestDb_Count("t_log"));
    EXPECT_EQ(1, TestDb_Count("t_house where iSales = 320 and bRecyle = 0"));
    EXPECT_EQ(0, TestDb_Count("t_recyle"));
    EXPECT_EQ(0, TestDb_Count("t_estate where szEstate = '日志苑'"));

    // Taking a deleted house out of the recycle bin: the house back and its
    // entry gone, or neither.  (It comes back to its estate.)
    TestDb_Exec("insert into t_estate (iOrdinal, szEstate) values (" + std::to_string(h.iEst) +
                ", '还原苑') on duplicate key update bRecyle = 0");
    ASSERT_EQ(1, FD_Del_Hou(2, &h));
    tagRECY entry = {};
    entry.iOrdinal = atoi(TestDb_Scalar("select iOrdinal from t_recyle").c_str());
    entry.iObjOrdinal = h.iOrdinal;
    {
        Gate gate("t_recyle", "delete");
        EXPECT_EQ(0, CutAtGate(gate, [&] { return FD_Recover_Recyle(2, &entry, 0); }));
        ExpectBox("还原数据,发生未知错误");
    }
    EXPECT_EQ(1, TestDb_Count("t_house where bRecyle = 1"));
    EXPECT_EQ(1, TestDb_Count("t_recyle"));
    ASSERT_EQ(1, FD_Recover_Recyle(2, &entry, 0));
    EXPECT_EQ(1, TestDb_Count("t_house where bRecyle = 0"));
    EXPECT_EQ(0, TestDb_Count("t_recyle"));
}

TEST_F(AllOrNothing, AFollowUpCutOffIsNotStoredSoSavingAgainStoresItOnce)
{
    tagHOUSE h = NewHouse(6, "1", "101");
    ASSERT_EQ(1, FD_Ist_Hou(1, &h));
    TestDb_Exec("update t_house set dtFollow = '2024-01-02 03:04:05'");
    tagFOLLOW f = NewFollow(h.iOrdinal, 0, "业主在家");
    {
        Gate gate("t_house", "update");   // stamping the house's follow-up time
        EXPECT_EQ(0, CutAtGate(gate, [&] { return FD_Ist_Follow(1, &f); }));
    }
    ExpectBox("保存失败,跟进没有保存,可以再次保存.");
    EXPECT_EQ(0, f.iOrdinal);
    EXPECT_EQ(0, TestDb_Count("t_follow"));
    EXPECT_EQ("2024-01-02 03:04:05", TestDb_Scalar("select dtFollow from t_house"));
    ASSERT_EQ(1, FD_Ist_Follow(1, &f));
    EXPECT_EQ(1, TestDb_Count("t_follow"));
    EXPECT_EQ(TestDb_Scalar("select dtFollow from t_follow"), TestDb_Scalar("select dtFollow from t_house"));

    // With its reminder: both or neither.
    tagREMIND rem = {};
    rem.iCli = 0;
    rem.iHou = h.iOrdinal;
    rem.iBr = 1;
    rem.iEmp = 1;
    strcpy(rem.dRemind, ServerDay(1).c_str());
    strcpy(rem.szContent, "再约看房");
    tagFOLLOW g = NewFollow(h.iOrdinal, 0, "约了明天");
    {
        Gate gate("t_remind", "insert");
        EXPECT_EQ(0, CutAtGate(gate, [&] { return FD_Ist_FollowRemind(1, &g, &rem); }));
    }
    ExpectBox("保存失败,跟进和提醒都没有保存,可以再次保存.");
    EXPECT_EQ(0, g.iOrdinal);
    EXPECT_EQ(0, rem.iOrdinal);
    EXPECT_EQ(1, TestDb_Count("t_follow"));
    EXPECT_EQ(0, TestDb_Count("t_remind"));
    ASSERT_EQ(1, FD_Ist_FollowRemind(1, &g, &rem));
    EXPECT_EQ(0u, TestBoxes_Count());
    EXPECT_EQ(1, TestDb_Count("t_follow where szContent = '约了明天' and iOrdinal = " + Str(g.iOrdinal)));
    EXPECT_EQ(1, TestDb_Count("t_remind where szContent = '再约看房' and iOrdinal = " + Str(rem.iOrdinal)));
    EXPECT_EQ(g.dtFollow, TestDb_Scalar("select dtFollow from t_house"));
    EXPECT_EQ(2, TestDb_Count("t_log where iAct = 3 and iObjType = 7"));
}

TEST_F(AllOrNothing, RetiringAListingsFollowUpsBinsAndLogsEachOne)
{
    tagHOUSE h = NewHouse(7, "1", "101"), other = NewHouse(7, "1", "102");
    ASSERT_EQ(1, FD_Ist_Hou(1, &h));
    ASSERT_EQ(1, FD_Ist_Hou(1, &other));
    tagCLIENT c = NewClient("t7", "");
    ASSERT_EQ(1, FD_Ist_Cli(1, &c));
    for (const char* text : {"一", "二"}) {
        tagFOLLOW f = NewFollow(h.iOrdinal, 0, text);
        ASSERT_EQ(1, FD_Ist_Follow(1, &f));
        tagFOLLOW cf = NewFollow(0, c.iOrdinal, text);
        ASSERT_EQ(1, FD_Ist_Follow(1, &cf));
    }
    tagFOLLOW kept = NewFollow(other.iOrdinal, 0, "别的房");
    ASSERT_EQ(1, FD_Ist_Follow(1, &kept));
    tagFOLLOW gone = NewFollow(h.iOrdinal, 0, "早已删除");
    ASSERT_EQ(1, FD_Ist_Follow(1, &gone));
    ASSERT_EQ(1, FD_Del_Follow(1, &gone));
    TestDb_Exec("delete from t_log where iAct = 1");
    TestDb_Exec("delete from t_recyle");
    std::string hou = "t_follow where iHou = " + Str(h.iOrdinal);

    {
        Gate gate("t_recyle", "insert");
        EXPECT_EQ(0, CutAtGate(gate, [&] { return FD_C_F_Hou(5, &h); }));
    }
    ExpectBox(kRecycleFailed);
    EXPECT_EQ(2, TestDb_Count(hou + " and bRecyle = 0"));
    EXPECT_EQ(0, TestDb_Count("t_recyle"));
    EXPECT_EQ(0, TestDb_Count("t_log where iAct = 1"));

    ASSERT_EQ(1, FD_C_F_Hou(5, &h));
    EXPECT_EQ(0, TestDb_Count(hou + " and bRecyle = 0"));
    EXPECT_EQ(1, TestDb_Count("t_follow where bRecyle = 0 and iHou = " + Str(other.iOrdinal)));
    EXPECT_EQ(2, TestDb_Count("t_follow where bRecyle = 0 and iCli = " + Str(c.iOrdinal)));
    // Exactly the two retired now: one entry and one log row each.
    const std::string now = " in (select iOrdinal from " + hou + " and iOrdinal <> " + Str(gone.iOrdinal) + ")";
    EXPECT_EQ(2, TestDb_Count("t_recyle where iObjType = 7 and iEmp = 5 and iObjOrdinal" + now));
    EXPECT_EQ(2, TestDb_Count("t_log where iAct = 1 and iObjType = 7 and iOpEmp = 5 and iObjID" + now));
    EXPECT_EQ(2, TestDb_Count("t_recyle"));
    EXPECT_EQ(0u, TestBoxes_Count());
    // Nothing left to retire is no failure.
    ASSERT_EQ(1, FD_C_F_Hou(5, &h));
    EXPECT_EQ(2, TestDb_Count("t_recyle"));

    ASSERT_EQ(1, FD_C_F_Hou(5, &c));
    EXPECT_EQ(0, TestDb_Count("t_follow where bRecyle = 0 and iCli = " + Str(c.iOrdinal)));
    EXPECT_EQ(2, TestDb_Count("t_recyle where iObjType = 8 and iEmp = 5"));
    EXPECT_EQ(2, TestDb_Count("t_log where iAct = 1 and iObjType = 8 and iOpEmp = 5"));
    // The house can go now.
    EXPECT_EQ(1, FD_Del_Hou(5, &h));
}

// The commit is sent and the connection breaks before its answer: the
// library cannot know whether it was stored, and says so.
TEST_F(AllOrNothing, ACommitWhoseAnswerIsLostIsReportedAsUnknown)
{
    // The binary log's group commit holds every commit for a while.
    DbFix_HoldCommits();
    tagHOUSE h = NewHouse(8, "1", "101");
    Worker w;
    w.call = [&] { return FD_Ist_Hou(1, &h); };
    Worker_Start(w);
    DbFix_KillAtCommit(200);
    int r = Worker_Join(w);
    DbFix_ReleaseCommits();
    EXPECT_EQ(0, r);
    ExpectBox("与数据服务器的连接在提交时中断,无法确认操作是否完成,请刷新后查看.");
    // Whichever it was, it was all or nothing.
    DbFix_CommitSettled();
    long long houses = TestDb_Count("t_house where szTrade = '出售'");
    EXPECT_EQ(houses, TestDb_Count("t_house"));
    EXPECT_EQ(houses, TestDb_Count("t_log where iAct = 3 and iObjType = 0"));
}
