// The house list window "ZT_CHILD_HOU": a filter-panel list window
// (listing_window.h) over the house grid, with the follow-up pane and its
// toolbar button, the quick filters of the trade buttons, deleting a house
// or its follow-ups, the relation checks of every load and the mark of
// listings left too long without a follow-up.
#pragma once
#include "app/shell/module.h"
#include "app/listings/house_filter.h"

extern const ZT_MODULE_DESC g_HouseModule;

// Listings of the last load marked as left without a follow-up.
int HouseWindow_ExpiringCount(HWND hHouse);
