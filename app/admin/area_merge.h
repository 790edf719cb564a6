// The merge dialog "城区数据转移" (131): the source urban area shown in
// "源城区", the other urban areas of its city (from the shared cache)
// offered in "新城区".  Confirming with none chosen keeps the dialog open;
// the source itself is never a target.  The merge is asked first, naming
// both urban areas; the source, emptied, then goes to the recycle bin.
#pragma once
#include "app/shell/main_param.h"

struct URBAN_MERGE {
    tagZT_Main_Param* p;
    const tagURBAN* pSource;
    int iTarget;                  // out: the key of the urban area chosen
    // Window thread, dialog open, iTarget chosen: merges (on a worker).
    // TRUE closes the dialog with IDOK, FALSE keeps it open.
    BOOL (*pfnMerge)(URBAN_MERGE* m, HWND hDlg);
    void* pCtx;                   // the caller's
    BOOL bSourceGone;             // out (pfnMerge's): the emptied source is in the recycle bin
};

// IDOK when pfnMerge merged, IDCANCEL otherwise.
INT_PTR UrbanMerge_Run(HWND hOwner, URBAN_MERGE* m);
