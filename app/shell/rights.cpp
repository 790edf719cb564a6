// Permission checks over the permission library's answers.
#include "app/shell/rights.h"
#include "app/resources/resource.h"
#include "outside/popedom/ZTPopedom.h"

#include <commctrl.h>
#include <cstdio>

namespace {

// ---- Answers --------------------------------------------------------------------

uint32_t Self(uint32_t w, int op) { return PD_Self(w, op, 0); }
uint32_t Akst(uint32_t w, int op) { return PD_Akst(w, op, 0, 0); }
bool SelfClosed(uint32_t w) { return PD_Self(w, 0, -1) == 1; }
bool AkstClosed(uint32_t w) { return PD_Akst(w, 0, -2, 1) == 2; }

// The scoped word of the house or client module.
uint32_t ScopedWord(const tagZT_Main_Param* p, int iModule)
{
    return iModule == ZTM_HOUSE ? p->W1 : p->W2;
}

// ---- Menus ----------------------------------------------------------------------

void GreyCommand(HMENU hMenu, UINT id)
{
    if (hMenu) EnableMenuItem(hMenu, id, MF_BYCOMMAND | MF_GRAYED);
}

HMENU ContextPopup(const tagZT_Main_Param* p, int pos)
{
    return p->hContextMenus ? GetSubMenu(p->hContextMenus, pos) : nullptr;
}

// Greys add, modify and delete commands of one popup by the answers for
// operations 1, 2 and 3.
void GreyByOps(HMENU hPopup, const uint32_t answers[4], UINT idAdd, UINT idModify, UINT idDelete)
{
    if (!answers[ZT_OP_ADD]) GreyCommand(hPopup, idAdd);
    if (!answers[ZT_OP_MODIFY]) GreyCommand(hPopup, idModify);
    if (!answers[ZT_OP_DELETE]) GreyCommand(hPopup, idDelete);
}

void SelfAnswers(uint32_t w, uint32_t out[4])
{
    for (int op = 0; op < 4; op++) out[op] = Self(w, op);
}

void AkstAnswers(uint32_t w, uint32_t out[4])
{
    for (int op = 0; op < 4; op++) out[op] = Akst(w, op);
}

// ---- Toolbars -------------------------------------------------------------------

void DisableButton(HWND hToolbar, int id)
{
    if (hToolbar) SendMessageA(hToolbar, TB_ENABLEBUTTON, static_cast<WPARAM>(id), MAKELPARAM(FALSE, 0));
}

void DisableByOps(HWND hToolbar, const uint32_t answers[4], int idAdd, int idModify, int idDelete)
{
    if (!answers[ZT_OP_ADD]) DisableButton(hToolbar, idAdd);
    if (!answers[ZT_OP_MODIFY]) DisableButton(hToolbar, idModify);
    if (!answers[ZT_OP_DELETE]) DisableButton(hToolbar, idDelete);
}

// ---- Dialog controls ------------------------------------------------------------

struct FindArg {
    int id;
    HWND found;
};

BOOL CALLBACK FindChild(HWND hwnd, LPARAM lp)
{
    FindArg* a = reinterpret_cast<FindArg*>(lp);
    if (GetDlgCtrlID(hwnd) == a->id) {
        a->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

void EnableControl(HWND hDlg, int id, BOOL bEnable)
{
    HWND h = Rights_FindControl(hDlg, id);
    if (h) EnableWindow(h, bEnable);
}

void DisableControls(HWND hDlg, const int* ids, int n)
{
    for (int i = 0; i < n; i++) EnableControl(hDlg, ids[i], FALSE);
}

void LockControls(HWND hDlg, const int* ids, int n)
{
    for (int i = 0; i < n; i++) {
        HWND h = Rights_FindControl(hDlg, ids[i]);
        if (h) Rights_LockField(h);
    }
}

#define COUNT_OF(a) static_cast<int>(sizeof(a) / sizeof((a)[0]))

// ---- Locked field ---------------------------------------------------------------

const char kLockProp[] = "ZT_LOCKED_PREVPROC";

LRESULT CALLBACK LockedFieldProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    WNDPROC prev = reinterpret_cast<WNDPROC>(GetPropA(hwnd, kLockProp));
    switch (msg) {
    // Focus, keys and characters never reach the control.
    case WM_SETFOCUS:
    case WM_KEYDOWN: case WM_KEYUP: case WM_CHAR: case WM_DEADCHAR:
    case WM_SYSKEYDOWN: case WM_SYSKEYUP: case WM_SYSCHAR: case WM_SYSDEADCHAR:
    case WM_IME_CHAR: case WM_IME_COMPOSITION:
    case WM_IME_STARTCOMPOSITION: case WM_IME_ENDCOMPOSITION:
    // Nor may the user change the value through the edit's own menu.
    case WM_CONTEXTMENU: case WM_CUT: case WM_PASTE: case WM_CLEAR: case WM_UNDO:
        return 0;
    case WM_GETDLGCODE:
        // It takes no keys, so the dialog keeps Tab and Shift+Tab (a
        // multi-line edit would claim every key).
        return (prev ? CallWindowProcA(prev, hwnd, msg, wp, lp) : 0) & ~(DLGC_WANTALLKEYS | DLGC_WANTTAB);
    case WM_NCDESTROY:
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(prev));
        RemovePropA(hwnd, kLockProp);
        break;
    default:
        break;
    }
    return prev ? CallWindowProcA(prev, hwnd, msg, wp, lp) : DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace

// ---- Opening --------------------------------------------------------------------

BOOL Rights_MayOpen(const tagZT_Main_Param* p, int iModule)
{
    switch (iModule) {
    case ZTM_AREA: return Self(p->W10, ZT_OP_VIEW) != 0;
    case ZTM_PARAM: return Self(p->W9, ZT_OP_VIEW) != 0;
    case ZTM_ESTATE: return Self(p->W4, ZT_OP_VIEW) != 0;
    case ZTM_ORG: return Self(p->W7, ZT_OP_VIEW) != 0;
    case ZTM_HOUSE: return Akst(p->W1, ZT_OP_VIEW) != 0;
    case ZTM_CLIENT:
    case ZTM_HOUSE_FOLLOW:
    case ZTM_CLIENT_FOLLOW:
    case ZTM_RECYCLE:
    case ZTM_LOG: return Akst(p->W2, ZT_OP_VIEW) != 0;
    default: return FALSE;
    }
}

// ---- Menus ----------------------------------------------------------------------

void Rights_ContextAreas(const tagZT_Main_Param* p)
{
    uint32_t a[4];
    SelfAnswers(p->W10, a);
    GreyByOps(ContextPopup(p, CTXPOS_CITY), a, 40062, 40064, 40070);
    HMENU urban = ContextPopup(p, CTXPOS_URBAN);
    GreyByOps(urban, a, 40058, 40060, 40040);
    if (!a[ZT_OP_MODIFY]) GreyCommand(urban, 40044);
    GreyByOps(ContextPopup(p, CTXPOS_DISTRICT), a, 40066, 40067, 40068);
}

void Rights_ContextParams(const tagZT_Main_Param* p)
{
    uint32_t a[4];
    SelfAnswers(p->W9, a);
    GreyByOps(ContextPopup(p, CTXPOS_PARAM), a, 40051, 40052, 40053);
}

void Rights_ContextOrg(const tagZT_Main_Param* p)
{
    // Greyed for every user; nothing enables them again.
    static const UINT kBranch[] = {2000, 1317, 1318};
    static const UINT kEmployee[] = {40114, 40116, 40112};
    HMENU branches = ContextPopup(p, CTXPOS_BRANCH);
    HMENU employees = ContextPopup(p, CTXPOS_EMPLOYEE);
    for (UINT id : kBranch) {
        GreyCommand(branches, id);
        GreyCommand(employees, id);
    }
    for (UINT id : kEmployee) GreyCommand(employees, id);
}

void Rights_ContextEstates(const tagZT_Main_Param* p)
{
    uint32_t a[4];
    SelfAnswers(p->W4, a);
    GreyByOps(ContextPopup(p, CTXPOS_ESTATE), a, 40056, 40057, 40059);
}

void Rights_ContextHouses(const tagZT_Main_Param* p)
{
    uint32_t a[4];
    AkstAnswers(p->W1, a);
    GreyByOps(ContextPopup(p, CTXPOS_HOUSE), a, 40064, 40065, 40066);
}

void Rights_ContextClients(const tagZT_Main_Param* p)
{
    uint32_t a[4];
    AkstAnswers(p->W2, a);
    GreyByOps(ContextPopup(p, CTXPOS_CLIENT), a, 40178, 40087, 40179);
}

void ApplyMenuRights(tagZT_Main_Param* p)
{
    struct AdminModule {
        uint32_t word;
        UINT command;
        void (*context)(const tagZT_Main_Param*);
    };
    const AdminModule admin[] = {
        {p->W10, IDM_AREA, Rights_ContextAreas},
        {p->W7, IDM_BRANCH, Rights_ContextOrg},
        {p->W9, IDM_PARAM, Rights_ContextParams},
        {p->W4, IDM_ESTATE, Rights_ContextEstates},
        {p->W11, IDM_SYSOPT, nullptr},
    };
    HMENU menu = p->hMainMenu;
    int closed = 0;
    for (const AdminModule& m : admin) {
        if (SelfClosed(m.word)) {
            GreyCommand(menu, m.command);
            closed++;
        } else if (m.context) {
            m.context(p);
        }
    }
    // Popups go from the highest position down, so the lower ones keep theirs.
    if (closed == COUNT_OF(admin) && menu) DeleteMenu(menu, MAINPOS_ESTATE, MF_BYPOSITION);
    if (AkstClosed(p->W2)) {
        if (menu) DeleteMenu(menu, MAINPOS_CLIENT, MF_BYPOSITION);
    } else {
        Rights_ContextClients(p);
    }
    if (AkstClosed(p->W1)) {
        if (menu) DeleteMenu(menu, MAINPOS_HOUSE, MF_BYPOSITION);
    } else {
        Rights_ContextHouses(p);
    }
    if (menu && p->hOwner && GetMenu(p->hOwner) == menu) DrawMenuBar(p->hOwner);
}

// ---- Toolbars -------------------------------------------------------------------

void Rights_ToolbarParams(const tagZT_Main_Param* p, HWND hToolbar)
{
    uint32_t a[4];
    SelfAnswers(p->W9, a);
    DisableByOps(hToolbar, a, 40051, 40052, 40053);
}

void Rights_ToolbarEstates(const tagZT_Main_Param* p, HWND hToolbar)
{
    uint32_t a[4];
    SelfAnswers(p->W4, a);
    DisableByOps(hToolbar, a, 40056, 40057, 40059);
}

void Rights_ToolbarAreas(const tagZT_Main_Param* p, HWND hToolbar)
{
    uint32_t a[4];
    SelfAnswers(p->W10, a);
    DisableByOps(hToolbar, a, 40066, 40067, 40068);
    DisableButton(hToolbar, 40062);
    if (!a[ZT_OP_ADD] && !a[ZT_OP_MODIFY] && !a[ZT_OP_DELETE]) DisableButton(hToolbar, 40058);
}

void Rights_ToolbarClients(const tagZT_Main_Param* p, HWND hToolbar)
{
    uint32_t a[4];
    AkstAnswers(p->W2, a);
    DisableByOps(hToolbar, a, 40178, 40087, 40179);
}

BOOL Rights_ToolbarHouses(const tagZT_Main_Param* p, HWND hToolbar, HWND hWnd)
{
    uint32_t a[4];
    AkstAnswers(p->W1, a);
    DisableByOps(hToolbar, a, 40064, 40065, 40066);
    if (Self(p->W3, ZT_OP_VIEW)) return TRUE;
    DisableButton(hToolbar, 40086);
    if (hWnd) SendMessageA(hWnd, WM_COMMAND, MAKEWPARAM(40086, 0), 0);
    return FALSE;
}

void Rights_ToolbarFollowUps(const tagZT_Main_Param* p, HWND hToolbar)
{
    if (!Self(p->W3, ZT_OP_DELETE)) DisableButton(hToolbar, 40194);
}

void Rights_ToolbarOrg(const tagZT_Main_Param*, HWND hToolbar)
{
    static const int kAlwaysOff[] = {2000, 40114, 40192, 40191, 40115};
    for (int id : kAlwaysOff) DisableButton(hToolbar, id);
}

// ---- Lists and records ------------------------------------------------------------

void Rights_ScopeText(const tagZT_Main_Param* p, int iModule, char* pszOut, size_t cb)
{
    if (!pszOut || cb == 0) return;
    pszOut[0] = '\0';
    uint32_t scope = Akst(ScopedWord(p, iModule), ZT_OP_VIEW);
    // Without a logged-in record the key 0 matches nothing rather than all.
    if (scope == 1)
        snprintf(pszOut, cb, "iEmp = %d", p->pLoginEmp ? p->pLoginEmp->iOrdinal : 0);
    else if (scope == 16)
        snprintf(pszOut, cb, "iBr = %d", p->pLoginBr ? p->pLoginBr->iOrdinal : 0);
}

BOOL Rights_MayModifyRecord(const tagZT_Main_Param* p, int iModule, int32_t iEmp, int32_t iBr)
{
    uint32_t answer = Akst(ScopedWord(p, iModule), ZT_OP_MODIFY);
    if (answer == 0) return FALSE;
    if (answer == 4) return p->pLoginEmp && iEmp == p->pLoginEmp->iOrdinal;
    if (answer == 64) return p->pLoginEmp && iBr == p->pLoginEmp->iBr;
    return TRUE;
}

BOOL Rights_MayAddHouse(const tagZT_Main_Param* p) { return Akst(p->W1, ZT_OP_ADD) != 0; }
BOOL Rights_MayDeleteHouse(const tagZT_Main_Param* p) { return Akst(p->W1, ZT_OP_DELETE) != 0; }
BOOL Rights_MayAddClient(const tagZT_Main_Param* p) { return Akst(p->W2, ZT_OP_ADD) != 0; }
BOOL Rights_MayDeleteClient(const tagZT_Main_Param* p) { return Akst(p->W2, ZT_OP_DELETE) != 0; }
BOOL Rights_MayViewFollowUps(const tagZT_Main_Param* p) { return Self(p->W3, ZT_OP_VIEW) != 0; }
BOOL Rights_MayDeleteFollowUp(const tagZT_Main_Param* p) { return Self(p->W3, ZT_OP_DELETE) != 0; }
BOOL Rights_MayModifyParam(const tagZT_Main_Param* p) { return Self(p->W9, ZT_OP_MODIFY) != 0; }
BOOL Rights_MayLoadOrg(const tagZT_Main_Param* p) { return Self(p->W7, ZT_OP_VIEW) != 0; }
BOOL Rights_HouseField(const tagZT_Main_Param* p, int n) { return PD_Part(p->W16, n, 0) != 0; }
BOOL Rights_ClientField(const tagZT_Main_Param* p, int n) { return PD_Part(p->W15, n, 0) != 0; }
BOOL Rights_MayEstate(const tagZT_Main_Param* p, int iOp) { return Self(p->W4, iOp) != 0; }
BOOL Rights_EstateField(const tagZT_Main_Param* p, int n) { return PD_Part(p->W17, n, 0) != 0; }

// ---- Dialogs ----------------------------------------------------------------------

void Rights_RecordSave(const tagZT_Main_Param* p, HWND hDlg, int iModule, int32_t iEmp, int32_t iBr)
{
    EnableControl(hDlg, IDOK, Rights_MayModifyRecord(p, iModule, iEmp, iBr));
}

void Rights_EstateDialog(const tagZT_Main_Param* p, HWND hDlg)
{
    if (!Self(p->W4, ZT_OP_MODIFY)) EnableControl(hDlg, IDOK, FALSE);
    if (!Self(p->W5, ZT_OP_ADD)) EnableControl(hDlg, 5, FALSE);
    if (!Self(p->W5, ZT_OP_MODIFY)) EnableControl(hDlg, 4, FALSE);
    if (!Self(p->W5, ZT_OP_DELETE)) EnableControl(hDlg, 3, FALSE);
    if (!Rights_EstateField(p, ZT_FR_EST_NAME)) {
        static const int kName[] = {1044, 1045};
        DisableControls(hDlg, kName, COUNT_OF(kName));
    }
}

void Rights_EmployeeSave(const tagZT_Main_Param* p, HWND hDlg)
{
    if (!Self(p->W7, ZT_OP_MODIFY)) EnableControl(hDlg, IDOK, FALSE);
}

void Rights_SysOptSave(const tagZT_Main_Param* p, HWND hDlg)
{
    if (!PD_Akst(p->W11, ZT_OP_MODIFY, 0, 0)) EnableControl(hDlg, IDOK, FALSE);
}

void Rights_PositionButtons(const tagZT_Main_Param* p, HWND hDlg)
{
    if (!Self(p->W8, ZT_OP_ADD)) EnableControl(hDlg, 5, FALSE);
    if (!Self(p->W7, ZT_OP_MODIFY)) EnableControl(hDlg, 4, FALSE);
    if (!Self(p->W7, ZT_OP_DELETE)) EnableControl(hDlg, 3, FALSE);
}

void Rights_GrantButton(const tagZT_Main_Param* p, HWND hDlg)
{
    if (!Self(p->W14, ZT_OP_MODIFY)) EnableControl(hDlg, 1086, FALSE);
}

void Rights_HouseFields(const tagZT_Main_Param* p, HWND hDlg)
{
    if (!Rights_HouseField(p, ZT_FR_TEL)) {
        static const int kLock[] = {1083, 1084};
        LockControls(hDlg, kLock, COUNT_OF(kLock));
    }
    if (!Rights_HouseField(p, ZT_FR_PRICE)) {
        static const int kLock[] = {1090, 1259, 1260, 1091, 1261, 1262};
        LockControls(hDlg, kLock, COUNT_OF(kLock));
    }
    if (!Rights_HouseField(p, ZT_FR_REMARK)) {
        static const int kLock[] = {1108};
        LockControls(hDlg, kLock, COUNT_OF(kLock));
    }
    if (!Rights_HouseField(p, ZT_FR_LOCATION)) {
        static const int kOff[] = {1092, 1019, 1043, 1042, 1099, 1100};
        static const int kLock[] = {1254, 1103, 1102};
        DisableControls(hDlg, kOff, COUNT_OF(kOff));
        LockControls(hDlg, kLock, COUNT_OF(kLock));
    }
    if (!Rights_HouseField(p, ZT_FR_AGENT)) EnableControl(hDlg, 1117, FALSE);
    if (!Rights_HouseField(p, ZT_FR_DELEGATE)) EnableControl(hDlg, 1071, FALSE);
    if (!Rights_HouseField(p, ZT_FR_AREA)) {
        static const int kLock[] = {1049};
        LockControls(hDlg, kLock, COUNT_OF(kLock));
    }
    if (!Rights_HouseField(p, ZT_FR_VIEW_TEL)) EnableControl(hDlg, 1295, FALSE);
}

void Rights_ClientFields(const tagZT_Main_Param* p, HWND hDlg)
{
    if (!Rights_ClientField(p, ZT_FR_TEL)) {
        static const int kOff[] = {1282, 1084};
        DisableControls(hDlg, kOff, COUNT_OF(kOff));
    }
    if (!Rights_ClientField(p, ZT_FR_PRICE)) {
        static const int kOff[] = {1119, 1121, 1127, 1129};
        DisableControls(hDlg, kOff, COUNT_OF(kOff));
    }
    if (!Rights_ClientField(p, ZT_FR_REMARK)) EnableControl(hDlg, 1108, FALSE);
    if (!Rights_ClientField(p, ZT_FR_AGENT)) {
        static const int kOff[] = {1117, 1118};
        DisableControls(hDlg, kOff, COUNT_OF(kOff));
    }
    if (!Rights_ClientField(p, ZT_FR_DELEGATE)) EnableControl(hDlg, 1072, FALSE);
    if (!Rights_ClientField(p, ZT_FR_VIEW_TEL)) EnableControl(hDlg, 1295, FALSE);
}

// ---- Locked field --------------------------------------------------------------

void Rights_LockField(HWND hCtl)
{
    if (!hCtl || !IsWindow(hCtl) || Rights_IsLocked(hCtl)) return;
    // A control that already has the focus gives it up to its dialog.
    if (GetFocus() == hCtl) SetFocus(GetParent(hCtl));
    // Tab and Shift+Tab pass over it.
    SetWindowLongPtrA(hCtl, GWL_STYLE, GetWindowLongPtrA(hCtl, GWL_STYLE) & ~static_cast<LONG_PTR>(WS_TABSTOP));
    LONG_PTR prev = GetWindowLongPtrA(hCtl, GWLP_WNDPROC);
    SetPropA(hCtl, kLockProp, reinterpret_cast<HANDLE>(prev));
    SetWindowLongPtrA(hCtl, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(LockedFieldProc));
}

BOOL Rights_IsLocked(HWND hCtl)
{
    return hCtl && GetPropA(hCtl, kLockProp) != nullptr;
}

HWND Rights_FindControl(HWND hDlg, int id)
{
    if (!hDlg) return nullptr;
    HWND h = GetDlgItem(hDlg, id);
    if (h) return h;
    FindArg a = {id, nullptr};
    EnumChildWindows(hDlg, FindChild, reinterpret_cast<LPARAM>(&a));
    return a.found;
}
