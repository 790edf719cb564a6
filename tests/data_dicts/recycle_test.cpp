// The recycle bin: lists by type (also when keys of different types
// collide), restore, purge, clear and the window's look-up lists.
#include "tests/data_dicts/dicts_test.h"
#include "data/recycle_peers.h"

namespace {

using RecycleTest = DictsTest;

// Object blocks of the other families are record blocks like any other.
template <class T> void FreeObjects(T* p)
{
    if (p)
        VirtualFree(p, 0, MEM_RELEASE);
}

// Soft-deletes a row the way the deleting families do, with its entry.
int Recycle(const char* table, int iObjType, int key, int iEmp = 2)
{
    TestDb_Exec(std::string("update ") + table + " set bRecyle = 1 where iOrdinal = " + std::to_string(key));
    return InsertRecycleEntry(iObjType, key, iEmp);
}

TEST_F(RecycleTest, RestoringAHouseClearsItsFlagAndItsEntry)
{
    TestDb_Exec("insert into t_estate (iOrdinal, szEstate) values (7, '七号苑')");
    int house = InsertHouse(7, "3", "502", "出售");
    int entry = Recycle("t_house", 0, house, 4);

    tagRECY* recy = nullptr;
    tagHOUSE* houses = nullptr;
    int n = -1;
    ASSERT_NE(FD_Sct_Recy_Hou(&recy, &houses, &n), nullptr);
    ASSERT_EQ(n, 1);
    EXPECT_EQ(recy[0].iOrdinal, entry);
    EXPECT_EQ(recy[0].iEmp, 4);
    EXPECT_EQ(recy[0].iObjOrdinal, house);
    EXPECT_EQ(strlen(recy[0].szRecyle), 19u);
    EXPECT_EQ(houses[0].iOrdinal, house);
    EXPECT_EQ(houses[0].iEst, 7);
    EXPECT_STREQ(houses[0].szBuildNO, "3");
    EXPECT_STREQ(houses[0].szHouseNO, "502");
    EXPECT_STREQ(houses[0].szTrade, "出售");

    EXPECT_EQ(FD_Recover_Recyle(1, &recy[0], 0), 1);
    EXPECT_EQ(TestDb_Scalar("select bRecyle from t_house where iOrdinal = " + std::to_string(house)), "0");
    EXPECT_EQ(TestDb_Count("t_recyle"), 0);
    Mem_Free_Recyle(recy);
    FreeObjects(houses);
    ASSERT_NE(FD_Sct_Recy_Hou(&recy, &houses, &n), nullptr);
    EXPECT_EQ(n, 0);
    Mem_Free_Recyle(recy);
    FreeObjects(houses);
}

TEST_F(RecycleTest, PurgedClientsStayMarkedDeletedAndLeaveTheList)
{
    int keep = InsertClient("张三", "求购", "西湖区");
    int purge = InsertClient("李四", "求租", "上城区 西湖区");
    Recycle("t_client", 1, keep);
    int entry = Recycle("t_client", 1, purge);

    tagRECY* recy = nullptr;
    tagCLIENT* clients = nullptr;
    int n = 0;
    ASSERT_NE(FD_Sct_Recy_Cli(&recy, &clients, &n), nullptr);
    ASSERT_EQ(n, 2);
    EXPECT_STREQ(clients[1].szCliMan, "李四");
    EXPECT_STREQ(clients[1].szUrban, "上城区 西湖区");
    EXPECT_STREQ(clients[1].szTrade, "求租");
    ASSERT_EQ(recy[1].iOrdinal, entry);
    EXPECT_EQ(FD_Del_Recyle(1, &recy[1], 1), 1);
    Mem_Free_Recyle(recy);
    FreeObjects(clients);

    EXPECT_EQ(TestDb_Query("select bRecyle, bDeleted from t_client where iOrdinal = " + std::to_string(purge))[0],
              (std::vector<std::string>{"1", "1"}));
    EXPECT_EQ(TestDb_Count("t_recyle where iOrdinal = " + std::to_string(entry)), 0);
    ASSERT_NE(FD_Sct_Recy_Cli(&recy, &clients, &n), nullptr);
    ASSERT_EQ(n, 1);
    EXPECT_EQ(clients[0].iOrdinal, keep);
    Mem_Free_Recyle(recy);
    FreeObjects(clients);
}

TEST_F(RecycleTest, ClearingEstatesDeletesThemAndTheirEntriesOnly)
{
    int city = AddCity("杭州");
    int urban = AddUrban(city, "西湖区");
    int live = InsertEstate(urban, "翠苑一区");
    std::vector<int> gone;
    for (const char* name : {"旧村", "老街"}) {
        tagESTATE e = {};
        e.iOrdinal = InsertEstate(urban, name);
        ASSERT_EQ(FD_Del_Est(1, &e), 1);
        gone.push_back(e.iOrdinal);
    }
    int district = AddDistrict(urban, "古荡");
    tagDISTRICT d = {district, 0, urban, "古荡", nullptr};
    ASSERT_EQ(FD_DEL_DISTRICT(1, &d), 1);

    EXPECT_EQ(FD_Clear_Recyle(1, 2), 1);
    EXPECT_EQ(TestDb_Count("t_estate"), 1);
    EXPECT_EQ(TestDb_Scalar("select iOrdinal from t_estate"), std::to_string(live));
    EXPECT_EQ(TestDb_Count("t_recyle where iObjType = 2"), 0);
    EXPECT_EQ(TestDb_Count("t_recyle where iObjType = 11"), 1);

    // Houses are purged by their flag and stay in the table.
    int h1 = InsertHouse(live, "1", "101", "出售");
    Recycle("t_house", 0, h1);
    EXPECT_EQ(FD_Clear_Recyle(1, 0), 1);
    EXPECT_EQ(TestDb_Query("select bRecyle, bDeleted from t_house where iOrdinal = " + std::to_string(h1))[0],
              (std::vector<std::string>{"1", "1"}));
    EXPECT_EQ(TestDb_Count("t_recyle"), 1);
    EXPECT_EQ(TestBoxes_Count(), 0u);
}

TEST_F(RecycleTest, ListsShowOnlyEntriesOfTheirOwnType)
{
    // A recycled house and a recycled estate, each also named by an entry of
    // another type that has the same key.
    int urban = AddUrban(AddCity("杭州"), "西湖区");
    int est = InsertEstate(urban, "翠苑一区");
    int house = InsertHouse(est, "2", "301", "出租");
    TestDb_Exec("update t_house set iOrdinal = " + std::to_string(est) + " where iOrdinal = " + std::to_string(house));
    house = est;  // the same key in t_house and t_estate
    int client = InsertClient("王五", "求购", "西湖区");
    TestDb_Exec("update t_client set iOrdinal = " + std::to_string(house) + " where iOrdinal = " + std::to_string(client));
    client = house;
    int houseEntry = Recycle("t_house", 0, house);
    int estEntry = Recycle("t_estate", 2, est);
    int clientEntry = Recycle("t_client", 1, client);

    tagRECY* recy = nullptr;
    int n = 0;
    tagHOUSE* houses = nullptr;
    ASSERT_NE(FD_Sct_Recy_Hou(&recy, &houses, &n), nullptr);
    ASSERT_EQ(n, 1);
    EXPECT_EQ(recy[0].iOrdinal, houseEntry);
    Mem_Free_Recyle(recy);
    FreeObjects(houses);

    tagESTLIST* estates = nullptr;
    ASSERT_NE(FD_Sct_Recy_Est(&recy, &estates, &n), nullptr);
    ASSERT_EQ(n, 1);
    EXPECT_EQ(recy[0].iOrdinal, estEntry);
    EXPECT_STREQ(estates[0].szEstate, "翠苑一区");
    EXPECT_EQ(estates[0].iUrban, urban);
    Mem_Free_Recyle(recy);
    FreeObjects(estates);

    tagCLIENT* clients = nullptr;
    ASSERT_NE(FD_Sct_Recy_Cli(&recy, &clients, &n), nullptr);
    ASSERT_EQ(n, 1);
    EXPECT_EQ(recy[0].iOrdinal, clientEntry);
    Mem_Free_Recyle(recy);
    FreeObjects(clients);

    // Branches, employees, positions and areas.
    int br = InsertRow("insert into t_branch (szBr, bRecyle) values (" + Q("城西店") + ", 1)");
    int emp = InsertRow("insert into t_employee (szEmp, iBr, bRecyle) values (" + Q("赵六") + ", " + std::to_string(br) + ", 1)");
    int pst = InsertRow("insert into t_position (szPST, bRecyle) values (" + Q("置业顾问") + ", 1)");
    InsertRecycleEntry(3, br);
    InsertRecycleEntry(4, emp);
    InsertRecycleEntry(5, pst);
    InsertRecycleEntry(5, br);  // names the branch's key as a position: no such position row
    tagBRLIST* brs = nullptr;
    ASSERT_NE(FD_Sct_Recy_Br(&recy, &brs, &n), nullptr);
    ASSERT_EQ(n, 1);
    EXPECT_STREQ(brs[0].szBr, "城西店");
    Mem_Free_Recyle(recy);
    FreeObjects(brs);
    tagEMPLIST* emps = nullptr;
    ASSERT_NE(FD_Sct_Recy_Emp(&recy, &emps, &n), nullptr);
    ASSERT_EQ(n, 1);
    EXPECT_STREQ(emps[0].szEmp, "赵六");
    EXPECT_EQ(emps[0].iBr, br);
    Mem_Free_Recyle(recy);
    FreeObjects(emps);
    tagPostion* psts = nullptr;
    ASSERT_NE(FD_Sct_Recy_Pst(&recy, &psts, &n), nullptr);
    EXPECT_EQ(n, 1);
    EXPECT_STREQ(psts[0].szPST, "置业顾问");
    Mem_Free_Recyle(recy);
    FreeObjects(psts);

    tagURBAN u = {urban, 0, "", 0};
    TestDb_Exec("update t_estate set bRecyle = 1");  // the urban area's estate is recycled already
    ASSERT_EQ(FD_DEL_URBAN(1, &u), 1);
    tagURBAN* urbans = nullptr;
    ASSERT_NE(FD_Sct_Recy_Urban(&recy, &urbans, &n), nullptr);
    ASSERT_EQ(n, 1);
    EXPECT_STREQ(urbans[0].szUrban, "西湖区");
    Mem_Free_Recyle(recy);
    FreeObjects(urbans);
}

TEST_F(RecycleTest, FollowUpListsFindDeletedAndRetiredFollowUpsOfTheirKind)
{
    int house = InsertHouse(5, "1", "201", "出售");
    int client = InsertClient("孙七", "求租", "滨江区");
    int single = InsertFollow(house, 0, "业主调价", 1);  // deleted on its own: indexed as type 7
    int singleEntry = InsertRecycleEntry(7, single);
    int retired = InsertFollow(house, 0, "带看两次", 1);  // retired with its house: no entry
    InsertFollow(house, 0, "仍在跟进");
    int cf = InsertFollow(0, client, "电话回访", 1);
    InsertRecycleEntry(8, cf);
    // An entry of another type with a follow-up's key is not a follow-up entry.
    InsertRecycleEntry(0, retired);

    tagRECY* recy = nullptr;
    tagFOLLOW* fol = nullptr;
    int n = 0;
    ASSERT_NE(FD_Sct_Recy_HouFol(&recy, &fol, &n), nullptr);
    ASSERT_EQ(n, 2);
    EXPECT_EQ(recy[0].iOrdinal, singleEntry);
    EXPECT_EQ(recy[0].iObjOrdinal, single);
    EXPECT_EQ(recy[1].iOrdinal, 0);
    EXPECT_EQ(recy[1].iObjOrdinal, retired);
    EXPECT_STREQ(recy[1].szRecyle, "");
    EXPECT_STREQ(fol[1].szContent, "带看两次");
    EXPECT_EQ(fol[1].iEst, 5);
    EXPECT_STREQ(fol[1].szHouseNO, "201");
    EXPECT_EQ(fol[1].iHou, house);
    // A retired follow-up without an entry is restored all the same.
    EXPECT_EQ(FD_Recover_Recyle(1, &recy[1], 7), 1);
    EXPECT_EQ(TestDb_Scalar("select bRecyle from t_follow where iOrdinal = " + std::to_string(retired)), "0");
    Mem_Free_Recyle(recy);
    FreeObjects(fol);

    ASSERT_NE(FD_Sct_Recy_CliFol(&recy, &fol, &n), nullptr);
    ASSERT_EQ(n, 1);
    EXPECT_EQ(fol[0].iOrdinal, cf);
    EXPECT_STREQ(fol[0].szCliMan, "孙七");
    EXPECT_STREQ(fol[0].szTrade, "求租");
    EXPECT_STREQ(fol[0].szWay, "滨江区");
    EXPECT_EQ(fol[0].iCli, client);
    Mem_Free_Recyle(recy);
    FreeObjects(fol);

    // Clearing house follow-ups leaves the client follow-ups in the bin.
    EXPECT_EQ(FD_Clear_Recyle(1, 7), 1);
    EXPECT_EQ(TestDb_Count("t_follow where iOrdinal = " + std::to_string(single)), 0);
    EXPECT_EQ(TestDb_Count("t_follow where iOrdinal = " + std::to_string(cf)), 1);
    EXPECT_EQ(TestDb_Count("t_follow where bRecyle = 0"), 2);
    EXPECT_EQ(TestDb_Count("t_recyle where iObjType = 8"), 1);
    EXPECT_EQ(TestDb_Count("t_recyle where iObjType = 7"), 0);
}

TEST_F(RecycleTest, LookUpListsIncludeRecycledRows)
{
    int city = AddCity("杭州");
    int urban = AddUrban(city, "西湖区");
    InsertEstate(urban, "翠苑一区");
    InsertEstate(urban, "旧村", 1);
    InsertRow("insert into t_branch (szBr, bRecyle) values (" + Q("城西店") + ", 1)");
    InsertRow("insert into t_employee (szEmp, iBr, bRecyle) values (" + Q("离职员工") + ", 1, 1)");

    tagWNDRECY w = {};
    ASSERT_EQ(FD_Init_RecyArgc(&w), 1);
    EXPECT_EQ(w.nUrban, 2);
    EXPECT_EQ(w.nEst, 2);
    EXPECT_EQ(w.nBr, 2);
    EXPECT_EQ(w.nEmp, 2);
    EXPECT_STREQ(w.pEmp[1].szEmp, "离职员工");
    EXPECT_STREQ(w.pBr[0].szBr, "总店");
    EXPECT_STREQ(w.pEst[1].szEstate, "旧村");
    EXPECT_EQ(w.pEst[1].iUrban, urban);
    // Loading again replaces the lists.
    ASSERT_EQ(FD_Init_RecyArgc(&w), 1);
    EXPECT_EQ(w.nEmp, 2);
    Term_RecyArgc(&w);
    EXPECT_EQ(w.pEmp, nullptr);
    EXPECT_EQ(w.nUrban, 0);

    TestDb_Exec("rename table t_branch to t_branch_away");
    EXPECT_EQ(FD_Init_RecyArgc(&w), 0);
    TestDb_Exec("rename table t_branch_away to t_branch");
    EXPECT_EQ(w.pUrban, nullptr);
}

TEST_F(RecycleTest, RestorePurgeAndClearAreLoggedWithTheirOperator)
{
    int urban = AddUrban(AddCity("杭州"), "西湖区");
    int back = InsertEstate(urban, "回春苑");
    int gone = InsertEstate(urban, "旧村");
    int entryBack = Recycle("t_estate", 2, back);
    int entryGone = Recycle("t_estate", 2, gone);
    TestDb_Exec("delete from t_log");
    tagRECY rb = {entryBack, 2, "", back};
    tagRECY rg = {entryGone, 2, "", gone};
    ASSERT_EQ(FD_Recover_Recyle(5, &rb, 2), 1);
    ASSERT_EQ(FD_Del_Recyle(6, &rg, 2), 1);
    EXPECT_EQ(TestDb_Count("t_estate where iOrdinal = " + std::to_string(gone)), 0);
    // The purged row's snapshot was taken before it went.
    EXPECT_EQ(TestDb_Query("select iAct, iObjType, iObjID, iOpEmp, szValue from t_log order by iOrdinal"),
              (std::vector<std::vector<std::string>>{{"5", "2", std::to_string(back), "5", "回春苑"},
                                                     {"6", "2", std::to_string(gone), "6", "旧村"}}));
    for (const char* no : {"12", "13"}) {
        int h = InsertHouse(back, "1", no, "出售");
        Recycle("t_house", 0, h);
    }
    ASSERT_EQ(FD_Clear_Recyle(7, 0), 1);
    EXPECT_EQ(TestDb_Scalar("select concat(iAct, '/', iObjType, '/', iObjID, '/', iOpEmp, '/', szValue) from t_log "
                            "where iAct = 7"),
              "7/0/0/7/清空回收站: 2");
}

TEST_F(RecycleTest, RejectedChangesSayWhat)
{
    tagRECY r = {1, 1, "", 1};
    TestDb_Exec("rename table t_recyle to t_recyle_away");
    EXPECT_EQ(FD_Recover_Recyle(1, &r, 0), 0);
    ExpectOneBox("还原数据,发生未知错误", "操作失败");
    EXPECT_EQ(FD_Del_Recyle(1, &r, 2), 0);
    ExpectOneBox("回收站删除,发生未知错误", "操作失败");
    EXPECT_EQ(FD_Clear_Recyle(1, 3), 0);
    ExpectOneBox("清空回收站,发生未知错误", "操作失败");
    TestDb_Exec("rename table t_recyle_away to t_recyle");
    EXPECT_EQ(FD_Clear_Recyle(1, 12), 0);  // log-only types have no table
}

}  // namespace
