#include "common/date.h"

#include <cstdio>
#include <cstring>
#include <initializer_list>

BOOL Date_IsDay(int y, int m, int d)
{
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (y < 1000 || m < 1 || m > 12 || d < 1)
        return FALSE;
    bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return d <= kDays[m - 1] + (m == 2 && leap ? 1 : 0);
}

BOOL Date_IsText(const char* psz)
{
    if (!psz || strlen(psz) != 10 || psz[4] != '-' || psz[7] != '-')
        return FALSE;
    for (int i : {0, 1, 2, 3, 5, 6, 8, 9})
        if (psz[i] < '0' || psz[i] > '9')
            return FALSE;
    int y = 0, m = 0, d = 0;
    sscanf(psz, "%4d-%2d-%2d", &y, &m, &d);
    return Date_IsDay(y, m, d);
}

BOOL Date_Parse(const char* psz, int* py, int* pm, int* pd)
{
    size_t n = psz ? strlen(psz) : 0;
    int y = 0, m = 0, d = 0, len = 0;
    if (n == 0 || n > 10 || sscanf(psz, "%4d-%2d-%2d%n", &y, &m, &d, &len) != 3 || len != static_cast<int>(n))
        return FALSE;
    for (size_t i = 0; i < n; i++)
        if (psz[i] != '-' && (psz[i] < '0' || psz[i] > '9'))
            return FALSE;
    if (!Date_IsDay(y, m, d))
        return FALSE;
    *py = y;
    *pm = m;
    *pd = d;
    return TRUE;
}

void Date_Format(const SYSTEMTIME& local, char* pszOut, size_t cb)
{
    snprintf(pszOut, cb, "%04d-%02d-%02d", local.wYear, local.wMonth, local.wDay);
}

void Date_Today(char* pszOut, size_t cb)
{
    SYSTEMTIME st;
    GetLocalTime(&st);
    Date_Format(st, pszOut, cb);
}

long Date_DayNumber(int y, int m, int d)
{
    y -= m <= 2;
    long era = (y >= 0 ? y : y - 399) / 400;
    long yoe = y - era * 400;
    long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void Date_Refusal(const char* pszBox, char* pszOut, size_t cb)
{
    char today[16];
    Date_Today(today, sizeof(today));
    snprintf(pszOut, cb, "「%s」不是有效的日期, 请按 年-月-日 输入, 如 %s", pszBox ? pszBox : "", today);
}

long Date_TodayNumber()
{
    SYSTEMTIME st;
    GetLocalTime(&st);
    return Date_DayNumber(st.wYear, st.wMonth, st.wDay);
}

static int Digits(const char* p, int n)
{
    int v = 0;
    for (int i = 0; i < n; i++) {
        if (p[i] < '0' || p[i] > '9')
            return -1;
        v = v * 10 + (p[i] - '0');
    }
    return v;
}

BOOL Date_DayNumberOf(const char* psz, long* pDay)
{
    if (!psz)
        return FALSE;
    // The server's own form, read without the C library's scanner: lists
    // ask this of every row they load.
    int y = -1, m = -1, d = -1;
    if (psz[0] && psz[1] && psz[2] && psz[3] && psz[4] == '-' && psz[5] && psz[6] && psz[7] == '-' && psz[8] &&
        psz[9] && (psz[10] < '0' || psz[10] > '9')) {
        y = Digits(psz, 4);
        m = Digits(psz + 5, 2);
        d = Digits(psz + 8, 2);
    }
    if ((y < 0 || m < 0 || d < 0) && sscanf(psz, "%4d-%2d-%2d", &y, &m, &d) != 3)
        return FALSE;
    *pDay = Date_DayNumber(y, m, d);
    return TRUE;
}
