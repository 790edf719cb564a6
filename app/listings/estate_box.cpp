#include "app/listings/estate_box.h"
#include "app/shell/caches.h"
#include "app/shell/input_controls.h"
#include "app/shell/jobs.h"
#include "common/gbk.h"

#include <cstring>

static const char kProp[] = "ZT_EstateBox";

struct ESTBOX {
    HWND hBox;
    WNDPROC oldProc;
    const tagZT_Main_Param* p;
    char typed[ZTCB_MAX_TEXT + 1];     // the text of the newest search
    int found[ESTATE_BOX_MAX];         // what the box lists
    int nFound;
};

// ---- Matching ------------------------------------------------------------------------

void EstateBox_Normalise(const char* pszTyped, char* pszOut, size_t cb)
{
    if (!pszOut || cb == 0)
        return;
    size_t n = 0;
    for (const unsigned char* s = reinterpret_cast<const unsigned char*>(pszTyped ? pszTyped : ""); *s && n + 1 < cb;) {
        if (Gbk_IsLead(s[0]) && s[1]) {
            // GBK A3B0..A3B9 are the full-width digits, A3C1..A3DA the capitals.
            if (s[0] == 0xA3 && ((s[1] >= 0xB0 && s[1] <= 0xB9) || (s[1] >= 0xC1 && s[1] <= 0xDA))) {
                pszOut[n++] = static_cast<char>(s[1] - 0x80);
                s += 2;
                continue;
            }
            if (n + 2 >= cb)
                break;
            pszOut[n++] = static_cast<char>(s[0]);
            pszOut[n++] = static_cast<char>(s[1]);
            s += 2;
            continue;
        }
        char c = static_cast<char>(*s++);
        pszOut[n++] = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    }
    pszOut[n] = 0;
}

// Whether field begins with prefix (field compared upper-cased where it is ASCII).
template <size_t N> static bool Begins(const char (&field)[N], const char* prefix, size_t len)
{
    if (len > strnlen(field, N))
        return false;
    for (size_t i = 0; i < len; i++) {
        char c = field[i];
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        if (c != prefix[i])
            return false;
    }
    return true;
}

static int Find(const tagESTLIST* pList, int nList, const char* norm, int* pIdx, int nMax,
                const volatile LONG* pCancel)
{
    size_t len = strlen(norm);
    int n = 0;
    for (int i = 0; pList && i < nList && n < nMax; i++) {
        if (pCancel && *pCancel)
            break;
        const tagESTLIST& e = pList[i];
        if (e.iOrdinal && (Begins(e.szEstate, norm, len) || Begins(e.szSpell, norm, len)))
            pIdx[n++] = i;
    }
    return n;
}

int EstateBox_Find(const tagESTLIST* pList, int nList, const char* pszTyped, int* pIdx, int nMax)
{
    char norm[ZTCB_MAX_TEXT + 1];
    EstateBox_Normalise(pszTyped, norm, sizeof(norm));
    if (norm[0] >= '0' && norm[0] <= '9')
        return -1;
    return Find(pList, nList, norm, pIdx, nMax, nullptr);
}

// ---- The box -------------------------------------------------------------------------------

// One search on a job: the typed text, and the estates found.
struct SEARCH_JOB : ZT_JOB {
    const tagZT_Main_Param* p;
    char norm[ZTCB_MAX_TEXT + 1];
    int found[ESTATE_BOX_MAX];
    int nFound;
};

static bool HasFocus(const ESTBOX* b)
{
    HWND f = GetFocus();
    return f && (f == b->hBox || IsChild(b->hBox, f));
}

static void ShowFound(ESTBOX* b)
{
    SendMessageA(b->hBox, CB_RESETCONTENT, 0, 0);
    bool exact = false;
    for (int i = 0; i < b->nFound; i++) {
        const char* name = b->p->pEstList[b->found[i]].szEstate;
        SendMessageA(b->hBox, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
        exact = exact || strcmp(name, b->typed) == 0;
    }
    // A name already complete needs no list; an empty result keeps an open
    // list open (closing it would take the typing away from the box).
    if (b->nFound > 0 && !exact && HasFocus(b))
        SendMessageA(b->hBox, CB_SHOWDROPDOWN, TRUE, 0);
}

static void ShowSearch(ZT_JOB* j)
{
    SEARCH_JOB* sj = static_cast<SEARCH_JOB*>(j);
    ESTBOX* b = static_cast<ESTBOX*>(const_cast<void*>(sj->owner));
    memcpy(b->found, sj->found, sizeof(b->found));
    b->nFound = sj->nFound;
    ShowFound(b);
}

// A newer keystroke makes the running search stale: it stops early and
// its result is not shown.
static void StartSearch(ESTBOX* b, const char* text)
{
    Gbk_CopyCut(b->typed, sizeof(b->typed), text);
    SEARCH_JOB* j = new SEARCH_JOB();
    EstateBox_Normalise(text, j->norm, sizeof(j->norm));
    if (j->norm[0] >= '0' && j->norm[0] <= '9') {
        Job_Drop(b);
        delete j;
        return;                               // a telephone or a key: left alone
    }
    j->owner = b;
    j->p = b->p;
    j->pfnWork = [](ZT_JOB* job) {
        SEARCH_JOB* sj = static_cast<SEARCH_JOB*>(job);
        sj->nFound = Find(sj->p->pEstList, Cache_EstateSlots(sj->p), sj->norm, sj->found, ESTATE_BOX_MAX, &sj->stale);
    };
    j->pfnTake = ShowSearch;
    j->pfnFree = [](ZT_JOB* job) { delete static_cast<SEARCH_JOB*>(job); };
    Job_Start(j);
}

static LRESULT CALLBACK EstateBoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    ESTBOX* b = static_cast<ESTBOX*>(GetPropA(hwnd, kProp));
    if (!b)
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    WNDPROC old = b->oldProc;
    switch (msg) {
    case WM_COMMAND: {
        // The edit child reports what the user types.
        LRESULT r = CallWindowProcA(old, hwnd, msg, wParam, lParam);
        if (HIWORD(wParam) == EN_CHANGE && HasFocus(b)) {
            char text[ZTCB_MAX_TEXT + 1] = "";
            GetWindowTextA(hwnd, text, sizeof(text));
            if (strcmp(text, b->typed) != 0)
                StartSearch(b, text);
        }
        return r;
    }
    case WM_NCDESTROY:
        Job_Drop(b);
        RemovePropA(hwnd, kProp);
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
        delete b;
        return CallWindowProcA(old, hwnd, msg, wParam, lParam);
    }
    return CallWindowProcA(old, hwnd, msg, wParam, lParam);
}

BOOL EstateBox_Attach(HWND hBox, const tagZT_Main_Param* p)
{
    if (!hBox || !p || GetPropA(hBox, kProp))
        return hBox && p;
    ESTBOX* b = new ESTBOX();
    b->hBox = hBox;
    b->p = p;
    SetPropA(hBox, kProp, b);
    b->oldProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hBox, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EstateBoxProc)));
    SendMessageA(hBox, CB_LIMITTEXT, 150, 0);
    b->nFound = EstateBox_Find(p->pEstList, Cache_EstateSlots(p), "", b->found, ESTATE_BOX_MAX);
    ShowFound(b);
    return TRUE;
}

void EstateBox_Settle(HWND hBox)
{
    ESTBOX* b = hBox ? static_cast<ESTBOX*>(GetPropA(hBox, kProp)) : nullptr;
    if (b)
        Job_Settle(b);
}
