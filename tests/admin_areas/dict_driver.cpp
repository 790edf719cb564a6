#include "tests/admin_areas/dict_driver.h"
#include "app/shell/frame.h"
#include "grid/ZTListview.h"

#include <cstring>

namespace {

BOOL CALLBACK CancelDialogs(HWND h, LPARAM)
{
    char cls[16] = "";
    GetClassNameA(h, cls, sizeof(cls));
    if (IsWindowVisible(h) && strcmp(cls, "#32770") == 0)
        PostMessageA(h, WM_COMMAND, IDCANCEL, 0);
    return TRUE;
}

void Mouse(POINT pt, DWORD down, DWORD up)
{
    int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
    INPUT in[3];
    memset(in, 0, sizeof(in));
    for (INPUT& i : in) {
        i.type = INPUT_MOUSE;
        i.mi.dx = (pt.x * 65536 + cx - 1) / cx;
        i.mi.dy = (pt.y * 65536 + cy - 1) / cy;
        i.mi.dwFlags = MOUSEEVENTF_ABSOLUTE;
    }
    in[0].mi.dwFlags |= MOUSEEVENTF_MOVE;
    in[1].mi.dwFlags |= down;
    in[2].mi.dwFlags |= up;
    SendInput(3, in, sizeof(INPUT));
}

}  // namespace

void Dict_Drive(const std::function<void()>& start, const std::function<void(DWORD)>& driver)
{
    volatile LONG done = 0;
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
                EnumThreadWindows(tid, CancelDialogs, 0);
                if (!St_WaitWindow(tid, "#32770", nullptr, 200))
                    break;
            }
            InterlockedExchange(&done, 1);
        });
    Ui_Pump(60);
}

HWND Dict_Dialog(DWORD tid, const char* caption)
{
    return St_WaitWindow(tid, "#32770", caption);
}

void Dict_Type(HWND hEdit, const std::string& text)
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

bool Dict_Press(HWND hDlg, int id, int ms)
{
    PostMessageA(GetDlgItem(hDlg, id), BM_CLICK, 0, 0);
    return St_WaitGone(hDlg, ms);
}

static std::string TreeText(HWND hTree, HTREEITEM h)
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

static HTREEITEM Next(HWND hTree, HTREEITEM h, UINT how)
{
    return reinterpret_cast<HTREEITEM>(SendMessageA(hTree, TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(h)));
}

static HTREEITEM FindText(HWND hTree, HTREEITEM h, const char* text)
{
    for (; h; h = Next(hTree, h, TVGN_NEXT)) {
        if (TreeText(hTree, h) == text)
            return h;
        if (HTREEITEM f = FindText(hTree, Next(hTree, h, TVGN_CHILD), text))
            return f;
    }
    return nullptr;
}

HTREEITEM Dict_TreeItem(HWND hTree, const char* text)
{
    return FindText(hTree, Next(hTree, nullptr, TVGN_ROOT), text);
}

std::vector<std::string> Dict_TreeChildren(HWND hTree, HTREEITEM h)
{
    std::vector<std::string> out;
    for (HTREEITEM c = h ? Next(hTree, h, TVGN_CHILD) : Next(hTree, nullptr, TVGN_ROOT); c; c = Next(hTree, c, TVGN_NEXT))
        out.push_back(TreeText(hTree, c));
    return out;
}

std::string Dict_TreeSelected(HWND hTree)
{
    return TreeText(hTree, Next(hTree, nullptr, TVGN_CARET));
}

void Dict_ClickTree(ZT_MODWIN* w, HTREEITEM h, bool right)
{
    RECT r;
    memcpy(&r, &h, sizeof(h));
    ASSERT_TRUE(SendMessageA(w->hTree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&r)));
    POINT pt = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ClientToScreen(w->hTree, &pt);
    if (right)
        Mouse(pt, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
    else
        Mouse(pt, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
    Ui_Pump(100);
    Dict_Settle(w);
}

void Dict_ClickRow(ZT_MODWIN* w, int row, bool twice)
{
    RECT rc;
    GetWindowRect(w->hGrid, &rc);
    POINT pt = {rc.left + 30, rc.top + GRID_HEADER_HEIGHT + row * GRID_ROW_HEIGHT + GRID_ROW_HEIGHT / 2 + 2};
    Mouse(pt, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
    if (twice)
        Mouse(pt, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
    Ui_Pump(100);
}

std::vector<void*> Dict_GridRecords(HWND hGrid)
{
    std::vector<void*> out;
    if (!SendMessageA(hGrid, GRM_MOVESEL, 0, LV_MOVE_FIRST))
        return out;
    for (int i = 0; i < 1000; i++) {
        void* rec = reinterpret_cast<void*>(SendMessageA(hGrid, GRM_GETSEL, 0, 0));
        if (!rec || (!out.empty() && out.back() == rec))
            break;                           // the last row: the selection stays
        out.push_back(rec);
        if (!SendMessageA(hGrid, GRM_MOVESEL, 0, LV_MOVE_NEXT))
            break;
    }
    return out;
}

bool DictWindow::Wait(const char* cls)
{
    for (int i = 0; i < 200; i++) {
        w = Module_Of(Frame_FindChild(cls));
        if (w && !w->bBusy && Shell_CountBox(w->hwnd) != "-1")
            break;
        Ui_Pump(20);
    }
    if (w)
        Dict_Settle(w);
    hwnd = w ? w->hwnd : nullptr;
    return w != nullptr;
}

bool DictWindow::Open(int cmd, const char* cls)
{
    Shell_Command(frame, cmd);
    return Wait(cls);
}

void DictWindow::Command(int cmd) const
{
    SendMessageA(hwnd, WM_COMMAND, cmd, 0);
    Dict_Settle(w);
}

void Dict_Settle(ZT_MODWIN* w)
{
    Ui_Pump(60);
    for (int i = 0; i < 300 && (w->bBusy || g_ZTMain.hBusyDlg); i++)
        Ui_Pump(20);
    Ui_Pump(40);
}

size_t Dict_Boxes(const std::string& text)
{
    size_t n = 0;
    for (const TestBox& b : TestBoxes_Taken())
        n += b.text == text;
    return n;
}
