// Menu rights on the program's own menus 107 and 120.
#include "tests/rights/rights_support.h"
#include "tests/controls/ui_driver.h"
#include "app/resources/resource.h"
#include "db/dbtool.h"

#include <vector>

namespace {

std::string ItemText(HMENU menu, int pos)
{
    char buf[128] = "";
    GetMenuStringA(menu, static_cast<UINT>(pos), buf, sizeof buf, MF_BYPOSITION);
    return buf;
}

std::vector<std::string> Captions(HMENU menu)
{
    std::vector<std::string> out;
    for (int i = 0; i < GetMenuItemCount(menu); i++) out.push_back(ItemText(menu, i));
    return out;
}

bool Present(HMENU menu, UINT id) { return GetMenuState(menu, id, MF_BYCOMMAND) != 0xFFFFFFFFu; }
bool Greyed(HMENU menu, UINT id)
{
    UINT s = GetMenuState(menu, id, MF_BYCOMMAND);
    return s != 0xFFFFFFFFu && (s & MF_GRAYED);
}

class MenuRights : public testing::Test {
protected:
    RightsUser u;
    HMENU ctx(int pos) { return GetSubMenu(u.p.hContextMenus, pos); }
    void Apply(const std::string& codes)
    {
        RightsUser_Make(&u, codes);
        u.p.hMainMenu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDM_MAIN));
        u.p.hContextMenus = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDM_CONTEXT));
        ASSERT_TRUE(u.p.hMainMenu);
        ASSERT_TRUE(u.p.hContextMenus);
        ApplyMenuRights(&u.p);
    }
    void TearDown() override
    {
        if (u.p.hMainMenu) DestroyMenu(u.p.hMainMenu);
        if (u.p.hContextMenus) DestroyMenu(u.p.hContextMenus);
    }
};

TEST_F(MenuRights, ContextMenusHoldSeventeenPopupsWithTheCommandsTheChecksGrey)
{
    HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDM_CONTEXT));
    ASSERT_TRUE(menu);
    const std::vector<std::string> captions = {
        "城市管理", "城区管理", "片区管理", "参数管理", "部门管理", "员工管理", "楼盘字典", "房源管理", "全部房源",
        "出售房源", "出租房源", "客源管理", "全部客源", "求购客源", "求租客源", "日志管理", "回收站"};
    EXPECT_EQ(captions, Captions(menu));
    struct Need {
        int pos;
        std::vector<UINT> ids;
    };
    const Need needs[] = {
        {CTXPOS_CITY, {40062, 40064, 40070}},
        {CTXPOS_URBAN, {40058, 40060, 40040, 40044, 40069}},
        {CTXPOS_DISTRICT, {40066, 40067, 40068, 19}},
        {CTXPOS_PARAM, {40051, 40052, 40053, 19}},
        {CTXPOS_BRANCH, {2000, 1317, 1318, 40109}},
        {CTXPOS_EMPLOYEE, {2000, 1317, 1318, 40112, 40115, 40116, 40114, 40110, 40107}},
        {CTXPOS_ESTATE, {40056, 40057, 40059}},
        {CTXPOS_HOUSE, {40064, 40065, 40066, 40230}},
        {CTXPOS_HOUSE_ALL, {40074, 40075, 40222}},
        {CTXPOS_HOUSE_SALE, {40077, 40078, 40150}},
        {CTXPOS_HOUSE_RENT, {40151, 40149, 40082}},
        {CTXPOS_CLIENT, {40178, 40087, 40179, 40231}},
        {CTXPOS_CLIENT_ALL, {40097, 40092}},
        {CTXPOS_CLIENT_BUY, {40093, 40094}},
        {CTXPOS_CLIENT_RENT, {40095, 40096}},
        {CTXPOS_LOG, {40202, 40203}},
        {CTXPOS_RECYCLE, {40232, 40233}},
    };
    for (const Need& n : needs) {
        HMENU sub = GetSubMenu(menu, n.pos);
        ASSERT_TRUE(sub) << n.pos;
        for (UINT id : n.ids) EXPECT_TRUE(Present(sub, id)) << "popup " << n.pos << " id " << id;
        for (UINT id : n.ids) EXPECT_FALSE(Greyed(sub, id)) << "popup " << n.pos << " id " << id;
    }
    EXPECT_EQ("今日委托房", ItemText(GetSubMenu(menu, CTXPOS_HOUSE_SALE), 0));
    EXPECT_EQ("新增客源", ItemText(GetSubMenu(menu, CTXPOS_CLIENT), 0));
    DestroyMenu(menu);
}

TEST_F(MenuRights, UserWithoutAdministrationRightsLosesTheEstatePopup)
{
    // Houses: view and modify across stores; clients: view own only.
    Apply("04" "0C" "1C");
    HMENU m = u.p.hMainMenu;
    const std::vector<std::string> left = {"用户管理(&U)", "房源管理(&H)", "客源管理(&C)", "系统管理(&S)", "窗口(&W)"};
    EXPECT_EQ(left, Captions(m));
    for (UINT id : {IDM_AREA, IDM_BRANCH, IDM_PARAM, IDM_SYSOPT}) EXPECT_TRUE(Greyed(m, id)) << id;
    EXPECT_EQ("城区管理", ItemText(GetSubMenu(m, 3), 1));
    EXPECT_FALSE(Present(m, IDM_ESTATE));
    for (UINT id : {IDM_HOUSE, IDM_CLIENT, IDM_HOUSE_FOLLOW, IDM_CLIENT_FOLLOW, IDM_EXIT})
        EXPECT_FALSE(Greyed(m, id)) << id;
    // The log and the recycle bin ask their own rights, which this user lacks.
    for (UINT id : {IDM_LOG, IDM_RECYCLE})
        EXPECT_TRUE(Greyed(m, id)) << id;
    // House context: only modify is allowed; deleting a listing's
    // follow-ups needs the follow-up delete right as well.
    EXPECT_TRUE(Greyed(ctx(CTXPOS_HOUSE), 40064));
    EXPECT_FALSE(Greyed(ctx(CTXPOS_HOUSE), 40065));
    EXPECT_TRUE(Greyed(ctx(CTXPOS_HOUSE), 40066));
    EXPECT_TRUE(Greyed(ctx(CTXPOS_HOUSE), 40230));
    for (UINT id : {40178, 40087, 40179}) EXPECT_TRUE(Greyed(ctx(CTXPOS_CLIENT), id)) << id;
    EXPECT_TRUE(Greyed(ctx(CTXPOS_CLIENT), 40231));
    // Closed administration modules leave their context menus alone.
    EXPECT_FALSE(Greyed(ctx(CTXPOS_CITY), 40062));
    EXPECT_FALSE(Greyed(ctx(CTXPOS_PARAM), 40051));
    // With the follow-up delete right the follow-up commands are offered.
    TearDown();
    Apply("04" "0C" "1C" "0P");
    EXPECT_FALSE(Greyed(ctx(CTXPOS_HOUSE), 40230));
    EXPECT_FALSE(Greyed(ctx(CTXPOS_CLIENT), 40231));
}

TEST_F(MenuRights, ClosedHousesAndClientsRemoveTheirPopups)
{
    // Areas: view and add; estates: view.  No house or client right.
    Apply("37" "38" "3E");
    HMENU m = u.p.hMainMenu;
    const std::vector<std::string> left = {"用户管理(&U)", "楼盘字典(&E)", "系统管理(&S)", "窗口(&W)"};
    EXPECT_EQ(left, Captions(m));
    EXPECT_FALSE(Present(m, IDM_HOUSE));
    EXPECT_FALSE(Present(m, IDM_CLIENT_FOLLOW));
    EXPECT_FALSE(Greyed(m, IDM_AREA));
    EXPECT_FALSE(Greyed(m, IDM_ESTATE));
    EXPECT_TRUE(Greyed(m, IDM_PARAM));
    EXPECT_TRUE(Greyed(m, IDM_BRANCH));
    // Area contexts: add allowed, modify (and merge) and delete greyed.
    EXPECT_FALSE(Greyed(ctx(CTXPOS_CITY), 40062));
    EXPECT_TRUE(Greyed(ctx(CTXPOS_CITY), 40064));
    EXPECT_TRUE(Greyed(ctx(CTXPOS_CITY), 40070));
    EXPECT_FALSE(Greyed(ctx(CTXPOS_URBAN), 40058));
    for (UINT id : {40060, 40044, 40040}) EXPECT_TRUE(Greyed(ctx(CTXPOS_URBAN), id)) << id;
    EXPECT_FALSE(Greyed(ctx(CTXPOS_URBAN), 40069));
    EXPECT_FALSE(Greyed(ctx(CTXPOS_DISTRICT), 40066));
    EXPECT_TRUE(Greyed(ctx(CTXPOS_DISTRICT), 40067));
    EXPECT_TRUE(Greyed(ctx(CTXPOS_DISTRICT), 40068));
    EXPECT_FALSE(Greyed(ctx(CTXPOS_DISTRICT), 19));
    for (UINT id : {40056, 40057, 40059}) EXPECT_TRUE(Greyed(ctx(CTXPOS_ESTATE), id)) << id;
    // Same ids in other popups are not touched: 40064 of the houses.
    EXPECT_FALSE(Greyed(ctx(CTXPOS_HOUSE), 40064));
}

TEST_F(MenuRights, NoRightsAtAllLeaveUserAdministrationAndWindowPopups)
{
    Apply("");
    const std::vector<std::string> left = {"用户管理(&U)", "系统管理(&S)", "窗口(&W)"};
    EXPECT_EQ(left, Captions(u.p.hMainMenu));
    for (UINT id : {IDM_AREA, IDM_BRANCH, IDM_PARAM, IDM_SYSOPT}) EXPECT_TRUE(Greyed(u.p.hMainMenu, id));
    EXPECT_FALSE(Greyed(u.p.hMainMenu, IDM_CHANGE_PWD));
}

TEST_F(MenuRights, AdministratorKeepsEverythingButMergingData)
{
    Apply(kAllRightCodes);
    HMENU m = u.p.hMainMenu;
    EXPECT_EQ(6, GetMenuItemCount(m));
    for (UINT id : {IDM_AREA, IDM_BRANCH, IDM_PARAM, IDM_SYSOPT, IDM_ESTATE, IDM_HOUSE, IDM_CLIENT})
        EXPECT_FALSE(Greyed(m, id)) << id;
    for (int pos : {CTXPOS_CITY, CTXPOS_URBAN, CTXPOS_DISTRICT, CTXPOS_PARAM, CTXPOS_ESTATE, CTXPOS_HOUSE,
                    CTXPOS_CLIENT}) {
        HMENU sub = ctx(pos);
        for (int i = 0; i < GetMenuItemCount(sub); i++) {
            UINT state = GetMenuState(sub, static_cast<UINT>(i), MF_BYPOSITION);
            if (!(state & MF_SEPARATOR)) {
                EXPECT_FALSE(state & MF_GRAYED) << pos << "/" << i;
            }
        }
    }
    for (UINT id : {2000, 1317, 1318}) {
        EXPECT_FALSE(Greyed(ctx(CTXPOS_BRANCH), id)) << id;
        EXPECT_FALSE(Greyed(ctx(CTXPOS_EMPLOYEE), id)) << id;
    }
    for (UINT id : {40114, 40116, 40112, 40115, 40107, 40110}) EXPECT_FALSE(Greyed(ctx(CTXPOS_EMPLOYEE), id)) << id;
    EXPECT_FALSE(Greyed(ctx(CTXPOS_BRANCH), 40109));
}

TEST_F(MenuRights, OrganisationCommandsFollowTheirRecordsRights)
{
    // Employees viewed and added, no branch change, no positions.
    Apply("2T2U");
    for (UINT id : {2000, 1317, 1318}) {
        EXPECT_TRUE(Greyed(ctx(CTXPOS_BRANCH), id)) << id;
        EXPECT_TRUE(Greyed(ctx(CTXPOS_EMPLOYEE), id)) << id;
    }
    for (UINT id : {40114, 40116, 40107}) EXPECT_TRUE(Greyed(ctx(CTXPOS_EMPLOYEE), id)) << id;
    for (UINT id : {40112, 40115, 40110, 19}) EXPECT_FALSE(Greyed(ctx(CTXPOS_EMPLOYEE), id)) << id;
    EXPECT_FALSE(Greyed(u.p.hMainMenu, IDM_BRANCH));
}

TEST_F(MenuRights, MenuBarOfAWindowShowsTheRemainingPopups)
{
    Ui_Init();
    RightsUser_Make(&u, "01");
    u.p.hMainMenu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDM_MAIN));
    u.p.hContextMenus = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDM_CONTEXT));
    HWND frame = CreateWindowExA(0, "STATIC", "Kelmora", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 600, 200, nullptr,
                                 u.p.hMainMenu, GetModuleHandleA(nullptr), nullptr);
    ASSERT_TRUE(frame);
    u.p.hOwner = frame;
    Ui_Pump(60);
    ApplyMenuRights(&u.p);
    Ui_Pump(60);
    EXPECT_EQ(u.p.hMainMenu, GetMenu(frame));
    // The bar has lost the client and estate popups.
    EXPECT_EQ(4, GetMenuItemCount(u.p.hMainMenu));
    EXPECT_EQ("系统管理(&S)", ItemText(u.p.hMainMenu, 2));
    RECT last;
    ASSERT_TRUE(GetMenuItemRect(frame, u.p.hMainMenu, 3, &last));
    EXPECT_GT(last.right, last.left);
    Ui_Screenshot("rights_menu_bar_clerk");
    SetMenu(frame, nullptr);
    DestroyWindow(frame);
    Ui_Pump(30);
}

}  // namespace
