// Painting the grid: the header strip of the grid window, the rows of the row
// area and the frame around the grid.
#include "grid/grid_internal.h"
#include "common/gbk.h"

#include <cstdio>
#include <cstring>

namespace {

// The shown text of a cell; false for value types that are not drawn.
bool FormatValue(const tagLV_COLUMN& col, const void* value, char* out, size_t size)
{
    const char* unit = "";
    char unitBuf[sizeof col.szUnit + 1];
    if (col.iUnitMode == LVU_CELLS) {
        memcpy(unitBuf, col.szUnit, sizeof col.szUnit);
        unitBuf[sizeof col.szUnit] = 0;
        unit = unitBuf;
    }
    switch (col.iType) {
    case LVT_INT: {
        int32_t v;
        memcpy(&v, value, sizeof v);
        snprintf(out, size, "%d%s", (int)v, unit);
        return true;
    }
    case LVT_DOUBLE: {
        double v;
        memcpy(&v, value, sizeof v);
        snprintf(out, size, "%.2f%s", v, unit);
        return true;
    }
    case LVT_TEXT:
        snprintf(out, size, "%s%s", (const char*)value, unit);
        // snprintf may have cut a double-byte character in two.
        out[Gbk_CutLen(out, strlen(out), size - 1)] = 0;
        return true;
    default:
        return false;
    }
}

void PlainRaisedCell(HDC hdc, const RECT& rc)
{
    RECT r = rc;
    FillRect(hdc, &r, GetSysColorBrush(COLOR_BTNFACE));
    DrawEdge(hdc, &r, BDR_RAISEDINNER, BF_RECT);
}

void HeaderCaption(const tagLV_COLUMN& col, char* out, size_t size)
{
    char caption[sizeof col.szCaption + 1];
    memcpy(caption, col.szCaption, sizeof col.szCaption);
    caption[sizeof col.szCaption] = 0;
    if (col.iUnitMode == LVU_HEADER) {
        char unit[sizeof col.szUnit + 1];
        memcpy(unit, col.szUnit, sizeof col.szUnit);
        unit[sizeof col.szUnit] = 0;
        snprintf(out, size, "%s(%s)", caption, unit);
    } else {
        snprintf(out, size, "%s", caption);
    }
}

void SortArrow(HDC hdc, int x, int y, bool ascending)
{
    const GridShared* sh = Shared_Get();
    if (sh->hArrows) {
        HDC mem = CreateCompatibleDC(hdc);
        HGDIOBJ old = SelectObject(mem, sh->hArrows);
        TransparentBlt(hdc, x, y, 10, 10, mem, 205, ascending ? 190 : 209, 10, 10, RGB(255, 0, 255));
        SelectObject(mem, old);
        DeleteDC(mem);
        return;
    }
    // Without the resource library: a small triangle of the same size.
    POINT pts[3];
    if (ascending) {
        pts[0] = {x + 1, y + 7};
        pts[1] = {x + 9, y + 7};
        pts[2] = {x + 5, y + 3};
    } else {
        pts[0] = {x + 1, y + 3};
        pts[1] = {x + 9, y + 3};
        pts[2] = {x + 5, y + 7};
    }
    HGDIOBJ oldPen = SelectObject(hdc, GetStockObject(NULL_PEN));
    HGDIOBJ oldBrush = SelectObject(hdc, GetStockObject(GRAY_BRUSH));
    Polygon(hdc, pts, 3);
    SelectObject(hdc, oldBrush);
    SelectObject(hdc, oldPen);
}

bool Meets(int left, int right, const RECT& rc)
{
    return right > rc.left && left < rc.right;
}

}  // namespace

void Paint_Buffered(GridState* s, HDC hdc, const RECT& rc, void (*paint)(GridState*, HDC, const RECT&))
{
    int w = rc.right - rc.left, h = rc.bottom - rc.top;
    if (w <= 0 || h <= 0)
        return;
    HDC mem = CreateCompatibleDC(hdc);
    HBITMAP bmp = CreateCompatibleBitmap(hdc, w, h);
    if (!mem || !bmp) {
        if (bmp)
            DeleteObject(bmp);
        if (mem)
            DeleteDC(mem);
        paint(s, hdc, rc);
        return;
    }
    HGDIOBJ old = SelectObject(mem, bmp);
    SetViewportOrgEx(mem, -rc.left, -rc.top, nullptr);
    paint(s, mem, rc);
    SetViewportOrgEx(mem, 0, 0, nullptr);
    BitBlt(hdc, rc.left, rc.top, w, h, mem, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
}

void Paint_Header(GridState* s, HDC hdc, const RECT& rcUpdate)
{
    const tagLV_DATA& d = s->data;
    int hpx = s->view.iHScroll * GRID_HSCROLL_UNIT;
    int height = s->view.iHeaderHeight;
    RECT strip = {0, 0, s->view.iWidth, height};
    RECT rc;
    if (!IntersectRect(&rc, &strip, &rcUpdate))
        return;
    FillRect(hdc, &rc, GetSysColorBrush(COLOR_BTNFACE));

    HGDIOBJ oldFont = SelectObject(hdc, s->hFont);
    SetBkMode(hdc, TRANSPARENT);
    SetTextColor(hdc, GetSysColor(COLOR_BTNTEXT));
    char text[64];
    for (int i = 0; i < d.iColShown; i++) {
        const tagLV_COLUMN& col = d.pColumns[d.pColOrder[i]];
        if (col.iWidth <= 0)
            continue;
        int x = col.iLeft - hpx;
        RECT cell = {x - 1, 0, x + col.iWidth, height};
        if (!Meets(cell.left, cell.right, rc))
            continue;
        if (!Skin_DrawPart(hdc, "FieldBorder", &cell))
            PlainRaisedCell(hdc, cell);
        HeaderCaption(col, text, sizeof text);
        RECT tr = {cell.left + 5, 2, cell.right - 5, height};
        DrawTextA(hdc, text, -1, &tr, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        if (s->view.iSortMark && col.iId == d.iSortId)
            SortArrow(hdc, cell.right - 14, height - 12, s->view.iSortMark == 1);
    }

    // The caption of a column being moved follows the mouse.
    if (s->iDragMode == DRAG_MOVE && s->iDragPos >= 0 && s->iDragPos < d.iColShown) {
        const tagLV_COLUMN& col = d.pColumns[d.pColOrder[s->iDragPos]];
        int x = s->iDragColLeft + (s->iDragX - s->iDragPressX) - hpx;
        RECT box = {x, 0, x + col.iWidth, height};
        const GridShared* sh = Shared_Get();
        HGDIOBJ oldPen = SelectObject(hdc, sh->pen[PEN_BLACK]);
        HGDIOBJ oldBrush = SelectObject(hdc, sh->brush[BR_DRAG]);
        Rectangle(hdc, box.left, box.top, box.right, box.bottom);
        SelectObject(hdc, oldBrush);
        SelectObject(hdc, oldPen);
        HeaderCaption(col, text, sizeof text);
        RECT tr = {box.left + 5, 2, box.right - 5, height};
        DrawTextA(hdc, text, -1, &tr, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }
    SelectObject(hdc, oldFont);
}

void Paint_Rows(GridState* s, HDC hdc, const RECT& rcUpdate)
{
    const tagLV_DATA& d = s->data;
    const GridShared* sh = Shared_Get();
    const int rowH = s->view.iRowHeight;
    const int hpx = s->view.iHScroll * GRID_HSCROLL_UNIT;
    const int count = Grid_DisplayCount(s);
    int width = s->iRowsWidth > rcUpdate.right ? s->iRowsWidth : rcUpdate.right;

    HGDIOBJ oldFont = SelectObject(hdc, s->hFont);
    HGDIOBJ oldPen = SelectObject(hdc, sh->pen[PEN_GRID]);
    HGDIOBJ oldBrush = SelectObject(hdc, GetStockObject(NULL_BRUSH));
    SetBkMode(hdc, TRANSPARENT);
    HWND hParent = GetParent(s->hGrid);

    int first = s->view.iVScroll + (rcUpdate.top > 0 ? rcUpdate.top / rowH : 0);
    int last = s->view.iVScroll + (rcUpdate.bottom - 1) / rowH;
    int yEnd = rcUpdate.top;
    char text[1024];
    for (int r = first; r <= last && r < count; r++) {
        int y = (r - s->view.iVScroll) * rowH;
        const void* rec = Grid_RecordAt(s, r);
        HBRUSH bg = sh->brush[BR_ROW];
        if (r == s->view.iSel)
            bg = sh->brush[BR_SEL];
        else if (r < s->nAppShown)
            bg = sh->brush[BR_APPENDED];
        RECT rowRc = {rcUpdate.left, y, width, y + rowH};
        FillRect(hdc, &rowRc, bg);
        yEnd = y + rowH;
        for (int i = 0; i < d.iColShown; i++) {
            int c = d.pColOrder[i];
            const tagLV_COLUMN& col = d.pColumns[c];
            if (col.iWidth <= 0)
                continue;
            int x = col.iLeft - hpx;
            if (!Meets(x - 1, x + col.iWidth, rcUpdate))
                continue;
            Rectangle(hdc, x - 1, y - 1, x + col.iWidth, y + rowH);
            // Produced now, from the record: the grid keeps no cells.
            const void* value = ZTListview_CellValue(&col, d.pOwner, rec);
            if (!value)
                continue;
            RECT tr = {x + 5, y, x + col.iWidth - 5, y + rowH};
            SetTextColor(hdc, RGB(0, 0, 0));
            if (s->pfnCellHook)
                s->pfnCellHook(hParent, hdc, &col, value, rec);
            if (!FormatValue(col, value, text, sizeof text))
                continue;
            // A value wider than its cell ends in "..." wherever it is
            // aligned: a right-aligned number cut on its left would read as
            // another number.
            DrawTextA(hdc, text, -1, &tr, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS | (UINT)(col.iAlign & 3));
        }
    }
    if (yEnd < rcUpdate.bottom) {
        RECT rest = {rcUpdate.left, yEnd, rcUpdate.right, rcUpdate.bottom};
        FillRect(hdc, &rest, sh->brush[BR_ROW]);
    }
    SelectObject(hdc, oldBrush);
    SelectObject(hdc, oldPen);
    SelectObject(hdc, oldFont);
}

// The frame of bitmap 103 over the grid's border, as nine pieces with
// 2-pixel corners stretched to the border's thickness.
void Paint_Frame(GridState* s)
{
    const GridShared* sh = Shared_Get();
    if (!sh->hFrame)
        return;
    RECT wr;
    GetWindowRect(s->hGrid, &wr);
    POINT org = {0, 0};
    ClientToScreen(s->hGrid, &org);
    RECT cr;
    GetClientRect(s->hGrid, &cr);
    int l = org.x - wr.left, t = org.y - wr.top;
    int r = (wr.right - wr.left) - l - cr.right, b = (wr.bottom - wr.top) - t - cr.bottom;
    if (l <= 0 || t <= 0 || r <= 0 || b <= 0)
        return;
    BITMAP bm;
    if (!GetObjectA(sh->hFrame, sizeof bm, &bm) || bm.bmWidth < 5 || bm.bmHeight < 5)
        return;
    int W = wr.right - wr.left, H = wr.bottom - wr.top;
    int bw = bm.bmWidth, bh = bm.bmHeight, e = 2;
    HDC hdc = GetWindowDC(s->hGrid);
    HDC mem = CreateCompatibleDC(hdc);
    HGDIOBJ old = SelectObject(mem, sh->hFrame);
    SetStretchBltMode(hdc, COLORONCOLOR);
    // corners
    StretchBlt(hdc, 0, 0, l, t, mem, 0, 0, e, e, SRCCOPY);
    StretchBlt(hdc, W - r, 0, r, t, mem, bw - e, 0, e, e, SRCCOPY);
    StretchBlt(hdc, 0, H - b, l, b, mem, 0, bh - e, e, e, SRCCOPY);
    StretchBlt(hdc, W - r, H - b, r, b, mem, bw - e, bh - e, e, e, SRCCOPY);
    // edges
    StretchBlt(hdc, l, 0, W - l - r, t, mem, e, 0, bw - 2 * e, e, SRCCOPY);
    StretchBlt(hdc, l, H - b, W - l - r, b, mem, e, bh - e, bw - 2 * e, e, SRCCOPY);
    StretchBlt(hdc, 0, t, l, H - t - b, mem, 0, e, e, bh - 2 * e, SRCCOPY);
    StretchBlt(hdc, W - r, t, r, H - t - b, mem, bw - e, e, e, bh - 2 * e, SRCCOPY);
    SelectObject(mem, old);
    DeleteDC(mem);
    ReleaseDC(s->hGrid, hdc);
}
