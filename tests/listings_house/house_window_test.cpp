// The house list window driven as an agent drives it, on the demo data set:
// opened from the main menu, filtered with typed boxes and a quick filter,
// a bad date named, sorted, a row selected with its remarks shown, and its
// follow-ups and then the house deleted after the confirmation.
#include "tests/support/window_driver.h"
#include "tests/data_listings/listings_support.h"
#include "tests/startup/startup_support.h"
#include "app/listings/estate_box.h"
#include "app/listings/house_dialog_ids.h"
#include "app/listings/house_ids.h"
#include "app/listings/house_window.h"
#include "app/listings/listing_window.h"
#include "app/shell/blocks.h"
#include "app/shell/frame.h"
#include "app/shell/startup.h"
#include "app/resources/resource.h"
#include "common/date.h"
#include "db/dbtool.h"
#include "outside/popedom/ZTPopedom.h"
#include "tests/support/grid_rows.h"

#include <cctype>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// The house menu held open for the README's picture of the whole frame.
bool g_menuShot = false;
void CALLBACK ShootOpenMenu(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    if (Ui_ThreadWindow("#32768")) {
        g_menuShot = true;
        Ui_Screenshot("main-frame");
    }
    EndMenu();
}

class HouseWindowTest : public DemoWindowTest {
protected:
    static void SetUpTestSuite() { OpenDemo("kelmora_house_win"); }
    void TearDown() override
    {
        DemoWindowTest::TearDown();
        g_ZTMain.bRemind1 = 0;
        g_ZTMain.bRemind2 = 0;
    }
    static long long Live(const std::string& where)
    {
        long long n = TestDb_Count("t_house where bRecyle = 0" + (where.empty() ? "" : " and (" + where + ")"));
        return n > 5000 ? 5000 : n;
    }
};

TEST_F(HouseWindowTest, AgentFiltersSortsSelectsAndDeletes)
{
    // The follow-up thresholds of a newcomer's config.ini.
    g_ZTMain.bRemind1 = 7;
    g_ZTMain.bRemind2 = 30;
    // Opened from the main menu "房源浏览".
    bool clicked = Wd_ChooseMenu(frame, MAINPOS_HOUSE, IDM_HOUSE);
    HWND hwnd = Frame_FindChild("ZT_CHILD_HOU");
    ASSERT_NE(hwnd, nullptr);
    ZT_MODWIN* w = Module_Of(hwnd);
    ASSERT_NE(w, nullptr);
    Wd_Settle(w);
    EXPECT_TRUE(clicked);
    EXPECT_TRUE(w->bLoaded);
    long long all = Live("");
    ASSERT_GT(all, 10);
    Wd_ExpectListed(w, all);
    EXPECT_EQ(0u, TestBoxes_Count()) << "every house names a known employee, branch, estate and urban area";
    tagLV_DATA* d = TestGrid_Data(w->hGrid);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->iColCount, 32);
    EXPECT_STREQ(d->pColumns[12].szCaption, "售价");
    EXPECT_STREQ(d->pColumns[12].szUnit, "万元");
    EXPECT_STREQ(d->pColumns[1].szUnit, "天未跟进");
    // A house for sale only has no rent: its rent cells are empty, not
    // "0元/月", while its price shows.
    const tagHOUSE* saleOnly = nullptr;
    for (const void* r : TestGrid_Rows(w->hGrid)) {
        const tagHOUSE* h = static_cast<const tagHOUSE*>(r);
        if (h->iSales > 0 && h->iRent == 0 && h->iRentBase == 0 && h->dbRentAve == 0)
            saleOnly = h;
    }
    ASSERT_NE(saleOnly, nullptr);
    for (int c : {15, 16, 17})
        EXPECT_EQ(TestGrid_Value(w->hGrid, saleOnly, c), nullptr) << d->pColumns[c].szCaption;
    ASSERT_NE(TestGrid_Value(w->hGrid, saleOnly, 12), nullptr);
    EXPECT_EQ(*static_cast<const int32_t*>(TestGrid_Value(w->hGrid, saleOnly, 12)), saleOnly->iSales);
    // The frame maximised, its house menu opened with Alt+H: the picture of the whole frame.
    ShowWindow(frame, SW_MAXIMIZE);
    RedrawWindow(frame, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Ui_Pump(500);
    g_menuShot = false;
    SetTimer(nullptr, 0, 400, ShootOpenMenu);
    PostMessageA(frame, WM_SYSCOMMAND, SC_KEYMENU, 'h');
    Ui_Pump(1500);
    EXPECT_TRUE(g_menuShot);
    ShowWindow(frame, SW_RESTORE);
    Ui_Pump(200);
    HWND panel = ListingWindow_Panel(hwnd);
    HWND pane = ListingWindow_Pane(hwnd);
    ASSERT_NE(panel, nullptr);
    ASSERT_NE(pane, nullptr);
    EXPECT_TRUE(Ui_Visible(pane));

    // Typed bounds: a lower price and an upper area.
    Ui_Type(GetDlgItem(panel, IDC_HF_PRICE_MIN), "100");
    Ui_Type(GetDlgItem(panel, IDC_HF_AREA_MAX), "90");
    Wd_ClickControl(GetDlgItem(panel, IDC_HF_FIND));
    Wd_Settle(w);
    long long typed = Live("(iSales >= 100 or iRent >= 100) and dbBuildArea <= 90");
    Wd_ExpectListed(w, typed);
    EXPECT_NE(typed, all);

    // A date that is none is named and nothing is loaded.
    SetDlgItemTextA(panel, IDC_HF_DELEGATE_TO, "2026-13-40");
    Wd_ClickControl(GetDlgItem(panel, IDC_HF_FIND));
    Ui_Pump(100);
    Wd_ExpectBoxNaming("委托日期(止)");
    EXPECT_EQ(Shell_GridRows(w->hGrid), typed);

    // The quick filter "今日到期房" of the "出租" button's menu: the panel is
    // cleared, trade "出租" and today's (local) date in both lease boxes.
    TestDb_Exec("update t_house set dRent = curdate() where iOrdinal in (select * from (select iOrdinal from "
                "t_house where szTrade in ('出租', '租售') order by iOrdinal limit 3) x)");
    EXPECT_TRUE(Wd_ChooseDropDown(w, ID_HOUSE_RENT, CTXPOS_HOUSE_RENT, ID_HOUSE_RENT_EXPIRE));    // the drop-down arrow
    SYSTEMTIME st;
    GetLocalTime(&st);
    char today[16];
    Date_Format(st, today, sizeof(today));
    EXPECT_EQ(Ui_Text(GetDlgItem(panel, IDC_HF_TRADE)), "出租");
    EXPECT_EQ(Ui_Text(GetDlgItem(panel, IDC_HF_RENT_FROM)), today);
    EXPECT_EQ(Ui_Text(GetDlgItem(panel, IDC_HF_RENT_TO)), today);
    EXPECT_EQ(Ui_Text(GetDlgItem(panel, IDC_HF_PRICE_MIN)), "");
    EXPECT_EQ(Shell_GridRows(w->hGrid), 3);

    // The trade button itself: all houses for sale (or sale and rent).
    Shell_ClickButton(hwnd, ID_HOUSE_SALE);
    Wd_Settle(w);
    EXPECT_EQ(Shell_GridRows(w->hGrid), Live("szTrade = '出售' or szTrade = '租售'"));
    EXPECT_EQ(Ui_Text(GetDlgItem(panel, IDC_HF_RENT_FROM)), "");

    // An estate typed as its abbreviation and chosen from the list that
    // follows the typing.
    std::vector<std::string> pick = TestDb_Query("select e.szSpell from t_estate e where exists (select 1 from "
                                                 "t_house h where h.iEst = e.iOrdinal and h.bRecyle = 0) order by "
                                                 "e.iOrdinal limit 1")[0];
    std::string spell = pick[0];
    for (char& c : spell)
        c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    Wd_ClickControl(GetDlgItem(panel, IDC_HF_CLEAR));
    HWND est = GetDlgItem(panel, IDC_HF_ESTATE);
    Wd_ClickControl(est);
    HWND edit = GetFocus();
    ASSERT_TRUE(edit && IsChild(est, edit));
    Ui_Type(edit, spell.c_str());
    for (int i = 0; i < 50 && Ui_Text(edit).size() < spell.size(); i++)
        Ui_Pump(20);
    EstateBox_Settle(est);
    ASSERT_GT(SendMessageA(est, CB_GETCOUNT, 0, 0), 0);
    char first[64] = "";
    SendMessageA(est, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(first));
    EXPECT_TRUE(SendMessageA(est, CB_GETDROPPEDSTATE, 0, 0));
    Ui_Key(edit, VK_DOWN);
    Ui_Key(edit, VK_RETURN);
    Ui_Pump(100);
    EstateBox_Settle(est);
    EXPECT_EQ(Ui_Text(est), first);
    Wd_ClickControl(GetDlgItem(panel, IDC_HF_FIND));
    Wd_Settle(w);
    long long sale = Live("iEst = (select iOrdinal from t_estate where szEstate = '" + std::string(first) + "')");
    ASSERT_GT(sale, 0);
    EXPECT_EQ(Shell_GridRows(w->hGrid), sale);

    // Sorted by a click on the header of "售价".
    RECT rg = Ui_WindowRect(w->hGrid);
    int x = rg.left;
    for (int c = 0; c < 12; c++)
        x += d->pColumns[c].iWidth;
    Ui_Click(x + 20, rg.top + GRID_HEADER_HEIGHT / 2);
    Ui_Pump(100);
    SendMessageA(w->hGrid, GRM_GETDATA, 0, reinterpret_cast<LPARAM>(&d));
    EXPECT_EQ(d->iSortId, 13);

    // A click on the first row selects it and shows its remarks.
    Ui_Click(rg.left + 30, rg.top + GRID_HEADER_HEIGHT + GRID_ROW_HEIGHT / 2 + 2);
    Ui_Pump(100);
    const tagHOUSE* sel = static_cast<const tagHOUSE*>(Module_Selected(w));
    ASSERT_NE(sel, nullptr);
    EXPECT_EQ(Ui_Text(GetDlgItem(pane, IDC_HP_REMARK)), std::string("备注:\r\n") + sel->szRemark);
    int key = sel->iOrdinal;
    std::string k = std::to_string(key);
    // Its follow-ups in the pane, loaded off the window thread.
    long long follows = TestDb_Count("t_follow where bRecyle = 0 and iHou = " + k);
    HWND followGrid = GetDlgItem(pane, IDC_HP_FOLLOWS);
    ASSERT_NE(followGrid, nullptr);
    Wd_WaitRows(followGrid, follows);
    EXPECT_EQ(Shell_GridRows(followGrid), follows);
    Ui_Screenshot("house-list");
    TestDb_Exec("insert into t_follow (iHou, iCli, iEmp, iBr, szWay, szContent, dtFollow) values (" + k +
                ", 0, 1, 1, '电话', '回访', now())");

    // Its follow-ups: cancelled, then confirmed.
    Wd_CommandAnswered(hwnd, ID_HOUSE_DELETE_FOLLOWS, IDCANCEL);
    EXPECT_GT(TestDb_Count("t_follow where bRecyle = 0 and iHou = " + k), 0);
    Wd_CommandAnswered(hwnd, ID_HOUSE_DELETE_FOLLOWS, IDOK);
    EXPECT_EQ(TestDb_Count("t_follow where bRecyle = 0 and iHou = " + k), 0);
    EXPECT_EQ(Shell_GridRows(followGrid), 0);

    // The house: the toolbar button, "no" first, then "yes".
    TestBoxes_Reset();
    TestBoxes_Answer(IDCANCEL);
    Shell_ClickButton(hwnd, ID_HOUSE_DELETE);
    Ui_Pump(150);
    TestBoxes_ExpectOnly("删除后可以在回收站中还原,是否继续");
    EXPECT_EQ(TestDb_Scalar("select bRecyle from t_house where iOrdinal = " + k), "0");
    EXPECT_EQ(Shell_GridRows(w->hGrid), sale);
    Wd_ButtonAnswered(w, ID_HOUSE_DELETE, IDOK);
    EXPECT_EQ(TestDb_Scalar("select bRecyle from t_house where iOrdinal = " + k), "1");
    Wd_ExpectListed(w, sale - 1);
    EXPECT_EQ(sel->iOrdinal, 0) << "the slot is free again";
    EXPECT_NE(Module_Selected(w), sel);

    // Hiding the follow-up pane gives the grid its room; the button turns.
    Shell_ClickButton(hwnd, ID_HOUSE_FOLLOW_HIDE);
    Ui_Pump(100);
    EXPECT_FALSE(Ui_Visible(pane));
    HWND tb = Block_GetToolbar(hwnd);
    EXPECT_EQ(SendMessageA(tb, TB_COMMANDTOINDEX, ID_HOUSE_FOLLOW_HIDE, 0), -1);
    EXPECT_GE(SendMessageA(tb, TB_COMMANDTOINDEX, ID_HOUSE_FOLLOW_SHOW, 0), 0);
}

}  // namespace

namespace {

// The colour a marked row is drawn in, as the grid's picture shows it: 'r'
// red, 'a' amber, '-' neither.
char RowColour(const Shot& shot, int row, int x1)
{
    int y0 = GRID_HEADER_HEIGHT + row * GRID_ROW_HEIGHT;
    char seen = '-';
    for (int y = y0 + 3; y < y0 + GRID_ROW_HEIGHT - 3; y++)
        for (int x = 2; x < x1; x++) {
            uint32_t c = shot.at(x, y);
            if (Red(c) > 150 && Green(c) < 50 && Blue(c) < 50)
                seen = 'r';
            else if (Red(c) > 150 && Green(c) >= 60 && Green(c) <= 130 && Blue(c) < 50 && seen != 'r')
                seen = 'a';
        }
    return seen;
}

TEST_F(HouseWindowTest, ListingsLeftWithoutFollowUpAreMarkedByHowLongAndCounted)
{
    g_ZTMain.bRemind1 = 7;
    g_ZTMain.bRemind2 = 30;
    TestDb_Exec("update t_house set dtFollow = now() where bRecyle = 0");
    TestDb_Exec("update t_house set dtFollow = date_sub(now(), interval 10 day) where bRecyle = 0 order by iOrdinal "
                "limit 5");
    TestDb_Exec("update t_house set dtFollow = date_sub(now(), interval 40 day) where bRecyle = 0 order by "
                "iOrdinal desc limit 2");
    // Never followed up: counted from the commission date.
    auto nth = [](int n) {
        return TestDb_Scalar("select iOrdinal from t_house where bRecyle = 0 order by iOrdinal limit " +
                             std::to_string(n) + ", 1");
    };
    TestDb_Exec("update t_house set dtFollow = null, dDelegate = date_sub(curdate(), interval 12 day), "
                "szTrade = '出售' where iOrdinal = " + nth(5));
    TestDb_Exec("update t_house set dtFollow = null, dDelegate = date_sub(curdate(), interval 50 day), "
                "szTrade = '出租' where iOrdinal = " + nth(6));
    const std::string days = "datediff(curdate(), coalesce(dtFollow, dDelegate))";
    const std::string offer = "bRecyle = 0 and szTrade in ('出售', '出租', '租售') and ";
    long long due = TestDb_Count("t_house where " + offer + days + " between 7 and 29");
    long long overdue = TestDb_Count("t_house where " + offer + days + " >= 30");
    ASSERT_GT(due, 0);
    ASSERT_GT(overdue, 1);
    HWND hwnd = Open(IDM_HOUSE, "ZT_CHILD_HOU");
    ASSERT_NE(hwnd, nullptr);
    int counted = 0;
    EXPECT_EQ(HouseWindow_ExpiringCount(hwnd, &counted), due + overdue);
    EXPECT_EQ(counted, overdue);
    std::string status = Ui_Text(GetDlgItem(hwnd, 11));
    EXPECT_EQ(status, House_MarkStatus(static_cast<int>(due + overdue), static_cast<int>(overdue), 7, 30));
    EXPECT_EQ(status.find(std::to_string(due + overdue) + " 套"), 0u) << status;
    EXPECT_NE(status.find(std::to_string(overdue) + " 套超过 30 天"), std::string::npos) << status;
    // A status line names only the colours on screen.
    EXPECT_EQ(House_MarkStatus(2, 0, 7, 30), "2 套在售/在租房源已超过 7 天未跟进(橙色标出)");
    EXPECT_EQ(House_MarkStatus(2, 2, 7, 30), "2 套在售/在租房源已超过 30 天未跟进(红色标出)");

    // Each row in the colour of its mark; the days shown count from the
    // commission date for a house never followed up.
    ZT_MODWIN* w = Module_Of(hwnd);
    tagLV_DATA* d = TestGrid_Data(w->hGrid);
    ASSERT_NE(d, nullptr);
    // The longest unfollowed first (sorted by "跟进通知", descending), so
    // that every kind is on screen.
    d->iSortDir = 2;
    SendMessageA(w->hGrid, GRM_SORT, 0, 2);
    InvalidateRect(w->hGrid, nullptr, TRUE);
    Ui_Pump(100);
    Shot shot = Ui_Capture(w->hGrid);
    int rows = (shot.h - GRID_HEADER_HEIGHT) / GRID_ROW_HEIGHT - 1;
    int seen[3] = {0, 0, 0};
    for (int r = 0; r < rows && r < d->iLoaded; r++) {
        int at = d->iSortDir == 2 ? d->iLoaded - 1 - r : r;
        const tagHOUSE* h = static_cast<const tagHOUSE*>(TestGrid_Loaded(d, at));
        const std::string key = std::to_string(h->iOrdinal);
        long long age = atoll(TestDb_Scalar("select " + days + " from t_house where iOrdinal = " + key).c_str());
        bool onOffer = TestDb_Count("t_house where " + offer + "iOrdinal = " + key) == 1;
        char want = !onOffer || age < 7 ? '-' : age < 30 ? 'a' : 'r';
        EXPECT_EQ(RowColour(shot, r, 40), want) << key << " " << age;
        EXPECT_EQ(h->iDaysUnfollowed, age) << key;
        seen[want == '-' ? 0 : want == 'a' ? 1 : 2]++;
    }
    EXPECT_GT(seen[0] * seen[1] * seen[2], 0) << "rows of every kind were on screen";
    // An overdue house deleted: the status line counts one fewer, as the
    // count box does.
    const int gone = atoi(nth(6).c_str());
    const int listed = atoi(Shell_CountBox(hwnd).c_str());
    ASSERT_NE(Wd_SelectWhere(w->hGrid, [&](const void* r) { return static_cast<const tagHOUSE*>(r)->iOrdinal == gone; }),
              nullptr);
    TestDb_Exec("update t_follow set bRecyle = 1 where iHou = " + std::to_string(gone));    // (a house with follow-ups stays)
    Wd_CommandAnswered(hwnd, ID_HOUSE_DELETE, IDOK);
    Wd_Settle(w);
    EXPECT_EQ(TestDb_Scalar("select bRecyle from t_house where iOrdinal = " + std::to_string(gone)), "1");
    EXPECT_EQ(Shell_CountBox(hwnd), std::to_string(listed - 1));
    EXPECT_EQ(HouseWindow_ExpiringCount(hwnd, &counted), due + overdue - 1);
    EXPECT_EQ(counted, overdue - 1);
    EXPECT_EQ(Ui_Text(GetDlgItem(hwnd, 11)),
              House_MarkStatus(static_cast<int>(due + overdue - 1), static_cast<int>(overdue - 1), 7, 30));
    // The rule itself: only listings on offer, past the second threshold still marked.
    tagHOUSE h = {};
    strcpy(h.szTrade, "出租");
    strcpy(h.dDelegate, "2026-01-01");
    long today = Date_DayNumber(2026, 1, 31);
    EXPECT_EQ(House_DaysUnfollowed(&h, today), 30);
    EXPECT_EQ(House_FollowMark(&h, 7, 30, today), HOUSE_MARK_OVERDUE);
    EXPECT_EQ(House_FollowMark(&h, 7, 31, today), HOUSE_MARK_DUE);
    EXPECT_EQ(House_FollowMark(&h, 7, 0, today), HOUSE_MARK_OVERDUE);
    EXPECT_EQ(House_FollowMark(&h, 0, 30, today), HOUSE_MARK_NONE);
    strcpy(h.dtFollow, "2026-01-30 18:00:00");
    EXPECT_EQ(House_FollowMark(&h, 1, 30, today), HOUSE_MARK_DUE);
    strcpy(h.szTrade, "已租");
    EXPECT_EQ(House_FollowMark(&h, 1, 30, today), HOUSE_MARK_NONE);
    h.dtFollow[0] = h.dDelegate[0] = '\0';
    EXPECT_EQ(House_DaysUnfollowed(&h, today), -1);
    g_ZTMain.bRemind1 = 0;
    g_ZTMain.bRemind2 = 0;
}

// A house whose employee the session does not know even after reading the
// look-up lists again is reported once, by its key, and left out; the
// others are listed.
TEST_F(HouseWindowTest, AHouseOfAnUnknownEmployeeIsReportedByItsKeyAndTheOthersListed)
{
    std::string key = TestDb_Scalar("select min(iOrdinal) from t_house where bRecyle = 0");
    long long all = Live("");
    TestDb_Exec("update t_house set iEmp = 9999 where iOrdinal = " + key);
    HWND hwnd = Open(IDM_HOUSE, "ZT_CHILD_HOU");
    TestDb_Exec("update t_house set iEmp = 1 where iOrdinal = " + key);
    ASSERT_NE(hwnd, nullptr);
    TestBoxes_ExpectOnly("房源ID:" + key + "关联员工出错");
    EXPECT_EQ(Shell_GridRows(Module_Of(hwnd)->hGrid), all - 1);
}

}  // namespace

namespace {

// What hostile text in a box of the panel may list: nothing (a text to
// match), every house (a number box whose text is no number), or the list
// a number bound gives; a date box names itself instead.
enum class BoxKind { Match, Names, Number, Date };

struct HostileBox {
    int id;
    BoxKind kind;
    const char* bound;    // Number boxes: the houses a bound N lists
};

// Whether the window answers a message within ms milliseconds.
bool Answers(HWND hwnd, int ms)
{
    DWORD_PTR r = 0;
    return SendMessageTimeoutA(hwnd, WM_NULL, 0, 0, SMTO_NORMAL, ms, &r) != 0;
}

TEST_F(HouseWindowTest, WithTheServerStoppedNothingOnTheWindowThreadWaitsForAFollowUpReload)
{
    HWND hwnd = Open(IDM_HOUSE, "ZT_CHILD_HOU");
    ZT_MODWIN* w = Module_Of(hwnd);
    ASSERT_NE(w, nullptr);
    HWND followGrid = GetDlgItem(ListingWindow_Pane(hwnd), IDC_HP_FOLLOWS);
    SendMessageA(w->hGrid, GRM_MOVESEL, 0, LV_MOVE_FIRST);
    Ui_Pump(300);
    // The server process stops: every statement waits (until its read
    // time-out, 30 s here).
    PauseServer();
    DWORD start = GetTickCount();
    for (int i = 0; i < 4; i++) {
        SendMessageA(w->hGrid, GRM_MOVESEL, 0, LV_MOVE_NEXT);    // a reload each time
        Ui_Pump(50);
    }
    EXPECT_TRUE(Answers(hwnd, 1000));
    const tagHOUSE* last = static_cast<const tagHOUSE*>(Module_Selected(w));
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(Shell_GridRows(followGrid), 0) << "still loading";
    // The modify form opens at once and shows the house.
    bool shown = false;
    Wd_DriveDialog([&] { SendMessageA(hwnd, WM_COMMAND, ID_HOUSE_MODIFY, 0); }, "修改房源", [&](HWND dlg) {
        shown = St_WaitFor([&] { return Ui_Text(GetDlgItem(dlg, IDC_HD_HOUSENO)) == last->szHouseNO &&
                                        Ui_Text(GetDlgItem(dlg, IDC_HD_ESTATE)) != ""; }, 2000);
        St_Click(GetDlgItem(dlg, IDCANCEL));
        St_WaitGone(dlg, 2000);
    });
    EXPECT_TRUE(shown);
    EXPECT_LT(GetTickCount() - start, 15000u);
    EXPECT_TRUE(Answers(hwnd, 1000));
    ResumeServer();
    // The newest reload wins: the pane lists the last house's follow-ups.
    const std::string key = std::to_string(last->iOrdinal);
    long long follows = TestDb_Count("t_follow where bRecyle = 0 and iHou = " + key);
    for (int i = 0; i < 300 && Shell_GridRows(followGrid) != follows; i++)
        Ui_Pump(20);
    Ui_Pump(300);
    EXPECT_EQ(Shell_GridRows(followGrid), follows);
    for (const void* rec : TestGrid_Rows(followGrid))
        EXPECT_EQ(static_cast<const tagFOLLOW*>(rec)->iHou, last->iOrdinal);
    EXPECT_EQ(TestBoxes_Count(), 0u);
}

TEST_F(HouseWindowTest, ClearListsWhatAnEmptyPanelFindsAndDeletionsAreWholeAndAskTheirRights)
{
    HWND hwnd = Open(IDM_HOUSE, "ZT_CHILD_HOU");
    ZT_MODWIN* w = Module_Of(hwnd);
    ASSERT_NE(w, nullptr);
    HWND panel = ListingWindow_Panel(hwnd);
    long long all = Live("");
    // Columns wide enough for the demo's values ("8018元/月", dates, times).
    tagLV_DATA* d = TestGrid_Data(w->hGrid);
    ASSERT_NE(d, nullptr);
    const int widths[] = {40, 80, 60, 100, 170, 40, 40, 40, 40, 52, 42, 45, 65, 75, 65, 75, 90, 75, 60, 40, 60,
                          62, 50, 50, 50, 75, 75, 75, 130, 75, 130, 75};
    ASSERT_EQ(d->iColCount, 32);
    for (int c = 0; c < 32; c++)
        EXPECT_EQ(d->pColumns[c].iWidth, widths[c]) << d->pColumns[c].szCaption;

    // "清空" after a filter: every house listed again.
    SetDlgItemTextA(panel, IDC_HF_TRADE, "出租");
    Wd_ClickControl(GetDlgItem(panel, IDC_HF_FIND));
    Wd_Settle(w);
    ASSERT_LT(Shell_GridRows(w->hGrid), all);
    Wd_ClickControl(GetDlgItem(panel, IDC_HF_CLEAR));
    Wd_Settle(w);
    EXPECT_EQ(Ui_Text(GetDlgItem(panel, IDC_HF_TRADE)), "");
    EXPECT_EQ(Shell_GridRows(w->hGrid), all);

    // A house's follow-ups: without the follow-up delete right, or without
    // the right to modify that house, nothing is asked and nothing retired.
    const int me = g_ZTMain.pLoginEmp->iOrdinal;
    auto follows = [](const tagHOUSE* h) {
        return TestDb_Count("t_follow where bRecyle = 0 and iHou = " + std::to_string(h->iOrdinal));
    };
    auto selectWhere = [&](const std::function<bool(const tagHOUSE*)>& pred) { return Wd_Select<tagHOUSE>(w->hGrid, pred); };
    Wd_Grant("04" "09" "0H" "0L");
    tagHOUSE* mine = selectWhere([&](const tagHOUSE* h) { return h->iEmp == me && follows(h) > 0; });
    ASSERT_NE(mine, nullptr);
    long long n = follows(mine);
    Wd_RunAnswered(w, ID_HOUSE_DELETE_FOLLOWS, IDOK);
    TestBoxes_ExpectOnly("您没有删除跟进的权限");
    EXPECT_EQ(follows(mine), n);
    Wd_Grant("04" "09" "0H" "0P");
    tagHOUSE* theirs = selectWhere([&](const tagHOUSE* h) { return h->iEmp != me && follows(h) > 0; });
    ASSERT_NE(theirs, nullptr);
    long long m = follows(theirs);
    Wd_RunAnswered(w, ID_HOUSE_DELETE_FOLLOWS, IDOK);
    TestBoxes_ExpectOnly("您没有修改该房源的权限, 不能删除它的跟进");
    EXPECT_EQ(follows(theirs), m);
    // Its own: asked, then retired.
    ASSERT_EQ(selectWhere([&](const tagHOUSE* h) { return h == mine; }), mine);
    Wd_RunAnswered(w, ID_HOUSE_DELETE_FOLLOWS, IDOK);
    EXPECT_EQ(TestBoxes_Taken().at(0).text, "删除后可以在回收站中还原,是否继续");
    EXPECT_EQ(follows(mine), 0);

    // The house, its recycle-bin entry cut off by a killed server: nothing
    // is deleted, the row stays, one box says so.
    Shell_Setup();
    int rows = Shell_GridRows(w->hGrid);
    const int key = mine->iOrdinal;
    TestBoxes_Reset();
    TestBoxes_Answer(IDOK);
    {
        Gate gate("t_recyle", "insert");
        Worker cut;
        cut.call = [&] {
            if (gate.Reached().empty())
                return 0;
            KillServer();
            TestDb_ServerStart();
            return 1;
        };
        Worker_Start(cut);
        Shell_ClickButton(hwnd, ID_HOUSE_DELETE);
        Wd_Settle(w);
        EXPECT_EQ(Worker_Join(cut), 1);
    }
    Wd_Settle(w);
    EXPECT_EQ(TestBoxes_Count(), 2u);    // the question and the library's box
    EXPECT_EQ(mine->iOrdinal, key) << "the record stays";
    EXPECT_EQ(Shell_GridRows(w->hGrid), rows);
    EXPECT_EQ(TestDb_Scalar("select bRecyle from t_house where iOrdinal = " + std::to_string(key)), "0");
    EXPECT_EQ(TestDb_Count("t_recyle where iObjType = 0 and iObjOrdinal = " + std::to_string(key)), 0);
    // Deleted again: now whole.
    TestBoxes_Reset();
    Wd_ButtonAnswered(w, ID_HOUSE_DELETE, IDOK);
    EXPECT_EQ(TestDb_Count("t_recyle where iObjType = 0 and iObjOrdinal = " + std::to_string(key)), 1);
    EXPECT_EQ(Shell_GridRows(w->hGrid), rows - 1);
}

}  // namespace
