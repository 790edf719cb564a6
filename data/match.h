// ZTData: matching houses and clients.  One statement lists the live houses
// that fit one client's demand, or the live clients one house fits, best
// first.
//
// A house fits a client when every criterion the client gives holds:
//   - trade: "求购" takes "出售" and "租售" houses priced (iSales, 万元)
//     within the purchase budget; "求租" takes "出租" and "租售" houses
//     rented (iRent, 元/月) within the rent budget; "租购" takes either
//     side, but a side whose budget is empty (0-0) only when the other
//     side's is empty too (a "租购" client who gave only a purchase budget
//     is offered houses to buy).  Any other trade wants nothing, and a house
//     that is not on offer fits no one.  A side with a budget needs a price;
//   - urban area: when the client names one (not empty, not "不限"), the
//     house's estate lies in an urban area of that name, or the house's
//     district has that name;
//   - area (dbBuildArea) within the area range, bedrooms (iBed; for a house
//     record, the first number of szRoomType) within the room range.
// In every range a bound of 0 (or less) is no bound, and a range whose
// upper bound is below its lower one holds nothing.
//
// Best first, by:
//   1. fit: how many of the client's optional wishes the house meets: house
//      type, orientation, decoration and fittings (the same text), and the
//      floor ("一楼" the ground floor; "顶楼" the top floor of a building of
//      two floors or more; "低层" / "中层" / "高层" the lower / middle /
//      upper third of a building of three floors or more).  An empty wish
//      or "不限" counts for no house;
//   2. gap: how far the price lies from the middle of the budget (or the
//      one bound given), in thousandths of it (0 without a budget); for a
//      house that fits both sides of a "租购" client, the nearer side;
//   3. then the newest commission (houses) or the latest follow-up
//      (clients), then the newest key.
// Both directions apply the same rules: a house lists a client exactly when
// that client lists the house, with the same fit and gap.
//
// The record asked about must be live in the database (a house or client
// deleted meanwhile matches nothing); its values are taken as the record
// holds them.
//
// The user's scope (the list's "iEmp = 7", "iBr = 2" or "") narrows the
// listed table exactly as it narrows the list: a match shows nothing the
// list would hide.  Every text of the record enters the statement through
// the connection's escaping.
#pragma once
#include "common/platform.h"
#include "data/client.h"
#include "data/house.h"

#include <string>

// A house of a match: the record as a house load reads it, then its score.
// The record comes first, so that a pointer to the match is a pointer to
// the house (the house dialog edits it in place).
struct tagHOUSE_MATCH {
    tagHOUSE h;
    int32_t iFit;    // how many of the client's wishes the house meets
    int32_t iGap;    // the price's distance from the budget, in thousandths
};
// A client of a match, likewise.
struct tagCLIENT_MATCH {
    tagCLIENT c;
    int32_t iFit;
    int32_t iGap;
};

// The most rows a match lists.
enum { FD_MATCH_MAX = 1000 };

// Loads at most nMax (<= 0: FD_MATCH_MAX) live houses fitting client c
// within the house list's scope pszScope.  Returns the array (rows + 101
// zeroed spares) with the row count in *piCount; null on failure (no
// connection, a server error: written to the error record).  Release with
// Mem_Free_Match.
ZTDATA_API tagHOUSE_MATCH* FD_Match_Hou(const tagCLIENT* c, const char* pszScope, int nMax, int* piCount);
// The same for the live clients house h fits, within the client list's scope.
ZTDATA_API tagCLIENT_MATCH* FD_Match_Cli(const tagHOUSE* h, const char* pszScope, int nMax, int* piCount);
// Releases an array of either (null is ignored).
ZTDATA_API void Mem_Free_Match(void* pMatch);

// The statements the two loads run (for EXPLAIN and measurements).  Each
// finds the keys of the matches first, on the columns of the table's match
// index; the clients' statement names its index, ix_client_match (the
// schema has it; `kelmora-db init` adds it to an older database).
ZTDATA_API std::string FD_Match_HouSql(const tagCLIENT* c, const char* pszScope, int nMax);
ZTDATA_API std::string FD_Match_CliSql(const tagHOUSE* h, const char* pszScope, int nMax);
