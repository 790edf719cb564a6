#include "app/listings/listing_panel.h"

static INT_PTR CALLBACK PanelProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(hDlg, DWLP_USER, lParam);
        return TRUE;
    case WM_COMMAND: {
        const LISTING_PANEL_IDS* ids = reinterpret_cast<const LISTING_PANEL_IDS*>(GetWindowLongPtrA(hDlg, DWLP_USER));
        int id = LOWORD(wParam);
        // The buttons belong to the window.
        if (ids && HIWORD(wParam) == BN_CLICKED && (id == ids->iFind || id == ids->iClear || id == ids->iExpand))
            SendMessageA(GetParent(hDlg), WM_COMMAND, wParam, lParam);
        return TRUE;
    }
    }
    return FALSE;
}

HWND ListingPanel_Create(HINSTANCE hInst, int iDlg, HWND hParent, const LISTING_PANEL_IDS* ids)
{
    return CreateDialogParamA(hInst, MAKEINTRESOURCEA(iDlg), hParent, PanelProc, reinterpret_cast<LPARAM>(ids));
}

std::string ListingPanel_Text(HWND hPanel, int id)
{
    char b[1100] = "";
    GetDlgItemTextA(hPanel, id, b, sizeof(b));
    return b;
}

void ListingPanel_Clear(HWND hPanel, const int* ids, size_t n)
{
    for (size_t i = 0; i < n; i++)
        SetDlgItemTextA(hPanel, ids[i], "");
}

void ListingPanel_FillUrban(HWND hPanel, int id, const tagZT_Main_Param* p)
{
    HWND hUrban = GetDlgItem(hPanel, id);
    for (int i = 0; p->pUrban && i < p->nUrban; i++)
        if (p->pUrban[i].iOrdinal)
            SendMessageA(hUrban, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(p->pUrban[i].szUrban));
}
