// The grid window ("ZT_CTL_LISTVIEW") and its row area ("ZTListViewRow"):
// creation, the grid's messages, mouse, keyboard and scrolling.
#include "grid/grid_internal.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>

namespace {

HINSTANCE g_hClassInstance = nullptr;

const int kRowAreaId = 1;

// ---- Rows in display order ---------------------------------------------------------------

void Notify(GridState* s, int code)
{
    HWND hParent = GetParent(s->hGrid);
    if (hParent)
        SendMessageA(hParent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(s->hGrid), code), (LPARAM)s->hGrid);
}

int FullRows(const GridState* s)
{
    int n = s->iRowsHeight / s->view.iRowHeight;
    return n > 0 ? n : 1;
}

int MaxVScroll(const GridState* s)
{
    int m = Grid_DisplayCount(s) - s->iRowsHeight / s->view.iRowHeight;
    return m > 0 ? m : 0;
}

int HUnits(const GridState* s)
{
    return (Grid_ContentWidth(s) + GRID_HSCROLL_UNIT - 1) / GRID_HSCROLL_UNIT;
}

int MaxHScroll(const GridState* s)
{
    int m = HUnits(s) - s->iRowsWidth / GRID_HSCROLL_UNIT;
    return m > 0 ? m : 0;
}

void InvalidateHeader(GridState* s)
{
    RECT rc = {0, 0, s->view.iWidth, s->view.iHeaderHeight};
    InvalidateRect(s->hGrid, &rc, FALSE);
}

void InvalidateAllRows(GridState* s)
{
    if (s->hRows)
        InvalidateRect(s->hRows, nullptr, FALSE);
}

void InvalidateRow(GridState* s, int iDisplay)
{
    if (!s->hRows || iDisplay < 0)
        return;
    int y = (iDisplay - s->view.iVScroll) * s->view.iRowHeight;
    if (y + s->view.iRowHeight <= 0 || y >= s->iRowsHeight)
        return;
    RECT rc = {0, y, s->iRowsWidth, y + s->view.iRowHeight};
    InvalidateRect(s->hRows, &rc, FALSE);
}

// Sets one scroll bar when it differs, without drawing it (drawing a bar at
// once costs a round trip to the display each time); true when it changed.
bool SetBar(HWND hWnd, int bar, int nMax, UINT nPage, int nPos)
{
    SCROLLINFO si = {};
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    if (GetScrollInfo(hWnd, bar, &si) && si.nMin == 0 && si.nMax == nMax && si.nPage == nPage && si.nPos == nPos)
        return false;
    si.nMin = 0;
    si.nMax = nMax;
    si.nPage = nPage;
    si.nPos = nPos;
    SetScrollInfo(hWnd, bar, &si, FALSE);
    return true;
}

// Sets the scroll bars of the row area from the rows and columns; bars that
// changed are drawn with the next paint.
void UpdateScrollBars(GridState* s)
{
    if (!s->hRows || s->bInScrollUpdate)
        return;
    s->bInScrollUpdate = true;
    bool changed = false;
    for (int pass = 0; pass < 3; pass++) {   // a bar appearing changes the other's page
        int w = s->iRowsWidth, h = s->iRowsHeight;
        s->view.iVScroll = std::min(std::max(s->view.iVScroll, 0), MaxVScroll(s));
        s->view.iHScroll = std::min(std::max(s->view.iHScroll, 0), MaxHScroll(s));
        int rows = Grid_DisplayCount(s), units = HUnits(s);
        changed |= SetBar(s->hRows, SB_VERT, rows > 0 ? rows - 1 : 0, (UINT)(h / s->view.iRowHeight), s->view.iVScroll);
        changed |= SetBar(s->hRows, SB_HORZ, units > 0 ? units - 1 : 0, (UINT)(w / GRID_HSCROLL_UNIT), s->view.iHScroll);
        RECT rc;
        GetClientRect(s->hRows, &rc);
        s->iRowsWidth = rc.right;
        s->iRowsHeight = rc.bottom;
        if (rc.right == w && rc.bottom == h)
            break;
    }
    if (changed)
        RedrawWindow(s->hRows, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_NOCHILDREN);
    s->bInScrollUpdate = false;
}

void SetVScroll(GridState* s, int pos)
{
    pos = std::min(std::max(pos, 0), MaxVScroll(s));
    if (pos == s->view.iVScroll)
        return;
    s->view.iVScroll = pos;
    SetScrollPos(s->hRows, SB_VERT, pos, TRUE);
    InvalidateAllRows(s);
}

void SetHScroll(GridState* s, int pos)
{
    pos = std::min(std::max(pos, 0), MaxHScroll(s));
    if (pos == s->view.iHScroll)
        return;
    s->view.iHScroll = pos;
    SetScrollPos(s->hRows, SB_HORZ, pos, TRUE);
    InvalidateAllRows(s);
    InvalidateHeader(s);
}

void EnsureVisible(GridState* s, int iDisplay)
{
    if (iDisplay < 0)
        return;
    if (iDisplay < s->view.iVScroll)
        SetVScroll(s, iDisplay);
    else if (iDisplay >= s->view.iVScroll + FullRows(s))
        SetVScroll(s, iDisplay - FullRows(s) + 1);
}

void SelectDisplay(GridState* s, int iDisplay)
{
    int old = s->view.iSel;
    s->view.iSel = iDisplay;
    s->data.iSelRow = iDisplay;
    InvalidateRow(s, old);
    InvalidateRow(s, iDisplay);
}

// ---- Columns ---------------------------------------------------------------------------

void LayoutColumns(GridState* s)
{
    tagLV_DATA& d = s->data;
    int x = 0;
    for (int i = 0; i < d.iColShown; i++) {
        tagLV_COLUMN& col = d.pColumns[d.pColOrder[i]];
        col.iLeft = (int16_t)std::min(x, (int)SHRT_MAX);
        if (col.iWidth > 0)
            x += col.iWidth;
    }
}

// Display position of the first shown column, or the first column slot;
// -1 without columns.
int FirstColumnSlot(const GridState* s)
{
    const tagLV_DATA& d = s->data;
    if (d.iColShown > 0)
        return d.pColOrder[0];
    for (int c = 0; c < d.iColCapacity; c++)
        if (d.pColPresent[c])
            return c;
    return -1;
}

int ColumnSlotById(const GridState* s, int id)
{
    const tagLV_DATA& d = s->data;
    for (int i = 0; i < d.iColShown; i++)
        if (d.pColumns[d.pColOrder[i]].iId == id)
            return d.pColOrder[i];
    for (int c = 0; c < d.iColCapacity; c++)
        if (d.pColPresent[c] && d.pColumns[c].iId == id)
            return c;
    return -1;
}

LRESULT AddColumn(GridState* s, WPARAM pos, const tagLV_COLUMN* desc)
{
    tagLV_DATA& d = s->data;
    if (!desc)
        return 0;
    int slot = -1;
    for (int c = 0; c < d.iColCapacity; c++)
        if (!d.pColPresent[c]) {
            slot = c;
            break;
        }
    if (slot < 0)
        return 0;
    tagLV_COLUMN& col = d.pColumns[slot];
    col = *desc;
    col.szName[sizeof col.szName - 1] = 0;
    col.szCaption[sizeof col.szCaption - 1] = 0;
    col.szUnit[sizeof col.szUnit - 1] = 0;
    if (col.iWidth < 0)
        col.iWidth = 0;
    col.iLeft = 0;
    d.pColPresent[slot] = 1;
    d.iColCount++;
    if (col.iShown) {
        int at = (pos == 0 || pos > (WPARAM)d.iColShown) ? d.iColShown : (int)pos - 1;
        memmove(d.pColOrder + at + 1, d.pColOrder + at, (size_t)(d.iColShown - at) * sizeof d.pColOrder[0]);
        d.pColOrder[at] = (int16_t)slot;
        d.iColShown++;
        LayoutColumns(s);
    }
    UpdateScrollBars(s);
    InvalidateHeader(s);
    InvalidateAllRows(s);
    return 1;
}

// ---- Rows -----------------------------------------------------------------------------------

void DropRows(GridState* s)
{
    tagLV_DATA& d = s->data;
    Grid_Free(d.pRowOrder);
    d.pRowOrder = nullptr;
    d.pRecords = nullptr;
    d.cbRecord = 0;
    d.nRecords = 0;
    d.pOwner = nullptr;
    d.iLoaded = 0;
    d.iAppended = 0;
    d.iSelRow = -1;
    s->view.iSel = -1;
    s->view.iVScroll = 0;
    s->bFilled = false;
    s->nAppShown = 0;
}

void FillFailed(GridState* s, DWORD err)
{
    char text[32];
    snprintf(text, sizeof text, "%ld", (long)err);
    ZT_MessageBox(s->hGrid, text, "分配内存失败 01", MB_OK);
}

// The rows of a fill are the indexes of its records that it lists, kept in
// the order they are shown; a record is read only through its index, so an
// index outside the records is left out.
LRESULT BeginFill(GridState* s, WPARAM n, const tagLV_FILL* f)
{
    tagLV_DATA& d = s->data;
    DropRows(s);
    s->view.iHScroll = 0;
    bool fits = f && n <= (WPARAM)(INT_MAX - GRID_SPARE_ROWS) && f->nRecords >= 0 && f->cbRecord >= 0;
    int32_t* order = fits ? (int32_t*)Grid_Alloc(((size_t)n + 1) * sizeof(int32_t)) : nullptr;
    if (!order) {
        if (f)
            FillFailed(s, ERROR_NOT_ENOUGH_MEMORY);
        UpdateScrollBars(s);
        InvalidateAllRows(s);
        InvalidateHeader(s);
        return 0;
    }
    int k = 0;
    if (f->pRecords) {
        const int32_t nRec = f->nRecords;
        if (f->pRows) {
            for (size_t i = 0; i < n; i++)
                if (f->pRows[i] >= 0 && f->pRows[i] < nRec)
                    order[k++] = f->pRows[i];
        } else {
            int m = (int)std::min<WPARAM>(n, (WPARAM)nRec);
            for (; k < m; k++)
                order[k] = k;
        }
    }
    d.pRowOrder = order;
    d.pRecords = f->pRecords;
    d.cbRecord = f->cbRecord;
    d.nRecords = f->nRecords;
    d.pOwner = f->pOwner;
    d.iLoaded = k;
    s->bFilled = true;
    UpdateScrollBars(s);
    InvalidateHeader(s);
    InvalidateAllRows(s);
    return 1;
}

void ClearRows(GridState* s)
{
    DropRows(s);
    UpdateScrollBars(s);
    InvalidateAllRows(s);
    Notify(s, GRN_CLEARED);
}

// ---- Sorting ---------------------------------------------------------------------------------

void SortNow(GridState* s, bool forceAscending, int id)
{
    tagLV_DATA& d = s->data;
    if (s->view.iSel >= 0)
        SelectDisplay(s, -1);
    if (forceAscending)
        d.iSortDir = 1;
    if (id > 0)
        d.iSortId = id;
    if (d.iSortId != -1) {
        int c = ColumnSlotById(s, d.iSortId);
        if (c < 0) {
            c = FirstColumnSlot(s);
            if (c >= 0)
                d.iSortId = d.pColumns[c].iId;
        }
        if (c >= 0 && d.iLoaded > 1)
            Sort_Rows(&d, d.pColumns[c], d.pRowOrder, d.iLoaded);
        s->view.iSortMark = c >= 0 ? d.iSortDir : 0;
    } else {
        s->view.iSortMark = 0;
    }
    s->view.iVScroll = 0;
    UpdateScrollBars(s);
    InvalidateHeader(s);
    InvalidateAllRows(s);
}

// ---- Row messages ------------------------------------------------------------------------

LRESULT AppendRow(GridState* s, const void* pRecord)
{
    tagLV_DATA& d = s->data;
    if (!s->bFilled || !pRecord)
        return 0;
    if (d.iAppended >= GRID_SPARE_ROWS || s->nAppShown >= GRID_SPARE_ROWS) {
        ZT_MessageBox(GetParent(s->hGrid), "缓冲区已满,请刷新数据", "", MB_OK);
        return 0;
    }
    memmove(s->appended + 1, s->appended, (size_t)s->nAppShown * sizeof s->appended[0]);
    s->appended[0] = pRecord;
    s->nAppShown++;
    d.iAppended++;
    if (s->view.iSel >= 0)
        d.iSelRow = ++s->view.iSel;
    s->view.iVScroll = 0;
    UpdateScrollBars(s);
    InvalidateAllRows(s);
    return 1;
}

void RemoveDisplay(GridState* s, int iDisplay)
{
    if (iDisplay < s->nAppShown) {
        memmove(s->appended + iDisplay, s->appended + iDisplay + 1,
                (size_t)(s->nAppShown - iDisplay - 1) * sizeof s->appended[0]);
        s->nAppShown--;
        return;
    }
    tagLV_DATA& d = s->data;
    int k = iDisplay - s->nAppShown;
    int idx = d.iSortDir == 2 ? d.iLoaded - 1 - k : k;
    memmove(d.pRowOrder + idx, d.pRowOrder + idx + 1, (size_t)(d.iLoaded - idx - 1) * sizeof d.pRowOrder[0]);
    d.iLoaded--;
}

LRESULT DeleteSelected(GridState* s)
{
    int sel = s->view.iSel;
    if (sel < 0 || sel >= Grid_DisplayCount(s)) {
        ZT_MessageBox(GetParent(s->hGrid), "请选择要删除的行", "", MB_OK | MB_ICONINFORMATION);
        return 0;
    }
    RemoveDisplay(s, sel);
    int count = Grid_DisplayCount(s);
    int next = count == 0 ? -1 : std::min(sel, count - 1);
    s->view.iSel = next;
    s->data.iSelRow = next;
    UpdateScrollBars(s);
    EnsureVisible(s, next);
    InvalidateAllRows(s);
    Notify(s, GRN_SELCHANGE);
    return 1;
}

LRESULT GetSel(GridState* s, int32_t* pDisplay, void** ppRecord)
{
    int sel = s->view.iSel >= 0 && s->view.iSel < Grid_DisplayCount(s) ? s->view.iSel : -1;
    void* rec = sel >= 0 ? const_cast<void*>(Grid_RecordAt(s, sel)) : nullptr;
    if (pDisplay)
        *pDisplay = sel;
    if (ppRecord)
        *ppRecord = rec;
    return (LRESULT)rec;
}

// The records in the order the rows are drawn: appended rows (newest
// first), then the loaded rows in the sort direction.
LRESULT GetRows(GridState* s, int cap, const void** out)
{
    int count = Grid_DisplayCount(s);
    for (int i = 0; out && i < count && i < cap; i++)
        out[i] = Grid_RecordAt(s, i);
    return count;
}

LRESULT MoveSel(GridState* s, LPARAM how)
{
    int count = Grid_DisplayCount(s);
    if (count == 0)
        return 0;
    int cur = s->view.iSel, to;
    switch (how) {
    case LV_MOVE_FIRST: to = 0; break;
    case LV_MOVE_LAST: to = count - 1; break;
    case LV_MOVE_PREV: to = cur < 0 ? count - 1 : std::max(cur - 1, 0); break;
    case LV_MOVE_NEXT: to = cur < 0 ? 0 : std::min(cur + 1, count - 1); break;
    default: return 0;
    }
    SelectDisplay(s, to);
    EnsureVisible(s, to);
    Notify(s, GRN_SELCHANGE);
    return 1;
}

// ---- Header mouse ------------------------------------------------------------------------------

enum { HIT_NONE, HIT_BORDER, HIT_BODY };

int HitHeader(const GridState* s, int x, int* pPos)
{
    const tagLV_DATA& d = s->data;
    int hpx = s->view.iHScroll * GRID_HSCROLL_UNIT;
    for (int i = 0; i < d.iColShown; i++) {
        const tagLV_COLUMN& col = d.pColumns[d.pColOrder[i]];
        int left = col.iLeft - hpx, e = left + col.iWidth;
        if (x >= e - 5 && x <= e + 4) {
            *pPos = i;
            return HIT_BORDER;
        }
        if (x >= left + 5 && x <= e - 6) {
            *pPos = i;
            return HIT_BODY;
        }
    }
    return HIT_NONE;
}

void HeaderPress(GridState* s, int x, int y)
{
    if (y < 0 || y >= s->view.iHeaderHeight)
        return;
    int pos = -1;
    int hit = HitHeader(s, x, &pos);
    if (hit == HIT_NONE)
        return;
    s->iDragMode = hit == HIT_BORDER ? DRAG_RESIZE : DRAG_MOVE;
    s->iDragPos = pos;
    s->iDragPressX = x;
    s->iDragX = x;
    s->iDragColLeft = s->data.pColumns[s->data.pColOrder[pos]].iLeft;
    SetCapture(s->hGrid);
    if (hit == HIT_BORDER)
        SetCursor(s->hBorderCursor);
}

void HeaderDrag(GridState* s, int x)
{
    tagLV_DATA& d = s->data;
    if (s->iDragMode == DRAG_RESIZE) {
        SetCursor(s->hBorderCursor);
        tagLV_COLUMN& col = d.pColumns[d.pColOrder[s->iDragPos]];
        int left = col.iLeft - s->view.iHScroll * GRID_HSCROLL_UNIT;
        int width = x - left;
        if (width <= 4 || left + width >= s->view.iWidth - 5 || width > SHRT_MAX || width == col.iWidth)
            return;
        col.iWidth = (int16_t)width;
        LayoutColumns(s);
        InvalidateHeader(s);
    } else if (s->iDragMode == DRAG_MOVE) {
        s->iDragX = x;
        InvalidateHeader(s);
    }
}

void HeaderRelease(GridState* s, int x)
{
    tagLV_DATA& d = s->data;
    int mode = s->iDragMode;
    s->iDragMode = DRAG_NONE;
    if (GetCapture() == s->hGrid)
        ReleaseCapture();
    if (mode == DRAG_RESIZE) {
        UpdateScrollBars(s);
        if (Grid_ContentWidth(s) <= s->iRowsWidth)
            SetHScroll(s, 0);
        InvalidateHeader(s);
        InvalidateAllRows(s);
        return;
    }
    if (mode != DRAG_MOVE)
        return;
    InvalidateHeader(s);
    int pos = s->iDragPos;
    int slot = d.pColOrder[pos];
    const tagLV_COLUMN& col = d.pColumns[slot];
    int edge = s->iDragColLeft + (x - s->iDragPressX);
    if (edge > col.iLeft && edge < col.iLeft + col.iWidth)
        return;   // a short drag to the right
    int to = d.iColShown - 1;
    for (int i = 0; i < d.iColShown; i++) {
        const tagLV_COLUMN& c = d.pColumns[d.pColOrder[i]];
        if (c.iLeft + c.iWidth - 2 > edge) {
            to = i;
            break;
        }
    }
    if (to != pos) {
        memmove(d.pColOrder + pos, d.pColOrder + pos + 1, (size_t)(d.iColShown - pos - 1) * sizeof d.pColOrder[0]);
        memmove(d.pColOrder + to + 1, d.pColOrder + to, (size_t)(d.iColShown - 1 - to) * sizeof d.pColOrder[0]);
        d.pColOrder[to] = (int16_t)slot;
        LayoutColumns(s);
    }
    if (d.iSortId == col.iId)
        d.iSortDir = d.iSortDir == 2 ? 1 : 2;
    else
        d.iSortId = col.iId;
    bool hadSel = s->view.iSel >= 0;
    SortNow(s, false, 0);
    if (hadSel)
        Notify(s, GRN_SELCHANGE);
}

void HeaderCursor(GridState* s, int x, int y)
{
    int pos;
    bool border = y >= 0 && y < s->view.iHeaderHeight && HitHeader(s, x, &pos) == HIT_BORDER;
    SetCursor(border ? s->hBorderCursor : LoadCursorA(nullptr, (LPCSTR)IDC_ARROW));
}

// ---- Scrolling by bar, key and wheel -------------------------------------------------------

int ScrollTarget(int cur, int page, int maxPos, WORD code, HWND hWnd, int bar)
{
    switch (code) {
    case SB_LINEUP: return cur - 1;
    case SB_LINEDOWN: return cur + 1;
    case SB_PAGEUP: return cur - std::max(page, 1);
    case SB_PAGEDOWN: return cur + std::max(page, 1);
    case SB_TOP: return 0;
    case SB_BOTTOM: return maxPos;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        SCROLLINFO si = {};
        si.cbSize = sizeof si;
        si.fMask = SIF_TRACKPOS;
        GetScrollInfo(hWnd, bar, &si);
        return si.nTrackPos;
    }
    default: return cur;
    }
}

void VScroll(GridState* s, WORD code)
{
    SetVScroll(s, ScrollTarget(s->view.iVScroll, FullRows(s), MaxVScroll(s), code, s->hRows, SB_VERT));
}

void HScroll(GridState* s, WORD code)
{
    SetHScroll(s, ScrollTarget(s->view.iHScroll, s->iRowsWidth / GRID_HSCROLL_UNIT, MaxHScroll(s), code, s->hRows, SB_HORZ));
}

bool KeyDown(GridState* s, WPARAM key)
{
    switch (key) {
    case VK_SPACE:
    case VK_NEXT: VScroll(s, SB_PAGEDOWN); return true;
    case VK_PRIOR: VScroll(s, SB_PAGEUP); return true;
    case VK_HOME: VScroll(s, SB_TOP); return true;
    case VK_END: VScroll(s, SB_BOTTOM); return true;
    case VK_UP:
    case 'W': VScroll(s, SB_LINEUP); return true;
    case VK_DOWN:
    case 'S': VScroll(s, SB_LINEDOWN); return true;
    case VK_LEFT:
    case 'A': HScroll(s, SB_PAGELEFT); return true;
    case VK_RIGHT:
    case 'D': HScroll(s, SB_PAGERIGHT); return true;
    default: return false;
    }
}

void Wheel(GridState* s, int delta)
{
    s->iWheelRest += delta;
    int notches = s->iWheelRest / WHEEL_DELTA;
    s->iWheelRest -= notches * WHEEL_DELTA;
    if (notches)
        SetVScroll(s, s->view.iVScroll - notches);
}

// ---- Row area mouse -----------------------------------------------------------------------------

// Display position under a point of the row area, -1 outside the rows.
int RowAt(const GridState* s, int y)
{
    if (y < 0)
        return -1;
    int r = y / s->view.iRowHeight + s->view.iVScroll;
    return r < Grid_DisplayCount(s) ? r : -1;
}

void ClickRow(GridState* s, int y, int code)
{
    int r = RowAt(s, y);
    if (r < 0)
        return;
    if (r != s->view.iSel) {
        SelectDisplay(s, r);
        Notify(s, GRN_SELCHANGE);
    }
    Notify(s, code);
}

// ---- Creation and destruction -------------------------------------------------------------------

bool CreateGrid(HWND hWnd)
{
    GridState* s = (GridState*)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(GridState));
    if (!s)
        return false;
    s->hGrid = hWnd;
    SetWindowLongPtrA(hWnd, GWLP_USERDATA, (LONG_PTR)s);
    Shared_Acquire();
    Skin_Hook(hWnd);

    tagLV_DATA& d = s->data;
    size_t colBytes = GRID_MAX_COLUMNS * sizeof(tagLV_COLUMN);
    size_t flagBytes = GRID_MAX_COLUMNS * sizeof(int32_t);
    size_t orderBytes = GRID_MAX_COLUMNS * sizeof(int16_t);
    size_t heapBytes = colBytes + flagBytes + orderBytes + 4096;   // with the heap's bookkeeping
    s->hPrivHeap = HeapCreate(0, heapBytes, heapBytes);
    if (s->hPrivHeap) {
        d.pColumns = (tagLV_COLUMN*)HeapAlloc(s->hPrivHeap, HEAP_ZERO_MEMORY, colBytes);
        d.pColPresent = (int32_t*)HeapAlloc(s->hPrivHeap, HEAP_ZERO_MEMORY, flagBytes);
        d.pColOrder = (int16_t*)HeapAlloc(s->hPrivHeap, HEAP_ZERO_MEMORY, orderBytes);
    }
    if (!d.pColumns || !d.pColPresent || !d.pColOrder)
        return false;
    d.iColCapacity = GRID_MAX_COLUMNS;
    d.iSortId = -1;
    d.iSortDir = 1;
    d.iSelRow = -1;
    s->view.iHeaderHeight = GRID_HEADER_HEIGHT;
    s->view.iRowHeight = GRID_ROW_HEIGHT;
    s->view.iSel = -1;
    s->hBorderCursor = LoadCursorA(nullptr, (LPCSTR)IDC_ARROW);
    s->hFont = (HFONT)GetStockObject(DEFAULT_GUI_FONT);

    RECT rc;
    GetClientRect(hWnd, &rc);
    s->view.iWidth = rc.right;
    s->view.iHeight = rc.bottom;
    s->hRows = CreateWindowExA(WS_EX_TRANSPARENT, GRID_ROW_CLASS, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP,
                               0, GRID_HEADER_HEIGHT, rc.right, std::max(0, (int)rc.bottom - GRID_HEADER_HEIGHT),
                               hWnd, (HMENU)(INT_PTR)kRowAreaId, g_hClassInstance, nullptr);
    if (!s->hRows)
        return false;
    UpdateScrollBars(s);
    return true;
}

void DestroyGrid(HWND hWnd)
{
    GridState* s = Grid_State(hWnd);
    if (!s)
        return;
    DropRows(s);
    if (s->hPrivHeap)
        HeapDestroy(s->hPrivHeap);
    Shared_Release();
    SetWindowLongPtrA(hWnd, GWLP_USERDATA, 0);
    HeapFree(GetProcessHeap(), 0, s);
}

// ---- Window procedures ------------------------------------------------------------------------------

LRESULT CALLBACK GridProc(HWND hWnd, UINT msg, WPARAM wp, LPARAM lp)
{
    GridState* s = Grid_State(hWnd);
    if (msg == WM_CREATE) {
        if (!CreateGrid(hWnd)) {
            if (Grid_State(hWnd)) {
                Skin_Unhook(hWnd);
                DestroyGrid(hWnd);
            }
            ZT_MessageBox(GetParent(hWnd), "内存不够", "错误", MB_OK | MB_ICONWARNING);
            PostQuitMessage(0);
            return -1;
        }
        return 0;
    }
    if (!s) {
        if (msg == WM_NCDESTROY)
            return 0;
        return DefWindowProcA(hWnd, msg, wp, lp);
    }
    switch (msg) {
    case WM_DESTROY:
        Skin_Unhook(hWnd);
        return 0;
    case WM_NCDESTROY:
        DestroyGrid(hWnd);
        return 0;
    case WM_SIZE:
        s->view.iWidth = LOWORD(lp);
        s->view.iHeight = HIWORD(lp);
        if (s->hRows)
            MoveWindow(s->hRows, 0, s->view.iHeaderHeight, s->view.iWidth,
                       std::max(0, s->view.iHeight - s->view.iHeaderHeight), TRUE);
        InvalidateHeader(s);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC hdc = BeginPaint(hWnd, &ps);
        Paint_Buffered(s, hdc, ps.rcPaint, Paint_Header);
        EndPaint(hWnd, &ps);
        return 0;
    }
    case WM_PRINTCLIENT: {
        RECT rc = {0, 0, s->view.iWidth, s->view.iHeaderHeight};
        Paint_Header(s, (HDC)wp, rc);
        return 0;
    }
    case WM_NCPAINT: {
        LRESULT r = DefWindowProcA(hWnd, msg, wp, lp);
        Paint_Frame(s);
        return r;
    }
    case WM_SETFOCUS:
        if (s->hRows)
            SetFocus(s->hRows);
        return 0;
    case WM_SETFONT:
        s->hFont = wp ? (HFONT)wp : (HFONT)GetStockObject(DEFAULT_GUI_FONT);
        if (LOWORD(lp)) {
            InvalidateHeader(s);
            InvalidateAllRows(s);
        }
        return 0;
    case WM_GETFONT:
        return (LRESULT)s->hFont;
    case WM_COMMAND:
        return SendMessageA(GetParent(hWnd), WM_COMMAND, wp, lp);
    case WM_SETCURSOR:
        if ((HWND)wp == hWnd && LOWORD(lp) == HTCLIENT) {
            POINT pt;
            GetCursorPos(&pt);
            ScreenToClient(hWnd, &pt);
            HeaderCursor(s, pt.x, pt.y);
            return TRUE;
        }
        break;
    case WM_MOUSEMOVE:
        if (s->iDragMode != DRAG_NONE)
            HeaderDrag(s, (short)LOWORD(lp));
        else
            HeaderCursor(s, (short)LOWORD(lp), (short)HIWORD(lp));
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:   // a quick second click on the header is a click too
        HeaderPress(s, (short)LOWORD(lp), (short)HIWORD(lp));
        return 0;
    case WM_LBUTTONUP:
        if (s->iDragMode != DRAG_NONE)
            HeaderRelease(s, (short)LOWORD(lp));
        return 0;
    case WM_CAPTURECHANGED:
        if ((HWND)lp != hWnd && s->iDragMode != DRAG_NONE) {
            s->iDragMode = DRAG_NONE;
            InvalidateHeader(s);
        }
        return 0;
    case WM_MOUSEWHEEL:
        Wheel(s, GET_WHEEL_DELTA_WPARAM(wp));
        return 0;

    case GRM_ADDCOLUMN:
        return AddColumn(s, wp, (const tagLV_COLUMN*)lp);
    case GRM_APPENDROW:
        return AppendRow(s, (const void*)lp);
    case GRM_BEGINFILL:
        return BeginFill(s, wp, (const tagLV_FILL*)lp);
    case GRM_SORT:
        SortNow(s, wp == 1, (int)lp);
        return 1;
    case GRM_MOVESEL:
        return MoveSel(s, lp);
    case GRM_GETDATA:
        if (!lp)
            return 0;
        *(tagLV_DATA**)lp = &s->data;
        return 1;
    case GRM_DELETESEL:
        return DeleteSelected(s);
    case GRM_GETSEL:
        return GetSel(s, (int32_t*)wp, (void**)lp);
    case GRM_SETCURSOR:
        s->hBorderCursor = lp ? (HCURSOR)lp : LoadCursorA(nullptr, (LPCSTR)IDC_ARROW);
        return 1;
    case GRM_REDRAWSEL:
        InvalidateRow(s, s->view.iSel);
        return 1;
    case GRM_CLEAR:
        ClearRows(s);
        return 1;
    case GRM_SETCELLHOOK:
        s->pfnCellHook = (LV_CELLHOOK)lp;
        InvalidateAllRows(s);
        return 1;
    case GRM_GETROWS:
        return GetRows(s, (int)wp, (const void**)lp);
    }
    return DefWindowProcA(hWnd, msg, wp, lp);
}

LRESULT CALLBACK RowProc(HWND hWnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_NCCREATE)
        SetWindowLongPtrA(hWnd, GWLP_USERDATA, GetWindowLongPtrA(GetParent(hWnd), GWLP_USERDATA));
    GridState* s = (GridState*)GetWindowLongPtrA(hWnd, GWLP_USERDATA);
    if (!s)
        return DefWindowProcA(hWnd, msg, wp, lp);
    switch (msg) {
    case WM_DESTROY:
        SetWindowLongPtrA(hWnd, GWLP_USERDATA, 0);
        return 0;
    case WM_SIZE:
        s->iRowsWidth = LOWORD(lp);
        s->iRowsHeight = HIWORD(lp);
        UpdateScrollBars(s);
        InvalidateAllRows(s);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC hdc = BeginPaint(hWnd, &ps);
        Paint_Buffered(s, hdc, ps.rcPaint, Paint_Rows);
        EndPaint(hWnd, &ps);
        return 0;
    }
    case WM_PRINTCLIENT: {
        RECT rc;
        GetClientRect(hWnd, &rc);
        Paint_Rows(s, (HDC)wp, rc);
        return 0;
    }
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_KEYDOWN:
        if (KeyDown(s, wp))
            return 0;
        break;
    case WM_MOUSEWHEEL:
        Wheel(s, GET_WHEEL_DELTA_WPARAM(wp));
        return 0;
    case WM_VSCROLL:
        VScroll(s, LOWORD(wp));
        return 0;
    case WM_HSCROLL:
        HScroll(s, LOWORD(wp));
        return 0;
    case WM_LBUTTONDOWN:
        SetFocus(hWnd);
        ClickRow(s, (short)HIWORD(lp), GRN_CLICK);
        return 0;
    case WM_RBUTTONDOWN:
        SetFocus(hWnd);
        ClickRow(s, (short)HIWORD(lp), GRN_RCLICK);
        return 0;
    case WM_RBUTTONUP:
        if (RowAt(s, (short)HIWORD(lp)) >= 0)
            Notify(s, GRN_RBUTTONUP);
        return 0;
    case WM_LBUTTONDBLCLK:
        ClickRow(s, (short)HIWORD(lp), GRN_DBLCLK);
        return 0;
    case WM_COMMAND:
        return SendMessageA(GetParent(s->hGrid), WM_COMMAND, wp, lp);
    }
    return DefWindowProcA(hWnd, msg, wp, lp);
}

}  // namespace

GridState* Grid_State(HWND hWnd)
{
    return hWnd ? (GridState*)GetWindowLongPtrA(hWnd, GWLP_USERDATA) : nullptr;
}

int Grid_DisplayCount(const GridState* s)
{
    return s->nAppShown + s->data.iLoaded;
}

const void* Grid_RecordAt(const GridState* s, int iDisplay)
{
    if (iDisplay < s->nAppShown)
        return s->appended[iDisplay];
    const tagLV_DATA& d = s->data;
    int k = iDisplay - s->nAppShown;
    int32_t idx = d.iSortDir == 2 ? d.pRowOrder[d.iLoaded - 1 - k] : d.pRowOrder[k];
    return (const char*)d.pRecords + (size_t)idx * (size_t)d.cbRecord;
}

int Grid_ContentWidth(const GridState* s)
{
    const tagLV_DATA& d = s->data;
    int w = 0;
    for (int i = 0; i < d.iColShown; i++)
        if (d.pColumns[d.pColOrder[i]].iWidth > 0)
            w += d.pColumns[d.pColOrder[i]].iWidth;
    return w;
}

extern "C" void RegListView(void)
{
    HINSTANCE hInst = GetModuleHandleA(nullptr);
    g_hClassInstance = hInst;
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = GridProc;
    wc.hInstance = hInst;
    wc.hCursor = LoadCursorA(nullptr, (LPCSTR)IDC_ARROW);
    wc.hbrBackground = (HBRUSH)GetStockObject(WHITE_BRUSH);
    wc.lpszClassName = GRID_CLASS;
    RegisterClassExA(&wc);
    wc.lpfnWndProc = RowProc;
    wc.lpszClassName = GRID_ROW_CLASS;
    RegisterClassExA(&wc);
}

extern "C" ZT_MSGBOX_HOOK ZTListview_SetMessageBoxHook(ZT_MSGBOX_HOOK hook)
{
    return ZT_SetMessageBoxHookLocal(hook);
}

extern "C" const void* ZTListview_CellValue(const tagLV_COLUMN* pColumn, const void* pOwner, const void* pRecord)
{
    if (!pColumn || !pRecord)
        return nullptr;
    if (pColumn->pfnValue)
        return pColumn->pfnValue(pOwner, pColumn, pRecord);
    return pColumn->iOffset >= 0 ? (const char*)pRecord + pColumn->iOffset : nullptr;
}
