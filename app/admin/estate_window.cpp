#include "app/admin/estate_window.h"
#include "app/admin/estate_dialog.h"
#include "app/admin/estate_list.h"
#include "app/listings/estate_box.h"
#include "app/shell/caches.h"
#include "app/shell/input_controls.h"
#include "app/shell/rights.h"
#include "common/zt_box.h"

#include <commctrl.h>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

// The search strip above the grid: an estate box and "查找".
enum { IDC_EST_SEARCH_PANEL = 1500, IDC_EST_SEARCH = 1501, SEARCH_H = 34 };

EST_WINDOW* State(const ZT_MODWIN* w)
{
    return static_cast<EST_WINDOW*>(w->pState);
}

tagESTATE* Estates(const ZT_MODWIN* w)
{
    return static_cast<tagESTATE*>(w->rs.pBlock);
}

// ---- The tree --------------------------------------------------------------------

HTREEITEM AddItem(HWND hTree, HTREEITEM hParent, const char* pszText, int iKey)
{
    TVINSERTSTRUCTA ins;
    memset(&ins, 0, sizeof(ins));
    ins.hParent = hParent;
    ins.hInsertAfter = TVI_LAST;
    ins.item.mask = TVIF_TEXT | TVIF_PARAM;
    ins.item.pszText = const_cast<char*>(pszText);
    ins.item.lParam = iKey;
    return reinterpret_cast<HTREEITEM>(SendMessageA(hTree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&ins)));
}

// Worker: cities in cache order, each with its urban areas (every slot of
// the urban cache, so that areas added into freed slots are listed too);
// the first city expanded and selected, which selects its first urban area.
void FillTree(ZT_MODWIN* w)
{
    tagZT_Main_Param* p = w->p;
    HWND hTree = w->hTree;
    HTREEITEM first = nullptr;
    int nUrban = p->pUrban ? p->nUrban + p->nUrbanSpare : 0;
    for (int c = 0; p->pCity && c < p->nCity; c++) {
        HTREEITEM city = AddItem(hTree, TVI_ROOT, p->pCity[c].szUrban, p->pCity[c].iOrdinal);
        if (!first)
            first = city;
        for (int u = 0; u < nUrban; u++)
            if (p->pUrban[u].iOrdinal && p->pUrban[u].iParentIndex == p->pCity[c].iOrdinal)
                AddItem(hTree, city, p->pUrban[u].szUrban, p->pUrban[u].iOrdinal);
    }
    State(w)->bTreeFilled = TRUE;
    if (!first)
        return;
    SendMessageA(hTree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(first));
    SendMessageA(hTree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(first));
}

int ItemKey(HWND hTree, HTREEITEM h)
{
    TVITEMA item;
    memset(&item, 0, sizeof(item));
    item.mask = TVIF_PARAM | TVIF_HANDLE;
    item.hItem = h;
    return SendMessageA(hTree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)) ? static_cast<int>(item.lParam) : 0;
}

void OnTreeSelection(ZT_MODWIN* w, HTREEITEM h)
{
    EST_WINDOW* st = State(w);
    tagZT_Main_Param* p = w->p;
    HTREEITEM child = reinterpret_cast<HTREEITEM>(SendMessageA(w->hTree, TVM_GETNEXTITEM, TVGN_CHILD,
                                                               reinterpret_cast<LPARAM>(h)));
    if (child) {                             // a city: on to its first urban area
        SendMessageA(w->hTree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(child));
        return;
    }
    int key = ItemKey(w->hTree, h);
    const tagURBAN* u = Cache_Urban(p, key);
    tagCITY* c = p->pCity ? FindCity(p->pCity, nullptr, u ? u->iParentIndex : key, nullptr, p->nCity) : nullptr;
    if (u == st->pUrban && st->pUrban)
        return;
    st->pUrban = u;
    st->pCity = c;
    // The first selection comes while the tree fill's load runs: that load
    // takes the urban area chosen here.
    if (!w->bBusy)
        Module_Refresh(w);
}

// ---- The search ----------------------------------------------------------------------------

HWND Child(HWND hParent, const char* cls, const char* text, DWORD style, int x, int y, int cx, int cy, int id)
{
    HWND h = CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, cx, cy, hParent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
    if (h)
        SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    return h;
}

const char kOldEditProc[] = "ZT_EST_SEARCH_EDIT";

// Enter in the search box (on its open list: once the box has taken the
// item) runs "查找".
LRESULT CALLBACK SearchEditProc(HWND hEdit, UINT msg, WPARAM wParam, LPARAM lParam)
{
    WNDPROC old = reinterpret_cast<WNDPROC>(GetPropA(hEdit, kOldEditProc));
    LRESULT r = CallWindowProcA(old, hEdit, msg, wParam, lParam);
    if (msg == WM_KEYDOWN && wParam == VK_RETURN)
        if (HWND win = GetParent(GetParent(GetParent(hEdit))))    // box, strip, window
            PostMessageA(win, WM_COMMAND, ID_ESTATE_FIND, 0);
    if (msg == WM_NCDESTROY)
        RemovePropA(hEdit, kOldEditProc);
    return r;
}

// The strip: "楼盘名称/拼音" with an estate box (typing lists the estates
// whose name or pinyin initials begin with the text) and "查找".
BOOL CreateSearch(ZT_MODWIN* w)
{
    EST_WINDOW* st = State(w);
    st->hSearch = Child(w->hwnd, ZT_CLASS_TPANEL, "", WS_CLIPCHILDREN, 0, 0, 0, SEARCH_H, IDC_EST_SEARCH_PANEL);
    if (!st->hSearch)
        return FALSE;
    Child(st->hSearch, "STATIC", "楼盘名称/拼音", SS_RIGHT | SS_CENTERIMAGE, 8, 6, 84, 22, -1);
    HWND box = Child(st->hSearch, ZT_CLASS_COMBOBOX, "", WS_TABSTOP, 96, 6, 160, 22, IDC_EST_SEARCH);
    SendMessageA(box, CB_LIMITTEXT, sizeof(tagESTLIST::szEstate) - 1, 0);
    Child(st->hSearch, "BUTTON", "查找", WS_TABSTOP | BS_PUSHBUTTON, 264, 5, 56, 24, ID_ESTATE_FIND);
    if (HWND edit = GetWindow(box, GW_CHILD)) {
        SetPropA(edit, kOldEditProc, reinterpret_cast<HANDLE>(GetWindowLongPtrA(edit, GWLP_WNDPROC)));
        SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SearchEditProc));
    }
    return EstateBox_Attach(box, w->p);
}

void Layout(ZT_MODWIN* w, RECT* rc)
{
    EST_WINDOW* st = State(w);
    int cy = rc->top + SEARCH_H > rc->bottom ? rc->bottom - rc->top : SEARCH_H;
    if (st->hSearch)
        MoveWindow(st->hSearch, rc->left, rc->top, rc->right - rc->left, cy, TRUE);
    rc->top += cy;
}

// The tree item of an urban area, or null.
HTREEITEM UrbanItem(HWND hTree, int iUrban)
{
    for (HTREEITEM city = TreeView_GetRoot(hTree); city; city = TreeView_GetNextSibling(hTree, city))
        for (HTREEITEM u = TreeView_GetChild(hTree, city); u; u = TreeView_GetNextSibling(hTree, u))
            if (ItemKey(hTree, u) == iUrban)
                return u;
    return nullptr;
}

// Selects the grid row of an estate; FALSE when it is not listed.
BOOL SelectEstate(ZT_MODWIN* w, int iKey)
{
    SendMessageA(w->hGrid, GRM_MOVESEL, 0, LV_MOVE_FIRST);
    for (int n = 0; n <= w->nListed; n++) {
        const tagESTATE* e = static_cast<const tagESTATE*>(Module_Selected(w));
        if (!e)
            return FALSE;
        if (e->iOrdinal == iKey)
            return TRUE;
        if (!SendMessageA(w->hGrid, GRM_MOVESEL, 0, LV_MOVE_NEXT))
            return FALSE;
    }
    return FALSE;
}

// "查找", or an estate chosen from the box's list: the estate named (or the
// first whose name or initials begin with the text) is shown: its urban
// area is selected in the tree, its estates are loaded and its row selected.
void CmdFind(ZT_MODWIN* w, void*, const void*)
{
    tagZT_Main_Param* p = w->p;
    char text[64] = "";
    GetDlgItemTextA(State(w)->hSearch, IDC_EST_SEARCH, text, sizeof(text));
    const tagESTLIST* est = text[0] ? Cache_EstateNamed(p, text) : nullptr;
    int idx[1];
    if (!est && text[0] && EstateBox_Find(p->pEstList, Cache_EstateSlots(p), text, idx, 1) == 1)
        est = &p->pEstList[idx[0]];
    if (!est) {
        char msg[128];
        snprintf(msg, sizeof(msg), "没有名称或拼音缩写以「%s」开头的楼盘", text);
        ZT_MessageBox(w->hwnd, text[0] ? msg : "请输入楼盘名称或拼音缩写", "", MB_OK);
        return;
    }
    int key = est->iOrdinal;
    HTREEITEM item = UrbanItem(w->hTree, est->iUrban);
    if (item && TreeView_GetSelection(w->hTree) != item)
        TreeView_SelectItem(w->hTree, item);    // loads that urban area's estates
    if (!SelectEstate(w, key))
        ZT_MessageBox(w->hwnd, "该楼盘不在当前列表中, 请刷新", "", MB_OK);
}

// An estate chosen from the search box's list is shown at once.
LRESULT Message(ZT_MODWIN* w, UINT msg, WPARAM wParam, LPARAM, BOOL* pDone)
{
    if (msg == WM_COMMAND && LOWORD(wParam) == IDC_EST_SEARCH && HIWORD(wParam) == ZTCBN_CHOSEN) {
        *pDone = TRUE;
        CmdFind(w, nullptr, nullptr);
    }
    return 0;
}

// ---- Hooks -------------------------------------------------------------------------------

// Worker: the tree first (once), then the estates of the selected urban area.
BOOL Load(ZT_MODWIN* w, ZT_RECSET* rs)
{
    if (!State(w)->bTreeFilled)
        FillTree(w);
    tagURBAN* u = const_cast<tagURBAN*>(State(w)->pUrban);    // FD_Sct_Est only reads it
    if (!u)
        return FALSE;                        // nothing selected: an empty list
    tagESTATE* list = nullptr;
    int n = 0;
    if (!FD_Sct_Est(u, &list, &n) || !list)
        return FALSE;
    rs->pBlock = list;
    rs->nRows = n;
    rs->nSlots = n + 101;
    return TRUE;
}

void Free(void* block)
{
    Mem_Free_Est(static_cast<tagESTATE*>(block));
}

// ---- Commands ------------------------------------------------------------------------

tagESTATE* FreeSlot(ZT_MODWIN* w)
{
    return EstateWindow_Find(w, 0);
}

// The dialog stored an estate: list an added one, show a modified one.
BOOL OnSaved(void* ctx, const tagESTATE* e, BOOL bAdded)
{
    ZT_MODWIN* w = static_cast<ZT_MODWIN*>(ctx);
    if (!bAdded) {
        if (tagESTATE* rec = EstateWindow_Find(w, e->iOrdinal))
            *rec = *e;
        InvalidateRect(w->hGrid, nullptr, TRUE);
        return TRUE;
    }
    if (!FreeSlot(w)) {
        ZT_MessageBox(w->hwnd, "本地缓存出错", "", MB_OK);
        return FALSE;
    }
    return Module_AddRecord(w, e) != nullptr;
}

void CmdAdd(ZT_MODWIN* w, void*, const void*)
{
    EST_WINDOW* st = State(w);
    if (!st->pUrban) {
        ZT_MessageBox(w->hwnd, "请选择城区", "", MB_OK);
        return;
    }
    EST_DLG_ARGS a = {w->p, EST_DLG_ADD, st->pUrban->iOrdinal, nullptr, OnSaved, w};
    EstateDialog_Run(w->hwnd, &a);
}

void CmdModify(ZT_MODWIN* w, void* sel, const void*)
{
    EST_DLG_ARGS a = {w->p, EST_DLG_MODIFY, 0, static_cast<tagESTATE*>(sel), OnSaved, w};
    EstateDialog_Run(w->hwnd, &a);
}

int DeleteTask(ZT_MODWIN* w, void* rec)
{
    return FD_Del_Est(Cache_Operator(w->p), static_cast<tagESTATE*>(rec)) == 1 ? 1 : 0;
}

void CmdDelete(ZT_MODWIN* w, void* sel, const void*)
{
    int key = static_cast<tagESTATE*>(sel)->iOrdinal;
    if (Module_RunTask(w, DeleteTask, sel) != 1)
        return;
    Module_RemoveSelected(w);
    EstList_Remove(w->p, key);
}

// ---- Tables ------------------------------------------------------------------------------

const ZT_TBDEF kButtons[] = {
    {ID_ESTATE_ADD, ZTIMG_EST_ADD, "增加楼盘", 0, ZT_OP_ADD},
    {ID_ESTATE_MODIFY, ZTIMG_EST_EDIT, "修改楼盘", 0, ZT_OP_MODIFY},
    {ID_ESTATE_DELETE, ZTIMG_EST_DEL, "删除楼盘", 0, ZT_OP_DELETE},
    ZT_TB_SEP,
    ZT_TB_CLOSING,
};

const ZT_COLDEF kColumns[] = {
    ZT_COL_TEXT("拼音", 50, 0, offsetof(tagESTATE, szSpell)),
    ZT_COL_TEXT("楼盘名称", 130, 0, offsetof(tagESTATE, szEstate)),
    ZT_COL_TEXT("所属片区", 70, 0, offsetof(tagESTATE, szDist)),
    ZT_COL_TEXT("楼盘地址", 130, 0, offsetof(tagESTATE, szAddress)),
    ZT_COL("栋数", 40, LVT_INT, 2, offsetof(tagESTATE, iBuild)),
    ZT_COL_TEXT("竣工日期", 80, 0, offsetof(tagESTATE, szBuildYear)),
    ZT_COL_TEXT("房屋类型", 60, 0, offsetof(tagESTATE, szHouseType)),
    ZT_COL_TEXT("开发商", 60, 0, offsetof(tagESTATE, szDevCom)),
};

const ZT_CMDDEF kCommands[] = {
    {ID_ESTATE_ADD, CmdAdd, 0, ZT_OP_ADD, nullptr},
    {ID_ESTATE_MODIFY, CmdModify, ZT_CMD_NEEDSEL, ZT_OP_MODIFY, "请选择数据"},
    {ID_ESTATE_DELETE, CmdDelete, ZT_CMD_NEEDSEL | ZT_CMD_CONFIRM, ZT_OP_DELETE, "请选择数据"},
    {ID_ESTATE_FIND, CmdFind, 0, ZT_NO_RIGHT, nullptr},
};

}  // namespace

tagESTATE* EstateWindow_Find(ZT_MODWIN* w, int iKey)
{
    tagESTATE* e = Estates(w);
    for (int i = 0; e && i < w->rs.nSlots; i++)
        if (e[i].iOrdinal == iKey)
            return &e[i];
    return nullptr;
}

extern const ZT_MODULE_DESC g_EstateModule = {
    "ZT_CHILD_EST", IDM_ESTATE, ZTM_ESTATE, IDS_ESTATE, CW_USEDEFAULT, CW_USEDEFAULT,
    sizeof(tagESTATE), offsetof(tagESTATE, iOrdinal), sizeof(EST_WINDOW),
    ZT_TABLE(kButtons), ZT_TABLE(kColumns), ZT_TABLE(kCommands),
    CTXPOS_ESTATE, ID_ESTATE_MODIFY,
    nullptr, CreateSearch, Layout, nullptr, Load, nullptr, nullptr, Free, nullptr, Message,
    nullptr, nullptr, 130, OnTreeSelection,
};
