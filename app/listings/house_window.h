// The house list window "ZT_CHILD_HOU": the filter panel over the house
// grid, the follow-up pane with the selected house's follow-ups and
// remarks, the quick filters of the trade buttons, deleting a house or its
// follow-ups, and the mark of listings left too long without a follow-up.
#pragma once
#include "app/shell/module.h"
#include "app/listings/house_filter.h"

extern const ZT_MODULE_DESC g_HouseModule;

// The panel's values as they stand (window thread).
void HouseWindow_ReadPanel(HWND hHouse, HouseFilterPanel* pOut);
// The filter panel and the follow-up pane of a house window (null when the
// window is none).
HWND HouseWindow_Panel(HWND hHouse);
HWND HouseWindow_Pane(HWND hHouse);
// The follow-up list of the window's pane (null when the window is none):
// the edit dialog mirrors it and adds the follow-ups it writes.
struct FOLLOW_LIST;
FOLLOW_LIST* HouseWindow_FollowList(HWND hHouse);
// Listings of the last load marked as left without a follow-up.
int HouseWindow_ExpiringCount(HWND hHouse);

// What a quick filter (a command of the trade buttons' menus) fills: the
// trade text and the two boxes of its date range.  FALSE for any other
// command.
BOOL HouseQuick_Lookup(int iCmd, const char** ppszTrade, int* piFrom, int* piTo);
