// Permission checks over the permission library's answers.
#include "app/shell/rights.h"
#include "app/resources/resource.h"
#include "outside/popedom/ZTPopedom.h"
#include "common/zt_box.h"

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
    if (op == ZT_OP_CHANGE)
        return Answer(p, a, ZT_OP_ADD) || Answer(p, a, ZT_OP_MODIFY) || Answer(p, a, ZT_OP_DELETE);
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
    {ZTM_RECYCLE, {&tagZT_Main_Param::W13, false}, {&tagZT_Main_Param::W13, false}},
    {ZTM_LOG, {&tagZT_Main_Param::W12, false}, {&tagZT_Main_Param::W12, false}},
    {ZTM_BRANCH, {&tagZT_Main_Param::W6, false}, {&tagZT_Main_Param::W6, false}},
    {ZTM_POSITION, {&tagZT_Main_Param::W8, false}, {&tagZT_Main_Param::W8, false}},
    {ZTM_GRANT, {&tagZT_Main_Param::W14, false}, {&tagZT_Main_Param::W14, false}},
    {ZTM_SYSOPT, {&tagZT_Main_Param::W11, false}, {&tagZT_Main_Param::W11, false}},
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
    {ZTM_LOG, CTXPOS_LOG, 0, 0, ID_LOG_DELETE},
    {ZTM_LOG, CTXPOS_LOG, 0, 0, ID_LOG_CLEAR},
    {ZTM_RECYCLE, CTXPOS_RECYCLE, 0, ID_RECYCLE_RESTORE, ID_RECYCLE_DELETE},
    {ZTM_RECYCLE, CTXPOS_RECYCLE, 0, 0, ID_RECYCLE_CLEAR},
};

// The commands of the organisation window's popups and the operation of the
// module each asks; iModule -1: never offered.
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
        if (!a[ZT_OP_ADD] && c.add) GreyCommand(h, c.add);
        if (!a[ZT_OP_MODIFY] && c.modify) GreyCommand(h, c.modify);
        if (!a[ZT_OP_DELETE] && c.del) GreyCommand(h, c.del);
    }
}

void ContextCheck(const tagZT_Main_Param* p, int iModule)
{
    uint32_t a[4];
    Answers(p, iModule, a);
    GreyPopups(p, iModule, a);
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

BOOL Rights_Ask(const tagZT_Main_Param* p, HWND hOwner, int iModule, int iOp, const char* pszWhat)
{
    if (Rights_May(p, iModule, iOp))
        return TRUE;
    char text[160];
    snprintf(text, sizeof(text), "没有%s的权限", pszWhat ? pszWhat : "此操作");
    ZT_MessageBox(hOwner, text, "", MB_OK | MB_ICONINFORMATION);
    return FALSE;
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
        if (c.iModule >= 0 && Rights_May(p, c.iModule, c.iOp)) continue;
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
    // The operation log and the recycle bin: their commands, and their
    // popups' commands the user may not run.
    const struct {
        int iModule;
        UINT command;
    } listed[] = {{ZTM_LOG, IDM_LOG}, {ZTM_RECYCLE, IDM_RECYCLE}};
    for (const auto& l : listed) {
        if (!Rights_MayOpen(p, l.iModule))
            GreyCommand(menu, l.command);
        ContextCheck(p, l.iModule);
    }
    if (menu && p->hOwner && GetMenu(p->hOwner) == menu) DrawMenuBar(p->hOwner);
}

// ---- Lists and records ------------------------------------------------------------

// The scope of one list word's view answer.
static int ListScope(uint32_t word)
{
    switch (Akst(word, ZT_OP_VIEW)) {
    case 0: return ZT_SCOPE_NONE;
    case 1: return ZT_SCOPE_OWN;
    case 16: return ZT_SCOPE_BRANCH;
    default: return ZT_SCOPE_ALL;
    }
}

int Rights_Scope(const tagZT_Main_Param* p, int iModule)
{
    if (iModule == ZTM_HOUSE || iModule == ZTM_CLIENT)
        return ListScope(ScopedWord(p, iModule));
    int houses = ListScope(p->W1), clients = ListScope(p->W2);
    if (houses == ZT_SCOPE_NONE && clients == ZT_SCOPE_NONE)
        return ZT_SCOPE_ALL;
    return houses > clients ? houses : clients;
}

// Without a logged-in record the key 0 matches nothing rather than all.
static int LoginEmp(const tagZT_Main_Param* p) { return p->pLoginEmp ? p->pLoginEmp->iOrdinal : 0; }
static int LoginBr(const tagZT_Main_Param* p) { return p->pLoginBr ? p->pLoginBr->iOrdinal : 0; }

void Rights_ScopeText(const tagZT_Main_Param* p, int iModule, char* pszOut, size_t cb)
{
    if (!pszOut || cb == 0) return;
    pszOut[0] = '\0';
    int scope = Rights_Scope(p, iModule);
    if (iModule == ZTM_LOG) {
        if (scope == ZT_SCOPE_OWN)
            snprintf(pszOut, cb, "iOpEmp = %d", LoginEmp(p));
        else if (scope == ZT_SCOPE_BRANCH)
            snprintf(pszOut, cb, "iOpEmp in (select iOrdinal from t_employee where iBr = %d)", LoginBr(p));
        else if (scope == ZT_SCOPE_NONE)
            snprintf(pszOut, cb, "1 = 0");
        return;
    }
    if (scope == ZT_SCOPE_OWN)
        snprintf(pszOut, cb, "iEmp = %d", LoginEmp(p));
    else if (scope == ZT_SCOPE_BRANCH)
        snprintf(pszOut, cb, "iBr = %d", LoginBr(p));
}

void Rights_RecycleScope(const tagZT_Main_Param* p, int32_t* piEmp, int32_t* piBr)
{
    int scope = Rights_Scope(p, ZTM_RECYCLE);
    *piEmp = scope == ZT_SCOPE_OWN || scope == ZT_SCOPE_NONE ? LoginEmp(p) : 0;
    *piBr = scope == ZT_SCOPE_BRANCH ? LoginBr(p) : 0;
    if (scope == ZT_SCOPE_NONE && *piEmp == 0)
        *piEmp = -1;                         // no logged-in employee: nothing
}

// Whether an operation's scope (本人 4, 本部 64, wider) takes a record of
// employee iEmp and branch iBr.
static BOOL ScopeTakes(const tagZT_Main_Param* p, int iModule, int iOp, int32_t iEmp, int32_t iBr)
{
    uint32_t answer = Akst(ScopedWord(p, iModule), iOp);
    if (answer == 0) return FALSE;
    if (answer == 4) return p->pLoginEmp && iEmp == p->pLoginEmp->iOrdinal;
    if (answer == 64) return p->pLoginEmp && iBr == p->pLoginEmp->iBr;
    return TRUE;
}

BOOL Rights_MayModifyRecord(const tagZT_Main_Param* p, int iModule, int32_t iEmp, int32_t iBr)
{
    return ScopeTakes(p, iModule, ZT_OP_MODIFY, iEmp, iBr);
}

BOOL Rights_MayRegisterTo(const tagZT_Main_Param* p, int iModule, int32_t iEmp, int32_t iBr)
{
    return ScopeTakes(p, iModule, ZT_OP_ADD, iEmp, iBr);
}

void Rights_RegisterBoxes(const tagZT_Main_Param* p, HWND hDlg, int iModule, int idBranch, int idEmployee)
{
    uint32_t answer = Akst(ScopedWord(p, iModule), ZT_OP_ADD);
    if (answer == 4 || answer == 64)
        EnableControl(hDlg, idBranch, FALSE);
    if (answer == 4)
        EnableControl(hDlg, idEmployee, FALSE);
}

const char* Rights_RegisterRefusal(const tagZT_Main_Param* p, int iModule)
{
    uint32_t answer = Akst(ScopedWord(p, iModule), ZT_OP_ADD);
    if (answer == 4)
        return "您只能登记到自己名下";
    if (answer == 64)
        return "您只能登记到本部门的员工名下";
    return "您没有登记的权限";
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
    if (!Rights_May(p, ZTM_SYSOPT, ZT_OP_MODIFY)) EnableControl(hDlg, IDOK, FALSE);
}

void Rights_PositionButtons(const tagZT_Main_Param* p, HWND hDlg)
{
    if (!Self(p->W8, ZT_OP_ADD)) EnableControl(hDlg, 5, FALSE);
    if (!Self(p->W8, ZT_OP_MODIFY)) EnableControl(hDlg, 4, FALSE);
    if (!Self(p->W8, ZT_OP_DELETE)) EnableControl(hDlg, 3, FALSE);
}

void Rights_GrantButton(const tagZT_Main_Param* p, HWND hDlg)
{
    if (!Rights_May(p, ZTM_GRANT, ZT_OP_MODIFY)) EnableControl(hDlg, IDC_PD_GRANT, FALSE);
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
