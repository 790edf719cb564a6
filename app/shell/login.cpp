#include "app/shell/login.h"
#include "app/shell/caches.h"
#include "app/shell/jobs.h"
#include "app/resources/resource.h"
#include "cipher/cipher.h"
#include "common/zt_box.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

// The open login dialog's pictures and the frame class brush it replaced.
struct LoginState {
    HBITMAP hBack;        // bitmap 185
    HBITMAP hTitle;       // com_title.bmp
    HWND hFrame;
    LONG_PTR oldBrush;
    bool bBrushSaved;
    bool bChecking;                // a check runs on its worker
    char szTyped[ZT_PWD_MAX + 1];  // the password being checked
};

// Posted to the login dialog when its check is done: wParam the check's
// result (1, 0, -1), lParam 1 when the password must be replaced first.
#define WM_LOGIN_CHECKED (WM_APP + 120)

// The check of a login, made on a worker: it asks the server and hashes
// the password, neither of which the dialog waits for.
struct LoginJob : ZT_JOB {
    HWND hDlg;
    tagZT_Main_Param* p;
    std::string br, emp, pwd;
    int result;
    int bMustChange;
    bool bTold;     // the library told the user why itself (the server lost)
};
LoginState g_login;

tagZT_Main_Param* Block(HWND hDlg)
{
    return reinterpret_cast<tagZT_Main_Param*>(GetWindowLongPtrA(hDlg, DWLP_USER));
}

std::string ItemText(HWND hDlg, int id, int cchMax)
{
    char buf[1100];
    if (cchMax >= static_cast<int>(sizeof buf))
        cchMax = sizeof buf - 1;
    buf[0] = 0;
    GetDlgItemTextA(hDlg, id, buf, cchMax + 1);
    return buf;
}

// Fills the employee box with the employees of the branch named in the
// branch box: the list holds each branch's employees as one run.
void FillEmployees(HWND hDlg, tagZT_Main_Param* p)
{
    HWND hEmp = GetDlgItem(hDlg, IDC_EMP_BOX);
    SendMessageA(hEmp, CB_RESETCONTENT, 0, 0);
    std::string name = ItemText(hDlg, IDC_BR_BOX, 1023);
    tagBRLIST* br = nullptr;
    if (p->pBrList && p->nBr > 0)
        br = static_cast<tagBRLIST*>(
            FindBr(p->pBrList, nullptr, 0, name.c_str(), Cache_BranchSlots(p), sizeof(tagBRLIST)));
    int added = 0;
    if (br)
        Cache_ForEmployees(p, [&](const tagEMPLIST& e) {
            if (e.iBr != br->iOrdinal)
                return;
            SendMessageA(hEmp, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(e.szEmp));
            ++added;
        });
    if (added == 0)
        SetWindowTextA(hEmp, "");
    else
        SendMessageA(hEmp, CB_SETCURSEL, 0, 0);
}

void LoginInit(HWND hDlg, tagZT_Main_Param* p)
{
    memset(&g_login, 0, sizeof g_login);
    SetWindowTextA(hDlg, "Kelmora中介管理");

    g_login.hTitle = static_cast<HBITMAP>(
        LoadImageA(nullptr, "com_title.bmp", IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    if (g_login.hTitle)
        SendDlgItemMessageA(hDlg, IDC_LOGIN_TITLE, STM_SETIMAGE, IMAGE_BITMAP,
                            reinterpret_cast<LPARAM>(g_login.hTitle));
    g_login.hBack = LoadBitmapA(p->hInst, MAKEINTRESOURCEA(IDB_LOGIN_BACK));

    g_login.hFrame = GetDlgItem(hDlg, IDC_LOGIN_FRAME);
    if (g_login.hFrame) {
        g_login.oldBrush = SetClassLongPtrA(g_login.hFrame, GCLP_HBRBACKGROUND,
                                            reinterpret_cast<LONG_PTR>(GetStockObject(NULL_BRUSH)));
        g_login.bBrushSaved = true;
    }

    SendDlgItemMessageA(hDlg, IDC_LOGIN_PWD, EM_LIMITTEXT, ZT_PWD_MAX, 0);
    EnableWindow(GetDlgItem(hDlg, IDOK), FALSE);
    EnableWindow(GetDlgItem(hDlg, IDC_LOGIN_PWD), FALSE);

    HWND hBr = GetDlgItem(hDlg, IDC_BR_BOX);
    for (int i = 0; p->pBrList && i < p->nBr; ++i)
        SendMessageA(hBr, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(p->pBrList[i].szBr));
    // Choosing the first branch fills the employees (text-change notification).
    SendMessageA(hBr, CB_SETCURSEL, 0, 0);
}

void LoginClose(HWND hDlg, INT_PTR result)
{
    Job_Drop(&g_login);
    SecureZeroMemory(g_login.szTyped, sizeof g_login.szTyped);
    if (g_login.hBack)
        DeleteObject(g_login.hBack);
    if (g_login.hTitle) {
        SendDlgItemMessageA(hDlg, IDC_LOGIN_TITLE, STM_SETIMAGE, IMAGE_BITMAP, 0);
        DeleteObject(g_login.hTitle);
    }
    if (g_login.bBrushSaved && g_login.hFrame)
        SetClassLongPtrA(g_login.hFrame, GCLP_HBRBACKGROUND, g_login.oldBrush);
    memset(&g_login, 0, sizeof g_login);
    EndDialog(hDlg, result);
}

bool IsClass(HWND hwnd, const char* cls)
{
    char buf[32] = "";
    GetClassNameA(hwnd, buf, sizeof buf);
    return lstrcmpiA(buf, cls) == 0;
}

void CheckWork(ZT_JOB* j)
{
    LoginJob* l = static_cast<LoginJob*>(j);
    long boxes = ZTData_BoxesShown();
    l->result = Login_Check(l->p, l->br.c_str(), l->emp.c_str(), l->pwd.c_str());
    l->bMustChange = l->result == 1 && FD_LG_MustChange();
    l->bTold = ZTData_BoxesShown() != boxes;
}

void CheckTake(ZT_JOB* j)
{
    LoginJob* l = static_cast<LoginJob*>(j);
    PostMessageA(l->hDlg, WM_LOGIN_CHECKED, (WPARAM)l->result, (l->bMustChange ? 1 : 0) | (l->bTold ? 2 : 0));
}

void CheckFree(ZT_JOB* j)
{
    LoginJob* l = static_cast<LoginJob*>(j);
    SecureZeroMemory(&l->pwd[0], l->pwd.size());
    delete l;
}

// The dialog while its check runs: nothing to press or type.
void SetChecking(HWND hDlg, bool bChecking)
{
    g_login.bChecking = bChecking;
    for (int id : {IDC_BR_BOX, IDC_EMP_BOX, IDC_LOGIN_PWD, IDOK})
        EnableWindow(GetDlgItem(hDlg, id), !bChecking);
    if (!bChecking)
        SetFocus(GetDlgItem(hDlg, IDC_LOGIN_PWD));
}

// Runs the change-password dialog as the first thing after a login whose
// password was given to the employee: true when he chose his own.
bool ForcedChange(HWND hOwner, tagZT_Main_Param* p, const std::string& given);

}  // namespace

int Login_Check(tagZT_Main_Param* p, const char* pszBr, const char* pszEmp, const char* pszPwd)
{
    if (!p->pBrList || !p->pEmpList || !pszBr || !pszEmp || !pszPwd)
        return 0;
    tagBRLIST* br =
        static_cast<tagBRLIST*>(FindBr(p->pBrList, nullptr, 0, pszBr, Cache_BranchSlots(p), sizeof(tagBRLIST)));
    if (!br)
        return 0;
    tagEMPLIST* emp = static_cast<tagEMPLIST*>(
        FindEmp(p->pEmpList, nullptr, 0, pszEmp, Cache_EmployeeSlots(p), sizeof(tagEMPLIST), br->iOrdinal));
    if (!emp)
        return 0;

    char pwd[256];
    memset(pwd, 0, sizeof pwd);
    strncpy(pwd, pszPwd, ZT_PWD_MAX);
    CipherPwd(p->szAppDir, pwd, CIPHER_ENCODE);

    int r = FD_LG_Check(emp->iOrdinal, pwd);
    if (r == 1) {
        p->pLoginBr = br;
        p->pLoginEmp = emp;
        p->sql.iLoginEmp = emp->iOrdinal;
    }
    return r;
}

INT_PTR CALLBACK LoginDlgProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_INITDIALOG: {
        tagZT_Main_Param* p = reinterpret_cast<tagZT_Main_Param*>(lParam);
        SetWindowLongPtrA(hDlg, DWLP_USER, lParam);
        LoginInit(hDlg, p);
        HWND hPwd = GetDlgItem(hDlg, IDC_LOGIN_PWD);
        if (IsWindowEnabled(hPwd)) {
            SetFocus(hPwd);
            return FALSE;
        }
        return TRUE;
    }
    case WM_ERASEBKGND: {
        HDC hdc = reinterpret_cast<HDC>(wParam);
        RECT rc;
        GetClientRect(hDlg, &rc);
        BITMAP bm;
        if (g_login.hBack && GetObjectA(g_login.hBack, sizeof bm, &bm)) {
            HDC mem = CreateCompatibleDC(hdc);
            HGDIOBJ old = SelectObject(mem, g_login.hBack);
            SetStretchBltMode(hdc, COLORONCOLOR);
            StretchBlt(hdc, 0, 0, rc.right, rc.bottom, mem, 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY);
            SelectObject(mem, old);
            DeleteDC(mem);
        } else {
            FillRect(hdc, &rc, GetSysColorBrush(COLOR_BTNFACE));
        }
        SetWindowLongPtrA(hDlg, DWLP_MSGRESULT, 1);
        return TRUE;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
        HWND ctl = reinterpret_cast<HWND>(lParam);
        // Disabled and read-only edits ask here too; they keep their own look.
        if (!IsClass(ctl, "Static") && !IsClass(ctl, "Button"))
            return FALSE;
        SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
        return reinterpret_cast<INT_PTR>(GetStockObject(NULL_BRUSH));
    }
    case WM_COMMAND: {
        tagZT_Main_Param* p = Block(hDlg);
        int id = LOWORD(wParam);
        int code = HIWORD(wParam);
        if (!p)
            return FALSE;
        if (id == IDC_BR_BOX && code == 0x0300) {
            FillEmployees(hDlg, p);
            return TRUE;
        }
        if (id == IDC_EMP_BOX && code == 0x0300) {
            bool any = GetWindowTextLengthA(GetDlgItem(hDlg, IDC_EMP_BOX)) > 0;
            EnableWindow(GetDlgItem(hDlg, IDC_LOGIN_PWD), any);
            return TRUE;
        }
        if (id == IDC_LOGIN_PWD && code == EN_CHANGE) {
            bool enough = GetWindowTextLengthA(GetDlgItem(hDlg, IDC_LOGIN_PWD)) >= 4;
            EnableWindow(GetDlgItem(hDlg, IDOK), enough);
            return TRUE;
        }
        if (id == IDOK && code == BN_CLICKED) {
            // Enter reaches here too; it counts only when the button could be pressed.
            if (!IsWindowEnabled(GetDlgItem(hDlg, IDOK)))
                return TRUE;
            if (g_login.bChecking)
                return TRUE;
            LoginJob* j = Job_New<LoginJob>(&g_login, 0, CheckWork, CheckTake, CheckFree);
            j->hDlg = hDlg;
            j->p = p;
            j->pwd = ItemText(hDlg, IDC_LOGIN_PWD, ZT_PWD_MAX);
            j->emp = ItemText(hDlg, IDC_EMP_BOX, 1023);
            j->br = ItemText(hDlg, IDC_BR_BOX, 1023);
            snprintf(g_login.szTyped, sizeof g_login.szTyped, "%s", j->pwd.c_str());
            SetChecking(hDlg, true);
            Job_Start(j);
            return TRUE;
        }
        if (id == IDCANCEL) {
            LoginClose(hDlg, 0);
            return TRUE;
        }
        return FALSE;
    }
    case WM_LOGIN_CHECKED: {
        tagZT_Main_Param* p = Block(hDlg);
        int r = (int)wParam;
        SetChecking(hDlg, false);
        bool mustChange = (lParam & 1) != 0, told = (lParam & 2) != 0;
        if (r == 1 && mustChange && !ForcedChange(hDlg, p, g_login.szTyped)) {
            // No work before a password of his own: the login starts over.
            p->pLoginBr = nullptr;
            p->pLoginEmp = nullptr;
            p->sql.iLoginEmp = 0;
            SetDlgItemTextA(hDlg, IDC_LOGIN_PWD, "");
            SetFocus(GetDlgItem(hDlg, IDC_LOGIN_PWD));
        } else if (r == 1) {
            LoginClose(hDlg, 1);
        } else if (r < 0) {
            // One box for one failed login: when the library has already
            // said the server was lost, that is the reason.
            if (!told)
                ZT_MessageBox(hDlg, "数据服务器出错,无法验证密码", "登录", MB_OK);
        } else {
            // (A short caption of its own: the dialog's would be cut
            // by a box this narrow.)  The password typed again replaces
            // the wrong one.
            ZT_MessageBox(hDlg, "密码错误", "登录", MB_OK);
            SetFocus(GetDlgItem(hDlg, IDC_LOGIN_PWD));
            SendDlgItemMessageA(hDlg, IDC_LOGIN_PWD, EM_SETSEL, 0, -1);
        }
        SecureZeroMemory(g_login.szTyped, sizeof g_login.szTyped);
        return TRUE;
    }
    case WM_CLOSE:
        LoginClose(hDlg, 0);
        return TRUE;
    }
    return FALSE;
}

INT_PTR Login_Run(tagZT_Main_Param* p)
{
    return DialogBoxParamA(p->hInst, MAKEINTRESOURCEA(IDD_LOGIN), nullptr, LoginDlgProc, reinterpret_cast<LPARAM>(p));
}

// ---- Change password ----------------------------------------------------------------

namespace {

// The dialog run right after a login with a given password (a reset's, the
// seed's): the old password is the one just typed and shown only as dots,
// the new one must differ from it, and cancelling ends the login.
struct ForcedMode {
    bool bForced;
    std::string given;
    bool bChanged;
};
ForcedMode g_forced;

// Shows a refusal and puts the focus on the field to correct.
void Refuse(HWND hDlg, const char* text, int idFocus)
{
    ZT_MessageBox(hDlg, text, "", MB_OK);
    SetFocus(GetDlgItem(hDlg, idFocus));
}

void ChangePwd(HWND hDlg, tagZT_Main_Param* p)
{
    char oldPwd[256], newPwd[256], again[256];
    memset(oldPwd, 0, sizeof oldPwd);
    memset(newPwd, 0, sizeof newPwd);
    memset(again, 0, sizeof again);
    GetDlgItemTextA(hDlg, IDC_OLD_PWD, oldPwd, ZT_PWD_MAX + 1);
    GetDlgItemTextA(hDlg, IDC_NEW_PWD, newPwd, ZT_PWD_MAX + 1);
    GetDlgItemTextA(hDlg, IDC_NEW_PWD2, again, ZT_PWD_MAX + 1);
    auto wipe = [&] {
        SecureZeroMemory(oldPwd, sizeof oldPwd);
        SecureZeroMemory(newPwd, sizeof newPwd);
        SecureZeroMemory(again, sizeof again);
    };
    const char* refusal = nullptr;
    int focus = IDC_NEW_PWD;
    if (!oldPwd[0]) {
        refusal = "请输入旧密码";
        focus = IDC_OLD_PWD;
    } else if (!newPwd[0]) {
        refusal = "请输入新密码";
    } else if (strlen(newPwd) < 6) {
        refusal = "密码必须大于6位";
    } else if (strcmp(newPwd, again) != 0) {
        refusal = "两次新密码不同,请重新输入确认密码";
        focus = IDC_NEW_PWD2;
    } else if (g_forced.bForced && strcmp(newPwd, oldPwd) == 0) {
        refusal = "新密码不能与原来的密码相同,请输入您自己的新密码";
    }
    if (refusal) {
        wipe();
        Refuse(hDlg, refusal, focus);
        return;
    }
    bool changed = false;
    if (p->pLoginEmp) {
        CipherPwd(p->szAppDir, oldPwd, CIPHER_ENCODE);
        CipherPwd(p->szAppDir, newPwd, CIPHER_ENCODE);
        changed = FD_Upd_Pwd(p->pLoginEmp->iOrdinal, oldPwd, newPwd) == 1;
        if (changed)
            ZT_MessageBox(hDlg, "修改成功", "", MB_OK);
    }
    wipe();
    if (g_forced.bForced) {
        // Until he has a password of his own the dialog stays (its box said why not).
        if (!changed)
            return;
        g_forced.bChanged = true;
    }
    EndDialog(hDlg, 0);
}

bool ForcedChange(HWND hOwner, tagZT_Main_Param* p, const std::string& given)
{
    g_forced.bForced = true;
    g_forced.given = given;
    g_forced.bChanged = false;
    Login_RunChangePwd(hOwner, p);
    bool changed = g_forced.bChanged;
    SecureZeroMemory(&g_forced.given[0], g_forced.given.size());
    g_forced = ForcedMode();
    return changed;
}

}  // namespace

INT_PTR CALLBACK ChangePwdDlgProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_INITDIALOG: {
        tagZT_Main_Param* p = reinterpret_cast<tagZT_Main_Param*>(lParam);
        SetWindowLongPtrA(hDlg, DWLP_USER, lParam);
        if (p->pLoginBr)
            SetDlgItemTextA(hDlg, IDC_BR_BOX, p->pLoginBr->szBr);
        if (p->pLoginEmp)
            SetDlgItemTextA(hDlg, IDC_EMP_BOX, p->pLoginEmp->szEmp);
        // A password longer than the login dialog takes could never be typed there.
        SendDlgItemMessageA(hDlg, IDC_OLD_PWD, EM_LIMITTEXT, ZT_PWD_MAX, 0);
        SendDlgItemMessageA(hDlg, IDC_NEW_PWD, EM_LIMITTEXT, ZT_PWD_MAX, 0);
        SendDlgItemMessageA(hDlg, IDC_NEW_PWD2, EM_LIMITTEXT, ZT_PWD_MAX, 0);
        if (g_forced.bForced) {
            SetWindowTextA(hDlg, "请设置您自己的密码");
            SetDlgItemTextA(hDlg, IDC_OLD_PWD, g_forced.given.c_str());
            EnableWindow(GetDlgItem(hDlg, IDC_OLD_PWD), FALSE);
            SetFocus(GetDlgItem(hDlg, IDC_NEW_PWD));
            return FALSE;
        }
        SetFocus(GetDlgItem(hDlg, IDC_OLD_PWD));
        return FALSE;
    }
    case WM_COMMAND: {
        tagZT_Main_Param* p = Block(hDlg);
        if (LOWORD(wParam) == IDOK && p) {
            ChangePwd(hDlg, p);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(hDlg, 0);
            return TRUE;
        }
        return FALSE;
    }
    case WM_CLOSE:
        EndDialog(hDlg, 0);
        return TRUE;
    }
    return FALSE;
}

INT_PTR Login_RunChangePwd(HWND hOwner, tagZT_Main_Param* p)
{
    return DialogBoxParamA(p->hInst, MAKEINTRESOURCEA(IDD_CHANGE_PWD), hOwner, ChangePwdDlgProc,
                           reinterpret_cast<LPARAM>(p));
}
