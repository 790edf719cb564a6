#include "app/admin/log_window.h"
#include "app/admin/admin_lookups.h"
#include "app/admin/log_filter.h"
#include "app/admin/log_ids.h"
#include "app/admin/log_names.h"
#include "app/listings/listing_window.h"
#include "app/shell/frame.h"
#include "app/shell/rights.h"
#include "app/resources/resource.h"
#include "app/resources/toolbar_images.h"
#include "common/zt_box.h"

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <utility>

namespace {

// The window's state: the list window's, then the names of operators.
struct LOG_WIN {
    LISTING_WIN list;
    ADMIN_LOOKUPS* look;
};

LOG_WIN* State(const ZT_MODWIN* w)
{
    return static_cast<LOG_WIN*>(w->pState);
}

const tagLOG* Log(const void* rec)
{
    return static_cast<const tagLOG*>(rec);
}

const void* OperationName(const ZT_MODWIN*, const void* rec)
{
    return Log_OperationText(Log(rec)->iAct, Log(rec)->iObjType);
}

const void* ObjectName(const ZT_MODWIN*, const void* rec)
{
    return Log_ObjectText(Log(rec)->iObjType);
}

const void* BranchName(const ZT_MODWIN* w, const void* rec)
{
    return Lookups_EmployeeBranch(State(w)->look, Log(rec)->iOpEmp);
}

const void* EmployeeName(const ZT_MODWIN* w, const void* rec)
{
    return Lookups_Employee(State(w)->look, Log(rec)->iOpEmp);
}

// The panel's filter within the user's scope: a branch manager reads his
// branch's operations only, and clears no other.
BOOL Build(ZT_MODWIN* w, std::string* pWhere, int* pBadCtl)
{
    LogFilterPanel v;
    ListingWindow_Read(w, &v);
    if (!LogFilter_Build(w->p, v, pWhere, pBadCtl))
        return FALSE;
    const char* scope = ListingWindow_State(w)->szScope;
    if (scope[0])
        *pWhere = pWhere->empty() ? std::string(" ") + scope : std::string(" ") + scope + " and" + *pWhere;
    return TRUE;
}

// ---- Module hooks -------------------------------------------------------------------------

// The panel's lists: the employees and branches of the shared lists, the
// kinds of object the log records.
BOOL Create(ZT_MODWIN* w)
{
    State(w)->look = new ADMIN_LOOKUPS();
    if (!ListingWindow_Create(w))
        return FALSE;
    HWND hPanel = State(w)->list.hPanel;
    int nKinds = 0;
    const int* kinds = Log_ObjectTypes(&nKinds);
    for (int i = 0; i < nKinds; i++)
        SendMessageA(GetDlgItem(hPanel, IDC_LOG_KIND), CB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(Log_ObjectName(kinds[i])));
    return TRUE;
}

// Worker: the operators' names (those who have left included), then the
// newest rows of the filter with their snapshots made readable.  The rows
// shown meanwhile read the names: the new lists take the place of the old
// on the window thread (by key, so the rows shown find theirs in either).
BOOL Load(ZT_MODWIN* w, ZT_RECSET* rs)
{
    ADMIN_LOOKUPS* next = new ADMIN_LOOKUPS();
    if (Lookups_Load(next))                  // without them the names stay empty
        Module_OnWindowThread(w, [w, &next]() { std::swap(State(w)->look, next); });
    Lookups_Release(next);
    delete next;
    tagLOG* list = nullptr;
    int n = 0;
    long long matched = 0;
    if (!FD_Sct_Log(&list, &n, w->filter.c_str(), &matched) || !list)
        return FALSE;
    for (int i = 0; i < n; i++)
        Log_ReadableSnapshot(list[i].iObjType, list[i].szValue, sizeof(list[i].szValue));
    *rs = Module_RecSet(list, n);
    rs->nMatched = matched;
    return TRUE;
}

int Delete(int iOpEmp, const void* rec)
{
    // A key of 0 would make the deletion one of the filter's: never here.
    return Log(rec)->iOrdinal > 0 ? FD_Del_Log(iOpEmp, nullptr, Log(rec)->iOrdinal, 0) : 0;
}

void Destroy(ZT_MODWIN* w)
{
    ListingWindow_Destroy(w);
    if (ADMIN_LOOKUPS* look = State(w)->look) {
        Lookups_Release(look);
        delete look;
    }
}

// ---- Commands ----------------------------------------------------------------------------

int ClearTask(ZT_MODWIN* w, void* pDeleted)
{
    return FD_Del_Log(Cache_Operator(w->p), w->filter.c_str(), 0, w->nListed, static_cast<long long*>(pDeleted)) == 1
               ? 1
               : 0;
}

// "清空日志": the rows the filter selects.  The list is first brought to the
// panel as it stands (a box that holds no date refuses it, naming the box,
// and nothing is deleted), so that what the warning stands over is what
// goes; the deletion then runs with the filter of that list, composed
// whole: every row it selects goes, also those a bounded list did not
// show, and the user is told how many.
void CmdClear(ZT_MODWIN* w, void*, const void*)
{
    std::string where;
    int bad = 0;
    if (!Build(w, &where, &bad) || where != w->filter || !w->bLoaded) {
        if (!Module_Refresh(w))
            return;
    }
    if (w->nListed == 0) {
        ZT_MessageBox(w->hwnd, "没有符合条件的日志, 没有删除", "", MB_OK | MB_ICONINFORMATION);
        return;
    }
    if (!Block_ConfirmDelete(w->hwnd))
        return;
    long long deleted = 0;
    if (Module_RunTask(w, ClearTask, &deleted) != 1)
        return;
    char text[96];
    snprintf(text, sizeof(text), "已删除 %lld 条日志", deleted);
    ZT_MessageBox(w->hwnd, text, "", MB_OK | MB_ICONINFORMATION);
    Module_Refresh(w);
}

// ---- Tables ------------------------------------------------------------------------------

const ZT_TBDEF kButtons[] = {
    {ID_LOG_DELETE, ZTIMG_LOG_DEL, " 删除日志", 0, ZT_OP_DELETE},
    {ID_LOG_CLEAR, ZTIMG_LOG_CLEAR, " 清空日志", 0, ZT_OP_DELETE},
    ZT_TB_SEP,
    ZT_TB_CLOSING,
};

#define L(f) offsetof(tagLOG, f)
const ZT_COLDEF kColumns[] = {
    ZT_COL_LOOKUP("操作", 80, 0, OperationName),
    ZT_COL_LOOKUP("对象", 60, 0, ObjectName),
    ZT_COL("对象关键字", 70, LVT_INT, 2, L(iObjID)),
    ZT_COL_TEXT("内容", 300, 0, L(szValue)),
    ZT_COL_TEXT("日期", 125, 1, L(szTime)),
    ZT_COL_AGENT(70, BranchName, EmployeeName),
};
#undef L

const ZT_CMDDEF kCommands[] = {
    {ID_LOG_DELETE, Module_CmdDelete, ZT_CMD_NEEDSEL | ZT_CMD_CONFIRM, ZT_OP_DELETE, "请选择数据"},
    {ID_LOG_CLEAR, CmdClear, ZT_CMD_NEEDSEL, ZT_OP_DELETE, "请选择数据"},
    {ID_LOG_RELOAD, Module_CmdRefresh, 0, ZT_OP_VIEW, nullptr},
};

const LISTING_DESC kListing = {
    IDD_LOG_PANEL, IDC_LOG_FIND, IDC_LOG_CLEAR, 0, 37, 37,
    g_LogFilterFields, g_nLogFilterFields, 0, 0, nullptr, 0,
    Build, ZTM_LOG,
    0, 0, 0, 0, 0, FALSE, 0,
    0, 0, IDC_LOG_BR, IDC_LOG_EMP,
};

}  // namespace

extern const ZT_MODULE_DESC g_LogModule = {
    ZT_CLASS_CHILD_LOG, IDM_LOG, ZTM_LOG, IDS_LOG, CW_USEDEFAULT, CW_USEDEFAULT,
    sizeof(tagLOG), offsetof(tagLOG, iOrdinal), sizeof(LOG_WIN),
    ZT_TABLE(kButtons), ZT_TABLE(kColumns), ZT_TABLE(kCommands), CTXPOS_LOG, 0,
    LISTING_HOOKS(Create, ListingWindow_Layout, Load, nullptr, Delete, (Module_Free<tagLOG, Mem_Free_Log>), Destroy, &kListing),
};
