// The building blocks of the module windows, in a plain host window.
#include "tests/support/window_driver.h"
#include "app/shell/blocks.h"
#include "app/resources/resource.h"
#include "grid/ZTListview.h"
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

class BlocksTest : public ControlHostTest {
protected:
    BlocksTest() : ControlHostTest(60, 60, 600, 400) {}
    void SetUp() override
    {
        Shell_Setup();
        TestBoxes_Reset();
        ControlHostTest::SetUp();
    }
};

struct ButtonsCall {
    HWND toolbar = nullptr;
    LPVOID arg = nullptr;
    int calls = 0;
};
ButtonsCall g_call;

void HouseLikeButtons(HWND hTb, LPVOID arg)
{
    g_call.toolbar = hTb;
    g_call.arg = arg;
    ++g_call.calls;
    Block_AddButton(hTb, 40153, ZTIMG_HOUSE_ALL, "全部", BTNS_DROPDOWN);
    Block_AddButton(hTb, 40064, ZTIMG_HOUSE_ADD, "增加房源");
    Block_AddSeparator(hTb);
    Block_AddButton(hTb, 19, ZTIMG_REFRESH, "刷新");
    Block_AddButton(hTb, 18, ZTIMG_EXIT, nullptr);
    Block_AddCountBox(hTb);
}

// Draws image i of the list on white and reads the pixels back.
Shot DrawImage(HIMAGELIST il, int i)
{
    Canvas c(16, 15);
    ImageList_Draw(il, i, c.dc(), 0, 0, ILD_TRANSPARENT);
    return c.Picture();
}

int CountColour(const Shot& s, uint32_t c)
{
    int n = 0;
    for (uint32_t p : s.px)
        n += p == c;
    return n;
}

TEST_F(BlocksTest, ToolbarInARebarWithImagesTooltipsAndCountBox)
{
    g_call = ButtonsCall();
    int cookie = 7;
    HWND rebar = Block_Toolbar(host, &g_ZTMain, HouseLikeButtons, &cookie);
    ASSERT_NE(rebar, nullptr);
    EXPECT_EQ(GetDlgItem(host, IDC_REBAR), rebar);
    EXPECT_EQ(Shell_Class(rebar), "ReBarWindow32");
    EXPECT_TRUE(GetWindowLongA(rebar, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);

    HWND tb = Block_GetToolbar(host);
    ASSERT_NE(tb, nullptr);
    EXPECT_EQ(GetDlgCtrlID(tb), IDC_TOOLBAR);
    EXPECT_EQ(Shell_Class(tb), "ToolbarWindow32");
    LONG style = GetWindowLongA(tb, GWL_STYLE);
    EXPECT_TRUE(style & TBSTYLE_FLAT);
    EXPECT_TRUE(style & TBSTYLE_TOOLTIPS);
    EXPECT_NE(SendMessageA(tb, TB_GETTOOLTIPS, 0, 0), 0);

    // The button procedure ran once with the toolbar and its argument.
    EXPECT_EQ(g_call.calls, 1);
    EXPECT_EQ(g_call.toolbar, tb);
    EXPECT_EQ(g_call.arg, &cookie);
    EXPECT_EQ(SendMessageA(tb, TB_BUTTONCOUNT, 0, 0), 6);

    // Images 16 x 15 from the strip, one per image of the strip.
    HIMAGELIST il = reinterpret_cast<HIMAGELIST>(SendMessageA(tb, TB_GETIMAGELIST, 0, 0));
    ASSERT_NE(il, nullptr);
    int cx = 0, cy = 0;
    ImageList_GetIconSize(il, &cx, &cy);
    EXPECT_EQ(cx, 16);
    EXPECT_EQ(cy, 15);
    EXPECT_EQ(ImageList_GetImageCount(il), ZTIMG_COUNT);

    // One band, at least 350 x 23, holding the toolbar.
    EXPECT_EQ(SendMessageA(rebar, RB_GETBANDCOUNT, 0, 0), 1);
    REBARBANDINFOA band;
    memset(&band, 0, sizeof(band));
    band.cbSize = sizeof(band);
    band.fMask = RBBIM_CHILD | RBBIM_CHILDSIZE;
    ASSERT_TRUE(SendMessageA(rebar, RB_GETBANDINFOA, 0, reinterpret_cast<LPARAM>(&band)));
    EXPECT_EQ(band.hwndChild, tb);
    EXPECT_EQ(band.cxMinChild, 350u);
    EXPECT_EQ(band.cyMinChild, 23u);

    // The count box right of the buttons, "-1" until told.
    HWND box = GetDlgItem(tb, IDC_RECORD_COUNT);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(Ui_Text(box), "-1");
    RECT last;
    SendMessageA(tb, TB_GETITEMRECT, 4, reinterpret_cast<LPARAM>(&last));
    RECT rb = Ui_WindowRect(box);
    MapWindowPoints(nullptr, tb, reinterpret_cast<POINT*>(&rb), 2);
    EXPECT_GE(rb.left, last.right);
    Block_SetRecordCount(host, 42);
    EXPECT_EQ(Ui_Text(box), "42");
    Block_SetRecordCount(host, 0);
    EXPECT_EQ(Ui_Text(box), "0");
    // A window without a toolbar: nothing happens.
    Block_SetRecordCount(nullptr, 3);

    // Disabling by command.
    Block_EnableButton(host, 40064, FALSE);
    EXPECT_FALSE(SendMessageA(tb, TB_ISBUTTONENABLED, 40064, 0));
    Block_EnableButton(host, 40064, TRUE);
    EXPECT_TRUE(SendMessageA(tb, TB_ISBUTTONENABLED, 40064, 0));
}

TEST_F(BlocksTest, EveryToolbarKeepsMagentaTransparent)
{
    // The strip is shared: the second toolbar must still find its mask colour.
    for (int round = 0; round < 2; round++) {
        HWND owner = Ui_Child(host, "ZtTestHost", 0, 0, round * 100, 500, 80, 500 + round);
        ASSERT_NE(Block_Toolbar(owner, &g_ZTMain, HouseLikeButtons, nullptr), nullptr);
        HIMAGELIST il = reinterpret_cast<HIMAGELIST>(SendMessageA(Block_GetToolbar(owner), TB_GETIMAGELIST, 0, 0));
        ASSERT_NE(il, nullptr);
        for (int i : {static_cast<int>(ZTIMG_REFRESH), static_cast<int>(ZTIMG_HOUSE_ADD)}) {
            Shot s = DrawImage(il, i);
            EXPECT_EQ(CountColour(s, 0xFF00FF), 0) << "round " << round << " image " << i;
            EXPECT_GT(CountColour(s, 0xFFFFFF), 16) << "round " << round << " image " << i;
            EXPECT_GT(16 * 15 - CountColour(s, 0xFFFFFF), 16) << "round " << round << " image " << i;
        }
    }
    BITMAP bm;
    ASSERT_TRUE(GetObjectA(g_ZTMain.hToolbarBmp, sizeof(bm), &bm));
    EXPECT_EQ(bm.bmWidth, 16 * ZTIMG_COUNT);
}

TEST_F(BlocksTest, ClosingAModuleWindowReleasesItsToolbarImages)
{
    // Every module window builds a toolbar; opening and closing it again and
    // again must not leave an image list with its bitmaps behind each time.
    HBITMAP images[3] = {nullptr, nullptr, nullptr};
    for (int round = 0; round < 3; round++) {
        HWND owner = Ui_Child(host, "ZtTestHost", 0, 0, 0, 500, 80, 600 + round);
        ASSERT_NE(Block_Toolbar(owner, &g_ZTMain, HouseLikeButtons, nullptr), nullptr);
        HIMAGELIST il = reinterpret_cast<HIMAGELIST>(SendMessageA(Block_GetToolbar(owner), TB_GETIMAGELIST, 0, 0));
        ASSERT_NE(il, nullptr);
        IMAGEINFO info;
        memset(&info, 0, sizeof(info));
        ASSERT_TRUE(ImageList_GetImageInfo(il, 0, &info));
        images[round] = info.hbmImage;
        ASSERT_EQ(GetObjectType(images[round]), static_cast<DWORD>(OBJ_BITMAP));
        DestroyWindow(owner);
        Ui_Pump(20);
        EXPECT_EQ(GetObjectType(images[round]), 0u) << "round " << round << ": the image list outlived its toolbar";
    }
    // The shared strip itself stays for the next toolbar.
    EXPECT_EQ(GetObjectType(g_ZTMain.hToolbarBmp), static_cast<DWORD>(OBJ_BITMAP));
}

TEST_F(BlocksTest, ToolbarButtonClickReachesTheOwner)
{
    ASSERT_NE(Block_Toolbar(host, &g_ZTMain, HouseLikeButtons, nullptr), nullptr);
    Block_Layout(host, 0, 0, 0, 0);
    Ui_Pump(60);
    HWND tb = Block_GetToolbar(host);
    RECT r;
    ASSERT_TRUE(SendMessageA(tb, TB_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&r)));   // "刷新"
    POINT pt = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ClientToScreen(tb, &pt);
    Ui_Click(pt.x, pt.y);
    Ui_Pump(60);
    EXPECT_EQ(Ui_CountCommand(19, 0), 1);
    Ui_MouseTo(5, 5);
}

TEST_F(BlocksTest, GridTreeAndSplittersWithTheirIdsAndStyles)
{
    HWND grid = Block_Grid(host, &g_ZTMain);
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(Shell_Class(grid), "ZT_CTL_LISTVIEW");
    EXPECT_EQ(GetDlgCtrlID(grid), IDC_GRID);
    EXPECT_TRUE(GetWindowLongA(grid, GWL_EXSTYLE) & WS_EX_STATICEDGE);
    LONG gs = GetWindowLongA(grid, GWL_STYLE);
    EXPECT_TRUE(gs & WS_BORDER);
    EXPECT_TRUE(gs & WS_CLIPSIBLINGS);
    EXPECT_TRUE(gs & WS_VISIBLE);

    // The grid shows the block's cursor over a column border.
    MoveWindow(grid, 10, 10, 400, 200, TRUE);
    tagLV_COLUMN col;
    memset(&col, 0, sizeof(col));
    col.iId = 1;
    col.iWidth = 100;
    lstrcpyA(col.szCaption, "编号");
    col.iType = LVT_INT;
    col.iShown = 1;
    ASSERT_TRUE(SendMessageA(grid, GRM_ADDCOLUMN, 0, reinterpret_cast<LPARAM>(&col)));
    Ui_Pump(40);
    ASSERT_NE(g_ZTMain.hGridCursor, nullptr);
    RECT rg = Ui_WindowRect(grid);
    RECT cg;
    GetClientRect(grid, &cg);
    POINT border = {100, 10};
    ClientToScreen(grid, &border);
    Ui_MouseTo(border.x - 1, border.y);
    Ui_MouseTo(border.x, border.y);
    Ui_Pump(60);
    EXPECT_EQ(GetCursor(), g_ZTMain.hGridCursor);
    Ui_MouseTo(rg.left + 50, rg.top + cg.bottom - 10);
    Ui_Pump(60);
    EXPECT_NE(GetCursor(), g_ZTMain.hGridCursor);
    Ui_MouseTo(5, 5);

    HWND tree = Block_Tree(host);
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(Shell_Class(tree), "SysTreeView32");
    EXPECT_EQ(GetDlgCtrlID(tree), IDC_TREE);
    EXPECT_TRUE(GetWindowLongA(tree, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    LONG ts = GetWindowLongA(tree, GWL_STYLE);
    EXPECT_EQ(ts & (TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT),
              static_cast<LONG>(TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT));

    EXPECT_EQ(Shell_Class(Block_Splitter(host, 5)), "ZT_CTL_VSPLITTER");
    EXPECT_EQ(Shell_Class(Block_Splitter(host, 6)), "ZT_CTL_VSPLITTER");
    EXPECT_EQ(Shell_Class(Block_Splitter(host, 7)), "ZT_CTL_HSPLITTER");
    EXPECT_EQ(Shell_Class(Block_Splitter(host, 8)), "ZT_CTL_HSPLITTER");
    EXPECT_EQ(Block_Splitter(host, 9), nullptr);
}

TEST_F(BlocksTest, LayoutPlacesTheSplittersAroundThePanes)
{
    ASSERT_NE(Block_Toolbar(host, &g_ZTMain, HouseLikeButtons, nullptr), nullptr);
    HWND s5 = Block_Splitter(host, 5), s6 = Block_Splitter(host, 6);
    HWND s7 = Block_Splitter(host, 7), s8 = Block_Splitter(host, 8);
    Block_Layout(host, 150, 200, 60, 80);
    Ui_Pump(40);
    RECT rc;
    GetClientRect(host, &rc);
    int top = Block_ToolbarHeight(host);
    EXPECT_GE(top, 23);
    RECT rr = InHost(GetDlgItem(host, IDC_REBAR));
    EXPECT_EQ(rr.top, 0);
    EXPECT_EQ(rr.right - rr.left, rc.right);

    RECT r5 = InHost(s5), r6 = InHost(s6), r7 = InHost(s7), r8 = InHost(s8);
    EXPECT_EQ(r5.left, 150);
    EXPECT_EQ(r5.right - r5.left, 2);
    EXPECT_EQ(r5.top, top);
    EXPECT_EQ(r5.bottom, rc.bottom);
    EXPECT_EQ(r6.left, rc.right - 200);
    EXPECT_EQ(r6.right - r6.left, 2);
    EXPECT_EQ(r7.top, top + 60);
    EXPECT_EQ(r7.bottom - r7.top, 2);
    EXPECT_EQ(r7.left, 0);
    EXPECT_EQ(r7.right, rc.right);
    EXPECT_EQ(r8.top, rc.bottom - 80);
    EXPECT_EQ(r8.bottom - r8.top, 2);
    EXPECT_EQ(r8.left, r5.right);
    EXPECT_EQ(r8.right, r6.left);

    // Following a resize of the window.
    SetWindowPos(host, nullptr, 0, 0, 700, 500, SWP_NOMOVE | SWP_NOZORDER);
    Block_Layout(host, 150, 200, 60, 80);
    Ui_Pump(40);
    GetClientRect(host, &rc);
    EXPECT_EQ(InHost(s6).left, rc.right - 200);
    EXPECT_EQ(InHost(s8).top, rc.bottom - 80);
    EXPECT_EQ(InHost(s7).right, rc.right);
}

// ---- Context menu ---------------------------------------------------------------------------

RECT g_popupRect;
bool g_popupSeen = false;

void CALLBACK ChooseFirstItem(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    HWND pop = Ui_ThreadWindow("#32768");
    g_popupSeen = pop != nullptr;
    if (pop)
        g_popupRect = Ui_WindowRect(pop);
    INPUT in[4];
    memset(in, 0, sizeof(in));
    UINT keys[2] = {VK_DOWN, VK_RETURN};
    for (int i = 0; i < 2; i++) {
        in[i * 2].type = INPUT_KEYBOARD;
        in[i * 2].ki.wVk = static_cast<WORD>(keys[i]);
        in[i * 2 + 1].type = INPUT_KEYBOARD;
        in[i * 2 + 1].ki.wVk = static_cast<WORD>(keys[i]);
        in[i * 2 + 1].ki.dwFlags = KEYEVENTF_KEYUP;
    }
    SendInput(4, in, sizeof(INPUT));
}

void CALLBACK CloseMenu(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    EndMenu();
}

TEST_F(BlocksTest, ContextMenuShowsPopupNAtTheCursorAndSendsTheChoice)
{
    const int n = 7;   // houses
    HMENU pop = GetSubMenu(g_ZTMain.hContextMenus, n);
    ASSERT_NE(pop, nullptr);
    // The first item the keyboard reaches.
    UINT first = 0;
    for (int i = 0; i < GetMenuItemCount(pop); i++) {
        UINT st = GetMenuState(pop, i, MF_BYPOSITION);
        if (!(st & (MF_SEPARATOR | MF_GRAYED | MF_DISABLED | MF_POPUP))) {
            first = GetMenuItemID(pop, i);
            break;
        }
    }
    ASSERT_NE(first, 0u);

    POINT c = Ui_Centre(host);
    Ui_MouseTo(c.x, c.y);
    g_popupSeen = false;
    SetTimer(nullptr, 0, 300, ChooseFirstItem);
    EXPECT_TRUE(Block_ContextMenu(host, &g_ZTMain, n));
    Ui_Pump(100);
    EXPECT_TRUE(g_popupSeen);
    EXPECT_NEAR(g_popupRect.left, c.x, 2);
    EXPECT_NEAR(g_popupRect.top, c.y, 2);
    EXPECT_EQ(Ui_CountCommand(static_cast<int>(first), 0), 1);

    // Closed without a choice: no command.
    Ui_ClearEvents();
    SetTimer(nullptr, 0, 300, CloseMenu);
    EXPECT_TRUE(Block_ContextMenu(host, &g_ZTMain, n));
    Ui_Pump(60);
    EXPECT_TRUE(Ui_Events().empty());

    EXPECT_FALSE(Block_ContextMenu(host, &g_ZTMain, 40));
    Ui_MouseTo(5, 5);
}

TEST_F(BlocksTest, MenuItemGreysAndEnablesByCommandInSubMenus)
{
    HMENU menu = LoadMenuA(g_ZTMain.hInst, MAKEINTRESOURCEA(IDM_MAIN));
    ASSERT_NE(menu, nullptr);
    Block_MenuItem(menu, IDM_HOUSE, FALSE);
    EXPECT_TRUE(GetMenuState(menu, IDM_HOUSE, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_FALSE(GetMenuState(menu, IDM_CLIENT, MF_BYCOMMAND) & MF_GRAYED);
    Block_MenuItem(menu, IDM_HOUSE, TRUE);
    EXPECT_FALSE(GetMenuState(menu, IDM_HOUSE, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED));
    Block_MenuItem(nullptr, IDM_HOUSE, FALSE);
    DestroyMenu(menu);
}

// ---- Delete confirmation ----------------------------------------------------------------------

TEST_F(BlocksTest, DeleteConfirmationAsksOkCancelAndCancelAbandons)
{
    TestBoxes_Answer(IDOK);
    EXPECT_TRUE(Block_ConfirmDelete(host));
    TestBoxes_Answer(IDCANCEL);
    EXPECT_FALSE(Block_ConfirmDelete(host));
    auto boxes = TestBoxes_Taken();
    ASSERT_EQ(boxes.size(), 2u);
    for (auto& b : boxes) {
        EXPECT_EQ(b.text, "删除后将无法恢复,是否继续");
        EXPECT_EQ(b.caption, "删除确认");
        EXPECT_EQ(b.flags & MB_TYPEMASK, static_cast<UINT>(MB_OKCANCEL));
        EXPECT_EQ(b.owner, host);
    }
}

// ---- Busy dialog ----------------------------------------------------------------------------

struct BusySeen {
    HWND dlg = nullptr;
    bool visible = false;
    std::string text;
    std::string cancelText;
    bool ownerEnabled = true;
    bool stillThereAfterCancel = false;
    LPVOID arg = nullptr;
    DWORD thread = 0;
    volatile LONG finished = 0;
};
BusySeen g_busy;

DWORD WINAPI SlowTask(LPVOID arg)
{
    g_busy.arg = arg;
    g_busy.thread = GetCurrentThreadId();
    HWND dlg = nullptr;
    for (int i = 0; i < 100 && !dlg; i++) {
        dlg = g_ZTMain.hBusyDlg;
        if (!dlg || !IsWindowVisible(dlg)) {
            dlg = nullptr;
            Sleep(20);
        }
    }
    g_busy.dlg = dlg;
    if (dlg) {
        g_busy.visible = IsWindowVisible(dlg) != FALSE;
        char buf[64] = "";
        GetDlgItemTextA(dlg, IDC_PROGRESS_TEXT, buf, sizeof(buf));
        g_busy.text = buf;
        g_busy.ownerEnabled = IsWindowEnabled(GetWindow(dlg, GW_OWNER)) != FALSE;
        // The user presses Cancel: nothing happens.
        SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        Sleep(100);
        g_busy.stillThereAfterCancel = IsWindow(dlg) && IsWindowVisible(dlg);
    }
    Sleep(100);
    InterlockedExchange(&g_busy.finished, 1);
    SendMessageA(g_ZTMain.hBusyDlg, WM_CLOSE, 0, 0);
    Sleep(150);   // the dialog is gone; the caller still waits for the thread
    InterlockedExchange(&g_busy.finished, 2);
    return 0;
}

DWORD WINAPI QuickTask(LPVOID)
{
    SendMessageA(g_ZTMain.hBusyDlg, WM_CLOSE, 0, 0);
    return 0;
}

TEST_F(BlocksTest, BusyDialogRunsItsTaskOnAThreadAndEndsOnClose)
{
    g_busy = BusySeen();
    int arg = 5;
    EXPECT_TRUE(Block_RunBusy(host, &g_ZTMain, SlowTask, &arg));
    EXPECT_EQ(g_busy.finished, 2);                  // the task's thread had ended
    ASSERT_NE(g_busy.dlg, nullptr);
    EXPECT_TRUE(g_busy.visible);
    EXPECT_EQ(g_busy.text, "数据查询....");
    EXPECT_FALSE(g_busy.ownerEnabled);              // modal over the owner
    EXPECT_TRUE(g_busy.stillThereAfterCancel);
    EXPECT_EQ(g_busy.arg, &arg);
    EXPECT_NE(g_busy.thread, GetCurrentThreadId());
    EXPECT_FALSE(IsWindow(g_busy.dlg));
    EXPECT_TRUE(IsWindowEnabled(host));
    EXPECT_EQ(g_ZTMain.hBusyDlg, nullptr);
    EXPECT_EQ(g_ZTMain.pfnBusy, nullptr);

    // A task that is done at once.
    EXPECT_TRUE(Block_RunBusy(host, &g_ZTMain, QuickTask, nullptr));
    EXPECT_TRUE(Block_RunBusy(host, &g_ZTMain, QuickTask, nullptr));
    EXPECT_FALSE(Block_RunBusy(host, &g_ZTMain, nullptr, nullptr));
    EXPECT_EQ(TestBoxes_Count(), 0u);
}

// The user tries every way to close the busy dialog while its task runs.
struct CloseAttempts {
    HWND dlg = nullptr;
    bool afterAltF4 = false, afterEsc = false, afterCancel = false, afterSysClose = false;
};
CloseAttempts g_attempts;

bool StillShown(HWND dlg)
{
    Sleep(200);
    return IsWindow(dlg) && IsWindowVisible(dlg);
}

void RealKeys(std::initializer_list<std::pair<WORD, bool>> keys)
{
    for (const auto& k : keys) {
        INPUT in;
        memset(&in, 0, sizeof in);
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = k.first;
        in.ki.dwFlags = k.second ? 0 : KEYEVENTF_KEYUP;
        SendInput(1, &in, sizeof in);
    }
}

DWORD WINAPI UserTriesToClose(LPVOID)
{
    HWND dlg = nullptr;
    for (int i = 0; i < 100 && !(dlg && IsWindowVisible(dlg)); i++) {
        Sleep(20);
        dlg = g_ZTMain.hBusyDlg;
    }
    g_attempts.dlg = dlg;
    if (!dlg)
        return 0;
    RealKeys({{VK_MENU, true}, {VK_F4, true}, {VK_F4, false}, {VK_MENU, false}});
    g_attempts.afterAltF4 = StillShown(dlg);
    RealKeys({{VK_ESCAPE, true}, {VK_ESCAPE, false}});
    g_attempts.afterEsc = StillShown(dlg);
    PostMessageA(GetDlgItem(dlg, IDCANCEL), BM_CLICK, 0, 0);
    g_attempts.afterCancel = StillShown(dlg);
    PostMessageA(dlg, WM_SYSCOMMAND, SC_CLOSE, 0);
    g_attempts.afterSysClose = StillShown(dlg);
    SendMessageA(g_ZTMain.hBusyDlg, WM_CLOSE, 0, 0);   // the task is done
    return 0;
}

TEST_F(BlocksTest, BusyDialogClosesOnlyWhenItsTaskIsDone)
{
    g_attempts = CloseAttempts();
    SetForegroundWindow(host);
    EXPECT_TRUE(Block_RunBusy(host, &g_ZTMain, UserTriesToClose, nullptr));
    ASSERT_NE(g_attempts.dlg, nullptr);
    EXPECT_TRUE(g_attempts.afterAltF4);
    EXPECT_TRUE(g_attempts.afterEsc);
    EXPECT_TRUE(g_attempts.afterCancel);
    EXPECT_TRUE(g_attempts.afterSysClose);
    EXPECT_FALSE(IsWindow(g_attempts.dlg));
    EXPECT_TRUE(IsWindowEnabled(host));
}

// ---- The delay before the busy dialog -----------------------------------------------------------

// Input for the host posted as the user's keys and clicks would arrive.
void PostUserInput(HWND edit, HWND button)
{
    PostMessageA(edit, WM_KEYDOWN, 'Q', 0);
    PostMessageA(edit, WM_CHAR, 'q', 0);
    PostMessageA(edit, WM_KEYUP, 'Q', 0);
    PostMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    PostMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
}

// Keys typed and a click at pt on the real keyboard and mouse, from any
// thread (letters only).
void RealInput(const char* keys, POINT pt)
{
    std::vector<INPUT> in;
    for (const char* k = keys; *k; ++k)
        for (DWORD up : {0ul, static_cast<unsigned long>(KEYEVENTF_KEYUP)}) {
            INPUT i;
            memset(&i, 0, sizeof i);
            i.type = INPUT_KEYBOARD;
            i.ki.wVk = static_cast<WORD>(*k - 'a' + 'A');
            i.ki.dwFlags = up;
            in.push_back(i);
        }
    int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    for (DWORD f : {MOUSEEVENTF_MOVE, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}) {
        INPUT i;
        memset(&i, 0, sizeof i);
        i.type = INPUT_MOUSE;
        i.mi.dx = (pt.x * 65536 + w - 1) / w;
        i.mi.dy = (pt.y * 65536 + h - 1) / h;
        i.mi.dwFlags = f | MOUSEEVENTF_ABSOLUTE;
        in.push_back(i);
    }
    SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
}

TEST_F(BlocksTest, AShortTaskMakesNoDialogAndTheWindowTakesNoInputUntilItIsDone)
{
    HWND edit = Ui_Child(host, "EDIT", WS_BORDER, 10, 10, 200, 24, 501);
    HWND button = Ui_Child(host, "BUTTON", BS_PUSHBUTTON, 10, 50, 120, 28, 502, "按钮");
    SetFocus(edit);
    Ui_Pump(30);
    DialogCounter dialogs;
    bool enabledMeanwhile = true;
    HWND dlgMeanwhile = reinterpret_cast<HWND>(1);
    int r = Block_RunTask(host, &g_ZTMain, [&] {
        enabledMeanwhile = IsWindowEnabled(host) != FALSE;
        PostUserInput(edit, button);
        RealInput("abc", Ui_Centre(button));      // the real keyboard and mouse
        Sleep(120);                               // the window thread takes what arrived
        dlgMeanwhile = g_ZTMain.hBusyDlg;
        return 7;
    });
    EXPECT_EQ(r, 7);
    EXPECT_FALSE(enabledMeanwhile);
    EXPECT_EQ(dlgMeanwhile, nullptr);
    EXPECT_EQ(dialogs.Made(), 0);
    Ui_Pump(60);
    EXPECT_EQ(Ui_Text(edit), "");                 // nothing typed reached the box
    EXPECT_EQ(Ui_CountCommand(502, BN_CLICKED), 0);
    EXPECT_TRUE(IsWindowEnabled(host));
    EXPECT_EQ(GetFocus(), edit);
    EXPECT_EQ(g_ZTMain.pfnBusy, nullptr);

    // Afterwards the window takes input as before.
    Ui_RealType("x");
    Ui_Pump(60);
    EXPECT_EQ(Ui_Text(edit), "x");
    Ui_MouseTo(5, 5);
}

// What a long task saw of the window thread while it ran.
struct LongRun {
    HWND edit = nullptr, button = nullptr;
    DWORD shownAfter = 0;        // ms until the dialog stood (0: never)
    HWND dlg = nullptr;
    std::string text;
    bool ownerDisabled = false;
    DWORD slowestAnswer = 0;     // the host's slowest answer to a sent message
    int answers = 0;
};
LongRun g_long;
int g_ticks = 0;

void CALLBACK CountTick(HWND, UINT, UINT_PTR, DWORD)
{
    g_ticks++;
}

DWORD WINAPI LongTask(LPVOID)
{
    LongRun& l = g_long;
    DWORD start = GetTickCount();
    PostUserInput(l.edit, l.button);
    while (GetTickCount() - start < ZT_BUSY_DELAY_MS + 400) {
        DWORD a = GetTickCount();
        DWORD_PTR r = 0;
        if (SendMessageTimeoutA(l.edit, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 2000, &r)) {
            l.answers++;
            l.slowestAnswer = std::max(l.slowestAnswer, GetTickCount() - a);
        }
        HWND dlg = g_ZTMain.hBusyDlg;
        if (!l.shownAfter && dlg && IsWindowVisible(dlg)) {
            l.shownAfter = GetTickCount() - start;
            l.dlg = dlg;
            char buf[64] = "";
            GetDlgItemTextA(dlg, IDC_PROGRESS_TEXT, buf, sizeof(buf));
            l.text = buf;
            l.ownerDisabled = !IsWindowEnabled(GetWindow(dlg, GW_OWNER));
            PostUserInput(l.edit, l.button);      // with the dialog standing too
        }
        Sleep(10);
    }
    return 0;
}

TEST_F(BlocksTest, ALongTaskShowsTheDialogAfterTheDelayWhileTheWindowThreadKeepsAnswering)
{
    g_long = LongRun();
    g_long.edit = Ui_Child(host, "EDIT", WS_BORDER, 10, 10, 200, 24, 501);
    g_long.button = Ui_Child(host, "BUTTON", BS_PUSHBUTTON, 10, 50, 120, 28, 502, "按钮");
    g_ticks = 0;
    SetTimer(host, 77, 20, CountTick);
    DialogCounter dialogs;
    DWORD start = GetTickCount();
    EXPECT_TRUE(Block_RunBusy(host, &g_ZTMain, LongTask, nullptr));
    DWORD took = GetTickCount() - start;
    KillTimer(host, 77);

    EXPECT_GE(g_long.shownAfter, static_cast<DWORD>(ZT_BUSY_DELAY_MS - 20));
    EXPECT_LT(g_long.shownAfter, static_cast<DWORD>(ZT_BUSY_DELAY_MS + 300));
    EXPECT_EQ(g_long.text, "数据查询....");
    EXPECT_TRUE(g_long.ownerDisabled);
    EXPECT_EQ(dialogs.Made(), 1);
    EXPECT_FALSE(IsWindow(g_long.dlg));
    EXPECT_EQ(g_ZTMain.hBusyDlg, nullptr);
    EXPECT_TRUE(IsWindowEnabled(host));
    // Nothing waited: messages sent to the window thread were answered at
    // once and its timer kept ticking.
    EXPECT_GT(g_long.answers, 10);
    EXPECT_LT(g_long.slowestAnswer, 150u);
    EXPECT_GT(g_ticks, static_cast<int>(took / 20 / 3));
    // What the user typed and clicked meanwhile was refused.
    Ui_Pump(60);
    EXPECT_EQ(Ui_Text(g_long.edit), "");
    EXPECT_EQ(Ui_CountCommand(502, BN_CLICKED), 0);
}

// A task that asks the user something at once, and again once the busy
// dialog stands: its box (here a plain window of the task's thread, as a
// message box is) is never under the busy dialog.
struct AskingRun {
    bool dialogWhileFirstBox = true;     // the busy dialog stood while the first box was up
    bool dialogAfterFirstBox = false;    // ... and came once it was answered
    bool dialogWhileSecondBox = true;
    bool dialogAfterSecondBox = false;
};
AskingRun g_asking;

bool BusyShown()
{
    return g_ZTMain.hBusyDlg && IsWindowVisible(g_ZTMain.hBusyDlg);
}

// Keeps a box up for ms, pumping its thread as a message box does; whether
// the busy dialog stood meanwhile.
bool BoxUp(DWORD ms)
{
    HWND box = CreateWindowExA(0, "STATIC", "请确认", WS_POPUP | WS_VISIBLE | WS_CAPTION, 300, 300, 200, 100,
                               nullptr, nullptr, nullptr, nullptr);
    bool shown = false;
    for (DWORD t0 = GetTickCount(); GetTickCount() - t0 < ms;) {
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&m);
        Sleep(10);
        // (After a first look: the busy dialog may take one look to go.)
        if (GetTickCount() - t0 > 150)
            shown = shown || BusyShown();
    }
    DestroyWindow(box);
    return shown;
}

bool WaitBusyShown(DWORD ms)
{
    for (DWORD t0 = GetTickCount(); GetTickCount() - t0 < ms; Sleep(10))
        if (BusyShown())
            return true;
    return false;
}

DWORD WINAPI AskingTask(LPVOID)
{
    g_asking.dialogWhileFirstBox = BoxUp(3 * ZT_BUSY_DELAY_MS);
    g_asking.dialogAfterFirstBox = WaitBusyShown(2000);
    g_asking.dialogWhileSecondBox = BoxUp(3 * ZT_BUSY_DELAY_MS);
    g_asking.dialogAfterSecondBox = WaitBusyShown(2000);
    return 0;
}

TEST_F(BlocksTest, ABoxOfTheTaskIsNeverUnderTheBusyDialog)
{
    g_asking = AskingRun();
    EXPECT_TRUE(Block_RunBusy(host, &g_ZTMain, AskingTask, nullptr));
    EXPECT_FALSE(g_asking.dialogWhileFirstBox) << "a box shown before the delay was covered";
    EXPECT_TRUE(g_asking.dialogAfterFirstBox);
    EXPECT_FALSE(g_asking.dialogWhileSecondBox) << "a box shown over the dialog stood under it";
    EXPECT_TRUE(g_asking.dialogAfterSecondBox);
    EXPECT_EQ(g_ZTMain.hBusyDlg, nullptr);
}

DWORD WINAPI QuitWhileBusy(LPVOID pv)
{
    PostThreadMessageA(*static_cast<DWORD*>(pv), WM_QUIT, 5, 0);
    Sleep(50);
    return 0;
}

TEST_F(BlocksTest, AQuitArrivingWhileATaskRunsIsPostedAgainAfterwards)
{
    DWORD me = GetCurrentThreadId();
    EXPECT_TRUE(Block_RunBusy(host, &g_ZTMain, QuitWhileBusy, &me));
    MSG m;
    ASSERT_TRUE(PeekMessageA(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(m.wParam, 5u);
}

}  // namespace
