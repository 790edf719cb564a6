// The house list window: a filter-panel list window (listing_window.h) with
// the relation checks of every load, the mark of listings left without a
// follow-up and its count in a status line, and the estate box's tooltip.
#include "app/listings/house_window.h"
#include "app/listings/estate_box.h"
#include "app/listings/house_dialog.h"
#include "app/listings/house_ids.h"
#include "app/listings/listing_window.h"
#include "app/shell/caches.h"
#include "app/shell/rights.h"
#include "app/resources/resource.h"
#include "app/resources/toolbar_images.h"
#include "common/date.h"
#include "common/zt_box.h"

#include <commctrl.h>
#include <cstddef>
#include <cstdio>
#include <cstring>

namespace {

enum { IDC_HOUSE_STATUS = 11, STATUS_H = 20 };

struct HouseState {
    LISTING_WIN list;        // first: the shared list window's state
    HWND hStatus;
    HWND hTip;
    BOOL bMismatch;          // the last load named a missing relation: nothing listed
    int nExpiring;           // rows marked as left without a follow-up
    CACHE_INDEX* look;       // the caches by key, for the rows of one load
};

HouseState* StateOf(const ZT_MODWIN* w)
{
    return static_cast<HouseState*>(w->pState);
}

const tagHOUSE* House(const void* rec)
{
    return static_cast<const tagHOUSE*>(rec);
}

// ---- Columns from the caches ------------------------------------------------------------

const char kEmpty[] = "";

const tagESTLIST* EstOf(const ZT_MODWIN* w, const void* rec)
{
    return Cache_In(StateOf(w)->look->est, House(rec)->iEst);
}

const void* UrbanName(const ZT_MODWIN* w, const void* rec)
{
    const tagESTLIST* e = EstOf(w, rec);
    const tagURBAN* u = e ? Cache_In(StateOf(w)->look->urban, e->iUrban) : nullptr;
    return u ? u->szUrban : kEmpty;
}

const void* EstateName(const ZT_MODWIN* w, const void* rec)
{
    const tagESTLIST* e = EstOf(w, rec);
    return e ? e->szEstate : kEmpty;
}

const void* EstateAddress(const ZT_MODWIN* w, const void* rec)
{
    const tagESTLIST* e = EstOf(w, rec);
    return e ? e->szAddress : kEmpty;
}

const void* BranchName(const ZT_MODWIN* w, const void* rec)
{
    const tagBRLIST* b = Cache_In(StateOf(w)->look->br, House(rec)->iBr);
    return b ? b->szBr : kEmpty;
}

const void* EmployeeName(const ZT_MODWIN* w, const void* rec)
{
    const tagEMPLIST* e = Cache_In(StateOf(w)->look->emp, House(rec)->iEmp);
    return e ? e->szEmp : kEmpty;
}

// ---- Listings left without a follow-up --------------------------------------------------------

// A listing on offer whose last follow-up is REMIND1 days old or older (and,
// with REMIND2, at most REMIND2 days): what the load's expiring flag counts.
BOOL IsExpiring(const tagZT_Main_Param* p, const tagHOUSE* h, long today)
{
    if (!p->bRemind1)
        return FALSE;
    if (strcmp(h->szTrade, "出售") != 0 && strcmp(h->szTrade, "出租") != 0 && strcmp(h->szTrade, "租售") != 0)
        return FALSE;
    long day;
    if (!Date_DayNumberOf(h->dtFollow, &day))
        return FALSE;
    long days = today - day;
    return days >= p->bRemind1 && (!p->bRemind2 || days <= p->bRemind2);
}

void CellHook(HWND hParent, HDC hdc, const tagLV_COLUMN*, const void*, const void* pRecord)
{
    ZT_MODWIN* w = Module_Of(hParent);
    if (w && pRecord && IsExpiring(w->p, House(pRecord), Date_TodayNumber()))
        SetTextColor(hdc, RGB(0xC0, 0, 0));
}

void ShowStatus(ZT_MODWIN* w)
{
    HouseState* s = StateOf(w);
    char text[128] = "";
    if (s->nExpiring > 0)
        snprintf(text, sizeof(text), "%d 套在售/在租房源已超过 %d 天未跟进(红色标出)", s->nExpiring,
                 w->p->bRemind1);
    SetWindowTextA(s->hStatus, text);
}

// ---- The panel ----------------------------------------------------------------------------

// The estate box explains what it finds for digits.
void AddTelephoneTip(HouseState* s, HWND hPanel)
{
    HWND hBox = GetDlgItem(hPanel, IDC_HF_ESTATE);
    s->hTip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0, hPanel,
                              nullptr, nullptr, nullptr);
    if (!s->hTip || !hBox)
        return;
    static char tip[] = "楼盘名称以逗号结尾(可多个); 或输入房源编号; 或输入电话号码:"
                        "完整号码, 或前 8 位、前 16 位等 8 的整数倍位数的开头";
    HWND targets[] = {hBox, GetWindow(hBox, GW_CHILD)};
    for (HWND t : targets) {
        if (!t)
            continue;
        TOOLINFOA ti;
        memset(&ti, 0, sizeof(ti));
        ti.cbSize = sizeof(ti);
        ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        ti.hwnd = hPanel;
        ti.uId = reinterpret_cast<UINT_PTR>(t);
        ti.lpszText = tip;
        SendMessageA(s->hTip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
    }
    SendMessageA(s->hTip, TTM_SETMAXTIPWIDTH, 0, 360);
}

BOOL Build(ZT_MODWIN* w, std::string* pWhere, int* pBadCtl)
{
    HouseFilterPanel v;
    ListingWindow_Read(w, &v);
    return HouseFilter_Build(v, ListingWindow_State(w)->szScope, w->p->pEstList, Cache_EstateSlots(w->p), pWhere,
                             pBadCtl);
}

// ---- Module hooks -------------------------------------------------------------------------

BOOL Create(ZT_MODWIN* w)
{
    HouseState* s = StateOf(w);
    s->look = new CACHE_INDEX();
    if (!ListingWindow_Create(w))
        return FALSE;
    HWND hPanel = s->list.hPanel;
    EstateBox_Attach(GetDlgItem(hPanel, IDC_HF_ESTATE), w->p);
    for (int id : {IDC_HF_BED_MIN, IDC_HF_BED_MAX})
        for (const char* n : {"0", "1", "2", "3", "4", "5", "6"})
            SendDlgItemMessageA(hPanel, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(n));
    AddTelephoneTip(s, hPanel);
    s->hStatus = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | CCS_NOPARENTALIGN | CCS_NORESIZE,
                                 0, 0, 0, 0, w->hwnd,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_HOUSE_STATUS)), w->p->hInst,
                                 nullptr);
    SendMessageA(w->hGrid, GRM_SETCELLHOOK, 0, reinterpret_cast<LPARAM>(CellHook));
    return TRUE;
}

// The status line at the bottom, under the pane.
void Layout(ZT_MODWIN* w, RECT* rc)
{
    HouseState* s = StateOf(w);
    if (s->hStatus) {
        MoveWindow(s->hStatus, rc->left, rc->bottom - STATUS_H, rc->right - rc->left, STATUS_H, TRUE);
        rc->bottom -= STATUS_H;
    }
    ListingWindow_Layout(w, rc);
}

void ReportMismatch(ZT_MODWIN* w, const char* what, int key)
{
    char text[96];
    snprintf(text, sizeof(text), "房源ID:%d关联%s出错", key, what);
    ZT_MessageBox(w->hwnd, text, "", MB_OK);
    ZT_MessageBox(w->hwnd, "数据行匹配错误", "", MB_OK);
}

// The relation of a house the caches do not know (null: all known).
const char* MissingRelation(const CACHE_INDEX& look, const tagHOUSE& h)
{
    const tagESTLIST* est = Cache_In(look.est, h.iEst);
    if (!Cache_In(look.emp, h.iEmp))
        return "员工";
    if (!Cache_In(look.br, h.iBr))
        return "部门";
    if (!est)
        return "楼盘";
    return Cache_In(look.urban, est->iUrban) ? nullptr : "城区";
}

BOOL Load(ZT_MODWIN* w, ZT_RECSET* rs)
{
    HouseState* s = StateOf(w);
    tagZT_Main_Param* p = w->p;
    s->bMismatch = FALSE;
    s->nExpiring = 0;
    Cache_Index(p, s->look);

    tagHOUSE* list = nullptr;
    int n = 0, expiring = 0;
    unsigned char remind[2] = {p->bRemind1, p->bRemind2};
    if (!FD_Sct_Hou(Cache_Operator(p), &list, &n, w->filter.c_str(), 0, &expiring, remind))
        return FALSE;
    long today = Date_TodayNumber();
    for (int i = 0; i < n; i++) {
        if (!list[i].iOrdinal)
            continue;
        if (const char* missing = MissingRelation(*s->look, list[i])) {
            ReportMismatch(w, missing, list[i].iOrdinal);
            s->bMismatch = TRUE;
            break;
        }
        if (IsExpiring(p, &list[i], today))
            s->nExpiring++;
        // The load counts the days only for the unfiltered list; a filtered
        // list shows them too.
        long day;
        if (!w->filter.empty() && Date_DayNumberOf(list[i].dtFollow, &day))
            list[i].iDaysUnfollowed = static_cast<int>(today - day);
    }
    if (s->bMismatch)
        s->nExpiring = 0;
    ShowStatus(w);
    rs->pBlock = list;
    rs->nRows = n;
    rs->nSlots = n + 101;
    return TRUE;
}

BOOL CheckRow(const ZT_MODWIN* w, const void*)
{
    return !StateOf(w)->bMismatch;
}

int Delete(int iOpEmp, const void* rec)
{
    return FD_Del_Hou(iOpEmp, House(rec));
}

void Free(void* block)
{
    Mem_Free_Hou(static_cast<tagHOUSE*>(block));
}

void Destroy(ZT_MODWIN* w)
{
    HouseState* s = StateOf(w);
    if (s->hTip)
        DestroyWindow(s->hTip);
    ListingWindow_Destroy(w);
    delete s->look;
    s->look = nullptr;
}

void AddHouse(ZT_MODWIN* w, void*, const void*)
{
    HouseDialog_Run(w, HDLG_ADD, ListingWindow_Follows(w));
}

void ModifyHouse(ZT_MODWIN* w, void*, const void*)
{
    HouseDialog_Run(w, HDLG_MODIFY, ListingWindow_Follows(w));
}

// ---- Tables -----------------------------------------------------------------------------------

const ZT_TBDEF kButtons[] = {
    {ID_HOUSE_ALL, ZTIMG_HOUSE_ALL, "全部", BTNS_DROPDOWN, ZT_NO_RIGHT, CTXPOS_HOUSE_ALL},
    {ID_HOUSE_SALE, ZTIMG_HOUSE_SALE, "出售", BTNS_DROPDOWN, ZT_NO_RIGHT, CTXPOS_HOUSE_SALE},
    {ID_HOUSE_RENT, ZTIMG_HOUSE_RENT, "出租", BTNS_DROPDOWN, ZT_NO_RIGHT, CTXPOS_HOUSE_RENT},
    {ZT_TB_SEPARATOR, 0, nullptr, 0, ZT_NO_RIGHT},
    {ID_HOUSE_ADD, ZTIMG_HOUSE_ADD, "增加房源", 0, ZT_OP_ADD},
    {ID_HOUSE_MODIFY, ZTIMG_HOUSE_EDIT, "修改房源", 0, ZT_OP_MODIFY},
    {ID_HOUSE_DELETE, ZTIMG_HOUSE_DEL, "删除房源", 0, ZT_OP_DELETE},
    {ZT_TB_SEPARATOR, 0, nullptr, 0, ZT_NO_RIGHT},
    {ID_HOUSE_FOLLOW_HIDE, ZTIMG_FOLLOW_HIDE, "隐藏跟进", 0, ZT_NO_RIGHT},
    {ZT_TB_SEPARATOR, 0, nullptr, 0, ZT_NO_RIGHT},
    {ID_MODULE_REFRESH, ZTIMG_REFRESH, "刷新", 0, ZT_NO_RIGHT},
    {ID_MODULE_EXIT, ZTIMG_EXIT, "退出", 0, ZT_NO_RIGHT},
    {ZT_TB_SEPARATOR, 0, nullptr, 0, ZT_NO_RIGHT},
    {ZT_TB_COUNT, 60, nullptr, 0, ZT_NO_RIGHT},
};

#define H(f) offsetof(tagHOUSE, f)
const ZT_COLDEF kColumns[] = {
    {"交易", 40, LVT_TEXT, nullptr, LVU_NONE, 1, H(szTrade), nullptr},
    {"跟进通知", 75, LVT_INT, "天未跟进", LVU_CELLS, 2, H(iDaysUnfollowed), nullptr},
    {"城区", 55, LVT_TEXT, nullptr, LVU_NONE, 0, 0, UrbanName},
    {"楼盘名称", 100, LVT_TEXT, nullptr, LVU_NONE, 0, 0, EstateName},
    {"楼盘地址", 110, LVT_TEXT, nullptr, LVU_NONE, 0, 0, EstateAddress},
    {"栋号", 40, LVT_TEXT, nullptr, LVU_NONE, 1, H(szBuildNO), nullptr},
    {"室号", 40, LVT_TEXT, nullptr, LVU_NONE, 1, H(szHouseNO), nullptr},
    {"楼层", 40, LVT_TEXT, nullptr, LVU_NONE, 1, H(szFloor), nullptr},
    {"总层", 40, LVT_INT, nullptr, LVU_NONE, 1, H(iFloorT), nullptr},
    {"面积", 52, LVT_DOUBLE, nullptr, LVU_NONE, 2, H(dbBuildArea), nullptr},
    {"房型", 42, LVT_TEXT, nullptr, LVU_NONE, 1, H(szRoomType), nullptr},
    {"朝向", 45, LVT_TEXT, nullptr, LVU_NONE, 1, H(szToward), nullptr},
    {"售价", 60, LVT_INT, "万元", LVU_CELLS, 2, H(iSales), nullptr},
    {"均价", 70, LVT_INT, "元/平", LVU_CELLS, 2, H(iSalesAve), nullptr},
    {"售底价", 60, LVT_INT, "万元", LVU_CELLS, 2, H(iSalesBase), nullptr},
    {"租价", 70, LVT_INT, "元/月", LVU_CELLS, 2, H(iRent), nullptr},
    {"租均价", 90, LVT_DOUBLE, "元/平/天", LVU_CELLS, 2, H(dbRentAve), nullptr},
    {"租底价", 60, LVT_INT, "元/月", LVU_CELLS, 2, H(iRentBase), nullptr},
    {"看房", 40, LVT_TEXT, nullptr, LVU_NONE, 0, H(szLook), nullptr},
    {"装修", 40, LVT_TEXT, nullptr, LVU_NONE, 0, H(szDecoration), nullptr},
    {"配置", 40, LVT_TEXT, nullptr, LVU_NONE, 0, H(szLayout), nullptr},
    {"房屋类型", 62, LVT_TEXT, nullptr, LVU_NONE, 0, H(szHouseType), nullptr},
    {"房屋结构", 50, LVT_TEXT, nullptr, LVU_NONE, 0, H(szHouseStruct), nullptr},
    {"建筑类型", 50, LVT_TEXT, nullptr, LVU_NONE, 0, H(szBuildType), nullptr},
    {"建筑结构", 50, LVT_TEXT, nullptr, LVU_NONE, 0, H(szBuildStruct), nullptr},
    {"部门", 75, LVT_TEXT, nullptr, LVU_NONE, 0, 0, BranchName},
    {"员工", 75, LVT_TEXT, nullptr, LVU_NONE, 0, 0, EmployeeName},
    {"委托日期", 70, LVT_TEXT, nullptr, LVU_NONE, 1, H(dDelegate), nullptr},
    {"跟进日期", 125, LVT_TEXT, nullptr, LVU_NONE, 1, H(dtFollow), nullptr},
    {"租赁日期", 70, LVT_TEXT, nullptr, LVU_NONE, 1, H(dRent), nullptr},
    {"最后修改", 125, LVT_TEXT, nullptr, LVU_NONE, 1, H(dtUpdate), nullptr},
    {"购房日期", 70, LVT_TEXT, nullptr, LVU_NONE, 1, H(dBuy), nullptr},
};
#undef H

// The trade buttons, and the quick filters of their menus: a trade, and the
// commission, follow-up or lease dates set to today.
const LISTING_QUICK kQuick[] = {
    {"", 0, 0},
    {"出售", 0, 0},
    {"出租", 0, 0},
    {"", IDC_HF_DELEGATE_FROM, IDC_HF_DELEGATE_TO},
    {"", IDC_HF_FOLLOW_FROM, IDC_HF_FOLLOW_TO},
    {"", IDC_HF_RENT_FROM, IDC_HF_RENT_TO},
    {"出售", IDC_HF_DELEGATE_FROM, IDC_HF_DELEGATE_TO},
    {"出售", IDC_HF_FOLLOW_FROM, IDC_HF_FOLLOW_TO},
    {"出售", IDC_HF_RENT_FROM, IDC_HF_RENT_TO},
    {"出租", IDC_HF_DELEGATE_FROM, IDC_HF_DELEGATE_TO},
    {"出租", IDC_HF_FOLLOW_FROM, IDC_HF_FOLLOW_TO},
    {"出租", IDC_HF_RENT_FROM, IDC_HF_RENT_TO},
};

#define QUICK(cmd, i) {cmd, ListingWindow_CmdQuick, 0, ZT_NO_RIGHT, nullptr, &kQuick[i]}
const ZT_CMDDEF kCommands[] = {
    {ID_HOUSE_ADD, AddHouse, 0, ZT_OP_ADD, nullptr},
    {ID_HOUSE_MODIFY, ModifyHouse, ZT_CMD_NEEDSEL, ZT_NO_RIGHT, "请选择数据"},
    {ID_HOUSE_DELETE, Module_CmdDelete, ZT_CMD_NEEDSEL | ZT_CMD_CONFIRM, ZT_OP_DELETE, "请选择数据"},
    {ID_HOUSE_DELETE_FOLLOWS, ListingWindow_CmdDeleteFollowUps, ZT_CMD_NEEDSEL | ZT_CMD_CONFIRM, ZT_NO_RIGHT, "错了"},
    {ID_HOUSE_FOLLOW_HIDE, ListingWindow_CmdHidePane, 0, ZT_NO_RIGHT, nullptr},
    {ID_HOUSE_FOLLOW_SHOW, ListingWindow_CmdShowPane, 0, ZT_NO_RIGHT, nullptr},
    {IDC_HF_FIND, Module_CmdRefresh, 0, ZT_NO_RIGHT, nullptr},
    {IDC_HF_CLEAR, ListingWindow_CmdClear, 0, ZT_NO_RIGHT, nullptr},
    {IDC_HF_EXPAND, ListingWindow_CmdExpand, 0, ZT_NO_RIGHT, nullptr},
    QUICK(ID_HOUSE_ALL, 0),
    QUICK(ID_HOUSE_SALE, 1),
    QUICK(ID_HOUSE_RENT, 2),
    QUICK(ID_HOUSE_TODAY_DELEGATE, 3),
    QUICK(ID_HOUSE_TODAY_FOLLOW, 4),
    QUICK(ID_HOUSE_TODAY_EXPIRE, 5),
    QUICK(ID_HOUSE_SALE_DELEGATE, 6),
    QUICK(ID_HOUSE_SALE_FOLLOW, 7),
    QUICK(ID_HOUSE_SALE_EXPIRE, 8),
    QUICK(ID_HOUSE_RENT_DELEGATE, 9),
    QUICK(ID_HOUSE_RENT_FOLLOW, 10),
    QUICK(ID_HOUSE_RENT_EXPIRE, 11),
};
#undef QUICK

// Whether the filter panel is expanded: one flag for every house window
// while the program runs.
BOOL g_bPanelOpen = TRUE;

const LISTING_LIST kLists[] = {
    {IDC_HF_TRADE, "房源参数(住宅)", "交易"},
    {IDC_HF_LOOK, "房源参数(住宅)", "看房"},
    {IDC_HF_TYPE, nullptr, "类型(房屋)"},
};

const LISTING_DESC kListing = {
    IDD_HOUSE_PANEL, IDC_HF_FIND, IDC_HF_CLEAR, IDC_HF_EXPAND, 112, 37, &g_bPanelOpen,
    g_HouseFilterFields, g_nHouseFilterFields, IDC_HF_TRADE, IDC_HF_URBAN, kLists, 3,
    Build, ZTM_HOUSE,
    IDD_HOUSE_PANE, IDC_HP_REMARK, IDC_HP_FOLLOWS, 138, 298, TRUE, offsetof(tagHOUSE, szRemark),
    ID_HOUSE_FOLLOW_HIDE, ID_HOUSE_FOLLOW_SHOW,
};

#define COUNT(a) static_cast<int>(sizeof(a) / sizeof((a)[0]))

}  // namespace

extern const ZT_MODULE_DESC g_HouseModule = {
    "ZT_CHILD_HOU", IDM_HOUSE, ZTM_HOUSE, IDS_HOUSE, CW_USEDEFAULT, CW_USEDEFAULT,
    sizeof(tagHOUSE), offsetof(tagHOUSE, iOrdinal), sizeof(HouseState),
    kButtons, COUNT(kButtons), kColumns, COUNT(kColumns), kCommands, COUNT(kCommands),
    CTXPOS_HOUSE, ID_HOUSE_MODIFY,
    nullptr, Create, Layout, ListingWindow_Filter, Load, CheckRow, Delete, Free, Destroy, nullptr,
    ListingWindow_SelChange, &kListing,
};

int HouseWindow_ExpiringCount(HWND hHouse)
{
    ZT_MODWIN* w = Module_Of(hHouse);
    return w && w->d == &g_HouseModule ? StateOf(w)->nExpiring : 0;
}
