// The estate dictionary window "ZT_CHILD_EST" (main-menu command 40071): a
// tree of cities and their urban areas from the shared area cache on the
// left (the module window's tree), the estates of the selected urban area
// in the grid on the right, and the estate dialog (estate_dialog.h) to add
// and modify them.  Above the grid a search box finds an estate by its
// name or pinyin initials (as the house list's estate box lists them):
// "查找", Enter or choosing one from the list selects its urban area and
// its row.
// The tree-and-grid window to copy.
#pragma once
#include "app/shell/module.h"

extern const ZT_MODULE_DESC g_EstateModule;

// The window's own state (ZT_MODWIN::pState).
struct EST_WINDOW {
    const tagURBAN* pUrban;      // selected urban area (null: none)
    tagCITY* pCity;              // its city, or the city selected without urban areas
    HWND hSearch;                // the search strip above the grid
};

// The estate of that key in the window's array (loaded rows and spares), or null.
tagESTATE* EstateWindow_Find(ZT_MODWIN* w, int iKey);
