// The module window: registration, the one window procedure, refresh on a
// worker, the grid fill, adding and deleting records, the tree and the
// placeholder of a module not built yet.
#include "app/shell/module.h"
#include "app/shell/module_tree.h"
#include "app/shell/caches.h"
#include "app/shell/export.h"
#include "app/shell/input_controls.h"
#include "app/shell/rights.h"
#include "app/resources/resource.h"
#include "common/zt_box.h"
#include "data/connection.h"

#include <commctrl.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

// Posted once the window exists: the first load runs when the window is
// on screen, so that the busy dialog has somewhere to stand.
#define WM_MODULE_FIRSTLOAD (WM_APP + 71)

enum { MAX_REGISTERED = 32 };
static const ZT_MODULE_DESC* g_registered[MAX_REGISTERED];
static int g_nRegistered = 0;
// The frame's routine for a child activated or gone.
static void (*g_pfnChildChanged)() = nullptr;

// ---- Registration ------------------------------------------------------------------

BOOL Module_Register(const ZT_MODULE_DESC* d)
{
    if (!d || !d->pszClass)
        return FALSE;
    for (int i = 0; i < g_nRegistered; i++)
        if (strcmp(g_registered[i]->pszClass, d->pszClass) == 0) {
            g_registered[i] = d;
            return TRUE;
        }
    if (g_nRegistered >= MAX_REGISTERED)
        return FALSE;
    g_registered[g_nRegistered++] = d;
    return TRUE;
}

// Registered modules first: a registration overrides the built-in list.
template <class Pred> static const ZT_MODULE_DESC* FindDesc(Pred match)
{
    for (int i = 0; i < g_nRegistered; i++)
        if (match(g_registered[i]))
            return g_registered[i];
    for (int i = 0; i < g_nModuleList; i++)
        if (g_moduleList[i] && match(g_moduleList[i]))
            return g_moduleList[i];
    return nullptr;
}

const ZT_MODULE_DESC* Module_ByCommand(int iCmd)
{
    if (iCmd == 0)
        return nullptr;
    return FindDesc([iCmd](const ZT_MODULE_DESC* d) { return d->iOpenCmd == iCmd; });
}

const ZT_MODULE_DESC* Module_ByClass(const char* pszClass)
{
    if (!pszClass)
        return nullptr;
    return FindDesc([pszClass](const ZT_MODULE_DESC* d) { return lstrcmpiA(d->pszClass, pszClass) == 0; });
}

static BOOL RegisterOne(HINSTANCE hInst, const ZT_MODULE_DESC* d)
{
    WNDCLASSEXA existing;
    if (GetClassInfoExA(hInst, d->pszClass, &existing))
        return TRUE;
    return Block_RegisterClass(hInst, d->pszClass, Module_WndProc, COLOR_BTNFACE, nullptr);
}

BOOL Module_RegisterClasses(HINSTANCE hInst, void (*pfnChildChanged)())
{
    if (pfnChildChanged)
        g_pfnChildChanged = pfnChildChanged;
    BOOL ok = TRUE;
    for (int i = 0; i < g_nModuleList; i++)
        if (g_moduleList[i] && Module_ByClass(g_moduleList[i]->pszClass) == g_moduleList[i])
            ok = RegisterOne(hInst, g_moduleList[i]) && ok;
    for (int i = 0; i < g_nRegistered; i++)
        ok = RegisterOne(hInst, g_registered[i]) && ok;
    return ok;
}

ZT_MODWIN* Module_Of(HWND hwnd)
{
    if (!hwnd || GetWindowLongPtrA(hwnd, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(Module_WndProc))
        return nullptr;
    return reinterpret_cast<ZT_MODWIN*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

// The right of a row: operation iOp of the row's module (iModule -1: the
// module's own, asked through the descriptor's pfnMay when it has one).
static BOOL MayRow(const ZT_MODULE_DESC* d, const tagZT_Main_Param* p, int iOp, int iModule)
{
    if (iOp < 0)
        return TRUE;
    if (iModule >= 0)
        return Rights_May(p, iModule, iOp);
    return d->pfnMay ? d->pfnMay(p, iOp) : Rights_May(p, d->iModule, iOp);
}

static BOOL May(const ZT_MODWIN* w, int iOp, int iModule = -1)
{
    return MayRow(w->d, w->p, iOp, iModule);
}

void Module_ToolbarRights(const ZT_MODULE_DESC* d, const tagZT_Main_Param* p, HWND hToolbar)
{
    for (int i = 0; d && hToolbar && i < d->nTb; i++)
        if (d->tb[i].iCmd > 0 && !MayRow(d, p, d->tb[i].iRightOp, d->tb[i].iRightModule))
            SendMessageA(hToolbar, TB_ENABLEBUTTON, static_cast<WPARAM>(d->tb[i].iCmd), MAKELPARAM(FALSE, 0));
}

static BOOL IsPlaceholder(const ZT_MODULE_DESC* d)
{
    return d->nTb == 0 && d->nCol == 0;
}

static void ChildChanged()
{
    if (g_pfnChildChanged)
        g_pfnChildChanged();
}

// ---- Records and the grid -------------------------------------------------------------

static char* Slot(const ZT_MODWIN* w, int i)
{
    return static_cast<char*>(w->rs.pBlock) + static_cast<size_t>(i) * w->d->cbRecord;
}

static int32_t KeyOf(const void* rec, size_t offKey)
{
    int32_t key;
    memcpy(&key, static_cast<const char*>(rec) + offKey, sizeof(key));
    return key;
}

// A look-up column's value: the column's ZT_COLDEF asked about the record
// for the window that filled the grid.
static const void* LookupValue(const void* pOwner, const tagLV_COLUMN* pColumn, const void* rec)
{
    const ZT_COLDEF* def = static_cast<const ZT_COLDEF*>(pColumn->pValueArg);
    return def->pfnLookup(static_cast<const ZT_MODWIN*>(pOwner), rec);
}

// A ZT_COLF_ZERO_EMPTY column's value: the field, or none when it is 0.
static const void* NonZeroValue(const void*, const tagLV_COLUMN* pColumn, const void* rec)
{
    const char* v = static_cast<const char*>(rec) + pColumn->iOffset;
    if (pColumn->iType == LVT_DOUBLE) {
        double x;
        memcpy(&x, v, sizeof(x));
        return x != 0 ? v : nullptr;
    }
    int32_t n;
    memcpy(&n, v, sizeof(n));
    return n != 0 ? v : nullptr;
}

void Block_AddColumns(HWND hGrid, const ZT_COLDEF* col, int nCol)
{
    for (int c = 0; c < nCol; c++) {
        tagLV_COLUMN lc;
        memset(&lc, 0, sizeof(lc));
        lc.iId = static_cast<int16_t>(c + 1);
        lc.iWidth = static_cast<int16_t>(col[c].iWidth);
        lstrcpynA(lc.szName, col[c].pszCaption ? col[c].pszCaption : "", sizeof(lc.szName));
        lstrcpynA(lc.szCaption, col[c].pszCaption ? col[c].pszCaption : "", sizeof(lc.szCaption));
        lstrcpynA(lc.szUnit, col[c].pszUnit ? col[c].pszUnit : "", sizeof(lc.szUnit));
        lc.iType = col[c].iType;
        lc.iUnitMode = col[c].pszUnit ? col[c].iUnitMode : LVU_NONE;
        lc.iAlign = col[c].iAlign;
        lc.iShown = 1;
        lc.iOffset = static_cast<int32_t>(col[c].off);
        lc.pfnValue = col[c].pfnLookup                          ? LookupValue
                      : (col[c].fFlags & ZT_COLF_ZERO_EMPTY) != 0 ? NonZeroValue
                                                                   : nullptr;
        lc.pValueArg = &col[c];
        SendMessageA(hGrid, GRM_ADDCOLUMN, 0, reinterpret_cast<LPARAM>(&lc));
    }
}

int Block_FillGrid(HWND hGrid, const ZT_COLDEF*, int, const ZT_MODWIN* w, void* pBlock, int nSlots, size_t cbRecord,
                   size_t offKey, BOOL (*pfnCheck)(const ZT_MODWIN*, const void*))
{
    char* base = static_cast<char*>(pBlock);
    // The slots listed; while they are the first n slots in turn (a load's
    // rows before its spare records) the grid is told only their count.
    std::vector<int32_t> rows;
    int n = 0;
    bool inTurn = true;
    for (int i = 0; base && i < nSlots; i++) {
        const char* rec = base + static_cast<size_t>(i) * cbRecord;
        if (KeyOf(rec, offKey) == 0 || (pfnCheck && !pfnCheck(w, rec)))
            continue;
        if (inTurn && i != n) {
            inTurn = false;
            rows.reserve(static_cast<size_t>(nSlots - i) + static_cast<size_t>(n));
            for (int k = 0; k < n; k++)
                rows.push_back(k);
        }
        if (!inTurn)
            rows.push_back(i);
        n++;
    }
    tagLV_FILL f;
    memset(&f, 0, sizeof(f));
    f.pRecords = pBlock;
    f.cbRecord = static_cast<int32_t>(cbRecord);
    f.nRecords = base ? nSlots : 0;
    f.pRows = inTurn ? nullptr : rows.data();
    f.pOwner = w;
    if (!SendMessageA(hGrid, GRM_BEGINFILL, static_cast<WPARAM>(n), reinterpret_cast<LPARAM>(&f)))
        return -1;
    SendMessageA(hGrid, GRM_SORT, 0, 0);
    return n;
}

BOOL Block_AppendRow(HWND hGrid, const ZT_COLDEF*, int, const ZT_MODWIN*, void* pRecord)
{
    return SendMessageA(hGrid, GRM_APPENDROW, 0, reinterpret_cast<LPARAM>(pRecord)) ? TRUE : FALSE;
}

void* Module_Selected(const ZT_MODWIN* w)
{
    if (!w || !w->hGrid)
        return nullptr;
    return reinterpret_cast<void*>(SendMessageA(w->hGrid, GRM_GETSEL, 0, 0));
}

static void ShowListStatus(ZT_MODWIN* w);

static void ShowCount(ZT_MODWIN* w)
{
    Block_SetRecordCount(w->hwnd, w->nListed);
}

// A row added or removed by hand: the count box and the status line of a
// bounded list both follow it (the filter's total changes with the row).
static void FollowListed(ZT_MODWIN* w, int iDelta)
{
    if (w->rs.nMatched > 0)
        w->rs.nMatched += iDelta;
    ShowCount(w);
    ShowListStatus(w);
    if (w->d->pfnRowsChanged)
        w->d->pfnRowsChanged(w);
}

void* Module_AddRecord(ZT_MODWIN* w, const void* pRecord)
{
    if (!w || !pRecord)
        return nullptr;
    int free = -1;
    for (int i = 0; w->rs.pBlock && i < w->rs.nSlots && free < 0; i++)
        if (KeyOf(Slot(w, i), w->d->offKey) == 0)
            free = i;
    if (free < 0) {
        ZT_MessageBox(w->hwnd, "增加成功,本地内存错误刷新数据显示.", "", MB_OK);
        return nullptr;
    }
    char* slot = Slot(w, free);
    memcpy(slot, pRecord, w->d->cbRecord);
    if (!Block_AppendRow(w->hGrid, w->col, w->nCol, w, slot)) {
        memset(slot, 0, w->d->cbRecord);
        return nullptr;                      // the grid has said its rows are used up
    }
    if (free >= w->rs.nRows)
        w->rs.nRows = free + 1;
    w->nListed++;
    FollowListed(w, 1);
    return slot;
}

void Module_RemoveSelected(ZT_MODWIN* w)
{
    void* rec = Module_Selected(w);
    if (!rec)
        return;
    SendMessageA(w->hGrid, GRM_DELETESEL, 0, 0);
    memset(rec, 0, w->d->cbRecord);
    if (w->nListed > 0)
        w->nListed--;
    FollowListed(w, -1);
}

ZT_RECSET Module_RecSet(void* pBlock, int nRows)
{
    ZT_RECSET rs = {pBlock, nRows, pBlock ? nRows + ZT_SPARE_SLOTS : 0};
    return rs;
}

BOOL Module_Took(ZT_RECSET* rs, void* pBlock, const int* pnRows)
{
    if (!pBlock)
        return FALSE;
    *rs = Module_RecSet(pBlock, *pnRows);
    return TRUE;
}

// ---- Work on a worker thread behind the busy dialog ---------------------------------------

static void Release(ZT_MODWIN* w);

// What the tree asked for while a worker ran is done now: reading it
// again, or taking its selection.
static void TakePendingSelection(ZT_MODWIN* w)
{
    if (w->bBusy)
        return;
    if (w->bTreeStale) {
        w->bTreeStale = FALSE;
        w->bTreePending = FALSE;
        Module_TreeReload(w);
    } else if (w->bTreePending) {
        w->bTreePending = FALSE;
        ModuleTree_Follow(w);
    }
}

// A window destroyed while its worker ran is released when the worker is
// done, and -1 says so: the caller must not touch w any more.
static int RunBehindBusy(ZT_MODWIN* w, int (*fn)(ZT_MODWIN*, void*), void* arg)
{
    if (w->bBusy)
        return 0;
    w->bBusy = TRUE;
    int result = Block_RunTask(w->hwnd, w->p, [w, fn, arg]() { return fn(w, arg); });
    w->bBusy = FALSE;
    if (w->bGone) {
        Release(w);
        return -1;
    }
    return result;
}

int Module_RunMarked(ZT_MODWIN* w, const std::function<int()>& fn)
{
    if (!w || !fn || w->bBusy)
        return 0;
    w->bBusy = TRUE;
    int result = fn();
    w->bBusy = FALSE;
    if (w->bGone) {
        Release(w);
        return -1;
    }
    TakePendingSelection(w);
    return result;
}

int Module_RunTask(ZT_MODWIN* w, int (*fn)(ZT_MODWIN*, void*), void* arg)
{
    if (!w || !fn)
        return 0;
    int r = RunBehindBusy(w, fn, arg);
    if (r >= 0)
        TakePendingSelection(w);
    return r;
}

// The grid lets go of the rows before their block is released.
static void ClearRecords(ZT_MODWIN* w)
{
    SendMessageA(w->hGrid, GRM_CLEAR, 0, 0);
    if (w->rs.pBlock && w->d->pfnFree)
        w->d->pfnFree(w->rs.pBlock);
    memset(&w->rs, 0, sizeof(w->rs));
    w->nListed = 0;
}

std::string Module_BoundedText(int nRows, long long nMatched)
{
    if (nMatched >= 0 && nMatched <= nRows)
        return "";
    char text[128];
    if (nMatched < 0)
        snprintf(text, sizeof(text), "显示最新 %d 条; 请缩小条件", nRows);
    else
        snprintf(text, sizeof(text), "显示最新 %d 条, 共 %lld 条; 请缩小条件", nRows, nMatched);
    return text;
}

std::string Module_ListStatus(const ZT_MODWIN* w)
{
    if (!w || !w->hListStatus || !IsWindowVisible(w->hListStatus))
        return "";
    char text[256] = "";
    GetWindowTextA(w->hListStatus, text, sizeof(text));
    return text;
}

static void ShowListStatus(ZT_MODWIN* w)
{
    // What the count box says is shown, of how many the filter matches.
    std::string text = w->rs.nMatched ? Module_BoundedText(w->nListed, w->rs.nMatched) : std::string();
    if (text.empty() && !w->hListStatus)
        return;
    if (!w->hListStatus)
        w->hListStatus = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | CCS_NOPARENTALIGN | CCS_NORESIZE, 0, 0,
                                         0, 0, w->hwnd, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!w->hListStatus)
        return;
    SetWindowTextA(w->hListStatus, text.c_str());
    BOOL shown = IsWindowVisible(w->hListStatus);
    if (shown != !text.empty()) {
        ShowWindow(w->hListStatus, text.empty() ? SW_HIDE : SW_SHOW);
        Module_Layout(w);
    }
}

// What a refresh's worker hands back: the records loaded, or why not.
struct LoadOutcome {
    ZT_RECSET rs = {nullptr, 0, 0};
    int iResult = 0;         // 1 loaded; 0 nothing to list; 2 failed (the rows shown stay)
    BOOL bTold = FALSE;      // a box on the worker has told the user already
    char szReason[512] = ""; // the server's reason, when the library recorded one
};

// The worker's part of a refresh: the load.  The grid keeps the rows it
// shows until the window thread has the new block.
static int LoadTask(ZT_MODWIN* w, void* arg)
{
    LoadOutcome* o = static_cast<LoadOutcome*>(arg);
    long errors = ZTData_LastError(nullptr, nullptr, 0);
    long boxes = ZTData_BoxesShown() + ZT_BoxesShown();
    BOOL ok = w->d->pfnLoad(w, &o->rs) && o->rs.pBlock;
    if (ok) {
        o->iResult = 1;
        return 1;
    }
    if (o->rs.pBlock && o->rs.pBlock != w->rs.pBlock && w->d->pfnFree)
        w->d->pfnFree(o->rs.pBlock);
    o->rs = ZT_RECSET{nullptr, 0, 0};
    unsigned int code = 0;
    BOOL errored = ZTData_LastError(&code, o->szReason, sizeof(o->szReason)) != errors;
    if (!errored)
        o->szReason[0] = 0;
    o->bTold = ZTData_BoxesShown() + ZT_BoxesShown() != boxes;
    o->iResult = errored || o->bTold ? 2 : 0;
    return o->iResult;
}

// Window thread: the rows shown give way to the records loaded (the grid
// lets go of the old block before it is released; a load that handed back
// the block shown, a cache's, keeps it).
static void TakeRecords(ZT_MODWIN* w, const ZT_RECSET& rs)
{
    SendMessageA(w->hGrid, GRM_CLEAR, 0, 0);
    if (w->rs.pBlock && w->rs.pBlock != rs.pBlock && w->d->pfnFree)
        w->d->pfnFree(w->rs.pBlock);
    w->rs = rs;
    int n = rs.pBlock ? Block_FillGrid(w->hGrid, w->col, w->nCol, w, rs.pBlock, rs.nSlots, w->d->cbRecord,
                                       w->d->offKey, w->d->pfnCheckRow)
                      : 0;
    w->nListed = n > 0 ? n : 0;
}

BOOL Module_Refresh(ZT_MODWIN* w)
{
    if (!w || !w->d->pfnLoad || w->bBusy)
        return FALSE;
    if (w->d->pfnFilter && !w->d->pfnFilter(w))
        return FALSE;                        // the panel was refused: nothing loads
    const ZT_MODULE_DESC* d = w->d;
    LoadOutcome o;
    int r = RunBehindBusy(w, LoadTask, &o);
    if (r < 0) {                             // released meanwhile
        if (o.rs.pBlock && d->pfnFree)
            d->pfnFree(o.rs.pBlock);
        return FALSE;
    }
    if (o.iResult == 1)
        TakeRecords(w, o.rs);
    else if (o.iResult == 0)
        ClearRecords(w);
    ShowCount(w);
    ShowListStatus(w);
    w->bLoaded = o.iResult == 1;
    if (o.iResult == 2 && !o.bTold) {
        std::string text = "查询失败, 列表没有刷新";
        if (o.szReason[0])
            text += std::string("\n") + o.szReason;
        // Marked busy while the box stands: a window closed meanwhile is
        // released after it.
        w->bBusy = TRUE;
        ZT_MessageBox(w->hwnd, text.c_str(), "", MB_OK | MB_ICONWARNING);
        w->bBusy = FALSE;
        if (w->bGone) {
            Release(w);
            return FALSE;
        }
    }
    BOOL loaded = w->bLoaded;
    TakePendingSelection(w);
    return loaded;
}

#define WM_MODULE_CALL (WM_APP + 73)

void Module_OnWindowThread(ZT_MODWIN* w, const std::function<void()>& fn)
{
    if (w && fn)
        SendMessageA(w->hwnd, WM_MODULE_CALL, 0, reinterpret_cast<LPARAM>(&fn));
}

void Module_CmdRefresh(ZT_MODWIN* w, void*, const void*)
{
    Module_Refresh(w);
}

static int DeleteTask(ZT_MODWIN* w, void* rec)
{
    return w->d->pfnDelete(Cache_Operator(w->p), rec) == 1 ? 1 : 0;
}

void Module_CmdDelete(ZT_MODWIN* w, void* pSel, const void* pArg)
{
    if (!w || !pSel || !w->d->pfnDelete)
        return;
    int r = RunBehindBusy(w, DeleteTask, pSel);
    if (r < 0)
        return;                              // released meanwhile
    if (r == 1) {
        if (w->d->iCacheKind)
            Cache_Drop(w->p, w->d->iCacheKind, KeyOf(pSel, w->d->offKey));
        Module_RemoveSelected(w);
    } else if (pArg) {
        ZT_MessageBox(w->hwnd, static_cast<const char*>(pArg), "", MB_OK);
    }
    TakePendingSelection(w);
}

// ---- The window -------------------------------------------------------------------------

static void AddButtons(HWND hTb, LPVOID pv)
{
    const ZT_MODULE_DESC* d = static_cast<ZT_MODWIN*>(pv)->d;
    for (int i = 0; i < d->nTb; i++) {
        const ZT_TBDEF& b = d->tb[i];
        if (b.iCmd == ZT_TB_SEPARATOR)
            Block_AddSeparator(hTb);
        else if (b.iCmd == ZT_TB_COUNT)
            Block_AddCountBox(hTb, b.iImage > 0 ? b.iImage : 60);
        else
            Block_AddButton(hTb, b.iCmd, b.iImage, b.pszText, b.fsStyle);
    }
}

static void Layout(ZT_MODWIN* w)
{
    RECT rc;
    GetClientRect(w->hwnd, &rc);
    HWND hRebar = GetDlgItem(w->hwnd, IDC_REBAR);
    if (hRebar)
        SendMessageA(hRebar, WM_SIZE, 0, MAKELPARAM(rc.right, rc.bottom));
    rc.top = Block_ToolbarHeight(w->hwnd);
    if (rc.top > rc.bottom)
        rc.top = rc.bottom;
    if (w->hTree) {
        Block_Layout(w->hwnd, w->xSplit, 0, 0, 0);
        MoveWindow(w->hTree, rc.left, rc.top, w->xSplit - rc.left, rc.bottom - rc.top, TRUE);
        rc.left = w->xSplit + 2 < rc.right ? w->xSplit + 2 : rc.right;
    }
    if (w->hListStatus && IsWindowVisible(w->hListStatus)) {
        int cy = 22 < rc.bottom - rc.top ? 22 : rc.bottom - rc.top;
        MoveWindow(w->hListStatus, rc.left, rc.bottom - cy, rc.right - rc.left, cy, TRUE);
        rc.bottom -= cy;
    }
    if (w->d->pfnLayout)
        w->d->pfnLayout(w, &rc);
    if (w->hGrid)
        MoveWindow(w->hGrid, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, TRUE);
}

void Module_Layout(ZT_MODWIN* w)
{
    if (w)
        Layout(w);
}

void Module_ShowGrid(ZT_MODWIN* w, HWND hGrid, const ZT_COLDEF* col, int nCol)
{
    if (!w || !hGrid || w->bBusy || hGrid == w->hGrid)
        return;
    HWND old = w->hGrid;
    if (old) {
        SendMessageA(old, GRM_CLEAR, 0, 0);
        ShowWindow(old, SW_HIDE);
    }
    w->hGrid = hGrid;
    w->col = col;
    w->nCol = nCol;
    w->nListed = 0;
    ShowCount(w);
    Layout(w);
    ShowWindow(hGrid, SW_SHOW);
}

// The tree left of the grid, behind the splitter: its selected item stays
// marked while the user works in the grid.
static BOOL CreateTree(ZT_MODWIN* w)
{
    w->xSplit = w->d->pTree->cx;
    w->hTree = Block_Tree(w->hwnd);
    if (!w->hTree)
        return FALSE;
    SetWindowLongPtrA(w->hTree, GWL_STYLE, GetWindowLongPtrA(w->hTree, GWL_STYLE) | TVS_SHOWSELALWAYS);
    return Block_Splitter(w->hwnd, IDC_VSPLIT_LEFT) != nullptr;
}

static BOOL OnCreate(HWND hwnd, const CREATESTRUCTA* cs)
{
    const MDICREATESTRUCTA* mcs = static_cast<const MDICREATESTRUCTA*>(cs->lpCreateParams);
    tagZT_Main_Param* p = mcs ? reinterpret_cast<tagZT_Main_Param*>(mcs->lParam) : nullptr;
    char cls[64] = "";
    GetClassNameA(hwnd, cls, sizeof(cls));
    const ZT_MODULE_DESC* d = Module_ByClass(cls);
    if (!p || !d)
        return FALSE;
    ZT_MODWIN* w = new ZT_MODWIN();
    w->d = d;
    w->p = p;
    w->hwnd = hwnd;
    w->col = d->col;
    w->nCol = d->nCol;
    if (d->cbState)
        w->pState = calloc(1, d->cbState);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(w));

    if (d->nTb > 0) {
        Block_Toolbar(hwnd, p, AddButtons, w);
        w->hToolbar = Block_GetToolbar(hwnd);
        Module_ToolbarRights(d, p, w->hToolbar);
    }
    if (d->nCol > 0) {
        w->hGrid = Block_Grid(hwnd, p);
        if (!w->hGrid)
            return FALSE;
        Block_AddColumns(w->hGrid, d->col, d->nCol);
    }
    if (d->pTree && !CreateTree(w))
        return FALSE;
    if (d->pfnCreate && !d->pfnCreate(w))
        return FALSE;
    if (d->pfnLoad || d->pTree)
        PostMessageA(hwnd, WM_MODULE_FIRSTLOAD, 0, 0);
    return TRUE;
}

// Everything the window holds: the grid lets go of the rows first, since
// they point into the block.
static void Release(ZT_MODWIN* w)
{
    if (w->hGrid && IsWindow(w->hGrid))
        SendMessageA(w->hGrid, GRM_CLEAR, 0, 0);
    if (w->rs.pBlock && w->d->pfnFree)
        w->d->pfnFree(w->rs.pBlock);
    memset(&w->rs, 0, sizeof(w->rs));
    if (w->d->pfnDestroy)
        w->d->pfnDestroy(w);
    free(w->pState);
    delete w;
}

static void OnDestroy(ZT_MODWIN* w)
{
    SetWindowLongPtrA(w->hwnd, GWLP_USERDATA, 0);
    if (w->bBusy)
        w->bGone = TRUE;                     // its worker still uses it
    else
        Release(w);
}

// The name of a command as the user knows it: its toolbar button's text,
// else its item of the window's context menu; empty when it has neither.
static std::string CommandName(const ZT_MODWIN* w, int iCmd)
{
    for (int i = 0; i < w->d->nTb; i++)
        if (w->d->tb[i].iCmd == iCmd && w->d->tb[i].pszText) {
            std::string name = w->d->tb[i].pszText;
            name.erase(0, name.find_first_not_of(' '));
            return name;
        }
    char text[64] = "";
    HMENU popup = w->d->iCtxPopup >= 0 && w->p->hContextMenus ? GetSubMenu(w->p->hContextMenus, w->d->iCtxPopup)
                                                                : nullptr;
    if (popup)
        GetMenuStringA(popup, static_cast<UINT>(iCmd), text, sizeof(text), MF_BYCOMMAND);
    if (!text[0])                            // a button of the window's own panels
        if (HWND h = Rights_FindControl(w->hwnd, iCmd))
            GetWindowTextA(h, text, sizeof(text));
    std::string name = text;
    size_t amp = name.find("(&");            // "授权(&G)": its key
    if (amp != std::string::npos)
        name.erase(amp);
    return name;
}

// A command the user may not run is refused where it runs, whatever sent
// it (a greyed button clicked, a menu, a posted message), and says so.
static void Refuse(const ZT_MODWIN* w, int iCmd)
{
    std::string name = CommandName(w, iCmd);
    std::string text = "没有" + (name.empty() ? std::string("此操作") : name) + "的权限";
    ZT_MessageBox(w->hwnd, text.c_str(), "", MB_OK | MB_ICONINFORMATION);
}

static void RunCommand(ZT_MODWIN* w, const ZT_CMDDEF& c)
{
    if (!May(w, c.iRightOp, c.iRightModule)) {
        Refuse(w, c.iCmd);
        return;
    }
    void* sel = Module_Selected(w);
    if ((c.fFlags & ZT_CMD_NEEDSEL) && !sel) {
        if (c.pszNoSel)
            ZT_MessageBox(w->hwnd, c.pszNoSel, "", MB_OK);
        return;
    }
    if ((c.fFlags & ZT_CMD_CONFIRM) && !Block_ConfirmDelete(w->hwnd))
        return;
    if ((c.fFlags & ZT_CMD_TO_BIN) && !Block_ConfirmToBin(w->hwnd))
        return;
    if (c.pfn)
        c.pfn(w, sel, c.pArg);
}

static void CloseWindow(ZT_MODWIN* w)
{
    HWND hClient = GetParent(w->hwnd);
    if (hClient)
        SendMessageA(hClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(w->hwnd), 0);
    else
        DestroyWindow(w->hwnd);
}

// The context menu of the grid: the module's popup of menu 120 with "导出…"
// at its end while it is shown (a module without a popup: "导出…" alone).
static void ContextMenu(ZT_MODWIN* w)
{
    static const char kExport[] = "导出…";
    HMENU hPopup = w->d->iCtxPopup >= 0 && w->p->hContextMenus ? GetSubMenu(w->p->hContextMenus, w->d->iCtxPopup)
                                                                 : nullptr;
    UINT exportFlags = MF_STRING | (May(w, ZT_OP_VIEW) ? MF_ENABLED : MF_GRAYED);
    if (hPopup) {
        int n = GetMenuItemCount(hPopup);
        AppendMenuA(hPopup, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(hPopup, exportFlags, ID_MODULE_EXPORT, kExport);
        Block_ContextMenu(w->hwnd, w->p, w->d->iCtxPopup);
        while (GetMenuItemCount(hPopup) > n)
            RemoveMenu(hPopup, static_cast<UINT>(n), MF_BYPOSITION);
        return;
    }
    HMENU hOwn = CreatePopupMenu();
    if (!hOwn)
        return;
    AppendMenuA(hOwn, exportFlags, ID_MODULE_EXPORT, kExport);
    POINT pt;
    GetCursorPos(&pt);
    SetForegroundWindow(GetAncestor(w->hwnd, GA_ROOT));
    TrackPopupMenu(hOwn, TPM_LEFTALIGN | TPM_LEFTBUTTON, pt.x, pt.y, 0, w->hwnd, nullptr);
    PostMessageA(w->hwnd, WM_NULL, 0, 0);
    DestroyMenu(hOwn);
}

static void OnGridNotify(ZT_MODWIN* w, int code)
{
    switch (code) {
    case GRN_RBUTTONUP:
        ContextMenu(w);
        break;
    case GRN_DBLCLK:
        if (w->d->iDblClkCmd)
            SendMessageA(w->hwnd, WM_COMMAND, w->d->iDblClkCmd, 0);
        break;
    case GRN_SELCHANGE:
    case GRN_CLEARED:
        if (w->d->pfnSelChange)
            w->d->pfnSelChange(w);
        break;
    }
}

// Returns TRUE when the command was handled: a grid notification, a row of
// the command table, or a command every module window shares.
static BOOL OnCommand(ZT_MODWIN* w, WPARAM wParam, LPARAM lParam)
{
    int id = LOWORD(wParam);
    if (w->hGrid && reinterpret_cast<HWND>(lParam) == w->hGrid) {
        OnGridNotify(w, HIWORD(wParam));
        return TRUE;
    }
    for (int i = 0; i < w->d->nCmd; i++)
        if (w->d->cmd[i].iCmd == id) {
            RunCommand(w, w->d->cmd[i]);
            return TRUE;
        }
    switch (id) {
    case ID_MODULE_EXIT:
        CloseWindow(w);
        return TRUE;
    case ID_MODULE_REFRESH:
        Module_Refresh(w);
        return TRUE;
    case ID_MODULE_EXPORT:
        if (w->hGrid && May(w, ZT_OP_VIEW))    // the right is checked here, not only by the button
            Export_Module(w);
        return TRUE;
    }
    return FALSE;
}

// The drop-down arrow of a toolbar button, and a new selection in the tree.
static BOOL OnNotify(ZT_MODWIN* w, const NMHDR* nh, LRESULT* pResult)
{
    if (!nh)
        return FALSE;
    if (nh->code == TBN_DROPDOWN) {
        int item = reinterpret_cast<const NMTOOLBARA*>(nh)->iItem;
        for (int i = 0; i < w->d->nTb; i++) {
            const ZT_TBDEF& b = w->d->tb[i];
            if (b.iCmd == item && (b.fsStyle & BTNS_DROPDOWN) && b.iPopup >= 0) {
                Block_ContextMenu(w->hwnd, w->p, b.iPopup);
                *pResult = TBDDRET_DEFAULT;
                return TRUE;
            }
        }
    }
    return ModuleTree_Notify(w, nh, pResult);
}

// The splitter between tree and grid was dragged.
static void OnSplitterMoved(ZT_MODWIN* w, HWND hSplitter)
{
    RECT rc;
    GetWindowRect(hSplitter, &rc);
    MapWindowPoints(nullptr, w->hwnd, reinterpret_cast<POINT*>(&rc), 2);
    w->xSplit = rc.left;
    Layout(w);
}

// A module not built yet: its caption centred on the button face.
static void PaintPlaceholder(HWND hwnd)
{
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hwnd, &ps);
    RECT rc;
    GetClientRect(hwnd, &rc);
    char szText[101] = "";
    GetWindowTextA(hwnd, szText, sizeof(szText));
    HGDIOBJ oldFont = SelectObject(hdc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(hdc, TRANSPARENT);
    SetTextColor(hdc, GetSysColor(COLOR_GRAYTEXT));
    DrawTextA(hdc, szText, -1, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(hdc, oldFont);
    EndPaint(hwnd, &ps);
}

// The framework's own answer to a message; FALSE leaves it to the module's
// message hook.
static BOOL OnMessage(ZT_MODWIN* w, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    *pResult = 0;
    switch (msg) {
    case WM_MODULE_FIRSTLOAD:
        if (w->d->pTree)
            ModuleTree_FirstLoad(w);
        else
            Module_Refresh(w);
        return TRUE;
    case WM_MODULE_CALL:
        (*reinterpret_cast<const std::function<void()>*>(lParam))();
        return TRUE;
    case WM_MODULE_TREERELOAD:
        if (w->bBusy)
            w->bTreeStale = TRUE;            // read again when the worker has finished
        else
            Module_TreeReload(w);
        return TRUE;
    case WM_SIZE:
        if (wParam != SIZE_MINIMIZED)
            Layout(w);
        if (IsPlaceholder(w->d))
            InvalidateRect(w->hwnd, nullptr, TRUE);
        *pResult = DefMDIChildProcA(w->hwnd, msg, wParam, lParam);    // the MDI child needs it too
        return TRUE;
    case WM_PAINT:
        if (!IsPlaceholder(w->d))
            return FALSE;
        PaintPlaceholder(w->hwnd);
        return TRUE;
    case WM_COMMAND:
        return !IsPlaceholder(w->d) && OnCommand(w, wParam, lParam);    // a placeholder takes none
    case WM_NOTIFY:
        return OnNotify(w, reinterpret_cast<const NMHDR*>(lParam), pResult);
    case WM_SPLITTER_MOVED:
        if (!w->hTree || wParam != IDC_VSPLIT_LEFT)
            return FALSE;
        OnSplitterMoved(w, reinterpret_cast<HWND>(lParam));
        return TRUE;
    case WM_MDIACTIVATE:
        ChildChanged();
        *pResult = DefMDIChildProcA(w->hwnd, msg, wParam, lParam);
        return TRUE;
    }
    if (msg == Cache_ReloadMessage()) {
        *pResult = Cache_OnReload(w->p, lParam);
        return TRUE;
    }
    if (msg == Cache_ChangedMessage())
        ModuleTree_CachesChanged(w, static_cast<int>(wParam));    // the module's hook hears it too
    return FALSE;
}

LRESULT CALLBACK Module_WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_CREATE) {
        if (!OnCreate(hwnd, reinterpret_cast<const CREATESTRUCTA*>(lParam)))
            return -1;
        return DefMDIChildProcA(hwnd, msg, wParam, lParam);
    }
    ZT_MODWIN* w = reinterpret_cast<ZT_MODWIN*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!w)
        return DefMDIChildProcA(hwnd, msg, wParam, lParam);
    if (msg == WM_DESTROY) {
        ChildChanged();
        OnDestroy(w);
        return DefMDIChildProcA(hwnd, msg, wParam, lParam);
    }
    LRESULT r = 0;
    if (OnMessage(w, msg, wParam, lParam, &r))
        return r;
    if (w->d->pfnMessage) {
        BOOL done = FALSE;
        r = w->d->pfnMessage(w, msg, wParam, lParam, &done);
        if (done)
            return r;
    }
    return DefMDIChildProcA(hwnd, msg, wParam, lParam);
}
