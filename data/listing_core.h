// Internals shared by the listing families: retiring all follow-ups of a
// house or client, and a reminder written inside a follow-up's change.
#pragma once
#include "data/db_core.h"
#include "data/remind.h"

// Retires every live follow-up of one listing (iObjType OBJ_HOUSE_FOLLOW:
// of the house iListing, OBJ_CLIENT_FOLLOW: of that client) as one
// transaction: each gets its recycle-bin entry and its log row (action 1),
// like a follow-up deleted on its own.  1 when done (also with none to
// retire); 0 when nothing was retired (the error record written and
// "异常错误,错误原因查看错误日志文件." shown, or the outcome-unknown box).
int RetireFollowUps(int iOpEmp, int iObjType, int iListing);

// Inserts a reminder inside a transaction; its key goes to pRem->iOrdinal.
// True when stored.
bool TxnRemind(ZDTxn& t, int iOpEmp, tagREMIND* pRem);
