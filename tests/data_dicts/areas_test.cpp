// Cities, urban areas and districts: loading, the server-side guards of
// renames and deletions, merging, finding and the area drop-down fill.
#include "tests/data_dicts/dicts_test.h"

namespace {

using AreaTest = DictsTest;

const char kCityInUse[] = "错误原因:\n\n1.该数据被城区占用,不能直接删除\n\n2.已被其它用户删除";
const char kUrbanInUse[] = "错误原因:\n\n1.该数据被楼盘占用,不能直接删除\n\n2.已被其它用户删除";

TEST_F(AreaTest, CityWithLiveUrbanAreaIsKeptUntilTheUrbanAreaIsRecycled)
{
    int city = AddCity("杭州");
    int urban = AddUrban(city, "西湖区");
    tagCITY c = {city, ""};
    tagURBAN u = {urban, 0, "", city};

    EXPECT_EQ(FD_DEL_CITY(7, &c), 0);
    ExpectOneBox(kCityInUse, "操作失败");
    EXPECT_EQ(TestDb_Scalar("select bRecyle from t_urban where iOrdinal = " + std::to_string(city)), "0");
    EXPECT_EQ(TestDb_Count("t_recyle"), 0);

    EXPECT_EQ(FD_DEL_URBAN(7, &u), 1);
    EXPECT_EQ(FD_DEL_CITY(7, &c), 1);
    EXPECT_EQ(TestBoxes_Count(), 0u);
    EXPECT_EQ(TestDb_Count("t_urban where bRecyle = 1"), 2);
    // Both deletions are indexed as type 6 by the operator, and logged.
    auto rows = TestDb_Query("select iObjType, iObjOrdinal, iEmp from t_recyle order by iOrdinal");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"6", std::to_string(urban), "7"}));
    EXPECT_EQ(rows[1], (std::vector<std::string>{"6", std::to_string(city), "7"}));
    // The two deletions are logged; the refused attempt is not.
    EXPECT_EQ(TestDb_Count("t_log where iAct = 1 and iObjType = 6 and iOpEmp = 7"), 2);
}

TEST_F(AreaTest, UrbanAreaInUseByLiveEstateOrDistrictIsKept)
{
    int city = AddCity("杭州");
    int urban = AddUrban(city, "西湖区");
    tagURBAN u = {urban, 0, "", city};
    int est = InsertEstate(urban, "翠苑一区");

    EXPECT_EQ(FD_DEL_URBAN(1, &u), 0);
    ExpectOneBox(kUrbanInUse, "操作失败");

    TestDb_Exec("update t_estate set bRecyle = 1 where iOrdinal = " + std::to_string(est));
    int dist = AddDistrict(urban, "文三路");
    EXPECT_EQ(FD_DEL_URBAN(1, &u), 0);
    ExpectOneBox(kUrbanInUse, "操作失败");

    TestDb_Exec("update t_district set bRecyle = 1 where iOrdinal = " + std::to_string(dist));
    EXPECT_EQ(FD_DEL_URBAN(1, &u), 1);
    EXPECT_EQ(TestDb_Count("t_recyle where iObjType = 6 and iObjOrdinal = " + std::to_string(urban)), 1);
}

TEST_F(AreaTest, NamesInTheRecycleBinBlockNewOnes)
{
    int city = AddCity("杭州");
    tagCITY c = {city, ""};
    ASSERT_EQ(FD_DEL_CITY(1, &c), 1);
    TestBoxes_Reset();

    tagCITY again = {};
    Set(again.szUrban, "杭州");
    EXPECT_EQ(FD_IST_CITY(1, &again), 0);
    ExpectOneBox("数据重复,加入失败", "错误", MB_OK | MB_ICONWARNING);
    EXPECT_EQ(again.iOrdinal, 0);
    EXPECT_EQ(TestDb_Count("t_urban"), 1);

    // The same name under another parent is a different area.
    int other = AddCity("宁波");
    AddUrban(other, "杭州");
    EXPECT_EQ(TestBoxes_Count(), 0u);

    // Districts: unique within one urban area.
    int urban = AddUrban(other, "海曙区");
    AddDistrict(urban, "鼓楼");
    tagDISTRICT d = {};
    d.iParentIndex = urban;
    Set(d.szDistrict, "鼓楼");
    EXPECT_EQ(FD_IST_DISTRICT(1, &d), 0);
    ExpectOneBox("数据重复,加入失败", "错误", MB_OK | MB_ICONWARNING);
    // An added area is logged; a district is not.
    EXPECT_EQ(TestDb_Count("t_log where iAct = 3 and iObjType = 6"), 4);
    EXPECT_EQ(TestDb_Count("t_log where iObjType = 11"), 0);
}

TEST_F(AreaTest, LoadersFilterOrderAndLeaveSpareSlots)
{
    int hz = AddCity("杭州");
    int nb = AddCity("宁波");
    int gone = AddCity("温州");
    TestDb_Exec("update t_urban set bRecyle = 1 where iOrdinal = " + std::to_string(gone));
    TestDb_Exec("update t_urban set bActive = 0 where iOrdinal = " + std::to_string(nb));
    int xh = AddUrban(hz, "西湖区", 2);
    int sc = AddUrban(hz, "上城区", 1);
    int hs = AddUrban(nb, "海曙区", 5);
    int old = AddUrban(hz, "旧城区", 0);
    TestDb_Exec("update t_urban set bRecyle = 1 where iOrdinal = " + std::to_string(old));

    tagCITY* cities = reinterpret_cast<tagCITY*>(1);
    int n = -1;
    ASSERT_NE(FD_SCT_CITY(&cities, &n, 1), nullptr);
    ASSERT_EQ(n, 1);
    EXPECT_EQ(cities[0].iOrdinal, hz);
    EXPECT_STREQ(cities[0].szUrban, "杭州");
    for (int i = 1; i < 1 + 101; ++i)
        ASSERT_EQ(cities[i].iOrdinal, 0);
    Mem_Free_City(cities);
    ASSERT_NE(FD_SCT_CITY(&cities, &n, 0), nullptr);
    EXPECT_EQ(n, 2);
    Mem_Free_City(cities);

    tagURBAN* urbans = nullptr;
    ASSERT_NE(FD_SCT_URBAN(nullptr, &urbans, &n, 1, 0), nullptr);
    ASSERT_EQ(n, 3);
    EXPECT_EQ(urbans[0].iOrdinal, sc);  // by city, then priority
    EXPECT_EQ(urbans[1].iOrdinal, xh);
    EXPECT_EQ(urbans[2].iOrdinal, hs);
    EXPECT_EQ(urbans[2].iPriority, 5);
    EXPECT_EQ(urbans[2].iParentIndex, nb);
    EXPECT_STREQ(urbans[1].szUrban, "西湖区");
    Mem_Free_Urban(urbans);

    tagCITY city = {nb, ""};
    ASSERT_NE(FD_SCT_URBAN(&city, &urbans, &n, 0, 0), nullptr);
    EXPECT_EQ(n, 1);
    Mem_Free_Urban(urbans);
    ASSERT_NE(FD_SCT_URBAN(nullptr, &urbans, &n, 1, 1), nullptr);
    ASSERT_EQ(n, 1);
    EXPECT_EQ(urbans[0].iOrdinal, old);
    Mem_Free_Urban(urbans);

    int d1 = AddDistrict(xh, "文三路", 2);
    int d2 = AddDistrict(xh, "古荡", 1);
    AddDistrict(sc, "湖滨");
    tagDISTRICT* dists = nullptr;
    tagURBAN filter = {xh, 0, "", hz};
    ASSERT_NE(FD_SCT_DISTRICT(&filter, &dists, &n, 0, 0), nullptr);
    ASSERT_EQ(n, 2);
    EXPECT_EQ(dists[0].iOrdinal, d2);
    EXPECT_EQ(dists[1].iOrdinal, d1);
    EXPECT_EQ(dists[0].pUrban, &filter);
    EXPECT_EQ(dists[0].iParentIndex, xh);
    Mem_Free_Dist(dists);
    ASSERT_NE(FD_SCT_DISTRICT(nullptr, &dists, &n, 0, 0), nullptr);
    EXPECT_EQ(n, 3);
    EXPECT_EQ(dists[0].pUrban, nullptr);
    Mem_Free_Dist(dists);
}

TEST_F(AreaTest, NamesAreCutAtTenBytesWithoutSplittingACharacter)
{
    int city = AddCity("杭州");
    // 12 bytes, and 11 bytes with a character straddling the cut.
    int u1 = InsertRow("insert into t_urban (iParentIndex, szUrban) values (" + std::to_string(city) + ", " +
                       Q("一二三四五六") + ")");
    int u2 = InsertRow("insert into t_urban (iParentIndex, szUrban) values (" + std::to_string(city) + ", " +
                       Q("a一二三四五") + ")");
    InsertRow("insert into t_district (iParentIndex, szDistrict) values (" + std::to_string(u1) + ", " +
              Q("abcdefghijk") + ")");
    tagURBAN* urbans = nullptr;
    int n = 0;
    ASSERT_NE(FD_SCT_URBAN(nullptr, &urbans, &n, 1, 0), nullptr);
    ASSERT_EQ(n, 2);
    EXPECT_STREQ(FindUrban(urbans, nullptr, u1, nullptr, n)->szUrban, "一二三四五");
    EXPECT_STREQ(FindUrban(urbans, nullptr, u2, nullptr, n)->szUrban, "a一二三四");
    Mem_Free_Urban(urbans);
    tagDISTRICT* dists = nullptr;
    ASSERT_NE(FD_SCT_DISTRICT(nullptr, &dists, &n, 0, 0), nullptr);
    EXPECT_STREQ(dists[0].szDistrict, "abcdefghij");
    Mem_Free_Dist(dists);
}

TEST_F(AreaTest, PriorityOnlyChangeSendsNoGuardAndRenamesAreGuarded)
{
    int city = AddCity("杭州");
    int xh = AddUrban(city, "西湖区", 1);
    AddUrban(city, "上城区", 2);
    tagURBAN old = {xh, 1, "西湖区", city};

    // Same name: no guard, so the row's own name does not block it; even an
    // unchanged priority matches the row.
    // (Each save goes on from the record the one before it stored, as the
    // dialog does: a save from a record older than the row's is refused.)
    tagURBAN same = old;
    EXPECT_EQ(FD_UPD_URBAN(1, &old, &same), 1);
    tagURBAN prio = same;
    prio.iPriority = 9;
    memcpy(prio.szUrban, "西湖区\0区x", 10);  // leftovers of a longer name behind the text
    EXPECT_EQ(FD_UPD_URBAN(1, &same, &prio), 1);
    EXPECT_EQ(TestBoxes_Count(), 0u);
    EXPECT_EQ(TestDb_Scalar("select iPriority from t_urban where iOrdinal = " + std::to_string(xh)), "9");

    tagURBAN dup = prio;
    Set(dup.szUrban, "上城区");
    EXPECT_EQ(FD_UPD_URBAN(1, &prio, &dup), 1);
    ExpectOneBox("目标数据重复,操作失败", "");
    EXPECT_EQ(TestDb_Scalar("select szUrban from t_urban where iOrdinal = " + std::to_string(xh)), "西湖区");

    tagURBAN renamed = prio;
    Set(renamed.szUrban, "西湖风景区");
    EXPECT_EQ(FD_UPD_URBAN(1, &prio, &renamed), 1);
    EXPECT_EQ(TestBoxes_Count(), 0u);
    EXPECT_EQ(TestDb_Scalar("select szUrban from t_urban where iOrdinal = " + std::to_string(xh)), "西湖风景区");
    // The rename the guard refused stored nothing and is not logged.
    EXPECT_EQ(TestDb_Count("t_log where iAct = 2 and iObjType = 6 and iObjID = " + std::to_string(xh)), 3);

    // Cities always send the guard.
    int nb = AddCity("宁波");
    tagCITY c = {nb, "宁波"}, cdup = {nb, "杭州"}, cnew = {nb, "宁波市"};
    EXPECT_EQ(FD_UPD_CITY(1, &c, &cdup), 1);
    ExpectOneBox("目标数据重复,操作失败,或源数据被删除", "");
    EXPECT_EQ(FD_UPD_CITY(1, &c, &cnew), 1);
    EXPECT_EQ(TestBoxes_Count(), 0u);
    EXPECT_EQ(TestDb_Scalar("select szUrban from t_urban where iOrdinal = " + std::to_string(nb)), "宁波市");

    // Districts: a rename to a sibling's name changes nothing, silently.
    int d1 = AddDistrict(xh, "古荡");
    AddDistrict(xh, "文三路");
    tagDISTRICT dOld = {d1, 0, xh, "古荡", nullptr}, dDup = {d1, 3, xh, "文三路", nullptr};
    EXPECT_EQ(FD_UPD_DISTRICT(1, &dOld, &dDup), 1);
    EXPECT_EQ(TestBoxes_Count(), 0u);
    EXPECT_EQ(TestDb_Query("select szDistrict, iPriority from t_district where iOrdinal = " + std::to_string(d1))[0],
              (std::vector<std::string>{"古荡", "0"}));
    tagDISTRICT dPrio = {d1, 3, xh, "古荡", nullptr};
    EXPECT_EQ(FD_UPD_DISTRICT(1, &dOld, &dPrio), 1);
    EXPECT_EQ(TestDb_Scalar("select iPriority from t_district where iOrdinal = " + std::to_string(d1)), "3");
}

TEST_F(AreaTest, MergingMovesDistrictsAndEstatesAndReportsBothCounts)
{
    int city = AddCity("杭州");
    int src = AddUrban(city, "江干区");
    int dst = AddUrban(city, "上城区");
    AddDistrict(src, "四季青");
    AddDistrict(src, "笕桥");
    AddDistrict(dst, "湖滨");
    for (const char* e : {"钱江新城", "采荷", "景芳"})
        InsertEstate(src, e);
    tagURBAN s = {src, 0, "江干区", city}, t = {dst, 0, "上城区", city};

    EXPECT_EQ(FD_JOIN_URBAN(1, &s, &t), 1);
    ExpectOneBox("转移片区   2条.转移楼盘字典   3条.", "合并成功");
    EXPECT_EQ(TestDb_Count("t_district where iParentIndex = " + std::to_string(dst)), 3);
    EXPECT_EQ(TestDb_Count("t_estate where iUrban = " + std::to_string(dst)), 3);
    EXPECT_EQ(TestDb_Count("t_urban where iOrdinal = " + std::to_string(src) + " and bRecyle = 0"), 1);

    // Into itself: every row matches, so the counts are reported again.
    EXPECT_EQ(FD_JOIN_URBAN(1, &t, &t), 1);
    ExpectOneBox("转移片区   3条.转移楼盘字典   3条.", "合并成功");
    // The three area additions and the two merges, each saying what moved.
    EXPECT_EQ(TestDb_Count("t_log"), 5);
    EXPECT_EQ(TestDb_Scalar("select szValue from t_log where iAct = 13 and iOpEmp = 1 and iObjType = 6 and iObjID = " +
                            std::to_string(src)),
              "江干区 合并到 上城区: 片区 2 条, 楼盘 3 条");
}

TEST_F(AreaTest, DistrictDeletionIsIndexedButNotLogged)
{
    int city = AddCity("杭州");
    int urban = AddUrban(city, "西湖区");
    int d = AddDistrict(urban, "古荡");
    long long logs = TestDb_Count("t_log");
    tagDISTRICT rec = {d, 0, urban, "古荡", nullptr};
    EXPECT_EQ(FD_DEL_DISTRICT(3, &rec), 1);
    EXPECT_EQ(TestDb_Count("t_recyle where iObjType = 11 and iEmp = 3 and iObjOrdinal = " + std::to_string(d)), 1);
    EXPECT_EQ(TestDb_Count("t_log"), logs);
    // A district that is gone is not indexed.
    tagDISTRICT missing = {9999, 0, urban, "x", nullptr};
    EXPECT_EQ(FD_DEL_DISTRICT(3, &missing), 0);
    EXPECT_EQ(TestDb_Count("t_recyle"), 1);
}

TEST_F(AreaTest, FindFunctions)
{
    tagDISTRICT dists[2 + 101] = {};
    dists[0] = {4, 0, 1, "古荡", nullptr};
    dists[1] = {6, 0, 1, "文三路", nullptr};
    tagDISTRICT* out = reinterpret_cast<tagDISTRICT*>(1);
    EXPECT_EQ(FindDist(dists, &out, 0, nullptr, 2), &dists[2]);  // first free slot
    EXPECT_EQ(out, &dists[2]);
    EXPECT_EQ(FindDist(dists, &out, 0, "文三路", 2), &dists[1]);
    EXPECT_EQ(FindDist(dists, &out, 5, nullptr, 2), nullptr);
    EXPECT_EQ(out, nullptr);

    tagURBAN urbans[2] = {{3, 0, "西湖区", 1}, {8, 0, "上城区", 1}};
    tagURBAN* uo = reinterpret_cast<tagURBAN*>(1);
    EXPECT_EQ(FindUrban(urbans, &uo, 8, nullptr, 2), &urbans[1]);
    EXPECT_EQ(FindUrban(urbans, &uo, 0, "西湖", 2), nullptr);
    EXPECT_EQ(uo, nullptr);

    tagCITY cities[2] = {{1, "杭州"}, {2, "宁波"}};
    tagCITY* co = nullptr;
    EXPECT_EQ(FindCity(cities, &co, 0, "宁波", 2), &cities[1]);
    EXPECT_EQ(co, &cities[1]);
    EXPECT_EQ(FindCity(cities, &co, 1, "", 2), nullptr);  // an empty text finds nothing
    EXPECT_EQ(FindCity(cities, nullptr, 1, nullptr, 2), &cities[0]);
}

TEST_F(AreaTest, AreaFillAppendsOneParentsRunAfterAnEmptyEntry)
{
    tagURBAN urbans[5 + 101] = {};
    urbans[0] = {11, 1, "上城区", 1};
    urbans[1] = {12, 2, "西湖区", 1};
    urbans[2] = {21, 1, "海曙区", 2};
    urbans[3] = {13, 3, "滨江区", 1};  // added later, after another city's run
    urbans[4] = {22, 2, "江北区", 2};
    FillRecorder rec;
    EXPECT_EQ(FillAreaCombo(urbans, 5, 1, FillRecorder::Add, &rec), 0);
    EXPECT_EQ(rec.texts, (std::vector<std::string>{"", "上城区", "西湖区"}));
    rec.texts.clear();
    EXPECT_EQ(FillAreaCombo(urbans, 5, 2, FillRecorder::Add, &rec), 2);
    EXPECT_EQ(rec.texts, (std::vector<std::string>{"", "海曙区"}));
    rec.texts.clear();
    EXPECT_EQ(FillAreaCombo(urbans, 5, 3, FillRecorder::Add, &rec), -1);
    EXPECT_TRUE(rec.texts.empty());
    // Free slots never belong to a run, not even of parent 0.
    EXPECT_EQ(FillAreaCombo(urbans, 5 + 101, 0, FillRecorder::Add, &rec), -1);

    tagDISTRICT dists[3] = {{1, 0, 11, "湖滨", nullptr}, {2, 0, 12, "古荡", nullptr}, {3, 0, 12, "文三路", nullptr}};
    HWND combo = MakeCombo();
    SendMessageA(combo, CB_ADDSTRING, 0, (LPARAM) "旧项");
    EXPECT_EQ(FillAreaCombo(combo, dists, 3, 12), 1);
    EXPECT_EQ(ComboItems(combo), (std::vector<std::string>{"旧项", "", "古荡", "文三路"}));  // appends only
    DestroyWindow(combo);
}

TEST_F(AreaTest, HostileNamesAreStoredAndReadBackUnchanged)
{
    std::string hostile = HostileText();
    ASSERT_LT(hostile.size(), sizeof(tagCITY::szUrban));
    int city = AddCity(hostile.c_str());
    ASSERT_NE(city, 0);
    EXPECT_EQ(TestDb_Scalar("select szUrban from t_urban where iOrdinal = " + std::to_string(city)), hostile);
    EXPECT_EQ(TestDb_Count("t_log where iObjType = 6"), 1);  // t_log is still there
    tagCITY* cities = nullptr;
    int n = 0;
    ASSERT_NE(FD_SCT_CITY(&cities, &n, 1), nullptr);
    ASSERT_EQ(n, 1);
    EXPECT_EQ(std::string(cities[0].szUrban), hostile);
    EXPECT_EQ(FindCity(cities, nullptr, 0, hostile.c_str(), n), &cities[0]);
    // A second city of that name is a duplicate: the check escapes it too.
    tagCITY dup = {};
    Set(dup.szUrban, hostile);
    EXPECT_EQ(FD_IST_CITY(1, &dup), 0);
    ExpectOneBox("数据重复,加入失败", "错误", MB_OK | MB_ICONWARNING);
    Mem_Free_City(cities);

    // A district name with a 0x5C trail byte and a quote, renamed through the guard.
    int urban = AddUrban(city, "西湖区");
    int d = AddDistrict(urban, "\xD5\x5C'a\\");
    tagDISTRICT o = {d, 0, urban, "\xD5\x5C'a\\", nullptr}, r = {d, 0, urban, "'\xB1\x5C%_", nullptr};
    EXPECT_EQ(FD_UPD_DISTRICT(1, &o, &r), 1);
    EXPECT_EQ(TestDb_Scalar("select szDistrict from t_district where iOrdinal = " + std::to_string(d)), "'\xB1\x5C%_");
}

}  // namespace
