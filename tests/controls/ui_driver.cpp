#include "tests/controls/ui_driver.h"
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

namespace {

std::vector<HostEvent> g_events;
std::vector<HWND> g_dialogs;    // modeless dialogs whose keys the pump hands to the dialog manager

LRESULT CALLBACK HostProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_COMMAND:
        g_events.push_back({msg, LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)});
        return 0;
    case WM_SPLITTER_MOVED:
        g_events.push_back({msg, static_cast<int>(wParam), 0, reinterpret_cast<HWND>(lParam)});
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

INT_PTR CALLBACK TestDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_COMMAND:
        g_events.push_back({msg, LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)});
        return TRUE;
    case WM_NCDESTROY:
        for (size_t i = 0; i < g_dialogs.size(); ++i)
            if (g_dialogs[i] == hwnd)
                g_dialogs.erase(g_dialogs.begin() + static_cast<long>(i));
        return FALSE;
    }
    return FALSE;
}

bool ToDialog(MSG* m)
{
    for (HWND dlg : g_dialogs)
        if (IsDialogMessageA(dlg, m))
            return true;
    return false;
}

struct FindCls {
    const char* cls;
    const char* caption;
    HWND found;
};

BOOL CALLBACK FindByClass(HWND hwnd, LPARAM lp)
{
    FindCls* f = reinterpret_cast<FindCls*>(lp);
    char cls[64], text[256] = "";
    GetClassNameA(hwnd, cls, sizeof(cls));
    if (f->caption)
        GetWindowTextA(hwnd, text, sizeof(text));
    if ((!f->cls || strcmp(cls, f->cls) == 0) && (!f->caption || strcmp(text, f->caption) == 0) &&
        IsWindowVisible(hwnd)) {
        f->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

void MouseButton(DWORD flags)
{
    INPUT in;
    memset(&in, 0, sizeof(in));
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    SendInput(1, &in, sizeof(in));
    Ui_Pump(40);
}

}  // namespace

void Ui_Init()
{
    static bool done = false;
    if (!done) {
        done = true;
        ASSERT_TRUE(RegisterInputControls(GetModuleHandleA(nullptr)));
        ZT_SetMessageBoxHookLocal(TestBoxes_Hook());
        WNDCLASSEXA wc;
        memset(&wc, 0, sizeof(wc));
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = HostProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = "ZtTestHost";
        ASSERT_TRUE(RegisterClassExA(&wc));
    }
    Ui_MouseTo(5, 5);
    Ui_ClearEvents();
}

void Ui_Pump(int ms)
{
    DWORD end = GetTickCount() + ms;
    do {
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            if (ToDialog(&m))
                continue;
            TranslateMessage(&m);
            DispatchMessageA(&m);
        }
        Sleep(5);
    } while (static_cast<int>(end - GetTickCount()) > 0);
}

HWND Ui_CreateHost(int x, int y, int w, int h)
{
    HWND host = CreateWindowExA(0, "ZtTestHost", "host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, x, y, w, h,
                                nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    SetForegroundWindow(host);
    SetActiveWindow(host);
    SetFocus(host);
    Ui_Pump(60);
    return host;
}

HWND Ui_CreateDialog(int x, int y, int w, int h)
{
    // A template without controls, menu, class or caption text; sizes in
    // dialog units are replaced by the pixel size below.
    struct alignas(4) {
        DLGTEMPLATE t;
        WORD menu, cls, title;
    } tpl;
    memset(&tpl, 0, sizeof tpl);
    tpl.t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    tpl.t.cx = 100;
    tpl.t.cy = 100;
    HWND dlg = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), &tpl.t, nullptr, TestDialogProc, 0);
    if (!dlg)
        return nullptr;
    g_dialogs.push_back(dlg);
    SetWindowPos(dlg, HWND_TOP, x, y, w, h, SWP_SHOWWINDOW);
    SetForegroundWindow(dlg);
    SetActiveWindow(dlg);
    Ui_Pump(60);
    return dlg;
}

std::vector<HostEvent>& Ui_Events() { return g_events; }
void Ui_ClearEvents() { g_events.clear(); }

int Ui_CountCommand(int id, int code)
{
    int n = 0;
    for (const HostEvent& e : g_events)
        if (e.msg == WM_COMMAND && e.id == id && e.code == code)
            ++n;
    return n;
}

HWND Ui_Child(HWND parent, const char* cls, DWORD style, int x, int y, int w, int h, int id, const char* text)
{
    HWND c = CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
    SendMessageA(c, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    return c;
}

void Ui_MouseTo(int x, int y)
{
    int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    INPUT in;
    memset(&in, 0, sizeof(in));
    in.type = INPUT_MOUSE;
    in.mi.dx = (x * 65536 + w - 1) / w;
    in.mi.dy = (y * 65536 + h - 1) / h;
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &in, sizeof(in));
    Ui_Pump(40);
}

void Ui_Press(int x, int y)
{
    Ui_MouseTo(x, y);
    MouseButton(MOUSEEVENTF_LEFTDOWN);
}

void Ui_Release() { MouseButton(MOUSEEVENTF_LEFTUP); }

void Ui_Click(int x, int y)
{
    Ui_Press(x, y);
    Ui_Release();
    Ui_Pump(40);
}

POINT Ui_Centre(HWND hwnd)
{
    RECT rc = Ui_WindowRect(hwnd);
    POINT pt = {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    return pt;
}

void Ui_Key(HWND target, UINT vk)
{
    // The message loop's TranslateMessage makes the character, as for a
    // real key press.
    UINT scan = MapVirtualKeyA(vk, MAPVK_VK_TO_VSC);
    PostMessageA(target, WM_KEYDOWN, vk, 1 | (scan << 16));
    PostMessageA(target, WM_KEYUP, vk, 1 | (scan << 16) | (1u << 30) | (1u << 31));
    Ui_Pump(20);
}

void Ui_RealKeyHeld(UINT vk, UINT held, int ms)
{
    INPUT in[4];
    memset(in, 0, sizeof in);
    UINT n = 0;
    for (INPUT& i : in)
        i.type = INPUT_KEYBOARD;
    if (held)
        in[n++].ki.wVk = static_cast<WORD>(held);
    in[n++].ki.wVk = static_cast<WORD>(vk);
    in[n].ki.wVk = static_cast<WORD>(vk);
    in[n++].ki.dwFlags = KEYEVENTF_KEYUP;
    if (held) {
        in[n].ki.wVk = static_cast<WORD>(held);
        in[n++].ki.dwFlags = KEYEVENTF_KEYUP;
    }
    SendInput(n, in, sizeof(INPUT));
    Ui_Pump(ms);
}

void Ui_RealKey(UINT vk, bool shift)
{
    Ui_RealKeyHeld(vk, shift ? VK_SHIFT : 0, 40);
}

void Ui_RealType(const char* text)
{
    for (const char* p = text; *p; ++p) {
        char c = *p;
        UINT vk = static_cast<UINT>(c);
        if (c >= 'a' && c <= 'z')
            vk = static_cast<UINT>(c - 'a' + 'A');
        else if (c == '-')
            vk = VK_OEM_MINUS;
        else if (c == '/')
            vk = VK_OEM_2;
        Ui_RealKey(vk);
    }
}

void Ui_RealCtrlKey(UINT vk)
{
    Ui_RealKeyHeld(vk, VK_CONTROL, 60);
}

void Ui_SetClipboard(const char* text)
{
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    size_t n = strlen(text) + 1;
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, n);
    ASSERT_NE(nullptr, mem);
    memcpy(GlobalLock(mem), text, n);
    GlobalUnlock(mem);
    SetClipboardData(CF_TEXT, mem);
    CloseClipboard();
}

void Ui_Type(HWND target, const char* s)
{
    for (; *s; ++s) {
        char c = *s;
        Ui_Key(target, (c >= 'a' && c <= 'z') ? static_cast<UINT>(c - 'a' + 'A') : static_cast<UINT>(c));
    }
}

std::string Ui_Text(HWND hwnd)
{
    char buf[1100] = "";
    GetWindowTextA(hwnd, buf, sizeof(buf));
    return buf;
}

RECT Ui_WindowRect(HWND hwnd)
{
    RECT rc = {0, 0, 0, 0};
    GetWindowRect(hwnd, &rc);
    return rc;
}

bool Ui_Visible(HWND hwnd) { return hwnd && IsWindowVisible(hwnd); }

BITMAPINFO Ui_BitmapInfo(int w, int h)
{
    BITMAPINFO bi;
    memset(&bi, 0, sizeof(bi));
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    return bi;
}

Canvas::Canvas(int w, int h) : w_(w), h_(h)
{
    BITMAPINFO bi = Ui_BitmapInfo(w, h);
    HDC screen = GetDC(nullptr);
    bmp_ = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits_, nullptr, 0);
    mem_ = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    old_ = SelectObject(mem_, bmp_);
    RECT all = {0, 0, w, h};
    FillRect(mem_, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
}

Canvas::~Canvas()
{
    SelectObject(mem_, old_);
    DeleteDC(mem_);
    DeleteObject(bmp_);
}

Shot Canvas::Picture() const
{
    GdiFlush();
    Shot s;
    s.w = w_;
    s.h = h_;
    s.px.assign(static_cast<uint32_t*>(bits_), static_cast<uint32_t*>(bits_) + w_ * h_);
    for (uint32_t& p : s.px)
        p &= 0x00FFFFFF;
    return s;
}

Shot Ui_Capture(HWND hwnd)
{
    RECT rc;
    GetClientRect(hwnd, &rc);
    if (rc.right <= 0 || rc.bottom <= 0) {
        Shot s;
        s.w = rc.right;
        s.h = rc.bottom;
        return s;
    }
    Canvas c(rc.right, rc.bottom);
    HDC win = GetDC(hwnd);
    BitBlt(c.dc(), 0, 0, rc.right, rc.bottom, win, 0, 0, SRCCOPY);
    ReleaseDC(hwnd, win);
    return c.Picture();
}

std::string Ui_Screenshot(const char* name)
{
    std::string dir = TestEnv("ZT_TEST_SHOTS");
    if (dir.empty())
        return "";
    Ui_Pump(300);   // let the window surfaces reach the display
    std::string path = dir + "/" + name + ".png";
    std::string cmd = "import -window root '" + path + "' 2>/dev/null";
    if (TestShell(cmd) != 0)
        return "";
    struct stat st;
    return (stat(path.c_str(), &st) == 0 && st.st_size > 0) ? path : "";
}

HWND Ui_ThreadWindow(const char* cls, const char* caption, DWORD tid)
{
    FindCls f = {cls, caption, nullptr};
    EnumThreadWindows(tid ? tid : GetCurrentThreadId(), FindByClass, reinterpret_cast<LPARAM>(&f));
    return f.found;
}

static HMENU g_menu = nullptr;
static UINT g_menuCmd = 0;
static bool g_menuClicked = false;

static void CALLBACK ClickMenuCommand(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    int pos = -1;
    for (int i = 0; g_menu && i < GetMenuItemCount(g_menu); i++)
        if (GetMenuItemID(g_menu, i) == g_menuCmd)
            pos = i;
    RECT r;
    if (pos < 0 || !Ui_ThreadWindow("#32768") || !GetMenuItemRect(nullptr, g_menu, pos, &r)) {
        EndMenu();
        return;
    }
    g_menuClicked = true;
    int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    INPUT in[3];
    memset(in, 0, sizeof(in));
    for (INPUT& i : in) {
        i.type = INPUT_MOUSE;
        i.mi.dx = (((r.left + r.right) / 2) * 65536 + w - 1) / w;
        i.mi.dy = (((r.top + r.bottom) / 2) * 65536 + h - 1) / h;
        i.mi.dwFlags = MOUSEEVENTF_ABSOLUTE;
    }
    in[0].mi.dwFlags |= MOUSEEVENTF_MOVE;
    in[1].mi.dwFlags |= MOUSEEVENTF_LEFTDOWN;
    in[2].mi.dwFlags |= MOUSEEVENTF_LEFTUP;
    SendInput(3, in, sizeof(INPUT));
}

void Ui_ClickMenuItemSoon(HMENU menu, UINT cmd)
{
    g_menu = menu;
    g_menuCmd = cmd;
    g_menuClicked = false;
    SetTimer(nullptr, 0, 400, ClickMenuCommand);
}

bool Ui_MenuClicked() { return g_menuClicked; }
