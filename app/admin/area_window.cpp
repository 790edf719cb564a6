#include "app/admin/area_window.h"
#include "app/admin/area_cache.h"
#include "app/admin/area_merge.h"
#include "app/admin/dict_tree.h"
#include "app/admin/name_dialog.h"
#include "app/shell/blocks.h"
#include "app/shell/caches.h"
#include "app/shell/frame.h"
#include "app/shell/rights.h"
#include "common/gbk.h"
#include "common/zt_box.h"

#include <cstddef>
#include <cstring>
#include <string>

namespace {

const char kNoSelection[] = "请选择数据";
const char kNoUrban[] = "请选择城区";
const char kCacheFull[] = "预留缓存区不足.请重启软件";
const char kRenameRefused[] = "目标数据重复,操作失败,或源数据被删除";

AREA_WINDOW* State(const ZT_MODWIN* w)
{
    return static_cast<AREA_WINDOW*>(w->pState);
}

void Box(const ZT_MODWIN* w, const char* text)
{
    ZT_MessageBox(w->hwnd, text, "", MB_OK);
}

template <size_t N> std::string Name(const char (&field)[N])
{
    return std::string(field, strnlen(field, N));
}

// ---- The tree ------------------------------------------------------------------------

// Cities in cache order, each with its urban areas in slot order; free slots
// (left by deletions) are skipped, records added into them are listed.
void FillTree(ZT_MODWIN* w)
{
    tagZT_Main_Param* p = w->p;
    for (int c = 0; p->pCity && c < p->nCity; c++) {
        const tagCITY& city = p->pCity[c];
        if (!city.iOrdinal)
            continue;
        HTREEITEM item = DictTree_Add(w->hTree, TVI_ROOT, Name(city.szUrban).c_str(), city.iOrdinal);
        for (int u = 0; u < Cache_UrbanSlots(p); u++)
            if (p->pUrban[u].iOrdinal && p->pUrban[u].iParentIndex == city.iOrdinal)
                DictTree_Add(w->hTree, item, Name(p->pUrban[u].szUrban).c_str(), p->pUrban[u].iOrdinal);
    }
}

void Select(ZT_MODWIN* w, HTREEITEM h)
{
    SendMessageA(w->hTree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(h));
}

void Expand(ZT_MODWIN* w, HTREEITEM h)
{
    if (h)
        SendMessageA(w->hTree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(h));
}

// Lists the districts of the selected urban area unless the grid shows them.
void Relist(ZT_MODWIN* w)
{
    AREA_WINDOW* st = State(w);
    int key = st->pUrban ? st->pUrban->iOrdinal : 0;
    if (w->bBusy || (key && key == st->iListed))
        return;                              // a running load takes the selection itself
    Module_Refresh(w);
}

// The selection rules: a city with urban areas passes the selection on to
// its first one; an urban area is listed; a city without urban areas
// empties the grid.
void Follow(ZT_MODWIN* w, HTREEITEM h)
{
    AREA_WINDOW* st = State(w);
    HTREEITEM parent = h ? DictTree_Next(w->hTree, h, TVGN_PARENT) : nullptr;
    if (!h) {
        st->iCity = 0;
        st->pUrban = nullptr;
    } else if (!parent) {
        st->iCity = static_cast<int>(DictTree_Data(w->hTree, h));
        if (HTREEITEM child = DictTree_Next(w->hTree, h, TVGN_CHILD)) {
            Select(w, child);
            return;
        }
        st->pUrban = nullptr;
    } else {
        st->iCity = static_cast<int>(DictTree_Data(w->hTree, parent));
        st->pUrban = AreaCache_Urban(w->p, static_cast<int>(DictTree_Data(w->hTree, h)));
    }
    Relist(w);
}

void OnTreeSelection(ZT_MODWIN* w, HTREEITEM h)
{
    if (!State(w)->bRebuilding)
        Follow(w, h);
}

// Follows whatever the tree selects after items were removed or redrawn,
// listing the districts again when `force`.
void FollowCaret(ZT_MODWIN* w, BOOL bForce)
{
    if (bForce)
        State(w)->iListed = -1;
    Follow(w, DictTree_Next(w->hTree, nullptr, TVGN_CARET));
}

// Removes an item without following the selections the tree makes on the
// way, then follows the one it settled on.
void RemoveItem(ZT_MODWIN* w, HTREEITEM h)
{
    AREA_WINDOW* st = State(w);
    st->bRebuilding = TRUE;
    SendMessageA(w->hTree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(h));
    st->bRebuilding = FALSE;
    FollowCaret(w, FALSE);
}

// "刷新城区": the tree drawn again from the shared cache, the selection kept
// where it was (or on the first city), the districts listed again.
void RedrawTree(ZT_MODWIN* w)
{
    AREA_WINDOW* st = State(w);
    int urban = st->pUrban ? st->pUrban->iOrdinal : 0;
    int city = st->iCity;
    st->bRebuilding = TRUE;
    SendMessageA(w->hTree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    FillTree(w);
    HTREEITEM h = urban ? AreaWindow_Item(w, urban) : nullptr;
    if (!h)
        h = city ? AreaWindow_Item(w, city) : nullptr;
    if (!h)
        h = DictTree_Next(w->hTree, nullptr, TVGN_ROOT);
    HTREEITEM parent = h ? DictTree_Next(w->hTree, h, TVGN_PARENT) : nullptr;
    Expand(w, parent ? parent : h);
    if (h)
        Select(w, h);
    st->bRebuilding = FALSE;
    FollowCaret(w, TRUE);
}

// ---- Hooks ---------------------------------------------------------------------------------

// Worker: the tree first (once: the first city expanded and selected, which
// selects its first urban area), then the selected urban area's districts,
// straight from the shared cache: the grid's rows are the cache's records.
BOOL Load(ZT_MODWIN* w, ZT_RECSET* rs)
{
    AREA_WINDOW* st = State(w);
    tagZT_Main_Param* p = w->p;
    if (!st->bTreeFilled) {
        FillTree(w);
        st->bTreeFilled = TRUE;
        HTREEITEM first = DictTree_Next(w->hTree, nullptr, TVGN_ROOT);
        Expand(w, first);
        if (first)
            Select(w, first);
    }
    st->iListed = st->pUrban ? st->pUrban->iOrdinal : 0;
    if (!st->iListed || !p->pDist)
        return FALSE;                        // no urban area: an empty grid, 0 listed
    rs->pBlock = p->pDist;
    rs->nRows = p->nDist;
    rs->nSlots = Cache_DistrictSlots(p);
    return TRUE;
}

BOOL IsListed(const ZT_MODWIN* w, const void* rec)
{
    return static_cast<const tagDISTRICT*>(rec)->iParentIndex == State(w)->iListed;
}

// Rights: the two drop-down buttons stand for all three operations on
// their records and are greyed only when none is allowed.
enum { AREA_OP_ANY = 100 };
BOOL May(const tagZT_Main_Param* p, int iOp)
{
    if (iOp != AREA_OP_ANY)
        return Rights_May(p, ZTM_AREA, iOp);
    return Rights_May(p, ZTM_AREA, ZT_OP_ADD) || Rights_May(p, ZTM_AREA, ZT_OP_MODIFY) ||
           Rights_May(p, ZTM_AREA, ZT_OP_DELETE);
}

// A right click on a city or an urban area selects it and offers its menu.
LRESULT OnMessage(ZT_MODWIN* w, UINT msg, WPARAM, LPARAM lParam, BOOL* pDone)
{
    const NMHDR* nh = reinterpret_cast<const NMHDR*>(lParam);
    if (msg != WM_NOTIFY || !nh || nh->hwndFrom != w->hTree || nh->code != NM_RCLICK)
        return 0;
    *pDone = TRUE;
    HTREEITEM h = DictTree_AtCursor(w->hTree);
    if (!h)
        return 1;
    BOOL bCity = DictTree_Next(w->hTree, h, TVGN_PARENT) == nullptr;
    Select(w, h);
    Block_ContextMenu(w->hwnd, w->p, bCity ? CTXPOS_CITY : CTXPOS_URBAN);
    return 1;
}

// ---- The edit dialogs ------------------------------------------------------------------------

// One edit: the record as the dialog gives it to the database, and the
// record it replaces (null when adding).
struct Edit {
    ZT_MODWIN* w;
    void* pOld;
    tagCITY city;
    tagURBAN urban;
    tagDISTRICT dist;
};

NAME_DLG Dialog(Edit* e, int iDialog, int iTitle, const char* pszParent, BOOL (*pfnSave)(NAME_DLG*, HWND))
{
    NAME_DLG d;
    memset(&d, 0, sizeof(d));
    d.p = e->w->p;
    d.iDialog = iDialog;
    d.iTitle = iTitle;
    d.idParent = pszParent ? IDC_AREA_PARENT : 0;
    d.idName = IDC_AREA_NAME;
    d.idPriority = iDialog == IDD_AREA_CITY ? 0 : IDC_AREA_PRIORITY;
    d.cbName = 11;                           // at most 10 bytes, in every area record
    d.pszParent = pszParent;
    d.bModify = e->pOld != nullptr;
    d.pfnSave = pfnSave;
    d.pCtx = e;
    return d;
}

// Worker, after a modify the server ran: the row as the database now holds
// it (a rename the duplicate guard refused leaves the old name).  FALSE when
// the row is not live any more.
BOOL ReadBack(tagCITY* c)
{
    tagCITY* list = nullptr;
    int n = 0;
    FD_SCT_CITY(&list, &n, 1);
    tagCITY* f = FindCity(list, nullptr, c->iOrdinal, nullptr, n);
    if (f)
        memcpy(c->szUrban, f->szUrban, sizeof(c->szUrban));
    Mem_Free_City(list);
    return f != nullptr;
}

BOOL ReadBack(tagURBAN* u)
{
    tagCITY city;
    memset(&city, 0, sizeof(city));
    city.iOrdinal = u->iParentIndex;
    tagURBAN* list = nullptr;
    int n = 0;
    FD_SCT_URBAN(&city, &list, &n, 0, 0);
    tagURBAN* f = FindUrban(list, nullptr, u->iOrdinal, nullptr, n);
    if (f) {
        memcpy(u->szUrban, f->szUrban, sizeof(u->szUrban));
        u->iPriority = f->iPriority;
    }
    Mem_Free_Urban(list);
    return f != nullptr;
}

BOOL ReadBack(tagDISTRICT* d)
{
    tagURBAN urban;
    memset(&urban, 0, sizeof(urban));
    urban.iOrdinal = d->iParentIndex;
    tagDISTRICT* list = nullptr;
    int n = 0;
    FD_SCT_DISTRICT(&urban, &list, &n, 0, 0);
    tagDISTRICT* f = list ? FindDist(list, nullptr, d->iOrdinal, nullptr, n) : nullptr;
    if (f) {
        memcpy(d->szDistrict, f->szDistrict, sizeof(d->szDistrict));
        d->iPriority = f->iPriority;
    }
    Mem_Free_Dist(list);
    return f != nullptr;
}

// Runs a change on a worker behind the busy dialog over hDlg: an add, or a
// modify followed by reading the row back.  1 stored; 2 the modify ran but
// the row is not live any more; 0 refused or failed (the data library has
// said why).
template <class T> int StoreOnWorker(HWND hDlg, tagZT_Main_Param* p, T* old, T* rec, T* held,
                                     int (*add)(int, T*), int (*upd)(int, T*, T*))
{
    return Block_RunTask(hDlg, p, [&]() {
        if (!old)
            return add(Cache_Operator(p), rec);
        if (upd(Cache_Operator(p), old, rec) != 1)
            return 0;
        *held = *rec;
        return ReadBack(held) ? 1 : 2;
    });
}

// The saves of the three dialogs: TRUE when the database holds the record
// as typed.  A rename the server's duplicate guard refused keeps the dialog
// open with what was typed (the data library names the refusal for cities
// and urban areas; for districts it is silent and the window says it).
BOOL SaveCity(NAME_DLG* d, HWND hDlg)
{
    Edit* e = static_cast<Edit*>(d->pCtx);
    tagCITY* old = static_cast<tagCITY*>(e->pOld);
    tagCITY c, held;
    memset(&c, 0, sizeof(c));
    if (old)
        c = *old;
    Gbk_CopyCut(c.szUrban, sizeof(c.szUrban), d->szName);
    held = c;
    int r = StoreOnWorker(hDlg, d->p, old, &c, &held, FD_IST_CITY, FD_UPD_CITY);
    if (r != 1 || Name(held.szUrban) != Name(c.szUrban))
        return FALSE;
    e->city = c;
    return TRUE;
}

BOOL SaveUrban(NAME_DLG* d, HWND hDlg)
{
    Edit* e = static_cast<Edit*>(d->pCtx);
    tagURBAN* old = static_cast<tagURBAN*>(e->pOld);
    tagURBAN u = old ? *old : e->urban, held;
    Gbk_CopyCut(u.szUrban, sizeof(u.szUrban), d->szName);
    u.iPriority = d->iPriority;
    held = u;
    int r = StoreOnWorker(hDlg, d->p, old, &u, &held, FD_IST_URBAN, FD_UPD_URBAN);
    if (r != 1 || Name(held.szUrban) != Name(u.szUrban) || held.iPriority != u.iPriority)
        return FALSE;
    e->urban = u;
    return TRUE;
}

BOOL SaveDistrict(NAME_DLG* d, HWND hDlg)
{
    Edit* e = static_cast<Edit*>(d->pCtx);
    tagDISTRICT* old = static_cast<tagDISTRICT*>(e->pOld);
    tagDISTRICT t = old ? *old : e->dist, held;
    Gbk_CopyCut(t.szDistrict, sizeof(t.szDistrict), d->szName);
    t.iPriority = d->iPriority;
    held = t;
    int r = StoreOnWorker(hDlg, d->p, old, &t, &held, FD_IST_DISTRICT, FD_UPD_DISTRICT);
    if (r == 0)
        return FALSE;
    if (r == 2 || Name(held.szDistrict) != Name(t.szDistrict) || held.iPriority != t.iPriority) {
        ZT_MessageBox(hDlg, kRenameRefused, "", MB_OK);
        return FALSE;
    }
    e->dist = t;
    return TRUE;
}

// ---- Commands: cities ---------------------------------------------------------------------

void CmdCityAdd(ZT_MODWIN* w, void*, const void*)
{
    Edit e = {w, nullptr, {}, {}, {}};
    NAME_DLG d = Dialog(&e, IDD_AREA_CITY, IDS_CITY_ADD, nullptr, SaveCity);
    if (NameDialog_Run(w->hwnd, &d) != IDOK)
        return;
    if (!AreaCache_AddCity(w->p, &e.city)) {
        Box(w, kCacheFull);                  // stored: listed after the next start
        return;
    }
    DictTree_Add(w->hTree, TVI_ROOT, Name(e.city.szUrban).c_str(), e.city.iOrdinal);
}

void CmdCityModify(ZT_MODWIN* w, void*, const void*)
{
    tagCITY* c = AreaCache_City(w->p, State(w)->iCity);
    if (!c) {
        Box(w, kNoSelection);
        return;
    }
    Edit e = {w, c, {}, {}, {}};
    NAME_DLG d = Dialog(&e, IDD_AREA_CITY, IDS_CITY_MODIFY, nullptr, SaveCity);
    lstrcpynA(d.szName, Name(c->szUrban).c_str(), sizeof(d.szName));
    if (NameDialog_Run(w->hwnd, &d) != IDOK)
        return;
    *c = e.city;
    DictTree_SetText(w->hTree, AreaWindow_Item(w, c->iOrdinal), Name(c->szUrban).c_str());
}

int DeleteCityTask(ZT_MODWIN* w, void* c)
{
    return FD_DEL_CITY(Cache_Operator(w->p), static_cast<tagCITY*>(c));
}

void CmdCityDelete(ZT_MODWIN* w, void*, const void*)
{
    tagCITY* c = AreaCache_City(w->p, State(w)->iCity);
    if (!c) {
        Box(w, kNoSelection);
        return;
    }
    if (!Block_ConfirmDelete(w->hwnd))
        return;
    int key = c->iOrdinal;
    if (Module_RunTask(w, DeleteCityTask, c) != 1)
        return;                              // refused (the data library said why), or the window went
    AreaCache_RemoveCity(w->p, key);
    State(w)->iCity = 0;
    RemoveItem(w, AreaWindow_Item(w, key));
}

// ---- Commands: urban areas -------------------------------------------------------------------

void CmdUrbanAdd(ZT_MODWIN* w, void*, const void*)
{
    tagCITY* c = AreaCache_City(w->p, State(w)->iCity);
    if (!c) {
        Box(w, kNoSelection);
        return;
    }
    Edit e = {w, nullptr, {}, {}, {}};
    e.urban.iParentIndex = c->iOrdinal;
    std::string city = Name(c->szUrban);
    NAME_DLG d = Dialog(&e, IDD_AREA_URBAN, IDS_URBAN_ADD, city.c_str(), SaveUrban);
    if (NameDialog_Run(w->hwnd, &d) != IDOK)
        return;
    tagURBAN* u = AreaCache_AddUrban(w->p, &e.urban);
    if (!u) {
        Box(w, kCacheFull);                  // stored: listed after the next start
        return;
    }
    HTREEITEM hCity = AreaWindow_Item(w, u->iParentIndex);
    HTREEITEM h = DictTree_Add(w->hTree, hCity, Name(u->szUrban).c_str(), u->iOrdinal);
    Expand(w, hCity);
    Select(w, h);                            // the new urban area, with its (no) districts
    Frame_AreasChanged();
}

void CmdUrbanModify(ZT_MODWIN* w, void*, const void*)
{
    tagURBAN* u = State(w)->pUrban;
    tagCITY* c = u ? AreaCache_City(w->p, u->iParentIndex) : nullptr;
    if (!u) {
        Box(w, kNoUrban);
        return;
    }
    Edit e = {w, u, {}, {}, {}};
    std::string city = c ? Name(c->szUrban) : "";
    NAME_DLG d = Dialog(&e, IDD_AREA_URBAN, IDS_URBAN_MODIFY, city.c_str(), SaveUrban);
    lstrcpynA(d.szName, Name(u->szUrban).c_str(), sizeof(d.szName));
    d.iPriority = u->iPriority;
    if (NameDialog_Run(w->hwnd, &d) != IDOK)
        return;
    *u = e.urban;
    DictTree_SetText(w->hTree, AreaWindow_Item(w, u->iOrdinal), Name(u->szUrban).c_str());
    Frame_AreasChanged();
}

int DeleteUrbanTask(ZT_MODWIN* w, void* u)
{
    return FD_DEL_URBAN(Cache_Operator(w->p), static_cast<tagURBAN*>(u));
}

void CmdUrbanDelete(ZT_MODWIN* w, void*, const void*)
{
    AREA_WINDOW* st = State(w);
    if (!st->pUrban) {
        Box(w, kNoSelection);
        return;
    }
    if (!Block_ConfirmDelete(w->hwnd))
        return;
    int key = st->pUrban->iOrdinal;
    if (Module_RunTask(w, DeleteUrbanTask, st->pUrban) != 1)
        return;                              // refused: the tree keeps the item
    st->pUrban = nullptr;
    AreaCache_RemoveUrban(w->p, key);
    RemoveItem(w, AreaWindow_Item(w, key));
    Frame_AreasChanged();
}

BOOL Merge(URBAN_MERGE* m, HWND hDlg)
{
    tagURBAN* source = const_cast<tagURBAN*>(m->pSource);      // FD_JOIN_URBAN only reads them
    tagURBAN* target = AreaCache_Urban(m->p, m->iTarget);
    if (!target)
        return FALSE;
    tagZT_Main_Param* p = m->p;
    return Block_RunTask(hDlg, p, [&]() { return FD_JOIN_URBAN(Cache_Operator(p), source, target); }) == 1;
}

// Moves the districts and estates of the selected urban area to another of
// its city; the window then shows the source's (now empty) listing.
void CmdUrbanMerge(ZT_MODWIN* w, void*, const void*)
{
    tagURBAN* u = State(w)->pUrban;
    if (!u) {
        Box(w, kNoUrban);
        return;
    }
    URBAN_MERGE m = {w->p, u, 0, Merge, w};
    if (UrbanMerge_Run(w->hwnd, &m) != IDOK)
        return;
    AreaCache_MoveUrban(w->p, u->iOrdinal, m.iTarget);
    RedrawTree(w);
}

void CmdUrbanRedraw(ZT_MODWIN* w, void*, const void*)
{
    RedrawTree(w);
}

// ---- Commands: districts ----------------------------------------------------------------------

void CmdDistrictAdd(ZT_MODWIN* w, void*, const void*)
{
    tagURBAN* u = State(w)->pUrban;
    if (!u) {
        Box(w, kNoUrban);
        return;
    }
    Edit e = {w, nullptr, {}, {}, {}};
    e.dist.iParentIndex = u->iOrdinal;
    std::string urban = Name(u->szUrban);
    NAME_DLG d = Dialog(&e, IDD_AREA_DISTRICT, IDS_DISTRICT_ADD, urban.c_str(), SaveDistrict);
    if (NameDialog_Run(w->hwnd, &d) != IDOK)
        return;
    tagDISTRICT* slot = AreaCache_AddDistrict(w->p, &e.dist);
    if (!slot) {
        Box(w, kCacheFull);                  // stored: listed after the next start
        return;
    }
    if (slot->iParentIndex != State(w)->iListed)
        return;
    if (!Block_AppendRow(w->hGrid, w->d->col, w->d->nCol, w, slot))
        return;
    w->nListed++;
    Block_SetRecordCount(w->hwnd, w->nListed);
}

void CmdDistrictModify(ZT_MODWIN* w, void* sel, const void*)
{
    tagDISTRICT* t = static_cast<tagDISTRICT*>(sel);
    tagURBAN* u = AreaCache_Urban(w->p, t->iParentIndex);
    Edit e = {w, t, {}, {}, {}};
    std::string urban = u ? Name(u->szUrban) : "";
    NAME_DLG d = Dialog(&e, IDD_AREA_DISTRICT, IDS_DISTRICT_MODIFY, urban.c_str(), SaveDistrict);
    lstrcpynA(d.szName, Name(t->szDistrict).c_str(), sizeof(d.szName));
    d.iPriority = t->iPriority;
    if (NameDialog_Run(w->hwnd, &d) != IDOK)
        return;
    *t = e.dist;                             // the row bound to it shows the change
    InvalidateRect(w->hGrid, nullptr, TRUE);
}

int DeleteDistrictTask(ZT_MODWIN* w, void* t)
{
    return FD_DEL_DISTRICT(Cache_Operator(w->p), static_cast<tagDISTRICT*>(t));
}

void CmdDistrictDelete(ZT_MODWIN* w, void* sel, const void*)
{
    int key = static_cast<tagDISTRICT*>(sel)->iOrdinal;
    int r = Module_RunTask(w, DeleteDistrictTask, sel);
    if (r < 0)
        return;                              // the window went meanwhile
    if (r != 1) {
        Box(w, "删除数据出错");
        return;
    }
    AreaCache_RemoveDistrict(w->p, key);     // its slot is free for the next district
    Module_RemoveSelected(w);
}

// ---- Tables ---------------------------------------------------------------------------------

const ZT_TBDEF kButtons[] = {
    {ID_AREA_CITY_ADD, ZTIMG_CITY, "城市管理", BTNS_DROPDOWN, AREA_OP_ANY, CTXPOS_CITY},
    {ID_AREA_URBAN_ADD, ZTIMG_URBAN, "城区管理", BTNS_DROPDOWN, AREA_OP_ANY, CTXPOS_URBAN},
    ZT_TB_SEP,
    {ID_AREA_DIST_ADD, ZTIMG_DIST_ADD, "增加片区", 0, ZT_OP_ADD},
    {ID_AREA_DIST_MODIFY, ZTIMG_DIST_EDIT, "修改片区", 0, ZT_OP_MODIFY},
    {ID_AREA_DIST_DELETE, ZTIMG_DIST_DEL, "删除片区", 0, ZT_OP_DELETE},
    ZT_TB_SEP,
    ZT_TB_CLOSING,
};

const ZT_COLDEF kColumns[] = {
    ZT_COL("序号", 50, LVT_INT, 2, offsetof(tagDISTRICT, iOrdinal)),
    ZT_COL_TEXT("片区", 60, 0, offsetof(tagDISTRICT, szDistrict)),
};

const ZT_CMDDEF kCommands[] = {
    {ID_AREA_CITY_ADD, CmdCityAdd, 0, ZT_OP_ADD, nullptr},
    {ID_AREA_CITY_MODIFY, CmdCityModify, 0, ZT_OP_MODIFY, nullptr},
    {ID_AREA_CITY_DELETE, CmdCityDelete, 0, ZT_OP_DELETE, nullptr},
    {ID_AREA_URBAN_ADD, CmdUrbanAdd, 0, ZT_OP_ADD, nullptr},
    {ID_AREA_URBAN_MODIFY, CmdUrbanModify, 0, ZT_OP_MODIFY, nullptr},
    {ID_AREA_URBAN_DELETE, CmdUrbanDelete, 0, ZT_OP_DELETE, nullptr},
    {ID_AREA_URBAN_MERGE, CmdUrbanMerge, 0, ZT_OP_MODIFY, nullptr},
    {ID_AREA_URBAN_REFRESH, CmdUrbanRedraw, 0, ZT_NO_RIGHT, nullptr},
    {ID_AREA_DIST_ADD, CmdDistrictAdd, 0, ZT_OP_ADD, nullptr},
    {ID_AREA_DIST_MODIFY, CmdDistrictModify, ZT_CMD_NEEDSEL, ZT_OP_MODIFY, " 请选择要修改的数据行"},
    {ID_AREA_DIST_DELETE, CmdDistrictDelete, ZT_CMD_NEEDSEL | ZT_CMD_CONFIRM, ZT_OP_DELETE, " 请选择要删除的数据行"},
};

}  // namespace

HTREEITEM AreaWindow_Item(const ZT_MODWIN* w, int iKey)
{
    return iKey ? DictTree_Find(w->hTree, iKey) : nullptr;
}

extern const ZT_MODULE_DESC g_AreaModule = {
    ZT_CLASS_CHILD_URBAN, IDM_AREA, ZTM_AREA, IDS_AREA, 600, 499,
    sizeof(tagDISTRICT), offsetof(tagDISTRICT, iOrdinal), sizeof(AREA_WINDOW),
    ZT_TABLE(kButtons), ZT_TABLE(kColumns), ZT_TABLE(kCommands),
    CTXPOS_DISTRICT, ID_AREA_DIST_MODIFY,
    May, nullptr, nullptr, nullptr, Load, IsListed, nullptr, nullptr, nullptr, OnMessage,
    nullptr, nullptr, 130, OnTreeSelection,
};
