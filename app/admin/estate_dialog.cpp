// The estate dialog, its pages, the buildings grid and the building form.
#include "app/admin/estate_dialog.h"
#include "app/admin/pinyin.h"
#include "app/shell/blocks.h"
#include "app/shell/caches.h"
#include "app/shell/field_table.h"
#include "app/shell/input_controls.h"
#include "app/shell/module.h"
#include "app/shell/rights.h"
#include "app/resources/resource.h"
#include "common/gbk.h"
#include "common/zt_box.h"

#include <commctrl.h>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

enum { PG_EST, PG_BNO, PG_LAND, PG_DEV, PG_COUNT };

const int kPageTemplate[PG_COUNT] = {IDD_ESTATE_PAGE_EST, IDD_ESTATE_PAGE_BNO, IDD_ESTATE_PAGE_LAND,
                                     IDD_ESTATE_PAGE_DEV};
const int kPageTitle[PG_COUNT] = {IDS_ESTATE_TAB_EST, IDS_ESTATE_TAB_BNO, IDS_ESTATE_TAB_LAND, IDS_ESTATE_TAB_DEV};

const double kMaxMoney = 9999999999.99;     // DECIMAL(12,2)
const int kNumberChars = 9;                 // a typed count always fits 32 bits
const int kMaxBuildNo = 50;                 // highest building number of a range
const int kBuildingSpares = 101;

// ---- Fields of the pages ----------------------------------------------------------

// Counts and money read laxly: what is no number counts as 0; only money
// beyond the database's columns is refused.  Dates are texts as typed.
#define E(f) offsetof(tagESTATE, f), sizeof(tagESTATE::f)
#define EST_TEXT(id, f) {id, ZF_TEXT, E(f), 0, ZF_NO_RIGHT, nullptr, nullptr, 0, 0}
#define EST_DATE(id, f) {id, ZF_DATE, E(f), 0, ZF_NO_RIGHT, nullptr, nullptr, 0, ZFF_LAX}
// (A number 0 shows as an empty box: typing into it gives the number typed.)
#define EST_COUNT(id, f) {id, ZF_INT, E(f), kNumberChars, ZF_NO_RIGHT, nullptr, "%d", 0, ZFF_LAX | ZFF_ZERO_EMPTY}
#define EST_MONEY(id, f) \
    {id, ZF_DECIMAL, E(f), 13, ZF_NO_RIGHT, nullptr, "%.2f", kMaxMoney, ZFF_LAX | ZFF_ZERO_EMPTY, kMoneyRefused}
const char kMoneyRefused[] = "物业费和车位租金须在0至9999999999.99之间";

// The pages' fields, page by page: the estate page's 14, the land page's
// 14, the developer page's 14 (kPageFields).
const ZT_FIELD kFields[] = {
    EST_TEXT(IDC_EST_NAME, szEstate),         EST_TEXT(IDC_EST_SPELL, szSpell),
    EST_TEXT(IDC_EST_RING, szRingArea),       EST_TEXT(IDC_EST_DIST, szDist),
    EST_TEXT(IDC_EST_ADDRESS, szAddress),     EST_TEXT(IDC_EST_CROSSING, szIntersection),
    EST_COUNT(IDC_EST_COVERS, iCoversArea),   EST_COUNT(IDC_EST_FLOORAREA, iBuildArea),
    EST_COUNT(IDC_EST_ROOM, iRoom),           EST_COUNT(IDC_EST_VACANCY, iVacancy),
    EST_COUNT(IDC_EST_VOLUME, iVolume),       EST_COUNT(IDC_EST_AFFOREST, iAfforest),
    EST_COUNT(IDC_EST_HOUSES, iHouse),        EST_COUNT(IDC_EST_BUILDS, iBuild),
    EST_TEXT(IDC_EST_LANDCAT, szLandCategory),    EST_TEXT(IDC_EST_LANDSRC, szLandSource),
    EST_TEXT(IDC_EST_LANDUSE, szLandUsage),       EST_TEXT(IDC_EST_PERIOD, szUsePeriod),
    EST_DATE(IDC_EST_TRANSDATE, szTransferDate),  EST_TEXT(IDC_EST_TRANSPRICE, szTransferPrice),
    EST_TEXT(IDC_EST_FLOORPRICE, szFloorPrice),   EST_TEXT(IDC_EST_HOUSETYPE, szHouseType),
    EST_TEXT(IDC_EST_HOUSESTRUCT, szHouseStruct), EST_TEXT(IDC_EST_HOUSEUSE, szHouseUsage),
    EST_TEXT(IDC_EST_BUILDTYPE, szBuildType),     EST_TEXT(IDC_EST_BUILDSTRUCT, szBuildStruct),
    EST_TEXT(IDC_EST_HANDOVER, szHandoverStandard), EST_DATE(IDC_EST_BUILDYEAR, szBuildYear),
    EST_TEXT(IDC_EST_DEVCOM, szDevCom),         EST_TEXT(IDC_EST_BUILDCOM, szBuildCom),
    EST_TEXT(IDC_EST_SALESADDR, szSalesAddress), EST_TEXT(IDC_EST_SALESTEL, szSalesTel),
    EST_DATE(IDC_EST_OPENDATE, szOpenDate),     EST_COUNT(IDC_EST_OPENPRICE, iOpenAvePrice),
    EST_DATE(IDC_EST_HANDOVERDATE, szHandOverDate), EST_TEXT(IDC_EST_MGCOM, szMgCom),
    EST_TEXT(IDC_EST_MGADDR, szMgAddress),      EST_TEXT(IDC_EST_MGTEL, szMgTel),
    EST_TEXT(IDC_EST_WORKTIME, szWorkTime),     EST_COUNT(IDC_EST_PARK, iPark),
    EST_MONEY(IDC_EST_MGPRICE, dMgPrice),       EST_MONEY(IDC_EST_PARKRENT, dParkRentPrice),
};

// The building form's boxes besides the range of numbers.
#define B(f) offsetof(tagBUILDNO, f), sizeof(tagBUILDNO::f)
const ZT_FIELD kBuildingFields[] = {
    {IDC_BNO_FROM, ZF_INT, B(iBuildNO), 0, ZF_NO_RIGHT, nullptr, "%d", 0, ZFF_NO_READ},
    {IDC_BNO_FLOORS, ZF_INT, B(iFloort), 0, ZF_NO_RIGHT, nullptr, "%d", 0, ZFF_LAX},
    {IDC_BNO_LIFTS, ZF_INT, B(iLift), 0, ZF_NO_RIGHT, nullptr, "%d", 0, ZFF_LAX},
    {IDC_BNO_UNITS, ZF_INT, B(iHouse), 0, ZF_NO_RIGHT, nullptr, "%d", 0, ZFF_LAX},
    {IDC_BNO_TYPE, ZF_TEXT, B(szBuildType), 0, ZF_NO_RIGHT, nullptr, nullptr, 0, 0},
    {IDC_BNO_STRUCT, ZF_TEXT, B(szBuildStruct), 0, ZF_NO_RIGHT, nullptr, nullptr, 0, 0},
};
#undef B
#undef E
#undef EST_TEXT
#undef EST_DATE
#undef EST_COUNT
#undef EST_MONEY

#define COUNT_OF(a) static_cast<int>(sizeof(a) / sizeof((a)[0]))

// The rows of each page that has fields.
struct PageFields {
    int iPage;
    const ZT_FIELD* f;
    int n;
};
const PageFields kPageFields[] = {{PG_EST, kFields, 14}, {PG_LAND, kFields + 14, 14}, {PG_DEV, kFields + 28, 14}};
static_assert(COUNT_OF(kFields) == 3 * 14, "every field belongs to one page");

// Parameter lists of the pages: the names under category "楼盘字典".
struct ParamList {
    int iPage;
    int id;
    const char* pszName;
};
const ParamList kParamLists[] = {
    {PG_LAND, IDC_EST_LANDCAT, "土地性质"},   {PG_LAND, IDC_EST_HOUSETYPE, "类型(房屋)"},
    {PG_LAND, IDC_EST_HOUSESTRUCT, "结构(房屋)"}, {PG_LAND, IDC_EST_HOUSEUSE, "用途(房屋)"},
    {PG_LAND, IDC_EST_BUILDTYPE, "类型(建筑)"}, {PG_LAND, IDC_EST_BUILDSTRUCT, "结构(建筑)"},
    {PG_LAND, IDC_EST_HANDOVER, "交房标准"},   {PG_LAND, IDC_EST_LANDSRC, "土地来源"},
    {PG_LAND, IDC_EST_LANDUSE, "土地用途"},    {PG_LAND, IDC_EST_PERIOD, "使用期限"},
    {PG_EST, IDC_EST_RING, "所属环区"},
};
const char kParamCategory[] = "楼盘字典";
// Keys of the parameter names that fill the building form's type lists.
const int kBuildingTypeName = 398;
const int kBuildingStructName = 399;

// ---- The buildings grid -------------------------------------------------------------

const ZT_COLDEF kBuildingColumns[] = {
    ZT_COL("栋号", 35, LVT_INT, 1, offsetof(tagBUILDNO, iBuildNO)),
    ZT_COL("总层", 40, LVT_INT, 1, offsetof(tagBUILDNO, iFloort)),
    ZT_COL_TEXT("建筑类型", 70, 0, offsetof(tagBUILDNO, szBuildType)),
    ZT_COL_TEXT("梯户", 50, 0, offsetof(tagBUILDNO, szLiftHouse)),
    ZT_COL_TEXT("建筑结构", 60, 0, offsetof(tagBUILDNO, szBuildStruct)),
};
const int kBuildingColumnCount = COUNT_OF(kBuildingColumns);

// ---- State -------------------------------------------------------------------------------

struct EstDlg {
    EST_DLG_ARGS a;
    int iMode;
    HWND hDlg;
    HWND hPage[PG_COUNT];
    int tabPage[PG_COUNT];       // page of each tab
    int nTabs;
    tagESTATE rec;               // the estate shown: read from the server, or the one added
    BOOL bStored;                // an estate was stored
    BOOL bFilling;               // the pages are being filled: no abbreviation
    // The buildings: the array FD_Sct_BNO handed over, its live count and
    // slots (rows read + spares).
    tagBUILDNO* pBno;
    int nBno;
    int nBnoSlots;
    std::vector<std::string> shown;    // the pages' texts as last filled or saved
};

struct BuildingForm {
    EstDlg* d;
    tagBUILDNO* pSel;            // modifying this one; null when adding
};

// A count typed into a box of the building form.
int32_t BoxCount(HWND hForm, int id)
{
    char text[1100];
    Field_GetText(hForm, id, text, sizeof(text));
    return Est_ParseCount(text);
}

void Box(HWND hOwner, const char* pszText)
{
    ZT_MessageBox(hOwner, pszText, "", MB_OK);
}

void WriteLiftHouse(tagBUILDNO* b)
{
    char text[64];
    snprintf(text, sizeof(text), "%d梯%d户", b->iLift, b->iHouse);
    Gbk_CopyCut(b->szLiftHouse, sizeof(b->szLiftHouse), text);
}

// ---- Filling and reading the pages --------------------------------------------------

void FillLists(EstDlg* d)
{
    tagZT_Main_Param* p = d->a.p;
    const int n = sizeof(kParamLists) / sizeof(kParamLists[0]);
    ZT_ARGC_BIND binds[n];
    for (int i = 0; i < n; i++) {
        binds[i].pszName = kParamLists[i].pszName;
        binds[i].hList = GetDlgItem(d->hPage[kParamLists[i].iPage], kParamLists[i].id);
        binds[i].iFirst = -1;
    }
    FillArgcCombos(p->pArgcTag, p->nArgcTag, p->pArgcName, p->nArgcName, p->pArgcValue, Cache_ParamValueSlots(p),
                   kParamCategory, binds, n);
    // Districts of the estate's urban area, in cache order, after an empty entry.
    HWND hDist = GetDlgItem(d->hPage[PG_EST], IDC_EST_DIST);
    SendMessageA(hDist, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(""));
    int nDist = p->pDist ? p->nDist + p->nDistSpare : 0;
    for (int i = 0; i < nDist; i++)
        if (p->pDist[i].iOrdinal && p->pDist[i].iParentIndex == d->rec.iUrban)
            SendMessageA(hDist, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(p->pDist[i].szDistrict));
}

void ShowArea(EstDlg* d)
{
    tagZT_Main_Param* p = d->a.p;
    const tagURBAN* u = Cache_Urban(p, d->rec.iUrban);
    const tagCITY* c = u ? Cache_City(p, u->iParentIndex) : nullptr;
    SetDlgItemTextA(d->hPage[PG_EST], IDC_EST_CITY, c ? c->szUrban : "");
    SetDlgItemTextA(d->hPage[PG_EST], IDC_EST_URBAN, u ? u->szUrban : "");
}

void FillFields(EstDlg* d)
{
    d->bFilling = TRUE;
    for (const PageFields& pf : kPageFields)
        Fields_Show(d->hPage[pf.iPage], pf.f, pf.n, &d->rec);
    d->bFilling = FALSE;
}

void LimitFields(EstDlg* d)
{
    for (const PageFields& pf : kPageFields)
        Fields_Limit(d->hPage[pf.iPage], pf.f, pf.n);
}

// Every field's text, for the unsaved-change question.
std::vector<std::string> PageTexts(const EstDlg* d)
{
    std::vector<std::string> out;
    for (const PageFields& pf : kPageFields)
        for (int i = 0; i < pf.n; i++) {
            char text[1100] = "";
            Field_GetText(d->hPage[pf.iPage], pf.f[i].id, text, sizeof(text));
            out.push_back(text);
        }
    return out;
}

void UpdateAbbrev(EstDlg* d)
{
    if (d->bFilling)
        return;
    char name[sizeof(tagESTATE::szEstate)];
    Field_GetText(d->hPage[PG_EST], IDC_EST_NAME, name, sizeof(name));
    char spell[sizeof(tagESTATE::szSpell)];
    Pinyin_Abbrev(name, spell, sizeof(spell));
    SetDlgItemTextA(d->hPage[PG_EST], IDC_EST_SPELL, spell);
}

// ---- Tabs ---------------------------------------------------------------------------------

void ShowTab(EstDlg* d, int iTab)
{
    HWND hTab = GetDlgItem(d->hDlg, IDC_EST_TAB);
    if (iTab < 0 || iTab >= d->nTabs)
        return;
    if (SendMessageA(hTab, TCM_GETCURSEL, 0, 0) != iTab)
        SendMessageA(hTab, TCM_SETCURSEL, iTab, 0);
    for (int i = 0; i < d->nTabs; i++)
        if (d->hPage[d->tabPage[i]])
            ShowWindow(d->hPage[d->tabPage[i]], i == iTab ? SW_SHOW : SW_HIDE);
}

void ShowPage(EstDlg* d, int iPage)
{
    for (int i = 0; i < d->nTabs; i++)
        if (d->tabPage[i] == iPage)
            ShowTab(d, i);
}

INT_PTR CALLBACK PageProc(HWND hPage, UINT msg, WPARAM wParam, LPARAM lParam);

void CreatePages(EstDlg* d)
{
    HWND hTab = GetDlgItem(d->hDlg, IDC_EST_TAB);
    HINSTANCE hInst = d->a.p->hInst;
    // The tabs first: the pages take the display area the tabs leave.
    for (int pg = 0; pg < PG_COUNT; pg++) {
        if (pg == PG_BNO && d->iMode == EST_DLG_ADD)
            continue;                        // an estate not yet stored has no buildings
        Block_AddTab(hTab, hInst, d->nTabs, kPageTitle[pg]);
        d->tabPage[d->nTabs++] = pg;
    }
    RECT rc;
    GetWindowRect(hTab, &rc);
    MapWindowPoints(nullptr, d->hDlg, reinterpret_cast<POINT*>(&rc), 2);
    SendMessageA(hTab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&rc));
    for (int i = 0; i < d->nTabs; i++) {
        int pg = d->tabPage[i];
        HWND h = CreateDialogParamA(hInst, MAKEINTRESOURCEA(kPageTemplate[pg]), d->hDlg, PageProc,
                                    reinterpret_cast<LPARAM>(d));
        d->hPage[pg] = h;
        if (h)
            SetWindowPos(h, HWND_TOP, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, SWP_NOACTIVATE);
    }
    ShowTab(d, 0);
}

void SetTitle(EstDlg* d)
{
    char title[64] = "";
    LoadStringA(d->a.p->hInst, d->iMode == EST_DLG_ADD ? IDS_ESTATE_ADD : IDS_ESTATE_MODIFY, title, sizeof(title));
    SetWindowTextA(d->hDlg, title);
}

// ---- Buildings ---------------------------------------------------------------------------

HWND BuildingGrid(const EstDlg* d)
{
    return d->hPage[PG_BNO] ? GetDlgItem(d->hPage[PG_BNO], IDC_BNO_GRID) : nullptr;
}

tagBUILDNO* FreeBuildingSlot(EstDlg* d)
{
    for (int i = 0; d->pBno && i < d->nBnoSlots; i++)
        if (d->pBno[i].iOrdinal == 0)
            return &d->pBno[i];
    return nullptr;
}

void ListBuildings(EstDlg* d)
{
    HWND hGrid = BuildingGrid(d);
    if (!hGrid)
        return;
    SendMessageA(hGrid, GRM_SETCURSOR, 0, reinterpret_cast<LPARAM>(d->a.p->hGridCursor));
    Block_AddColumns(hGrid, kBuildingColumns, kBuildingColumnCount);
    for (int i = 0; d->pBno && i < d->nBnoSlots; i++)
        if (d->pBno[i].iOrdinal)
            WriteLiftHouse(&d->pBno[i]);
    Block_FillGrid(hGrid, kBuildingColumns, kBuildingColumnCount, nullptr, d->pBno, d->pBno ? d->nBnoSlots : 0,
                   sizeof(tagBUILDNO), offsetof(tagBUILDNO, iOrdinal), nullptr);
}

// The numbers of the form: from (1..50) and, when adding, to (empty or 0:
// the from-number; else from..50).  FALSE after saying which box is wrong.
BOOL ReadNumbers(HWND hForm, BOOL bRange, int* pFrom, int* pTo)
{
    int from = BoxCount(hForm, IDC_BNO_FROM);
    if (from < 1 || from > kMaxBuildNo) {
        Box(hForm, "“栋号”须填1至50之间的数字");
        SetFocus(GetDlgItem(hForm, IDC_BNO_FROM));
        return FALSE;
    }
    int to = bRange ? BoxCount(hForm, IDC_BNO_TO) : 0;
    if (to == 0)
        to = from;
    if (to < from || to > kMaxBuildNo) {
        Box(hForm, "“―”后的栋号须在“栋号”至50之间");
        SetFocus(GetDlgItem(hForm, IDC_BNO_TO));
        return FALSE;
    }
    *pFrom = from;
    *pTo = to;
    return TRUE;
}

// Adds buildings from..to: all inserts on one worker, stopping at the first
// failure; those stored are listed.  TRUE when all were stored and listed.
BOOL AddBuildings(HWND hForm, EstDlg* d, const tagBUILDNO& tmpl, int from, int to)
{
    tagZT_Main_Param* p = d->a.p;
    std::vector<tagBUILDNO> stored;
    Block_RunTask(hForm, p, [&]() {
        for (int n = from; n <= to; n++) {
            tagBUILDNO b = tmpl;
            b.iOrdinal = 0;
            b.iBuildNO = n;
            if (FD_Ist_BNO(Cache_Operator(p), &b) != 1)
                return 0;
            stored.push_back(b);
        }
        return 1;
    });
    HWND hGrid = BuildingGrid(d);
    for (const tagBUILDNO& b : stored) {
        tagBUILDNO* slot = FreeBuildingSlot(d);
        if (!slot) {
            Box(hForm, "本地缓存出错");
            return FALSE;
        }
        *slot = b;
        WriteLiftHouse(slot);
        d->nBno++;
        Block_AppendRow(hGrid, kBuildingColumns, kBuildingColumnCount, nullptr, slot);
    }
    return static_cast<int>(stored.size()) == to - from + 1;
}

// The estate's building count follows its buildings: after buildings were
// added or deleted it becomes their number, unless it counted more than
// were registered before (a count typed for buildings not yet entered
// stays, while the registered ones do not outnumber it).  Stored at once,
// with the estate as it was loaded (what the user has typed meanwhile is
// saved by "保存"); the box shows it unless the user has typed into it.
void FollowBuildingCount(HWND hOwner, EstDlg* d, int nBefore)
{
    tagZT_Main_Param* p = d->a.p;
    int was = d->rec.iBuild;
    if (was > d->nBno && was != nBefore)
        return;
    if (was == d->nBno)
        return;
    tagESTATE old = d->rec, e = d->rec;
    e.iBuild = d->nBno;
    if (Block_RunTask(hOwner, p, [&]() { return FD_Upd_Est(Cache_Operator(p), &old, &e); }) != 1)
        return;                              // the data library has said why
    char shown[32] = "", stored[32] = "";
    Field_GetText(d->hPage[PG_EST], IDC_EST_BUILDS, shown, sizeof(shown));
    if (was)
        snprintf(stored, sizeof(stored), "%d", was);
    d->rec.iBuild = e.iBuild;
    d->rec.iVersion = e.iVersion;            // the form's next save follows this one
    if (strcmp(shown, stored) == 0) {
        snprintf(shown, sizeof(shown), "%d", e.iBuild);
        SetDlgItemTextA(d->hPage[PG_EST], IDC_EST_BUILDS, e.iBuild ? shown : "");
        d->shown = PageTexts(d);
    }
    if (d->a.pfnSaved)
        d->a.pfnSaved(d->a.pCtx, &d->rec, FALSE);
}

BOOL ModifyBuilding(HWND hForm, EstDlg* d, tagBUILDNO* sel, tagBUILDNO b)
{
    tagZT_Main_Param* p = d->a.p;
    if (Block_RunTask(hForm, p, [&]() { return FD_Upd_BNO(Cache_Operator(p), sel, &b); }) != 1)
        return FALSE;
    WriteLiftHouse(&b);
    *sel = b;
    SendMessageA(BuildingGrid(d), GRM_REDRAWSEL, 0, 0);
    return TRUE;
}

void SaveBuilding(HWND hForm, BuildingForm* f)
{
    EstDlg* d = f->d;
    int from = 0, to = 0;
    if (!ReadNumbers(hForm, f->pSel == nullptr, &from, &to))
        return;
    tagBUILDNO b;
    if (f->pSel)
        b = *f->pSel;
    else
        memset(&b, 0, sizeof(b));
    b.iEst = d->rec.iOrdinal;
    b.iBuildNO = from;
    Fields_Read(hForm, kBuildingFields, COUNT_OF(kBuildingFields), &b);    // lax: nothing is refused
    int before = d->nBno;
    BOOL ok = f->pSel ? ModifyBuilding(hForm, d, f->pSel, b) : AddBuildings(hForm, d, b, from, to);
    if (d->nBno != before)
        FollowBuildingCount(hForm, d, before);
    if (ok)
        EndDialog(hForm, IDOK);
}

void AddNumbers(HWND hList, int from, int to)
{
    for (int i = from; i <= to; i++) {
        char n[16];
        snprintf(n, sizeof(n), "%d", i);
        SendMessageA(hList, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(n));
    }
}

void InitBuildingForm(HWND hForm, BuildingForm* f)
{
    tagZT_Main_Param* p = f->d->a.p;
    char title[64] = "";
    LoadStringA(p->hInst, f->pSel ? IDS_BUILDING_MODIFY : IDS_BUILDING_ADD, title, sizeof(title));
    SetWindowTextA(hForm, title);
    AddNumbers(GetDlgItem(hForm, IDC_BNO_FROM), 1, 14);
    AddNumbers(GetDlgItem(hForm, IDC_BNO_TO), 2, 14);
    AddNumbers(GetDlgItem(hForm, IDC_BNO_LIFTS), 0, 3);
    AddNumbers(GetDlgItem(hForm, IDC_BNO_UNITS), 1, 7);
    FillArgcCombo(GetDlgItem(hForm, IDC_BNO_TYPE), p->pArgcValue, Cache_ParamValueSlots(p), kBuildingTypeName);
    FillArgcCombo(GetDlgItem(hForm, IDC_BNO_STRUCT), p->pArgcValue, Cache_ParamValueSlots(p), kBuildingStructName);
    SendMessageA(GetDlgItem(hForm, IDC_BNO_FLOORS), EM_LIMITTEXT, kNumberChars, 0);
    SendMessageA(GetDlgItem(hForm, IDC_BNO_TYPE), CB_LIMITTEXT, sizeof(tagBUILDNO::szBuildType) - 1, 0);
    SendMessageA(GetDlgItem(hForm, IDC_BNO_STRUCT), CB_LIMITTEXT, sizeof(tagBUILDNO::szBuildStruct) - 1, 0);
    if (!f->pSel)
        return;
    Fields_Show(hForm, kBuildingFields, COUNT_OF(kBuildingFields), f->pSel);
    EnableWindow(GetDlgItem(hForm, IDC_BNO_TO), FALSE);
}

INT_PTR CALLBACK BuildingFormProc(HWND hForm, UINT msg, WPARAM wParam, LPARAM lParam)
{
    BuildingForm* f = Block_DialogState<BuildingForm>(hForm, msg, lParam);
    if (msg == WM_INITDIALOG)
        InitBuildingForm(hForm, f);
    else if (msg == WM_COMMAND && LOWORD(wParam) == IDOK && f)
        SaveBuilding(hForm, f);
    else if (msg == WM_COMMAND && LOWORD(wParam) == IDCANCEL)
        EndDialog(hForm, IDCANCEL);
    return msg == WM_INITDIALOG || msg == WM_COMMAND;
}

void RunBuildingForm(EstDlg* d, tagBUILDNO* sel)
{
    BuildingForm f = {d, sel};
    DialogBoxParamA(d->a.p->hInst, MAKEINTRESOURCEA(IDD_BUILDING), d->hDlg, BuildingFormProc,
                    reinterpret_cast<LPARAM>(&f));
}

tagBUILDNO* SelectedBuilding(EstDlg* d, BOOL bSay)
{
    HWND hGrid = BuildingGrid(d);
    tagBUILDNO* sel = hGrid ? reinterpret_cast<tagBUILDNO*>(SendMessageA(hGrid, GRM_GETSEL, 0, 0)) : nullptr;
    if (!sel && bSay)
        Box(d->hDlg, "请选择数据");
    return sel;
}

void DeleteBuilding(EstDlg* d)
{
    tagBUILDNO* sel = SelectedBuilding(d, TRUE);
    if (!sel)
        return;
    tagZT_Main_Param* p = d->a.p;
    if (Block_RunTask(d->hDlg, p, [&]() { return FD_Del_BNO(Cache_Operator(p), sel); }) != 1)
        return;
    SendMessageA(BuildingGrid(d), GRM_DELETESEL, 0, 0);
    memset(sel, 0, sizeof(*sel));            // the slot is free for the next building
    d->nBno--;
    FollowBuildingCount(d->hDlg, d, d->nBno + 1);
}

// Whether the user may add, modify or delete buildings, asked where the
// command runs (the buttons are greyed as well); FALSE after saying so.
BOOL MayBuilding(EstDlg* d, int iOp)
{
    if (Rights_MayBuilding(d->a.p, iOp))
        return TRUE;
    Box(d->hDlg, iOp == ZT_OP_ADD      ? "您没有增加栋座的权限"
                 : iOp == ZT_OP_MODIFY ? "您没有修改栋座的权限"
                                       : "您没有删除栋座的权限");
    return FALSE;
}

void OnBuildingCommand(EstDlg* d, int id, int code)
{
    switch (id) {
    case IDC_BNO_ADD:
        if (MayBuilding(d, ZT_OP_ADD))
            RunBuildingForm(d, nullptr);
        break;
    case IDC_BNO_MODIFY:
        if (MayBuilding(d, ZT_OP_MODIFY))
            if (tagBUILDNO* sel = SelectedBuilding(d, TRUE))
                RunBuildingForm(d, sel);
        break;
    case IDC_BNO_DELETE:
        if (MayBuilding(d, ZT_OP_DELETE))
            DeleteBuilding(d);
        break;
    case IDC_BNO_GRID:
        // A double click modifies, for a user who may modify buildings.
        if (code == GRN_DBLCLK && IsWindowEnabled(GetDlgItem(d->hPage[PG_BNO], IDC_BNO_MODIFY)))
            if (tagBUILDNO* sel = SelectedBuilding(d, FALSE))
                RunBuildingForm(d, sel);
        break;
    }
}

INT_PTR CALLBACK PageProc(HWND hPage, UINT msg, WPARAM wParam, LPARAM lParam)
{
    EstDlg* d = Block_DialogState<EstDlg>(hPage, msg, lParam);
    if (msg == WM_COMMAND && d) {
        if (LOWORD(wParam) == IDC_EST_NAME && HIWORD(wParam) == EN_CHANGE && hPage == d->hPage[PG_EST])
            UpdateAbbrev(d);
        else if (hPage == d->hPage[PG_BNO])
            OnBuildingCommand(d, LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

// ---- Saving the estate --------------------------------------------------------------------

void FocusField(EstDlg* d, int iPage, int id)
{
    ShowPage(d, iPage);
    SetFocus(GetDlgItem(d->hPage[iPage], id));
}

// Whether the user may save the dialog (add or modify estates), asked
// where the command runs; FALSE after saying so.
BOOL MaySave(EstDlg* d)
{
    BOOL bAdd = d->iMode == EST_DLG_ADD;
    if (Rights_May(d->a.p, ZTM_ESTATE, bAdd ? ZT_OP_ADD : ZT_OP_MODIFY))
        return TRUE;
    Box(d->hDlg, bAdd ? "您没有增加楼盘的权限" : "您没有修改楼盘的权限");
    return FALSE;
}

enum { EST_NOT_STORED, EST_STORED_CLOSE, EST_STORED_STAY };

// Stores the estate: EST_STORED_CLOSE when the dialog may close, _STAY when
// it stays on the stored estate as its opener asked, EST_NOT_STORED when
// nothing was stored (the box named, or the data library has said why).
int StoreEstate(EstDlg* d)
{
    if (!MaySave(d))
        return EST_NOT_STORED;
    tagZT_Main_Param* p = d->a.p;
    tagESTATE e = d->rec;
    for (const PageFields& pf : kPageFields)
        if (int bad = Fields_Read(d->hPage[pf.iPage], pf.f, pf.n, &e)) {
            FocusField(d, pf.iPage, bad);
            return EST_NOT_STORED;
        }
    if (!e.szEstate[0] || !e.szSpell[0]) {
        Box(d->hDlg, "楼盘名称和拼音缩写必须填");
        FocusField(d, PG_EST, IDC_EST_NAME);
        return EST_NOT_STORED;
    }
    BOOL bAdd = d->iMode == EST_DLG_ADD;
    tagESTATE old = d->rec;
    int r = Block_RunTask(d->hDlg, p, [&]() {
        return bAdd ? FD_Ist_Est(Cache_Operator(p), &e) : FD_Upd_Est(Cache_Operator(p), &old, &e);
    });
    if (r != 1)
        return EST_NOT_STORED;               // the data library has said why
    tagESTLIST listed = Cache_EstateOf(e);
    if (!Cache_PutEstate(p, &listed))
        Cache_TellFull(d->hDlg, p, ZTC_ESTATE, "楼盘");
    d->rec = e;
    d->bStored = TRUE;
    d->shown = PageTexts(d);
    if (bAdd) {
        d->iMode = EST_DLG_MODIFY;           // stored: saving again modifies it
        SetTitle(d);
    }
    if (d->a.pfnSaved && !d->a.pfnSaved(d->a.pCtx, &e, bAdd))
        return EST_STORED_STAY;
    return EST_STORED_CLOSE;
}

// "确定": a view closes; a stored estate closes unless its opener keeps it.
BOOL SaveEstate(HWND, void* pState)
{
    EstDlg* d = static_cast<EstDlg*>(pState);
    if (d->iMode == EST_DLG_VIEW) {
        EndDialog(d->hDlg, IDCANCEL);
        return FALSE;
    }
    return StoreEstate(d) == EST_STORED_CLOSE;
}

// "取消(&C)", Esc and closing: typed changes are asked about first ("是"
// saves, "否" drops them, "取消" stays).
void CancelEstate(EstDlg* d)
{
    if (d->iMode != EST_DLG_VIEW && PageTexts(d) != d->shown) {
        int answer = ZT_MessageBox(d->hDlg, "数据已修改, 是否保存?", "", MB_YESNOCANCEL | MB_ICONQUESTION);
        if (answer == IDYES && StoreEstate(d) == EST_STORED_CLOSE)
            EndDialog(d->hDlg, IDOK);        // not stored: stays with the text
        if (answer != IDNO)
            return;
    }
    EndDialog(d->hDlg, d->bStored ? IDOK : IDCANCEL);
}

// ---- The dialog ----------------------------------------------------------------------------

BOOL InitDialog(HWND hDlg, void* pState)
{
    EstDlg* d = static_cast<EstDlg*>(pState);
    d->hDlg = hDlg;
    SetTitle(d);
    CreatePages(d);
    LimitFields(d);
    FillLists(d);
    ShowArea(d);
    FillFields(d);
    ListBuildings(d);
    d->shown = PageTexts(d);
    if (d->iMode != EST_DLG_ADD)
        Rights_EstateDialog(d->a.p, hDlg);
    if (d->iMode == EST_DLG_VIEW && d->hPage[PG_BNO])
        for (int id : {IDC_BNO_ADD, IDC_BNO_MODIFY, IDC_BNO_DELETE})
            EnableWindow(GetDlgItem(d->hPage[PG_BNO], id), FALSE);
    SetFocus(GetDlgItem(d->hPage[PG_EST], IDC_EST_NAME));
    return FALSE;
}

// The tab shows its page; leaving asks about typed changes first.
BOOL OnMessage(HWND, void* pState, UINT msg, WPARAM wParam, LPARAM lParam, INT_PTR* pResult)
{
    EstDlg* d = static_cast<EstDlg*>(pState);
    *pResult = TRUE;
    if (msg == WM_NOTIFY) {
        const NMHDR* nm = reinterpret_cast<const NMHDR*>(lParam);
        if (nm->idFrom == IDC_EST_TAB && nm->code == TCN_SELCHANGE)
            ShowTab(d, static_cast<int>(SendMessageA(nm->hwndFrom, TCM_GETCURSEL, 0, 0)));
        return TRUE;
    }
    if (msg == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
        CancelEstate(d);
        return TRUE;
    }
    return FALSE;
}

const ZT_DIALOG kEstateDialog = {IDD_ESTATE, InitDialog, SaveEstate, OnMessage};

// Reads the estate and its buildings for modify and view.  FALSE when the
// estate is gone.
BOOL LoadEstate(HWND hOwner, EstDlg* d)
{
    tagZT_Main_Param* p = d->a.p;
    return Block_RunTask(hOwner, p, [&]() {
        if (!FD_Sct_EstDetail(&d->rec))
            return 0;
        tagBUILDNO* list = nullptr;
        int n = 0;
        if (FD_Sct_BNO(&list, &n, d->rec.iOrdinal, 0) && list) {
            d->pBno = list;
            d->nBno = n;
            d->nBnoSlots = n + kBuildingSpares;
        }
        return 1;
    }) == 1;
}

}  // namespace

// ---- Numbers ---------------------------------------------------------------------------------

int32_t Est_ParseCount(const char* psz)
{
    return Field_LaxInt(psz);
}

BOOL Est_ParseMoney(const char* psz, double* pValue)
{
    return Field_LaxDecimal(psz, kMaxMoney, pValue) == ZFP_OK;
}

// ---- Entry points -----------------------------------------------------------------------------

INT_PTR EstateDialog_Run(HWND hOwner, const EST_DLG_ARGS* a)
{
    if (!a || !a->p)
        return IDCANCEL;
    // Adding needs the estate add right, whichever window asks for it.
    if (a->iMode == EST_DLG_ADD && !Rights_May(a->p, ZTM_ESTATE, ZT_OP_ADD)) {
        Box(hOwner, "您没有增加楼盘的权限");
        return IDCANCEL;
    }
    EstDlg* d = new EstDlg();
    d->a = *a;
    d->iMode = a->iMode;
    if (a->iMode == EST_DLG_ADD) {
        d->rec.iUrban = a->iUrban;
        d->rec.pUrban = const_cast<tagURBAN*>(Cache_Urban(a->p, a->iUrban));
    } else if (a->pEstate) {
        d->rec = *a->pEstate;
    }
    INT_PTR r = IDCANCEL;
    if (a->iMode == EST_DLG_ADD || (a->pEstate && LoadEstate(hOwner, d)))
        r = Block_RunDialog(hOwner, a->p, &kEstateDialog, d);
    if (d->pBno)
        Mem_Free_BNO(d->pBno);               // the grid went with the dialog
    delete d;
    return r == IDOK ? IDOK : IDCANCEL;
}

BOOL EstateDialog_Add(HWND hOwner, tagZT_Main_Param* p, int iUrban, tagESTLIST** ppNew)
{
    struct Added {
        int iKey;
    } added = {0};
    EST_DLG_ARGS a = {p, EST_DLG_ADD, iUrban, nullptr, nullptr, &added};
    a.pfnSaved = [](void* ctx, const tagESTATE* e, BOOL) -> BOOL {
        static_cast<Added*>(ctx)->iKey = e->iOrdinal;
        return TRUE;
    };
    BOOL ok = EstateDialog_Run(hOwner, &a) == IDOK;
    if (ppNew)
        *ppNew = ok ? const_cast<tagESTLIST*>(Cache_Estate(p, added.iKey)) : nullptr;
    return ok;
}

void EstateDialog_View(HWND hOwner, tagZT_Main_Param* p, int iEst)
{
    tagESTATE e;
    memset(&e, 0, sizeof(e));
    e.iOrdinal = iEst;
    EST_DLG_ARGS a = {p, EST_DLG_VIEW, 0, &e, nullptr, nullptr};
    EstateDialog_Run(hOwner, &a);
}
