// What the house and client edit dialogs share besides their field tables
// and telephones: the "save the changes?" question, leaving a record
// (unsaved changes first, then the owed follow-up) and the record navigator
// that walks the list window's grid.
#pragma once
#include "app/shell/module.h"

// "数据已修改, 是否保存?": IDYES, IDNO or IDCANCEL.
int Listing_AskSave(HWND hDlg);

// What leaving a record needs from the dialog (ctx is the dialog's state).
struct LISTING_LEAVE {
    void* ctx;
    // Whether the boxes differ from the record shown.
    BOOL (*pfnDirty)(void* ctx);
    // The dialog's save: 1 saved, 0 refused by the library, -1 a check failed.
    int (*pfnSave)(void* ctx);
    // The owed follow-up (Phones_SettleOwed and the row redraw); may be null.
    void (*pfnSettle)(void* ctx);
    // Whether a follow-up is still owed once settled (the record is kept);
    // null: leaving never waits for one.
    BOOL (*pfnOwed)(void* ctx) = nullptr;
};

// Before the record is left (navigator, cancel, closing): when the boxes
// hold unsaved changes the user is asked; "是" saves (a failed check keeps
// the record: FALSE), "否" drops the changes, "取消" stays (FALSE).  Then the
// owed follow-up runs.  TRUE when the record may be left.
BOOL Listing_MayLeave(HWND hDlg, const LISTING_LEAVE* lv);

// Navigator moves.
enum { LNAV_FIRST, LNAV_PREV, LNAV_NEXT, LNAV_LAST };

// The navigator toolbar (four text buttons "第一条", "前一条", "下一条",
// "末一条" with the commands cmds[LNAV_...]) as child id of hDlg, placed
// at rc (dialog pixels).  Its commands arrive at hDlg as WM_COMMAND.
HWND Listing_NavToolbar(HWND hDlg, int id, const int cmds[4], const RECT* rc);
// The move of a navigator command (cmds as above), or -1.
int Listing_NavOf(int iCmd, const int cmds[4]);
// Moves the list window's grid selection (LNAV_...) and returns the record
// selected afterwards (null when the grid is empty).  *pbMoved says whether
// the selection changed (first/last reached: no).
void* Listing_NavMove(ZT_MODWIN* w, int iMove, BOOL* pbMoved);
