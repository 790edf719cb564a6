// The operation log: snapshots of every object type, the recycle-bin entry,
// and reading and deleting log rows.
#include "tests/data_org/org_fixture.h"
#include "data/test_hooks.h"
#include <cstdio>

static std::string LastId() { return TestDb_Scalar("select max(iOrdinal) from t_log"); }

// The one log row of an object: action, object type, object key, operator, snapshot.
static std::vector<std::string> OnlyLogRow(int iObjType, int iObjID)
{
    auto rows = TestDb_Query("select iAct, iObjType, iObjID, iOpEmp, szValue, dtAdd is not null from t_log"
                             " where iObjType = " + Str(iObjType) + " and iObjID = " + Str(iObjID));
    EXPECT_EQ(1u, rows.size()) << "object type " << iObjType;
    return rows.empty() ? std::vector<std::string>() : rows[0];
}

static int InsertId(const std::string& sql)
{
    TestDb_Exec(sql);
    return atoi(TestDb_Scalar("select LAST_INSERT_ID()").c_str());
}

TEST_F(OrgDb, EveryObjectTypeWithATableGetsItsSnapshot)
{
    int house = InsertId("insert into t_house (iEst, szBuildNO, szHouseNO, dbBuildArea, szTrade, szLinkMan, szLinkTel,"
                         " szOwnerMan, szOwnerTel) values (5, '3', '301', 88.5, '出售', '甲', 'aa', '乙', 'bb')");
    int client = InsertId("insert into t_client (szTrade, szLinkMan, szLinkTel, szCliMan, szCliTel)"
                          " values ('出租', '丙', 'cc', '丁', 'dd')");
    int estate = InsertId("insert into t_estate (szEstate) values ('花园')");
    int urban = InsertId("insert into t_urban (iParentIndex, szUrban) values (2, '东城')");
    int follow = InsertId("insert into t_follow (iHou, iCli, szContent) values (4, 6, '看房')");
    int build = InsertId("insert into t_buildno (iEst, iBuildNO, iLift, iHouse, iFloort) values (5, 3, 2, 40, 18)");
    int param = InsertId("insert into t_param (iParentIndex, szValue) values (7, '南北')");
    int district = InsertId("insert into t_district (iParentIndex, szDistrict) values (1, '某区')");
    TestDb_Exec("delete from t_log");

    ZTData_TestWriteOpLog(9, 0, house, 2);
    ZTData_TestWriteOpLog(9, 1, client, 2);
    ZTData_TestWriteOpLog(9, 2, estate, 2);
    ZTData_TestWriteOpLog(9, 3, 1, 2);
    ZTData_TestWriteOpLog(9, 4, 1, 2);
    ZTData_TestWriteOpLog(9, 5, 2, 2);
    ZTData_TestWriteOpLog(9, 6, urban, 2);
    ZTData_TestWriteOpLog(9, 7, follow, 2);
    ZTData_TestWriteOpLog(9, 8, follow, 2);
    ZTData_TestWriteOpLog(9, 9, build, 2);
    ZTData_TestWriteOpLog(9, 10, param, 2);
    auto row = [](int act, int type, int id, const std::string& snap) {
        return std::vector<std::string>{Str(act), Str(type), Str(id), "9", snap, "1"};
    };
    EXPECT_EQ(row(2, 0, house, "5@,@3@,@301@,@88.50@,@出售@,@甲@,@aa@,@乙@,@bb"), OnlyLogRow(0, house));
    EXPECT_EQ(row(2, 1, client, "出租@,@丙@,@cc@,@丁@,@dd"), OnlyLogRow(1, client));
    EXPECT_EQ(row(2, 2, estate, "花园"), OnlyLogRow(2, estate));
    EXPECT_EQ(row(2, 3, 1, "总店"), OnlyLogRow(3, 1));
    EXPECT_EQ(row(2, 4, 1, "1@,@管理员"), OnlyLogRow(4, 1));
    EXPECT_EQ(row(2, 5, 2, "店长"), OnlyLogRow(5, 2));
    EXPECT_EQ(row(2, 6, urban, "2东城"), OnlyLogRow(6, urban));
    EXPECT_EQ(row(2, 7, follow, "4看房"), OnlyLogRow(7, follow));
    EXPECT_EQ(row(2, 8, follow, "6看房"), OnlyLogRow(8, follow));
    EXPECT_EQ(row(2, 9, build, "5@,@3@,@2@,@40@,@18"), OnlyLogRow(9, build));
    EXPECT_EQ(row(2, 10, param, "7@,@南北"), OnlyLogRow(10, param));
    EXPECT_EQ(11, TestDb_Count("t_log"));

    // Districts, reminders and objects that do not exist leave no row.
    ZTData_TestWriteOpLog(9, 11, district, 1);
    ZTData_TestWriteOpLog(9, 13, house, 3);
    ZTData_TestWriteOpLog(9, 14, client, 3);
    ZTData_TestWriteOpLog(9, 3, 9999, 1);
    EXPECT_EQ(11, TestDb_Count("t_log"));

    ZTData_TestWriteOpLog(6, 12, 6, 4);
    EXPECT_EQ(row(4, 12, 6, "用户登录")[4], OnlyLogRow(12, 6)[4]);
    EXPECT_EQ("4", OnlyLogRow(12, 6)[0]);
    EXPECT_EQ(0u, TestBoxes_Count());
}

TEST_F(OrgDb, RecycleEntryIndexesTheObjectAndItsOperator)
{
    int house = InsertId("insert into t_house (iEst, bRecyle) values (1, 1)");
    ASSERT_EQ(1, ZTData_TestWriteRecycleEntry(4, house, 0));
    EXPECT_EQ((std::vector<std::vector<std::string>>{{"0", Str(house), "4", "1"}}),
              TestDb_Query("select iObjType, iObjOrdinal, iEmp, dtRecyle is not null from t_recyle"));
    EXPECT_EQ("1", TestDb_Scalar("select bRecyle from t_house where iOrdinal = " + Str(house)));
    EXPECT_EQ(0u, TestBoxes_Count());
}

TEST_F(OrgDb, RecycleEntryThatGetsNoKeyTakesTheDeletionBack)
{
    tagBRANCH b = {};
    Set(b.szBr, "南店");
    ASSERT_EQ(1, FD_Ist_Br(1, &b));  // the library's session now has an earlier insert key
    // Without its auto-increment the index gives its rows no key.
    TestDb_Exec("alter table t_recyle modify iOrdinal INT NOT NULL DEFAULT 0");
    EXPECT_EQ(0, FD_Del_Br(3, &b));
    auto boxes = TestBoxes_Taken();
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ("写入回收站失败, 数据未删除", boxes[0].text);
    EXPECT_EQ("操作失败", boxes[0].caption);
    EXPECT_EQ("0", TestDb_Scalar("select bRecyle from t_branch where iOrdinal = " + Str(b.iOrdinal)));
}

TEST_F(OrgDb, RejectedRecycleEntryIsReportedAndRecorded)
{
    tagBRANCH b = {};
    Set(b.szBr, "北店");
    ASSERT_EQ(1, FD_Ist_Br(1, &b));
    TestDb_Exec("rename table t_recyle to t_recyle_away");
    EXPECT_EQ(0, FD_Del_Br(3, &b));
    TestDb_Exec("rename table t_recyle_away to t_recyle");
    auto boxes = TestBoxes_Taken();
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ("写入回收站失败, 数据未删除", boxes[0].text);
    EXPECT_EQ("操作失败", boxes[0].caption);
    EXPECT_NE(std::string::npos, TestReadFile("errlog.log").find("错误码:  1146"));
    // Nothing is deleted without its entry, and nothing logged as deleted.
    EXPECT_EQ("0", TestDb_Scalar("select bRecyle from t_branch where iOrdinal = " + Str(b.iOrdinal)));
    EXPECT_EQ(0, TestDb_Count("t_log where iAct = 1 and iObjType = 3 and iObjID = " + Str(b.iOrdinal)));
}

// Three branch insertions dated 1 March, 15 March (late evening) and 2 April.
class LogList : public OrgDb {
protected:
    void SetUp() override
    {
        OrgDb::SetUp();
        TestDb_Exec("delete from t_log");
        const char* names[] = {"一店", "二店", "三店"};
        const char* times[] = {"2024-03-01 10:00:00", "2024-03-15 23:30:00", "2024-04-02 08:00:00"};
        for (int i = 0; i < 3; ++i) {
            tagBRANCH b = {};
            Set(b.szBr, names[i]);
            ASSERT_EQ(1, FD_Ist_Br(2 + i, &b));
            keys[i] = b.iOrdinal;
            logKeys[i] = atoi(LastId().c_str());
            TestDb_Exec(std::string("update t_log set dtAdd = '") + times[i] + "' where iOrdinal = " + Str(logKeys[i]));
        }
    }
    int keys[3] = {};
    int logKeys[3] = {};
};

TEST_F(LogList, ListsNewestFirstWithinTheDateRange)
{
    char filter[128];
    EXPECT_STREQ(" dtAdd >= '2024-03-01' and dtAdd <= '2024-03-15 23:59:59'",
                 FD_Log_DateFilter(filter, sizeof filter, "2024-03-01", "2024-03-15"));
    tagLOG* list = nullptr;
    int n = 0;
    ASSERT_EQ(FD_Sct_Log(&list, &n, filter), list);
    ASSERT_NE(nullptr, list);
    ASSERT_EQ(2, n);
    EXPECT_EQ(logKeys[1], list[0].iOrdinal);
    EXPECT_EQ(3, list[0].iAct);
    EXPECT_EQ(3, list[0].iObjType);
    EXPECT_EQ(keys[1], list[0].iObjID);
    EXPECT_EQ(3, list[0].iOpEmp);
    EXPECT_STREQ("二店", list[0].szValue);
    EXPECT_STREQ("2024-03-15 23:30:00", list[0].szTime);
    EXPECT_EQ(logKeys[0], list[1].iOrdinal);
    for (int i = n; i < n + 101; ++i)
        EXPECT_EQ(0, list[i].iOrdinal);
    Mem_Free_Log(list);

    list = FD_Sct_Log(nullptr, &n, FD_Log_DateFilter(filter, sizeof filter, "2024-03-02", nullptr));
    ASSERT_EQ(2, n);
    EXPECT_EQ(logKeys[2], list[0].iOrdinal);
    EXPECT_EQ(logKeys[1], list[1].iOrdinal);
    Mem_Free_Log(list);

    EXPECT_STREQ("  dtAdd <= '2024-03-14 23:59:59'", FD_Log_DateFilter(filter, sizeof filter, "", "2024-03-14"));
    list = FD_Sct_Log(nullptr, &n, filter);
    ASSERT_EQ(1, n);
    EXPECT_EQ(logKeys[0], list[0].iOrdinal);
    Mem_Free_Log(list);

    list = FD_Sct_Log(nullptr, &n, FD_Log_DateFilter(filter, sizeof filter, nullptr, nullptr));
    EXPECT_STREQ("", filter);
    ASSERT_EQ(3, n);
    EXPECT_EQ(logKeys[2], list[0].iOrdinal);
    EXPECT_EQ(logKeys[0], list[2].iOrdinal);
    Mem_Free_Log(list);
    EXPECT_EQ(0u, TestBoxes_Count());
}

TEST_F(LogList, ADateThatIsNoDayBoundsNothingAndClearsNothing)
{
    // Typed texts, a day that does not exist, and a to-date that is one lone
    // GBK lead byte (cut away it would leave no upper bound, and the clear
    // would take every row from the from-date on): refused, never widened.
    const char* bad[] = {"2024'-03-0", "x' or '1", "2024-02-30", "2024-3-1", "\xB0", "2024-03-15\xB0"};
    for (const char* b : bad) {
        char filter[128];
        EXPECT_EQ(nullptr, FD_Log_DateFilter(filter, sizeof filter, "2024-03-01", b)) << b;
        EXPECT_STREQ("1 = 0", filter);
        EXPECT_EQ(nullptr, FD_Log_DateFilter(filter, sizeof filter, b, nullptr)) << b;
        EXPECT_STREQ("1 = 0", filter);
        int n = -1;
        tagLOG* list = FD_Sct_Log(nullptr, &n, filter);
        ASSERT_NE(nullptr, list);  // still one valid statement
        EXPECT_EQ(0, n);
        Mem_Free_Log(list);
        ASSERT_EQ(1, FD_Del_Log(1, filter, 0, 1));
        EXPECT_EQ(3, TestDb_Count("t_log"));
    }
    char filter[128];
    EXPECT_STREQ(" dtAdd >= '2024-02-29'", FD_Log_DateFilter(filter, sizeof filter, "2024-02-29", ""));
}

TEST_F(LogList, AFilterThatDoesNotFitClearsNothing)
{
    // Room for " dtAdd >= '2024-03-01'" alone: that shorter filter would
    // select (and clear) the April row too.
    char small[23];
    EXPECT_EQ(nullptr, FD_Log_DateFilter(small, sizeof small, "2024-03-01", "2024-03-15"));
    ASSERT_EQ(1, FD_Del_Log(1, small, 0, 1));
    EXPECT_EQ(3, TestDb_Count("t_log"));
    // Even a buffer too small for "1 = 0" holds a condition no row meets.
    char tiny[4];
    EXPECT_EQ(nullptr, FD_Log_DateFilter(tiny, sizeof tiny, "2024-03-01", nullptr));
    EXPECT_STREQ("0", tiny);
    ASSERT_EQ(1, FD_Del_Log(1, tiny, 0, 1));
    EXPECT_EQ(3, TestDb_Count("t_log"));
}

TEST_F(LogList, DeletesOneRowByKeyOrTheRowsOfAFilter)
{
    // Each deletion leaves the row that records it (operator, what, how many).
    ASSERT_EQ(1, FD_Del_Log(1, nullptr, logKeys[1], 0));
    EXPECT_EQ(0, TestDb_Count("t_log where iOrdinal = " + Str(logKeys[1])));
    EXPECT_EQ(2, TestDb_Count("t_log where iAct = 3"));
    EXPECT_EQ("删除日志: 序号 " + Str(logKeys[1]) + ", 1 条",
              TestDb_Scalar("select szValue from t_log where iAct = 15 and iObjType = 15 and iOpEmp = 1"));
    // Already gone is no failure, and nothing to record.
    EXPECT_EQ(1, FD_Del_Log(1, nullptr, logKeys[1], 0));
    EXPECT_EQ(1, TestDb_Count("t_log where iAct = 15"));

    char filter[128];
    ASSERT_EQ(1, FD_Del_Log(1, FD_Log_DateFilter(filter, sizeof filter, "2024-04-01", "2024-04-30"), 0, 1));
    EXPECT_EQ(1, TestDb_Count("t_log where iAct = 3"));
    EXPECT_EQ(1, TestDb_Count("t_log where iOrdinal = " + Str(logKeys[0])));
    EXPECT_EQ(1, TestDb_Count("t_log where iAct = 16"));

    EXPECT_EQ(0, FD_Del_Log(1, "no such column = 1", 0, 0));
    auto boxes = TestBoxes_Taken();
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ("异常错误,错误原因查看错误日志文件.", boxes[0].text);
    EXPECT_EQ("操作失败", boxes[0].caption);
    EXPECT_EQ(1, TestDb_Count("t_log where iAct = 3"));

    // The whole log cleared: what is left is the row saying so.
    long long all = TestDb_Count("t_log");
    ASSERT_EQ(1, FD_Del_Log(1, "", 0, 0));
    EXPECT_EQ(1, TestDb_Count("t_log"));
    EXPECT_EQ("清空日志: 全部, " + Str(all) + " 条", TestDb_Scalar("select szValue from t_log where iAct = 16"));
}

// A large list released gives its memory back to the system; a list of a
// bounded window's size is kept for the next load (no new pages to touch).
TEST_F(LogList, ALargeListReleasedGivesItsMemoryBack)
{
    auto committed = [] {
        MEMORY_BASIC_INFORMATION mi;
        SIZE_T total = 0;
        for (char* at = nullptr; VirtualQuery(at, &mi, sizeof mi) == sizeof mi; at = (char*)mi.BaseAddress + mi.RegionSize)
            if (mi.State == MEM_COMMIT && mi.Type == MEM_PRIVATE)
                total += mi.RegionSize;
        return (long long)total;
    };
    TestDb_Exec("insert into t_log (iAct, iObjType, iObjID, iOpEmp, szValue) select 2, 0, seq, 1, 'x'"
                " from seq_1_to_150000");
    tagLOG* list = nullptr;
    int n = 0;
    ASSERT_NE(nullptr, FD_Sct_Log(&list, &n, "", nullptr));     // unbounded: every row
    ASSERT_GE(n, 150000);
    long long held = committed();
    Mem_Free_Log(list);
    long long given = held - committed();
    long long block = (long long)n * (long long)sizeof(tagLOG);
    printf("[log] %d rows of %u bytes: %lld MB held, %lld MB given back on release\n", n, (unsigned)sizeof(tagLOG),
           held >> 20, given >> 20);
    EXPECT_GE(given, block * 9 / 10);
}
