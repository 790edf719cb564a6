// The telephones of a listing (house or client) in its edit dialog.
//
// The names and telephones of the owner or client and of the contact are
// shown as "******" (when there is one: nothing stored shows empty) while
// the masking option is on, until the user reveals
// them ("看电话(&L)"); telephones are stored enciphered with the field cipher
// (CipherText) and deciphered only to be shown.  A save reads the boxes only
// when they hold the real values (visible from the start, or revealed);
// otherwise the stored values of the record are kept, so that the masking
// text is never written back.  Revealing owes a follow-up unless the user
// has the right that spares it: leaving the record then first runs the
// write-follow-up dialog, which cannot be cancelled.  When that follow-up
// cannot be stored (the server is down, or the user may not write one), the
// dialog lets the user go and the debt is kept for the listing while the
// program runs: the next time the listing is shown in an edit dialog the
// follow-up is asked for again.
#pragma once
#include "app/listings/follow_list.h"

#include <cstddef>
#include <string>

#define LISTING_MASK "******"

// The longest telephone the field cipher stores (plain bytes).
enum { LISTING_TEL_MAX = 120 };

// One box of the block: a name (bTel 0, shown as stored) or a telephone
// (bTel 1, stored enciphered) at offset off of the record, cb bytes wide.
struct LISTING_PHONE_BOX {
    int id;
    size_t off;
    size_t cb;
    BOOL bTel;
};

struct LISTING_PHONES {
    const LISTING_PHONE_BOX* box;
    int nBox;
    BOOL bVisible;      // masking is off: the boxes show the real values from the start
    BOOL bRevealed;     // "看电话" was used on this record (kept across the navigator)
    BOOL bFree;         // the user's right spares the follow-up after revealing
    BOOL bDebt;         // an earlier showing of this listing left its follow-up owed
    int iAsking;        // the listing whose view the server is being asked for (0: none)
};

// The block's state for a record: visible when bMasking is 0; bFree from
// the user's field right (house W16 / client W15 right 14).
void Phones_Init(LISTING_PHONES* ph, const LISTING_PHONE_BOX* box, int nBox, BOOL bMasking, BOOL bFree);

// Deciphers a stored telephone into out (cut to cb - 1 on a whole character).
void Phones_Decipher(const char* pszStored, char* pszOut, size_t cb);
// Enciphers a typed telephone for storing: cut to LISTING_TEL_MAX bytes on a
// whole character, then exactly CipherText's output (empty stays empty).
void Phones_Encipher(const char* pszPlain, char* pszOut, size_t cb);

// Whether the boxes hold the real values (visible or revealed).
BOOL Phones_Readable(const LISTING_PHONES* ph);
// Shows the record's values (deciphered telephones) when readable, else the
// masking text in every box that has a value stored (an empty one stays
// empty).
void Phones_Show(const LISTING_PHONES* ph, HWND hDlg, const void* rec);
// "看电话": FALSE (nothing happens) when already readable; otherwise marks
// the record revealed and shows the real values.
BOOL Phones_Reveal(LISTING_PHONES* ph, HWND hDlg, const void* rec);
// "看电话" asked of the server: a job (jobs.h) of the owner (the dialog's
// state, whose going drops it) counts the view against the user's daily
// limit of that kind (house or client) and logs it (FD_View_Tel).  When the
// server allows it, pfnAllowed(owner, iKey) runs on the window thread: the
// owner reveals the listing if it still shows it.  Over the limit, or when
// the view could not be recorded, a box over hDlg says so and nothing is
// revealed.  FALSE (nothing asked, nothing counted) when the block is
// readable already or a view of it is on its way.
BOOL Phones_AskView(LISTING_PHONES* ph, const void* owner, HWND hDlg, const tagZT_Main_Param* p, BOOL bHouse,
                    int iKey, void (*pfnAllowed)(void* owner, int iKey));
// The boxes of an answer (also for tests): refused with the day's count
// and the limit; not recorded; recorded or not unknown.
std::string Phones_RefusedText(BOOL bHouse, int iCount, int iMax);
extern const char kPhonesNotRecorded[];
extern const char kPhonesUnknown[];
// Fills the block's fields of pNew: from the boxes (texts cut to their
// fields, telephones enciphered) when readable, else copied from pOld (the
// stored record; a null pOld leaves them empty), except a box with nothing
// stored: it was shown empty and is read as typed.
void Phones_Read(const LISTING_PHONES* ph, HWND hDlg, const void* pOld, void* pNew);
// The plain text of a telephone box (readable blocks only; "" otherwise).
void Phones_BoxText(const LISTING_PHONES* ph, HWND hDlg, int id, char* pszOut, size_t cb);

// Whether leaving the record now owes a follow-up (revealed without the
// right that spares it, or owed since an earlier showing).
BOOL Phones_FollowOwed(const LISTING_PHONES* ph);

// The follow-ups owed on listings (house iHou or client iCli) whose forced
// follow-up could not be stored: kept while the program runs (window thread).
void Phones_KeepDebt(int iHou, int iCli);
void Phones_ClearDebt(int iHou, int iCli);
// A listing about to be shown: bDebt says whether its follow-up is owed
// from an earlier showing (the dialog then asks for it at once).
BOOL Phones_CarryDebt(LISTING_PHONES* ph, int iHou, int iCli);

// Whether the user may write follow-ups (the follow-up add right).  FALSE
// after "您没有写跟进的权限" over hOwner.
BOOL Listing_MayWriteFollow(HWND hOwner, const tagZT_Main_Param* p);
// The write-follow-up dialog for a listing (house iHou or client iCli), with
// bMust: neither cancel nor an empty text, unless a save failed.  A written
// follow-up goes into the follow-up list l (first free slot, both of its
// grids; may be null) and its time into pszDtFollow (the listing record's
// dtFollow, cb bytes; may be null).  TRUE when a follow-up was written.
BOOL Listing_WriteFollow(HWND hOwner, tagZT_Main_Param* p, int iHou, int iCli, BOOL bMust, FOLLOW_LIST* l,
                         char* pszDtFollow, size_t cb);
// The owed follow-up before leaving the record: when Phones_FollowOwed, runs
// Listing_WriteFollow with bMust.  Written: the debt is paid (bRevealed,
// bDebt cleared).  Not written (the dialog let the user go after a failed
// save): the debt is kept for the listing and the record may be left.
// TRUE when a follow-up was written (the caller redraws the listing's row).
BOOL Phones_SettleOwed(LISTING_PHONES* ph, HWND hOwner, tagZT_Main_Param* p, int iHou, int iCli, FOLLOW_LIST* l,
                       char* pszDtFollow, size_t cb);
