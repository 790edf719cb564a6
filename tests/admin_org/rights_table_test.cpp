// The grant page's table of rights and the value it composes, without a
// window: the codes in the order they are stored, scopes, sub-rights, the
// daily counts, and what the permission library makes of the result.
#include "tests/support/test_support.h"
#include "app/admin/org_rights.h"
#include "app/resources/resource.h"
#include "db/dbtool.h"
#include "outside/popedom/ZTPopedom.h"

#include <cstring>
#include <set>
#include <string>

namespace {

int Row(int id)
{
    for (int i = 0; i < g_nOrgRights; i++)
        if (g_orgRights[i].id == id)
            return i;
    ADD_FAILURE() << "no row for box " << id;
    return 0;
}

ORG_GRANT Everything(int scope)
{
    ORG_GRANT g;
    OrgGrant_Clear(&g);
    for (int i = 0; i < g_nOrgRights; i++) {
        g.ticked[i] = true;
        g.scope[i] = scope;
    }
    return g;
}

// Every box of the page ticked, the scoped ones at "本人": every code once,
// in the order of the page's table of rights.
TEST(GrantTable, EveryRightTickedGivesEveryCodeOnceInTheTablesOrder)
{
    const std::string expected =
        "01" "05" "09" "0D" "0H" "0L" "0T" "0P" "0Y" "13" "12" "15" "14" "16" "17" "46" "1A" "1B"
        "1C" "1H" "1P" "1L" "0Z" "10" "11" "18" "19" "0X" "44" "45"
        "3D" "3B" "3C" "3E" "3H" "3G" "3I" "3F" "2P" "2S" "2Q" "2R" "2T" "2U" "2X" "30"
        "33" "34" "35" "36" "3A" "38" "39" "37" "42" "41" "43" "40"
        "3R" "3Q" "3O" "3J" "3K" "3L" "3M" "47";
    int32_t cli = -1, hou = -1;
    ORG_GRANT g = Everything(0);
    g.iHouMax = 30;
    g.iCliMax = 12;
    std::string v = OrgGrant_Compose(g, &cli, &hou);
    EXPECT_EQ(v, expected);
    EXPECT_EQ(hou, 30);
    EXPECT_EQ(cli, 12);
    // The whole value fits the long cipher form (256 plain bytes).
    EXPECT_LE(OrgGrant_Compose(Everything(3), nullptr, nullptr).size(), 256u);
    // The widest scopes: 跨店.
    EXPECT_EQ(OrgGrant_Compose(Everything(3), nullptr, nullptr).substr(0, 8), "04080C0G");

    // Box ids are those of the page, each once, with their drop-downs and counts.
    std::set<int> ids;
    for (int i = 0; i < g_nOrgRights; i++) {
        EXPECT_TRUE(ids.insert(g_orgRights[i].id).second) << g_orgRights[i].id;
        if (int s = OrgRight_ScopeId(g_orgRights[i])) {
            EXPECT_TRUE(ids.insert(s).second) << s;
        }
    }
    EXPECT_EQ(OrgRight_CountId(g_orgRights[Row(1309)]), IDC_PD_HOU_COUNT);
    EXPECT_EQ(OrgRight_CountId(g_orgRights[Row(1312)]), IDC_PD_CLI_COUNT);
    EXPECT_EQ(ids.count(IDC_PD_HOU_COUNT) + ids.count(IDC_PD_CLI_COUNT), 0u);
}

TEST(GrantTable, AScopedRightWithoutAScopeAddsNothing)
{
    ORG_GRANT g;
    OrgGrant_Clear(&g);
    g.ticked[Row(1162)] = true;             // house view, no scope chosen
    g.ticked[Row(1173)] = true;             // view follow-ups
    EXPECT_EQ(OrgGrant_Compose(g, nullptr, nullptr), "0H");
    g.scope[Row(1162)] = 1;                  // 本部
    EXPECT_EQ(OrgGrant_Compose(g, nullptr, nullptr), "020H");
    g.scope[Row(1162)] = 7;                  // no such scope
    EXPECT_EQ(OrgGrant_Compose(g, nullptr, nullptr), "0H");
}

TEST(GrantTable, SubRightsCountOnlyUnderTheirTickedParent)
{
    ORG_GRANT g;
    OrgGrant_Clear(&g);
    for (int id : {1181, 1183, 1300, 1306})
        g.ticked[Row(id)] = true;
    EXPECT_EQ(OrgGrant_Compose(g, nullptr, nullptr), "");
    g.ticked[Row(1178)] = true;             // 房源部分修改
    EXPECT_EQ(OrgGrant_Compose(g, nullptr, nullptr), "0Y1312");
    g.ticked[Row(1141)] = true;             // 客源部分修改
    EXPECT_EQ(OrgGrant_Compose(g, nullptr, nullptr), "0Y13120Z100X");
}

TEST(GrantTable, ADailyCountIsStoredOnlyWithItsTelephoneRight)
{
    ORG_GRANT g;
    OrgGrant_Clear(&g);
    g.iHouMax = 40;
    g.iCliMax = 9;
    int32_t cli = -1, hou = -1;
    g.ticked[Row(1312)] = true;              // client 看电话 only
    EXPECT_EQ(OrgGrant_Compose(g, &cli, &hou), "45");
    EXPECT_EQ(hou, 0);
    EXPECT_EQ(cli, 9);
    g.ticked[Row(1312)] = false;
    g.ticked[Row(1309)] = true;
    EXPECT_EQ(OrgGrant_Compose(g, &cli, &hou), "1B");
    EXPECT_EQ(hou, 40);
    EXPECT_EQ(cli, 0);
}

TEST(GrantTable, AStoredValueShowsAsItWasComposed)
{
    // The administrator's value and the manager preset come back with the
    // same codes (in the table's order).
    const char* manager = "02" "06" "0A" "0E" "0H" "0L" "0T" "0P" "0Y" "13" "12" "15" "14" "16" "17" "46" "1A" "1B"
                          "1D" "1I" "1Q" "1M" "0Z" "10" "11" "18" "19" "0X" "44" "45" "3E" "3F" "37" "40" "2P" "2T"
                          "33" "3J" "3L";
    for (const char* value : {static_cast<const char*>(kAllRightCodes), manager}) {
        ORG_GRANT g;
        OrgGrant_Parse(value, 5, 6, &g);
        std::string again = OrgGrant_Compose(g, nullptr, nullptr);
        std::multiset<std::string> in, out;
        for (size_t i = 0; i + 1 < strlen(value); i += 2)
            in.insert(std::string(value + i, 2));
        for (size_t i = 0; i + 1 < again.size(); i += 2)
            out.insert(again.substr(i, 2));
        EXPECT_EQ(in, out) << value;
    }
    // Two scopes of one right show the wider; pairs are read from the start,
    // unknown ones and an odd last byte are passed over.
    ORG_GRANT g;
    OrgGrant_Parse("0103ZZX0H0", 3, 4, &g);
    EXPECT_TRUE(g.ticked[Row(1162)]);
    EXPECT_EQ(g.scope[Row(1162)], 2);
    EXPECT_FALSE(g.ticked[Row(1173)]) << "'0H' does not start a pair here";
    EXPECT_EQ(OrgGrant_Compose(g, nullptr, nullptr), "03");
    EXPECT_EQ(g.iCliMax, 3);
    EXPECT_EQ(g.iHouMax, 4);
}

// What the salesman preset and one more right mean to the permission library.
TEST(GrantTable, ThePermissionLibraryReadsTheComposedValue)
{
    ORG_GRANT g;
    OrgGrant_Parse("01" "05" "09" "0H" "0L" "0T" "1B" "1C" "1H" "1L" "45" "3E" "3F" "37", 20, 20, &g);
    g.ticked[Row(1296)] = true;              // 查看参数
    std::string v = OrgGrant_Compose(g, nullptr, nullptr);
    tagZT_Main_Param p;
    memset(&p, 0, sizeof p);
    tagPOPEDOM pd;
    memset(&pd, 0, sizeof pd);
    strncpy(pd.szValue, v.c_str(), sizeof pd.szValue - 1);
    PD_Calc(&p, &pd);
    EXPECT_EQ(PD_Akst(p.W1, 0, 0, 0), 1u);  // own houses
    EXPECT_EQ(PD_Akst(p.W1, 3, 0, 0), 0u);  // no deleting
    EXPECT_NE(PD_Self(p.W9, 0, 0), 0u);      // the parameter window opens
    EXPECT_EQ(PD_Self(p.W7, 0, -1), 1u);     // the organisation is closed
    EXPECT_EQ(PD_Self(p.W11, 0, -1), 1u);    // and so are the options
}

}  // namespace
