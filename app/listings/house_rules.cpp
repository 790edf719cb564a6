// The house edit dialog's rules without a window.
#include "app/listings/house_rules.h"
#include "common/gbk.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

BOOL House_FloorOfRoom(const char* pszRoom, char* pszFloor, size_t cb)
{
    size_t n = pszRoom ? strlen(pszRoom) : 0;
    if (n < 2 || cb < 3)
        return FALSE;
    BOOL letter = FALSE;
    for (size_t i = 0; i < n; i++)
        if (pszRoom[i] >= 'A' && pszRoom[i] <= 'Z')
            letter = TRUE;
    char f[3] = "";
    if (letter) {
        f[0] = pszRoom[0];
        if (n != 2)
            f[1] = pszRoom[1];
    } else if (n == 4) {
        f[0] = pszRoom[0];
        f[1] = pszRoom[1];
    } else if (n == 3) {
        f[0] = '0';
        f[1] = pszRoom[0];
    } else {
        f[0] = pszRoom[0];
    }
    // Never half of a double-byte character.
    Gbk_CopyCut(pszFloor, cb, f);
    return pszFloor[0] != '\0';
}

HOUSE_AVERAGES House_Averages(const char* pszTrade, double dbArea, int32_t iSales, int32_t iRent)
{
    HOUSE_AVERAGES a;
    memset(&a, 0, sizeof(a));
    if (!(dbArea > 0))
        return a;
    a.bChanged = TRUE;
    const char* t = pszTrade ? pszTrade : "";
    BOOL rentOnly = strcmp(t, "出租") == 0 || strcmp(t, "已租") == 0;
    BOOL saleOnly = strcmp(t, "出售") == 0 || strcmp(t, "已售") == 0;
    a.bClearSale = rentOnly;
    a.bClearRent = saleOnly;
    a.bSale = !rentOnly;
    a.bRent = !saleOnly;
    double sale = static_cast<double>(iSales) * 10000.0 / dbArea;
    a.iSalesAve = sale > 2147483647.0 ? 2147483647 : static_cast<int32_t>(sale);
    a.dbRentAve = static_cast<double>(iRent) / dbArea / 30.0;
    return a;
}

std::string House_NumberShown(const char* pszPrefix, const char* pszNum)
{
    std::string num = pszNum ? pszNum : "";
    if (num.size() < 8)
        num.insert(0, 8 - num.size(), '0');
    return std::string(pszPrefix ? pszPrefix : "") + num;
}

std::string House_NumberTyped(const char* pszPrefix, const char* pszTyped)
{
    std::string typed = pszTyped ? pszTyped : "";
    size_t n = pszPrefix ? strlen(pszPrefix) : 0;
    if (n && typed.compare(0, n, pszPrefix) == 0)
        return typed.substr(n);
    return typed;
}

std::string House_CertPrefix(const char* pszUrban)
{
    if (!pszUrban || strlen(pszUrban) < 2)
        return "";
    return std::string(pszUrban, 2) + "0000000000";
}

int House_TradeBitmap(const char* pszTrade)
{
    if (!pszTrade || !*pszTrade)
        return 0;
    if (strcmp(pszTrade, "出租") == 0)
        return 190;
    if (strcmp(pszTrade, "租售") == 0)
        return 189;
    if (strcmp(pszTrade, "出售") == 0)
        return 191;
    return 199;
}

void House_RoomLayout(const char* pszRoomType, int32_t* piBed, int32_t* piLiving, int32_t* piBath)
{
    int32_t* out[3] = {piBed, piLiving, piBath};
    const char* s = pszRoomType ? pszRoomType : "";
    for (int i = 0; i < 3; i++) {
        *out[i] = static_cast<int32_t>(strtol(s, nullptr, 10));
        const char* slash = strchr(s, '/');
        if (!slash) {
            for (int j = i + 1; j < 3; j++)
                *out[j] = 0;
            return;
        }
        s = slash + 1;
    }
}

std::vector<std::string> House_RoomNumbers(int nHouse)
{
    std::vector<std::string> rooms;
    for (int i = 1; i <= nHouse && i <= 99; i++) {
        char b[8];
        snprintf(b, sizeof(b), "%02d%02d", 1, i);
        rooms.push_back(b);
    }
    return rooms;
}

int House_Check(const HOUSE_CHECK& c, const HOUSE_CHECK_IDS& ids, const char** ppszText)
{
    const char* t = c.pszTrade ? c.pszTrade : "";
    struct Step {
        BOOL fails;
        int id;
        const char* text;
    };
    const Step steps[] = {
        {!c.bEstate, ids.estate, "请选择楼盘"},
        {c.bHouArea == 1 && !(c.dbArea > 0), ids.area, "请填写面积"},
        {!*t, ids.trade, "请选择交易状态"},
        {c.bHouPrice == 1 && strcmp(t, "出售") == 0 && c.iSales == 0, ids.sales, "请填写售价"},
        {c.bHouPrice == 1 && strcmp(t, "出租") == 0 && c.iRent == 0, ids.rent, "请填写租价"},
        {c.bHouPrice == 1 && strcmp(t, "租售") == 0 && c.iSales == 0 && c.iRent == 0, ids.sales, "请填写售价"},
        {c.bOwnerRead && c.bHouOwner == 1 && c.bOwnerTelEmpty && c.bLinkTelEmpty, ids.ownerTel,
         "业主电话和联系电话不能同时为空"},
        {!c.bBrKnown, ids.br, "「登记员工」的部门不存在, 请选择部门"},
        {!c.bEmpKnown, ids.emp, "「登记员工」不是该部门的员工, 请选择员工"},
    };
    for (const Step& s : steps)
        if (s.fails) {
            if (ppszText)
                *ppszText = s.text;
            return s.id;
        }
    if (ppszText)
        *ppszText = nullptr;
    return 0;
}
