// Date fields: edit controls that take "YYYY-MM-DD" (the dashes come by
// themselves while digits are typed) and open the one shared month-calendar
// pop-up "calendar" when clicked.
#include "app/shell/input_controls_internal.h"
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const char kProcProp[] = "ZT_DateField_Proc";
const int kCalendarId = 1;
const UINT ZCM_HIDECALENDAR = WM_USER + 101;   // posted by the hook

HWND g_calendar = nullptr;
HWND g_calTarget = nullptr;     // the field the calendar serves
HHOOK g_calHook = nullptr;
int g_dateFields = 0;
HBRUSH g_calBrush = nullptr;

HWND MonthCal()
{
    return g_calendar ? GetDlgItem(g_calendar, kCalendarId) : nullptr;
}

bool InsideCalendar(HWND w)
{
    return w && g_calendar && (w == g_calendar || IsChild(g_calendar, w));
}

void HideCalendar()
{
    if (g_calHook) {
        UnhookWindowsHookEx(g_calHook);
        g_calHook = nullptr;
    }
    if (g_calendar && IsWindowVisible(g_calendar)) {
        // Keep the keyboard in the field the calendar was serving.
        if (g_calTarget && IsWindow(g_calTarget) && InsideCalendar(GetFocus()))
            SetFocus(g_calTarget);
        ShowWindow(g_calendar, SW_HIDE);
    }
    g_calTarget = nullptr;
}

LRESULT CALLBACK CalendarHookProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && g_calendar && (wParam == WM_LBUTTONDOWN || wParam == WM_RBUTTONDOWN)) {
        POINT pt = reinterpret_cast<MSLLHOOKSTRUCT*>(lParam)->pt;
        HWND under = WindowFromPoint(pt);
        char cls[16] = "";
        if (under)
            GetClassNameA(under, cls, sizeof(cls));
        // The month calendar's own menus (month and year choice) are not
        // outside it; neither is the field, whose release shows it again.
        bool inside = PointInWindow(g_calendar, pt) || PointInWindow(g_calTarget, pt) ||
                      strcmp(cls, "#32768") == 0;
        if (!inside)
            PostMessageA(g_calendar, ZCM_HIDECALENDAR, 0, 0);
    }
    return CallNextHookEx(g_calHook, code, wParam, lParam);
}

// Reads "Y-M-D" (each part decimal).  Returns false when the text holds no "-".
bool ParseDate(const char* text, SYSTEMTIME* st)
{
    const char* d1 = strchr(text, '-');
    if (!d1)
        return false;
    const char* d2 = strchr(d1 + 1, '-');
    memset(st, 0, sizeof(*st));
    st->wYear = static_cast<WORD>(strtol(text, nullptr, 10));
    st->wMonth = static_cast<WORD>(strtol(d1 + 1, nullptr, 10));
    st->wDay = static_cast<WORD>(d2 ? strtol(d2 + 1, nullptr, 10) : 0);
    return true;
}

void CreateCalendar(HWND field)
{
    HWND owner = GetAncestor(field, GA_ROOT);
    g_calendar = CreateWindowExA(WS_EX_TOPMOST, ZT_CLASS_CALENDAR, "日期选择器", WS_POPUP | WS_BORDER,
                                 0, 0, 10, 10, owner, nullptr, g_ctlInst, nullptr);
}

void ShowCalendar(HWND field)
{
    if (!g_calendar)
        CreateCalendar(field);
    if (!g_calendar)
        return;
    HWND owner = GetAncestor(field, GA_ROOT);
    if (owner && owner != g_calendar &&
        reinterpret_cast<HWND>(GetWindowLongPtrA(g_calendar, GWLP_HWNDPARENT)) != owner)
        SetWindowLongPtrA(g_calendar, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
    g_calTarget = field;
    HWND mc = MonthCal();

    RECT need = {0, 0, 0, 0};
    SendMessageA(mc, MCM_GETMINREQRECT, 0, reinterpret_cast<LPARAM>(&need));
    int cw = need.right - need.left, ch = need.bottom - need.top;
    SetWindowPos(mc, nullptr, 0, 0, cw, ch, SWP_NOZORDER | SWP_NOACTIVATE);
    RECT frame = {0, 0, cw, ch};
    AdjustWindowRectEx(&frame, GetWindowLongA(g_calendar, GWL_STYLE), FALSE, GetWindowLongA(g_calendar, GWL_EXSTYLE));
    int w = frame.right - frame.left, h = frame.bottom - frame.top;

    RECT rf;
    GetWindowRect(field, &rf);
    int x = rf.left, y = rf.bottom - 1;
    // Kept on the screen: over the field when there is no room below it.
    MONITORINFO mi;
    mi.cbSize = sizeof(mi);
    if (GetMonitorInfoA(MonitorFromWindow(field, MONITOR_DEFAULTTONEAREST), &mi) && y + h > mi.rcMonitor.bottom) {
        y = rf.top + 1 - h;
        if (y < mi.rcMonitor.top)
            y = mi.rcMonitor.top;
    }

    char text[32];
    GetWindowTextA(field, text, sizeof(text));
    SYSTEMTIME st;
    if (!text[0]) {
        GetSystemTime(&st);
        SendMessageA(mc, MCM_SETCURSEL, 0, reinterpret_cast<LPARAM>(&st));
    } else if (ParseDate(text, &st)) {
        SendMessageA(mc, MCM_SETCURSEL, 0, reinterpret_cast<LPARAM>(&st));
    }

    SetWindowPos(g_calendar, HWND_TOPMOST, x, y, w, h, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    if (!g_calHook)
        g_calHook = SetWindowsHookExA(WH_MOUSE_LL, CalendarHookProc, GetModuleHandleA(nullptr), 0);
}

void DateChosen(const SYSTEMTIME& st)
{
    HWND field = g_calTarget;
    if (field && IsWindow(field)) {
        char text[32];
        snprintf(text, sizeof(text), "%02d-%02d-%02d", st.wYear, st.wMonth, st.wDay);
        SetWindowTextA(field, text);
        int len = static_cast<int>(strlen(text));
        SendMessageA(field, EM_SETSEL, len, len);
    }
    HideCalendar();
}

LRESULT CALLBACK CalendarProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_CREATE: {
        HWND mc = CreateWindowExA(0, MONTHCAL_CLASSA, "", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, hwnd,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(kCalendarId)), g_ctlInst, nullptr);
        if (!mc)
            return -1;
        SendMessageA(mc, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
        return 0;
    }
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_NOTIFY: {
        NMHDR* nm = reinterpret_cast<NMHDR*>(lParam);
        if (nm->idFrom == static_cast<UINT_PTR>(kCalendarId) && nm->code == MCN_SELECT) {
            DateChosen(reinterpret_cast<NMSELCHANGE*>(lParam)->stSelStart);
            return 0;
        }
        break;
    }
    case ZCM_HIDECALENDAR:
        HideCalendar();
        return 0;
    case WM_DESTROY:
        // Also reached when the owner goes: the next click creates it again.
        if (g_calHook) {
            UnhookWindowsHookEx(g_calHook);
            g_calHook = nullptr;
        }
        if (g_calendar == hwnd) {
            g_calendar = nullptr;
            g_calTarget = nullptr;
        }
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// Appends "-" after the year and after the month, and keeps the caret at the end.
void AfterDigit(HWND hwnd)
{
    char text[32];
    int len = GetWindowTextA(hwnd, text, sizeof(text));
    if ((len == 4 || len == 7) && text[len - 1] != '-') {
        text[len++] = '-';
        text[len] = 0;
        SetWindowTextA(hwnd, text);
    }
    SendMessageA(hwnd, EM_SETSEL, len, len);
}

bool CalendarShownFor(HWND field)
{
    return g_calTarget == field && g_calendar && IsWindowVisible(g_calendar);
}

bool DigitKey(WPARAM vk)
{
    return (vk >= '0' && vk <= '9') || (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9);
}

// A dash typed right after a dash (the one the field put in by itself) is
// that same dash: "2026-11-01" typed as shown stays "2026-11-01".
bool DashAlreadyThere(HWND hwnd)
{
    DWORD start = 0, end = 0;
    SendMessageA(hwnd, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    if (start != end || start == 0)
        return false;
    char text[32];
    int len = GetWindowTextA(hwnd, text, sizeof(text));
    return static_cast<int>(start) <= len && text[start - 1] == '-';
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Reads a date pasted whole: "2026-11-01" (also with "/" or "." between the
// parts, month and day of one or two digits) or the eight digits "20261101",
// blanks around it ignored.  Writes it as "YYYY-MM-DD" into out (11 bytes).
bool PastedDate(const char* clip, char* out)
{
    std::string t(clip);
    while (!t.empty() && IsBlank(t.back()))
        t.pop_back();
    size_t lead = 0;
    while (lead < t.size() && IsBlank(t[lead]))
        ++lead;
    t.erase(0, lead);
    int parts[3] = {0, 0, 0}, digits[3] = {0, 0, 0}, n = 0;
    char sep = 0;
    for (char c : t) {
        if (c >= '0' && c <= '9') {
            if (++digits[n] > 8)
                return false;
            parts[n] = parts[n] * 10 + (c - '0');
        } else if ((c == '-' || c == '/' || c == '.') && (!sep || c == sep) && n < 2 && digits[n]) {
            sep = c;
            ++n;
        } else {
            return false;
        }
    }
    if (!sep && n == 0 && digits[0] == 8) {
        int all = parts[0];
        parts[0] = all / 10000;
        parts[1] = all / 100 % 100;
        parts[2] = all % 100;
    } else if (!(sep && n == 2 && digits[0] == 4 && digits[1] <= 2 && digits[2] >= 1 && digits[2] <= 2)) {
        return false;
    }
    snprintf(out, 11, "%04d-%02d-%02d", parts[0], parts[1], parts[2]);
    return true;
}

// A whole date pasted into the field replaces what it held, written with
// dashes; anything else is pasted as the edit control pastes it.
bool PasteDate(HWND hwnd)
{
    char clip[64] = "";
    if ((GetWindowLongA(hwnd, GWL_STYLE) & ES_READONLY) || !OpenClipboard(hwnd))
        return false;
    HANDLE h = GetClipboardData(CF_TEXT);
    const char* data = h ? static_cast<const char*>(GlobalLock(h)) : nullptr;
    if (data) {
        strncpy(clip, data, sizeof(clip) - 1);
        GlobalUnlock(h);
    }
    CloseClipboard();
    char text[16];
    if (!PastedDate(clip, text))
        return false;
    SetWindowTextA(hwnd, text);
    int len = static_cast<int>(strlen(text));
    SendMessageA(hwnd, EM_SETSEL, len, len);
    return true;
}

LRESULT CALLBACK DateFieldProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    WNDPROC old = reinterpret_cast<WNDPROC>(GetPropA(hwnd, kProcProp));
    if (!old)
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    switch (msg) {
    case WM_LBUTTONUP: {
        LRESULT r = Input_CallSelectAll(old, hwnd, msg, wParam, lParam);
        ShowCalendar(hwnd);
        return r;
    }
    case WM_CHAR: {
        if (wParam == '-' && DashAlreadyThere(hwnd))
            return 0;
        LRESULT r = CallWindowProcA(old, hwnd, msg, wParam, lParam);
        // The dash goes in as soon as the digit does, so quick typing with
        // overlapping key releases still gets it.
        if (wParam >= '0' && wParam <= '9')
            AfterDigit(hwnd);
        return r;
    }
    case WM_KEYUP: {
        LRESULT r = CallWindowProcA(old, hwnd, msg, wParam, lParam);
        if (wParam == VK_BACK || wParam == VK_DELETE) {
            SetWindowTextA(hwnd, "");
        } else if (DigitKey(wParam)) {
            AfterDigit(hwnd);
        } else {
            int len = GetWindowTextLengthA(hwnd);
            SendMessageA(hwnd, EM_SETSEL, len, len);
        }
        return r;
    }
    case WM_PASTE:
        if (PasteDate(hwnd))
            return 0;
        break;
    // Esc while the field's calendar shows closes the calendar, not the
    // dialog around the field.
    case WM_GETDLGCODE: {
        LRESULT code = CallWindowProcA(old, hwnd, msg, wParam, lParam);
        const MSG* m = reinterpret_cast<const MSG*>(lParam);
        if (m && m->message == WM_KEYDOWN && m->wParam == VK_ESCAPE && CalendarShownFor(hwnd))
            code |= DLGC_WANTMESSAGE;
        return code;
    }
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE && CalendarShownFor(hwnd)) {
            HideCalendar();
            return 0;
        }
        break;
    case WM_KILLFOCUS: {
        LRESULT r = CallWindowProcA(old, hwnd, msg, wParam, lParam);
        if (g_calTarget == hwnd && !InsideCalendar(reinterpret_cast<HWND>(wParam)))
            HideCalendar();
        return r;
    }
    case WM_NCDESTROY: {
        Input_Unsubclass(hwnd, kProcProp, old);
        if (g_calTarget == hwnd)
            HideCalendar();
        if (--g_dateFields <= 0) {
            g_dateFields = 0;
            if (g_calendar) {
                HWND cal = g_calendar;
                g_calendar = nullptr;
                DestroyWindow(cal);
            }
        }
        return CallWindowProcA(old, hwnd, msg, wParam, lParam);
    }
    }
    return CallWindowProcA(old, hwnd, msg, wParam, lParam);
}

}  // namespace

BOOL DateField_Attach(HWND hEdit)
{
    int r = Input_Subclass(hEdit, kProcProp, DateFieldProc);
    if (r != 1)
        return r != 0;      // no box, or already one
    SendMessageA(hEdit, EM_LIMITTEXT, 10, 0);
    ++g_dateFields;
    return TRUE;
}

HWND InputControls_Calendar()
{
    return g_calendar;
}

BOOL RegisterDateClasses(HINSTANCE hInst)
{
    if (!g_calBrush)
        g_calBrush = CreateSolidBrush(RGB(236, 233, 216));
    return Input_RegisterClass(hInst, ZT_CLASS_CALENDAR, CalendarProc, CS_HREDRAW | CS_VREDRAW, IDC_ARROW, g_calBrush);
}
