#include "tests/admin_areas/dict_driver.h"
#include "app/shell/frame.h"
#include "grid/ZTListview.h"

#include <cstring>

HWND Dict_Dialog(DWORD tid, const char* caption)
{
    return St_WaitWindow(tid, "#32770", caption);
}

void Dict_DriveDialog(ZT_MODWIN* w, const std::function<void()>& start, const char* caption,
                      const std::function<void(HWND)>& driver)
{
    Wd_Drive(start, [&](DWORD tid) {
        HWND d = Dict_Dialog(tid, caption);
        ASSERT_NE(d, nullptr) << caption;
        driver(d);
    });
    Wd_Settle(w);
}

bool Dict_Press(HWND hDlg, int id, int ms)
{
    PostMessageA(GetDlgItem(hDlg, id), BM_CLICK, 0, 0);
    return St_WaitGone(hDlg, ms);
}

static HTREEITEM Next(HWND hTree, HTREEITEM h, UINT how)
{
    return reinterpret_cast<HTREEITEM>(SendMessageA(hTree, TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(h)));
}

std::vector<std::string> Dict_TreeChildren(HWND hTree, HTREEITEM h)
{
    std::vector<std::string> out;
    for (HTREEITEM c = h ? Next(hTree, h, TVGN_CHILD) : Next(hTree, nullptr, TVGN_ROOT); c; c = Next(hTree, c, TVGN_NEXT))
        out.push_back(Wd_TreeText(hTree, c));
    return out;
}

std::string Dict_TreeSelected(HWND hTree)
{
    return Wd_TreeText(hTree, Next(hTree, nullptr, TVGN_CARET));
}

void Dict_ClickTree(ZT_MODWIN* w, HTREEITEM h, bool right)
{
    Wd_ClickTree(w->hTree, h, right);
    Ui_Pump(100);
    Wd_Settle(w);
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
        Wd_Settle(w);
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
    Wd_Settle(w);
}
