// Telephone masking, revealing and the owed follow-up of the listing dialogs.
#include "app/listings/listing_phones.h"
#include "app/listings/follow_dialog.h"
#include "app/shell/caches.h"
#include "app/shell/field_table.h"
#include "app/shell/jobs.h"
#include "app/shell/rights.h"
#include "cipher/cipher.h"
#include "common/gbk.h"
#include "common/zt_box.h"

#include <cstdio>
#include <cstring>
#include <set>
#include <utility>

void Phones_Init(LISTING_PHONES* ph, const LISTING_PHONE_BOX* box, int nBox, BOOL bMasking, BOOL bFree)
{
    ph->box = box;
    ph->nBox = nBox;
    ph->bVisible = !bMasking;
    ph->bRevealed = FALSE;
    ph->bFree = bFree;
    ph->bDebt = FALSE;
    ph->iAsking = 0;
}

void Phones_Decipher(const char* pszStored, char* pszOut, size_t cb)
{
    char work[520] = "";
    Gbk_CopyCut(work, 257, pszStored);    // the cipher's 256-byte form
    if (work[0])
        CipherText("", work, CIPHER_DECODE);
    Gbk_CopyCut(pszOut, cb, work);
}

void Phones_Encipher(const char* pszPlain, char* pszOut, size_t cb)
{
    char work[520] = "";
    Gbk_CopyCut(work, LISTING_TEL_MAX + 1, pszPlain);
    if (work[0])
        CipherText("", work, CIPHER_ENCODE);
    // 120 plain bytes give 240 hex digits: every telephone field holds them.
    if (strlen(work) < cb)
        strcpy(pszOut, work);
    else if (cb)
        pszOut[0] = '\0';
}

BOOL Phones_Readable(const LISTING_PHONES* ph)
{
    return ph->bVisible || ph->bRevealed;
}

static const char* Field(const void* rec, const LISTING_PHONE_BOX& b)
{
    return static_cast<const char*>(rec) + b.off;
}

void Phones_Show(const LISTING_PHONES* ph, HWND hDlg, const void* rec)
{
    for (int i = 0; i < ph->nBox; i++) {
        const LISTING_PHONE_BOX& b = ph->box[i];
        char text[300] = "";
        // Nothing stored shows empty, masked or not: the mask stands only
        // for a value that is there.
        if (!rec || !Field(rec, b)[0])
            text[0] = '\0';
        else if (!Phones_Readable(ph))
            strcpy(text, LISTING_MASK);
        else if (b.bTel)
            Phones_Decipher(Field(rec, b), text, sizeof(text));
        else
            Gbk_CopyCut(text, sizeof(text), Field(rec, b));
        SetDlgItemTextA(hDlg, b.id, text);
    }
}

BOOL Phones_Reveal(LISTING_PHONES* ph, HWND hDlg, const void* rec)
{
    if (Phones_Readable(ph))
        return FALSE;
    ph->bRevealed = TRUE;
    Phones_Show(ph, hDlg, rec);
    return TRUE;
}

// ---- Asking the server -----------------------------------------------------------------------

// The kind of the view's job among the owner's jobs (the dialogs' own
// loads use small numbers).
enum { PHONES_JOB_VIEW = 40 };

const char kPhonesNotRecorded[] = "看电话没有记录到数据服务器, 电话没有显示, 请稍后再试";
const char kPhonesUnknown[] = "与数据服务器的连接中断, 不能确定看电话是否已记录, 电话没有显示, 请稍后再试";

std::string Phones_RefusedText(BOOL bHouse, int iCount, int iMax)
{
    char text[200];
    snprintf(text, sizeof(text), "今天已看%s电话 %d 次, 已到每天 %d 次的上限, 不能再看", bHouse ? "房源" : "客源",
             iCount, iMax);
    return text;
}

struct ViewJob : ZT_JOB {
    LISTING_PHONES* ph;         // in the owner's state (alive whenever the result is taken)
    HWND hDlg;
    void (*pfnAllowed)(void* owner, int iKey);
    BOOL bHouse;
    int iOpEmp, iKey, iMax;
    int result, count;          // FD_View_Tel's answer
};

static void ViewWork(ZT_JOB* job)
{
    ViewJob* j = static_cast<ViewJob*>(job);
    j->result = FD_View_Tel(j->iOpEmp, j->bHouse ? 0 : 1, j->iKey, j->iMax, &j->count);
}

static void ViewTake(ZT_JOB* job)
{
    ViewJob* j = static_cast<ViewJob*>(job);
    if (j->ph->iAsking == j->iKey)
        j->ph->iAsking = 0;
    if (j->result == TELVIEW_ALLOWED) {
        j->pfnAllowed(const_cast<void*>(j->owner), j->iKey);
        return;
    }
    HWND owner = IsWindow(j->hDlg) ? j->hDlg : nullptr;
    if (j->result == TELVIEW_REFUSED)
        ZT_MessageBox(owner, Phones_RefusedText(j->bHouse, j->count, j->iMax).c_str(), "看电话", MB_OK | MB_ICONINFORMATION);
    else
        ZT_MessageBox(owner, j->result == TELVIEW_UNKNOWN ? kPhonesUnknown : kPhonesNotRecorded, "操作失败",
                      MB_OK | MB_ICONWARNING);
}

static void ViewFree(ZT_JOB* job)
{
    delete static_cast<ViewJob*>(job);
}

BOOL Phones_AskView(LISTING_PHONES* ph, const void* owner, HWND hDlg, const tagZT_Main_Param* p, BOOL bHouse,
                    int iKey, void (*pfnAllowed)(void* owner, int iKey))
{
    if (Phones_Readable(ph) || ph->iAsking == iKey || !iKey)
        return FALSE;
    ViewJob* j = Job_New<ViewJob>(owner, PHONES_JOB_VIEW, ViewWork, ViewTake, ViewFree);
    j->ph = ph;
    j->hDlg = hDlg;
    j->pfnAllowed = pfnAllowed;
    j->bHouse = bHouse;
    j->iOpEmp = Cache_Operator(p);
    j->iKey = iKey;
    j->iMax = bHouse ? p->iHouReadMax : p->iCliReadMax;
    ph->iAsking = iKey;
    Job_Start(j);
    return TRUE;
}

void Phones_BoxText(const LISTING_PHONES* ph, HWND hDlg, int id, char* pszOut, size_t cb)
{
    if (!Phones_Readable(ph)) {
        if (cb)
            pszOut[0] = '\0';
        return;
    }
    Field_GetText(hDlg, id, pszOut, cb);
}

void Phones_Read(const LISTING_PHONES* ph, HWND hDlg, const void* pOld, void* pNew)
{
    char* dst = static_cast<char*>(pNew);
    for (int i = 0; i < ph->nBox; i++) {
        const LISTING_PHONE_BOX& b = ph->box[i];
        // A masked box holds the mask for a stored value, which is kept; a
        // box with nothing stored behind it was shown empty and holds what
        // the user typed there.
        if (!Phones_Readable(ph) && (!pOld || Field(pOld, b)[0])) {
            Gbk_CopyCut(dst + b.off, b.cb, pOld ? Field(pOld, b) : "");
            continue;
        }
        char text[1100];
        Field_GetText(hDlg, b.id, text, sizeof(text));
        if (b.bTel)
            Phones_Encipher(text, dst + b.off, b.cb);
        else
            Gbk_CopyCut(dst + b.off, b.cb, text);
    }
}

BOOL Phones_FollowOwed(const LISTING_PHONES* ph)
{
    return (ph->bRevealed && !ph->bFree) || ph->bDebt;
}

// ---- Owed follow-ups that could not be stored ---------------------------------------------------

static std::set<std::pair<int, int>>& Debts()
{
    static std::set<std::pair<int, int>> debts;
    return debts;
}

void Phones_KeepDebt(int iHou, int iCli)
{
    Debts().insert({iHou, iHou ? 0 : iCli});
}

void Phones_ClearDebt(int iHou, int iCli)
{
    Debts().erase({iHou, iHou ? 0 : iCli});
}

BOOL Phones_CarryDebt(LISTING_PHONES* ph, int iHou, int iCli)
{
    ph->bDebt = Debts().count({iHou, iHou ? 0 : iCli}) != 0;
    return ph->bDebt;
}

// ---- Writing ------------------------------------------------------------------------------------

BOOL Listing_MayWriteFollow(HWND hOwner, const tagZT_Main_Param* p)
{
    if (Rights_May(p, ZTM_HOUSE_FOLLOW, ZT_OP_ADD))
        return TRUE;
    ZT_MessageBox(hOwner, "您没有写跟进的权限", "", MB_OK);
    return FALSE;
}

BOOL Listing_WriteFollow(HWND hOwner, tagZT_Main_Param* p, int iHou, int iCli, BOOL bMust, FOLLOW_LIST* l,
                         char* pszDtFollow, size_t cb)
{
    FOLLOW_ENTRY e;
    memset(&e, 0, sizeof(e));
    e.iHou = iHou;
    e.iCli = iCli;
    e.bMustWrite = bMust;
    if (FollowDialog_Run(hOwner, p, &e) != IDOK)
        return FALSE;
    if (l && l->pFol)    // a list that was never loaded has nothing to add to
        FollowList_Add(l, &e.fol, hOwner);
    if (pszDtFollow)
        Gbk_CopyCut(pszDtFollow, cb, e.fol.dtFollow);
    return TRUE;
}

BOOL Phones_SettleOwed(LISTING_PHONES* ph, HWND hOwner, tagZT_Main_Param* p, int iHou, int iCli, FOLLOW_LIST* l,
                       char* pszDtFollow, size_t cb)
{
    if (!Phones_FollowOwed(ph))
        return FALSE;
    BOOL written = Listing_WriteFollow(hOwner, p, iHou, iCli, TRUE, l, pszDtFollow, cb);
    if (written)
        Phones_ClearDebt(iHou, iCli);
    else
        Phones_KeepDebt(iHou, iCli);    // the dialog let the user go: asked again next time
    ph->bRevealed = FALSE;
    ph->bDebt = FALSE;
    return written;
}
