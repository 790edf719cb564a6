// The client edit dialog.  The boxes are described by one field table (the
// telephones by the listing telephone block, which masks them); a save
// checks the boxes in a fixed order, builds the record over the shown one
// (fields the dialog does not edit are carried over) and writes it on a
// worker behind the busy dialog.
#include "app/listings/client_dialog.h"
#include "app/listings/match_window.h"
#include "app/listings/client_dialog_ids.h"
#include "app/listings/listing_dialog.h"
#include "app/listings/listing_phones.h"
#include "app/shell/blocks.h"
#include "app/shell/caches.h"
#include "app/shell/field_table.h"
#include "app/shell/input_controls.h"
#include "app/shell/jobs.h"
#include "app/shell/rights.h"
#include "common/date.h"
#include "common/gbk.h"
#include "common/zt_box.h"

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

// The client dialog's boxes: texts and numbers of the record, each under its
// field right (a withheld right disables its boxes).
#define C(f) offsetof(tagCLIENT, f), sizeof(tagCLIENT::f)
#define CD_TEXT_R(id, f, max, right, label) {id, ZF_TEXT, C(f), max, right, label, nullptr, 0, 0}
#define CD_TEXT(id, f, max, label) CD_TEXT_R(id, f, max, ZF_NO_RIGHT, label)
// (A number 0 shows as an empty box: typing into it gives the number typed.)
#define CD_NUMBER_R(id, f, right, label) {id, ZF_INT, C(f), 10, right, label, nullptr, 0, ZFF_ZERO_EMPTY}
#define CD_NUMBER(id, f, label) CD_NUMBER_R(id, f, ZF_NO_RIGHT, label)
const ZT_FIELD kFields[] = {
    CD_TEXT(IDC_CD_TRADE, szTrade, 16, "交易"),
    CD_TEXT(IDC_CD_URBAN, szUrban, 64, "城区"),
    CD_TEXT(IDC_CD_TYPE, szHouseType, 16, "类型"),
    CD_TEXT(IDC_CD_LEVEL, szLevel, 16, "等级"),
    CD_TEXT(IDC_CD_CLIMAN, szCliMan, 256, "客户姓名"),
    CD_TEXT(IDC_CD_LINKMAN, szLinkMan, 256, "委托代理"),
    CD_NUMBER_R(IDC_CD_BUY_MIN, iMinBuy, ZT_FR_PRICE, "购价(起)"),
    CD_NUMBER_R(IDC_CD_BUY_MAX, iMaxBuy, ZT_FR_PRICE, "购价(止)"),
    CD_NUMBER_R(IDC_CD_RENT_MIN, iMinRent, ZT_FR_PRICE, "租价(起)"),
    CD_NUMBER_R(IDC_CD_RENT_MAX, iMaxRent, ZT_FR_PRICE, "租价(止)"),
    CD_NUMBER(IDC_CD_AREA_MIN, iMinArea, "面积(起)"),
    CD_NUMBER(IDC_CD_AREA_MAX, iMaxArea, "面积(止)"),
    CD_NUMBER(IDC_CD_ROOM_MIN, iMinRoom, "房型(起)"),
    CD_NUMBER(IDC_CD_ROOM_MAX, iMaxRoom, "房型(止)"),
    CD_TEXT(IDC_CD_FLOOR, szFloor, 16, "楼层"),
    CD_TEXT(IDC_CD_USAGE, szUsage, 16, "性质"),
    CD_TEXT(IDC_CD_TOWARD, szToward, 16, "朝向"),
    CD_TEXT(IDC_CD_SOURCE, szSource, 16, "来源"),
    {IDC_CD_NUMBER, ZF_TEXT, C(szClientNum), 10, ZF_NO_RIGHT, "客源编号", nullptr, 0, ZFF_NO_READ},
    CD_TEXT(IDC_CD_CITIZEN, szCitizen, 16, "身份国籍"),
    CD_TEXT(IDC_CD_DELEGATEPD, szDelegatePD, 16, "委托权限"),
    {IDC_CD_DELEGATE, ZF_DATE, C(dDelegate), 10, ZT_FR_DELEGATE, "委托日期", nullptr, 0, 0},
    CD_TEXT(IDC_CD_DECORATION, szDecoration, 16, "装修"),
    CD_TEXT(IDC_CD_LAYOUT, szLayout, 16, "配置"),
    CD_TEXT(IDC_CD_PAYMENT, szPayment, 16, "付款"),
    CD_TEXT(IDC_CD_AGENCYFEE, szAgencyFee, 16, "付佣"),
    CD_TEXT_R(IDC_CD_REMARK, szRemark, 256, ZT_FR_REMARK, "备注"),
};
const int kNumFields = sizeof(kFields) / sizeof(kFields[0]);

// Boxes the dialog fills and reads itself: only their rights come from a
// table.
#define CD_OWN(id, right, label) {id, ZF_TEXT, 0, 0, 0, right, label, nullptr, 0, 0}
const ZT_FIELD kOwnBoxes[] = {
    CD_OWN(IDC_CD_CLITEL, ZT_FR_TEL, "客户电话"),
    CD_OWN(IDC_CD_LINKTEL, ZT_FR_TEL, "联系电话"),
    CD_OWN(IDC_CD_EMPLOYEE, ZT_FR_AGENT, "员工"),
    CD_OWN(IDC_CD_BRANCH, ZT_FR_AGENT, "部门"),
    CD_OWN(IDC_CD_VIEWTEL, ZT_FR_VIEW_TEL, "看电话"),
};
const int kNumOwn = sizeof(kOwnBoxes) / sizeof(kOwnBoxes[0]);
#undef CD_OWN

// Only the telephones are masked; the names are never.
const LISTING_PHONE_BOX kPhones[] = {
    {IDC_CD_CLITEL, C(szCliTel), TRUE},
    {IDC_CD_LINKTEL, C(szLinkTel), TRUE},
};
#undef C

const int kNav[4] = {IDC_CD_NAV_FIRST, IDC_CD_NAV_PREV, IDC_CD_NAV_NEXT, IDC_CD_NAV_LAST};

// A client whose follow-up is still owed from an earlier showing asks for
// it once the form is on screen.
#define WM_CDLG_OWED (WM_APP + 121)

// Boxes whose texts tell whether the user changed anything.
const int kWatched[] = {IDC_CD_CLITEL, IDC_CD_LINKTEL, IDC_CD_BRANCH, IDC_CD_EMPLOYEE};

struct ClientDlg {
    HWND hDlg;
    ZT_MODWIN* w;
    tagZT_Main_Param* p;
    tagCLIENT* pSel;             // the record shown (modify form), in w's block
    BOOL bAdd;
    LISTING_PHONES phones;
    BOOL bFollowWritten;         // the owed follow-up has been settled (written, or kept as a debt)
    FOLLOW_LIST* follows;        // modify form: the client's follow-ups
    std::vector<std::string> shown;    // the boxes' texts as last filled
    int nSaved;
    BOOL bMatch;                 // left by "匹配房源": the match opens next
};

ClientDlg* DlgOf(HWND hDlg)
{
    return reinterpret_cast<ClientDlg*>(GetWindowLongPtrA(hDlg, DWLP_USER));
}

std::vector<int> WatchedIds()
{
    std::vector<int> ids;
    for (const ZT_FIELD& f : kFields)
        ids.push_back(f.id);
    for (int id : kWatched)
        ids.push_back(id);
    return ids;
}

std::vector<std::string> BoxTexts(HWND hDlg)
{
    std::vector<std::string> out;
    for (int id : WatchedIds()) {
        char b[1100] = "";
        Field_GetText(hDlg, id, b, sizeof(b));
        out.push_back(b);
    }
    return out;
}

// Whether the user may save the form: add clients, or modify the client
// shown under the user's scope.
BOOL MaySave(const ClientDlg* d)
{
    if (d->bAdd)
        return Rights_May(d->p, ZTM_CLIENT, ZT_OP_ADD);
    return d->pSel && Rights_MayModifyRecord(d->p, ZTM_CLIENT, d->pSel->iEmp, d->pSel->iBr);
}

// Changes the user could save: none without the right to save them.
BOOL Changed(HWND hDlg, const ClientDlg* d)
{
    return MaySave(d) && BoxTexts(hDlg) != d->shown;
}

BOOL FollowOwed(void* ctx)
{
    const ClientDlg* d = static_cast<const ClientDlg*>(ctx);
    return Phones_FollowOwed(&d->phones) && !d->bFollowWritten;
}

// ---- Filling -----------------------------------------------------------------------------------

void AddText(HWND hDlg, int id, const char* text)
{
    SendDlgItemMessageA(hDlg, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
}

void FillLists(HWND hDlg, tagZT_Main_Param* p)
{
    for (int i = 0; p->pUrban && i < Cache_UrbanSlots(p); i++)
        if (p->pUrban[i].iOrdinal)
            AddText(hDlg, IDC_CD_URBAN, p->pUrban[i].szUrban);
    Cache_ForBranches(p, [hDlg](const tagBRLIST& b) { AddText(hDlg, IDC_CD_BRANCH, b.szBr); });
    Cache_ForEmployees(p, [hDlg](const tagEMPLIST& e) { AddText(hDlg, IDC_CD_EMPLOYEE, e.szEmp); });
    if (!p->pArgcValue)
        return;
    auto h = [&](int id) { return GetDlgItem(hDlg, id); };
    ZT_ARGC_BIND house[] = {{"装修", h(IDC_CD_DECORATION), -1}, {"配置", h(IDC_CD_LAYOUT), -1},
                            {"朝向", h(IDC_CD_TOWARD), -1},     {"国籍", h(IDC_CD_CITIZEN), -1},
                            {"付佣", h(IDC_CD_AGENCYFEE), -1},  {"付款", h(IDC_CD_PAYMENT), -1}};
    ZT_ARGC_BIND client[] = {{"交易", h(IDC_CD_TRADE), -1},  {"等级", h(IDC_CD_LEVEL), -1},
                             {"性质", h(IDC_CD_USAGE), -1},  {"来源", h(IDC_CD_SOURCE), -1},
                             {"楼层", h(IDC_CD_FLOOR), -1},  {"委托权限", h(IDC_CD_DELEGATEPD), -1}};
    FillArgcCombos(p->pArgcTag, p->nArgcTag, p->pArgcName, p->nArgcName, p->pArgcValue, Cache_ParamValueSlots(p),
                   "房源参数(住宅)", house, 6);
    FillArgcCombos(p->pArgcTag, p->nArgcTag, p->pArgcName, p->nArgcName, p->pArgcValue, Cache_ParamValueSlots(p), "客源参数",
                   client, 6);
    const tagARGC* type = FindArgcName(p->pArgcTag, p->nArgcTag, p->pArgcName, p->nArgcName, "楼盘字典", "类型(房屋)");
    if (type)
        FillArgcCombo(h(IDC_CD_TYPE), p->pArgcValue, Cache_ParamValueSlots(p), type->iOrdinal);
}

void ShowStaff(HWND hDlg, const tagZT_Main_Param* p, int iBr, int iEmp)
{
    SetDlgItemTextA(hDlg, IDC_CD_BRANCH, Cache_BranchName(p, iBr));
    SetDlgItemTextA(hDlg, IDC_CD_EMPLOYEE, Cache_EmployeeName(p, iEmp));
}

// Shows a record (the modify form) or the add form's presets.
void ShowRecord(HWND hDlg, ClientDlg* d)
{
    tagZT_Main_Param* p = d->p;
    if (d->bAdd) {
        tagCLIENT blank;
        memset(&blank, 0, sizeof(blank));
        Date_Today(blank.dDelegate, sizeof(blank.dDelegate));
        Fields_Show(hDlg, kFields, kNumFields, &blank);
        Phones_Show(&d->phones, hDlg, &blank);
        ShowStaff(hDlg, p, p->pLoginBr ? p->pLoginBr->iOrdinal : 0, p->pLoginEmp ? p->pLoginEmp->iOrdinal : 0);
        Rights_RegisterBoxes(p, hDlg, ZTM_CLIENT, IDC_CD_BRANCH, IDC_CD_EMPLOYEE);
        if (!p->sys.bNumManualWrite)
            SetDlgItemTextA(hDlg, IDC_CD_NUMBER, "自动生成");
    } else {
        Fields_Show(hDlg, kFields, kNumFields, d->pSel);
        Phones_Show(&d->phones, hDlg, d->pSel);
        ShowStaff(hDlg, p, d->pSel->iBr, d->pSel->iEmp);
        Rights_RecordSave(p, hDlg, ZTM_CLIENT, d->pSel->iEmp, d->pSel->iBr);
        if (d->follows)
            FollowList_StartReload(d->follows, 0, d->pSel->iOrdinal);
        // Its follow-up is still owed from an earlier showing: asked for
        // once the form is on screen.
        if (Phones_CarryDebt(&d->phones, 0, d->pSel->iOrdinal))
            PostMessageA(hDlg, WM_CDLG_OWED, d->pSel->iOrdinal, 0);
    }
    d->shown = BoxTexts(hDlg);
}

// Takes the record the navigator (or the window) now shows.
void ShowSelected(HWND hDlg, ClientDlg* d, tagCLIENT* pSel)
{
    d->pSel = pSel;
    Phones_Init(&d->phones, kPhones, 2, d->p->sys.bCliCipher != 0, Rights_ClientField(d->p, ZT_FR_TEL_FREE));
    d->bFollowWritten = FALSE;
    ShowRecord(hDlg, d);
}

// ---- Saving ------------------------------------------------------------------------------------

// Reads the boxes into *pNew over the shown record.  -1 with the message
// shown when a box is refused.
int ReadBoxes(HWND hDlg, ClientDlg* d, tagCLIENT* pNew)
{
    tagZT_Main_Param* p = d->p;
    char trade[32], man[300], link[300], cliTel[300] = "", linkTel[300] = "";
    Field_GetText(hDlg, IDC_CD_TRADE, trade, sizeof(trade));
    Field_GetText(hDlg, IDC_CD_CLIMAN, man, sizeof(man));
    Field_GetText(hDlg, IDC_CD_LINKMAN, link, sizeof(link));
    BOOL telsRead = Phones_Readable(&d->phones);
    Phones_BoxText(&d->phones, hDlg, IDC_CD_CLITEL, cliTel, sizeof(cliTel));
    Phones_BoxText(&d->phones, hDlg, IDC_CD_LINKTEL, linkTel, sizeof(linkTel));
    int ctl = 0;
    if (const char* msg = ClientDialog_Check(trade, man, link, telsRead, cliTel, linkTel, &ctl)) {
        Field_Refuse(hDlg, ctl, msg);
        return -1;
    }
    if (d->bAdd)
        memset(pNew, 0, sizeof(*pNew));
    else
        *pNew = *d->pSel;
    Phones_Read(&d->phones, hDlg, d->bAdd ? nullptr : d->pSel, pNew);
    if (Fields_Read(hDlg, kFields, kNumFields, pNew))
        return -1;
    std::string msg;
    if (int bad = ClientDialog_CheckRanges(pNew, &msg)) {
        Field_Refuse(hDlg, bad, msg.c_str());
        return -1;
    }
    // No date is allowed (a client may have none); a typed one must be a day.
    if (pNew->dDelegate[0] && !Date_IsText(pNew->dDelegate)) {
        char msg[160];
        Date_Refusal("委托日期", msg, sizeof(msg));
        Field_Refuse(hDlg, IDC_CD_DELEGATE, msg);
        return -1;
    }
    char br[64], emp[64];
    Field_GetText(hDlg, IDC_CD_BRANCH, br, sizeof(br));
    Field_GetText(hDlg, IDC_CD_EMPLOYEE, emp, sizeof(emp));
    const tagBRLIST* b = Cache_BranchNamed(p, br);
    const tagEMPLIST* e = Cache_EmployeeNamed(p, b ? b->iOrdinal : 0, emp);
    if (!b || !e) {
        Field_Refuse(hDlg, b ? IDC_CD_EMPLOYEE : IDC_CD_BRANCH, "请选择部门和员工");
        return -1;
    }
    // A new client goes to an employee within the adder's scope.
    if (d->bAdd && !Rights_MayRegisterTo(p, ZTM_CLIENT, e->iOrdinal, b->iOrdinal)) {
        Field_Refuse(hDlg, IDC_CD_EMPLOYEE, Rights_RegisterRefusal(p, ZTM_CLIENT));
        return -1;
    }
    pNew->iBr = b->iOrdinal;
    pNew->iEmp = e->iOrdinal;
    return 0;
}

// 1 saved, 0 refused by the library (which has said why; the form keeps
// what was typed) or nothing to save, -1 a check failed.
int Save(HWND hDlg, ClientDlg* d)
{
    // Without the right to save this client nothing is saved, whichever way asked.
    if (!MaySave(d))
        return 0;
    tagCLIENT rec;
    if (ReadBoxes(hDlg, d, &rec) < 0)
        return -1;
    tagZT_Main_Param* p = d->p;
    int op = Cache_Operator(p);
    if (!d->bAdd) {
        if (memcmp(&rec, d->pSel, sizeof(rec)) == 0) {
            ZT_MessageBox(hDlg, "未做修改", "", MB_OK);
            return 0;
        }
        const tagCLIENT* old = d->pSel;
        if (Block_RunTask(hDlg, p, [&] { return FD_Upd_Cli(op, old, &rec); }) != 1)
            return 0;
        memcpy(rec.dtFollow, d->pSel->dtFollow, sizeof(rec.dtFollow));
        Client_FormatRanges(&rec);
        *d->pSel = rec;
        SendMessageA(d->w->hGrid, GRM_REDRAWSEL, 0, 0);
    } else {
        rec.szClientNum[0] = '\0';    // the library numbers every new client
        if (Block_RunTask(hDlg, p, [&] { return FD_Ist_Cli(op, &rec); }) != 1)
            return 0;
        Client_FormatRanges(&rec);
        // Stored even when the list has no free slot (the window then says
        // so and asks for a refresh): the form must not offer a second insert.
        Module_AddRecord(d->w, &rec);
    }
    d->nSaved++;
    d->shown = BoxTexts(hDlg);
    return 1;
}

// ---- Follow-ups and leaving --------------------------------------------------------------------

// The write-follow-up step: the dialog (which cannot be left empty while a
// follow-up is owed, unless its save failed: the debt is then kept for the
// client), the client's follow-up time, then the save.
void WriteFollowUp(HWND hDlg, ClientDlg* d)
{
    if (d->bAdd || !d->pSel)
        return;
    BOOL owed = FollowOwed(d);
    if (!owed && !Listing_MayWriteFollow(hDlg, d->p))
        return;
    int key = d->pSel->iOrdinal;
    BOOL written = Listing_WriteFollow(hDlg, d->p, 0, key, owed, d->follows, d->pSel->dtFollow,
                                       sizeof(d->pSel->dtFollow));
    if (written)
        SendMessageA(d->w->hGrid, GRM_REDRAWSEL, 0, 0);
    if (owed) {
        d->bFollowWritten = TRUE;
        d->phones.bDebt = FALSE;
        if (written)
            Phones_ClearDebt(0, key);
        else
            Phones_KeepDebt(0, key);    // asked again the next time the client is shown
    }
    if (Changed(hDlg, d))
        Save(hDlg, d);
}

// Leaving the shown record: unsaved changes asked about (a save that stores
// nothing keeps the record), then the owed follow-up written; it is kept
// while the follow-up is still owed.
BOOL LeaveDirty(void* ctx)
{
    ClientDlg* d = static_cast<ClientDlg*>(ctx);
    return Changed(d->hDlg, d);
}

int LeaveSave(void* ctx)
{
    ClientDlg* d = static_cast<ClientDlg*>(ctx);
    return Save(d->hDlg, d) == 1 ? 1 : -1;
}

void LeaveSettle(void* ctx)
{
    ClientDlg* d = static_cast<ClientDlg*>(ctx);
    if (FollowOwed(d))
        WriteFollowUp(d->hDlg, d);
}

BOOL MayLeave(HWND hDlg, ClientDlg* d)
{
    LISTING_LEAVE lv = {d, LeaveDirty, LeaveSave, LeaveSettle, FollowOwed};
    return Listing_MayLeave(hDlg, &lv);
}

void Navigate(HWND hDlg, ClientDlg* d, int move)
{
    if (!MayLeave(hDlg, d))
        return;
    BOOL moved = FALSE;
    tagCLIENT* next = static_cast<tagCLIENT*>(Listing_NavMove(d->w, move, &moved));
    if (moved && next)
        ShowSelected(hDlg, d, next);
}

void OnSaveButton(HWND hDlg, ClientDlg* d)
{
    if (FollowOwed(d)) {
        WriteFollowUp(hDlg, d);
        if (FollowOwed(d))
            return;
    }
    if (BoxTexts(hDlg) == d->shown && d->nSaved && !d->bAdd) {
        EndDialog(hDlg, IDOK);    // the follow-up step has saved it
        return;
    }
    if (Save(hDlg, d) == 1)
        EndDialog(hDlg, IDOK);
}

// ---- The dialog --------------------------------------------------------------------------------

void PlaceFollowList(HWND hDlg, ClientDlg* d)
{
    RECT rc = {6, 182, 446, 286};
    MapDialogRect(hDlg, &rc);
    RECT nav = {rc.left, rc.top, rc.right, rc.top + 24};
    Listing_NavToolbar(hDlg, IDC_CD_NAV, kNav, &nav);
    d->follows = new FOLLOW_LIST();
    d->follows->p = d->p;
    d->follows->hGrid = FollowList_CreateGrid(hDlg, IDC_CD_FOLLOWS, d->p);
    if (d->follows->hGrid)
        MoveWindow(d->follows->hGrid, rc.left, rc.top + 26, rc.right - rc.left, rc.bottom - rc.top - 26, FALSE);
}

BOOL OnInit(HWND hDlg, ClientDlg* d)
{
    d->hDlg = hDlg;
    SetWindowLongPtrA(hDlg, DWLP_USER, reinterpret_cast<LONG_PTR>(d));
    SetWindowTextA(hDlg, d->bAdd ? "增加客源" : "修改客源");
    FillLists(hDlg, d->p);
    Fields_Limit(hDlg, kFields, kNumFields);
    for (const LISTING_PHONE_BOX& b : kPhones)
        SendDlgItemMessageA(hDlg, b.id, EM_LIMITTEXT, LISTING_TEL_MAX, 0);
    if (!d->p->sys.bNumManualWrite || !d->bAdd)
        EnableWindow(GetDlgItem(hDlg, IDC_CD_NUMBER), FALSE);
    if (d->bAdd) {
        ShowWindow(GetDlgItem(hDlg, IDC_CD_VIEWTEL), SW_HIDE);
        ShowWindow(GetDlgItem(hDlg, IDC_CD_WRITEFOLLOW), SW_HIDE);
        ShowWindow(GetDlgItem(hDlg, IDC_CD_MATCH), SW_HIDE);
        RECT r;
        GetWindowRect(hDlg, &r);
        RECT cut = {0, 0, 0, 182 + 6};
        MapDialogRect(hDlg, &cut);
        RECT client;
        GetClientRect(hDlg, &client);
        SetWindowPos(hDlg, nullptr, 0, 0, r.right - r.left, (r.bottom - r.top) - (client.bottom - cut.bottom),
                     SWP_NOMOVE | SWP_NOZORDER);
    } else {
        SetDlgItemTextA(hDlg, IDOK, "修改(&U)");
        PlaceFollowList(hDlg, d);
    }
    Phones_Init(&d->phones, kPhones, 2, !d->bAdd && d->p->sys.bCliCipher != 0,
                Rights_ClientField(d->p, ZT_FR_TEL_FREE));
    ShowRecord(hDlg, d);
    ClientDialog_FieldRights(d->p, hDlg);
    if (!Rights_May(d->p, ZTM_HOUSE_FOLLOW, ZT_OP_ADD))
        EnableWindow(GetDlgItem(hDlg, IDC_CD_WRITEFOLLOW), FALSE);
    Block_CentreOver(hDlg, d->w->hwnd);
    return TRUE;
}

// The server allowed the view: the client is revealed if it is still the
// one shown.
void TelAllowed(void* owner, int iKey)
{
    ClientDlg* d = static_cast<ClientDlg*>(owner);
    if (d->bAdd || !d->pSel || d->pSel->iOrdinal != iKey)
        return;
    BOOL changed = BoxTexts(d->hDlg) != d->shown;
    Phones_Reveal(&d->phones, d->hDlg, d->pSel);
    if (!changed)
        d->shown = BoxTexts(d->hDlg);    // revealing is no change of the user's
}

INT_PTR CALLBACK DlgProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam)
{
    ClientDlg* d = DlgOf(hDlg);
    switch (msg) {
    case WM_INITDIALOG:
        return OnInit(hDlg, reinterpret_cast<ClientDlg*>(lParam));
    case WM_CLOSE:
        if (d && MayLeave(hDlg, d))
            EndDialog(hDlg, IDCANCEL);
        return TRUE;
    case WM_CDLG_OWED:
        // The client is on screen behind the question.
        if (d && d->pSel && d->pSel->iOrdinal == static_cast<int>(wParam) && FollowOwed(d)) {
            ShowWindow(hDlg, SW_SHOW);
            UpdateWindow(hDlg);
            WriteFollowUp(hDlg, d);
        }
        return TRUE;
    case WM_COMMAND:
        if (!d)
            return FALSE;
        switch (LOWORD(wParam)) {
        case IDOK:
            OnSaveButton(hDlg, d);
            return TRUE;
        case IDCANCEL:
            if (MayLeave(hDlg, d))
                EndDialog(hDlg, IDCANCEL);
            return TRUE;
        case IDC_CD_VIEWTEL:
            // Counted on the server first (a job); revealed when allowed.
            if (d->pSel && Rights_ClientField(d->p, ZT_FR_VIEW_TEL))
                Phones_AskView(&d->phones, d, hDlg, d->p, FALSE, d->pSel->iOrdinal, TelAllowed);
            return TRUE;
        case IDC_CD_WRITEFOLLOW:
            WriteFollowUp(hDlg, d);
            return TRUE;
        case IDC_CD_MATCH:
            // The match is a window of its own: the dialog is left first,
            // as by "取消", what was typed saved or given up on the way.
            if (!d->bAdd && d->pSel && MayLeave(hDlg, d)) {
                d->bMatch = TRUE;
                EndDialog(hDlg, IDCANCEL);
            }
            return TRUE;
        }
        if (!d->bAdd && Listing_NavOf(LOWORD(wParam), kNav) >= 0) {
            Navigate(hDlg, d, Listing_NavOf(LOWORD(wParam), kNav));
            return TRUE;
        }
        return FALSE;
    case WM_DESTROY:
        if (d)
            Job_Drop(d);    // a view on its way is released unseen
        if (d && d->follows) {
            FollowList_Free(d->follows);
            delete d->follows;
            d->follows = nullptr;
        }
        return FALSE;
    }
    return FALSE;
}

}  // namespace

const char* ClientDialog_Check(const char* pszTrade, const char* pszCliMan, const char* pszLinkMan,
                               BOOL bTelsRead, const char* pszCliTel, const char* pszLinkTel, int* piCtl)
{
    int ctl = 0;
    const char* msg = nullptr;
    if (!*pszTrade) {
        ctl = IDC_CD_TRADE;
        msg = "请选择交易";
    } else if (!*pszCliMan && !*pszLinkMan) {
        ctl = IDC_CD_CLIMAN;
        msg = "客源姓名或联系人必须填一项";
    } else if (bTelsRead && !*pszCliTel && !*pszLinkTel) {
        ctl = IDC_CD_CLITEL;
        msg = "客源电话或联系电话必须填一项";
    }
    if (piCtl)
        *piCtl = ctl;
    return msg;
}

int ClientDialog_CheckRanges(const tagCLIENT* c, std::string* pMsg)
{
    struct Range {
        int32_t from, to;
        int id;
        const char* label;
    };
    const Range ranges[] = {
        {c->iMinBuy, c->iMaxBuy, IDC_CD_BUY_MIN, "购价"},
        {c->iMinRent, c->iMaxRent, IDC_CD_RENT_MIN, "租价"},
        {c->iMinArea, c->iMaxArea, IDC_CD_AREA_MIN, "面积"},
        {c->iMinRoom, c->iMaxRoom, IDC_CD_ROOM_MIN, "房型"},
    };
    for (const Range& r : ranges)
        if (r.from && r.to && r.from > r.to) {
            if (pMsg)
                *pMsg = std::string("「") + r.label + "(起)」不能大于「" + r.label + "(止)」";
            return r.id;
        }
    return 0;
}

void Client_FormatRanges(tagCLIENT* c)
{
    snprintf(c->szPurchaseRange, sizeof(c->szPurchaseRange), "%d-%d", c->iMinBuy, c->iMaxBuy);
    snprintf(c->szRentRange, sizeof(c->szRentRange), "%d-%d", c->iMinRent, c->iMaxRent);
    snprintf(c->szAreaRange, sizeof(c->szAreaRange), "%d-%d", c->iMinArea, c->iMaxArea);
    snprintf(c->szRoomRange, sizeof(c->szRoomRange), "%d-%d", c->iMinRoom, c->iMaxRoom);
}

int ClientDialog_Run(ZT_MODWIN* w, tagCLIENT* pSel)
{
    if (!w)
        return 0;
    ClientDlg d;
    d.hDlg = nullptr;
    d.w = w;
    d.p = w->p;
    d.pSel = pSel;
    d.bAdd = pSel == nullptr;
    memset(&d.phones, 0, sizeof(d.phones));
    d.bFollowWritten = FALSE;
    d.follows = nullptr;
    d.nSaved = 0;
    d.bMatch = FALSE;
    DialogBoxParamA(w->p->hInst, MAKEINTRESOURCEA(IDD_CLIENT_EDIT), w->hwnd, DlgProc, reinterpret_cast<LPARAM>(&d));
    if (d.bMatch && d.pSel)
        MatchWindow_Houses(w->p, w->hwnd, d.pSel);
    return d.nSaved;
}

void ClientDialog_FieldRights(const tagZT_Main_Param* p, HWND hDlg)
{
    Fields_ApplyRights(hDlg, kFields, kNumFields, p, Rights_ClientField);
    Fields_ApplyRights(hDlg, kOwnBoxes, kNumOwn, p, Rights_ClientField);
}
