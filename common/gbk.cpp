#include "common/gbk.h"

#include <cstring>

size_t Gbk_CutLen(const char* s, size_t len, size_t max)
{
    if (!s)
        return 0;
    size_t end = len < max ? len : max;
    size_t n = 0;
    while (n < end) {
        size_t step = Gbk_IsLead(static_cast<unsigned char>(s[n])) ? 2 : 1;
        if (n + step > end)
            break;
        n += step;
    }
    return n;
}

void Gbk_CopyCut(char* dst, size_t cb, const char* src)
{
    if (!dst || cb == 0)
        return;
    size_t n = src ? Gbk_CutLen(src, strlen(src), cb - 1) : 0;
    if (n)
        memcpy(dst, src, n);
    dst[n] = '\0';
}
