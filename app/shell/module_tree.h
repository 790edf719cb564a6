// The module window's tree (ZT_TREEDESC): what the window procedure of
// module.cpp hands to it.  Window thread only.
#pragma once
#include "app/shell/module.h"

// The first load of a window with a tree: the tree read on a worker and
// filled, the first node selected, then the grid loaded for it.
void ModuleTree_FirstLoad(ZT_MODWIN* w);
// The tree's selection changed (or a selection that came while a worker ran
// is taken now): the selection rules of ZT_TREEDESC.
void ModuleTree_Follow(ZT_MODWIN* w);
// A notification from the tree (selection, right click): TRUE when taken.
BOOL ModuleTree_Notify(ZT_MODWIN* w, const NMHDR* nh, LRESULT* pResult);
// A shared cache changed (ZTC_ mask): a tree made from it is read again,
// once the window has finished what it is doing.
void ModuleTree_CachesChanged(ZT_MODWIN* w, int iKinds);
// The reload that ModuleTree_CachesChanged posted.
#define WM_MODULE_TREERELOAD (WM_APP + 72)
