#include "app/admin/area_merge.h"
#include "app/shell/blocks.h"
#include "app/shell/caches.h"
#include "app/resources/resource.h"
#include "common/zt_box.h"

namespace {

void Init(HWND hDlg, URBAN_MERGE* m)
{
    tagZT_Main_Param* p = m->p;
    const tagURBAN* src = m->pSource;
    char name[sizeof(src->szUrban) + 1] = "";
    lstrcpynA(name, src->szUrban, sizeof(src->szUrban));
    SetDlgItemTextA(hDlg, IDC_AREA_NAME, name);
    HWND hList = GetDlgItem(hDlg, IDC_AREA_TARGET);
    for (int i = 0; i < Cache_UrbanSlots(p); i++) {
        const tagURBAN& u = p->pUrban[i];
        if (!u.iOrdinal || u.iOrdinal == src->iOrdinal || u.iParentIndex != src->iParentIndex)
            continue;
        lstrcpynA(name, u.szUrban, sizeof(u.szUrban));
        LRESULT at = SendMessageA(hList, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
        if (at >= 0)
            SendMessageA(hList, CB_SETITEMDATA, at, u.iOrdinal);
    }
}

void Confirm(HWND hDlg, URBAN_MERGE* m)
{
    HWND hList = GetDlgItem(hDlg, IDC_AREA_TARGET);
    LRESULT at = SendMessageA(hList, CB_GETCURSEL, 0, 0);
    if (at == CB_ERR) {
        SetFocus(hList);
        return;
    }
    int target = static_cast<int>(SendMessageA(hList, CB_GETITEMDATA, at, 0));
    if (target == m->pSource->iOrdinal) {
        ZT_MessageBox(hDlg, "源城区和新城区相同,不能合并", "", MB_OK);
        return;
    }
    m->iTarget = target;
    if (m->pfnMerge && m->pfnMerge(m, hDlg))
        EndDialog(hDlg, IDOK);
}

INT_PTR CALLBACK MergeProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam)
{
    URBAN_MERGE* m = Block_DialogState<URBAN_MERGE>(hDlg, msg, lParam);
    if (msg == WM_INITDIALOG) {
        Init(hDlg, m);
        return TRUE;
    }
    if (msg != WM_COMMAND || !m)
        return FALSE;
    if (LOWORD(wParam) == IDOK)
        Confirm(hDlg, m);
    else if (LOWORD(wParam) == IDCANCEL)
        EndDialog(hDlg, IDCANCEL);
    return TRUE;
}

}  // namespace

INT_PTR UrbanMerge_Run(HWND hOwner, URBAN_MERGE* m)
{
    if (!m || !m->p || !m->pSource)
        return IDCANCEL;
    m->iTarget = 0;
    return DialogBoxParamA(m->p->hInst, MAKEINTRESOURCEA(IDD_AREA_MERGE), hOwner, MergeProc,
                           reinterpret_cast<LPARAM>(m));
}
