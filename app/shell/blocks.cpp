// Building blocks of the module windows.
#include "app/shell/blocks.h"
#include "app/shell/input_controls.h"
#include "app/shell/rights.h"
#include "app/resources/resource.h"
#include "common/zt_box.h"
#include "grid/ZTListview.h"
#include <cstdio>
#include <cstring>

static const char kOldToolbarProc[] = "Kelmora.ToolbarProc";

// ---- Toolbar ------------------------------------------------------------------------------

// The toolbar does not own its image list; this subclass frees it with the
// toolbar.  The list is asked for on WM_DESTROY: once the toolbar has
// handled that message it no longer answers TB_GETIMAGELIST.
static LRESULT CALLBACK ToolbarSubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    WNDPROC old = reinterpret_cast<WNDPROC>(GetPropA(hwnd, kOldToolbarProc));
    if (msg == WM_DESTROY) {
        HIMAGELIST il = reinterpret_cast<HIMAGELIST>(CallWindowProcA(old, hwnd, TB_GETIMAGELIST, 0, 0));
        if (il)
            CallWindowProcA(old, hwnd, TB_SETIMAGELIST, 0, 0);
        LRESULT r = CallWindowProcA(old, hwnd, msg, wParam, lParam);
        if (il)
            ImageList_Destroy(il);
        return r;
    }
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
        RemovePropA(hwnd, kOldToolbarProc);
    }
    return CallWindowProcA(old, hwnd, msg, wParam, lParam);
}

// The image list of the shared strip.  Adding with a mask colour blackens
// the masked pixels of the source, so a copy is added and the block's
// bitmap stays intact for the next toolbar.
static HIMAGELIST ToolbarImages(HBITMAP hStrip)
{
    if (!hStrip)
        return NULL;
    BITMAP bm;
    if (!GetObjectA(hStrip, sizeof(bm), &bm) || bm.bmWidth < ZTIMG_WIDTH)
        return NULL;
    HIMAGELIST il = ImageList_Create(ZTIMG_WIDTH, ZTIMG_HEIGHT, ILC_COLOR24 | ILC_MASK,
                                     bm.bmWidth / ZTIMG_WIDTH, 4);
    if (!il)
        return NULL;
    HBITMAP copy = static_cast<HBITMAP>(CopyImage(hStrip, IMAGE_BITMAP, 0, 0, 0));
    if (copy) {
        ImageList_AddMasked(il, copy, RGB(255, 0, 255));
        DeleteObject(copy);
    }
    return il;
}

HWND Block_Toolbar(HWND hOwner, tagZT_Main_Param* p, ZT_BUTTON_PROC pfnButtons, LPVOID pArg)
{
    if (!hOwner || !p)
        return NULL;
    HINSTANCE hInst = p->hInst;
    HWND hRebar = CreateWindowExA(WS_EX_TOOLWINDOW, REBARCLASSNAMEA, NULL,
                                  WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | RBS_VARHEIGHT |
                                      CCS_NODIVIDER,
                                  0, 0, 0, 0, hOwner, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_REBAR)),
                                  hInst, NULL);
    if (!hRebar)
        return NULL;
    REBARINFO ri;
    memset(&ri, 0, sizeof(ri));
    ri.cbSize = sizeof(ri);
    SendMessageA(hRebar, RB_SETBARINFO, 0, reinterpret_cast<LPARAM>(&ri));

    HWND hTb = CreateWindowExA(0, TOOLBARCLASSNAMEA, NULL,
                               WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | TBSTYLE_FLAT |
                                   TBSTYLE_TOOLTIPS | TBSTYLE_LIST | CCS_NORESIZE | CCS_NODIVIDER | CCS_NOPARENTALIGN,
                               0, 0, 0, 0, hRebar, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_TOOLBAR)),
                               hInst, NULL);
    if (!hTb) {
        DestroyWindow(hRebar);
        return NULL;
    }
    SetPropA(hTb, kOldToolbarProc,
             reinterpret_cast<HANDLE>(SetWindowLongPtrA(hTb, GWLP_WNDPROC,
                                                        reinterpret_cast<LONG_PTR>(ToolbarSubclassProc))));
    SendMessageA(hTb, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageA(hTb, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS);
    SendMessageA(hTb, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    HIMAGELIST il = ToolbarImages(p->hToolbarBmp);
    if (il)
        SendMessageA(hTb, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(il));

    if (pfnButtons)
        pfnButtons(hTb, pArg);
    SendMessageA(hTb, TB_AUTOSIZE, 0, 0);

    SIZE sz = {0, 0};
    SendMessageA(hTb, TB_GETMAXSIZE, 0, reinterpret_cast<LPARAM>(&sz));
    REBARBANDINFOA band;
    memset(&band, 0, sizeof(band));
    band.cbSize = sizeof(band);
    band.fMask = RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_STYLE | RBBIM_SIZE;
    band.fStyle = RBBS_CHILDEDGE;
    band.hwndChild = hTb;
    band.cxMinChild = 350;
    band.cyMinChild = 23;
    band.cx = sz.cx > 350 ? sz.cx : 350;
    SendMessageA(hRebar, RB_INSERTBANDA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&band));
    return hRebar;
}

HWND Block_GetToolbar(HWND hOwner)
{
    HWND hRebar = GetDlgItem(hOwner, IDC_REBAR);
    return hRebar ? GetDlgItem(hRebar, IDC_TOOLBAR) : NULL;
}

BOOL Block_AddButton(HWND hToolbar, int iCommand, int iImage, const char* pszText, BYTE fsStyle)
{
    TBBUTTON b;
    memset(&b, 0, sizeof(b));
    b.iBitmap = iImage;
    b.idCommand = iCommand;
    b.fsState = TBSTATE_ENABLED;
    b.fsStyle = static_cast<BYTE>(BTNS_BUTTON | BTNS_AUTOSIZE | fsStyle | (pszText ? BTNS_SHOWTEXT : 0));
    b.iString = pszText ? reinterpret_cast<INT_PTR>(pszText) : -1;
    return SendMessageA(hToolbar, TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&b)) != 0;
}

BOOL Block_AddSeparator(HWND hToolbar)
{
    TBBUTTON b;
    memset(&b, 0, sizeof(b));
    b.fsStyle = BTNS_SEP;
    b.iString = -1;
    return SendMessageA(hToolbar, TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&b)) != 0;
}

HWND Block_AddCountBox(HWND hToolbar, int cx)
{
    // A separator as wide as the box keeps its place in the button row.
    TBBUTTON b;
    memset(&b, 0, sizeof(b));
    b.iBitmap = cx;
    b.fsStyle = BTNS_SEP;
    b.iString = -1;
    if (!SendMessageA(hToolbar, TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&b)))
        return NULL;
    int index = static_cast<int>(SendMessageA(hToolbar, TB_BUTTONCOUNT, 0, 0)) - 1;
    RECT rc;
    if (!SendMessageA(hToolbar, TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rc)))
        SetRect(&rc, 0, 0, cx, 22);
    int h = 20;
    int y = rc.top + ((rc.bottom - rc.top) - h) / 2;
    if (y < 0)
        y = 0;
    HWND hEdit = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "-1",
                                 WS_CHILD | WS_VISIBLE | ES_CENTER | ES_READONLY | ES_AUTOHSCROLL, rc.left, y, cx, h,
                                 hToolbar, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_RECORD_COUNT)),
                                 reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(hToolbar, GWLP_HINSTANCE)), NULL);
    if (hEdit)
        SendMessageA(hEdit, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    return hEdit;
}

void Block_EnableButton(HWND hOwner, int iCommand, BOOL bEnable)
{
    HWND hTb = Block_GetToolbar(hOwner);
    if (hTb)
        SendMessageA(hTb, TB_ENABLEBUTTON, iCommand, MAKELPARAM(bEnable ? TRUE : FALSE, 0));
}

void Block_SetRecordCount(HWND hOwner, int n)
{
    HWND hTb = Block_GetToolbar(hOwner);
    HWND hBox = hTb ? GetDlgItem(hTb, IDC_RECORD_COUNT) : NULL;
    if (!hBox)
        return;
    char sz[16];
    snprintf(sz, sizeof(sz), "%d", n);
    SetWindowTextA(hBox, sz);
}

int Block_ToolbarHeight(HWND hOwner)
{
    HWND hRebar = GetDlgItem(hOwner, IDC_REBAR);
    if (!hRebar)
        return 0;
    RECT rc;
    GetWindowRect(hRebar, &rc);
    return rc.bottom - rc.top;
}

// ---- Window classes, grid, tree, splitters -------------------------------------------------------

BOOL Block_RegisterClass(HINSTANCE hInst, const char* pszClass, WNDPROC pfnProc, int iColour, LPCSTR pszMenu)
{
    WNDCLASSEXA wc = {sizeof(wc), CS_DBLCLKS, pfnProc, 0, 0, hInst, LoadIconA(hInst, MAKEINTRESOURCEA(IDI_APP)),
                      LoadCursorA(NULL, reinterpret_cast<LPCSTR>(IDC_ARROW)),
                      reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(iColour + 1)), pszMenu, pszClass, NULL};
    return RegisterClassExA(&wc) != 0;
}

HWND Block_Grid(HWND hOwner, tagZT_Main_Param* p)
{
    if (!hOwner || !p)
        return NULL;
    HWND hGrid = CreateWindowExA(WS_EX_STATICEDGE, "ZT_CTL_LISTVIEW", NULL,
                                 WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_BORDER, 0, 0, 0, 0, hOwner,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_GRID)), p->hInst, NULL);
    if (hGrid)
        SendMessageA(hGrid, GRM_SETCURSOR, 0, reinterpret_cast<LPARAM>(p->hGridCursor));
    return hGrid;
}

HWND Block_Tree(HWND hOwner)
{
    return CreateWindowExA(WS_EX_CLIENTEDGE, WC_TREEVIEWA, "",
                           WS_CHILD | WS_VISIBLE | TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT, 0, 0, 0, 0,
                           hOwner, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_TREE)),
                           reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(hOwner, GWLP_HINSTANCE)), NULL);
}

HWND Block_Splitter(HWND hOwner, int id)
{
    const char* cls;
    int w = 0, h = 0;
    if (id == IDC_VSPLIT_LEFT || id == IDC_VSPLIT_RIGHT) {
        cls = ZT_CLASS_VSPLITTER;
        w = 2;
    } else if (id == IDC_HSPLIT_TOP || id == IDC_HSPLIT_BOTTOM) {
        cls = ZT_CLASS_HSPLITTER;
        h = 2;
    } else {
        return NULL;
    }
    return CreateWindowExA(0, cls, NULL, WS_CHILD | WS_VISIBLE, 0, 0, w, h, hOwner,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(hOwner, GWLP_HINSTANCE)), NULL);
}

void Block_Layout(HWND hOwner, int xLeft, int xRight, int yTop, int yBottom)
{
    RECT rc;
    GetClientRect(hOwner, &rc);
    HWND hRebar = GetDlgItem(hOwner, IDC_REBAR);
    if (hRebar)
        SendMessageA(hRebar, WM_SIZE, 0, MAKELPARAM(rc.right, rc.bottom));
    int top = Block_ToolbarHeight(hOwner);
    int height = rc.bottom - top;
    if (height < 0)
        height = 0;

    int xFrom = 0, xTo = rc.right;
    HWND h5 = GetDlgItem(hOwner, IDC_VSPLIT_LEFT);
    if (h5) {
        MoveWindow(h5, xLeft, top, 2, height, TRUE);
        xFrom = xLeft + 2;
    }
    HWND h6 = GetDlgItem(hOwner, IDC_VSPLIT_RIGHT);
    if (h6) {
        MoveWindow(h6, rc.right - xRight, top, 2, height, TRUE);
        xTo = rc.right - xRight;
    }
    HWND h7 = GetDlgItem(hOwner, IDC_HSPLIT_TOP);
    if (h7)
        MoveWindow(h7, 0, top + yTop, rc.right, 2, TRUE);
    HWND h8 = GetDlgItem(hOwner, IDC_HSPLIT_BOTTOM);
    if (h8)
        MoveWindow(h8, xFrom, rc.bottom - yBottom, xTo > xFrom ? xTo - xFrom : 0, 2, TRUE);
}

// ---- Menus ----------------------------------------------------------------------------------

BOOL Block_ContextMenu(HWND hOwner, tagZT_Main_Param* p, int n)
{
    if (!hOwner || !p || !p->hContextMenus)
        return FALSE;
    HMENU hPopup = GetSubMenu(p->hContextMenus, n);
    if (!hPopup)
        return FALSE;
    POINT pt;
    GetCursorPos(&pt);
    // The menu closes on a click elsewhere only when its owner's window is
    // in front.
    SetForegroundWindow(GetAncestor(hOwner, GA_ROOT));
    TrackPopupMenu(hPopup, TPM_LEFTALIGN | TPM_LEFTBUTTON, pt.x, pt.y, 0, hOwner, NULL);
    PostMessageA(hOwner, WM_NULL, 0, 0);
    return TRUE;
}

void Block_MenuItem(HMENU hMenu, int iCommand, BOOL bEnable)
{
    if (hMenu)
        EnableMenuItem(hMenu, iCommand, MF_BYCOMMAND | (bEnable ? MF_ENABLED : MF_GRAYED));
}

void Block_AddTab(HWND hTab, HINSTANCE hInst, int i, int iTitle)
{
    char title[64] = "";
    LoadStringA(hInst, iTitle, title, sizeof(title));
    TCITEMA item;
    memset(&item, 0, sizeof(item));
    item.mask = TCIF_TEXT;
    item.pszText = title;
    SendMessageA(hTab, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
}

// ---- Delete confirmation ---------------------------------------------------------------------

BOOL Block_ConfirmDelete(HWND hOwner)
{
    return ZT_MessageBox(hOwner, "删除后将无法恢复,是否继续", "删除确认", MB_OKCANCEL) != IDCANCEL;
}

BOOL Block_ConfirmToBin(HWND hOwner)
{
    return ZT_MessageBox(hOwner, "删除后可以在回收站中还原,是否继续", "删除确认", MB_OKCANCEL) != IDCANCEL;
}

// ---- Busy dialog ----------------------------------------------------------------------------
// A task runs on a thread of its own while the window thread goes on
// answering its messages (painting, timers, what other threads send it) in
// the loop below.  Meanwhile the owner's top-level window is disabled and
// every keystroke and mouse message meant for it or its children is
// dropped, so the user can do nothing there while the task runs.  The
// dialog "数据查询...." appears only when the task is still running after
// ZT_BUSY_DELAY_MS: most loads are over before then and never create it.

struct ZT_BUSY_RUN {
    tagZT_Main_Param* p;
    HWND hRoot;          // the top-level window whose input is held
    BOOL bEnable;        // it was enabled before: it is enabled again after
    HWND hDlg;           // the busy dialog once it stands
    BOOL bClosed;        // the task has said it is done (WM_CLOSE)
};

static INT_PTR CALLBACK BusyDlgProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(hDlg, DWLP_USER, lParam);
        SetDlgItemTextA(hDlg, IDC_PROGRESS_TEXT, "数据查询....");
        // Only the task closes it: the close box is greyed.
        EnableMenuItem(GetSystemMenu(hDlg, FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
        return TRUE;
    case WM_SYSCOMMAND:
        // Alt+F4, the close box and the system menu ask with SC_CLOSE; only
        // the task's own WM_CLOSE ends the dialog.
        if ((wParam & 0xFFF0) == SC_CLOSE) {
            SetWindowLongPtrA(hDlg, DWLP_MSGRESULT, 0);
            return TRUE;
        }
        break;
    case WM_CLOSE: {
        // The task is done: the dialog goes now, the caller still waits for
        // the task's thread to end.
        ZT_BUSY_RUN* run = reinterpret_cast<ZT_BUSY_RUN*>(GetWindowLongPtrA(hDlg, DWLP_USER));
        if (run)
            run->bClosed = TRUE;
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL)
            return TRUE;                     // the task cannot be abandoned (Esc, Cancel)
        break;
    }
    return FALSE;
}

// Whether a message is the user's input to the held window (or one of its
// children): such messages are dropped while a task runs.
static BOOL IsHeldInput(const MSG& m, HWND hRoot)
{
    BOOL input = (m.message >= WM_KEYFIRST && m.message <= WM_KEYLAST) ||
                 (m.message >= WM_MOUSEFIRST && m.message <= WM_MOUSELAST) ||
                 (m.message >= WM_NCMOUSEMOVE && m.message <= WM_NCXBUTTONDBLCLK) ||
                 m.message == WM_NCMOUSEHOVER || m.message == WM_NCMOUSELEAVE;
    return input && hRoot && m.hwnd && (m.hwnd == hRoot || IsChild(hRoot, m.hwnd));
}

static void ShowBusyDialog(HWND hOwner, ZT_BUSY_RUN* run)
{
    run->hDlg = CreateDialogParamA(run->p->hInst, MAKEINTRESOURCEA(IDD_PROGRESS), hOwner, BusyDlgProc,
                                   reinterpret_cast<LPARAM>(run));
    run->p->hBusyDlg = run->hDlg;
    if (run->hDlg) {
        ShowWindow(run->hDlg, SW_SHOW);
        UpdateWindow(run->hDlg);
    }
}

static void CloseBusyDialog(ZT_BUSY_RUN* run)
{
    if (!run->hDlg)
        return;
    // The owner is active again before the dialog goes, as when a modal
    // dialog ends, so the activation returns to it.
    if (run->bEnable)
        EnableWindow(run->hRoot, TRUE);
    DestroyWindow(run->hDlg);
    run->hDlg = nullptr;
    run->p->hBusyDlg = nullptr;
}

static BOOL CALLBACK AnyVisible(HWND h, LPARAM lParam)
{
    if (!IsWindowVisible(h))
        return TRUE;
    *reinterpret_cast<BOOL*>(lParam) = TRUE;
    return FALSE;
}

// Whether the task asks the user something: a box (or any window) of its
// thread is up.
static BOOL TaskAsks(DWORD tid)
{
    BOOL any = FALSE;
    EnumThreadWindows(tid, AnyVisible, reinterpret_cast<LPARAM>(&any));
    return any;
}

// How often the pump looks whether the task shows a box.
enum { BUSY_LOOK_MS = 50 };

// Answers the thread's messages until hThread (thread tid) has ended,
// holding the user's input to run->hRoot; the dialog appears after the
// delay.  While the task shows a box, the dialog is not made or is hidden,
// so that it never stands over the box it waits on.  A WM_QUIT taken
// meanwhile is posted again afterwards.
static void PumpUntilDone(HWND hOwner, ZT_BUSY_RUN* run, HANDLE hThread, DWORD tid)
{
    DWORD start = GetTickCount();
    BOOL quit = FALSE;
    WPARAM quitCode = 0;
    for (;;) {
        DWORD timeout = BUSY_LOOK_MS;
        if (!run->hDlg && !run->bClosed) {
            DWORD gone = GetTickCount() - start;
            timeout = gone >= ZT_BUSY_DELAY_MS ? 0 : ZT_BUSY_DELAY_MS - gone;
            if (timeout > BUSY_LOOK_MS)
                timeout = BUSY_LOOK_MS;
        }
        DWORD r = MsgWaitForMultipleObjectsEx(1, &hThread, timeout, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (r == WAIT_OBJECT_0)
            break;
        if (r == WAIT_TIMEOUT) {
            BOOL asks = TaskAsks(tid);
            if (run->hDlg && !run->bClosed && asks == IsWindowVisible(run->hDlg))
                ShowWindow(run->hDlg, asks ? SW_HIDE : SW_SHOWNA);
            else if (!run->hDlg && !run->bClosed && !asks && GetTickCount() - start >= ZT_BUSY_DELAY_MS)
                ShowBusyDialog(hOwner, run);
            continue;
        }
        if (r != WAIT_OBJECT_0 + 1) {
            WaitForSingleObject(hThread, INFINITE);     // cannot wait for messages: just the task
            break;
        }
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            if (m.message == WM_QUIT) {
                quit = TRUE;
                quitCode = m.wParam;
                continue;
            }
            if (IsHeldInput(m, run->hRoot))
                continue;
            if (run->hDlg && IsDialogMessageA(run->hDlg, &m))
                continue;
            TranslateMessage(&m);
            DispatchMessageA(&m);
        }
        if (run->bClosed)
            CloseBusyDialog(run);
    }
    if (quit)
        PostQuitMessage(static_cast<int>(quitCode));
}

BOOL Block_RunBusy(HWND hOwner, tagZT_Main_Param* p, ZT_BUSY_PROC pfnTask, LPVOID pArg)
{
    if (!p || !pfnTask)
        return FALSE;
    // A busy run inside another keeps the outer slot for afterwards.
    HWND oldDlg = p->hBusyDlg, oldOwner = p->hBusyOwner;
    ZT_BUSY_PROC oldProc = p->pfnBusy;
    LPVOID oldArg = p->pBusyArg;
    p->hBusyDlg = nullptr;
    p->hBusyOwner = hOwner;
    p->pfnBusy = pfnTask;
    p->pBusyArg = pArg;

    // The owner's window takes no input while the task runs: disabled (as a
    // modal dialog disables it) when it was enabled.
    ZT_BUSY_RUN run = {p, nullptr, FALSE, nullptr, FALSE};
    run.hRoot = hOwner && IsWindow(hOwner) ? GetAncestor(hOwner, GA_ROOT) : nullptr;
    run.bEnable = run.hRoot && IsWindowEnabled(run.hRoot);
    HWND hFocus = GetFocus();
    if (run.bEnable)
        EnableWindow(run.hRoot, FALSE);

    DWORD tid;
    HANDLE hThread = CreateThread(nullptr, 0, pfnTask, pArg, 0, &tid);
    if (hThread) {
        PumpUntilDone(hOwner, &run, hThread, tid);
        CloseHandle(hThread);
    }
    BOOL bShown = run.hDlg != nullptr || run.bClosed;
    CloseBusyDialog(&run);
    if (run.bEnable) {
        EnableWindow(run.hRoot, TRUE);
        // Back where the user was, once the dialog had taken the focus.
        if (bShown && hFocus && IsWindow(hFocus) && (hFocus == run.hRoot || IsChild(run.hRoot, hFocus)) &&
            GetActiveWindow() == run.hRoot)
            SetFocus(hFocus);
    }
    p->hBusyDlg = oldDlg;
    p->hBusyOwner = oldOwner;
    p->pfnBusy = oldProc;
    p->pBusyArg = oldArg;
    return hThread != nullptr;
}

struct ZT_TASK_RUN {
    const std::function<int()>* fn;
    int result;
};

static DWORD WINAPI TaskProc(LPVOID pv)
{
    ZT_TASK_RUN* t = static_cast<ZT_TASK_RUN*>(pv);
    t->result = (*t->fn)();
    return 0;
}

int Block_RunTask(HWND hOwner, tagZT_Main_Param* p, const std::function<int()>& fn)
{
    if (!p || !fn)
        return 0;
    ZT_TASK_RUN t = {&fn, 0};
    if (!Block_RunBusy(hOwner, p, TaskProc, &t))
        return 0;
    return t.result;
}

// ---- Small dialogs -------------------------------------------------------------------------

namespace {

struct DialogRun {
    const ZT_DIALOG* d;
    void* pState;
    const tagZT_Main_Param* p;
};

INT_PTR CALLBACK SmallDialogProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam)
{
    DialogRun* r = Block_DialogState<DialogRun>(hDlg, msg, lParam);
    if (!r)
        return FALSE;
    if (msg == WM_INITDIALOG)
        return r->d->pfnInit ? r->d->pfnInit(hDlg, r->pState) : TRUE;
    INT_PTR result = 0;
    if (r->d->pfnMessage && r->d->pfnMessage(hDlg, r->pState, msg, wParam, lParam, &result))
        return result;
    if (msg != WM_COMMAND)
        return FALSE;
    if (LOWORD(wParam) == IDOK) {
        if (r->d->pszRightWhat && !Rights_Ask(r->p, hDlg, r->d->iRightModule, r->d->iRightOp, r->d->pszRightWhat))
            return TRUE;
        if (!r->d->pfnSave || r->d->pfnSave(hDlg, r->pState))
            EndDialog(hDlg, IDOK);
        return TRUE;
    }
    if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(hDlg, IDCANCEL);
        return TRUE;
    }
    return FALSE;
}

}  // namespace

INT_PTR Block_RunDialog(HWND hOwner, tagZT_Main_Param* p, const ZT_DIALOG* d, void* pState)
{
    if (!p || !d || !FindResourceA(p->hInst, MAKEINTRESOURCEA(d->iTemplate), reinterpret_cast<LPCSTR>(RT_DIALOG)))
        return IDCANCEL;
    DialogRun r = {d, pState, p};
    INT_PTR result = DialogBoxParamA(p->hInst, MAKEINTRESOURCEA(d->iTemplate), hOwner, SmallDialogProc,
                                     reinterpret_cast<LPARAM>(&r));
    return result == IDOK ? IDOK : IDCANCEL;
}

void Block_RefillList(HWND hBox, const std::function<void(HWND)>& fill)
{
    if (!hBox || !fill)
        return;
    char text[1024] = "";
    GetWindowTextA(hBox, text, sizeof(text));
    SendMessageA(hBox, CB_RESETCONTENT, 0, 0);
    fill(hBox);
    SetWindowTextA(hBox, text);
}

void Block_CentreOver(HWND hDlg, HWND hOwner)
{
    HWND frame = hOwner ? GetAncestor(hOwner, GA_ROOT) : nullptr;
    RECT rf, rd;
    if (!GetWindowRect(hDlg, &rd) || !frame || !GetWindowRect(frame, &rf))
        return;
    int cx = rd.right - rd.left, cy = rd.bottom - rd.top;
    int x = rf.left + (rf.right - rf.left - cx) / 2, y = rf.top + (rf.bottom - rf.top - cy) / 2;
    MONITORINFO mi;
    mi.cbSize = sizeof(mi);
    if (GetMonitorInfoA(MonitorFromWindow(frame, MONITOR_DEFAULTTONEAREST), &mi)) {
        const RECT& wa = mi.rcWork;
        x = x + cx > wa.right ? wa.right - cx : x;
        y = y + cy > wa.bottom ? wa.bottom - cy : y;
        x = x < wa.left ? wa.left : x;
        y = y < wa.top ? wa.top : y;
    }
    SetWindowPos(hDlg, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
