// Small text helpers of the listing windows and dialogs: fixed fields cut on
// a whole GBK character, and dates typed as 'YYYY-MM-DD'.
#pragma once
#include "common/platform.h"

#include <cstddef>

// Copies src into a field of cb bytes (NUL included), cut at cb - 1 bytes
// without splitting a double-byte character (a lead byte 0x81..0xFE takes
// the byte after it along).  A null src gives an empty field.
void Listing_CopyField(char* dst, size_t cb, const char* src);
template <size_t N> inline void Listing_CopyField(char (&dst)[N], const char* src) { Listing_CopyField(dst, N, src); }

// Whether text is exactly 'YYYY-MM-DD' and names a real calendar day
// (leap years included).
BOOL Listing_IsDate(const char* text);
// Today's local date as 'YYYY-MM-DD' (cb at least 11).
void Listing_Today(char* out, size_t cb);
