// Internals shared by the dictionary families: appending the texts of a
// drop-down fill.
#pragma once
#include "data/db_core.h"
#include "data/fill.h"

// Sends a text to a list window with its "add string" message.
struct ZDListTarget {
    HWND hList;
    UINT uMsg;
};
void SendTextToList(void* pCtx, const char* pszText);
