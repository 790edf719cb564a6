// The rules of the house edit dialog that need no window: the floor of a
// room number, the averages, the listing number with its branch prefix,
// the certificate prefix of an urban area, the trade picture and the order
// of the save checks.
#pragma once
#include "common/platform.h"

#include <cstddef>
#include <string>
#include <vector>

// The floor of a room number; FALSE (nothing derived) with fewer than two
// characters.  With a capital letter A..Z anywhere: the first character of
// a two-character number, else the first two ("3A" -> "3", "A1203" ->
// "A1").  Without: four characters give the first two ("1203" -> "12",
// "0301" -> "03"), three give "0" and the first ("502" -> "05"), any other
// length the first character.
BOOL House_FloorOfRoom(const char* pszRoom, char* pszFloor, size_t cb);

// What the averages become when the area, a price or the trade changed.
struct HOUSE_AVERAGES {
    BOOL bChanged;        // FALSE: the area is 0, nothing changes
    BOOL bClearSale;      // empty the sale price, net sale price and sale average
    BOOL bClearRent;      // empty the rent and rent average
    BOOL bSale;           // set the sale average to iSalesAve
    BOOL bRent;           // set the rent average to dbRentAve ("%.2f")
    int32_t iSalesAve;    // whole part of sales x 10,000 / area, yuan per m2
    double dbRentAve;     // rent / area / 30, yuan per m2 per day
};
// Trade "出租"/"已租": rent only; "出售"/"已售": sale only; else both.
HOUSE_AVERAGES House_Averages(const char* pszTrade, double dbArea, int32_t iSales, int32_t iRent);

// The listing number as the modify form shows it: the branch prefix and
// the number left-padded with '0' to eight characters ("ZD" + "12" ->
// "ZD00000012").
std::string House_NumberShown(const char* pszPrefix, const char* pszNum);
// The number a save stores: the typed text without the branch prefix when
// it begins with it ("ZD00000012" -> "00000012"); as typed otherwise.
std::string House_NumberTyped(const char* pszPrefix, const char* pszTyped);

// The certificate-number start of an urban area: its first two bytes and
// ten zeros ("西湖" -> "西0000000000"); "" with fewer than two bytes.
std::string House_CertPrefix(const char* pszUrban);

// Bitmap of the trade indicator: 190 "出租", 189 "租售", 191 "出售", 199 any
// other non-empty text, 0 (keep the picture) for an empty one.
int House_TradeBitmap(const char* pszTrade);

// "bedrooms/living rooms/bathrooms" -> the three integers (missing ones 0).
void House_RoomLayout(const char* pszRoomType, int32_t* piBed, int32_t* piLiving, int32_t* piBath);

// Room numbers of a floor list: "0101" .. "01nn" for nHouse households,
// every one of them.
std::vector<std::string> House_RoomNumbers(int nHouse);

// What the save checks look at.
struct HOUSE_CHECK {
    BOOL bEstate;          // an estate is chosen
    double dbArea;
    const char* pszTrade;
    int32_t iSales, iRent;
    BOOL bOwnerRead;       // the owner and contact boxes were read (add form or readable telephones)
    BOOL bOwnerTelEmpty, bLinkTelEmpty;
    BOOL bEmpKnown;        // the employee box names a known employee (of the branch)
    BOOL bBrKnown;         // the branch box names a known branch
    int32_t bHouArea, bHouPrice, bHouOwner;   // system options
};
// Ids of the boxes the checks name.
struct HOUSE_CHECK_IDS {
    int estate, area, trade, sales, rent, ownerTel, emp, br;
};
// Runs the checks in order (estate, area, trade, price, telephones, branch,
// employee); returns the id of the box of the first that fails, with its
// message in *ppszText, or 0 when all pass.
int House_Check(const HOUSE_CHECK& c, const HOUSE_CHECK_IDS& ids, const char** ppszText);
