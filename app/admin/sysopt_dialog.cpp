// The system options dialog and its two pages.
#include "app/admin/sysopt_dialog.h"
#include "app/shell/blocks.h"
#include "app/shell/caches.h"
#include "app/shell/field_table.h"
#include "app/shell/main_param.h"
#include "app/shell/rights.h"
#include "app/resources/resource.h"
#include "common/zt_box.h"

#include <commctrl.h>
#include <cstddef>
#include <cstring>
#include <string>

namespace {

#define S(f) offsetof(tagSYS, f), sizeof(tagSYS::f)
#define SYS_BOX(id, f) {id, ZF_CHECK, S(f), 0, ZF_NO_RIGHT, nullptr, nullptr, 0, 0}
const ZT_FIELD kRules[] = {
    SYS_BOX(IDC_SYS_NUM_MANUAL, bNumManualWrite),
    SYS_BOX(IDC_SYS_HOU_AREA, bHouArea),
    SYS_BOX(IDC_SYS_HOU_PRICE, bHouPrice),
    SYS_BOX(IDC_SYS_HOU_OWNER, bHouOwner),
    SYS_BOX(IDC_SYS_HOU_NODUP, bHouDeniedRepetition),
    SYS_BOX(IDC_SYS_HOU_CIPHER, bHouCipher),
    SYS_BOX(IDC_SYS_CLI_LINKTEL, bCliLinkTel),
    SYS_BOX(IDC_SYS_CLI_NODUP, bCliDeniedRepetition),
    SYS_BOX(IDC_SYS_CLI_CIPHER, bCliCipher),
};
// The picture size is read by the dialog: what is no number saves 1024.
const ZT_FIELD kShow[] = {
    {IDC_SYS_BMP_SIZE, ZF_INT, S(dwBmpMaxSize), 9, ZF_NO_RIGHT, "上传图片尺寸", "%u", 0, ZFF_NO_READ},
    SYS_BOX(IDC_SYS_ATTENDANCE, bAttendance),
    SYS_BOX(IDC_SYS_INTEGRITY, bIntegrityRule),
};
#undef SYS_BOX
#undef S

const uint32_t kDefaultPictureKB = 1024;

// The pages in tab order, with their titles and fields.
struct Page {
    int iTemplate;
    int iTitle;
    const ZT_FIELD* f;
    int n;
};
const Page kPages[] = {
    {IDD_SYSOPT_RULES, IDS_SYSOPT_TAB_RULES, kRules, static_cast<int>(sizeof(kRules) / sizeof(kRules[0]))},
    {IDD_SYSOPT_SHOW, IDS_SYSOPT_TAB_SHOW, kShow, static_cast<int>(sizeof(kShow) / sizeof(kShow[0]))},
};
const int kNumPages = static_cast<int>(sizeof(kPages) / sizeof(kPages[0]));

struct SysDlg {
    tagZT_Main_Param* p;
    HWND hPage[2];
};

INT_PTR CALLBACK PageProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

void ShowTab(HWND hDlg, SysDlg* d, int iTab)
{
    for (int i = 0; i < kNumPages; i++)
        ShowWindow(d->hPage[i], i == iTab ? SW_SHOW : SW_HIDE);
    SendDlgItemMessageA(hDlg, IDC_SYS_TAB, TCM_SETCURSEL, iTab, 0);
}

BOOL Init(HWND hDlg, void* pState)
{
    SysDlg* d = static_cast<SysDlg*>(pState);
    HWND hTab = GetDlgItem(hDlg, IDC_SYS_TAB);
    for (int i = 0; i < kNumPages; i++)
        Block_AddTab(hTab, d->p->hInst, i, kPages[i].iTitle);
    RECT rc;
    GetWindowRect(hTab, &rc);
    MapWindowPoints(nullptr, hDlg, reinterpret_cast<POINT*>(&rc), 2);
    SendMessageA(hTab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&rc));
    for (int i = 0; i < kNumPages; i++) {
        HWND h = CreateDialogParamA(d->p->hInst, MAKEINTRESOURCEA(kPages[i].iTemplate), hDlg, PageProc, 0);
        d->hPage[i] = h;
        if (!h)
            continue;
        SetWindowPos(h, HWND_TOP, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, SWP_NOACTIVATE);
        Fields_Limit(h, kPages[i].f, kPages[i].n);
        Fields_Show(h, kPages[i].f, kPages[i].n, &d->p->sys);
    }
    ShowTab(hDlg, d, 0);
    Rights_SysOptSave(d->p, hDlg);
    return TRUE;
}

// The largest picture the options take, in KB.
const int32_t kMaxPictureKB = 102400;

// The options the boxes describe, with the key of the current ones.  FALSE
// when the picture size is no number from 1 to kMaxPictureKB (the box named,
// its page shown).
BOOL ReadOptions(HWND hDlg, SysDlg* d, tagSYS* s)
{
    *s = d->p->sys;
    for (int i = 0; i < kNumPages; i++)
        Fields_Read(d->hPage[i], kPages[i].f, kPages[i].n, s);
    char text[32];
    Field_GetText(d->hPage[1], IDC_SYS_BMP_SIZE, text, sizeof(text));
    int32_t kb = 0;
    if (!text[0]) {
        s->dwBmpMaxSize = kDefaultPictureKB;
        return TRUE;
    }
    if (Field_ParseInt(text, &kb) != ZFP_OK || kb < 1 || kb > kMaxPictureKB) {
        ShowTab(hDlg, d, 1);
        Field_Refuse(d->hPage[1], IDC_SYS_BMP_SIZE, "「上传图片尺寸」须是 1 到 102400 之间的整数(KB)");
        return FALSE;
    }
    s->dwBmpMaxSize = static_cast<uint32_t>(kb);
    return TRUE;
}

// What a save changes, by the boxes' captions: "防止房源重复: 关→开; 上传图片尺寸: 1024→2048".
std::string Changes(SysDlg* d, const tagSYS& before, const tagSYS& after)
{
    std::string text;
    for (int i = 0; i < kNumPages; i++) {
        for (int k = 0; k < kPages[i].n; k++) {
            const ZT_FIELD& f = kPages[i].f[k];
            const char* a = reinterpret_cast<const char*>(&before) + f.off;
            const char* b = reinterpret_cast<const char*>(&after) + f.off;
            if (memcmp(a, b, f.cb) == 0)
                continue;
            char caption[128] = "";
            GetDlgItemTextA(d->hPage[i], f.id, caption, sizeof(caption));
            std::string name;
            for (const char* c = caption; *c; c++)
                if (*c != '&')
                    name += *c;
            if (f.pszLabel)
                name = f.pszLabel;
            int32_t va = 0, vb = 0;
            memcpy(&va, a, f.cb < sizeof(va) ? f.cb : sizeof(va));
            memcpy(&vb, b, f.cb < sizeof(vb) ? f.cb : sizeof(vb));
            std::string from = f.kind == ZF_CHECK ? (va ? "开" : "关") : std::to_string(va);
            std::string to = f.kind == ZF_CHECK ? (vb ? "开" : "关") : std::to_string(vb);
            text += (text.empty() ? "" : "; ") + name + ": " + from + "→" + to;
        }
    }
    return text;
}

// Unchanged options close the dialog as cancelled: nothing is stored.
BOOL Save(HWND hDlg, void* pState)
{
    SysDlg* d = static_cast<SysDlg*>(pState);
    tagZT_Main_Param* p = d->p;
    tagSYS s;
    if (!ReadOptions(hDlg, d, &s))
        return FALSE;
    if (memcmp(&s, &p->sys, sizeof(s)) == 0) {
        EndDialog(hDlg, IDCANCEL);
        return FALSE;
    }
    std::string change = Changes(d, p->sys, s);
    int op = Cache_Operator(p);
    tagSYS now;
    bool bRead = false;
    int r = Block_RunTask(hDlg, p, [&]() {
        int stored = FD_Upd_Sys(&s, op, change.c_str());
        // Saved by another desk since: the options as they are now, so the
        // session follows them and a save made knowing it goes through.
        if (stored == -1)
            bRead = FD_Sct_Sys(&now) != nullptr;
        return stored;
    });
    if (r == -1) {
        // What was ticked stays; the data library has said what the other
        // desk changed.
        if (bRead)
            p->sys = now;
        return FALSE;
    }
    if (r != 1) {
        // What was ticked stays: the user may try again or cancel.
        ZT_MessageBox(hDlg, "保存系统选项失败", "", MB_OK);
        return FALSE;
    }
    p->sys = s;
    return TRUE;
}

// The tab shows its page.
BOOL OnMessage(HWND hDlg, void* pState, UINT msg, WPARAM, LPARAM lParam, INT_PTR* pResult)
{
    const NMHDR* nm = msg == WM_NOTIFY ? reinterpret_cast<const NMHDR*>(lParam) : nullptr;
    if (!nm || nm->idFrom != IDC_SYS_TAB || nm->code != TCN_SELCHANGE)
        return FALSE;
    ShowTab(hDlg, static_cast<SysDlg*>(pState), static_cast<int>(SendMessageA(nm->hwndFrom, TCM_GETCURSEL, 0, 0)));
    *pResult = TRUE;
    return TRUE;
}

const ZT_DIALOG kSysOpt = {IDD_SYSOPT, Init, Save, OnMessage, ZTM_SYSOPT, ZT_OP_MODIFY, "更改系统选项"};

}  // namespace

INT_PTR SysOpt_Run(HWND hOwner, tagZT_Main_Param* p)
{
    SysDlg d = {p, {nullptr, nullptr}};
    return Block_RunDialog(hOwner, p, &kSysOpt, &d);
}
