// ZTListview: the grid control every list of Kelmora uses.
//
// RegListView() registers the window classes "ZT_CTL_LISTVIEW" (the grid) and
// "ZTListViewRow" (the row area the grid creates inside itself).  A window
// creates a grid as a child (control id 10 in the module windows), adds its
// columns once with GRM_ADDCOLUMN and fills rows with the protocol below.
// The grid never copies rows: each row keeps a pointer to the caller's record
// and each cell a pointer to a value inside it, so the records must stay
// alive and in place until the grid is cleared (GRM_CLEAR).
//
// Filling (from any thread; the messages run on the grid's thread):
//   SendMessage(hGrid, GRM_CLEAR, 0, 0);        // before freeing old records
//   tagLV_DATA* d = 0;
//   SendMessage(hGrid, GRM_BEGINFILL, n, (LPARAM)&d);
//   for (i = 0; i < n; i++) {
//       tagLV_CELL* c = d->pfnAllocCells(hGrid, &d->pRows[i].pCells);
//       d->pRows[i].pRecord = &recs[i];
//       c[0].pValue = &recs[i].iKey;            // cell index = column slot,
//       c[1].pValue = recs[i].szName;           // the order columns were added
//       d->pRowPresent[i] = 1;
//   }
//   SendMessage(hGrid, GRM_SORT, 0, 0);
// Adding one record later (at most GRID_SPARE_ROWS per fill):
//   GRM_GETDATA, then tagLV_ROW* r = 0; if (d->pfnAllocRow(hGrid, &r)) { fill
//   r->pRecord and r->pCells[..].pValue; SendMessage(hGrid, GRM_APPENDROW, 0, 0); }
// Changing the selected record in place: GRM_REDRAWSEL.  Removing it (after
// deleting the record): GRM_DELETESEL.
//
// Notifications arrive as WM_COMMAND at the grid's parent: LOWORD(wParam) the
// grid's control id, HIWORD(wParam) the GRN_ code, lParam the grid window.
#pragma once
#include "common/platform.h"
#include "common/zt_box.h"

// ---- Limits ---------------------------------------------------------------------

#define GRID_MAX_COLUMNS 100   // column slots of a grid
#define GRID_SPARE_ROWS 210    // rows that can be appended after a fill
#define GRID_HEADER_HEIGHT 20
#define GRID_ROW_HEIGHT 22
#define GRID_HSCROLL_UNIT 5    // pixels per horizontal scroll position

// ---- Value types of a column --------------------------------------------------------
// Drawn: LVT_INT, LVT_DOUBLE and LVT_TEXT.  The others are only sorted.

#define LVT_INT 4        // int32_t, drawn "%d"
#define LVT_SHORT 5      // int16_t
#define LVT_LONG 6       // int32_t
#define LVT_FLOAT 7      // float
#define LVT_DOUBLE 8     // double, drawn "%.2f"
#define LVT_UINT 12      // uint32_t
#define LVT_ULONG 13     // uint32_t
#define LVT_USHORT 14    // uint16_t
#define LVT_TEXT 19      // NUL-terminated text, sorted by unsigned byte value
#define LVT_BYTE 18      // uint8_t

// Unit modes.
#define LVU_NONE 0       // the unit is not shown
#define LVU_HEADER 1     // the header shows "caption(unit)"
#define LVU_CELLS 2      // every cell shows its value followed by the unit

// ---- Structures -------------------------------------------------------------------------

// Column descriptor, given with GRM_ADDCOLUMN (the grid keeps a copy).
struct tagLV_COLUMN {
    int16_t iId;           // the caller's number, 1 upwards; sorting addresses columns by id
    int16_t iWidth;        // pixels; 0 hides the column
    int16_t iLeft;         // computed by the grid
    char szName[20];
    char szCaption[20];    // shown in the header
    char szUnit[10];
    int32_t iType;         // LVT_
    int32_t iUnitMode;     // LVU_
    int32_t iAlign;        // DT_LEFT 0, DT_CENTER 1, DT_RIGHT 2
    int32_t iShown;        // 1: entered in the display order when added
};

// One cell per column slot: the value the column shows.
struct tagLV_CELL {
    int32_t iTag;          // free for the caller; the grid does not use it
    void* pValue;          // int32_t*, double*, char* ... by the column's type
};

// One entry per row slot.
struct tagLV_ROW {
    void* pRecord;         // the caller's record
    tagLV_CELL* pCells;    // GRID_MAX_COLUMNS cells, from pfnAllocCells
};

// Allocates a zeroed cell array for a row entry from the grid's row memory,
// stores it at *ppCells and returns it (null when out of memory).
typedef tagLV_CELL* (*LV_ALLOCCELLS)(HWND hGrid, tagLV_CELL** ppCells);
// Hands out the next spare row slot (record cleared, cells allocated): stores
// it at *ppRow and returns it.  After GRID_SPARE_ROWS appends since the fill
// it shows "缓冲区已满,请刷新数据" and returns *ppRow unchanged.
typedef tagLV_ROW* (*LV_ALLOCROW)(HWND hGrid, tagLV_ROW** ppRow);

// The data block (GRM_BEGINFILL, GRM_GETDATA).  The row arrays exist from
// GRM_BEGINFILL to GRM_CLEAR.
struct tagLV_DATA {
    tagLV_COLUMN* pColumns;   // GRID_MAX_COLUMNS column slots
    int32_t* pColPresent;     // 1 for each used slot
    int16_t* pColOrder;       // display order: column slot indexes
    int32_t iColCapacity;     // GRID_MAX_COLUMNS
    int32_t iColCount;        // used column slots
    int32_t iColShown;        // entries of pColOrder
    tagLV_ROW* pRows;         // iRowSlots entries: loaded rows, then spare rows
    int32_t* pRowPresent;     // the caller sets 1 for each row it fills
    int32_t* pRowOrder;       // loaded rows in ascending sort order; -1 until sorted
    int32_t iRowSlots;        // loaded rows + GRID_SPARE_ROWS
    LV_ALLOCCELLS pfnAllocCells;
    LV_ALLOCROW pfnAllocRow;
    int32_t iSortId;          // sort column id, -1 none
    int32_t iSortDir;         // 1 ascending, 2 descending
    int32_t iSelRow;          // row slot of the selected row, -1 none
    int32_t iLoaded;          // row slots of the fill (rows 0 .. iLoaded-1)
    int32_t iAppended;        // rows appended since the fill (slots iLoaded ..)
};

// The owner's cell hook: called before each cell is drawn, with the text
// colour set to black; it may change the text colour.
typedef void (*LV_CELLHOOK)(HWND hParent, HDC hdc, const tagLV_COLUMN* pColumn,
                            const void* pValue, const void* pRecord);

// ---- Messages ------------------------------------------------------------------------

#define GRM_ADDCOLUMN (WM_USER + 177)   // wParam display position (1 = first, 0 = append), lParam tagLV_COLUMN*; 1 or 0 when full
#define GRM_APPENDROW (WM_USER + 180)   // shows the row from pfnAllocRow (on top); 1 or 0 when none is pending
#define GRM_BEGINFILL (WM_USER + 183)   // wParam row count n, lParam tagLV_DATA** receiving the block; 1 or 0
#define GRM_SORT (WM_USER + 186)        // wParam 1 force ascending / 0 keep, lParam column id (<= 0 keep)
#define GRM_MOVESEL (WM_USER + 190)     // lParam LV_MOVE_
#define GRM_GETDATA (WM_USER + 192)     // lParam tagLV_DATA** receiving the block; 1, or 0 for a null address
#define GRM_DELETESEL (WM_USER + 193)   // removes the selected row; 1, or 0 without a selection
#define GRM_GETSEL (WM_USER + 195)      // wParam tagLV_ROW** or 0, lParam void** or 0; returns the record (null: none)
#define GRM_SETCURSOR (WM_USER + 196)   // lParam HCURSOR shown over column borders
#define GRM_REDRAWSEL (WM_USER + 199)   // repaints the selected row
#define GRM_CLEAR (WM_USER + 200)       // drops all rows; notifies GRN_CLEARED
#define GRM_SETCELLHOOK (WM_USER + 201) // lParam LV_CELLHOOK (0 removes it)
// The rows as they are drawn, top to bottom (appended rows, then the loaded
// rows in the sort order and direction): wParam the room of the array at
// lParam (int32_t*, may be null), which receives the row slots (indexes of
// tagLV_DATA::pRows).  Returns the number of rows shown.
#define GRM_GETROWS (WM_USER + 202)

// GRM_MOVESEL targets.
#define LV_MOVE_LAST 1
#define LV_MOVE_PREV 2
#define LV_MOVE_NEXT 3
#define LV_MOVE_FIRST 6

// ---- Notifications (HIWORD of WM_COMMAND's wParam) -----------------------------------------

#define GRN_RCLICK 1      // right button pressed on a row (after selecting it)
#define GRN_RBUTTONUP 2   // right button released on a row
#define GRN_CLICK 3       // left button pressed on a row (after selecting it)
#define GRN_DBLCLK 4      // double click on a row
#define GRN_SELCHANGE 5   // the selected row changed
#define GRN_CLEARED 11    // GRM_CLEAR was handled

// ---- Exports ------------------------------------------------------------------------------

#ifdef __cplusplus
extern "C" {
#endif
// Registers "ZT_CTL_LISTVIEW" and "ZTListViewRow" for the calling program.
ZTLV_API void RegListView(void);
// The message-box seam of the grid; returns the previous hook.
ZTLV_API ZT_MSGBOX_HOOK ZTListview_SetMessageBoxHook(ZT_MSGBOX_HOOK hook);
#ifdef __cplusplus
}
#endif
