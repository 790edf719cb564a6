// The client list window on the module framework: the filter panel (a
// child dialog) above the grid, the follow-up pane below it and the quick
// filters of the three trade buttons.
#include "app/listings/client_window.h"
#include "app/listings/client_dialog.h"
#include "app/listings/client_ids.h"
#include "app/listings/follow_list.h"
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

enum { PANEL_OPEN_H = 91, PANEL_CLOSED_H = 37, PANE_H = 138, REMARK_W = 298, TRADE_COLUMN = 6 };

// Whether the filter panel is expanded: one flag for every client window
// while the program runs.
BOOL g_bPanelOpen = TRUE;

struct ClientState {
    HWND hPanel;
    LISTING_PANE pane;       // the selected client's follow-ups and remarks
    BOOL bPaneAllowed;       // the user may see follow-ups
    char szScope[64];
};

ClientState* StateOf(const ZT_MODWIN* w)
{
    return static_cast<ClientState*>(w->pState);
}

ClientState* StateOf(HWND hClient)
{
    ZT_MODWIN* w = Module_Of(hClient);
    return w && w->d == &g_ClientModule ? StateOf(w) : nullptr;
}

const void* BranchName(const ZT_MODWIN* w, const void* rec)
{
    return Cache_BranchName(w->p, static_cast<const tagCLIENT*>(rec)->iBr);
}

const void* EmployeeName(const ZT_MODWIN* w, const void* rec)
{
    return Cache_EmployeeName(w->p, static_cast<const tagCLIENT*>(rec)->iEmp);
}

void CellHook(HWND, HDC hdc, const tagLV_COLUMN* col, const void*, const void* pRecord)
{
    if (col && col->iId == TRADE_COLUMN && pRecord)
        SetTextColor(hdc, Client_TradeColour(static_cast<const tagCLIENT*>(pRecord)->szTrade));
}

// ---- The panel ----------------------------------------------------------------------------

const int kDateBoxes[] = {IDC_CF_DELEGATE_FROM, IDC_CF_DELEGATE_TO, IDC_CF_FOLLOW_FROM, IDC_CF_FOLLOW_TO};
const int kTextBoxes[] = {IDC_CF_TRADE, IDC_CF_PRICE,         IDC_CF_URBAN,       IDC_CF_FLOOR,
                          IDC_CF_AREA,  IDC_CF_ROOM,          IDC_CF_TYPE,        IDC_CF_LEVEL,
                          IDC_CF_DELEGATE_FROM, IDC_CF_DELEGATE_TO, IDC_CF_FOLLOW_FROM, IDC_CF_FOLLOW_TO};

const LISTING_PANEL_IDS kPanelIds = {IDC_CF_FIND, IDC_CF_CLEAR, IDC_CF_EXPAND};

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
    ListingPanel_FillUrban(hPanel, IDC_CF_URBAN, p);
    ZT_ARGC_BIND binds[] = {{"交易", GetDlgItem(hPanel, IDC_CF_TRADE), -1},
                            {"楼层", GetDlgItem(hPanel, IDC_CF_FLOOR), -1},
                            {"等级", GetDlgItem(hPanel, IDC_CF_LEVEL), -1}};
    if (p->pArgcValue) {
        FillArgcCombos(p->pArgcTag, p->nArgcTag, p->pArgcName, p->nArgcName, p->pArgcValue, p->nArgcValue,
                       "客源参数", binds, 3);
        const tagARGC* type = FindArgcName(p->pArgcTag, p->nArgcTag, p->pArgcName, p->nArgcName, "楼盘字典",
                                           "类型(房屋)");
        if (type)
            FillArgcCombo(GetDlgItem(hPanel, IDC_CF_TYPE), p->pArgcValue, p->nArgcValue, type->iOrdinal);
    }
    for (int id : {IDC_CF_TRADE, IDC_CF_FLOOR, IDC_CF_TYPE, IDC_CF_LEVEL})
        SendDlgItemMessageA(hPanel, id, CB_LIMITTEXT, CF_TEXT_MAX, 0);
    SendDlgItemMessageA(hPanel, IDC_CF_URBAN, CB_LIMITTEXT, CF_URBAN_MAX, 0);
    for (int id : {IDC_CF_PRICE, IDC_CF_AREA, IDC_CF_ROOM})
        SendDlgItemMessageA(hPanel, id, EM_LIMITTEXT, CF_NUMBER_MAX, 0);
    for (int id : kDateBoxes) {
        SendDlgItemMessageA(hPanel, id, EM_LIMITTEXT, 10, 0);
        DateField_Attach(GetDlgItem(hPanel, id));
    }
}

// ---- Module hooks -------------------------------------------------------------------------

BOOL May(const tagZT_Main_Param* p, int iOp)
{
    switch (iOp) {
    case ZT_OP_ADD: return Rights_MayAddClient(p);
    case ZT_OP_DELETE: return Rights_MayDeleteClient(p);
    default: return TRUE;    // modify: greyed by the toolbar check, decided per record by the dialog
    }
}

BOOL Create(ZT_MODWIN* w)
{
    ClientState* s = StateOf(w);
    Rights_ScopeText(w->p, ZTM_CLIENT, s->szScope, sizeof(s->szScope));
    s->hPanel = ListingPanel_Create(w->p->hInst, IDD_CLIENT_PANEL, w->hwnd, &kPanelIds);
    if (!s->hPanel || !ListingPane_Create(&s->pane, w->hwnd, w->p, IDD_CLIENT_PANE, IDC_CP_REMARK, IDC_CP_FOLLOWS))
        return FALSE;
    SetWindowLongPtrA(s->hPanel, GWLP_ID, IDD_CLIENT_PANEL);
    FillChoices(w, s->hPanel);
    SetDlgItemTextA(s->hPanel, IDC_CF_EXPAND, g_bPanelOpen ? "收起" : "更多");
    ShowWindow(s->hPanel, SW_SHOW);
    SendMessageA(w->hGrid, GRM_SETCELLHOOK, 0, reinterpret_cast<LPARAM>(CellHook));
    Rights_ToolbarClients(w->p, w->hToolbar);
    s->bPaneAllowed = Rights_MayViewFollowUps(w->p);
    ShowWindow(s->pane.hPane, s->bPaneAllowed ? SW_SHOW : SW_HIDE);
    return TRUE;
}

void Layout(ZT_MODWIN* w, RECT* rc)
{
    ClientState* s = StateOf(w);
    int h = g_bPanelOpen ? PANEL_OPEN_H : PANEL_CLOSED_H;
    if (s->hPanel) {
        MoveWindow(s->hPanel, rc->left, rc->top, rc->right - rc->left, h, TRUE);
        rc->top += h;
    }
    if (s->bPaneAllowed)
        ListingPane_Layout(&s->pane, rc, PANE_H, REMARK_W);
}

void Filter(ZT_MODWIN* w)
{
    ClientFilterPanel v;
    ClientWindow_ReadPanel(w->hwnd, &v);
    std::string where;
    // The commands check the dates before they refresh; a panel that still
    // holds a bad date lists nothing rather than everything.
    if (!ClientFilter_Build(v, StateOf(w)->szScope, &where, nullptr))
        where = "iOrdinal = 0";
    w->filter = where;
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
    return FD_Del_Cli(iOpEmp, static_cast<const tagCLIENT*>(rec));
}

void Free(void* block)
{
    Mem_Free_Cli(static_cast<tagCLIENT*>(block));
}

void Destroy(ZT_MODWIN* w)
{
    ListingPane_Destroy(&StateOf(w)->pane);
}

void ShowSelected(ZT_MODWIN* w)
{
    ClientState* s = StateOf(w);
    const tagCLIENT* c = static_cast<const tagCLIENT*>(Module_Selected(w));
    ListingPane_Show(&s->pane, 0, c ? c->iOrdinal : 0, c ? c->szRemark : "", s->bPaneAllowed);
}

int RetireFollowUps(ZT_MODWIN* w, void* sel)
{
    return FD_C_F_Hou(Cache_Operator(w->p), static_cast<const tagCLIENT*>(sel));
}

void DeleteFollowUps(ZT_MODWIN* w, void* sel)
{
    // On a worker: the window thread does not wait on the server.
    if (Module_RunTask(w, RetireFollowUps, sel) == 1)
        ListingPane_Forget(&StateOf(w)->pane);
}

// After the dialog the pane shows the selected client again, its
// follow-ups reloaded: the dialog may have written some.
void ShowAfterDialog(ZT_MODWIN* w)
{
    ListingPane_Forget(&StateOf(w)->pane);
    ShowSelected(w);
}

void AddClient(ZT_MODWIN* w, void*)
{
    ClientDialog_Run(w, nullptr);
    ShowAfterDialog(w);
}

void ModifyClient(ZT_MODWIN* w, void* sel)
{
    ClientDialog_Run(w, static_cast<tagCLIENT*>(sel));
    ShowAfterDialog(w);
}

// Checks the panel's dates (naming a bad box) and loads.
void FindNow(ZT_MODWIN* w)
{
    ClientState* s = StateOf(w);
    ClientFilterPanel v;
    ClientWindow_ReadPanel(w->hwnd, &v);
    std::string where;
    int bad = 0;
    if (!ClientFilter_Build(v, s->szScope, &where, &bad)) {
        char text[128];
        snprintf(text, sizeof(text), "%s不是有效的日期, 请按 年-月-日 输入, 如 2026-12-09", ClientFilter_DateLabel(bad));
        ZT_MessageBox(w->hwnd, text, "", MB_OK | MB_ICONWARNING);
        SetFocus(GetDlgItem(s->hPanel, bad));
        return;
    }
    Module_Refresh(w);
    ShowSelected(w);
}

void QuickFilter(ZT_MODWIN* w, const char* trade, int from, int to)
{
    ClientState* s = StateOf(w);
    ClearPanel(s->hPanel);
    SetDlgItemTextA(s->hPanel, IDC_CF_TRADE, trade);
    if (from) {
        char day[16];
        Date_Today(day, sizeof(day));
        SetDlgItemTextA(s->hPanel, from, day);
        SetDlgItemTextA(s->hPanel, to, day);
    }
    FindNow(w);
}

void TogglePanel(ZT_MODWIN* w)
{
    g_bPanelOpen = !g_bPanelOpen;
    SetDlgItemTextA(StateOf(w)->hPanel, IDC_CF_EXPAND, g_bPanelOpen ? "收起" : "更多");
    Module_Layout(w);
}

LRESULT TradeDropDown(ZT_MODWIN* w, const NMHDR* nh, BOOL* pDone)
{
    if (!nh || nh->code != TBN_DROPDOWN)
        return 0;
    const NMTOOLBARA* tb = reinterpret_cast<const NMTOOLBARA*>(nh);
    int popup = tb->iItem == ID_CLIENT_ALL ? CTXPOS_CLIENT_ALL
                : tb->iItem == ID_CLIENT_BUY ? CTXPOS_CLIENT_BUY
                : tb->iItem == ID_CLIENT_RENT ? CTXPOS_CLIENT_RENT : -1;
    if (popup < 0)
        return 0;
    Block_ContextMenu(w->hwnd, w->p, popup);
    *pDone = TRUE;
    return TBDDRET_DEFAULT;
}

LRESULT Message(ZT_MODWIN* w, UINT msg, WPARAM wParam, LPARAM lParam, BOOL* pDone)
{
    if (msg == WM_NOTIFY)
        return TradeDropDown(w, reinterpret_cast<const NMHDR*>(lParam), pDone);
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
    *pDone = TRUE;
    if (ClientQuick_Lookup(id, &trade, &from, &to))
        QuickFilter(w, trade, from, to);
    else if (id == ID_CLIENT_ALL || id == ID_CLIENT_BUY || id == ID_CLIENT_RENT)
        QuickFilter(w, id == ID_CLIENT_ALL ? "" : id == ID_CLIENT_BUY ? "求购" : "求租", 0, 0);
    else if (id == IDC_CF_FIND || id == ID_MODULE_REFRESH)
        FindNow(w);
    else if (id == IDC_CF_CLEAR)
        ClearPanel(StateOf(w)->hPanel);
    else if (id == IDC_CF_EXPAND)
        TogglePanel(w);
    else
        *pDone = FALSE;
    return 0;
}

const ZT_TBDEF kButtons[] = {
    {ID_CLIENT_ALL, ZTIMG_CLIENT_ALL, "全部", BTNS_DROPDOWN, ZT_NO_RIGHT},
    {ID_CLIENT_BUY, ZTIMG_CLIENT_BUY, "求购", BTNS_DROPDOWN, ZT_NO_RIGHT},
    {ID_CLIENT_RENT, ZTIMG_CLIENT_RENT, "求租", BTNS_DROPDOWN, ZT_NO_RIGHT},
    {ZT_TB_SEPARATOR, 0, nullptr, 0, ZT_NO_RIGHT},
    {ID_CLIENT_ADD, ZTIMG_CLIENT_ADD, "增加客源", 0, ZT_OP_ADD},
    {ID_CLIENT_MODIFY, ZTIMG_CLIENT_EDIT, "修改客源", 0, ZT_NO_RIGHT},
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

const ZT_CMDDEF kCommands[] = {
    {ID_CLIENT_ADD, AddClient, 0, ZT_OP_ADD, nullptr},
    {ID_CLIENT_MODIFY, ModifyClient, ZT_CMD_NEEDSEL, ZT_NO_RIGHT, "请选择数据"},
    {ID_CLIENT_DELETE, Module_CmdDelete, ZT_CMD_NEEDSEL | ZT_CMD_CONFIRM, ZT_OP_DELETE, "请选择数据"},
    {ID_CLIENT_DELETE_FOLLOWS, DeleteFollowUps, ZT_CMD_NEEDSEL | ZT_CMD_CONFIRM, ZT_NO_RIGHT, "错了"},
};

}  // namespace

extern const ZT_MODULE_DESC g_ClientModule = {
    "ZT_CHILD_CLI", IDM_CLIENT, ZTM_CLIENT, IDS_CLIENT, CW_USEDEFAULT, CW_USEDEFAULT,
    sizeof(tagCLIENT), offsetof(tagCLIENT, iOrdinal), sizeof(ClientState),
    kButtons, sizeof(kButtons) / sizeof(kButtons[0]),
    kColumns, sizeof(kColumns) / sizeof(kColumns[0]),
    kCommands, sizeof(kCommands) / sizeof(kCommands[0]),
    CTXPOS_CLIENT, ID_CLIENT_MODIFY,
    May, Create, Layout, Filter, Load, nullptr, Delete, Free, Destroy, Message,
};

void ClientWindow_ReadPanel(HWND hClient, ClientFilterPanel* v)
{
    *v = ClientFilterPanel();
    ClientState* s = StateOf(hClient);
    if (!s || !s->hPanel)
        return;
    HWND h = s->hPanel;
    v->trade = BoxText(h, IDC_CF_TRADE);
    v->price = BoxText(h, IDC_CF_PRICE);
    v->urban = BoxText(h, IDC_CF_URBAN);
    v->floor = BoxText(h, IDC_CF_FLOOR);
    v->area = BoxText(h, IDC_CF_AREA);
    v->room = BoxText(h, IDC_CF_ROOM);
    v->houseType = BoxText(h, IDC_CF_TYPE);
    v->level = BoxText(h, IDC_CF_LEVEL);
    v->delegateFrom = BoxText(h, IDC_CF_DELEGATE_FROM);
    v->delegateTo = BoxText(h, IDC_CF_DELEGATE_TO);
    v->followFrom = BoxText(h, IDC_CF_FOLLOW_FROM);
    v->followTo = BoxText(h, IDC_CF_FOLLOW_TO);
}

HWND ClientWindow_Panel(HWND hClient)
{
    ClientState* s = StateOf(hClient);
    return s ? s->hPanel : nullptr;
}

HWND ClientWindow_Pane(HWND hClient)
{
    ClientState* s = StateOf(hClient);
    return s ? s->pane.hPane : nullptr;
}

BOOL ClientQuick_Lookup(int iCmd, const char** ppszTrade, int* piFrom, int* piTo)
{
    struct Quick {
        int cmd;
        const char* trade;
        int from, to;
    };
    static const Quick kQuick[] = {
        {ID_CLIENT_TODAY_DELEGATE, "", IDC_CF_DELEGATE_FROM, IDC_CF_DELEGATE_TO},
        {ID_CLIENT_TODAY_FOLLOW, "", IDC_CF_FOLLOW_FROM, IDC_CF_FOLLOW_TO},
        {ID_CLIENT_BUY_DELEGATE, "求购", IDC_CF_DELEGATE_FROM, IDC_CF_DELEGATE_TO},
        {ID_CLIENT_BUY_FOLLOW, "求购", IDC_CF_FOLLOW_FROM, IDC_CF_FOLLOW_TO},
        {ID_CLIENT_RENT_DELEGATE, "求租", IDC_CF_DELEGATE_FROM, IDC_CF_DELEGATE_TO},
        {ID_CLIENT_RENT_FOLLOW, "求租", IDC_CF_FOLLOW_FROM, IDC_CF_FOLLOW_TO},
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
