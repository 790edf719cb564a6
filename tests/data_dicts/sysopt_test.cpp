// System options, the company profile and the export feed.
#include "tests/data_dicts/dicts_test.h"
#include "db/dbtool.h"

namespace {

using SysTest = DictsTest;

TEST_F(SysTest, TheSeedHasOneActiveOptionsRowAndOneCompanyRow)
{
    tagSYS s;
    memset(&s, 0xCC, sizeof s);
    ASSERT_EQ(FD_Sct_Sys(&s), &s);
    EXPECT_EQ(s.iOrdinal, 1);
    EXPECT_EQ(s.bHouArea, 1);
    EXPECT_EQ(s.bIntegrityRule, 0);
    EXPECT_GT(s.dwBmpMaxSize, 0u);
    AT_COM c = {};
    EXPECT_EQ(FD_Sct_Com(&c), 1);
    EXPECT_STRNE(c.szName, "");
}

TEST_F(SysTest, EverySaveAddsTheOnlyActiveRowAndTheNewestLoads)
{
    tagSYS a = {};
    ASSERT_NE(FD_Sct_Sys(&a), nullptr);
    tagSYS b = a;
    b.bNumManualWrite = 1;
    b.bHouCipher = 0;
    b.dwBmpMaxSize = 70000;  // beyond 16 bits: kept whole
    b.bAttendance = 1;
    b.bIntegrityRule = 1;
    ASSERT_EQ(FD_Upd_Sys(&b), 1);
    EXPECT_NE(b.iOrdinal, a.iOrdinal);
    tagSYS c = b;
    c.bCliCipher = 0;
    c.dwBmpMaxSize = 1024;
    c.bIntegrityRule = 0;
    ASSERT_EQ(FD_Upd_Sys(&c), 1);
    EXPECT_EQ(TestDb_Count("t_sys"), 3);
    EXPECT_EQ(TestDb_Scalar("select group_concat(iOrdinal) from t_sys where bActive = 1"), std::to_string(c.iOrdinal));
    EXPECT_EQ(TestDb_Scalar("select dwBmpMaxSize from t_sys where iOrdinal = " + std::to_string(b.iOrdinal)), "70000");

    // The complete-rule-set flag is stored like every other.
    EXPECT_EQ(TestDb_Scalar("select bIntegrityRule from t_sys where iOrdinal = " + std::to_string(b.iOrdinal)), "1");
    tagSYS now = {};
    ASSERT_EQ(FD_Sct_Sys(&now), &now);
    EXPECT_EQ(memcmp(&now, &c, sizeof now), 0);
}

TEST_F(SysTest, OptionErrorsAreRecordedAndReported)
{
    TestDb_Exec("update t_sys set bActive = 0");
    tagSYS s = {};
    EXPECT_EQ(FD_Sct_Sys(&s), nullptr);

    TestDb_Exec("rename table t_sys to t_sys_away");
    EXPECT_EQ(FD_Sct_Sys(&s), nullptr);
    EXPECT_EQ(FD_Upd_Sys(&s), 0);
    TestDb_Exec("rename table t_sys_away to t_sys");
    std::string log = TestReadFile("errlog.log");
    EXPECT_NE(log.find("错误码:  1146"), std::string::npos) << log;
    EXPECT_EQ(TestBoxes_Count(), 0u);
}

TEST_F(SysTest, CompanyProfileRoundTrip)
{
    AT_COM c = {};
    ASSERT_EQ(FD_Sct_Com(&c), 1);
    Set(c.szName, "凯尔摩拉房产'经纪\\有限公司");
    Set(c.szShowName, "凯尔摩拉");
    Set(c.szAdd, "杭州市西湖区天目山路1号");
    Set(c.szTel, "0571-88000001");
    Set(c.szFax, "0571-88000002");
    c.iCityOrdinal = 3;
    c.iUrbanOrdinal[0] = 5;
    c.iUrbanOrdinal[1] = 7;
    c.iUrbanOrdinal[2] = 9;
    EXPECT_EQ(FD_UpdCom(&c), 1);
    EXPECT_EQ(TestDb_Scalar("select szUrbanOrdinal from t_company"), "5,7,9,");
    EXPECT_EQ(FD_SaveBakDefValue(1, 23, "D:\\备份\\kelmora"), 1);

    AT_COM back = {};
    ASSERT_EQ(FD_Sct_Com(&back), 1);
    EXPECT_STREQ(back.szName, "凯尔摩拉房产'经纪\\有限公司");
    EXPECT_STREQ(back.szAdd, "杭州市西湖区天目山路1号");
    EXPECT_EQ(back.iCityOrdinal, 3);
    EXPECT_EQ(back.iUrbanOrdinal[1], 7);
    EXPECT_EQ(back.bAutoBak, 1);
    EXPECT_EQ(back.iBakTime, 23);
    EXPECT_STREQ(back.szBakPath, "D:\\备份\\kelmora");

    // Only keys followed by a comma are taken; the third stays as it was.
    TestDb_Exec("update t_company set szUrbanOrdinal = '11,12,13'");
    back.iUrbanOrdinal[2] = 99;
    ASSERT_EQ(FD_Sct_Com(&back), 1);
    EXPECT_EQ(back.iUrbanOrdinal[0], 11);
    EXPECT_EQ(back.iUrbanOrdinal[1], 12);
    EXPECT_EQ(back.iUrbanOrdinal[2], 99);

    // Two rows are not a profile.
    TestDb_Exec("insert into t_company (szName) values ('x')");
    EXPECT_EQ(FD_Sct_Com(&back), 0);
    EXPECT_EQ(TestBoxes_Count(), 0u);
}

TEST_F(SysTest, CompanyTelephonesKeepEveryByteOfTheirFields)
{
    // 256 single-byte characters each: as many as the fields hold besides
    // their NUL.
    std::string tel, retel, fax;
    for (int i = 0; i < 64; ++i) {
        tel += "0571";
        retel += "8800";
        fax += "-12;";
    }
    AT_COM c = {};
    ASSERT_EQ(FD_Sct_Com(&c), 1);
    Set(c.szTel, tel);
    Set(c.szReTel, retel);
    Set(c.szFax, fax);
    ASSERT_EQ(FD_UpdCom(&c), 1);
    AT_COM back = {};
    ASSERT_EQ(FD_Sct_Com(&back), 1);
    EXPECT_EQ(std::string(back.szTel), tel);
    EXPECT_EQ(std::string(back.szReTel), retel);
    EXPECT_EQ(std::string(back.szFax), fax);

    // A database made with the narrower columns is widened by the set-up
    // tool's upgrade.
    TestDb_Exec("alter table t_company modify szTel varchar(128) null, modify szFax varchar(128) null");
    std::string err;
    ASSERT_TRUE(DbTool_Upgrade(TestDb_Conn(), &err)) << err;
    EXPECT_EQ("256,256,256", TestDb_Scalar("select group_concat(character_maximum_length order by column_name)"
                                           " from information_schema.columns where table_schema = database()"
                                           " and table_name = 't_company' and column_name in ('szTel','szReTel','szFax')"));
}

// Keys of a feed batch (first column), freeing the result set.
std::vector<int> BatchKeys(int (*feed)(MYSQL_RES**), int* pCount = nullptr)
{
    MYSQL_RES* res = nullptr;
    int n = feed(&res);
    if (pCount)
        *pCount = n;
    std::vector<int> keys;
    if (!res)
        return keys;
    while (MYSQL_ROW row = mysql_fetch_row(res))
        keys.push_back(atoi(row[0]));
    mysql_free_result(res);
    return keys;
}

TEST_F(SysTest, HouseFeedOffersHousesChangedOnALaterDayThanTaken)
{
    int never = InsertHouse(1, "1", "101", "出售");
    int nextDay = InsertHouse(1, "1", "102", "出售");
    int sameDay = InsertHouse(1, "1", "103", "出售");
    int recycled = InsertHouse(1, "1", "104", "出售", 1);
    // Taken yesterday, edited today; taken and edited today.
    TestDb_Exec("update t_house set dtLastUpdate = now() - interval 1 day, dtUpdate = now() where iOrdinal = " +
                std::to_string(nextDay));
    TestDb_Exec("update t_house set dtLastUpdate = date(now()), dtUpdate = date(now()) + interval 1 second where iOrdinal = " +
                std::to_string(sameDay));
    MYSQL_RES* res = nullptr;
    ASSERT_EQ(FD_sct_House(&res), 2);
    ASSERT_NE(res, nullptr);
    EXPECT_EQ(mysql_num_fields(res), 33u);
    mysql_free_result(res);
    EXPECT_EQ(BatchKeys(FD_sct_House), (std::vector<int>{never, nextDay}));

    FD_Upd_House(never);
    FD_Upd_House(nextDay);
    EXPECT_TRUE(BatchKeys(FD_sct_House).empty());
    (void)sameDay;
    (void)recycled;

    // At most five per batch.
    for (int i = 0; i < 7; ++i)
        InsertHouse(2, "2", std::to_string(200 + i).c_str(), "出租");
    int n = 0;
    EXPECT_EQ(BatchKeys(FD_sct_House, &n).size(), 5u);
    EXPECT_EQ(n, 5);
}

TEST_F(SysTest, EstateAndFollowUpFeeds)
{
    int live = InsertEstate(1, "翠苑一区");
    int gone = InsertEstate(1, "旧村", 1);
    EXPECT_EQ(BatchKeys(FD_sct_Estate), (std::vector<int>{live, gone}));  // recycled estates too
    FD_Upd_Estate(live);
    EXPECT_EQ(BatchKeys(FD_sct_Estate), (std::vector<int>{gone}));

    int houseFollow = InsertFollow(3, 0, "带看");
    int clientFollow = InsertFollow(0, 4, "电话回访");
    EXPECT_EQ(BatchKeys(FD_sct_Follow), (std::vector<int>{houseFollow}));
    // Client follow-ups are marked taken in bulk.
    EXPECT_EQ(TestDb_Scalar("select dtLastUpdate is not null from t_follow where iOrdinal = " + std::to_string(clientFollow)),
              "1");
    FD_Upd_Follow(houseFollow);
    int n = -1;
    EXPECT_TRUE(BatchKeys(FD_sct_Follow, &n).empty());
    EXPECT_EQ(n, 0);
}

}  // namespace
