// Internals shared by the dictionary families: filling a record block from a
// stored result, and appending the texts of a drop-down fill.
#pragma once
#include "data/db_core.h"
#include "data/fill.h"

// A block for the rows of res plus nSpare zeroed records, row i filled by
// fill(record, row).  *pCount (when given) receives the rows filled.  Null
// when the block cannot be allocated.
template <class T, class F>
T* LoadRecords(MYSQL_RES* res, size_t nSpare, int* pCount, F fill)
{
    size_t n = res ? (size_t)mysql_num_rows(res) : 0;
    T* p = AllocRecords<T>(n + nSpare);
    if (!p)
        return nullptr;
    ZDRow row;
    size_t i = 0;
    while (i < n && DbNextRow(res, row))
        fill(p[i++], row);
    if (pCount)
        *pCount = (int)i;
    return p;
}

// Sends a text to a list window with its "add string" message.
struct ZDListTarget {
    HWND hList;
    UINT uMsg;
};
void SendTextToList(void* pCtx, const char* pszText);
