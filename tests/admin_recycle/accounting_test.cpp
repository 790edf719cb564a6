// Every change accounted for, on the demo data set: a bin entry another desk
// has already dealt with restores and purges nothing and says so; a house
// of an estate in the bin does not come back without it; a purged position
// takes its permission row with it; grants, merges, log clears and failed
// logins are rows of the log, named in the log window, and a refused
// deletion is none; a grant whose commit answer is lost is settled by what
// the server holds.
#include "tests/admin_recycle/recycle_fixture.h"
#include "tests/support/db_fixture.h"
#include "app/admin/recycle_window.h"
#include "data/area.h"
#include "data/client.h"
#include "data/connection.h"
#include "data/oplog.h"
#include "data/organisation.h"
#include "data/recycle.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::string Str(long long n)
{
    return std::to_string(n);
}

int Key(const std::string& sql)
{
    return atoi(TestDb_Scalar(sql).c_str());
}

// Puts a row in the bin as a deletion on another desk does.
void Bin(const char* table, int type, int key)
{
    TestDb_Exec(std::string("update ") + table + " set bRecyle = 1 where iOrdinal = " + Str(key));
    TestDb_Exec("insert into t_recyle (iObjType, iObjOrdinal, iEmp) values (" + Str(type) + ", " + Str(key) + ", 1)");
}

const std::string kStale = "该记录已被其他用户处理, 请刷新回收站";

TEST_F(RecycleTest, ABinEntryAnotherDeskDealtWithChangesNothingAndSaysSo)
{
    // Three houses of different estates in the bin, the third with its estate.
    auto houses = TestDb_Query("select min(iOrdinal) from t_house where bRecyle = 0 and bDeleted = 0 group by iEst "
                               "order by 1 limit 3");
    ASSERT_EQ(houses.size(), 3u);
    int h1 = atoi(houses[0][0].c_str()), h2 = atoi(houses[1][0].c_str()), h3 = atoi(houses[2][0].c_str());
    int est3 = Key("select iEst from t_house where iOrdinal = " + Str(h3));
    for (int h : {h1, h2, h3})
        Bin("t_house", 0, h);
    Bin("t_estate", 2, est3);

    Shell_Command(frame, IDM_RECYCLE);
    HWND bin = Frame_FindChild(ZT_CLASS_CHILD_RECY);
    ASSERT_NE(bin, nullptr);
    ZT_MODWIN* w = Module_Of(bin);
    Wd_Settle(w);
    auto pick = [&](int key) {
        return Wd_SelectWhere(w->hGrid, [&](const void* r) { return static_cast<const RECY_ROW*>(r)->e.iObjOrdinal == key; });
    };

    // Another desk purges the first and restores the second meanwhile.
    TestDb_Exec("update t_house set bDeleted = 1 where iOrdinal = " + Str(h1));
    TestDb_Exec("delete from t_recyle where iObjType = 0 and iObjOrdinal = " + Str(h1));
    TestDb_Exec("update t_house set bRecyle = 0 where iOrdinal = " + Str(h2));
    TestDb_Exec("delete from t_recyle where iObjType = 0 and iObjOrdinal = " + Str(h2));
    long long logs = TestDb_Count("t_log");

    ASSERT_NE(pick(h1), nullptr);
    TestBoxes_Reset();
    Wd_ButtonAnswered(w, ID_RECYCLE_RESTORE, IDOK);
    ASSERT_EQ(TestBoxes_Count(), 2u);    // the question, then the refusal
    EXPECT_EQ(TestBoxes_Taken()[1].text, kStale);
    EXPECT_EQ(TestDb_Query("select bRecyle, bDeleted from t_house where iOrdinal = " + Str(h1))[0],
              (std::vector<std::string>{"1", "1"}));

    ASSERT_NE(pick(h2), nullptr);
    TestBoxes_Reset();
    Wd_ButtonAnswered(w, ID_RECYCLE_DELETE, IDOK);
    ASSERT_EQ(TestBoxes_Count(), 2u);
    EXPECT_EQ(TestBoxes_Taken()[1].text, kStale);
    EXPECT_EQ(TestDb_Query("select bRecyle, bDeleted from t_house where iOrdinal = " + Str(h2))[0],
              (std::vector<std::string>{"0", "0"}));

    // The third hangs on an estate that is itself in the bin.
    ASSERT_NE(pick(h3), nullptr);
    TestBoxes_Reset();
    Wd_ButtonAnswered(w, ID_RECYCLE_RESTORE, IDOK);
    ASSERT_EQ(TestBoxes_Count(), 2u);
    EXPECT_EQ(TestBoxes_Taken()[1].text, "该记录所属的楼盘已删除或在回收站中, 请先还原楼盘");
    EXPECT_EQ(TestDb_Scalar("select bRecyle from t_house where iOrdinal = " + Str(h3)), "1");
    EXPECT_EQ(TestDb_Count("t_recyle where iObjType = 0 and iObjOrdinal = " + Str(h3)), 1);
    EXPECT_EQ(TestDb_Count("t_log"), logs) << "nothing happened, nothing logged";

    // Once the estate is back, so is the house.
    TestDb_Exec("update t_estate set bRecyle = 0 where iOrdinal = " + Str(est3));
    TestDb_Exec("delete from t_recyle where iObjType = 2 and iObjOrdinal = " + Str(est3));
    TestBoxes_Reset();
    Wd_ButtonAnswered(w, ID_RECYCLE_RESTORE, IDOK);
    EXPECT_EQ(TestBoxes_Count(), 1u);
    EXPECT_EQ(TestDb_Scalar("select bRecyle from t_house where iOrdinal = " + Str(h3)), "0");
    EXPECT_EQ(TestDb_Count("t_log where iAct = 5 and iObjType = 0 and iObjID = " + Str(h3)), 1);

    // A purged position leaves no permission row behind.
    TestDb_Exec("insert into t_position (szPST, bRecyle) values ('临时职位', 1)");
    int pst = Key("select max(iOrdinal) from t_position");
    TestDb_Exec("insert into t_popedom (iPst, szValue) values (" + Str(pst) + ", '')");
    TestDb_Exec("insert into t_recyle (iObjType, iObjOrdinal, iEmp) values (5, " + Str(pst) + ", 1)");
    tagRECY e = {};
    e.iOrdinal = Key("select max(iOrdinal) from t_recyle");
    e.iObjOrdinal = pst;
    EXPECT_EQ(FD_Del_Recyle(1, &e, 5), 1);
    EXPECT_EQ(TestDb_Count("t_position where iOrdinal = " + Str(pst)), 0);
    EXPECT_EQ(TestDb_Count("t_popedom where iPst = " + Str(pst)), 0);
}

TEST_F(RecycleTest, TheLogRecordsGrantsMergesClearsAndFailedLoginsAndNoRefusal)
{
    int lina = Key("select iOrdinal from t_employee where szEmp = '李娜'");
    ASSERT_GT(lina, 0);
    std::string value = TestDb_Scalar("select szValue from t_popedom where iEmp = " + Str(lina));
    TestBoxes_Reset();

    // A grant, with what it changed by name; a wrong password.
    EXPECT_EQ(FD_Upd_EmpPD(1, lina, value.c_str(), 7, 8, "李娜: 改变: 房源看电话 (20次/天)→(8次/天)"), 1);
    EXPECT_EQ(FD_LG_Check(lina, "not her password"), 0);
    // A merge of two urban areas of the first city, one estate moving.
    int city = Key("select min(iOrdinal) from t_urban where iParentIndex = 0");
    TestDb_Exec("insert into t_urban (szUrban, iParentIndex) values ('旧区', " + Str(city) + "), ('新区', " +
                Str(city) + ")");
    tagURBAN from = {}, to = {};
    from.iOrdinal = Key("select iOrdinal from t_urban where szUrban = '旧区'");
    to.iOrdinal = Key("select iOrdinal from t_urban where szUrban = '新区'");
    strcpy(from.szUrban, "旧区");
    strcpy(to.szUrban, "新区");
    TestDb_Exec("insert into t_estate (szEstate, iUrban) values ('合并花园', " + Str(from.iOrdinal) + ")");
    EXPECT_EQ(FD_JOIN_URBAN(1, &from, &to), 1);
    // A client with a follow-up cannot be deleted: no row says it was.
    int cli = Key("select min(iCli) from t_follow where iCli <> 0 and bRecyle = 0");
    tagCLIENT c = {};
    c.iOrdinal = cli;
    long long deletes = TestDb_Count("t_log where iAct = 1 and iObjType = 1");
    FD_Del_Cli(1, &c);
    EXPECT_EQ(TestDb_Count("t_log where iAct = 1 and iObjType = 1"), deletes);
    auto row = [&](int act) {
        auto r = TestDb_Query("select iObjType, iObjID, iOpEmp, szValue from t_log where iAct = " + Str(act) +
                              " order by iOrdinal desc limit 1");
        return r.empty() ? std::vector<std::string>() : r[0];
    };
    EXPECT_EQ(row(LOG_ACT_GRANT), (std::vector<std::string>{"4", Str(lina), "1", "李娜: 改变: 房源看电话 (20次/天)→(8次/天)"}));
    EXPECT_EQ(row(LOG_ACT_LOGIN_FAILED), (std::vector<std::string>{"12", Str(lina), Str(lina), "登录失败: 密码错误"}));
    EXPECT_EQ(row(LOG_ACT_MERGE), (std::vector<std::string>{"6", Str(from.iOrdinal), "1", "旧区 合并到 新区: 片区 0 条, 楼盘 1 条"}));
    // Her failed logins cleared from the log: the row recording it stays.
    std::string filter = "iAct = 12 and iObjID = " + Str(lina);
    long long failed = TestDb_Count("t_log where " + filter);
    ASSERT_GT(failed, 0);
    EXPECT_EQ(FD_Del_Log(1, filter.c_str(), 0, 0), 1);
    EXPECT_EQ(TestDb_Count("t_log where " + filter), 0);
    EXPECT_EQ(row(LOG_ACT_LOG_CLEAR),
              (std::vector<std::string>{"15", "0", "1", "清空日志: " + filter + ", " + Str(failed) + " 条"}));
    // The clears cleared: the row of this clear is the one left.
    EXPECT_EQ(FD_Del_Log(1, "iAct = 16", 0, 0), 1);
    EXPECT_EQ(TestDb_Count("t_log where iAct = 16"), 1);

    // The log window names them.
    Shell_Command(frame, IDM_LOG);
    HWND log = Frame_FindChild(ZT_CLASS_CHILD_LOG);
    ASSERT_NE(log, nullptr);
    ZT_MODWIN* lw = Module_Of(log);
    Wd_Settle(lw);
    std::vector<std::string> named;
    EachRecord(lw->hGrid, [&](const void* r) {
        int act = static_cast<const tagLOG*>(r)->iAct;
        if (act >= LOG_ACT_GRANT && act <= LOG_ACT_LOG_CLEAR)
            named.push_back(Wd_Cell(lw->hGrid, r, 0));
    });
    for (const char* name : {"员工授权", "城区合并", "日志清空"})
        EXPECT_NE(std::find(named.begin(), named.end(), name), named.end()) << name;
    Ui_Screenshot("log-audit");
}

DWORD WINAPI Grant(LPVOID pv)
{
    int* args = static_cast<int*>(pv);
    args[2] = FD_Upd_EmpPD(1, args[0], "", 3, args[1], "重新授权");
    return 0;
}

// The grant's commit is sent and the connection breaks before its answer:
// what the user is told is what the server holds.
TEST_F(RecycleTest, AGrantWhoseCommitAnswerIsLostSaysWhatTheServerHolds)
{
    int lina = Key("select iOrdinal from t_employee where szEmp = '李娜'");
    DbFix_HoldCommits();
    TestBoxes_Reset();
    int args[3] = {lina, 4321, 99};
    HANDLE h = CreateThread(nullptr, 0, Grant, args, 0, nullptr);
    DbFix_KillAtCommit(300);
    while (WaitForSingleObject(h, 20) == WAIT_TIMEOUT)
        Ui_Pump(20);
    CloseHandle(h);
    DbFix_ReleaseCommits();
    DbFix_CommitSettled();
    bool stored = TestDb_Count("t_popedom where iHouReadRecordMax = 4321 and iEmp = " + Str(lina)) == 1;
    EXPECT_EQ(stored, TestDb_Count("t_log where iAct = 11 and szValue = '重新授权'") == 1);
    if (stored) {
        EXPECT_EQ(args[2], 1);
        EXPECT_EQ(TestBoxes_Count(), 0u);
    } else {
        EXPECT_EQ(args[2], -1);
        TestBoxes_ExpectOnly("与数据服务器的连接在提交时中断, 重新连接后查明: 这次操作没有保存.");
    }
}

}  // namespace
