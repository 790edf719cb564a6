// Quoted literals for filter conditions.
#include "data/db_core.h"
#include "data/quote.h"
#include "common/gbk.h"

std::string SqlQuote(const char* value)
{
    return "'" + SqlEscape(value) + "'";
}

// The pattern that matches the value's characters literally, with "%"
// where iMatch asks for it.  A half character is left out: kept, it would
// take the escape character that may follow as its trail byte.
static std::string LikePattern(const char* value, int iMatch)
{
    std::string pat;
    if (iMatch == FD_LIKE_CONTAINS || iMatch == FD_LIKE_ENDS)
        pat += '%';
    size_t len = value ? strlen(value) : 0;
    for (size_t i = 0; i < len; ++i) {
        unsigned char c = (unsigned char)value[i];
        if (Gbk_IsLead(c)) {
            if (i + 1 < len && Gbk_IsTrail((unsigned char)value[i + 1])) {
                pat.append(value + i, 2);
                ++i;
            }
            continue;
        }
        if (c == '%' || c == '_' || c == '\\')
            pat += '\\';
        pat += (char)c;
    }
    if (iMatch == FD_LIKE_CONTAINS || iMatch == FD_LIKE_STARTS)
        pat += '%';
    return pat;
}

std::string SqlQuoteLike(const char* value, int iMatch)
{
    if (iMatch < FD_LIKE_CONTAINS || iMatch > FD_LIKE_EXACT)
        return std::string();
    return SqlQuote(LikePattern(value, iMatch).c_str());
}

// Hands a literal over whole, or not at all.
static BOOL PutLiteral(const std::string& lit, char* pszOut, size_t cb)
{
    if (!pszOut || cb == 0)
        return FALSE;
    if (lit.empty() || lit.size() >= cb) {
        pszOut[0] = '\0';
        return FALSE;
    }
    memcpy(pszOut, lit.c_str(), lit.size() + 1);
    return TRUE;
}

BOOL FD_QuoteText(const char* pszValue, char* pszOut, size_t cb)
{
    return PutLiteral(SqlQuote(pszValue), pszOut, cb);
}

BOOL FD_QuoteLike(const char* pszValue, int iMatch, char* pszOut, size_t cb)
{
    return PutLiteral(SqlQuoteLike(pszValue, iMatch), pszOut, cb);
}
