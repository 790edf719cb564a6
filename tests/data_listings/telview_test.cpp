// The daily limit on viewing telephones, against the real server: views
// counted per employee, day and kind on the server (so another desk or a new
// connection sees the same count), refused at the limit with nothing
// written, serialised between two desks of one employee, and a view cut off
// half-way stores nothing.
#include "tests/data_listings/listings_support.h"
#include "db/dbtool.h"

#include <string>

namespace {

const int kSalesman = 7;

class TelView : public testing::Test {
protected:
    void SetUp() override
    {
        Listings_Reset();
        TestDb_Exec("truncate table t_telview");
    }
    static int House(const char* room = "101")
    {
        tagHOUSE h = NewHouse(3, "1", room);
        EXPECT_EQ(1, FD_Ist_Hou(1, &h));
        return h.iOrdinal;
    }
    static long long Views(int iEmp, int iType)
    {
        return TestDb_Count("t_telview where dDay = curdate() and iEmp = " + std::to_string(iEmp) +
                            " and iObjType = " + std::to_string(iType));
    }
    static long long Logged(int iEmp, int iType)
    {
        return TestDb_Count("t_log where iAct = 10 and iOpEmp = " + std::to_string(iEmp) + " and iObjType = " +
                            std::to_string(iType));
    }
};

} // namespace

TEST_F(TelView, TheLimitHoldsPerDayAndKindOnTheServerAcrossConnections)
{
    const int hou = House(), hou2 = House("102");
    tagCLIENT c = NewClient("13900001111", "");
    ASSERT_EQ(1, FD_Ist_Cli(1, &c));
    // Yesterday's views and another employee's do not count.
    TestDb_Exec("insert into t_telview (iEmp, iObjType, iObjID, dDay, iSeq) values (7, 0, 1, curdate() - interval 1 day, 1),"
                " (7, 0, 1, curdate() - interval 1 day, 2), (7, 0, 1, curdate() - interval 1 day, 3), (8, 0, 1, curdate(), 1)");
    const int N = 3;
    for (int i = 1; i <= N; i++) {
        int count = -5;
        EXPECT_EQ(TELVIEW_ALLOWED, FD_View_Tel(kSalesman, 0, i % 2 ? hou : hou2, N, &count)) << i;
        EXPECT_EQ(i, count);
    }
    int count = -5;
    EXPECT_EQ(TELVIEW_REFUSED, FD_View_Tel(kSalesman, 0, hou, N, &count));
    EXPECT_EQ(N, count);
    EXPECT_EQ(N, Views(kSalesman, 0)) << "a refusal writes nothing";
    EXPECT_EQ(N, Logged(kSalesman, 0));
    // The log rows are the listing's, with its snapshot.
    EXPECT_EQ(2, TestDb_Count("t_log where iAct = 10 and iObjType = 0 and iObjID = " + std::to_string(hou) +
                              " and szValue like '3@,@1@,@101@,@%'"));

    // Client views are counted apart.
    EXPECT_EQ(TELVIEW_ALLOWED, FD_View_Tel(kSalesman, 1, c.iOrdinal, N, &count));
    EXPECT_EQ(1, count);
    EXPECT_EQ(1, Logged(kSalesman, 1));

    // Another PC (a new connection) sees the same day's count.
    MYSQL_Terminal();
    ASSERT_EQ(1, MYSQL_Init(TestDb_Settings()));
    EXPECT_EQ(TELVIEW_REFUSED, FD_View_Tel(kSalesman, 0, hou2, N, &count));
    EXPECT_EQ(N, count);
    // A raised limit (the next login's grant) lets one more through.
    EXPECT_EQ(TELVIEW_ALLOWED, FD_View_Tel(kSalesman, 0, hou2, N + 1, &count));
    EXPECT_EQ(N + 1, count);
    EXPECT_EQ(N + 1, Logged(kSalesman, 0));
    EXPECT_EQ(0u, TestBoxes_Count());

    // A limit of 0 and the administrator are never refused, but counted and logged.
    for (int i = 1; i <= 4; i++) {
        EXPECT_EQ(TELVIEW_ALLOWED, FD_View_Tel(9, 0, hou, 0, &count));
        EXPECT_EQ(i, count);
        EXPECT_EQ(TELVIEW_ALLOWED, FD_View_Tel(1, 1, c.iOrdinal, 2, &count));
        EXPECT_EQ(i, count);
    }
    EXPECT_EQ(4, Logged(9, 0));
    EXPECT_EQ(4, Logged(1, 1));
    EXPECT_EQ(TELVIEW_FAILED, FD_View_Tel(kSalesman, 5, hou, N, &count)) << "only houses and clients";
    EXPECT_EQ(-1, count);
}

TEST_F(TelView, TwoDesksOfOneEmployeeWaitForEachOtherAndNeverPassTheLimit)
{
    const int hou = House();
    // The other desk is in the middle of its view, the day's first: its
    // count made under the lock and its row written, not yet committed.
    MYSQL* desk = TestDb_BareConnection();
    ASSERT_NE(nullptr, desk);
    auto exec = [&](const char* sql) { EXPECT_EQ(0, mysql_query(desk, sql)) << mysql_error(desk); };
    exec("start transaction");
    exec("select count(*) from t_telview where iEmp = 7 and dDay = curdate() and iObjType = 0 for update");
    if (MYSQL_RES* r = mysql_store_result(desk))
        mysql_free_result(r);
    exec("insert into t_telview (iEmp, iObjType, iObjID, dDay, iSeq) values (7, 0, 1, curdate(), 1)");

    int count = -5;
    Worker view;
    view.call = [&] { return FD_View_Tel(kSalesman, 0, hou, 1, &count); };
    Worker_Start(view);
    Sleep(800);
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(view.thread, 0)) << "this desk waits for the other";
    exec("commit");
    EXPECT_EQ(TELVIEW_REFUSED, Worker_Join(view));
    EXPECT_EQ(1, count);
    EXPECT_EQ(1, Views(kSalesman, 0));
    EXPECT_EQ(0, Logged(kSalesman, 0));
    mysql_close(desk);
}

TEST_F(TelView, AViewCutOffHalfWayStoresNothingAndIsNotAllowed)
{
    const int hou = House();
    int count = -5;
    {
        Gate gate("t_telview", "insert");
        EXPECT_EQ(TELVIEW_FAILED, CutAtGate(gate, [&] { return FD_View_Tel(kSalesman, 0, hou, 5, &count); }));
    }
    EXPECT_EQ(-1, count);
    EXPECT_EQ(0, Views(kSalesman, 0));
    EXPECT_EQ(0, Logged(kSalesman, 0));
    EXPECT_GE(ErrLogCount(), 1u);

    // With the server gone the connection check says so in one box (its
    // prompt, answered "No"), and nothing is allowed.
    TestBoxes_Reset();
    TestDb_ServerStop();
    EXPECT_EQ(TELVIEW_FAILED, FD_View_Tel(kSalesman, 0, hou, 5, &count));
    TestDb_ServerStart();
    TestBoxes_ExpectOne("选择\"是\"重新连接\n选择\"否\"1分钟后重新连接\r建议确认服务器正常运行下,请选择\"是\"",
                        "与数据服务器断开连接", MB_YESNO);
    // Back again: the view is counted from zero.
    EXPECT_EQ(TELVIEW_ALLOWED, FD_View_Tel(kSalesman, 0, hou, 5, &count));
    EXPECT_EQ(1, count);
    EXPECT_EQ(1, Logged(kSalesman, 0));
}

TEST_F(TelView, AnOlderDatabaseGetsTheTableFromTheUpgrade)
{
    const int hou = House();
    auto shape = [] { return TestDb_Query("show create table t_telview").at(0).at(1); };
    const std::string fresh = shape();
    TestDb_Exec("drop table t_telview");
    int count = -5;
    EXPECT_EQ(TELVIEW_FAILED, FD_View_Tel(kSalesman, 0, hou, 5, &count)) << "no table, nothing shown";
    EXPECT_EQ(0, Logged(kSalesman, 0));
    std::string err;
    ASSERT_TRUE(DbTool_Upgrade(TestDb_Conn(), &err)) << err;
    EXPECT_EQ(fresh, shape());
    ASSERT_TRUE(DbTool_Upgrade(TestDb_Conn(), &err)) << err;    // a current database is left as it is
    EXPECT_EQ(TELVIEW_ALLOWED, FD_View_Tel(kSalesman, 0, hou, 5, &count));
    EXPECT_EQ(1, count);
}
