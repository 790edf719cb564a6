// The area management window "ZT_CHILD_URBAN" (main-menu command 40006):
// the cities with their urban areas in a tree on the left, the districts of
// the selected urban area in the grid on the right, the city, urban-area and
// district dialogs (name_dialog.h) and the merge of one urban area into
// another (area_merge.h).  The window keeps no areas of its own: each change
// the database accepted is made in the shared area cache (caches.h) at
// once, so every form and window reading the cache sees it, and the grid's
// rows are the cache's district records.
//
// Commands: cities (the "城市管理" drop-down, or a right click on a city)
// 40062 add, 40064 modify, 40070 delete; urban areas ("城区管理", or a right
// click on an urban area) 40058 add, 40060 modify, 40040 delete, 40044
// merge, 40069 redraw the tree from the cache; districts (toolbar, right
// click in the grid, double click to modify) 40066, 40067, 40068; 19 lists
// the districts again.
#pragma once
#include "app/shell/module.h"

extern const ZT_MODULE_DESC g_AreaModule;

// The window's own state (ZT_MODWIN::pState).
struct AREA_WINDOW {
    int iCity;                   // key of the selected city (0: none)
    const tagURBAN* pUrban;      // the selected urban area, in the shared cache (null: none)
};
