#include "app/listings/client_dialog.h"

#include <cstdio>

const char* ClientDialog_Check(const char* pszTrade, const char* pszCliMan, const char* pszLinkMan,
                               BOOL bTelsRead, const char* pszCliTel, const char* pszLinkTel, int* piCtl)
{
    int ctl = 0;
    const char* msg = nullptr;
    if (!*pszTrade) {
        ctl = 1089;
        msg = "请选择交易";
    } else if (!*pszCliMan && !*pszLinkMan) {
        ctl = 1281;
        msg = "客源姓名或联系人必须填一项";
    } else if (bTelsRead && !*pszCliTel && !*pszLinkTel) {
        ctl = 1282;
        msg = "客源电话或联系电话必须填一项";
    }
    if (piCtl)
        *piCtl = ctl;
    return msg;
}

void Client_FormatRanges(tagCLIENT* c)
{
    snprintf(c->szPurchaseRange, sizeof(c->szPurchaseRange), "%d-%d", c->iMinBuy, c->iMaxBuy);
    snprintf(c->szRentRange, sizeof(c->szRentRange), "%d-%d", c->iMinRent, c->iMaxRent);
    snprintf(c->szAreaRange, sizeof(c->szAreaRange), "%d-%d", c->iMinArea, c->iMaxArea);
    snprintf(c->szRoomRange, sizeof(c->szRoomRange), "%d-%d", c->iMinRoom, c->iMaxRoom);
}

int ClientDialog_Run(ZT_MODWIN*, tagCLIENT*)
{
    return 0;
}
