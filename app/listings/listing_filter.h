// Pieces the list windows' filter texts share: box values cut to their
// limits, quoted through the data library's helper, numbers and dates
// parsed before they are printed, and pieces joined with " and".
#pragma once
#include "app/shell/field_table.h"

#include <string>

// Value of an unsigned-integer box: empty or not a number counts as 0 (no
// bound); a number beyond the int range counts as the largest int.
int Listing_FilterNumber(const std::string& text);

// A date box of a filter panel (read with Date_Parse): its text, its
// control, and the condition a date in it gives ("%04d-%02d-%02d" filled with the date).
struct LISTING_DATE_BOX {
    const std::string* text;
    int ctl;
    const char* tmpl;
};
// The two boxes of a date range over a column: from the day on, to the end
// of the day (the structure's fields fFrom and fTo of the panel values v).
#define LISTING_DATES(fFrom, fTo, from, to, column)                 \
    {&v.fFrom, from, " " column " >= '%04d-%02d-%02d'"}, \
        {&v.fTo, to, " " column " <= '%04d-%02d-%02d 23:59:59'"}
// The conditions of n date boxes into pieces[i] (empty for an empty box).
// FALSE when a box holds no date; *pBadCtl then names it.
BOOL Listing_FilterDates(const LISTING_DATE_BOX* boxes, int n, std::string* pieces, int* pBadCtl);

// The text cut to a box's limit (bytes) on a whole character, without the
// half characters (a lead byte whose trail is missing) no stored text holds.
std::string Listing_FilterCut(const std::string& s, size_t max);

// The text as a quoted, escaped SQL literal (FD_QuoteText).
std::string Listing_FilterQuote(const std::string& s);

// Appends a piece (nothing when it is empty), joined with " and" once the
// text is not empty.
void Listing_FilterAppend(std::string& text, const std::string& piece);

// Field rows of a filter panel over its structure S (ZFF_STRING): a box, and
// the two boxes of a range, named after it with "(起)" and "(止)".
#define LISTING_BOX(S, id, kind, field, max, label) \
    {id, kind, offsetof(S, field), 0, max, ZF_NO_RIGHT, label, nullptr, 0, ZFF_STRING}
#define LISTING_RANGE(S, from, to, kind, fFrom, fTo, max, label) \
    LISTING_BOX(S, from, kind, fFrom, max, label "(起)"), LISTING_BOX(S, to, kind, fTo, max, label "(止)")

// The name of a panel's box in its field rows ("日期" when it has none).
const char* Listing_FilterLabel(const ZT_FIELD* f, int n, int iCtl);
