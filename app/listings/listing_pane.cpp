#include "app/listings/listing_pane.h"

#include <string>

static INT_PTR CALLBACK PaneProc(HWND, UINT msg, WPARAM, LPARAM)
{
    return msg == WM_INITDIALOG;
}

BOOL ListingPane_Create(LISTING_PANE* lp, HWND hParent, tagZT_Main_Param* p, int iDlg, int iRemark, int iFollows)
{
    lp->hPane = CreateDialogParamA(p->hInst, MAKEINTRESOURCEA(iDlg), hParent, PaneProc, 0);
    if (!lp->hPane)
        return FALSE;
    SetWindowLongPtrA(lp->hPane, GWLP_ID, iDlg);
    lp->hRemark = GetDlgItem(lp->hPane, iRemark);
    lp->follow = new FOLLOW_LIST();
    lp->follow->p = p;
    lp->follow->hGrid = FollowList_CreateGrid(lp->hPane, iFollows, p);
    return TRUE;
}

void ListingPane_Layout(LISTING_PANE* lp, RECT* rc, int cy, int cxRemark)
{
    if (!lp->hPane)
        return;
    int cx = rc->right - rc->left;
    int top = rc->bottom - cy > rc->top ? rc->bottom - cy : rc->top;
    MoveWindow(lp->hPane, rc->left, top, cx, rc->bottom - top, TRUE);
    int remarkW = cx > cxRemark ? cxRemark : cx;
    if (lp->hRemark)
        MoveWindow(lp->hRemark, cx - remarkW, 0, remarkW, rc->bottom - top, TRUE);
    if (lp->follow && lp->follow->hGrid)
        MoveWindow(lp->follow->hGrid, 0, 0, cx - remarkW, rc->bottom - top, TRUE);
    rc->bottom = top;
}

void ListingPane_Show(LISTING_PANE* lp, int iHou, int iCli, const char* pszRemark, BOOL bFollows)
{
    bool any = iHou || iCli;
    if (lp->hRemark)
        SetWindowTextA(lp->hRemark, any ? (std::string("备注:\r\n") + (pszRemark ? pszRemark : "")).c_str() : "");
    FOLLOW_LIST* f = lp->follow;
    if (!f || (any && f->pFol && f->iHou == iHou && f->iCli == iCli))
        return;
    if (any && bFollows)
        FollowList_StartReload(f, iHou, iCli);
    else
        FollowList_Free(f);
}

void ListingPane_Forget(LISTING_PANE* lp)
{
    if (!lp->follow)
        return;
    FollowList_Free(lp->follow);
    lp->follow->iHou = 0;
    lp->follow->iCli = 0;
}

void ListingPane_Destroy(LISTING_PANE* lp)
{
    if (!lp->follow)
        return;
    FollowList_Free(lp->follow);
    delete lp->follow;
    lp->follow = nullptr;
}
