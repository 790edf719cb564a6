#include "app/admin/estate_window.h"
#include "app/admin/estate_dialog.h"
#include "app/admin/estate_list.h"
#include "app/shell/caches.h"
#include "app/shell/input_controls.h"
#include "app/shell/rights.h"
#include "common/zt_box.h"

#include <commctrl.h>
#include <cstddef>
#include <cstring>

namespace {

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

void CmdFind(ZT_MODWIN* w, void*, const void*)
{
    InvalidateRect(w->hGrid, nullptr, TRUE);
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
    nullptr, nullptr, nullptr, nullptr, Load, nullptr, nullptr, Free, nullptr, nullptr,
    nullptr, nullptr, 130, OnTreeSelection,
};
