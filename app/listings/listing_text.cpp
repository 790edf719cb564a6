#include "app/listings/listing_text.h"

#include <cstdio>
#include <cstring>

static bool Digits(const char* s, int n)
{
    for (int i = 0; i < n; i++)
        if (s[i] < '0' || s[i] > '9')
            return false;
    return true;
}

BOOL Listing_IsDate(const char* text)
{
    if (!text || strlen(text) != 10 || text[4] != '-' || text[7] != '-')
        return FALSE;
    if (!Digits(text, 4) || !Digits(text + 5, 2) || !Digits(text + 8, 2))
        return FALSE;
    int y = (text[0] - '0') * 1000 + (text[1] - '0') * 100 + (text[2] - '0') * 10 + (text[3] - '0');
    int m = (text[5] - '0') * 10 + (text[6] - '0');
    int d = (text[8] - '0') * 10 + (text[9] - '0');
    return Listing_IsCalendarDay(y, m, d);
}

BOOL Listing_IsCalendarDay(int y, int m, int d)
{
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (y < 1000 || m < 1 || m > 12 || d < 1)
        return FALSE;
    bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    int last = kDays[m - 1] + (m == 2 && leap ? 1 : 0);
    return d <= last;
}

void Listing_Today(char* out, size_t cb)
{
    SYSTEMTIME st;
    GetLocalTime(&st);
    snprintf(out, cb, "%04d-%02d-%02d", st.wYear, st.wMonth, st.wDay);
}
