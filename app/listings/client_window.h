// The client list window "ZT_CHILD_CLI": the filter panel over the client
// grid, the follow-up pane with the selected client's follow-ups and
// remarks, the quick filters of the trade buttons, deleting a client or its
// follow-ups, and the trade drawn in its colour.
#pragma once
#include "app/shell/module.h"
#include "app/listings/client_filter.h"

extern const ZT_MODULE_DESC g_ClientModule;

// The panel's values as they stand (window thread).
void ClientWindow_ReadPanel(HWND hClient, ClientFilterPanel* pOut);
// The filter panel and the follow-up pane of a client window (null when
// the window is none).
HWND ClientWindow_Panel(HWND hClient);
HWND ClientWindow_Pane(HWND hClient);

// What a quick filter (a command of the trade buttons' menus) fills: the
// trade text and the two boxes of its date range.  FALSE for any other
// command.
BOOL ClientQuick_Lookup(int iCmd, const char** ppszTrade, int* piFrom, int* piTo);

// The colour the trade column draws a trade in ("求租" green, "求购" red,
// "租购" blue, black otherwise).
COLORREF Client_TradeColour(const char* pszTrade);
