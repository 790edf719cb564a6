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
    HANDLE hRowHeap;      // row arrays and cells of the current fill
    tagLV_DATA data;
    GridView view;
    HFONT hFont;
    HCURSOR hBorderCursor;
    LV_CELLHOOK pfnCellHook;

    HWND hRows;           // the row area
    int iRowsWidth;       // row area client size
    int iRowsHeight;
    bool bOrderReady;     // pRowOrder holds the loaded rows
    int nOrder;           // loaded rows shown (entries of pRowOrder)
    int nAppShown;        // appended rows shown above them, newest first
    int32_t appended[GRID_SPARE_ROWS];
    int iPendingSlot;     // slot handed out by the row allocator, not yet shown
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
int Grid_SlotAt(const GridState* s, int iDisplay);
int Grid_ContentWidth(const GridState* s);

// ---- Painting (grid_paint.cpp) ---------------------------------------------------------

void Paint_Header(GridState* s, HDC hdc, const RECT& rcUpdate);
void Paint_Rows(GridState* s, HDC hdc, const RECT& rcUpdate);
void Paint_Frame(GridState* s);
// Paints rcUpdate through an off-screen bitmap.
void Paint_Buffered(GridState* s, HDC hdc, const RECT& rcUpdate, void (*paint)(GridState*, HDC, const RECT&));

// ---- Sorting (grid_sort.cpp) -----------------------------------------------------------

// Sorts rows[0..n) (row slots) ascending by the column slot's values.
void Sort_Rows(const tagLV_DATA* d, int iColSlot, int32_t* rows, int n);
