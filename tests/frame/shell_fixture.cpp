#include "tests/frame/shell_fixture.h"
#include "app/shell/frame.h"
#include "app/shell/blocks.h"
#include "app/shell/caches.h"
#include "app/shell/module.h"
#include "app/shell/startup.h"
#include "app/resources/resource.h"
#include "grid/ZTListview.h"
#include <cstring>

namespace {

// Menu 120 comes with the permission checks; until it is part of the
// program, a stand-in with seventeen popups of three items each.
HMENU StandInContextMenus()
{
    HMENU bar = CreateMenu();
    for (int i = 0; i < 17; i++) {
        HMENU pop = CreatePopupMenu();
        AppendMenuA(pop, MF_STRING, 41000 + i * 10 + 1, "第一项");
        AppendMenuA(pop, MF_STRING, 41000 + i * 10 + 2, "第二项");
        AppendMenuA(pop, MF_STRING, 41000 + i * 10 + 3, "第三项");
        AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(pop), "popup");
    }
    return bar;
}

}  // namespace

void Shell_Setup()
{
    static bool registered = false;
    Ui_Init();
    tagZT_Main_Param* p = &g_ZTMain;
    HINSTANCE hInst = GetModuleHandleA(nullptr);
    p->hInst = hInst;
    if (!registered) {
        registered = true;
        GetSystemInfo(&p->si);
        p->hIcon = LoadIconA(hInst, MAKEINTRESOURCEA(IDI_APP));
        p->hGridCursor = LoadCursorA(hInst, MAKEINTRESOURCEA(IDCUR_GRID));
        p->hToolbarBmp = LoadBitmapA(hInst, MAKEINTRESOURCEA(IDB_TOOLBAR));
        LoadStringA(hInst, IDS_PRODUCT, p->szProduct, sizeof(p->szProduct));
        LoadStringA(hInst, IDS_VERSION, p->szVersion, sizeof(p->szVersion));
        p->hContextMenus = LoadMenuA(hInst, MAKEINTRESOURCEA(IDM_CONTEXT));
        if (!p->hContextMenus)
            p->hContextMenus = StandInContextMenus();
        RegListView();
        ASSERT_TRUE(RegisterShellClasses(hInst));
    }
    uint32_t* w = &p->W1;
    for (int i = 0; i < 17; i++)
        w[i] = 0xFFFFFFFFu;
    p->bRemindOff = 0;
    if (!p->hMainMenu || !IsMenu(p->hMainMenu))
        p->hMainMenu = LoadMenuA(hInst, MAKEINTRESOURCEA(IDM_MAIN));
}

void Shell_LoginAdministrator()
{
    Shell_Setup();
    tagZT_Main_Param* p = &g_ZTMain;
    Startup_LoadLists(p);
    p->pLoginEmp = static_cast<tagEMPLIST*>(FindEmp(p->pEmpList, nullptr, 1, nullptr, p->nEmp, sizeof(tagEMPLIST), 0));
    ASSERT_NE(p->pLoginEmp, nullptr);
    p->pLoginBr =
        static_cast<tagBRLIST*>(FindBr(p->pBrList, nullptr, p->pLoginEmp->iBr, nullptr, p->nBr, sizeof(tagBRLIST)));
    ASSERT_EQ(Startup_Phase2(p, nullptr), 1);
    Shell_Setup();    // every right again
    ASSERT_TRUE(Module_RegisterClasses(p->hInst));
    ZTListview_SetMessageBoxHook(TestBoxes_Hook());
}

void Shell_LoginAs(const char* pszEmp)
{
    Shell_Setup();
    tagZT_Main_Param* p = &g_ZTMain;
    // A fresh context menu: the checks grey it for this user only.
    if (p->hContextMenus)
        DestroyMenu(p->hContextMenus);
    p->hContextMenus = LoadMenuA(p->hInst, MAKEINTRESOURCEA(IDM_CONTEXT));
    Startup_LoadLists(p);
    p->pLoginEmp = nullptr;
    for (int i = 0; i < Cache_EmployeeSlots(p) && !p->pLoginEmp; i++)
        if (p->pEmpList[i].iOrdinal && strcmp(p->pEmpList[i].szEmp, pszEmp) == 0)
            p->pLoginEmp = &p->pEmpList[i];
    ASSERT_NE(p->pLoginEmp, nullptr) << pszEmp;
    p->pLoginBr = const_cast<tagBRLIST*>(Cache_Branch(p, p->pLoginEmp->iBr));
    ASSERT_EQ(Startup_Phase2(p, nullptr), 1);
    ASSERT_TRUE(Module_RegisterClasses(p->hInst));
    ZTListview_SetMessageBoxHook(TestBoxes_Hook());
}

HWND Shell_CreateFrame()
{
    tagZT_Main_Param* p = &g_ZTMain;
    char caption[51];
    lstrcpynA(caption, p->szProduct, sizeof(caption));
    HWND f = CreateWindowExA(0, ZT_CLASS_MAINFRAME, caption, WS_CLIPCHILDREN | WS_OVERLAPPEDWINDOW, 20, 20, 900,
                             640, nullptr, p->hMainMenu, p->hInst, nullptr);
    if (!f)
        return nullptr;
    p->hOwner = f;
    ShowWindow(f, SW_SHOWNORMAL);
    UpdateWindow(f);
    SetForegroundWindow(f);
    Ui_Pump(80);
    return f;
}

void Shell_DestroyFrame(HWND hFrame)
{
    if (hFrame && IsWindow(hFrame))
        DestroyWindow(hFrame);
    Ui_Pump(40);
    MSG m;
    while (PeekMessageA(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    g_ZTMain.hMainMenu = nullptr;   // destroyed with the frame
    g_ZTMain.hOwner = nullptr;
}

std::string Shell_Class(HWND hwnd)
{
    char cls[64] = "";
    GetClassNameA(hwnd, cls, sizeof(cls));
    return cls;
}

int Shell_ChildCount(const char* cls)
{
    HWND client = Frame_MDIClient();
    int n = 0;
    for (HWND h = client ? GetWindow(client, GW_CHILD) : nullptr; h; h = GetWindow(h, GW_HWNDNEXT)) {
        if (GetWindow(h, GW_OWNER))
            continue;
        if (!cls || Shell_Class(h) == cls)
            ++n;
    }
    return n;
}

void Shell_Command(HWND hFrame, int id, WPARAM hiword, LPARAM lParam)
{
    SendMessageA(hFrame, WM_COMMAND, MAKEWPARAM(id, hiword), lParam);
    Ui_Pump(40);
}

// ---- Module windows ----------------------------------------------------------------

int Shell_GridRows(HWND hGrid)
{
    return hGrid ? static_cast<int>(SendMessageA(hGrid, GRM_GETROWS, 0, 0)) : 0;
}

std::string Shell_CountBox(HWND hModule)
{
    HWND tb = Block_GetToolbar(hModule);
    return tb ? Ui_Text(GetDlgItem(tb, IDC_RECORD_COUNT)) : "";
}

RECT Shell_ButtonRect(HWND hModule, int cmd)
{
    HWND tb = Block_GetToolbar(hModule);
    RECT r = {0, 0, 0, 0};
    SendMessageA(tb, TB_GETRECT, cmd, reinterpret_cast<LPARAM>(&r));
    MapWindowPoints(tb, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void Shell_ClickButton(HWND hModule, int cmd)
{
    RECT r = Shell_ButtonRect(hModule, cmd);
    Ui_Click((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

HWND Shell_TwinGrid(HWND hModule, HWND hGrid)
{
    HWND twin = Block_Grid(hModule, &g_ZTMain);
    RECT r;
    GetWindowRect(hGrid, &r);
    MapWindowPoints(nullptr, hModule, reinterpret_cast<POINT*>(&r), 2);
    MoveWindow(twin, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
    ShowWindow(twin, SW_HIDE);
    return twin;
}

void Shell_ShowOnly(HWND hOn, HWND hOff)
{
    ShowWindow(hOff, SW_HIDE);
    ShowWindow(hOn, SW_SHOW);
    UpdateWindow(GetParent(hOn));
    Ui_Pump(20);
}
