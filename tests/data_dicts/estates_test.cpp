// The estate dictionary and buildings: adding with both steps, the name
// guard, the in-use guard of deletion, loading, finding.
#include "tests/data_dicts/dicts_test.h"

namespace {

using EstateTest = DictsTest;

const char kEstateInUse[] = "错误原因:\n\n1.该楼盘下有房源或客源,不能直接删除\n\n2.已被其它用户删除";

tagESTATE FullEstate(int iUrban, const char* name)
{
    tagESTATE e;
    memset(&e, 0, sizeof e);  // padding included: records are compared bytewise
    e.iUrban = iUrban;
    Set(e.szEstate, name);
    Set(e.szSpell, "CYYQ");
    Set(e.szAddress, "文三路'478号\\");
    Set(e.szIntersection, "文三路与学院路口");
    Set(e.szRingArea, "二至三环");
    e.iCoversArea = 52000;
    e.iBuildArea = 130000;
    Set(e.szDist, "古荡");
    e.iBuild = 12;
    e.iRoom = 78;
    e.iVacancy = 3;
    e.iVolume = 250;
    e.iAfforest = 35;
    e.iHouse = 1200;
    e.iPark = 800;
    Set(e.szHouseStruct, "平层");
    Set(e.szHouseUsage, "住宅");
    Set(e.szHouseType, "公寓");
    Set(e.szBuildType, "小高层");
    Set(e.szBuildStruct, "框剪");
    Set(e.szHandoverStandard, "精装修");
    Set(e.szBuildYear, "2004-10");
    Set(e.szLandCategory, "国有土地");
    Set(e.szLandSource, "出让");
    Set(e.szLandUsage, "住宅用地");
    Set(e.szUsePeriod, "70年");
    Set(e.szTransferDate, "2001-05-01");
    Set(e.szTransferPrice, "3.2亿");
    Set(e.szFloorPrice, "2500");
    Set(e.szDevCom, "杭州城建开发有限公司");
    Set(e.szBuildCom, "浙江建工集团");
    Set(e.szMgCom, "绿城物业");
    Set(e.szSalesAddress, "文三路售楼处");
    Set(e.szMgAddress, "小区物业中心");
    Set(e.szSalesTel, "0571-8888888");
    Set(e.szMgTel, "0571-6666666");
    Set(e.szOpenDate, "2003-04-18");
    Set(e.szWorkTime, "8:30-17:30");
    e.iOpenAvePrice = 5600;
    Set(e.szHandOverDate, "2004-12-31");
    e.dMgPrice = 1.8;
    e.dParkRentPrice = 12.5;
    return e;
}

int Urban()
{
    return AddUrban(AddCity("杭州"), "西湖区");
}

TEST_F(EstateTest, AddWritesEveryColumnAndDetailReadsThemBack)
{
    int urban = Urban();
    tagESTATE e = FullEstate(urban, "翠苑一区");
    ASSERT_EQ(FD_Ist_Est(5, &e), 1);
    ASSERT_NE(e.iOrdinal, 0);
    EXPECT_EQ(TestBoxes_Count(), 0u);
    std::string key = std::to_string(e.iOrdinal);
    // Prices are written with two decimals.
    EXPECT_EQ(TestDb_Scalar("select dParkRentPrice from t_estate where iOrdinal = " + key), "12.50");
    EXPECT_EQ(TestDb_Scalar("select dMgPrice from t_estate where iOrdinal = " + key), "1.80");
    EXPECT_EQ(TestDb_Scalar("select szHandOverDate from t_estate where iOrdinal = " + key), "2004-12-31");
    EXPECT_EQ(TestDb_Count("t_log where iAct = 3 and iObjType = 2 and iOpEmp = 5 and szValue = " + Q("翠苑一区")), 1);

    tagESTATE back;
    memset(&back, 0, sizeof back);
    back.iOrdinal = e.iOrdinal;
    ASSERT_EQ(FD_Sct_EstDetail(&back), &back);
    EXPECT_DOUBLE_EQ(back.dParkRentPrice, 12.5);
    EXPECT_DOUBLE_EQ(back.dMgPrice, 1.8);
    // Every field comes back as written (pUrban is not read).
    EXPECT_EQ(memcmp(&back, &e, offsetof(tagESTATE, pUrban)), 0);
}

TEST_F(EstateTest, NamesAreUniqueWithinAnUrbanAreaOnly)
{
    int city = AddCity("杭州");
    int xh = AddUrban(city, "西湖区");
    int sc = AddUrban(city, "上城区");
    tagESTATE a = FullEstate(xh, "翠苑一区"), b = FullEstate(sc, "翠苑一区"), c = FullEstate(xh, "翠苑一区");
    ASSERT_EQ(FD_Ist_Est(1, &a), 1);
    EXPECT_EQ(FD_Ist_Est(1, &b), 1);
    EXPECT_EQ(FD_Ist_Est(1, &c), 0);
    ExpectOneBox("数据重复", "");

    // A recycled estate still holds its name.
    TestDb_Exec("update t_estate set bRecyle = 1 where iOrdinal = " + std::to_string(a.iOrdinal));
    EXPECT_EQ(FD_Ist_Est(1, &c), 0);
    ExpectOneBox("数据重复", "");

    // Modify: its own name is fine; a sibling's is not; the urban area stays.
    tagESTATE d = FullEstate(sc, "采荷新村");
    ASSERT_EQ(FD_Ist_Est(1, &d), 1);
    tagESTATE nd = d;
    nd.iPark = 5;
    EXPECT_EQ(FD_Upd_Est(1, &d, &nd), 1);
    Set(nd.szEstate, "翠苑一区");
    EXPECT_EQ(FD_Upd_Est(1, &d, &nd), 0);
    ExpectOneBox("数据重复", "");
    // (The form goes on from what it stored: nd, with the new version.)
    tagESTATE moved = nd;
    moved.iUrban = xh;
    Set(moved.szEstate, "采荷二区");
    EXPECT_EQ(FD_Upd_Est(1, &nd, &moved), 1);
    EXPECT_EQ(TestDb_Query("select szEstate, iUrban, iPark from t_estate where iOrdinal = " + std::to_string(d.iOrdinal))[0],
              (std::vector<std::string>{"采荷二区", std::to_string(sc), "5"}));
    EXPECT_EQ(TestDb_Count("t_log where iAct = 2 and iObjType = 2"), 2);
}

TEST_F(EstateTest, EstateWithLiveBuildingOrHouseIsKept)
{
    int urban = Urban();
    tagESTATE e = FullEstate(urban, "翠苑一区");
    ASSERT_EQ(FD_Ist_Est(1, &e), 1);
    tagBUILDNO b = {0, e.iOrdinal, 2, 4, 18, 3, "", "高层", "框剪"};
    ASSERT_EQ(FD_Ist_BNO(1, &b), 1);
    ASSERT_NE(b.iOrdinal, 0);

    EXPECT_EQ(FD_Del_Est(1, &e), 0);
    ExpectOneBox(kEstateInUse, "操作失败");
    EXPECT_EQ(FD_Del_BNO(1, &b), 1);
    EXPECT_EQ(TestDb_Count("t_buildno"), 0);  // deleted outright

    int house = InsertHouse(e.iOrdinal, "3", "501", "出售");
    EXPECT_EQ(FD_Del_Est(1, &e), 0);
    ExpectOneBox(kEstateInUse, "操作失败");
    TestDb_Exec("update t_house set bRecyle = 1 where iOrdinal = " + std::to_string(house));

    EXPECT_EQ(FD_Del_Est(4, &e), 1);
    EXPECT_EQ(TestBoxes_Count(), 0u);
    EXPECT_EQ(TestDb_Count("t_recyle where iObjType = 2 and iEmp = 4 and iObjOrdinal = " + std::to_string(e.iOrdinal)), 1);
    // The deletion is logged, the two refused attempts are not; the
    // building's addition and its deletion (with what it was).
    EXPECT_EQ(TestDb_Count("t_log where iAct = 1 and iObjType = 2"), 1);
    EXPECT_EQ(TestDb_Count("t_log where iObjType = 9"), 2);
    EXPECT_EQ(TestDb_Count("t_log where iObjType = 9 and iAct = 1 and szValue <> ''"), 1);
}

TEST_F(EstateTest, ListsFilterByUrbanAreaAndCutToTheirFields)
{
    int city = AddCity("杭州");
    int xh = AddUrban(city, "西湖区");
    int sc = AddUrban(city, "上城区");
    tagESTATE a = FullEstate(xh, "翠苑一区");
    Set(a.szHouseStruct, "平层复式");
    ASSERT_EQ(FD_Ist_Est(1, &a), 1);
    // A long structure text written by another program is cut to the field.
    TestDb_Exec("update t_estate set szHouseStruct = " + Q("平层复式跃层错层") + ", szHouseUsage = " + Q("住宅商业办公混合") +
                ", szRingArea = NULL where iOrdinal = " +
                std::to_string(a.iOrdinal));
    int b = InsertEstate(sc, "采荷新村");
    int gone = InsertEstate(xh, "旧村", 1);

    tagESTLIST* list = nullptr;
    int n = 0;
    ASSERT_NE(FD_Sct_EstList(nullptr, &list, &n, 1, 0), nullptr);
    ASSERT_EQ(n, 2);
    EXPECT_EQ(list[0].iOrdinal, a.iOrdinal);
    EXPECT_EQ(list[0].iUrban, xh);
    EXPECT_STREQ(list[0].szSpell, "CYYQ");
    EXPECT_STREQ(list[0].szAddress, "文三路'478号\\");
    EXPECT_STREQ(list[0].szHouseStruct, "平层复式跃层错层");
    EXPECT_STREQ(list[0].szRingArea, "");
    EXPECT_EQ(list[1].iOrdinal, b);
    EXPECT_EQ(list[2].iOrdinal, 0);
    // Passing the list back in releases it and loads again.
    tagURBAN u = {sc, 0, "上城区", city};
    ASSERT_NE(FD_Sct_EstList(&u, &list, &n, 1, 0), nullptr);
    ASSERT_EQ(n, 1);
    EXPECT_STREQ(list[0].szEstate, "采荷新村");
    ASSERT_NE(FD_Sct_EstList(nullptr, &list, &n, 1, 1), nullptr);
    ASSERT_EQ(n, 1);
    EXPECT_EQ(list[0].iOrdinal, gone);

    tagESTLIST* found = reinterpret_cast<tagESTLIST*>(1);
    EXPECT_EQ(FindEstList(list, &found, 0, "", n), nullptr);
    EXPECT_EQ(found, nullptr);
    EXPECT_EQ(FindEstList(list, &found, 0, "旧村", n), &list[0]);
    EXPECT_EQ(FindEstList(list, nullptr, gone, nullptr, n), &list[0]);
    Mem_Free_EstList(list);

    tagESTATE* full = nullptr;
    tagURBAN ux = {xh, 0, "西湖区", city};
    ASSERT_NE(FD_Sct_Est(&ux, &full, &n), nullptr);
    ASSERT_EQ(n, 1);  // live estates of the urban area only
    EXPECT_EQ(full[0].pUrban, &ux);
    EXPECT_STREQ(full[0].szHouseUsage, "住宅商业办");  // 10 bytes kept
    EXPECT_STREQ(full[0].szHouseStruct, "");          // not part of this load
    EXPECT_STREQ(full[0].szDevCom, "杭州城建开发有限公司");
    EXPECT_EQ(full[0].iImg, 0);
    EXPECT_EQ(FindEst(full, nullptr, 0, "翠苑一区", n), &full[0]);
    EXPECT_EQ(FindEst(full, nullptr, 77, nullptr, n), nullptr);
    Mem_Free_Est(full);
}

TEST_F(EstateTest, DetailOfAVanishedEstateLeavesTheRecord)
{
    tagESTATE e = FullEstate(1, "翠苑一区");
    e.iOrdinal = 4242;
    tagESTATE before;
    memcpy(&before, &e, sizeof e);
    EXPECT_EQ(FD_Sct_EstDetail(&e), nullptr);
    ExpectOneBox("此数据已被其他用户删除", "");
    EXPECT_EQ(memcmp(&e, &before, sizeof e), 0);
}

TEST_F(EstateTest, BuildingsLoadChangeAndFind)
{
    int urban = Urban();
    int est = InsertEstate(urban, "翠苑一区");
    int other = InsertEstate(urban, "翠苑二区");
    tagBUILDNO b1 = {0, est, 1, 2, 6, 1, "", "多层", "砖混"};
    tagBUILDNO b2 = {0, est, 2, 4, 18, 2, "", "高层", "框剪"};
    tagBUILDNO b3 = {0, other, 1, 2, 6, 1, "", "多层", "砖混"};
    ASSERT_EQ(FD_Ist_BNO(1, &b1), 1);
    ASSERT_EQ(FD_Ist_BNO(1, &b2), 1);
    ASSERT_EQ(FD_Ist_BNO(1, &b3), 1);
    EXPECT_EQ(TestDb_Scalar("select szValue from t_log where iObjType = 9 and iObjID = " + std::to_string(b2.iOrdinal)),
              std::to_string(est) + "@,@2@,@2@,@4@,@18");

    tagBUILDNO* list = nullptr;
    int n = 0;
    ASSERT_NE(FD_Sct_BNO(&list, &n, est, 0), nullptr);
    ASSERT_EQ(n, 2);
    tagBUILDNO* second = FindBNO(list, n, 2, 0);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->iOrdinal, b2.iOrdinal);
    EXPECT_EQ(second->iFloort, 18);
    EXPECT_EQ(second->iLift, 2);
    EXPECT_EQ(second->iHouse, 4);
    EXPECT_STREQ(second->szBuildType, "高层");
    EXPECT_STREQ(second->szBuildStruct, "框剪");
    tagBUILDNO* first = FindBNO(list, n, 0, b1.iOrdinal);  // number 0: by key
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->iBuildNO, 1);
    EXPECT_EQ(FindBNO(list, n, 9, 0), nullptr);
    Mem_Free_BNO(list);
    ASSERT_NE(FD_Sct_BNO(&list, &n, 0, 0), nullptr);
    EXPECT_EQ(n, 3);
    Mem_Free_BNO(list);

    tagBUILDNO nb = b2;
    nb.iOrdinal = 0;
    nb.iFloort = 24;
    Set(nb.szBuildType, "超高层");
    EXPECT_EQ(FD_Upd_BNO(1, &b2, &nb), 1);
    EXPECT_EQ(nb.iOrdinal, b2.iOrdinal);
    EXPECT_EQ(TestDb_Query("select iFloort, szBuildType from t_buildno where iOrdinal = " + std::to_string(b2.iOrdinal))[0],
              (std::vector<std::string>{"24", "超高层"}));
}

}  // namespace
