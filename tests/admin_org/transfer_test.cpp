// Handing an employee's houses, clients and follow-ups to another employee,
// against the real server: what moves, what stays, the log, refusals, and a
// transfer cut off half-way by a killed connection.
#include "tests/data_listings/listings_support.h"

#include <string>
#include <vector>

namespace {

std::string Str(int v) { return std::to_string(v); }

int Insert(const std::string& sql)
{
    TestDb_Exec(sql);
    return atoi(TestDb_Scalar("select LAST_INSERT_ID()").c_str());
}

class Transfer : public testing::Test {
protected:
    int br2 = 0, from = 0, to = 0, other = 0, gone = 0;
    void SetUp() override
    {
        ASSERT_NE(TestDb_Open("kelmora_t_transfer"), nullptr);
        TestBoxes_Reset();
        br2 = Insert("insert into t_branch (szNum, szBr) values ('002', '二部')");
        from = Insert("insert into t_employee (szEmp, iBr, iPst) values ('离职者', 1, 3)");
        to = Insert("insert into t_employee (szEmp, iBr, iPst) values ('接手人', " + Str(br2) + ", 3)");
        other = Insert("insert into t_employee (szEmp, iBr, iPst) values ('旁人', 1, 3)");
        gone = Insert("insert into t_employee (szEmp, iBr, iPst, bRecyle) values ('已删', " + Str(br2) + ", 3, 1)");
        int room = 0;
        auto house = [&](int emp, int recycled) {
            return Insert("insert into t_house (iEst, szBuildNO, szHouseNO, iEmp, iBr, bRecyle) values (1, '1', '" +
                          Str(++room) + "', " + Str(emp) + ", 1, " + Str(recycled) + ")");
        };
        int h1 = house(from, 0);
        house(from, 0);
        house(from, 0);
        house(from, 1);
        house(other, 0);
        auto client = [&](int emp) {
            return Insert("insert into t_client (szCliTel, iEmp, iBr) values ('x', " + Str(emp) + ", 1)");
        };
        int c1 = client(from);
        client(from);
        client(other);
        auto follow = [&](int hou, int cli, int emp, int recycled) {
            Insert("insert into t_follow (iHou, iCli, iEmp, iBr, bRecyle, szContent) values (" + Str(hou) + ", " +
                   Str(cli) + ", " + Str(emp) + ", 1, " + Str(recycled) + ", '电话')");
        };
        follow(h1, 0, from, 0);
        follow(h1, 0, from, 0);
        follow(0, c1, from, 0);
        follow(h1, 0, from, 1);
        follow(h1, 0, other, 0);
        Insert("insert into t_remind (dRemind, szContent, iHou, iEmp, iBr) values (curdate(), '回访', " + Str(h1) + ", " +
               Str(from) + ", 1)");
    }
    // Who holds what: agent and branch of every row of the four tables.
    std::vector<std::vector<std::string>> Holders()
    {
        return TestDb_Query("select 'h', iOrdinal, iEmp, iBr, bRecyle from t_house union all"
                            " select 'c', iOrdinal, iEmp, iBr, bRecyle from t_client union all"
                            " select 'f', iOrdinal, iEmp, iBr, bRecyle from t_follow union all"
                            " select 'r', iOrdinal, iEmp, iBr, 0 from t_remind order by 1, 2");
    }
    long long Held(const char* table, int emp, const std::string& more = "")
    {
        return TestDb_Count(std::string(table) + " where iEmp = " + Str(emp) + more);
    }
};

TEST_F(Transfer, MovesTheLiveRowsOfTheEmployeeWithALogRowForEach)
{
    tagTRANSFER moved = {-1, -1, -1, -1};
    ASSERT_EQ(FD_Transfer_Emp(1, from, to, br2, &moved), 1);
    EXPECT_EQ(moved.nHouses, 3);
    EXPECT_EQ(moved.nClients, 2);
    EXPECT_EQ(moved.nFollows, 3);
    EXPECT_EQ(moved.nReminds, 1);
    EXPECT_EQ(TestBoxes_Count(), 0u);

    // The new agent holds them in his branch; the recycle bin keeps its own.
    const std::string inBr2 = " and iBr = " + Str(br2);
    EXPECT_EQ(Held("t_house", to, inBr2), 3);
    EXPECT_EQ(Held("t_client", to, inBr2), 2);
    EXPECT_EQ(Held("t_follow", to, inBr2), 3);
    EXPECT_EQ(Held("t_remind", to, inBr2), 1);
    EXPECT_EQ(Held("t_house", from), 1);
    EXPECT_EQ(Held("t_house", from, " and bRecyle = 1"), 1);
    EXPECT_EQ(Held("t_follow", from, " and bRecyle = 1"), 1);
    EXPECT_EQ(Held("t_client", from), 0);
    EXPECT_EQ(Held("t_house", other), 1);
    EXPECT_EQ(Held("t_client", other), 1);
    EXPECT_EQ(Held("t_follow", other), 1);

    // One modify row per object moved, the operator's.
    EXPECT_EQ(TestDb_Count("t_log where iAct = 2 and iOpEmp = 1 and iObjType = 0"), 3);
    EXPECT_EQ(TestDb_Count("t_log where iAct = 2 and iOpEmp = 1 and iObjType = 1"), 2);
    EXPECT_EQ(TestDb_Count("t_log where iAct = 2 and iOpEmp = 1 and iObjType = 7"), 2);
    EXPECT_EQ(TestDb_Count("t_log where iAct = 2 and iOpEmp = 1 and iObjType = 8"), 1);
    EXPECT_EQ(TestDb_Count("t_log"), 8);

    // Nothing left to move is no failure.
    ASSERT_EQ(FD_Transfer_Emp(1, from, to, br2, &moved), 1);
    EXPECT_EQ(moved.nHouses + moved.nClients + moved.nFollows + moved.nReminds, 0);
    EXPECT_EQ(TestDb_Count("t_log"), 8);
}

TEST_F(Transfer, ATargetThatIsNoLiveEmployeeOfTheBranchChangesNothing)
{
    auto before = Holders();
    struct {
        int to, br;
    } refused[] = {{from, 1}, {to, 1}, {gone, br2}, {987654, br2}, {0, br2}};
    for (auto r : refused) {
        TestBoxes_Reset();
        EXPECT_EQ(FD_Transfer_Emp(1, from, r.to, r.br, nullptr), 0) << r.to;
        ASSERT_EQ(TestBoxes_Count(), 1u) << r.to;
        EXPECT_EQ(TestBoxes_Taken()[0].text, "转入的员工不存在或不在所选部门");
    }
    EXPECT_EQ(Holders(), before);
    EXPECT_EQ(TestDb_Count("t_log"), 0);
}

// Killed while it moves the clients, or while it writes the log: nothing
// moved, the user told so; the next attempt moves everything.
TEST_F(Transfer, CutOffHalfWayItMovesNothing)
{
    auto before = Holders();
    for (const char* where : {"t_client update", "t_log insert"}) {
        std::string w = where;
        Gate gate(w.substr(0, w.find(' ')).c_str(), w.substr(w.find(' ') + 1).c_str());
        TestBoxes_Reset();
        int r = CutAtGate(gate, [&] { return FD_Transfer_Emp(1, from, to, br2, nullptr); });
        EXPECT_EQ(r, 0) << where;
        auto boxes = TestBoxes_Taken();
        ASSERT_EQ(boxes.size(), 1u) << where;
        EXPECT_EQ(boxes[0].text, "员工转移失败, 数据没有改变");
        EXPECT_EQ(boxes[0].caption, "操作失败");
        gate.Open();
        EXPECT_EQ(Holders(), before) << where;
        EXPECT_EQ(TestDb_Count("t_log"), 0) << where;
    }
    tagTRANSFER moved = {};
    ASSERT_EQ(FD_Transfer_Emp(1, from, to, br2, &moved), 1);
    EXPECT_EQ(moved.nHouses, 3);
    EXPECT_EQ(Held("t_house", from, " and bRecyle = 0"), 0);
}

}  // namespace
