// The house list window on the module framework: the filter panel (a child
// dialog) above the grid, the follow-up pane below it, the quick filters
// of the three trade buttons, and the relation checks of every load.
#include "app/listings/house_window.h"
#include "app/listings/estate_box.h"
#include "app/listings/follow_list.h"
#include "app/listings/house_dialog.h"
#include "app/listings/house_ids.h"
#include "app/listings/listing_pane.h"
#include "app/listings/listing_panel.h"
#include "app/shell/blocks.h"
#include "app/shell/caches.h"
#include "app/shell/input_controls.h"
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

enum { PANEL_OPEN_H = 112, PANEL_CLOSED_H = 37, PANE_H = 138, REMARK_W = 298, IDC_HOUSE_STATUS = 11 };

// Whether the filter panel is expanded: one flag for every house window
// while the program runs.
BOOL g_bPanelOpen = TRUE;

struct HouseState {
    HWND hPanel;
    LISTING_PANE pane;       // the selected house's follow-ups and remarks
    HWND hStatus;
    HWND hTip;
    BOOL bPaneAllowed;
    BOOL bPaneShown;
    BOOL bMismatch;          // the last load named a missing relation: nothing listed
    int nExpiring;           // rows marked as left without a follow-up
    char szScope[64];
    CACHE_INDEX* look;       // the caches by key, for the rows of one load
};

HouseState* StateOf(const ZT_MODWIN* w)
{
    return static_cast<HouseState*>(w->pState);
}

HouseState* StateOf(HWND hHouse)
{
    ZT_MODWIN* w = Module_Of(hHouse);
    return w && w->d == &g_HouseModule ? StateOf(w) : nullptr;
}

const char kEmpty[] = "";

const tagHOUSE* House(const void* rec)
{
    return static_cast<const tagHOUSE*>(rec);
}

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
    if (w && pRecord && IsExpiring(w->p, static_cast<const tagHOUSE*>(pRecord), Date_TodayNumber()))
        SetTextColor(hdc, RGB(0xC0, 0, 0));
}

void ShowStatus(ZT_MODWIN* w)
{
    HouseState* s = StateOf(w);
    if (!s->hStatus)
        return;
    char text[128] = "";
    if (s->nExpiring > 0)
        snprintf(text, sizeof(text), "%d 套在售/在租房源已超过 %d 天未跟进(红色标出)", s->nExpiring,
                 w->p->bRemind1);
    SetWindowTextA(s->hStatus, text);
}

// ---- The panel ----------------------------------------------------------------------------

const int kDateBoxes[] = {IDC_HF_DELEGATE_FROM, IDC_HF_DELEGATE_TO, IDC_HF_FOLLOW_FROM,
                          IDC_HF_FOLLOW_TO,     IDC_HF_RENT_FROM,   IDC_HF_RENT_TO};
const int kTextBoxes[] = {IDC_HF_TRADE,     IDC_HF_URBAN,     IDC_HF_ESTATE,    IDC_HF_BUILDNO,  IDC_HF_HOUSENO,
                          IDC_HF_AREA_MIN,  IDC_HF_AREA_MAX,  IDC_HF_BED_MIN,   IDC_HF_BED_MAX,  IDC_HF_TYPE,
                          IDC_HF_PRICE_MIN, IDC_HF_PRICE_MAX, IDC_HF_FLOOR_MIN, IDC_HF_FLOOR_MAX, IDC_HF_LOOK,
                          IDC_HF_DELEGATE_FROM, IDC_HF_DELEGATE_TO, IDC_HF_FOLLOW_FROM, IDC_HF_FOLLOW_TO,
                          IDC_HF_RENT_FROM, IDC_HF_RENT_TO};

const LISTING_PANEL_IDS kPanelIds = {IDC_HF_FIND, IDC_HF_CLEAR, IDC_HF_EXPAND};

std::string BoxText(HWND hPanel, int id)
{
    return ListingPanel_Text(hPanel, id);
}

void ClearPanel(HWND hPanel)
{
    ListingPanel_Clear(hPanel, kTextBoxes, sizeof(kTextBoxes) / sizeof(kTextBoxes[0]));
}

void FillChoices(ZT_MODWIN* w, HWND hPanel)
{
    tagZT_Main_Param* p = w->p;
    ListingPanel_FillUrban(hPanel, IDC_HF_URBAN, p);
    for (int id : {IDC_HF_BED_MIN, IDC_HF_BED_MAX})
        for (const char* n : {"0", "1", "2", "3", "4", "5", "6"})
            SendDlgItemMessageA(hPanel, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(n));
    ZT_ARGC_BIND binds[] = {{"交易", GetDlgItem(hPanel, IDC_HF_TRADE), -1},
                            {"看房", GetDlgItem(hPanel, IDC_HF_LOOK), -1}};
    if (p->pArgcValue)
        FillArgcCombos(p->pArgcTag, p->nArgcTag, p->pArgcName, p->nArgcName, p->pArgcValue, p->nArgcValue,
                       "房源参数(住宅)", binds, 2);
    // The house types: the parameter "类型(房屋)" under whichever category holds it.
    for (int i = 0; p->pArgcName && i < p->nArgcName; i++)
        if (strcmp(p->pArgcName[i].szName, "类型(房屋)") == 0) {
            FillArgcCombo(GetDlgItem(hPanel, IDC_HF_TYPE), p->pArgcValue, p->nArgcValue, p->pArgcName[i].iOrdinal);
            break;
        }
    SendDlgItemMessageA(hPanel, IDC_HF_TRADE, CB_LIMITTEXT, HF_TRADE_MAX, 0);
    SendDlgItemMessageA(hPanel, IDC_HF_ESTATE, CB_LIMITTEXT, HF_ESTATE_MAX, 0);
    // The choice boxes take no more than the filter reads: a name typed past
    // it would show in the box and be left out of the find.
    SendDlgItemMessageA(hPanel, IDC_HF_URBAN, CB_LIMITTEXT, HF_URBAN_MAX, 0);
    for (int id : {IDC_HF_TYPE, IDC_HF_LOOK})
        SendDlgItemMessageA(hPanel, id, CB_LIMITTEXT, HF_MULTI_MAX, 0);
    SendDlgItemMessageA(hPanel, IDC_HF_BUILDNO, EM_LIMITTEXT, HF_NO_MAX, 0);
    SendDlgItemMessageA(hPanel, IDC_HF_HOUSENO, EM_LIMITTEXT, HF_NO_MAX, 0);
    for (int id : {IDC_HF_AREA_MIN, IDC_HF_AREA_MAX, IDC_HF_PRICE_MIN, IDC_HF_PRICE_MAX, IDC_HF_FLOOR_MIN,
                   IDC_HF_FLOOR_MAX})
        SendDlgItemMessageA(hPanel, id, EM_LIMITTEXT, 10, 0);
    for (int id : kDateBoxes) {
        SendDlgItemMessageA(hPanel, id, EM_LIMITTEXT, 10, 0);
        DateField_Attach(GetDlgItem(hPanel, id));
    }
}

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

// ---- Module hooks -------------------------------------------------------------------------

BOOL May(const tagZT_Main_Param* p, int iOp)
{
    switch (iOp) {
    case ZT_OP_ADD: return Rights_MayAddHouse(p);
    case ZT_OP_DELETE: return Rights_MayDeleteHouse(p);
    default: return TRUE;    // modify: greyed by the toolbar check below
    }
}

void ShowPane(ZT_MODWIN* w, BOOL bShow)
{
    HouseState* s = StateOf(w);
    s->bPaneShown = bShow && s->bPaneAllowed;
    if (s->pane.hPane)
        ShowWindow(s->pane.hPane, s->bPaneShown ? SW_SHOW : SW_HIDE);
    // The toggle button says what a click does next.
    if (w->hToolbar) {
        int from = s->bPaneShown ? ID_HOUSE_FOLLOW_SHOW : ID_HOUSE_FOLLOW_HIDE;
        int to = s->bPaneShown ? ID_HOUSE_FOLLOW_HIDE : ID_HOUSE_FOLLOW_SHOW;
        TBBUTTONINFOA bi;
        memset(&bi, 0, sizeof(bi));
        bi.cbSize = sizeof(bi);
        bi.dwMask = TBIF_COMMAND | TBIF_TEXT | TBIF_IMAGE;
        bi.idCommand = to;
        bi.iImage = s->bPaneShown ? ZTIMG_FOLLOW_HIDE : ZTIMG_FOLLOW_SHOW;
        bi.pszText = const_cast<char*>(s->bPaneShown ? "隐藏跟进" : "显示跟进");
        SendMessageA(w->hToolbar, TB_SETBUTTONINFOA, from, reinterpret_cast<LPARAM>(&bi));
    }
    RECT rc;
    GetClientRect(w->hwnd, &rc);
    SendMessageA(w->hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(rc.right, rc.bottom));
}

BOOL Create(ZT_MODWIN* w)
{
    HouseState* s = StateOf(w);
    s->look = new CACHE_INDEX();
    Rights_ScopeText(w->p, ZTM_HOUSE, s->szScope, sizeof(s->szScope));
    s->hPanel = ListingPanel_Create(w->p->hInst, IDD_HOUSE_PANEL, w->hwnd, &kPanelIds);
    if (!s->hPanel || !ListingPane_Create(&s->pane, w->hwnd, w->p, IDD_HOUSE_PANE, IDC_HP_REMARK, IDC_HP_FOLLOWS))
        return FALSE;
    SetWindowLongPtrA(s->hPanel, GWLP_ID, IDD_HOUSE_PANEL);
    EstateBox_Attach(GetDlgItem(s->hPanel, IDC_HF_ESTATE), w->p);
    s->hStatus = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | CCS_NOPARENTALIGN | CCS_NORESIZE,
                                 0, 0, 0, 0, w->hwnd,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_HOUSE_STATUS)), w->p->hInst,
                                 nullptr);
    FillChoices(w, s->hPanel);
    AddTelephoneTip(s, s->hPanel);
    SetDlgItemTextA(s->hPanel, IDC_HF_EXPAND, g_bPanelOpen ? "收起" : "更多");
    ShowWindow(s->hPanel, SW_SHOW);
    SendMessageA(w->hGrid, GRM_SETCELLHOOK, 0, reinterpret_cast<LPARAM>(CellHook));
    s->bPaneAllowed = TRUE;
    s->bPaneShown = TRUE;
    ShowWindow(s->pane.hPane, SW_SHOW);
    // Without the follow-up right the check hides the pane (through 40086).
    s->bPaneAllowed = Rights_ToolbarHouses(w->p, w->hToolbar, w->hwnd);
    return TRUE;
}

void Layout(ZT_MODWIN* w, RECT* rc)
{
    HouseState* s = StateOf(w);
    int cx = rc->right - rc->left;
    int hPanel = g_bPanelOpen ? PANEL_OPEN_H : PANEL_CLOSED_H;
    if (s->hPanel) {
        MoveWindow(s->hPanel, rc->left, rc->top, cx, hPanel, TRUE);
        rc->top += hPanel;
    }
    if (s->hStatus) {
        int hs = 20;
        MoveWindow(s->hStatus, rc->left, rc->bottom - hs, cx, hs, TRUE);
        rc->bottom -= hs;
    }
    if (s->bPaneShown)
        ListingPane_Layout(&s->pane, rc, PANE_H, REMARK_W);
}

void Filter(ZT_MODWIN* w)
{
    HouseState* s = StateOf(w);
    HouseFilterPanel v;
    HouseWindow_ReadPanel(w->hwnd, &v);
    std::string where;
    int bad = 0;
    // The commands check the dates before they refresh; a panel that still
    // holds a bad date lists nothing rather than everything.
    if (!HouseFilter_Build(v, s->szScope, w->p->pEstList, Cache_EstateSlots(w->p), &where, &bad))
        where = "iOrdinal = 0";
    w->filter = where;
}

void ReportMismatch(ZT_MODWIN* w, const char* what, int key)
{
    char text[96];
    snprintf(text, sizeof(text), "房源ID:%d关联%s出错", key, what);
    ZT_MessageBox(w->hwnd, text, "", MB_OK);
    ZT_MessageBox(w->hwnd, "数据行匹配错误", "", MB_OK);
}

BOOL Load(ZT_MODWIN* w, ZT_RECSET* rs)
{
    HouseState* s = StateOf(w);
    tagZT_Main_Param* p = w->p;
    s->bMismatch = FALSE;
    s->nExpiring = 0;
    CACHE_INDEX& look = *s->look;
    Cache_Index(p, &look);

    tagHOUSE* list = nullptr;
    int n = 0, expiring = 0;
    unsigned char remind[2] = {p->bRemind1, p->bRemind2};
    if (!FD_Sct_Hou(Cache_Operator(p), &list, &n, w->filter.c_str(), 0, &expiring, remind))
        return FALSE;
    long today = Date_TodayNumber();
    for (int i = 0; i < n; i++) {
        const tagHOUSE& h = list[i];
        if (!h.iOrdinal)
            continue;
        const char* missing = nullptr;
        auto est = look.est.find(h.iEst);
        if (!look.emp.count(h.iEmp))
            missing = "员工";
        else if (!look.br.count(h.iBr))
            missing = "部门";
        else if (est == look.est.end())
            missing = "楼盘";
        else if (!look.urban.count(est->second->iUrban))
            missing = "城区";
        if (missing) {
            ReportMismatch(w, missing, h.iOrdinal);
            s->bMismatch = TRUE;
            break;
        }
        if (IsExpiring(p, &h, today))
            s->nExpiring++;
        // The load counts the days only for the unfiltered list; a filtered
        // list shows them too.
        long day;
        if (!w->filter.empty() && Date_DayNumberOf(h.dtFollow, &day))
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
    return FD_Del_Hou(iOpEmp, static_cast<const tagHOUSE*>(rec));
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
    ListingPane_Destroy(&s->pane);
    delete s->look;
    s->look = nullptr;
}

void ShowSelected(ZT_MODWIN* w)
{
    HouseState* s = StateOf(w);
    const tagHOUSE* h = static_cast<const tagHOUSE*>(Module_Selected(w));
    ListingPane_Show(&s->pane, h ? h->iOrdinal : 0, 0, h ? h->szRemark : "", s->bPaneAllowed);
}

int RetireFollowUps(ZT_MODWIN* w, void* sel)
{
    return FD_C_F_Hou(Cache_Operator(w->p), static_cast<const tagHOUSE*>(sel));
}

void DeleteFollowUps(ZT_MODWIN* w, void* sel)
{
    HouseState* s = StateOf(w);
    // On a worker: the window thread does not wait on the server.
    if (Module_RunTask(w, RetireFollowUps, sel) == 1)
        ListingPane_Forget(&s->pane);
}

// Checks the panel's dates (naming a bad box) and loads.
void FindNow(ZT_MODWIN* w)
{
    HouseState* s = StateOf(w);
    HouseFilterPanel v;
    HouseWindow_ReadPanel(w->hwnd, &v);
    std::string where;
    int bad = 0;
    if (!HouseFilter_Build(v, s->szScope, w->p->pEstList, Cache_EstateSlots(w->p), &where, &bad)) {
        char text[128];
        snprintf(text, sizeof(text), "%s不是有效的日期, 请按 年-月-日 输入, 如 2026-12-09", HouseFilter_DateLabel(bad));
        ZT_MessageBox(w->hwnd, text, "", MB_OK | MB_ICONWARNING);
        SetFocus(GetDlgItem(s->hPanel, bad));
        return;
    }
    Module_Refresh(w);
    ShowSelected(w);
}

void QuickFilter(ZT_MODWIN* w, const char* trade, int from, int to)
{
    HouseState* s = StateOf(w);
    ClearPanel(s->hPanel);
    SetDlgItemTextA(s->hPanel, IDC_HF_TRADE, trade);
    if (from) {
        char day[16];
        Date_Today(day, sizeof(day));
        SetDlgItemTextA(s->hPanel, from, day);
        SetDlgItemTextA(s->hPanel, to, day);
    }
    FindNow(w);
}

LRESULT Message(ZT_MODWIN* w, UINT msg, WPARAM wParam, LPARAM lParam, BOOL* pDone)
{
    HouseState* s = StateOf(w);
    if (msg == WM_NOTIFY) {
        const NMHDR* nh = reinterpret_cast<const NMHDR*>(lParam);
        if (nh && nh->code == TBN_DROPDOWN) {
            const NMTOOLBARA* tb = reinterpret_cast<const NMTOOLBARA*>(lParam);
            int popup = tb->iItem == ID_HOUSE_ALL ? CTXPOS_HOUSE_ALL
                        : tb->iItem == ID_HOUSE_SALE ? CTXPOS_HOUSE_SALE
                        : tb->iItem == ID_HOUSE_RENT ? CTXPOS_HOUSE_RENT : -1;
            if (popup >= 0) {
                Block_ContextMenu(w->hwnd, w->p, popup);
                *pDone = TRUE;
                return TBDDRET_DEFAULT;
            }
        }
        return 0;
    }
    if (msg != WM_COMMAND)
        return 0;
    int id = LOWORD(wParam);
    if (w->hGrid && reinterpret_cast<HWND>(lParam) == w->hGrid) {
        if (HIWORD(wParam) == GRN_SELCHANGE || HIWORD(wParam) == GRN_CLEARED)
            ShowSelected(w);
        return 0;    // the framework handles the rest
    }
    const char* trade = nullptr;
    int from = 0, to = 0;
    if (HouseQuick_Lookup(id, &trade, &from, &to)) {
        *pDone = TRUE;
        QuickFilter(w, trade, from, to);
        return 0;
    }
    switch (id) {
    case ID_HOUSE_ALL:
    case ID_HOUSE_SALE:
    case ID_HOUSE_RENT:
        *pDone = TRUE;
        QuickFilter(w, id == ID_HOUSE_ALL ? "" : id == ID_HOUSE_SALE ? "出售" : "出租", 0, 0);
        return 0;
    case IDC_HF_FIND:
    case ID_MODULE_REFRESH:
        *pDone = TRUE;
        FindNow(w);
        return 0;
    case IDC_HF_CLEAR:
        *pDone = TRUE;
        ClearPanel(s->hPanel);
        return 0;
    case IDC_HF_EXPAND: {
        *pDone = TRUE;
        g_bPanelOpen = !g_bPanelOpen;
        SetDlgItemTextA(s->hPanel, IDC_HF_EXPAND, g_bPanelOpen ? "收起" : "更多");
        RECT rc;
        GetClientRect(w->hwnd, &rc);
        SendMessageA(w->hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(rc.right, rc.bottom));
        return 0;
    }
    case ID_HOUSE_FOLLOW_HIDE:
        *pDone = TRUE;
        ShowPane(w, FALSE);
        return 0;
    case ID_HOUSE_FOLLOW_SHOW:
        *pDone = TRUE;
        ShowPane(w, TRUE);
        return 0;
    }
    return 0;
}

const ZT_TBDEF kButtons[] = {
    {ID_HOUSE_ALL, ZTIMG_HOUSE_ALL, "全部", BTNS_DROPDOWN, ZT_NO_RIGHT},
    {ID_HOUSE_SALE, ZTIMG_HOUSE_SALE, "出售", BTNS_DROPDOWN, ZT_NO_RIGHT},
    {ID_HOUSE_RENT, ZTIMG_HOUSE_RENT, "出租", BTNS_DROPDOWN, ZT_NO_RIGHT},
    {ZT_TB_SEPARATOR, 0, nullptr, 0, ZT_NO_RIGHT},
    {ID_HOUSE_ADD, ZTIMG_HOUSE_ADD, "增加房源", 0, ZT_OP_ADD},
    {ID_HOUSE_MODIFY, ZTIMG_HOUSE_EDIT, "修改房源", 0, ZT_NO_RIGHT},
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

void AddHouse(ZT_MODWIN* w, void*)
{
    HouseDialog_Run(w, HDLG_ADD);
}

void ModifyHouse(ZT_MODWIN* w, void*)
{
    HouseDialog_Run(w, HDLG_MODIFY);
}

const ZT_CMDDEF kCommands[] = {
    {ID_HOUSE_ADD, AddHouse, 0, ZT_OP_ADD, nullptr},
    {ID_HOUSE_MODIFY, ModifyHouse, ZT_CMD_NEEDSEL, ZT_NO_RIGHT, "请选择数据"},
    {ID_HOUSE_DELETE, Module_CmdDelete, ZT_CMD_NEEDSEL | ZT_CMD_CONFIRM, ZT_OP_DELETE, "请选择数据"},
    {ID_HOUSE_DELETE_FOLLOWS, DeleteFollowUps, ZT_CMD_NEEDSEL | ZT_CMD_CONFIRM, ZT_NO_RIGHT, "错了"},
};

}  // namespace

extern const ZT_MODULE_DESC g_HouseModule = {
    "ZT_CHILD_HOU", IDM_HOUSE, ZTM_HOUSE, IDS_HOUSE, CW_USEDEFAULT, CW_USEDEFAULT,
    sizeof(tagHOUSE), offsetof(tagHOUSE, iOrdinal), sizeof(HouseState),
    kButtons, sizeof(kButtons) / sizeof(kButtons[0]),
    kColumns, sizeof(kColumns) / sizeof(kColumns[0]),
    kCommands, sizeof(kCommands) / sizeof(kCommands[0]),
    CTXPOS_HOUSE, ID_HOUSE_MODIFY,
    May, Create, Layout, Filter, Load, CheckRow, Delete, Free, Destroy, Message,
};

void HouseWindow_ReadPanel(HWND hHouse, HouseFilterPanel* v)
{
    *v = HouseFilterPanel();
    HouseState* s = StateOf(hHouse);
    if (!s || !s->hPanel)
        return;
    HWND h = s->hPanel;
    v->trade = BoxText(h, IDC_HF_TRADE);
    v->urban = BoxText(h, IDC_HF_URBAN);
    v->estate = BoxText(h, IDC_HF_ESTATE);
    v->buildNo = BoxText(h, IDC_HF_BUILDNO);
    v->houseNo = BoxText(h, IDC_HF_HOUSENO);
    v->areaMin = BoxText(h, IDC_HF_AREA_MIN);
    v->areaMax = BoxText(h, IDC_HF_AREA_MAX);
    v->bedMin = BoxText(h, IDC_HF_BED_MIN);
    v->bedMax = BoxText(h, IDC_HF_BED_MAX);
    v->types = BoxText(h, IDC_HF_TYPE);
    v->priceMin = BoxText(h, IDC_HF_PRICE_MIN);
    v->priceMax = BoxText(h, IDC_HF_PRICE_MAX);
    v->floorMin = BoxText(h, IDC_HF_FLOOR_MIN);
    v->floorMax = BoxText(h, IDC_HF_FLOOR_MAX);
    v->looks = BoxText(h, IDC_HF_LOOK);
    v->delegateFrom = BoxText(h, IDC_HF_DELEGATE_FROM);
    v->delegateTo = BoxText(h, IDC_HF_DELEGATE_TO);
    v->followFrom = BoxText(h, IDC_HF_FOLLOW_FROM);
    v->followTo = BoxText(h, IDC_HF_FOLLOW_TO);
    v->rentFrom = BoxText(h, IDC_HF_RENT_FROM);
    v->rentTo = BoxText(h, IDC_HF_RENT_TO);
}

HWND HouseWindow_Panel(HWND hHouse)
{
    HouseState* s = StateOf(hHouse);
    return s ? s->hPanel : nullptr;
}

HWND HouseWindow_Pane(HWND hHouse)
{
    HouseState* s = StateOf(hHouse);
    return s ? s->pane.hPane : nullptr;
}

FOLLOW_LIST* HouseWindow_FollowList(HWND hHouse)
{
    HouseState* s = StateOf(hHouse);
    return s ? s->pane.follow : nullptr;
}

int HouseWindow_ExpiringCount(HWND hHouse)
{
    HouseState* s = StateOf(hHouse);
    return s ? s->nExpiring : 0;
}

BOOL HouseQuick_Lookup(int iCmd, const char** ppszTrade, int* piFrom, int* piTo)
{
    struct Quick {
        int cmd;
        const char* trade;
        int from, to;
    };
    static const Quick kQuick[] = {
        {ID_HOUSE_TODAY_DELEGATE, "", IDC_HF_DELEGATE_FROM, IDC_HF_DELEGATE_TO},
        {ID_HOUSE_TODAY_FOLLOW, "", IDC_HF_FOLLOW_FROM, IDC_HF_FOLLOW_TO},
        {ID_HOUSE_TODAY_EXPIRE, "", IDC_HF_RENT_FROM, IDC_HF_RENT_TO},
        {ID_HOUSE_SALE_DELEGATE, "出售", IDC_HF_DELEGATE_FROM, IDC_HF_DELEGATE_TO},
        {ID_HOUSE_SALE_FOLLOW, "出售", IDC_HF_FOLLOW_FROM, IDC_HF_FOLLOW_TO},
        {ID_HOUSE_SALE_EXPIRE, "出售", IDC_HF_RENT_FROM, IDC_HF_RENT_TO},
        {ID_HOUSE_RENT_DELEGATE, "出租", IDC_HF_DELEGATE_FROM, IDC_HF_DELEGATE_TO},
        {ID_HOUSE_RENT_FOLLOW, "出租", IDC_HF_FOLLOW_FROM, IDC_HF_FOLLOW_TO},
        {ID_HOUSE_RENT_EXPIRE, "出租", IDC_HF_RENT_FROM, IDC_HF_RENT_TO},
    };
    for (const Quick& q : kQuick)
        if (q.cmd == iCmd) {
            *ppszTrade = q.trade;
            *piFrom = q.from;
            *piTo = q.to;
            return TRUE;
        }
    return FALSE;
}
