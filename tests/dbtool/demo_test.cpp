// The demo data set as the set-up tool makes it, against the real server:
// its estates carry the abbreviations the estate dialog gives their names,
// and every value it stores for a parameter is one the forms' lists offer.
#include "tests/support/test_support.h"
#include "app/admin/pinyin.h"
#include "db/dbtool.h"

namespace {

class DemoTest : public testing::Test {
protected:
    void SetUp() override
    {
        TestDb_Open("dbtool_demo");
        std::string err;
        ASSERT_TRUE(DbTool_Demo(TestDb_Conn(), &err)) << err;
    }
    void TearDown() override { TestDb_Close(); }
};

TEST_F(DemoTest, EstatesCarryThePinyinInitialsOfTheirNames)
{
    EXPECT_EQ("JLY", TestDb_Scalar("select szSpell from t_estate where szEstate = '嘉绿苑'"));
    EXPECT_EQ("QJWHY", TestDb_Scalar("select szSpell from t_estate where szEstate = '钱江湾花园'"));
    auto rows = TestDb_Query("select szEstate, szSpell from t_estate");
    ASSERT_EQ(18u, rows.size());
    for (const auto& r : rows) {
        char spell[26];
        Pinyin_Abbrev(r[0].c_str(), spell, sizeof(spell));
        EXPECT_EQ(spell, r[1]) << r[0];
    }
}

// Each column the forms fill from a parameter list, with that list's
// category and name.
struct ParamColumn {
    const char* table;
    const char* column;
    const char* tag;
    const char* name;
};

const char kHouse[] = "房源参数(住宅)";
const char kClient[] = "客源参数";
const char kEstate[] = "楼盘字典";

const ParamColumn kParamColumns[] = {
    {"t_house", "szTrade", kHouse, "交易"},        {"t_house", "szDecoration", kHouse, "装修"},
    {"t_house", "szLayout", kHouse, "配置"},       {"t_house", "szToward", kHouse, "朝向"},
    {"t_house", "szLook", kHouse, "看房"},         {"t_house", "szStatusquo", kHouse, "现状"},
    {"t_house", "szPark", kHouse, "车位"},         {"t_house", "szMortgage", kHouse, "抵押"},
    {"t_house", "szPPTSource", kHouse, "产权来源"}, {"t_house", "szSign", kHouse, "签约"},
    {"t_house", "szCitizen", kHouse, "国籍"},      {"t_house", "szHouseType", kEstate, "类型(房屋)"},
    {"t_house", "szHouseStruct", kEstate, "结构(房屋)"}, {"t_house", "szBuildType", kEstate, "类型(建筑)"},
    {"t_house", "szBuildStruct", kEstate, "结构(建筑)"}, {"t_house", "szRingArea", kEstate, "所属环区"},
    {"t_client", "szTrade", kClient, "交易"},      {"t_client", "szLevel", kClient, "等级"},
    {"t_client", "szUsage", kClient, "性质"},      {"t_client", "szSource", kClient, "来源"},
    {"t_client", "szFloor", kClient, "楼层"},      {"t_client", "szDelegatePD", kClient, "委托权限"},
    {"t_client", "szHouseType", kEstate, "类型(房屋)"}, {"t_client", "szToward", kHouse, "朝向"},
    {"t_client", "szDecoration", kHouse, "装修"},  {"t_client", "szLayout", kHouse, "配置"},
    {"t_client", "szPayment", kHouse, "付款"},     {"t_client", "szAgencyFee", kHouse, "付佣"},
    {"t_client", "szCitizen", kHouse, "国籍"},     {"t_estate", "szHouseType", kEstate, "类型(房屋)"},
    {"t_estate", "szHouseStruct", kEstate, "结构(房屋)"}, {"t_estate", "szHouseUsage", kEstate, "用途(房屋)"},
    {"t_estate", "szBuildType", kEstate, "类型(建筑)"}, {"t_estate", "szBuildStruct", kEstate, "结构(建筑)"},
    {"t_estate", "szRingArea", kEstate, "所属环区"}, {"t_buildno", "szBuildType", kEstate, "类型(建筑)"},
    {"t_buildno", "szBuildStruct", kEstate, "结构(建筑)"}, {"t_follow", "szWay", kHouse, "跟进方式"},
};

// A client of grade "A级(急需)" chosen in the client list's grade box is
// found; so is every other value in every other list.
TEST_F(DemoTest, EveryValueStoredForAParameterIsOneTheListsOffer)
{
    for (const ParamColumn& c : kParamColumns) {
        std::string values = std::string("select v.szValue from t_param v join t_param n on v.iParentIndex = n.iOrdinal"
                                         " join t_param t on n.iParentIndex = t.iOrdinal where t.szTags = '") +
                             c.tag + "' and n.szName = '" + c.name + "'";
        std::string where = std::string(c.table) + " where " + c.column + " <> ''";
        EXPECT_GT(TestDb_Count(where), 0) << c.table << "." << c.column << " is never filled";
        auto stray = TestDb_Query(std::string("select distinct ") + c.column + " from " + where + " and " + c.column +
                                  " not in (" + values + ")");
        std::string list;
        for (const auto& r : stray)
            list += r[0] + " ";
        EXPECT_TRUE(stray.empty()) << c.table << "." << c.column << " holds values no list offers: " << list;
    }
    EXPECT_GT(TestDb_Count("t_client where szLevel = 'A级(急需)'"), 0);
}

}  // namespace
