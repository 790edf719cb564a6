// The main frame: MDI frame window, its command table, the reminder timer
// and the module windows' classes.
#include "app/shell/frame.h"
#include "app/shell/blocks.h"
#include "app/shell/login.h"
#include "app/shell/module.h"
#include "app/shell/rights.h"
#include "app/resources/resource.h"
#include "common/zt_box.h"
#include <commctrl.h>
#include <cstdio>
#include <cstring>

static HWND g_hFrame = NULL;
static HWND g_hClient = NULL;
static ZT_BUSY_PROC g_pfnRemind = NULL;
static HANDLE g_hRemindThread = NULL;
static UINT g_remindFirstMs = ZT_REMIND_FIRST_MS;
static UINT g_remindEveryMs = ZT_REMIND_EVERY_MS;
static ZT_DIALOG_RUNNER g_pfnOptions = NULL;
static BOOL g_bSnapping = FALSE;
static char g_szBaseCaption[101] = "";   // the frame's own caption

// Posted to the frame when a child is activated or goes: the caption is
// brought in line once the MDI client has finished switching.
#define WM_FRAME_CAPTION (WM_APP + 70)

HWND Frame_Window() { return g_hFrame; }
HWND Frame_MDIClient() { return g_hClient; }

ZT_BUSY_PROC Frame_SetReminderCheck(ZT_BUSY_PROC pfnCheck)
{
    ZT_BUSY_PROC old = g_pfnRemind;
    g_pfnRemind = pfnCheck;
    return old;
}

void Frame_SetReminderIntervals(UINT firstMs, UINT everyMs)
{
    g_remindFirstMs = firstMs ? firstMs : ZT_REMIND_FIRST_MS;
    g_remindEveryMs = everyMs ? everyMs : ZT_REMIND_EVERY_MS;
}

ZT_DIALOG_RUNNER Frame_SetOptionsDialog(ZT_DIALOG_RUNNER pfnRun)
{
    ZT_DIALOG_RUNNER old = g_pfnOptions;
    g_pfnOptions = pfnRun;
    return old;
}

// ---- Module windows --------------------------------------------------------------------

HWND Frame_FindChild(const char* pszClass)
{
    if (!g_hClient || !pszClass)
        return NULL;
    return FindWindowExA(g_hClient, NULL, pszClass, NULL);
}

// A maximised child fills the MDI client: its scroll bars would only show
// an empty range, so they are hidden until a child is restored again.
static void TidyClientScrollBars()
{
    if (!g_hClient)
        return;
    BOOL bMaximised = FALSE;
    HWND hActive = reinterpret_cast<HWND>(
        SendMessageA(g_hClient, WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(&bMaximised)));
    if (hActive && bMaximised)
        ShowScrollBar(g_hClient, SB_BOTH, FALSE);
}

void Frame_ChildChanged()
{
    if (g_hFrame)
        PostMessageA(g_hFrame, WM_FRAME_CAPTION, 0, 0);
}

// "Kelmora - [房源浏览]" for the active child, maximised or not (after
// "层叠" or "平铺" the window menu still switches between children), else
// the frame's own caption.  Set directly: the MDI code composes it from the
// child it last maximised, which lags behind a switch.
static void UpdateCaption(HWND hFrame)
{
    HWND hActive = g_hClient ? reinterpret_cast<HWND>(SendMessageA(g_hClient, WM_MDIGETACTIVE, 0, 0)) : NULL;
    char szChild[101] = "", szText[256];
    if (hActive)
        GetWindowTextA(hActive, szChild, sizeof(szChild));
    if (szChild[0])
        snprintf(szText, sizeof(szText), "%s - [%s]", g_szBaseCaption, szChild);
    else
        snprintf(szText, sizeof(szText), "%s", g_szBaseCaption);
    char szNow[256] = "";
    GetWindowTextA(hFrame, szNow, sizeof(szNow));
    if (strcmp(szNow, szText) != 0)
        DefWindowProcA(hFrame, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(szText));
}

// The restored size of a module window that names none: three quarters of
// the MDI client, or of the screen's work area while the frame is not yet
// on screen (its client is then only a few pixels), never below 400 x 300.
static void DefaultChildSize(int* pcx, int* pcy)
{
    RECT rc = {0, 0, 0, 0};
    if (g_hClient)
        GetClientRect(g_hClient, &rc);
    if (rc.right < ZT_FRAME_MIN_SIZE || rc.bottom < 300) {
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &rc, 0);
        rc.right -= rc.left;
        rc.bottom -= rc.top + GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYMENU);
    }
    int cx = rc.right * 3 / 4, cy = rc.bottom * 3 / 4;
    *pcx = cx < ZT_FRAME_MIN_SIZE ? ZT_FRAME_MIN_SIZE : cx;
    *pcy = cy < 300 ? 300 : cy;
}

HWND Frame_CreateChild(tagZT_Main_Param* p, const char* pszClass, int iCaptionId, int cx, int cy)
{
    if (!g_hClient || !p)
        return NULL;
    char szCaption[101] = "";
    LoadStringA(p->hInst, iCaptionId, szCaption, sizeof(szCaption));
    MDICREATESTRUCTA mcs;
    memset(&mcs, 0, sizeof(mcs));
    mcs.szClass = pszClass;
    mcs.szTitle = szCaption;
    mcs.hOwner = p->hInst;
    mcs.x = CW_USEDEFAULT;
    mcs.y = CW_USEDEFAULT;
    if (cx == CW_USEDEFAULT || cy == CW_USEDEFAULT)
        DefaultChildSize(&cx, &cy);
    mcs.cx = cx;
    mcs.cy = cy;
    mcs.style = WS_MAXIMIZE;
    mcs.lParam = reinterpret_cast<LPARAM>(p);
    HWND hChild = reinterpret_cast<HWND>(SendMessageA(g_hClient, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&mcs)));
    TidyClientScrollBars();
    return hChild;
}

HWND Frame_OpenModule(tagZT_Main_Param* p, int iCommand)
{
    const ZT_MODULE_DESC* d = Module_ByCommand(iCommand);
    if (!d || !g_hClient)
        return NULL;
    HWND hChild = Frame_FindChild(d->pszClass);
    if (hChild) {
        SendMessageA(g_hClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(hChild), 0);
        SetFocus(hChild);
        return hChild;
    }
    if (!Rights_MayOpen(p, d->iModule))
        return NULL;
    return Frame_CreateChild(p, d->pszClass, d->iCaption, d->cx, d->cy);
}

// ---- The frame -------------------------------------------------------------------------------

// The popup of the menu bar that carries the window commands.
static HMENU WindowMenuOf(HMENU hMenu)
{
    int n = hMenu ? GetMenuItemCount(hMenu) : 0;
    for (int i = 0; i < n; i++) {
        HMENU sub = GetSubMenu(hMenu, i);
        if (sub && GetMenuState(sub, IDM_CASCADE, MF_BYCOMMAND) != static_cast<UINT>(-1))
            return sub;
    }
    return n > 0 ? GetSubMenu(hMenu, n - 1) : NULL;
}

// The module windows of the MDI client (not icon titles), collected first:
// closing or destroying them changes the list.
static int ModuleChildren(HWND* list, int nMax)
{
    int n = 0;
    for (HWND h = g_hClient ? GetWindow(g_hClient, GW_CHILD) : NULL; h && n < nMax; h = GetWindow(h, GW_HWNDNEXT))
        if (!GetWindow(h, GW_OWNER))
            list[n++] = h;
    return n;
}

static void CloseAllChildren()
{
    HWND list[256];
    int n = ModuleChildren(list, 256);
    for (int i = 0; i < n; i++)
        if (IsWindow(list[i]))
            SendMessageA(list[i], WM_CLOSE, 0, 0);
}

static void DestroyChildrenFirst()
{
    HWND list[256];
    int n = ModuleChildren(list, 256);
    for (int i = 0; i < n; i++)
        if (IsWindow(list[i]))
            SendMessageA(g_hClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(list[i]), 0);
}

// "自动提醒" carries a check mark while the reminder checks run.
static void ShowAutoRemind(HWND hwnd)
{
    HMENU hMenu = GetMenu(hwnd);
    if (hMenu)
        CheckMenuItem(hMenu, IDM_AUTO_REMIND, MF_BYCOMMAND | (g_ZTMain.bRemindOff ? MF_UNCHECKED : MF_CHECKED));
}

static void OnReminderTimer(HWND hwnd)
{
    tagZT_Main_Param* p = &g_ZTMain;
    KillTimer(hwnd, ZT_FRAME_TIMER);
    if (p->bRemindOff) {
        ShowAutoRemind(hwnd);
        return;                              // not again until restart, or until turned on
    }
    if (g_hRemindThread && WaitForSingleObject(g_hRemindThread, 0) == WAIT_OBJECT_0) {
        CloseHandle(g_hRemindThread);
        g_hRemindThread = NULL;
    }
    // One check at a time: a check still showing its reminders is left alone.
    if (g_pfnRemind && !g_hRemindThread) {
        DWORD tid;
        g_hRemindThread = CreateThread(NULL, 0, g_pfnRemind, p, 0, &tid);
    }
    SetTimer(hwnd, ZT_FRAME_TIMER, g_remindEveryMs, NULL);
}

// "自动提醒": off stops the checks; on starts them again (a check follows
// after the first interval), undoing "软件重启前,不再提醒" as well.
static void ToggleAutoRemind(HWND hwnd)
{
    tagZT_Main_Param* p = &g_ZTMain;
    KillTimer(hwnd, ZT_FRAME_TIMER);
    p->bRemindOff = p->bRemindOff ? 0 : 1;
    if (!p->bRemindOff)
        SetTimer(hwnd, ZT_FRAME_TIMER, g_remindFirstMs, NULL);
    ShowAutoRemind(hwnd);
}

// A reminder check still running when the frame goes is waited for; it
// may send the frame messages meanwhile, so sent messages are answered.
static void WaitForReminderCheck()
{
    if (!g_hRemindThread)
        return;
    for (;;) {
        DWORD r = MsgWaitForMultipleObjects(1, &g_hRemindThread, FALSE, INFINITE, QS_SENDMESSAGE);
        if (r != WAIT_OBJECT_0 + 1)
            break;
        MSG m;
        PeekMessageA(&m, NULL, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    CloseHandle(g_hRemindThread);
    g_hRemindThread = NULL;
}

static void OnSize(HWND hwnd, WPARAM wParam, int cx, int cy)
{
    if (g_hClient)
        MoveWindow(g_hClient, 0, 0, cx, cy, TRUE);
    TidyClientScrollBars();
    if (wParam != SIZE_RESTORED || g_bSnapping)
        return;
    if (cx < ZT_FRAME_MIN_SIZE || cy < ZT_FRAME_MIN_SIZE) {
        RECT rc;
        GetWindowRect(hwnd, &rc);
        if (rc.right - rc.left == ZT_FRAME_MIN_SIZE && rc.bottom - rc.top == ZT_FRAME_MIN_SIZE)
            return;
        g_bSnapping = TRUE;
        SetWindowPos(hwnd, NULL, 0, 0, ZT_FRAME_MIN_SIZE, ZT_FRAME_MIN_SIZE,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        g_bSnapping = FALSE;
    }
}

static void RunDialogOverClient(int iDialog, DLGPROC proc)
{
    tagZT_Main_Param* p = &g_ZTMain;
    if (!proc || !FindResourceA(p->hInst, MAKEINTRESOURCEA(iDialog), reinterpret_cast<LPCSTR>(RT_DIALOG)))
        return;
    DialogBoxParamA(p->hInst, MAKEINTRESOURCEA(iDialog), g_hClient, proc, reinterpret_cast<LPARAM>(p));
}

// A window or dialog the user may not open is refused where its command
// runs (a greyed menu item is never the only check): "没有<name>的权限".
static void RefuseOpening(const char* pszName)
{
    char text[160];
    snprintf(text, sizeof(text), "没有%s的权限", pszName);
    ZT_MessageBox(g_hFrame, text, "", MB_OK | MB_ICONINFORMATION);
}

static void OpenModule(int id)
{
    const ZT_MODULE_DESC* d = Module_ByCommand(id);
    if (d && !Frame_FindChild(d->pszClass) && !Rights_MayOpen(&g_ZTMain, d->iModule)) {
        char name[101] = "";
        LoadStringA(g_ZTMain.hInst, d->iCaption, name, sizeof(name));
        RefuseOpening(name);
        return;
    }
    Frame_OpenModule(&g_ZTMain, id);
}

// Returns TRUE when the command was handled here.
static BOOL OnCommand(HWND hwnd, WPARAM wParam, LPARAM lParam)
{
    int id = LOWORD(wParam);
    switch (id) {
    case IDM_EXIT:
        SendMessageA(hwnd, WM_COMMAND, IDM_CLOSEALL, 0);
        SendMessageA(hwnd, WM_CLOSE, 0, 0);
        return TRUE;
    case IDM_CLOSEALL:
        CloseAllChildren();
        return TRUE;
    case IDM_CASCADE:
        SendMessageA(g_hClient, WM_MDICASCADE, 0, 0);
        Frame_ChildChanged();               // the MDI code restored the caption
        return TRUE;
    case IDM_TILE:
        SendMessageA(g_hClient, WM_MDITILE, MDITILE_VERTICAL, 0);
        Frame_ChildChanged();
        return TRUE;
    case IDM_CHANGE_PWD:
        RunDialogOverClient(IDD_CHANGE_PWD, ChangePwdDlgProc);
        return TRUE;
    case IDM_SYSOPT:
        if (!Rights_MayOpen(&g_ZTMain, ZTM_SYSOPT))
            RefuseOpening("系统选项");
        else if (g_pfnOptions &&
                 FindResourceA(g_ZTMain.hInst, MAKEINTRESOURCEA(IDD_SYSOPT), reinterpret_cast<LPCSTR>(RT_DIALOG)))
            g_pfnOptions(g_hClient, &g_ZTMain);
        return TRUE;
    case IDM_AUTO_REMIND:
        ToggleAutoRemind(hwnd);
        return TRUE;
    }
    if (Module_ByCommand(id)) {
        OpenModule(id);
        return TRUE;
    }
    if (id < ZT_FRAME_FIRST_CHILD) {
        // A module's own command (toolbar, accelerator): to the active child.
        HWND hActive = reinterpret_cast<HWND>(SendMessageA(g_hClient, WM_MDIGETACTIVE, 0, 0));
        if (hActive)
            SendMessageA(hActive, WM_COMMAND, wParam, lParam);
        return TRUE;
    }
    return FALSE;
}

static LRESULT CALLBACK FrameProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_CREATE: {
        INITCOMMONCONTROLSEX icc;
        icc.dwSize = sizeof(icc);
        icc.dwICC = ICC_WIN95_CLASSES | ICC_COOL_CLASSES | ICC_BAR_CLASSES | ICC_DATE_CLASSES |
                    ICC_USEREX_CLASSES | ICC_STANDARD_CLASSES;
        InitCommonControlsEx(&icc);
        CLIENTCREATESTRUCT ccs;
        ccs.hWindowMenu = WindowMenuOf(GetMenu(hwnd));
        ccs.idFirstChild = ZT_FRAME_FIRST_CHILD;
        const CREATESTRUCTA* cs = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        HWND hClient = CreateWindowExA(0, "MDICLIENT", NULL,
                                       WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_VSCROLL | WS_HSCROLL,
                                       CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(ZT_FRAME_CLIENT_ID)),
                                       cs->hInstance, &ccs);
        if (!hClient)
            return -1;
        g_hFrame = hwnd;
        g_hClient = hClient;
        lstrcpynA(g_szBaseCaption, cs->lpszName ? cs->lpszName : "", sizeof(g_szBaseCaption));
        ApplyMenuRights(&g_ZTMain);
        DrawMenuBar(hwnd);
        SetTimer(hwnd, ZT_FRAME_TIMER, g_remindFirstMs, NULL);
        ShowAutoRemind(hwnd);
        return 0;
    }
    case WM_SIZE:
        OnSize(hwnd, wParam, LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_TIMER:
        if (wParam == ZT_FRAME_TIMER) {
            OnReminderTimer(hwnd);
            return 0;
        }
        break;
    case WM_COMMAND:
        if (OnCommand(hwnd, wParam, lParam))
            return 0;
        break;
    case WM_FRAME_CAPTION:
        UpdateCaption(hwnd);
        return 0;
    case WM_DESTROY:
        KillTimer(hwnd, ZT_FRAME_TIMER);
        WaitForReminderCheck();
        // The module windows go before the MDI client does: destroyed
        // after it (the order DestroyWindow takes), a child's default
        // procedure reads the client's state the client has released.
        DestroyChildrenFirst();
        g_hFrame = NULL;
        g_hClient = NULL;
        PostQuitMessage(0);
        return 0;
    }
    return DefFrameProcA(hwnd, g_hClient, msg, wParam, lParam);
}

BOOL RegisterShellClasses(HINSTANCE hInst)
{
    WNDCLASSEXA existing;
    if (!GetClassInfoExA(hInst, ZT_CLASS_MAINFRAME, &existing) &&
        !Block_RegisterClass(hInst, ZT_CLASS_MAINFRAME, FrameProc, COLOR_WINDOW, MAKEINTRESOURCEA(IDM_MAIN)))
        return FALSE;
    return Module_RegisterClasses(hInst, Frame_ChildChanged);
}
