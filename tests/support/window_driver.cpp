#include "tests/support/window_driver.h"
#include "tests/startup/startup_support.h"
#include "grid/ZTListview.h"
#include "outside/popedom/ZTPopedom.h"

#include <atomic>
#include <cstring>

// ---- Waiting -------------------------------------------------------------------------

void Wd_Settle(ZT_MODWIN* w)
{
    Ui_Pump(100);
    for (int i = 0; i < 400 && (w->bBusy || g_ZTMain.hBusyDlg); i++)
        Ui_Pump(20);
    Ui_Pump(60);
}


// ---- Module windows --------------------------------------------------------------------

HWND Wd_Open(HWND hFrame, int cmd, const char* cls)
{
    Shell_Command(hFrame, cmd);
    HWND hwnd = Frame_FindChild(cls);
    for (int i = 0; i < 200 && !hwnd; i++) {
        Ui_Pump(20);
        hwnd = Frame_FindChild(cls);
    }
    ZT_MODWIN* w = Module_Of(hwnd);
    Ui_Pump(100);
    for (int i = 0; w && i < 400 && ((!w->bLoaded && i < 300) || w->bBusy || g_ZTMain.hBusyDlg); i++)
        Ui_Pump(20);
    Ui_Pump(60);
    return hwnd;
}

bool Wd_ChooseMenu(HWND hFrame, int pos, int cmd)
{
    BOOL maximised = FALSE;
    SendMessageA(Frame_MDIClient(), WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(&maximised));
    return Wd_ClickMenuAt(hFrame, maximised ? pos + 1 : pos, cmd);
}

int Wd_MenuPos(HWND hFrame, UINT holding)
{
    HMENU bar = GetMenu(hFrame);
    for (int i = 0; i < GetMenuItemCount(bar); i++) {
        HMENU sub = GetSubMenu(bar, i);
        if (sub && GetMenuState(sub, holding, MF_BYCOMMAND) != static_cast<UINT>(-1))
            return i;
    }
    return -1;
}

bool Wd_ClickMenuAt(HWND hFrame, int barPos, UINT cmd)
{
    HMENU bar = GetMenu(hFrame);
    RECT r;
    if (!GetMenuItemRect(hFrame, bar, barPos, &r))
        return false;
    Ui_ClickMenuItemSoon(GetSubMenu(bar, barPos), cmd);
    Ui_Click((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    Ui_Pump(300);
    return Ui_MenuClicked();
}

void Wd_ExpectListed(ZT_MODWIN* w, long long n)
{
    EXPECT_EQ(Shell_GridRows(w->hGrid), n);
    EXPECT_EQ(Shell_CountBox(w->hwnd), std::to_string(n));
}

bool Wd_ChooseDropDown(ZT_MODWIN* w, int button, int popupPos, int cmd)
{
    RECT rb = Shell_ButtonRect(w->hwnd, button);
    Ui_ClickMenuItemSoon(GetSubMenu(g_ZTMain.hContextMenus, popupPos), cmd);
    Ui_Click(rb.right - 4, (rb.top + rb.bottom) / 2);    // the drop-down arrow
    Ui_Pump(200);
    Wd_Settle(w);
    return Ui_MenuClicked();
}

void Wd_CommandAnswered(HWND hwnd, int cmd, int answer)
{
    TestBoxes_Answer(answer);
    SendMessageA(hwnd, WM_COMMAND, cmd, 0);
    Ui_Pump(100);
}

void Wd_RunAnswered(ZT_MODWIN* w, int cmd, int answer)
{
    TestBoxes_Reset();
    TestBoxes_Answer(answer);
    SendMessageA(w->hwnd, WM_COMMAND, cmd, 0);
    Wd_Settle(w);
}

void Wd_ButtonAnswered(ZT_MODWIN* w, int button, int answer)
{
    TestBoxes_Answer(answer);
    Shell_ClickButton(w->hwnd, button);
    Wd_Settle(w);
}

// ---- The mouse -------------------------------------------------------------------------

void Wd_Click(POINT pt, bool twice, bool right)
{
    int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
    INPUT in[5];
    memset(in, 0, sizeof(in));
    for (INPUT& i : in) {
        i.type = INPUT_MOUSE;
        i.mi.dx = (pt.x * 65536 + cx - 1) / cx;
        i.mi.dy = (pt.y * 65536 + cy - 1) / cy;
        i.mi.dwFlags = MOUSEEVENTF_ABSOLUTE;
    }
    in[0].mi.dwFlags |= MOUSEEVENTF_MOVE;
    in[1].mi.dwFlags |= in[3].mi.dwFlags |= right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
    in[2].mi.dwFlags |= in[4].mi.dwFlags |= right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
    SendInput(twice ? 5 : 3, in, sizeof(INPUT));
}

void Wd_ClickControl(HWND h)
{
    POINT c = Ui_Centre(h);
    Ui_Click(c.x, c.y);
}

// ---- The grid --------------------------------------------------------------------------

POINT Wd_RowPoint(HWND hGrid, int row)
{
    RECT rc;
    GetWindowRect(hGrid, &rc);
    POINT pt = {rc.left + 30, rc.top + GRID_HEADER_HEIGHT + row * GRID_ROW_HEIGHT + GRID_ROW_HEIGHT / 2 + 2};
    return pt;
}

void Wd_ClickRow(HWND hGrid, int row, bool twice)
{
    Wd_Click(Wd_RowPoint(hGrid, row), twice);
    Ui_Pump(100);
}

const void* Wd_SelectWhere(HWND hGrid, const std::function<bool(const void*)>& pred)
{
    SendMessageA(hGrid, GRM_MOVESEL, 0, LV_MOVE_FIRST);
    const void* last = nullptr;
    for (int i = 0; i < 20000; i++) {
        const void* rec = reinterpret_cast<const void*>(SendMessageA(hGrid, GRM_GETSEL, 0, 0));
        if (!rec || rec == last)
            return nullptr;
        if (pred(rec))
            return rec;
        last = rec;
        SendMessageA(hGrid, GRM_MOVESEL, 0, LV_MOVE_NEXT);
    }
    return nullptr;
}

std::string Wd_Cell(HWND hGrid, const void* rec, int c)
{
    for (const void* row : TestGrid_Rows(hGrid))
        if (row == rec) {
            const void* v = TestGrid_Value(hGrid, rec, c);
            return v ? static_cast<const char*>(v) : "";
        }
    return "<no row>";
}

bool Wd_WaitRows(HWND hGrid, long long n, int ms)
{
    for (int i = 0; i < ms / 20 && Shell_GridRows(hGrid) != n; i++)
        Ui_Pump(20);
    return Shell_GridRows(hGrid) == n;
}

// ---- The tree --------------------------------------------------------------------------

static HTREEITEM Next(HWND hTree, HTREEITEM h, UINT how)
{
    return reinterpret_cast<HTREEITEM>(SendMessageA(hTree, TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(h)));
}

std::string Wd_TreeText(HWND hTree, HTREEITEM h)
{
    char buf[128] = "";
    TVITEMA it;
    memset(&it, 0, sizeof(it));
    it.mask = TVIF_TEXT | TVIF_HANDLE;
    it.hItem = h;
    it.pszText = buf;
    it.cchTextMax = sizeof(buf);
    if (!h || !SendMessageA(hTree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&it)))
        return "";
    return buf;
}

static HTREEITEM FindText(HWND hTree, HTREEITEM h, const char* text)
{
    for (; h; h = Next(hTree, h, TVGN_NEXT)) {
        if (Wd_TreeText(hTree, h) == text)
            return h;
        if (HTREEITEM f = FindText(hTree, Next(hTree, h, TVGN_CHILD), text))
            return f;
    }
    return nullptr;
}

HTREEITEM Wd_TreeItem(HWND hTree, const char* text)
{
    return FindText(hTree, Next(hTree, nullptr, TVGN_ROOT), text);
}

void Wd_ClickTree(HWND hTree, HTREEITEM h, bool right)
{
    RECT r;
    memcpy(&r, &h, sizeof(h));
    EXPECT_TRUE(SendMessageA(hTree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&r)));
    POINT pt = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ClientToScreen(hTree, &pt);
    Wd_Click(pt, false, right);
}

void Wd_GridDoubleClick(ZT_MODWIN* w)
{
    SendMessageA(w->hwnd, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(w->hGrid), GRN_DBLCLK), reinterpret_cast<LPARAM>(w->hGrid));
}

// ---- Boxes and dialogs -------------------------------------------------------------------

void Wd_Type(HWND hEdit, const std::string& text)
{
    SendMessageA(hEdit, EM_SETSEL, 0, -1);
    for (size_t i = 0; i < text.size(); i++) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c >= 0x81 && i + 1 < text.size()) {
            PostMessageA(hEdit, WM_IME_CHAR, (c << 8) | static_cast<unsigned char>(text[++i]), 0);
        } else {
            PostMessageA(hEdit, WM_CHAR, c, 0);
        }
    }
    EXPECT_TRUE(St_WaitFor([&] { return Ui_Text(hEdit) == text; })) << "typed \"" << text << "\" did not arrive";
}

void Wd_ExpectBoxNaming(const std::string& part)
{
    std::vector<TestBox> boxes = TestBoxes_Taken();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].text.find(part), std::string::npos) << boxes[0].text;
    TestBoxes_Reset();
}

size_t Wd_Boxes(const std::string& text)
{
    size_t n = 0;
    for (const TestBox& b : TestBoxes_Taken())
        n += b.text == text;
    return n;
}

namespace {

BOOL CALLBACK AnyDialog(HWND h, LPARAM lp)
{
    char cls[16] = "";
    GetClassNameA(h, cls, sizeof(cls));
    // The busy dialog closes by itself.
    if (IsWindowVisible(h) && strcmp(cls, "#32770") == 0 && h != g_ZTMain.hBusyDlg) {
        *reinterpret_cast<HWND*>(lp) = h;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

void Wd_Grant(const char* codes)
{
    tagPOPEDOM pd;
    memset(&pd, 0, sizeof(pd));
    strncpy(pd.szValue, codes, sizeof(pd.szValue) - 1);
    PD_Calc(&g_ZTMain, &pd);
}

void Wd_Drive(const std::function<void()>& start, const std::function<void(DWORD)>& driver)
{
    std::atomic<bool> done(false);
    St_WithDriver(
        [&]() -> INT_PTR {
            start();
            for (int i = 0; i < 1500 && !done; i++)
                Ui_Pump(20);
            return 0;
        },
        [&](DWORD tid) {
            driver(tid);
            // A driver that stopped early (a failed check) leaves no dialog.
            for (int i = 0; i < 20; i++) {
                HWND found = nullptr;
                EnumThreadWindows(tid, AnyDialog, reinterpret_cast<LPARAM>(&found));
                if (!found)
                    break;
                PostMessageA(found, WM_COMMAND, IDCANCEL, 0);
                Sleep(200);
            }
            done = true;
        });
    Ui_Pump(60);
}

void Wd_DriveDialog(const std::function<void()>& start, const char* caption, const std::function<void(HWND)>& driver)
{
    St_WithDriver(
        [&] {
            start();
            return static_cast<INT_PTR>(0);
        },
        [&](DWORD tid) {
            HWND dlg = St_WaitWindow(tid, "#32770", caption);
            ASSERT_NE(dlg, nullptr);
            driver(dlg);
            for (int i = 0; i < 5 && IsWindow(dlg); i++) {
                PostMessageA(dlg, WM_COMMAND, IDCANCEL, 0);
                St_WaitGone(dlg, 1000);
            }
        });
}

namespace {

int g_dialogsMade = 0;
HHOOK g_cbt = nullptr;

LRESULT CALLBACK CountDialogs(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND) {
        char cls[16] = "";
        GetClassNameA(reinterpret_cast<HWND>(wParam), cls, sizeof(cls));
        if (strcmp(cls, "#32770") == 0)
            g_dialogsMade++;
    }
    return CallNextHookEx(g_cbt, code, wParam, lParam);
}

}  // namespace

DialogCounter::DialogCounter()
{
    g_dialogsMade = 0;
    g_cbt = SetWindowsHookExA(WH_CBT, CountDialogs, nullptr, GetCurrentThreadId());
    EXPECT_NE(g_cbt, nullptr);
}

DialogCounter::~DialogCounter()
{
    UnhookWindowsHookEx(g_cbt);
}

int DialogCounter::Made() const
{
    return g_dialogsMade;
}
