#include "app/admin/org_window.h"
#include "app/admin/org_dialogs.h"
#include "app/shell/blocks.h"
#include "app/shell/caches.h"
#include "app/shell/rights.h"
#include "cipher/cipher.h"
#include "common/gbk.h"
#include "common/zt_box.h"

#include <commctrl.h>
#include <cstddef>
#include <cstdio>
#include <cstring>

// Posted by the first load when the presets or the positions could not be
// read: wParam 1 presets, 2 positions.  The window says so and closes.
#define WM_ORG_OPEN_FAILED (WM_APP + 81)

namespace {

const char kInitialPassword[] = "482913";

ORG_WINDOW* State(const ZT_MODWIN* w)
{
    return static_cast<ORG_WINDOW*>(w->pState);
}

template <class T> T* FindSlot(T* block, int nSlots, int iKey)
{
    for (int i = 0; block && i < nSlots; i++)
        if (block[i].iOrdinal == iKey)
            return &block[i];
    return nullptr;
}

void Box(ZT_MODWIN* w, const char* text)
{
    ZT_MessageBox(w->hwnd, text, "", MB_OK);
}

// ---- Opening --------------------------------------------------------------------------

// Worker: the two presets (the manager's first) and the positions.  0 when
// both were read, else what failed (WM_ORG_OPEN_FAILED).
int OpenLoads(ZT_MODWIN* w)
{
    ORG_WINDOW* st = State(w);
    char manager[512] = "", salesman[512] = "";
    int cliS = 0, houS = 0, cliM = 0, houM = 0;
    if (!FD_Sct_DefPD(manager, salesman, &cliS, &houS, &cliM, &houM, -1))
        return 1;
    ORG_GRANT s, m;
    OrgGrant_Parse(salesman, cliS, houS, &s);
    OrgGrant_Parse(manager, cliM, houM, &m);
    OrgPanel_SetPresets(st->panel, s, m);
    tagPostion* pst = nullptr;
    int n = 0;
    if (!FD_Sct_Pst(&pst, &n, 0) || !pst)
        return 2;
    st->pPst = pst;
    st->nPstSlots = n + 101;
    return 0;
}

// ---- The tree --------------------------------------------------------------------------

HTREEITEM AddItem(HWND hTree, HTREEITEM hParent, const char* pszText, int iKey)
{
    TVINSERTSTRUCTA ins;
    memset(&ins, 0, sizeof(ins));
    ins.hParent = hParent;
    ins.hInsertAfter = TVI_LAST;
    ins.item.mask = TVIF_TEXT | TVIF_PARAM;
    ins.item.pszText = const_cast<char*>(pszText);
    ins.item.lParam = iKey;
    return reinterpret_cast<HTREEITEM>(SendMessageA(hTree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&ins)));
}

int ItemKey(HWND hTree, HTREEITEM h)
{
    TVITEMA item;
    memset(&item, 0, sizeof(item));
    item.mask = TVIF_PARAM | TVIF_HANDLE;
    item.hItem = h;
    return h && SendMessageA(hTree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)) ? static_cast<int>(item.lParam)
                                                                                      : 0;
}

HTREEITEM ItemOf(HWND hTree, HTREEITEM hParent, int iKey)
{
    HTREEITEM h = reinterpret_cast<HTREEITEM>(
        SendMessageA(hTree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(hParent)));
    for (; h; h = reinterpret_cast<HTREEITEM>(SendMessageA(hTree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(h))))
        if (ItemKey(hTree, h) == iKey)
            return h;
    return nullptr;
}

void Select(HWND hTree, HTREEITEM h)
{
    SendMessageA(hTree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(h));
}

// Worker: the branches again, under the root, which is selected (and so
// its first branch).
void FillTree(ZT_MODWIN* w)
{
    ORG_WINDOW* st = State(w);
    st->bTreeFilled = TRUE;
    SendMessageA(w->hTree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    st->hRoot = nullptr;
    st->iBr = 0;
    if (st->pBr)
        Mem_Free_Br(st->pBr);
    st->pBr = nullptr;
    st->nBrSlots = 0;
    tagBRANCH* list = nullptr;
    int n = 0;
    if (FD_Sct_Br(&list, &n, 0) && list) {
        st->pBr = list;
        st->nBrSlots = n + 101;
    }
    st->hRoot = AddItem(w->hTree, TVI_ROOT, "所有部门", 0);
    for (int i = 0; st->pBr && i < st->nBrSlots; i++)
        if (st->pBr[i].iOrdinal)
            AddItem(w->hTree, st->hRoot, st->pBr[i].szBr, st->pBr[i].iOrdinal);
    SendMessageA(w->hTree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(st->hRoot));
    Select(w->hTree, st->hRoot);
}

// The root hands the selection to its first branch; a branch becomes the
// current one and its employees are loaded (by the running load when the
// selection comes from it).
void OnTreeSelection(ZT_MODWIN* w, HTREEITEM h)
{
    ORG_WINDOW* st = State(w);
    int key = ItemKey(w->hTree, h);
    if (h && key == 0) {
        HTREEITEM first = reinterpret_cast<HTREEITEM>(
            SendMessageA(w->hTree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(h)));
        if (first) {
            Select(w->hTree, first);
            return;
        }
    }
    if (key == st->iBr && (key || !h))
        return;
    st->iBr = key;
    if (!w->bBusy)
        Module_Refresh(w);
}

void OnTreeRightClick(ZT_MODWIN* w)
{
    TVHITTESTINFO hit;
    memset(&hit, 0, sizeof(hit));
    GetCursorPos(&hit.pt);
    ScreenToClient(w->hTree, &hit.pt);
    HTREEITEM h = reinterpret_cast<HTREEITEM>(SendMessageA(w->hTree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    if (!h)
        return;
    Select(w->hTree, h);
    Block_ContextMenu(w->hwnd, w->p, CTXPOS_BRANCH);
}

// ---- Hooks ---------------------------------------------------------------------------------

BOOL Load(ZT_MODWIN* w, ZT_RECSET* rs)
{
    ORG_WINDOW* st = State(w);
    if (!Rights_MayLoadOrg(w->p))
        return FALSE;
    if (!st->bOpened) {
        if (int failed = OpenLoads(w)) {
            PostMessageA(w->hwnd, WM_ORG_OPEN_FAILED, failed, 0);
            return FALSE;
        }
        st->bOpened = TRUE;
    }
    if (!st->bTreeFilled)
        FillTree(w);
    tagBRANCH* br = OrgWindow_Branch(w, st->iBr);
    if (!st->iBr || !br)
        return FALSE;                        // no branch: an empty list
    tagEMPLOYEE* list = nullptr;
    int n = 0;
    if (!FD_Sct_Emp(br, &list, &n) || !list)
        return FALSE;
    rs->pBlock = list;
    rs->nRows = n;
    rs->nSlots = n + 101;
    return TRUE;
}

void Free(void* block)
{
    Mem_Free_Emp(static_cast<tagEMPLOYEE*>(block));
}

int Delete(int iOpEmp, const void* rec)
{
    return FD_Del_Emp(iOpEmp, static_cast<const tagEMPLOYEE*>(rec));
}

BOOL May(const tagZT_Main_Param* p, int iCmd)
{
    return Rights_OrgCommand(p, iCmd);
}

BOOL Create(ZT_MODWIN* w)
{
    State(w)->panel = OrgPanel_Create(w->hwnd, w->p);
    return State(w)->panel != nullptr;
}

// The panel under the grid, the grid above it.
void Layout(ZT_MODWIN* w, RECT* rc)
{
    ORG_WINDOW* st = State(w);
    if (!st->panel)
        return;
    int h = OrgPanel_Height(st->panel);
    if (h > (rc->bottom - rc->top) * 2 / 3)
        h = (rc->bottom - rc->top) * 2 / 3;
    OrgPanel_Move(st->panel, rc->left, rc->bottom - h, rc->right - rc->left, h);
    rc->bottom -= h + 2;
}

void Destroy(ZT_MODWIN* w)
{
    ORG_WINDOW* st = State(w);
    OrgPanel_Destroy(st->panel);
    st->panel = nullptr;
    if (st->pBr)
        Mem_Free_Br(st->pBr);
    if (st->pPst)
        Mem_Free_Pst(st->pPst);
    st->pBr = nullptr;
    st->pPst = nullptr;
}

// The selected employee's permissions on the page (nothing ticked without one).
void OnSelChange(ZT_MODWIN* w)
{
    if (!State(w)->panel)
        return;
    const tagEMPLOYEE* e = static_cast<const tagEMPLOYEE*>(Module_Selected(w));
    ORG_GRANT g;
    OrgGrant_Clear(&g);
    if (e) {
        char plain[1100];
        memset(plain, 0, sizeof(plain));
        Gbk_CopyCut(plain, sizeof(tagEMPLOYEE::szValue), e->szValue);
        CipherLongText(nullptr, plain, CIPHER_DECODE);
        OrgGrant_Parse(plain, e->iCliReadRecordMax, e->iHouReadRecordMax, &g);
    }
    OrgPanel_Show(State(w)->panel, g);
}

LRESULT OnMessage(ZT_MODWIN* w, UINT msg, WPARAM wParam, LPARAM lParam, BOOL* pDone)
{
    if (msg == WM_ORG_OPEN_FAILED) {
        *pDone = TRUE;
        Box(w, wParam == 1 ? "初始化权限错误" : "数据库发生错误.");
        PostMessageA(w->hwnd, WM_COMMAND, ID_MODULE_EXIT, 0);
        return 0;
    }
    if (msg == WM_NOTIFY) {
        const NMHDR* nh = reinterpret_cast<const NMHDR*>(lParam);
        if (nh && nh->hwndFrom == w->hTree && nh->code == NM_RCLICK) {
            OnTreeRightClick(w);
            *pDone = TRUE;
            return TRUE;
        }
    }
    return 0;
}

// ---- Branch commands ------------------------------------------------------------------

tagBRANCH* CurrentBranch(ZT_MODWIN* w, BOOL bSay)
{
    tagBRANCH* br = State(w)->iBr ? OrgWindow_Branch(w, State(w)->iBr) : nullptr;
    if (!br && bSay)
        Box(w, "请选择部门");
    return br;
}

void CmdBranchAdd(ZT_MODWIN* w, void*, const void*)
{
    ORG_WINDOW* st = State(w);
    tagBRANCH b;
    if (BranchDialog_Run(w->hwnd, w->p, nullptr, &b) != IDOK)
        return;
    tagBRANCH* slot = OrgWindow_Branch(w, 0);
    if (!slot || !st->hRoot) {
        OrgWindow_NoRoom(w->hwnd, "部门", "刷新部门");
        return;
    }
    *slot = b;
    BOOL first = !SendMessageA(w->hTree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(st->hRoot));
    HTREEITEM h = AddItem(w->hTree, st->hRoot, slot->szBr, slot->iOrdinal);
    SendMessageA(w->hTree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(st->hRoot));
    if (first && h)
        Select(w->hTree, h);
}

void CmdBranchModify(ZT_MODWIN* w, void*, const void*)
{
    tagBRANCH* br = CurrentBranch(w, TRUE);
    tagBRANCH b;
    if (!br || BranchDialog_Run(w->hwnd, w->p, br, &b) != IDOK)
        return;
    *br = b;
    HTREEITEM h = ItemOf(w->hTree, State(w)->hRoot, b.iOrdinal);
    TVITEMA item;
    memset(&item, 0, sizeof(item));
    item.mask = TVIF_TEXT | TVIF_HANDLE;
    item.hItem = h;
    item.pszText = br->szBr;
    if (h)
        SendMessageA(w->hTree, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

int DeleteBranchTask(ZT_MODWIN* w, void* br)
{
    return FD_Del_Br(Cache_Operator(w->p), static_cast<tagBRANCH*>(br)) == 1 ? 1 : 0;
}

void CmdBranchDelete(ZT_MODWIN* w, void*, const void*)
{
    ORG_WINDOW* st = State(w);
    tagBRANCH* br = CurrentBranch(w, TRUE);
    if (!br || !Block_ConfirmDelete(w->hwnd) || Module_RunTask(w, DeleteBranchTask, br) != 1)
        return;
    HTREEITEM h = ItemOf(w->hTree, st->hRoot, br->iOrdinal);
    memset(br, 0, sizeof(*br));
    if (h)
        SendMessageA(w->hTree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(h));
    Select(w->hTree, st->hRoot);
}

void CmdBranchRefresh(ZT_MODWIN* w, void*, const void*)
{
    State(w)->bTreeFilled = FALSE;
    Module_Refresh(w);
}

// ---- Employee commands ------------------------------------------------------------------

EMP_DLG_ARGS DialogArgs(ZT_MODWIN* w, const tagEMPLOYEE* cur, const tagBRANCH* br)
{
    ORG_WINDOW* st = State(w);
    return EMP_DLG_ARGS{w->p, cur, br, st->pPst, st->nPstSlots};
}

void CmdEmpAdd(ZT_MODWIN* w, void*, const void*)
{
    tagBRANCH* br = CurrentBranch(w, TRUE);
    if (!br)
        return;
    EMP_DLG_ARGS a = DialogArgs(w, nullptr, br);
    tagEMPLOYEE e;
    if (EmployeeDialog_Run(w->hwnd, &a, &e) != IDOK)
        return;
    if (!OrgWindow_Employee(w, 0)) {
        OrgWindow_NoRoom(w->hwnd, "员工", "刷新");
        return;
    }
    Module_AddRecord(w, &e);
}

void CmdEmpModify(ZT_MODWIN* w, void* sel, const void*)
{
    tagEMPLOYEE* cur = static_cast<tagEMPLOYEE*>(sel);
    EMP_DLG_ARGS a = DialogArgs(w, cur, OrgWindow_Branch(w, cur->iBr));
    tagEMPLOYEE e;
    if (EmployeeDialog_Run(w->hwnd, &a, &e) != IDOK)
        return;
    *cur = e;
    SendMessageA(w->hGrid, GRM_REDRAWSEL, 0, 0);
}

void CmdPositions(ZT_MODWIN* w, void*, const void*)
{
    ORG_WINDOW* st = State(w);
    PositionsDialog_Run(w->hwnd, w->p, st->pPst, st->pPst ? st->nPstSlots : 0);
    InvalidateRect(w->hGrid, nullptr, TRUE);    // the position names follow
}

int PositionsTask(ZT_MODWIN* w, void*)
{
    ORG_WINDOW* st = State(w);
    tagPostion* pst = nullptr;
    int n = 0;
    if (!FD_Sct_Pst(&pst, &n, 0) || !pst)
        return 0;
    // The grid's position names point into the old block: it goes after the
    // employees are listed again.
    SendMessageA(w->hGrid, GRM_CLEAR, 0, 0);
    if (st->pPst)
        Mem_Free_Pst(st->pPst);
    st->pPst = pst;
    st->nPstSlots = n + 101;
    return 1;
}

void CmdPositionRefresh(ZT_MODWIN* w, void*, const void*)
{
    if (Module_RunTask(w, PositionsTask, nullptr) < 0)
        return;
    Module_Refresh(w);
}

struct ResetArgs {
    int iEmp;
    char szPwd[300];
};

int ResetTask(ZT_MODWIN* w, void* arg)
{
    ResetArgs* a = static_cast<ResetArgs*>(arg);
    return FD_Pwd_Reset(Cache_Operator(w->p), a->iEmp, a->szPwd) == 1 ? 1 : 0;
}

void CmdResetPwd(ZT_MODWIN* w, void* sel, const void*)
{
    const tagEMPLOYEE* e = static_cast<const tagEMPLOYEE*>(sel);
    if (e->iOrdinal == 1) {
        Box(w, "管理员密码不能重置");
        return;
    }
    if (e->iOrdinal == Cache_Operator(w->p))
        return;                              // one's own password is changed, not reset
    ResetArgs a;
    memset(&a, 0, sizeof(a));
    a.iEmp = e->iOrdinal;
    strcpy(a.szPwd, kInitialPassword);
    CipherPwd(nullptr, a.szPwd, CIPHER_ENCODE);
    char name[sizeof(e->szEmp)];
    memcpy(name, e->szEmp, sizeof(name));
    if (Module_RunTask(w, ResetTask, &a) != 1)
        return;
    char text[160];
    snprintf(text, sizeof(text), "密码重置成功.%s当前密码:%s", name, kInitialPassword);
    Box(w, text);
}

void CmdTransfer(ZT_MODWIN* w, void* sel, const void*)
{
    ORG_WINDOW* st = State(w);
    TransferDialog_Run(w->hwnd, w->p, static_cast<const tagEMPLOYEE*>(sel), st->pBr, st->pBr ? st->nBrSlots : 0);
}

// ---- Granting --------------------------------------------------------------------------

struct GrantArgs {
    int iEmp;
    char szValue[1100];
    int32_t iCli, iHou;
};

int GrantTask(ZT_MODWIN* w, void* arg)
{
    GrantArgs* a = static_cast<GrantArgs*>(arg);
    return FD_Upd_EmpPD(Cache_Operator(w->p), a->iEmp, a->szValue, a->iCli, a->iHou) == 1 ? 1 : 0;
}

void CmdGrant(ZT_MODWIN* w, void*, const void*)
{
    tagEMPLOYEE* e = static_cast<tagEMPLOYEE*>(Module_Selected(w));
    if (!e) {
        Box(w, "请选择用户");
        return;
    }
    ORG_GRANT g;
    if (!OrgPanel_Read(State(w)->panel, &g))
        return;
    GrantArgs* a = new GrantArgs();
    a->iEmp = e->iOrdinal;
    std::string value = OrgGrant_Compose(g, &a->iCli, &a->iHou);
    Gbk_CopyCut(a->szValue, 257, value.c_str());     // the long form's 256 plain bytes
    CipherLongText(nullptr, a->szValue, CIPHER_ENCODE);
    int r = Module_RunTask(w, GrantTask, a);
    if (r == 1 && strlen(a->szValue) < sizeof(e->szValue)) {
        memset(e->szValue, 0, sizeof(e->szValue));
        memcpy(e->szValue, a->szValue, strlen(a->szValue));
        e->iCliReadRecordMax = a->iCli;
        e->iHouReadRecordMax = a->iHou;
    }
    delete a;
    if (r >= 0)
        Box(w, r == 1 ? "授权成功, 授权用户在下次登陆时生效" : "授权失败");
}

// ---- Tables -------------------------------------------------------------------------------

const void* PositionName(const ZT_MODWIN* w, const void* rec)
{
    const tagPostion* pst = OrgWindow_Position(const_cast<ZT_MODWIN*>(w),
                                               static_cast<const tagEMPLOYEE*>(rec)->iPst);
    return pst && static_cast<const tagEMPLOYEE*>(rec)->iPst ? pst->szPST : "";
}

#define ORG_BUTTON(cmd, image, text) {cmd, image, text, 0, cmd}
const ZT_TBDEF kButtons[] = {
    ORG_BUTTON(ID_ORG_BRANCH_ADD, ZTIMG_BR_ADD, "增加部门"),
    ORG_BUTTON(ID_ORG_BRANCH_MODIFY, ZTIMG_BR_EDIT, "修改部门"),
    ORG_BUTTON(ID_ORG_BRANCH_DELETE, ZTIMG_BR_DEL, "删除部门"),
    {ID_ORG_BRANCH_REFRESH, ZTIMG_BR_REFRESH, "刷新部门", 0, ZT_NO_RIGHT},
    ZT_TB_SEP,
    ORG_BUTTON(ID_ORG_EMP_ADD, ZTIMG_EMP_ADD, "增加员工"),
    {ID_ORG_EMP_MODIFY, ZTIMG_EMP_EDIT, "修改员工", 0, ZT_NO_RIGHT},
    ORG_BUTTON(ID_ORG_EMP_DELETE, ZTIMG_EMP_DEL, "删除员工"),
    ORG_BUTTON(ID_ORG_PWD_RESET, ZTIMG_RESET_PWD, "重置密码"),
    ZT_TB_SEP,
    ORG_BUTTON(ID_ORG_POSITIONS, ZTIMG_POSITIONS, "职位管理"),
    {ID_ORG_POSITION_REFRESH, ZTIMG_POS_REFRESH, "刷新职位", 0, ZT_NO_RIGHT},
    ZT_TB_SEP,
    ORG_BUTTON(ID_ORG_EMP_TRANSFER, ZTIMG_EMP_TRANSFER, "员工转移"),
    ORG_BUTTON(ID_ORG_MERGE, ZTIMG_MERGE, "合并数据"),
    ZT_TB_SEP,
    ZT_TB_CLOSING,
};
#undef ORG_BUTTON

const ZT_COLDEF kColumns[] = {
    ZT_COL_TEXT("编号", 60, 0, offsetof(tagEMPLOYEE, szNum)),
    ZT_COL_TEXT("员工", 100, 0, offsetof(tagEMPLOYEE, szEmp)),
    ZT_COL_LOOKUP("职务", 100, 0, PositionName),
    ZT_COL_TEXT("邮箱地址", 100, 0, offsetof(tagEMPLOYEE, szEmail)),
    ZT_COL_TEXT("状态", 100, 0, offsetof(tagEMPLOYEE, szStatus)),
    ZT_COL_TEXT("电话", 100, 0, offsetof(tagEMPLOYEE, szTel)),
    ZT_COL_TEXT("备注", 100, 0, offsetof(tagEMPLOYEE, szRemark)),
    ZT_COL_TEXT("生日", 100, 0, offsetof(tagEMPLOYEE, szBirthday)),
};

const ZT_CMDDEF kCommands[] = {
    {ID_ORG_BRANCH_ADD, CmdBranchAdd, 0, ID_ORG_BRANCH_ADD, nullptr},
    {ID_ORG_BRANCH_MODIFY, CmdBranchModify, 0, ID_ORG_BRANCH_MODIFY, nullptr},
    {ID_ORG_BRANCH_DELETE, CmdBranchDelete, 0, ID_ORG_BRANCH_DELETE, nullptr},
    {ID_ORG_BRANCH_REFRESH, CmdBranchRefresh, 0, ZT_NO_RIGHT, nullptr},
    {ID_ORG_EMP_ADD, CmdEmpAdd, 0, ID_ORG_EMP_ADD, nullptr},
    {ID_ORG_EMP_MODIFY, CmdEmpModify, ZT_CMD_NEEDSEL, ZT_NO_RIGHT, "选择要修改的数据"},
    {ID_ORG_EMP_DELETE, Module_CmdDelete, ZT_CMD_NEEDSEL | ZT_CMD_CONFIRM, ID_ORG_EMP_DELETE, "选择要删除的数据"},
    {ID_ORG_POSITIONS, CmdPositions, 0, ID_ORG_POSITIONS, nullptr},
    {ID_ORG_POSITION_REFRESH, CmdPositionRefresh, 0, ZT_NO_RIGHT, nullptr},
    {ID_ORG_PWD_RESET, CmdResetPwd, ZT_CMD_NEEDSEL, ID_ORG_PWD_RESET, "请选择用户"},
    {ID_ORG_EMP_TRANSFER, CmdTransfer, ZT_CMD_NEEDSEL, ID_ORG_EMP_TRANSFER, "请选择用户"},
    {ID_ORG_MERGE, nullptr, 0, ID_ORG_MERGE, nullptr},
    {IDC_PD_GRANT, CmdGrant, 0, IDC_PD_GRANT, nullptr},
};

}  // namespace

tagBRANCH* OrgWindow_Branch(ZT_MODWIN* w, int iKey)
{
    ORG_WINDOW* st = State(w);
    return FindSlot(st->pBr, st->nBrSlots, iKey);
}

tagPostion* OrgWindow_Position(ZT_MODWIN* w, int iKey)
{
    ORG_WINDOW* st = State(w);
    return FindSlot(st->pPst, st->nPstSlots, iKey);
}

tagEMPLOYEE* OrgWindow_Employee(ZT_MODWIN* w, int iKey)
{
    return FindSlot(static_cast<tagEMPLOYEE*>(w->rs.pBlock), w->rs.nSlots, iKey);
}

void OrgWindow_NoRoom(HWND hOwner, const char* pszWhat, const char* pszRefresh)
{
    char text[256];
    snprintf(text, sizeof(text), "%s已保存, 但本窗口的空位已用完, 不能显示它.\n请点「%s」后查看.", pszWhat, pszRefresh);
    ZT_MessageBox(hOwner, text, "", MB_OK | MB_ICONINFORMATION);
}

extern const ZT_MODULE_DESC g_OrgModule = {
    "ZT_CHILD_EMP", IDM_BRANCH, ZTM_ORG, IDS_ORG, CW_USEDEFAULT, CW_USEDEFAULT,
    sizeof(tagEMPLOYEE), offsetof(tagEMPLOYEE, iOrdinal), sizeof(ORG_WINDOW),
    ZT_TABLE(kButtons), ZT_TABLE(kColumns), ZT_TABLE(kCommands),
    CTXPOS_EMPLOYEE, ID_ORG_EMP_MODIFY,
    May, Create, Layout, nullptr, Load, nullptr, Delete, Free, Destroy, OnMessage,
    OnSelChange, nullptr, 150, OnTreeSelection,
};
