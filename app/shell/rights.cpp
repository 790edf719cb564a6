// Permission checks over the permission library's answers.
#include "app/shell/rights.h"
#include "app/resources/resource.h"
#include "outside/popedom/ZTPopedom.h"

#include <commctrl.h>
#include <cstdio>
#include <cstring>

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

// ---- The modules' words ---------------------------------------------------------------

typedef uint32_t tagZT_Main_Param::*Word;

// A permission word and how it is asked (PD_Akst, scoped, or PD_Self).
struct Asked {
    Word word;
    bool akst;
};

uint32_t Answer(const tagZT_Main_Param* p, Asked a, int op)
{
    return a.akst ? Akst(p->*a.word, op) : Self(p->*a.word, op);
}

// Which word opens each module and which governs its operations.
struct ModuleWords {
    int iModule;
    Asked open;
    Asked ops;
};
const ModuleWords kModules[] = {
    {ZTM_AREA, {&tagZT_Main_Param::W10, false}, {&tagZT_Main_Param::W10, false}},
    {ZTM_PARAM, {&tagZT_Main_Param::W9, false}, {&tagZT_Main_Param::W9, false}},
    {ZTM_ESTATE, {&tagZT_Main_Param::W4, false}, {&tagZT_Main_Param::W4, false}},
    {ZTM_ORG, {&tagZT_Main_Param::W7, false}, {&tagZT_Main_Param::W7, false}},
    {ZTM_HOUSE, {&tagZT_Main_Param::W1, true}, {&tagZT_Main_Param::W1, true}},
    {ZTM_CLIENT, {&tagZT_Main_Param::W2, true}, {&tagZT_Main_Param::W2, true}},
    {ZTM_HOUSE_FOLLOW, {&tagZT_Main_Param::W2, true}, {&tagZT_Main_Param::W3, false}},
    {ZTM_CLIENT_FOLLOW, {&tagZT_Main_Param::W2, true}, {&tagZT_Main_Param::W3, false}},
    {ZTM_RECYCLE, {&tagZT_Main_Param::W2, true}, {&tagZT_Main_Param::W2, true}},
    {ZTM_LOG, {&tagZT_Main_Param::W2, true}, {&tagZT_Main_Param::W2, true}},
    {ZTM_BRANCH, {&tagZT_Main_Param::W6, false}, {&tagZT_Main_Param::W6, false}},
    {ZTM_POSITION, {&tagZT_Main_Param::W8, false}, {&tagZT_Main_Param::W8, false}},
    {ZTM_GRANT, {&tagZT_Main_Param::W14, false}, {&tagZT_Main_Param::W14, false}},
};

const ModuleWords* WordsOf(int iModule)
{
    for (const ModuleWords& m : kModules)
        if (m.iModule == iModule)
            return &m;
    return nullptr;
}

// The add, modify and delete commands of a popup of the context menus or
// of a module's toolbar, greyed by the module's answers.
struct OpCommands {
    int iModule;
    int iPopup;             // popup of menu 120 (toolbars: unused)
    UINT add, modify, del;
};
const OpCommands kPopups[] = {
    {ZTM_AREA, CTXPOS_CITY, ID_AREA_CITY_ADD, ID_AREA_CITY_MODIFY, ID_AREA_CITY_DELETE},
    {ZTM_AREA, CTXPOS_URBAN, ID_AREA_URBAN_ADD, ID_AREA_URBAN_MODIFY, ID_AREA_URBAN_DELETE},
    {ZTM_AREA, CTXPOS_DISTRICT, ID_AREA_DIST_ADD, ID_AREA_DIST_MODIFY, ID_AREA_DIST_DELETE},
    {ZTM_PARAM, CTXPOS_PARAM, ID_PARAM_ADD, ID_PARAM_MODIFY, ID_PARAM_DELETE},
    {ZTM_ESTATE, CTXPOS_ESTATE, ID_ESTATE_ADD, ID_ESTATE_MODIFY, ID_ESTATE_DELETE},
    {ZTM_HOUSE, CTXPOS_HOUSE, ID_HOUSE_ADD, ID_HOUSE_MODIFY, ID_HOUSE_DELETE},
    {ZTM_CLIENT, CTXPOS_CLIENT, ID_CLIENT_ADD, ID_CLIENT_MODIFY, ID_CLIENT_DELETE},
};
const OpCommands kToolbars[] = {
    {ZTM_PARAM, 0, ID_PARAM_ADD, ID_PARAM_MODIFY, ID_PARAM_DELETE},
    {ZTM_ESTATE, 0, ID_ESTATE_ADD, ID_ESTATE_MODIFY, ID_ESTATE_DELETE},
    {ZTM_AREA, 0, ID_AREA_DIST_ADD, ID_AREA_DIST_MODIFY, ID_AREA_DIST_DELETE},
    {ZTM_CLIENT, 0, ID_CLIENT_ADD, ID_CLIENT_MODIFY, ID_CLIENT_DELETE},
    {ZTM_HOUSE, 0, ID_HOUSE_ADD, ID_HOUSE_MODIFY, ID_HOUSE_DELETE},
    {ZTM_HOUSE_FOLLOW, 0, 0, 0, ID_FOLLOW_DELETE},
};

// The organisation window's commands and the operation of the module each
// asks; iModule -1: never offered.
struct OrgCommand {
    int iCmd;
    int iModule;
    int iOp;
};
const OrgCommand kOrgCommands[] = {
    {ID_ORG_BRANCH_ADD, ZTM_BRANCH, ZT_OP_ADD},
    {ID_ORG_BRANCH_MODIFY, ZTM_BRANCH, ZT_OP_MODIFY},
    {ID_ORG_BRANCH_DELETE, ZTM_BRANCH, ZT_OP_DELETE},
    {ID_ORG_EMP_ADD, ZTM_ORG, ZT_OP_ADD},
    {ID_ORG_EMP_DELETE, ZTM_ORG, ZT_OP_DELETE},
    {ID_ORG_PWD_RESET, ZTM_ORG, ZT_OP_MODIFY},
    {ID_ORG_EMP_TRANSFER, ZTM_ORG, ZT_OP_MODIFY},
    {ID_ORG_POSITIONS, ZTM_POSITION, ZT_OP_VIEW},
    {IDC_PD_GRANT, ZTM_GRANT, ZT_OP_MODIFY},
    {ID_ORG_MERGE, -1, 0},
};

// ---- Menus ----------------------------------------------------------------------

void GreyCommand(HMENU hMenu, UINT id)
{
    if (hMenu) EnableMenuItem(hMenu, id, MF_BYCOMMAND | MF_GRAYED);
}

HMENU ContextPopup(const tagZT_Main_Param* p, int pos)
{
    return p->hContextMenus ? GetSubMenu(p->hContextMenus, pos) : nullptr;
}

// The module's answers for operations 0 to 3.
void Answers(const tagZT_Main_Param* p, int iModule, uint32_t out[4])
{
    const ModuleWords* m = WordsOf(iModule);
    for (int op = 0; op < 4; op++) out[op] = m ? Answer(p, m->ops, op) : 0;
}

// Greys the add, modify and delete commands of the module's popups by its
// answers for operations 1, 2 and 3.
void GreyPopups(const tagZT_Main_Param* p, int iModule, const uint32_t a[4])
{
    for (const OpCommands& c : kPopups) {
        if (c.iModule != iModule) continue;
        HMENU h = ContextPopup(p, c.iPopup);
        if (!a[ZT_OP_ADD]) GreyCommand(h, c.add);
        if (!a[ZT_OP_MODIFY]) GreyCommand(h, c.modify);
        if (!a[ZT_OP_DELETE]) GreyCommand(h, c.del);
    }
}

void ContextCheck(const tagZT_Main_Param* p, int iModule)
{
    uint32_t a[4];
    Answers(p, iModule, a);
    GreyPopups(p, iModule, a);
}

// ---- Toolbars -------------------------------------------------------------------

void DisableButton(HWND hToolbar, int id)
{
    if (hToolbar) SendMessageA(hToolbar, TB_ENABLEBUTTON, static_cast<WPARAM>(id), MAKELPARAM(FALSE, 0));
}

// Disables the module's add, modify and delete buttons the user may not
// use; the answers go to out (when given).
void ToolbarCheck(const tagZT_Main_Param* p, int iModule, HWND hToolbar, uint32_t* out = nullptr)
{
    uint32_t a[4];
    Answers(p, iModule, a);
    for (const OpCommands& c : kToolbars) {
        if (c.iModule != iModule) continue;
        if (!a[ZT_OP_ADD] && c.add) DisableButton(hToolbar, c.add);
        if (!a[ZT_OP_MODIFY] && c.modify) DisableButton(hToolbar, c.modify);
        if (!a[ZT_OP_DELETE] && c.del) DisableButton(hToolbar, c.del);
    }
    if (out) memcpy(out, a, sizeof(a));
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

BOOL Rights_May(const tagZT_Main_Param* p, int iModule, int iOp)
{
    const ModuleWords* m = WordsOf(iModule);
    return m && Answer(p, iOp == ZT_OP_VIEW ? m->open : m->ops, iOp) != 0;
}

BOOL Rights_MayOpen(const tagZT_Main_Param* p, int iModule)
{
    return Rights_May(p, iModule, ZT_OP_VIEW);
}

// ---- Menus ----------------------------------------------------------------------

void Rights_ContextAreas(const tagZT_Main_Param* p)
{
    uint32_t a[4];
    Answers(p, ZTM_AREA, a);
    GreyPopups(p, ZTM_AREA, a);
    if (!a[ZT_OP_MODIFY]) GreyCommand(ContextPopup(p, CTXPOS_URBAN), ID_AREA_URBAN_MERGE);
}

void Rights_ContextParams(const tagZT_Main_Param* p) { ContextCheck(p, ZTM_PARAM); }
void Rights_ContextEstates(const tagZT_Main_Param* p) { ContextCheck(p, ZTM_ESTATE); }
// Deleting a listing's follow-ups also needs the follow-up delete right
// (and, checked when it runs, the right to modify that listing).
void Rights_ContextHouses(const tagZT_Main_Param* p)
{
    ContextCheck(p, ZTM_HOUSE);
    if (!Self(p->W3, ZT_OP_DELETE)) GreyCommand(ContextPopup(p, CTXPOS_HOUSE), ID_HOUSE_DELETE_FOLLOWS);
}

void Rights_ContextClients(const tagZT_Main_Param* p)
{
    ContextCheck(p, ZTM_CLIENT);
    if (!Self(p->W3, ZT_OP_DELETE)) GreyCommand(ContextPopup(p, CTXPOS_CLIENT), ID_CLIENT_DELETE_FOLLOWS);
}

void Rights_ContextOrg(const tagZT_Main_Param* p)
{
    for (const OrgCommand& c : kOrgCommands) {
        if (Rights_OrgCommand(p, c.iCmd)) continue;
        GreyCommand(ContextPopup(p, CTXPOS_BRANCH), static_cast<UINT>(c.iCmd));
        GreyCommand(ContextPopup(p, CTXPOS_EMPLOYEE), static_cast<UINT>(c.iCmd));
    }
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

void Rights_ToolbarParams(const tagZT_Main_Param* p, HWND hToolbar) { ToolbarCheck(p, ZTM_PARAM, hToolbar); }
void Rights_ToolbarEstates(const tagZT_Main_Param* p, HWND hToolbar) { ToolbarCheck(p, ZTM_ESTATE, hToolbar); }
void Rights_ToolbarClients(const tagZT_Main_Param* p, HWND hToolbar) { ToolbarCheck(p, ZTM_CLIENT, hToolbar); }
void Rights_ToolbarFollowUps(const tagZT_Main_Param* p, HWND hToolbar) { ToolbarCheck(p, ZTM_HOUSE_FOLLOW, hToolbar); }

void Rights_ToolbarAreas(const tagZT_Main_Param* p, HWND hToolbar)
{
    uint32_t a[4];
    ToolbarCheck(p, ZTM_AREA, hToolbar, a);
    DisableButton(hToolbar, ID_AREA_CITY_ADD);
    if (!a[ZT_OP_ADD] && !a[ZT_OP_MODIFY] && !a[ZT_OP_DELETE]) DisableButton(hToolbar, ID_AREA_URBAN_ADD);
}

BOOL Rights_ToolbarHouses(const tagZT_Main_Param* p, HWND hToolbar, HWND hWnd)
{
    ToolbarCheck(p, ZTM_HOUSE, hToolbar);
    if (Rights_MayViewFollowUps(p)) return TRUE;
    DisableButton(hToolbar, ID_HOUSE_FOLLOW_HIDE);
    if (hWnd) SendMessageA(hWnd, WM_COMMAND, MAKEWPARAM(ID_HOUSE_FOLLOW_HIDE, 0), 0);
    return FALSE;
}

void Rights_ToolbarOrg(const tagZT_Main_Param* p, HWND hToolbar)
{
    for (const OrgCommand& c : kOrgCommands)
        if (!Rights_OrgCommand(p, c.iCmd)) DisableButton(hToolbar, c.iCmd);
}

BOOL Rights_OrgCommand(const tagZT_Main_Param* p, int iCmd)
{
    for (const OrgCommand& c : kOrgCommands)
        if (c.iCmd == iCmd) return c.iModule >= 0 && Rights_May(p, c.iModule, c.iOp);
    return TRUE;
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

BOOL Rights_MayViewFollowUps(const tagZT_Main_Param* p) { return Self(p->W3, ZT_OP_VIEW) != 0; }
BOOL Rights_MayModifyParam(const tagZT_Main_Param* p) { return Self(p->W9, ZT_OP_MODIFY) != 0; }
BOOL Rights_MayLoadOrg(const tagZT_Main_Param* p) { return Self(p->W7, ZT_OP_VIEW) != 0; }
BOOL Rights_HouseField(const tagZT_Main_Param* p, int n) { return PD_Part(p->W16, n, 0) != 0; }
BOOL Rights_ClientField(const tagZT_Main_Param* p, int n) { return PD_Part(p->W15, n, 0) != 0; }
BOOL Rights_EstateField(const tagZT_Main_Param* p, int n) { return PD_Part(p->W17, n, 0) != 0; }

// ---- Dialogs ----------------------------------------------------------------------

void Rights_RecordSave(const tagZT_Main_Param* p, HWND hDlg, int iModule, int32_t iEmp, int32_t iBr)
{
    EnableControl(hDlg, IDOK, Rights_MayModifyRecord(p, iModule, iEmp, iBr));
}

void Rights_EstateDialog(const tagZT_Main_Param* p, HWND hDlg)
{
    if (!Self(p->W4, ZT_OP_MODIFY)) EnableControl(hDlg, IDOK, FALSE);
    if (!Self(p->W5, ZT_OP_ADD)) EnableControl(hDlg, IDC_BNO_ADD, FALSE);
    if (!Self(p->W5, ZT_OP_MODIFY)) EnableControl(hDlg, IDC_BNO_MODIFY, FALSE);
    if (!Self(p->W5, ZT_OP_DELETE)) EnableControl(hDlg, IDC_BNO_DELETE, FALSE);
    if (!Rights_EstateField(p, ZT_FR_EST_NAME)) {
        static const int kName[] = {IDC_EST_NAME, IDC_EST_SPELL};
        DisableControls(hDlg, kName, COUNT_OF(kName));
    }
}

BOOL Rights_MayBuilding(const tagZT_Main_Param* p, int iOp)
{
    return Self(p->W5, iOp) != 0;
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
    if (!Self(p->W8, ZT_OP_MODIFY)) EnableControl(hDlg, 4, FALSE);
    if (!Self(p->W8, ZT_OP_DELETE)) EnableControl(hDlg, 3, FALSE);
}

void Rights_GrantButton(const tagZT_Main_Param* p, HWND hDlg)
{
    if (!Rights_OrgCommand(p, IDC_PD_GRANT)) EnableControl(hDlg, IDC_PD_GRANT, FALSE);
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
