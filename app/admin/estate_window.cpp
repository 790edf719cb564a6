#include "app/admin/estate_window.h"
#include "app/admin/estate_dialog.h"
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

enum { NODE_CITY = 0, NODE_URBAN = 1 };

// Worker: cities in cache order, each with its urban areas (every slot of
// the shared cache); the first city opens and its first urban area is
// selected.
BOOL LoadTree(ZT_MODWIN* w, std::vector<ZT_TREENODE>* nodes)
{
    const tagZT_Main_Param* p = w->p;
    Cache_ForCities(p, [&](const tagCITY& c) {
        int city = static_cast<int>(nodes->size());
        nodes->push_back({-1, c.szUrban, NODE_CITY, c.iOrdinal});
        Cache_ForUrbans(p, [&](const tagURBAN& u) {
            if (u.iParentIndex == c.iOrdinal)
                nodes->push_back({city, u.szUrban, NODE_URBAN, u.iOrdinal});
        });
    });
    return TRUE;
}

// An urban area lists its estates; a city without urban areas lists none.
BOOL OnTreeSelection(ZT_MODWIN* w, const ZT_TREESEL& sel)
{
    EST_WINDOW* st = State(w);
    const tagURBAN* u = sel.iKind == NODE_URBAN ? Cache_Urban(w->p, sel.iKey) : nullptr;
    int city = u ? u->iParentIndex : sel.iKind == NODE_CITY ? sel.iKey : 0;
    if (u == st->pUrban && u)
        return FALSE;
    st->pUrban = u;
    st->pCity = const_cast<tagCITY*>(Cache_City(w->p, city));
    return TRUE;
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
    HTREEITEM item = Module_TreeItem(w, NODE_URBAN, est->iUrban);
    if (item && TreeView_GetSelection(w->hTree) != item)
        Module_TreeSelect(w, item);          // loads that urban area's estates
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

// Worker: the estates of the selected urban area.
BOOL Load(ZT_MODWIN* w, ZT_RECSET* rs)
{
    tagURBAN* u = const_cast<tagURBAN*>(State(w)->pUrban);    // FD_Sct_Est only reads it
    if (!u)
        return FALSE;                        // nothing selected: an empty list
    tagESTATE* list = nullptr;
    int n = 0;
    return Module_Took(rs, FD_Sct_Est(u, &list, &n), &n);
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

int Delete(int iOpEmp, const void* rec)
{
    return FD_Del_Est(iOpEmp, const_cast<tagESTATE*>(static_cast<const tagESTATE*>(rec)));
}



// ---- Tables ------------------------------------------------------------------------------

const ZT_TBDEF kButtons[] = {
    ZT_TB_EDITS(ESTATE, EST, "楼盘"),
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
    {ID_ESTATE_DELETE, Module_CmdDelete, ZT_CMD_NEEDSEL | ZT_CMD_TO_BIN, ZT_OP_DELETE, "请选择数据"},
    {ID_ESTATE_FIND, CmdFind, 0, ZT_OP_VIEW, nullptr},
};

// The tree is made from the shared city and urban-area caches: a change of
// them made in the area window or the recycle bin is shown at once.
const ZT_TREEDESC kTree = {130, LoadTree, OnTreeSelection, {-1, -1, -1, -1}, FALSE, ZTC_CITY | ZTC_URBAN};

}  // namespace

tagESTATE* EstateWindow_Find(ZT_MODWIN* w, int iKey)
{
    tagESTATE* e = Estates(w);
    for (int i = 0; e && i < w->rs.nSlots; i++)
        if (e[i].iOrdinal == iKey)
            return &e[i];
    return nullptr;
}

extern const ZT_MODULE_DESC g_EstateModule = ZT_TREE_MODULE(
    "ZT_CHILD_EST", IDM_ESTATE, ZTM_ESTATE, IDS_ESTATE, CW_USEDEFAULT, CW_USEDEFAULT,
    tagESTATE, EST_WINDOW, CTXPOS_ESTATE, ID_ESTATE_MODIFY, ZTC_ESTATE,
    nullptr, CreateSearch, Layout, nullptr, Load, nullptr, Delete, (Module_Free<tagESTATE, Mem_Free_Est>), nullptr, Message,
    nullptr, nullptr);
