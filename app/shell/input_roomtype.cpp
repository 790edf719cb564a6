// Room-type fields: edit controls holding "rooms/halls/bathrooms" that are
// filled from the one shared picker "HouseType" (three lists 0 to 10).
#include "app/shell/input_controls_internal.h"
#include <cstdio>
#include <cstdlib>
#include <cstring>

// The field never keeps the focus: it goes on to the next tab stop in the
// direction the user is moving (backwards while Shift is held), or back to
// where it came from when the dialog has no other stop.
static void PassFocusOn(HWND hField, HWND hPrev)
{
    HWND root = TabRoot(hField);
    BOOL back = GetKeyState(VK_SHIFT) < 0;
    HWND next = root ? GetNextDlgTabItem(root, hField, back) : nullptr;
    if (!next || next == hField)
        next = hPrev;
    if (next && next != hField && IsWindow(next))
        SetFocus(next);
}

namespace {

const char kProcProp[] = "ZT_RoomType_Proc";
const int kPickerWidth = 110, kPickerHeight = 100;
const int kListTop[3] = {5, 30, 60};
const char* const kLabels[3] = {"房", "厅", "卫"};
const int kMaxCount = 10;

const char kListProcProp[] = "ZT_RoomType_ListProc";
const DWORD kTenWithin = 1500;   // "1" then "0" typed within this many ms: 10

HWND g_picker = nullptr;
HWND g_pickerTarget = nullptr;   // the field being edited
char g_before[20] = "";          // its text when the picker opened (Esc puts it back)
int g_lastDigit[3] = {-1, -1, -1};
DWORD g_lastDigitTime[3] = {0, 0, 0};

int PartValue(const char* p)
{
    long v = strtol(p, nullptr, 10);
    if (v < 0)
        v = 0;
    if (v > kMaxCount)
        v = kMaxCount;
    return static_cast<int>(v);
}

// "3/2/1" -> 3, 2, 1; a missing part is 0.
void ParseRoomType(const char* text, int out[3])
{
    out[0] = PartValue(text);
    const char* s1 = strchr(text, '/');
    out[1] = s1 ? PartValue(s1 + 1) : 0;
    const char* s2 = s1 ? strchr(s1 + 1, '/') : nullptr;
    out[2] = s2 ? PartValue(s2 + 1) : 0;
}

void WriteBack()
{
    if (!g_picker || !g_pickerTarget || !IsWindow(g_pickerTarget))
        return;
    char text[48];
    int n = 0;
    for (int i = 0; i < 3; ++i) {
        LRESULT sel = SendDlgItemMessageA(g_picker, i + 1, CB_GETCURSEL, 0, 0);
        int v = sel == CB_ERR ? 0 : static_cast<int>(sel);
        n += snprintf(text + n, sizeof(text) - n, i == 0 ? "%d" : "/%d", v);
    }
    SetWindowTextA(g_pickerTarget, text);
}

void ShowPicker(HWND field)
{
    g_pickerTarget = field;
    char text[20];
    GetWindowTextA(field, text, sizeof(text));   // at most 19 characters
    strcpy(g_before, text);
    for (int& d : g_lastDigit)
        d = -1;
    int parts[3];
    ParseRoomType(text, parts);
    for (int i = 0; i < 3; ++i)
        SendDlgItemMessageA(g_picker, i + 1, CB_SETCURSEL, parts[i], 0);

    RECT rf;
    GetWindowRect(field, &rf);
    int x = rf.left, y = rf.bottom + 1;
    MONITORINFO mi;
    mi.cbSize = sizeof(mi);
    if (GetMonitorInfoA(MonitorFromWindow(field, MONITOR_DEFAULTTONEAREST), &mi) &&
        y + kPickerHeight > mi.rcMonitor.bottom) {
        y = rf.top - 1 - kPickerHeight;
        if (y < mi.rcMonitor.top)
            y = mi.rcMonitor.top;
    }
    HWND owner = GetAncestor(field, GA_ROOT);
    if (owner && reinterpret_cast<HWND>(GetWindowLongPtrA(g_picker, GWLP_HWNDPARENT)) != owner)
        SetWindowLongPtrA(g_picker, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
    SetWindowPos(g_picker, HWND_TOP, x, y, kPickerWidth, kPickerHeight, SWP_SHOWWINDOW);
    SetForegroundWindow(g_picker);
    SetFocus(GetDlgItem(g_picker, 1));
}

// Leaves the picker for the field's window: the focus goes to the tab stop
// after the field (before it with back), or, with stay, back to where it
// was when the picker opened.
void LeavePicker(bool back, bool stay)
{
    HWND field = g_pickerTarget;
    if (!g_picker || !field || !IsWindow(field))
        return;
    // Activating the window hides the picker (it hides on deactivation) and
    // gives the window back its own focus.
    HWND top = GetAncestor(field, GA_ROOT);
    if (top)
        SetForegroundWindow(top);
    if (IsWindowVisible(g_picker))
        ShowWindow(g_picker, SW_HIDE);
    g_pickerTarget = nullptr;
    if (!stay)
        FocusNextTabStop(field, back);
}

// Tab and Shift+Tab (and "/", as in "3/2/1") move between the three lists,
// and out of the picker past the first or the last.
void TabFrom(int index, bool back)
{
    int to = index + (back ? -1 : 1);
    if (to < 0 || to > 2) {
        LeavePicker(back, false);
        return;
    }
    SetFocus(GetDlgItem(g_picker, to + 1));
}

// A digit typed into a list chooses that count; "1" and "0" typed one after
// the other choose 10.
void TypeDigit(HWND list, int index, int digit)
{
    DWORD now = GetTickCount();
    int value = digit;
    if (digit == 0 && g_lastDigit[index] == 1 && now - g_lastDigitTime[index] <= kTenWithin)
        value = kMaxCount;
    g_lastDigit[index] = value == kMaxCount ? -1 : digit;
    g_lastDigitTime[index] = now;
    if (SendMessageA(list, CB_GETCURSEL, 0, 0) != value) {
        SendMessageA(list, CB_SETCURSEL, value, 0);
        WriteBack();
    }
}

LRESULT CALLBACK PickerListProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    WNDPROC old = reinterpret_cast<WNDPROC>(GetPropA(hwnd, kListProcProp));
    if (!old)
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    int index = GetDlgCtrlID(hwnd) - 1;
    bool dropped = SendMessageA(hwnd, CB_GETDROPPEDSTATE, 0, 0) != 0;
    switch (msg) {
    case WM_KEYDOWN:
        if (wParam == VK_TAB) {
            if (dropped)
                SendMessageA(hwnd, CB_SHOWDROPDOWN, FALSE, 0);
            TabFrom(index, GetKeyState(VK_SHIFT) < 0);
            return 0;
        }
        if (!dropped && wParam == VK_RETURN) {
            LeavePicker(false, false);
            return 0;
        }
        if (!dropped && wParam == VK_ESCAPE) {
            if (g_pickerTarget && IsWindow(g_pickerTarget))
                SetWindowTextA(g_pickerTarget, g_before);
            LeavePicker(false, true);
            return 0;
        }
        break;
    case WM_CHAR:
        if (wParam >= '0' && wParam <= '9') {
            TypeDigit(hwnd, index, static_cast<int>(wParam - '0'));
            return 0;
        }
        if (wParam == '/') {
            TabFrom(index, false);
            return 0;
        }
        if (wParam == '\t' || (!dropped && (wParam == '\r' || wParam == 0x1B)))
            return 0;
        break;
    case WM_NCDESTROY:
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
        RemovePropA(hwnd, kListProcProp);
        break;
    }
    return CallWindowProcA(old, hwnd, msg, wParam, lParam);
}

void PaintPicker(HWND hwnd)
{
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hwnd, &ps);
    RECT rc;
    GetClientRect(hwnd, &rc);
    HBRUSH blue = CreateSolidBrush(RGB(0, 84, 227));
    for (int i = 0; i < 3; ++i) {
        FrameRect(hdc, &rc, blue);
        InflateRect(&rc, -1, -1);
    }
    DeleteObject(blue);
    EndPaint(hwnd, &ps);
}

LRESULT CALLBACK PickerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_CREATE: {
        HGDIOBJ font = GetStockObject(DEFAULT_GUI_FONT);
        for (int i = 0; i < 3; ++i) {
            HWND list = CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWNLIST,
                                        8, kListTop[i], 80, 240, hwnd,
                                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(i + 1)), g_ctlInst, nullptr);
            SendMessageA(list, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
            SetPropA(list, kListProcProp, reinterpret_cast<HANDLE>(GetWindowLongPtrA(list, GWLP_WNDPROC)));
            SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PickerListProc));
            for (int v = 0; v <= kMaxCount; ++v) {
                char num[8];
                snprintf(num, sizeof(num), "%d", v);
                SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(num));
            }
            HWND label = CreateWindowExA(0, "STATIC", kLabels[i], WS_CHILD | WS_VISIBLE | SS_LEFT,
                                         91, kListTop[i] + 3, 16, 16, hwnd,
                                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(11 + i)), g_ctlInst, nullptr);
            SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        }
        return 0;
    }
    case WM_ROOMTYPE_SHOW:
        if (lParam && IsWindow(reinterpret_cast<HWND>(lParam)))
            ShowPicker(reinterpret_cast<HWND>(lParam));
        return 0;
    case WM_COMMAND:
        if (HIWORD(wParam) == CBN_SELCHANGE && LOWORD(wParam) >= 1 && LOWORD(wParam) <= 3)
            WriteBack();
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            ShowWindow(hwnd, SW_HIDE);
            g_pickerTarget = nullptr;
        }
        return 0;
    case WM_CTLCOLORSTATIC:
        SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
        return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    case WM_PAINT:
        PaintPicker(hwnd);
        return 0;
    case WM_DESTROY:
        if (g_picker == hwnd) {
            g_picker = nullptr;
            g_pickerTarget = nullptr;
        }
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK RoomTypeFieldProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    WNDPROC old = reinterpret_cast<WNDPROC>(GetPropA(hwnd, kProcProp));
    if (!old)
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    switch (msg) {
    case WM_SETFOCUS:
        // The field is filled from the picker only.
        PassFocusOn(hwnd, reinterpret_cast<HWND>(wParam));
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        return 0;
    case WM_LBUTTONUP:
        if (!g_picker)
            g_picker = CreateWindowExA(WS_EX_TOOLWINDOW, ZT_CLASS_ROOMTYPE, "房型选择", WS_POPUP,
                                       0, 0, kPickerWidth, kPickerHeight, GetAncestor(hwnd, GA_ROOT), nullptr,
                                       g_ctlInst, nullptr);
        if (g_picker)
            SendMessageA(g_picker, WM_ROOMTYPE_SHOW, 0, reinterpret_cast<LPARAM>(hwnd));
        return 0;
    case WM_NCDESTROY:
        Input_Unsubclass(hwnd, kProcProp, old);
        if (g_pickerTarget == hwnd) {
            g_pickerTarget = nullptr;
            if (g_picker)
                ShowWindow(g_picker, SW_HIDE);
        }
        return CallWindowProcA(old, hwnd, msg, wParam, lParam);
    }
    return CallWindowProcA(old, hwnd, msg, wParam, lParam);
}

}  // namespace

BOOL RoomTypeField_Attach(HWND hEdit)
{
    if (!hEdit || !IsWindow(hEdit))
        return FALSE;
    // Tab and Shift+Tab pass over it.
    SetWindowLongPtrA(hEdit, GWL_STYLE, GetWindowLongPtrA(hEdit, GWL_STYLE) & ~static_cast<LONG_PTR>(WS_TABSTOP));
    return Input_Subclass(hEdit, kProcProp, RoomTypeFieldProc) != 0;
}

HWND InputControls_RoomTypePicker()
{
    return g_picker;
}

BOOL RegisterRoomTypeClasses(HINSTANCE hInst)
{
    return Input_RegisterClass(hInst, ZT_CLASS_ROOMTYPE, PickerProc, CS_HREDRAW | CS_VREDRAW, IDC_ARROW);
}
