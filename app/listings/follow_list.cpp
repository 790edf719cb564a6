#include "app/listings/follow_list.h"
#include "app/shell/caches.h"
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
    {"跟进日期", 109, LVT_TEXT, nullptr, LVU_NONE, 0, offsetof(tagFOLLOW, dtFollow), nullptr},
    {"跟进内容", 372, LVT_TEXT, nullptr, LVU_NONE, 0, offsetof(tagFOLLOW, szContent), nullptr},
    {"员工", 72, LVT_TEXT, nullptr, LVU_NONE, 0, 0, WriterName},
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

BOOL FollowList_Reload(FOLLOW_LIST* l, int iHou, int iCli)
{
    ClearGrids(l);
    if (l->pFol)
        Mem_Free_Follow(l->pFol);
    l->pFol = nullptr;
    l->nFol = 0;
    l->iHou = iHou;
    l->iCli = iHou ? 0 : iCli;

    tagFOLLOW* block = nullptr;
    int n = 0;
    BOOL ok = FD_Sct_Follow(&block, l->iHou, l->iCli, &n, nullptr) != nullptr;
    if (ok) {
        l->pFol = block;
        l->nFol = n;
        FillGrid(l, l->hGrid);
        FillGrid(l, l->hGrid2);
    }
    Follow_SetLoading(l->p ? l->p : &g_ZTMain, FALSE);
    return ok;
}

struct RELOAD_ARG {
    FOLLOW_LIST* l;
    int iHou, iCli;
};

static DWORD WINAPI ReloadProc(LPVOID pv)
{
    RELOAD_ARG* a = static_cast<RELOAD_ARG*>(pv);
    FollowList_Reload(a->l, a->iHou, a->iCli);
    delete a;
    return 0;
}

void FollowList_Wait(FOLLOW_LIST* l)
{
    if (!l->hThread)
        return;
    // The reload sends the grids messages: they are answered while waiting.
    for (;;) {
        DWORD r = MsgWaitForMultipleObjects(1, &l->hThread, FALSE, INFINITE, QS_SENDMESSAGE);
        if (r != WAIT_OBJECT_0 + 1)
            break;
        MSG m;
        PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    CloseHandle(l->hThread);
    l->hThread = nullptr;
}

BOOL FollowList_StartReload(FOLLOW_LIST* l, int iHou, int iCli)
{
    FollowList_Wait(l);
    tagZT_Main_Param* p = l->p ? l->p : &g_ZTMain;
    Follow_SetLoading(p, TRUE);
    RELOAD_ARG* a = new RELOAD_ARG{l, iHou, iCli};
    DWORD tid;
    l->hThread = CreateThread(nullptr, 0, ReloadProc, a, 0, &tid);
    if (!l->hThread) {
        delete a;
        Follow_SetLoading(p, FALSE);
        return FALSE;
    }
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
    FollowList_Wait(l);
    ClearGrids(l);
    if (l->pFol)
        Mem_Free_Follow(l->pFol);
    l->pFol = nullptr;
    l->nFol = 0;
}
