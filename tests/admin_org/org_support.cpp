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
    DbFix_OpenDemo(dbName);
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

void Org_ClickTreeItem(HWND hTree, HTREEITEM h)
{
    Wd_ClickTree(hTree, h);
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
            POINT pt = Wd_RowPoint(g, row);
            Ui_Click(pt.x, pt.y);
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
