// The house list window: a filter-panel list window (listing_window.h) with
// the relation checks of every load, the mark of listings left without a
// follow-up and its count in a status line, and the estate box's tooltip.
#include "app/listings/house_window.h"
#include "app/listings/listing_columns.h"
#include "app/listings/estate_box.h"
#include "app/listings/house_dialog.h"
#include "app/listings/house_ids.h"
#include "app/listings/listing_window.h"
#include "app/listings/match_window.h"
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
#include <string>
#include <unordered_set>
#include <vector>

namespace {

enum { IDC_HOUSE_STATUS = 11, STATUS_H = 20 };

struct HouseState {
    LISTING_WIN list;        // first: the shared list window's state
    HWND hStatus;
    HWND hTip;
    // Houses of the last load whose employee, branch, estate or urban area
    // this session does not know even after reading the look-up lists
    // again: they are not listed.
    std::unordered_set<int>* unknown;
    int nExpiring;           // rows marked as left without a follow-up (due or overdue)
    int nOverdue;            // ... of them overdue
    CACHE_INDEX* look;       // the caches by key, for the rows of one load
    const char* index;       // the index the filter's list is read by ("": the server's choice)
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

// Text colours of the marks: amber once a listing on offer is due for a
// follow-up (REMIND1 days), red once it is overdue (REMIND2 days, or the
// first threshold when it is the only one).
const COLORREF kDueColour = RGB(0xB8, 0x5C, 0x00);
const COLORREF kOverdueColour = RGB(0xC0, 0x00, 0x00);

void CellHook(HWND hParent, HDC hdc, const tagLV_COLUMN*, const void*, const void* pRecord)
{
    ZT_MODWIN* w = Module_Of(hParent);
    if (!w || !pRecord)
        return;
    int mark = House_FollowMark(House(pRecord), w->p->bRemind1, w->p->bRemind2, Date_TodayNumber());
    if (mark != HOUSE_MARK_NONE)
        SetTextColor(hdc, mark == HOUSE_MARK_OVERDUE ? kOverdueColour : kDueColour);
}

void ShowStatus(ZT_MODWIN* w)
{
    HouseState* s = StateOf(w);
    SetWindowTextA(s->hStatus, House_MarkStatus(s->nExpiring, s->nOverdue, w->p->bRemind1, w->p->bRemind2).c_str());
}

// A house deleted or added by hand: the status line counts the rows now
// listed.
void RowsChanged(ZT_MODWIN* w)
{
    HouseState* s = StateOf(w);
    int n = static_cast<int>(SendMessageA(w->hGrid, GRM_GETROWS, 0, 0));
    std::vector<const void*> rows(static_cast<size_t>(n > 0 ? n : 0));
    if (n > 0)
        n = static_cast<int>(SendMessageA(w->hGrid, GRM_GETROWS, n, reinterpret_cast<LPARAM>(rows.data())));
    s->nExpiring = 0;
    s->nOverdue = 0;
    long today = Date_TodayNumber();
    for (int i = 0; i < n && i < static_cast<int>(rows.size()); i++) {
        int mark = House_FollowMark(House(rows[static_cast<size_t>(i)]), w->p->bRemind1, w->p->bRemind2, today);
        s->nExpiring += mark != HOUSE_MARK_NONE;
        s->nOverdue += mark == HOUSE_MARK_OVERDUE;
    }
    ShowStatus(w);
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
    StateOf(w)->index = HouseFilter_Index(v, ListingWindow_State(w)->szScope);
    return HouseFilter_Build(v, ListingWindow_State(w)->szScope, w->p->pEstList, Cache_EstateSlots(w->p), pWhere,
                             pBadCtl, w->p->pUrban, Cache_UrbanSlots(w->p));
}

// ---- Module hooks -------------------------------------------------------------------------

BOOL Create(ZT_MODWIN* w)
{
    HouseState* s = StateOf(w);
    s->look = new CACHE_INDEX();
    s->unknown = new std::unordered_set<int>();
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

// One box for the houses a load could not list: the first by its key and
// what it lacks, and how many more there are.
void ReportMismatch(ZT_MODWIN* w, const char* what, int key, int nMore)
{
    char text[160];
    int n = snprintf(text, sizeof(text), "房源ID:%d关联%s出错", key, what);
    if (nMore > 0 && n > 0 && static_cast<size_t>(n) < sizeof(text))
        snprintf(text + n, sizeof(text) - static_cast<size_t>(n), "\n另有 %d 条房源关联出错, 没有列出", nMore);
    ZT_MessageBox(w->hwnd, text, "", MB_OK);
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

// Worker: the houses whose relations the caches do not know.  Once per
// load, when there are any, the look-up lists are read again and merged
// into the caches (houses registered, transferred or moved on another
// desk); only what is still unknown then is reported, once, and left out.
void CheckRelations(ZT_MODWIN* w, const tagHOUSE* list, int n)
{
    HouseState* s = StateOf(w);
    auto collect = [&]() {
        s->unknown->clear();
        for (int i = 0; i < n; i++)
            if (list[i].iOrdinal && MissingRelation(*s->look, list[i]))
                s->unknown->insert(list[i].iOrdinal);
    };
    collect();
    if (!s->unknown->empty() && Cache_ReloadFromWorker(w->p, w->hwnd)) {
        Cache_Index(w->p, s->look);
        collect();
    }
    for (int i = 0; i < n && !s->unknown->empty(); i++)
        if (list[i].iOrdinal && s->unknown->count(list[i].iOrdinal)) {
            ReportMismatch(w, MissingRelation(*s->look, list[i]), list[i].iOrdinal,
                           static_cast<int>(s->unknown->size()) - 1);
            break;
        }
}

BOOL Load(ZT_MODWIN* w, ZT_RECSET* rs)
{
    HouseState* s = StateOf(w);
    tagZT_Main_Param* p = w->p;
    s->nExpiring = 0;
    s->nOverdue = 0;
    s->unknown->clear();
    Cache_Index(p, s->look);

    tagHOUSE* list = nullptr;
    int n = 0, expiring = 0;
    unsigned char remind[2] = {p->bRemind1, p->bRemind2};
    if (!FD_Sct_Hou(Cache_Operator(p), &list, &n, w->filter.c_str(), 0, &expiring, remind, s->index))
        return FALSE;
    CheckRelations(w, list, n);
    long today = Date_TodayNumber();
    for (int i = 0; i < n; i++) {
        if (!list[i].iOrdinal || s->unknown->count(list[i].iOrdinal))
            continue;
        // Counted here for every list (the load counts them only for an
        // unfiltered one, and not for a house never followed up).
        long days = House_DaysUnfollowed(&list[i], today);
        list[i].iDaysUnfollowed = days > 0 ? static_cast<int>(days) : 0;
        int mark = House_FollowMark(&list[i], p->bRemind1, p->bRemind2, today);
        s->nExpiring += mark != HOUSE_MARK_NONE;
        s->nOverdue += mark == HOUSE_MARK_OVERDUE;
    }
    ShowStatus(w);
    *rs = Module_RecSet(list, n);
    return TRUE;
}

BOOL CheckRow(const ZT_MODWIN* w, const void* rec)
{
    return !StateOf(w)->unknown->count(House(rec)->iOrdinal);
}

int Delete(int iOpEmp, const void* rec)
{
    return FD_Del_Hou(iOpEmp, House(rec));
}

void Destroy(ZT_MODWIN* w)
{
    HouseState* s = StateOf(w);
    if (s->hTip)
        DestroyWindow(s->hTip);
    ListingWindow_Destroy(w);
    delete s->look;
    s->look = nullptr;
    delete s->unknown;
    s->unknown = nullptr;
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
    LISTING_TRADE(HOUSE, ALL, "全部"), LISTING_TRADE(HOUSE, SALE, "出售"), LISTING_TRADE(HOUSE, RENT, "出租"), ZT_TB_SEP,
    LISTING_EDITS(HOUSE, "房源"), ZT_TB_SEP,
    {ID_HOUSE_FOLLOW_HIDE, ZTIMG_FOLLOW_HIDE, "隐藏跟进", 0, ZT_OP_VIEW}, ZT_TB_SEP,
    {ID_HOUSE_MATCH, ZTIMG_MERGE, "匹配客源", 0, ZT_OP_VIEW}, ZT_TB_SEP,
    ZT_TB_CLOSING,
};

#define H(f) offsetof(tagHOUSE, f)
const ZT_COLDEF kColumns[] = {
    ZT_COL_TEXT("交易", 40, 1, H(szTrade)),
    ZT_COL_UNIT("跟进通知", 80, LVT_INT, "天未跟进", LVU_CELLS, 2, H(iDaysUnfollowed)),
    ZT_COL_LOOKUP("城区", 60, 0, UrbanName),
    ZT_COL_LOOKUP("楼盘名称", 100, 0, EstateName),
    ZT_COL_LOOKUP("楼盘地址", 170, 0, EstateAddress),
    HOUSE_COLS_ROOM(H),
    ZT_COL_AMOUNT("售价", 65, LVT_INT, "万元", H(iSales)),
    ZT_COL_AMOUNT("均价", 75, LVT_INT, "元/平", H(iSalesAve)),
    ZT_COL_AMOUNT("售底价", 65, LVT_INT, "万元", H(iSalesBase)),
    ZT_COL_AMOUNT("租价", 75, LVT_INT, "元/月", H(iRent)),
    ZT_COL_AMOUNT("租均价", 90, LVT_DOUBLE, "元/平/天", H(dbRentAve)),
    ZT_COL_AMOUNT("租底价", 75, LVT_INT, "元/月", H(iRentBase)),
    ZT_COL_TEXT("看房", 60, 0, H(szLook)),
    ZT_COL_TEXT("装修", 40, 0, H(szDecoration)),
    ZT_COL_TEXT("配置", 60, 0, H(szLayout)),
    ZT_COL_TEXT("房屋类型", 62, 0, H(szHouseType)),
    ZT_COL_TEXT("房屋结构", 50, 0, H(szHouseStruct)),
    ZT_COL_TEXT("建筑类型", 50, 0, H(szBuildType)),
    ZT_COL_TEXT("建筑结构", 50, 0, H(szBuildStruct)),
    LISTING_COLS_AGENT(tagHOUSE, 75, BranchName, EmployeeName),
    ZT_COL_TEXT("租赁日期", 75, 1, H(dRent)),
    ZT_COL_TEXT("最后修改", 130, 1, H(dtUpdate)),
    ZT_COL_TEXT("购房日期", 75, 1, H(dBuy)),
};
#undef H

// The trade buttons, and the quick filters of their menus: a trade alone,
// and with the commission, follow-up or lease dates set to today.
#define TRADE(t) {t, 0, 0}, {t, IDC_HF_DELEGATE_FROM, IDC_HF_DELEGATE_TO}, {t, IDC_HF_FOLLOW_FROM, IDC_HF_FOLLOW_TO}, \
                 {t, IDC_HF_RENT_FROM, IDC_HF_RENT_TO}
const LISTING_QUICK kQuick[] = {TRADE(""), TRADE("出售"), TRADE("出租")};
#undef TRADE

#define QUICK(cmd, i) LISTING_QUICK_ROW(cmd, &kQuick[i])
#define TRADE(button, delegate, follow, expire, i) \
    QUICK(button, i), QUICK(delegate, i + 1), QUICK(follow, i + 2), QUICK(expire, i + 3)
const ZT_CMDDEF kCommands[] = {
    LISTING_COMMANDS(HOUSE, AddHouse, ModifyHouse, MatchWindow_CmdClientsFor),
    {ID_HOUSE_FOLLOW_HIDE, ListingWindow_CmdHidePane, 0, ZT_OP_VIEW, nullptr},
    {ID_HOUSE_FOLLOW_SHOW, ListingWindow_CmdShowPane, 0, ZT_OP_VIEW, nullptr},
    TRADE(ID_HOUSE_ALL, ID_HOUSE_TODAY_DELEGATE, ID_HOUSE_TODAY_FOLLOW, ID_HOUSE_TODAY_EXPIRE, 0),
    TRADE(ID_HOUSE_SALE, ID_HOUSE_SALE_DELEGATE, ID_HOUSE_SALE_FOLLOW, ID_HOUSE_SALE_EXPIRE, 4),
    TRADE(ID_HOUSE_RENT, ID_HOUSE_RENT_DELEGATE, ID_HOUSE_RENT_FOLLOW, ID_HOUSE_RENT_EXPIRE, 8),
};
#undef TRADE
#undef QUICK

const LISTING_LIST kLists[] = {
    {IDC_HF_TRADE, "房源参数(住宅)", "交易"},
    {IDC_HF_LOOK, "房源参数(住宅)", "看房"},
    {IDC_HF_TYPE, nullptr, "类型(房屋)"},
};

const LISTING_DESC kListing = {
    IDD_HOUSE_PANEL, IDC_HF_FIND, IDC_HF_CLEAR, IDC_HF_EXPAND, 112, 37,
    g_HouseFilterFields, g_nHouseFilterFields, IDC_HF_TRADE, IDC_HF_URBAN, ZT_TABLE(kLists),
    Build, ZTM_HOUSE,
    IDD_HOUSE_PANE, IDC_HP_REMARK, IDC_HP_FOLLOWS, 138, 298, TRUE, offsetof(tagHOUSE, szRemark),
    ID_HOUSE_FOLLOW_HIDE, ID_HOUSE_FOLLOW_SHOW,
};

}  // namespace

extern const ZT_MODULE_DESC g_HouseModule = {
    "ZT_CHILD_HOU", IDM_HOUSE, ZTM_HOUSE, IDS_HOUSE, CW_USEDEFAULT, CW_USEDEFAULT,
    sizeof(tagHOUSE), offsetof(tagHOUSE, iOrdinal), sizeof(HouseState),
    ZT_TABLE(kButtons), ZT_TABLE(kColumns), ZT_TABLE(kCommands), CTXPOS_HOUSE, ID_HOUSE_MODIFY,
    LISTING_HOOKS(Create, Layout, Load, CheckRow, Delete, (Module_Free<tagHOUSE, Mem_Free_Hou>), Destroy, &kListing),
    nullptr, 0, RowsChanged,
};

int HouseWindow_ExpiringCount(HWND hHouse, int* pnOverdue)
{
    ZT_MODWIN* w = Module_Of(hHouse);
    BOOL mine = w && w->d == &g_HouseModule;
    if (pnOverdue)
        *pnOverdue = mine ? StateOf(w)->nOverdue : 0;
    return mine ? StateOf(w)->nExpiring : 0;
}

long House_DaysUnfollowed(const tagHOUSE* h, long today)
{
    long day;
    if (Date_DayNumberOf(h->dtFollow, &day) || Date_DayNumberOf(h->dDelegate, &day))
        return today - day;
    return -1;
}

int House_FollowMark(const tagHOUSE* h, int iRemind1, int iRemind2, long today)
{
    if (iRemind1 <= 0)
        return HOUSE_MARK_NONE;
    if (strcmp(h->szTrade, "出售") != 0 && strcmp(h->szTrade, "出租") != 0 && strcmp(h->szTrade, "租售") != 0)
        return HOUSE_MARK_NONE;
    long days = House_DaysUnfollowed(h, today);
    if (days < iRemind1)
        return HOUSE_MARK_NONE;
    if (iRemind2 > iRemind1)
        return days >= iRemind2 ? HOUSE_MARK_OVERDUE : HOUSE_MARK_DUE;
    return HOUSE_MARK_OVERDUE;
}

std::string House_MarkStatus(int nMarked, int nOverdue, int iRemind1, int iRemind2)
{
    char text[200] = "";
    if (nMarked <= 0)
        return text;
    if (iRemind2 > iRemind1 && nOverdue == 0)
        snprintf(text, sizeof(text), "%d 套在售/在租房源已超过 %d 天未跟进(橙色标出)", nMarked, iRemind1);
    else if (iRemind2 > iRemind1 && nOverdue < nMarked)
        snprintf(text, sizeof(text), "%d 套在售/在租房源已超过 %d 天未跟进: %d 套橙色标出, %d 套超过 %d 天红色标出",
                 nMarked, iRemind1, nMarked - nOverdue, nOverdue, iRemind2);
    else if (iRemind2 > iRemind1)
        snprintf(text, sizeof(text), "%d 套在售/在租房源已超过 %d 天未跟进(红色标出)", nMarked, iRemind2);
    else
        snprintf(text, sizeof(text), "%d 套在售/在租房源已超过 %d 天未跟进(红色标出)", nMarked, iRemind1);
    return text;
}
