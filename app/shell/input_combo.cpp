// The drop-down box "ZT_CTL_COMBOBOX" and the one list window
// "ZT_CTL_CBB_DROPDOWN" that every box opens.
//
// A box keeps its items and its text itself; in the editable styles an edit
// child is laid over the box while the user types.  The list window is shared:
// it shows the items of whichever box opened it (g_listOwner) and closes on a
// click anywhere else, seen by a low-level mouse hook.  A second low-level
// hook tells the hovered box when the mouse has left it.
#include "app/shell/input_controls_internal.h"
#include "common/gbk.h"
#include <cstring>
#include <string>
#include <vector>

namespace {

const int kItemHeight = 20;
const int kMaxVisibleItems = 20;
const int kTallListHeight = 300;
const int kEditButtonRoom = 18;
const UINT ZCM_CLOSELIST = WM_USER + 100;   // posted to the list window by the hook

struct ComboState {
    HWND hwnd = nullptr;
    HWND hEdit = nullptr;
    WNDPROC oldEditProc = nullptr;
    DWORD style = 0;                         // ZTCBS_* bits
    std::vector<std::string> items;
    std::vector<unsigned char> checks;
    char text[ZTCB_MAX_TEXT + 1] = {0};
    int hot = -1;                            // hot item of the open list
    int first = 0;                           // first visible item
    bool hover = false;
    bool focus = false;
    bool lock = false;                       // the box itself is writing the edit child
    bool editShown = false;
    bool openedFromEdit = false;
    HFONT font = nullptr;
};

HWND g_list = nullptr;          // the shared list window
HWND g_listOwner = nullptr;     // the box whose list is open
int g_comboCount = 0;
HHOOK g_listHook = nullptr;
HHOOK g_hoverHook = nullptr;
HWND g_hoverCtl = nullptr;
bool g_leavePosted = false;
bool g_listPressed = false;
HBITMAP g_checkStrip = nullptr;
// After a click in the list chose an item and closed the list, the second
// click of a double click would land on whatever lay under the list: a
// press there within the double-click time, and its release, are dropped.
HHOOK g_guardHook = nullptr;
RECT g_guardRect = {0, 0, 0, 0};
DWORD g_guardTick = 0;
bool g_guardDropping = false;   // a press was dropped; its release goes too
const UINT_PTR kGuardTimer = 1;

ComboState* State(HWND hwnd)
{
    return hwnd ? reinterpret_cast<ComboState*>(GetWindowLongPtrA(hwnd, 0)) : nullptr;
}

bool Has(const ComboState* s, DWORD bit) { return (s->style & bit) != 0; }
bool ListOpen(const ComboState* s) { return g_listOwner && g_listOwner == s->hwnd; }
int Count(const ComboState* s) { return static_cast<int>(s->items.size()); }

HFONT Font(const ComboState* s)
{
    return s->font ? s->font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

void Notify(ComboState* s, WORD code, bool post)
{
    HWND parent = GetParent(s->hwnd);
    if (!parent)
        return;
    WPARAM wp = MAKEWPARAM(GetDlgCtrlID(s->hwnd), code);
    if (post)
        PostMessageA(parent, WM_COMMAND, wp, reinterpret_cast<LPARAM>(s->hwnd));
    else
        SendMessageA(parent, WM_COMMAND, wp, reinterpret_cast<LPARAM>(s->hwnd));
}

// Ticks exactly the items named in the text ("a,b," or "a,b").
void SyncChecks(ComboState* s)
{
    std::vector<std::string> parts;
    std::string cur;
    for (const char* p = s->text; *p; ++p) {
        if (*p == ',') {
            parts.push_back(cur);
            cur.clear();
        } else {
            cur += *p;
        }
    }
    if (!cur.empty())
        parts.push_back(cur);
    for (size_t i = 0; i < s->items.size(); ++i) {
        bool on = false;
        if (!s->items[i].empty())
            for (const std::string& part : parts)
                if (part == s->items[i]) {
                    on = true;
                    break;
                }
        s->checks[i] = on ? 1 : 0;
    }
}

// The ticked items in list order, each followed by ",", as long as they fit.
std::string CheckedText(const ComboState* s)
{
    std::string out;
    for (size_t i = 0; i < s->items.size(); ++i) {
        if (!s->checks[i] || s->items[i].empty())
            continue;
        if (out.size() + s->items[i].size() + 1 > ZTCB_MAX_TEXT)
            break;
        out += s->items[i];
        out += ',';
    }
    return out;
}

void RepaintList(const ComboState* s)
{
    if (ListOpen(s))
        InvalidateRect(g_list, nullptr, FALSE);
}

// Stores a text as the box's own (WM_SETTEXT and the list's choices).
void StoreText(ComboState* s, const char* text, bool syncChecks)
{
    char buf[ZTCB_MAX_TEXT + 1];
    Gbk_CopyCut(buf, sizeof buf, text);
    bool changed = strcmp(buf, s->text) != 0;
    strcpy(s->text, buf);
    if (!buf[0])
        std::fill(s->checks.begin(), s->checks.end(), 0);
    else if (syncChecks && Has(s, ZTCBS_MULTISEL))
        SyncChecks(s);
    if (s->hEdit) {
        s->lock = true;
        SetWindowTextA(s->hEdit, buf);
        if (GetFocus() == s->hEdit) {
            int len = static_cast<int>(strlen(buf));
            SendMessageA(s->hEdit, EM_SETSEL, len, len);
        }
        s->lock = false;
    }
    if (!s->hEdit || GetFocus() != s->hEdit)
        InvalidateRect(s->hwnd, nullptr, FALSE);
    RepaintList(s);
    if (changed)
        Notify(s, ZTCBN_CHANGE, false);
}

// ---- The shared list window -----------------------------------------------------

int ListRows()
{
    RECT rc;
    GetClientRect(g_list, &rc);
    int rows = rc.bottom / kItemHeight;
    return rows > 0 ? rows : 1;
}

int ListHeight(const ComboState* s)
{
    if (Has(s, ZTCBS_TALLLIST))
        return kTallListHeight;
    int n = Count(s) < kMaxVisibleItems ? Count(s) : kMaxVisibleItems;
    return n * kItemHeight + 5;
}

void UpdateScroll(ComboState* s)
{
    int rows = ListRows();
    int count = Count(s);
    int maxFirst = count > rows ? count - rows : 0;
    if (s->first > maxFirst)
        s->first = maxFirst;
    if (s->first < 0)
        s->first = 0;
    bool need = count > rows;
    FlatSB_ShowScrollBar(g_list, SB_VERT, need);
    if (need) {
        SCROLLINFO si = {sizeof(si), SIF_RANGE | SIF_PAGE | SIF_POS, 0, count - 1, static_cast<UINT>(rows), s->first, 0};
        FlatSB_SetScrollInfo(g_list, SB_VERT, &si, TRUE);
    }
}

void ScrollTo(ComboState* s, int first)
{
    s->first = first;
    UpdateScroll(s);
    InvalidateRect(g_list, nullptr, FALSE);
}

void EnsureVisible(ComboState* s, int item)
{
    if (item < 0)
        return;
    int rows = ListRows();
    if (item < s->first)
        ScrollTo(s, item);
    else if (item >= s->first + rows)
        ScrollTo(s, item - rows + 1);
}

// Places the list under the box, or over it when it would pass the bottom of
// the screen (never above the top).
void PlaceList(ComboState* s)
{
    RECT rc;
    GetWindowRect(s->hwnd, &rc);
    int w = rc.right - rc.left;
    int h = ListHeight(s);
    MONITORINFO mi;
    mi.cbSize = sizeof(mi);
    if (!GetMonitorInfoA(MonitorFromWindow(s->hwnd, MONITOR_DEFAULTTONEAREST), &mi))
        SetRect(&mi.rcMonitor, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    int top = rc.bottom + 1;
    if (top + h > mi.rcMonitor.bottom) {
        top = rc.top - 1 - h;
        if (top < mi.rcMonitor.top)
            top = mi.rcMonitor.top;
    }
    SetWindowPos(g_list, HWND_TOPMOST, rc.left, top, w, h, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    UpdateScroll(s);
    InvalidateRect(g_list, nullptr, FALSE);
}

int ListItemAt(const ComboState* s, int y);
void BeginGuard();
bool g_pressInList = false;     // the hook saw the button go down on the open list

LRESULT CALLBACK ListHookProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && g_listOwner) {
        POINT pt = reinterpret_cast<MSLLHOOKSTRUCT*>(lParam)->pt;
        if (wParam == WM_LBUTTONDOWN || wParam == WM_RBUTTONDOWN || wParam == WM_MBUTTONDOWN) {
            g_pressInList = wParam == WM_LBUTTONDOWN && PointInWindow(g_list, pt);
            // A click on the box itself opens and closes the list by itself.
            if (!PointInWindow(g_list, pt) && !PointInWindow(g_listOwner, pt))
                PostMessageA(g_list, ZCM_CLOSELIST, 0, 0);
        } else if (wParam == WM_LBUTTONUP && g_pressInList) {
            // This release will choose an item and close the list: the
            // guard against the second click of a double click starts now,
            // before any later press is on its way.
            g_pressInList = false;
            const ComboState* s = State(g_listOwner);
            POINT cp = pt;
            ScreenToClient(g_list, &cp);
            RECT rc;
            GetClientRect(g_list, &rc);
            if (s && !Has(s, ZTCBS_MULTISEL) && PtInRect(&rc, cp) && ListItemAt(s, cp.y) >= 0)
                BeginGuard();
        }
    }
    return CallNextHookEx(g_listHook, code, wParam, lParam);
}

LRESULT CALLBACK GuardHookProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION) {
        POINT pt = reinterpret_cast<MSLLHOOKSTRUCT*>(lParam)->pt;
        if ((wParam == WM_LBUTTONDOWN || wParam == WM_LBUTTONDBLCLK) && PtInRect(&g_guardRect, pt) &&
            GetTickCount() - g_guardTick <= GetDoubleClickTime()) {
            g_guardDropping = true;
            return 1;
        }
        if (wParam == WM_LBUTTONUP && g_guardDropping) {
            g_guardDropping = false;
            return 1;
        }
    }
    return CallNextHookEx(g_guardHook, code, wParam, lParam);
}

void EndGuard()
{
    if (g_list)
        KillTimer(g_list, kGuardTimer);
    if (g_guardHook) {
        UnhookWindowsHookEx(g_guardHook);
        g_guardHook = nullptr;
    }
    g_guardDropping = false;
}

// Called as a click in the open list is about to choose an item and close it.
void BeginGuard()
{
    GetWindowRect(g_list, &g_guardRect);
    g_guardTick = GetTickCount();
    g_guardDropping = false;
    if (!g_guardHook)
        g_guardHook = SetWindowsHookExA(WH_MOUSE_LL, GuardHookProc, GetModuleHandleA(nullptr), 0);
    SetTimer(g_list, kGuardTimer, GetDoubleClickTime() + 100, nullptr);
}

void HideEdit(ComboState* s)
{
    if (!s->hEdit || !s->editShown)
        return;
    s->editShown = false;
    if (GetFocus() == s->hEdit)
        SetFocus(s->hwnd);
    ShowWindow(s->hEdit, SW_HIDE);
    InvalidateRect(s->hwnd, nullptr, FALSE);
}

void CloseList(ComboState* s)
{
    if (!ListOpen(s))
        return;
    g_listOwner = nullptr;
    g_listPressed = false;
    ShowWindow(g_list, SW_HIDE);
    if (g_listHook) {
        UnhookWindowsHookEx(g_listHook);
        g_listHook = nullptr;
    }
    if (s->openedFromEdit)
        HideEdit(s);
    s->openedFromEdit = false;
    InvalidateRect(s->hwnd, nullptr, FALSE);
}

int FindItem(const ComboState* s, const char* text)
{
    for (size_t i = 0; i < s->items.size(); ++i)
        if (s->items[i] == text)
            return static_cast<int>(i);
    return -1;
}

void OpenList(ComboState* s)
{
    if (ListOpen(s) || !g_list)
        return;
    EndGuard();
    if (g_listOwner)
        CloseList(State(g_listOwner));
    g_listOwner = s->hwnd;
    g_listPressed = false;
    s->openedFromEdit = s->editShown;
    if (Has(s, ZTCBS_MULTISEL) && s->text[0])
        SyncChecks(s);
    s->hot = -1;
    s->first = 0;
    PlaceList(s);
    // Start with the current item in view.
    int cur = Has(s, ZTCBS_MULTISEL) ? -1 : FindItem(s, s->text);
    if (cur >= 0)
        EnsureVisible(s, cur);
    if (!g_listHook)
        g_listHook = SetWindowsHookExA(WH_MOUSE_LL, ListHookProc, GetModuleHandleA(nullptr), 0);
    InvalidateRect(s->hwnd, nullptr, FALSE);
}

void Choose(ComboState* s, int item)
{
    if (item < 0 || item >= Count(s))
        return;
    if (!Has(s, ZTCBS_MULTISEL)) {
        std::string text = s->items[item];
        StoreText(s, text.c_str(), false);
        Notify(s, ZTCBN_CHOSEN, true);
        CloseList(s);
        return;
    }
    if (s->items[item].empty()) {
        std::fill(s->checks.begin(), s->checks.end(), 0);
        StoreText(s, "", false);
    } else {
        s->checks[item] = s->checks[item] ? 0 : 1;
        StoreText(s, CheckedText(s).c_str(), false);
    }
    RepaintList(s);
}

int ListItemAt(const ComboState* s, int y)
{
    if (y < 0)
        return -1;
    int item = s->first + y / kItemHeight;
    return item < Count(s) ? item : -1;
}

void PaintList(HWND hwnd)
{
    PaintBuffer pb;
    Buffer_Begin(hwnd, &pb);
    FillRect(pb.hdc, &pb.rc, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    ComboState* s = State(g_listOwner);
    if (s) {
        bool multi = Has(s, ZTCBS_MULTISEL);
        HGDIOBJ oldFont = SelectObject(pb.hdc, Font(s));
        SetBkMode(pb.hdc, TRANSPARENT);
        SetTextColor(pb.hdc, GetSysColor(COLOR_WINDOWTEXT));
        HDC strip = nullptr;
        HGDIOBJ oldStrip = nullptr;
        if (multi && g_checkStrip) {
            strip = CreateCompatibleDC(pb.hdc);
            oldStrip = SelectObject(strip, g_checkStrip);
        }
        for (int i = s->first, y = 0; i < Count(s) && y < pb.rc.bottom; ++i, y += kItemHeight) {
            RECT row = {0, y, pb.rc.right, y + kItemHeight};
            bool hot = i == s->hot;
            if (hot)
                Skin_DrawHighlight(pb.hdc, row);
            if (multi && strip) {
                int image = (s->checks[i] ? 1 : 0) + (hot ? 2 : 0);
                BitBlt(pb.hdc, 3, y + (kItemHeight - CHECK_IMAGE_SIZE) / 2, CHECK_IMAGE_SIZE, CHECK_IMAGE_SIZE,
                       strip, image * (CHECK_IMAGE_SIZE + 1), 0, SRCCOPY);
            }
            RECT tr = {multi ? 18 : 4, y, pb.rc.right - 4, y + kItemHeight};
            DrawTextA(pb.hdc, s->items[i].c_str(), -1, &tr,
                      DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
        }
        if (strip) {
            SelectObject(strip, oldStrip);
            DeleteDC(strip);
        }
        SelectObject(pb.hdc, oldFont);
    }
    Buffer_End(hwnd, &pb);
}

void ListScroll(ComboState* s, int code)
{
    int rows = ListRows();
    int first = s->first;
    switch (code) {
    case SB_LINEUP: first -= 1; break;
    case SB_LINEDOWN: first += 1; break;
    case SB_PAGEUP: first -= rows; break;
    case SB_PAGEDOWN: first += rows; break;
    case SB_TOP: first = 0; break;
    case SB_BOTTOM: first = Count(s); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        SCROLLINFO si = {sizeof(si), SIF_TRACKPOS, 0, 0, 0, 0, 0};
        FlatSB_GetScrollInfo(g_list, SB_VERT, &si);
        first = si.nTrackPos;
        break;
    }
    default: return;
    }
    ScrollTo(s, first);
}

void WheelList(ComboState* s, WPARAM wParam)
{
    int delta = GET_WHEEL_DELTA_WPARAM(wParam);
    ScrollTo(s, s->first - (delta / WHEEL_DELTA) * 3);
}

// The wheel over the box or its edit scrolls the list while it is open;
// false when it is closed (the wheel goes on).
bool WheelOpenList(ComboState* s, WPARAM wParam)
{
    if (!ListOpen(s))
        return false;
    WheelList(s, wParam);
    return true;
}

LRESULT CALLBACK ListProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_CREATE:
        InitializeFlatSB(hwnd);
        g_checkStrip = CheckStrip_Create();
        return 0;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        PaintList(hwnd);
        return 0;
    case WM_MOUSEMOVE: {
        ComboState* s = State(g_listOwner);
        if (s) {
            int item = ListItemAt(s, static_cast<short>(HIWORD(lParam)));
            if (item != s->hot) {
                s->hot = item;
                InvalidateRect(hwnd, nullptr, FALSE);
            }
        }
        return 0;
    }
    case WM_LBUTTONDOWN:
        g_listPressed = true;
        return 0;
    case WM_LBUTTONUP: {
        // Chosen on release, so the release does not fall through to the
        // window under the closed list.
        ComboState* s = State(g_listOwner);
        if (s && g_listPressed) {
            g_listPressed = false;
            Choose(s, ListItemAt(s, static_cast<short>(HIWORD(lParam))));
        }
        return 0;
    }
    case WM_TIMER:
        if (wParam == kGuardTimer) {
            if (g_guardDropping)
                return 0;       // the release of a dropped press is still to come
            EndGuard();
        }
        return 0;
    case WM_VSCROLL: {
        ComboState* s = State(g_listOwner);
        if (s)
            ListScroll(s, LOWORD(wParam));
        return 0;
    }
    case WM_MOUSEWHEEL: {
        ComboState* s = State(g_listOwner);
        if (s)
            WheelList(s, wParam);
        return 0;
    }
    case ZCM_CLOSELIST: {
        ComboState* s = State(g_listOwner);
        if (s)
            CloseList(s);
        return 0;
    }
    case WM_DESTROY:
        if (g_listHook) {
            UnhookWindowsHookEx(g_listHook);
            g_listHook = nullptr;
        }
        EndGuard();
        g_listOwner = nullptr;
        if (g_checkStrip) {
            DeleteObject(g_checkStrip);
            g_checkStrip = nullptr;
        }
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// ---- Hover ------------------------------------------------------------------------

LRESULT CALLBACK HoverHookProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && wParam == WM_MOUSEMOVE && g_hoverCtl && !g_leavePosted) {
        POINT pt = reinterpret_cast<MSLLHOOKSTRUCT*>(lParam)->pt;
        if (!PointInWindow(g_hoverCtl, pt)) {
            g_leavePosted = true;
            PostMessageA(g_hoverCtl, WM_MOUSELEAVE, 0, 0);
        }
    }
    return CallNextHookEx(g_hoverHook, code, wParam, lParam);
}

void EndHover(ComboState* s)
{
    s->hover = false;
    if (g_hoverCtl == s->hwnd) {
        g_hoverCtl = nullptr;
        if (g_hoverHook) {
            UnhookWindowsHookEx(g_hoverHook);
            g_hoverHook = nullptr;
        }
    }
    InvalidateRect(s->hwnd, nullptr, FALSE);
}

void BeginHover(ComboState* s)
{
    if (s->hover)
        return;
    if (g_hoverCtl && g_hoverCtl != s->hwnd) {
        ComboState* other = State(g_hoverCtl);
        if (other)
            EndHover(other);
    }
    s->hover = true;
    g_hoverCtl = s->hwnd;
    g_leavePosted = false;
    if (!g_hoverHook)
        g_hoverHook = SetWindowsHookExA(WH_MOUSE_LL, HoverHookProc, GetModuleHandleA(nullptr), 0);
    InvalidateRect(s->hwnd, nullptr, FALSE);
}

// ---- Focus, clicks and keys -----------------------------------------------------------

void GainFocus(ComboState* s)
{
    if (s->focus)
        return;
    s->focus = true;
    InvalidateRect(s->hwnd, nullptr, FALSE);
    Notify(s, ZTCBN_SETFOCUS, false);
}

void LoseFocus(ComboState* s)
{
    CloseList(s);
    HideEdit(s);
    if (!s->focus)
        return;
    s->focus = false;
    Notify(s, ZTCBN_KILLFOCUS, false);
    InvalidateRect(s->hwnd, nullptr, FALSE);
}

void PlaceEdit(ComboState* s)
{
    RECT rc;
    GetClientRect(s->hwnd, &rc);
    int right = Has(s, ZTCBS_NOBUTTON) ? 3 : 3 + kEditButtonRoom;
    SetWindowPos(s->hEdit, HWND_TOP, 3, 2, rc.right - 3 - right, rc.bottom - 4, SWP_NOACTIVATE);
}

void ShowEdit(ComboState* s)
{
    s->lock = true;
    SetWindowTextA(s->hEdit, s->text);
    s->lock = false;
    PlaceEdit(s);
    s->editShown = true;
    ShowWindow(s->hEdit, SW_SHOW);
    SetFocus(s->hEdit);
    InvalidateRect(s->hwnd, nullptr, FALSE);
}

void Click(ComboState* s)
{
    HWND f = GetFocus();
    if (f != s->hwnd && (!s->hEdit || f != s->hEdit))
        SetFocus(s->hwnd);
    if (s->editShown) {
        // The user is typing: only the button area is left to click, and it
        // closes the list.
        CloseList(s);
        return;
    }
    if (s->hEdit)
        ShowEdit(s);
    if (ListOpen(s))
        CloseList(s);
    else
        OpenList(s);
}

// Enter: the hot item becomes the text and the list closes.  The parent
// hears of it once, as a text change (0x300), as a standard combo box sends
// one notification for a choice made with the keys; a click in the list
// posts "chosen" as well.
void EnterKey(ComboState* s)
{
    if (s->hot >= 0 && s->hot < Count(s)) {
        std::string text = s->items[s->hot];
        if (Has(s, ZTCBS_MULTISEL) && !text.empty())
            text += ',';
        if (s->hEdit && s->editShown) {
            SetWindowTextA(s->hEdit, text.c_str());   // typed: the box follows the edit
            int len = static_cast<int>(text.size());
            SendMessageA(s->hEdit, EM_SETSEL, len, len);
        } else {
            StoreText(s, text.c_str(), true);
        }
    }
    s->hot = -1;
    CloseList(s);
}

// Tab (Shift+Tab) on an open list: the hot item, if the keys moved to one,
// is chosen as with Enter, the list closes and the focus moves on to the
// next (previous) tab stop.  A closed list leaves Tab to the dialog.
void TabKey(ComboState* s)
{
    EnterKey(s);
    FocusNextTabStop(s->hwnd, GetKeyState(VK_SHIFT) < 0);
}

bool KeyDown(ComboState* s, WPARAM vk)
{
    switch (vk) {
    case VK_RETURN:
        EnterKey(s);
        return true;
    case VK_TAB:
        if (!ListOpen(s))
            return false;
        TabKey(s);
        return true;
    case VK_ESCAPE:
        if (ListOpen(s) && s->focus)
            CloseList(s);
        return true;
    case VK_UP:
        if (s->hot > -1) {
            --s->hot;
            EnsureVisible(s, s->hot);
            RepaintList(s);
        }
        return true;
    case VK_DOWN:
        if (s->hot < Count(s) - 1) {
            ++s->hot;
            EnsureVisible(s, s->hot);
            RepaintList(s);
        }
        return true;
    case VK_SHIFT:
    case VK_CONTROL:
    case VK_MENU:
    case VK_CAPITAL:
    case VK_LWIN:
    case VK_RWIN:
    case VK_NUMLOCK:
        return false;       // a modifier alone is no request to open the list
    default:
        Click(s);
        return true;
    }
}

// ---- The edit child -------------------------------------------------------------------

LRESULT CALLBACK EditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    ComboState* s = reinterpret_cast<ComboState*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!s)
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    WNDPROC old = s->oldEditProc;
    switch (msg) {
    case WM_KEYDOWN:
        if (wParam == VK_RETURN || wParam == VK_ESCAPE || wParam == VK_UP || wParam == VK_DOWN ||
            (wParam == VK_TAB && ListOpen(s))) {
            SendMessageA(s->hwnd, WM_KEYDOWN, wParam, lParam);
            return 0;
        }
        break;
    case WM_CHAR:
        if (wParam == '\r' || wParam == 0x1B || wParam == '\t')
            return 0;       // handled as keys; no beep
        break;
    case WM_GETDLGCODE: {
        LRESULT code = CallWindowProcA(old, hwnd, msg, wParam, lParam);
        return ListOpen(s) ? (code | DLGC_WANTALLKEYS) : code;
    }
    case WM_SETFOCUS: {
        LRESULT r = Input_CallSelectAll(old, hwnd, msg, wParam, lParam);
        GainFocus(s);
        return r;
    }
    case WM_KILLFOCUS: {
        LRESULT r = CallWindowProcA(old, hwnd, msg, wParam, lParam);
        if (reinterpret_cast<HWND>(wParam) != s->hwnd)
            LoseFocus(s);
        return r;
    }
    case WM_MOUSEMOVE:
        BeginHover(s);
        break;
    case WM_MOUSEWHEEL:
        if (WheelOpenList(s, wParam))
            return 0;
        break;
    case WM_NCDESTROY:
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        s->hEdit = nullptr;
        break;
    }
    return CallWindowProcA(old, hwnd, msg, wParam, lParam);
}

// ---- The box ----------------------------------------------------------------------------

void PaintCombo(ComboState* s)
{
    PaintBuffer pb;
    Buffer_Begin(s->hwnd, &pb);
    HDC hdc = pb.hdc;
    FillRect(hdc, &pb.rc, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    bool enabled = IsWindowEnabled(s->hwnd) != 0;
    if (enabled && (s->focus || s->hover))
        Skin_DrawHighlight(hdc, pb.rc);
    int h = pb.rc.bottom;
    bool button = enabled && !Has(s, ZTCBS_NOBUTTON) && (s->hover || s->focus || ListOpen(s));
    if (button) {
        RECT square = {pb.rc.right - h, 0, pb.rc.right, h};
        Skin_DrawDropButton(hdc, square);
    }
    if (!(s->editShown && GetFocus() == s->hEdit)) {
        HGDIOBJ oldFont = SelectObject(hdc, Font(s));
        SetBkMode(hdc, TRANSPARENT);
        SetTextColor(hdc, GetSysColor(enabled ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
        RECT tr = {s->focus ? 4 : 2, 0, pb.rc.right - 2 - (button ? h : 0), h};
        DrawTextA(hdc, s->text, -1, &tr, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
        SelectObject(hdc, oldFont);
    }
    Buffer_End(s->hwnd, &pb);
}

bool CreateCombo(HWND hwnd, const CREATESTRUCTA* cs)
{
    ComboState* s = new ComboState;
    s->hwnd = hwnd;
    s->style = static_cast<DWORD>(cs->style) &
               (ZTCBS_DROPLIST | ZTCBS_MULTISEL | ZTCBS_NOBUTTON | ZTCBS_UPPERCASE | ZTCBS_TALLLIST);
    SetWindowLongPtrA(hwnd, 0, reinterpret_cast<LONG_PTR>(s));
    if (++g_comboCount == 1 && !g_list) {
        g_list = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_STATICEDGE, ZT_CLASS_CBB_DROPDOWN, "",
                                 WS_POPUP | WS_BORDER, 0, 0, 10, 10, nullptr, nullptr, g_ctlInst, nullptr);
    }
    if (!Has(s, ZTCBS_DROPLIST)) {
        DWORD es = WS_CHILD | WS_TABSTOP | ES_AUTOHSCROLL | (Has(s, ZTCBS_UPPERCASE) ? ES_UPPERCASE : 0);
        s->hEdit = CreateWindowExA(0, "EDIT", "", es, 0, 0, 0, 0, hwnd, reinterpret_cast<HMENU>(1), g_ctlInst, nullptr);
        if (s->hEdit) {
            SendMessageA(s->hEdit, WM_SETFONT, reinterpret_cast<WPARAM>(Font(s)), FALSE);
            SetWindowLongPtrA(s->hEdit, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(s));
            s->oldEditProc = reinterpret_cast<WNDPROC>(
                SetWindowLongPtrA(s->hEdit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EditProc)));
        }
    }
    if (cs->lpszName && !IS_INTRESOURCE(cs->lpszName))
        Gbk_CopyCut(s->text, sizeof s->text, cs->lpszName);
    if (s->hEdit) {
        s->lock = true;
        SetWindowTextA(s->hEdit, s->text);
        s->lock = false;
    }
    return true;
}

void DestroyCombo(HWND hwnd)
{
    ComboState* s = State(hwnd);
    if (!s)
        return;
    CloseList(s);
    if (g_hoverCtl == hwnd)
        EndHover(s);
}

void FreeCombo(HWND hwnd)
{
    ComboState* s = State(hwnd);
    SetWindowLongPtrA(hwnd, 0, 0);
    delete s;
    if (--g_comboCount == 0 && g_list) {
        HWND list = g_list;
        g_list = nullptr;
        DestroyWindow(list);
    }
}

LRESULT InsertItem(ComboState* s, WPARAM index, const char* text)
{
    if (Count(s) >= ZTCB_MAX_ITEMS)
        return CB_ERRSPACE;
    size_t at = index < s->items.size() ? index : s->items.size();
    s->items.insert(s->items.begin() + at, std::string(text ? text : ""));
    s->checks.insert(s->checks.begin() + at, 0);
    if (ListOpen(s)) {
        if (s->hot >= static_cast<int>(at))
            ++s->hot;
        PlaceList(s);
    }
    return static_cast<LRESULT>(at);
}

LRESULT CALLBACK ComboProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_CREATE)
        return CreateCombo(hwnd, reinterpret_cast<CREATESTRUCTA*>(lParam)) ? 0 : -1;
    ComboState* s = State(hwnd);
    if (!s)
        return DefWindowProcA(hwnd, msg, wParam, lParam);

    switch (msg) {
    case WM_DESTROY:
        DestroyCombo(hwnd);
        return 0;
    case WM_NCDESTROY:
        FreeCombo(hwnd);
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        PaintCombo(s);
        return 0;
    case WM_SIZE:
        if (s->editShown)
            PlaceEdit(s);
        if (ListOpen(s))
            PlaceList(s);
        InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
    case WM_ENABLE:
        if (!wParam) {
            CloseList(s);
            HideEdit(s);
        }
        InvalidateRect(hwnd, nullptr, FALSE);
        return 0;

    case WM_SETTEXT:
        StoreText(s, reinterpret_cast<const char*>(lParam), true);
        return TRUE;
    case WM_GETTEXT: {
        if (wParam == 0 || !lParam)
            return 0;
        char* buf = reinterpret_cast<char*>(lParam);
        if (s->hEdit)
            return GetWindowTextA(s->hEdit, buf, static_cast<int>(wParam));
        Gbk_CopyCut(buf, wParam, s->text);
        return static_cast<LRESULT>(strlen(buf));
    }
    case WM_GETTEXTLENGTH:
        return s->hEdit ? GetWindowTextLengthA(s->hEdit) : static_cast<LRESULT>(strlen(s->text));
    case WM_SETFONT:
        s->font = reinterpret_cast<HFONT>(wParam);
        if (s->hEdit)
            SendMessageA(s->hEdit, WM_SETFONT, wParam, lParam);
        if (LOWORD(lParam))
            InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(s->font);

    case CB_ADDSTRING:
        return InsertItem(s, static_cast<WPARAM>(-1), reinterpret_cast<const char*>(lParam));
    case CB_INSERTSTRING:
        return InsertItem(s, wParam, reinterpret_cast<const char*>(lParam));
    case CB_RESETCONTENT:
        s->items.clear();
        s->checks.clear();
        s->hot = -1;
        s->first = 0;
        if (ListOpen(s))
            PlaceList(s);
        return CB_OKAY;
    case CB_SETCURSEL:
        if (wParam >= s->items.size())
            return CB_ERR;
        {
            std::string text = s->items[wParam];
            StoreText(s, text.c_str(), true);
        }
        Notify(s, ZTCBN_CHOSEN, true);
        return static_cast<LRESULT>(wParam);
    case CB_GETCURSEL: {
        char buf[ZTCB_MAX_TEXT + 1];
        if (s->hEdit)
            GetWindowTextA(s->hEdit, buf, sizeof(buf));
        else
            strcpy(buf, s->text);
        int i = FindItem(s, buf);
        return i >= 0 ? i : CB_ERR;
    }
    case CB_GETCOUNT:
        return Count(s);
    case CB_GETLBTEXTLEN:
        return wParam < s->items.size() ? static_cast<LRESULT>(s->items[wParam].size()) : CB_ERR;
    case CB_GETLBTEXT:
        if (wParam >= s->items.size() || !lParam)
            return CB_ERR;
        strcpy(reinterpret_cast<char*>(lParam), s->items[wParam].c_str());
        return static_cast<LRESULT>(s->items[wParam].size());
    case CB_LIMITTEXT:
        if (s->hEdit)
            SendMessageA(s->hEdit, EM_LIMITTEXT, wParam ? wParam : ZTCB_MAX_TEXT, 0);
        return TRUE;
    case CB_SHOWDROPDOWN:
        if (wParam)
            OpenList(s);
        else
            CloseList(s);
        return TRUE;
    case CB_GETDROPPEDSTATE:
        return ListOpen(s) ? TRUE : FALSE;

    case WM_COMMAND:
        if (reinterpret_cast<HWND>(lParam) == s->hEdit && s->hEdit && HIWORD(wParam) == EN_CHANGE && !s->lock) {
            // Typed into the edit child: the box's text follows it.
            char buf[ZTCB_MAX_TEXT + 1];
            GetWindowTextA(s->hEdit, buf, sizeof(buf));
            if (strcmp(buf, s->text) != 0) {
                strcpy(s->text, buf);
                if (!buf[0])
                    std::fill(s->checks.begin(), s->checks.end(), 0);
                else if (Has(s, ZTCBS_MULTISEL))
                    SyncChecks(s);
                RepaintList(s);
                Notify(s, ZTCBN_CHANGE, false);
            }
        }
        return 0;

    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTCHARS | (ListOpen(s) ? DLGC_WANTALLKEYS : 0);
    case WM_SETFOCUS:
        GainFocus(s);
        return 0;
    case WM_KILLFOCUS:
        if (s->hEdit && reinterpret_cast<HWND>(wParam) == s->hEdit)
            return 0;
        LoseFocus(s);
        return 0;
    case WM_MOUSEMOVE:
        BeginHover(s);
        return 0;
    case WM_MOUSELEAVE:
        EndHover(s);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        Click(s);
        return 0;
    case WM_MOUSEWHEEL:
        if (WheelOpenList(s, wParam))
            return 0;
        break;
    case WM_KEYDOWN:
        if (KeyDown(s, wParam))
            return 0;
        break;
    case WM_CHAR:
        // A key that opened the editable box goes on into its edit child.
        if (s->hEdit && s->editShown && (wParam >= 0x20 || wParam == '\b')) {
            SendMessageA(s->hEdit, WM_CHAR, wParam, lParam);
            return 0;
        }
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

BOOL Register(const WNDCLASSEXA& wc)
{
    return RegisterClassExA(&wc) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

BOOL RegisterComboClasses(HINSTANCE hInst)
{
    WNDCLASSEXA wc;
    memset(&wc, 0, sizeof(wc));
    wc.cbSize = sizeof(wc);
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = ComboProc;
    wc.cbWndExtra = sizeof(LONG_PTR);
    wc.hInstance = hInst;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = ZT_CLASS_COMBOBOX;
    BOOL ok = Register(wc);

    wc.style = CS_SAVEBITS;
    wc.lpfnWndProc = ListProc;
    wc.cbWndExtra = 0;
    wc.lpszClassName = ZT_CLASS_CBB_DROPDOWN;
    return Register(wc) && ok;
}

HWND InputControls_DropList()
{
    return g_list;
}
