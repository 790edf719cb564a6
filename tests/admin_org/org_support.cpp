#include "tests/admin_org/org_support.h"
#include "app/shell/blocks.h"
#include "app/shell/frame.h"
#include "app/shell/module.h"
#include "app/shell/startup.h"
#include "app/resources/resource.h"
#include "cipher/cipher.h"
#include "common/zt_box.h"
#include "db/dbtool.h"
#include "grid/ZTListview.h"

#include <atomic>
#include <commctrl.h>
#include <cstring>
#include <vector>

void Org_OpenDemo(const char* dbName)
{
    static tagEMPLIST admin = {1, 1, "管理员"};
    ASSERT_NE(TestDb_Open(dbName), nullptr);
    std::string err;
    ASSERT_TRUE(DbTool_Demo(TestDb_Conn(), &err)) << err;
    Shell_Setup();
    ASSERT_TRUE(Module_RegisterClasses(g_ZTMain.hInst));
    ZT_SetMessageBoxHookLocal(TestBoxes_Hook());
    ZTData_SetMessageBoxHook(TestBoxes_Hook());
    ZTListview_SetMessageBoxHook(TestBoxes_Hook());
    St_LoadLists(&g_ZTMain);
    g_ZTMain.pLoginEmp = &admin;
    g_ZTMain.pLoginBr = g_ZTMain.pBrList;
    ASSERT_EQ(Startup_Phase2(&g_ZTMain, nullptr), 1);
    TestBoxes_Reset();
}

HWND Org_CreateFrame()
{
    HWND f = Shell_CreateFrame();
    if (f) {
        MoveWindow(f, 0, 0, 1270, 790, TRUE);
        Ui_Pump(60);
    }
    return f;
}

ORG_WINDOW* Org_State(HWND hOrg)
{
    ZT_MODWIN* w = Module_Of(hOrg);
    return w ? static_cast<ORG_WINDOW*>(w->pState) : nullptr;
}

void Org_WaitIdle(HWND hOrg)
{
    for (int i = 0; i < 500; i++) {
        ZT_MODWIN* w = Module_Of(hOrg);
        if (w && !w->bBusy && (!w->hTree || SendMessageA(w->hTree, TVM_GETNEXTITEM, TVGN_ROOT, 0)) &&
            Shell_CountBox(hOrg) != "-1" &&
            !g_ZTMain.hBusyDlg)
            break;
        Ui_Pump(20);
    }
    Ui_Pump(60);
}

HWND Org_Open(HWND hFrame)
{
    Shell_Command(hFrame, IDM_BRANCH);
    HWND h = nullptr;
    for (int i = 0; i < 200 && !h; i++) {
        h = Frame_FindChild("ZT_CHILD_EMP");
        Ui_Pump(20);
    }
    if (h)
        Org_WaitIdle(h);
    return h;
}

namespace {

struct DialogSearch {
    HWND found;
};

BOOL CALLBACK AnyDialog(HWND h, LPARAM lp)
{
    char cls[16] = "", text[64] = "";
    GetClassNameA(h, cls, sizeof(cls));
    GetWindowTextA(h, text, sizeof(text));
    // The busy dialog closes by itself.
    if (IsWindowVisible(h) && strcmp(cls, "#32770") == 0 && h != g_ZTMain.hBusyDlg) {
        reinterpret_cast<DialogSearch*>(lp)->found = h;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

void Org_Drive(const std::function<void()>& start, const std::function<void(DWORD)>& driver)
{
    std::atomic<bool> done(false);
    St_WithDriver(
        [&]() {
            start();
            for (int i = 0; i < 3000 && !done; i++)
                Ui_Pump(10);
            return static_cast<INT_PTR>(0);
        },
        [&](DWORD tid) {
            driver(tid);
            // A driver that stopped early leaves no dialog behind.
            for (int i = 0; i < 20; i++) {
                DialogSearch s = {nullptr};
                EnumThreadWindows(tid, AnyDialog, reinterpret_cast<LPARAM>(&s));
                if (!s.found)
                    break;
                PostMessageA(s.found, WM_COMMAND, IDCANCEL, 0);
                Sleep(200);
            }
            done = true;
        });
    Ui_Pump(60);
}

HWND Org_Dialog(DWORD tid, const char* caption)
{
    return St_WaitWindow(tid, "#32770", caption, 10000);
}

HWND Org_PageWith(HWND hDlg, int id)
{
    if (GetDlgItem(hDlg, id))
        return hDlg;
    for (HWND c = GetWindow(hDlg, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        if (GetDlgItem(c, id))
            return c;
    return hDlg;
}

void Org_SetText(HWND hDlg, int id, const char* text)
{
    SendMessageA(GetDlgItem(Org_PageWith(hDlg, id), id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

BOOL Org_Choose(HWND hDlg, int id, const char* text)
{
    HWND h = GetDlgItem(Org_PageWith(hDlg, id), id);
    int n = static_cast<int>(SendMessageA(h, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; i++) {
        char item[128] = "";
        SendMessageA(h, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
        if (strcmp(item, text) == 0) {
            SendMessageA(h, CB_SETCURSEL, i, 0);
            return TRUE;
        }
    }
    return FALSE;
}

std::string Org_TreeText(HWND hTree, HTREEITEM h)
{
    char buf[128] = "";
    TVITEMA it;
    memset(&it, 0, sizeof(it));
    it.mask = TVIF_TEXT | TVIF_HANDLE;
    it.hItem = h;
    it.pszText = buf;
    it.cchTextMax = sizeof(buf);
    SendMessageA(hTree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&it));
    return buf;
}

HTREEITEM Org_TreeItem(HWND hTree, const char* text)
{
    std::vector<HTREEITEM> todo = {reinterpret_cast<HTREEITEM>(SendMessageA(hTree, TVM_GETNEXTITEM, TVGN_ROOT, 0))};
    while (!todo.empty()) {
        HTREEITEM h = todo.back();
        todo.pop_back();
        for (; h; h = reinterpret_cast<HTREEITEM>(SendMessageA(hTree, TVM_GETNEXTITEM, TVGN_NEXT, (LPARAM)h))) {
            if (Org_TreeText(hTree, h) == text)
                return h;
            HTREEITEM child = reinterpret_cast<HTREEITEM>(SendMessageA(hTree, TVM_GETNEXTITEM, TVGN_CHILD, (LPARAM)h));
            if (child)
                todo.push_back(child);
        }
    }
    return nullptr;
}

void Org_ClickTreeItem(HWND hTree, HTREEITEM h)
{
    RECT r;
    memcpy(&r, &h, sizeof(h));
    SendMessageA(hTree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&r));
    POINT pt = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ClientToScreen(hTree, &pt);
    // Down and up in one go: the tree follows the button in a loop of its
    // own, which would wait for an up sent only after it returned.
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
    Ui_Pump(150);
    Org_WaitIdle(GetParent(hTree));
}

BOOL Org_ClickEmployee(HWND hOrg, const char* name)
{
    ZT_MODWIN* w = Module_Of(hOrg);
    HWND g = w->hGrid;
    SendMessageA(g, GRM_MOVESEL, 0, LV_MOVE_FIRST);
    for (int row = 0; row < 30; row++) {
        const tagEMPLOYEE* e = static_cast<const tagEMPLOYEE*>(Module_Selected(w));
        if (e && strcmp(e->szEmp, name) == 0) {
            RECT rc;
            GetWindowRect(g, &rc);
            int y = rc.top + GRID_HEADER_HEIGHT + row * GRID_ROW_HEIGHT + GRID_ROW_HEIGHT / 2 + 2;
            Ui_Click(rc.left + 30, y);
            Ui_Pump(60);
            e = static_cast<const tagEMPLOYEE*>(Module_Selected(w));
            return e && strcmp(e->szEmp, name) == 0;
        }
        if (!SendMessageA(g, GRM_MOVESEL, 0, LV_MOVE_NEXT))
            break;
    }
    return FALSE;
}

HWND Org_Box(HWND hOrg, int id)
{
    return GetDlgItem(OrgPanel_Page(Org_State(hOrg)->panel), id);
}

bool Org_Ticked(HWND hOrg, int id)
{
    return SendMessageA(Org_Box(hOrg, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Org_ClickControl(HWND hCtl)
{
    POINT c = Ui_Centre(hCtl);
    Ui_Click(c.x, c.y);
}

std::string Org_StoredValue(int iEmp)
{
    char buf[1100];
    memset(buf, 0, sizeof(buf));
    std::string stored = TestDb_Scalar("select szValue from t_popedom where iEmp = " + std::to_string(iEmp));
    strncpy(buf, stored.c_str(), 1024);
    CipherLongText(nullptr, buf, CIPHER_DECODE);
    return buf;
}

void Org_ExpectNowhere(const std::string& plain)
{
    EXPECT_EQ(TestReadFile("errlog.log").find(plain), std::string::npos) << "in the error log";
    EXPECT_EQ(TestDb_Count("t_log where instr(szValue, " + std::string("'") + plain + "') > 0"), 0)
        << "in the operation log";
    for (const TestBox& b : TestBoxes_Taken())
        EXPECT_EQ(b.text.find(plain), std::string::npos) << "in a box: " << b.text;
}
