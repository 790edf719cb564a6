// The branch and employee dialogs of the organisation window.
#include "app/admin/org_dialogs.h"
#include "app/shell/blocks.h"
#include "app/shell/caches.h"
#include "app/shell/field_table.h"
#include "app/shell/login.h"
#include "app/shell/rights.h"
#include "app/resources/resource.h"
#include "cipher/cipher.h"
#include "common/gbk.h"
#include "common/zt_box.h"

#include <cstddef>
#include <cstring>

namespace {

#define COUNT_OF(a) static_cast<int>(sizeof(a) / sizeof((a)[0]))

void Box(HWND hOwner, const char* text)
{
    ZT_MessageBox(hOwner, text, "", MB_OK);
}

// ---- Branch dialog --------------------------------------------------------------------

#define B(f) offsetof(tagBRANCH, f), sizeof(tagBRANCH::f)
#define BR_TEXT(id, f, max, label) {id, ZF_TEXT, B(f), max, ZF_NO_RIGHT, label, nullptr, 0, 0}
const ZT_FIELD kBranchFields[] = {
    BR_TEXT(IDC_BRD_NAME, szBr, 49, "部门名称"),
    BR_TEXT(IDC_BRD_NUM, szNum, 9, "部门编号"),
    BR_TEXT(IDC_BRD_BLN, szBLN, 19, "营业执照号"),
    BR_TEXT(IDC_BRD_HOUPF, szHou_PF, 2, "房源编号前缀"),
    BR_TEXT(IDC_BRD_CLIPF, szCli_PF, 2, "客源编号前缀"),
    BR_TEXT(IDC_BRD_TEL, szTel, 36, "电话"),
    BR_TEXT(IDC_BRD_EMAIL, szEmail, 59, "邮箱"),
    BR_TEXT(IDC_BRD_ADD, szAdd, 49, "地址"),
    BR_TEXT(IDC_BRD_CTCTPF, szCTCT_PF, 2, "合同编号前缀"),
    BR_TEXT(IDC_BRD_CMSSPF, szCMSS_PF, 2, "收据编号前缀"),
};
#undef BR_TEXT
#undef B

// Stores a dialog's record on a worker: added when there is no current
// one, else changed.  FALSE when not stored (the data library has said why).
template <class R, class Ins, class Upd>
BOOL StoreOnWorker(HWND hDlg, tagZT_Main_Param* p, const R* cur, R* rec, Ins ins, Upd upd)
{
    return Block_RunTask(hDlg, p, [&]() { return cur ? upd(Cache_Operator(p), cur, rec) : ins(Cache_Operator(p), rec); }) ==
           1;
}

// Every list and form of the session offers the stored record at once.
template <class L>
void OfferToSession(HWND hDlg, tagZT_Main_Param* p, const L& listed, L* (*put)(tagZT_Main_Param*, const L*), int kind,
                    const char* what)
{
    if (!put(p, &listed))
        Cache_TellFull(hDlg, p, kind, what);
}

struct BranchDlg {
    tagZT_Main_Param* p;
    const tagBRANCH* pCur;
    tagBRANCH* pOut;
    HWND hPage;
};

INT_PTR CALLBACK PageProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

BOOL InitBranch(HWND hDlg, void* pState)
{
    BranchDlg* d = static_cast<BranchDlg*>(pState);
    SetWindowTextA(hDlg, d->pCur ? "修改部门" : "增加部门");
    d->hPage = CreateDialogParamA(d->p->hInst, MAKEINTRESOURCEA(IDD_BRANCH_PAGE), hDlg, PageProc, 0);
    RECT rc;
    GetWindowRect(GetDlgItem(hDlg, IDC_BRD_FRAME), &rc);
    MapWindowPoints(nullptr, hDlg, reinterpret_cast<POINT*>(&rc), 2);
    if (d->hPage)
        SetWindowPos(d->hPage, HWND_TOP, rc.left + 4, rc.top + 10, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    Fields_Limit(d->hPage, kBranchFields, COUNT_OF(kBranchFields));
    if (d->pCur)
        Fields_Show(d->hPage, kBranchFields, COUNT_OF(kBranchFields), d->pCur);
    SetFocus(GetDlgItem(d->hPage, IDC_BRD_NAME));
    return FALSE;
}

BOOL SaveBranch(HWND hDlg, void* pState)
{
    BranchDlg* d = static_cast<BranchDlg*>(pState);
    tagZT_Main_Param* p = d->p;
    if (!Rights_Ask(p, hDlg, ZTM_BRANCH, d->pCur ? ZT_OP_MODIFY : ZT_OP_ADD, d->pCur ? "修改部门" : "增加部门"))
        return FALSE;
    tagBRANCH b;
    if (Fields_ReadOver(d->hPage, kBranchFields, COUNT_OF(kBranchFields), d->pCur, &b))
        return FALSE;
    if (!b.szBr[0]) {
        Field_Refuse(d->hPage, IDC_BRD_NAME, "部门名称必须填");
        return FALSE;
    }
    if (!StoreOnWorker(hDlg, p, d->pCur, &b, FD_Ist_Br, FD_Upd_Br))
        return FALSE;
    *d->pOut = b;
    OfferToSession(hDlg, p, Cache_BranchOf(b), Cache_PutBranch, ZTC_BRANCH, "部门");
    return TRUE;
}

const ZT_DIALOG kBranchDialog = {IDD_BRANCH, InitBranch, SaveBranch, nullptr};

// ---- Employee dialog --------------------------------------------------------------------

#define E(f) offsetof(tagEMPLOYEE, f), sizeof(tagEMPLOYEE::f)
#define EMP_TEXT(id, f, max, label) {id, ZF_TEXT, E(f), max, ZF_NO_RIGHT, label, nullptr, 0, 0}
#define EMP_DATE(id, f, label) {id, ZF_DATE, E(f), 10, ZF_NO_RIGHT, label, nullptr, 0, 0}
const ZT_FIELD kEmpFields[] = {
    EMP_TEXT(IDC_EMPD_NAME, szEmp, 25, "员工姓名"),
    EMP_TEXT(IDC_EMPD_NUM, szNum, 10, "员工编号"),
    EMP_TEXT(IDC_EMPD_KOSEKI, szKoseki, 50, "户籍"),
    EMP_DATE(IDC_EMPD_BIRTHDAY, szBirthday, "生日"),
    EMP_TEXT(IDC_EMPD_SEX, szSex, 3, "性别"),
    EMP_TEXT(IDC_EMPD_EDU, szEdu, 10, "学历"),
    EMP_DATE(IDC_EMPD_ENROLL, szEnrollment, "入职日期"),
    EMP_TEXT(IDC_EMPD_CERT, szCertificate, 10, "证书"),
    EMP_TEXT(IDC_EMPD_STATUS, szStatus, 16, "状态"),
    EMP_TEXT(IDC_EMPD_TEL, szTel, 18, "电话"),
    EMP_TEXT(IDC_EMPD_EMAIL, szEmail, 60, "邮箱"),
    EMP_TEXT(IDC_EMPD_ADD, szAdd, 50, "地址"),
    EMP_TEXT(IDC_EMPD_RESUME, szResume, 50, "简历"),
    EMP_TEXT(IDC_EMPD_REMARK, szRemark, 256, "备注"),
    {IDC_EMPD_SALESMAN, ZF_CHECK, E(bSalesMan), 0, ZF_NO_RIGHT, "业务员", nullptr, 0, 0},
};
#undef EMP_TEXT
#undef EMP_DATE
#undef E

// The card number is stored enciphered (the short form: 120 plain bytes).
const int kCardMax = 120;

const char* const kStates[] = {"在职", "离职", "其它"};
const char* const kEducations[] = {"研究生", "本科", "大专", "高中", "初中", "其它"};
const char* const kSexes[] = {"男", "女"};
const struct {
    int id;
    const char* const* items;
    int n;
} kEmpLists[] = {
    {IDC_EMPD_STATUS, kStates, COUNT_OF(kStates)},
    {IDC_EMPD_EDU, kEducations, COUNT_OF(kEducations)},
    {IDC_EMPD_SEX, kSexes, COUNT_OF(kSexes)},
};

// Typed passwords do not outlive their use.
void Wipe(char* p, size_t cb)
{
    volatile char* v = p;
    while (cb--)
        *v++ = 0;
}

struct EmpDlg {
    EMP_DLG_ARGS a;
    tagEMPLOYEE* pOut;
};

void FillEmpLists(HWND hDlg, const EmpDlg* d)
{
    for (const auto& l : kEmpLists)
        for (int i = 0; i < l.n; i++)
            SendDlgItemMessageA(hDlg, l.id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(l.items[i]));
    for (int i = 0; d->a.pPst && i < d->a.nPstSlots; i++)
        if (d->a.pPst[i].iOrdinal)
            SendDlgItemMessageA(hDlg, IDC_EMPD_POSITION, CB_ADDSTRING, 0,
                                reinterpret_cast<LPARAM>(d->a.pPst[i].szPST));
}

const tagPostion* PositionNamed(const EmpDlg* d, const char* name)
{
    for (int i = 0; name[0] && d->a.pPst && i < d->a.nPstSlots; i++)
        if (d->a.pPst[i].iOrdinal && strcmp(d->a.pPst[i].szPST, name) == 0)
            return &d->a.pPst[i];
    return nullptr;
}

BOOL InitEmployee(HWND hDlg, void* pState)
{
    EmpDlg* d = static_cast<EmpDlg*>(pState);
    tagZT_Main_Param* p = d->a.p;
    char title[64] = "";
    LoadStringA(p->hInst, d->a.pCur ? IDS_EMP_MODIFY : IDS_EMP_ADD, title, sizeof(title));
    SetWindowTextA(hDlg, title);
    FillEmpLists(hDlg, d);
    Fields_Limit(hDlg, kEmpFields, COUNT_OF(kEmpFields));
    SendDlgItemMessageA(hDlg, IDC_EMPD_CARD, EM_LIMITTEXT, kCardMax, 0);
    SendDlgItemMessageA(hDlg, IDC_EMPD_PWD, EM_LIMITTEXT, ZT_PWD_MAX, 0);
    SendDlgItemMessageA(hDlg, IDC_EMPD_PWD2, EM_LIMITTEXT, ZT_PWD_MAX, 0);
    SetDlgItemTextA(hDlg, IDC_EMPD_BRANCH, d->a.pBr ? d->a.pBr->szBr : "");
    if (!d->a.pCur) {
        CheckDlgButton(hDlg, IDC_EMPD_SALESMAN, BST_CHECKED);
        SendDlgItemMessageA(hDlg, IDC_EMPD_STATUS, CB_SETCURSEL, 0, 0);
        SetFocus(GetDlgItem(hDlg, IDC_EMPD_NAME));
        return FALSE;
    }
    const tagEMPLOYEE* e = d->a.pCur;
    Fields_Show(hDlg, kEmpFields, COUNT_OF(kEmpFields), e);
    char card[sizeof(e->szCardNO) + 8];
    memset(card, 0, sizeof(card));
    memcpy(card, e->szCardNO, strnlen(e->szCardNO, sizeof(e->szCardNO)));
    CipherText(nullptr, card, CIPHER_DECODE);
    SetDlgItemTextA(hDlg, IDC_EMPD_CARD, card);
    const tagPostion* pst = nullptr;
    for (int i = 0; d->a.pPst && i < d->a.nPstSlots && !pst; i++)
        if (d->a.pPst[i].iOrdinal && d->a.pPst[i].iOrdinal == e->iPst)
            pst = &d->a.pPst[i];
    SetDlgItemTextA(hDlg, IDC_EMPD_POSITION, pst ? pst->szPST : "");
    EnableWindow(GetDlgItem(hDlg, IDC_EMPD_PWD), FALSE);
    EnableWindow(GetDlgItem(hDlg, IDC_EMPD_PWD2), FALSE);
    Rights_EmployeeSave(p, hDlg);
    SetFocus(GetDlgItem(hDlg, IDC_EMPD_NAME));
    return FALSE;
}

// The record the boxes describe, over the shown one.  FALSE after saying
// which box to fix.
BOOL ReadEmployee(HWND hDlg, EmpDlg* d, tagEMPLOYEE* e)
{
    char name[64];
    Field_GetText(hDlg, IDC_EMPD_POSITION, name, sizeof(name));
    const tagPostion* pst = PositionNamed(d, name);
    if (!pst) {
        Field_Refuse(hDlg, IDC_EMPD_POSITION, "请选择职位");
        return FALSE;
    }
    if (Fields_ReadOver(hDlg, kEmpFields, COUNT_OF(kEmpFields), d->a.pCur, e))
        return FALSE;
    if (!e->szEmp[0]) {
        Field_Refuse(hDlg, IDC_EMPD_NAME, "员工姓名必须填");
        return FALSE;
    }
    char card[sizeof(e->szCardNO) + 8];
    memset(card, 0, sizeof(card));
    Field_GetText(hDlg, IDC_EMPD_CARD, card, kCardMax + 1);
    CipherText(nullptr, card, CIPHER_ENCODE);
    memset(e->szCardNO, 0, sizeof(e->szCardNO));
    Gbk_CopyCut(e->szCardNO, sizeof(e->szCardNO), card);
    if (!d->a.pCur) {
        char pwd[300] = "", pwd2[300] = "";
        Field_GetText(hDlg, IDC_EMPD_PWD, pwd, ZT_PWD_MAX + 1);
        Field_GetText(hDlg, IDC_EMPD_PWD2, pwd2, ZT_PWD_MAX + 1);
        BOOL same = strcmp(pwd, pwd2) == 0, empty = !pwd[0];
        if (same && !empty) {
            CipherPwd(nullptr, pwd, CIPHER_ENCODE);
            Gbk_CopyCut(e->szPwd, sizeof(e->szPwd), pwd);
        }
        Wipe(pwd, sizeof(pwd));
        Wipe(pwd2, sizeof(pwd2));
        if (!same) {
            Field_Refuse(hDlg, IDC_EMPD_PWD, "两次密码不同,重新输入");
            return FALSE;
        }
        if (empty) {
            Field_Refuse(hDlg, IDC_EMPD_PWD, "增加用户时必须输入密码");
            return FALSE;
        }
        e->iBr = d->a.pBr ? d->a.pBr->iOrdinal : 0;
    }
    e->iPst = pst->iOrdinal;
    return TRUE;
}

BOOL SaveEmployee(HWND hDlg, void* pState)
{
    EmpDlg* d = static_cast<EmpDlg*>(pState);
    tagZT_Main_Param* p = d->a.p;
    const tagEMPLOYEE* cur = d->a.pCur;
    if (!Rights_Ask(p, hDlg, ZTM_ORG, cur ? ZT_OP_MODIFY : ZT_OP_ADD, cur ? "修改员工" : "增加员工"))
        return FALSE;
    tagEMPLOYEE e;
    if (!ReadEmployee(hDlg, d, &e))
        return FALSE;
    if (cur && memcmp(&e, cur, sizeof(e)) == 0) {
        Box(hDlg, "未做修改");
        EndDialog(hDlg, IDCANCEL);
        return FALSE;
    }
    BOOL stored = StoreOnWorker(hDlg, p, cur, &e, FD_Ist_Emp, FD_Upd_Emp);
    // The window lists employees without their password.
    Wipe(e.szPwd, sizeof(e.szPwd));
    if (!stored)
        return FALSE;
    *d->pOut = e;
    OfferToSession(hDlg, p, Cache_EmployeeOf(e), Cache_PutEmployee, ZTC_EMPLOYEE, "员工");
    return TRUE;
}

const ZT_DIALOG kEmployeeDialog = {IDD_EMPLOYEE, InitEmployee, SaveEmployee, nullptr};

}  // namespace

INT_PTR BranchDialog_Run(HWND hOwner, tagZT_Main_Param* p, const tagBRANCH* pCur, tagBRANCH* pOut)
{
    if (!p || !pOut)
        return IDCANCEL;
    BranchDlg d = {p, pCur, pOut, nullptr};
    return Block_RunDialog(hOwner, p, &kBranchDialog, &d);
}

INT_PTR EmployeeDialog_Run(HWND hOwner, const EMP_DLG_ARGS* a, tagEMPLOYEE* pOut)
{
    if (!a || !a->p || !pOut)
        return IDCANCEL;
    EmpDlg d = {*a, pOut};
    return Block_RunDialog(hOwner, a->p, &kEmployeeDialog, &d);
}
