#include "app/listings/follow_window.h"
#include "common/date.h"
#include "app/listings/estate_box.h"
#include "app/listings/follow_filter.h"
#include "app/listings/follow_ids.h"
#include "app/listings/follow_list.h"
#include "app/shell/caches.h"
#include "app/shell/input_controls.h"
#include "app/shell/rights.h"
#include "common/zt_box.h"
#include "data/ZTData.h"

#include <cstddef>
#include <cstring>

// Parameter keys of the panel's lists.
enum { ARGC_HOUSE_TRADE = 880, ARGC_CLIENT_TRADE = 866, ARGC_CLIENT_LEVEL = 348 };

struct FOLLOW_WIN {
    HWND hPanel;
};

static FOLLOW_WIN* State(const ZT_MODWIN* w)
{
    return static_cast<FOLLOW_WIN*>(w->pState);
}

static int Kind(const ZT_MODWIN* w)
{
    return w->d->iModule == ZTM_HOUSE_FOLLOW ? FOLLOW_KIND_HOUSE : FOLLOW_KIND_CLIENT;
}

// ---- The filter panel ------------------------------------------------------------------------

enum { FOR_HOUSE = 1, FOR_CLIENT = 2, FOR_BOTH = 3 };
enum { CTL_COMBO, CTL_DATE, CTL_BUTTON };

// One box of the panel, left to right, with the label before it.
struct PANEL_CTL {
    int id;
    int kind;
    const char* label;
    int cxLabel;
    int cx;
    int forKind;
    int maxChars;
};

static const PANEL_CTL kPanel[] = {
    {IDC_FOLLOW_BR, CTL_COMBO, "部门", 28, 96, FOR_BOTH, 50},
    {IDC_FOLLOW_EMP, CTL_COMBO, "员工", 28, 80, FOR_BOTH, 27},
    {IDC_FOLLOW_TRADE, CTL_COMBO, "交易", 28, 64, FOR_BOTH, 16},
    {IDC_FOLLOW_ESTATE, CTL_COMBO, "楼盘名称", 52, 120, FOR_HOUSE, 150},
    {IDC_FOLLOW_LEVEL, CTL_COMBO, "客户等级", 52, 90, FOR_CLIENT, 16},
    {IDC_FOLLOW_FROM, CTL_DATE, "跟进日期", 52, 80, FOR_BOTH, 10},
    {IDC_FOLLOW_TO, CTL_DATE, "至", 16, 80, FOR_BOTH, 10},
    {IDC_FOLLOW_FIND, CTL_BUTTON, "查找", 0, 52, FOR_BOTH, 0},
    {IDC_FOLLOW_CLEAR, CTL_BUTTON, "清空", 0, 52, FOR_BOTH, 0},
};
static const int kNumPanel = sizeof(kPanel) / sizeof(kPanel[0]);

static bool Shown(const PANEL_CTL& c, int iKind)
{
    return (c.forKind & (iKind == FOLLOW_KIND_HOUSE ? FOR_HOUSE : FOR_CLIENT)) != 0;
}

static HWND Child(HWND hParent, const char* cls, const char* text, DWORD style, int x, int y, int cx, int cy,
                  int id)
{
    HWND h = CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, cx, cy, hParent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
    if (h)
        SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    return h;
}

static HWND Box(const ZT_MODWIN* w, int id)
{
    return GetDlgItem(State(w)->hPanel, id);
}

static std::string Text(const ZT_MODWIN* w, int id)
{
    HWND h = Box(w, id);
    if (!h)
        return "";
    char buf[ZTCB_MAX_TEXT + 1] = "";
    GetWindowTextA(h, buf, sizeof(buf));
    return buf;
}

static void SetText(const ZT_MODWIN* w, int id, const char* text)
{
    if (HWND h = Box(w, id))
        SetWindowTextA(h, text);
}

static void BuildPanel(ZT_MODWIN* w)
{
    const int y = 12, cy = 22;
    int x = 8;
    for (int i = 0; i < kNumPanel; i++) {
        const PANEL_CTL& c = kPanel[i];
        if (!Shown(c, Kind(w)))
            continue;
        if (c.cxLabel > 0) {
            Child(State(w)->hPanel, "STATIC", c.label, SS_RIGHT | SS_CENTERIMAGE, x, y, c.cxLabel - 4, cy, -1);
            x += c.cxLabel;
        }
        HWND h = nullptr;
        switch (c.kind) {
        case CTL_COMBO:
            h = Child(State(w)->hPanel, ZT_CLASS_COMBOBOX, "", WS_TABSTOP, x, y, c.cx, cy, c.id);
            SendMessageA(h, CB_LIMITTEXT, c.maxChars, 0);
            break;
        case CTL_DATE:
            h = Child(State(w)->hPanel, "EDIT", "", WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, x, y, c.cx, cy, c.id);
            SendMessageA(h, EM_LIMITTEXT, c.maxChars, 0);
            DateField_Attach(h);
            break;
        default:
            h = Child(State(w)->hPanel, "BUTTON", c.label, WS_TABSTOP | BS_PUSHBUTTON, x, y - 1, c.cx, cy + 2, c.id);
            break;
        }
        x += c.cx + 8;
    }
}

static void FillBranches(ZT_MODWIN* w)
{
    HWND hBr = Box(w, IDC_FOLLOW_BR);
    Cache_ForBranches(w->p, [hBr](const tagBRLIST& b) {
        SendMessageA(hBr, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(b.szBr));
    });
}

static void FillParams(ZT_MODWIN* w)
{
    const tagZT_Main_Param* p = w->p;
    bool house = Kind(w) == FOLLOW_KIND_HOUSE;
    if (p->pArgcValue) {
        FillArgcCombo(Box(w, IDC_FOLLOW_TRADE), p->pArgcValue, Cache_ParamValueSlots(p),
                      house ? ARGC_HOUSE_TRADE : ARGC_CLIENT_TRADE);
        if (!house)
            FillArgcCombo(Box(w, IDC_FOLLOW_LEVEL), p->pArgcValue, Cache_ParamValueSlots(p), ARGC_CLIENT_LEVEL);
    }
}

static void FillLists(ZT_MODWIN* w)
{
    FillBranches(w);
    FillParams(w);
    if (Kind(w) == FOLLOW_KIND_HOUSE)
        EstateBox_Attach(Box(w, IDC_FOLLOW_ESTATE), w->p);
}

// The employee box lists the employees of the branch named in the branch
// box (every employee while no branch is named: an employee may be chosen
// alone) and starts empty.
static void FillEmployees(ZT_MODWIN* w)
{
    HWND hEmp = Box(w, IDC_FOLLOW_EMP);
    SendMessageA(hEmp, CB_RESETCONTENT, 0, 0);
    SetWindowTextA(hEmp, "");
    std::string named = Text(w, IDC_FOLLOW_BR);
    int br = Cache_BranchKey(w->p, named.c_str());
    Cache_ForEmployees(w->p, [&](const tagEMPLIST& e) {
        if (named.empty() || e.iBr == br)
            SendMessageA(hEmp, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(e.szEmp));
    });
}

static void ClearPanel(ZT_MODWIN* w)
{
    for (int i = 0; i < kNumPanel; i++)
        if (kPanel[i].kind != CTL_BUTTON && Shown(kPanel[i], Kind(w)))
            SetText(w, kPanel[i].id, "");
    FillEmployees(w);
}

static FOLLOW_FILTER ReadPanel(const ZT_MODWIN* w)
{
    FOLLOW_FILTER f;
    f.iKind = Kind(w);
    f.br = Text(w, IDC_FOLLOW_BR);
    f.emp = Text(w, IDC_FOLLOW_EMP);
    f.trade = Text(w, IDC_FOLLOW_TRADE);
    f.estate = Text(w, IDC_FOLLOW_ESTATE);
    f.level = Text(w, IDC_FOLLOW_LEVEL);
    f.from = Text(w, IDC_FOLLOW_FROM);
    f.to = Text(w, IDC_FOLLOW_TO);
    f.scope = Follow_Scope(w->p, f.iKind);
    return f;
}

static const char* BadValueText(int id)
{
    static char date[160];
    switch (id) {
    case IDC_FOLLOW_FROM: Date_Refusal("跟进日期(起)", date, sizeof(date)); return date;
    case IDC_FOLLOW_TO: Date_Refusal("跟进日期(止)", date, sizeof(date)); return date;
    case IDC_FOLLOW_TRADE: return "交易的内容太长";
    case IDC_FOLLOW_LEVEL: return "客户等级的内容太长";
    }
    return "查询条件有误";
}

// ---- Hooks ------------------------------------------------------------------------------------

static BOOL Create(ZT_MODWIN* w)
{
    FOLLOW_WIN* s = State(w);
    s->hPanel = Child(w->hwnd, ZT_CLASS_TPANEL, "", WS_CLIPCHILDREN, 0, 0, 0, FOLLOW_PANEL_HEIGHT, IDC_FOLLOW_PANEL);
    if (!s->hPanel)
        return FALSE;
    BuildPanel(w);
    FillLists(w);
    FillEmployees(w);
    FOLLOW_FILTER f = Follow_DefaultFilter(Kind(w));
    SetText(w, IDC_FOLLOW_FROM, f.from.c_str());
    SetText(w, IDC_FOLLOW_TO, f.to.c_str());
    return TRUE;
}

static void Layout(ZT_MODWIN* w, RECT* rc)
{
    int cy = FOLLOW_PANEL_HEIGHT;
    if (rc->top + cy > rc->bottom)
        cy = rc->bottom - rc->top;
    MoveWindow(State(w)->hPanel, rc->left, rc->top, rc->right - rc->left, cy, TRUE);
    rc->top += cy;
}

// "查找" and "刷新": a panel no filter can take is named to the user and
// nothing is loaded.
static BOOL Filter(ZT_MODWIN* w)
{
    int bad = Follow_FilterText(w->p, ReadPanel(w), &w->filter);
    if (!bad)
        return TRUE;
    ZT_MessageBox(w->hwnd, BadValueText(bad), "", MB_OK);
    SetFocus(Box(w, bad));
    return FALSE;
}

static BOOL Load(ZT_MODWIN* w, ZT_RECSET* rs)
{
    tagFOLLOW* block = nullptr;
    int n = 0;
    long long matched = 0;
    if (!Module_Took(rs, FD_Sct_F(&block, &n, w->filter.c_str(), Kind(w), 0, &matched), &n))
        return FALSE;
    rs->nMatched = matched;
    return TRUE;
}

static int Delete(int iOpEmp, const void* rec)
{
    return FD_Del_Follow(iOpEmp, static_cast<const tagFOLLOW*>(rec));
}

// The lists filled again after a change of the shared caches, what each
// box shows kept.
static void RefillLists(ZT_MODWIN* w, int iKinds)
{
    if (iKinds & ZTC_BRANCH)
        Block_RefillList(Box(w, IDC_FOLLOW_BR), [w](HWND) { FillBranches(w); });
    if (iKinds & (ZTC_BRANCH | ZTC_EMPLOYEE)) {
        HWND hEmp = Box(w, IDC_FOLLOW_EMP);
        char text[ZTCB_MAX_TEXT + 1] = "";
        GetWindowTextA(hEmp, text, sizeof(text));
        FillEmployees(w);
        SetWindowTextA(hEmp, text);
    }
    if (iKinds & ZTC_PARAM) {
        for (int id : {IDC_FOLLOW_TRADE, IDC_FOLLOW_LEVEL})
            if (Box(w, id))
                Block_RefillList(Box(w, id), [](HWND) {});
        FillParams(w);
    }
}

// Naming a branch lists its employees.
static LRESULT Message(ZT_MODWIN* w, UINT msg, WPARAM wParam, LPARAM, BOOL* pDone)
{
    if (msg == WM_COMMAND && LOWORD(wParam) == IDC_FOLLOW_BR && HIWORD(wParam) == ZTCBN_CHANGE) {
        *pDone = TRUE;
        FillEmployees(w);
    }
    if (msg == Cache_ChangedMessage())
        RefillLists(w, static_cast<int>(wParam));
    return 0;
}

// "清空": the boxes emptied (the dates too) and the list showing what an
// empty panel finds.
static void CmdClear(ZT_MODWIN* w, void*, const void*)
{
    ClearPanel(w);
    Module_Refresh(w);
}

// ---- Tables -------------------------------------------------------------------------------

static const void* WriterBranch(const ZT_MODWIN* w, const void* rec)
{
    return Cache_BranchName(w->p, static_cast<const tagFOLLOW*>(rec)->iBr);
}

static const void* Writer(const ZT_MODWIN* w, const void* rec)
{
    return Cache_EmployeeName(w->p, static_cast<const tagFOLLOW*>(rec)->iEmp);
}

static const void* Estate(const ZT_MODWIN* w, const void* rec)
{
    return Cache_EstateName(w->p, static_cast<const tagFOLLOW*>(rec)->iEst);
}

#define F(field) offsetof(tagFOLLOW, field)
// The columns both windows begin with: when, by whom, which trade.
#define FOLLOW_COLUMNS                                                                                  \
    ZT_COL_TEXT("跟进日期", 130, 0, F(dtFollow)), ZT_COL_AGENT(80, WriterBranch, Writer), \
        ZT_COL_TEXT("交易", 50, 0, F(szTrade))

static const ZT_COLDEF kHouseColumns[] = {
    FOLLOW_COLUMNS,
    ZT_COL_LOOKUP("楼盘名称", 130, 0, Estate),
    ZT_COL_TEXT("栋号", 50, 0, F(szBuildNO)),
    ZT_COL_TEXT("室号", 50, 0, F(szHouseNO)),
    ZT_COL_TEXT("跟进内容", 650, 0, F(szContent)),
};

static const ZT_COLDEF kClientColumns[] = {
    FOLLOW_COLUMNS,
    ZT_COL_TEXT("客户姓名", 75, 0, F(szCliMan)),
    ZT_COL_TEXT("客户等级", 75, 0, F(szLevel)),
    ZT_COL_TEXT("跟进内容", 550, 0, F(szContent)),
};
#undef FOLLOW_COLUMNS
#undef F

static const ZT_TBDEF kButtons[] = {
    {ID_FOLLOW_DELETE, ZTIMG_FOLLOW_DEL, "删除跟进", 0, ZT_OP_DELETE},
    ZT_TB_CLOSING,
};

static const ZT_CMDDEF kCommands[] = {
    {ID_FOLLOW_DELETE, Module_CmdDelete, ZT_CMD_NEEDSEL | ZT_CMD_TO_BIN, ZT_OP_DELETE, "请选择数据"},
    {IDC_FOLLOW_FIND, Module_CmdRefresh, 0, ZT_OP_VIEW, nullptr},
    {IDC_FOLLOW_CLEAR, CmdClear, 0, ZT_OP_VIEW, nullptr},
};

#define FOLLOW_MODULE(cls, cmd, module, caption, columns)                                                            \
    {cls, cmd, module, caption, CW_USEDEFAULT, CW_USEDEFAULT, sizeof(tagFOLLOW), offsetof(tagFOLLOW, iOrdinal),      \
     sizeof(FOLLOW_WIN), ZT_TABLE(kButtons), ZT_TABLE(columns), ZT_TABLE(kCommands), -1, 0, \
     nullptr, Create, Layout, Filter, Load, nullptr, Delete, Module_Free<tagFOLLOW, Mem_Free_Follow>, nullptr, Message}

extern const ZT_MODULE_DESC g_HouseFollowModule =
    FOLLOW_MODULE("ZT_CHILD_HOU_F", IDM_HOUSE_FOLLOW, ZTM_HOUSE_FOLLOW, IDS_HOUSE_FOLLOW, kHouseColumns);
extern const ZT_MODULE_DESC g_ClientFollowModule =
    FOLLOW_MODULE("ZT_CHILD_CLI_F", IDM_CLIENT_FOLLOW, ZTM_CLIENT_FOLLOW, IDS_CLIENT_FOLLOW, kClientColumns);
