// Inside the grid: its state, the shared drawing resources and the pieces the
// source files of the grid share.
#pragma once
#include "grid/ZTListview.h"

#define GRID_CLASS "ZT_CTL_LISTVIEW"
#define GRID_ROW_CLASS "ZTListViewRow"

// The view: sizes and scroll positions.
struct GridView {
    int iWidth;          // grid client size
    int iHeight;
    int iHeaderHeight;   // GRID_HEADER_HEIGHT
    int iRowHeight;      // GRID_ROW_HEIGHT
    int iHScroll;        // in GRID_HSCROLL_UNIT steps
    int iVScroll;        // first shown row (display position)
    int iSel;            // display position of the selected row, -1 none
    int iSortMark;       // arrow in the header: 0 none, 1 ascending, 2 descending
};

enum { DRAG_NONE = 0, DRAG_RESIZE = 1, DRAG_MOVE = 2 };

struct GridState {
    HWND hGrid;
    HANDLE hPrivHeap;     // column arrays
    tagLV_DATA data;      // the row order (Grid_Alloc) lives from a fill to GRM_CLEAR
    GridView view;
    HFONT hFont;
    HCURSOR hBorderCursor;
    LV_CELLHOOK pfnCellHook;

    HWND hRows;           // the row area
    int iRowsWidth;       // row area client size
    int iRowsHeight;
    bool bFilled;         // a fill is bound (rows may be appended)
    int nAppShown;        // appended rows shown above the loaded ones, newest first
    const void* appended[GRID_SPARE_ROWS];
    int iWheelRest;       // wheel delta below one notch
    bool bInScrollUpdate;

    // Header drag in progress.
    int iDragMode;
    int iDragPos;         // display position of the column
    int iDragPressX;      // client x at the press
    int iDragX;           // client x now
    int iDragColLeft;     // content left of the column at the press
};

// ---- Shared drawing resources (grid_shared.cpp) ----------------------------------------

enum { BR_ROW, BR_SEL, BR_DRAG, BR_APPENDED, BR_COUNT };
enum { PEN_BLACK, PEN_GRID, PEN_COUNT };

struct GridShared {
    HBRUSH brush[BR_COUNT];
    HPEN pen[PEN_COUNT];
    HBITMAP hArrows;      // bitmap 102 of res.dll (null without it)
    HBITMAP hFrame;       // bitmap 103 of res.dll (null without it)
};

// Counted: the first grid creates them, the last releases them.
void Shared_Acquire();
void Shared_Release();
const GridShared* Shared_Get();

// The skin library, when it could be loaded; each returns 0 without it.
int Skin_Hook(HWND hWnd);
int Skin_Unhook(HWND hWnd);
int Skin_DrawPart(HDC hdc, const char* pszPart, const RECT* prc);

// ---- Layout and scrolling (grid.cpp) -------------------------------------------------------

GridState* Grid_State(HWND hWnd);
int Grid_DisplayCount(const GridState* s);
// The record of the row at a display position (0 .. Grid_DisplayCount-1).
const void* Grid_RecordAt(const GridState* s, int iDisplay);
int Grid_ContentWidth(const GridState* s);

// ---- Painting (grid_paint.cpp) ---------------------------------------------------------

void Paint_Header(GridState* s, HDC hdc, const RECT& rcUpdate);
void Paint_Rows(GridState* s, HDC hdc, const RECT& rcUpdate);
void Paint_Frame(GridState* s);
// Paints rcUpdate through an off-screen bitmap.
void Paint_Buffered(GridState* s, HDC hdc, const RECT& rcUpdate, void (*paint)(GridState*, HDC, const RECT&));

// ---- Row memory (grid_sort.cpp) --------------------------------------------------------
// The row order and the sort's working arrays come from pages of their own,
// which go back to the system when they are freed: a grid holds no memory
// of an earlier fill or sort.  Grid_Alloc returns zeroed memory, or null.

void* Grid_Alloc(size_t bytes);
void Grid_Free(void* p);

// ---- Sorting (grid_sort.cpp) -----------------------------------------------------------

// Sorts rows[0..n) (indexes of the fill's records) ascending by the
// column's values; rows of equal values keep their order.
void Sort_Rows(const tagLV_DATA* d, const tagLV_COLUMN& col, int32_t* rows, int n);
