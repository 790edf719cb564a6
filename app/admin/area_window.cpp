#include "app/admin/area_window.h"
#include "app/admin/area_merge.h"
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

enum { NODE_CITY = 0, NODE_URBAN = 1 };

// Worker: cities in cache order, each with its urban areas in slot order
// (free slots left by deletions are skipped, records put into them listed).
BOOL LoadTree(ZT_MODWIN* w, std::vector<ZT_TREENODE>* nodes)
{
    const tagZT_Main_Param* p = w->p;
    Cache_ForCities(p, [&](const tagCITY& c) {
        int city = static_cast<int>(nodes->size());
        nodes->push_back({-1, Name(c.szUrban), NODE_CITY, c.iOrdinal});
        Cache_ForUrbans(p, [&](const tagURBAN& u) {
            if (u.iParentIndex == c.iOrdinal)
                nodes->push_back({city, Name(u.szUrban), NODE_URBAN, u.iOrdinal});
        });
    });
    return TRUE;
}

// An urban area lists its districts (unless the grid shows them already);
// a city without urban areas empties the grid.
BOOL OnTreeSelection(ZT_MODWIN* w, const ZT_TREESEL& sel)
{
    AREA_WINDOW* st = State(w);
    const tagURBAN* was = st->pUrban;
    st->iCity = sel.iKind == NODE_URBAN ? sel.iParentKey : sel.iKind == NODE_CITY ? sel.iKey : 0;
    st->pUrban = sel.iKind == NODE_URBAN ? Cache_Urban(w->p, sel.iKey) : nullptr;
    return !st->pUrban || st->pUrban != was || !w->bLoaded;
}

HTREEITEM Item(const ZT_MODWIN* w, int iKind, int iKey)
{
    return iKey ? Module_TreeItem(w, iKind, iKey) : nullptr;
}

// ---- Hooks ---------------------------------------------------------------------------------

// Worker: the selected urban area's districts, straight from the shared
// cache: the grid's rows are the cache's records.
BOOL Load(ZT_MODWIN* w, ZT_RECSET* rs)
{
    tagZT_Main_Param* p = w->p;
    if (!State(w)->pUrban || !p->pDist)
        return FALSE;                        // no urban area: an empty grid, 0 listed
    rs->pBlock = p->pDist;
    rs->nRows = p->nDist;
    rs->nSlots = Cache_DistrictSlots(p);
    return TRUE;
}

BOOL IsListed(const ZT_MODWIN* w, const void* rec)
{
    const tagURBAN* u = State(w)->pUrban;
    return u && static_cast<const tagDISTRICT*>(rec)->iParentIndex == u->iOrdinal;
}

int DeleteDistrict(int iOpEmp, const void* rec)
{
    return FD_DEL_DISTRICT(iOpEmp, const_cast<tagDISTRICT*>(static_cast<const tagDISTRICT*>(rec)));
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
    // Named as its label reads: a longer name is refused, never cut.
    d.pszLabel = iDialog == IDD_AREA_CITY ? "城市" : iDialog == IDD_AREA_URBAN ? "城区名称" : "片区名称";
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
    if (!Cache_PutCity(w->p, &e.city)) {
        Box(w, kCacheFull);                  // stored: listed after the next start
        return;
    }
    Module_TreeAdd(w, TVI_ROOT, Name(e.city.szUrban).c_str(), NODE_CITY, e.city.iOrdinal);
}

void CmdCityModify(ZT_MODWIN* w, void*, const void*)
{
    const tagCITY* c = Cache_City(w->p, State(w)->iCity);
    if (!c) {
        Box(w, kNoSelection);
        return;
    }
    Edit e = {w, const_cast<tagCITY*>(c), {}, {}, {}};
    NAME_DLG d = Dialog(&e, IDD_AREA_CITY, IDS_CITY_MODIFY, nullptr, SaveCity);
    lstrcpynA(d.szName, Name(c->szUrban).c_str(), sizeof(d.szName));
    if (NameDialog_Run(w->hwnd, &d) != IDOK)
        return;
    Cache_PutCity(w->p, &e.city);
    Module_TreeSetText(w, Item(w, NODE_CITY, c->iOrdinal), Name(c->szUrban).c_str());
}

int DeleteCityTask(ZT_MODWIN* w, void* c)
{
    return FD_DEL_CITY(Cache_Operator(w->p), static_cast<tagCITY*>(c));
}

void CmdCityDelete(ZT_MODWIN* w, void*, const void*)
{
    const tagCITY* c = Cache_City(w->p, State(w)->iCity);
    if (!c) {
        Box(w, kNoSelection);
        return;
    }
    if (!Block_ConfirmToBin(w->hwnd))
        return;
    int key = c->iOrdinal;
    tagCITY copy = *c;
    if (Module_RunTask(w, DeleteCityTask, &copy) != 1)
        return;                              // refused (the data library said why), or the window went
    Cache_Drop(w->p, ZTC_CITY, key);
    State(w)->iCity = 0;
    Module_TreeRemove(w, Item(w, NODE_CITY, key));
}

// ---- Commands: urban areas -------------------------------------------------------------------

void CmdUrbanAdd(ZT_MODWIN* w, void*, const void*)
{
    const tagCITY* c = Cache_City(w->p, State(w)->iCity);
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
    tagURBAN* u = Cache_PutUrban(w->p, &e.urban);
    if (!u) {
        Box(w, kCacheFull);                  // stored: listed after the next start
        return;
    }
    HTREEITEM h = Module_TreeAdd(w, Item(w, NODE_CITY, u->iParentIndex), Name(u->szUrban).c_str(), NODE_URBAN,
                                 u->iOrdinal);
    Module_TreeSelect(w, h);                 // the new urban area, with its (no) districts
}

void CmdUrbanModify(ZT_MODWIN* w, void*, const void*)
{
    const tagURBAN* u = State(w)->pUrban;
    const tagCITY* c = u ? Cache_City(w->p, u->iParentIndex) : nullptr;
    if (!u) {
        Box(w, kNoUrban);
        return;
    }
    Edit e = {w, const_cast<tagURBAN*>(u), {}, {}, {}};
    std::string city = c ? Name(c->szUrban) : "";
    NAME_DLG d = Dialog(&e, IDD_AREA_URBAN, IDS_URBAN_MODIFY, city.c_str(), SaveUrban);
    lstrcpynA(d.szName, Name(u->szUrban).c_str(), sizeof(d.szName));
    d.iPriority = u->iPriority;
    if (NameDialog_Run(w->hwnd, &d) != IDOK)
        return;
    Cache_PutUrban(w->p, &e.urban);
    Module_TreeSetText(w, Item(w, NODE_URBAN, u->iOrdinal), Name(u->szUrban).c_str());
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
    if (!Block_ConfirmToBin(w->hwnd))
        return;
    int key = st->pUrban->iOrdinal;
    tagURBAN copy = *st->pUrban;
    if (Module_RunTask(w, DeleteUrbanTask, &copy) != 1)
        return;                              // refused: the tree keeps the item
    st->pUrban = nullptr;
    Cache_Drop(w->p, ZTC_URBAN, key);
    Module_TreeRemove(w, Item(w, NODE_URBAN, key));
}

// The worker moves the districts and estates, then the emptied source to
// the recycle bin; the result box is shown over the dialog on this thread,
// so it has the keyboard focus (Enter closes it).
BOOL Merge(URBAN_MERGE* m, HWND hDlg)
{
    const tagURBAN* t = Cache_Urban(m->p, m->iTarget);
    if (!t)
        return FALSE;
    tagURBAN source = *m->pSource, target = *t;
    tagZT_Main_Param* p = m->p;
    char said[128] = "";
    BOOL gone = FALSE;
    int r = Block_RunTask(hDlg, p, [&]() {
        if (FD_JOIN_URBAN_TOLD(Cache_Operator(p), &source, &target, said, sizeof(said)) != 1)
            return 0;
        gone = FD_DEL_URBAN(Cache_Operator(p), &source) == 1;
        return 1;
    });
    if (r != 1)
        return FALSE;
    m->bSourceGone = gone;
    ZT_MessageBox(hDlg, said, "合并成功", MB_OK | MB_ICONINFORMATION);
    return TRUE;
}

// Moves the districts and estates of the selected urban area to another of
// its city; the emptied source leaves the tree and the target is shown
// with what it now holds.
void CmdUrbanMerge(ZT_MODWIN* w, void*, const void*)
{
    const tagURBAN* u = State(w)->pUrban;
    if (!u) {
        Box(w, kNoUrban);
        return;
    }
    URBAN_MERGE m = {w->p, u, 0, Merge, w, FALSE};
    if (UrbanMerge_Run(w->hwnd, &m) != IDOK)
        return;
    int source = u->iOrdinal;
    Cache_MoveUrban(w->p, source, m.iTarget);
    if (!m.bSourceGone) {
        Module_TreeReload(w);                // refused meanwhile: the source stays, empty
        return;
    }
    State(w)->pUrban = nullptr;
    Cache_Drop(w->p, ZTC_URBAN, source);
    Module_TreeRemove(w, Item(w, NODE_URBAN, source));
    Module_TreeSelect(w, Item(w, NODE_URBAN, m.iTarget));
}

void CmdUrbanRedraw(ZT_MODWIN* w, void*, const void*)
{
    Module_TreeReload(w);
}

// ---- Commands: districts ----------------------------------------------------------------------

void CmdDistrictAdd(ZT_MODWIN* w, void*, const void*)
{
    const tagURBAN* u = State(w)->pUrban;
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
    tagDISTRICT* slot = Cache_PutDistrict(w->p, &e.dist);
    if (!slot) {
        Box(w, kCacheFull);                  // stored: listed after the next start
        return;
    }
    if (!IsListed(w, slot))
        return;
    if (!Block_AppendRow(w->hGrid, w->d->col, w->d->nCol, w, slot))
        return;
    w->nListed++;
    Block_SetRecordCount(w->hwnd, w->nListed);
}

void CmdDistrictModify(ZT_MODWIN* w, void* sel, const void*)
{
    tagDISTRICT* t = static_cast<tagDISTRICT*>(sel);
    const tagURBAN* u = Cache_Urban(w->p, t->iParentIndex);
    Edit e = {w, t, {}, {}, {}};
    std::string urban = u ? Name(u->szUrban) : "";
    NAME_DLG d = Dialog(&e, IDD_AREA_DISTRICT, IDS_DISTRICT_MODIFY, urban.c_str(), SaveDistrict);
    lstrcpynA(d.szName, Name(t->szDistrict).c_str(), sizeof(d.szName));
    d.iPriority = t->iPriority;
    if (NameDialog_Run(w->hwnd, &d) != IDOK)
        return;
    Cache_PutDistrict(w->p, &e.dist);        // the row bound to it shows the change
    InvalidateRect(w->hGrid, nullptr, TRUE);
}

// ---- Tables ---------------------------------------------------------------------------------

// The two drop-down buttons stand for all three operations on their records
// and are greyed only when none is allowed.
const ZT_TBDEF kButtons[] = {
    {ID_AREA_CITY_ADD, ZTIMG_CITY, "城市管理", BTNS_DROPDOWN, ZT_OP_CHANGE, CTXPOS_CITY},
    {ID_AREA_URBAN_ADD, ZTIMG_URBAN, "城区管理", BTNS_DROPDOWN, ZT_OP_CHANGE, CTXPOS_URBAN},
    ZT_TB_SEP,
    ZT_TB_EDITS(AREA_DIST, DIST, "片区"),
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
    {ID_AREA_URBAN_REFRESH, CmdUrbanRedraw, 0, ZT_OP_VIEW, nullptr},
    {ID_AREA_DIST_ADD, CmdDistrictAdd, 0, ZT_OP_ADD, nullptr},
    {ID_AREA_DIST_MODIFY, CmdDistrictModify, ZT_CMD_NEEDSEL, ZT_OP_MODIFY, " 请选择要修改的数据行"},
    {ID_AREA_DIST_DELETE, Module_CmdDelete, ZT_CMD_NEEDSEL | ZT_CMD_TO_BIN, ZT_OP_DELETE, " 请选择要删除的数据行",
     "删除数据出错"},
};

const ZT_TREEDESC kTree = {130, LoadTree, OnTreeSelection, {CTXPOS_CITY, CTXPOS_URBAN, -1, -1}, FALSE, 0};

}  // namespace

extern const ZT_MODULE_DESC g_AreaModule = ZT_TREE_MODULE(
    ZT_CLASS_CHILD_URBAN, IDM_AREA, ZTM_AREA, IDS_AREA, 600, 499,
    tagDISTRICT, AREA_WINDOW, CTXPOS_DISTRICT, ID_AREA_DIST_MODIFY, ZTC_DISTRICT,
    nullptr, nullptr, nullptr, nullptr, Load, IsListed, DeleteDistrict, nullptr, nullptr, nullptr,
    nullptr, nullptr);
