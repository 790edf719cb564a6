// The organisation window's dialogs.  Each reads and shows its boxes through
// a field table and writes through the data library on a worker behind the
// busy dialog; a refused save keeps what was typed and names the box.
#pragma once
#include "app/shell/main_param.h"

// The branch dialog (145 with its page 146): pCur null adds a branch, else
// modifies it.  IDOK when the branch was stored; *pOut then holds it (with
// its key).
INT_PTR BranchDialog_Run(HWND hOwner, tagZT_Main_Param* p, const tagBRANCH* pCur, tagBRANCH* pOut);

// The employee dialog (149): pCur null adds an employee to branch pBr, else
// shows pCur (its own branch) for modifying.  The positions offered are the
// live slots of pPst.  IDOK when the employee was stored; *pOut then holds
// the record as the window lists it (password left out).
struct EMP_DLG_ARGS {
    tagZT_Main_Param* p;
    const tagEMPLOYEE* pCur;     // null: add
    const tagBRANCH* pBr;        // the employee's branch
    const tagPostion* pPst;      // positions (rows + spares)
    int nPstSlots;
};
INT_PTR EmployeeDialog_Run(HWND hOwner, const EMP_DLG_ARGS* a, tagEMPLOYEE* pOut);

// The positions dialog (150) over the window's position block: its grid
// lists the live slots; added positions take free slots, deleted ones are
// zeroed.  Position names shown elsewhere follow at once.
void PositionsDialog_Run(HWND hOwner, tagZT_Main_Param* p, tagPostion* pPst, int nPstSlots);

// "员工转移": hands the employee's houses, clients and follow-ups to another
// employee chosen by branch (the branches are the live slots of pBr) and
// reports what moved.  IDOK when the transfer was stored.
INT_PTR TransferDialog_Run(HWND hOwner, tagZT_Main_Param* p, const tagEMPLOYEE* pFrom, const tagBRANCH* pBr,
                           int nBrSlots);
