#include "app/admin/recycle_window.h"
#include "app/admin/admin_lookups.h"
#include "app/admin/recycle_caches.h"
#include "app/shell/frame.h"
#include "app/shell/rights.h"
#include "app/resources/resource.h"
#include "app/resources/toolbar_images.h"
#include "common/zt_box.h"

#include <commctrl.h>
#include <cstddef>
#include <cstdlib>
#include <cstring>

namespace {

// The window's state: the look-up lists, the kind shown, one grid per kind
// and the user's scope.
struct RECY_WIN {
    ADMIN_LOOKUPS* look;
    int iType;
    HWND hGrids[RECY_KINDS];
    tagRECY_SCOPE scope;
};

RECY_WIN* State(const ZT_MODWIN* w)
{
    return static_cast<RECY_WIN*>(w->pState);
}

const RECY_ROW* Row(const void* rec)
{
    return static_cast<const RECY_ROW*>(rec);
}

const ADMIN_LOOKUPS* Look(const ZT_MODWIN* w)
{
    return State(w)->look;
}

// ---- Names of keys ------------------------------------------------------------------------

const void* Operator(const ZT_MODWIN* w, const void* r)
{
    return Lookups_Employee(Look(w), Row(r)->e.iEmp);
}
const void* HouseUrban(const ZT_MODWIN* w, const void* r)
{
    return Lookups_EstateUrban(Look(w), Row(r)->o.h.iEst);
}
const void* HouseEstate(const ZT_MODWIN* w, const void* r)
{
    return Lookups_Estate(Look(w), Row(r)->o.h.iEst);
}
const void* EstateUrban(const ZT_MODWIN* w, const void* r)
{
    return Lookups_Urban(Look(w), Row(r)->o.est.iUrban);
}
const void* EmployeeBranch(const ZT_MODWIN* w, const void* r)
{
    return Lookups_Branch(Look(w), Row(r)->o.emp.iBr);
}
const void* FollowUrban(const ZT_MODWIN* w, const void* r)
{
    return Lookups_EstateUrban(Look(w), Row(r)->o.f.iEst);
}
const void* FollowEstate(const ZT_MODWIN* w, const void* r)
{
    return Lookups_Estate(Look(w), Row(r)->o.f.iEst);
}

// ---- The grids of the kinds -------------------------------------------------------------

#define R(f) offsetof(RECY_ROW, f)
// Every grid begins with the deletion time and the deleting employee.
#define RECY_HEAD ZT_COL_TEXT("操作日期", 125, 1, R(e.szRecyle)), ZT_COL_LOOKUP("操作员工", 70, 0, Operator)
#define HOUSE_COLS(urban, estate, rec)                                                                       \
    ZT_COL_LOOKUP("城区", 60, 0, urban), ZT_COL_LOOKUP("楼盘名称", 120, 0, estate),                       \
        ZT_COL_TEXT("栋号", 50, 1, R(rec.szBuildNO)), ZT_COL_TEXT("房号", 50, 1, R(rec.szHouseNO)), \
        ZT_COL_TEXT("交易", 50, 1, R(rec.szTrade))
#define CONTENT ZT_COL_TEXT("跟进内容", 260, 0, R(o.f.szContent))

const ZT_COLDEF kHouses[] = {RECY_HEAD, HOUSE_COLS(HouseUrban, HouseEstate, o.h)};
const ZT_COLDEF kClients[] = {
    RECY_HEAD, ZT_COL_TEXT("城区", 100, 0, R(o.c.szUrban)), ZT_COL_TEXT("客户", 80, 0, R(o.c.szCliMan)),
    ZT_COL_TEXT("交易", 50, 1, R(o.c.szTrade)),
};
const ZT_COLDEF kEstates[] = {
    RECY_HEAD, ZT_COL_LOOKUP("城区", 60, 0, EstateUrban), ZT_COL_TEXT("楼盘名称", 120, 0, R(o.est.szEstate)),
};
const ZT_COLDEF kBranches[] = {RECY_HEAD, ZT_COL_TEXT("部门", 120, 0, R(o.br.szBr))};
const ZT_COLDEF kEmployees[] = {
    RECY_HEAD, ZT_COL_LOOKUP("部门", 100, 0, EmployeeBranch), ZT_COL_TEXT("员工", 80, 0, R(o.emp.szEmp)),
};
const ZT_COLDEF kPositions[] = {RECY_HEAD, ZT_COL_TEXT("职位", 100, 0, R(o.pst.szPST))};
const ZT_COLDEF kAreas[] = {RECY_HEAD, ZT_COL_TEXT("城区", 100, 0, R(o.u.szUrban))};
const ZT_COLDEF kHouseFollows[] = {RECY_HEAD, HOUSE_COLS(FollowUrban, FollowEstate, o.f), CONTENT};
const ZT_COLDEF kClientFollows[] = {
    RECY_HEAD, ZT_COL_TEXT("城区", 100, 0, R(o.f.szWay)), ZT_COL_TEXT("客户", 80, 0, R(o.f.szCliMan)),
    ZT_COL_TEXT("交易", 50, 1, R(o.f.szTrade)), CONTENT,
};
#undef CONTENT
#undef HOUSE_COLS
#undef RECY_HEAD
#undef R

// ---- Loading a kind -------------------------------------------------------------------------

// Worker: the entries and objects of a kind, copied into one block of rows
// (the data library's two arrays are released at once).
template <class T, tagRECY* (*Select)(tagRECY**, T**, int*, const tagRECY_SCOPE*, long long*),
          void (*Release)(T*)>
BOOL LoadKind(int iType, const tagRECY_SCOPE* pScope, ZT_RECSET* rs)
{
    tagRECY* recy = nullptr;
    T* obj = nullptr;
    int n = 0;
    long long matched = 0;
    if (!Select(&recy, &obj, &n, pScope, &matched) || !recy)
        return FALSE;
    RECY_ROW* rows = static_cast<RECY_ROW*>(calloc(n > 0 ? n : 1, sizeof(RECY_ROW)));
    for (int i = 0; rows && i < n; i++) {
        rows[i].iRow = i + 1;
        rows[i].iType = iType;
        rows[i].e = recy[i];
        memcpy(&rows[i].o, &obj[i], sizeof(T));
    }
    Mem_Free_Recyle(recy);
    if (obj)
        Release(obj);
    if (!rows)
        return FALSE;
    rs->pBlock = rows;
    rs->nRows = n;
    rs->nSlots = n;
    rs->nMatched = matched;
    return TRUE;
}

struct RECY_KIND {
    const char* pszName;
    const ZT_COLDEF* col;
    int nCol;
    BOOL (*pfnLoad)(int iType, const tagRECY_SCOPE* pScope, ZT_RECSET* rs);
};

// The kinds by object type: the tree's items in this order.
const RECY_KIND kKinds[RECY_KINDS] = {
    {"房源", ZT_TABLE(kHouses), LoadKind<tagHOUSE, FD_Sct_Recy_Hou, Mem_Free_Hou>},
    {"客源", ZT_TABLE(kClients), LoadKind<tagCLIENT, FD_Sct_Recy_Cli, Mem_Free_Cli>},
    {"楼盘", ZT_TABLE(kEstates), LoadKind<tagESTLIST, FD_Sct_Recy_Est, Mem_Free_EstList>},
    {"部门", ZT_TABLE(kBranches), LoadKind<tagBRLIST, FD_Sct_Recy_Br, Mem_Free_BrList>},
    {"员工", ZT_TABLE(kEmployees), LoadKind<tagEMPLIST, FD_Sct_Recy_Emp, Mem_Free_EmpList>},
    {"职位", ZT_TABLE(kPositions), LoadKind<tagPostion, FD_Sct_Recy_Pst, Mem_Free_Pst>},
    {"城区", ZT_TABLE(kAreas), LoadKind<tagURBAN, FD_Sct_Recy_Urban, Mem_Free_Urban>},
    {"房源跟进", ZT_TABLE(kHouseFollows), LoadKind<tagFOLLOW, FD_Sct_Recy_HouFol, Mem_Free_Follow>},
    {"客源跟进", ZT_TABLE(kClientFollows), LoadKind<tagFOLLOW, FD_Sct_Recy_CliFol, Mem_Free_Follow>},
};

// ---- Module hooks -------------------------------------------------------------------------

// A grid for every kind but the first (the framework's grid, with the first
// kind's columns); only one is shown.  What the user sees follows her scope.
BOOL Create(ZT_MODWIN* w)
{
    RECY_WIN* s = State(w);
    s->look = new ADMIN_LOOKUPS();
    Rights_RecycleScope(w->p, &s->scope.iEmp, &s->scope.iBr);
    s->hGrids[0] = w->hGrid;
    for (int t = 1; t < RECY_KINDS; t++) {
        HWND h = Block_Grid(w->hwnd, w->p);
        if (!h)
            return FALSE;
        SetWindowLongPtrA(h, GWLP_ID, IDC_GRID + 100 + t);
        Block_AddColumns(h, kKinds[t].col, kKinds[t].nCol);
        ShowWindow(h, SW_HIDE);
        s->hGrids[t] = h;
    }
    return TRUE;
}

// The kinds, one node each (keyed by object type).
BOOL LoadTree(ZT_MODWIN*, std::vector<ZT_TREENODE>* nodes)
{
    for (int t = 0; t < RECY_KINDS; t++)
        nodes->push_back({-1, kKinds[t].pszName, 0, t});
    return TRUE;
}

// A kind shows its own grid and lists its objects.
BOOL OnTreeSelect(ZT_MODWIN* w, const ZT_TREESEL& sel)
{
    RECY_WIN* s = State(w);
    int t = sel.iKey;
    if (sel.iKind < 0 || t < 0 || t >= RECY_KINDS || (t == s->iType && w->bLoaded))
        return FALSE;
    s->iType = t;
    Module_ShowGrid(w, s->hGrids[t], kKinds[t].col, kKinds[t].nCol);
    return TRUE;
}

int InitTask(ZT_MODWIN* w, void*)
{
    return Lookups_Load(State(w)->look) ? 1 : 0;
}

// Before a load: the look-up lists, once.  Without them nothing is listed.
BOOL Filter(ZT_MODWIN* w)
{
    if (State(w)->look->bLoaded)
        return TRUE;
    int r = Module_RunTask(w, InitTask, nullptr);
    if (r < 0)
        return FALSE;                        // the window went meanwhile
    if (r != 1) {
        ZT_MessageBox(w->hwnd, "初始化回收站参数错误", "", MB_OK | MB_ICONWARNING);
        return FALSE;
    }
    return TRUE;
}

BOOL Load(ZT_MODWIN* w, ZT_RECSET* rs)
{
    int t = State(w)->iType;
    return t >= 0 && t < RECY_KINDS && kKinds[t].pfnLoad(t, &State(w)->scope, rs);
}

int Purge(int iOpEmp, const void* rec)
{
    RECY_ROW* r = const_cast<RECY_ROW*>(Row(rec));
    return FD_Del_Recyle(iOpEmp, &r->e, r->iType);
}

void Free(void* block)
{
    free(block);
}

void Destroy(ZT_MODWIN* w)
{
    if (ADMIN_LOOKUPS* look = State(w)->look) {
        Lookups_Release(look);
        delete look;
    }
}

// ---- Commands ----------------------------------------------------------------------------

struct RESTORE {
    RECY_ROW* row;
    RECY_RESTORED got;
};

int RestoreTask(ZT_MODWIN* w, void* arg)
{
    RESTORE* r = static_cast<RESTORE*>(arg);
    if (FD_Recover_Recyle(Cache_Operator(w->p), &r->row->e, r->row->iType) != 1)
        return 0;
    RecyCaches_Read(r->row->iType, r->row->e.iObjOrdinal, &r->row->o.emp, &r->got);
    return 1;
}

void CmdRestore(ZT_MODWIN* w, void* sel, const void*)
{
    if (ZT_MessageBox(w->hwnd, "还原后该记录将回到原来的列表中, 是否还原?", "还原确认", MB_OKCANCEL | MB_ICONQUESTION) !=
        IDOK)
        return;
    RESTORE* r = new RESTORE();
    r->row = static_cast<RECY_ROW*>(sel);
    int done = Module_RunTask(w, RestoreTask, r);
    if (done == 1) {
        if (!RecyCaches_Put(w->p, &r->got))
            ZT_MessageBox(w->hwnd, "还原成功, 本地缓存已满: 重新登录后才能在各窗口中看到它", "", MB_OK);
        Module_RemoveSelected(w);
    }
    delete r;
}

int ClearTask(ZT_MODWIN* w, void*)
{
    return FD_Clear_Recyle(Cache_Operator(w->p), State(w)->iType, &State(w)->scope) == 1 ? 1 : 0;
}

void CmdClear(ZT_MODWIN* w, void*, const void*)
{
    if (Module_RunTask(w, ClearTask, nullptr) == 1)
        Module_Refresh(w);
}

// ---- Tables ------------------------------------------------------------------------------

// Restoring is "管理回收站" as a modify, purging and clearing as a delete.
const ZT_TBDEF kButtons[] = {
    {ID_RECYCLE_RESTORE, ZTIMG_RECY_RESTORE, "还原记录", 0, ZT_OP_MODIFY},
    {ID_RECYCLE_DELETE, ZTIMG_RECY_DEL, "删除记录", 0, ZT_OP_DELETE},
    {ID_RECYCLE_CLEAR, ZTIMG_RECY_CLEAR, "清空记录", 0, ZT_OP_DELETE},
    ZT_TB_SEP,
    ZT_TB_CLOSING,
};

const ZT_CMDDEF kCommands[] = {
    {ID_RECYCLE_RESTORE, CmdRestore, ZT_CMD_NEEDSEL, ZT_OP_MODIFY, "请选择数据"},
    {ID_RECYCLE_DELETE, Module_CmdDelete, ZT_CMD_NEEDSEL | ZT_CMD_CONFIRM, ZT_OP_DELETE, "请选择数据"},
    {ID_RECYCLE_CLEAR, CmdClear, ZT_CMD_CONFIRM, ZT_OP_DELETE, nullptr},
};

const ZT_TREEDESC kTree = {110, LoadTree, OnTreeSelect, {-1, -1, -1, -1}, FALSE, 0};

}  // namespace

int RecycleWindow_Type(HWND hwnd)
{
    ZT_MODWIN* w = Module_Of(hwnd);
    return w && w->d == &g_RecycleModule ? State(w)->iType : -1;
}

const char* RecycleWindow_KindName(int iType)
{
    return iType >= 0 && iType < RECY_KINDS ? kKinds[iType].pszName : "";
}

extern const ZT_MODULE_DESC g_RecycleModule = {
    ZT_CLASS_CHILD_RECY, IDM_RECYCLE, ZTM_RECYCLE, IDS_RECYCLE, CW_USEDEFAULT, CW_USEDEFAULT,
    sizeof(RECY_ROW), offsetof(RECY_ROW, iRow), sizeof(RECY_WIN),
    ZT_TABLE(kButtons), ZT_TABLE(kHouses), ZT_TABLE(kCommands), CTXPOS_RECYCLE, 0,
    nullptr, Create, nullptr, Filter, Load, nullptr, Purge, Free, Destroy, nullptr,
    nullptr, nullptr, &kTree,
};
