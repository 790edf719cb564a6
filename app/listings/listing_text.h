// Dates of the listing windows and dialogs, typed as 'YYYY-MM-DD'.
#pragma once
#include "common/platform.h"

#include <cstddef>

// Whether text is exactly 'YYYY-MM-DD' and names a real calendar day
// (leap years included).
BOOL Listing_IsDate(const char* text);
// Today's local date as 'YYYY-MM-DD' (cb at least 11).
void Listing_Today(char* out, size_t cb);
