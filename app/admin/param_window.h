// The parameter dictionary window "ZT_CHILD_ARGC" (main-menu command
// 40045): the categories and their parameter names in a tree on the left
// (loaded when the window opens, on its first load's worker), the values of
// the selected name in the grid on the right, and the value dialog
// (name_dialog.h) to add and modify them.  Categories and names are not
// edited here.  Every value added, modified or deleted is put into (or
// dropped from) the shared parameter cache at once, so forms opened
// afterwards offer it as stored.
//
// Commands: 40051 add, 40052 modify (also a double click), 40053 delete,
// 19 lists the selected name's values again.
#pragma once
#include "app/shell/module.h"

extern const ZT_MODULE_DESC g_ParamModule;

// The window's own state (ZT_MODWIN::pState).  The values of the selected
// name are the module window's record block.
struct PARAM_WINDOW {
    tagARGC* pTags;              // categories, from FD_sct_Argc_Name
    int nTags;
    tagARGC* pNames;             // parameter names, grouped by category
    int nNames;
    tagARGC* pCategory;          // the selected category (null: none)
    tagARGC* pName;              // the selected name (null: none)
};

// The kinds of the tree's nodes: the root "所有参数" 0, categories, names.
enum { PARAM_ITEM_CATEGORY = 1, PARAM_ITEM_NAME = 2 };
