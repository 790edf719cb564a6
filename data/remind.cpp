// Reminders: writing, today's list for an employee, acknowledging, removing.
#include "data/listing_core.h"
#include "data/columns.h"

static_assert(sizeof(tagREMIND) == 256, "a reminder record is 256 bytes");

static int RemindType(const tagREMIND& r)
{
    return r.iCli != 0 ? OBJ_CLIENT_REMIND : OBJ_HOUSE_REMIND;
}

bool TxnRemind(ZDTxn& t, int iOpEmp, tagREMIND* pRem)
{
    ZDSql sql;
    SqlAdd(sql, "insert into t_remind");
    SqlAdd(sql, " (dRemind, szContent, iRange, iHou, iCli, iBr, iEmp)");
    SqlAdd(sql, " values ('%s', '%s', %d, %d, %d, %d,%d)", pRem->dRemind, pRem->szContent, pRem->iRange, pRem->iHou,
           pRem->iCli, pRem->iBr, pRem->iEmp);
    ZDResult r = TxnRun(t, sql);
    if (!r.ok || r.stmts.empty() || r.stmts[0].insertId == 0)
        return false;
    pRem->iOrdinal = (int)r.stmts[0].insertId;
    return TxnLog(t, iOpEmp, RemindType(*pRem), pRem->iOrdinal, ACT_ADD);
}

int FD_Ist_Remind(int iOpEmp, tagREMIND* pRem)
{
    if (!pRem || !CheckConnection())
        return 0;
    ZDResult failure;
    int outcome = DbTransaction([&](ZDTxn& t) { return TxnRemind(t, iOpEmp, pRem); }, &failure, TXN_REPEAT);
    if (outcome == TXN_DONE)
        return 1;
    pRem->iOrdinal = 0;
    // Reported by the result only, like before: its caller tells the user.
    return TxnOutcome(outcome, failure, {nullptr, nullptr});
}

// Loaded texts keep at most 99 bytes.
enum { LOADED_TEXT = 100 };

// The columns of today's list.
static constexpr ZDCol kRemindRead[] = {
    ZD_COL(tagREMIND, iOrdinal, ZK_INT, "select iOrdinal, "),
    ZD_COL(tagREMIND, dRemind, ZK_DATE, "dRemind, "),
    ZD_COL_CUT(tagREMIND, szContent, ZK_TEXT, "szContent, ", LOADED_TEXT),
    ZD_COL(tagREMIND, iRange, ZK_INT, "iRange, "),
    ZD_COL(tagREMIND, iEmp, ZK_INT, "iEmp, "),
    ZD_COL(tagREMIND, iBr, ZK_INT, "iBr, "),
    ZD_COL(tagREMIND, iCli, ZK_INT, "iCli, "),
    ZD_COL(tagREMIND, iHou, ZK_INT, "iHou"),
};

tagREMIND* FD_SCT_Remind(tagREMIND** ppRem, int* piCount, int iEmp, int iBr)
{
    if (ppRem)
        *ppRem = nullptr;
    ZDSql sql;
    AddColumns(sql, ZD_TABLE(kRemindRead));
    SqlAdd(sql, " from t_remind");
    SqlAdd(sql, " where (iBr = %d or iEmp = %d) and  dRemind = curdate()", iBr, iEmp);
    SqlAdd(sql, " and iOrdinal not in ");
    SqlAdd(sql, "(select iRemind from t_remindDated where iEmp=%d)", iEmp);
    int n = 0;
    tagREMIND* pRem = LoadList<tagREMIND>(sql, nullptr, &n, [](tagREMIND& m, const ZDRow& row) {
        ReadColumns(row, m, ZD_TABLE(kRemindRead));
        // The day again, as the list shows it.
        CopyField(m.szRemindDay, LOADED_TEXT, m.dRemind);
    }, false);
    if (!pRem)
        return nullptr;
    if (piCount)
        *piCount = n;
    // No reminder due today: no list at all.
    if (n == 0) {
        FreeBlock(pRem);
        return nullptr;
    }
    if (ppRem)
        *ppRem = pRem;
    return pRem;
}

void FD_UPD_Remind(int iEmp, int iRemind)
{
    ZDSql sql;
    SqlAdd(sql, "insert into t_remindDated (iEmp, iRemind) values (%d, %d)", iEmp, iRemind);
    DbRun(sql);
}

int FD_Del_Remind(int, const tagREMIND* pRem)
{
    if (!pRem || !CheckConnection())
        return 0;
    ZDSql sql;
    SqlAdd(sql, "delete from  t_remind");
    SqlAdd(sql, " where iOrdinal = %d", pRem->iOrdinal);
    // Its acknowledgements go with it.
    SqlAdd(sql, ";delete from t_remindDated where iRemind = %d", pRem->iOrdinal);
    // (Reminders have no log rows: nothing else belongs to the change.)
    return AtomicChange(sql, {kAbnormalError, kFailCaption});
}

int FD_Clear_Remind(int)
{
    // A reminder without a day is never due either.
    return ChangeOutcome(DbRun("delete from  t_remind where dRemind < CURRENT_DATE() or dRemind is null"));
}

void Mem_Free_Remind(tagREMIND* pRem)
{
    FreeBlock(pRem);
}
