// The estate name box of the listing panels: a "ZT_CTL_COMBOBOX" whose list
// follows what is typed into it.  While the user types a text that does not
// start with a digit, the box lists at most 50 estates of the shared estate
// list whose name or pinyin abbreviation begins with the text (full-width
// Latin capitals and digits count as their ASCII forms, letters are compared
// upper-cased); an empty text lists the first 50.  A text starting with a
// digit (a telephone number or a key) is left alone.  The search runs on a
// job (jobs.h); a newer keystroke makes the running one stale.
#pragma once
#include "app/shell/main_param.h"

#include <cstddef>

enum { ESTATE_BOX_MAX = 50 };

// Makes hBox (a "ZT_CTL_COMBOBOX" with an edit child) an estate box over the
// block's estate list and lists the first 50 estates.  The box keeps what it
// needs until it is destroyed.  FALSE for a null box.
BOOL EstateBox_Attach(HWND hBox, const tagZT_Main_Param* p);

// Waits until the box's running search (if any) has ended and its result
// has been applied (tests and windows that read the list right after typing).
void EstateBox_Settle(HWND hBox);

// ---- The matching rules, without a window ------------------------------------------

// The typed text as it is matched: full-width 'Ａ'..'Ｚ' and '０'..'９' become
// 'A'..'Z' and '0'..'9', then ASCII letters are upper-cased; double-byte
// characters are otherwise kept.
void EstateBox_Normalise(const char* pszTyped, char* pszOut, size_t cb);
// Indices (into pList, in list order) of at most nMax estates matching the
// typed text; returns their number, or -1 when the text starts with a digit
// (no search).  Slots with key 0 are skipped.
int EstateBox_Find(const tagESTLIST* pList, int nList, const char* pszTyped, int* pIdx, int nMax);
