// The module window framework, driven as a user drives a module: opened
// from the main menu, loaded behind the busy dialog, records added and
// deleted, the context menu and a double click, buttons greyed by rights,
// and everything released on close.
#include "tests/support/window_driver.h"
#include "tests/module/position_module.h"
#include "app/shell/frame.h"
#include "app/resources/resource.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {


class ModuleTest : public ModuleWindowTest {
protected:
    static void SetUpTestSuite() { OpenWithModule("kelmora_module", &g_PositionModule); }
    void SetUp() override
    {
        TestDb_Exec("delete from t_position where iOrdinal > 3");
        TestDb_Exec("update t_position set bRecyle = 0");
        g_pos = PositionProbe();
        ModuleWindowTest::SetUp();
    }
    // Opens the module the way the frame does and waits for its first load.
    HWND Open()
    {
        Shell_Command(frame, POS_CMD_OPEN);
        WaitLoads(1);
        return Frame_FindChild("ZT_CHILD_TEST_PST");
    }
    void WaitLoads(int n)
    {
        for (int i = 0; i < 200 && g_pos.loads < n; i++)
            Ui_Pump(20);
        Ui_Pump(60);
    }
    static long long LivePositions() { return TestDb_Count("t_position where bRecyle = 0"); }
    // Screen point of a displayed grid row (0 = top).
    static POINT RowCentre(HWND hGrid, int row)
    {
        RECT rc = Ui_WindowRect(hGrid);
        POINT pt = {rc.left + 60, rc.top + GRID_HEADER_HEIGHT + row * GRID_ROW_HEIGHT + GRID_ROW_HEIGHT / 2 + 2};
        return pt;
    }
};

TEST_F(ModuleTest, UserOpensItFromTheMenuAndTheListLoadsOnAWorkerBehindTheBusyDialog)
{
    HMENU bar = GetMenu(frame);
    HMENU admin = GetSubMenu(bar, MAINPOS_ADMIN);
    ASSERT_TRUE(AppendMenuA(admin, MF_STRING, POS_CMD_OPEN, "职位一览"));
    RECT r;
    ASSERT_TRUE(GetMenuItemRect(frame, bar, MAINPOS_ADMIN, &r));
    g_pos.slowLoad = true;                      // a load that takes its time
    Ui_ClickMenuItemSoon(admin, POS_CMD_OPEN);
    Ui_Click((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    WaitLoads(1);
    g_pos.slowLoad = false;
    EXPECT_TRUE(Ui_MenuClicked());

    HWND hwnd = Frame_FindChild("ZT_CHILD_TEST_PST");
    ASSERT_NE(hwnd, nullptr);
    EXPECT_TRUE(IsZoomed(hwnd));
    ZT_MODWIN* w = Module_Of(hwnd);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(g_pos.loads, 1);
    EXPECT_NE(g_pos.loadThread, GetCurrentThreadId());
    EXPECT_TRUE(g_pos.frameHeld);                // no input while it loaded
    EXPECT_FALSE(g_pos.busyAtStart);             // the dialog only after a while
    EXPECT_TRUE(g_pos.busyShown);                // ... and then while it loaded
    EXPECT_EQ(g_pos.busyText, "数据查询....");
    EXPECT_EQ(g_ZTMain.hBusyDlg, nullptr);       // gone once the load is done

    EXPECT_EQ(w->rs.nRows, 3);
    EXPECT_EQ(w->rs.nSlots, 3 + 101);
    EXPECT_EQ(Shell_GridRows(w->hGrid), 3);
    EXPECT_EQ(Shell_CountBox(hwnd), "3");
    // The grid fills the window below the toolbar.
    RECT rg = Ui_WindowRect(w->hGrid), rw;
    GetClientRect(hwnd, &rw);
    EXPECT_EQ(rg.right - rg.left, rw.right);
    EXPECT_EQ(rg.bottom - rg.top, rw.bottom - Block_ToolbarHeight(hwnd));

    // Refresh (the toolbar's button) loads again and frees the old block.
    Shell_ClickButton(hwnd, ID_MODULE_REFRESH);
    WaitLoads(2);
    EXPECT_EQ(g_pos.loads, 2);
    EXPECT_EQ(g_pos.frees, 1);
    EXPECT_EQ(Shell_GridRows(w->hGrid), 3);
    Ui_Screenshot("module-window");
}

TEST_F(ModuleTest, AddTakesTheFirstFreeSlotAndDeleteAsksBeforeZeroingIt)
{
    HWND hwnd = Open();
    ZT_MODWIN* w = Module_Of(hwnd);
    ASSERT_NE(w, nullptr);
    tagPostion* recs = static_cast<tagPostion*>(w->rs.pBlock);

    g_pos.nextName = "出纳";
    Shell_ClickButton(hwnd, POS_CMD_ADD);
    Ui_Pump(100);
    ASSERT_NE(recs[3].iOrdinal, 0);
    EXPECT_STREQ(recs[3].szPST, "出纳");
    EXPECT_EQ(Shell_GridRows(w->hGrid), 4);
    EXPECT_EQ(Shell_CountBox(hwnd), "4");
    EXPECT_EQ(LivePositions(), 4);
    int key = recs[3].iOrdinal;

    // The added row sits on top: select it and delete it, first cancelling.
    SendMessageA(w->hGrid, GRM_MOVESEL, 0, LV_MOVE_FIRST);
    ASSERT_EQ(Module_Selected(w), &recs[3]);
    TestBoxes_Answer(IDCANCEL);
    Shell_ClickButton(hwnd, POS_CMD_DELETE);
    Ui_Pump(100);
    TestBoxes_ExpectOnly("删除后将无法恢复,是否继续");
    EXPECT_EQ(TestBoxes_Taken().at(0).caption, "删除确认");
    EXPECT_EQ(TestBoxes_Taken()[0].flags & 0xF, static_cast<UINT>(MB_OKCANCEL));
    EXPECT_EQ(recs[3].iOrdinal, key);
    EXPECT_EQ(LivePositions(), 4);

    TestBoxes_Answer(IDOK);
    Shell_ClickButton(hwnd, POS_CMD_DELETE);
    Ui_Pump(150);
    EXPECT_EQ(recs[3].iOrdinal, 0);
    EXPECT_EQ(recs[3].szPST[0], 0);
    EXPECT_EQ(Shell_GridRows(w->hGrid), 3);
    EXPECT_EQ(Shell_CountBox(hwnd), "3");
    EXPECT_EQ(TestDb_Scalar("select bRecyle from t_position where iOrdinal = " + std::to_string(key)), "1");
    EXPECT_EQ(LivePositions(), 3);
    EXPECT_NE(Module_Selected(w), &recs[3]);     // the selection moved on

    // The zeroed slot is the first free one again; the others are untouched.
    g_pos.nextName = "保洁";
    Shell_ClickButton(hwnd, POS_CMD_ADD);
    Ui_Pump(100);
    EXPECT_STREQ(recs[3].szPST, "保洁");
    EXPECT_EQ(recs[4].iOrdinal, 0);
    EXPECT_STREQ(recs[0].szPST, "总经理");
    EXPECT_EQ(Shell_CountBox(hwnd), "4");

    // A position an employee holds is refused by the library: the row stays.
    for (int i = 0; i < 4; i++)
        if (recs[i].iOrdinal == 1) {
            SendMessageA(w->hGrid, GRM_MOVESEL, 0, LV_MOVE_FIRST);
            while (Module_Selected(w) && Module_Selected(w) != &recs[i])
                if (!SendMessageA(w->hGrid, GRM_MOVESEL, 0, LV_MOVE_NEXT))
                    break;
        }
    ASSERT_EQ(static_cast<tagPostion*>(Module_Selected(w))->iOrdinal, 1);
    TestBoxes_Reset();
    Wd_CommandAnswered(hwnd, POS_CMD_DELETE, IDOK);
    EXPECT_GE(TestBoxes_Count(), 2u);           // the question, then the refusal
    EXPECT_EQ(recs[0].iOrdinal, 1);
    EXPECT_EQ(Shell_CountBox(hwnd), "4");

    // With every slot taken an added record is stored all the same: the box
    // says so and asks for a refresh; the block and the grid are unchanged.
    for (int i = 0; i < w->rs.nSlots; i++)
        if (!recs[i].iOrdinal)
            recs[i].iOrdinal = -1;
    TestBoxes_Reset();
    g_pos.nextName = "司机";
    Shell_ClickButton(hwnd, POS_CMD_ADD);
    Ui_Pump(100);
    TestBoxes_ExpectOnly("增加成功,本地内存错误刷新数据显示.");
    EXPECT_EQ(LivePositions(), 5);
    EXPECT_EQ(Shell_GridRows(w->hGrid), 4);
    for (int i = 0; i < w->rs.nSlots; i++)
        if (recs[i].iOrdinal == -1)
            recs[i].iOrdinal = 0;
}

TEST_F(ModuleTest, RightClickAndDoubleClickReachTheCommandTableWithTheRow)
{
    HWND hwnd = Open();
    ZT_MODWIN* w = Module_Of(hwnd);
    ASSERT_NE(w, nullptr);

    // Without a selection a command that needs one says so and does nothing.
    SendMessageA(hwnd, WM_COMMAND, POS_CMD_MODIFY, 0);
    TestBoxes_ExpectOnly("请选择要修改的职位");
    EXPECT_EQ(g_pos.modifies, 0);

    // Right click on the second row: popup "参数管理" of menu 120; its
    // "修改参数" reaches the module with that row.
    HMENU popup = GetSubMenu(g_ZTMain.hContextMenus, CTXPOS_PARAM);
    ASSERT_NE(popup, nullptr);
    POINT row = RowCentre(w->hGrid, 1);
    Ui_ClickMenuItemSoon(popup, POS_CMD_MODIFY);
    Wd_Click({row.x, row.y}, false, true);    // a right click
    Ui_Pump(700);
    EXPECT_TRUE(Ui_MenuClicked());
    ASSERT_EQ(g_pos.modifies, 1);
    EXPECT_EQ(g_pos.lastModified, Module_Selected(w));
    ASSERT_NE(g_pos.lastModified, nullptr);

    // A double click on the first row runs the double-click command.
    POINT first = RowCentre(w->hGrid, 0);
    Ui_Click(first.x, first.y);
    Ui_Click(first.x, first.y);
    Ui_Pump(150);
    EXPECT_EQ(g_pos.modifies, 2);
    EXPECT_EQ(g_pos.lastModified, Module_Selected(w));
    EXPECT_NE(g_pos.lastModified, nullptr);
    Ui_MouseTo(5, 5);
}

TEST_F(ModuleTest, ButtonsOfDeniedRightsAreGreyAndTheirCommandsDoNothing)
{
    g_pos.denyDelete = TRUE;
    HWND hwnd = Open();
    ZT_MODWIN* w = Module_Of(hwnd);
    ASSERT_NE(w, nullptr);
    HWND tb = Block_GetToolbar(hwnd);
    EXPECT_FALSE(SendMessageA(tb, TB_ISBUTTONENABLED, POS_CMD_DELETE, 0));
    EXPECT_TRUE(SendMessageA(tb, TB_ISBUTTONENABLED, POS_CMD_ADD, 0));
    EXPECT_TRUE(SendMessageA(tb, TB_ISBUTTONENABLED, ID_MODULE_REFRESH, 0));

    // The command still arrives from the frame or an accelerator: refused
    // without a question.
    SendMessageA(w->hGrid, GRM_MOVESEL, 0, LV_MOVE_LAST);
    ASSERT_NE(Module_Selected(w), nullptr);
    SendMessageA(frame, WM_COMMAND, POS_CMD_DELETE, 0);
    Ui_Pump(100);
    EXPECT_EQ(TestBoxes_Count(), 0u);
    EXPECT_EQ(LivePositions(), 3);
    EXPECT_EQ(Shell_GridRows(w->hGrid), 3);
}

// What the descriptor describes beyond the plain tables: a drop-down
// button's menu, rows that share a function through their arguments, the
// selection hook, and the message hook, which hears only what the tables
// and the shared commands leave.
TEST_F(ModuleTest, DropDownMenusArgumentsTheSelectionAndTheMessageHookComeFromTheDescriptor)
{
    HWND hwnd = Open();
    ZT_MODWIN* w = Module_Of(hwnd);
    ASSERT_NE(w, nullptr);

    // A selection reaches the hook with the record; a refresh clears it.
    g_pos.selChanges = 0;
    SendMessageA(w->hGrid, GRM_MOVESEL, 0, LV_MOVE_LAST);
    EXPECT_EQ(g_pos.selChanges, 1);
    ASSERT_NE(g_pos.lastSel, nullptr);
    EXPECT_EQ(g_pos.lastSel, Module_Selected(w));

    // The arrow of the drop-down button opens popup "参数管理"; its command
    // reaches the command table with the selected row.
    RECT rb = Shell_ButtonRect(hwnd, POS_CMD_MENU);
    Ui_ClickMenuItemSoon(GetSubMenu(g_ZTMain.hContextMenus, CTXPOS_PARAM), POS_CMD_MODIFY);
    Ui_Click(rb.right - 4, (rb.top + rb.bottom) / 2);
    Ui_Pump(200);
    EXPECT_TRUE(Ui_MenuClicked());
    ASSERT_EQ(g_pos.modifies, 1);
    EXPECT_EQ(g_pos.lastModified, Module_Selected(w));

    // Two rows, one function, each with its argument.
    SendMessageA(hwnd, WM_COMMAND, POS_CMD_TAG_B, 0);
    EXPECT_EQ(g_pos.lastArg, "乙");
    SendMessageA(hwnd, WM_COMMAND, POS_CMD_TAG_A, 0);
    EXPECT_EQ(g_pos.lastArg, "甲");

    int changes = g_pos.selChanges;
    Shell_ClickButton(hwnd, ID_MODULE_REFRESH);
    WaitLoads(2);
    EXPECT_GT(g_pos.selChanges, changes);
    EXPECT_EQ(g_pos.lastSel, nullptr);

    // None of those reached the message hook; a command of no row does.
    EXPECT_TRUE(g_pos.hookCommands.empty());
    SendMessageA(hwnd, WM_COMMAND, 40999, 0);
    EXPECT_EQ(g_pos.hookCommands, std::vector<int>{40999});
    EXPECT_EQ(TestBoxes_Count(), 0u);
}

TEST_F(ModuleTest, AFilterThatRefusesThePanelLoadsNothing)
{
    HWND hwnd = Open();
    ZT_MODWIN* w = Module_Of(hwnd);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(g_pos.filters, 1);
    g_pos.refuse = true;
    Shell_ClickButton(hwnd, ID_MODULE_REFRESH);
    Ui_Pump(150);
    EXPECT_EQ(g_pos.filters, 2);
    EXPECT_EQ(g_pos.loads, 1);
    EXPECT_EQ(g_pos.frees, 0);
    EXPECT_EQ(Shell_GridRows(w->hGrid), 3);
    EXPECT_EQ(Shell_CountBox(hwnd), "3");
    EXPECT_FALSE(Module_Refresh(w));

    g_pos.refuse = false;
    EXPECT_TRUE(Module_Refresh(w));
    EXPECT_EQ(g_pos.loads, 2);
}

TEST_F(ModuleTest, ClosingReleasesTheBlockOnlyAfterTheGridLetGo)
{
    HWND hwnd = Open();
    ASSERT_NE(hwnd, nullptr);
    SendMessageA(hwnd, WM_COMMAND, ID_MODULE_REFRESH, 0);
    EXPECT_EQ(g_pos.loads, 2);
    EXPECT_EQ(g_pos.frees, 1);

    Shell_ClickButton(hwnd, ID_MODULE_EXIT);
    Ui_Pump(100);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(Frame_FindChild("ZT_CHILD_TEST_PST"), nullptr);
    EXPECT_EQ(g_pos.frees, 2);
    EXPECT_EQ(g_pos.destroys, 1);
    EXPECT_TRUE(g_pos.gridClearedBeforeFree);

    // Opened again and closed with the frame: released as well.
    Open();
    Shell_DestroyFrame(frame);
    frame = nullptr;
    EXPECT_EQ(g_pos.frees, 3);
    EXPECT_EQ(g_pos.destroys, 2);
    EXPECT_TRUE(g_pos.gridClearedBeforeFree);
}

}  // namespace

namespace {

TEST_F(ModuleTest, AWindowClosedWhileItLoadsIsReleasedWhenTheLoadIsDone)
{
    g_pos.closeWhileLoading = true;
    Shell_Command(frame, POS_CMD_OPEN);
    WaitLoads(1);
    EXPECT_EQ(Frame_FindChild("ZT_CHILD_TEST_PST"), nullptr);
    EXPECT_EQ(g_pos.frees, 1);          // the block the load brought
    EXPECT_EQ(g_pos.destroys, 1);
    EXPECT_EQ(g_ZTMain.hBusyDlg, nullptr);
}

}  // namespace

namespace {

// ---- Loads the server holds up --------------------------------------------------------------

// What another thread saw while a load waited for the server.
struct HeldLoad {
    HWND frame = nullptr;
    DWORD start = 0;
    DWORD shownAfter = 0;        // ms until the busy dialog stood (0: never)
    bool frameDisabled = false;
    DWORD slowestAnswer = 0;     // the frame's slowest answer to a sent message
    int answers = 0;
};

DWORD WINAPI WatchHeldLoad(LPVOID pv)
{
    HeldLoad* h = static_cast<HeldLoad*>(pv);
    for (int i = 0; i < 300 && !h->shownAfter; i++) {
        DWORD a = GetTickCount();
        DWORD_PTR r = 0;
        if (SendMessageTimeoutA(h->frame, WM_NULL, 0, 0, SMTO_NORMAL, 2000, &r)) {
            h->answers++;
            h->slowestAnswer = std::max(h->slowestAnswer, GetTickCount() - a);
        }
        HWND busy = g_ZTMain.hBusyDlg;
        if (busy && IsWindowVisible(busy)) {
            h->shownAfter = GetTickCount() - h->start;
            h->frameDisabled = !IsWindowEnabled(h->frame);
        }
        Sleep(10);
    }
    Sleep(100);
    TestDb_Exec("unlock tables");
    return 0;
}

TEST_F(ModuleTest, ALoadTheServerHoldsUpShowsTheBusyDialogOnlyAfterTheDelayWhileTheFrameAnswers)
{
    HWND hwnd = Open();
    ZT_MODWIN* w = Module_Of(hwnd);
    ASSERT_NE(w, nullptr);
    DialogCounter dialogs;

    // A refresh the server answers at once makes no dialog at all.
    EXPECT_TRUE(Module_Refresh(w));
    EXPECT_EQ(dialogs.Made(), 0);
    EXPECT_TRUE(IsWindowEnabled(frame));

    // Another session holds the table: the load waits on its worker.
    TestDb_Exec("lock tables t_position write");
    HeldLoad held;
    held.frame = frame;
    held.start = GetTickCount();
    HANDLE watcher = CreateThread(nullptr, 0, WatchHeldLoad, &held, 0, nullptr);
    EXPECT_TRUE(Module_Refresh(w));
    WaitForSingleObject(watcher, 10000);
    CloseHandle(watcher);

    EXPECT_GE(held.shownAfter, static_cast<DWORD>(ZT_BUSY_DELAY_MS - 20));
    EXPECT_LT(held.shownAfter, static_cast<DWORD>(ZT_BUSY_DELAY_MS + 1500));
    EXPECT_TRUE(held.frameDisabled);
    EXPECT_GT(held.answers, 3);
    EXPECT_LT(held.slowestAnswer, 500u) << "the window thread waited";
    EXPECT_EQ(dialogs.Made(), 1);
    EXPECT_EQ(g_ZTMain.hBusyDlg, nullptr);
    EXPECT_TRUE(IsWindowEnabled(frame));
    EXPECT_EQ(Shell_GridRows(w->hGrid), 3);
}

}  // namespace
