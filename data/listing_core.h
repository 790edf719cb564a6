// Internals shared by the listing families: a reminder written inside a
// transaction.
#pragma once
#include "data/db_core.h"
#include "data/remind.h"

// Inserts a reminder inside a transaction; its key goes to pRem->iOrdinal.
// True when stored.
bool TxnRemind(ZDTxn& t, int iOpEmp, tagREMIND* pRem);
