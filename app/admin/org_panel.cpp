// The permission panel of the organisation window: the tab with the grant
// page, whose boxes, drop-downs and counts are made from the table of rights,
// and the panel's buttons.
#include "app/admin/org_rights.h"
#include "app/shell/blocks.h"
#include "app/shell/field_table.h"
#include "app/shell/input_controls.h"
#include "app/shell/rights.h"
#include "app/resources/resource.h"

#include <commctrl.h>
#include <cstddef>
#include <cstring>

struct ORG_PANEL {
    HWND hPanel;
    HWND hTab;
    HWND hPage;
    tagZT_Main_Param* p;
    ORG_GRANT salesman;
    ORG_GRANT manager;
};

namespace {

// The frames of the page's groups, in dialog units.
struct Group {
    const char* pszCaption;
    int x, y, cx, cy;
};
const Group kGroups[] = {
    {"房源", 2, 0, 180, 98},
    {"客源", 186, 0, 180, 86},
    {"字典", 370, 0, 180, 98},
    {"管理", 186, 88, 180, 62},
};

const char* const kScopes[] = {"", "本人", "本部", "跨部", "跨店"};

// The panel's buttons, right of the tab's title, in this order.
const struct {
    int id;
    const char* pszCaption;
} kButtons[] = {
    {IDC_PD_ALL, "全选"}, {IDC_PD_INVERT, "反选 "}, {IDC_PD_SALESMAN, "业务员权限"},
    {IDC_PD_MANAGER, "经理权限"}, {IDC_PD_GRANT, "授权"},
};

// The daily counts: read only when their right is ticked, then strictly.
const ZT_FIELD kCounts[] = {
    {IDC_PD_HOU_COUNT, ZF_INT, offsetof(ORG_GRANT, iHouMax), sizeof(int32_t), 9, ZF_NO_RIGHT, "房源看电话次/天",
     nullptr, 0, 0},
    {IDC_PD_CLI_COUNT, ZF_INT, offsetof(ORG_GRANT, iCliMax), sizeof(int32_t), 9, ZF_NO_RIGHT, "客源看电话次/天",
     nullptr, 0, 0},
};

const ZT_FIELD* CountField(const ORG_RIGHT& r)
{
    return Fields_Find(kCounts, 2, OrgRight_CountId(r));
}

RECT Dlu(HWND hDlg, int x, int y, int cx, int cy)
{
    RECT rc = {x, y, x + cx, y + cy};
    MapDialogRect(hDlg, &rc);
    return rc;
}

HWND Child(HWND hParent, const char* cls, const char* text, DWORD style, RECT rc, int id)
{
    HWND h = CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, rc.left, rc.top, rc.right - rc.left,
                             rc.bottom - rc.top, hParent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                             reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(hParent, GWLP_HINSTANCE)), nullptr);
    if (h)
        SendMessageA(h, WM_SETFONT, SendMessageA(hParent, WM_GETFONT, 0, 0), FALSE);
    return h;
}

// ---- The page -----------------------------------------------------------------------

void BuildPage(HWND hPage)
{
    for (const Group& g : kGroups)
        Child(hPage, "BUTTON", g.pszCaption, BS_GROUPBOX, Dlu(hPage, g.x, g.y, g.cx, g.cy), -1);
    for (int i = 0; i < g_nOrgRights; i++) {
        const ORG_RIGHT& r = g_orgRights[i];
        int x = kGroups[r.iGroup].x + r.x, y = kGroups[r.iGroup].y + r.y;
        Child(hPage, "BUTTON", r.pszCaption, WS_TABSTOP | BS_AUTOCHECKBOX, Dlu(hPage, x, y, r.cx, 10), r.id);
        if (OrgRight_Scoped(r)) {
            HWND h = Child(hPage, ZT_CLASS_COMBOBOX, "", WS_TABSTOP | ZTCBS_DROPLIST,
                           Dlu(hPage, x + r.cx + 2, y - 1, 44, 11), OrgRight_ScopeId(r));
            for (const char* s : kScopes)
                SendMessageA(h, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
        }
        if (const ZT_FIELD* f = CountField(r)) {
            Child(hPage, "EDIT", "0", WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL | ES_NUMBER,
                  Dlu(hPage, x + r.cx + 2, y - 1, 28, 11), f->id);
            Child(hPage, "STATIC", "次/天", 0, Dlu(hPage, x + r.cx + 33, y + 1, 24, 10), -1);
        }
    }
    Fields_Limit(hPage, kCounts, 2);
}

bool Ticked(HWND hPage, int id)
{
    return SendDlgItemMessageA(hPage, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

int ScopeShown(HWND hPage, const ORG_RIGHT& r)
{
    LRESULT sel = SendDlgItemMessageA(hPage, OrgRight_ScopeId(r), CB_GETCURSEL, 0, 0);
    return sel >= 1 && sel <= ORG_SCOPES ? static_cast<int>(sel) - 1 : -1;
}

// A sub-right is offered only under its ticked parent, a count only with
// its ticked right.
void UpdateEnabled(HWND hPage)
{
    for (int i = 0; i < g_nOrgRights; i++) {
        const ORG_RIGHT& r = g_orgRights[i];
        if (r.idParent)
            EnableWindow(GetDlgItem(hPage, r.id), Ticked(hPage, r.idParent));
        if (int count = OrgRight_CountId(r))
            EnableWindow(GetDlgItem(hPage, count), Ticked(hPage, r.id));
    }
}

// Ticks or clears a box as the user does: a scoped right ticked without a
// scope starts with the narrowest one, "本人".
void SetTicked(HWND hPage, const ORG_RIGHT& r, bool bTicked)
{
    SendDlgItemMessageA(hPage, r.id, BM_SETCHECK, bTicked ? BST_CHECKED : BST_UNCHECKED, 0);
    if (bTicked && OrgRight_Scoped(r) && ScopeShown(hPage, r) < 0)
        SendDlgItemMessageA(hPage, OrgRight_ScopeId(r), CB_SETCURSEL, 1, 0);
}

void ShowGrant(HWND hPage, const ORG_GRANT& g)
{
    for (int i = 0; i < g_nOrgRights; i++) {
        const ORG_RIGHT& r = g_orgRights[i];
        SendDlgItemMessageA(hPage, r.id, BM_SETCHECK, g.ticked[i] ? BST_CHECKED : BST_UNCHECKED, 0);
        if (OrgRight_Scoped(r)) {
            HWND h = GetDlgItem(hPage, OrgRight_ScopeId(r));
            if (g.scope[i] >= 0 && g.scope[i] < ORG_SCOPES)
                SendMessageA(h, CB_SETCURSEL, g.scope[i] + 1, 0);
            else
                SetWindowTextA(h, "");
        }
    }
    Fields_Show(hPage, kCounts, 2, &g);
    UpdateEnabled(hPage);
}

BOOL ReadGrant(HWND hPage, ORG_GRANT* g)
{
    OrgGrant_Clear(g);
    for (int i = 0; i < g_nOrgRights; i++) {
        const ORG_RIGHT& r = g_orgRights[i];
        g->ticked[i] = Ticked(hPage, r.id);
        if (OrgRight_Scoped(r))
            g->scope[i] = ScopeShown(hPage, r);
        const ZT_FIELD* f = CountField(r);
        if (f && g->ticked[i] && Fields_Read(hPage, f, 1, g))
            return FALSE;
    }
    return TRUE;
}

void AllOrInvert(HWND hPage, bool bInvert)
{
    for (int i = 0; i < g_nOrgRights; i++)
        SetTicked(hPage, g_orgRights[i], bInvert ? !Ticked(hPage, g_orgRights[i].id) : true);
    UpdateEnabled(hPage);
}

const ORG_RIGHT* RightOf(int id)
{
    for (int i = 0; i < g_nOrgRights; i++)
        if (g_orgRights[i].id == id)
            return &g_orgRights[i];
    return nullptr;
}

INT_PTR CALLBACK PageProc(HWND hPage, UINT msg, WPARAM wParam, LPARAM)
{
    if (msg == WM_INITDIALOG) {
        BuildPage(hPage);
        UpdateEnabled(hPage);
        return FALSE;
    }
    if (msg == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        if (const ORG_RIGHT* r = RightOf(LOWORD(wParam))) {
            SetTicked(hPage, *r, Ticked(hPage, r->id));
            UpdateEnabled(hPage);
        }
        return TRUE;
    }
    return FALSE;
}

// ---- The panel ----------------------------------------------------------------------

ORG_PANEL* PanelOf(HWND hPanel)
{
    return reinterpret_cast<ORG_PANEL*>(GetWindowLongPtrA(hPanel, DWLP_USER));
}

void Layout(ORG_PANEL* pn)
{
    RECT rc;
    GetClientRect(pn->hPanel, &rc);
    MoveWindow(pn->hTab, 0, 0, rc.right, rc.bottom, TRUE);
    RECT page = rc;
    SendMessageA(pn->hTab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&page));
    SetWindowPos(pn->hPage, HWND_TOP, page.left, page.top, page.right - page.left, page.bottom - page.top, 0);
    // The buttons stand in the tab's title row, from the right.
    RECT one = Dlu(pn->hPanel, 0, 0, 46, 12);
    int cx = one.right, cy = one.bottom, gap = 4;
    int x = rc.right - gap;
    for (int i = static_cast<int>(sizeof(kButtons) / sizeof(kButtons[0])) - 1; i >= 0; i--) {
        x -= cx;
        SetWindowPos(GetDlgItem(pn->hPanel, kButtons[i].id), HWND_TOP, x, 1, cx, cy, 0);
        x -= gap;
    }
}

INT_PTR CALLBACK PanelProc(HWND hPanel, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_INITDIALOG) {
        SetWindowLongPtrA(hPanel, DWLP_USER, lParam);
        return FALSE;
    }
    ORG_PANEL* pn = PanelOf(hPanel);
    if (!pn)
        return FALSE;
    switch (msg) {
    case WM_SIZE:
        if (pn->hPage)
            Layout(pn);
        return TRUE;
    case WM_COMMAND:
        if (HIWORD(wParam) != BN_CLICKED)
            return FALSE;
        switch (LOWORD(wParam)) {
        case IDC_PD_ALL:
            AllOrInvert(pn->hPage, false);
            return TRUE;
        case IDC_PD_INVERT:
            AllOrInvert(pn->hPage, true);
            return TRUE;
        case IDC_PD_SALESMAN:
            ShowGrant(pn->hPage, pn->salesman);
            return TRUE;
        case IDC_PD_MANAGER:
            ShowGrant(pn->hPage, pn->manager);
            return TRUE;
        case IDC_PD_GRANT:
            // Granting belongs to the window: it knows the employee.
            SendMessageA(GetParent(hPanel), WM_COMMAND, MAKEWPARAM(IDC_PD_GRANT, BN_CLICKED), 0);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

}  // namespace

ORG_PANEL* OrgPanel_Create(HWND hParent, tagZT_Main_Param* p)
{
    ORG_PANEL* pn = new ORG_PANEL();
    pn->p = p;
    OrgGrant_Clear(&pn->salesman);
    OrgGrant_Clear(&pn->manager);
    pn->hPanel = CreateDialogParamA(p->hInst, MAKEINTRESOURCEA(IDD_ORG_PANEL), hParent, PanelProc,
                                    reinterpret_cast<LPARAM>(pn));
    if (!pn->hPanel) {
        delete pn;
        return nullptr;
    }
    pn->hTab = GetDlgItem(pn->hPanel, IDC_PD_TAB);
    Block_AddTab(pn->hTab, p->hInst, 0, IDS_ORG_RIGHTS_TAB);
    for (const auto& b : kButtons)
        Child(pn->hPanel, "BUTTON", b.pszCaption, WS_TABSTOP | BS_PUSHBUTTON, RECT{0, 0, 10, 10}, b.id);
    pn->hPage = CreateDialogParamA(p->hInst, MAKEINTRESOURCEA(IDD_ORG_RIGHTS), pn->hPanel, PageProc, 0);
    if (!pn->hPage || !pn->hTab) {
        OrgPanel_Destroy(pn);
        return nullptr;
    }
    Rights_GrantButton(p, pn->hPanel);
    return pn;
}

void OrgPanel_Destroy(ORG_PANEL* pn)
{
    if (!pn)
        return;
    if (pn->hPanel && IsWindow(pn->hPanel))
        DestroyWindow(pn->hPanel);
    delete pn;
}

HWND OrgPanel_Window(const ORG_PANEL* pn)
{
    return pn ? pn->hPanel : nullptr;
}

HWND OrgPanel_Page(const ORG_PANEL* pn)
{
    return pn ? pn->hPage : nullptr;
}

int OrgPanel_Height(const ORG_PANEL* pn)
{
    RECT page;
    GetWindowRect(pn->hPage, &page);
    RECT probe = {0, 0, 400, 400};
    SendMessageA(pn->hTab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&probe));
    return (page.bottom - page.top) + (400 - (probe.bottom - probe.top));
}

void OrgPanel_Move(ORG_PANEL* pn, int x, int y, int cx, int cy)
{
    MoveWindow(pn->hPanel, x, y, cx, cy, TRUE);
    Layout(pn);
    ShowWindow(pn->hPanel, SW_SHOWNA);
}

void OrgPanel_SetPresets(ORG_PANEL* pn, const ORG_GRANT& salesman, const ORG_GRANT& manager)
{
    pn->salesman = salesman;
    pn->manager = manager;
}

void OrgPanel_Show(ORG_PANEL* pn, const ORG_GRANT& g)
{
    ShowGrant(pn->hPage, g);
}

BOOL OrgPanel_Read(ORG_PANEL* pn, ORG_GRANT* g)
{
    return ReadGrant(pn->hPage, g);
}
