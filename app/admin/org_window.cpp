#include "app/admin/org_window.h"
#include "app/admin/org_dialogs.h"
#include "app/shell/blocks.h"
#include "app/shell/caches.h"
#include "app/shell/rights.h"
#include "cipher/cipher.h"
#include "cipher/password.h"
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

enum { NODE_ROOT = 0, NODE_BRANCH = 1 };

// Worker: the presets and positions when the window opens (it closes when
// they cannot be read), then the live branches under "所有部门".
BOOL LoadTree(ZT_MODWIN* w, std::vector<ZT_TREENODE>* nodes)
{
    ORG_WINDOW* st = State(w);
    if (!Rights_MayLoadOrg(w->p))
        return FALSE;
    if (!st->pPst)
        if (int failed = OpenLoads(w)) {
            PostMessageA(w->hwnd, WM_ORG_OPEN_FAILED, failed, 0);
            return FALSE;
        }
    tagBRANCH* list = nullptr;
    int n = 0;
    if (!FD_Sct_Br(&list, &n, 0) || !list)
        return FALSE;
    // The grid shows no branch record: the old block may go at once.
    Mem_Release(st->pBr, Mem_Free_Br);
    st->pBr = list;
    st->nBrSlots = n + ZT_SPARE_SLOTS;
    nodes->push_back({-1, "所有部门", NODE_ROOT, 0});
    for (int i = 0; i < st->nBrSlots; i++)
        if (st->pBr[i].iOrdinal)
            nodes->push_back({0, st->pBr[i].szBr, NODE_BRANCH, st->pBr[i].iOrdinal});
    return TRUE;
}

// A branch becomes the current one and its employees are listed; the root
// without branches lists none.
BOOL OnTreeSelection(ZT_MODWIN* w, const ZT_TREESEL& sel)
{
    ORG_WINDOW* st = State(w);
    int key = sel.iKind == NODE_BRANCH ? sel.iKey : 0;
    if (key == st->iBr && key)
        return FALSE;
    st->iBr = key;
    return TRUE;
}

HTREEITEM Root(const ZT_MODWIN* w)
{
    return Module_TreeItem(w, NODE_ROOT, 0);
}

// ---- Hooks ---------------------------------------------------------------------------------

BOOL Load(ZT_MODWIN* w, ZT_RECSET* rs)
{
    ORG_WINDOW* st = State(w);
    if (!Rights_MayLoadOrg(w->p))
        return FALSE;
    tagBRANCH* br = OrgWindow_Branch(w, st->iBr);
    if (!st->iBr || !br)
        return FALSE;                        // no branch: an empty list
    tagEMPLOYEE* list = nullptr;
    int n = 0;
    return Module_Took(rs, FD_Sct_Emp(br, &list, &n), &n);
}

int Delete(int iOpEmp, const void* rec)
{
    return FD_Del_Emp(iOpEmp, static_cast<const tagEMPLOYEE*>(rec));
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
    Mem_Release(st->pBr, Mem_Free_Br);
    Mem_Release(st->pPst, Mem_Free_Pst);
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

LRESULT OnMessage(ZT_MODWIN* w, UINT msg, WPARAM wParam, LPARAM, BOOL* pDone)
{
    if (msg == WM_ORG_OPEN_FAILED) {
        *pDone = TRUE;
        Box(w, wParam == 1 ? "初始化权限错误" : "数据库发生错误.");
        PostMessageA(w->hwnd, WM_COMMAND, ID_MODULE_EXIT, 0);
        return 0;
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
    tagBRANCH b;
    if (BranchDialog_Run(w->hwnd, w->p, nullptr, &b) != IDOK)
        return;
    tagBRANCH* slot = OrgWindow_Branch(w, 0);
    HTREEITEM root = Root(w);
    if (!slot || !root) {
        OrgWindow_NoRoom(w->hwnd, "部门", "刷新部门");
        return;
    }
    *slot = b;
    BOOL first = !TreeView_GetChild(w->hTree, root);
    HTREEITEM h = Module_TreeAdd(w, root, slot->szBr, NODE_BRANCH, slot->iOrdinal);
    if (first && h)
        Module_TreeSelect(w, h);
}

void CmdBranchModify(ZT_MODWIN* w, void*, const void*)
{
    tagBRANCH* br = CurrentBranch(w, TRUE);
    tagBRANCH b;
    if (!br || BranchDialog_Run(w->hwnd, w->p, br, &b) != IDOK)
        return;
    *br = b;
    Module_TreeSetText(w, Module_TreeItem(w, NODE_BRANCH, b.iOrdinal), br->szBr);
}

int DeleteBranchTask(ZT_MODWIN* w, void* br)
{
    return FD_Del_Br(Cache_Operator(w->p), static_cast<tagBRANCH*>(br)) == 1 ? 1 : 0;
}

void CmdBranchDelete(ZT_MODWIN* w, void*, const void*)
{
    tagBRANCH* br = CurrentBranch(w, TRUE);
    if (!br || !Block_ConfirmToBin(w->hwnd) || Module_RunTask(w, DeleteBranchTask, br) != 1)
        return;
    int key = br->iOrdinal;
    HTREEITEM h = Module_TreeItem(w, NODE_BRANCH, key);
    memset(br, 0, sizeof(*br));
    Cache_Drop(w->p, ZTC_BRANCH, key);
    Module_TreeRemove(w, h);
    Module_TreeSelect(w, Root(w));
}

void CmdBranchRefresh(ZT_MODWIN* w, void*, const void*)
{
    Module_TreeReload(w);
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
    Mem_Release(st->pPst, Mem_Free_Pst);
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
    char name[sizeof(e->szEmp)];
    memcpy(name, e->szEmp, sizeof(name));
    int key = e->iOrdinal;
    char text[400];
    snprintf(text, sizeof(text), "重置%s的密码?\n\n将给%s一个新的一次性密码,%s下次登录时必须修改它.", name, name, name);
    if (ZT_MessageBox(w->hwnd, text, "重置密码", MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    // A new random password for one login, never one anybody else knows.
    std::string once = Pwd_OneTime();
    if (once.empty()) {
        Box(w, "无法生成新密码,密码没有重置");
        return;
    }
    ResetArgs a;
    memset(&a, 0, sizeof(a));
    a.iEmp = key;
    snprintf(a.szPwd, sizeof(a.szPwd), "%s", once.c_str());
    CipherPwd(nullptr, a.szPwd, CIPHER_ENCODE);
    int done = Module_RunTask(w, ResetTask, &a);
    SecureZeroMemory(a.szPwd, sizeof(a.szPwd));
    if (done == 1) {
        // Shown this once: the administrator hands it on.
        snprintf(text, sizeof(text), "密码重置成功.%s当前密码:%s\n\n此密码只显示这一次,请转告%s.%s下次登录时必须修改密码.",
                 name, once.c_str(), name, name);
        Box(w, text);
        SecureZeroMemory(text, sizeof(text));
    }
    SecureZeroMemory(&once[0], once.size());
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
    std::string change;    // what the grant changes, by name (the log row)
};

int GrantTask(ZT_MODWIN* w, void* arg)
{
    GrantArgs* a = static_cast<GrantArgs*>(arg);
    // 2: not stored, and the user already told why.
    int r = FD_Upd_EmpPD(Cache_Operator(w->p), a->iEmp, a->szValue, a->iCli, a->iHou, a->change.c_str());
    return r == 1 ? 1 : r < 0 ? 2 : 0;
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
    {
        char plain[1100];
        memset(plain, 0, sizeof(plain));
        Gbk_CopyCut(plain, sizeof(tagEMPLOYEE::szValue), e->szValue);
        CipherLongText(nullptr, plain, CIPHER_DECODE);
        ORG_GRANT before;
        OrgGrant_Parse(plain, e->iCliReadRecordMax, e->iHouReadRecordMax, &before);
        a->change = std::string(e->szEmp) + ": " + OrgGrant_Describe(before, g);
    }
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
    if (r == 1)
        Box(w, "授权成功, 授权用户在下次登录时生效");
    else if (r == 0)
        Box(w, "授权失败, 权限没有保存");
}

// ---- Tables -------------------------------------------------------------------------------

const void* PositionName(const ZT_MODWIN* w, const void* rec)
{
    const tagPostion* pst = OrgWindow_Position(const_cast<ZT_MODWIN*>(w),
                                               static_cast<const tagEMPLOYEE*>(rec)->iPst);
    return pst && static_cast<const tagEMPLOYEE*>(rec)->iPst ? pst->szPST : "";
}

// A button of the window: an operation of the records of one module
// (branches, employees, positions, the grant); "合并数据" is never offered.
#define ORG_BUTTON(cmd, image, text, op, module) {cmd, image, text, 0, op, -1, module}
const ZT_TBDEF kButtons[] = {
    ORG_BUTTON(ID_ORG_BRANCH_ADD, ZTIMG_BR_ADD, "增加部门", ZT_OP_ADD, ZTM_BRANCH),
    ORG_BUTTON(ID_ORG_BRANCH_MODIFY, ZTIMG_BR_EDIT, "修改部门", ZT_OP_MODIFY, ZTM_BRANCH),
    ORG_BUTTON(ID_ORG_BRANCH_DELETE, ZTIMG_BR_DEL, "删除部门", ZT_OP_DELETE, ZTM_BRANCH),
    ORG_BUTTON(ID_ORG_BRANCH_REFRESH, ZTIMG_BR_REFRESH, "刷新部门", ZT_OP_VIEW, ZTM_ORG),
    ZT_TB_SEP,
    ORG_BUTTON(ID_ORG_EMP_ADD, ZTIMG_EMP_ADD, "增加员工", ZT_OP_ADD, ZTM_ORG),
    ORG_BUTTON(ID_ORG_EMP_MODIFY, ZTIMG_EMP_EDIT, "修改员工", ZT_OP_VIEW, ZTM_ORG),
    ORG_BUTTON(ID_ORG_EMP_DELETE, ZTIMG_EMP_DEL, "删除员工", ZT_OP_DELETE, ZTM_ORG),
    ORG_BUTTON(ID_ORG_PWD_RESET, ZTIMG_RESET_PWD, "重置密码", ZT_OP_MODIFY, ZTM_ORG),
    ZT_TB_SEP,
    ORG_BUTTON(ID_ORG_POSITIONS, ZTIMG_POSITIONS, "职位管理", ZT_OP_VIEW, ZTM_POSITION),
    ORG_BUTTON(ID_ORG_POSITION_REFRESH, ZTIMG_POS_REFRESH, "刷新职位", ZT_OP_VIEW, ZTM_ORG),
    ZT_TB_SEP,
    ORG_BUTTON(ID_ORG_EMP_TRANSFER, ZTIMG_EMP_TRANSFER, "员工转移", ZT_OP_MODIFY, ZTM_ORG),
    ORG_BUTTON(ID_ORG_MERGE, ZTIMG_MERGE, "合并数据", ZT_OP_CHANGE, ZTM_COUNT),
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

// Each command asks the right of its button; "修改员工" opens the employee
// for anyone who sees the window (its "保存" asks the modify right).
#define ORG_CMD(cmd, fn, flags, op, module, nosel) {cmd, fn, flags, op, nosel, nullptr, module}
const ZT_CMDDEF kCommands[] = {
    ORG_CMD(ID_ORG_BRANCH_ADD, CmdBranchAdd, 0, ZT_OP_ADD, ZTM_BRANCH, nullptr),
    ORG_CMD(ID_ORG_BRANCH_MODIFY, CmdBranchModify, 0, ZT_OP_MODIFY, ZTM_BRANCH, nullptr),
    ORG_CMD(ID_ORG_BRANCH_DELETE, CmdBranchDelete, 0, ZT_OP_DELETE, ZTM_BRANCH, nullptr),
    ORG_CMD(ID_ORG_BRANCH_REFRESH, CmdBranchRefresh, 0, ZT_OP_VIEW, ZTM_ORG, nullptr),
    ORG_CMD(ID_ORG_EMP_ADD, CmdEmpAdd, 0, ZT_OP_ADD, ZTM_ORG, nullptr),
    ORG_CMD(ID_ORG_EMP_MODIFY, CmdEmpModify, ZT_CMD_NEEDSEL, ZT_OP_VIEW, ZTM_ORG, "选择要修改的数据"),
    ORG_CMD(ID_ORG_EMP_DELETE, Module_CmdDelete, ZT_CMD_NEEDSEL | ZT_CMD_TO_BIN, ZT_OP_DELETE, ZTM_ORG,
            "选择要删除的数据"),
    ORG_CMD(ID_ORG_POSITIONS, CmdPositions, 0, ZT_OP_VIEW, ZTM_POSITION, nullptr),
    ORG_CMD(ID_ORG_POSITION_REFRESH, CmdPositionRefresh, 0, ZT_OP_VIEW, ZTM_ORG, nullptr),
    ORG_CMD(ID_ORG_PWD_RESET, CmdResetPwd, ZT_CMD_NEEDSEL, ZT_OP_MODIFY, ZTM_ORG, "请选择用户"),
    ORG_CMD(ID_ORG_EMP_TRANSFER, CmdTransfer, ZT_CMD_NEEDSEL, ZT_OP_MODIFY, ZTM_ORG, "请选择用户"),
    ORG_CMD(ID_ORG_MERGE, nullptr, 0, ZT_OP_CHANGE, ZTM_COUNT, nullptr),
    ORG_CMD(IDC_PD_GRANT, CmdGrant, 0, ZT_OP_MODIFY, ZTM_GRANT, nullptr),
};
#undef ORG_CMD

const ZT_TREEDESC kTree = {150, LoadTree, OnTreeSelection, {CTXPOS_BRANCH, CTXPOS_BRANCH, -1, -1}, FALSE, 0};

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

extern const ZT_MODULE_DESC g_OrgModule = ZT_TREE_MODULE(
    "ZT_CHILD_EMP", IDM_BRANCH, ZTM_ORG, IDS_ORG, CW_USEDEFAULT, CW_USEDEFAULT,
    tagEMPLOYEE, ORG_WINDOW, CTXPOS_EMPLOYEE, ID_ORG_EMP_MODIFY, ZTC_EMPLOYEE,
    nullptr, Create, Layout, nullptr, Load, nullptr, Delete, (Module_Free<tagEMPLOYEE, Mem_Free_Emp>), Destroy, OnMessage,
    OnSelChange, nullptr);
