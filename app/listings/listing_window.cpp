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
static void RefillUrbans(ZT_MODWIN* w);

static INT_PTR CALLBACK PanelProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM)
{
    static const UINT areasChanged = RegisterWindowMessageA(ZT_AREAS_CHANGED_MSG);
    if (msg == areasChanged) {
        if (ZT_MODWIN* w = ListingWindow_Of(GetParent(hDlg)))
            RefillUrbans(w);
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
        ClearPanel(w);
    else if (ld->iExpand && id == ld->iExpand)
        ExpandPanel(w);
    return TRUE;
}

// The urban areas of the shared cache.
static void FillUrbans(const LISTING_DESC* ld, HWND hPanel, const tagZT_Main_Param* p)
{
    HWND hUrban = ld->iUrban ? GetDlgItem(hPanel, ld->iUrban) : nullptr;
    for (int i = 0; hUrban && p->pUrban && i < Cache_UrbanSlots(p); i++)
        if (p->pUrban[i].iOrdinal)
            SendMessageA(hUrban, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(p->pUrban[i].szUrban));
}

// The urban list filled again after a change of the shared cache; what the
// box shows (typed or chosen) stays.
static void RefillUrbans(ZT_MODWIN* w)
{
    const LISTING_DESC* ld = ListingWindow_Desc(w);
    HWND hPanel = ListingWindow_State(w)->hPanel;
    HWND hUrban = ld->iUrban ? GetDlgItem(hPanel, ld->iUrban) : nullptr;
    if (!hUrban)
        return;
    char text[ZTCB_MAX_TEXT + 1] = "";
    GetWindowTextA(hUrban, text, sizeof(text));
    SendMessageA(hUrban, CB_RESETCONTENT, 0, 0);
    FillUrbans(ld, hPanel, w->p);
    SetWindowTextA(hUrban, text);
}

// The urban areas of the shared cache and the parameter lists.
static void FillChoices(const LISTING_DESC* ld, HWND hPanel, const tagZT_Main_Param* p)
{
    FillUrbans(ld, hPanel, p);
    for (int l = 0; p->pArgcValue && l < ld->nLists; l++) {
        const LISTING_LIST& list = ld->lists[l];
        const tagARGC* name = nullptr;
        if (list.pszCategory)
            name = FindArgcName(p->pArgcTag, p->nArgcTag, p->pArgcName, p->nArgcName, list.pszCategory, list.pszName);
        for (int i = 0; !list.pszCategory && !name && p->pArgcName && i < p->nArgcName; i++)
            if (strcmp(p->pArgcName[i].szName, list.pszName) == 0)
                name = &p->pArgcName[i];
        if (name)
            FillArgcCombo(GetDlgItem(hPanel, list.id), p->pArgcValue, p->nArgcValue, name->iOrdinal);
    }
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
    char text[128];
    snprintf(text, sizeof(text), "%s不是有效的日期, 请按 年-月-日 输入, 如 2026-12-09",
             Listing_FilterLabel(ld->fields, ld->nFields, bad));
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

void ListingWindow_CmdDeleteFollowUps(ZT_MODWIN* w, void* pSel, const void*)
{
    // On a worker: the window thread does not wait on the server.
    if (Module_RunTask(w, RetireFollowUps, pSel) == 1)
        ListingPane_Forget(&ListingWindow_State(w)->pane);
}
