// The match windows: one module per direction over the shared module window,
// the record matched kept in the window's state, the load on the worker.
#include "app/listings/match_window.h"
#include "app/listings/client_dialog.h"
#include "app/listings/client_window.h"
#include "app/listings/house_dialog.h"
#include "app/listings/listing_columns.h"
#include "app/shell/caches.h"
#include "app/shell/frame.h"
#include "app/shell/rights.h"
#include "app/resources/resource.h"
#include "app/resources/toolbar_images.h"
#include "common/zt_box.h"

#include <cstddef>
#include <cstdio>
#include <cstring>

namespace {

// What a match window matches, and the scope of the list it stands for.
struct MatchState {
    tagCLIENT client;    // the houses window's client
    tagHOUSE house;      // the clients window's house
    char szScope[64];
};

MatchState* StateOf(const ZT_MODWIN* w)
{
    return static_cast<MatchState*>(w->pState);
}

const char kEmpty[] = "";

// ---- Columns from the caches ------------------------------------------------------------

const tagHOUSE* House(const void* rec)
{
    return &static_cast<const tagHOUSE_MATCH*>(rec)->h;
}

const tagCLIENT* Client(const void* rec)
{
    return &static_cast<const tagCLIENT_MATCH*>(rec)->c;
}

const void* HouseUrban(const ZT_MODWIN* w, const void* rec)
{
    const tagESTLIST* e = Cache_Estate(w->p, House(rec)->iEst);
    const tagURBAN* u = e ? Cache_Urban(w->p, e->iUrban) : nullptr;
    return u ? u->szUrban : kEmpty;
}

const void* HouseEstate(const ZT_MODWIN* w, const void* rec)
{
    const char* s = Cache_EstateName(w->p, House(rec)->iEst);
    return s ? s : kEmpty;
}

const void* HouseBranch(const ZT_MODWIN* w, const void* rec)
{
    const char* s = Cache_BranchName(w->p, House(rec)->iBr);
    return s ? s : kEmpty;
}

const void* HouseEmployee(const ZT_MODWIN* w, const void* rec)
{
    const char* s = Cache_EmployeeName(w->p, House(rec)->iEmp);
    return s ? s : kEmpty;
}

const void* ClientBranch(const ZT_MODWIN* w, const void* rec)
{
    const char* s = Cache_BranchName(w->p, Client(rec)->iBr);
    return s ? s : kEmpty;
}

const void* ClientEmployee(const ZT_MODWIN* w, const void* rec)
{
    const char* s = Cache_EmployeeName(w->p, Client(rec)->iEmp);
    return s ? s : kEmpty;
}

// ---- Module hooks -------------------------------------------------------------------------

BOOL LoadHouses(ZT_MODWIN* w, ZT_RECSET* rs)
{
    int n = 0;
    return Module_Took(rs, FD_Match_Hou(&StateOf(w)->client, StateOf(w)->szScope, 0, &n), &n);
}

BOOL LoadClients(ZT_MODWIN* w, ZT_RECSET* rs)
{
    int n = 0;
    return Module_Took(rs, FD_Match_Cli(&StateOf(w)->house, StateOf(w)->szScope, 0, &n), &n);
}

// The dialogs edit the record of the match in place (it begins with the
// house or client record), rights checked by the dialogs as in the lists.
void OpenHouse(ZT_MODWIN* w, void*, const void*)
{
    HouseDialog_Run(w, HDLG_MODIFY, nullptr);
}

void OpenClient(ZT_MODWIN* w, void* sel, const void*)
{
    ClientDialog_Run(w, &static_cast<tagCLIENT_MATCH*>(sel)->c);
}

// ---- Tables -----------------------------------------------------------------------------------

const ZT_TBDEF kHouseButtons[] = {
    {ID_MATCH_OPEN, ZTIMG_HOUSE_EDIT, "修改房源", 0, ZT_OP_VIEW}, ZT_TB_SEP, ZT_TB_CLOSING,
};
const ZT_TBDEF kClientButtons[] = {
    {ID_MATCH_OPEN, ZTIMG_CLIENT_EDIT, "修改客源", 0, ZT_OP_VIEW}, ZT_TB_SEP, ZT_TB_CLOSING,
};

#define H(f) offsetof(tagHOUSE_MATCH, h) + offsetof(tagHOUSE, f)
const ZT_COLDEF kHouseColumns[] = {
    ZT_COL("符合", 40, LVT_INT, 1, offsetof(tagHOUSE_MATCH, iFit)),
    ZT_COL_UNIT("价差", 60, LVT_INT, "‰", LVU_CELLS, 2, offsetof(tagHOUSE_MATCH, iGap)),
    ZT_COL_TEXT("交易", 40, 1, H(szTrade)),
    ZT_COL_LOOKUP("城区", 55, 0, HouseUrban),
    ZT_COL_LOOKUP("楼盘名称", 100, 0, HouseEstate),
    ZT_COL_TEXT("片区", 50, 0, H(szDist)),
    HOUSE_COLS_ROOM(H),
    ZT_COL_AMOUNT("售价", 60, LVT_INT, "万元", H(iSales)),
    ZT_COL_AMOUNT("租价", 70, LVT_INT, "元/月", H(iRent)),
    ZT_COL_TEXT("装修", 40, 0, H(szDecoration)),
    ZT_COL_TEXT("配置", 40, 0, H(szLayout)),
    ZT_COL_TEXT("房屋类型", 62, 0, H(szHouseType)),
    ZT_COL_AGENT(75, HouseBranch, HouseEmployee),
    ZT_COL_TEXT("委托日期", 70, 1, H(dDelegate)),
    ZT_COL_TEXT("跟进日期", 125, 1, H(dtFollow)),
};
#undef H

#define C(f) offsetof(tagCLIENT_MATCH, c) + offsetof(tagCLIENT, f)
const ZT_COLDEF kClientColumns[] = {
    ZT_COL("符合", 40, LVT_INT, 1, offsetof(tagCLIENT_MATCH, iFit)),
    ZT_COL_UNIT("价差", 60, LVT_INT, "‰", LVU_CELLS, 2, offsetof(tagCLIENT_MATCH, iGap)),
    ZT_COL_TEXT("客户", 60, 0, C(szCliMan)),
    ZT_COL_TEXT("等级", 40, 1, C(szLevel)),
    CLIENT_COLS_WANTS(C),
    ZT_COL_AGENT(70, ClientBranch, ClientEmployee),
    ZT_COL_TEXT("委托日期", 70, 1, C(dDelegate)),
    ZT_COL_TEXT("跟进日期", 125, 1, C(dtFollow)),
};
#undef C

const ZT_CMDDEF kHouseCommands[] = {
    {ID_MATCH_OPEN, OpenHouse, ZT_CMD_NEEDSEL, ZT_OP_VIEW, "请选择数据"},
};
const ZT_CMDDEF kClientCommands[] = {
    {ID_MATCH_OPEN, OpenClient, ZT_CMD_NEEDSEL, ZT_OP_VIEW, "请选择数据"},
};

void FreeMatch(void* block)
{
    Mem_Free_Match(block);
}

// ---- Opening ---------------------------------------------------------------------------------

// The window of the module, created or brought forward, with its state
// re-targeted by set and loaded; null (after the box) without the right to
// see the list it stands for, or while a load of it still runs.
template <class F> HWND Open(tagZT_Main_Param* p, HWND hOwner, const ZT_MODULE_DESC* d, const char* pszNoRight,
                             const char* pszTitle, F set)
{
    if (!p)
        return nullptr;
    if (!Rights_MayOpen(p, d->iModule)) {
        ZT_MessageBox(hOwner, pszNoRight, "", MB_OK);
        return nullptr;
    }
    HWND hChild = Frame_FindChild(d->pszClass);
    BOOL bNew = hChild == nullptr;
    if (bNew)
        hChild = Frame_CreateChild(p, d->pszClass, d->iCaption, d->cx, d->cy);
    ZT_MODWIN* w = hChild ? Module_Of(hChild) : nullptr;
    if (!w)
        return nullptr;
    if (!bNew) {
        SendMessageA(Frame_MDIClient(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(hChild), 0);
        if (w->bBusy)    // the worker reads the state: leave it as it is
            return hChild;
    }
    MatchState* s = StateOf(w);
    set(s);
    Rights_ScopeText(p, d->iModule, s->szScope, sizeof(s->szScope));
    SetWindowTextA(hChild, pszTitle);
    Frame_ChildChanged();
    // A new window loads once it is shown (its first load is posted).
    if (!bNew)
        Module_Refresh(w);
    return hChild;
}

}  // namespace

extern const ZT_MODULE_DESC g_MatchHouseModule = {
    "ZT_CHILD_MATCH_HOU", 0, ZTM_HOUSE, IDS_MATCH_HOUSES, CW_USEDEFAULT, CW_USEDEFAULT,
    sizeof(tagHOUSE_MATCH), offsetof(tagHOUSE_MATCH, h) + offsetof(tagHOUSE, iOrdinal), sizeof(MatchState),
    ZT_TABLE(kHouseButtons), ZT_TABLE(kHouseColumns), ZT_TABLE(kHouseCommands), -1, ID_MATCH_OPEN,
    nullptr, nullptr, nullptr, nullptr, LoadHouses, nullptr, nullptr, FreeMatch, nullptr, nullptr,
};

extern const ZT_MODULE_DESC g_MatchClientModule = {
    "ZT_CHILD_MATCH_CLI", 0, ZTM_CLIENT, IDS_MATCH_CLIENTS, CW_USEDEFAULT, CW_USEDEFAULT,
    sizeof(tagCLIENT_MATCH), offsetof(tagCLIENT_MATCH, c) + offsetof(tagCLIENT, iOrdinal), sizeof(MatchState),
    ZT_TABLE(kClientButtons), ZT_TABLE(kClientColumns), ZT_TABLE(kClientCommands), -1, ID_MATCH_OPEN,
    nullptr, nullptr, nullptr, nullptr, LoadClients, nullptr, nullptr, FreeMatch, nullptr, nullptr,
};

HWND MatchWindow_Houses(tagZT_Main_Param* p, HWND hOwner, const tagCLIENT* c)
{
    if (!c)
        return nullptr;
    char title[400];
    snprintf(title, sizeof title, "匹配房源 - %s %s", c->szCliMan[0] ? c->szCliMan : c->szLinkMan, c->szTrade);
    tagCLIENT copy = *c;
    return Open(p, hOwner, &g_MatchHouseModule, "没有浏览房源的权限", title,
                [&](MatchState* s) { s->client = copy; });
}

HWND MatchWindow_Clients(tagZT_Main_Param* p, HWND hOwner, const tagHOUSE* h)
{
    if (!h)
        return nullptr;
    const char* est = p ? Cache_EstateName(p, h->iEst) : nullptr;
    char title[300];
    snprintf(title, sizeof title, "匹配客源 - %s %s-%s %s", est ? est : "", h->szBuildNO, h->szHouseNO, h->szTrade);
    tagHOUSE copy = *h;
    return Open(p, hOwner, &g_MatchClientModule, "没有浏览客源的权限", title,
                [&](MatchState* s) { s->house = copy; });
}

void MatchWindow_CmdHousesFor(ZT_MODWIN* w, void* pSel, const void*)
{
    MatchWindow_Houses(w->p, w->hwnd, static_cast<const tagCLIENT*>(pSel));
}

void MatchWindow_CmdClientsFor(ZT_MODWIN* w, void* pSel, const void*)
{
    MatchWindow_Clients(w->p, w->hwnd, static_cast<const tagHOUSE*>(pSel));
}
