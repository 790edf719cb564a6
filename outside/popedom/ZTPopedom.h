// ZTPopedom: the permission library.  It turns a user's permission text
// (the right codes of the grant page, deciphered) into the seventeen
// permission words W1..W17 of the program's parameter block, and answers
// questions about one word.  Called on the window thread or on module
// worker threads, never concurrently with PD_Calc.
//
// ---- The permission text ---------------------------------------------------
// A plain concatenation of two-character right codes.  It is read pair by
// pair from its first byte, up to the first NUL or the end of the 508-byte
// buffer; a code is never searched for inside the text, so "010A" holds the
// codes 01 and 0A and not 10.  Unknown pairs and a trailing odd byte are
// ignored; codes are matched exactly (capital letters), in any order, and a
// code given twice counts once.
//
// ---- Operation words (W1..W14) ---------------------------------------------
// Byte k of such a word (bits 8k..8k+7) is the scope held for operation k:
// 0 view or open, 1 add, 2 modify, 3 delete.  Scope values: 0 none,
// 1 own records (本人), 2 own branch (本部), 3 across branches (跨部),
// 4 across stores (跨店).  Rights without a scope are stored as 4.  When a
// text holds several scopes of one operation, the widest counts.
//
//   word  module               view  add   modify      delete
//   W1    houses (scoped)      01-04 05-08 09/0A/0B/0C 0D-0G
//   W2    clients (scoped)     1C/1D/1F/1G  1L-1O  1H-1K  1P-1S
//   W3    follow-ups           0H    0L    0T          0P
//   W4    estates              3E    3B    3D          3C
//   W5    estate buildings     3F    3G    3H          3I
//   W6    branches             2P    2S    2Q          2R
//   W7    organisation         2P, 2T or 33  2U  2X    30
//         (the organisation window opens with any of its three view rights;
//          add, modify and delete are the employee rights, which the
//          employee dialog and the positions dialog both ask for)
//   W8    positions            33    34    35          36
//   W9    parameters           40    41    42          43
//   W10   areas                37    38    3A          39
//   W11   system options       3O    -     3Q          -
//   W12   operation log        3J    -     -           3K
//   W13   recycle bin          3L    -     3M          3M
//   W14   permission granting  3R    3R    3R          3R
// (scoped codes are listed 本人/本部/跨部/跨店).
//
// ---- Field-right words (W15 client, W16 house, W17 estate) -----------------
// Bit n (n 6..15) holds field right n.
//
//   right                 W16 (houses)         W15 (clients)
//   6  telephones         0Y+15                0Z+10
//   7  prices             0Y+12                0Z+0X
//   8  remarks            0Y+13                0Z+19
//   9  location           0Y+46                (no code)
//   10 agent              0Y+17                0Z+18
//   11 commission date    0Y+16                0Z+11
//   12 area               0Y+14                (no code)
//   13 view telephones    1B                   45
//   14 telephones shown
//      without follow-up  1A                   44
// "0Y+15" means: the partial-modification code 0Y together with its
// sub-right 15; a sub-right without its parent code counts for nothing, as
// on the grant page.  A user holding the module's modify right (any scope)
// may change every field: rights 6 to 12 of that module are all granted.
// Partial modification alone grants no modify operation (the edit dialog's
// save stays refused): the dialog governs only the fields above, so saving
// would also let every other field be changed.
// Rights 13 and 14 are viewing rights and come only from their own codes.
// W17: right 15 (estate name and abbreviation) from 47; the estate modify
// right does not imply it, renaming is granted on its own.
//
// ---- Answers ------------------------------------------------------------------
// PD_Self (w, op, extra), op 0..3:
//   extra -1 (op 0): 1 when the word holds no operation at all (module
//   closed), else 0.  Otherwise: the scope byte of op (0 refused; 4 for a
//   plain right).
// PD_Akst (w, op, extra1, extra2), op 0..3:
//   extra1 -2 (op 0): 2 when the word holds no operation at all, else 0.
//   op 0: own records 1, own branch 16, wider 256, none 0.
//   op 1, 2, 3: own records 4, own branch 64, wider 256, none 0.
// PD_Part (w, n, extra): 1 when bit n (6..15) is set, else 0.
// Any other operation or right number answers 0.
#pragma once
#include "common/platform.h"

struct tagZT_Main_Param;

// The user's permission text: right codes, two characters each, NUL-terminated.
union tagPOPEDOM {
    char szValue[508];
    uint32_t dwAlign;
};

// Scope values of one operation byte.
enum {
    PD_SCOPE_NONE = 0,
    PD_SCOPE_OWN = 1,       // 本人
    PD_SCOPE_BRANCH = 2,    // 本部
    PD_SCOPE_BRANCHES = 3,  // 跨部
    PD_SCOPE_STORES = 4     // 跨店
};

// Fills W1..W17 of the block from the text (every word 0 without a text).
ZTPD_API void PD_Calc(tagZT_Main_Param* pParam, tagPOPEDOM* pPopedom);
// Plain rights.  op 0 extra -1: 1 when the module is closed; op 0 extra 0:
// 0 when the window may not open; op 1/2/3 extra 0: 0 refuses add/modify/delete.
ZTPD_API uint32_t PD_Self(uint32_t dwWord, int iOp, int iExtra);
// Scoped rights (houses, clients).  op 0 (-2, 1): 2 when closed; op 0 (0, 0):
// 0 none, 1 own records, 16 own branch, other non-zero all; op 1/3: 0 refuses;
// op 2: 0 refuses, 4 own records, 64 own branch, other non-zero all.
ZTPD_API uint32_t PD_Akst(uint32_t dwWord, int iOp, int iExtra1, int iExtra2);
// Field right n (6..15); 0 withholds it.
ZTPD_API uint32_t PD_Part(uint32_t dwWord, int iRight, int iExtra);
