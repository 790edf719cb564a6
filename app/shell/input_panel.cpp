// The filter panel "ZT_CHILD_TPANEL" (a framed container) and the splitter
// bars "ZT_CTL_HSPLITTER" and "ZT_CTL_VSPLITTER".
#include "app/shell/input_controls_internal.h"
#include <cstring>

namespace {

const int kSplitterWidth = 2;

// ---- Filter panel ---------------------------------------------------------------

LRESULT CALLBACK PanelProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_CREATE:
        SetWindowLongPtrA(hwnd, GWL_STYLE, GetWindowLongPtrA(hwnd, GWL_STYLE) | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC hdc = BeginPaint(hwnd, &ps);
        RECT rc;
        GetClientRect(hwnd, &rc);
        Skin_DrawPanelFrame(hdc, rc);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_COMMAND:
    case WM_NOTIFY:
        // Controls placed inside the panel talk to the window that owns it.
        if (HWND parent = GetParent(hwnd))
            return SendMessageA(parent, msg, wParam, lParam);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// ---- Vertical splitter drag --------------------------------------------------------

struct Drag {
    HWND splitter = nullptr;
    HWND parent = nullptr;
    int top = 0, height = 0;
    int offset = 0;         // grab point to the splitter's right edge
    int lineX = 0;          // right edge of the drag line, in the parent
    bool ending = false;
};
Drag g_drag;

// Inverts the 2-pixel line left of x, over the parent and its children.
void InvertLine(const Drag& d, int x)
{
    HDC hdc = GetDCEx(d.parent, nullptr, DCX_CACHE | DCX_LOCKWINDOWUPDATE);
    if (!hdc)
        return;
    PatBlt(hdc, x - kSplitterWidth, d.top, kSplitterWidth, d.height, DSTINVERT);
    ReleaseDC(d.parent, hdc);
}

POINT ParentPoint(HWND hwnd, LPARAM lParam)
{
    POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    MapWindowPoints(hwnd, GetParent(hwnd), &pt, 1);
    return pt;
}

void BeginDrag(HWND hwnd, LPARAM lParam)
{
    HWND parent = GetParent(hwnd);
    if (!parent)
        return;
    RECT rc;
    GetWindowRect(hwnd, &rc);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rc), 2);
    POINT pt = ParentPoint(hwnd, lParam);
    g_drag.splitter = hwnd;
    g_drag.parent = parent;
    g_drag.top = rc.top;
    g_drag.height = rc.bottom - rc.top;
    g_drag.offset = rc.right - pt.x;
    g_drag.lineX = rc.right;
    g_drag.ending = false;
    SetCapture(hwnd);
    InvertLine(g_drag, g_drag.lineX);
}

void MoveDrag(HWND hwnd, LPARAM lParam)
{
    POINT pt = ParentPoint(hwnd, lParam);
    int x = pt.x + g_drag.offset;
    // The whole line stays inside x 0 .. 140 of the parent.
    if (x < ZT_SPLITTER_MIN_X + kSplitterWidth)
        x = ZT_SPLITTER_MIN_X + kSplitterWidth;
    if (x > ZT_SPLITTER_MAX_X)
        x = ZT_SPLITTER_MAX_X;
    if (x == g_drag.lineX)
        return;
    InvertLine(g_drag, g_drag.lineX);
    g_drag.lineX = x;
    InvertLine(g_drag, g_drag.lineX);
}

void EndDrag(HWND hwnd, bool moved)
{
    Drag d = g_drag;
    g_drag = Drag();
    InvertLine(d, d.lineX);
    if (!moved)
        return;
    MoveWindow(hwnd, d.lineX - kSplitterWidth, d.top, kSplitterWidth, d.height, TRUE);
    SendMessageA(d.parent, WM_SPLITTER_MOVED, static_cast<WPARAM>(GetDlgCtrlID(hwnd)), reinterpret_cast<LPARAM>(hwnd));
}

LRESULT CALLBACK VSplitterProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_LBUTTONDOWN:
        if (!g_drag.splitter)
            BeginDrag(hwnd, lParam);
        return 0;
    case WM_MOUSEMOVE:
        if (g_drag.splitter == hwnd && (wParam & MK_LBUTTON))
            MoveDrag(hwnd, lParam);
        return 0;
    case WM_LBUTTONUP:
        if (g_drag.splitter == hwnd) {
            g_drag.ending = true;
            ReleaseCapture();
            EndDrag(hwnd, true);
        }
        return 0;
    case WM_CAPTURECHANGED:
        // Capture taken away mid-drag: the line goes, the splitter stays.
        if (g_drag.splitter == hwnd && !g_drag.ending)
            EndDrag(hwnd, false);
        return 0;
    case WM_WINDOWPOSCHANGING: {
        WINDOWPOS* wp = reinterpret_cast<WINDOWPOS*>(lParam);
        if (!(wp->flags & SWP_NOSIZE))
            wp->cx = kSplitterWidth;
        return 0;
    }
    case WM_DESTROY:
        if (g_drag.splitter == hwnd)
            g_drag = Drag();
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace

BOOL RegisterPanelClasses(HINSTANCE hInst)
{
    BOOL ok = Input_RegisterClass(hInst, ZT_CLASS_TPANEL, PanelProc, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, IDC_ARROW);
    ok = Input_RegisterClass(hInst, ZT_CLASS_HSPLITTER, DefWindowProcA, CS_DBLCLKS | CS_SAVEBITS, IDC_SIZENS) && ok;
    ok = Input_RegisterClass(hInst, ZT_CLASS_VSPLITTER, VSplitterProc, CS_DBLCLKS | CS_SAVEBITS, IDC_SIZEWE) && ok;
    return ok;
}

BOOL Input_RegisterClass(HINSTANCE hInst, const char* name, WNDPROC proc, UINT style, const char* cursor,
                         HBRUSH hbrBack)
{
    WNDCLASSEXA wc;
    memset(&wc, 0, sizeof(wc));
    wc.cbSize = sizeof(wc);
    wc.style = style;
    wc.lpfnWndProc = proc;
    wc.hInstance = hInst;
    wc.hCursor = LoadCursorA(nullptr, cursor);
    wc.hbrBackground = hbrBack ? hbrBack : reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = name;
    return RegisterClassExA(&wc) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

int Input_Subclass(HWND hEdit, const char* prop, WNDPROC proc)
{
    if (!hEdit || !IsWindow(hEdit))
        return 0;
    if (GetPropA(hEdit, prop))
        return 2;
    SetPropA(hEdit, prop, reinterpret_cast<HANDLE>(GetWindowLongPtrA(hEdit, GWLP_WNDPROC)));
    SetWindowLongPtrA(hEdit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
    return 1;
}

void Input_Unsubclass(HWND hwnd, const char* prop, WNDPROC old)
{
    SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
    RemovePropA(hwnd, prop);
}

LRESULT Input_CallSelectAll(WNDPROC old, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    LRESULT r = CallWindowProcA(old, hwnd, msg, wParam, lParam);
    SendMessageA(hwnd, EM_SETSEL, 0, -1);
    return r;
}
