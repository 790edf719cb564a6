// The parameter dictionary window "ZT_CHILD_ARGC" (main-menu command
// 40045): the categories and their parameter names in a tree on the left
// (loaded when the window opens, on its first load's worker), the values of
// the selected name in the grid on the right, and the value dialog
// (name_dialog.h) to add and modify them.  Categories and names are not
// edited here.  The window works on its own copies: the shared parameter
// cache that fills the forms' drop-down lists is loaded at start-up only,
// so its edits reach the forms at the next start.
//
// Commands: 40051 add, 40052 modify (also a double click), 40053 delete,
// 19 lists the selected name's values again.
#pragma once
#include "app/shell/module.h"

extern const ZT_MODULE_DESC g_ParamModule;

// The window's own state (ZT_MODWIN::pState).  The values of the selected
// name are the module window's record block.
struct PARAM_WINDOW {
    BOOL bTreeLoaded;
    tagARGC* pTags;              // categories, from FD_sct_Argc_Name
    int nTags;
    tagARGC* pNames;             // parameter names, grouped by category
    int nNames;
    tagARGC* pCategory;          // the selected category (null: none)
    tagARGC* pName;              // the selected name (null: none)
    HTREEITEM hOpen;             // the category item the selection last expanded
};

// Tree item data: the root "所有参数" 0, a category key * 65536 + 1, a name
// key * 65536 + 2 (LPARAM is 64 bits wide, so any key fits).
enum { PARAM_ITEM_CATEGORY = 1, PARAM_ITEM_NAME = 2 };
LPARAM ParamWindow_ItemData(int iKind, int iKey);
// The tree item of a category or name, or null.
HTREEITEM ParamWindow_Item(const ZT_MODWIN* w, int iKind, int iKey);
