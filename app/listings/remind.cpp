#include "app/listings/remind.h"
#include "app/listings/follow_ids.h"
#include "app/shell/blocks.h"
#include "app/shell/rights.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

// The box on screen; checks never overlap, so there is at most one.
struct REMIND_BOX {
    tagZT_Main_Param* p;
    std::vector<int> order;          // entry -> reminder index, last reminder first
    std::vector<bool> acknowledged;  // by reminder index
};

static volatile HWND g_hBox = nullptr;

HWND Remind_Box()
{
    return g_hBox;
}

const char* Remind_RangeName(int iRange)
{
    switch (iRange) {
    case 1: return "本人";
    case 2: return "本部";
    case 0: return "跨部";
    }
    return "ERROR";
}

static int User(const tagZT_Main_Param* p)
{
    return p->pLoginEmp ? p->pLoginEmp->iOrdinal : 0;
}

// Shows entry n of the list and acknowledges its reminder the first time.
static void ShowEntry(HWND hDlg, REMIND_BOX* b, int n)
{
    if (n < 0 || n >= static_cast<int>(b->order.size()))
        return;
    int i = b->order[n];
    const tagREMIND& r = b->p->pRemind[i];
    SetDlgItemTextA(hDlg, IDC_RB_KIND, r.iCli ? "客源" : "房源");
    SetDlgItemTextA(hDlg, IDC_RB_RANGE, Remind_RangeName(r.iRange));
    SetDlgItemTextA(hDlg, IDC_RB_TEXT, r.szContent);
    if (!b->acknowledged[i]) {
        b->acknowledged[i] = true;
        FD_UPD_Remind(User(b->p), r.iOrdinal);
    }
}

static void Init(HWND hDlg, REMIND_BOX* b)
{
    HWND hList = GetDlgItem(hDlg, IDC_RB_OBJECT);
    for (int i = b->p->nRemind - 1; i >= 0; i--) {
        const tagREMIND& r = b->p->pRemind[i];
        char key[16];
        snprintf(key, sizeof(key), "%d", r.iCli ? r.iCli : r.iHou);
        SendMessageA(hList, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(key));
        b->order.push_back(i);
    }
    b->acknowledged.assign(b->p->nRemind, false);
    CheckDlgButton(hDlg, IDC_RB_STOP, b->p->bRemindOff ? BST_CHECKED : BST_UNCHECKED);
    SendMessageA(hList, CB_SETCURSEL, 0, 0);
    ShowEntry(hDlg, b, 0);
}

static INT_PTR CALLBACK RemindBoxProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam)
{
    REMIND_BOX* b = Block_DialogState<REMIND_BOX>(hDlg, msg, lParam);
    if (msg == WM_INITDIALOG) {
        Init(hDlg, b);
        g_hBox = hDlg;
        return TRUE;
    }
    int id = LOWORD(wParam);
    if (msg != WM_COMMAND || !b)
        return FALSE;
    if (id == IDC_RB_OBJECT && HIWORD(wParam) == CBN_SELCHANGE)
        ShowEntry(hDlg, b, static_cast<int>(SendDlgItemMessageA(hDlg, IDC_RB_OBJECT, CB_GETCURSEL, 0, 0)));
    else if (id == IDC_RB_STOP)
        b->p->bRemindOff = IsDlgButtonChecked(hDlg, IDC_RB_STOP) == BST_CHECKED ? 1 : 0;
    else if (id == IDC_RB_CLOSE || id == IDCANCEL) {
        g_hBox = nullptr;
        EndDialog(hDlg, IDCANCEL);
    }
    return id == IDC_RB_OBJECT || id == IDC_RB_STOP || id == IDC_RB_CLOSE || id == IDCANCEL;
}

INT_PTR Remind_ShowBox(tagZT_Main_Param* p)
{
    if (!p || !p->pRemind || p->nRemind <= 0)
        return 0;
    REMIND_BOX b;
    b.p = p;
    INT_PTR r = DialogBoxParamA(p->hInst, MAKEINTRESOURCEA(IDD_REMIND), nullptr, RemindBoxProc,
                                reinterpret_cast<LPARAM>(&b));
    g_hBox = nullptr;
    return r;
}

int Remind_KeepVisible(tagREMIND* pRem, int n, int iEmp, int iBr, const std::set<int>& houses,
                       const std::set<int>& clients)
{
    int kept = 0;
    for (int i = 0; pRem && i < n; i++) {
        const tagREMIND& r = pRem[i];
        bool audience = r.iRange == 1 ? r.iEmp == iEmp : r.iRange == 2 ? r.iBr == iBr : true;
        bool listing = r.iCli ? clients.count(r.iCli) != 0 : houses.count(r.iHou) != 0;
        if (r.iOrdinal && audience && listing)
            pRem[kept++] = r;
    }
    for (int i = kept; pRem && i < n; i++)
        memset(&pRem[i], 0, sizeof(pRem[i]));
    return kept;
}

// The keys among those of the reminders that the house (bHouses) or client
// list would show the user.
static std::set<int> VisibleListings(const tagZT_Main_Param* p, const tagREMIND* pRem, int n, bool bHouses)
{
    std::set<int> keys;
    std::string in;
    for (int i = 0; i < n; i++) {
        int key = bHouses ? (pRem[i].iCli ? 0 : pRem[i].iHou) : pRem[i].iCli;
        if (key)
            in += (in.empty() ? "" : ",") + std::to_string(key);
    }
    int module = bHouses ? ZTM_HOUSE : ZTM_CLIENT;
    if (in.empty() || !Rights_MayOpen(p, module))
        return keys;
    char scope[64];
    Rights_ScopeText(p, module, scope, sizeof(scope));
    std::string where = "iOrdinal in (" + in + ")" + (scope[0] ? std::string(" and ") + scope : "");
    int count = 0;
    if (bHouses) {
        tagHOUSE* list = nullptr;
        if (FD_Sct_Hou(User(p), &list, &count, where.c_str(), 0, nullptr, nullptr) && list) {
            for (int i = 0; i < count; i++)
                keys.insert(list[i].iOrdinal);
            Mem_Free_Hou(list);
        }
    } else {
        tagCLIENT* list = nullptr;
        if (FD_Sct_Cli(User(p), &list, &count, where.c_str(), 0) && list) {
            for (int i = 0; i < count; i++)
                keys.insert(list[i].iOrdinal);
            Mem_Free_Cli(list);
        }
    }
    return keys;
}

DWORD WINAPI Remind_Check(LPVOID pParam)
{
    tagZT_Main_Param* p = static_cast<tagZT_Main_Param*>(pParam);
    if (!p || !p->pLoginEmp)
        return 0;
    if (p->pRemind)
        Mem_Free_Remind(p->pRemind);
    p->pRemind = nullptr;
    p->nRemind = 0;
    int n = 0;
    int br = p->pLoginBr ? p->pLoginBr->iOrdinal : p->pLoginEmp->iBr;
    tagREMIND* due = nullptr;
    if (FD_SCT_Remind(&due, &n, User(p), br) && due) {
        // Shown to its audience only, and only for listings the user may see.
        std::set<int> houses = VisibleListings(p, due, n, true), clients = VisibleListings(p, due, n, false);
        n = Remind_KeepVisible(due, n, User(p), br, houses, clients);
        if (n > 0) {
            p->pRemind = due;
            p->nRemind = n;
        } else {
            Mem_Free_Remind(due);
        }
    }
    if (p->nRemind > 0)
        Remind_ShowBox(p);
    return 0;
}
