// The shared estate list of the parameter block (p->pEstList, p->nEst,
// p->nEstSpare): every live estate, loaded at start-up, searched by the
// house, client and follow-up forms.  The estate dialogs keep it in step
// with the database at once: an added estate takes the first free slot
// (key 0) among count plus spare, a modified one is rewritten in place, a
// deleted one is zeroed (its slot becomes free).  Slots may therefore be
// free between live records: search count plus spare.  Window thread only.
#pragma once
#include "app/shell/main_param.h"

// The record with that key among count plus spare, or null.
tagESTLIST* EstList_Find(tagZT_Main_Param* p, int iKey);
// Lists a newly stored estate in the first free slot: count up, spare
// down.  Null when the list has no free slot (it stays unchanged).
tagESTLIST* EstList_Add(tagZT_Main_Param* p, const tagESTATE* pEst);
// Rewrites the listed texts of the estate with pEst's key; FALSE when it is
// not listed.
BOOL EstList_Update(tagZT_Main_Param* p, const tagESTATE* pEst);
// Frees the slot of the estate with that key: count down, spare up.
BOOL EstList_Remove(tagZT_Main_Param* p, int iKey);
