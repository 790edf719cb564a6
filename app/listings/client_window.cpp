// The client list window: a filter-panel list window (listing_window.h)
// whose trades are drawn in their colours.
#include "app/listings/client_window.h"
#include "app/listings/listing_columns.h"
#include "app/listings/client_dialog.h"
#include "app/listings/client_ids.h"
#include "app/listings/listing_window.h"
#include "app/listings/match_window.h"
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

// Worker.  A client whose employee or branch this session does not know
// (registered or transferred on another desk) has the look-up lists read
// again once, so that its names show.
BOOL Load(ZT_MODWIN* w, ZT_RECSET* rs)
{
    tagCLIENT* list = nullptr;
    int n = 0;
    long long matched = 0;
    if (!FD_Sct_Cli(Cache_Operator(w->p), &list, &n, w->filter.c_str(), 0, &matched))
        return FALSE;
    CACHE_INDEX look;
    Cache_Index(w->p, &look);
    for (int i = 0; i < n; i++)
        if (list[i].iOrdinal && (!Cache_In(look.emp, list[i].iEmp) || !Cache_In(look.br, list[i].iBr))) {
            Cache_ReloadFromWorker(w->p, w->hwnd);
            break;
        }
    if (!Module_Took(rs, list, &n))
        return FALSE;
    rs->nMatched = matched;
    return TRUE;
}

int Delete(int iOpEmp, const void* rec)
{
    return FD_Del_Cli(iOpEmp, Client(rec));
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
    LISTING_TRADE(CLIENT, ALL, "全部"), LISTING_TRADE(CLIENT, BUY, "求购"), LISTING_TRADE(CLIENT, RENT, "求租"), ZT_TB_SEP,
    LISTING_EDITS(CLIENT, "客源"), ZT_TB_SEP,
    {ID_CLIENT_MATCH, ZTIMG_MERGE, "匹配房源", 0, ZT_OP_VIEW}, ZT_TB_SEP, ZT_TB_CLOSING,
};

#define C(f) offsetof(tagCLIENT, f)
const ZT_COLDEF kColumns[] = {
    ZT_COL_TEXT("等级", 65, 1, C(szLevel)),
    ZT_COL_TEXT("性质", 60, 1, C(szUsage)),
    ZT_COL_TEXT("来源", 75, 1, C(szSource)),
    ZT_COL_TEXT("客户", 60, 0, C(szCliMan)),
    ZT_COL_TEXT("委托权限", 80, 1, C(szDelegatePD)),
    CLIENT_COLS_WANTS(C),
    ZT_COL_TEXT("价款方式", 75, 1, C(szPayment)),
    ZT_COL_TEXT("付佣比例", 60, 1, C(szAgencyFee)),
    LISTING_COLS_AGENT(tagCLIENT, 70, BranchName, EmployeeName),
    ZT_COL_TEXT("最后修改", 130, 1, C(dtUpdate)),
};
#undef C

// The trade buttons, and the quick filters of their menus: a trade alone,
// and with the commission or follow-up dates set to today.
#define TRADE(t) {t, 0, 0}, {t, IDC_CF_DELEGATE_FROM, IDC_CF_DELEGATE_TO}, {t, IDC_CF_FOLLOW_FROM, IDC_CF_FOLLOW_TO}
const LISTING_QUICK kQuick[] = {TRADE(""), TRADE("求购"), TRADE("求租")};
#undef TRADE

#define QUICK(cmd, i) LISTING_QUICK_ROW(cmd, &kQuick[i])
#define TRADE(button, delegate, follow, i) QUICK(button, i), QUICK(delegate, i + 1), QUICK(follow, i + 2)
const ZT_CMDDEF kCommands[] = {
    LISTING_COMMANDS(CLIENT, AddClient, ModifyClient, MatchWindow_CmdHousesFor),
    TRADE(ID_CLIENT_ALL, ID_CLIENT_TODAY_DELEGATE, ID_CLIENT_TODAY_FOLLOW, 0),
    TRADE(ID_CLIENT_BUY, ID_CLIENT_BUY_DELEGATE, ID_CLIENT_BUY_FOLLOW, 3),
    TRADE(ID_CLIENT_RENT, ID_CLIENT_RENT_DELEGATE, ID_CLIENT_RENT_FOLLOW, 6),
};
#undef TRADE
#undef QUICK

const LISTING_LIST kLists[] = {
    {IDC_CF_TRADE, "客源参数", "交易"},
    {IDC_CF_FLOOR, "客源参数", "楼层"},
    {IDC_CF_LEVEL, "客源参数", "等级"},
    {IDC_CF_TYPE, "楼盘字典", "类型(房屋)"},
};

const LISTING_DESC kListing = {
    IDD_CLIENT_PANEL, IDC_CF_FIND, IDC_CF_CLEAR, IDC_CF_EXPAND, 91, 37,
    g_ClientFilterFields, g_nClientFilterFields, IDC_CF_TRADE, IDC_CF_URBAN, ZT_TABLE(kLists),
    Build, ZTM_CLIENT,
    IDD_CLIENT_PANE, IDC_CP_REMARK, IDC_CP_FOLLOWS, 138, 298, FALSE, offsetof(tagCLIENT, szRemark),
    0, 0,
};

}  // namespace

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

extern const ZT_MODULE_DESC g_ClientModule = {
    "ZT_CHILD_CLI", IDM_CLIENT, ZTM_CLIENT, IDS_CLIENT, CW_USEDEFAULT, CW_USEDEFAULT,
    sizeof(tagCLIENT), offsetof(tagCLIENT, iOrdinal), sizeof(LISTING_WIN),
    ZT_TABLE(kButtons), ZT_TABLE(kColumns), ZT_TABLE(kCommands), CTXPOS_CLIENT, ID_CLIENT_MODIFY,
    LISTING_HOOKS(Create, ListingWindow_Layout, Load, nullptr, Delete, (Module_Free<tagCLIENT, Mem_Free_Cli>),
                  ListingWindow_Destroy, &kListing),
};
