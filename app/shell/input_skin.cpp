// Skin pieces of the input controls: bitmap 128 of the program and the
// check-box strip of "res.dll", with plain fallbacks for both.
#include "app/shell/input_controls_internal.h"
#include <cstring>

HINSTANCE g_ctlInst = nullptr;

namespace {

// Source rectangles in bitmap 128.
const RECT kHighlight = {37, 365, 37 + 105, 365 + 16};
const RECT kDropButton = {359, 6, 359 + 15, 6 + 16};
const RECT kPanelFrame = {67, 130, 67 + 59, 130 + 52};
const int kFrameCorner = 2;

HBITMAP g_skin = nullptr;
bool g_skinTried = false;

HBITMAP SkinSheet()
{
    if (!g_skinTried) {
        g_skinTried = true;
        g_skin = LoadBitmapA(g_ctlInst, MAKEINTRESOURCEA(128));
    }
    return g_skin;
}

// Copies src (in the sheet) onto dst, stretching when the sizes differ.
void Piece(HDC hdc, HDC sheet, int dx, int dy, int dw, int dh, int sx, int sy, int sw, int sh)
{
    if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0)
        return;
    if (dw == sw && dh == sh)
        BitBlt(hdc, dx, dy, dw, dh, sheet, sx, sy, SRCCOPY);
    else
        StretchBlt(hdc, dx, dy, dw, dh, sheet, sx, sy, sw, sh, SRCCOPY);
}

struct SheetDC {
    HDC dc = nullptr;
    HGDIOBJ old = nullptr;
    explicit SheetDC(HDC ref)
    {
        HBITMAP bmp = SkinSheet();
        if (!bmp)
            return;
        dc = CreateCompatibleDC(ref);
        old = SelectObject(dc, bmp);
    }
    ~SheetDC()
    {
        if (dc) {
            SelectObject(dc, old);
            DeleteDC(dc);
        }
    }
};

void FillColour(HDC hdc, const RECT& rc, COLORREF c)
{
    HBRUSH br = CreateSolidBrush(c);
    FillRect(hdc, &rc, br);
    DeleteObject(br);
}

// ---- The drawn check-box strip ------------------------------------------------

void StripPixel(uint32_t* px, int x, int y, COLORREF c)
{
    if (x < 0 || y < 0 || x >= CHECK_STRIP_WIDTH || y >= CHECK_STRIP_HEIGHT)
        return;
    // Top-down 32-bit DIB: 0x00RRGGBB.
    px[y * CHECK_STRIP_WIDTH + x] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

void DrawCheckImage(uint32_t* px, int x0, bool ticked, bool hot)
{
    const COLORREF border = RGB(28, 81, 128);
    const int n = CHECK_IMAGE_SIZE;
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            COLORREF c;
            if (x == 0 || y == 0 || x == n - 1 || y == n - 1) {
                c = border;
            } else {
                // A light face, a little darker towards the top left.
                int shade = 222 + (x + y) * 33 / (2 * (n - 2));
                if (shade > 255)
                    shade = 255;
                c = RGB(shade, shade, shade - 6 > 0 ? shade - 6 : 0);
            }
            StripPixel(px, x0 + x, y, c);
        }
    }
    if (hot) {
        // Warm ring inside the border while the item is under the mouse.
        for (int i = 1; i < n - 1; ++i) {
            StripPixel(px, x0 + i, 1, RGB(255, 240, 207));
            StripPixel(px, x0 + i, n - 2, RGB(248, 179, 48));
            StripPixel(px, x0 + 1, i, RGB(254, 223, 154));
            StripPixel(px, x0 + n - 2, i, RGB(248, 179, 48));
        }
        for (int i = 2; i < n - 2; ++i) {
            StripPixel(px, x0 + i, 2, RGB(254, 223, 154));
            StripPixel(px, x0 + 2, i, RGB(254, 223, 154));
        }
    }
    if (ticked) {
        // Tick: three pixels tall, down from column 3 to 5 and up to 9.
        static const int top[] = {5, 6, 7, 6, 5, 4, 3};
        const COLORREF tick = RGB(33, 161, 33);
        for (int i = 0; i < 7; ++i)
            for (int k = 0; k < 3; ++k)
                StripPixel(px, x0 + 3 + i, top[i] + k, tick);
    }
}

HBITMAP DrawnCheckStrip()
{
    BITMAPINFO bi;
    memset(&bi, 0, sizeof(bi));
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = CHECK_STRIP_WIDTH;
    bi.bmiHeader.biHeight = -CHECK_STRIP_HEIGHT;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bmp || !bits)
        return bmp;
    uint32_t* px = static_cast<uint32_t*>(bits);
    for (int i = 0; i < CHECK_STRIP_WIDTH * CHECK_STRIP_HEIGHT; ++i)
        px[i] = 0x00FFFFFF;
    for (int i = 0; i < 4; ++i)
        DrawCheckImage(px, i * (CHECK_IMAGE_SIZE + 1), (i & 1) != 0, i >= 2);
    GdiFlush();
    return bmp;
}

}  // namespace

void Skin_DrawHighlight(HDC hdc, const RECT& rc)
{
    int w = rc.right - rc.left, h = rc.bottom - rc.top;
    SheetDC sheet(hdc);
    if (!sheet.dc) {
        FillColour(hdc, rc, RGB(214, 232, 250));
        return;
    }
    SetStretchBltMode(hdc, COLORONCOLOR);
    int sx = kHighlight.left, sy = kHighlight.top;
    int sw = kHighlight.right - kHighlight.left, sh = kHighlight.bottom - kHighlight.top;
    const int edge = 2;
    if (w <= 2 * edge) {
        Piece(hdc, sheet.dc, rc.left, rc.top, w, h, sx, sy, sw, sh);
        return;
    }
    // Left and right edges keep their width; the middle stretches.
    Piece(hdc, sheet.dc, rc.left, rc.top, edge, h, sx, sy, edge, sh);
    Piece(hdc, sheet.dc, rc.left + edge, rc.top, w - 2 * edge, h, sx + edge, sy, sw - 2 * edge, sh);
    Piece(hdc, sheet.dc, rc.right - edge, rc.top, edge, h, sx + sw - edge, sy, edge, sh);
}

void Skin_DrawDropButton(HDC hdc, const RECT& square)
{
    int bw = kDropButton.right - kDropButton.left, bh = kDropButton.bottom - kDropButton.top;
    int w = square.right - square.left, h = square.bottom - square.top;
    int dw = bw < w ? bw : w, dh = bh < h ? bh : h;
    int x = square.left + (w - dw) / 2, y = square.top + (h - dh) / 2;
    SheetDC sheet(hdc);
    if (!sheet.dc) {
        RECT r = {x, y, x + dw, y + dh};
        DrawFrameControl(hdc, &r, DFC_SCROLL, DFCS_SCROLLCOMBOBOX | DFCS_FLAT);
        return;
    }
    SetStretchBltMode(hdc, COLORONCOLOR);
    Piece(hdc, sheet.dc, x, y, dw, dh, kDropButton.left, kDropButton.top, bw, bh);
}

void Skin_DrawPanelFrame(HDC hdc, const RECT& rc)
{
    int w = rc.right - rc.left, h = rc.bottom - rc.top;
    SheetDC sheet(hdc);
    if (!sheet.dc) {
        RECT r = rc;
        DrawEdge(hdc, &r, EDGE_ETCHED, BF_RECT);
        return;
    }
    if (w < 2 * kFrameCorner || h < 2 * kFrameCorner)
        return;
    SetStretchBltMode(hdc, COLORONCOLOR);
    const int c = kFrameCorner;
    int sx = kPanelFrame.left, sy = kPanelFrame.top;
    int sw = kPanelFrame.right - kPanelFrame.left, sh = kPanelFrame.bottom - kPanelFrame.top;
    int l = rc.left, t = rc.top, r = rc.right, b = rc.bottom;
    // Corners.
    Piece(hdc, sheet.dc, l, t, c, c, sx, sy, c, c);
    Piece(hdc, sheet.dc, r - c, t, c, c, sx + sw - c, sy, c, c);
    Piece(hdc, sheet.dc, l, b - c, c, c, sx, sy + sh - c, c, c);
    Piece(hdc, sheet.dc, r - c, b - c, c, c, sx + sw - c, sy + sh - c, c, c);
    // Edges, stretched along their length.  The middle piece is left to the
    // panel's own background.
    Piece(hdc, sheet.dc, l + c, t, w - 2 * c, c, sx + c, sy, sw - 2 * c, c);
    Piece(hdc, sheet.dc, l + c, b - c, w - 2 * c, c, sx + c, sy + sh - c, sw - 2 * c, c);
    Piece(hdc, sheet.dc, l, t + c, c, h - 2 * c, sx, sy + c, c, sh - 2 * c);
    Piece(hdc, sheet.dc, r - c, t + c, c, h - 2 * c, sx + sw - c, sy + c, c, sh - 2 * c);
}

HBITMAP CheckStrip_Create()
{
    UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    HMODULE res = LoadLibraryA("res.dll");
    SetErrorMode(oldMode);
    HBITMAP strip = nullptr;
    if (res) {
        HBITMAP src = LoadBitmapA(res, MAKEINTRESOURCEA(102));
        BITMAP info;
        if (src && GetObjectA(src, sizeof(info), &info) &&
            info.bmWidth >= CHECK_STRIP_WIDTH && info.bmHeight >= CHECK_STRIP_HEIGHT) {
            HDC screen = GetDC(nullptr);
            HDC from = CreateCompatibleDC(screen);
            HDC to = CreateCompatibleDC(screen);
            strip = CreateCompatibleBitmap(screen, CHECK_STRIP_WIDTH, CHECK_STRIP_HEIGHT);
            HGDIOBJ oldFrom = SelectObject(from, src);
            HGDIOBJ oldTo = SelectObject(to, strip);
            BitBlt(to, 0, 0, CHECK_STRIP_WIDTH, CHECK_STRIP_HEIGHT, from, 0, 0, SRCCOPY);
            SelectObject(from, oldFrom);
            SelectObject(to, oldTo);
            DeleteDC(from);
            DeleteDC(to);
            ReleaseDC(nullptr, screen);
        }
        if (src)
            DeleteObject(src);
        FreeLibrary(res);
    }
    return strip ? strip : DrawnCheckStrip();
}

void Buffer_Begin(HWND hwnd, PaintBuffer* pb)
{
    pb->hdcWin = BeginPaint(hwnd, &pb->ps);
    GetClientRect(hwnd, &pb->rc);
    int w = pb->rc.right > 0 ? pb->rc.right : 1, h = pb->rc.bottom > 0 ? pb->rc.bottom : 1;
    pb->hdc = CreateCompatibleDC(pb->hdcWin);
    pb->bmp = CreateCompatibleBitmap(pb->hdcWin, w, h);
    pb->oldBmp = SelectObject(pb->hdc, pb->bmp);
}

void Buffer_End(HWND hwnd, PaintBuffer* pb)
{
    BitBlt(pb->hdcWin, 0, 0, pb->rc.right, pb->rc.bottom, pb->hdc, 0, 0, SRCCOPY);
    SelectObject(pb->hdc, pb->oldBmp);
    DeleteObject(pb->bmp);
    DeleteDC(pb->hdc);
    EndPaint(hwnd, &pb->ps);
}

bool PointInWindow(HWND hwnd, POINT pt)
{
    if (!hwnd || !IsWindowVisible(hwnd))
        return false;
    RECT rc;
    GetWindowRect(hwnd, &rc);
    return PtInRect(&rc, pt) != 0;
}

HWND TabRoot(HWND hCtl)
{
    HWND h = GetParent(hCtl);
    while (h && (GetWindowLongA(h, GWL_STYLE) & WS_CHILD) && (GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_CONTROLPARENT)) {
        HWND up = GetParent(h);
        if (!up)
            break;
        h = up;
    }
    return h;
}

bool FocusNextTabStop(HWND hCtl, bool back)
{
    HWND root = TabRoot(hCtl);
    HWND next = root ? GetNextDlgTabItem(root, hCtl, back) : nullptr;
    if (!next || next == hCtl || !IsWindow(next))
        return false;
    char cls[16] = "";
    GetClassNameA(root, cls, sizeof(cls));
    if (strcmp(cls, "#32770") == 0)
        SendMessageA(root, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(next), TRUE);   // as the dialog's own Tab
    else
        SetFocus(next);
    return true;
}

BOOL RegisterInputControls(HINSTANCE hInst)
{
    g_ctlInst = hInst;
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_DATE_CLASSES | ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    BOOL ok = RegisterComboClasses(hInst);
    ok = RegisterDateClasses(hInst) && ok;
    ok = RegisterRoomTypeClasses(hInst) && ok;
    ok = RegisterPanelClasses(hInst) && ok;
    return ok;
}
