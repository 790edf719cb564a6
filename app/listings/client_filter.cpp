// The client list's filter text.  Pieces in a fixed order, joined with
// " and"; typed and chosen texts enter only through the quoting helper,
// numbers and dates are printed from parsed values.
#include "app/listings/client_filter.h"
#include "app/listings/client_ids.h"
#include "app/listings/listing_filter.h"

#include <cstddef>
#include <cstdio>

namespace {

std::string Fmt(const char* tmpl, int a, int b = 0, int c = 0, int d = 0)
{
    char buf[256];
    snprintf(buf, sizeof(buf), tmpl, a, b, c, d);
    return buf;
}

// Either budget holds the price (a client who would buy or rent).
std::string EitherBudget(int p)
{
    return Fmt(" ((iMinBuy<= %d and iMaxBuy>= %d) or (iMinRent <= %d and iMaxRent>= %d))", p, p, p, p);
}

std::string TradeAndPrice(const std::string& trade, int p)
{
    if (trade.empty())
        return p ? EitherBudget(p) : "";
    std::string s = "szTrade = " + Listing_FilterQuote(trade);
    if (!p)
        return s;
    if (trade == "求租" || trade == "已租")
        return s + Fmt(" and iMinRent <= %d and iMaxRent >= %d", p, p);
    if (trade == "出售" || trade == "已售")
        return s + Fmt(" and iMinBuy <= %d and iMaxBuy >= %d", p, p);
    return s + " and" + EitherBudget(p);
}

std::string Equals(const char* head, const std::string& text, size_t max)
{
    std::string v = Listing_FilterCut(text, max);
    return v.empty() ? "" : head + Listing_FilterQuote(v);
}

std::string Within(const char* tmpl, const std::string& text)
{
    int n = Listing_FilterNumber(text);
    return n ? Fmt(tmpl, n, n) : "";
}

}  // namespace

BOOL ClientFilter_Build(const ClientFilterPanel& v, const char* pszScope, std::string* pOut, int* pBadCtl)
{
    pOut->clear();
    if (pBadCtl)
        *pBadCtl = 0;
    const LISTING_DATE_BOX dates[] = {
        LISTING_DATES(delegateFrom, delegateTo, IDC_CF_DELEGATE_FROM, IDC_CF_DELEGATE_TO, "dDelegate"),
        LISTING_DATES(followFrom, followTo, IDC_CF_FOLLOW_FROM, IDC_CF_FOLLOW_TO, "dtFollow"),
    };
    std::string datePieces[4];
    if (!Listing_FilterDates(dates, 4, datePieces, pBadCtl))
        return FALSE;

    std::string t;
    Listing_FilterAppend(t, TradeAndPrice(Listing_FilterCut(v.trade, CF_TEXT_MAX), Listing_FilterNumber(v.price)));
    Listing_FilterAppend(t, Equals(" szUrban = ", v.urban, CF_URBAN_MAX));
    Listing_FilterAppend(t, Equals(" szFloor = ", v.floor, CF_TEXT_MAX));
    Listing_FilterAppend(t, Within(" iMinArea <= %d and iMaxArea >= %d", v.area));
    Listing_FilterAppend(t, Within(" iMinRoom <= %d and iMaxRoom >= %d", v.room));
    Listing_FilterAppend(t, Equals(" szHouseType=", v.houseType, CF_TEXT_MAX));
    for (const std::string& d : datePieces)
        Listing_FilterAppend(t, d);
    Listing_FilterAppend(t, Equals(" szLevel = ", v.level, CF_TEXT_MAX));
    if (pszScope && *pszScope)
        Listing_FilterAppend(t, std::string(" ") + pszScope);
    *pOut = t;
    return TRUE;
}

#define CF(id, kind, field, max, label) LISTING_BOX(ClientFilterPanel, id, kind, field, max, label)
#define CF_DATES(from, to, fFrom, fTo, label) LISTING_RANGE(ClientFilterPanel, from, to, ZF_DATE, fFrom, fTo, 10, label)
extern const ZT_FIELD g_ClientFilterFields[] = {
    CF(IDC_CF_TRADE, ZF_TEXT, trade, CF_TEXT_MAX, "交易"),
    CF(IDC_CF_PRICE, ZF_INT, price, CF_NUMBER_MAX, "价格"),
    CF(IDC_CF_URBAN, ZF_TEXT, urban, CF_URBAN_MAX, "城区"),
    CF(IDC_CF_FLOOR, ZF_TEXT, floor, CF_TEXT_MAX, "楼层"),
    CF(IDC_CF_AREA, ZF_INT, area, CF_NUMBER_MAX, "面积"),
    CF(IDC_CF_ROOM, ZF_INT, room, CF_NUMBER_MAX, "房型"),
    CF(IDC_CF_TYPE, ZF_TEXT, houseType, CF_TEXT_MAX, "类型"),
    CF(IDC_CF_LEVEL, ZF_TEXT, level, CF_TEXT_MAX, "等级"),
    CF_DATES(IDC_CF_DELEGATE_FROM, IDC_CF_DELEGATE_TO, delegateFrom, delegateTo, "委托日期"),
    CF_DATES(IDC_CF_FOLLOW_FROM, IDC_CF_FOLLOW_TO, followFrom, followTo, "跟进日期"),
};
#undef CF_DATES
#undef CF
extern const int g_nClientFilterFields = sizeof(g_ClientFilterFields) / sizeof(g_ClientFilterFields[0]);

const char* ClientFilter_DateLabel(int iCtl)
{
    return Listing_FilterLabel(g_ClientFilterFields, g_nClientFilterFields, iCtl);
}
