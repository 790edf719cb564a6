// The client list window "ZT_CHILD_CLI": a filter-panel list window
// (listing_window.h) over the client grid, with the follow-up pane, the
// quick filters of the trade buttons, deleting a client or its follow-ups,
// and the trade drawn in its colour.
#pragma once
#include "app/shell/module.h"
#include "app/listings/client_filter.h"

extern const ZT_MODULE_DESC g_ClientModule;

// The colour the trade column draws a trade in ("求租" green, "求购" red,
// "租购" blue, black otherwise).
COLORREF Client_TradeColour(const char* pszTrade);
