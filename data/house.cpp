// House listings: load, insert, update, delete, retiring follow-ups.
#include "data/listing_core.h"
#include "data/house.h"
#include "data/listing_rows.h"

#include <cstdio>

// The columns every house load reads, in record order of the copy below.
void AddHouseColumns(ZDSql& sql)
{
    SqlAdd(sql, "select iOrdinal, dtFollow, dtUpdate, ");
    SqlAdd(sql, "dDelegate, dBuy, dRent, ");
    SqlAdd(sql, "szRingArea, szDist, szBuildNO, ");
    SqlAdd(sql, "szHouseNO, szFloor, iFloorT, ");
    SqlAdd(sql, "dbBuildArea, szRoomType,");
    SqlAdd(sql, "szToward, szDecoration, szLayout, ");
    SqlAdd(sql, "szStatusquo, szLook, szMortgage, ");
    SqlAdd(sql, "szPark, szSign, szBuildType, ");
    SqlAdd(sql, "szBuildStruct, szHouseNum, szTrade, ");
    SqlAdd(sql, "iSales, iSalesAve, iSalesBase,  ");
    SqlAdd(sql, "iRent, dbRentAve, iRentBase,  ");
    SqlAdd(sql, "szLinkMan, szLinkTel, szOwnerMan,  ");
    SqlAdd(sql, "szOwnerTel, szRemark, szCitizen,  ");
    SqlAdd(sql, "szPPTSource, szHPC, iEmp,  ");
    SqlAdd(sql, "iBr, iEst ,szHouseType, szHouseStruct");
}

void ReadHouse(const ZDRow& row, tagHOUSE& h, bool bDays)
{
    h.iOrdinal = GetInt(row, 0);
    GetDate(row, 1, h.dtFollow);
    GetDate(row, 2, h.dtUpdate);
    GetDate(row, 3, h.dDelegate);
    GetDate(row, 4, h.dBuy);
    GetDate(row, 5, h.dRent);
    GetText(row, 6, h.szRingArea);
    GetText(row, 7, h.szDist);
    GetText(row, 8, h.szBuildNO);
    GetText(row, 9, h.szHouseNO);
    GetText(row, 10, h.szFloor);
    h.iFloorT = GetInt(row, 11);
    h.dbBuildArea = GetDouble(row, 12);
    GetText(row, 13, h.szRoomType);
    GetText(row, 14, h.szToward);
    GetText(row, 15, h.szDecoration);
    GetText(row, 16, h.szLayout);
    GetText(row, 17, h.szStatusquo);
    GetText(row, 18, h.szLook);
    GetText(row, 19, h.szMortgage);
    GetText(row, 20, h.szPark);
    GetText(row, 21, h.szSign);
    GetText(row, 22, h.szBuildType);
    GetText(row, 23, h.szBuildStruct);
    GetText(row, 24, h.szHouseNum);
    GetText(row, 25, h.szTrade);
    h.iSales = GetInt(row, 26);
    h.iSalesAve = GetInt(row, 27);
    h.iSalesBase = GetInt(row, 28);
    h.iRent = GetInt(row, 29);
    h.dbRentAve = GetDouble(row, 30);
    h.iRentBase = GetInt(row, 31);
    GetText(row, 32, h.szLinkMan);
    GetText(row, 33, h.szLinkTel);
    GetText(row, 34, h.szOwnerMan);
    GetText(row, 35, h.szOwnerTel);
    GetText(row, 36, h.szRemark);
    GetText(row, 37, h.szCitizen);
    GetText(row, 38, h.szPPTSource);
    GetText(row, 39, h.szHPC);
    h.iEmp = GetInt(row, 40);
    h.iBr = GetInt(row, 41);
    h.iEst = GetInt(row, 42);
    GetText(row, 43, h.szHouseType);
    GetText(row, 44, h.szHouseStruct);
    if (bDays)
        h.iDaysUnfollowed = GetInt(row, 45);
}

// The probe of the expiring listings: whether any live listing on offer
// has gone REMIND1 days (and at most REMIND2 days, when set) without a
// follow-up.  It selects at most one row.
static void AddProbe(ZDSql& sql, int iRemind1, int iRemind2)
{
    SqlAdd(sql, "select iOrdinal from t_house");
    SqlAdd(sql, " where  bRecyle = 0 and (szTrade = '租售' or szTrade='出租' or szTrade='出售') and ");
    SqlAdd(sql, "(DATE_SUB(CURDATE(),INTERVAL %d DAY) >= dtFollow", iRemind1);
    if (iRemind2 > 0)
        SqlAdd(sql, " and DATE_SUB(CURDATE(),INTERVAL %d DAY) <= dtFollow)", iRemind2);
    else
        SqlAdd(sql, ")");
    SqlAdd(sql, " limit 0, 1");
}

tagHOUSE* FD_Sct_Hou(int, tagHOUSE** ppHou, int* piCount, const char* pszWhere, int bRecyle, int* piExpiring,
                     const unsigned char* pRemind)
{
    if (ppHou)
        *ppHou = nullptr;
    if (piCount)
        *piCount = 0;

    bool bFiltered = pszWhere && pszWhere[0];
    bool bDays = !bFiltered && bRecyle == 0;
    ZDSql sql;
    AddHouseColumns(sql);
    if (bDays)
        SqlAdd(sql, ", DATEDIFF(CURDATE() ,dtFollow)");
    SqlAdd(sql, " from t_house");
    SqlAdd(sql, " where  bRecyle = %d", bRecyle);
    if (bFiltered)
        SqlAddRaw(sql, " and (%s)", pszWhere);
    if (bRecyle == 1)
        SqlAdd(sql, " order by iOrdinal asc");
    else
        SqlAdd(sql, " order by dDelegate desc, dtFollow desc, dtUpdate desc");
    AddListLimit(sql);
    // The expiring-listings probe belongs to the plain live list only; it
    // goes to the server in the same batch as the list.
    bool bProbe = bRecyle == 0 && pszWhere && !pszWhere[0] && piExpiring && pRemind && pRemind[0] > 0;
    if (bProbe) {
        SqlAdd(sql, ";");
        AddProbe(sql, pRemind[0], pRemind[1]);
    }

    if (!CheckConnection())
        return nullptr;
    ZDResult r = DbRun(sql);
    MYSQL_RES* rows = DbRows(r, 0);
    if (!r.ok) {
        // A failed probe leaves the list it follows standing.
        WriteErrorRecord(r);
        if (!rows)
            return nullptr;
    }
    tagHOUSE* pHou = FillBlock<tagHOUSE>(rows, ZD_SPARE_RECORDS, piCount,
                                         [bDays](tagHOUSE& h, const ZDRow& row) { ReadHouse(row, h, bDays); });
    if (!pHou)
        return nullptr;
    if (ppHou)
        *ppHou = pHou;
    if (bProbe && r.ok) {
        MYSQL_RES* probe = DbRows(r, 1);
        *piExpiring = probe ? (int)mysql_num_rows(probe) : 0;
    }
    return pHou;
}

// The column list the insert and the update both write.
static void AddHouseValues(ZDSql& sql, const tagHOUSE& h)
{
    SqlAdd(sql, " szRingArea = '%s'", h.szRingArea);
    SqlAdd(sql, ",szDist='%s'", h.szDist);
    SqlAdd(sql, ",szFloor='%s'", h.szFloor);
    SqlAdd(sql, ", iFloorT=%d", h.iFloorT);
    SqlAdd(sql, ", dbBuildArea=%.2f", h.dbBuildArea);
    SqlAdd(sql, ", szRoomType = '%s'", h.szRoomType);
    SqlAdd(sql, ", szToward = '%s'", h.szToward);
    SqlAdd(sql, ", szDecoration='%s'", h.szDecoration);
    SqlAdd(sql, ",szLayout='%s'", h.szLayout);
    SqlAdd(sql, ",szStatusquo='%s'", h.szStatusquo);
    SqlAdd(sql, ",szLook = '%s'", h.szLook);
    SqlAdd(sql, ",szSign='%s'", h.szSign);
    SqlAdd(sql, ",szMortgage='%s'", h.szMortgage);
    SqlAdd(sql, ",szPark='%s'", h.szPark);
    SqlAdd(sql, ",iBed=%d,iLiving=%d,iBath=%d", h.iBed, h.iLiving, h.iBath);
    SqlAdd(sql, ",szBuildType='%s'", h.szBuildType);
    SqlAdd(sql, ", szBuildStruct='%s'", h.szBuildStruct);
    SqlAdd(sql, ", szTrade='%s'", h.szTrade);
    SqlAdd(sql, ", iSales=%d", h.iSales);
    SqlAdd(sql, ",iSalesAve=%d", h.iSalesAve);
    SqlAdd(sql, ",iSalesBase=%d", h.iSalesBase);
    SqlAdd(sql, ",iRent=%d", h.iRent);
    SqlAdd(sql, ", dbRentAve=%.2f", h.dbRentAve);
    SqlAdd(sql, ", iRentBase=%d", h.iRentBase);
    SqlAdd(sql, ",szPPTSource='%s'", h.szPPTSource);
    SqlAdd(sql, ",dDelegate='%s'", h.dDelegate);
    SqlAdd(sql, ",dBuy='%s'", h.dBuy);
    SqlAdd(sql, ",dRent='%s'", h.dRent);
    SqlAdd(sql, ",szCitizen='%s'", h.szCitizen);
    SqlAdd(sql, ", szHouseNum='%s'", h.szHouseNum);
    SqlAdd(sql, ", szOwnerMan='%s'", h.szOwnerMan);
    SqlAdd(sql, ", szOwnerTel='%s'", h.szOwnerTel);
    SqlAdd(sql, ",szLinkMan='%s'", h.szLinkMan);
    SqlAdd(sql, ",szLinkTel='%s'", h.szLinkTel);
    SqlAdd(sql, ", szHPC='%s'", h.szHPC);
    SqlAdd(sql, ", szRemark='%s'", h.szRemark);
}

// Said when an insert stored nothing: the form keeps what was typed, and
// saving again is an insert like the first.
static const char kHouseNotSaved[] = "保存失败,房源没有保存,可以再次保存.";

int FD_Ist_Hou(int iOpEmp, tagHOUSE* pHou)
{
    if (!pHou || !CheckConnection())
        return 0;

    // The same estate, building and room may exist only once, counting the
    // recycle bin and purged rows too.
    ZDSql dup;
    SqlAdd(dup, "select count(*) from t_house");
    SqlAdd(dup, " where iEst=%d", pHou->iEst);
    SqlAdd(dup, " and szBuildNO = '%s'", pHou->szBuildNO);
    SqlAdd(dup, " and szHouseNO = '%s'", pHou->szHouseNO);
    long long n = DbScalar(dup.text);
    if (n < 0) {
        DbBox(kHouseNotSaved, kFailCaption, MB_OK);
        return 0;
    }
    if (n != 0) {
        DbBox("重复 ", "", MB_OK);
        return 0;
    }

    // First the key columns, then everything else on the new row, then the
    // log row: one transaction, so a save cut off half-way leaves no row.
    ZDSql ins;
    SqlAdd(ins, "insert into t_house");
    SqlAdd(ins, " (iEst, szBuildNO, szHouseNO, iEmp, iBr, szHouseType, szHouseStruct)");
    SqlAdd(ins, " values (%d, '%s', '%s', %d,%d, '%s','%s')", pHou->iEst, pHou->szBuildNO, pHou->szHouseNO,
           pHou->iEmp, pHou->iBr, pHou->szHouseType, pHou->szHouseStruct);
    bool bNumbered = false;
    ZDResult failure;
    int outcome = DbTransaction([&](ZDTxn& t) {
        // (Run again after a conflict, the number is the new key's.)
        if (bNumbered) {
            pHou->szHouseNum[0] = '\0';
            bNumbered = false;
        }
        return TxnInsertRow(t, ins, iOpEmp, OBJ_HOUSE, [&](int key, ZDSql& upd) {
            pHou->iOrdinal = key;
            if (!pHou->szHouseNum[0]) {
                snprintf(pHou->szHouseNum, sizeof pHou->szHouseNum, "%08d", key);
                bNumbered = true;
            }
            SqlAdd(upd, "update t_house set");
            AddHouseValues(upd, *pHou);
            SqlAdd(upd, " where iOrdinal = %d", key);
        }) != 0;
    }, &failure, TXN_REPEAT);
    if (outcome == TXN_DONE)
        return 1;
    // Give the record back as it came.
    pHou->iOrdinal = 0;
    if (bNumbered)
        pHou->szHouseNum[0] = '\0';
    return TxnOutcome(outcome, failure, {kHouseNotSaved, kFailCaption});
}

int FD_Upd_Hou(int iOpEmp, const tagHOUSE* pOld, tagHOUSE* pNew)
{
    if (!pOld || !pNew || !CheckConnection())
        return 0;
    int key = pOld->iOrdinal;
    ZDSql sql;
    SqlAdd(sql, "update t_house");
    SqlAdd(sql, ",(select count(*) as tb2 from t_house where ");
    SqlAdd(sql, " iEst = %d and szBuildNO = '%s' and szHouseNO='%s' and iOrdinal <> %d", pNew->iEst, pNew->szBuildNO,
           pNew->szHouseNO, key);
    SqlAdd(sql, " ) as tb2");
    SqlAdd(sql, " set");
    SqlAdd(sql, " dtUpdate = now(), iEst=%d, szBuildNO='%s', szHouseNO ='%s', iEmp=%d, iBr=%d,", pNew->iEst,
           pNew->szBuildNO, pNew->szHouseNO, pNew->iEmp, pNew->iBr);
    AddHouseValues(sql, *pNew);
    SqlAdd(sql, " where tb2 = 0 and iOrdinal = %d", key);
    if (!LoggedChange(iOpEmp, sql, OBJ_HOUSE, key, ACT_MODIFY, {"修改没有保存: 数据服务器拒绝了这次修改, 错误原因查看错误日志文件.", ""},
                      {"楼盘名称,栋号,房号,有重复,或原始数据被其他用户删除", "修改失败"}))
        return 0;
    ReadUpdateTime("t_house", key, pNew->dtUpdate, sizeof pNew->dtUpdate);
    return 1;
}

int FD_Del_Hou(int iOpEmp, const tagHOUSE* pHou)
{
    if (!pHou || !CheckConnection())
        return 0;
    int key = pHou->iOrdinal;
    ZDSql sql;
    SqlAdd(sql, "update t_house set bRecyle = 1 where");
    SqlAdd(sql, " (select count(*) from t_follow where iHou =  %d and bRecyle = 0) = 0", key);
    SqlAdd(sql, " and iOrdinal = %d ", key);
    return SoftDelete(iOpEmp, sql, OBJ_HOUSE, key, "错误原因:\n\n1.该房源有写跟进,不能直接删除\n\n2.已被其它用户删除");
}

int FD_C_F_Hou(int iOpEmp, const tagHOUSE* pHou)
{
    // Key 0 is a free slot, and "iHou = 0" would retire every client
    // follow-up.
    if (!pHou || pHou->iOrdinal == 0)
        return 0;
    return RetireFollowUps(iOpEmp, OBJ_HOUSE_FOLLOW, pHou->iOrdinal);
}

void Mem_Free_Hou(tagHOUSE* pHou)
{
    FreeBlock(pHou);
}
