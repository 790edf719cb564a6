// The house list window "ZT_CHILD_HOU": a filter-panel list window
// (listing_window.h) over the house grid, with the follow-up pane and its
// toolbar button, the quick filters of the trade buttons, deleting a house
// or its follow-ups, the relation checks of every load and the mark of
// listings left too long without a follow-up.
#pragma once
#include "app/shell/module.h"
#include "app/listings/house_filter.h"

extern const ZT_MODULE_DESC g_HouseModule;

#include "data/house.h"

#include <string>

// Listings of the last load marked as left without a follow-up (due or
// overdue); *pnOverdue (when given) how many of them are overdue.
int HouseWindow_ExpiringCount(HWND hHouse, int* pnOverdue = nullptr);

// ---- The follow-up marks, without a window ------------------------------------------

// Whole days a house has gone without a follow-up: since its last
// follow-up, or since its commission date when it was never followed up;
// -1 when it has neither date.  today is a day number (common/date.h).
long House_DaysUnfollowed(const tagHOUSE* h, long today);
// The mark of a house in the list.  Only listings on offer ("出售", "出租",
// "租售") are marked, and only with REMIND1 above 0: due from REMIND1 days
// on, overdue from REMIND2 days on when REMIND2 is above REMIND1 (with one
// threshold, every marked listing is overdue).  Past the second threshold a
// listing stays marked.
enum { HOUSE_MARK_NONE, HOUSE_MARK_DUE, HOUSE_MARK_OVERDUE };
int House_FollowMark(const tagHOUSE* h, int iRemind1, int iRemind2, long today);
// The status line for nMarked marked listings, nOverdue of them overdue
// ("" when none is marked; only the colours that are on screen named).
std::string House_MarkStatus(int nMarked, int nOverdue, int iRemind1, int iRemind2);
