#include "tests/module/position_module.h"
#include "app/shell/caches.h"
#include "app/shell/rights.h"
#include "app/resources/resource.h"
#include "app/resources/toolbar_images.h"

#include <cstddef>
#include <cstring>

PositionProbe g_pos;

namespace {

BOOL May(const tagZT_Main_Param*, int iOp)
{
    return !(iOp == ZT_OP_DELETE && g_pos.denyDelete);
}

BOOL Load(ZT_MODWIN* w, ZT_RECSET* rs)
{
    g_pos.loads++;
    g_pos.loadThread = GetCurrentThreadId();
    g_pos.grid = w->hGrid;
    g_pos.frameHeld = !IsWindowEnabled(GetAncestor(w->hwnd, GA_ROOT));
    g_pos.busyAtStart = w->p->hBusyDlg != nullptr;
    HWND busy = w->p->hBusyDlg;
    for (int i = 0; g_pos.slowLoad && i < 200 && !(busy && IsWindowVisible(busy)); i++) {
        Sleep(10);
        busy = w->p->hBusyDlg;
    }
    g_pos.busyShown = busy && IsWindow(busy);
    char text[64] = "";
    if (busy)
        GetDlgItemTextA(busy, IDC_PROGRESS_TEXT, text, sizeof(text));
    g_pos.busyText = text;
    if (g_pos.closeWhileLoading)    // the user closes it meanwhile
        SendMessageA(GetParent(w->hwnd), WM_MDIDESTROY, reinterpret_cast<WPARAM>(w->hwnd), 0);
    int n = 0;
    tagPostion* list = nullptr;
    if (!FD_Sct_Pst(&list, &n, 0))
        return FALSE;
    rs->pBlock = list;
    rs->nRows = n;
    rs->nSlots = n + 101;
    return TRUE;
}

void Free(void* block)
{
    g_pos.frees++;
    // The grid must have let go of every row before its block goes.
    tagLV_DATA* d = nullptr;
    if (g_pos.grid && IsWindow(g_pos.grid) && SendMessageA(g_pos.grid, GRM_GETDATA, 0, reinterpret_cast<LPARAM>(&d)) &&
        d && d->pRecords)
        g_pos.gridClearedBeforeFree = false;
    Mem_Free_Pst(static_cast<tagPostion*>(block));
}

void Destroy(ZT_MODWIN*)
{
    g_pos.destroys++;
}

void Add(ZT_MODWIN* w, void*, const void*)
{
    tagPostion rec;
    memset(&rec, 0, sizeof(rec));
    lstrcpynA(rec.szPST, g_pos.nextName.c_str(), sizeof(rec.szPST));
    rec.iLevel = 9;
    if (FD_Ist_Pst(Cache_Operator(w->p), &rec) == 1)
        Module_AddRecord(w, &rec);
}

void Modify(ZT_MODWIN*, void* sel, const void*)
{
    g_pos.modifies++;
    g_pos.lastModified = sel;
}

void Tag(ZT_MODWIN*, void*, const void* arg)
{
    g_pos.lastArg = static_cast<const char*>(arg);
}

BOOL Filter(ZT_MODWIN*)
{
    g_pos.filters++;
    return !g_pos.refuse;
}

void SelChange(ZT_MODWIN* w)
{
    g_pos.selChanges++;
    g_pos.lastSel = Module_Selected(w);
}

// Commands (not the notifications of controls, such as the count box's).
LRESULT Message(ZT_MODWIN*, UINT msg, WPARAM wParam, LPARAM lParam, BOOL*)
{
    if (msg == WM_COMMAND && !lParam)
        g_pos.hookCommands.push_back(LOWORD(wParam));
    return 0;
}

int Delete(int iOpEmp, const void* rec)
{
    return FD_Del_Pst(iOpEmp, static_cast<const tagPostion*>(rec));
}

const ZT_TBDEF kButtons[] = {
    {POS_CMD_ADD, ZTIMG_PARAM_ADD, "增加职位", 0, ZT_OP_ADD},
    {POS_CMD_MODIFY, ZTIMG_PARAM_EDIT, "修改职位", 0, ZT_OP_MODIFY},
    {POS_CMD_DELETE, ZTIMG_PARAM_DEL, "删除职位", 0, ZT_OP_DELETE},
    {POS_CMD_MENU, ZTIMG_POSITIONS, "职位", BTNS_DROPDOWN, ZT_NO_RIGHT, CTXPOS_PARAM},
    {ZT_TB_SEPARATOR, 0, nullptr, 0, ZT_NO_RIGHT},
    {ID_MODULE_REFRESH, ZTIMG_REFRESH, "刷新", 0, ZT_NO_RIGHT},
    {ID_MODULE_EXIT, ZTIMG_EXIT, "退出", 0, ZT_NO_RIGHT},
    {ZT_TB_SEPARATOR, 0, nullptr, 0, ZT_NO_RIGHT},
    {ZT_TB_COUNT, 60, nullptr, 0, ZT_NO_RIGHT},
};

const ZT_COLDEF kColumns[] = {
    {"编号", 50, LVT_INT, nullptr, LVU_NONE, 1, offsetof(tagPostion, iOrdinal), nullptr},
    {"职位", 140, LVT_TEXT, nullptr, LVU_NONE, 0, offsetof(tagPostion, szPST), nullptr},
    {"级别", 60, LVT_INT, nullptr, LVU_NONE, 1, offsetof(tagPostion, iLevel), nullptr},
    {"底薪", 80, LVT_INT, "元", LVU_CELLS, 2, offsetof(tagPostion, iBasePay), nullptr},
    {"说明", 200, LVT_TEXT, nullptr, LVU_NONE, 0, offsetof(tagPostion, szDescribe), nullptr},
};

const ZT_CMDDEF kCommands[] = {
    {POS_CMD_ADD, Add, 0, ZT_OP_ADD, nullptr},
    {POS_CMD_MODIFY, Modify, ZT_CMD_NEEDSEL, ZT_OP_MODIFY, "请选择要修改的职位"},
    {POS_CMD_DELETE, Module_CmdDelete, ZT_CMD_NEEDSEL | ZT_CMD_CONFIRM, ZT_OP_DELETE, nullptr},
    {POS_CMD_TAG_A, Tag, 0, ZT_NO_RIGHT, nullptr, "甲"},
    {POS_CMD_TAG_B, Tag, 0, ZT_NO_RIGHT, nullptr, "乙"},
};

}  // namespace

extern const ZT_MODULE_DESC g_PositionModule = {
    "ZT_CHILD_TEST_PST", POS_CMD_OPEN, ZTM_ORG, IDS_ORG, CW_USEDEFAULT, CW_USEDEFAULT,
    sizeof(tagPostion), offsetof(tagPostion, iOrdinal), 0,
    ZT_TABLE(kButtons), ZT_TABLE(kColumns), ZT_TABLE(kCommands),
    CTXPOS_PARAM, POS_CMD_MODIFY,
    May, nullptr, nullptr, Filter, Load, nullptr, Delete, Free, Destroy, Message,
    SelChange,
};
