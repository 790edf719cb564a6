// The rights vocabulary lives in four places: the grant page's table
// (org_rights), the permission library's codes and words (PD_Calc), the
// program's module-to-word table (rights.cpp) and the seeded presets.
// These tests tie them together: every box of the grant page changes at
// least one answer the program asks at the next login, and each preset
// means what its name says.
#include "tests/rights/rights_support.h"
#include "app/admin/org_rights.h"
#include "db/dbtool.h"

#include <string>
#include <vector>

namespace {

// Everything the program asks of a user's rights, as one list of numbers.
std::vector<int> AnswersOf(const std::string& codes)
{
    RightsUser u;
    RightsUser_Make(&u, codes);
    std::vector<int> a;
    for (int m = 0; m < ZTM_COUNT; m++)
        for (int op = ZT_OP_VIEW; op <= ZT_OP_CHANGE; op++)
            a.push_back(Rights_May(&u.p, m, op));
    for (int m : {ZTM_HOUSE, ZTM_CLIENT, ZTM_LOG, ZTM_RECYCLE})
        a.push_back(Rights_Scope(&u.p, m));
    for (int n = 6; n <= 15; n++) {
        a.push_back(Rights_HouseField(&u.p, n));
        a.push_back(Rights_ClientField(&u.p, n));
        a.push_back(Rights_EstateField(&u.p, n));
    }
    for (int op = ZT_OP_VIEW; op <= ZT_OP_DELETE; op++)
        a.push_back(Rights_MayBuilding(&u.p, op));
    a.push_back(Rights_MayViewFollowUps(&u.p));
    a.push_back(Rights_MayModifyRecord(&u.p, ZTM_HOUSE, 7, 3));
    a.push_back(Rights_MayModifyRecord(&u.p, ZTM_HOUSE, 8, 3));
    a.push_back(Rights_MayModifyRecord(&u.p, ZTM_CLIENT, 7, 3));
    a.push_back(Rights_MayModifyRecord(&u.p, ZTM_CLIENT, 8, 3));
    return a;
}

// The codes a page stores with row i ticked (a scoped row at its narrowest
// scope, a sub-right under its ticked parent), or without it.  A parent
// box (partial modification) is tried with all its sub-rights ticked: it
// grants through them.
std::string Codes(const ORG_RIGHT* rows, int n, int i, bool bWith)
{
    std::string codes;
    for (int k = 0; k < n; k++) {
        bool parent = rows[i].idParent && rows[k].id == rows[i].idParent;
        bool child = rows[k].idParent == rows[i].id;
        if (parent || child || (k == i && bWith))
            codes.append(rows[k].pszCodes, 2);
    }
    return codes;
}

// The captions of the rows whose box changes no answer.
std::vector<std::string> UnreadBoxes(const ORG_RIGHT* rows, int n)
{
    std::vector<std::string> unread;
    for (int i = 0; i < n; i++)
        if (AnswersOf(Codes(rows, n, i, true)) == AnswersOf(Codes(rows, n, i, false)))
            unread.push_back(std::string(rows[i].pszCaption) + " " + rows[i].pszCodes);
    return unread;
}

}  // namespace

TEST(RightsVocabulary, EveryBoxOfTheGrantPageChangesWhatItsUserMayDo)
{
    EXPECT_EQ(UnreadBoxes(g_orgRights, g_nOrgRights), std::vector<std::string>{});

    // The check itself: a box whose code no word takes is caught.
    std::vector<ORG_RIGHT> rows(g_orgRights, g_orgRights + g_nOrgRights);
    rows.push_back({9999, "无用的权限", "ZZ", 0, ORG_LIMIT_NONE, 3, 0, 0, 40});
    EXPECT_EQ(UnreadBoxes(rows.data(), static_cast<int>(rows.size())), std::vector<std::string>{"无用的权限 ZZ"});
}

TEST(RightsVocabulary, ThePresetsMeanWhatTheirNamesSay)
{
    RightsUser s, m, a;
    RightsUser_Make(&s, kSalesmanPreset);
    RightsUser_Make(&m, kManagerPreset);
    RightsUser_Make(&a, kAllRightCodes);

    // The salesman: his own houses and clients, nothing of the administration.
    EXPECT_EQ(Rights_Scope(&s.p, ZTM_HOUSE), ZT_SCOPE_OWN);
    EXPECT_EQ(Rights_Scope(&s.p, ZTM_CLIENT), ZT_SCOPE_OWN);
    EXPECT_TRUE(Rights_May(&s.p, ZTM_HOUSE, ZT_OP_ADD));
    EXPECT_FALSE(Rights_May(&s.p, ZTM_HOUSE, ZT_OP_DELETE));
    EXPECT_FALSE(Rights_May(&s.p, ZTM_CLIENT, ZT_OP_DELETE));
    for (int mod : {ZTM_LOG, ZTM_RECYCLE, ZTM_ORG, ZTM_SYSOPT, ZTM_GRANT})
        EXPECT_FALSE(Rights_MayOpen(&s.p, mod)) << mod;

    // The branch manager: his branch's listings, the log and the recycle
    // bin to read, never to delete from, restore or purge.
    EXPECT_EQ(Rights_Scope(&m.p, ZTM_HOUSE), ZT_SCOPE_BRANCH);
    EXPECT_EQ(Rights_Scope(&m.p, ZTM_CLIENT), ZT_SCOPE_BRANCH);
    EXPECT_EQ(Rights_Scope(&m.p, ZTM_LOG), ZT_SCOPE_BRANCH);
    EXPECT_EQ(Rights_Scope(&m.p, ZTM_RECYCLE), ZT_SCOPE_BRANCH);
    EXPECT_TRUE(Rights_MayOpen(&m.p, ZTM_LOG));
    EXPECT_TRUE(Rights_MayOpen(&m.p, ZTM_RECYCLE));
    EXPECT_FALSE(Rights_May(&m.p, ZTM_LOG, ZT_OP_DELETE));
    EXPECT_FALSE(Rights_May(&m.p, ZTM_RECYCLE, ZT_OP_MODIFY));
    EXPECT_FALSE(Rights_May(&m.p, ZTM_RECYCLE, ZT_OP_DELETE));
    for (int mod : {ZTM_ESTATE, ZTM_AREA, ZTM_PARAM}) {
        EXPECT_TRUE(Rights_MayOpen(&m.p, mod)) << mod;
        EXPECT_FALSE(Rights_May(&m.p, mod, ZT_OP_CHANGE)) << mod;
    }
    EXPECT_FALSE(Rights_May(&m.p, ZTM_GRANT, ZT_OP_MODIFY));

    // The administrator's full text: everything, across branches.
    for (int mod = 0; mod < ZTM_COUNT; mod++)
        EXPECT_TRUE(Rights_MayOpen(&a.p, mod)) << mod;
    for (int mod : {ZTM_HOUSE, ZTM_CLIENT, ZTM_LOG, ZTM_RECYCLE})
        EXPECT_EQ(Rights_Scope(&a.p, mod), ZT_SCOPE_ALL) << mod;
    EXPECT_TRUE(Rights_May(&a.p, ZTM_LOG, ZT_OP_DELETE));
    EXPECT_TRUE(Rights_May(&a.p, ZTM_RECYCLE, ZT_OP_MODIFY));

    // The scopes become conditions on the rows: the log by its operator.
    char scope[128];
    Rights_ScopeText(&m.p, ZTM_LOG, scope, sizeof scope);
    EXPECT_STREQ(scope, "iOpEmp in (select iOrdinal from t_employee where iBr = 3)");
    Rights_ScopeText(&a.p, ZTM_LOG, scope, sizeof scope);
    EXPECT_STREQ(scope, "");
    int32_t emp = -1, br = -1;
    Rights_RecycleScope(&m.p, &emp, &br);
    EXPECT_EQ(emp, 0);
    EXPECT_EQ(br, 3);
}
