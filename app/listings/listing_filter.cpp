#include "app/listings/listing_filter.h"
#include "common/date.h"
#include "common/gbk.h"
#include "data/quote.h"

#include <climits>
#include <cstdio>
#include <vector>

int Listing_FilterNumber(const std::string& text)
{
    if (text.empty())
        return 0;
    long long n = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return 0;
        if (n < INT_MAX)
            n = n * 10 + (c - '0');
    }
    return n > INT_MAX ? INT_MAX : static_cast<int>(n);
}

std::string Listing_FilterCut(const std::string& s, size_t max)
{
    std::string cut = s.substr(0, Gbk_CutLen(s.c_str(), s.size(), max));
    std::string out;
    for (size_t i = 0; i < cut.size(); i++) {
        unsigned char c = static_cast<unsigned char>(cut[i]);
        if (Gbk_IsLead(c)) {
            if (i + 1 < cut.size() && Gbk_IsTrail(static_cast<unsigned char>(cut[i + 1]))) {
                out += cut[i];
                out += cut[++i];
            }
            continue;
        }
        out += cut[i];
    }
    return out;
}

std::string Listing_FilterQuote(const std::string& s)
{
    std::vector<char> buf(2 * s.size() + 3);
    if (!FD_QuoteText(s.c_str(), buf.data(), buf.size()))
        return "''";
    return buf.data();
}

void Listing_FilterAppend(std::string& text, const std::string& piece)
{
    if (piece.empty())
        return;
    if (!text.empty())
        text += " and";
    text += piece;
}

BOOL Listing_FilterDates(const LISTING_DATE_BOX* boxes, int n, std::string* pieces, int* pBadCtl)
{
    for (int i = 0; i < n; i++) {
        pieces[i].clear();
        if (boxes[i].text->empty())
            continue;
        int y, m, d;
        if (!Date_Parse(boxes[i].text->c_str(), &y, &m, &d)) {
            if (pBadCtl)
                *pBadCtl = boxes[i].ctl;
            return FALSE;
        }
        char b[64];
        snprintf(b, sizeof(b), boxes[i].tmpl, y, m, d);
        pieces[i] = b;
    }
    return TRUE;
}

const char* Listing_FilterLabel(const ZT_FIELD* f, int n, int iCtl)
{
    for (int i = 0; i < n; i++)
        if (f[i].id == iCtl && f[i].pszLabel)
            return f[i].pszLabel;
    return "日期";
}
