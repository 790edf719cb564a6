// ZTData: quoting the texts that windows place into filter conditions
// (the pszWhere of FD_Sct_Hou, FD_Sct_Cli, FD_Sct_F, the log filter, ...).
// Every value a user typed or chose enters a condition only through these.
#pragma once
#include "common/platform.h"

#include <cstddef>

// How a LIKE pattern matches the value.
enum FD_LIKE_MATCH {
    FD_LIKE_CONTAINS = 0,   // '%value%'
    FD_LIKE_STARTS = 1,     // 'value%'
    FD_LIKE_ENDS = 2,       // '%value'
    FD_LIKE_EXACT = 3       // 'value'
};

// Writes pszValue as a quoted SQL text literal ('...', quotes included)
// escaped for the connection's character set, NUL-terminated, into pszOut
// of cb bytes.  Works without a connection too (escaping as for the GBK
// connection the program uses).  A null value is ''.  FALSE, with an empty
// pszOut, when the literal does not fit: never a shortened literal.  A
// buffer of 2 * strlen(pszValue) + 3 bytes always suffices.
ZTDATA_API BOOL FD_QuoteText(const char* pszValue, char* pszOut, size_t cb);

// As FD_QuoteText, the LIKE pattern literal for "col like <literal>": the
// value's own "%", "_" and "\" are escaped (the server's LIKE escape
// character is "\") so that they match only themselves, and "%" is placed
// as iMatch asks.  A half double-byte character (a lead byte without its
// trail byte) is left out: no stored text holds one.  FALSE, with an empty
// pszOut, for an unknown iMatch or when the literal does not fit.  A buffer
// of 4 * strlen(pszValue) + 5 bytes always suffices.
ZTDATA_API BOOL FD_QuoteLike(const char* pszValue, int iMatch, char* pszOut, size_t cb);
