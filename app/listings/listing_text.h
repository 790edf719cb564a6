// Dates of the listing windows and dialogs, typed as 'YYYY-MM-DD'.
#pragma once
#include "common/platform.h"

#include <cstddef>

// Whether year, month and day name a real calendar day (years 1000 on,
// leap years included).
BOOL Listing_IsCalendarDay(int y, int m, int d);
// Whether text is exactly 'YYYY-MM-DD' and names a real calendar day
// (leap years included).
BOOL Listing_IsDate(const char* text);
// Today's local date as 'YYYY-MM-DD' (cb at least 11).
void Listing_Today(char* out, size_t cb);
