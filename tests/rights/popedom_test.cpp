// The permission library on realistic permission texts, and the scope and
// record checks built on its answers.
#include "tests/rights/rights_support.h"
#include "data/ZTData.h"
#include "db/dbtool.h"

#include <cstring>

namespace {

// The words of the seeded administrator, read the way login reads them.
std::string SeededText(int iEmp)
{
    char value[512];
    memset(value, 0, sizeof value);
    int cli = -1, hou = -1;
    EXPECT_EQ(1, FD_Sct_DefPD(nullptr, value, &cli, &hou, nullptr, nullptr, iEmp));
    return value;
}

TEST(Popedom, SeededAdministratorGetsEveryRight)
{
    TestDb_Open("kelmora_rights");
    std::string text = SeededText(1);
    TestDb_Close();
    ASSERT_EQ(std::string(kAllRightCodes), text);

    RightsUser u;
    RightsUser_Make(&u, text, 1, 1);
    const tagZT_Main_Param& p = u.p;
    // No administration module is closed and every window opens.
    for (uint32_t w : {p.W3, p.W4, p.W5, p.W7, p.W8, p.W9, p.W10, p.W14}) {
        EXPECT_EQ(0u, PD_Self(w, 0, -1));
        for (int op = 0; op < 4; op++) EXPECT_NE(0u, PD_Self(w, op, 0)) << "op " << op;
    }
    // System options are only viewed and changed.
    EXPECT_EQ(0u, PD_Self(p.W11, 0, -1));
    EXPECT_NE(0u, PD_Self(p.W11, 0, 0));
    EXPECT_NE(0u, PD_Self(p.W11, 2, 0));
    for (int m = ZTM_AREA; m <= ZTM_LOG; m++) EXPECT_TRUE(Rights_MayOpen(&p, m)) << m;
    // Houses and clients: every record, every operation.
    for (uint32_t w : {p.W1, p.W2}) {
        EXPECT_EQ(0u, PD_Akst(w, 0, -2, 1));
        uint32_t view = PD_Akst(w, 0, 0, 0);
        EXPECT_NE(0u, view);
        EXPECT_NE(1u, view);
        EXPECT_NE(16u, view);
        uint32_t modify = PD_Akst(w, 2, 0, 0);
        EXPECT_NE(0u, modify);
        EXPECT_NE(4u, modify);
        EXPECT_NE(64u, modify);
        EXPECT_NE(0u, PD_Akst(w, 1, 0, 0));
        EXPECT_NE(0u, PD_Akst(w, 3, 0, 0));
    }
    EXPECT_NE(0u, PD_Akst(p.W11, 2, 0, 0));
    // Every field right of the three dialogs.
    for (int n = 6; n <= 14; n++) {
        EXPECT_TRUE(Rights_HouseField(&p, n)) << n;
        EXPECT_TRUE(Rights_ClientField(&p, n)) << n;
    }
    EXPECT_TRUE(Rights_EstateField(&p, 15));
    char scope[32] = "x";
    Rights_ScopeText(&p, ZTM_HOUSE, scope, sizeof scope);
    EXPECT_STREQ("", scope);
    Rights_ScopeText(&p, ZTM_CLIENT, scope, sizeof scope);
    EXPECT_STREQ("", scope);
    EXPECT_TRUE(Rights_MayModifyRecord(&p, ZTM_HOUSE, 99, 98));
}

TEST(Popedom, SeededPresetsGiveOwnAndBranchScopes)
{
    TestDb_Open("kelmora_rights");
    char manager[512], salesman[512];
    memset(manager, 0, sizeof manager);
    memset(salesman, 0, sizeof salesman);
    ASSERT_EQ(1, FD_Sct_DefPD(manager, salesman, nullptr, nullptr, nullptr, nullptr, -1));
    TestDb_Close();

    RightsUser m;
    RightsUser_Make(&m, manager, 12, 2);
    EXPECT_EQ(16u, PD_Akst(m.p.W1, 0, 0, 0));
    EXPECT_EQ(64u, PD_Akst(m.p.W1, 2, 0, 0));
    EXPECT_EQ(16u, PD_Akst(m.p.W2, 0, 0, 0));
    EXPECT_EQ(64u, PD_Akst(m.p.W2, 2, 0, 0));
    // The manager views the dictionaries but may not change them.
    EXPECT_TRUE(Rights_MayOpen(&m.p, ZTM_ESTATE));
    EXPECT_EQ(0u, PD_Self(m.p.W4, 2, 0));
    EXPECT_EQ(1u, PD_Self(m.p.W11, 0, -1));

    RightsUser s;
    RightsUser_Make(&s, salesman, 13, 2);
    EXPECT_EQ(1u, PD_Akst(s.p.W1, 0, 0, 0));
    EXPECT_EQ(4u, PD_Akst(s.p.W1, 2, 0, 0));
    EXPECT_EQ(0u, PD_Akst(s.p.W1, 3, 0, 0));
    EXPECT_EQ(1u, PD_Akst(s.p.W2, 0, 0, 0));
    EXPECT_EQ(0u, PD_Akst(s.p.W2, 3, 0, 0));
    EXPECT_FALSE(Rights_MayOpen(&s.p, ZTM_ORG));
    EXPECT_EQ(1u, PD_Self(s.p.W7, 0, -1));
    // View telephones, but a follow-up is owed after each look.
    EXPECT_TRUE(Rights_ClientField(&s.p, ZT_FR_VIEW_TEL));
    EXPECT_FALSE(Rights_ClientField(&s.p, ZT_FR_TEL_FREE));
    EXPECT_TRUE(Rights_HouseField(&s.p, ZT_FR_VIEW_TEL));
    EXPECT_FALSE(Rights_HouseField(&s.p, ZT_FR_TEL_FREE));
}

TEST(Popedom, EmptyTextClosesEverything)
{
    RightsUser u;
    RightsUser_Make(&u, "");
    for (int i = 0; i < 17; i++) EXPECT_EQ(0u, Words(u.p)[i]) << "W" << i + 1;
    EXPECT_EQ(1u, PD_Self(u.p.W10, 0, -1));
    EXPECT_EQ(0u, PD_Self(u.p.W10, 0, 0));
    EXPECT_EQ(2u, PD_Akst(u.p.W1, 0, -2, 1));
    EXPECT_EQ(2u, PD_Akst(u.p.W2, 0, -2, 1));
    EXPECT_EQ(0u, PD_Akst(u.p.W1, 0, 0, 0));
    for (int m = ZTM_AREA; m <= ZTM_LOG; m++) EXPECT_FALSE(Rights_MayOpen(&u.p, m)) << m;
    for (int n = 6; n <= 15; n++) EXPECT_EQ(0u, PD_Part(u.p.W16, n, 0));
    EXPECT_FALSE(Rights_MayModifyRecord(&u.p, ZTM_HOUSE, 7, 3));

    // No text at all behaves the same.
    tagZT_Main_Param p;
    memset(&p, 0xAB, sizeof p);
    PD_Calc(&p, nullptr);
    for (int i = 0; i < 17; i++) EXPECT_EQ(0u, Words(p)[i]);
}

TEST(Popedom, ScopesOfHouseAndClientRights)
{
    struct Case {
        const char* codes;
        uint32_t view, modify;
        const char* houseScope;
    };
    const Case cases[] = {
        {"01", 1, 0, "iEmp = 7"},
        {"02", 16, 0, "iBr = 3"},
        {"03", 256, 0, ""},
        {"04", 256, 0, ""},
        {"0109", 1, 4, "iEmp = 7"},
        {"020A", 16, 64, "iBr = 3"},
        {"040B", 256, 256, ""},
        {"0C", 0, 256, ""},
        // The widest scope of one operation counts, whatever the order.
        {"0401", 256, 0, ""},
        {"0201", 16, 0, "iBr = 3"},
    };
    for (const Case& c : cases) {
        RightsUser u;
        RightsUser_Make(&u, c.codes);
        EXPECT_EQ(c.view, PD_Akst(u.p.W1, 0, 0, 0)) << c.codes;
        EXPECT_EQ(c.modify, PD_Akst(u.p.W1, 2, 0, 0)) << c.codes;
        EXPECT_EQ(0u, PD_Akst(u.p.W1, 0, -2, 1)) << c.codes;
        char scope[32] = "x";
        Rights_ScopeText(&u.p, ZTM_HOUSE, scope, sizeof scope);
        EXPECT_STREQ(c.houseScope, scope) << c.codes;
        // Clients are untouched and closed.
        EXPECT_EQ(2u, PD_Akst(u.p.W2, 0, -2, 1)) << c.codes;
    }

    RightsUser cli;
    RightsUser_Make(&cli, "1C1I1L1S", 41, 5);
    EXPECT_EQ(1u, PD_Akst(cli.p.W2, 0, 0, 0));
    EXPECT_EQ(64u, PD_Akst(cli.p.W2, 2, 0, 0));
    EXPECT_NE(0u, PD_Akst(cli.p.W2, 1, 0, 0));
    EXPECT_NE(0u, PD_Akst(cli.p.W2, 3, 0, 0));
    char scope[32];
    Rights_ScopeText(&cli.p, ZTM_CLIENT, scope, sizeof scope);
    EXPECT_STREQ("iEmp = 41", scope);
    EXPECT_TRUE(Rights_MayOpen(&cli.p, ZTM_CLIENT));
    // The recycle bin has rights of its own ("查看回收站"): a clients-only
    // user does not open it.
    EXPECT_FALSE(Rights_MayOpen(&cli.p, ZTM_RECYCLE));
    EXPECT_FALSE(Rights_MayOpen(&cli.p, ZTM_HOUSE));
    // A short buffer is truncated, never overrun.
    char tiny[6];
    memset(tiny, 'z', sizeof tiny);
    Rights_ScopeText(&cli.p, ZTM_CLIENT, tiny, 5);
    EXPECT_STREQ("iEmp", tiny);
    EXPECT_EQ('z', tiny[5]);
}

TEST(Popedom, CodesAreReadPairByPair)
{
    // "010A" holds 01 and 0A; the "10" across the pair boundary is not the
    // client telephone sub-right, and "A0" is nothing.
    RightsUser u;
    RightsUser_Make(&u, "0Z010A");
    EXPECT_EQ(1u, PD_Akst(u.p.W1, 0, 0, 0));
    EXPECT_EQ(64u, PD_Akst(u.p.W1, 2, 0, 0));
    EXPECT_FALSE(Rights_ClientField(&u.p, ZT_FR_TEL));
    // A trailing odd byte and unknown pairs are ignored.
    RightsUser v;
    RightsUser_Make(&v, "ZZ3E4");
    EXPECT_TRUE(Rights_MayOpen(&v.p, ZTM_ESTATE));
    EXPECT_FALSE(Rights_MayOpen(&v.p, ZTM_PARAM));
    // A full buffer without a NUL is read to its end and no further.
    tagPOPEDOM pd;
    for (size_t i = 0; i + 1 < sizeof pd.szValue; i += 2) {
        pd.szValue[i] = '4';
        pd.szValue[i + 1] = '0';
    }
    tagZT_Main_Param p;
    memset(&p, 0, sizeof p);
    PD_Calc(&p, &pd);
    EXPECT_NE(0u, PD_Self(p.W9, 0, 0));
    EXPECT_EQ(0u, PD_Self(p.W9, 1, 0));
}

TEST(Popedom, PlainModulesAndQuestionsOutsideTheForms)
{
    RightsUser u;
    RightsUser_Make(&u, "37" "38" "42" "2T" "2X" "34");
    EXPECT_NE(0u, PD_Self(u.p.W10, 1, 0));
    EXPECT_EQ(0u, PD_Self(u.p.W10, 2, 0));
    // Parameters: modify only; the module is not closed but does not open.
    EXPECT_EQ(0u, PD_Self(u.p.W9, 0, -1));
    EXPECT_FALSE(Rights_MayOpen(&u.p, ZTM_PARAM));
    EXPECT_TRUE(Rights_MayModifyParam(&u.p));
    // The organisation opens on the employee view; positions may be added.
    EXPECT_TRUE(Rights_MayOpen(&u.p, ZTM_ORG));
    EXPECT_NE(0u, PD_Self(u.p.W7, 2, 0));
    EXPECT_EQ(0u, PD_Self(u.p.W7, 3, 0));
    EXPECT_NE(0u, PD_Self(u.p.W8, 1, 0));
    EXPECT_EQ(0u, PD_Self(u.p.W10, 4, 0));
    EXPECT_EQ(0u, PD_Self(u.p.W10, -1, 0));
    EXPECT_EQ(0u, PD_Part(0xFFFFFFFFu, 5, 0));
    EXPECT_EQ(0u, PD_Part(0xFFFFFFFFu, 16, 0));
}

TEST(Popedom, FieldRightsFromPartialModificationAndModifyRights)
{
    // Sub-rights count only under their parent code.
    RightsUser orphan;
    RightsUser_Make(&orphan, "01" "13" "12" "10");
    for (int n = 6; n <= 15; n++) {
        EXPECT_FALSE(Rights_HouseField(&orphan.p, n)) << n;
        EXPECT_FALSE(Rights_ClientField(&orphan.p, n)) << n;
    }
    // Partial modification gives exactly its ticked fields, and no save.
    RightsUser part;
    RightsUser_Make(&part, "01" "0Y" "13" "46" "1C" "0Z" "10" "0X");
    EXPECT_TRUE(Rights_HouseField(&part.p, ZT_FR_REMARK));
    EXPECT_TRUE(Rights_HouseField(&part.p, ZT_FR_LOCATION));
    EXPECT_FALSE(Rights_HouseField(&part.p, ZT_FR_TEL));
    EXPECT_FALSE(Rights_HouseField(&part.p, ZT_FR_PRICE));
    EXPECT_TRUE(Rights_ClientField(&part.p, ZT_FR_TEL));
    EXPECT_TRUE(Rights_ClientField(&part.p, ZT_FR_PRICE));
    EXPECT_FALSE(Rights_ClientField(&part.p, ZT_FR_REMARK));
    EXPECT_EQ(0u, PD_Akst(part.p.W1, 2, 0, 0));
    EXPECT_FALSE(Rights_MayModifyRecord(&part.p, ZTM_HOUSE, 7, 3));
    // A modify right (own records) lets every field change; the telephone
    // viewing rights stay apart.
    RightsUser full;
    RightsUser_Make(&full, "01" "09" "1C" "1H" "1A" "45");
    for (int n = 6; n <= 12; n++) {
        EXPECT_TRUE(Rights_HouseField(&full.p, n)) << n;
        EXPECT_TRUE(Rights_ClientField(&full.p, n)) << n;
    }
    EXPECT_FALSE(Rights_HouseField(&full.p, ZT_FR_VIEW_TEL));
    EXPECT_TRUE(Rights_HouseField(&full.p, ZT_FR_TEL_FREE));
    EXPECT_TRUE(Rights_ClientField(&full.p, ZT_FR_VIEW_TEL));
    EXPECT_FALSE(Rights_ClientField(&full.p, ZT_FR_TEL_FREE));
    // Renaming estates is its own right.
    EXPECT_FALSE(Rights_EstateField(&full.p, ZT_FR_EST_NAME));
    RightsUser est;
    RightsUser_Make(&est, "3E3D");
    EXPECT_FALSE(Rights_EstateField(&est.p, ZT_FR_EST_NAME));
    RightsUser_Make(&est, "3E47");
    EXPECT_TRUE(Rights_EstateField(&est.p, ZT_FR_EST_NAME));
}

TEST(Popedom, ModifyCheckOfOneRecord)
{
    // Employee 7 of branch 3.
    RightsUser own;
    RightsUser_Make(&own, "0109" "1C1H");
    EXPECT_TRUE(Rights_MayModifyRecord(&own.p, ZTM_HOUSE, 7, 9));
    EXPECT_FALSE(Rights_MayModifyRecord(&own.p, ZTM_HOUSE, 8, 3));
    EXPECT_TRUE(Rights_MayModifyRecord(&own.p, ZTM_CLIENT, 7, 1));
    EXPECT_FALSE(Rights_MayModifyRecord(&own.p, ZTM_CLIENT, 70, 3));

    RightsUser branch;
    RightsUser_Make(&branch, "020A");
    EXPECT_TRUE(Rights_MayModifyRecord(&branch.p, ZTM_HOUSE, 8, 3));
    EXPECT_FALSE(Rights_MayModifyRecord(&branch.p, ZTM_HOUSE, 7, 4));
    EXPECT_FALSE(Rights_MayModifyRecord(&branch.p, ZTM_CLIENT, 7, 3));

    RightsUser all;
    RightsUser_Make(&all, "030B");
    EXPECT_TRUE(Rights_MayModifyRecord(&all.p, ZTM_HOUSE, 100, 100));

    // Without a logged-in employee a scoped right grants nothing.
    own.p.pLoginEmp = nullptr;
    EXPECT_FALSE(Rights_MayModifyRecord(&own.p, ZTM_HOUSE, 7, 3));
    own.p.pLoginBr = nullptr;
    char scope[32];
    Rights_ScopeText(&own.p, ZTM_HOUSE, scope, sizeof scope);
    EXPECT_STREQ("iEmp = 0", scope);
}

}  // namespace
