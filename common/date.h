// The program's calendar: days typed as 'YYYY-MM-DD', checked strictly (an
// edit dialog's date box) or leniently (a filter panel's date box), today's
// local date, and day numbers for counting the days between two dates.
#pragma once
#include "common/platform.h"

#include <cstddef>

// Whether year, month and day name a real calendar day (years 1000 on, leap
// years included).
BOOL Date_IsDay(int y, int m, int d);

// Whether a text is exactly 'YYYY-MM-DD' and names a real calendar day.
BOOL Date_IsText(const char* psz);

// A filter panel's date: digits and dashes only, 'YYYY-MM-DD' where the
// month and the day may have one digit, at most 10 bytes, a real calendar
// day.  FALSE for anything else (the outputs are then untouched).
BOOL Date_Parse(const char* psz, int* y, int* m, int* d);

// 'YYYY-MM-DD' of a local point in time, and of today's local date (cb at
// least 11).
void Date_Format(const SYSTEMTIME& local, char* pszOut, size_t cb);
void Date_Today(char* pszOut, size_t cb);

// The one refusal of a date box that holds no calendar day, naming the box
// and taking its example from today: "「委托日期」不是有效的日期, 请按
// 年-月-日 输入, 如 2026-12-10".
void Date_Refusal(const char* pszBox, char* pszOut, size_t cb);

// Days since 1970-01-01 of a (proleptic Gregorian) date, and of today's
// local date.
long Date_DayNumber(int y, int m, int d);
long Date_TodayNumber();
// The day number of the date a date or date-time text starts with
// ('YYYY-MM-DD...'); FALSE when it starts with none.
BOOL Date_DayNumberOf(const char* psz, long* pDay);
