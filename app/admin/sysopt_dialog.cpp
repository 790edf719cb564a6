// The system options dialog and its two pages.
#include "app/admin/sysopt_dialog.h"
#include "app/shell/blocks.h"
#include "app/shell/field_table.h"
#include "app/shell/main_param.h"
#include "app/shell/rights.h"
#include "app/resources/resource.h"
#include "common/zt_box.h"
#include "outside/popedom/ZTPopedom.h"

#include <commctrl.h>
#include <cstddef>
#include <cstring>

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

void Init(HWND hDlg, SysDlg* d)
{
    HWND hTab = GetDlgItem(hDlg, IDC_SYS_TAB);
    for (int i = 0; i < kNumPages; i++) {
        char title[64] = "";
        LoadStringA(d->p->hInst, kPages[i].iTitle, title, sizeof(title));
        TCITEMA item;
        memset(&item, 0, sizeof(item));
        item.mask = TCIF_TEXT;
        item.pszText = title;
        SendMessageA(hTab, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
    }
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
}

// The options the boxes describe, with the key of the current ones.
void ReadOptions(const SysDlg* d, tagSYS* s)
{
    *s = d->p->sys;
    for (int i = 0; i < kNumPages; i++)
        Fields_Read(d->hPage[i], kPages[i].f, kPages[i].n, s);
    char text[32];
    Field_GetText(d->hPage[1], IDC_SYS_BMP_SIZE, text, sizeof(text));
    int32_t kb = 0;
    s->dwBmpMaxSize = text[0] && Field_ParseInt(text, &kb) == ZFP_OK ? static_cast<uint32_t>(kb) : kDefaultPictureKB;
}

void Save(HWND hDlg, SysDlg* d)
{
    tagZT_Main_Param* p = d->p;
    if (!PD_Akst(p->W11, ZT_OP_MODIFY, 0, 0))
        return;
    tagSYS s;
    ReadOptions(d, &s);
    if (memcmp(&s, &p->sys, sizeof(s)) == 0) {
        EndDialog(hDlg, 0);
        return;
    }
    if (Block_RunTask(hDlg, p, [&]() { return FD_Upd_Sys(&s); }) != 1) {
        // What was ticked stays: the user may try again or cancel.
        ZT_MessageBox(hDlg, "保存系统选项失败", "", MB_OK);
        return;
    }
    p->sys = s;
    EndDialog(hDlg, 1);
}

}  // namespace

INT_PTR CALLBACK SysOpt_DlgProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_INITDIALOG) {
        SysDlg* d = new SysDlg();
        d->p = reinterpret_cast<tagZT_Main_Param*>(lParam);
        SetWindowLongPtrA(hDlg, DWLP_USER, reinterpret_cast<LONG_PTR>(d));
        Init(hDlg, d);
        return TRUE;
    }
    SysDlg* d = reinterpret_cast<SysDlg*>(GetWindowLongPtrA(hDlg, DWLP_USER));
    if (!d)
        return FALSE;
    switch (msg) {
    case WM_NOTIFY: {
        const NMHDR* nm = reinterpret_cast<const NMHDR*>(lParam);
        if (nm->idFrom == IDC_SYS_TAB && nm->code == TCN_SELCHANGE)
            ShowTab(hDlg, d, static_cast<int>(SendMessageA(nm->hwndFrom, TCM_GETCURSEL, 0, 0)));
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK)
            Save(hDlg, d);
        else if (LOWORD(wParam) == IDCANCEL)
            EndDialog(hDlg, 0);
        return TRUE;
    case WM_DESTROY:
        SetWindowLongPtrA(hDlg, DWLP_USER, 0);
        delete d;
        return FALSE;
    }
    return FALSE;
}
