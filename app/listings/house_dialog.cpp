// The house edit dialog: add and modify forms over one procedure.
#include "app/listings/house_dialog.h"
#include "app/admin/estate_dialog.h"
#include "app/listings/estate_box.h"
#include "app/listings/follow_list.h"
#include "app/listings/house_dialog_ids.h"
#include "app/listings/house_rules.h"
#include "app/listings/listing_dialog.h"
#include "app/shell/blocks.h"
#include "app/listings/listing_phones.h"
#include "app/shell/caches.h"
#include "app/shell/field_table.h"
#include "app/shell/input_controls.h"
#include "app/shell/jobs.h"
#include "app/shell/rights.h"
#include "common/date.h"
#include "common/gbk.h"
#include "common/zt_box.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

// ---- The field table ----------------------------------------------------------------------

// The boxes by kind: the house's place (location right), its prices (price
// right, locked and empty for 0), its dates, and free texts of 16 bytes.
#define H(f) offsetof(tagHOUSE, f), sizeof(tagHOUSE::f)
static const unsigned kNum = ZFF_ZERO_EMPTY | ZFF_LOCK;
#define HD_PLACE(id, f, max, label, flags) {id, ZF_TEXT, H(f), max, ZT_FR_LOCATION, label, nullptr, 0, flags}
#define HD_PRICE(id, f, label) {id, ZF_INT, H(f), 10, ZT_FR_PRICE, label, nullptr, 0, kNum}
#define HD_DATE(id, f, right, label) {id, ZF_DATE, H(f), 10, right, label, nullptr, 0, 0}
#define HD_TEXT(id, f, label) {id, ZF_TEXT, H(f), 16, ZF_NO_RIGHT, label, nullptr, 0, 0}
static const ZT_FIELD kFields[] = {
    HD_PLACE(IDC_HD_DIST, szDist, 10, "片区", 0),
    HD_PLACE(IDC_HD_RING, szRingArea, 16, "环区", 0),
    HD_PLACE(IDC_HD_BUILDNO, szBuildNO, 10, "栋号", 0),
    HD_PLACE(IDC_HD_HOUSENO, szHouseNO, 10, "室号", 0),
    HD_PLACE(IDC_HD_FLOOR, szFloor, 4, "楼层", ZFF_LOCK),
    {IDC_HD_FLOORT, ZF_INT, H(iFloorT), 10, ZT_FR_LOCATION, "总层", nullptr, 0, kNum},
    {IDC_HD_AREA, ZF_DECIMAL, H(dbBuildArea), 19, ZT_FR_AREA, "面积", "%.2f", 9999999999.99, kNum},
    {IDC_HD_ROOMTYPE, ZF_TEXT, H(szRoomType), 10, ZF_NO_RIGHT, "房型", nullptr, 0, 0},
    HD_TEXT(IDC_HD_TOWARD, szToward, "朝向"),
    HD_TEXT(IDC_HD_DECORATION, szDecoration, "装修"),
    HD_TEXT(IDC_HD_LAYOUT, szLayout, "配置"),
    HD_TEXT(IDC_HD_STATUSQUO, szStatusquo, "现状"),
    HD_TEXT(IDC_HD_LOOK, szLook, "看房"),
    HD_TEXT(IDC_HD_SIGN, szSign, "签约"),
    HD_TEXT(IDC_HD_MORTGAGE, szMortgage, "抵押"),
    HD_TEXT(IDC_HD_PARK, szPark, "车位"),
    HD_TEXT(IDC_HD_BUILDTYPE, szBuildType, "建筑类型"),
    HD_TEXT(IDC_HD_BUILDSTRUCT, szBuildStruct, "建筑结构"),
    HD_TEXT(IDC_HD_TRADE, szTrade, "交易"),
    HD_PRICE(IDC_HD_SALES, iSales, "售价"),
    HD_PRICE(IDC_HD_SALESAVE, iSalesAve, "售均价"),
    HD_PRICE(IDC_HD_SALESBASE, iSalesBase, "售到手价"),
    HD_PRICE(IDC_HD_RENT, iRent, "租价"),
    {IDC_HD_RENTAVE, ZF_DECIMAL, H(dbRentAve), 19, ZT_FR_PRICE, "租均价", "%.2f", 9999999999.99, kNum},
    HD_PRICE(IDC_HD_RENTBASE, iRentBase, "租到手价"),
    HD_DATE(IDC_HD_BUY, dBuy, ZF_NO_RIGHT, "购房日期"),
    HD_DATE(IDC_HD_RENTDAY, dRent, ZF_NO_RIGHT, "租赁日期"),
    HD_DATE(IDC_HD_DELEGATE, dDelegate, ZT_FR_DELEGATE, "委托日期"),
    {IDC_HD_HPC, ZF_TEXT, H(szHPC), 256, ZF_NO_RIGHT, "产权号", nullptr, 0, 0},
    HD_TEXT(IDC_HD_PPTSOURCE, szPPTSource, "产权来源"),
    HD_TEXT(IDC_HD_CITIZEN, szCitizen, "身份国籍"),
    {IDC_HD_REMARK, ZF_TEXT, H(szRemark), 256, ZT_FR_REMARK, "备注", nullptr, 0, ZFF_LOCK},
};
static const int kNumFields = sizeof(kFields) / sizeof(kFields[0]);

// Boxes the dialog fills and reads itself: only their limits and rights
// come from a table.
static const ZT_FIELD kOwnBoxes[] = {
    {IDC_HD_ESTATE, ZF_TEXT, 0, 26, 25, ZT_FR_LOCATION, "楼盘字典", nullptr, 0, 0},
    {IDC_HD_URBAN, ZF_TEXT, 0, 11, 10, ZT_FR_LOCATION, "城区", nullptr, 0, 0},
    {IDC_HD_ADDRESS, ZF_TEXT, 0, 51, 50, ZT_FR_LOCATION, "楼盘地址", nullptr, 0, ZFF_LOCK},
    {IDC_HD_EMP, ZF_TEXT, 0, 26, 25, ZT_FR_AGENT, "登记员工", nullptr, 0, 0},
    {IDC_HD_BR, ZF_TEXT, 0, 51, 50, ZF_NO_RIGHT, "部门", nullptr, 0, 0},
    {IDC_HD_NUM, ZF_TEXT, 0, 11, 10, ZF_NO_RIGHT, "房源编号", nullptr, 0, 0},
    {IDC_HD_OWNER, ZF_TEXT, 0, 257, 256, ZF_NO_RIGHT, "产权人", nullptr, 0, 0},
    {IDC_HD_OWNERTEL, ZF_TEXT, 0, LISTING_TEL_MAX + 1, LISTING_TEL_MAX, ZT_FR_TEL, "联系电话", nullptr, 0, ZFF_LOCK},
    {IDC_HD_LINKMAN, ZF_TEXT, 0, 26, 25, ZF_NO_RIGHT, "委托人", nullptr, 0, 0},
    {IDC_HD_LINKTEL, ZF_TEXT, 0, LISTING_TEL_MAX + 1, LISTING_TEL_MAX, ZT_FR_TEL, "联系电话", nullptr, 0, ZFF_LOCK},
};
static const int kNumOwn = sizeof(kOwnBoxes) / sizeof(kOwnBoxes[0]);

static const LISTING_PHONE_BOX kPhones[] = {
    {IDC_HD_OWNER, H(szOwnerMan), FALSE},
    {IDC_HD_OWNERTEL, H(szOwnerTel), TRUE},
    {IDC_HD_LINKMAN, H(szLinkMan), FALSE},
    {IDC_HD_LINKTEL, H(szLinkTel), TRUE},
};
#undef HD_PLACE
#undef HD_PRICE
#undef HD_DATE
#undef HD_TEXT
#undef H

static const int kNavCmds[4] = {ID_HOUSE_NAV_FIRST, ID_HOUSE_NAV_PREV, ID_HOUSE_NAV_NEXT, ID_HOUSE_NAV_LAST};

// Parameter names and the boxes they fill: under "房源参数(住宅)", then under
// every other category.
struct ListBind {
    const char* name;
    int id;
};
static const ListBind kHouseParams[] = {
    {"交易", IDC_HD_TRADE},     {"装修", IDC_HD_DECORATION}, {"配置", IDC_HD_LAYOUT},
    {"朝向", IDC_HD_TOWARD},    {"看房", IDC_HD_LOOK},       {"现状", IDC_HD_STATUSQUO},
    {"车位", IDC_HD_PARK},      {"抵押", IDC_HD_MORTGAGE},   {"产权来源", IDC_HD_PPTSOURCE},
    {"签约", IDC_HD_SIGN},      {"国籍", IDC_HD_CITIZEN},
};
static const ListBind kOtherParams[] = {
    {"类型(建筑)", IDC_HD_BUILDTYPE}, {"结构(建筑)", IDC_HD_BUILDSTRUCT}, {"所属环区", IDC_HD_RING},
};

// ---- State --------------------------------------------------------------------------------

// What the lists job prepares: box id and its items.
typedef std::vector<std::pair<int, std::vector<std::string>>> BoxLists;

struct Buildings {
    tagBUILDNO* p;
    int n;
    int iEst;
};

struct HDLG {
    ZT_MODWIN* w;
    tagZT_Main_Param* p;
    int form;
    HWND hDlg;
    tagHOUSE old;               // the stored record shown (modify form)
    tagHOUSE* slot;             // its slot in the window's array
    LONG genBno;                // the buildings load whose result is awaited
    const tagESTLIST* est;      // the estate chosen
    Buildings bno;              // its buildings
    LISTING_PHONES ph;
    FOLLOW_LIST* follow;        // the window's follow-up list (its mirror grid is ours)
    HWND hNav;
    HBITMAP hPicture;
    int filling;                // > 0 while the program sets boxes
    std::string baseline;       // the boxes after the last fill or save
    BOOL bSaved;
    BOOL bUnchanged;            // the last save found nothing to change
};

static HDLG* StateOf(HWND hDlg)
{
    return reinterpret_cast<HDLG*>(GetWindowLongPtrA(hDlg, DWLP_USER));
}

static std::string Box(HWND hDlg, int id)
{
    char b[1100];
    Field_GetText(hDlg, id, b, sizeof(b));
    return b;
}

static void SetBox(HDLG* s, int id, const char* text)
{
    s->filling++;
    SetDlgItemTextA(s->hDlg, id, text);
    s->filling--;
}

static void FreeBuildings(Buildings* b)
{
    if (b->p)
        Mem_Free_BNO(b->p);
    b->p = nullptr;
    b->n = 0;
    b->iEst = 0;
}

// Every box's text, for the unsaved-change question.
static std::string Snapshot(HDLG* s)
{
    std::string all;
    for (const ZT_FIELD& f : kFields)
        all += Box(s->hDlg, f.id) + '\x01';
    for (const ZT_FIELD& f : kOwnBoxes)
        all += Box(s->hDlg, f.id) + '\x01';
    return all;
}

static void TakeBaseline(HDLG* s)
{
    s->baseline = Snapshot(s);
}

// ---- Fill jobs ---------------------------------------------------------------------------

// Two jobs (jobs.h) fill the dialog: the lists (from the shared caches
// only) and the buildings of the estate shown or chosen, which wait on the
// server.  The dialog never waits for them, a newer load of buildings makes
// an older one stale, and a job's result never replaces what a box holds
// (a list is refilled, its text kept).  The record's own values come from
// the list window's record and the caches: they are shown before the form
// takes any input, so nothing the user types is overwritten by them.
enum { JOB_LISTS, JOB_BUILDINGS };

struct FillJob : ZT_JOB {
    tagZT_Main_Param* p;
    LONG genBno;                // the buildings load it is
    BoxLists lists;             // JOB_LISTS
    Buildings bno;              // JOB_BUILDINGS
};

static void AddText(void* ctx, const char* text)
{
    static_cast<std::vector<std::string>*>(ctx)->push_back(text);
}

// The lists: urban areas, branches and the parameter values.
static void ListsWork(ZT_JOB* job)
{
    FillJob* j = static_cast<FillJob*>(job);
    const tagZT_Main_Param* p = j->p;
    std::vector<std::string> urban, br;
    for (int i = 0; p->pUrban && i < Cache_UrbanSlots(p); i++)
        if (p->pUrban[i].iOrdinal)
            urban.push_back(p->pUrban[i].szUrban);
    Cache_ForBranches(p, [&br](const tagBRLIST& b) { br.push_back(b.szBr); });
    j->lists.push_back({IDC_HD_URBAN, urban});
    j->lists.push_back({IDC_HD_BR, br});
    for (int i = 0; p->pArgcName && i < p->nArgcName; i++) {
        const tagARGC& n = p->pArgcName[i];
        BOOL house = n.pCategory && strcmp(n.pCategory->szTags, "房源参数(住宅)") == 0;
        const ListBind* binds = house ? kHouseParams : kOtherParams;
        int nb = house ? sizeof(kHouseParams) / sizeof(kHouseParams[0]) : sizeof(kOtherParams) / sizeof(kOtherParams[0]);
        for (int b = 0; b < nb; b++)
            if (strcmp(n.szName, binds[b].name) == 0) {
                std::vector<std::string> values;
                FillArgcCombo(p->pArgcValue, Cache_ParamValueSlots(p), n.iOrdinal, AddText, &values);
                j->lists.push_back({binds[b].id, values});
            }
    }
}

static void BuildingsWork(ZT_JOB* job)
{
    FillJob* j = static_cast<FillJob*>(job);
    if (!FD_Sct_BNO(&j->bno.p, &j->bno.n, j->bno.iEst, 0))
        j->bno.n = 0;
}

static void FreeFill(ZT_JOB* job)
{
    FillJob* j = static_cast<FillJob*>(job);
    FreeBuildings(&j->bno);
    delete j;
}

static void TakeFill(ZT_JOB* job);

static FillJob* NewFill(HDLG* s, int kind)
{
    static void (*const kWork[])(ZT_JOB*) = {ListsWork, BuildingsWork};
    FillJob* j = Job_New<FillJob>(s, kind, kWork[kind], TakeFill, FreeFill);
    j->p = s->p;
    return j;
}

// Loads the buildings of an estate on a job; the result of an earlier load
// still on its way is not taken.
static void StartBuildings(HDLG* s, const tagESTLIST* est)
{
    FillJob* j = NewFill(s, JOB_BUILDINGS);
    j->genBno = ++s->genBno;
    j->bno.iEst = est->iOrdinal;
    Job_Start(j);
}

// ---- Showing -----------------------------------------------------------------------------------

static void ShowPicture(HDLG* s)
{
    int id = House_TradeBitmap(Box(s->hDlg, IDC_HD_TRADE).c_str());
    if (!id)
        return;
    HBITMAP bmp = LoadBitmapA(s->p->hInst, MAKEINTRESOURCEA(id));
    HBITMAP old = reinterpret_cast<HBITMAP>(
        SendDlgItemMessageA(s->hDlg, IDC_HD_PICTURE, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bmp)));
    if (old && old != bmp)
        DeleteObject(old);
    if (s->hPicture && s->hPicture != old)
        DeleteObject(s->hPicture);
    s->hPicture = bmp;
}

static void FillList(HDLG* s, int id, const std::vector<std::string>& items)
{
    HWND h = GetDlgItem(s->hDlg, id);
    std::string keep = Box(s->hDlg, id);
    s->filling++;
    SendMessageA(h, CB_RESETCONTENT, 0, 0);
    for (const std::string& t : items)
        SendMessageA(h, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(t.c_str()));
    SetWindowTextA(h, keep.c_str());
    s->filling--;
}

// The districts of the urban area named in the urban box.
static void FillDistricts(HDLG* s)
{
    const tagZT_Main_Param* p = s->p;
    const tagURBAN* u = Cache_UrbanNamed(p, Box(s->hDlg, IDC_HD_URBAN).c_str());
    std::vector<std::string> names;
    for (int i = 0; u && p->pDist && i < Cache_DistrictSlots(p); i++)
        if (p->pDist[i].iOrdinal && p->pDist[i].iParentIndex == u->iOrdinal)
            names.push_back(p->pDist[i].szDistrict);
    FillList(s, IDC_HD_DIST, names);
}

// The employees of the branch named in the branch box.
static void FillEmployees(HDLG* s)
{
    const tagZT_Main_Param* p = s->p;
    const tagBRLIST* br = Cache_BranchNamed(p, Box(s->hDlg, IDC_HD_BR).c_str());
    std::vector<std::string> names;
    if (br)
        Cache_ForEmployees(p, [&](const tagEMPLIST& e) {
            if (e.iBr == br->iOrdinal)
                names.push_back(e.szEmp);
        });
    FillList(s, IDC_HD_EMP, names);
}

// Every building of the chosen estate, by number.
static void FillBuildings(HDLG* s)
{
    std::vector<int> nums;
    for (int i = 0; i < s->bno.n; i++)
        if (s->bno.p[i].iOrdinal)
            nums.push_back(s->bno.p[i].iBuildNO);
    std::sort(nums.begin(), nums.end());
    std::vector<std::string> items;
    for (int n : nums)
        items.push_back(std::to_string(n));
    FillList(s, IDC_HD_BUILDNO, items);
}

// The buildings a load found, when they are those of the estate chosen and
// no later load of buildings was started.
static void TakeBuildings(HDLG* s, FillJob* j)
{
    if (j->genBno != s->genBno || !s->est || j->bno.iEst != s->est->iOrdinal)
        return;
    FreeBuildings(&s->bno);
    s->bno = j->bno;
    j->bno = Buildings();
    FillBuildings(s);
}

// Shows the estate's address and urban area; with bFields also its ring
// zone and district (a choice by the user, not a record being shown).
static void ShowEstate(HDLG* s, const tagESTLIST* est, BOOL bFields)
{
    const tagZT_Main_Param* p = s->p;
    s->est = est;
    const tagURBAN* u = est ? Cache_Urban(p, est->iUrban) : nullptr;
    SetBox(s, IDC_HD_ADDRESS, est ? est->szAddress : "");
    if (bFields)
        SetDlgItemTextA(s->hDlg, IDC_HD_URBAN, u ? u->szUrban : "");    // its districts and certificate
    else
        SetBox(s, IDC_HD_URBAN, u ? u->szUrban : "");
    FillDistricts(s);
    if (bFields && est) {
        SetBox(s, IDC_HD_RING, est->szRingArea);
        SetBox(s, IDC_HD_DIST, est->szDist);
    }
}

// The estate box names a known estate other than the chosen one: it
// becomes the chosen one and its buildings load on a thread.
static void EstateTyped(HDLG* s)
{
    const tagZT_Main_Param* p = s->p;
    std::string name = Box(s->hDlg, IDC_HD_ESTATE);
    const tagESTLIST* est = Cache_EstateNamed(p, name.c_str());
    if (!est || est == s->est)
        return;
    ShowEstate(s, est, TRUE);
    FreeBuildings(&s->bno);
    FillBuildings(s);
    StartBuildings(s, est);
}

static void ShowNumber(HDLG* s, const tagHOUSE* h, const tagBRLIST* br)
{
    if (s->form == HDLG_ADD) {
        SetBox(s, IDC_HD_NUM, s->p->sys.bNumManualWrite ? "" : "自动生成");
        return;
    }
    SetBox(s, IDC_HD_NUM, House_NumberShown(br ? br->szHou_PF : "", h->szHouseNum).c_str());
}

static void ShowAgent(HDLG* s, const tagEMPLIST* emp, const tagBRLIST* br)
{
    SetBox(s, IDC_HD_BR, br ? br->szBr : "");
    FillEmployees(s);
    SetBox(s, IDC_HD_EMP, emp ? emp->szEmp : "");
}

// The add form's defaults: the user as the registering employee, the
// listing number, today as the commission date.
static void ShowAddDefaults(HDLG* s)
{
    ShowAgent(s, s->p->pLoginEmp, s->p->pLoginBr);
    Rights_RegisterBoxes(s->p, s->hDlg, ZTM_HOUSE, IDC_HD_BR, IDC_HD_EMP);
    ShowNumber(s, nullptr, nullptr);
    char today[16];
    Date_Today(today, sizeof(today));
    SetBox(s, IDC_HD_DELEGATE, today);
}

// A listing whose follow-up is still owed from an earlier showing asks
// for it once it is on screen.
#define WM_HDLG_OWED (WM_APP + 120)

// Shows a record (the modify form: the list window's record in its slot)
// or the add form's defaults, at once: the values come from the record and
// the caches; only the estate's buildings are loaded, on a job.
static void ShowRecord(HDLG* s, tagHOUSE* slot)
{
    tagZT_Main_Param* p = s->p;
    s->filling++;
    if (s->form == HDLG_MODIFY) {
        const tagHOUSE& rec = *slot;
        const tagEMPLIST* emp = Cache_Employee(p, rec.iEmp);
        const tagBRLIST* br = Cache_Branch(p, rec.iBr);
        const tagESTLIST* est = Cache_Estate(p, rec.iEst);
        const char* missing = !emp ? "员工" : !br ? "部门" : !est ? "楼盘" : !Cache_Urban(p, est->iUrban) ? "城区" : nullptr;
        if (missing) {
            char text[96];
            snprintf(text, sizeof(text), "房源ID:%d关联%s出错", rec.iOrdinal, missing);
            ZT_MessageBox(s->hDlg, text, "", MB_OK);
        }
        s->slot = slot;
        s->old = rec;
        ShowEstate(s, est, FALSE);
        SetDlgItemTextA(s->hDlg, IDC_HD_ESTATE, est ? est->szEstate : "");
        Fields_Show(s->hDlg, kFields, kNumFields, &rec);
        ShowAgent(s, emp, br);
        ShowNumber(s, &rec, br);
        Phones_Show(&s->ph, s->hDlg, &rec);
        FreeBuildings(&s->bno);
        FillBuildings(s);
        if (est)
            StartBuildings(s, est);
        Rights_RecordSave(p, s->hDlg, ZTM_HOUSE, rec.iEmp, rec.iBr);
        if (Phones_CarryDebt(&s->ph, rec.iOrdinal, 0))
            PostMessageA(s->hDlg, WM_HDLG_OWED, rec.iOrdinal, 0);
    } else {
        ShowAddDefaults(s);
        Phones_Show(&s->ph, s->hDlg, nullptr);
    }
    ShowPicture(s);
    s->filling--;
    TakeBaseline(s);
}

static void ShowLists(HDLG* s, FillJob* j)
{
    for (const auto& l : j->lists)
        FillList(s, l.first, l.second);
    FillDistricts(s);
    FillEmployees(s);
}

static void TakeFill(ZT_JOB* job)
{
    HDLG* s = static_cast<HDLG*>(const_cast<void*>(job->owner));
    FillJob* j = static_cast<FillJob*>(job);
    if (j->kind == JOB_LISTS)
        ShowLists(s, j);
    else
        TakeBuildings(s, j);
}

// ---- Dependent fields ---------------------------------------------------------------------

static void UrbanChanged(HDLG* s)
{
    FillDistricts(s);
    if (s->filling)
        return;
    SetBox(s, IDC_HD_HPC, House_CertPrefix(Box(s->hDlg, IDC_HD_URBAN).c_str()).c_str());
}

static void BuildingLeft(HDLG* s)
{
    int32_t num = 0;
    if (Field_ParseInt(Box(s->hDlg, IDC_HD_BUILDNO).c_str(), &num) != ZFP_OK || !num)
        return;
    const tagBUILDNO* b = FindBNO(s->bno.p, s->bno.n, num, 0);
    if (!b)
        return;
    SetBox(s, IDC_HD_FLOORT, std::to_string(static_cast<unsigned>(b->iFloort)).c_str());
    SetBox(s, IDC_HD_BUILDTYPE, b->szBuildType);
    SetBox(s, IDC_HD_BUILDSTRUCT, b->szBuildStruct);
    FillList(s, IDC_HD_HOUSENO, House_RoomNumbers(b->iHouse));
}

static void RoomLeft(HDLG* s)
{
    char floor[8];
    if (House_FloorOfRoom(Box(s->hDlg, IDC_HD_HOUSENO).c_str(), floor, 5))
        SetBox(s, IDC_HD_FLOOR, floor);
}

static void PricesLeft(HDLG* s)
{
    double area = 0;
    int32_t sales = 0, rent = 0;
    Field_ParseDecimal(Box(s->hDlg, IDC_HD_AREA).c_str(), 0, &area);
    Field_ParseInt(Box(s->hDlg, IDC_HD_SALES).c_str(), &sales);
    Field_ParseInt(Box(s->hDlg, IDC_HD_RENT).c_str(), &rent);
    HOUSE_AVERAGES a = House_Averages(Box(s->hDlg, IDC_HD_TRADE).c_str(), area, sales, rent);
    if (!a.bChanged)
        return;
    if (a.bClearSale)
        for (int id : {IDC_HD_SALES, IDC_HD_SALESBASE, IDC_HD_SALESAVE})
            SetBox(s, id, "");
    if (a.bClearRent)
        for (int id : {IDC_HD_RENT, IDC_HD_RENTAVE})
            SetBox(s, id, "");
    char text[32];
    if (a.bSale) {
        snprintf(text, sizeof(text), "%d", a.iSalesAve);
        SetBox(s, IDC_HD_SALESAVE, text);
    }
    if (a.bRent) {
        snprintf(text, sizeof(text), "%.2f", a.dbRentAve);
        SetBox(s, IDC_HD_RENTAVE, text);
    }
}

// ---- Saving -------------------------------------------------------------------------------------

// Empty dates are written as the zero date and held as empty texts (as a
// load gives them), the whole field cleared so that records compare equal.
static void ZeroDates(tagHOUSE* h, BOOL bZero)
{
    struct Date {
        char* d;
        size_t cb;
    };
    const Date dates[] = {{h->dBuy, sizeof(h->dBuy)}, {h->dRent, sizeof(h->dRent)}, {h->dDelegate, sizeof(h->dDelegate)}};
    for (const Date& x : dates)
        if (bZero && !x.d[0])
            strcpy(x.d, "0000-00-00");
        else if (!bZero && strcmp(x.d, "0000-00-00") == 0)
            memset(x.d, 0, x.cb);
}

// Reads the boxes into h (a copy of the stored record in the modify form,
// so that what the dialog does not edit is kept) and runs the checks.
// FALSE when a box was refused.
static BOOL BuildRecord(HDLG* s, tagHOUSE* h)
{
    tagZT_Main_Param* p = s->p;
    HWND hDlg = s->hDlg;
    if (Fields_Read(hDlg, kFields, kNumFields, h))
        return FALSE;
    Phones_Read(&s->ph, hDlg, s->form == HDLG_MODIFY ? &s->old : nullptr, h);
    const tagBRLIST* br = Cache_BranchNamed(p, Box(hDlg, IDC_HD_BR).c_str());
    const tagEMPLIST* emp = br ? Cache_EmployeeNamed(p, br->iOrdinal, Box(hDlg, IDC_HD_EMP).c_str()) : nullptr;
    HOUSE_CHECK c;
    memset(&c, 0, sizeof(c));
    c.bEstate = s->est != nullptr && Box(hDlg, IDC_HD_ESTATE) == s->est->szEstate;
    c.dbArea = h->dbBuildArea;
    c.pszTrade = h->szTrade;
    c.iSales = h->iSales;
    c.iRent = h->iRent;
    c.bOwnerRead = Phones_Readable(&s->ph);
    c.bOwnerTelEmpty = !h->szOwnerTel[0];
    c.bLinkTelEmpty = !h->szLinkTel[0];
    c.bEmpKnown = emp != nullptr;
    c.bBrKnown = br != nullptr;
    c.bHouArea = p->sys.bHouArea;
    c.bHouPrice = p->sys.bHouPrice;
    c.bHouOwner = p->sys.bHouOwner;
    static const HOUSE_CHECK_IDS ids = {IDC_HD_ESTATE, IDC_HD_AREA, IDC_HD_TRADE, IDC_HD_SALES,
                                        IDC_HD_RENT,   IDC_HD_OWNERTEL, IDC_HD_EMP, IDC_HD_BR};
    const char* text = nullptr;
    if (int bad = House_Check(c, ids, &text)) {
        Field_Refuse(hDlg, bad, text);
        return FALSE;
    }
    House_RoomLayout(h->szRoomType, &h->iBed, &h->iLiving, &h->iBath);
    h->iEmp = emp->iOrdinal;
    h->iBr = br->iOrdinal;
    // A new house goes to an employee within the adder's scope.
    if (s->form == HDLG_ADD && !Rights_MayRegisterTo(p, ZTM_HOUSE, h->iEmp, h->iBr)) {
        Field_Refuse(hDlg, IDC_HD_EMP, Rights_RegisterRefusal(p, ZTM_HOUSE));
        return FALSE;
    }
    if (s->form == HDLG_ADD || h->iEst != s->est->iOrdinal) {
        Gbk_CopyCut(h->szHouseType, sizeof(h->szHouseType), s->est->szHouseType);
        Gbk_CopyCut(h->szHouseStruct, sizeof(h->szHouseStruct), s->est->szHouseStruct);
    }
    h->iEst = s->est->iOrdinal;
    std::string typed = Box(hDlg, IDC_HD_NUM);
    std::string num = House_NumberTyped(br->szHou_PF, typed.c_str());
    if (s->form == HDLG_MODIFY) {
        // The number as shown (with the prefix of the house's stored branch,
        // padded) is the stored number, whichever branch the box now names.
        const tagBRLIST* was = Cache_Branch(p, s->old.iBr);
        if (typed == House_NumberShown(was ? was->szHou_PF : "", s->old.szHouseNum) ||
            num == House_NumberShown("", s->old.szHouseNum))
            num = s->old.szHouseNum;
    }
    Gbk_CopyCut(h->szHouseNum, sizeof(h->szHouseNum), num.c_str());
    if (s->form == HDLG_ADD && !p->sys.bNumManualWrite)
        h->szHouseNum[0] = '\0';
    return TRUE;
}

// Whether the user may save the form: add houses, or modify the house
// shown under the user's scope.
static BOOL MaySave(const HDLG* s)
{
    if (s->form == HDLG_ADD)
        return Rights_May(s->p, ZTM_HOUSE, ZT_OP_ADD);
    return Rights_MayModifyRecord(s->p, ZTM_HOUSE, s->old.iEmp, s->old.iBr);
}

// The save: 1 saved, 0 not (nothing changed, or the library refused it and
// has said why: the form keeps what was typed), -1 a box was refused.
static int Save(HDLG* s)
{
    s->bUnchanged = FALSE;
    // Without the right to save this house nothing is saved, whichever way asked.
    if (!MaySave(s))
        return 0;
    tagHOUSE h;
    memset(&h, 0, sizeof(h));
    if (s->form == HDLG_MODIFY)
        memcpy(&h, &s->old, sizeof(h));
    if (!BuildRecord(s, &h))
        return -1;
    tagZT_Main_Param* p = s->p;
    int op = Cache_Operator(p);
    if (s->form == HDLG_MODIFY) {
        tagHOUSE cmp;
        memcpy(&cmp, &s->old, sizeof(cmp));
        House_RoomLayout(cmp.szRoomType, &cmp.iBed, &cmp.iLiving, &cmp.iBath);
        if (memcmp(&cmp, &h, sizeof(h)) == 0) {
            s->bUnchanged = TRUE;
            ZT_MessageBox(s->hDlg, "未做修改", "", MB_OK);
            return 0;
        }
    }
    ZeroDates(&h, TRUE);
    tagHOUSE* old = &s->old;
    int ok = Block_RunTask(s->hDlg, p, [&h, old, op, s]() {
        return s->form == HDLG_MODIFY ? FD_Upd_Hou(op, old, &h) : FD_Ist_Hou(op, &h);
    });
    ZeroDates(&h, FALSE);
    if (ok != 1)
        return 0;                            // nothing stored; the library's box said so
    s->bSaved = TRUE;
    if (s->form == HDLG_MODIFY) {
        memcpy(s->slot, &h, sizeof(h));
        memcpy(&s->old, &h, sizeof(h));
        SendMessageA(s->w->hGrid, GRM_REDRAWSEL, 0, 0);
        TakeBaseline(s);
        return 1;
    }
    if (Module_AddRecord(s->w, &h))
        SendMessageA(s->w->hGrid, GRM_MOVESEL, 0, LV_MOVE_FIRST);
    return 1;
}

// ---- Leaving a record ---------------------------------------------------------------------------

// Changes the user could save (none without the right to save them).
static BOOL IsDirty(void* ctx)
{
    HDLG* s = static_cast<HDLG*>(ctx);
    return MaySave(s) && Snapshot(s) != s->baseline;
}

// The save asked for by the unsaved-changes question: a save the library
// refused keeps the record (and what was typed) like a failed check.
static int SaveCtx(void* ctx)
{
    HDLG* s = static_cast<HDLG*>(ctx);
    int r = Save(s);
    return r == 0 && !s->bUnchanged ? -1 : r;
}

// The owed follow-up of the record shown: written into the window's
// follow-up list and the record's follow-up time, the row redrawn.
static void Settle(void* ctx)
{
    HDLG* s = static_cast<HDLG*>(ctx);
    if (s->form != HDLG_MODIFY || !s->slot)
        return;
    char when[20] = "";
    if (Phones_SettleOwed(&s->ph, s->hDlg, s->p, s->old.iOrdinal, 0, s->follow, when, sizeof(when))) {
        strcpy(s->slot->dtFollow, when);
        strcpy(s->old.dtFollow, when);
        SendMessageA(s->w->hGrid, GRM_REDRAWSEL, 0, 0);
    }
}

static LISTING_LEAVE Leave(HDLG* s)
{
    LISTING_LEAVE lv = {s, IsDirty, SaveCtx, Settle};
    return lv;
}

static void Close(HDLG* s, INT_PTR result)
{
    EndDialog(s->hDlg, result);
}

// ---- Commands -----------------------------------------------------------------------------------

static void OnOk(HDLG* s)
{
    int r = Save(s);
    // A refused save keeps everything typed; only an unchanged form closes.
    if (r < 0 || (r == 0 && !s->bUnchanged))
        return;
    Settle(s);
    Close(s, IDOK);
}

static void OnAddMore(HDLG* s)
{
    if (Save(s) != 1)
        return;
    s->filling++;
    ShowAddDefaults(s);
    s->filling--;
    TakeBaseline(s);
}

// "写跟进": changes made are saved first (a form without changes is not
// saved, and says nothing); a save that stores nothing keeps the form.
static void OnWriteFollow(HDLG* s)
{
    if (s->form != HDLG_MODIFY || !Listing_MayWriteFollow(s->hDlg, s->p))
        return;
    if (IsDirty(s) && Save(s) != 1)
        return;
    char when[20] = "";
    if (Listing_WriteFollow(s->hDlg, s->p, s->old.iOrdinal, 0, FALSE, s->follow, when, sizeof(when))) {
        strcpy(s->slot->dtFollow, when);
        strcpy(s->old.dtFollow, when);
        SendMessageA(s->w->hGrid, GRM_REDRAWSEL, 0, 0);
    }
}

static void OnCancel(HDLG* s)
{
    LISTING_LEAVE lv = Leave(s);
    if (Listing_MayLeave(s->hDlg, &lv))
        Close(s, IDCANCEL);
}

// The server allowed the view: the house is revealed if it is still the
// one shown.
static void TelAllowed(void* owner, int iKey)
{
    HDLG* s = static_cast<HDLG*>(owner);
    if (s->form != HDLG_MODIFY || s->old.iOrdinal != iKey)
        return;
    // Revealing changes the boxes, not the record: no unsaved change.
    BOOL dirty = IsDirty(s);
    s->filling++;
    Phones_Reveal(&s->ph, s->hDlg, &s->old);
    s->filling--;
    if (!dirty)
        TakeBaseline(s);
}

// "看电话": the view is counted on the server first (a job); a house
// already revealed costs nothing.
static void OnShowTel(HDLG* s)
{
    if (s->form != HDLG_MODIFY || !Rights_HouseField(s->p, ZT_FR_VIEW_TEL))
        return;
    Phones_AskView(&s->ph, s, s->hDlg, s->p, TRUE, s->old.iOrdinal, TelAllowed);
}

static void OnNavigate(HDLG* s, int move)
{
    LISTING_LEAVE lv = Leave(s);
    if (!Listing_MayLeave(s->hDlg, &lv))
        return;
    BOOL moved = FALSE;
    tagHOUSE* h = static_cast<tagHOUSE*>(Listing_NavMove(s->w, move, &moved));
    if (h && moved)
        ShowRecord(s, h);
}

static void OnAddEstate(HDLG* s)
{
    tagZT_Main_Param* p = s->p;
    if (!Rights_May(p, ZTM_ESTATE, ZT_OP_ADD)) {
        ZT_MessageBox(s->hDlg, "您没有增加楼盘的权限", "", MB_OK);
        return;
    }
    std::string name = Box(s->hDlg, IDC_HD_URBAN);
    if (name.empty()) {
        ZT_MessageBox(s->hDlg, "请选择城区", "", MB_OK);
        return;
    }
    const tagURBAN* u = Cache_UrbanNamed(p, name.c_str());
    if (!u) {
        ZT_MessageBox(s->hDlg, "城区错误", "", MB_OK);
        return;
    }
    tagESTLIST* added = nullptr;
    if (EstateDialog_Add(s->hDlg, p, u->iOrdinal, &added) && added) {
        SetDlgItemTextA(s->hDlg, IDC_HD_ESTATE, added->szEstate);
        EstateTyped(s);
    }
}

static void OnCommand(HDLG* s, int id, int code)
{
    if (Listing_NavOf(id, kNavCmds) >= 0) {
        OnNavigate(s, Listing_NavOf(id, kNavCmds));
        return;
    }
    switch (id) {
    case IDOK: OnOk(s); return;
    case IDCANCEL: OnCancel(s); return;
    case IDC_HD_ADDMORE: OnAddMore(s); return;
    case IDC_HD_WRITEFOLLOW: OnWriteFollow(s); return;
    case IDC_HD_SHOWTEL: OnShowTel(s); return;
    case IDC_HD_ADDESTATE: OnAddEstate(s); return;
    }
    if (s->filling)
        return;
    if (id == IDC_HD_ESTATE && (code == ZTCBN_CHANGE || code == ZTCBN_CHOSEN))
        EstateTyped(s);
    else if (id == IDC_HD_URBAN && (code == ZTCBN_CHANGE || code == ZTCBN_CHOSEN))
        UrbanChanged(s);
    else if (id == IDC_HD_BR && (code == ZTCBN_CHANGE || code == ZTCBN_CHOSEN))
        FillEmployees(s);
    else if (id == IDC_HD_BUILDNO && code == ZTCBN_KILLFOCUS)
        BuildingLeft(s);
    else if (id == IDC_HD_HOUSENO && code == ZTCBN_KILLFOCUS)
        RoomLeft(s);
    else if (id == IDC_HD_TRADE && (code == ZTCBN_CHANGE || code == ZTCBN_CHOSEN))
        ShowPicture(s);
    else if ((id == IDC_HD_AREA || id == IDC_HD_SALES || id == IDC_HD_RENT) && code == EN_KILLFOCUS)
        PricesLeft(s);
}

// ---- Building the dialog ------------------------------------------------------------------------

// The add form hides what belongs to a stored house and gives its buttons
// their add texts; the modify form adds the follow-up list and the navigator.
static void ShapeForm(HDLG* s)
{
    HWND hDlg = s->hDlg;
    RECT rc = {0, 266, 0, 336};
    MapDialogRect(hDlg, &rc);
    RECT client;
    GetClientRect(hDlg, &client);
    if (s->form == HDLG_ADD) {
        SetWindowTextA(hDlg, "增加房源");
        SetDlgItemTextA(hDlg, IDOK, "增加(&S)");
        for (int id : {IDC_HD_WRITEFOLLOW, IDC_HD_SHOWTEL})
            ShowWindow(GetDlgItem(hDlg, id), SW_HIDE);
        RECT wr;
        GetWindowRect(hDlg, &wr);
        SetWindowPos(hDlg, nullptr, 0, 0, wr.right - wr.left, wr.bottom - wr.top - (client.bottom - rc.top),
                     SWP_NOMOVE | SWP_NOZORDER);
        return;
    }
    SetWindowTextA(hDlg, "修改房源");
    ShowWindow(GetDlgItem(hDlg, IDC_HD_ADDMORE), SW_HIDE);
    int margin = rc.right ? rc.right : 8;
    HWND grid = FollowList_CreateGrid(hDlg, IDC_HD_FOLLOWS, s->p);
    if (grid)
        MoveWindow(grid, margin, rc.top, client.right - 2 * margin, rc.bottom - rc.top, FALSE);
    RECT nav = {margin, rc.bottom + 2, margin + 260, client.bottom - 2};
    s->hNav = Listing_NavToolbar(hDlg, IDC_HD_NAV, kNavCmds, &nav);
    if (s->follow && grid) {
        s->follow->hGrid2 = grid;
        if (s->slot)
            FollowList_StartReload(s->follow, s->slot->iOrdinal, 0);
    }
}

// The visible buttons of the right column, one under the other.
static void PackButtons(HWND hDlg)
{
    static const int kButtons[] = {IDOK, IDC_HD_ADDMORE, IDC_HD_WRITEFOLLOW, IDC_HD_SHOWTEL, IDCANCEL, IDC_HD_ADDESTATE};
    RECT first;
    GetWindowRect(GetDlgItem(hDlg, IDOK), &first);
    MapWindowPoints(nullptr, hDlg, reinterpret_cast<POINT*>(&first), 2);
    RECT step = {0, 0, 0, 18};
    MapDialogRect(hDlg, &step);
    int y = first.top;
    for (int id : kButtons) {
        HWND b = GetDlgItem(hDlg, id);
        if (!b || !(GetWindowLongPtrA(b, GWL_STYLE) & WS_VISIBLE))
            continue;
        SetWindowPos(b, nullptr, first.left, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        y += step.bottom;
    }
    RECT pic;
    GetWindowRect(GetDlgItem(hDlg, IDC_HD_PICTURE), &pic);
    MapWindowPoints(nullptr, hDlg, reinterpret_cast<POINT*>(&pic), 2);
    SetWindowPos(GetDlgItem(hDlg, IDC_HD_PICTURE), nullptr, pic.left, y + step.bottom / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER);
}

void HouseDialog_FieldRights(const tagZT_Main_Param* p, HWND hDlg)
{
    Fields_ApplyRights(hDlg, kFields, kNumFields, p, Rights_HouseField);
    Fields_ApplyRights(hDlg, kOwnBoxes, kNumOwn, p, Rights_HouseField);
    if (!Rights_HouseField(p, ZT_FR_VIEW_TEL))
        EnableWindow(Rights_FindControl(hDlg, IDC_HD_SHOWTEL), FALSE);
}

static void ApplyRights(HDLG* s)
{
    tagZT_Main_Param* p = s->p;
    HouseDialog_FieldRights(p, s->hDlg);
    if (!p->sys.bNumManualWrite)
        EnableWindow(GetDlgItem(s->hDlg, IDC_HD_NUM), FALSE);
    if (s->form == HDLG_MODIFY && s->slot)
        Rights_RecordSave(p, s->hDlg, ZTM_HOUSE, s->slot->iEmp, s->slot->iBr);
    if (!Rights_May(p, ZTM_ESTATE, ZT_OP_ADD))
        EnableWindow(GetDlgItem(s->hDlg, IDC_HD_ADDESTATE), FALSE);
    if (!Rights_May(p, ZTM_HOUSE_FOLLOW, ZT_OP_ADD))
        EnableWindow(GetDlgItem(s->hDlg, IDC_HD_WRITEFOLLOW), FALSE);
    if (s->ph.bVisible)
        ShowWindow(GetDlgItem(s->hDlg, IDC_HD_SHOWTEL), SW_HIDE);
    PackButtons(s->hDlg);
}

static BOOL OnInit(HWND hDlg, HDLG* s)
{
    s->hDlg = hDlg;
    SetWindowLongPtrA(hDlg, DWLP_USER, reinterpret_cast<LONG_PTR>(s));
    tagZT_Main_Param* p = s->p;
    // Masking applies to stored telephones only: the add form shows what is typed.
    Phones_Init(&s->ph, kPhones, 4, s->form == HDLG_MODIFY && p->sys.bHouCipher,
                Rights_HouseField(p, ZT_FR_TEL_FREE));
    Job_Start(NewFill(s, JOB_LISTS));
    ShapeForm(s);
    Block_CentreOver(hDlg, s->w->hwnd);
    EstateBox_Attach(GetDlgItem(hDlg, IDC_HD_ESTATE), p);
    RoomTypeField_Attach(GetDlgItem(hDlg, IDC_HD_ROOMTYPE));
    Fields_Limit(hDlg, kFields, kNumFields);
    Fields_Limit(hDlg, kOwnBoxes, kNumOwn);
    ApplyRights(s);
    ShowRecord(s, s->slot);
    return TRUE;
}

// The follow-up still owed on the listing shown since an earlier showing.
static void OnOwed(HDLG* s, int iKey)
{
    if (s->form != HDLG_MODIFY || s->old.iOrdinal != iKey)
        return;
    // The house is on screen behind the question (a modal dialog shows
    // itself only once its first messages are done).
    ShowWindow(s->hDlg, SW_SHOW);
    UpdateWindow(s->hDlg);
    Settle(s);
}

static void OnDestroy(HDLG* s)
{
    // Loads still running are released unseen when they come back.
    Job_Drop(s);
    FreeBuildings(&s->bno);
    if (s->follow)
        s->follow->hGrid2 = nullptr;
    if (s->hPicture)
        DeleteObject(s->hPicture);
    s->hPicture = nullptr;
}

static INT_PTR CALLBACK HouseDlgProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam)
{
    HDLG* s = msg == WM_INITDIALOG ? reinterpret_cast<HDLG*>(lParam) : StateOf(hDlg);
    if (!s)
        return FALSE;
    switch (msg) {
    case WM_INITDIALOG:
        return OnInit(hDlg, s);
    case WM_COMMAND:
        OnCommand(s, LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_CLOSE:
        OnCancel(s);
        return TRUE;
    case WM_HDLG_OWED:
        OnOwed(s, static_cast<int>(wParam));
        return TRUE;
    case WM_DESTROY:
        OnDestroy(s);
        return FALSE;
    }
    return FALSE;
}

INT_PTR HouseDialog_Run(ZT_MODWIN* w, int iForm, FOLLOW_LIST* pFollows)
{
    if (!w)
        return IDCANCEL;
    HDLG* s = new HDLG();
    s->w = w;
    s->p = w->p;
    s->form = iForm;
    s->follow = pFollows;
    if (iForm == HDLG_MODIFY) {
        s->slot = static_cast<tagHOUSE*>(Module_Selected(w));
        if (!s->slot) {
            ZT_MessageBox(w->hwnd, "请选择数据", "", MB_OK);
            delete s;
            return IDCANCEL;
        }
    }
    DialogBoxParamA(w->p->hInst, MAKEINTRESOURCEA(IDD_HOUSE_EDIT), w->hwnd, HouseDlgProc,
                    reinterpret_cast<LPARAM>(s));
    INT_PTR result = s->bSaved ? IDOK : IDCANCEL;
    delete s;
    return result;
}
