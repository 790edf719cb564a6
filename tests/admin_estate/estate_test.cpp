// The estate dictionary window and its dialogs, driven as a user drives
// them under the virtual display, against the test server: the tree, the
// estate grid, the tabbed dialog with its buildings, the building form, and
// the shared estate list kept in step with the database.
#include "tests/support/window_driver.h"
#include "app/admin/estate_dialog.h"
#include "app/listings/estate_box.h"
#include "app/admin/estate_window.h"
#include "app/shell/frame.h"
#include "app/shell/startup.h"
#include "app/resources/resource.h"
#include "common/gbk.h"
#include "db/dbtool.h"
#include "outside/popedom/ZTPopedom.h"

#include <commctrl.h>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

tagEMPLIST g_admin = {1, 1, "管理员"};

// ---- Steps run from a timer while modal dialogs are open ------------------------

struct Step {
    std::string what;
    std::function<bool()> run;      // true: done; false: try again on the next tick
    // A click a busy display can lose (the window under it changed as it
    // arrived): made again, as a user would, while the next step has waited
    // 3 s for what it should bring and no busy dialog is up.
    std::function<void()> again = nullptr;
};
DWORD g_againAt = 0;
bool Busy();
std::vector<Step> g_steps;
size_t g_next = 0;
bool g_inStep = false;
DWORD g_started = 0;
std::string g_stuck;                // the step that never became done

BOOL CALLBACK CancelDialog(HWND h, LPARAM)
{
    char cls[16] = "";
    GetClassNameA(h, cls, sizeof(cls));
    if (IsWindowVisible(h) && strcmp(cls, "#32770") == 0)
        PostMessageA(h, WM_COMMAND, IDCANCEL, 0);
    return TRUE;
}

void CALLBACK StepTick(HWND, UINT, UINT_PTR, DWORD)
{
    if (g_inStep || g_next >= g_steps.size())
        return;
    // Each step has 30 s by the clock from the end of the one before (a
    // busy machine slows the whole run, not one step that long).
    if (GetTickCount() - g_started > 30000) {            // give up: close whatever is open
        g_stuck = g_steps[g_next].what;
        g_next = g_steps.size();
        Ui_Screenshot("estate-stuck");
        EnumThreadWindows(GetCurrentThreadId(), CancelDialog, 0);
        return;
    }
    g_inStep = true;
    bool done = g_steps[g_next].run();
    if (!done && g_next > 0 && g_steps[g_next - 1].again && !Busy()
        && GetTickCount() - g_againAt > 3000) {
        g_steps[g_next - 1].again();
        g_againAt = GetTickCount();
    }
    g_inStep = false;
    if (done) {
        g_next++;
        g_started = g_againAt = GetTickCount();
    }
}

// Runs the steps while start() (a click that opens a modal dialog) is
// handled; returns the step that got stuck, "" when all ran.
std::string RunSteps(std::vector<Step> steps, const std::function<void()>& start)
{
    g_steps = std::move(steps);
    g_next = 0;
    g_stuck.clear();
    g_started = g_againAt = GetTickCount();
    UINT_PTR timer = SetTimer(nullptr, 0, 60, StepTick);
    start();
    while (g_next < g_steps.size())
        Ui_Pump(30);
    Ui_Pump(150);
    KillTimer(nullptr, timer);
    return g_stuck;
}

// ---- Finding and driving windows without pumping (steps run inside loops) ------

// A visible top-level window of this thread with that caption.
HWND Dialog(const char* caption)
{
    return Ui_ThreadWindow(nullptr, caption);
}

bool Busy()
{
    return g_ZTMain.hBusyDlg != nullptr;
}

POINT Centre(HWND h)
{
    RECT rc;
    GetWindowRect(h, &rc);
    POINT pt = {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    return pt;
}

void ClickControl(HWND hParent, int id)
{
    Wd_Click(Centre(GetDlgItem(hParent, id)));
}

// Types into an edit as a user does: Latin letters and digits as characters,
// Chinese characters as an input method hands them over.
void TypeChar(HWND hEdit, const char* gbk)
{
    unsigned char c = static_cast<unsigned char>(gbk[0]);
    if (c >= 0x81)
        PostMessageA(hEdit, WM_IME_CHAR, (c << 8) | static_cast<unsigned char>(gbk[1]), 0);
    else
        PostMessageA(hEdit, WM_CHAR, c, 0);
}

std::string Text(HWND h)
{
    char buf[1100] = "";
    GetWindowTextA(h, buf, sizeof(buf));
    return buf;
}

// The page (child dialog) of the estate dialog that holds control id.
HWND PageWith(HWND hDlg, int id)
{
    for (HWND c = GetWindow(hDlg, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        if (GetDlgItem(c, id))
            return c;
    return nullptr;
}

void ClickTab(HWND hDlg, int iTab)
{
    HWND tab = GetDlgItem(hDlg, IDC_EST_TAB);
    RECT r;
    SendMessageA(tab, TCM_GETITEMRECT, iTab, reinterpret_cast<LPARAM>(&r));
    POINT pt = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ClientToScreen(tab, &pt);
    Wd_Click(pt);
}

// ---- Grid -------------------------------------------------------------------------------

POINT RowCentre(HWND hGrid, int row)
{
    RECT rc;
    GetWindowRect(hGrid, &rc);
    POINT pt = {rc.left + 30, rc.top + GRID_HEADER_HEIGHT + row * GRID_ROW_HEIGHT + GRID_ROW_HEIGHT / 2 + 2};
    return pt;
}

void* SelectedRecord(HWND hGrid)
{
    return reinterpret_cast<void*>(SendMessageA(hGrid, GRM_GETSEL, 0, 0));
}

// Moves the grid's selection to the row of a record.
bool SelectRecord(HWND hGrid, const void* rec)
{
    SendMessageA(hGrid, GRM_MOVESEL, 0, LV_MOVE_FIRST);
    for (int i = 0; i < 300; i++) {
        if (SelectedRecord(hGrid) == rec)
            return true;
        if (!SendMessageA(hGrid, GRM_MOVESEL, 0, LV_MOVE_NEXT))
            break;
    }
    return false;
}

// ---- The data library's boxes, with the thread that showed them ------------------

std::vector<DWORD> g_boxThreads;
int ThreadRecordingHook(HWND owner, const char* text, const char* caption, UINT flags)
{
    g_boxThreads.push_back(GetCurrentThreadId());
    return TestBoxes_Hook()(owner, text, caption, flags);
}

// ---- Fixture -------------------------------------------------------------------------

// Two cities; 姑苏区 (11) with two districts and two estates (201 with one
// building), 工业园区 (12) with one estate, 滨湖区 (21) of the second city.
const char kAreas[] =
    "delete from t_log; delete from t_buildno; delete from t_estate; delete from t_district; delete from t_urban;"
    "insert into t_urban (iOrdinal, iParentIndex, szUrban, iPriority) values"
    " (1, 0, '苏州', 1), (2, 0, '无锡', 2), (11, 1, '姑苏区', 1), (12, 1, '工业园区', 2), (21, 2, '滨湖区', 1);"
    "insert into t_district (iOrdinal, iParentIndex, szDistrict, iPriority) values"
    " (101, 11, '平江', 1), (102, 11, '沧浪', 2), (103, 12, '湖东', 1);"
    "insert into t_estate (iOrdinal, iUrban, szEstate, szSpell, szDist, szAddress, iBuild) values"
    " (201, 11, '平江新城', 'PJXC', '平江', '平江路1号', 1), (202, 11, '沧浪花园', 'CLHY', '沧浪', '', 0),"
    " (203, 12, '湖东邻里', 'HDLL', '湖东', '', 0), (204, 21, '蠡湖人家', 'LHRJ', '', '', 0);"
    "insert into t_buildno (iOrdinal, iEst, iBuildNO, iLift, iHouse, iFloort, szBuildType, szBuildStruct) values"
    " (301, 201, 1, 2, 4, 18, '高层', '框架')";

class EstateTest : public testing::Test {
protected:
    HWND frame = nullptr;
    static void SetUpTestSuite()
    {
        TestDb_Open("kelmora_estate");
        Shell_Setup();
        ASSERT_TRUE(Module_RegisterClasses(g_ZTMain.hInst));
        ZTListview_SetMessageBoxHook(TestBoxes_Hook());
    }
    static void TearDownTestSuite()
    {
        ZTData_SetMessageBoxHook(TestBoxes_Hook());
        TestDb_Close();
    }
    void SetUp() override
    {
        Shell_Setup();
        TestDb_Exec(kAreas);
        // The caches as start-up phase 2 leaves them after the administrator's login.
        g_ZTMain.pLoginEmp = &g_admin;
        ASSERT_EQ(Startup_Phase2(&g_ZTMain, nullptr), 1);
        ASSERT_EQ(g_ZTMain.nEst, 4);
        g_boxThreads.clear();
        ZTData_SetMessageBoxHook(ThreadRecordingHook);
        TestBoxes_Reset();
        frame = Shell_CreateFrame();
        ASSERT_NE(frame, nullptr);
    }
    void TearDown() override
    {
        Shell_DestroyFrame(frame);
        ZTData_SetMessageBoxHook(TestBoxes_Hook());
        g_ZTMain.pLoginEmp = nullptr;
    }

    HWND Open()
    {
        Shell_Command(frame, IDM_ESTATE);
        return WaitLoaded();
    }
    HWND WaitLoaded()
    {
        HWND hwnd = nullptr;
        for (int i = 0; i < 200; i++) {
            hwnd = Frame_FindChild("ZT_CHILD_EST");
            ZT_MODWIN* w = Module_Of(hwnd);
            if (w && SendMessageA(w->hTree, TVM_GETNEXTITEM, TVGN_ROOT, 0) && !w->bBusy && Shell_CountBox(hwnd) != "-1")
                break;
            Ui_Pump(20);
        }
        Ui_Pump(60);
        return hwnd;
    }
    static EST_WINDOW* State(ZT_MODWIN* w) { return static_cast<EST_WINDOW*>(w->pState); }
    // The tree item with that text, and a click on it.
    static HTREEITEM TreeItem(HWND hTree, const char* text) { return Wd_TreeItem(hTree, text); }
    static void ClickTreeItem(HWND hTree, HTREEITEM h)
    {
        Wd_ClickTree(hTree, h);
        Ui_Pump(100);
    }
    static std::string Column(const std::string& sql) { return TestDb_Scalar(sql); }
};

// ---- A user's round: open, pick, add with buildings, delete ----------------------

TEST_F(EstateTest, AUserAddsAnEstateWithBuildingsThenDeletesItAll)
{
    // Opened from the menu bar with the mouse.
    HMENU bar = GetMenu(frame);
    RECT r;
    ASSERT_TRUE(GetMenuItemRect(frame, bar, MAINPOS_ESTATE, &r));
    HMENU popup = GetSubMenu(bar, MAINPOS_ESTATE);
    std::string stuck = RunSteps(
        {{"menu item", [&]() {
              RECT ri;
              if (!Ui_ThreadWindow("#32768") || !GetMenuItemRect(nullptr, popup, 0, &ri))
                  return false;
              Wd_Click({(ri.left + ri.right) / 2, (ri.top + ri.bottom) / 2});
              return true;
          }}},
        [&]() { Ui_Click((r.left + r.right) / 2, (r.top + r.bottom) / 2); });
    ASSERT_EQ(stuck, "");
    HWND hwnd = WaitLoaded();
    ZT_MODWIN* w = Module_Of(hwnd);
    ASSERT_NE(w, nullptr);
    EST_WINDOW* st = State(w);

    // The tree: both cities, the first expanded with its urban area selected,
    // whose two estates are listed.
    EXPECT_NE(TreeItem(w->hTree, "无锡"), nullptr);
    ASSERT_NE(st->pUrban, nullptr);
    EXPECT_STREQ(st->pUrban->szUrban, "姑苏区");
    EXPECT_EQ(Shell_GridRows(w->hGrid), 2);
    EXPECT_EQ(Shell_CountBox(hwnd), "2");

    // The user picks 工业园区.
    ClickTreeItem(w->hTree, TreeItem(w->hTree, "工业园区"));
    Ui_Pump(200);
    ASSERT_NE(st->pUrban, nullptr);
    EXPECT_EQ(st->pUrban->iOrdinal, 12);
    EXPECT_EQ(Shell_GridRows(w->hGrid), 1);
    EXPECT_EQ(Shell_CountBox(hwnd), "1");

    // "增加楼盘": the name is typed, the abbreviation follows each character.
    const char* name[] = {"翠", "苑", "a", "3"};
    const char* spells[] = {"C", "CY", "CYA", "CYA3"};
    std::vector<std::string> seen;
    int tabs = 0;
    std::vector<Step> add;
    add.push_back({"add dialog", [&]() {
                       HWND d = Dialog("增加楼盘");
                       if (!d || Busy())
                           return false;
                       tabs = static_cast<int>(SendMessageA(GetDlgItem(d, IDC_EST_TAB), TCM_GETITEMCOUNT, 0, 0));
                       return true;
                   }});
    for (int i = 0; i < 4; i++) {
        add.push_back({"type", [&, i]() {
                           HWND p = PageWith(Dialog("增加楼盘"), IDC_EST_NAME);
                           TypeChar(GetDlgItem(p, IDC_EST_NAME), name[i]);
                           return true;
                       }});
        add.push_back({"abbreviation", [&]() {
                           HWND p = PageWith(Dialog("增加楼盘"), IDC_EST_NAME);
                           seen.push_back(Text(GetDlgItem(p, IDC_EST_SPELL)));
                           return true;
                       }});
    }
    add.push_back({"district and address", [&]() {
                       HWND p = PageWith(Dialog("增加楼盘"), IDC_EST_NAME);
                       SendMessageA(GetDlgItem(p, IDC_EST_DIST), CB_SETCURSEL, 1, 0);
                       SetDlgItemTextA(p, IDC_EST_ADDRESS, "星湖街8号");
                       SetDlgItemTextA(p, IDC_EST_BUILDS, "3");
                       return true;
                   }});
    add.push_back({"land tab", [&]() {
                       ClickTab(Dialog("增加楼盘"), 1);   // "土地  房屋": the buildings tab is absent
                       return true;
                   }});
    add.push_back({"house type", [&]() {
                       HWND p = PageWith(Dialog("增加楼盘"), IDC_EST_HOUSETYPE);
                       if (!IsWindowVisible(p))
                           return false;
                       SendMessageA(GetDlgItem(p, IDC_EST_HOUSETYPE), CB_SETCURSEL, 0, 0);
                       return true;
                   }});
    add.push_back({"save", [&]() {
                       ClickControl(Dialog("增加楼盘"), IDOK);
                       return true;
                   }});
    add.push_back({"closed", [&]() { return !Dialog("增加楼盘") && !Busy(); }});
    stuck = RunSteps(add, [&]() { Shell_ClickButton(hwnd, ID_ESTATE_ADD); });
    ASSERT_EQ(stuck, "");
    EXPECT_EQ(tabs, 3);
    EXPECT_EQ(seen, std::vector<std::string>(spells, spells + 4));

    auto row = TestDb_Query("select iOrdinal, szSpell, iUrban, szDist, szAddress, iBuild, szHouseType"
                            " from t_estate where szEstate = '翠苑a3'");
    ASSERT_EQ(row.size(), 1u);
    EXPECT_EQ(row[0][1], "CYA3");
    EXPECT_EQ(row[0][2], "12");
    EXPECT_EQ(row[0][3], "湖东");
    EXPECT_EQ(row[0][4], "星湖街8号");
    EXPECT_EQ(row[0][5], "3");
    EXPECT_EQ(row[0][6], "住宅");
    int key = atoi(row[0][0].c_str());
    EXPECT_EQ(Shell_GridRows(w->hGrid), 2);
    EXPECT_EQ(Shell_CountBox(hwnd), "2");
    tagESTATE* rec = EstateWindow_Find(w, key);
    ASSERT_NE(rec, nullptr);
    EXPECT_STREQ(rec->szSpell, "CYA3");
    // The house forms' estate search finds it at once.
    const tagESTLIST* listed = Cache_Estate(&g_ZTMain, key);
    ASSERT_NE(listed, nullptr);
    EXPECT_STREQ(listed->szEstate, "翠苑a3");
    EXPECT_EQ(listed->iUrban, 12);
    EXPECT_EQ(g_ZTMain.nEst, 5);
    EXPECT_EQ(g_ZTMain.nEstSpare, 100);

    // Double click on its row: the buildings; 3 to 5 added at once, one
    // modified, one deleted, and the freed slot taken by the next one.
    ASSERT_TRUE(SelectRecord(w->hGrid, rec));
    HWND bgrid = nullptr;
    void* deleted = nullptr;
    void* reused = nullptr;
    bool toDisabled = false;
    DWORD clicked = 0;
    std::vector<std::vector<std::string>> range, modified;
    std::vector<Step> bno = {
        {"modify dialog", [&]() {
             HWND d = Dialog("修改楼盘");
             if (!d || Busy())
                 return false;
             tabs = static_cast<int>(SendMessageA(GetDlgItem(d, IDC_EST_TAB), TCM_GETITEMCOUNT, 0, 0));
             ClickTab(d, 1);
             bgrid = GetDlgItem(PageWith(d, IDC_BNO_GRID), IDC_BNO_GRID);
             return true;
         }},
        {"add buildings", [&]() {
             if (!IsWindowVisible(GetParent(bgrid)))
                 return false;                        // the tab has not switched yet
             ClickControl(PageWith(Dialog("修改楼盘"), IDC_BNO_ADD), IDC_BNO_ADD);
             return true;
         }},
        {"range", [&]() {
             HWND f = Dialog("增加栋座");
             if (!f)
                 return false;
             SetDlgItemTextA(f, IDC_BNO_FROM, "3");
             SetDlgItemTextA(f, IDC_BNO_TO, "5");
             SetDlgItemTextA(f, IDC_BNO_FLOORS, "18");
             SendMessageA(GetDlgItem(f, IDC_BNO_LIFTS), CB_SETCURSEL, 2, 0);   // 2
             SendMessageA(GetDlgItem(f, IDC_BNO_UNITS), CB_SETCURSEL, 3, 0);   // 4
             SendMessageA(GetDlgItem(f, IDC_BNO_TYPE), CB_SETCURSEL, 2, 0);    // 高层
             SendMessageA(GetDlgItem(f, IDC_BNO_STRUCT), CB_SETCURSEL, 1, 0);  // 框架
             ClickControl(f, IDOK);
             return true;
         }},
        {"three rows", [&]() {
             if (Dialog("增加栋座") || Busy() || Shell_GridRows(bgrid) != 3)
                 return false;
             range = TestDb_Query("select iBuildNO, iFloort, iLift, iHouse, szBuildType, szBuildStruct"
                                  " from t_buildno where iEst = " + std::to_string(key) + " order by iBuildNO");
             Wd_Click(RowCentre(bgrid, 0), true);       // double click: modify it
             return true;
         }},
        {"modify form", [&]() {
             HWND f = Dialog("修改栋座");
             if (!f)
                 return false;
             toDisabled = !IsWindowEnabled(GetDlgItem(f, IDC_BNO_TO));
             SetDlgItemTextA(f, IDC_BNO_FLOORS, "26");
             ClickControl(f, IDOK);
             return true;
         }},
        {"delete one", [&]() {
             if (Dialog("修改栋座") || Busy())
                 return false;
             modified = TestDb_Query("select iBuildNO, iFloort from t_buildno where iOrdinal = " +
                                     std::to_string(static_cast<tagBUILDNO*>(SelectedRecord(bgrid))->iOrdinal));
             deleted = SelectedRecord(bgrid);
             ClickControl(PageWith(Dialog("修改楼盘"), IDC_BNO_DELETE), IDC_BNO_DELETE);
             return true;
         }},
        {"add one more", [&]() {
             if (Busy() || Shell_GridRows(bgrid) != 2)
                 return false;
             ClickControl(PageWith(Dialog("修改楼盘"), IDC_BNO_ADD), IDC_BNO_ADD);
             clicked = GetTickCount();
             return true;
         }},
        {"number 9", [&]() {
             HWND f = Dialog("增加栋座");
             if (!f) {
                 // A click that reached the page as the delete's row went
                 // away can be lost: clicked again as a user would.
                 if (GetTickCount() - clicked > 3000 && !Busy()) {
                     ClickControl(PageWith(Dialog("修改楼盘"), IDC_BNO_ADD), IDC_BNO_ADD);
                     clicked = GetTickCount();
                 }
                 return false;
             }
             SetDlgItemTextA(f, IDC_BNO_FROM, "9");
             ClickControl(f, IDOK);
             return true;
         }},
        {"it took the freed slot", [&]() {
             if (Dialog("增加栋座") || Busy() || Shell_GridRows(bgrid) != 3)
                 return false;
             SendMessageA(bgrid, GRM_MOVESEL, 0, LV_MOVE_FIRST);    // appended rows come on top
             reused = SelectedRecord(bgrid);
             return true;
         }},
        {"delete all", [&]() {
             if (Busy())
                 return false;
             if (Shell_GridRows(bgrid) == 0)
                 return true;
             SendMessageA(bgrid, GRM_MOVESEL, 0, LV_MOVE_FIRST);
             ClickControl(PageWith(Dialog("修改楼盘"), IDC_BNO_DELETE), IDC_BNO_DELETE);
             return false;
         }},
        {"close", [&]() {
             ClickControl(Dialog("修改楼盘"), IDCANCEL);
             return true;
         }},
        {"closed", [&]() { return !Dialog("修改楼盘") && !Busy(); }},
    };
    // What the database holds after each building step is checked at the end
    // through the operation log and the rows left.
    stuck = RunSteps(bno, [&]() {
        POINT pt = RowCentre(w->hGrid, 0);          // the added estate's row is on top
        Ui_Click(pt.x, pt.y);
        Ui_Click(pt.x, pt.y);
    });
    ASSERT_EQ(stuck, "");
    EXPECT_EQ(tabs, 4);
    EXPECT_TRUE(toDisabled);
    EXPECT_NE(deleted, nullptr);
    EXPECT_EQ(reused, deleted);
    std::string k = std::to_string(key);
    const std::vector<std::vector<std::string>> three = {
        {"3", "18", "2", "4", "高层", "框架"}, {"4", "18", "2", "4", "高层", "框架"}, {"5", "18", "2", "4", "高层", "框架"}};
    EXPECT_EQ(range, three);
    ASSERT_EQ(modified.size(), 1u);
    EXPECT_EQ(modified[0][1], "26");
    // Buildings 3, 4, 5 and 9 were added, one changed, all deleted again.
    EXPECT_EQ(TestDb_Count("t_buildno where iEst = " + k), 0);
    EXPECT_EQ(TestDb_Count("t_log where iObjType = 9 and iAct = 3"), 4);
    EXPECT_EQ(TestDb_Count("t_log where iObjType = 9 and iAct = 2"), 1);
    EXPECT_EQ(TestBoxes_Count(), 0u);

    // Delete the estate, answering the question.
    ASSERT_TRUE(SelectRecord(w->hGrid, rec));
    TestBoxes_Answer(IDOK);
    Shell_ClickButton(hwnd, ID_ESTATE_DELETE);
    Ui_Pump(300);
    TestBoxes_ExpectOnly("删除后可以在回收站中还原,是否继续");
    EXPECT_EQ(Column("select bRecyle from t_estate where iOrdinal = " + k), "1");
    EXPECT_EQ(rec->iOrdinal, 0);
    EXPECT_EQ(Shell_GridRows(w->hGrid), 1);
    EXPECT_EQ(Shell_CountBox(hwnd), "1");
    EXPECT_EQ(Cache_Estate(&g_ZTMain, key), nullptr);
    EXPECT_EQ(g_ZTMain.nEst, 4);
    EXPECT_EQ(g_ZTMain.nEstSpare, 101);
}

// ---- The shared list and the window's array follow every change ------------------

// Live estates as the shared list holds them, by key.
std::map<int, std::vector<std::string>> SharedList()
{
    std::map<int, std::vector<std::string>> m;
    tagZT_Main_Param* p = &g_ZTMain;
    for (int i = 0; i < p->nEst + p->nEstSpare; i++) {
        const tagESTLIST& e = p->pEstList[i];
        if (e.iOrdinal)
            m[e.iOrdinal] = {std::to_string(e.iUrban), e.szEstate, e.szSpell, e.szAddress, e.szRingArea, e.szDist,
                             e.szHouseStruct, e.szHouseType};
    }
    return m;
}

std::map<int, std::vector<std::string>> SharedListInDb()
{
    std::map<int, std::vector<std::string>> m;
    for (auto& r : TestDb_Query("select iOrdinal, iUrban, szEstate, szSpell, ifnull(szAddress, ''), ifnull(szRingArea, ''),"
                                " ifnull(szDist, ''), ifnull(szHouseStruct, ''), ifnull(szHouseType, '')"
                                " from t_estate where bRecyle = 0"))
        m[atoi(r[0].c_str())] = std::vector<std::string>(r.begin() + 1, r.end());
    return m;
}

// The window's live records, with the columns its load reads.
std::map<int, std::vector<std::string>> WindowArray(ZT_MODWIN* w)
{
    std::map<int, std::vector<std::string>> m;
    const tagESTATE* e = static_cast<const tagESTATE*>(w->rs.pBlock);
    for (int i = 0; e && i < w->rs.nSlots; i++)
        if (e[i].iOrdinal)
            m[e[i].iOrdinal] = {e[i].szEstate, e[i].szSpell, e[i].szDist, e[i].szAddress, std::to_string(e[i].iBuild),
                                e[i].szHouseType, e[i].szDevCom, e[i].szRingArea};
    return m;
}

std::map<int, std::vector<std::string>> WindowArrayInDb(int iUrban)
{
    std::map<int, std::vector<std::string>> m;
    for (auto& r : TestDb_Query("select iOrdinal, szEstate, szSpell, ifnull(szDist, ''), ifnull(szAddress, ''), iBuild,"
                                " ifnull(szHouseType, ''), ifnull(szDevCom, ''), ifnull(szRingArea, '')"
                                " from t_estate where bRecyle = 0 and iUrban = " + std::to_string(iUrban)))
        m[atoi(r[0].c_str())] = std::vector<std::string>(r.begin() + 1, r.end());
    return m;
}

// Fills the estate page of the open dialog titled caption and saves.
std::vector<Step> EstateSteps(const char* caption, const std::string& name, const std::string& address, bool expectClose)
{
    return {
        {"dialog", [=]() { return Dialog(caption) && !Busy(); }},
        {"fill", [=]() {
             HWND p = PageWith(Dialog(caption), IDC_EST_NAME);
             SetDlgItemTextA(p, IDC_EST_NAME, name.c_str());
             SetDlgItemTextA(p, IDC_EST_ADDRESS, address.c_str());
             SetDlgItemTextA(p, IDC_EST_RING, "二至三环");
             PostMessageA(Dialog(caption), WM_COMMAND, IDOK, 0);
             return true;
         }},
        {"saved", [=]() {
             if (Busy())
                 return false;
             if (!expectClose && Dialog(caption))
                 PostMessageA(Dialog(caption), WM_COMMAND, IDCANCEL, 0);
             return !Dialog(caption);
         }},
    };
}

TEST_F(EstateTest, TheSharedListAndTheWindowStayInStepWithTheDatabase)
{
    HWND hwnd = Open();
    ZT_MODWIN* w = Module_Of(hwnd);
    ASSERT_NE(w, nullptr);
    ASSERT_EQ(State(w)->pUrban->iOrdinal, 11);
    const int slots = w->rs.nSlots;
    EXPECT_EQ(slots, 2 + 101);
    auto post = [&](int cmd) { return [=]() { PostMessageA(hwnd, WM_COMMAND, cmd, 0); }; };

    ASSERT_EQ(RunSteps(EstateSteps("增加楼盘", "东园", "东大街1号", true), post(ID_ESTATE_ADD)), "");
    ASSERT_EQ(RunSteps(EstateSteps("增加楼盘", "西园", "西大街2号", true), post(ID_ESTATE_ADD)), "");
    int east = atoi(TestDb_Scalar("select iOrdinal from t_estate where szEstate = '东园'").c_str());
    ASSERT_GT(east, 0);
    EXPECT_EQ(TestBoxes_Count(), 0u);

    // The same name again is refused by the server, asked on a worker: the
    // window thread does not wait on the server.
    ASSERT_EQ(RunSteps(EstateSteps("增加楼盘", "东园", "", false), post(ID_ESTATE_ADD)), "");
    ASSERT_EQ(TestBoxes_Count(), 2u);
    EXPECT_EQ(TestBoxes_Taken()[0].text, "数据重复");
    EXPECT_EQ(TestBoxes_Taken()[1].text, "数据已修改, 是否保存?");    // leaving it: "否"
    ASSERT_EQ(g_boxThreads.size(), 1u);
    EXPECT_NE(g_boxThreads[0], GetCurrentThreadId());

    // 沧浪花园 renamed; its row shows the new name at once.
    ASSERT_TRUE(SelectRecord(w->hGrid, EstateWindow_Find(w, 202)));
    ASSERT_EQ(RunSteps(EstateSteps("修改楼盘", "沧浪新苑", "新路3号", true), post(ID_ESTATE_MODIFY)), "");
    EXPECT_STREQ(EstateWindow_Find(w, 202)->szEstate, "沧浪新苑");
    EXPECT_STREQ(Cache_Estate(&g_ZTMain, 202)->szEstate, "沧浪新苑");

    // 东园 deleted; 平江新城 still has a building and is refused.
    TestBoxes_Reset();
    tagESTATE* eastSlot = EstateWindow_Find(w, east);
    ASSERT_TRUE(SelectRecord(w->hGrid, eastSlot));
    Wd_CommandAnswered(hwnd, ID_ESTATE_DELETE, IDOK);
    ASSERT_TRUE(SelectRecord(w->hGrid, EstateWindow_Find(w, 201)));
    Wd_CommandAnswered(hwnd, ID_ESTATE_DELETE, IDOK);
    ASSERT_EQ(TestBoxes_Count(), 3u);            // two questions, then the refusal
    EXPECT_EQ(TestBoxes_Taken()[2].caption, "操作失败");
    EXPECT_EQ(EstateWindow_Find(w, east), nullptr);
    EXPECT_NE(EstateWindow_Find(w, 201), nullptr);

    // A new one takes the slot the deleted one left.
    ASSERT_EQ(RunSteps(EstateSteps("增加楼盘", "南园", "", true), post(ID_ESTATE_ADD)), "");
    int south = atoi(TestDb_Scalar("select iOrdinal from t_estate where szEstate = '南园'").c_str());
    EXPECT_EQ(EstateWindow_Find(w, south), eastSlot);

    EXPECT_EQ(SharedList(), SharedListInDb());
    EXPECT_EQ(WindowArray(w), WindowArrayInDb(11));
    int live = static_cast<int>(WindowArrayInDb(11).size());
    EXPECT_EQ(live, 4);
    EXPECT_EQ(w->nListed, live);
    Wd_ExpectListed(w, live);
    EXPECT_EQ(w->rs.nSlots, slots);              // count plus spare stays
    EXPECT_EQ(g_ZTMain.nEst, static_cast<int>(SharedListInDb().size()));
    EXPECT_EQ(g_ZTMain.nEst + g_ZTMain.nEstSpare, 4 + 101);

    // The estate window's "刷新" reads the same again.
    auto before = WindowArray(w);
    SendMessageA(hwnd, WM_COMMAND, ID_MODULE_REFRESH, 0);
    Ui_Pump(100);
    EXPECT_EQ(WindowArray(w), before);
}

// ---- Hostile texts ------------------------------------------------------------------

std::string Cut(const std::string& s, size_t cb)
{
    std::vector<char> out(cb);
    Gbk_CopyCut(out.data(), cb, s.c_str());
    return out.data();
}

struct TextBox {
    const char* column;
    int id;
    size_t cb;
};
const TextBox kTextBoxes[] = {
    {"szEstate", IDC_EST_NAME, 26}, {"szSpell", IDC_EST_SPELL, 26}, {"szRingArea", IDC_EST_RING, 10},
    {"szDist", IDC_EST_DIST, 11}, {"szAddress", IDC_EST_ADDRESS, 51}, {"szIntersection", IDC_EST_CROSSING, 51},
    {"szLandCategory", IDC_EST_LANDCAT, 11}, {"szLandSource", IDC_EST_LANDSRC, 11},
    {"szLandUsage", IDC_EST_LANDUSE, 11}, {"szUsePeriod", IDC_EST_PERIOD, 11},
    {"szTransferDate", IDC_EST_TRANSDATE, 11}, {"szTransferPrice", IDC_EST_TRANSPRICE, 11},
    {"szFloorPrice", IDC_EST_FLOORPRICE, 11}, {"szHouseType", IDC_EST_HOUSETYPE, 17},
    {"szHouseStruct", IDC_EST_HOUSESTRUCT, 11}, {"szHouseUsage", IDC_EST_HOUSEUSE, 11},
    {"szBuildType", IDC_EST_BUILDTYPE, 17}, {"szBuildStruct", IDC_EST_BUILDSTRUCT, 17},
    {"szHandoverStandard", IDC_EST_HANDOVER, 11}, {"szBuildYear", IDC_EST_BUILDYEAR, 17},
    {"szDevCom", IDC_EST_DEVCOM, 51}, {"szBuildCom", IDC_EST_BUILDCOM, 51},
    {"szSalesAddress", IDC_EST_SALESADDR, 51}, {"szSalesTel", IDC_EST_SALESTEL, 13},
    {"szOpenDate", IDC_EST_OPENDATE, 11}, {"szHandOverDate", IDC_EST_HANDOVERDATE, 11},
    {"szMgCom", IDC_EST_MGCOM, 51}, {"szMgAddress", IDC_EST_MGADDR, 51}, {"szMgTel", IDC_EST_MGTEL, 13},
    {"szWorkTime", IDC_EST_WORKTIME, 50},
};
const char* const kNumberColumns[] = {"iCoversArea", "iBuildArea", "iRoom", "iVacancy", "iVolume", "iAfforest",
                                      "iHouse", "iBuild", "iPark", "iOpenAvePrice", "dMgPrice", "dParkRentPrice"};

// Every edit and drop-down box of every page of a dialog.
BOOL CALLBACK SetHostile(HWND h, LPARAM lp)
{
    char cls[32] = "", parent[32] = "";
    GetClassNameA(h, cls, sizeof(cls));
    GetClassNameA(GetParent(h), parent, sizeof(parent));
    bool edit = lstrcmpiA(cls, "Edit") == 0 && strcmp(parent, "ZT_CTL_COMBOBOX") != 0 &&
                !(GetWindowLongA(h, GWL_STYLE) & ES_READONLY);
    if (edit || strcmp(cls, "ZT_CTL_COMBOBOX") == 0)
        SetWindowTextA(h, reinterpret_cast<const char*>(lp));
    return TRUE;
}

TEST_F(EstateTest, AHostileTextInEveryBoxIsStoredAsTypedCutToItsFieldOrRefused)
{
    std::string hostile;
    while (hostile.size() < 300)
        hostile += HostileText();
    hostile += "\xD5";                           // ends in half a character
    HWND hwnd = Open();
    ZT_MODWIN* w = Module_Of(hwnd);
    ASSERT_NE(w, nullptr);
    DbRows others = DbFix_Rows("t_estate");

    std::map<std::string, std::string> shown;
    std::vector<Step> steps = {
        {"dialog", []() { return Dialog("增加楼盘") && !Busy(); }},
        {"hostile everywhere", [&]() {
             HWND d = Dialog("增加楼盘");
             EnumChildWindows(d, SetHostile, reinterpret_cast<LPARAM>(hostile.c_str()));
             HWND p = PageWith(d, IDC_EST_MGPRICE);
             SetDlgItemTextA(p, IDC_EST_MGPRICE, "12345678901");      // more than the column holds
             PostMessageA(d, WM_COMMAND, IDOK, 0);
             return true;
         }},
        {"money refused", [&]() {
             if (Busy() || TestBoxes_Count() < 1)
                 return false;
             HWND d = Dialog("增加楼盘");
             if (!d)
                 return true;
             HWND p = PageWith(d, IDC_EST_MGPRICE);
             SetDlgItemTextA(p, IDC_EST_MGPRICE, hostile.c_str());
             for (const TextBox& b : kTextBoxes)
                 shown[b.column] = Text(GetDlgItem(PageWith(d, b.id), b.id));
             PostMessageA(d, WM_COMMAND, IDOK, 0);
             return true;
         }},
        {"saved", []() { return !Busy() && !Dialog("增加楼盘"); }},
    };
    ASSERT_EQ(RunSteps(steps, [&]() { PostMessageA(hwnd, WM_COMMAND, ID_ESTATE_ADD, 0); }), "");
    ASSERT_GE(TestBoxes_Count(), 1u);
    EXPECT_EQ(TestBoxes_Taken()[0].text, "物业费和车位租金须在0至9999999999.99之间");
    EXPECT_EQ(TestBoxes_Count(), 1u);

    int key = atoi(TestDb_Scalar("select max(iOrdinal) from t_estate").c_str());
    ASSERT_GT(key, 204);
    std::string k = std::to_string(key);
    ASSERT_EQ(shown.size(), sizeof(kTextBoxes) / sizeof(kTextBoxes[0]));
    for (const TextBox& b : kTextBoxes) {
        EXPECT_FALSE(shown[b.column].empty()) << b.column;
        EXPECT_EQ(TestDb_Scalar(std::string("select ") + b.column + " from t_estate where iOrdinal = " + k),
                  Cut(shown[b.column], b.cb))
            << b.column;
    }
    for (const char* c : kNumberColumns)
        EXPECT_EQ(atof(TestDb_Scalar(std::string("select ") + c + " from t_estate where iOrdinal = " + k).c_str()), 0)
            << c;
    EXPECT_EQ(DbFix_Rows("t_estate", "iOrdinal <> " + k), others);
    EXPECT_STREQ(Cache_Estate(&g_ZTMain, key)->szEstate, Cut(shown["szEstate"], 26).c_str());

    // A building with hostile texts; a range the form does not allow is
    // refused with a message naming the boxes.
    tagESTATE* rec = EstateWindow_Find(w, key);
    ASSERT_NE(rec, nullptr);
    ASSERT_TRUE(SelectRecord(w->hGrid, rec));
    std::vector<std::string> refusals;
    std::string type, structure;
    auto form = [&](const char* from, const char* to) {
        return [=]() {
            HWND f = Dialog("增加栋座");
            if (!f || Busy())
                return false;
            TestBoxes_Reset();
            SetDlgItemTextA(f, IDC_BNO_FROM, from);
            SetDlgItemTextA(f, IDC_BNO_TO, to);
            PostMessageA(f, WM_COMMAND, IDOK, 0);
            return true;
        };
    };
    auto refused = [&]() {
        if (Busy() || TestBoxes_Count() < 1)
            return false;
        refusals.push_back(TestBoxes_Taken()[0].text);
        return true;
    };
    std::vector<Step> bno = {
        {"dialog", []() {
             HWND d = Dialog("修改楼盘");
             if (!d || Busy())
                 return false;
             PostMessageA(PageWith(d, IDC_BNO_ADD), WM_COMMAND, IDC_BNO_ADD, 0);
             return true;
         }},
        {"80", form("45", "80")}, {"refused", refused},
        {"backwards", form("5", "3")}, {"refused", refused},
        {"none", form("", "")}, {"refused", refused},
        {"hostile", [&]() {
             HWND f = Dialog("增加栋座");
             SetDlgItemTextA(f, IDC_BNO_FROM, "7");
             SetDlgItemTextA(f, IDC_BNO_TO, "");
             SetDlgItemTextA(f, IDC_BNO_FLOORS, hostile.c_str());
             SetDlgItemTextA(f, IDC_BNO_TYPE, hostile.c_str());
             SetDlgItemTextA(f, IDC_BNO_STRUCT, hostile.c_str());
             type = Text(GetDlgItem(f, IDC_BNO_TYPE));
             structure = Text(GetDlgItem(f, IDC_BNO_STRUCT));
             PostMessageA(f, WM_COMMAND, IDOK, 0);
             return true;
         }},
        {"added", []() { return !Busy() && !Dialog("增加栋座"); }},
        {"close", []() {
             PostMessageA(Dialog("修改楼盘"), WM_COMMAND, IDCANCEL, 0);
             return true;
         }},
        {"closed", []() { return !Busy() && !Dialog("修改楼盘"); }},
    };
    ASSERT_EQ(RunSteps(bno, [&]() { PostMessageA(hwnd, WM_COMMAND, ID_ESTATE_MODIFY, 0); }), "");
    EXPECT_EQ(refusals, (std::vector<std::string>{"“―”后的栋号须在“栋号”至50之间", "“―”后的栋号须在“栋号”至50之间",
                                                  "“栋号”须填1至50之间的数字"}));
    auto b = TestDb_Query("select iBuildNO, iFloort, szBuildType, szBuildStruct from t_buildno where iEst = " + k);
    ASSERT_EQ(b.size(), 1u);
    EXPECT_EQ(b[0], (std::vector<std::string>{"7", "0", Cut(type, 17), Cut(structure, 17)}));
    EXPECT_EQ(TestDb_Count("t_buildno"), 2);
}

// ---- The viewer another window opens ----------------------------------------------

TEST_F(EstateTest, TheViewerShowsAnEstateWithItsBuildingsAndChangesNothing)
{
    DbRows before = DbFix_Rows("t_estate");
    int rows = -1;
    bool buttonsOff = false;
    std::string name;
    std::vector<Step> steps = {
        {"viewer", [&]() {
             HWND d = Dialog("修改楼盘");
             if (!d || Busy())
                 return false;
             HWND pb = PageWith(d, IDC_BNO_GRID);
             rows = Shell_GridRows(GetDlgItem(pb, IDC_BNO_GRID));
             buttonsOff = true;
             for (int id : {IDC_BNO_ADD, IDC_BNO_MODIFY, IDC_BNO_DELETE})
                 buttonsOff = buttonsOff && !IsWindowEnabled(GetDlgItem(pb, id));
             HWND pe = PageWith(d, IDC_EST_NAME);
             name = Text(GetDlgItem(pe, IDC_EST_NAME));
             SetDlgItemTextA(pe, IDC_EST_NAME, "改了名字");
             PostMessageA(d, WM_COMMAND, IDOK, 0);           // save only closes it
             return true;
         }},
        {"closed", []() { return !Dialog("修改楼盘") && !Busy(); }},
    };
    ASSERT_EQ(RunSteps(steps, [&]() { EstateDialog_View(frame, &g_ZTMain, 201); }), "");
    EXPECT_EQ(name, "平江新城");
    EXPECT_EQ(rows, 1);
    EXPECT_TRUE(buttonsOff);
    EXPECT_EQ(DbFix_Diff(before, DbFix_Rows("t_estate")), std::vector<std::string>()) << "nothing changed";
    EXPECT_STREQ(Cache_Estate(&g_ZTMain, 201)->szEstate, "平江新城");
}

// ---- The building count, rights and leaving -----------------------------------------

TEST_F(EstateTest, TheBuildingCountFollowsTheBuildingsAndNumbersOfZeroShowEmpty)
{
    HWND hwnd = Open();
    ZT_MODWIN* w = Module_Of(hwnd);
    ASSERT_NE(w, nullptr);
    tagESTATE* rec = EstateWindow_Find(w, 202);                    // 沧浪花园: no buildings, count 0
    ASSERT_TRUE(rec && SelectRecord(w->hGrid, rec));
    std::string shownBefore, shownAfter, zero;
    HWND bgrid = nullptr;
    std::vector<Step> steps = {
        {"dialog", [&]() {
             HWND d = Dialog("修改楼盘");
             if (!d || Busy())
                 return false;
             HWND pe = PageWith(d, IDC_EST_NAME);
             shownBefore = Text(GetDlgItem(pe, IDC_EST_BUILDS));
             zero = Text(GetDlgItem(pe, IDC_EST_HOUSES)) + Text(GetDlgItem(PageWith(d, IDC_EST_MGPRICE), IDC_EST_MGPRICE));
             ClickTab(d, 1);
             bgrid = GetDlgItem(PageWith(d, IDC_BNO_GRID), IDC_BNO_GRID);
             return true;
         }},
        {"add", [&]() {
             if (!IsWindowVisible(GetParent(bgrid)))
                 return false;
             ClickControl(PageWith(Dialog("修改楼盘"), IDC_BNO_ADD), IDC_BNO_ADD);
             return true;
         }, [&]() { ClickControl(PageWith(Dialog("修改楼盘"), IDC_BNO_ADD), IDC_BNO_ADD); }},
        {"1 to 3", [&]() {
             HWND f = Dialog("增加栋座");
             if (!f)
                 return false;
             SetDlgItemTextA(f, IDC_BNO_FROM, "1");
             SetDlgItemTextA(f, IDC_BNO_TO, "3");
             SetDlgItemTextA(f, IDC_BNO_FLOORS, "6");
             ClickControl(f, IDOK);
             return true;
         }, [&]() { if (HWND f = Dialog("增加栋座")) ClickControl(f, IDOK); }},
        {"three", [&]() {
             if (Dialog("增加栋座") || Busy() || Shell_GridRows(bgrid) != 3)
                 return false;
             shownAfter = Text(GetDlgItem(PageWith(Dialog("修改楼盘"), IDC_EST_NAME), IDC_EST_BUILDS));
             SendMessageA(bgrid, GRM_MOVESEL, 0, LV_MOVE_FIRST);
             ClickControl(PageWith(Dialog("修改楼盘"), IDC_BNO_DELETE), IDC_BNO_DELETE);
             return true;
         }, [&]() {
             if (Shell_GridRows(bgrid) == 3)
                 ClickControl(PageWith(Dialog("修改楼盘"), IDC_BNO_DELETE), IDC_BNO_DELETE);
         }},
        {"two", [&]() {
             if (Busy() || Shell_GridRows(bgrid) != 2)
                 return false;
             ClickControl(Dialog("修改楼盘"), IDCANCEL);            // nothing typed: no question
             return true;
         }, [&]() { if (HWND d = Dialog("修改楼盘")) ClickControl(d, IDCANCEL); }},
        {"closed", [&]() { return !Dialog("修改楼盘") && !Busy(); }},
    };
    ASSERT_EQ(RunSteps(steps, [&]() { PostMessageA(hwnd, WM_COMMAND, ID_ESTATE_MODIFY, 0); }), "");
    EXPECT_EQ(shownBefore, "");
    EXPECT_EQ(zero, "");
    EXPECT_EQ(shownAfter, "3");
    EXPECT_EQ(Column("select iBuild from t_estate where iOrdinal = 202"), "2");
    EXPECT_EQ(rec->iBuild, 2) << "the window's row follows";
    EXPECT_EQ(TestBoxes_Count(), 0u);

    // A count typed for more buildings than are registered stays when one more is added.
    TestDb_Exec("update t_estate set iBuild = 12 where iOrdinal = 201");    // 平江新城: 1 building
    ASSERT_TRUE(SelectRecord(w->hGrid, EstateWindow_Find(w, 201)));
    std::vector<Step> more = {
        {"dialog", [&]() {
             HWND d = Dialog("修改楼盘");
             if (!d || Busy())
                 return false;
             ClickTab(d, 1);
             bgrid = GetDlgItem(PageWith(d, IDC_BNO_GRID), IDC_BNO_GRID);
             return true;
         }},
        {"add", [&]() {
             if (!IsWindowVisible(GetParent(bgrid)))
                 return false;
             ClickControl(PageWith(Dialog("修改楼盘"), IDC_BNO_ADD), IDC_BNO_ADD);
             return true;
         }, [&]() { ClickControl(PageWith(Dialog("修改楼盘"), IDC_BNO_ADD), IDC_BNO_ADD); }},
        {"2", [&]() {
             HWND f = Dialog("增加栋座");
             if (!f)
                 return false;
             SetDlgItemTextA(f, IDC_BNO_FROM, "2");
             ClickControl(f, IDOK);
             return true;
         }, [&]() { if (HWND f = Dialog("增加栋座")) ClickControl(f, IDOK); }},
        {"two", [&]() {
             if (Dialog("增加栋座") || Busy() || Shell_GridRows(bgrid) != 2)
                 return false;
             shownAfter = Text(GetDlgItem(PageWith(Dialog("修改楼盘"), IDC_EST_NAME), IDC_EST_BUILDS));
             ClickControl(Dialog("修改楼盘"), IDCANCEL);
             return true;
         }, [&]() { if (HWND d = Dialog("修改楼盘")) ClickControl(d, IDCANCEL); }},
        {"closed", [&]() { return !Dialog("修改楼盘") && !Busy(); }},
    };
    ASSERT_EQ(RunSteps(more, [&]() { PostMessageA(hwnd, WM_COMMAND, ID_ESTATE_MODIFY, 0); }), "");
    EXPECT_EQ(shownAfter, "12");
    EXPECT_EQ(Column("select iBuild from t_estate where iOrdinal = 201"), "12");
    EXPECT_EQ(TestDb_Count("t_buildno where iEst = 201"), 2);
    EXPECT_EQ(TestBoxes_Count(), 0u);
}

TEST_F(EstateTest, EstateAndBuildingCommandsAskTheirRightsWhenTheyRunAndLeavingAsksFirst)
{
    // Estates to view and modify, none to add.
    Wd_Grant("3E" "3D" "3F" "3G");
    bool opened = false;
    tagESTLIST* added = nullptr;
    BOOL stored = TRUE;
    std::vector<Step> watch = {{"no dialog", [&]() {
        if (HWND d = Dialog("增加楼盘")) {
            opened = true;
            PostMessageA(d, WM_COMMAND, IDCANCEL, 0);
        }
        return true;
    }}};
    ASSERT_EQ(RunSteps(watch, [&]() { stored = EstateDialog_Add(frame, &g_ZTMain, 11, &added); }), "");
    EXPECT_FALSE(stored);
    EXPECT_FALSE(opened);
    TestBoxes_ExpectOnly("您没有增加楼盘的权限");
    EXPECT_EQ(TestDb_Count("t_estate"), 4);

    // Leaving a changed estate asks: "取消" stays, "否" leaves it unsaved.
    HWND hwnd = Open();
    ZT_MODWIN* w = Module_Of(hwnd);
    ASSERT_TRUE(w && SelectRecord(w->hGrid, EstateWindow_Find(w, 201)));
    TestBoxes_Reset();
    bool stayed = false;
    std::string refused;
    std::vector<Step> steps = {
        {"dialog", [&]() { return Dialog("修改楼盘") && !Busy(); }},
        {"delete a building without the right", [&]() {
             // The greyed button's command sent all the same: asked where it runs.
             HWND pb = PageWith(Dialog("修改楼盘"), IDC_BNO_GRID);
             SendMessageA(GetDlgItem(pb, IDC_BNO_GRID), GRM_MOVESEL, 0, LV_MOVE_FIRST);
             SendMessageA(pb, WM_COMMAND, IDC_BNO_DELETE, 0);
             for (const TestBox& b : TestBoxes_Taken())
                 refused += b.text;
             TestBoxes_Reset();
             return true;
         }},
        {"type", [&]() {
             SetDlgItemTextA(PageWith(Dialog("修改楼盘"), IDC_EST_ADDRESS), IDC_EST_ADDRESS, "平江路2号");
             TestBoxes_Answer(IDCANCEL);
             PostMessageA(Dialog("修改楼盘"), WM_COMMAND, IDCANCEL, 0);
             return true;
         }},
        {"asked", [&]() {
             if (TestBoxes_Count() < 1)
                 return false;
             stayed = Dialog("修改楼盘") != nullptr;
             TestBoxes_Answer(IDNO);
             PostMessageA(Dialog("修改楼盘"), WM_CLOSE, 0, 0);
             return true;
         }},
        {"closed", [&]() { return !Dialog("修改楼盘") && !Busy(); }},
    };
    ASSERT_EQ(RunSteps(steps, [&]() { PostMessageA(hwnd, WM_COMMAND, ID_ESTATE_MODIFY, 0); }), "");
    EXPECT_EQ(refused, "您没有删除栋座的权限");
    EXPECT_EQ(TestDb_Count("t_buildno where iEst = 201"), 1);
    EXPECT_TRUE(stayed);
    EXPECT_EQ(TestBoxes_Count(), 2u);
    EXPECT_EQ(TestBoxes_Taken()[0].text, "数据已修改, 是否保存?");
    EXPECT_EQ(Column("select szAddress from t_estate where iOrdinal = 201"), "平江路1号");
}

}  // namespace

namespace {

// ---- The estate dictionary on the demo data: the search --------------------------------

class EstateDemoTest : public DemoWindowTest {
protected:
    static void SetUpTestSuite()
    {
        DbFix_OpenDemo("kelmora_estate_demo");
        Shell_Setup();
        g_ZTMain.pLoginEmp = &g_admin;
        ASSERT_EQ(Startup_Phase2(&g_ZTMain, nullptr), 1);
        ASSERT_TRUE(Module_RegisterClasses(g_ZTMain.hInst));
    }
    static void TearDownTestSuite()
    {
        g_ZTMain.pLoginEmp = nullptr;
        TestDb_Close();
    }
};

TEST_F(EstateDemoTest, AnEstateIsFoundByItsNameOrPinyinInitialsAndItsRowShown)
{
    Shell_Command(frame, IDM_ESTATE);
    HWND hwnd = Frame_FindChild("ZT_CHILD_EST");
    ZT_MODWIN* w = Module_Of(hwnd);
    ASSERT_NE(w, nullptr);
    for (int i = 0; i < 200 && (w->bBusy || Shell_CountBox(hwnd) == "-1"); i++)
        Ui_Pump(20);
    EST_WINDOW* st = static_cast<EST_WINDOW*>(w->pState);
    ASSERT_NE(st->hSearch, nullptr);
    HWND box = GetDlgItem(st->hSearch, 1501);
    ASSERT_NE(box, nullptr);
    // An estate of another urban area than the one shown.
    const auto row = TestDb_Query("select e.iOrdinal, e.szEstate, e.szSpell, u.szUrban from t_estate e join t_urban u"
                                  " on u.iOrdinal = e.iUrban where e.bRecyle = 0 and e.iUrban <> " +
                                  std::to_string(st->pUrban ? st->pUrban->iOrdinal : 0) + " order by e.iOrdinal limit 1");
    ASSERT_EQ(row.size(), 1u);
    std::string initials = row[0][2];
    for (char& c : initials)
        c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    // Typed as its initials: the list follows, the first entry is chosen.
    Wd_Click(Centre(box));
    Ui_Pump(100);
    HWND edit = GetFocus();
    ASSERT_TRUE(edit && IsChild(box, edit));
    for (char c : initials)
        PostMessageA(edit, WM_CHAR, static_cast<unsigned char>(c), 0);
    for (int i = 0; i < 50 && Text(box) != initials; i++)
        Ui_Pump(20);
    EstateBox_Settle(box);
    ASSERT_GT(SendMessageA(box, CB_GETCOUNT, 0, 0), 0);
    char first[64] = "";
    SendMessageA(box, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(first));
    EXPECT_EQ(std::string(first), row[0][1]);
    PostMessageA(edit, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);
    for (int i = 0; i < 100 && (w->bBusy || !st->pUrban || row[0][3] != st->pUrban->szUrban); i++)
        Ui_Pump(20);
    Ui_Pump(200);
    ASSERT_NE(st->pUrban, nullptr);
    EXPECT_EQ(row[0][3], st->pUrban->szUrban);
    const tagESTATE* sel = static_cast<const tagESTATE*>(SelectedRecord(w->hGrid));
    ASSERT_NE(sel, nullptr);
    EXPECT_EQ(std::to_string(sel->iOrdinal), row[0][0]);
    Ui_Screenshot("estate-window");

    // By the beginning of a name and "查找"; a text that begins no estate is named.
    const auto other = TestDb_Query("select iOrdinal, szEstate from t_estate where bRecyle = 0 and iUrban = " +
                                    std::to_string(st->pUrban->iOrdinal) + " order by iOrdinal desc limit 1");
    SetWindowTextA(box, other[0][1].c_str());
    Wd_Click(Centre(GetDlgItem(st->hSearch, ID_ESTATE_FIND)));
    Ui_Pump(300);
    sel = static_cast<const tagESTATE*>(SelectedRecord(w->hGrid));
    ASSERT_NE(sel, nullptr);
    EXPECT_EQ(std::to_string(sel->iOrdinal), other[0][0]);
    SetWindowTextA(box, "zzq");
    Wd_Click(Centre(GetDlgItem(st->hSearch, ID_ESTATE_FIND)));
    Ui_Pump(300);
    TestBoxes_ExpectOnly("没有名称或拼音缩写以「zzq」开头的楼盘");
    Ui_MouseTo(5, 5);
}

TEST_F(EstateDemoTest, TheEstateDialogOnTheDemoData)
{
    Shell_Command(frame, IDM_ESTATE);
    HWND hwnd = Frame_FindChild("ZT_CHILD_EST");
    ZT_MODWIN* w = Module_Of(hwnd);
    ASSERT_NE(w, nullptr);
    for (int i = 0; i < 200 && (w->bBusy || Shell_CountBox(hwnd) == "-1"); i++)
        Ui_Pump(20);
    // The estate of the list with the most buildings, its buildings page.
    tagESTATE* pick = nullptr;
    int most = -1;
    for (int i = 0; i < w->rs.nSlots; i++) {
        tagESTATE* e = &static_cast<tagESTATE*>(w->rs.pBlock)[i];
        int n = e->iOrdinal ? atoi(TestDb_Scalar("select count(*) from t_buildno where iEst = " +
                                                 std::to_string(e->iOrdinal)).c_str()) : -1;
        if (n > most) {
            most = n;
            pick = e;
        }
    }
    ASSERT_TRUE(pick && most > 0 && SelectRecord(w->hGrid, pick));
    int rows = -1;
    std::vector<Step> steps = {
        {"dialog", [&]() {
             HWND d = Dialog("修改楼盘");
             if (!d || Busy())
                 return false;
             ClickTab(d, 1);
             return true;
         }},
        {"buildings", [&]() {
             HWND pb = PageWith(Dialog("修改楼盘"), IDC_BNO_GRID);
             if (!IsWindowVisible(pb))
                 return false;
             rows = Shell_GridRows(GetDlgItem(pb, IDC_BNO_GRID));
             Ui_Screenshot("estate-dialog");
             PostMessageA(Dialog("修改楼盘"), WM_COMMAND, IDCANCEL, 0);
             return true;
         }},
        {"closed", [&]() { return !Dialog("修改楼盘") && !Busy(); }},
    };
    ASSERT_EQ(RunSteps(steps, [&]() { PostMessageA(hwnd, WM_COMMAND, ID_ESTATE_MODIFY, 0); }), "");
    EXPECT_EQ(rows, most);
}

}  // namespace
