#include "app/admin/area_merge.h"
#include "app/shell/blocks.h"
#include "app/shell/caches.h"
#include "app/resources/resource.h"
#include "common/zt_box.h"

#include <string>

namespace {

BOOL Init(HWND hDlg, void* pState)
{
    URBAN_MERGE* m = static_cast<URBAN_MERGE*>(pState);
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
    return TRUE;
}

BOOL Confirm(HWND hDlg, void* pState)
{
    URBAN_MERGE* m = static_cast<URBAN_MERGE*>(pState);
    HWND hList = GetDlgItem(hDlg, IDC_AREA_TARGET);
    LRESULT at = SendMessageA(hList, CB_GETCURSEL, 0, 0);
    if (at == CB_ERR) {
        SetFocus(hList);
        return FALSE;
    }
    int target = static_cast<int>(SendMessageA(hList, CB_GETITEMDATA, at, 0));
    if (target == m->pSource->iOrdinal) {
        ZT_MessageBox(hDlg, "源城区和新城区相同,不能合并", "", MB_OK);
        return FALSE;
    }
    // Asked first: the districts and estates move for good.
    char from[sizeof(m->pSource->szUrban) + 1] = "", to[64] = "";
    lstrcpynA(from, m->pSource->szUrban, sizeof(m->pSource->szUrban));
    GetWindowTextA(hList, to, sizeof(to));
    std::string ask = std::string("「") + from + "」的片区和楼盘将全部转到「" + to + "」, 「" + from +
                      "」移到回收站, 是否合并?";
    if (ZT_MessageBox(hDlg, ask.c_str(), "合并确认", MB_OKCANCEL | MB_ICONQUESTION) != IDOK)
        return FALSE;
    m->iTarget = target;
    return m->pfnMerge && m->pfnMerge(m, hDlg);
}

const ZT_DIALOG kMerge = {IDD_AREA_MERGE, Init, Confirm, nullptr};

}  // namespace

INT_PTR UrbanMerge_Run(HWND hOwner, URBAN_MERGE* m)
{
    if (!m || !m->p || !m->pSource)
        return IDCANCEL;
    m->iTarget = 0;
    m->bSourceGone = FALSE;
    return Block_RunDialog(hOwner, m->p, &kMerge, m);
}
