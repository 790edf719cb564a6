// The client list window driven as an agent drives it, on the demo data
// set: opened from the main menu, filtered with typed boxes and a quick
// filter, a bad date named, the trades drawn in their colours, a row
// selected with its follow-ups and remarks shown, its follow-ups and then
// the client deleted after the confirmation.
#include "tests/listings_client/client_fixture.h"
#include "tests/data_listings/listings_support.h"
#include "app/listings/client_ids.h"
#include "app/listings/client_window.h"
#include "app/listings/listing_window.h"
#include "app/shell/blocks.h"
#include "app/resources/resource.h"
#include "common/date.h"
#include "tests/support/grid_rows.h"

#include <string>

namespace {

TEST_F(ClientWindowTest, AgentFiltersSelectsAndDeletes)
{
    // Opened from the main menu "客源浏览".
    bool clicked = Wd_ChooseMenu(frame, MAINPOS_CLIENT, IDM_CLIENT);
    HWND hwnd = Frame_FindChild("ZT_CHILD_CLI");
    ASSERT_NE(hwnd, nullptr);
    ZT_MODWIN* w = Module_Of(hwnd);
    ASSERT_NE(w, nullptr);
    Wd_Settle(w);
    EXPECT_TRUE(clicked);
    EXPECT_TRUE(w->bLoaded);
    long long all = Live("");
    ASSERT_GT(all, 10);
    Wd_ExpectListed(w, all);
    tagLV_DATA* d = TestGrid_Data(w->hGrid);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->iColCount, 23);
    EXPECT_STREQ(d->pColumns[5].szCaption, "交易");
    EXPECT_STREQ(d->pColumns[14].szUnit, "万元");
    HWND panel = ListingWindow_Panel(hwnd);
    HWND pane = ListingWindow_Pane(hwnd);
    ASSERT_NE(panel, nullptr);
    ASSERT_NE(pane, nullptr);
    EXPECT_TRUE(Ui_Visible(pane));

    // The trades in their colours: a row of each, drawn in the trade column.
    Shot shot = Ui_Capture(w->hGrid);
    int x0 = 0;
    for (int c = 0; c < 5; c++)
        x0 += d->pColumns[c].iWidth;
    int seen[3] = {0, 0, 0};
    int rows = (shot.h - GRID_HEADER_HEIGHT) / GRID_ROW_HEIGHT - 1;
    for (int row = 0; row < rows && row < d->iLoaded; row++) {
        const tagCLIENT* c = static_cast<const tagCLIENT*>(TestGrid_Loaded(d, row));
        COLORREF want = Client_TradeColour(c->szTrade);
        int y0 = GRID_HEADER_HEIGHT + row * GRID_ROW_HEIGHT;
        bool found = false;
        for (int y = y0 + 2; y < y0 + GRID_ROW_HEIGHT - 2 && !found; y++)
            for (int x = x0 + 2; x < x0 + d->pColumns[5].iWidth - 2 && !found; x++) {
                uint32_t px = shot.at(x, y);
                found = Red(px) == GetRValue(want) && Green(px) == GetGValue(want) && Blue(px) == GetBValue(want);
            }
        EXPECT_TRUE(found) << c->szTrade;
        std::string t = c->szTrade;
        seen[t == "求租" ? 0 : t == "求购" ? 1 : 2]++;
    }
    EXPECT_GT(seen[0] * seen[1] * seen[2], 0) << "rows of every trade were on screen";

    // Typed: a trade and a price within the rent budget.
    Ui_Type(GetDlgItem(panel, IDC_CF_PRICE), "3000");
    SetDlgItemTextA(panel, IDC_CF_TRADE, "求租");
    Wd_ClickControl(GetDlgItem(panel, IDC_CF_FIND));
    Wd_Settle(w);
    long long typed = Live("szTrade = '求租' and iMinRent <= 3000 and iMaxRent >= 3000");
    Wd_ExpectListed(w, typed);
    EXPECT_NE(typed, all);

    // A date that is none is named and nothing is loaded.
    SetDlgItemTextA(panel, IDC_CF_FOLLOW_FROM, "2026-02-30");
    Wd_ClickControl(GetDlgItem(panel, IDC_CF_FIND));
    Ui_Pump(100);
    Wd_ExpectBoxNaming("跟进日期(起)");
    EXPECT_EQ(Shell_GridRows(w->hGrid), typed);

    // The quick filter "今日委托客" of the "求购" button's menu: the panel
    // is cleared, trade "求购" and today's (local) date in both boxes.
    TestDb_Exec("update t_client set dDelegate = curdate() where iOrdinal in (select * from (select iOrdinal from "
                "t_client where szTrade = '求购' order by iOrdinal limit 2) x)");
    EXPECT_TRUE(Wd_ChooseDropDown(w, ID_CLIENT_BUY, CTXPOS_CLIENT_BUY, ID_CLIENT_BUY_DELEGATE));    // the drop-down arrow
    char today[16];
    Date_Today(today, sizeof(today));
    EXPECT_EQ(Ui_Text(GetDlgItem(panel, IDC_CF_TRADE)), "求购");
    EXPECT_EQ(Ui_Text(GetDlgItem(panel, IDC_CF_DELEGATE_FROM)), today);
    EXPECT_EQ(Ui_Text(GetDlgItem(panel, IDC_CF_DELEGATE_TO)), today);
    EXPECT_EQ(Ui_Text(GetDlgItem(panel, IDC_CF_PRICE)), "");
    EXPECT_EQ(Shell_GridRows(w->hGrid), Live("szTrade = '求购' and dDelegate = curdate()"));

    // The trade button itself: every client who wants to rent.
    Shell_ClickButton(hwnd, ID_CLIENT_RENT);
    Wd_Settle(w);
    long long rent = Live("szTrade = '求租'");
    EXPECT_EQ(Shell_GridRows(w->hGrid), rent);
    EXPECT_EQ(Ui_Text(GetDlgItem(panel, IDC_CF_DELEGATE_FROM)), "");

    // A click on the first row selects it and shows its remarks and
    // follow-ups (one written just now among them).
    SendMessageA(w->hGrid, GRM_GETDATA, 0, reinterpret_cast<LPARAM>(&d));
    const tagCLIENT* first = static_cast<const tagCLIENT*>(TestGrid_Loaded(d, 0));
    std::string k = std::to_string(first->iOrdinal);
    TestDb_Exec("insert into t_follow (iHou, iCli, iEmp, iBr, szWay, szContent, dtFollow) values (0, " + k +
                ", 1, 1, '电话', '回访', now())");
    RECT rg = Ui_WindowRect(w->hGrid);
    Ui_Click(rg.left + 30, rg.top + GRID_HEADER_HEIGHT + GRID_ROW_HEIGHT / 2 + 2);
    Ui_Pump(100);
    const tagCLIENT* sel = static_cast<const tagCLIENT*>(Module_Selected(w));
    ASSERT_EQ(sel, first);
    EXPECT_EQ(Ui_Text(GetDlgItem(pane, IDC_CP_REMARK)), std::string("备注:\r\n") + sel->szRemark);
    long long follows = TestDb_Count("t_follow where bRecyle = 0 and iCli = " + k);
    HWND followGrid = GetDlgItem(pane, IDC_CP_FOLLOWS);
    ASSERT_NE(followGrid, nullptr);
    Wd_WaitRows(followGrid, follows);
    EXPECT_EQ(Shell_GridRows(followGrid), follows);
    Ui_Screenshot("client-list");

    // A client with live follow-ups stays: the library refuses.
    Wd_ButtonAnswered(w, ID_CLIENT_DELETE, IDOK);
    EXPECT_EQ(TestDb_Scalar("select bRecyle from t_client where iOrdinal = " + k), "0");
    EXPECT_EQ(Shell_GridRows(w->hGrid), rent);
    TestBoxes_Reset();

    // Its follow-ups from the context menu: cancelled, then confirmed.
    Wd_CommandAnswered(hwnd, ID_CLIENT_DELETE_FOLLOWS, IDCANCEL);
    EXPECT_EQ(TestDb_Count("t_follow where bRecyle = 0 and iCli = " + k), follows);
    Wd_CommandAnswered(hwnd, ID_CLIENT_DELETE_FOLLOWS, IDOK);
    EXPECT_EQ(TestDb_Count("t_follow where bRecyle = 0 and iCli = " + k), 0);
    EXPECT_EQ(Shell_GridRows(followGrid), 0);

    // The client: the toolbar button, "no" first, then "yes".
    TestBoxes_Reset();
    TestBoxes_Answer(IDCANCEL);
    Shell_ClickButton(hwnd, ID_CLIENT_DELETE);
    Ui_Pump(150);
    TestBoxes_ExpectOnly("删除后可以在回收站中还原,是否继续");
    EXPECT_EQ(TestDb_Scalar("select bRecyle from t_client where iOrdinal = " + k), "0");
    Wd_ButtonAnswered(w, ID_CLIENT_DELETE, IDOK);
    EXPECT_EQ(TestDb_Scalar("select bRecyle from t_client where iOrdinal = " + k), "1");
    Wd_ExpectListed(w, rent - 1);
    EXPECT_EQ(sel->iOrdinal, 0) << "the slot is free again";

    // Without a selection: the message, nothing deleted.
    SendMessageA(w->hGrid, GRM_CLEAR, 0, 0);
    Ui_Pump(50);
    TestBoxes_Reset();
    SendMessageA(hwnd, WM_COMMAND, ID_CLIENT_DELETE, 0);
    Ui_Pump(50);
    TestBoxes_ExpectOnly("请选择数据");
}

TEST_F(ClientWindowTest, TheOwnEmployeeScopeListsOnlyTheUsersClients)
{
    // The salesman sees only the own clients, and may not delete them.
    tagZT_Main_Param* p = &g_ZTMain;
    UseSalesmanRights();
    HWND hwnd = Open(IDM_CLIENT, "ZT_CHILD_CLI");
    ASSERT_NE(hwnd, nullptr);
    ZT_MODWIN* w = Module_Of(hwnd);
    long long own = Live("iEmp = " + std::to_string(p->pLoginEmp->iOrdinal));
    ASSERT_GT(own, 0);
    EXPECT_LT(own, Live(""));
    EXPECT_EQ(Shell_GridRows(w->hGrid), own);
    EXPECT_EQ(SendMessageA(Block_GetToolbar(hwnd), TB_ISBUTTONENABLED, ID_CLIENT_DELETE, 0), 0);
    EXPECT_NE(SendMessageA(Block_GetToolbar(hwnd), TB_ISBUTTONENABLED, ID_CLIENT_ADD, 0), 0);
}

TEST_F(ClientWindowTest, ClearListsWhatAnEmptyPanelFindsAndDeletionsAreWholeAndAskTheirRights)
{
    HWND hwnd = Open(IDM_CLIENT, "ZT_CHILD_CLI");
    ZT_MODWIN* w = Module_Of(hwnd);
    ASSERT_NE(w, nullptr);
    HWND panel = ListingWindow_Panel(hwnd);
    long long all = Live("");
    // Columns wide enough for the demo's values.
    tagLV_DATA* d = TestGrid_Data(w->hGrid);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->pColumns[0].iWidth * 1000 + d->pColumns[2].iWidth, 65 * 1000 + 75);
    EXPECT_EQ(d->pColumns[21].iWidth * 1000 + d->pColumns[22].iWidth, 130 * 1000 + 130);

    // "清空" after a filter: the boxes empty and every client listed again.
    SetDlgItemTextA(panel, IDC_CF_TRADE, "求租");
    Wd_ClickControl(GetDlgItem(panel, IDC_CF_FIND));
    Wd_Settle(w);
    ASSERT_EQ(Shell_GridRows(w->hGrid), Live("szTrade = '求租'"));
    Wd_ClickControl(GetDlgItem(panel, IDC_CF_CLEAR));
    Wd_Settle(w);
    EXPECT_EQ(Ui_Text(GetDlgItem(panel, IDC_CF_TRADE)), "");
    Wd_ExpectListed(w, all);

    // A client's follow-ups: the salesman has no follow-up delete right.
    const int me = g_ZTMain.pLoginEmp->iOrdinal;
    auto selectWhere = [&](const std::function<bool(const tagCLIENT*)>& pred) { return Wd_Select<tagCLIENT>(w->hGrid, pred); };
    auto follows = [](const tagCLIENT* c) {
        return TestDb_Count("t_follow where bRecyle = 0 and iCli = " + std::to_string(c->iOrdinal));
    };
    tagCLIENT* mine = selectWhere([&](const tagCLIENT* c) { return c->iEmp == me && follows(c) > 0; });
    ASSERT_NE(mine, nullptr);
    long long n = follows(mine);
    UseSalesmanRights();
    Wd_RunAnswered(w, ID_CLIENT_DELETE_FOLLOWS, IDOK);
    TestBoxes_ExpectOnly("您没有删除跟进的权限");
    EXPECT_EQ(follows(mine), n);
    // The delete right, but modifying only the own clients: not another's.
    Wd_Grant("1G" "1H" "0H" "0P");
    tagCLIENT* theirs = selectWhere([&](const tagCLIENT* c) { return c->iEmp != me && follows(c) > 0; });
    ASSERT_NE(theirs, nullptr);
    long long m = follows(theirs);
    Wd_RunAnswered(w, ID_CLIENT_DELETE_FOLLOWS, IDOK);
    TestBoxes_ExpectOnly("您没有修改该客源的权限, 不能删除它的跟进");
    EXPECT_EQ(follows(theirs), m);
    // The own client's: asked, then retired, each logged and binned.
    ASSERT_EQ(selectWhere([&](const tagCLIENT* c) { return c == mine; }), mine);
    Wd_RunAnswered(w, ID_CLIENT_DELETE_FOLLOWS, IDOK);
    EXPECT_EQ(TestBoxes_Taken().at(0).text, "删除后可以在回收站中还原,是否继续");
    EXPECT_EQ(follows(mine), 0);
    EXPECT_EQ(TestDb_Count("t_recyle where iObjType = 8 and iObjOrdinal in (select iOrdinal from t_follow where iCli = " +
                           std::to_string(mine->iOrdinal) + ")"), n);

    // The client itself, its recycle-bin entry cut off: nothing is deleted,
    // the row stays, one box says so.
    Shell_Setup();
    int rows = Shell_GridRows(w->hGrid);
    const int key = mine->iOrdinal;
    TestBoxes_Reset();
    TestBoxes_Answer(IDOK);
    {
        // (This thread waits in the busy dialog while the delete runs: the
        // cut comes from another.)
        Gate gate("t_recyle", "insert");
        Worker cut;
        cut.call = [&] {
            std::string id = gate.Reached();
            if (!id.empty())
                TestDb_Exec("kill connection " + id);
            return id.empty() ? 0 : 1;
        };
        Worker_Start(cut);
        Shell_ClickButton(hwnd, ID_CLIENT_DELETE);
        Wd_Settle(w);
        EXPECT_EQ(Worker_Join(cut), 1);
    }
    Wd_Settle(w);
    EXPECT_EQ(TestBoxes_Count(), 2u);    // the question and the library's box
    EXPECT_EQ(mine->iOrdinal, key) << "the record stays";
    EXPECT_EQ(Shell_GridRows(w->hGrid), rows);
    EXPECT_EQ(TestDb_Scalar("select bRecyle from t_client where iOrdinal = " + std::to_string(key)), "0");
    EXPECT_EQ(TestDb_Count("t_recyle where iObjType = 1 and iObjOrdinal = " + std::to_string(key)), 0);
}

}  // namespace
