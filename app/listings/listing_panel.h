// The filter panel of a list window (houses, clients): a child dialog above
// the grid whose find, clear and expand buttons belong to the window.
#pragma once
#include "app/shell/main_param.h"

#include <windows.h>
#include <cstddef>
#include <string>

struct LISTING_PANEL_IDS {
    int iFind, iClear, iExpand;
};

// Creates the panel from dialog template iDlg as a child of hParent; the
// clicks of its three buttons reach hParent as the window's own commands.
// ids must live as long as the panel.
HWND ListingPanel_Create(HINSTANCE hInst, int iDlg, HWND hParent, const LISTING_PANEL_IDS* ids);
// The text of box id.
std::string ListingPanel_Text(HWND hPanel, int id);
// Empties the boxes ids.
void ListingPanel_Clear(HWND hPanel, const int* ids, size_t n);
// Lists the urban areas of the shared cache in combo box id.
void ListingPanel_FillUrban(HWND hPanel, int id, const tagZT_Main_Param* p);
