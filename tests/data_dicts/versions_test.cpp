// Two desks editing one dictionary row from forms each loaded before the
// other's save: the later save stores nothing, its box names what the other
// desk changed, no log row is written for it, and the earlier form goes on
// saving from what it stored.  Estates and buildings, the areas (with a
// merge), parameter values and the system options.
#include "tests/data_dicts/dicts_test.h"

namespace {

using VersionTest = DictsTest;

const std::string kRefused = "其他用户同时修改了同一数据,这次操作没有保存,请刷新后再试.";

std::string Of(int key) { return " where iOrdinal = " + std::to_string(key); }

TEST_F(VersionTest, EstateAndBuildingSavesFromStaleFormsAreRefusedNamingTheOtherDesksChange)
{
    int urban = AddUrban(AddCity("杭州"), "西湖区");
    tagESTATE e;
    memset(&e, 0, sizeof e);
    e.iUrban = urban;
    Set(e.szEstate, "翠苑一区");
    Set(e.szSpell, "CYYQ");
    ASSERT_EQ(FD_Ist_Est(1, &e), 1);
    auto load = [&]() {
        tagESTATE r;
        memset(&r, 0, sizeof r);
        r.iOrdinal = e.iOrdinal;
        EXPECT_NE(FD_Sct_EstDetail(&r), nullptr);
        return r;
    };
    tagESTATE deskA = load(), deskB = load();
    tagESTATE a = deskA;
    a.iPark = 300;
    Set(a.szMgCom, "绿城物业");
    ASSERT_EQ(FD_Upd_Est(1, &deskA, &a), 1);
    EXPECT_EQ(a.iVersion, 1);
    long long logs = TestDb_Count("t_log");
    tagESTATE b = deskB;
    Set(b.szAddress, "desk B");
    EXPECT_EQ(FD_Upd_Est(1, &deskB, &b), 0);
    ExpectOneBox((kRefused + "\n\n其他用户修改了: 总车位、物业公司").c_str(), "修改失败");
    EXPECT_EQ(TestDb_Query("select iPark, szMgCom, coalesce(szAddress, '') from t_estate" + Of(e.iOrdinal))[0],
              (std::vector<std::string>{"300", "绿城物业", ""}));
    EXPECT_EQ(TestDb_Count("t_log"), logs);
    // Desk A's form saves again from what it stored; a fresh load sees it.
    tagESTATE a2 = a;
    Set(a2.szAddress, "desk A");
    ASSERT_EQ(FD_Upd_Est(1, &a, &a2), 1);
    EXPECT_EQ(BoxTexts().size(), 0u);
    EXPECT_EQ(load().iVersion, 2);

    // A building: the number of floors changed at the other desk.
    tagBUILDNO bno = {0, e.iOrdinal, 1, 2, 6, 1, "", "多层", "砖混"};
    ASSERT_EQ(FD_Ist_BNO(1, &bno), 1);
    auto loadB = [&]() {
        tagBUILDNO* list = nullptr;
        int n = 0;
        EXPECT_NE(FD_Sct_BNO(&list, &n, e.iOrdinal, 0), nullptr);
        tagBUILDNO r = *FindBNO(list, n, 0, bno.iOrdinal);
        Mem_Free_BNO(list);
        return r;
    };
    tagBUILDNO bA = loadB(), bB = loadB();
    tagBUILDNO na = bA, nb = bB;
    na.iFloort = 18;
    Set(nb.szBuildType, "高层");
    ASSERT_EQ(FD_Upd_BNO(1, &bA, &na), 1);
    logs = TestDb_Count("t_log");
    EXPECT_EQ(FD_Upd_BNO(1, &bB, &nb), 0);
    ExpectOneBox((kRefused + "\n\n其他用户修改了: 总层").c_str(), "修改失败");
    EXPECT_EQ(TestDb_Query("select iFloort, szBuildType from t_buildno" + Of(bno.iOrdinal))[0],
              (std::vector<std::string>{"18", "多层"}));
    EXPECT_EQ(TestDb_Count("t_log"), logs);
    tagBUILDNO na2 = na;
    na2.iLift = 3;
    ASSERT_EQ(FD_Upd_BNO(1, &na, &na2), 1);
    EXPECT_EQ(loadB().iVersion, 2);
}

TEST_F(VersionTest, AreaSavesFromStaleDialogsAreRefusedAndAMergeMakesOpenDialogsStale)
{
    int city = AddCity("杭州");
    int urban = AddUrban(city, "西湖区", 1);
    int other = AddUrban(city, "上城区", 2);
    int dist = AddDistrict(urban, "古荡");
    auto urbanNow = [&]() {
        tagURBAN* list = nullptr;
        int n = 0;
        EXPECT_NE(FD_SCT_URBAN(nullptr, &list, &n, 1, 0), nullptr);
        tagURBAN r = *FindUrban(list, nullptr, urban, nullptr, n);
        Mem_Free_Urban(list);
        return r;
    };
    auto cityNow = [&]() {
        tagCITY* list = nullptr;
        int n = 0;
        EXPECT_NE(FD_SCT_CITY(&list, &n, 0), nullptr);
        tagCITY r = *FindCity(list, nullptr, city, nullptr, n);
        Mem_Free_City(list);
        return r;
    };
    auto distNow = [&]() {
        tagDISTRICT* list = nullptr;
        int n = 0;
        EXPECT_NE(FD_SCT_DISTRICT(nullptr, &list, &n, 0, 0), nullptr);
        tagDISTRICT r = *FindDist(list, nullptr, dist, nullptr, n);
        Mem_Free_Dist(list);
        return r;
    };

    // An urban area renamed at one desk, its priority changed at the other.
    tagURBAN uA = urbanNow(), uB = urbanNow();
    tagURBAN ua = uA, ub = uB;
    Set(ua.szUrban, "西湖风景区");
    ub.iPriority = 5;
    ASSERT_EQ(FD_UPD_URBAN(1, &uA, &ua), 1);
    long long logs = TestDb_Count("t_log");
    EXPECT_EQ(FD_UPD_URBAN(1, &uB, &ub), 0);
    ExpectOneBox((kRefused + "\n\n其他用户修改了: 城区名称").c_str(), "修改失败");
    EXPECT_EQ(TestDb_Query("select szUrban, iPriority from t_urban" + Of(urban))[0],
              (std::vector<std::string>{"西湖风景区", "1"}));
    EXPECT_EQ(TestDb_Count("t_log"), logs);
    tagURBAN ua2 = ua;
    ua2.iPriority = 3;
    ASSERT_EQ(FD_UPD_URBAN(1, &ua, &ua2), 1);
    EXPECT_EQ(BoxTexts().size(), 0u);
    EXPECT_EQ(urbanNow().iVersion, 2);

    // Cities: the same for a rename.
    tagCITY cA = cityNow(), cB = cityNow();
    tagCITY ca = cA, cb = cB;
    Set(ca.szUrban, "杭州市");
    Set(cb.szUrban, "临安");
    ASSERT_EQ(FD_UPD_CITY(1, &cA, &ca), 1);
    EXPECT_EQ(FD_UPD_CITY(1, &cB, &cb), 0);
    ExpectOneBox((kRefused + "\n\n其他用户修改了: 城市").c_str(), "修改失败");
    EXPECT_EQ(TestDb_Scalar("select szUrban from t_urban" + Of(city)), "杭州市");
    tagCITY ca2 = ca;
    Set(ca2.szUrban, "杭州");
    ASSERT_EQ(FD_UPD_CITY(1, &ca, &ca2), 1);
    EXPECT_EQ(BoxTexts().size(), 0u);

    // Districts: a priority at one desk, a rename at the other.
    tagDISTRICT dA = distNow(), dB = distNow();
    tagDISTRICT da = dA, db = dB;
    da.iPriority = 4;
    Set(db.szDistrict, "文三");
    ASSERT_EQ(FD_UPD_DISTRICT(1, &dA, &da), 1);
    EXPECT_EQ(FD_UPD_DISTRICT(1, &dB, &db), 0);
    ExpectOneBox((kRefused + "\n\n其他用户修改了: 优先显示").c_str(), "修改失败");
    EXPECT_EQ(TestDb_Query("select szDistrict, iPriority from t_district" + Of(dist))[0],
              (std::vector<std::string>{"古荡", "4"}));

    // A merge moves the district (and estates) under another urban area: a
    // dialog opened before it is stale.
    int est = InsertEstate(urban, "翠苑");
    tagDISTRICT open = distNow();
    tagURBAN src = urbanNow(), dst = {other, 2, "上城区", city, 0};
    ASSERT_EQ(FD_JOIN_URBAN(1, &src, &dst), 1);
    BoxTexts();
    TestBoxes_Reset();
    tagDISTRICT edit = open;
    Set(edit.szDistrict, "古荡新村");
    EXPECT_EQ(FD_UPD_DISTRICT(1, &open, &edit), 0);
    ExpectOneBox(kRefused.c_str(), "修改失败");
    EXPECT_EQ(TestDb_Scalar("select iVersion from t_estate" + Of(est)), "1");
    tagDISTRICT fresh = distNow(), renamed = fresh;
    Set(renamed.szDistrict, "古荡新村");
    ASSERT_EQ(FD_UPD_DISTRICT(1, &fresh, &renamed), 1);
    EXPECT_EQ(TestDb_Scalar("select szDistrict from t_district" + Of(dist)), "古荡新村");
}

TEST_F(VersionTest, ParameterValueAndOptionsSavesFromStaleFormsAreRefused)
{
    tagARGC name = {};
    name.iOrdinal = 880;
    auto load = [&]() {
        tagARGC* list = nullptr;
        int n = 0;
        EXPECT_NE(FD_sct_Argc_Value(&name, &list, &n), nullptr);
        tagARGC r = {};
        for (int i = 0; i < n; i++)
            if (std::string(list[i].szValue) == "出售")
                r = list[i];
        Mem_Free_Argc(list);
        return r;
    };
    tagARGC vA = load(), vB = load();
    ASSERT_NE(vA.iOrdinal, 0);
    tagARGC va = vA, vb = vB;
    va.iPriority = 7;
    Set(vb.szValue, "急售");
    ASSERT_EQ(FD_Upd_Argc_Value(1, &vA, &va), 1);
    ExpectOneBox("修改数据 1.行", "操作成功");
    long long logs = TestDb_Count("t_log");
    EXPECT_EQ(FD_Upd_Argc_Value(1, &vB, &vb), 0);
    ExpectOneBox((kRefused + "\n\n其他用户修改了: 优先级").c_str(), "修改失败");
    EXPECT_EQ(TestDb_Query("select szValue, iPriority from t_param" + Of(vA.iOrdinal))[0],
              (std::vector<std::string>{"出售", "7"}));
    EXPECT_EQ(TestDb_Count("t_log"), logs);
    tagARGC va2 = va;
    Set(va2.szValue, "急售");
    ASSERT_EQ(FD_Upd_Argc_Value(1, &va, &va2), 1);
    ExpectOneBox("修改数据 1.行", "操作成功");
    EXPECT_EQ(load().iOrdinal, 0);  // renamed

    // The options: every save is a new active row carrying the version on.
    tagSYS sA = {}, sB = {};
    ASSERT_NE(FD_Sct_Sys(&sA), nullptr);
    ASSERT_NE(FD_Sct_Sys(&sB), nullptr);
    tagSYS oa = sA, ob = sB;
    oa.bHouArea = !sA.bHouArea;
    oa.dwBmpMaxSize = 2048;
    ob.bCliCipher = !sB.bCliCipher;
    ASSERT_EQ(FD_Upd_Sys(&oa, 1, "desk A"), 1);
    EXPECT_EQ(oa.iVersion, sA.iVersion + 1);
    logs = TestDb_Count("t_log");
    long long rows = TestDb_Count("t_sys");
    EXPECT_EQ(FD_Upd_Sys(&ob, 1, "desk B"), -1);
    ExpectOneBox((kRefused + "\n\n其他用户修改了: 房源记录[面积]为必填项、上传图片尺寸").c_str(), "修改失败");
    EXPECT_EQ(ob.iOrdinal, sB.iOrdinal);
    EXPECT_EQ(TestDb_Count("t_sys"), rows);
    EXPECT_EQ(TestDb_Count("t_log"), logs);
    EXPECT_EQ(TestDb_Scalar("select concat(iOrdinal, ',', bCliCipher) from t_sys where bActive = 1"),
              std::to_string(oa.iOrdinal) + "," + std::to_string(sA.bCliCipher));
    tagSYS oa2 = oa;
    oa2.bCliCipher = !oa.bCliCipher;
    ASSERT_EQ(FD_Upd_Sys(&oa2, 1, "desk A again"), 1);
    EXPECT_EQ(BoxTexts().size(), 0u);
    tagSYS now = {};
    ASSERT_NE(FD_Sct_Sys(&now), nullptr);
    EXPECT_EQ(memcmp(&now, &oa2, sizeof now), 0);
}

}  // namespace
