// System options, the company profile and the export feed.
#include "data/sysopt.h"
#include "data/dict_load.h"
#include "data/oplog.h"
#include "data/columns.h"

#include <cstdio>
#include <cstdlib>

// ---- System options ------------------------------------------------------------------

// The active options' columns, each option with the text of its box.
static constexpr ZDCol kSysRead[] = {
    ZD_COL(tagSYS, iOrdinal, ZK_INT, "select iOrdinal,"),
    ZD_COLC(tagSYS, bNumManualWrite, ZK_INT, "bNumManualWrite,", "数据源编号允许手工输入"),
    ZD_COLC(tagSYS, bHouArea, ZK_INT, "bHouArea,", "房源记录[面积]为必填项"),
    ZD_COLC(tagSYS, bHouPrice, ZK_INT, "bHouPrice,", "房源记录[价格]为必填项"),
    ZD_COLC(tagSYS, bHouOwner, ZK_INT, "bHouOwner,", "房源记录[业主]为必填项"),
    ZD_COLC(tagSYS, bHouDeniedRepetition, ZK_INT, "bHouDeniedRepetition, ", "房源不允许重盘录入"),
    ZD_COLC(tagSYS, bHouCipher, ZK_INT, "bHouCipher,", "默认为加密房"),
    ZD_COLC(tagSYS, bCliLinkTel, ZK_INT, "bCliLinkTel,", "客源记录[联系电话]为必填项"),
    ZD_COLC(tagSYS, bCliDeniedRepetition, ZK_INT, "bCliDeniedRepetition, ", "客源不允许重复录入"),
    ZD_COLC(tagSYS, bCliCipher, ZK_INT, "bCliCipher,", "默认为加密客"),
    ZD_COLC(tagSYS, dwBmpMaxSize, ZK_UINT, "dwBmpMaxSize,", "上传图片尺寸"),
    ZD_COL(tagSYS, iVersion, ZK_INT, "iVersion,"),
    ZD_COLC(tagSYS, bAttendance, ZK_INT, "bAttendance,", "启用考勤登记"),
    ZD_COLC(tagSYS, bIntegrityRule, ZK_INT, "bIntegrityRule", "使用完整规则"),
};

tagSYS* FD_Sct_Sys(tagSYS* pSys)
{
    if (!pSys || !CheckConnection())
        return nullptr;
    ZDSql sql;
    AddColumns(sql, ZD_TABLE(kSysRead));
    SqlAdd(sql, " from t_sys");
    SqlAdd(sql, " where bActive = 1");
    ZDResult r = DbRun(sql);
    if (!r.ok) {
        WriteErrorRecord(r);
        return nullptr;
    }
    ZDRow row;
    if (!DbNextRow(DbRows(r), row))
        return nullptr;
    ReadColumns(row, *pSys, ZD_TABLE(kSysRead));
    return pSys;
}

// Inside a save's transaction: the boxes whose options differ between the
// row the options were loaded from (key iLoaded: a save keeps the rows it
// retires) and the active one; "" when either cannot be read.
static std::string SysChanges(ZDTxn& t, int iLoaded)
{
    tagSYS rows[2];
    memset(rows, 0, sizeof rows);
    for (int i = 0; i < 2; i++) {
        ZDSql sql;
        AddColumns(sql, ZD_TABLE(kSysRead));
        if (i == 0)
            SqlAdd(sql, " from t_sys where iOrdinal = %d", iLoaded);
        else
            SqlAdd(sql, " from t_sys where bActive = 1 order by iOrdinal desc limit 1");
        ZDResult r = TxnRun(t, sql);
        ZDRow row;
        if (!r.ok || !DbNextRow(DbRows(r), row))
            return std::string();
        ReadColumns(row, rows[i], ZD_TABLE(kSysRead));
    }
    return ChangedCaptions(&rows[0], &rows[1], ZD_TABLE(kSysRead));
}

int FD_Upd_Sys(tagSYS* pSys, int iOpEmp, const char* pszChange)
{
    if (!pSys || !CheckConnection())
        return 0;
    const tagSYS& s = *pSys;
    ZDSql ins;
    SqlAdd(ins, "insert into t_sys (bNumManualWrite,bHouArea,bHouPrice,bHouOwner");
    SqlAdd(ins, ",bHouDeniedRepetition, bHouCipher,bCliLinkTel");
    SqlAdd(ins, ",bCliDeniedRepetition,bCliCipher,dwBmpMaxSize,bAttendance,bIntegrityRule,iVersion");
    SqlAdd(ins, " )values(%d,%d,%d,%d,%d,%d", s.bNumManualWrite, s.bHouArea, s.bHouPrice, s.bHouOwner,
           s.bHouDeniedRepetition, s.bHouCipher);
    SqlAdd(ins, ",%d,%d,%d,%u,%d,%d,%d", s.bCliLinkTel, s.bCliDeniedRepetition, s.bCliCipher, s.dwBmpMaxSize,
           s.bAttendance, s.bIntegrityRule ? 1 : 0, s.iVersion + 1);
    SqlAdd(ins, ")");
    // The new row and the retiring of the others: both or neither, so one
    // row is active whatever happens.  The active row is locked first: when
    // its version is not the one the options were loaded with, another desk
    // saved options since, and nothing is stored.
    int before = pSys->iOrdinal;
    bool bChanged = false;
    std::string changed;
    auto change = [&](ZDTxn& t) {
        bChanged = false;
        ZDSql lock;
        SqlAdd(lock, "select coalesce(max(iVersion), -2) from t_sys where bActive = 1 for update");
        long long v = TxnScalar(t, lock);
        if (v == -1)
            return false;
        if (v != -2 && v != s.iVersion) {
            bChanged = true;
            changed = SysChanges(t, before);
            return false;
        }
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
        int outcome = TXN_FAILED;
        if (AuditedChange([&](ZDTxn& t, std::string&) { return change(t); }, iOpEmp, ZT_LOG_OBJ_SYSOPT, 0,
                          LOG_ACT_OPTIONS, pszChange, {nullptr, nullptr}, &outcome) == 1) {
            pSys->iVersion = s.iVersion + 1;
            return 1;
        }
        pSys->iOrdinal = before;
        if (outcome == TXN_UNDONE && bChanged) {
            ShowVersionConflict(changed);
            return -1;
        }
        return 0;
    }
    ZDResult failure;
    int outcome = DbTransaction(change, &failure);
    if (outcome == TXN_DONE) {
        pSys->iVersion = s.iVersion + 1;
        return 1;
    }
    pSys->iOrdinal = before;
    if (outcome == TXN_UNDONE && bChanged) {
        ShowVersionConflict(changed);
        return -1;
    }
    return TxnOutcome(outcome, failure, {nullptr, nullptr});
}

// ---- Company profile --------------------------------------------------------------------

// The company profile's columns, before and after its urban areas (one
// text "%d,%d,%d," read apart), and the columns its change writes.
static constexpr ZDCol kComRead[] = {
    ZD_COL(AT_COM, iOrdinal, ZK_INT, "select iOrdinal, "),
    ZD_COL(AT_COM, szAdd, ZK_TEXT, "szAdd, "),
    ZD_COL(AT_COM, szName, ZK_TEXT, "szName, "),
    ZD_COL(AT_COM, szTel, ZK_TEXT, "szTel, "),
    ZD_COL(AT_COM, szReTel, ZK_TEXT, "szReTel, "),
    ZD_COL(AT_COM, szFax, ZK_TEXT, "szFax, "),
    ZD_COL(AT_COM, szShowName, ZK_TEXT, "szShowName, "),
    ZD_COL(AT_COM, szRemoteIP1, ZK_TEXT, "szRemoteIP1, "),
    ZD_COL(AT_COM, szRemoteIP2, ZK_TEXT, "szRemoteIP2, "),
    ZD_COL(AT_COM, szRemoteIP3, ZK_TEXT, "szRemoteIP3, "),
    ZD_COL(AT_COM, szRemotePort1, ZK_INT, "szRemotePort1, "),
    ZD_COL(AT_COM, szRemotePort2, ZK_INT, "szRemotePort2, "),
    ZD_COL(AT_COM, szRemotePort3, ZK_INT, "szRemotePort3, "),
    ZD_COL(AT_COM, szBakPath, ZK_TEXT, "szBakPath, "),
    ZD_COL(AT_COM, iCityOrdinal, ZK_INT, "iCityOrdinal, "),
};
static constexpr ZDCol kComReadAfter[] = {
    ZD_COL(AT_COM, bShareType, ZK_INT, "bShareType, "),
    ZD_COL(AT_COM, bAutoBak, ZK_INT, "bAutoBak, "),
    ZD_COL(AT_COM, iBakTime, ZK_INT, "iBakTime"),
};
static constexpr ZDCol kComWrite[] = {
    ZD_COL(AT_COM, szAdd, ZK_TEXT, " szAdd='%s'"),
    ZD_COL(AT_COM, szName, ZK_TEXT, " , szName='%s'"),
    ZD_COL(AT_COM, szTel, ZK_TEXT, ", szTel='%s'"),
    ZD_COL(AT_COM, szReTel, ZK_TEXT, ", szReTel='%s'"),
    ZD_COL(AT_COM, szFax, ZK_TEXT, ",szFax='%s'"),
    ZD_COL(AT_COM, szShowName, ZK_TEXT, ",szShowName='%s'"),
    ZD_COL(AT_COM, iCityOrdinal, ZK_INT, ", iCityOrdinal=%d"),
    ZD_COL(AT_COM, iUrbanOrdinal[0], ZK_INT, ", szUrbanOrdinal = '%d,"),
    ZD_COL(AT_COM, iUrbanOrdinal[1], ZK_INT, "%d,"),
    ZD_COL(AT_COM, iUrbanOrdinal[2], ZK_INT, "%d,'"),
};

int FD_Sct_Com(AT_COM* pCom)
{
    if (!pCom)
        return 0;
    ZDSql sql;
    AddColumns(sql, ZD_TABLE(kComRead));
    SqlAdd(sql, "szUrbanOrdinal, ");
    AddColumns(sql, ZD_TABLE(kComReadAfter));
    SqlAdd(sql, " from t_company");
    ZDResult r = DbRun(sql);
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
    unsigned int iUrban = ReadColumns(row, c, ZD_TABLE(kComRead));
    ReadColumns(row, c, ZD_TABLE(kComReadAfter), iUrban + 1);
    // "%d,%d,%d,": a key counts only when its comma follows.
    char urban[64];
    GetText(row, iUrban, urban);
    const char* p = urban;
    for (int i = 0; i < 3; ++i) {
        const char* comma = strchr(p, ',');
        if (!comma)
            break;
        c.iUrbanOrdinal[i] = atoi(p);
        p = comma + 1;
    }
    return 1;
}

int FD_UpdCom(AT_COM* pCom)
{
    if (!pCom)
        return 0;
    ZDSql sql;
    SqlAdd(sql, "update t_company set");
    AddValues(sql, *pCom, ZD_TABLE(kComWrite));
    SqlAdd(sql, " where iOrdinal = %d", pCom->iOrdinal);
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
