#include "app/listings/follow_dialog.h"
#include "app/listings/follow_filter.h"
#include "app/listings/follow_ids.h"
#include "app/listings/listing_dialog.h"
#include "app/shell/blocks.h"
#include "app/shell/caches.h"
#include "app/shell/input_controls.h"
#include "app/shell/rights.h"
#include "common/date.h"
#include "common/gbk.h"
#include "common/zt_box.h"

#include <cstring>
#include <string>

static const char kMustWrite[] = "必须写跟进,才能保存";
// An owed follow-up: why the dialog came, and why it cannot be left.
static const char kWhyHouse[] = "您查看了这条房源的电话, 请写下这次联系的跟进";
static const char kWhyClient[] = "您查看了这条客源的电话, 请写下这次联系的跟进";
static const char kMustStay[] = "您查看了电话, 须写跟进后才能离开";
static const char kBadDay[] = "提醒时间必须是今天或以后的日期,格式为 YYYY-MM-DD";
static const char kNoWriter[] = "请选择部门和员工";
static const char kNoRight[] = "您没有写跟进的权限";

struct FOLLOW_DLG {
    tagZT_Main_Param* p;
    FOLLOW_ENTRY* e;
    BOOL bFailed;           // a save stored nothing: an owed follow-up lets the user go
};

static std::string ItemText(HWND hDlg, int id)
{
    char buf[ZTCB_MAX_TEXT + 1] = "";
    GetDlgItemTextA(hDlg, id, buf, sizeof(buf));
    return buf;
}

int FollowDialog_RangeOf(const char* pszChoice)
{
    if (pszChoice && strcmp(pszChoice, "本人") == 0)
        return 1;
    if (pszChoice && strcmp(pszChoice, "本部") == 0)
        return 2;
    return 0;
}

// The employees of the branch named in the branch box.  The employee box
// keeps its name when it is one of them, else takes the first.
static void FillEmployees(HWND hDlg, tagZT_Main_Param* p)
{
    HWND hEmp = GetDlgItem(hDlg, IDC_FW_EMP);
    std::string keep = ItemText(hDlg, IDC_FW_EMP);
    int br = Cache_BranchKey(p, ItemText(hDlg, IDC_FW_BR).c_str());
    SendMessageA(hEmp, CB_RESETCONTENT, 0, 0);
    Cache_ForEmployees(p, [&](const tagEMPLIST& e) {
        if (br && e.iBr == br)
            SendMessageA(hEmp, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(e.szEmp));
    });
    if (Cache_EmployeeKey(p, br, keep.c_str()))
        return;
    if (SendMessageA(hEmp, CB_GETCOUNT, 0, 0) > 0)
        SendMessageA(hEmp, CB_SETCURSEL, 0, 0);
    else
        SetWindowTextA(hEmp, "");
}

static void FillWays(HWND hDlg, const tagZT_Main_Param* p)
{
    HWND hWay = GetDlgItem(hDlg, IDC_FW_WAY);
    const tagARGC* name = FindArgcName(p->pArgcTag, p->nArgcTag, p->pArgcName, p->nArgcName, "房源参数(住宅)", "跟进方式");
    if (name && p->pArgcValue)
        FillArgcCombo(hWay, p->pArgcValue, Cache_ParamValueSlots(p), name->iOrdinal);
    SetWindowTextA(hWay, "电话");
}

static void EnableReminder(HWND hDlg)
{
    BOOL on = IsDlgButtonChecked(hDlg, IDC_FW_REMIND) == BST_CHECKED;
    static const int kFields[] = {IDC_FW_REMIND_TEXT, IDC_FW_REMIND_DAY, IDC_FW_REMIND_RANGE};
    for (int id : kFields)
        EnableWindow(GetDlgItem(hDlg, id), on);
}

static void Init(HWND hDlg, FOLLOW_DLG* s)
{
    tagZT_Main_Param* p = s->p;
    SetWindowTextA(hDlg, s->e->iHou ? "房源跟进" : "客源跟进");
    SetDlgItemTextA(hDlg, IDC_FW_WHY, !s->e->bMustWrite ? "" : s->e->iHou ? kWhyHouse : kWhyClient);
    FillWays(hDlg, p);
    SendDlgItemMessageA(hDlg, IDC_FW_WAY, CB_LIMITTEXT, 16, 0);

    HWND hBr = GetDlgItem(hDlg, IDC_FW_BR);
    Cache_ForBranches(p, [hBr](const tagBRLIST& b) {
        SendMessageA(hBr, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(b.szBr));
    });
    if (p->pLoginEmp)
        SetDlgItemTextA(hDlg, IDC_FW_EMP, p->pLoginEmp->szEmp);
    // Naming the branch fills its employees; the user's own name stays.
    SetWindowTextA(hBr, p->pLoginBr ? p->pLoginBr->szBr : "");
    FillEmployees(hDlg, p);

    SendDlgItemMessageA(hDlg, IDC_FW_CONTENT, EM_LIMITTEXT, 100, 0);
    SendDlgItemMessageA(hDlg, IDC_FW_REMIND_TEXT, EM_LIMITTEXT, 100, 0);
    SendDlgItemMessageA(hDlg, IDC_FW_REMIND_DAY, EM_LIMITTEXT, 19, 0);
    DateField_Attach(GetDlgItem(hDlg, IDC_FW_REMIND_DAY));
    char today[16];
    Date_Today(today, sizeof(today));
    SetDlgItemTextA(hDlg, IDC_FW_REMIND_DAY, today);
    HWND hRange = GetDlgItem(hDlg, IDC_FW_REMIND_RANGE);
    SendMessageA(hRange, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("本人"));
    SendMessageA(hRange, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("本部"));
    SendMessageA(hRange, CB_SETCURSEL, 0, 0);
    EnableReminder(hDlg);
}

static void Refuse(HWND hDlg, const char* text, int idFocus)
{
    ZT_MessageBox(hDlg, text, "", MB_OK);
    if (idFocus)
        SetFocus(GetDlgItem(hDlg, idFocus));
}

// The reminder as the dialog holds it; false (and the user told) when its
// day is not a real day from today on.
static bool ReadReminder(HWND hDlg, const FOLLOW_ENTRY* e, tagREMIND* r)
{
    memset(r, 0, sizeof(*r));
    std::string day = ItemText(hDlg, IDC_FW_REMIND_DAY);
    char today[16];
    Date_Today(today, sizeof(today));
    if (!Date_IsText(day.c_str()) || day < today) {
        Refuse(hDlg, kBadDay, IDC_FW_REMIND_DAY);
        return false;
    }
    Gbk_CopyCut(r->dRemind, sizeof(r->dRemind), day.c_str());
    Gbk_CopyCut(r->szContent, sizeof(r->szContent), ItemText(hDlg, IDC_FW_REMIND_TEXT).c_str());
    r->iRange = FollowDialog_RangeOf(ItemText(hDlg, IDC_FW_REMIND_RANGE).c_str());
    r->iHou = e->iHou;
    r->iCli = e->iHou ? 0 : e->iCli;
    return true;
}

// "保存(&S)": everything is checked before anything is written; then the
// follow-up and (when ticked) its reminder as one change.  TRUE when stored
// (the dialog has ended); FALSE keeps everything typed.
static BOOL Save(HWND hDlg, FOLLOW_DLG* s)
{
    tagZT_Main_Param* p = s->p;
    FOLLOW_ENTRY* e = s->e;
    // The right is asked where the command runs: a follow-up the user may
    // not write is one that cannot be stored.
    if (!Rights_May(p, ZTM_HOUSE_FOLLOW, ZT_OP_ADD)) {
        Refuse(hDlg, kNoRight, 0);
        s->bFailed = TRUE;
        return FALSE;
    }
    std::string content = ItemText(hDlg, IDC_FW_CONTENT);
    if (s->e->bMustWrite && content.find_first_not_of(" \t\r\n") == std::string::npos) {
        Refuse(hDlg, kMustWrite, IDC_FW_CONTENT);
        return FALSE;
    }
    int br = Cache_BranchKey(p, ItemText(hDlg, IDC_FW_BR).c_str());
    int emp = Cache_EmployeeKey(p, br, ItemText(hDlg, IDC_FW_EMP).c_str());
    if (!br || !emp) {
        Refuse(hDlg, kNoWriter, IDC_FW_EMP);
        return FALSE;
    }
    bool remind = IsDlgButtonChecked(hDlg, IDC_FW_REMIND) == BST_CHECKED;
    tagREMIND rem;
    if (remind && !ReadReminder(hDlg, e, &rem))
        return FALSE;

    tagFOLLOW f;
    memset(&f, 0, sizeof(f));
    f.iBr = br;
    f.iEmp = emp;
    f.iHou = e->iHou;
    f.iCli = e->iHou ? 0 : e->iCli;
    Gbk_CopyCut(f.szWay, sizeof(f.szWay), ItemText(hDlg, IDC_FW_WAY).c_str());
    Gbk_CopyCut(f.szContent, sizeof(f.szContent), content.c_str());
    int op = Cache_Operator(p);
    if (remind) {
        rem.iBr = br;
        rem.iEmp = emp;
    }
    // On a worker behind the busy dialog: the dialog's thread never waits on
    // the server.  Both are stored or neither, and the library has told the
    // user which when it is neither.
    if (Block_RunTask(hDlg, p, [&]() { return FD_Ist_FollowRemind(op, &f, remind ? &rem : nullptr); }) != 1) {
        s->bFailed = TRUE;
        return FALSE;
    }
    e->fol = f;
    memset(&e->rem, 0, sizeof(e->rem));
    if (remind)
        e->rem = rem;
    EndDialog(hDlg, IDOK);
    return TRUE;
}

// Whether the user has typed something a close would lose.
static BOOL Typed(HWND hDlg)
{
    for (int id : {IDC_FW_CONTENT, IDC_FW_REMIND_TEXT})
        if (ItemText(hDlg, id).find_first_not_of(" \t\r\n") != std::string::npos)
            return TRUE;
    return FALSE;
}

// "取消(&C)", Esc and closing.  An owed follow-up cannot be skipped, unless
// a save failed: then the user may go (the caller keeps the debt).  Typed
// text is asked about first: "是" saves, "否" drops it, "取消" stays.
static void Cancel(HWND hDlg, FOLLOW_DLG* s)
{
    if (s->e->bMustWrite && !s->bFailed) {
        Refuse(hDlg, kMustStay, IDC_FW_CONTENT);
        return;
    }
    if (Typed(hDlg)) {
        int answer = Listing_AskSave(hDlg);
        if (answer == IDYES)
            Save(hDlg, s);                   // stored: ended; not: stays with the text
        if (answer != IDNO)
            return;
    }
    EndDialog(hDlg, IDCANCEL);
}

// Returns FALSE for a command the dialog leaves alone.
static BOOL OnCommand(HWND hDlg, FOLLOW_DLG* s, int id, int code)
{
    if (id == IDOK)
        Save(hDlg, s);
    else if (id == IDCANCEL)
        Cancel(hDlg, s);
    else if (id == IDC_FW_BR && code == ZTCBN_CHANGE)
        FillEmployees(hDlg, s->p);
    else if (id == IDC_FW_REMIND)
        EnableReminder(hDlg);
    else
        return id == IDC_FW_BR;
    return TRUE;
}

static INT_PTR CALLBACK FollowDlgProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam)
{
    FOLLOW_DLG* s = Block_DialogState<FOLLOW_DLG>(hDlg, msg, lParam);
    if (msg == WM_INITDIALOG)
        Init(hDlg, s);
    else if (msg == WM_COMMAND && s)
        return OnCommand(hDlg, s, LOWORD(wParam), HIWORD(wParam));
    return msg == WM_INITDIALOG;
}

INT_PTR FollowDialog_Run(HWND hOwner, tagZT_Main_Param* p, FOLLOW_ENTRY* e)
{
    if (!p || !e)
        return IDCANCEL;
    memset(&e->fol, 0, sizeof(e->fol));
    memset(&e->rem, 0, sizeof(e->rem));
    FOLLOW_DLG s = {p, e, FALSE};
    INT_PTR r = DialogBoxParamA(p->hInst, MAKEINTRESOURCEA(IDD_FOLLOW_WRITE), hOwner, FollowDlgProc,
                                reinterpret_cast<LPARAM>(&s));
    return r == IDOK ? IDOK : IDCANCEL;
}
