#include "app/listings/follow_list.h"
#include "app/shell/caches.h"
#include "app/shell/jobs.h"
#include "common/zt_box.h"

#include <cstddef>
#include <cstring>

static tagZT_Main_Param* Block(const ZT_MODWIN* w)
{
    return w ? w->p : &g_ZTMain;
}

static const void* WriterName(const ZT_MODWIN* w, const void* rec)
{
    return Cache_EmployeeName(Block(w), static_cast<const tagFOLLOW*>(rec)->iEmp);
}

static const ZT_COLDEF kColumns[] = {
    ZT_COL_TEXT("跟进日期", 130, 0, offsetof(tagFOLLOW, dtFollow)),
    ZT_COL_TEXT("跟进内容", 372, 0, offsetof(tagFOLLOW, szContent)),
    ZT_COL_LOOKUP("员工", 72, 0, WriterName),
};
static const int kNumColumns = sizeof(kColumns) / sizeof(kColumns[0]);

// ---- The loading flag ----------------------------------------------------------------------

BOOL Follow_IsLoading(tagZT_Main_Param* p)
{
    if (p->bLockReady)
        EnterCriticalSection(&p->csApp);
    BOOL b = p->bFollowLoading != 0;
    if (p->bLockReady)
        LeaveCriticalSection(&p->csApp);
    return b;
}

void Follow_SetLoading(tagZT_Main_Param* p, BOOL bLoading)
{
    if (p->bLockReady)
        EnterCriticalSection(&p->csApp);
    p->bFollowLoading = bLoading ? 1 : 0;
    if (p->bLockReady)
        LeaveCriticalSection(&p->csApp);
}

// ---- The list ---------------------------------------------------------------------------------

HWND FollowList_CreateGrid(HWND hParent, int id, tagZT_Main_Param* p)
{
    HWND h = Block_Grid(hParent, p);
    if (!h)
        return nullptr;
    SetWindowLongPtrA(h, GWLP_ID, id);
    Block_AddColumns(h, kColumns, kNumColumns);
    return h;
}

static void ClearGrids(FOLLOW_LIST* l)
{
    if (l->hGrid)
        SendMessageA(l->hGrid, GRM_CLEAR, 0, 0);
    if (l->hGrid2)
        SendMessageA(l->hGrid2, GRM_CLEAR, 0, 0);
}

static void FillGrid(FOLLOW_LIST* l, HWND hGrid)
{
    if (hGrid && l->pFol)
        Block_FillGrid(hGrid, kColumns, kNumColumns, nullptr, l->pFol, l->nFol + 101, sizeof(tagFOLLOW),
                       offsetof(tagFOLLOW, iOrdinal), nullptr);
}

// Forgets the shown follow-ups and names the listing the next ones are of.
static void Forget(FOLLOW_LIST* l, int iHou, int iCli)
{
    ClearGrids(l);
    if (l->pFol)
        Mem_Free_Follow(l->pFol);
    l->pFol = nullptr;
    l->nFol = 0;
    l->iHou = iHou;
    l->iCli = iHou ? 0 : iCli;
}

// Shows a loaded block in both grids.
static void Show(FOLLOW_LIST* l, tagFOLLOW* block, int n)
{
    l->pFol = block;
    l->nFol = n;
    FillGrid(l, l->hGrid);
    FillGrid(l, l->hGrid2);
}

static tagFOLLOW* Load(int iHou, int iCli, int* pn)
{
    tagFOLLOW* block = nullptr;
    *pn = 0;
    return FD_Sct_Follow(&block, iHou, iCli, pn, nullptr) ? block : nullptr;
}

BOOL FollowList_Reload(FOLLOW_LIST* l, int iHou, int iCli)
{
    Job_Drop(l);
    Forget(l, iHou, iCli);
    int n = 0;
    tagFOLLOW* block = Load(l->iHou, l->iCli, &n);
    if (block)
        Show(l, block, n);
    Follow_SetLoading(l->p ? l->p : &g_ZTMain, FALSE);
    return block != nullptr;
}

// A reload on a worker: the block it brought, shown when it is still the
// newest reload of its list.
struct RELOAD_JOB : ZT_JOB {
    FOLLOW_LIST* l;
    tagZT_Main_Param* p;
    int iHou, iCli;
    tagFOLLOW* block;
    int n;
};

static void ReloadWork(ZT_JOB* j)
{
    RELOAD_JOB* r = static_cast<RELOAD_JOB*>(j);
    r->block = Load(r->iHou, r->iCli, &r->n);
}

static void ReloadTake(ZT_JOB* j)
{
    RELOAD_JOB* r = static_cast<RELOAD_JOB*>(j);
    if (r->block)
        Show(r->l, r->block, r->n);
    r->block = nullptr;
    Follow_SetLoading(r->p, FALSE);
}

static void ReloadFree(ZT_JOB* j)
{
    RELOAD_JOB* r = static_cast<RELOAD_JOB*>(j);
    if (r->block)
        Mem_Free_Follow(r->block);
    delete r;
}

void FollowList_Wait(FOLLOW_LIST* l)
{
    Job_Settle(l);
}

BOOL FollowList_StartReload(FOLLOW_LIST* l, int iHou, int iCli)
{
    Forget(l, iHou, iCli);
    tagZT_Main_Param* p = l->p ? l->p : &g_ZTMain;
    Follow_SetLoading(p, TRUE);
    RELOAD_JOB* r = Job_New<RELOAD_JOB>(l, 0, ReloadWork, ReloadTake, ReloadFree);
    r->l = l;
    r->p = p;
    r->iHou = l->iHou;
    r->iCli = l->iCli;
    Job_Start(r);
    return TRUE;
}

tagFOLLOW* FollowList_Add(FOLLOW_LIST* l, const tagFOLLOW* pFol, HWND hOwner)
{
    tagFOLLOW* slot = nullptr;
    for (int i = 0; l->pFol && i < l->nFol + 101 && !slot; i++)
        if (l->pFol[i].iOrdinal == 0)
            slot = &l->pFol[i];
    if (!slot) {
        ZT_MessageBox(hOwner, "写跟进成功, 本地内存出错", "", MB_OK);
        return nullptr;
    }
    *slot = *pFol;
    if (l->hGrid)
        Block_AppendRow(l->hGrid, kColumns, kNumColumns, nullptr, slot);
    if (l->hGrid2)
        Block_AppendRow(l->hGrid2, kColumns, kNumColumns, nullptr, slot);
    return slot;
}

void FollowList_Free(FOLLOW_LIST* l)
{
    Job_Drop(l);
    Forget(l, l->iHou, l->iCli);
    Follow_SetLoading(l->p ? l->p : &g_ZTMain, FALSE);
}
