#include "app/admin/name_dialog.h"
#include "app/shell/blocks.h"
#include "app/shell/field_table.h"
#include "common/gbk.h"

#include <cctype>
#include <cstdio>
#include <cstring>

namespace {

struct NameDlgState {
    NAME_DLG* d;
    char szOld[64];
    int32_t iOld;
};

BOOL Init(HWND hDlg, void* pState)
{
    NameDlgState* s = static_cast<NameDlgState*>(pState);
    NAME_DLG* d = s->d;
    char title[64] = "";
    if (d->iTitle)
        LoadStringA(d->p->hInst, d->iTitle, title, sizeof(title));
    SetWindowTextA(hDlg, title);
    if (d->idParent)
        SetDlgItemTextA(hDlg, d->idParent, d->pszParent ? d->pszParent : "");
    SendDlgItemMessageA(hDlg, d->idName, EM_LIMITTEXT, d->cbName - 1, 0);
    SetDlgItemTextA(hDlg, d->idName, d->bModify ? d->szName : "");
    if (d->idPriority) {
        char n[16];
        snprintf(n, sizeof(n), "%d", d->bModify ? d->iPriority : 0);
        SendDlgItemMessageA(hDlg, d->idPriority, EM_LIMITTEXT, 11, 0);
        SetDlgItemTextA(hDlg, d->idPriority, n);
    }
    lstrcpynA(s->szOld, d->szName, sizeof(s->szOld));
    s->iOld = d->bModify ? d->iPriority : 0;
    SetFocus(GetDlgItem(hDlg, d->idName));
    SendDlgItemMessageA(hDlg, d->idName, EM_SETSEL, 0, -1);
    return FALSE;                            // the focus is set
}

// A modify that changes nothing closes the dialog as cancelled.
BOOL Save(HWND hDlg, void* pState)
{
    NameDlgState* s = static_cast<NameDlgState*>(pState);
    NAME_DLG* d = s->d;
    char whole[256] = "", name[64] = "";
    Field_GetText(hDlg, d->idName, whole, sizeof(whole));
    if (d->pszLabel && strlen(whole) > static_cast<size_t>(d->cbName - 1)) {
        Field_Refuse(hDlg, d->idName, NameDialog_TooLong(d->pszLabel, d->cbName).c_str());
        return FALSE;
    }
    Gbk_CopyCut(name, static_cast<size_t>(d->cbName), whole);
    if (!name[0]) {
        SetFocus(GetDlgItem(hDlg, d->idName));
        return FALSE;
    }
    int32_t priority = 0;
    if (d->idPriority) {
        char text[64] = "";
        Field_GetText(hDlg, d->idPriority, text, sizeof(text));
        if (!NameDialog_ReadPriority(text, &priority)) {
            Field_Refuse(hDlg, d->idPriority, "「优先级」须是整数(可带负号), 或不填");
            return FALSE;
        }
    }
    if (d->bModify && strcmp(name, s->szOld) == 0 && priority == s->iOld) {
        EndDialog(hDlg, IDCANCEL);
        return FALSE;
    }
    lstrcpynA(d->szName, name, sizeof(d->szName));
    d->iPriority = priority;
    return d->pfnSave && d->pfnSave(d, hDlg);
}

}  // namespace

INT_PTR NameDialog_Run(HWND hOwner, NAME_DLG* d)
{
    if (!d || !d->p || d->cbName < 2 || d->cbName > static_cast<int>(sizeof(d->szName)))
        return IDCANCEL;
    NameDlgState s = {d, "", 0};
    ZT_DIALOG dlg = {d->iDialog, Init, Save, nullptr};
    return Block_RunDialog(hOwner, d->p, &dlg, &s);
}

BOOL NameDialog_ReadPriority(const char* psz, int32_t* pValue)
{
    *pValue = NameDialog_Priority(psz);
    const char* t = psz ? psz : "";
    while (*t == ' ' || *t == '\t')
        t++;
    // 0 is what anything unreadable gives: only a written 0 (or nothing) is 0.
    if (*pValue != 0 || !*t)
        return TRUE;
    if (*t == '-' || *t == '+')
        t++;
    bool digits = false;
    for (; *t >= '0' && *t <= '9'; t++) {
        if (*t != '0')
            return FALSE;
        digits = true;
    }
    while (*t == ' ' || *t == '\t')
        t++;
    return digits && !*t;
}

int32_t NameDialog_Priority(const char* psz)
{
    if (!psz)
        return 0;
    while (*psz == ' ' || *psz == '\t')
        psz++;
    bool negative = *psz == '-';
    if (*psz == '-' || *psz == '+')
        psz++;
    if (!isdigit(static_cast<unsigned char>(*psz)))
        return 0;
    long long v = 0;
    for (; isdigit(static_cast<unsigned char>(*psz)); psz++) {
        v = v * 10 + (*psz - '0');
        if (v > 2147483648LL)
            return 0;
    }
    while (*psz == ' ' || *psz == '\t')
        psz++;
    if (*psz)
        return 0;
    if (negative)
        v = -v;
    if (v > 2147483647LL)
        return 0;
    return static_cast<int32_t>(v);
}

std::string NameDialog_TooLong(const char* pszLabel, int cbName)
{
    int bytes = cbName - 1;
    char text[160];
    snprintf(text, sizeof(text), "「%s」最多%d个汉字(%d个字节)", pszLabel ? pszLabel : "", bytes / 2, bytes);
    return text;
}
