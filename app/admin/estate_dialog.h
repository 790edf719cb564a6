// The estate dialog (138): four tab pages "楼盘", "栋号", "土地  房屋" and
// "开发商  物业" over one estate record; the buildings page lists the
// estate's buildings and adds (one number or a range), modifies and deletes
// them with the building form (193).  Saving writes the estate with the data
// library, then puts it into the shared estate cache (caches.h) and tells the
// opener.  Every call to the server runs on a worker behind the
// "数据查询...." busy dialog.
#pragma once
#include "app/shell/main_param.h"

enum { EST_DLG_ADD, EST_DLG_MODIFY, EST_DLG_VIEW };

// Told after an estate was stored and the shared list updated (bAdded: a
// new one).  FALSE keeps the dialog open; after an add it then stays open
// on the stored estate, so that saving again modifies it.
typedef BOOL (*EST_SAVED_PROC)(void* pCtx, const tagESTATE* pNew, BOOL bAdded);

struct EST_DLG_ARGS {
    tagZT_Main_Param* p;
    int iMode;                  // EST_DLG_...
    int iUrban;                 // adding: the urban area of the new estate
    const tagESTATE* pEstate;   // modify / view: the estate (by its key it is read again)
    EST_SAVED_PROC pfnSaved;    // may be null
    void* pCtx;
};

// Runs the dialog modally over hOwner.  IDOK when an estate was stored,
// IDCANCEL otherwise (also when the estate to show is gone: the data library
// has said so).  View mode: nothing is stored, save only closes.
INT_PTR EstateDialog_Run(HWND hOwner, const EST_DLG_ARGS* a);

// For the house edit dialog's "增加楼盘": a new estate in urban area iUrban.
// TRUE when it was stored; *ppNew (when given) then points at its record in
// the shared estate list (null when the list had no free slot).
BOOL EstateDialog_Add(HWND hOwner, tagZT_Main_Param* p, int iUrban, tagESTLIST** ppNew);
// Shows estate iEst with its buildings; nothing can be changed.
void EstateDialog_View(HWND hOwner, tagZT_Main_Param* p, int iEst);

// Numbers typed into the dialogs: decimal digits (blanks around them
// allowed) up to 2147483647; anything else counts as 0.
int32_t Est_ParseCount(const char* psz);
// Money: digits with at most one decimal point, rounded to two places;
// anything else counts as 0.  FALSE when the value does not fit the
// database's money columns (more than 9999999999.99).
BOOL Est_ParseMoney(const char* psz, double* pValue);
