// Field tables of the edit dialogs and the filter panels: one row per box
// ties a control to a field of a plain structure (kind, offset, width,
// limit, field right), and loops show a structure in the boxes, read the
// boxes back into it, empty the boxes, set their limits (a date box also
// gets its calendar) and apply the user's field rights.
//
// Reading is strict where the record is narrow: a text is cut to its field
// on a whole GBK character (never overflowing it); a number box must hold
// decimal digits (blanks around them allowed, a decimal box one point) and a
// value the field can hold, otherwise the read stops at that box with a
// message naming it ("「售价」必须是数字" / "「售价」的数值太大, 最大 2147483647"),
// puts the focus on it with its text selected, and reports the box.  A lax
// row (ZFF_LAX) reads what is no number as 0 instead, and a filter panel's
// row (ZFF_STRING) takes the text as it stands: the filter checks it.
#pragma once
#include "app/shell/main_param.h"

#include <cstddef>
#include <cstring>

enum ZT_FIELD_KIND {
    ZF_TEXT,      // char[cb]: the box's text, cut on a whole character
    ZF_INT,       // int32_t: decimal digits, 0 .. INT32_MAX; an empty box is 0
    ZF_DECIMAL,   // double: digits with at most one point, 0 .. dbMax; an empty box is 0
    ZF_DATE,      // char[cb] "YYYY-MM-DD" or empty: shown empty for the zero date, another text
                  // refused; the box is a date field (its calendar)
    ZF_SHOWN,     // shown from the record (text), never read back
    ZF_CHECK      // int32_t flag: a check box, ticked for a non-zero value, read back as 1 or 0
};

// Row flags.
enum {
    ZFF_ZERO_EMPTY = 1,   // a number 0 is shown as an empty box
    ZFF_LOCK = 2,         // a withheld right locks the box (keeps its look) instead of disabling it
    ZFF_NO_READ = 4,      // shown by the loop but read by the dialog itself
    ZFF_LAX = 8,          // a number box that holds no number (or one above the int range) reads
                          // 0, a decimal is rounded to two places; a date is any text, shown as held
    ZFF_STRING = 16       // the field is a std::string taking the box's whole text unchecked (a
                          // filter panel's value; cb is 0, cchMax 0 leaves the box unlimited)
};

enum { ZF_NO_RIGHT = -1 };

struct ZT_FIELD {
    int id;                 // control id (searched among the dialog's descendants)
    int kind;               // ZF_...
    size_t off;             // offset of the field in the record
    size_t cb;              // size of the field in bytes (texts: with the NUL)
    int cchMax;             // limit of the box; 0: cb - 1 for texts, 10 for numbers
    int iRight;             // field right number (ZT_FR_...) or ZF_NO_RIGHT
    const char* pszLabel;   // the box's name in messages
    const char* pszFormat;  // display format of a number; null: "%u" (ZF_INT), "%.2f" (ZF_DECIMAL)
    double dbMax;           // ZF_DECIMAL upper bound; 0: 9999999999.99
    unsigned fFlags;        // ZFF_...
    const char* pszRefuse = nullptr;    // the message of a refused value; null: the one naming the box
};

// Outcome of parsing a number box.
enum { ZFP_OK = 0, ZFP_NOT_NUMBER = 1, ZFP_TOO_LARGE = 2 };
// "  123 " -> 123; "" -> 0.  Negative numbers, signs and other characters
// are not numbers; more than INT32_MAX is too large.
int Field_ParseInt(const char* psz, int32_t* pValue);
// Digits with at most one point ("80", "80.5", ".5"); "" -> 0.  Above dbMax
// is too large.
int Field_ParseDecimal(const char* psz, double dbMax, double* pValue);
// The lax rule (ZFF_LAX): anything but a number in the int range counts as 0.
int32_t Field_LaxInt(const char* psz);
// Anything but a decimal number counts as 0; a number is rounded to two
// places, and ZFP_TOO_LARGE (*pValue 0) when it is then above dbMax.
int Field_LaxDecimal(const char* psz, double dbMax, double* pValue);

// The text of a control (any length up to cb - 1 bytes, cut on a whole
// character); empty when the control is missing.
void Field_GetText(HWND hDlg, int id, char* pszOut, size_t cb);

// Shows rec in every box of the table.
void Fields_Show(HWND hDlg, const ZT_FIELD* f, int n, const void* rec);
// Reads every box (ZF_SHOWN and ZFF_NO_READ rows excepted) into rec.  Returns
// 0 when all were read; otherwise the id of the first box refused, after
// the message (over hDlg) and with the focus on that box.
int Fields_Read(HWND hDlg, const ZT_FIELD* f, int n, void* rec);
// Reads every box into rec over a copy of the shown record pCur (a new
// record, pCur null, starts all zero): Fields_Read's answer.
template <class T> int Fields_ReadOver(HWND hDlg, const ZT_FIELD* f, int n, const T* pCur, T* rec)
{
    if (pCur)
        *rec = *pCur;
    else
        memset(rec, 0, sizeof(T));
    return Fields_Read(hDlg, f, n, rec);
}
// Empties every box of the table.
void Fields_Clear(HWND hDlg, const ZT_FIELD* f, int n);
// Makes the date rows' boxes date fields, then sets each box's limit (edit
// boxes EM_LIMITTEXT, drop-down boxes CB_LIMITTEXT).
void Fields_Limit(HWND hDlg, const ZT_FIELD* f, int n);
// For every row with a field right that pfnHas(p, right) denies: the box is
// locked (ZFF_LOCK) or disabled.
void Fields_ApplyRights(HWND hDlg, const ZT_FIELD* f, int n, const tagZT_Main_Param* p,
                        BOOL (*pfnHas)(const tagZT_Main_Param* p, int iRight));
// The table row of a control id, or null.
const ZT_FIELD* Fields_Find(const ZT_FIELD* f, int n, int id);
// Reports a refused box the way Fields_Read does (message, focus, selection).
void Field_Refuse(HWND hDlg, int id, const char* pszText);
