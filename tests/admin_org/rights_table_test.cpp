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

ORG_GRANT Grant(std::initializer_list<int> ticked)
{
    ORG_GRANT g;
    OrgGrant_Clear(&g);
    for (int id : ticked)
        g.ticked[Row(id)] = true;
    return g;
}

std::string Compose(const ORG_GRANT& g) { return OrgGrant_Compose(g, nullptr, nullptr); }

// Every box ticked, the scoped ones at "本人": every code once, in the
// order of the table; box ids, drop-downs and counts each once.
TEST(GrantTable, EveryRightTickedGivesEveryCodeOnceInTheTablesOrder)
{
    ORG_GRANT g;
    OrgGrant_Clear(&g);
    for (int i = 0; i < g_nOrgRights; i++) {
        g.ticked[i] = true;
        g.scope[i] = 0;
    }
    g.iHouMax = 30;
    g.iCliMax = 12;
    int32_t cli = -1, hou = -1;
    EXPECT_EQ(OrgGrant_Compose(g, &cli, &hou),
              "01" "05" "09" "0D" "0H" "0L" "0T" "0P" "0Y" "13" "12" "15" "14" "16" "17" "46" "1A" "1B"
              "1C" "1H" "1P" "1L" "0Z" "10" "11" "18" "19" "0X" "44" "45"
              "3D" "3B" "3C" "3E" "3H" "3G" "3I" "3F" "2P" "2S" "2Q" "2R" "2T" "2U" "2X" "30"
              "33" "34" "35" "36" "3A" "38" "39" "37" "42" "41" "43" "40"
              "3R" "3Q" "3O" "3J" "3K" "3L" "3M" "47");
    EXPECT_EQ(hou, 30);
    EXPECT_EQ(cli, 12);
    for (int i = 0; i < g_nOrgRights; i++)
        g.scope[i] = 3;                      // 跨店, the widest: still within the cipher's 256 bytes
    EXPECT_EQ(Compose(g).substr(0, 8), "04080C0G");
    EXPECT_LE(Compose(g).size(), 256u);

    std::set<int> ids = {IDC_PD_HOU_COUNT, IDC_PD_CLI_COUNT};
    for (int i = 0; i < g_nOrgRights; i++) {
        EXPECT_TRUE(ids.insert(g_orgRights[i].id).second) << g_orgRights[i].id;
        if (int s = OrgRight_ScopeId(g_orgRights[i])) {
            EXPECT_TRUE(ids.insert(s).second) << s;
        }
    }
    EXPECT_EQ(OrgRight_CountId(g_orgRights[Row(1309)]), IDC_PD_HOU_COUNT);
    EXPECT_EQ(OrgRight_CountId(g_orgRights[Row(1312)]), IDC_PD_CLI_COUNT);
}

TEST(GrantTable, ScopesSubRightsAndCountsAddOnlyWhatTheyMayAdd)
{
    // A scoped right without a (valid) scope adds nothing.
    ORG_GRANT g = Grant({1162, 1173});
    EXPECT_EQ(Compose(g), "0H");
    g.scope[Row(1162)] = 1;
    EXPECT_EQ(Compose(g), "020H");
    g.scope[Row(1162)] = 7;
    EXPECT_EQ(Compose(g), "0H");

    // Sub-rights count only under their ticked parent.
    g = Grant({1181, 1183, 1300, 1306});
    EXPECT_EQ(Compose(g), "");
    g.ticked[Row(1178)] = g.ticked[Row(1141)] = true;
    EXPECT_EQ(Compose(g), "0Y13120Z100X");

    // A daily count is stored only with its "看电话".
    g = Grant({1312});
    g.iHouMax = 40;
    g.iCliMax = 9;
    int32_t cli = -1, hou = -1;
    EXPECT_EQ(OrgGrant_Compose(g, &cli, &hou), "45");
    EXPECT_EQ(hou, 0);
    EXPECT_EQ(cli, 9);
}

TEST(GrantTable, AStoredValueShowsAsItWasComposed)
{
    const char* manager = "02" "06" "0A" "0E" "0H" "0L" "0T" "0P" "0Y" "13" "12" "15" "14" "16" "17" "46" "1A" "1B"
                          "1D" "1I" "1Q" "1M" "0Z" "10" "11" "18" "19" "0X" "44" "45" "3E" "3F" "37" "40" "2P" "2T"
                          "33" "3J" "3L";
    for (const char* value : {static_cast<const char*>(kAllRightCodes), manager}) {
        ORG_GRANT g;
        OrgGrant_Parse(value, 5, 6, &g);
        std::string again = Compose(g);
        std::multiset<std::string> in, out;
        for (size_t i = 0; i + 1 < strlen(value); i += 2)
            in.insert(std::string(value + i, 2));
        for (size_t i = 0; i + 1 < again.size(); i += 2)
            out.insert(again.substr(i, 2));
        EXPECT_EQ(in, out) << value;
    }
    // The wider of two scopes; pairs read from the start, unknown ones and
    // an odd last byte passed over.
    ORG_GRANT g;
    OrgGrant_Parse("0103ZZX0H0", 3, 4, &g);
    EXPECT_EQ(g.scope[Row(1162)], 2);
    EXPECT_EQ(Compose(g), "03");
    EXPECT_EQ(g.iCliMax, 3);
    EXPECT_EQ(g.iHouMax, 4);
}

// The salesman preset and "查看参数" as the permission library reads them.
TEST(GrantTable, ThePermissionLibraryReadsTheComposedValue)
{
    ORG_GRANT g;
    OrgGrant_Parse("01" "05" "09" "0H" "0L" "0T" "1B" "1C" "1H" "1L" "45" "3E" "3F" "37", 20, 20, &g);
    g.ticked[Row(1296)] = true;
    tagZT_Main_Param p;
    memset(&p, 0, sizeof p);
    tagPOPEDOM pd;
    memset(&pd, 0, sizeof pd);
    strncpy(pd.szValue, Compose(g).c_str(), sizeof pd.szValue - 1);
    PD_Calc(&p, &pd);
    EXPECT_EQ(PD_Akst(p.W1, 0, 0, 0), 1u);  // own houses
    EXPECT_EQ(PD_Akst(p.W1, 3, 0, 0), 0u);  // no deleting
    EXPECT_NE(PD_Self(p.W9, 0, 0), 0u);      // the parameter window opens
    EXPECT_EQ(PD_Self(p.W7, 0, -1), 1u);     // the organisation and the options are closed
    EXPECT_EQ(PD_Self(p.W11, 0, -1), 1u);
}

}  // namespace
