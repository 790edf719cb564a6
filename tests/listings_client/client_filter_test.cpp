// The client list's filter text: the exact texts of the panel combinations
// agents rely on, dates and numbers checked before they enter, and hostile
// boxes against the real server (nothing unexpected found, nothing changed).
#include "tests/support/test_support.h"
#include "app/listings/client_filter.h"
#include "app/listings/client_ids.h"
#include "data/ZTData.h"
#include "db/dbtool.h"

#include <string>

namespace {

std::string Build(const ClientFilterPanel& v, const char* scope = "")
{
    std::string out = "unset";
    int bad = -1;
    EXPECT_TRUE(ClientFilter_Build(v, scope, &out, &bad));
    EXPECT_EQ(0, bad);
    return out;
}

TEST(ClientFilter, PanelCombinationsGiveTheirExactText)
{
    ClientFilterPanel v;
    EXPECT_EQ("", Build(v));
    // A price inside the rent budget of clients who want to rent.
    v.trade = "求租";
    v.price = "3000";
    EXPECT_EQ("szTrade = '求租' and iMinRent <= 3000 and iMaxRent >= 3000", Build(v));
    // "求购" takes either budget: only "出售" and "已售" ask the purchase one.
    v.trade = "求购";
    v.price = "100";
    EXPECT_EQ("szTrade = '求购' and ((iMinBuy<= 100 and iMaxBuy>= 100) or (iMinRent <= 100 and iMaxRent>= 100))",
              Build(v));
    v.trade = "已售";
    EXPECT_EQ("szTrade = '已售' and iMinBuy <= 100 and iMaxBuy >= 100", Build(v));
    v.trade = "";
    EXPECT_EQ(" ((iMinBuy<= 100 and iMaxBuy>= 100) or (iMinRent <= 100 and iMaxRent>= 100))", Build(v));
    // The empty panel with a scope: the scope alone.
    EXPECT_EQ(" iEmp = 7", Build(ClientFilterPanel(), "iEmp = 7"));

    // Every piece, in the panel's order, the scope last.
    v = ClientFilterPanel();
    v.trade = "租购";
    v.urban = "东城区";
    v.floor = "中层";
    v.area = "90";
    v.room = "3";
    v.houseType = "住宅";
    v.delegateFrom = "2026-12-01";
    v.delegateTo = "2026-12-9";
    v.followFrom = "2026-11-01";
    v.followTo = "2026-11-30";
    v.level = "A";
    EXPECT_EQ("szTrade = '租购' and szUrban = '东城区' and szFloor = '中层' and iMinArea <= 90 and iMaxArea >= 90"
              " and iMinRoom <= 3 and iMaxRoom >= 3 and szHouseType='住宅' and dDelegate >= '2026-12-01' and"
              " dDelegate <= '2026-12-09 23:59:59' and dtFollow >= '2026-11-01' and dtFollow <= '2026-11-30 23:59:59'"
              " and szLevel = 'A' and iBr = 2",
              Build(v, "iBr = 2"));
}

TEST(ClientFilter, NumbersAndDatesAreCheckedBeforeTheyEnter)
{
    ClientFilterPanel v;
    v.price = "0";
    v.area = "12a";
    v.room = "1 or 1=1";
    EXPECT_EQ("", Build(v));
    v.area = "99999999999";
    EXPECT_EQ(" iMinArea <= 2147483647 and iMaxArea >= 2147483647", Build(v));

    const char* bad[] = {"2026-02-30", "2026-13-01", "2026-12-09 or 1", "20261209", "2026-12-09'", "2025-02-29"};
    for (const char* b : bad) {
        v = ClientFilterPanel();
        v.trade = "求购";
        v.delegateTo = b;
        std::string out = "x";
        int ctl = 0;
        EXPECT_FALSE(ClientFilter_Build(v, "", &out, &ctl)) << b;
        EXPECT_EQ(IDC_CF_DELEGATE_TO, ctl) << b;
        EXPECT_EQ("", out);
    }
    EXPECT_STREQ("委托日期(止)", ClientFilter_DateLabel(IDC_CF_DELEGATE_TO));
}

// ---- Against the server ----------------------------------------------------------------

class ClientFilterDb : public testing::Test {
protected:
    static void SetUpTestSuite() { TestDb_Open("kelmora_client"); }
    static void TearDownTestSuite() { TestDb_Close(); }
    void SetUp() override
    {
        TestDb_Exec("delete from t_client; delete from t_clienttel");
        TestBoxes_Reset();
    }
    // Keys of the live clients the filter selects, in key order.
    static std::string Keys(const ClientFilterPanel& v)
    {
        std::string where;
        int bad = 0;
        EXPECT_TRUE(ClientFilter_Build(v, "", &where, &bad));
        tagCLIENT* p = nullptr;
        int n = -1;
        if (!FD_Sct_Cli(1, &p, &n, where.c_str(), 0))
            return "failed";
        std::string keys;
        for (int a = 1; a < 100; a++)
            for (int i = 0; i < n; i++)
                if (p[i].iOrdinal == a)
                    keys += std::to_string(a) + " ";
        Mem_Free_Cli(p);
        return keys;
    }
    static void Insert(int key, const char* trade, int minBuy, int maxBuy, int minRent, int maxRent, const char* urban)
    {
        TestDb_Exec("insert into t_client (iOrdinal, szTrade, iMinBuy, iMaxBuy, iMinRent, iMaxRent, szUrban, iMinArea,"
                    " iMaxArea, iEmp, iBr, szCliTel, dtFollow) values (" +
                    std::to_string(key) + ", '" + trade + "', " + std::to_string(minBuy) + ", " +
                    std::to_string(maxBuy) + ", " + std::to_string(minRent) + ", " + std::to_string(maxRent) + ", '" +
                    urban + "', 60, 90, 1, 1, 'x" + std::to_string(key) + "', '2026-12-09 23:59:30')");
    }
};

TEST_F(ClientFilterDb, BudgetsUrbanAreasAndDatesSelectTheRightClients)
{
    Insert(1, "求租", 0, 0, 2000, 3500, "东城区");
    Insert(2, "求购", 80, 150, 0, 0, "东城区,西城区");
    Insert(3, "租购", 90, 120, 2500, 3000, "西城区");
    Insert(4, "求购", 300, 500, 0, 0, "东城");

    ClientFilterPanel v;
    v.trade = "求租";
    v.price = "3000";
    EXPECT_EQ("1 ", Keys(v));
    v.trade = "";
    EXPECT_EQ("1 3 ", Keys(v));
    v.price = "100";
    EXPECT_EQ("2 3 ", Keys(v));
    v.trade = "求购";
    EXPECT_EQ("2 ", Keys(v));
    // The urban area matches only the exact text.
    v = ClientFilterPanel();
    v.urban = "东城区";
    EXPECT_EQ("1 ", Keys(v));
    v.area = "70";
    EXPECT_EQ("1 ", Keys(v));
    v.area = "95";
    EXPECT_EQ("", Keys(v));
    // An upper follow-up date takes the whole day.
    v = ClientFilterPanel();
    v.followTo = "2026-12-09";
    EXPECT_EQ("1 2 3 4 ", Keys(v));
}

TEST_F(ClientFilterDb, HostileBoxesFindNothingAndChangeNothing)
{
    Insert(1, "求租", 0, 0, 2000, 3500, "东城区");
    Insert(2, "求购", 80, 150, 0, 0, "西城区");
    std::string before = TestDb_Scalar("select group_concat(concat_ws('|', iOrdinal, szTrade, szUrban, iMinBuy) "
                                       "order by iOrdinal) from t_client");
    std::string hostile = HostileText();
    const std::string samples[] = {hostile, "%", "_", "\\", "'", "' or 1=1 -- ", "求租' or '1'='1",
                                   std::string("a\xB2"), std::string(300, 'x'), "99999999999999999999", "1%"};
    for (const std::string& s : samples) {
        ClientFilterPanel v;
        v.trade = s;
        EXPECT_EQ("", Keys(v)) << s;
        v = ClientFilterPanel();
        v.urban = s;
        v.floor = s;
        v.houseType = s;
        v.level = s;
        v.price = s;
        v.area = s;
        v.room = s;
        EXPECT_EQ("", Keys(v)) << s;
    }
    EXPECT_EQ(0u, TestBoxes_Count());
    EXPECT_EQ(before, TestDb_Scalar("select group_concat(concat_ws('|', iOrdinal, szTrade, szUrban, iMinBuy) "
                                    "order by iOrdinal) from t_client"));
}

}  // namespace

namespace {

TEST_F(ClientFilterDb, AnOlderDatabaseGainsTheFilterIndexesOnUpgrade)
{
    TestDb_Exec("alter table t_client drop index ix_client_trade, drop index ix_client_emp_list, drop index "
                "ix_client_urban, add index ix_client_emp (iEmp)");
    std::string err;
    ASSERT_TRUE(DbTool_Upgrade(TestDb_Conn(), &err)) << err;
    ASSERT_TRUE(DbTool_Upgrade(TestDb_Conn(), &err)) << "a second run is harmless: " << err;
    EXPECT_EQ("ix_client_br_list,ix_client_delegate,ix_client_emp_list,ix_client_follow,ix_client_order,"
              "ix_client_trade,ix_client_urban",
              TestDb_Scalar("select group_concat(distinct index_name order by index_name) from "
                            "information_schema.statistics where table_schema = database() and table_name = "
                            "'t_client' and index_name in ('ix_client_emp', 'ix_client_br', 'ix_client_order', "
                            "'ix_client_emp_list', 'ix_client_br_list', 'ix_client_trade', 'ix_client_urban', "
                            "'ix_client_delegate', 'ix_client_follow')"));
}

}  // namespace
