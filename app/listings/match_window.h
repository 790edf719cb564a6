// The match windows: "匹配房源" lists the live houses that fit one client,
// "匹配客源" the live clients one house fits (data/match.h), best first,
// with how many wishes each meets and its price's distance from the
// budget.  The user sees through them only what the house or client list
// shows them (the list's scope), and only when they may open that list.
// Each loads on a worker; "刷新" matches again with the record as it was
// when the match was asked for; a double click opens the house or client
// dialog over the match.  Asking again from another record re-targets the
// open window.
#pragma once
#include "app/shell/module.h"
#include "data/ZTData.h"

extern const ZT_MODULE_DESC g_MatchHouseModule;    // "ZT_CHILD_MATCH_HOU": houses for a client
extern const ZT_MODULE_DESC g_MatchClientModule;   // "ZT_CHILD_MATCH_CLI": clients for a house

// Opens (or brings forward and re-targets) the match window for the record
// and loads it.  Null when the user may not see houses (clients): the box
// says so.  The record is copied.
HWND MatchWindow_Houses(tagZT_Main_Param* p, HWND hOwner, const tagCLIENT* c);
HWND MatchWindow_Clients(tagZT_Main_Param* p, HWND hOwner, const tagHOUSE* h);

// The command rows of the list windows: the selected record's match.
void MatchWindow_CmdHousesFor(ZT_MODWIN* w, void* pSel, const void* pArg);
void MatchWindow_CmdClientsFor(ZT_MODWIN* w, void* pSel, const void* pArg);
