// The positions dialog and the position form of the organisation window.
#include "app/admin/org_dialogs.h"
#include "app/admin/org_window.h"
#include "app/shell/blocks.h"
#include "app/shell/caches.h"
#include "app/shell/field_table.h"
#include "app/shell/module.h"
#include "app/shell/rights.h"
#include "app/resources/resource.h"
#include "common/zt_box.h"

#include <cstddef>
#include <cstring>

namespace {

#define P(f) offsetof(tagPostion, f), sizeof(tagPostion::f)
// Pay and level: a whole number or nothing (0); anything else is refused
// naming its box, never stored as a stand-in.
const ZT_FIELD kFields[] = {
    {IDC_PSTD_NAME, ZF_TEXT, P(szPST), 20, ZF_NO_RIGHT, "职位名称", nullptr, 0, 0},
    {IDC_PSTD_PAY, ZF_INT, P(iBasePay), 9, ZF_NO_RIGHT, "底薪", "%d", 0, 0},
    {IDC_PSTD_LEVEL, ZF_INT, P(iLevel), 9, ZF_NO_RIGHT, "级别", "%d", 0, 0},
    {IDC_PSTD_DESC, ZF_TEXT, P(szDescribe), 50, ZF_NO_RIGHT, "描述", nullptr, 0, 0},
};
#undef P
const int kNumFields = static_cast<int>(sizeof(kFields) / sizeof(kFields[0]));

const ZT_COLDEF kColumns[] = {
    ZT_COL("序号", 50, LVT_INT, 2, offsetof(tagPostion, iOrdinal)),
    ZT_COL_TEXT("职务名称", 120, 0, offsetof(tagPostion, szPST)),
    ZT_COL("底薪", 70, LVT_INT, 2, offsetof(tagPostion, iBasePay)),
    ZT_COL("级别", 50, LVT_INT, 2, offsetof(tagPostion, iLevel)),
};
const int kNumColumns = static_cast<int>(sizeof(kColumns) / sizeof(kColumns[0]));

struct PstDlg {
    tagZT_Main_Param* p;
    tagPostion* pPst;
    int nSlots;
    HWND hDlg;
};

struct PstForm {
    PstDlg* d;
    tagPostion* pSel;       // modifying; null: adding
    tagPostion stored;      // the position as stored
};

HWND Grid(const PstDlg* d)
{
    return GetDlgItem(d->hDlg, IDC_PST_GRID);
}

tagPostion* Selected(const PstDlg* d, BOOL bSay)
{
    tagPostion* sel = reinterpret_cast<tagPostion*>(SendMessageA(Grid(d), GRM_GETSEL, 0, 0));
    if (!sel && bSay)
        ZT_MessageBox(d->hDlg, "请选择数据行", "", MB_OK);
    return sel;
}

tagPostion* FreeSlot(PstDlg* d)
{
    for (int i = 0; d->pPst && i < d->nSlots; i++)
        if (d->pPst[i].iOrdinal == 0)
            return &d->pPst[i];
    return nullptr;
}

BOOL SaveForm(HWND hForm, void* pState)
{
    PstForm* f = static_cast<PstForm*>(pState);
    PstDlg* d = f->d;
    tagZT_Main_Param* p = d->p;
    if (!Rights_Ask(p, hForm, ZTM_POSITION, f->pSel ? ZT_OP_MODIFY : ZT_OP_ADD, f->pSel ? "修改职位" : "增加职位"))
        return FALSE;
    tagPostion pst;
    if (Fields_ReadOver(hForm, kFields, kNumFields, f->pSel, &pst))
        return FALSE;
    if (!pst.szPST[0]) {
        Field_Refuse(hForm, IDC_PSTD_NAME, "职位名字必须填");
        return FALSE;
    }
    tagPostion* cur = f->pSel;
    int r = Block_RunTask(hForm, p, [&]() {
        return cur ? FD_Upd_Pst(Cache_Operator(p), cur, &pst) : FD_Ist_Pst(Cache_Operator(p), &pst);
    });
    if (r != 1)
        return FALSE;                        // the data library has said why
    f->stored = pst;
    return TRUE;
}

BOOL InitForm(HWND hForm, void* pState)
{
    PstForm* f = static_cast<PstForm*>(pState);
    char title[64] = "";
    LoadStringA(f->d->p->hInst, f->pSel ? IDS_POSITION_MODIFY : IDS_POSITION_ADD, title, sizeof(title));
    SetWindowTextA(hForm, title);
    Fields_Limit(hForm, kFields, kNumFields);
    if (f->pSel)
        Fields_Show(hForm, kFields, kNumFields, f->pSel);
    return TRUE;
}

const ZT_DIALOG kForm = {IDD_POSITION, InitForm, SaveForm, nullptr};

// The form over the positions dialog; a stored position is shown at once.
void RunForm(PstDlg* d, tagPostion* sel)
{
    PstForm f = {d, sel, {}};
    if (Block_RunDialog(d->hDlg, d->p, &kForm, &f) != IDOK)
        return;
    if (sel) {
        *sel = f.stored;
        SendMessageA(Grid(d), GRM_REDRAWSEL, 0, 0);
        return;
    }
    tagPostion* slot = FreeSlot(d);
    if (!slot) {
        OrgWindow_NoRoom(d->hDlg, "职位", "刷新职位");
        return;
    }
    *slot = f.stored;
    Block_AppendRow(Grid(d), kColumns, kNumColumns, nullptr, slot);
}

void DeletePosition(PstDlg* d)
{
    tagPostion* sel = Selected(d, TRUE);
    tagZT_Main_Param* p = d->p;
    if (!sel || !Rights_Ask(p, d->hDlg, ZTM_POSITION, ZT_OP_DELETE, "删除职位") || !Block_ConfirmToBin(d->hDlg))
        return;
    if (Block_RunTask(d->hDlg, p, [&]() { return FD_Del_Pst(Cache_Operator(p), sel); }) != 1)
        return;
    SendMessageA(Grid(d), GRM_DELETESEL, 0, 0);
    memset(sel, 0, sizeof(*sel));           // the slot is free for the next position
}

BOOL InitDialog(HWND hDlg, void* pState)
{
    PstDlg* d = static_cast<PstDlg*>(pState);
    d->hDlg = hDlg;
    char title[64] = "";
    LoadStringA(d->p->hInst, IDS_POSITIONS, title, sizeof(title));
    SetWindowTextA(hDlg, title);
    HWND grid = Grid(d);
    SendMessageA(grid, GRM_SETCURSOR, 0, reinterpret_cast<LPARAM>(d->p->hGridCursor));
    Block_AddColumns(grid, kColumns, kNumColumns);
    Block_FillGrid(grid, kColumns, kNumColumns, nullptr, d->pPst, d->pPst ? d->nSlots : 0, sizeof(tagPostion),
                   offsetof(tagPostion, iOrdinal), nullptr);
    Rights_PositionButtons(d->p, hDlg);
    return TRUE;
}

// The dialog's buttons; it has no "确定" (its "关闭(&C)" cancels).
BOOL OnMessage(HWND hDlg, void* pState, UINT msg, WPARAM wParam, LPARAM, INT_PTR* pResult)
{
    PstDlg* d = static_cast<PstDlg*>(pState);
    if (msg != WM_COMMAND)
        return FALSE;
    switch (LOWORD(wParam)) {
    case IDC_PST_ADD:
        RunForm(d, nullptr);
        break;
    case IDC_PST_MODIFY:
        if (tagPostion* sel = Selected(d, TRUE))
            RunForm(d, sel);
        break;
    case IDC_PST_DELETE:
        DeletePosition(d);
        break;
    case IDC_PST_GRID:
        if (HIWORD(wParam) == GRN_DBLCLK && IsWindowEnabled(GetDlgItem(hDlg, IDC_PST_MODIFY)))
            if (tagPostion* sel = Selected(d, FALSE))
                RunForm(d, sel);
        break;
    case IDC_PST_CLOSE:
    case IDOK:
        SendMessageA(Grid(d), GRM_CLEAR, 0, 0);
        EndDialog(hDlg, IDCANCEL);
        break;
    default:
        return FALSE;
    }
    *pResult = TRUE;
    return TRUE;
}

const ZT_DIALOG kPositions = {IDD_POSITIONS, InitDialog, nullptr, OnMessage};

}  // namespace

void PositionsDialog_Run(HWND hOwner, tagZT_Main_Param* p, tagPostion* pPst, int nPstSlots)
{
    if (!p)
        return;
    PstDlg d = {p, pPst, nPstSlots, nullptr};
    Block_RunDialog(hOwner, p, &kPositions, &d);
}
