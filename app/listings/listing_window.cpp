// The shared filter-panel list window: its panel, filter, quick filters and
// follow-up pane.
#include "app/listings/listing_window.h"
#include "app/listings/listing_filter.h"
#include "app/shell/blocks.h"
#include "app/shell/caches.h"
#include "app/shell/frame.h"
#include "app/shell/input_controls.h"
#include "app/shell/rights.h"
#include "app/resources/toolbar_images.h"
#include "common/date.h"
#include "common/zt_box.h"

#include <commctrl.h>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

LISTING_WIN* ListingWindow_State(const ZT_MODWIN* w)
{
    return static_cast<LISTING_WIN*>(w->pState);
}

const LISTING_DESC* ListingWindow_Desc(const ZT_MODWIN* w)
{
    return static_cast<const LISTING_DESC*>(w->d->pDesc);
}

ZT_MODWIN* ListingWindow_Of(HWND hwnd)
{
    ZT_MODWIN* w = Module_Of(hwnd);
    return w && w->d->pfnFilter == ListingWindow_Filter ? w : nullptr;
}

HWND ListingWindow_Panel(HWND hwnd)
{
    ZT_MODWIN* w = ListingWindow_Of(hwnd);
    return w ? ListingWindow_State(w)->hPanel : nullptr;
}

HWND ListingWindow_Pane(HWND hwnd)
{
    ZT_MODWIN* w = ListingWindow_Of(hwnd);
    return w ? ListingWindow_State(w)->pane.hPane : nullptr;
}

FOLLOW_LIST* ListingWindow_Follows(ZT_MODWIN* w)
{
    return w ? ListingWindow_State(w)->pane.follow : nullptr;
}

void ListingWindow_Read(ZT_MODWIN* w, void* pValues)
{
    const LISTING_DESC* ld = ListingWindow_Desc(w);
    Fields_Read(ListingWindow_State(w)->hPanel, ld->fields, ld->nFields, pValues);
}

// ---- The panel -------------------------------------------------------------------------

// Whether the panels of a kind (by their template) are collapsed: expanded
// at first, for every window of the kind.
static std::set<int> g_collapsed;

static BOOL IsOpen(const LISTING_DESC* ld)
{
    return g_collapsed.count(ld->iPanel) == 0;
}

static void ShowExpandText(const LISTING_DESC* ld, HWND hPanel)
{
    if (ld->iExpand)
        SetDlgItemTextA(hPanel, ld->iExpand, IsOpen(ld) ? "收起" : "更多");
}

static void ClearPanel(ZT_MODWIN* w)
{
    const LISTING_DESC* ld = ListingWindow_Desc(w);
    Fields_Clear(ListingWindow_State(w)->hPanel, ld->fields, ld->nFields);
}

// "清空": the boxes emptied and the list showing what an empty panel finds.
static void ClearAndRefresh(ZT_MODWIN* w)
{
    ClearPanel(w);
    Module_Refresh(w);
}

static void ExpandPanel(ZT_MODWIN* w)
{
    const LISTING_DESC* ld = ListingWindow_Desc(w);
    if (IsOpen(ld))
        g_collapsed.insert(ld->iPanel);
    else
        g_collapsed.erase(ld->iPanel);
    ShowExpandText(ld, ListingWindow_State(w)->hPanel);
    Module_Layout(w);
}

// The panel's buttons: "查找" is the window's refresh, "清空" and "更多".
static void RefillChoices(ZT_MODWIN* w, int iKinds);

static INT_PTR CALLBACK PanelProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM)
{
    if (msg == Cache_ChangedMessage()) {
        if (ZT_MODWIN* w = ListingWindow_Of(GetParent(hDlg)))
            RefillChoices(w, static_cast<int>(wParam));
        return TRUE;
    }
    if (msg != WM_COMMAND)
        return msg == WM_INITDIALOG;
    ZT_MODWIN* w = ListingWindow_Of(GetParent(hDlg));
    if (!w || HIWORD(wParam) != BN_CLICKED)
        return TRUE;
    const LISTING_DESC* ld = ListingWindow_Desc(w);
    int id = LOWORD(wParam);
    if (id == ld->iFind)
        Module_Refresh(w);
    else if (id == ld->iClear)
        ClearAndRefresh(w);
    else if (ld->iExpand && id == ld->iExpand)
        ExpandPanel(w);
    return TRUE;
}

// The urban areas of the shared cache.
static void FillUrbans(const LISTING_DESC* ld, HWND hPanel, const tagZT_Main_Param* p)
{
    HWND hUrban = ld->iUrban ? GetDlgItem(hPanel, ld->iUrban) : nullptr;
    if (hUrban)
        Cache_ForUrbans(p, [hUrban](const tagURBAN& u) {
            SendMessageA(hUrban, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(u.szUrban));
        });
}

// The parameter lists of the panel from the shared parameter cache.
static void FillParams(const LISTING_DESC* ld, HWND hPanel, const tagZT_Main_Param* p)
{
    for (int l = 0; p->pArgcValue && l < ld->nLists; l++) {
        const LISTING_LIST& list = ld->lists[l];
        const tagARGC* name = nullptr;
        if (list.pszCategory)
            name = FindArgcName(p->pArgcTag, p->nArgcTag, p->pArgcName, p->nArgcName, list.pszCategory, list.pszName);
        for (int i = 0; !list.pszCategory && !name && p->pArgcName && i < p->nArgcName; i++)
            if (strcmp(p->pArgcName[i].szName, list.pszName) == 0)
                name = &p->pArgcName[i];
        if (name)
            FillArgcCombo(GetDlgItem(hPanel, list.id), p->pArgcValue, Cache_ParamValueSlots(p), name->iOrdinal);
    }
}

// The branch and employee lists of the shared caches.
static void FillStaff(const LISTING_DESC* ld, HWND hPanel, const tagZT_Main_Param* p)
{
    if (HWND hBr = ld->iBranchList ? GetDlgItem(hPanel, ld->iBranchList) : nullptr)
        Cache_ForBranches(p, [hBr](const tagBRLIST& b) {
            SendMessageA(hBr, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(b.szBr));
        });
    if (HWND hEmp = ld->iEmployeeList ? GetDlgItem(hPanel, ld->iEmployeeList) : nullptr)
        Cache_ForEmployees(p, [hEmp](const tagEMPLIST& e) {
            SendMessageA(hEmp, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(e.szEmp));
        });
}

static void FillChoices(const LISTING_DESC* ld, HWND hPanel, const tagZT_Main_Param* p)
{
    FillUrbans(ld, hPanel, p);
    FillParams(ld, hPanel, p);
    FillStaff(ld, hPanel, p);
}

// The lists filled again after a change of the shared caches (ZTC_ kinds);
// what each box shows (typed or chosen) stays.
static void RefillChoices(ZT_MODWIN* w, int iKinds)
{
    const LISTING_DESC* ld = ListingWindow_Desc(w);
    HWND hPanel = ListingWindow_State(w)->hPanel;
    if ((iKinds & (ZTC_URBAN | ZTC_CITY)) && ld->iUrban)
        Block_RefillList(GetDlgItem(hPanel, ld->iUrban), [&](HWND) { FillUrbans(ld, hPanel, w->p); });
    if ((iKinds & ZTC_BRANCH) && ld->iBranchList)
        Block_RefillList(GetDlgItem(hPanel, ld->iBranchList), [&](HWND h) {
            Cache_ForBranches(w->p, [h](const tagBRLIST& b) {
                SendMessageA(h, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(b.szBr));
            });
        });
    if ((iKinds & ZTC_EMPLOYEE) && ld->iEmployeeList)
        Block_RefillList(GetDlgItem(hPanel, ld->iEmployeeList), [&](HWND h) {
            Cache_ForEmployees(w->p, [h](const tagEMPLIST& e) {
                SendMessageA(h, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(e.szEmp));
            });
        });
    if (!(iKinds & ZTC_PARAM))
        return;
    std::vector<std::string> shown;
    for (int l = 0; l < ld->nLists; l++) {
        char text[ZTCB_MAX_TEXT + 1] = "";
        HWND h = GetDlgItem(hPanel, ld->lists[l].id);
        GetWindowTextA(h, text, sizeof(text));
        shown.push_back(text);
        SendMessageA(h, CB_RESETCONTENT, 0, 0);
    }
    FillParams(ld, hPanel, w->p);
    for (int l = 0; l < ld->nLists; l++)
        SetWindowTextA(GetDlgItem(hPanel, ld->lists[l].id), shown[static_cast<size_t>(l)].c_str());
}

// ---- The pane ----------------------------------------------------------------------------

// Shows or hides the follow-up pane (never without the right); its toolbar
// button says what a click does next.
static void ShowPane(ZT_MODWIN* w, BOOL bShow)
{
    const LISTING_DESC* ld = ListingWindow_Desc(w);
    LISTING_WIN* s = ListingWindow_State(w);
    s->bPaneShown = bShow && s->bPaneAllowed;
    if (s->pane.hPane)
        ShowWindow(s->pane.hPane, s->bPaneShown ? SW_SHOW : SW_HIDE);
    if (w->hToolbar && ld->iPaneHide) {
        TBBUTTONINFOA bi;
        memset(&bi, 0, sizeof(bi));
        bi.cbSize = sizeof(bi);
        bi.dwMask = TBIF_COMMAND | TBIF_TEXT | TBIF_IMAGE;
        bi.idCommand = s->bPaneShown ? ld->iPaneHide : ld->iPaneShow;
        bi.iImage = s->bPaneShown ? ZTIMG_FOLLOW_HIDE : ZTIMG_FOLLOW_SHOW;
        bi.pszText = const_cast<char*>(s->bPaneShown ? "隐藏跟进" : "显示跟进");
        int from = s->bPaneShown ? ld->iPaneShow : ld->iPaneHide;
        SendMessageA(w->hToolbar, TB_SETBUTTONINFOA, from, reinterpret_cast<LPARAM>(&bi));
    }
    Module_Layout(w);
}

// ---- Hooks ----------------------------------------------------------------------------------

BOOL ListingWindow_Create(ZT_MODWIN* w)
{
    const LISTING_DESC* ld = ListingWindow_Desc(w);
    LISTING_WIN* s = ListingWindow_State(w);
    tagZT_Main_Param* p = w->p;
    s->szScope[0] = '\0';
    if (ld->iScope != LISTING_NO_SCOPE)
        Rights_ScopeText(p, ld->iScope, s->szScope, sizeof(s->szScope));
    s->hPanel = CreateDialogParamA(p->hInst, MAKEINTRESOURCEA(ld->iPanel), w->hwnd, PanelProc, 0);
    if (!s->hPanel)
        return FALSE;
    if (ld->iPane && !ListingPane_Create(&s->pane, w->hwnd, p, ld->iPane, ld->iRemark, ld->iFollows))
        return FALSE;
    SetWindowLongPtrA(s->hPanel, GWLP_ID, ld->iPanel);
    FillChoices(ld, s->hPanel, p);
    Fields_Limit(s->hPanel, ld->fields, ld->nFields);
    ShowExpandText(ld, s->hPanel);
    ShowWindow(s->hPanel, SW_SHOW);
    s->bPaneAllowed = ld->iPane && Rights_MayViewFollowUps(p);
    s->bPaneShown = s->bPaneAllowed;
    if (s->pane.hPane)
        ShowWindow(s->pane.hPane, s->bPaneShown ? SW_SHOW : SW_HIDE);
    if (!s->bPaneAllowed && ld->iPaneHide) {
        Block_EnableButton(w->hwnd, ld->iPaneHide, FALSE);
        ShowPane(w, FALSE);
    }
    return TRUE;
}

void ListingWindow_Layout(ZT_MODWIN* w, RECT* rc)
{
    const LISTING_DESC* ld = ListingWindow_Desc(w);
    LISTING_WIN* s = ListingWindow_State(w);
    int cy = IsOpen(ld) ? ld->cyOpen : ld->cyClosed;
    if (s->hPanel) {
        MoveWindow(s->hPanel, rc->left, rc->top, rc->right - rc->left, cy, TRUE);
        rc->top += cy;
    }
    if (s->bPaneShown)
        ListingPane_Layout(&s->pane, rc, ld->cyPane, ld->cxRemark);
}

// A panel whose date box holds no date names the box; nothing loads.
BOOL ListingWindow_Filter(ZT_MODWIN* w)
{
    const LISTING_DESC* ld = ListingWindow_Desc(w);
    int bad = 0;
    // A refused panel leaves the filter of the list shown as it was.
    std::string where;
    if (ld->pfnBuild(w, &where, &bad)) {
        w->filter = where;
        return TRUE;
    }
    char text[160];
    Date_Refusal(Listing_FilterLabel(ld->fields, ld->nFields, bad), text, sizeof(text));
    ZT_MessageBox(w->hwnd, text, "", MB_OK | MB_ICONWARNING);
    SetFocus(GetDlgItem(ListingWindow_State(w)->hPanel, bad));
    return FALSE;
}

void ListingWindow_SelChange(ZT_MODWIN* w)
{
    const LISTING_DESC* ld = ListingWindow_Desc(w);
    LISTING_WIN* s = ListingWindow_State(w);
    if (!ld->iPane)
        return;
    const char* rec = static_cast<const char*>(Module_Selected(w));
    int32_t key = 0;
    if (rec)
        memcpy(&key, rec + w->d->offKey, sizeof(key));
    ListingPane_Show(&s->pane, ld->bHouses ? key : 0, ld->bHouses ? 0 : key, rec ? rec + ld->offRemark : "",
                     s->bPaneAllowed);
}

void ListingWindow_Reshow(ZT_MODWIN* w)
{
    ListingPane_Forget(&ListingWindow_State(w)->pane);
    ListingWindow_SelChange(w);
}

void ListingWindow_Destroy(ZT_MODWIN* w)
{
    ListingPane_Destroy(&ListingWindow_State(w)->pane);
}

// ---- Commands -------------------------------------------------------------------------------

void ListingWindow_CmdQuick(ZT_MODWIN* w, void*, const void* pArg)
{
    const LISTING_DESC* ld = ListingWindow_Desc(w);
    const LISTING_QUICK* q = static_cast<const LISTING_QUICK*>(pArg);
    HWND hPanel = ListingWindow_State(w)->hPanel;
    ClearPanel(w);
    SetDlgItemTextA(hPanel, ld->iTrade, q->pszTrade);
    if (q->iFrom) {
        char day[16];
        Date_Today(day, sizeof(day));
        SetDlgItemTextA(hPanel, q->iFrom, day);
        SetDlgItemTextA(hPanel, q->iTo, day);
    }
    Module_Refresh(w);
}

void ListingWindow_CmdHidePane(ZT_MODWIN* w, void*, const void*)
{
    ShowPane(w, FALSE);
}

void ListingWindow_CmdShowPane(ZT_MODWIN* w, void*, const void*)
{
    ShowPane(w, TRUE);
}

static int RetireFollowUps(ZT_MODWIN* w, void* sel)
{
    int op = Cache_Operator(w->p);
    if (ListingWindow_Desc(w)->bHouses)
        return FD_C_F_Hou(op, static_cast<const tagHOUSE*>(sel));
    return FD_C_F_Hou(op, static_cast<const tagCLIENT*>(sel));
}

// Retiring a listing's follow-ups needs the follow-up delete right and the
// right to modify that listing under the user's scope.
static BOOL MayRetireFollowUps(ZT_MODWIN* w, const void* sel)
{
    const LISTING_DESC* ld = ListingWindow_Desc(w);
    int32_t iEmp, iBr;
    if (ld->bHouses) {
        iEmp = static_cast<const tagHOUSE*>(sel)->iEmp;
        iBr = static_cast<const tagHOUSE*>(sel)->iBr;
    } else {
        iEmp = static_cast<const tagCLIENT*>(sel)->iEmp;
        iBr = static_cast<const tagCLIENT*>(sel)->iBr;
    }
    const char* refused = nullptr;
    if (!Rights_May(w->p, ld->bHouses ? ZTM_HOUSE_FOLLOW : ZTM_CLIENT_FOLLOW, ZT_OP_DELETE))
        refused = "您没有删除跟进的权限";
    else if (!Rights_MayModifyRecord(w->p, ld->iScope, iEmp, iBr))
        refused = ld->bHouses ? "您没有修改该房源的权限, 不能删除它的跟进" : "您没有修改该客源的权限, 不能删除它的跟进";
    if (refused)
        ZT_MessageBox(w->hwnd, refused, "", MB_OK);
    return refused == nullptr;
}

void ListingWindow_CmdDeleteFollowUps(ZT_MODWIN* w, void* pSel, const void*)
{
    if (!MayRetireFollowUps(w, pSel) || !Block_ConfirmToBin(w->hwnd))
        return;
    // On a worker: the window thread does not wait on the server.
    if (Module_RunTask(w, RetireFollowUps, pSel) == 1)
        ListingPane_Forget(&ListingWindow_State(w)->pane);
}
