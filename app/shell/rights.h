// Permission checks: what the logged-in user may see and do, decided only
// from the permission words W1..W17 of the parameter block (filled by
// PD_Calc at login).  Every check runs when its window or dialog is created;
// rights do not change while the program runs.
//
// Which word serves which module: W1 houses and W2 clients (scoped, asked
// through PD_Akst; W2 also opens the follow-up windows), W3 follow-ups,
// W4 estates, W5 estate buildings, W6 branches, W7 organisation (its window
// and employees), W8 positions, W9 parameters, W10 areas, W11 system
// options, W12 the operation log (view; delete and clear), W13 the recycle
// bin (view; restore as modify, purge and clear as delete), W14 permission
// granting (PD_Self), W15 client, W16 house and W17 estate field rights
// (PD_Part).  Every box of the grant page changes at least one answer here.
#pragma once
#include "app/shell/main_param.h"

// Modules whose windows have an open check.
enum ZT_MODULE {
    ZTM_AREA, ZTM_PARAM, ZTM_ESTATE, ZTM_ORG, ZTM_HOUSE, ZTM_CLIENT,
    ZTM_HOUSE_FOLLOW, ZTM_CLIENT_FOLLOW, ZTM_RECYCLE, ZTM_LOG,
    // Records of the organisation window besides its employees (ZTM_ORG):
    // branches (W6), positions (W8) and the permissions granted (W14); they
    // have no window of their own.
    ZTM_BRANCH, ZTM_POSITION, ZTM_GRANT,
    // The system options dialog (W11).
    ZTM_SYSOPT,
    ZTM_COUNT
};

// Operation numbers asked of the library.  ZT_OP_CHANGE is any of add,
// modify and delete (a button that offers all three).
enum { ZT_OP_VIEW = 0, ZT_OP_ADD = 1, ZT_OP_MODIFY = 2, ZT_OP_DELETE = 3, ZT_OP_CHANGE = 4 };

// Scopes of the lists (Rights_Scope).
enum { ZT_SCOPE_NONE = 0, ZT_SCOPE_OWN = 1, ZT_SCOPE_BRANCH = 2, ZT_SCOPE_ALL = 3 };

// Field right numbers of the edit dialogs.
enum {
    ZT_FR_TEL = 6,          // telephones
    ZT_FR_PRICE = 7,        // prices and budgets
    ZT_FR_REMARK = 8,       // remarks
    ZT_FR_LOCATION = 9,     // estate, area, building, room, floors
    ZT_FR_AGENT = 10,       // registering employee (and branch)
    ZT_FR_DELEGATE = 11,    // commission date
    ZT_FR_AREA = 12,        // building area
    ZT_FR_VIEW_TEL = 13,    // the "看电话(&L)" button
    ZT_FR_TEL_FREE = 14,    // telephones shown in lists, no follow-up owed
    ZT_FR_EST_NAME = 15     // estate name and abbreviation
};

// ---- Opening --------------------------------------------------------------------

// Whether the user may do operation iOp (ZT_OP_...) in the module: open it
// (ZT_OP_VIEW, by the module's open word), add, modify or delete (by the
// word of its records: W3 for the follow-up windows).  The one check the
// module windows, their toolbars, menus and commands ask.
BOOL Rights_May(const tagZT_Main_Param* p, int iModule, int iOp);
// Whether the module's window may open for the user.
BOOL Rights_MayOpen(const tagZT_Main_Param* p, int iModule);
// Rights_May asked where a command runs: when refused, a box over hOwner
// says "没有<pszWhat>的权限".
BOOL Rights_Ask(const tagZT_Main_Param* p, HWND hOwner, int iModule, int iOp, const char* pszWhat);

// ---- Menus ----------------------------------------------------------------------

// Greys and removes main-menu commands and popups (p->hMainMenu) and runs
// the context-menu checks (p->hContextMenus).  Run once when the main frame
// is created.
void ApplyMenuRights(tagZT_Main_Param* p);

// Context-menu checks of one module: grey the commands of its popups of
// p->hContextMenus whose operation the user lacks (run by ApplyMenuRights).
void Rights_ContextAreas(const tagZT_Main_Param* p);     // popups 0, 1, 2
void Rights_ContextParams(const tagZT_Main_Param* p);    // popup 3
void Rights_ContextOrg(const tagZT_Main_Param* p);       // popups 4, 5
void Rights_ContextEstates(const tagZT_Main_Param* p);   // popup 6
void Rights_ContextHouses(const tagZT_Main_Param* p);    // popup 7
void Rights_ContextClients(const tagZT_Main_Param* p);   // popup 11

// ---- Lists and records ------------------------------------------------------------

// The scope of what a list shows the user: the house (ZTM_HOUSE) and client
// (ZTM_CLIENT) lists by their words' view answers; the operation log
// (ZTM_LOG) and the recycle bin (ZTM_RECYCLE) by the wider of the two (a
// user whose grant names neither list sees all of them: the log and bin
// rights of the grant page are agency-wide).  ZT_SCOPE_NONE: no records.
int Rights_Scope(const tagZT_Main_Param* p, int iModule);
// The scope condition of the house or client list: "iEmp = <employee key>",
// "iBr = <branch key>" or "" (all records); of the operation log, on the
// operator: "iOpEmp = <key>", "iOpEmp in (select iOrdinal from t_employee
// where iBr = <key>)" or "".  Always NUL-terminated, truncated to cb.
void Rights_ScopeText(const tagZT_Main_Param* p, int iModule, char* pszOut, size_t cb);
// The recycle bin's scope as keys: the employee (own records) or the branch
// (own branch) whose records it lists; both 0 for all records.
void Rights_RecycleScope(const tagZT_Main_Param* p, int32_t* piEmp, int32_t* piBr);
// Whether an existing house (ZTM_HOUSE) or client (ZTM_CLIENT) with these
// employee and branch keys may be saved by the user.
BOOL Rights_MayModifyRecord(const tagZT_Main_Param* p, int iModule, int32_t iEmp, int32_t iBr);
// Whether a new house (ZTM_HOUSE) or client (ZTM_CLIENT) may be registered
// to employee iEmp of branch iBr by the user: within the scope of her add
// right (本人: to herself only; 本部: to an employee of her branch; wider:
// to anyone).  The forms offer only those and ask it when they save.
BOOL Rights_MayRegisterTo(const tagZT_Main_Param* p, int iModule, int32_t iEmp, int32_t iBr);
// The agent boxes of an add form within that scope: the branch box (and,
// for 本人, the employee box) disabled, showing the user's own.
void Rights_RegisterBoxes(const tagZT_Main_Param* p, HWND hDlg, int iModule, int idBranch, int idEmployee);
// The text a form refuses an agent outside that scope with.
const char* Rights_RegisterRefusal(const tagZT_Main_Param* p, int iModule);
// Plain answers the module windows ask.
BOOL Rights_MayViewFollowUps(const tagZT_Main_Param* p);     // W3 view: the follow-up panes
BOOL Rights_MayModifyParam(const tagZT_Main_Param* p);       // W9 modify
BOOL Rights_MayLoadOrg(const tagZT_Main_Param* p);           // W7 view
// Field right n of the house (W16), client (W15) or estate (W17) dialogs.
BOOL Rights_HouseField(const tagZT_Main_Param* p, int n);
BOOL Rights_ClientField(const tagZT_Main_Param* p, int n);
BOOL Rights_EstateField(const tagZT_Main_Param* p, int n);

// ---- Dialogs (run at the end of the dialog's initialisation) ------------------

// Enables or disables save button 1 of the house or client edit dialog for
// the record shown (run again when the navigator moves to another record).
void Rights_RecordSave(const tagZT_Main_Param* p, HWND hDlg, int iModule, int32_t iEmp, int32_t iBr);
// Estate edit dialog: save button 1 (W4 modify), the building buttons (W5
// add, modify, delete) and the name and abbreviation (right 15 of W17).
void Rights_EstateDialog(const tagZT_Main_Param* p, HWND hDlg);
// Whether the user may do operation iOp (ZT_OP_...) on an estate's buildings
// (the building commands ask it when they run).
BOOL Rights_MayBuilding(const tagZT_Main_Param* p, int iOp);
// Employee edit dialog: save button 1 (W7 modify).
void Rights_EmployeeSave(const tagZT_Main_Param* p, HWND hDlg);
// System options dialog: save button 1 (W11 modify, ZTM_SYSOPT).
void Rights_SysOptSave(const tagZT_Main_Param* p, HWND hDlg);
// Positions dialog: buttons 5 (add), 4 (modify), 3 (delete) by the
// positions word W8.
void Rights_PositionButtons(const tagZT_Main_Param* p, HWND hDlg);
// Permission panel: grant button 1086 (W14 modify).
void Rights_GrantButton(const tagZT_Main_Param* p, HWND hDlg);

// ---- Locked field --------------------------------------------------------------

// Locks a control: it keeps its look and value, but ignores keyboard focus,
// keys and characters (system keys and input-method characters included)
// and the editing commands cut, paste, clear and undo, and shows no context
// menu; every other message reaches its previous window procedure.  It is
// no tab stop, and Tab and Shift+Tab leave it even when it holds the focus
// (a multi-line edit included).  Locking twice is harmless; the lock ends
// with the control.
void Rights_LockField(HWND hCtl);
BOOL Rights_IsLocked(HWND hCtl);
// The control of that id among the dialog's descendants (direct children
// first); null when there is none.
HWND Rights_FindControl(HWND hDlg, int id);
