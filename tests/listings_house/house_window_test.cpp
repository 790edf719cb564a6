// The house list window driven as an agent drives it, on the demo data set:
// opened from the main menu, filtered with typed boxes and a quick filter,
// a bad date named, sorted, a row selected with its remarks shown, and its
// follow-ups and then the house deleted after the confirmation.
#include "tests/frame/shell_fixture.h"
#include "app/listings/estate_box.h"
#include "app/listings/house_ids.h"
#include "app/listings/house_window.h"
#include "app/listings/listing_window.h"
#include "app/shell/blocks.h"
#include "app/shell/frame.h"
#include "app/shell/startup.h"
#include "app/resources/resource.h"
#include "common/date.h"
#include "db/dbtool.h"

#include <cctype>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

class HouseWindowTest : public testing::Test {
protected:
    HWND frame = nullptr;
    static void SetUpTestSuite()
    {
        TestDb_Open("kelmora_house_win");
        std::string err;
        ASSERT_TRUE(DbTool_Demo(TestDb_Conn(), &err)) << err;
        Shell_Setup();
        tagZT_Main_Param* p = &g_ZTMain;
        Startup_LoadLists(p);
        p->pLoginEmp = static_cast<tagEMPLIST*>(FindEmp(p->pEmpList, nullptr, 1, nullptr, p->nEmp, sizeof(tagEMPLIST), 0));
        ASSERT_NE(p->pLoginEmp, nullptr);
        p->pLoginBr = static_cast<tagBRLIST*>(FindBr(p->pBrList, nullptr, p->pLoginEmp->iBr, nullptr, p->nBr,
                                                     sizeof(tagBRLIST)));
        ASSERT_EQ(Startup_Phase2(p, nullptr), 1);
        Shell_Setup();    // every right again
        ASSERT_TRUE(Module_RegisterClasses(p->hInst));
        ZTListview_SetMessageBoxHook(TestBoxes_Hook());
    }
    static void TearDownTestSuite() { TestDb_Close(); }
    void SetUp() override
    {
        TestBoxes_Reset();
        frame = Shell_CreateFrame();
        ASSERT_NE(frame, nullptr);
    }
    void TearDown() override { Shell_DestroyFrame(frame); }

    static void ClickControl(HWND h)
    {
        POINT c = Ui_Centre(h);
        Ui_Click(c.x, c.y);
    }
    // Waits until the window's worker has finished a load.
    static void Settle(ZT_MODWIN* w)
    {
        Ui_Pump(100);
        for (int i = 0; i < 300 && (w->bBusy || g_ZTMain.hBusyDlg); i++)
            Ui_Pump(20);
        Ui_Pump(60);
    }
    static long long Live(const std::string& where)
    {
        long long n = TestDb_Count("t_house where bRecyle = 0" + (where.empty() ? "" : " and (" + where + ")"));
        return n > 5000 ? 5000 : n;
    }
};

TEST_F(HouseWindowTest, AgentFiltersSortsSelectsAndDeletes)
{
    // Opened from the main menu "房源浏览".
    HMENU bar = GetMenu(frame);
    RECT r;
    ASSERT_TRUE(GetMenuItemRect(frame, bar, MAINPOS_HOUSE, &r));
    Ui_ClickMenuItemSoon(GetSubMenu(bar, MAINPOS_HOUSE), IDM_HOUSE);
    Ui_Click((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    Ui_Pump(300);
    HWND hwnd = Frame_FindChild("ZT_CHILD_HOU");
    ASSERT_NE(hwnd, nullptr);
    ZT_MODWIN* w = Module_Of(hwnd);
    ASSERT_NE(w, nullptr);
    Settle(w);
    EXPECT_TRUE(Ui_MenuClicked());
    EXPECT_TRUE(w->bLoaded);
    long long all = Live("");
    ASSERT_GT(all, 10);
    EXPECT_EQ(Shell_GridRows(w->hGrid), all);
    EXPECT_EQ(Shell_CountBox(hwnd), std::to_string(all));
    EXPECT_EQ(0u, TestBoxes_Count()) << "every house names a known employee, branch, estate and urban area";
    tagLV_DATA* d = nullptr;
    SendMessageA(w->hGrid, GRM_GETDATA, 0, reinterpret_cast<LPARAM>(&d));
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->iColCount, 32);
    EXPECT_STREQ(d->pColumns[12].szCaption, "售价");
    EXPECT_STREQ(d->pColumns[12].szUnit, "万元");
    EXPECT_STREQ(d->pColumns[1].szUnit, "天未跟进");
    HWND panel = ListingWindow_Panel(hwnd);
    HWND pane = ListingWindow_Pane(hwnd);
    ASSERT_NE(panel, nullptr);
    ASSERT_NE(pane, nullptr);
    EXPECT_TRUE(Ui_Visible(pane));

    // Typed bounds: a lower price and an upper area.
    Ui_Type(GetDlgItem(panel, IDC_HF_PRICE_MIN), "100");
    Ui_Type(GetDlgItem(panel, IDC_HF_AREA_MAX), "90");
    ClickControl(GetDlgItem(panel, IDC_HF_FIND));
    Settle(w);
    long long typed = Live("(iSales >= 100 or iRent >= 100) and dbBuildArea <= 90");
    EXPECT_EQ(Shell_GridRows(w->hGrid), typed);
    EXPECT_EQ(Shell_CountBox(hwnd), std::to_string(typed));
    EXPECT_NE(typed, all);

    // A date that is none is named and nothing is loaded.
    SetDlgItemTextA(panel, IDC_HF_DELEGATE_TO, "2026-13-40");
    ClickControl(GetDlgItem(panel, IDC_HF_FIND));
    Ui_Pump(100);
    ASSERT_EQ(TestBoxes_Count(), 1u);
    EXPECT_NE(TestBoxes_Taken()[0].text.find("委托日期(止)"), std::string::npos);
    EXPECT_EQ(Shell_GridRows(w->hGrid), typed);
    TestBoxes_Reset();

    // The quick filter "今日到期房" of the "出租" button's menu: the panel is
    // cleared, trade "出租" and today's (local) date in both lease boxes.
    TestDb_Exec("update t_house set dRent = curdate() where iOrdinal in (select * from (select iOrdinal from "
                "t_house where szTrade in ('出租', '租售') order by iOrdinal limit 3) x)");
    RECT rb = Shell_ButtonRect(hwnd, ID_HOUSE_RENT);
    Ui_ClickMenuItemSoon(GetSubMenu(g_ZTMain.hContextMenus, CTXPOS_HOUSE_RENT), ID_HOUSE_RENT_EXPIRE);
    Ui_Click(rb.right - 4, (rb.top + rb.bottom) / 2);    // the drop-down arrow
    Ui_Pump(200);
    Settle(w);
    EXPECT_TRUE(Ui_MenuClicked());
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
    Settle(w);
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
    ClickControl(GetDlgItem(panel, IDC_HF_CLEAR));
    HWND est = GetDlgItem(panel, IDC_HF_ESTATE);
    ClickControl(est);
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
    ClickControl(GetDlgItem(panel, IDC_HF_FIND));
    Settle(w);
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
    for (int i = 0; i < 100 && Shell_GridRows(followGrid) != follows; i++)
        Ui_Pump(20);
    EXPECT_EQ(Shell_GridRows(followGrid), follows);
    Ui_Screenshot("house-list");
    TestDb_Exec("insert into t_follow (iHou, iCli, iEmp, iBr, szWay, szContent, dtFollow) values (" + k +
                ", 0, 1, 1, '电话', '回访', now())");

    // Its follow-ups: cancelled, then confirmed.
    TestBoxes_Answer(IDCANCEL);
    SendMessageA(hwnd, WM_COMMAND, ID_HOUSE_DELETE_FOLLOWS, 0);
    Ui_Pump(100);
    EXPECT_GT(TestDb_Count("t_follow where bRecyle = 0 and iHou = " + k), 0);
    TestBoxes_Answer(IDOK);
    SendMessageA(hwnd, WM_COMMAND, ID_HOUSE_DELETE_FOLLOWS, 0);
    Ui_Pump(100);
    EXPECT_EQ(TestDb_Count("t_follow where bRecyle = 0 and iHou = " + k), 0);
    EXPECT_EQ(Shell_GridRows(followGrid), 0);

    // The house: the toolbar button, "no" first, then "yes".
    TestBoxes_Reset();
    TestBoxes_Answer(IDCANCEL);
    Shell_ClickButton(hwnd, ID_HOUSE_DELETE);
    Ui_Pump(150);
    ASSERT_EQ(TestBoxes_Count(), 1u);
    EXPECT_EQ(TestBoxes_Taken()[0].text, "删除后将无法恢复,是否继续");
    EXPECT_EQ(TestDb_Scalar("select bRecyle from t_house where iOrdinal = " + k), "0");
    EXPECT_EQ(Shell_GridRows(w->hGrid), sale);
    TestBoxes_Answer(IDOK);
    Shell_ClickButton(hwnd, ID_HOUSE_DELETE);
    Settle(w);
    EXPECT_EQ(TestDb_Scalar("select bRecyle from t_house where iOrdinal = " + k), "1");
    EXPECT_EQ(Shell_GridRows(w->hGrid), sale - 1);
    EXPECT_EQ(Shell_CountBox(hwnd), std::to_string(sale - 1));
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

HWND OpenHouse(HWND frame)
{
    Shell_Command(frame, IDM_HOUSE);
    HWND hwnd = Frame_FindChild("ZT_CHILD_HOU");
    ZT_MODWIN* w = Module_Of(hwnd);
    Ui_Pump(100);
    for (int i = 0; w && i < 300 && (!w->bLoaded || w->bBusy || g_ZTMain.hBusyDlg); i++)
        Ui_Pump(20);
    Ui_Pump(60);
    return hwnd;
}

TEST_F(HouseWindowTest, ListingsLeftWithoutFollowUpAreMarkedAndCounted)
{
    g_ZTMain.bRemind1 = 7;
    g_ZTMain.bRemind2 = 30;
    TestDb_Exec("update t_house set dtFollow = now() where bRecyle = 0");
    TestDb_Exec("update t_house set dtFollow = date_sub(now(), interval 10 day) where bRecyle = 0 order by iOrdinal "
                "limit 5");
    TestDb_Exec("update t_house set dtFollow = date_sub(now(), interval 40 day) where bRecyle = 0 order by "
                "iOrdinal desc limit 2");
    long long marked = TestDb_Count("t_house where bRecyle = 0 and szTrade in ('出售', '出租', '租售') and dtFollow < "
                                    "date_sub(curdate(), interval 6 day) and dtFollow >= date_sub(curdate(), "
                                    "interval 30 day)");
    ASSERT_GT(marked, 0);
    HWND hwnd = OpenHouse(frame);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(HouseWindow_ExpiringCount(hwnd), marked);
    std::string status = Ui_Text(GetDlgItem(hwnd, 11));
    EXPECT_EQ(status.find(std::to_string(marked) + " 套"), 0u) << status;

    // A marked row is drawn in red, an unmarked one in black.
    ZT_MODWIN* w = Module_Of(hwnd);
    tagLV_DATA* d = nullptr;
    SendMessageA(w->hGrid, GRM_GETDATA, 0, reinterpret_cast<LPARAM>(&d));
    ASSERT_NE(d, nullptr);
    int redRows = 0, plainRows = 0;
    Shot shot = Ui_Capture(w->hGrid);
    int rows = (shot.h - GRID_HEADER_HEIGHT) / GRID_ROW_HEIGHT - 1;
    for (int r = 0; r < rows && r < d->iLoaded; r++) {
        const tagHOUSE* h = static_cast<const tagHOUSE*>(d->pRows[d->pRowOrder[r]].pRecord);
        bool red = false;
        int y0 = GRID_HEADER_HEIGHT + r * GRID_ROW_HEIGHT;
        for (int y = y0 + 3; y < y0 + GRID_ROW_HEIGHT - 3; y++)
            for (int x = 2; x < 40; x++) {
                uint32_t c = shot.at(x, y);
                if (Red(c) > 150 && Green(c) < 80 && Blue(c) < 80)
                    red = true;
            }
        long long age = atoll(TestDb_Scalar("select datediff(curdate(), dtFollow) from t_house where iOrdinal = " +
                                            std::to_string(h->iOrdinal)).c_str());
        bool expected = age >= 7 && age <= 30;
        EXPECT_EQ(red, expected) << h->iOrdinal;
        (red ? redRows : plainRows)++;
    }
    EXPECT_GT(plainRows, 0);
    g_ZTMain.bRemind1 = 0;
    g_ZTMain.bRemind2 = 0;
}

TEST_F(HouseWindowTest, AHouseOfAnUnknownEmployeeStopsTheListWithItsKey)
{
    std::string key = TestDb_Scalar("select min(iOrdinal) from t_house where bRecyle = 0");
    TestDb_Exec("update t_house set iEmp = 9999 where iOrdinal = " + key);
    HWND hwnd = OpenHouse(frame);
    ASSERT_NE(hwnd, nullptr);
    ASSERT_EQ(TestBoxes_Count(), 2u);
    EXPECT_EQ(TestBoxes_Taken()[0].text, "房源ID:" + key + "关联员工出错");
    EXPECT_EQ(TestBoxes_Taken()[1].text, "数据行匹配错误");
    tagLV_DATA* d = nullptr;
    SendMessageA(Module_Of(hwnd)->hGrid, GRM_GETDATA, 0, reinterpret_cast<LPARAM>(&d));
    EXPECT_TRUE(!d || !d->pRows || d->iLoaded == 0);
    TestDb_Exec("update t_house set iEmp = 1 where iOrdinal = " + key);
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

// The houses a number box holding digits lists (a number beyond the int
// range is the largest int).
std::string Bound(const char* bound, const std::string& digits)
{
    long long n = digits.size() > 10 ? INT_MAX : atoll(digits.c_str());
    std::string s = bound, num = std::to_string(n > INT_MAX ? INT_MAX : n);
    for (size_t at; (at = s.find('N')) != std::string::npos;)
        s.replace(at, 1, num);
    return s;
}

// The edit a box is typed into (null for a box that draws its text).
HWND EditOf(HWND box)
{
    char cls[32] = "";
    GetClassNameA(box, cls, sizeof cls);
    return lstrcmpiA(cls, "Edit") == 0 ? box : FindWindowExA(box, nullptr, "Edit", nullptr);
}

// Types text into a box as the keyboard would (characters to its edit
// child, so the box's own limits and character rules apply), or sets it
// whole, past those rules.
void Enter(HWND box, const std::string& text, bool typed)
{
    SendMessageA(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
    HWND edit = EditOf(box);
    if (!typed || !edit) {
        SendMessageA(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
        return;
    }
    SetFocus(edit);
    for (unsigned char c : text)
        PostMessageA(edit, WM_CHAR, c, 1);
    Ui_Pump(30);
}

}  // namespace

// Every box of the panel takes quotes, backslashes, LIKE wildcards, a
// half Chinese character, 300 characters and a number beyond the int
// range, typed (and, where the box refuses characters or cannot be typed
// into, also set whole): a find lists exactly what the box then holds
// means (no house for a text no house holds, every house for a number box
// holding no number, the bound of the digits it kept), or names a date box
// that holds no date; no house changes.
TEST_F(HouseWindowTest, HostileTextInEveryBoxFindsNothingUnexpectedAndChangesNothing)
{
    HWND hwnd = OpenHouse(frame);
    ASSERT_NE(hwnd, nullptr);
    ZT_MODWIN* w = Module_Of(hwnd);
    HWND panel = ListingWindow_Panel(hwnd);
    ASSERT_NE(panel, nullptr);
    std::string before = TestDb_Query("checksum table t_house")[0][1];
    long long all = Live("");
    ASSERT_GT(all, 10);
    const HostileBox boxes[] = {
        {IDC_HF_TRADE, BoxKind::Match, nullptr},        {IDC_HF_URBAN, BoxKind::Names, nullptr},
        {IDC_HF_ESTATE, BoxKind::Match, nullptr},       {IDC_HF_BUILDNO, BoxKind::Match, nullptr},
        {IDC_HF_HOUSENO, BoxKind::Match, nullptr},      {IDC_HF_TYPE, BoxKind::Names, nullptr},
        {IDC_HF_LOOK, BoxKind::Names, nullptr},
        {IDC_HF_AREA_MIN, BoxKind::Number, "dbBuildArea >= N"},
        {IDC_HF_AREA_MAX, BoxKind::Number, "dbBuildArea <= N"},
        {IDC_HF_BED_MIN, BoxKind::Number, "iBed >= N"},
        {IDC_HF_BED_MAX, BoxKind::Number, "iBed <= N"},
        {IDC_HF_PRICE_MIN, BoxKind::Number, "iSales >= N or iRent >= N"},
        {IDC_HF_PRICE_MAX, BoxKind::Number, "iSales between 1 and N or iRent between 1 and N"},
        {IDC_HF_FLOOR_MIN, BoxKind::Number, "convert(szFloor, signed) >= N"},
        {IDC_HF_FLOOR_MAX, BoxKind::Number, "convert(szFloor, signed) <= N"},
        {IDC_HF_DELEGATE_FROM, BoxKind::Date, nullptr}, {IDC_HF_DELEGATE_TO, BoxKind::Date, nullptr},
        {IDC_HF_FOLLOW_FROM, BoxKind::Date, nullptr},   {IDC_HF_FOLLOW_TO, BoxKind::Date, nullptr},
        {IDC_HF_RENT_FROM, BoxKind::Date, nullptr},     {IDC_HF_RENT_TO, BoxKind::Date, nullptr},
    };
    std::string longText;
    while (longText.size() < 300)
        longText += "'\\%_";
    const std::string texts[] = {"x' or '1'='1", "\\' or 1=1 -- \\\\", "%", "_", "\xD6\xD0\xB9", longText,
                                 "99999999999"};
    HWND find = GetDlgItem(panel, IDC_HF_FIND);
    int finds = 0;
    for (const HostileBox& b : boxes) {
        HWND box = GetDlgItem(panel, b.id);
        ASSERT_NE(box, nullptr) << b.id;
        HWND edit = EditOf(box);
        bool refuses = !edit || (GetWindowLongA(edit, GWL_STYLE) & ES_NUMBER) || b.kind == BoxKind::Date;
        for (bool typed : {true, false})
            for (const std::string& t : texts) {
                if (!typed && !refuses)
                    continue;
                SendMessageA(GetDlgItem(panel, IDC_HF_CLEAR), BM_CLICK, 0, 0);
                Enter(box, b.kind == BoxKind::Names ? t + "," : t, typed);
                if (b.id == IDC_HF_ESTATE) {
                    EstateBox_Settle(box);
                    SendMessageA(box, CB_SHOWDROPDOWN, FALSE, 0);
                }
                std::string held = Ui_Text(box);
                int listed = Shell_GridRows(w->hGrid);
                TestBoxes_Reset();
                SendMessageA(find, BM_CLICK, 0, 0);
                Settle(w);
                finds++;
                std::string what = "box " + std::to_string(b.id) + (typed ? " typed " : " set ") + t + " holds " + held;
                long long want = all;
                if (b.kind == BoxKind::Date && !held.empty()) {
                    ASSERT_EQ(TestBoxes_Count(), 1u) << what;
                    EXPECT_NE(TestBoxes_Taken()[0].text.find(HouseFilter_DateLabel(b.id)), std::string::npos) << what;
                    EXPECT_EQ(Shell_GridRows(w->hGrid), listed) << what;
                    continue;
                }
                if (b.kind == BoxKind::Match && !held.empty())
                    want = 0;
                if (b.kind == BoxKind::Names && held.find(',') != std::string::npos)
                    want = 0;
                if (b.kind == BoxKind::Number && !held.empty() && held.find_first_not_of("0123456789") == std::string::npos)
                    want = Live(Bound(b.bound, held));
                EXPECT_EQ(TestBoxes_Count(), 0u) << what;
                EXPECT_TRUE(w->bLoaded) << what;
                EXPECT_EQ(Shell_GridRows(w->hGrid), want) << what;
            }
    }
    EXPECT_EQ(finds, (21 + 14) * 7);
    EXPECT_EQ(TestDb_Query("checksum table t_house")[0][1], before);
}

