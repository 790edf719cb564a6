// The match windows driven as an agent drives them on the demo data set: a
// client's "匹配房源" from the client list's toolbar, the houses best first,
// one opened with a double click; the same asked again under a salesman's
// scope; a house's "匹配客源" from the house list's context menu; the
// client dialog's own "匹配房源" button; and a user who may not see houses.
#include "tests/listings_client/client_fixture.h"
#include "tests/startup/startup_support.h"
#include "app/listings/client_dialog_ids.h"
#include "app/listings/match_window.h"
#include "app/shell/rights.h"
#include "app/resources/resource.h"
#include "tests/support/grid_rows.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

class MatchWindowTest : public ClientWindowTest {
protected:
    // The records a grid lists, in the order shown.
    static std::vector<const void*> Rows(HWND hGrid)
    {
        tagLV_DATA* d = TestGrid_Data(hGrid);
        std::vector<const void*> out;
        for (int i = 0; d && i < d->iLoaded; i++)
            out.push_back(TestGrid_Loaded(d, i));
        return out;
    }
    static void ClickFirstRow(ZT_MODWIN* w, int times)
    {
        RECT rg = Ui_WindowRect(w->hGrid);
        int x = rg.left + 30, y = rg.top + GRID_HEADER_HEIGHT + GRID_ROW_HEIGHT / 2 + 2;
        for (int i = 0; i < times; i++) {
            Ui_Press(x, y);
            Ui_Release();
        }
        Ui_Pump(100);
    }
    static std::string Scope(int iModule)
    {
        char s[64];
        Rights_ScopeText(&g_ZTMain, iModule, s, sizeof s);
        return s[0] ? std::string(" and ") + s : "";
    }
};

TEST_F(MatchWindowTest, AgentMatchesAClientAndAHouse)
{
    // The first client of the list wants to buy near a house on offer, facing its way.
    HWND clients = Open(IDM_CLIENT, "ZT_CHILD_CLI");
    ZT_MODWIN* cw = Module_Of(clients);
    ASSERT_NE(cw, nullptr);
    ASSERT_FALSE(Rows(cw->hGrid).empty());
    std::string k = std::to_string(static_cast<const tagCLIENT*>(Rows(cw->hGrid)[0])->iOrdinal);
    std::string price = TestDb_Scalar("select iSales from t_house where bRecyle = 0 and szTrade = '出售' and iSales > 50 "
                                      "order by iOrdinal limit 1");
    std::string toward = TestDb_Scalar("select szToward from t_house where bRecyle = 0 and szTrade = '出售' and "
                                       "iSales > 50 order by iOrdinal limit 1");
    int p = atoi(price.c_str());
    std::string lo = std::to_string(p / 2), hi = std::to_string(p * 2);
    TestDb_Exec("update t_client set szTrade = '求购', iMinBuy = " + lo + ", iMaxBuy = " + hi +
                ", iMinRent = 0, iMaxRent = 0, iMinArea = 0, iMaxArea = 0, iMinRoom = 0, iMaxRoom = 0, szUrban = '',"
                " szHouseType = '', szFloor = '', szDecoration = '', szLayout = '', szToward = '" + toward +
                "' where iOrdinal = " + k);
    // A house in the budget put in the recycle bin is never offered.
    std::string gone = TestDb_Scalar("select iOrdinal from t_house where bRecyle = 0 and szTrade in ('出售','租售') and "
                                     "iSales between " + lo + " and " + hi + " order by iOrdinal desc limit 1");
    TestDb_Exec("update t_house set bRecyle = 1 where iOrdinal = " + gone);
    // One in the budget belongs to an agent of another branch.
    std::string other = TestDb_Scalar("select concat(iOrdinal, ',', iBr) from t_employee where bRecyle = 0 and iBr <> " +
                                      std::to_string(g_ZTMain.pLoginEmp->iBr) + " limit 1");
    ASSERT_NE(other.find(','), std::string::npos);
    TestDb_Exec("update t_house set iEmp = " + other.substr(0, other.find(',')) + ", iBr = " +
                other.substr(other.find(',') + 1) + " where bRecyle = 0 and szTrade in ('出售','租售') and iSales between " +
                lo + " and " + hi + " order by iOrdinal limit 1");
    Shell_ClickButton(clients, ID_MODULE_REFRESH);
    Wd_Settle(cw);
    ASSERT_EQ(std::to_string(static_cast<const tagCLIENT*>(Rows(cw->hGrid)[0])->iOrdinal), k);
    ClickFirstRow(cw, 1);

    // "匹配房源" on the toolbar: the live houses in the budget, those facing
    // the client's way first, then the nearer price.
    Shell_ClickButton(clients, ID_CLIENT_MATCH);
    HWND match = Frame_FindChild("ZT_CHILD_MATCH_HOU");
    ASSERT_NE(match, nullptr);
    ZT_MODWIN* mw = Module_Of(match);
    Wd_Settle(mw);
    EXPECT_EQ(0u, TestBoxes_Count());
    std::string inBudget = "t_house where bRecyle = 0 and szTrade in ('出售','租售') and iSales between " + lo + " and " + hi;
    std::vector<const void*> rows = Rows(mw->hGrid);
    ASSERT_EQ((long long)rows.size(), TestDb_Count(inBudget));
    ASSERT_GE(rows.size(), 2u);
    EXPECT_EQ(Shell_CountBox(match), std::to_string(rows.size()));
    EXPECT_NE(Ui_Text(match).find("匹配房源"), std::string::npos);
    int facing = (int)TestDb_Count(inBudget + " and szToward = '" + toward + "'");
    for (size_t i = 0; i < rows.size(); i++) {
        const tagHOUSE_MATCH* m = static_cast<const tagHOUSE_MATCH*>(rows[i]);
        EXPECT_NE(std::to_string(m->h.iOrdinal), gone);
        EXPECT_EQ(m->iFit, (int)i < facing ? 1 : 0) << i;
        EXPECT_EQ(m->iFit == 1, std::string(m->h.szToward) == toward);
        if (i > 0) {
            const tagHOUSE_MATCH* prev = static_cast<const tagHOUSE_MATCH*>(rows[i - 1]);
            EXPECT_TRUE(prev->iFit > m->iFit || (prev->iFit == m->iFit && prev->iGap <= m->iGap)) << i;
        }
    }
    Ui_Screenshot("match-houses");

    // A double click opens the house in its dialog.
    const tagHOUSE_MATCH* best = static_cast<const tagHOUSE_MATCH*>(rows[0]);
    Wd_DriveDialog([&] { ClickFirstRow(mw, 2); }, "修改房源", [&](HWND dlg) {
        St_Click(GetDlgItem(dlg, IDCANCEL));
        EXPECT_TRUE(St_WaitGone(dlg));
    });
    EXPECT_EQ(TestDb_Count("t_house where iOrdinal = " + std::to_string(best->h.iOrdinal) + " and iSales = " +
                           std::to_string(best->h.iSales)), 1);

    // As a salesman, asked again: the same window, only the houses the
    // salesman's house list shows.
    UseSalesmanRights();
    std::string scope = Scope(ZTM_HOUSE);
    ASSERT_FALSE(scope.empty());
    SendMessageA(Frame_MDIClient(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(clients), 0);
    Ui_Pump(100);
    Shell_ClickButton(clients, ID_CLIENT_MATCH);
    Wd_Settle(mw);
    EXPECT_EQ(Frame_FindChild("ZT_CHILD_MATCH_HOU"), match);
    EXPECT_EQ((long long)Rows(mw->hGrid).size(), TestDb_Count(inBudget + scope));
    EXPECT_LT((long long)Rows(mw->hGrid).size(), (long long)rows.size());
    Shell_Setup();    // every right again

    // "匹配客源" from the house list's context menu: the clients the first
    // house fits, as the data library lists them.
    HWND houses = Open(IDM_HOUSE, "ZT_CHILD_HOU");
    ZT_MODWIN* hw = Module_Of(houses);
    ASSERT_NE(hw, nullptr);
    ASSERT_FALSE(Rows(hw->hGrid).empty());
    std::string first = std::to_string(static_cast<const tagHOUSE*>(Rows(hw->hGrid)[0])->iOrdinal);
    // The first house of the list is put on sale at that client's price, facing the client's way.
    TestDb_Exec("update t_house set szTrade = '出售', iSales = " + price + ", szToward = '" + toward +
                "' where iOrdinal = " + first);
    Shell_ClickButton(houses, ID_MODULE_REFRESH);
    Wd_Settle(hw);
    ASSERT_EQ(std::to_string(static_cast<const tagHOUSE*>(Rows(hw->hGrid)[0])->iOrdinal), first);
    ClickFirstRow(hw, 1);
    const tagHOUSE* house = static_cast<const tagHOUSE*>(Module_Selected(hw));
    ASSERT_NE(house, nullptr);
    RECT rg = Ui_WindowRect(hw->hGrid);
    Ui_ClickMenuItemSoon(GetSubMenu(g_ZTMain.hContextMenus, CTXPOS_HOUSE), ID_HOUSE_MATCH);
    Wd_Click({rg.left + 30, rg.top + GRID_HEADER_HEIGHT + GRID_ROW_HEIGHT / 2 + 2}, false, true);    // a right click
    Ui_Pump(700);
    EXPECT_TRUE(Ui_MenuClicked());
    HWND cmatch = Frame_FindChild("ZT_CHILD_MATCH_CLI");
    ASSERT_NE(cmatch, nullptr);
    ZT_MODWIN* cmw = Module_Of(cmatch);
    Wd_Settle(cmw);
    int n = 0;
    tagCLIENT_MATCH* want = FD_Match_Cli(house, "", 0, &n);
    ASSERT_NE(want, nullptr);
    std::vector<const void*> crow = Rows(cmw->hGrid);
    ASSERT_EQ((int)crow.size(), n);
    bool found = false;
    for (const void* r : crow) {
        const tagCLIENT_MATCH* m = static_cast<const tagCLIENT_MATCH*>(r);
        if (std::to_string(m->c.iOrdinal) == k) {
            found = true;
            EXPECT_EQ(m->iFit, 1);
        }
    }
    EXPECT_TRUE(found) << "the client matched above";
    for (int i = 0; i < n; i++)
        EXPECT_EQ(static_cast<const tagCLIENT_MATCH*>(crow[i])->c.iOrdinal, want[i].c.iOrdinal) << i;
    Mem_Free_Match(want);
    Ui_Screenshot("match-clients");

    // The client dialog's "匹配房源": the dialog is left and the houses
    // window matches that client.
    SendMessageA(Frame_MDIClient(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(clients), 0);
    Ui_Pump(100);
    SendMessageA(cw->hGrid, GRM_MOVESEL, 0, LV_MOVE_LAST);
    const tagCLIENT* last = static_cast<const tagCLIENT*>(Module_Selected(cw));
    ASSERT_NE(last, nullptr);
    Wd_DriveDialog([&] { SendMessageA(clients, WM_COMMAND, MAKEWPARAM(ID_CLIENT_MODIFY, 0), 0); }, "修改客源", [&](HWND dlg) {
        St_Click(GetDlgItem(dlg, IDC_CD_MATCH));
        EXPECT_TRUE(St_WaitGone(dlg));
    });
    Wd_Settle(mw);
    EXPECT_NE(Ui_Text(match).find(last->szCliMan[0] ? last->szCliMan : last->szLinkMan), std::string::npos);
    n = 0;
    tagHOUSE_MATCH* wantHouses = FD_Match_Hou(last, "", 0, &n);
    ASSERT_NE(wantHouses, nullptr);
    EXPECT_EQ((int)Rows(mw->hGrid).size(), n);
    Mem_Free_Match(wantHouses);
    EXPECT_EQ(0u, TestBoxes_Count());

    // Without the right to see houses the command says so and the open
    // window is left as it was.
    std::string title = Ui_Text(match);
    tagPOPEDOM none;
    memset(&none, 0, sizeof none);
    PD_Calc(&g_ZTMain, &none);
    SendMessageA(clients, WM_COMMAND, MAKEWPARAM(ID_CLIENT_MATCH, 0), 0);
    Ui_Pump(100);
    ASSERT_EQ(1u, TestBoxes_Count());
    EXPECT_EQ("没有浏览房源的权限", TestBoxes_Taken()[0].text);
    EXPECT_EQ(title, Ui_Text(match));
    EXPECT_EQ((int)Rows(mw->hGrid).size(), n);
    Shell_Setup();
}

}  // namespace
