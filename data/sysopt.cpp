// System options, the company profile and the export feed.
#include "data/sysopt.h"
#include "data/dict_load.h"
#include "data/oplog.h"

#include <cstdio>
#include <cstdlib>

// ---- System options ------------------------------------------------------------------

tagSYS* FD_Sct_Sys(tagSYS* pSys)
{
    if (!pSys || !CheckConnection())
        return nullptr;
    ZDSql sql;
    SqlAdd(sql, "select iOrdinal,bNumManualWrite,bHouArea,bHouPrice");
    SqlAdd(sql, ",bHouOwner,bHouDeniedRepetition, bHouCipher");
    SqlAdd(sql, ",bCliLinkTel,bCliDeniedRepetition, bCliCipher,dwBmpMaxSize");
    SqlAdd(sql, ",bAttendance,bIntegrityRule from t_sys");
    SqlAdd(sql, " where bActive = 1");
    ZDResult r = DbRun(sql);
    if (!r.ok) {
        WriteErrorRecord(r);
        return nullptr;
    }
    ZDRow row;
    if (!DbNextRow(DbRows(r), row))
        return nullptr;
    pSys->iOrdinal = GetInt(row, 0);
    pSys->bNumManualWrite = GetInt(row, 1);
    pSys->bHouArea = GetInt(row, 2);
    pSys->bHouPrice = GetInt(row, 3);
    pSys->bHouOwner = GetInt(row, 4);
    pSys->bHouDeniedRepetition = GetInt(row, 5);
    pSys->bHouCipher = GetInt(row, 6);
    pSys->bCliLinkTel = GetInt(row, 7);
    pSys->bCliDeniedRepetition = GetInt(row, 8);
    pSys->bCliCipher = GetInt(row, 9);
    pSys->dwBmpMaxSize = (uint32_t)strtoul(row.cols[10] ? row.cols[10] : "0", nullptr, 10);
    pSys->bAttendance = GetInt(row, 11);
    pSys->bIntegrityRule = GetInt(row, 12);
    return pSys;
}

int FD_Upd_Sys(tagSYS* pSys, int iOpEmp, const char* pszChange)
{
    if (!pSys || !CheckConnection())
        return 0;
    const tagSYS& s = *pSys;
    ZDSql ins;
    SqlAdd(ins, "insert into t_sys (bNumManualWrite,bHouArea,bHouPrice,bHouOwner");
    SqlAdd(ins, ",bHouDeniedRepetition, bHouCipher,bCliLinkTel");
    SqlAdd(ins, ",bCliDeniedRepetition,bCliCipher,dwBmpMaxSize,bAttendance,bIntegrityRule");
    SqlAdd(ins, " )values(%d,%d,%d,%d,%d,%d", s.bNumManualWrite, s.bHouArea, s.bHouPrice, s.bHouOwner,
           s.bHouDeniedRepetition, s.bHouCipher);
    SqlAdd(ins, ",%d,%d,%d,%u,%d,%d", s.bCliLinkTel, s.bCliDeniedRepetition, s.bCliCipher, s.dwBmpMaxSize,
           s.bAttendance, s.bIntegrityRule ? 1 : 0);
    SqlAdd(ins, ")");
    // The new row and the retiring of the others: both or neither, so one
    // row is active whatever happens.
    int before = pSys->iOrdinal;
    auto change = [&](ZDTxn& t) {
        ZDResult r = TxnRun(t, ins);
        if (!r.ok || r.stmts.empty() || r.stmts[0].insertId == 0)
            return false;
        pSys->iOrdinal = (int)r.stmts[0].insertId;
        ZDSql upd;
        SqlAdd(upd, "update t_sys set bActive = 0 where iOrdinal <> %d", pSys->iOrdinal);
        return TxnRun(t, upd).ok != 0;
    };
    if (pszChange) {
        // (A lost commit answer settled by the log row: the key of the new
        // row is then not known, and the options are read again at login.)
        if (AuditedChange([&](ZDTxn& t, std::string&) { return change(t); }, iOpEmp, ZT_LOG_OBJ_SYSOPT, 0,
                          LOG_ACT_OPTIONS, pszChange, {nullptr, nullptr}) == 1)
            return 1;
        pSys->iOrdinal = before;
        return 0;
    }
    ZDResult failure;
    int outcome = DbTransaction(change, &failure);
    if (outcome == TXN_DONE)
        return 1;
    pSys->iOrdinal = before;
    return TxnOutcome(outcome, failure, {nullptr, nullptr});
}

// ---- Company profile --------------------------------------------------------------------

int FD_Sct_Com(AT_COM* pCom)
{
    if (!pCom)
        return 0;
    ZDResult r = DbRun("select iOrdinal, szAdd, szName, szTel, szReTel, szFax, szShowName"
                       ", szRemoteIP1, szRemoteIP2, szRemoteIP3, szRemotePort1, szRemotePort2, szRemotePort3"
                       ", szBakPath, iCityOrdinal, szUrbanOrdinal, bShareType, bAutoBak, iBakTime from t_company");
    if (!r.ok) {
        WriteErrorRecord(r);
        DbBox(" 查询数据失败", "", MB_OK);
        return 0;
    }
    MYSQL_RES* res = DbRows(r);
    ZDRow row;
    if (!res || mysql_num_rows(res) != 1 || !DbNextRow(res, row))
        return 0;
    AT_COM& c = *pCom;
    c.iOrdinal = GetInt(row, 0);
    GetText(row, 1, c.szAdd);
    GetText(row, 2, c.szName);
    GetText(row, 3, c.szTel);
    GetText(row, 4, c.szReTel);
    GetText(row, 5, c.szFax);
    GetText(row, 6, c.szShowName);
    GetText(row, 7, c.szRemoteIP1);
    GetText(row, 8, c.szRemoteIP2);
    GetText(row, 9, c.szRemoteIP3);
    c.szRemotePort1 = GetInt(row, 10);
    c.szRemotePort2 = GetInt(row, 11);
    c.szRemotePort3 = GetInt(row, 12);
    GetText(row, 13, c.szBakPath);
    c.iCityOrdinal = GetInt(row, 14);
    // "%d,%d,%d,": a key counts only when its comma follows.
    char urban[64];
    GetText(row, 15, urban);
    const char* p = urban;
    for (int i = 0; i < 3; ++i) {
        const char* comma = strchr(p, ',');
        if (!comma)
            break;
        c.iUrbanOrdinal[i] = atoi(p);
        p = comma + 1;
    }
    c.bShareType = GetInt(row, 16);
    c.bAutoBak = GetInt(row, 17);
    c.iBakTime = GetInt(row, 18);
    return 1;
}

int FD_UpdCom(AT_COM* pCom)
{
    if (!pCom)
        return 0;
    const AT_COM& c = *pCom;
    ZDSql sql;
    SqlAdd(sql, "update t_company set szAdd='%s' , szName='%s', szTel='%s', szReTel='%s'", FieldText(c.szAdd).c_str(),
           FieldText(c.szName).c_str(), FieldText(c.szTel).c_str(), FieldText(c.szReTel).c_str());
    SqlAdd(sql, ",szFax='%s',szShowName='%s', iCityOrdinal=%d, szUrbanOrdinal = '%d,%d,%d,'", FieldText(c.szFax).c_str(),
           FieldText(c.szShowName).c_str(), c.iCityOrdinal, c.iUrbanOrdinal[0], c.iUrbanOrdinal[1], c.iUrbanOrdinal[2]);
    SqlAdd(sql, " where iOrdinal = %d", c.iOrdinal);
    return ChangeOutcome(DbRun(sql));
}

int FD_SaveBakDefValue(int bAutoBak, int iBakTime, const char* pszBakPath)
{
    ZDSql sql;
    SqlAdd(sql, "update t_company set bAutoBak = %d, iBakTime = %d, szBakPath='%s'", bAutoBak, iBakTime, pszBakPath);
    return ChangeOutcome(DbRun(sql));
}

// ---- Export feed ------------------------------------------------------------------------------

// Runs a batch select and hands its result set over; the row count.
static int HandOutBatch(const ZDSql& sql, MYSQL_RES** ppRes, bool bRecordError)
{
    if (ppRes)
        *ppRes = nullptr;
    ZDResult r = DbRun(sql);
    if (!r.ok) {
        if (bRecordError)
            WriteErrorRecord(r);
        return 0;
    }
    MYSQL_RES* res = DbTakeRows(r);
    if (!res)
        return 0;
    int n = (int)mysql_num_rows(res);
    if (ppRes)
        *ppRes = res;
    else
        mysql_free_result(res);
    return n;
}

int FD_sct_House(MYSQL_RES** ppRes)
{
    ZDSql sql;
    SqlAdd(sql, "select");
    SqlAdd(sql, " iOrdinal, dtFollow, dtUpdate");
    SqlAdd(sql, ", dDelegate, dBuy,dRent");
    SqlAdd(sql, ", szBuildNO, szHouseNO,szFloor");
    SqlAdd(sql, ", iFloorT,dbBuildArea,szRoomType");
    SqlAdd(sql, ", iBed,iLiving, iBath");
    SqlAdd(sql, ", iVeranda, szLayout, szStatusquo");
    SqlAdd(sql, ", szLook, szSign, szTrade");
    SqlAdd(sql, ", iSales, iSalesAve, iSalesBase");
    SqlAdd(sql, ", iRent, dbRentAve, iRentBase");
    SqlAdd(sql, ", szLinkMan, szLinkTel, szOwnerMan");
    SqlAdd(sql, ", szOwnerTel, szRemark, iEst");
    SqlAdd(sql, " from t_house");
    SqlAdd(sql, "  where bRecyle = 0 and (dtLastUpdate is null or date(dtLastUpdate) < date(dtUpdate))");
    SqlAdd(sql, "  limit 0, 5");
    return HandOutBatch(sql, ppRes, false);
}

int FD_sct_Estate(MYSQL_RES** ppRes)
{
    ZDSql sql;
    SqlAdd(sql, "select iOrdinal, szEstate, szSpell, szAddress from t_estate");
    SqlAdd(sql, " where dtLastUpdate is NULL  limit 0, 5");
    return HandOutBatch(sql, ppRes, true);
}

int FD_sct_Follow(MYSQL_RES** ppRes)
{
    if (ppRes)
        *ppRes = nullptr;
    DbRun("update t_follow set dtLastUpdate = now() where iCli <> 0");
    ZDSql sql;
    SqlAdd(sql, "select iOrdinal, dtFollow, szContent from t_follow where dtLastUpdate is null and iCli = 0  limit 0, 5");
    return HandOutBatch(sql, ppRes, false);
}

void FD_Upd_House(long iOrdinal)
{
    ZDSql sql;
    SqlAdd(sql, "update t_house set dtLastUpdate = now() where iOrdinal = %ld", iOrdinal);
    DbRun(sql);
}

void FD_Upd_Estate(long iOrdinal)
{
    ZDSql sql;
    SqlAdd(sql, "update t_estate set dtLastUpdate = now() where iOrdinal = %ld", iOrdinal);
    DbRun(sql);
}

void FD_Upd_Follow(long iOrdinal)
{
    ZDSql sql;
    SqlAdd(sql, "update t_follow set dtLastUpdate = now() where iOrdinal = %ld", iOrdinal);
    DbRun(sql);
}
