// ZTListview: the grid control every list of Kelmora uses.
//
// RegListView() registers the window classes "ZT_CTL_LISTVIEW" (the grid) and
// "ZTListViewRow" (the row area the grid creates inside itself).  A window
// creates a grid as a child (control id 10 in the module windows), adds its
// columns once with GRM_ADDCOLUMN and binds it to its records with the fill
// below.
//
// The grid is virtual: it keeps no cell and no text of any row.  A row is a
// record of the caller's; a column says where its value lies in a record (an
// offset) or names a function that gives it, and the grid reads the value
// when it draws a cell, sorts, or hands a cell out (ZTListview_CellValue).
// What a row costs the grid is its place in the sort order: 4 bytes.  The
// records must stay alive and in place until the grid is cleared (GRM_CLEAR).
//
// Filling (from any thread; the messages run on the grid's thread and the
// grid copies what it keeps, so a worker touches no memory of the grid):
//   SendMessage(hGrid, GRM_CLEAR, 0, 0);        // before freeing old records
//   tagLV_FILL f = {};
//   f.pRecords = recs; f.cbRecord = sizeof recs[0]; f.nRecords = nRecs;
//   f.pRows = listed;                           // indexes of the records listed, or
//                                               // null: the records 0 .. n-1 in turn
//   f.pOwner = owner;                           // for the columns' value functions
//   SendMessage(hGrid, GRM_BEGINFILL, n, (LPARAM)&f);
//   SendMessage(hGrid, GRM_SORT, 0, 0);
// Adding one record later (at most GRID_SPARE_ROWS per fill), shown on top:
//   SendMessage(hGrid, GRM_APPENDROW, 0, (LPARAM)&rec);
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

struct tagLV_COLUMN;

// A column's value in a record, for a column whose value is not a field of
// the record (a name looked up by a key of it): pOwner is the fill's owner.
// The value is read at once (drawn, compared, copied); the pointer need
// stay valid only until the function is called again.  Null: no value.
typedef const void* (*LV_VALUEPROC)(const void* pOwner, const tagLV_COLUMN* pColumn, const void* pRecord);

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
    int32_t iOffset;       // the value is the record's field this many bytes in; -1: no value
    LV_VALUEPROC pfnValue; // or: the function that gives the value (then iOffset is not used)
    const void* pValueArg; // for pfnValue: what it needs to know of the column
};

// A fill (GRM_BEGINFILL): the caller's records, nRecords of them from
// pRecords on, cbRecord bytes apart, and which of them are listed.
struct tagLV_FILL {
    const void* pRecords;
    int32_t cbRecord;
    int32_t nRecords;
    const int32_t* pRows;  // the n records listed, by index, in fill order; null: records 0 .. n-1
    const void* pOwner;    // handed to the columns' value functions
};

// The data block (GRM_GETDATA): the columns, and the rows of the fill.  The
// row fields exist from GRM_BEGINFILL to GRM_CLEAR.
struct tagLV_DATA {
    tagLV_COLUMN* pColumns;   // GRID_MAX_COLUMNS column slots
    int32_t* pColPresent;     // 1 for each used slot
    int16_t* pColOrder;       // display order: column slot indexes
    int32_t iColCapacity;     // GRID_MAX_COLUMNS
    int32_t iColCount;        // used column slots
    int32_t iColShown;        // entries of pColOrder
    const void* pRecords;     // the fill's records (tagLV_FILL)
    int32_t cbRecord;
    int32_t nRecords;
    const void* pOwner;
    int32_t* pRowOrder;       // the fill's rows still listed (record indexes) in ascending sort order
    int32_t iLoaded;          // entries of pRowOrder
    int32_t iAppended;        // rows appended since the fill (shown above the others, newest first)
    int32_t iSortId;          // sort column id, -1 none
    int32_t iSortDir;         // 1 ascending, 2 descending
    int32_t iSelRow;          // display position of the selected row, -1 none
};

// The owner's cell hook: called before each cell is drawn, with the text
// colour set to black; it may change the text colour.
typedef void (*LV_CELLHOOK)(HWND hParent, HDC hdc, const tagLV_COLUMN* pColumn,
                            const void* pValue, const void* pRecord);

// ---- Messages ------------------------------------------------------------------------

#define GRM_ADDCOLUMN (WM_USER + 177)   // wParam display position (1 = first, 0 = append), lParam tagLV_COLUMN*; 1 or 0 when full
// lParam a record (kept by address): shown on top as a row of its own; 1, or
// 0 without a fill or a record, or after GRID_SPARE_ROWS appends since the
// fill ("缓冲区已满,请刷新数据" is shown).
#define GRM_APPENDROW (WM_USER + 180)
// Drops the rows, then binds the grid to the fill at lParam (tagLV_FILL*)
// with wParam rows, shown in the fill's order until GRM_SORT.  The grid
// copies the list of rows; an index outside the records is left out.  1,
// or 0 ("分配内存失败 01" is shown) when the rows do not fit in memory.
#define GRM_BEGINFILL (WM_USER + 183)
#define GRM_SORT (WM_USER + 186)        // wParam 1 force ascending / 0 keep, lParam column id (<= 0 keep)
#define GRM_MOVESEL (WM_USER + 190)     // lParam LV_MOVE_
#define GRM_GETDATA (WM_USER + 192)     // lParam tagLV_DATA** receiving the block; 1, or 0 for a null address
#define GRM_DELETESEL (WM_USER + 193)   // removes the selected row; 1, or 0 without a selection
// wParam int32_t* or 0 receiving the selected row's display position (-1:
// none), lParam void** or 0 receiving its record; returns the record (null: none).
#define GRM_GETSEL (WM_USER + 195)
#define GRM_SETCURSOR (WM_USER + 196)   // lParam HCURSOR shown over column borders
#define GRM_REDRAWSEL (WM_USER + 199)   // repaints the selected row
#define GRM_CLEAR (WM_USER + 200)       // drops all rows; notifies GRN_CLEARED
#define GRM_SETCELLHOOK (WM_USER + 201) // lParam LV_CELLHOOK (0 removes it)
// The rows as they are drawn, top to bottom (appended rows, then the loaded
// rows in the sort order and direction): wParam the room of the array at
// lParam (const void**, may be null), which receives their records.  Returns
// the number of rows shown.
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
// A column's value in a record, as the grid reads it to draw the cell:
// pfnValue's answer, or the field at iOffset; null for no value.  pOwner is
// the fill's (tagLV_DATA::pOwner).
ZTLV_API const void* ZTListview_CellValue(const tagLV_COLUMN* pColumn, const void* pOwner, const void* pRecord);
#ifdef __cplusplus
}
#endif
