// The house list read by its fast paths (an urban area by the houses' own
// copy of it, a trade with a price by the list index) lists the houses the
// plain statements list, in their order: on the demo data grown to more
// houses than a list holds, and again after estates, urban areas and houses
// have moved under it.
#include "tests/support/test_support.h"
#include "app/listings/house_filter.h"
#include "data/ZTData.h"
#include "db/dbtool.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

const char kOrder[] = " order by dDelegate desc, dtFollow desc, dtUpdate desc limit 0, 5000";

class HouseListPaths : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_NE(nullptr, TestDb_Open("kelmora_house_paths"));
        std::string err;
        ASSERT_TRUE(DbTool_DemoAtScale(TestDb_Conn(), 40000, &err)) << err;
        TestDb_Exec("analyze table t_house, t_estate, t_urban");
    }
    static void TearDownTestSuite() { TestDb_Close(); }
    void SetUp() override { TestBoxes_Reset(); }

    // The session's urban areas, as the window's list holds them.
    static std::vector<tagURBAN> Urbans()
    {
        std::vector<tagURBAN> out;
        for (auto& r : TestDb_Query("select iOrdinal, iParentIndex, szUrban from t_urban where bRecyle = 0")) {
            tagURBAN u = {};
            u.iOrdinal = atoi(r[0].c_str());
            u.iParentIndex = atoi(r[1].c_str());
            snprintf(u.szUrban, sizeof u.szUrban, "%s", r[2].c_str());
            out.push_back(u);
        }
        return out;
    }

    // The list as the window reads it: the filter with the session's urban
    // areas and the index the filter names.  Keys in the list's order.
    static std::vector<int> FastList(const HouseFilterPanel& v, const char* scope)
    {
        std::vector<tagURBAN> urb = Urbans();
        std::string where;
        int bad = 0;
        EXPECT_TRUE(HouseFilter_Build(v, scope, nullptr, 0, &where, &bad, urb.data(), (int)urb.size()));
        tagHOUSE* list = nullptr;
        int n = 0;
        std::vector<int> keys;
        if (!FD_Sct_Hou(1, &list, &n, where.c_str(), 0, nullptr, nullptr, HouseFilter_Index(v, scope))) {
            ADD_FAILURE() << "the list failed: " << where;
            return keys;
        }
        for (int i = 0; i < n; i++)
            keys.push_back(list[i].iOrdinal);
        Mem_Free_Hou(list);
        return keys;
    }

    // The same list by the plain statement: the urban area through its
    // estates, the server's own choice of index.
    static std::vector<int> PlainList(const HouseFilterPanel& v, const char* scope)
    {
        HouseFilterPanel rest = v;
        rest.urban.clear();
        std::string where;
        int bad = 0;
        EXPECT_TRUE(HouseFilter_Build(rest, scope, nullptr, 0, &where, &bad));
        std::string urban;
        for (size_t at = 0, comma; (comma = v.urban.find(',', at)) != std::string::npos; at = comma + 1)
            urban += std::string(urban.empty() ? "" : ",") + "'" + v.urban.substr(at, comma - at) + "'";
        if (!urban.empty())
            where += std::string(where.empty() ? "" : " and") +
                     " iEst in (select iOrdinal from t_estate where iUrban in (select iOrdinal from t_urban where "
                     "szUrban in (" + urban + ")))";
        std::vector<int> keys;
        for (auto& r : TestDb_Query("select iOrdinal from t_house where bRecyle = 0" +
                                    (where.empty() ? std::string() : " and (" + where + ")") + kOrder))
            keys.push_back(atoi(r[0].c_str()));
        return keys;
    }

    // Whether two lists hold the same houses in the same order.  Houses of
    // equal commission, follow-up and update times may come in either
    // order, so the order is compared by those times and the houses group
    // by group (the last group, cut by the limit, by its size only).
    static std::string Differ(const std::vector<int>& a, const std::vector<int>& b)
    {
        if (a.size() != b.size())
            return std::to_string(a.size()) + " houses against " + std::to_string(b.size());
        std::map<int, std::string> when;
        for (auto& r : TestDb_Query("select iOrdinal, concat_ws('|', dDelegate, dtFollow, dtUpdate) from t_house"))
            when[atoi(r[0].c_str())] = r[1];
        std::vector<int> ga, gb;
        for (size_t i = 0; i < a.size(); i++) {
            if (when[a[i]] != when[b[i]])
                return "row " + std::to_string(i) + ": house " + std::to_string(a[i]) + " against " +
                       std::to_string(b[i]);
            ga.push_back(a[i]);
            gb.push_back(b[i]);
            bool last = i + 1 == a.size();
            if (last || when[a[i + 1]] != when[a[i]]) {
                std::sort(ga.begin(), ga.end());
                std::sort(gb.begin(), gb.end());
                if (!(last && a.size() == 5000) && ga != gb)
                    return "the houses of the times of row " + std::to_string(i) + " differ";
                ga.clear();
                gb.clear();
            }
        }
        return "";
    }

    struct Case {
        std::string name;
        HouseFilterPanel v;
        const char* scope;
    };

    // Every urban area alone, with a trade, two together; trade with price
    // and with rent; with a scope.  Returns how many lists were compared.
    static int CompareAll()
    {
        std::vector<Case> cases;
        std::vector<std::string> names;
        for (auto& r : TestDb_Query("select distinct szUrban from t_urban where bRecyle = 0 order by szUrban"))
            names.push_back(r[0]);
        for (const std::string& n : names) {
            Case c{"urban " + n, HouseFilterPanel(), ""};
            c.v.urban = n + ",";
            cases.push_back(c);
            c.name += " 出售";
            c.v.trade = "出售";
            cases.push_back(c);
        }
        if (names.size() >= 2) {
            Case c{"two urban areas", HouseFilterPanel(), "iBr = 2"};
            c.v.urban = names[0] + "," + names[1] + ",";
            cases.push_back(c);
        }
        Case sale{"出售 100-300", HouseFilterPanel(), ""};
        sale.v.trade = "出售";
        sale.v.priceMin = "100";
        sale.v.priceMax = "300";
        cases.push_back(sale);
        Case rent{"出租 2000-5000", HouseFilterPanel(), ""};
        rent.v.trade = "出租";
        rent.v.priceMin = "2000";
        rent.v.priceMax = "5000";
        cases.push_back(rent);
        Case few{"出售 up to 120, 2-3 bedrooms", HouseFilterPanel(), ""};
        few.v.trade = "出售";
        few.v.priceMax = "120";
        few.v.bedMin = "2";
        few.v.bedMax = "3";
        cases.push_back(few);
        Case own{"出售 100-300 of employee 3", HouseFilterPanel(), "iEmp = 3"};
        own.v = sale.v;
        cases.push_back(own);
        int full = 0;
        for (const Case& c : cases) {
            std::vector<int> fast = FastList(c.v, c.scope);
            EXPECT_EQ("", Differ(fast, PlainList(c.v, c.scope))) << c.name;
            full += fast.size() == 5000;
        }
        EXPECT_GT(full, 0) << "some list is cut by the limit";
        printf("[paths] %d lists compared, %d of them cut at 5000 houses\n", (int)cases.size(), full);
        return (int)cases.size();
    }
};

TEST_F(HouseListPaths, TheFastPathsListThePlainStatementsHousesInTheirOrderAlsoAfterMoves)
{
    ASSERT_GE(TestDb_Count("t_house"), 40000);
    EXPECT_EQ(0, TestDb_Count("t_house h join t_estate e on e.iOrdinal = h.iEst where h.iUrban <> e.iUrban"));
    int compared = CompareAll();
    EXPECT_GE(compared, 8);

    // An estate given another urban area takes its houses along; a house
    // saved into another estate takes that estate's; a merge moves every
    // estate of the urban area merged; rows written by hand follow too.
    std::vector<tagURBAN> urb = Urbans();
    ASSERT_GE(urb.size(), 3u);
    std::string est = TestDb_Scalar("select iEst from t_house group by iEst order by count(*) desc limit 1");
    int was = atoi(TestDb_Scalar("select iUrban from t_estate where iOrdinal = " + est).c_str());
    tagURBAN moved = urb[0].iOrdinal == was ? urb[1] : urb[0];
    TestDb_Exec("update t_estate set iUrban = " + std::to_string(moved.iOrdinal) + " where iOrdinal = " + est);
    EXPECT_EQ(TestDb_Count("t_house where iEst = " + est),
              TestDb_Count("t_house where iEst = " + est + " and iUrban = " + std::to_string(moved.iOrdinal)));

    tagHOUSE* list = nullptr;
    int n = 0;
    ASSERT_NE(nullptr, FD_Sct_Hou(1, &list, &n, ("iEst <> " + est).c_str(), 0, nullptr, nullptr));
    ASSERT_GT(n, 0);
    tagHOUSE old = list[0], saved = list[0];
    Mem_Free_Hou(list);
    saved.iEst = atoi(est.c_str());
    snprintf(saved.szHouseNO, sizeof saved.szHouseNO, "M%d", old.iOrdinal % 100000);
    ASSERT_EQ(1, FD_Upd_Hou(1, &old, &saved));
    EXPECT_EQ(std::to_string(moved.iOrdinal), TestDb_Scalar("select iUrban from t_house where iOrdinal = " +
                                                          std::to_string(old.iOrdinal)));

    char result[512] = "";
    tagURBAN from = urb[2], into = urb[0].iOrdinal == moved.iOrdinal ? urb[1] : urb[0];
    ASSERT_EQ(1, FD_JOIN_URBAN_TOLD(1, &from, &into, result, sizeof result)) << result;
    EXPECT_EQ(0, TestDb_Count("t_house where iUrban = " + std::to_string(from.iOrdinal)));
    TestDb_Exec("insert into t_house (iEst, szBuildNO, szHouseNO, szTrade, dDelegate) values (" + est +
                ", 'hand', '1', '出售', curdate())");
    TestDb_Exec("update t_house set iEst = " + est + ", szBuildNO = 'hand', szHouseNO = '2', iUrban = 0 where iOrdinal = " +
                TestDb_Scalar("select min(iOrdinal) from t_house where iEst <> " + est));

    EXPECT_EQ(0, TestDb_Count("t_house h join t_estate e on e.iOrdinal = h.iEst where h.iUrban <> e.iUrban"));
    CompareAll();
    EXPECT_EQ(0u, TestBoxes_Count());
}

}  // namespace
