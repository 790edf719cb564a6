// Reading what a grid lists, for tests of the windows that use one: its
// records in the order shown and the value a cell shows.
#pragma once
#include "grid/ZTListview.h"

#include <cstddef>
#include <vector>

// The grid's data block; null for no grid.
inline tagLV_DATA* TestGrid_Data(HWND hGrid)
{
    tagLV_DATA* d = nullptr;
    return hGrid && SendMessageA(hGrid, GRM_GETDATA, 0, reinterpret_cast<LPARAM>(&d)) ? d : nullptr;
}

// The record of the fill's row at position i of the ascending sort order
// (before any appended row, whatever the direction).
inline void* TestGrid_Loaded(const tagLV_DATA* d, int i)
{
    const char* base = static_cast<const char*>(d->pRecords);
    return const_cast<char*>(base) + static_cast<size_t>(d->pRowOrder[i]) * static_cast<size_t>(d->cbRecord);
}

// The records the grid shows, top to bottom.
inline std::vector<const void*> TestGrid_Rows(HWND hGrid)
{
    int n = hGrid ? static_cast<int>(SendMessageA(hGrid, GRM_GETROWS, 0, 0)) : 0;
    std::vector<const void*> rows(static_cast<size_t>(n > 0 ? n : 0));
    if (n > 0)
        rows.resize(static_cast<size_t>(SendMessageA(hGrid, GRM_GETROWS, n, reinterpret_cast<LPARAM>(rows.data()))));
    return rows;
}

// The value column slot c (0-based, the order the columns were added) shows
// for a record, read as the grid reads it to draw the cell; null: none.
inline const void* TestGrid_Value(HWND hGrid, const void* pRecord, int c)
{
    tagLV_DATA* d = TestGrid_Data(hGrid);
    if (!d || c < 0 || c >= d->iColCapacity || !d->pColPresent[c])
        return nullptr;
    return ZTListview_CellValue(&d->pColumns[c], d->pOwner, pRecord);
}
