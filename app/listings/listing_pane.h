// The follow-up pane under a listing grid (houses, clients): the selected
// listing's follow-ups on the left, loaded off the window thread, and its
// remarks in a read-only box at the right.  The pane is a child dialog of
// the list window holding the remarks box; the follow-up grid is made here.
#pragma once
#include "app/listings/follow_list.h"

struct LISTING_PANE {
    HWND hPane;              // the child dialog, null before creation
    HWND hRemark;            // its remarks box
    FOLLOW_LIST* follow;     // the shown listing's follow-ups
};

// Creates the pane from dialog template iDlg under hParent (given id iDlg),
// takes its remarks box iRemark and makes the follow-up grid iFollows in
// it.  FALSE when the dialog could not be made.
BOOL ListingPane_Create(LISTING_PANE* lp, HWND hParent, tagZT_Main_Param* p, int iDlg, int iRemark, int iFollows);
// Places the pane (cy high) at the bottom of *rc and takes its room off rc.
void ListingPane_Layout(LISTING_PANE* lp, RECT* rc, int cy, int cxRemark);
// Shows a listing: its remarks and, when bFollows, its follow-ups (a house
// key iHou or a client key iCli; both 0 clear the list).  The follow-ups are
// loaded again only when another listing is shown.
void ListingPane_Show(LISTING_PANE* lp, int iHou, int iCli, const char* pszRemark, BOOL bFollows);
// Forgets the loaded follow-ups (they were retired): the list is emptied
// and the next Show loads again.
void ListingPane_Forget(LISTING_PANE* lp);
// Releases the follow-ups (the pane window goes with its parent).
void ListingPane_Destroy(LISTING_PANE* lp);
