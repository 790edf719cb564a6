// The house list's filter text: the exact texts of the panel combinations
// agents rely on, the bounds that need their own clauses, and hostile boxes
// against the real server (nothing unexpected found, nothing changed).
#include "tests/support/test_support.h"
#include "app/listings/house_filter.h"
#include "app/listings/house_ids.h"
#include "cipher/cipher.h"
#include "data/ZTData.h"

#include <cstring>
#include <string>

namespace {

std::string Build(const HouseFilterPanel& v, const char* scope = "", const tagESTLIST* est = nullptr, int nEst = 0,
                  const tagURBAN* urb = nullptr, int nUrb = 0)
{
    std::string out = "unset";
    int bad = -1;
    EXPECT_TRUE(HouseFilter_Build(v, scope, est, nEst, &out, &bad, urb, nUrb));
    EXPECT_EQ(0, bad);
    return out;
}

std::string Tel(const char* plain)
{
    char b[300];
    strcpy(b, plain);
    CipherText("", b, CIPHER_ENCODE);
    return b;
}

TEST(HouseFilter, PanelCombinationsGiveTheirExactText)
{
    HouseFilterPanel v;
    EXPECT_EQ("", Build(v));

    v.trade = "出租";
    v.priceMin = "1000";
    v.priceMax = "3000";
    EXPECT_EQ("(szTrade = '出租' or szTrade =  '租售') and iRent >= 1000 and iRent<= 3000", Build(v));
    v.trade = "出售";
    v.priceMax = "";
    EXPECT_EQ("(szTrade = '出售' or szTrade =  '租售') and iSales >= 1000", Build(v));

    // No trade, a lower price only and a plain number: prices, then the
    // telephones (enciphered, prefix) or the key.
    v = HouseFilterPanel();
    v.priceMin = "100";
    v.estate = "12345";
    std::string t = Tel("12345");
    EXPECT_EQ(" (iSales >= 100 or iRent >= 100) and ( szOwnerTel like '" + t + "%' or szLinkTel like '" + t +
                  "%' or iOrdinal = 12345)",
              Build(v));
    // A leading zero, or a number beyond the key range, is a telephone only.
    v.priceMin = "";
    v.estate = "0138";
    t = Tel("0138");
    EXPECT_EQ(" ( szOwnerTel like '" + t + "%' or szLinkTel like '" + t + "%')", Build(v));
    v.estate = "13800138000";
    t = Tel("13800138000");
    EXPECT_EQ(" ( szOwnerTel like '" + t + "%' or szLinkTel like '" + t + "%')", Build(v));

    // Estate names, each followed by a comma; unknown names are skipped and
    // the text after the last comma is not a name.  The estate box wins
    // over the urban areas.
    tagESTLIST est[3] = {};
    est[0].iOrdinal = 5;
    strcpy(est[0].szEstate, "翠湖苑");
    est[1].iOrdinal = 9;
    strcpy(est[1].szEstate, "金桥花园");
    v = HouseFilterPanel();
    v.estate = "翠湖苑,无此楼盘,金桥花园,翠湖";
    v.urban = "东城区,";
    EXPECT_EQ(" ( iEst = 5 or iEst = 9)", Build(v, "", est, 3));
    // One name as the estate box's list puts it, without the comma.
    v.estate = "金桥花园";
    EXPECT_EQ(" ( iEst = 9)", Build(v, "", est, 3));
    // Names of which none is an estate find nothing (not every house).
    v.estate = "无此楼盘,";
    EXPECT_EQ(" ( iEst = 0)", Build(v, "", est, 3));

    v = HouseFilterPanel();
    v.urban = "东城区,西城区,";
    v.buildNo = "3";
    v.houseNo = "1201";
    v.areaMin = "80";
    v.areaMax = "120";
    v.bedMin = "2";
    v.bedMax = "3";
    v.types = "住宅,别墅,";
    v.looks = "随时,";
    v.delegateFrom = "2026-12-01";
    v.delegateTo = "2026-12-09";
    v.followFrom = "2026-11-01";
    v.followTo = "2026-11-30";
    v.rentFrom = "2027-01-01";
    v.rentTo = "2027-1-31";
    v.floorMin = "2";
    v.floorMax = "10";
    EXPECT_EQ(" iUrban in (select iOrdinal from t_urban where szUrban in "
              "('东城区','西城区')) and szBuildNO = '3' and szHouseNO = '1201' and dbBuildArea >= 80 and"
              " dbBuildArea <= 120 and iBed >= 2 and iBed <= 3 and(  szHouseType='住宅' or szHouseType='别墅') and(  "
              "szLook = '随时') and dDelegate >= '2026-12-01' and dDelegate <= '2026-12-09 23:59:59' and dtFollow >= "
              "'2026-11-01' and dtFollow <= '2026-11-30 23:59:59' and dRent>= '2027-01-01' and dRent <= '2027-01-31 "
              "23:59:59' and convert(szFloor, SIGNED) >= 2 and convert(szFloor, SIGNED) <= 10",
              Build(v));

    // The session's urban areas give the keys: every area of a name (two
    // cities may each have one); a name the list lacks is looked up by the
    // server.  Only a trade with a price and nothing narrower names the
    // list index.
    tagURBAN urb[4] = {};
    urb[0] = {3, 1, "东城区", 1, 0};
    urb[2] = {8, 1, "西城区", 1, 0};
    urb[3] = {11, 2, "东城区", 2, 0};
    v = HouseFilterPanel();
    v.urban = "西城区,";
    EXPECT_EQ(" iUrban = 8", Build(v, "", nullptr, 0, urb, 4));
    v.urban = "东城区,西城区,";
    EXPECT_EQ(" iUrban in (3,11,8)", Build(v, "", nullptr, 0, urb, 4));
    v.urban = "东城区,北城区,";
    EXPECT_EQ(" iUrban in (select iOrdinal from t_urban where szUrban in ('东城区','北城区'))",
              Build(v, "", nullptr, 0, urb, 4));
    EXPECT_STREQ("", HouseFilter_Index(v, ""));
    v = HouseFilterPanel();
    v.trade = "出售";
    EXPECT_STREQ("", HouseFilter_Index(v, ""));
    v.priceMax = "300";
    EXPECT_STREQ("ix_house_list", HouseFilter_Index(v, ""));
    EXPECT_STREQ("", HouseFilter_Index(v, "iEmp = 3"));
    v.followFrom = "2026-11-01";
    EXPECT_STREQ("", HouseFilter_Index(v, ""));

    // The own-branch scope ends every text; alone it keeps its blank.
    EXPECT_EQ(" iBr = 2", Build(HouseFilterPanel(), "iBr = 2"));
    v = HouseFilterPanel();
    v.trade = "出售";
    EXPECT_EQ("(szTrade = '出售' or szTrade =  '租售') and iBr = 2", Build(v, "iBr = 2"));
}

TEST(HouseFilter, UpperPriceBoundsWithoutTheirOwnTemplateMeanWhatWasTyped)
{
    HouseFilterPanel v;
    v.priceMax = "300";
    EXPECT_EQ(" ((iSales >= 1 and iSales <= 300) or (iRent >= 1 and iRent <= 300))", Build(v));
    v.priceMin = "100";
    EXPECT_EQ(" ((iSales >= 100 and iSales <= 300) or (iRent >= 100 and iRent <= 300))", Build(v));
    v.trade = "已售";
    EXPECT_EQ("(szTrade = '已售') and ((iSales >= 100 and iSales <= 300) or (iRent >= 100 and iRent <= 300))",
              Build(v));
    v.priceMin = "";
    EXPECT_EQ("(szTrade = '已售') and ((iSales >= 1 and iSales <= 300) or (iRent >= 1 and iRent <= 300))", Build(v));
    v.priceMin = "100";
    v.priceMax = "";
    EXPECT_EQ("(szTrade = '已售') and (iSales >= 100 or iRent >= 100)", Build(v));
}

TEST(HouseFilter, NumbersAndDatesAreCheckedBeforeTheyEnter)
{
    EXPECT_EQ(0, HouseFilter_Number(""));
    EXPECT_EQ(0, HouseFilter_Number("12a"));
    EXPECT_EQ(0, HouseFilter_Number("-5"));
    EXPECT_EQ(2147483647, HouseFilter_Number("99999999999999999999"));

    HouseFilterPanel v;
    v.areaMin = "99999999999";
    v.floorMax = "1 or 1=1";
    EXPECT_EQ(" dbBuildArea >= 2147483647", Build(v));

    const char* bad[] = {"2026-02-30", "2026-13-01", "2026-12-09 or 1", "20261209", "2026-12-09'", "2025-02-29"};
    for (const char* b : bad) {
        v = HouseFilterPanel();
        v.trade = "出售";
        v.followTo = b;
        std::string out = "x";
        int ctl = 0;
        EXPECT_FALSE(HouseFilter_Build(v, "", nullptr, 0, &out, &ctl)) << b;
        EXPECT_EQ(IDC_HF_FOLLOW_TO, ctl) << b;
        EXPECT_EQ("", out);
    }
    EXPECT_STREQ("跟进日期(止)", HouseFilter_DateLabel(IDC_HF_FOLLOW_TO));
    v.followTo = "2024-02-29";
    EXPECT_EQ("(szTrade = '出售' or szTrade =  '租售') and dtFollow <= '2024-02-29 23:59:59'", Build(v));
}

// ---- Against the server ----------------------------------------------------------------

class HouseFilterDb : public testing::Test {
protected:
    static void SetUpTestSuite() { TestDb_Open("kelmora_house"); }
    static void TearDownTestSuite() { TestDb_Close(); }
    void SetUp() override
    {
        TestDb_Exec("delete from t_house");
        TestBoxes_Reset();
    }
    // Keys of the live houses the filter selects, in key order.
    static std::string Keys(const HouseFilterPanel& v)
    {
        std::string where;
        int bad = 0;
        EXPECT_TRUE(HouseFilter_Build(v, "", nullptr, 0, &where, &bad));
        tagHOUSE* p = nullptr;
        int n = -1;
        if (!FD_Sct_Hou(1, &p, &n, where.c_str(), 0, nullptr, nullptr))
            return "failed";
        std::string keys;
        for (int a = 1; a < 1000; a++)
            for (int i = 0; i < n; i++)
                if (p[i].iOrdinal == a)
                    keys += std::to_string(a) + " ";
        Mem_Free_Hou(p);
        return keys;
    }
    static void Insert(int key, const char* trade, int sales, int rent, const char* delegate, const char* tel)
    {
        TestDb_Exec("insert into t_house (iOrdinal, iEst, szBuildNO, szHouseNO, iEmp, iBr, szTrade, iSales, iRent, "
                    "dDelegate, dtFollow, szOwnerTel, szLinkTel) values (" +
                    std::to_string(key) + ", 1, '1', '" + std::to_string(key) + "', 1, 1, '" + trade + "', " +
                    std::to_string(sales) + ", " + std::to_string(rent) + ", '" + delegate + "', '" + delegate +
                    "', '" + Tel(tel) + "', '')");
    }
};

TEST_F(HouseFilterDb, BoundsDatesAndTelephonesSelectTheRightHouses)
{
    Insert(1, "出售", 250, 0, "2026-12-09 23:59:30", "13800138000");
    Insert(2, "出租", 0, 2500, "2026-12-09", "13911112222");
    Insert(3, "租售", 400, 3500, "2026-12-10", "02088887777");
    Insert(4, "已售", 120, 0, "2026-12-08", "13800138000");
    TestDb_Exec("update t_house set dtFollow = '2026-12-09 23:59:30' where iOrdinal = 1");

    HouseFilterPanel v;
    v.priceMax = "300";
    EXPECT_EQ("1 4 ", Keys(v));     // 250 (sale) and 120 (sale); the rents are above 300
    v.priceMin = "1000";
    v.priceMax = "3000";
    EXPECT_EQ("2 ", Keys(v));       // the rent of 2500; 3500 is above
    v.priceMin = "";
    v.trade = "已售";
    EXPECT_EQ("4 ", Keys(v));
    v.priceMax = "3000";
    EXPECT_EQ("4 ", Keys(v));
    v.priceMax = "100";
    EXPECT_EQ("", Keys(v));

    // An upper follow-up date takes the whole day.
    v = HouseFilterPanel();
    v.followTo = "2026-12-09";
    EXPECT_EQ("1 2 4 ", Keys(v));

    // Telephones: the whole number, or a prefix of whole 8-digit blocks.
    v = HouseFilterPanel();
    v.estate = "13800138000";
    EXPECT_EQ("1 4 ", Keys(v));
    v.estate = "13800138";
    EXPECT_EQ("1 4 ", Keys(v));
    v.estate = "1380";
    EXPECT_EQ("", Keys(v));
    v.estate = "3";     // a key
    EXPECT_EQ("3 ", Keys(v));
}

TEST_F(HouseFilterDb, HostileBoxesFindNothingAndChangeNothing)
{
    Insert(1, "出售", 250, 0, "2026-12-09", "13800138000");
    Insert(2, "出租", 0, 2500, "2026-12-09", "13911112222");
    std::string before = TestDb_Scalar("select count(*) from t_house") +
                         TestDb_Scalar("select group_concat(concat_ws('|', iOrdinal, szTrade, szBuildNO) order by "
                                       "iOrdinal) from t_house");
    std::string hostile = HostileText();
    std::string longText(300, 'x');
    const std::string samples[] = {hostile, hostile + ",", "%", "_", "%,", "\\", "'", "' or 1=1 -- ",
                                   std::string("a\xB2"), std::string("a\xB2,"), longText, longText + ",",
                                   "99999999999999999999", "1%"};
    for (const std::string& s : samples) {
        HouseFilterPanel v;
        v.trade = s;
        EXPECT_EQ("", Keys(v)) << s;
        v = HouseFilterPanel();
        v.estate = s;
        EXPECT_EQ("", Keys(v)) << s;
        v = HouseFilterPanel();
        v.urban = s;
        v.buildNo = s;
        v.houseNo = s;
        v.types = s;
        v.looks = s;
        v.areaMin = s;
        v.priceMin = s;
        v.floorMin = s;
        EXPECT_EQ("", Keys(v)) << s;
    }
    EXPECT_EQ(0u, TestBoxes_Count());
    EXPECT_EQ(before, TestDb_Scalar("select count(*) from t_house") +
                          TestDb_Scalar("select group_concat(concat_ws('|', iOrdinal, szTrade, szBuildNO) order "
                                        "by iOrdinal) from t_house"));
}

}  // namespace
