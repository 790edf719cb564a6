// The estate dictionary window and its dialogs, driven as a user drives
// them under the virtual display, against the test server: the tree, the
// estate grid, the tabbed dialog with its buildings, the building form, and
// the shared estate list kept in step with the database.
#include "tests/frame/shell_fixture.h"
#include "app/admin/estate_dialog.h"
#include "app/admin/estate_list.h"
#include "app/admin/estate_window.h"
#include "app/shell/frame.h"
#include "app/shell/startup.h"
#include "app/resources/resource.h"

#include <commctrl.h>
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
};
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
    if (GetTickCount() - g_started > 30000) {            // give up: close whatever is open
        g_stuck = g_steps[g_next].what;
        g_next = g_steps.size();
        Ui_Screenshot("estate-stuck");
        EnumThreadWindows(GetCurrentThreadId(), CancelDialog, 0);
        return;
    }
    g_inStep = true;
    bool done = g_steps[g_next].run();
    g_inStep = false;
    if (done)
        g_next++;
}

// Runs the steps while start() (a click that opens a modal dialog) is
// handled; returns the step that got stuck, "" when all ran.
std::string RunSteps(std::vector<Step> steps, const std::function<void()>& start)
{
    g_steps = std::move(steps);
    g_next = 0;
    g_stuck.clear();
    g_started = GetTickCount();
    UINT_PTR timer = SetTimer(nullptr, 0, 60, StepTick);
    start();
    while (g_next < g_steps.size())
        Ui_Pump(30);
    Ui_Pump(150);
    KillTimer(nullptr, timer);
    return g_stuck;
}

// ---- Finding and driving windows without pumping (steps run inside loops) ------

struct FindCaption {
    const char* caption;
    HWND found;
};

BOOL CALLBACK ByCaption(HWND h, LPARAM lp)
{
    FindCaption* f = reinterpret_cast<FindCaption*>(lp);
    char text[64] = "";
    GetWindowTextA(h, text, sizeof(text));
    if (IsWindowVisible(h) && strcmp(text, f->caption) == 0) {
        f->found = h;
        return FALSE;
    }
    return TRUE;
}

// A visible top-level window of this thread with that caption.
HWND Dialog(const char* caption)
{
    FindCaption f = {caption, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), ByCaption, reinterpret_cast<LPARAM>(&f));
    return f.found;
}

bool Busy()
{
    return g_ZTMain.hBusyDlg != nullptr;
}

void MouseClick(POINT pt, bool twice = false)
{
    int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    INPUT in[5];
    memset(in, 0, sizeof(in));
    for (INPUT& i : in) {
        i.type = INPUT_MOUSE;
        i.mi.dx = (pt.x * 65536 + w - 1) / w;
        i.mi.dy = (pt.y * 65536 + h - 1) / h;
        i.mi.dwFlags = MOUSEEVENTF_ABSOLUTE;
    }
    in[0].mi.dwFlags |= MOUSEEVENTF_MOVE;
    in[1].mi.dwFlags |= MOUSEEVENTF_LEFTDOWN;
    in[2].mi.dwFlags |= MOUSEEVENTF_LEFTUP;
    in[3].mi.dwFlags |= MOUSEEVENTF_LEFTDOWN;
    in[4].mi.dwFlags |= MOUSEEVENTF_LEFTUP;
    SendInput(twice ? 5 : 3, in, sizeof(INPUT));
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
    MouseClick(Centre(GetDlgItem(hParent, id)));
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
    MouseClick(pt);
}

// ---- Grid -------------------------------------------------------------------------------

int GridRows(HWND hGrid)
{
    tagLV_DATA* d = nullptr;
    if (!SendMessageA(hGrid, GRM_GETDATA, 0, reinterpret_cast<LPARAM>(&d)) || !d || !d->pRows)
        return 0;
    int n = 0;
    for (int i = 0; i < d->iLoaded + d->iAppended; i++)
        n += d->pRowPresent[i] ? 1 : 0;
    return n;
}

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
            if (w && State(w)->bTreeFilled && !w->bBusy && CountBox(hwnd) != "-1")
                break;
            Ui_Pump(20);
        }
        Ui_Pump(60);
        return hwnd;
    }
    static EST_WINDOW* State(ZT_MODWIN* w) { return static_cast<EST_WINDOW*>(w->pState); }
    static std::string CountBox(HWND hwnd)
    {
        HWND tb = Block_GetToolbar(hwnd);
        return tb ? Ui_Text(GetDlgItem(tb, IDC_RECORD_COUNT)) : "";
    }
    static POINT ButtonCentre(HWND hwnd, int cmd)
    {
        HWND tb = Block_GetToolbar(hwnd);
        RECT r = {0, 0, 0, 0};
        SendMessageA(tb, TB_GETRECT, cmd, reinterpret_cast<LPARAM>(&r));
        POINT pt = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        ClientToScreen(tb, &pt);
        return pt;
    }
    // The tree item with that text.
    static HTREEITEM TreeItem(HWND hTree, const char* text)
    {
        std::vector<HTREEITEM> todo = {reinterpret_cast<HTREEITEM>(SendMessageA(hTree, TVM_GETNEXTITEM, TVGN_ROOT, 0))};
        while (!todo.empty()) {
            HTREEITEM h = todo.back();
            todo.pop_back();
            for (; h; h = reinterpret_cast<HTREEITEM>(SendMessageA(hTree, TVM_GETNEXTITEM, TVGN_NEXT, (LPARAM)h))) {
                char buf[64] = "";
                TVITEMA it;
                memset(&it, 0, sizeof(it));
                it.mask = TVIF_TEXT | TVIF_HANDLE;
                it.hItem = h;
                it.pszText = buf;
                it.cchTextMax = sizeof(buf);
                SendMessageA(hTree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&it));
                if (strcmp(buf, text) == 0)
                    return h;
                HTREEITEM child = reinterpret_cast<HTREEITEM>(SendMessageA(hTree, TVM_GETNEXTITEM, TVGN_CHILD, (LPARAM)h));
                if (child)
                    todo.push_back(child);
            }
        }
        return nullptr;
    }
    static void ClickTreeItem(HWND hTree, HTREEITEM h)
    {
        RECT r;
        memcpy(&r, &h, sizeof(h));
        SendMessageA(hTree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&r));
        POINT pt = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        ClientToScreen(hTree, &pt);
        // Down and up at once: the tree follows the button in a loop of its own.
        MouseClick(pt);
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
              MouseClick({(ri.left + ri.right) / 2, (ri.top + ri.bottom) / 2});
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
    EXPECT_NE(TreeItem(st->hTree, "无锡"), nullptr);
    ASSERT_NE(st->pUrban, nullptr);
    EXPECT_STREQ(st->pUrban->szUrban, "姑苏区");
    EXPECT_EQ(GridRows(w->hGrid), 2);
    EXPECT_EQ(CountBox(hwnd), "2");

    // The user picks 工业园区.
    ClickTreeItem(st->hTree, TreeItem(st->hTree, "工业园区"));
    Ui_Pump(200);
    ASSERT_NE(st->pUrban, nullptr);
    EXPECT_EQ(st->pUrban->iOrdinal, 12);
    EXPECT_EQ(GridRows(w->hGrid), 1);
    EXPECT_EQ(CountBox(hwnd), "1");
    Ui_Screenshot("estate-window-before");

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
    stuck = RunSteps(add, [&]() {
        POINT pt = ButtonCentre(hwnd, ID_ESTATE_ADD);
        Ui_Click(pt.x, pt.y);
    });
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
    EXPECT_EQ(GridRows(w->hGrid), 2);
    EXPECT_EQ(CountBox(hwnd), "2");
    tagESTATE* rec = EstateWindow_Find(w, key);
    ASSERT_NE(rec, nullptr);
    EXPECT_STREQ(rec->szSpell, "CYA3");
    // The house forms' estate search finds it at once.
    tagESTLIST* listed = EstList_Find(&g_ZTMain, key);
    ASSERT_NE(listed, nullptr);
    EXPECT_STREQ(listed->szEstate, "翠苑a3");
    EXPECT_EQ(listed->iUrban, 12);
    EXPECT_EQ(g_ZTMain.nEst, 5);
    EXPECT_EQ(g_ZTMain.nEstSpare, 100);
    Ui_Screenshot("estate-window");

    // Double click on its row: the buildings; 3 to 5 added at once, one
    // modified, one deleted, and the freed slot taken by the next one.
    ASSERT_TRUE(SelectRecord(w->hGrid, rec));
    HWND bgrid = nullptr;
    void* deleted = nullptr;
    void* reused = nullptr;
    bool toDisabled = false;
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
             if (Dialog("增加栋座") || Busy() || GridRows(bgrid) != 3)
                 return false;
             range = TestDb_Query("select iBuildNO, iFloort, iLift, iHouse, szBuildType, szBuildStruct"
                                  " from t_buildno where iEst = " + std::to_string(key) + " order by iBuildNO");
             Ui_Screenshot("estate-dialog");
             MouseClick(RowCentre(bgrid, 0), true);       // double click: modify it
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
             if (Busy() || GridRows(bgrid) != 2)
                 return false;
             ClickControl(PageWith(Dialog("修改楼盘"), IDC_BNO_ADD), IDC_BNO_ADD);
             return true;
         }},
        {"number 9", [&]() {
             HWND f = Dialog("增加栋座");
             if (!f)
                 return false;
             SetDlgItemTextA(f, IDC_BNO_FROM, "9");
             ClickControl(f, IDOK);
             return true;
         }},
        {"it took the freed slot", [&]() {
             if (Dialog("增加栋座") || Busy() || GridRows(bgrid) != 3)
                 return false;
             SendMessageA(bgrid, GRM_MOVESEL, 0, LV_MOVE_FIRST);    // appended rows come on top
             reused = SelectedRecord(bgrid);
             return true;
         }},
        {"delete all", [&]() {
             if (Busy())
                 return false;
             if (GridRows(bgrid) == 0)
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
    POINT del = ButtonCentre(hwnd, ID_ESTATE_DELETE);
    Ui_Click(del.x, del.y);
    Ui_Pump(300);
    ASSERT_EQ(TestBoxes_Count(), 1u);
    EXPECT_EQ(TestBoxes_Taken()[0].text, "删除后将无法恢复,是否继续");
    EXPECT_EQ(Column("select bRecyle from t_estate where iOrdinal = " + k), "1");
    EXPECT_EQ(rec->iOrdinal, 0);
    EXPECT_EQ(GridRows(w->hGrid), 1);
    EXPECT_EQ(CountBox(hwnd), "1");
    EXPECT_EQ(EstList_Find(&g_ZTMain, key), nullptr);
    EXPECT_EQ(g_ZTMain.nEst, 4);
    EXPECT_EQ(g_ZTMain.nEstSpare, 101);
}

}  // namespace
