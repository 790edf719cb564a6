// The house list's filter text.  Every piece is appended in a fixed order;
// a piece after the first is joined with " and".  Typed and chosen texts
// enter only through the quoting helper; numbers and dates are printed from
// parsed, range-checked values.
#include "app/listings/house_filter.h"
#include "app/listings/listing_filter.h"
#include "app/listings/house_ids.h"
#include "cipher/cipher.h"
#include "common/gbk.h"
#include "data/quote.h"

#include <climits>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

std::string Cut(const std::string& s, size_t max)
{
    return Listing_FilterCut(s, max);
}

std::string Quote(const std::string& s)
{
    return Listing_FilterQuote(s);
}

std::string QuoteStarts(const std::string& s)
{
    std::vector<char> buf(4 * s.size() + 5);
    if (!FD_QuoteLike(s.c_str(), FD_LIKE_STARTS, buf.data(), buf.size()))
        return "''";
    return buf.data();
}

std::string Int(int n)
{
    char b[16];
    snprintf(b, sizeof(b), "%d", n);
    return b;
}

// The names of a multi-choice text: every name followed by a comma (text
// after the last comma is not a chosen name).
std::vector<std::string> Names(const std::string& s)
{
    std::vector<std::string> out;
    size_t start = 0;
    for (size_t i = 0; i < s.size(); i++) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        if (Gbk_IsLead(c) && i + 1 < s.size() && Gbk_IsTrail(static_cast<unsigned char>(s[i + 1]))) {
            i++;    // a trail byte is never a comma
            continue;
        }
        if (c == ',') {
            out.push_back(s.substr(start, i - start));
            start = i + 1;
        }
    }
    return out;
}

void Append(std::string& text, const std::string& piece)
{
    Listing_FilterAppend(text, piece);
}

// The price clause of a row that may be on sale or for rent: either price
// within the bounds (a bound of 0 is none; a listing without that price
// has 0 there and never matches a bound).
std::string EitherPrice(int lo, int hi)
{
    if (lo && !hi)
        return "(iSales >= " + Int(lo) + " or iRent >= " + Int(lo) + ")";
    std::string low = lo ? Int(lo) : "1";
    return "((iSales >= " + low + " and iSales <= " + Int(hi) + ") or (iRent >= " + low + " and iRent <= " + Int(hi) +
           "))";
}

std::string TradeAndPrice(const std::string& trade, int lo, int hi)
{
    std::string s;
    if (trade == "出租" || trade == "租售" || trade == "出售") {
        const char* col = trade == "出售" ? "iSales" : "iRent";
        s = "(szTrade = " + Quote(trade) + " or szTrade =  '租售')";
        if (lo)
            s += std::string(" and ") + col + " >= " + Int(lo);
        if (hi)
            s += std::string(" and ") + col + "<= " + Int(hi);
    } else if (!trade.empty()) {
        s = "(szTrade = " + Quote(trade) + ")";
        if (lo || hi)
            s += " and " + EitherPrice(lo, hi);
    } else if (lo || hi) {
        s = " " + EitherPrice(lo, hi);
    }
    return s;
}

std::string EstateOrPhone(const std::string& text, const tagESTLIST* est, int nEst)
{
    if (text.find(',') != std::string::npos) {
        std::string s;
        for (const std::string& name : Names(text)) {
            for (int i = 0; est && i < nEst; i++) {
                if (est[i].iOrdinal && name == est[i].szEstate) {
                    s += std::string(" ") + (s.empty() ? "" : "or ") + "iEst = " + Int(est[i].iOrdinal);
                    break;
                }
            }
        }
        // Names none of which is an estate select nothing rather than every house.
        return " (" + (s.empty() ? std::string(" iEst = 0") : s) + ")";
    }
    // One estate name as the estate box's list puts it (without a comma).
    if (text[0] < '0' || text[0] > '9')
        for (int i = 0; est && i < nEst; i++)
            if (est[i].iOrdinal && text == est[i].szEstate)
                return " ( iEst = " + Int(est[i].iOrdinal) + ")";
    // A telephone (stored enciphered, compared by its leading blocks) or a key.
    char tel[HF_ESTATE_MAX * 2 + 32] = "";
    Gbk_CopyCut(tel, 121, text.c_str());    // the longest text the telephone cipher takes
    CipherText("", tel, CIPHER_ENCODE);
    std::string like = QuoteStarts(tel);
    std::string s = " ( szOwnerTel like " + like + " or szLinkTel like " + like;
    char* end = nullptr;
    long long n = strtoll(text.c_str(), &end, 10);
    if (n >= INT_MIN && n <= INT_MAX && Int(static_cast<int>(n)) == text)
        s += " or iOrdinal = " + Int(static_cast<int>(n)) + ")";
    else
        s += ")";
    return s;
}

std::string Choices(const std::string& text, const char* col, const char* eq)
{
    std::vector<std::string> names = Names(text);
    if (names.empty())
        return "";
    std::string s = "(";
    for (size_t i = 0; i < names.size(); i++)
        s += std::string(" ") + (i ? "or" : "") + " " + col + eq + Quote(names[i]);
    return s + ")";
}

// The urban areas chosen, as keys of the houses' own copy of their
// estate's urban area: the keys of the names in the session's list (every
// area of that name, in any city), or, when a name is not there, the names
// looked up by the server.
std::string UrbanPiece(const std::vector<std::string>& names, const tagURBAN* urb, int nUrb)
{
    std::vector<int> keys;
    bool all = urb != nullptr;
    for (size_t i = 0; all && i < names.size(); i++) {
        bool found = false;
        for (int k = 0; k < nUrb; k++) {
            if (urb[k].iOrdinal && names[i] == std::string(urb[k].szUrban, strnlen(urb[k].szUrban, sizeof urb[k].szUrban))) {
                keys.push_back(urb[k].iOrdinal);
                found = true;
            }
        }
        all = found;
    }
    if (all && keys.size() == 1)
        return " iUrban = " + Int(keys[0]);
    if (all) {
        std::string s = " iUrban in (";
        for (size_t i = 0; i < keys.size(); i++)
            s += (i ? "," : "") + Int(keys[i]);
        return s + ")";
    }
    std::string s = " iUrban in (select iOrdinal from t_urban where szUrban in (";
    for (size_t i = 0; i < names.size(); i++)
        s += (i ? "," : "") + Quote(names[i]);
    return s + "))";
}

}  // namespace

int HouseFilter_Number(const std::string& text)
{
    return Listing_FilterNumber(text);
}

#define HF(id, kind, field, max, label) LISTING_BOX(HouseFilterPanel, id, kind, field, max, label)
#define HF_RANGE(from, to, kind, fFrom, fTo, max, label) \
    LISTING_RANGE(HouseFilterPanel, from, to, kind, fFrom, fTo, max, label)
extern const ZT_FIELD g_HouseFilterFields[] = {
    HF(IDC_HF_TRADE, ZF_TEXT, trade, HF_TRADE_MAX, "交易"),
    HF(IDC_HF_URBAN, ZF_TEXT, urban, HF_URBAN_MAX, "城区"),
    HF(IDC_HF_ESTATE, ZF_TEXT, estate, HF_ESTATE_MAX, "楼盘名称"),
    HF(IDC_HF_BUILDNO, ZF_TEXT, buildNo, HF_NO_MAX, "栋号"),
    HF(IDC_HF_HOUSENO, ZF_TEXT, houseNo, HF_NO_MAX, "室号"),
    HF_RANGE(IDC_HF_AREA_MIN, IDC_HF_AREA_MAX, ZF_INT, areaMin, areaMax, 10, "面积"),
    HF_RANGE(IDC_HF_BED_MIN, IDC_HF_BED_MAX, ZF_INT, bedMin, bedMax, 0, "房型"),
    HF(IDC_HF_TYPE, ZF_TEXT, types, HF_MULTI_MAX, "类型"),
    HF_RANGE(IDC_HF_PRICE_MIN, IDC_HF_PRICE_MAX, ZF_INT, priceMin, priceMax, 10, "价格"),
    HF_RANGE(IDC_HF_FLOOR_MIN, IDC_HF_FLOOR_MAX, ZF_INT, floorMin, floorMax, 10, "楼层"),
    HF(IDC_HF_LOOK, ZF_TEXT, looks, HF_MULTI_MAX, "看房"),
    HF_RANGE(IDC_HF_DELEGATE_FROM, IDC_HF_DELEGATE_TO, ZF_DATE, delegateFrom, delegateTo, 10, "委托日期"),
    HF_RANGE(IDC_HF_FOLLOW_FROM, IDC_HF_FOLLOW_TO, ZF_DATE, followFrom, followTo, 10, "跟进日期"),
    HF_RANGE(IDC_HF_RENT_FROM, IDC_HF_RENT_TO, ZF_DATE, rentFrom, rentTo, 10, "租赁日期"),
};
#undef HF_RANGE
#undef HF
extern const int g_nHouseFilterFields = sizeof(g_HouseFilterFields) / sizeof(g_HouseFilterFields[0]);

const char* HouseFilter_DateLabel(int iCtl)
{
    return Listing_FilterLabel(g_HouseFilterFields, g_nHouseFilterFields, iCtl);
}

const char* HouseFilter_Index(const HouseFilterPanel& v, const char* pszScope)
{
    // A trade with a price or rent bound matches a large share of the
    // houses; the server, seeing the bound, reads them all off the match
    // index and sorts them.  The list index gives them in the list's order
    // and holds trade and prices, so the first 5000 that pass are read and
    // no more.  Any narrower condition has an index of its own.
    bool price = HouseFilter_Number(v.priceMin) > 0 || HouseFilter_Number(v.priceMax) > 0;
    bool narrower = !v.estate.empty() || !Names(Cut(v.urban, HF_URBAN_MAX)).empty() || !v.buildNo.empty() ||
                    !v.houseNo.empty() || !v.delegateFrom.empty() || !v.delegateTo.empty() ||
                    !v.followFrom.empty() || !v.followTo.empty() || !v.rentFrom.empty() || !v.rentTo.empty() ||
                    (pszScope && pszScope[0]);
    return !v.trade.empty() && price && !narrower ? "ix_house_list" : "";
}

BOOL HouseFilter_Build(const HouseFilterPanel& v, const char* pszScope, const tagESTLIST* est, int nEst,
                       std::string* pOut, int* pBadCtl, const tagURBAN* urb, int nUrb)
{
    pOut->clear();
    if (pBadCtl)
        *pBadCtl = 0;

    // The dates first: a box that holds no date stops the whole filter.
    const LISTING_DATE_BOX dates[] = {
        LISTING_DATES(delegateFrom, delegateTo, IDC_HF_DELEGATE_FROM, IDC_HF_DELEGATE_TO, "dDelegate"),
        LISTING_DATES(followFrom, followTo, IDC_HF_FOLLOW_FROM, IDC_HF_FOLLOW_TO, "dtFollow"),
        {&v.rentFrom, IDC_HF_RENT_FROM, " dRent>= '%04d-%02d-%02d'"},    // as the list has always sent it
        {&v.rentTo, IDC_HF_RENT_TO, " dRent <= '%04d-%02d-%02d 23:59:59'"},
    };
    std::string datePieces[6];
    if (!Listing_FilterDates(dates, 6, datePieces, pBadCtl))
        return FALSE;

    std::string t;
    Append(t, TradeAndPrice(Cut(v.trade, HF_TRADE_MAX), HouseFilter_Number(v.priceMin),
                            HouseFilter_Number(v.priceMax)));
    std::string estate = Cut(v.estate, HF_ESTATE_MAX);
    if (!estate.empty())
        Append(t, EstateOrPhone(estate, est, nEst));
    std::string urban = Cut(v.urban, HF_URBAN_MAX);
    if (estate.empty() && !Names(urban).empty())
        Append(t, UrbanPiece(Names(urban), urb, nUrb));
    std::string b = Cut(v.buildNo, HF_NO_MAX), h = Cut(v.houseNo, HF_NO_MAX);
    if (!b.empty())
        Append(t, " szBuildNO = " + Quote(b));
    if (!h.empty())
        Append(t, " szHouseNO = " + Quote(h));
    struct NumBox {
        const std::string* text;
        const char* head;
    };
    const NumBox nums[] = {
        {&v.areaMin, " dbBuildArea >= "}, {&v.areaMax, " dbBuildArea <= "},
        {&v.bedMin, " iBed >= "}, {&v.bedMax, " iBed <= "},
    };
    for (const NumBox& n : nums)
        if (int x = HouseFilter_Number(*n.text))
            Append(t, n.head + Int(x));
    Append(t, Choices(Cut(v.types, HF_MULTI_MAX), "szHouseType", "="));
    Append(t, Choices(Cut(v.looks, HF_MULTI_MAX), "szLook", " = "));
    for (const std::string& d : datePieces)
        Append(t, d);
    if (int x = HouseFilter_Number(v.floorMin))
        Append(t, " convert(szFloor, SIGNED) >= " + Int(x));
    if (int x = HouseFilter_Number(v.floorMax))
        Append(t, " convert(szFloor, SIGNED) <= " + Int(x));
    if (pszScope && *pszScope)
        Append(t, std::string(" ") + pszScope);
    *pOut = t;
    return TRUE;
}
