// The filter-panel list window (houses, clients, the operation log; the next
// list of this kind is one more description): what such a window shares, driven by one static
// LISTING_DESC per window, which the module descriptor hands over as pDesc.
//
//   - the filter panel, a child dialog above the grid whose boxes are field
//     rows (field_table.h) read into the window's plain filter structure;
//     its "查找" is the shared refresh, "清空" empties every box, "更多" /
//     "收起" expands and collapses it (one flag for all windows of a kind);
//   - the filter of every load: the window's pure builder over that
//     structure; a box the builder cannot take is named and nothing loads;
//   - the quick filters of the trade buttons and their menus: the panel
//     cleared, the trade set and a date range set to today, then a refresh;
//   - the follow-up pane (listing_pane.h) below the grid with the selected
//     listing's follow-ups and remarks, hidden without the right to see
//     follow-ups, optionally shown and hidden by a toolbar button;
//   - deleting the selected listing's follow-ups (rights asked first).
//
// A window's own state begins with a LISTING_WIN (the module's pState).
#pragma once
#include "app/listings/listing_pane.h"
#include "app/shell/field_table.h"
#include "app/shell/module.h"

#include <string>

// A drop-down box of the panel filled with the values of a parameter name
// (of the category; null: under whichever category holds the name).
struct LISTING_LIST {
    int id;
    const char* pszCategory;
    const char* pszName;
};

// Toolbar rows of a list window, by the names its commands, images and
// popups follow (ID_HOUSE_SALE, ZTIMG_HOUSE_SALE, CTXPOS_HOUSE_SALE): a trade
// button whose arrow shows the quick filters of its menu, and the add,
// modify and delete buttons, each greyed by its right.
#define LISTING_TRADE(LIST, TRADE, text) \
    {ID_##LIST##_##TRADE, ZTIMG_##LIST##_##TRADE, text, BTNS_DROPDOWN, ZT_OP_VIEW, CTXPOS_##LIST##_##TRADE}
#define LISTING_EDITS(LIST, what) ZT_TB_EDITS(LIST, LIST, what)

// The columns every list shows after a listing's own: its branch and
// employee by name, then its commission and follow-up dates (a record of
// type T).
#define LISTING_COLS_AGENT(T, width, branch, employee)                                                   \
    ZT_COL_AGENT(width, branch, employee), ZT_COL_TEXT("委托日期", 75, 1, offsetof(T, dDelegate)), \
        ZT_COL_TEXT("跟进日期", 130, 1, offsetof(T, dtFollow))

// A quick filter (the row's argument of ListingWindow_CmdQuick): the trade
// set into the trade box and the two date boxes set to today (0: none).
struct LISTING_QUICK {
    const char* pszTrade;
    int iFrom, iTo;
};

enum { LISTING_NO_SCOPE = -1 };

struct LISTING_DESC {
    // The filter panel: dialog template (also its control id), its three
    // buttons, its height expanded and collapsed (one state for every
    // window of the kind while the program runs; a panel of one row has no
    // expand button: 0).
    int iPanel;
    int iFind, iClear, iExpand;
    int cyOpen, cyClosed;
    // Its boxes (ZFF_STRING rows of the filter structure), the trade box,
    // the urban-area box (0: none) and the parameter lists.
    const ZT_FIELD* fields;
    int nFields;
    int iTrade;
    int iUrban;
    const LISTING_LIST* lists;
    int nLists;
    // The filter text of the panel as it stands: reads the panel into the
    // window's structure (ListingWindow_Read) and runs its pure builder.
    // FALSE when a date box holds no date: *pBadCtl names it.
    BOOL (*pfnBuild)(ZT_MODWIN* w, std::string* pWhere, int* pBadCtl);
    // The scope of the list (ZTM_HOUSE, ZTM_CLIENT or ZTM_LOG,
    // Rights_ScopeText), which the builder puts into every filter;
    // LISTING_NO_SCOPE for a list whose every row everyone who may open the
    // window sees.
    int iScope;
    // The follow-up pane: dialog template (also its control id), remarks
    // box, follow-up grid, height and remarks width; whose follow-ups it
    // shows (houses: TRUE) and where the record keeps its remarks.  A list
    // of other records has none: iPane 0.
    int iPane, iRemark, iFollows;
    int cyPane, cxRemark;
    BOOL bHouses;
    size_t offRemark;
    // The toolbar button that hides the pane and the command it becomes to
    // show it again (0: the pane has no button).
    int iPaneHide, iPaneShow;
    // Drop-down boxes of the panel listing the branches and the employees
    // of the shared caches (0: none).
    int iBranchList = 0, iEmployeeList = 0;
};

// The state every filter-panel list window begins with.
struct LISTING_WIN {
    HWND hPanel;
    LISTING_PANE pane;       // the selected listing's follow-ups and remarks
    BOOL bPaneAllowed;       // the user may see follow-ups
    BOOL bPaneShown;
    char szScope[128];       // the permission scope of every load
};

LISTING_WIN* ListingWindow_State(const ZT_MODWIN* w);
const LISTING_DESC* ListingWindow_Desc(const ZT_MODWIN* w);
// The list window of hwnd (its module state and description), or null.
ZT_MODWIN* ListingWindow_Of(HWND hwnd);
// The filter panel and the follow-up pane of a list window (null for any
// other window).
HWND ListingWindow_Panel(HWND hwnd);
HWND ListingWindow_Pane(HWND hwnd);
// The pane's follow-up list: an edit dialog mirrors it and adds to it.
FOLLOW_LIST* ListingWindow_Follows(ZT_MODWIN* w);
// Reads the panel into the filter structure of the description's rows.
void ListingWindow_Read(ZT_MODWIN* w, void* pValues);
// The pane shows the selected listing again, its follow-ups reloaded.
void ListingWindow_Reshow(ZT_MODWIN* w);

// ---- Hooks of the module descriptor ------------------------------------------------

// The hooks of a list window's descriptor, from pfnMay to pDesc: the
// window's own create, layout, load, row check, delete, free and destroy
// around the shared filter and selection hooks, and its description.
#define LISTING_HOOKS(create, layout, load, check, del, free, destroy, desc)                              \
    nullptr, create, layout, ListingWindow_Filter, load, check, del, free, destroy, nullptr, ListingWindow_SelChange, \
        desc

BOOL ListingWindow_Create(ZT_MODWIN* w);
void ListingWindow_Layout(ZT_MODWIN* w, RECT* rc);
BOOL ListingWindow_Filter(ZT_MODWIN* w);
void ListingWindow_SelChange(ZT_MODWIN* w);
void ListingWindow_Destroy(ZT_MODWIN* w);

// ---- Command rows -------------------------------------------------------------------

// pArg: a LISTING_QUICK.
void ListingWindow_CmdQuick(ZT_MODWIN* w, void* pSel, const void* pArg);
// The pane's toolbar button: hides, or shows again, the follow-up pane.
void ListingWindow_CmdHidePane(ZT_MODWIN* w, void* pSel, const void* pArg);
void ListingWindow_CmdShowPane(ZT_MODWIN* w, void* pSel, const void* pArg);
// The selected listing's follow-ups retired on a worker (its row needs a
// selection: ZT_CMD_NEEDSEL).  It needs the follow-up delete right and the
// right to modify that listing under the user's scope (a box names what is
// missing), then the delete confirmation.
void ListingWindow_CmdDeleteFollowUps(ZT_MODWIN* w, void* pSel, const void* pArg);
