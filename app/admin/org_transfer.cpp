// "员工转移": the employee whose houses, clients and follow-ups go, the
// branch and the employee they go to.
#include "app/admin/org_dialogs.h"
#include "app/shell/blocks.h"
#include "app/shell/caches.h"
#include "app/shell/field_table.h"
#include "app/shell/input_controls.h"
#include "app/shell/rights.h"
#include "app/resources/resource.h"
#include "common/zt_box.h"

#include <cstdio>
#include <cstring>

namespace {

struct TransferDlg {
    tagZT_Main_Param* p;
    const tagEMPLOYEE* pFrom;
    const tagBRANCH* pBr;
    int nBrSlots;
    tagEMPLIST* pEmp;            // every live employee, read when the dialog opens
    int nEmp;
};

const tagBRANCH* BranchNamed(const TransferDlg* d, const char* name)
{
    for (int i = 0; name[0] && d->pBr && i < d->nBrSlots; i++)
        if (d->pBr[i].iOrdinal && strcmp(d->pBr[i].szBr, name) == 0)
            return &d->pBr[i];
    return nullptr;
}

const tagEMPLIST* EmployeeNamed(const TransferDlg* d, int iBr, const char* name)
{
    return static_cast<const tagEMPLIST*>(FindEmp(d->pEmp, nullptr, 0, name, d->nEmp, sizeof(tagEMPLIST), iBr));
}

// The employees of the branch chosen, the one who leaves excepted.
void FillEmployees(HWND hDlg, const TransferDlg* d)
{
    char name[64];
    Field_GetText(hDlg, IDC_TRF_BRANCH, name, sizeof(name));
    const tagBRANCH* br = BranchNamed(d, name);
    HWND h = GetDlgItem(hDlg, IDC_TRF_EMP);
    SendMessageA(h, CB_RESETCONTENT, 0, 0);
    SetWindowTextA(h, "");
    for (int i = 0; br && d->pEmp && i < d->nEmp; i++)
        if (d->pEmp[i].iOrdinal && d->pEmp[i].iBr == br->iOrdinal && d->pEmp[i].iOrdinal != d->pFrom->iOrdinal)
            SendMessageA(h, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(d->pEmp[i].szEmp));
    SendMessageA(h, CB_SETCURSEL, 0, 0);
}

BOOL InitDialog(HWND hDlg, void* pState)
{
    TransferDlg* d = static_cast<TransferDlg*>(pState);
    char who[160];
    snprintf(who, sizeof(who), "把「%s」的房源、客源和跟进转给:", d->pFrom->szEmp);
    SetDlgItemTextA(hDlg, IDC_TRF_WHO, who);
    HWND h = GetDlgItem(hDlg, IDC_TRF_BRANCH);
    for (int i = 0; d->pBr && i < d->nBrSlots; i++)
        if (d->pBr[i].iOrdinal)
            SendMessageA(h, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(d->pBr[i].szBr));
    for (int i = 0; d->pBr && i < d->nBrSlots; i++)
        if (d->pBr[i].iOrdinal == d->pFrom->iBr)
            SetWindowTextA(h, d->pBr[i].szBr);
    FillEmployees(hDlg, d);
    return TRUE;
}

BOOL Transfer(HWND hDlg, void* pState)
{
    TransferDlg* d = static_cast<TransferDlg*>(pState);
    tagZT_Main_Param* p = d->p;
    char brName[64], empName[64];
    Field_GetText(hDlg, IDC_TRF_BRANCH, brName, sizeof(brName));
    Field_GetText(hDlg, IDC_TRF_EMP, empName, sizeof(empName));
    const tagBRANCH* br = BranchNamed(d, brName);
    const tagEMPLIST* to = br ? EmployeeNamed(d, br->iOrdinal, empName) : nullptr;
    if (!br || !to) {
        Field_Refuse(hDlg, br ? IDC_TRF_EMP : IDC_TRF_BRANCH, "请选择转入的部门和员工");
        return FALSE;
    }
    if (to->iOrdinal == d->pFrom->iOrdinal) {
        Field_Refuse(hDlg, IDC_TRF_EMP, "不能转给同一员工");
        return FALSE;
    }
    char ask[256];
    snprintf(ask, sizeof(ask), "把「%s」的全部房源、客源和跟进转给「%s」(%s), 是否继续?", d->pFrom->szEmp, to->szEmp,
             br->szBr);
    if (ZT_MessageBox(hDlg, ask, "员工转移", MB_OKCANCEL | MB_ICONQUESTION) != IDOK)
        return FALSE;
    tagTRANSFER moved = {};
    int from = d->pFrom->iOrdinal, toKey = to->iOrdinal, toBr = br->iOrdinal;
    if (Block_RunTask(hDlg, p, [&]() { return FD_Transfer_Emp(Cache_Operator(p), from, toKey, toBr, &moved); }) != 1)
        return FALSE;                        // the data library has said why; nothing moved
    char done[256];
    snprintf(done, sizeof(done), "员工转移完成: 房源 %d 条, 客源 %d 条, 跟进 %d 条, 提醒 %d 条已转给「%s」.",
             moved.nHouses, moved.nClients, moved.nFollows, moved.nReminds, to->szEmp);
    ZT_MessageBox(hDlg, done, "员工转移", MB_OK);
    return TRUE;
}

// Choosing a branch lists its employees.
BOOL OnMessage(HWND hDlg, void* pState, UINT msg, WPARAM wParam, LPARAM, INT_PTR* pResult)
{
    if (msg != WM_COMMAND || LOWORD(wParam) != IDC_TRF_BRANCH || HIWORD(wParam) != ZTCBN_CHOSEN)
        return FALSE;
    FillEmployees(hDlg, static_cast<TransferDlg*>(pState));
    *pResult = TRUE;
    return TRUE;
}

const ZT_DIALOG kTransfer = {IDD_TRANSFER, InitDialog, Transfer, OnMessage, ZTM_ORG, ZT_OP_MODIFY, "员工转移"};

}  // namespace

INT_PTR TransferDialog_Run(HWND hOwner, tagZT_Main_Param* p, const tagEMPLOYEE* pFrom, const tagBRANCH* pBr,
                           int nBrSlots)
{
    if (!p || !pFrom)
        return IDCANCEL;
    TransferDlg d = {p, pFrom, pBr, nBrSlots, nullptr, 0};
    if (Block_RunTask(hOwner, p, [&]() { return FD_Sct_EmpList(&d.pEmp, &d.nEmp, 0) && d.pEmp ? 1 : 0; }) != 1)
        return IDCANCEL;
    INT_PTR r = Block_RunDialog(hOwner, p, &kTransfer, &d);
    Mem_Free_EmpList(d.pEmp);
    return r;
}
