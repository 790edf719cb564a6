// The small edit dialog of a dictionary entry: the entry's parent shown
// read-only, a name box and an optional display-priority box.  The area
// window's city, urban-area and district dialogs and the parameter window's
// value dialog are this one dialog over their own resources.
//
// Saving reads the name whole.  A name longer than its field is refused
// naming its box and the limit (NameDialog_TooLong) with nothing stored,
// when the box has a name (pszLabel); otherwise it is cut to the field on a
// whole GBK character.  An empty name keeps the dialog open with the focus
// on it, without a message; the priority is read by NameDialog_Priority; in modify mode an unchanged name and
// priority close the dialog without saving.  Otherwise pfnSave stores the
// entry (on a worker: the window thread never waits on the server) and
// decides whether the dialog closes: a refused save keeps what was typed.
#pragma once
#include "app/shell/main_param.h"

#include <string>

struct NAME_DLG {
    tagZT_Main_Param* p;
    int iDialog;                  // dialog resource
    int iTitle;                   // string id of the caption
    int idParent;                 // read-only box showing pszParent (0: none)
    int idName;                   // the name box
    int idPriority;               // the priority box (0: none)
    int cbName;                   // the name's field with its NUL (the box takes cbName - 1 bytes)
    const char* pszLabel;         // the name box's label: a longer name is refused naming it (null: cut)
    const char* pszParent;
    BOOL bModify;
    char szName[64];              // in: the name shown (modify); out: the name read
    int32_t iPriority;            // in: the priority shown; out: the priority read
    // Window thread, dialog open, szName and iPriority read: stores the
    // entry.  TRUE closes the dialog with IDOK, FALSE keeps it open.
    BOOL (*pfnSave)(NAME_DLG* d, HWND hDlg);
    void* pCtx;                   // the caller's
};

// Runs the dialog over hOwner: IDOK when pfnSave stored the entry, IDCANCEL
// when cancelled or nothing changed.
INT_PTR NameDialog_Run(HWND hOwner, NAME_DLG* d);

// A priority as typed: a signed decimal number, blanks around it allowed;
// anything else, or a number outside the 32-bit range, counts as 0.
int32_t NameDialog_Priority(const char* psz);
// The same, refusing what is no such number: FALSE for anything but blanks
// or a signed decimal number in the 32-bit range (*pValue then 0).  The
// dialog refuses it naming the box, never stores a stand-in.
BOOL NameDialog_ReadPriority(const char* psz, int32_t* pValue);

// The refusal of a name longer than its field of cbName bytes (with the
// NUL), in the characters and bytes it may hold:
// "「城区名称」最多5个汉字(10个字节)".
std::string NameDialog_TooLong(const char* pszLabel, int cbName);
