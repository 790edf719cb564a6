// The house list's filter: the values of the filter panel turned into the
// condition FD_Sct_Hou appends.  A pure function of the panel texts, the
// permission scope and the estate list, so that every combination can be
// checked without a window.
#pragma once
#include "app/shell/field_table.h"
#include "data/area.h"
#include "data/estate.h"

#include <string>

// What the filter panel holds, as the boxes show it.
struct HouseFilterPanel {
    std::string trade;           // 1089 "出售", "出租", "租售", "已售" ... or empty
    std::string urban;           // 1019 chosen urban names, each followed by a comma
    std::string estate;          // 1092 "name,name," or a telephone or a house key
    std::string buildNo;         // 1267
    std::string houseNo;         // 1268
    std::string areaMin, areaMax;        // 1069 / 1070
    std::string bedMin, bedMax;          // 1253 / 1254
    std::string types;           // 1014 chosen house types, each followed by a comma
    std::string priceMin, priceMax;      // 1072 / 1269
    std::string floorMin, floorMax;      // 1077 / 1078
    std::string looks;           // 1018 chosen viewing arrangements, each followed by a comma
    std::string delegateFrom, delegateTo;    // 1071 / 1074
    std::string followFrom, followTo;        // 1255 / 1256
    std::string rentFrom, rentTo;            // 1257 / 1084
};

// The box limits of the panel (bytes, as the controls are limited).
enum { HF_TRADE_MAX = 16, HF_URBAN_MAX = 40, HF_ESTATE_MAX = 150, HF_NO_MAX = 10, HF_MULTI_MAX = 96 };

// The panel's boxes as field rows of HouseFilterPanel (ZFF_STRING): their
// controls, limits and names.
extern const ZT_FIELD g_HouseFilterFields[];
extern const int g_nHouseFilterFields;

// Value of an unsigned-integer box: empty or not a number counts as 0 (no
// bound); a number beyond the int range counts as the largest int.
int HouseFilter_Number(const std::string& text);

// Builds the condition.  The estate box holds estate names each followed by
// a comma, one estate name as chosen from its list, a house key or a
// telephone number (found by the whole number or by a start of 8, 16, ...
// digits: telephones are stored enciphered in 8-byte blocks).  pszScope is the permission scope ("iEmp = 7",
// "iBr = 2" or ""), est/nEst the cached estate list the estate names are
// looked up in.  TRUE with *pOut set; FALSE when a date box holds no date:
// *pBadCtl is then that box's control id and *pOut is empty.
// The urban areas are found by their keys in urb/nUrb (the session's list;
// empty slots have key 0), or by name on the server when a name is not in
// it or no list is given.
BOOL HouseFilter_Build(const HouseFilterPanel& v, const char* pszScope, const tagESTLIST* est, int nEst,
                       std::string* pOut, int* pBadCtl, const tagURBAN* urb = nullptr, int nUrb = 0);

// The index the list of this filter is read by when the server would
// choose a worse one ("" for the server's choice): FD_Sct_Hou's pszIndex.
const char* HouseFilter_Index(const HouseFilterPanel& v, const char* pszScope);

// The name of a box, for the message that names it ("委托日期(起)").
const char* HouseFilter_DateLabel(int iCtl);
