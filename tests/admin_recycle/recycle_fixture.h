// The recycle bin and operation log tests: the demo data set, the shell as
// start-up leaves it (logged in as the administrator, every right) and a
// main frame for each test, with helpers to open a module window, wait for
// its worker and pick rows as the keyboard does.
#pragma once
#include "tests/frame/shell_fixture.h"
#include "app/shell/frame.h"
#include "app/shell/module.h"
#include "app/resources/resource.h"
#include "db/dbtool.h"
#include "tests/support/grid_rows.h"

#include <cstring>
#include <functional>
#include <string>

class RecycleTest : public testing::Test {
public:
    HWND frame = nullptr;
    static void SetUpTestSuite()
    {
        TestDb_Open("kelmora_recycle_win");
        std::string err;
        ASSERT_TRUE(DbTool_Demo(TestDb_Conn(), &err)) << err;
        Shell_LoginAdministrator();
    }
    static void TearDownTestSuite() { TestDb_Close(); }
    void SetUp() override
    {
        Shell_Setup();
        TestBoxes_Reset();
        frame = Shell_CreateFrame();
        ASSERT_NE(frame, nullptr);
    }
    void TearDown() override { Shell_DestroyFrame(frame); }

    // Waits until the window's workers have finished.
    static void Settle(ZT_MODWIN* w)
    {
        Ui_Pump(100);
        for (int i = 0; i < 400 && (w->bBusy || g_ZTMain.hBusyDlg); i++)
            Ui_Pump(20);
        Ui_Pump(60);
    }
    // Opens a module window from its main-menu command and waits for its load.
    HWND Open(int cmd, const char* cls)
    {
        Shell_Command(frame, cmd);
        HWND hwnd = Frame_FindChild(cls);
        if (ZT_MODWIN* w = Module_Of(hwnd))
            Settle(w);
        return hwnd;
    }
    // Chooses a main-menu item with the mouse (a maximised child puts its
    // window menu first in the bar).
    void ChooseMenu(int pos, int cmd)
    {
        HMENU bar = GetMenu(frame);
        BOOL maximised = FALSE;
        SendMessageA(Frame_MDIClient(), WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(&maximised));
        HMENU popup = GetSubMenu(bar, pos);
        if (maximised)
            pos++;
        RECT r;
        ASSERT_TRUE(GetMenuItemRect(frame, bar, pos, &r));
        Ui_ClickMenuItemSoon(maximised ? GetSubMenu(bar, pos) : popup, cmd);
        Ui_Click((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        Ui_Pump(300);
        EXPECT_TRUE(Ui_MenuClicked());
    }
    // A click whose button goes down and up at once: a tree follows the
    // button in a loop of its own, and what a click starts may run a busy
    // dialog inside it.
    static void ClickAt(POINT pt)
    {
        int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
        INPUT in[3];
        memset(in, 0, sizeof(in));
        for (INPUT& i : in) {
            i.type = INPUT_MOUSE;
            i.mi.dx = (pt.x * 65536 + cx - 1) / cx;
            i.mi.dy = (pt.y * 65536 + cy - 1) / cy;
            i.mi.dwFlags = MOUSEEVENTF_ABSOLUTE;
        }
        in[0].mi.dwFlags |= MOUSEEVENTF_MOVE;
        in[1].mi.dwFlags |= MOUSEEVENTF_LEFTDOWN;
        in[2].mi.dwFlags |= MOUSEEVENTF_LEFTUP;
        SendInput(3, in, sizeof(INPUT));
        Ui_Pump(100);
    }
    static void ClickControl(HWND h)
    {
        POINT c = Ui_Centre(h);
        Ui_Click(c.x, c.y);
    }
    // Moves the selection from the first row down, as the arrow keys do,
    // until the selected record is one pred accepts; that record, or null.
    static const void* SelectWhere(HWND hGrid, const std::function<bool(const void*)>& pred)
    {
        SendMessageA(hGrid, GRM_MOVESEL, 0, LV_MOVE_FIRST);
        const void* last = nullptr;
        for (int i = 0; i < 10000; i++) {
            const void* rec = reinterpret_cast<const void*>(SendMessageA(hGrid, GRM_GETSEL, 0, 0));
            if (!rec || rec == last)
                return nullptr;
            if (pred(rec))
                return rec;
            last = rec;
            SendMessageA(hGrid, GRM_MOVESEL, 0, LV_MOVE_NEXT);
        }
        return nullptr;
    }
    // Every record a grid lists.
    static void EachRecord(HWND hGrid, const std::function<void(const void*)>& fn)
    {
        for (const void* rec : TestGrid_Rows(hGrid))
            fn(rec);
    }
    // The text a cell shows (column c, 0-based, of the table's columns).
    static std::string Cell(HWND hGrid, const void* rec, int c)
    {
        for (const void* row : TestGrid_Rows(hGrid))
            if (row == rec) {
                const void* v = TestGrid_Value(hGrid, rec, c);
                return v ? static_cast<const char*>(v) : "";
            }
        return "<no row>";
    }
};
