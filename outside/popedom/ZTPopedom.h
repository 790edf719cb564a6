// ZTPopedom: the permission library.  It turns a user's permission text
// (the right codes of the grant page, deciphered) into the seventeen
// permission words W1..W17 of the program's parameter block, and answers
// questions about one word.  Called on the window thread or on module
// worker threads, never concurrently with PD_Calc.
#pragma once
#include "common/platform.h"

struct tagZT_Main_Param;

// The user's permission text: right codes, two characters each, NUL-terminated.
union tagPOPEDOM {
    char szValue[508];
    uint32_t dwAlign;
};

// Fills W1..W17 of the block from the text.
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
