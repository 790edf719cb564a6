// Reminders: writing, today's list for an employee, acknowledging, removing.
#include "data/listing_core.h"

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

tagREMIND* FD_SCT_Remind(tagREMIND** ppRem, int* piCount, int iEmp, int iBr)
{
    if (ppRem)
        *ppRem = nullptr;
    ZDSql sql;
    SqlAdd(sql, "select iOrdinal, dRemind, szContent, iRange, iEmp, iBr, iCli, iHou from t_remind");
    SqlAdd(sql, " where (iBr = %d or iEmp = %d) and  dRemind = curdate()", iBr, iEmp);
    SqlAdd(sql, " and iOrdinal not in ");
    SqlAdd(sql, "(select iRemind from t_remindDated where iEmp=%d)", iEmp);
    // Loaded texts keep at most 99 bytes.
    enum { LOADED_TEXT = 100 };
    int n = 0;
    tagREMIND* pRem = LoadList<tagREMIND>(sql, nullptr, &n, [](tagREMIND& m, const ZDRow& row) {
        m.iOrdinal = GetInt(row, 0);
        GetDate(row, 1, m.dRemind);
        GetDate(row, 1, m.szRemindDay, LOADED_TEXT);
        GetText(row, 2, m.szContent, LOADED_TEXT);
        m.iRange = GetInt(row, 3);
        m.iEmp = GetInt(row, 4);
        m.iBr = GetInt(row, 5);
        m.iCli = GetInt(row, 6);
        m.iHou = GetInt(row, 7);
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
