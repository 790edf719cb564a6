// The save question, leaving a record and the navigator of the listing
// edit dialogs.
#include "app/listings/listing_dialog.h"
#include "common/zt_box.h"

#include <commctrl.h>
#include <cstring>

int Listing_AskSave(HWND hDlg)
{
    return ZT_MessageBox(hDlg, "数据已修改, 是否保存?", "", MB_YESNOCANCEL | MB_ICONQUESTION);
}

BOOL Listing_MayLeave(HWND hDlg, const LISTING_LEAVE* lv)
{
    if (lv->pfnDirty && lv->pfnDirty(lv->ctx)) {
        int answer = Listing_AskSave(hDlg);
        if (answer == IDCANCEL)
            return FALSE;
        if (answer == IDYES && lv->pfnSave && lv->pfnSave(lv->ctx) < 0)
            return FALSE;
    }
    if (lv->pfnSettle)
        lv->pfnSettle(lv->ctx);
    return !lv->pfnOwed || !lv->pfnOwed(lv->ctx);
}

HWND Listing_NavToolbar(HWND hDlg, int id, const int cmds[4], const RECT* rc)
{
    HWND tb = CreateWindowExA(0, TOOLBARCLASSNAMEA, nullptr,
                              WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_LIST | CCS_NORESIZE | CCS_NODIVIDER |
                                  CCS_NOPARENTALIGN,
                              rc->left, rc->top, rc->right - rc->left, rc->bottom - rc->top, hDlg,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    if (!tb)
        return nullptr;
    SendMessageA(tb, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageA(tb, TB_SETBITMAPSIZE, 0, MAKELONG(0, 0));
    static const char* const kText[4] = {"第一条", "前一条", "下一条", "末一条"};
    for (int i = 0; i < 4; i++) {
        TBBUTTON b;
        memset(&b, 0, sizeof(b));
        b.iBitmap = I_IMAGENONE;
        b.idCommand = cmds[i];
        b.fsState = TBSTATE_ENABLED;
        b.fsStyle = BTNS_BUTTON | BTNS_AUTOSIZE | BTNS_SHOWTEXT;
        b.iString = reinterpret_cast<INT_PTR>(kText[i]);
        SendMessageA(tb, TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&b));
    }
    SendMessageA(tb, TB_AUTOSIZE, 0, 0);
    return tb;
}

int Listing_NavOf(int iCmd, const int cmds[4])
{
    for (int i = 0; i < 4; i++)
        if (cmds[i] == iCmd)
            return i;
    return -1;
}

void* Listing_NavMove(ZT_MODWIN* w, int iMove, BOOL* pbMoved)
{
    static const int kMove[4] = {LV_MOVE_FIRST, LV_MOVE_PREV, LV_MOVE_NEXT, LV_MOVE_LAST};
    void* before = Module_Selected(w);
    if (w && w->hGrid && iMove >= 0 && iMove < 4)
        SendMessageA(w->hGrid, GRM_MOVESEL, 0, kMove[iMove]);
    void* after = Module_Selected(w);
    if (pbMoved)
        *pbMoved = after != before;
    return after;
}
