// The client list window: a filter-panel list window (listing_window.h)
// whose trades are drawn in their colours.
#include "app/listings/client_window.h"
#include "app/listings/client_dialog.h"
#include "app/listings/client_ids.h"
#include "app/listings/listing_window.h"
#include "app/shell/caches.h"
#include "app/shell/rights.h"
#include "app/resources/resource.h"
#include "app/resources/toolbar_images.h"

#include <commctrl.h>
#include <cstddef>
#include <cstring>

namespace {

enum { TRADE_COLUMN = 6 };

const tagCLIENT* Client(const void* rec)
{
    return static_cast<const tagCLIENT*>(rec);
}

const void* BranchName(const ZT_MODWIN* w, const void* rec)
{
    return Cache_BranchName(w->p, Client(rec)->iBr);
}

const void* EmployeeName(const ZT_MODWIN* w, const void* rec)
{
    return Cache_EmployeeName(w->p, Client(rec)->iEmp);
}

void CellHook(HWND, HDC hdc, const tagLV_COLUMN* col, const void*, const void* pRecord)
{
    if (col && col->iId == TRADE_COLUMN && pRecord)
        SetTextColor(hdc, Client_TradeColour(Client(pRecord)->szTrade));
}

BOOL Build(ZT_MODWIN* w, std::string* pWhere, int* pBadCtl)
{
    ClientFilterPanel v;
    ListingWindow_Read(w, &v);
    return ClientFilter_Build(v, ListingWindow_State(w)->szScope, pWhere, pBadCtl);
}

// ---- Module hooks -------------------------------------------------------------------------

BOOL Create(ZT_MODWIN* w)
{
    if (!ListingWindow_Create(w))
        return FALSE;
    SendMessageA(w->hGrid, GRM_SETCELLHOOK, 0, reinterpret_cast<LPARAM>(CellHook));
    return TRUE;
}

BOOL Load(ZT_MODWIN* w, ZT_RECSET* rs)
{
    tagCLIENT* list = nullptr;
    int n = 0;
    if (!FD_Sct_Cli(Cache_Operator(w->p), &list, &n, w->filter.c_str(), 0))
        return FALSE;
    rs->pBlock = list;
    rs->nRows = n;
    rs->nSlots = n + 101;
    return TRUE;
}

int Delete(int iOpEmp, const void* rec)
{
    return FD_Del_Cli(iOpEmp, Client(rec));
}

void Free(void* block)
{
    Mem_Free_Cli(static_cast<tagCLIENT*>(block));
}

// After the dialog the pane shows the selected client again, its
// follow-ups reloaded: the dialog may have written some.
void AddClient(ZT_MODWIN* w, void*, const void*)
{
    ClientDialog_Run(w, nullptr);
    ListingWindow_Reshow(w);
}

void ModifyClient(ZT_MODWIN* w, void* sel, const void*)
{
    ClientDialog_Run(w, static_cast<tagCLIENT*>(sel));
    ListingWindow_Reshow(w);
}

// ---- Tables -----------------------------------------------------------------------------------

const ZT_TBDEF kButtons[] = {
    {ID_CLIENT_ALL, ZTIMG_CLIENT_ALL, "全部", BTNS_DROPDOWN, ZT_NO_RIGHT, CTXPOS_CLIENT_ALL},
    {ID_CLIENT_BUY, ZTIMG_CLIENT_BUY, "求购", BTNS_DROPDOWN, ZT_NO_RIGHT, CTXPOS_CLIENT_BUY},
    {ID_CLIENT_RENT, ZTIMG_CLIENT_RENT, "求租", BTNS_DROPDOWN, ZT_NO_RIGHT, CTXPOS_CLIENT_RENT},
    {ZT_TB_SEPARATOR, 0, nullptr, 0, ZT_NO_RIGHT},
    {ID_CLIENT_ADD, ZTIMG_CLIENT_ADD, "增加客源", 0, ZT_OP_ADD},
    {ID_CLIENT_MODIFY, ZTIMG_CLIENT_EDIT, "修改客源", 0, ZT_OP_MODIFY},
    {ID_CLIENT_DELETE, ZTIMG_CLIENT_DEL, "删除客源", 0, ZT_OP_DELETE},
    {ZT_TB_SEPARATOR, 0, nullptr, 0, ZT_NO_RIGHT},
    {ID_MODULE_REFRESH, ZTIMG_REFRESH, "刷新", 0, ZT_NO_RIGHT},
    {ID_MODULE_EXIT, ZTIMG_EXIT, "退出", 0, ZT_NO_RIGHT},
    {ZT_TB_SEPARATOR, 0, nullptr, 0, ZT_NO_RIGHT},
    {ZT_TB_COUNT, 60, nullptr, 0, ZT_NO_RIGHT},
};

#define C(f) offsetof(tagCLIENT, f)
const ZT_COLDEF kColumns[] = {
    {"等级", 40, LVT_TEXT, nullptr, LVU_NONE, 1, C(szLevel), nullptr},
    {"性质", 40, LVT_TEXT, nullptr, LVU_NONE, 1, C(szUsage), nullptr},
    {"来源", 40, LVT_TEXT, nullptr, LVU_NONE, 1, C(szSource), nullptr},
    {"客户", 60, LVT_TEXT, nullptr, LVU_NONE, 0, C(szCliMan), nullptr},
    {"委托权限", 80, LVT_TEXT, nullptr, LVU_NONE, 1, C(szDelegatePD), nullptr},
    {"交易", 40, LVT_TEXT, nullptr, LVU_NONE, 1, C(szTrade), nullptr},
    {"类型", 60, LVT_TEXT, nullptr, LVU_NONE, 1, C(szHouseType), nullptr},
    {"城区", 60, LVT_TEXT, nullptr, LVU_NONE, 0, C(szUrban), nullptr},
    {"面积", 60, LVT_TEXT, nullptr, LVU_NONE, 1, C(szAreaRange), nullptr},
    {"房型", 40, LVT_TEXT, nullptr, LVU_NONE, 1, C(szRoomRange), nullptr},
    {"朝向", 50, LVT_TEXT, nullptr, LVU_NONE, 1, C(szToward), nullptr},
    {"楼层", 40, LVT_TEXT, nullptr, LVU_NONE, 1, C(szFloor), nullptr},
    {"装修", 40, LVT_TEXT, nullptr, LVU_NONE, 1, C(szDecoration), nullptr},
    {"配置", 40, LVT_TEXT, nullptr, LVU_NONE, 1, C(szLayout), nullptr},
    {"购价范围", 107, LVT_TEXT, "万元", LVU_HEADER, 1, C(szPurchaseRange), nullptr},
    {"租价范围", 120, LVT_TEXT, "元/月", LVU_HEADER, 1, C(szRentRange), nullptr},
    {"价款方式", 60, LVT_TEXT, nullptr, LVU_NONE, 1, C(szPayment), nullptr},
    {"付佣比例", 60, LVT_TEXT, nullptr, LVU_NONE, 1, C(szAgencyFee), nullptr},
    {"部门", 70, LVT_TEXT, nullptr, LVU_NONE, 0, 0, BranchName},
    {"员工", 70, LVT_TEXT, nullptr, LVU_NONE, 0, 0, EmployeeName},
    {"委托日期", 70, LVT_TEXT, nullptr, LVU_NONE, 1, C(dDelegate), nullptr},
    {"跟进日期", 125, LVT_TEXT, nullptr, LVU_NONE, 1, C(dtFollow), nullptr},
    {"最后修改", 125, LVT_TEXT, nullptr, LVU_NONE, 1, C(dtUpdate), nullptr},
};
#undef C

// The trade buttons, and the quick filters of their menus: a trade, and the
// commission or follow-up dates set to today.
const LISTING_QUICK kQuick[] = {
    {"", 0, 0},
    {"求购", 0, 0},
    {"求租", 0, 0},
    {"", IDC_CF_DELEGATE_FROM, IDC_CF_DELEGATE_TO},
    {"", IDC_CF_FOLLOW_FROM, IDC_CF_FOLLOW_TO},
    {"求购", IDC_CF_DELEGATE_FROM, IDC_CF_DELEGATE_TO},
    {"求购", IDC_CF_FOLLOW_FROM, IDC_CF_FOLLOW_TO},
    {"求租", IDC_CF_DELEGATE_FROM, IDC_CF_DELEGATE_TO},
    {"求租", IDC_CF_FOLLOW_FROM, IDC_CF_FOLLOW_TO},
};

#define QUICK(cmd, i) {cmd, ListingWindow_CmdQuick, 0, ZT_NO_RIGHT, nullptr, &kQuick[i]}
const ZT_CMDDEF kCommands[] = {
    {ID_CLIENT_ADD, AddClient, 0, ZT_OP_ADD, nullptr},
    {ID_CLIENT_MODIFY, ModifyClient, ZT_CMD_NEEDSEL, ZT_NO_RIGHT, "请选择数据"},
    {ID_CLIENT_DELETE, Module_CmdDelete, ZT_CMD_NEEDSEL | ZT_CMD_CONFIRM, ZT_OP_DELETE, "请选择数据"},
    {ID_CLIENT_DELETE_FOLLOWS, ListingWindow_CmdDeleteFollowUps, ZT_CMD_NEEDSEL | ZT_CMD_CONFIRM, ZT_NO_RIGHT, "错了"},
    {IDC_CF_FIND, Module_CmdRefresh, 0, ZT_NO_RIGHT, nullptr},
    {IDC_CF_CLEAR, ListingWindow_CmdClear, 0, ZT_NO_RIGHT, nullptr},
    {IDC_CF_EXPAND, ListingWindow_CmdExpand, 0, ZT_NO_RIGHT, nullptr},
    QUICK(ID_CLIENT_ALL, 0),
    QUICK(ID_CLIENT_BUY, 1),
    QUICK(ID_CLIENT_RENT, 2),
    QUICK(ID_CLIENT_TODAY_DELEGATE, 3),
    QUICK(ID_CLIENT_TODAY_FOLLOW, 4),
    QUICK(ID_CLIENT_BUY_DELEGATE, 5),
    QUICK(ID_CLIENT_BUY_FOLLOW, 6),
    QUICK(ID_CLIENT_RENT_DELEGATE, 7),
    QUICK(ID_CLIENT_RENT_FOLLOW, 8),
};
#undef QUICK

// Whether the filter panel is expanded: one flag for every client window
// while the program runs.
BOOL g_bPanelOpen = TRUE;

const LISTING_LIST kLists[] = {
    {IDC_CF_TRADE, "客源参数", "交易"},
    {IDC_CF_FLOOR, "客源参数", "楼层"},
    {IDC_CF_LEVEL, "客源参数", "等级"},
    {IDC_CF_TYPE, "楼盘字典", "类型(房屋)"},
};

const LISTING_DESC kListing = {
    IDD_CLIENT_PANEL, IDC_CF_FIND, IDC_CF_CLEAR, IDC_CF_EXPAND, 91, 37, &g_bPanelOpen,
    g_ClientFilterFields, g_nClientFilterFields, IDC_CF_TRADE, IDC_CF_URBAN, kLists, 4,
    Build, ZTM_CLIENT,
    IDD_CLIENT_PANE, IDC_CP_REMARK, IDC_CP_FOLLOWS, 138, 298, FALSE, offsetof(tagCLIENT, szRemark),
    0, 0,
};

#define COUNT(a) static_cast<int>(sizeof(a) / sizeof((a)[0]))

}  // namespace

extern const ZT_MODULE_DESC g_ClientModule = {
    "ZT_CHILD_CLI", IDM_CLIENT, ZTM_CLIENT, IDS_CLIENT, CW_USEDEFAULT, CW_USEDEFAULT,
    sizeof(tagCLIENT), offsetof(tagCLIENT, iOrdinal), sizeof(LISTING_WIN),
    kButtons, COUNT(kButtons), kColumns, COUNT(kColumns), kCommands, COUNT(kCommands),
    CTXPOS_CLIENT, ID_CLIENT_MODIFY,
    nullptr, Create, ListingWindow_Layout, ListingWindow_Filter, Load, nullptr, Delete, Free, ListingWindow_Destroy,
    nullptr, ListingWindow_SelChange, &kListing,
};

COLORREF Client_TradeColour(const char* pszTrade)
{
    if (!pszTrade)
        return RGB(0, 0, 0);
    if (strcmp(pszTrade, "求租") == 0)
        return RGB(0, 204, 0);
    if (strcmp(pszTrade, "求购") == 0)
        return RGB(255, 0, 0);
    if (strcmp(pszTrade, "租购") == 0)
        return RGB(0, 0, 255);
    return RGB(0, 0, 0);
}
