// The tree left of a dictionary window's grid (the area and parameter
// windows): items carry one LPARAM of data each, a key or a packed kind and
// key, by which the windows find them again.
#pragma once
#include "common/platform.h"
#include <commctrl.h>

// Appends an item under hParent (TVI_ROOT for the top level).
HTREEITEM DictTree_Add(HWND hTree, HTREEITEM hParent, const char* pszText, LPARAM data);
// The data of an item (0 for none).
LPARAM DictTree_Data(HWND hTree, HTREEITEM h);
// The first item, depth first, whose data is `data`; null when none.
HTREEITEM DictTree_Find(HWND hTree, LPARAM data);
// Item relations: TVGN_CHILD, TVGN_PARENT, TVGN_NEXT, TVGN_ROOT, TVGN_CARET.
HTREEITEM DictTree_Next(HWND hTree, HTREEITEM h, UINT how);
void DictTree_SetText(HWND hTree, HTREEITEM h, const char* pszText);
// The item under the cursor, or null.
HTREEITEM DictTree_AtCursor(HWND hTree);
