// The client list's filter: the values of the filter panel turned into the
// condition FD_Sct_Cli appends.  A pure function of the panel texts and the
// permission scope, so that every combination can be checked without a
// window.
#pragma once
#include "app/shell/field_table.h"

#include <string>

// What the filter panel holds, as the boxes show it.
struct ClientFilterPanel {
    std::string trade;        // 1089 "求购", "求租", "租购" ... or empty
    std::string price;        // 1266 a price within the wanted budget
    std::string urban;        // 1019 one urban name, matched exactly
    std::string floor;        // 1257
    std::string area;         // 1284 an area within the wanted range
    std::string room;         // 1265 a bedroom count within the wanted range
    std::string houseType;    // 1014
    std::string level;        // 1094
    std::string delegateFrom, delegateTo;    // 1071 / 1074
    std::string followFrom, followTo;        // 1255 / 1256
};

// The box limits of the panel (bytes, as the controls are limited).
enum { CF_TEXT_MAX = 16, CF_URBAN_MAX = 40, CF_NUMBER_MAX = 10 };

// The panel's boxes as field rows of ClientFilterPanel (ZFF_STRING): their
// controls, limits and names.
extern const ZT_FIELD g_ClientFilterFields[];
extern const int g_nClientFilterFields;

// Builds the condition: trade and budget, urban area, floor, area, bedrooms,
// house type, the date ranges, grade, then the scope ("iEmp = 7", "iBr = 2"
// or "").  A number of 0 (or none) sets no condition.  TRUE with *pOut set;
// FALSE when a date box holds no date: *pBadCtl is then that box's control
// id and *pOut is empty.
BOOL ClientFilter_Build(const ClientFilterPanel& v, const char* pszScope, std::string* pOut, int* pBadCtl);

// The name of a box, for the message that names it ("委托日期(起)").
const char* ClientFilter_DateLabel(int iCtl);
