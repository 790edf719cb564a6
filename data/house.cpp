// House listings: load, insert, update, delete, retiring follow-ups.
#include "data/listing_core.h"
#include "data/house.h"
#include "data/listing_rows.h"
#include "data/columns.h"

#include <cstdio>
#include <cstring>

// The columns every house load reads, in the order of its select list.
static constexpr ZDCol kHouseRead[] = {
    ZD_COL(tagHOUSE, iOrdinal, ZK_INT, "select iOrdinal, "),
    ZD_COL(tagHOUSE, dtFollow, ZK_DATE, "dtFollow, "),
    ZD_COL(tagHOUSE, dtUpdate, ZK_DATE, "dtUpdate, "),
    ZD_COL(tagHOUSE, dDelegate, ZK_DATE, "dDelegate, "),
    ZD_COL(tagHOUSE, dBuy, ZK_DATE, "dBuy, "),
    ZD_COL(tagHOUSE, dRent, ZK_DATE, "dRent, "),
    ZD_COL(tagHOUSE, szRingArea, ZK_TEXT, "szRingArea, "),
    ZD_COL(tagHOUSE, szDist, ZK_TEXT, "szDist, "),
    ZD_COL(tagHOUSE, szBuildNO, ZK_TEXT, "szBuildNO, "),
    ZD_COL(tagHOUSE, szHouseNO, ZK_TEXT, "szHouseNO, "),
    ZD_COL(tagHOUSE, szFloor, ZK_TEXT, "szFloor, "),
    ZD_COL(tagHOUSE, iFloorT, ZK_INT, "iFloorT, "),
    ZD_COL(tagHOUSE, dbBuildArea, ZK_DEC, "dbBuildArea, "),
    ZD_COL(tagHOUSE, szRoomType, ZK_TEXT, "szRoomType,"),
    ZD_COL(tagHOUSE, szToward, ZK_TEXT, "szToward, "),
    ZD_COL(tagHOUSE, szDecoration, ZK_TEXT, "szDecoration, "),
    ZD_COL(tagHOUSE, szLayout, ZK_TEXT, "szLayout, "),
    ZD_COL(tagHOUSE, szStatusquo, ZK_TEXT, "szStatusquo, "),
    ZD_COL(tagHOUSE, szLook, ZK_TEXT, "szLook, "),
    ZD_COL(tagHOUSE, szMortgage, ZK_TEXT, "szMortgage, "),
    ZD_COL(tagHOUSE, szPark, ZK_TEXT, "szPark, "),
    ZD_COL(tagHOUSE, szSign, ZK_TEXT, "szSign, "),
    ZD_COL(tagHOUSE, szBuildType, ZK_TEXT, "szBuildType, "),
    ZD_COL(tagHOUSE, szBuildStruct, ZK_TEXT, "szBuildStruct, "),
    ZD_COL(tagHOUSE, szHouseNum, ZK_TEXT, "szHouseNum, "),
    ZD_COL(tagHOUSE, szTrade, ZK_TEXT, "szTrade, "),
    ZD_COL(tagHOUSE, iSales, ZK_INT, "iSales, "),
    ZD_COL(tagHOUSE, iSalesAve, ZK_INT, "iSalesAve, "),
    ZD_COL(tagHOUSE, iSalesBase, ZK_INT, "iSalesBase,  "),
    ZD_COL(tagHOUSE, iRent, ZK_INT, "iRent, "),
    ZD_COL(tagHOUSE, dbRentAve, ZK_DEC, "dbRentAve, "),
    ZD_COL(tagHOUSE, iRentBase, ZK_INT, "iRentBase,  "),
    ZD_COL(tagHOUSE, szLinkMan, ZK_TEXT, "szLinkMan, "),
    ZD_COL(tagHOUSE, szLinkTel, ZK_CIPHER, "szLinkTel, "),
    ZD_COL(tagHOUSE, szOwnerMan, ZK_TEXT, "szOwnerMan,  "),
    ZD_COL(tagHOUSE, szOwnerTel, ZK_CIPHER, "szOwnerTel, "),
    ZD_COL(tagHOUSE, szRemark, ZK_TEXT, "szRemark, "),
    ZD_COL(tagHOUSE, szCitizen, ZK_TEXT, "szCitizen,  "),
    ZD_COL(tagHOUSE, szPPTSource, ZK_TEXT, "szPPTSource, "),
    ZD_COL(tagHOUSE, szHPC, ZK_TEXT, "szHPC, "),
    ZD_COL(tagHOUSE, iEmp, ZK_INT, "iEmp,  "),
    ZD_COL(tagHOUSE, iVersion, ZK_INT, "iVersion, "),
    ZD_COL(tagHOUSE, iBr, ZK_INT, "iBr, "),
    ZD_COL(tagHOUSE, iEst, ZK_INT, "iEst ,"),
    ZD_COL(tagHOUSE, szHouseType, ZK_TEXT, "szHouseType, "),
    ZD_COL(tagHOUSE, szHouseStruct, ZK_TEXT, "szHouseStruct"),
};

void AddHouseColumns(ZDSql& sql)
{
    AddColumns(sql, ZD_TABLE(kHouseRead));
}

unsigned int ReadHouse(const ZDRow& row, tagHOUSE& h, bool bDays)
{
    unsigned int next = ReadColumns(row, h, ZD_TABLE(kHouseRead));
    if (bDays)
        h.iDaysUnfollowed = GetInt(row, next++);
    return next;
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

// The indexes a list may be read by (a name given is used only when it is
// one of these: it is placed in the statement as it stands).
static const char* ListIndex(const char* pszIndex)
{
    static const char* const kIndexes[] = {"ix_house_list", "ix_house_est_list", "ix_house_emp_list",
                                           "ix_house_br_list", "ix_house_trade", "ix_house_urban_list"};
    for (const char* ix : kIndexes)
        if (pszIndex && strcmp(pszIndex, ix) == 0)
            return ix;
    return nullptr;
}

tagHOUSE* FD_Sct_Hou(int, tagHOUSE** ppHou, int* piCount, const char* pszWhere, int bRecyle, int* piExpiring,
                     const unsigned char* pRemind, const char* pszIndex)
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
    if (const char* ix = bRecyle == 0 ? ListIndex(pszIndex) : nullptr)
        SqlAddRaw(sql, " force index (%s)", ix);
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

// The column list the insert and the update both write, each with the name
// of its box for telling a user what another desk changed.
static constexpr ZDCol kHouseWrite[] = {
    ZD_COLC(tagHOUSE, szRingArea, ZK_TEXT, " szRingArea = '%s'", "环区"),
    ZD_COLC(tagHOUSE, szDist, ZK_TEXT, ",szDist='%s'", "片区"),
    ZD_COLC(tagHOUSE, szFloor, ZK_TEXT, ",szFloor='%s'", "楼层"),
    ZD_COLC(tagHOUSE, iFloorT, ZK_INT, ", iFloorT=%d", "总层"),
    ZD_COLC(tagHOUSE, dbBuildArea, ZK_DEC, ", dbBuildArea=%.2f", "面积"),
    ZD_COLC(tagHOUSE, szRoomType, ZK_TEXT, ", szRoomType = '%s'", "房型"),
    ZD_COLC(tagHOUSE, szToward, ZK_TEXT, ", szToward = '%s'", "朝向"),
    ZD_COLC(tagHOUSE, szDecoration, ZK_TEXT, ", szDecoration='%s'", "装修"),
    ZD_COLC(tagHOUSE, szLayout, ZK_TEXT, ",szLayout='%s'", "配置"),
    ZD_COLC(tagHOUSE, szStatusquo, ZK_TEXT, ",szStatusquo='%s'", "现状"),
    ZD_COLC(tagHOUSE, szLook, ZK_TEXT, ",szLook = '%s'", "看房"),
    ZD_COLC(tagHOUSE, szSign, ZK_TEXT, ",szSign='%s'", "签约"),
    ZD_COLC(tagHOUSE, szMortgage, ZK_TEXT, ",szMortgage='%s'", "抵押"),
    ZD_COLC(tagHOUSE, szPark, ZK_TEXT, ",szPark='%s'", "车位"),
    ZD_COL(tagHOUSE, iBed, ZK_INT, ",iBed=%d"),
    ZD_COL(tagHOUSE, iLiving, ZK_INT, ",iLiving=%d"),
    ZD_COL(tagHOUSE, iBath, ZK_INT, ",iBath=%d"),
    ZD_COLC(tagHOUSE, szBuildType, ZK_TEXT, ",szBuildType='%s'", "建筑类型"),
    ZD_COLC(tagHOUSE, szBuildStruct, ZK_TEXT, ", szBuildStruct='%s'", "建筑结构"),
    ZD_COLC(tagHOUSE, szTrade, ZK_TEXT, ", szTrade='%s'", "交易"),
    ZD_COLC(tagHOUSE, iSales, ZK_INT, ", iSales=%d", "售价"),
    ZD_COLC(tagHOUSE, iSalesAve, ZK_INT, ",iSalesAve=%d", "售均价"),
    ZD_COLC(tagHOUSE, iSalesBase, ZK_INT, ",iSalesBase=%d", "售到手价"),
    ZD_COLC(tagHOUSE, iRent, ZK_INT, ",iRent=%d", "租价"),
    ZD_COLC(tagHOUSE, dbRentAve, ZK_DEC, ", dbRentAve=%.2f", "租均价"),
    ZD_COLC(tagHOUSE, iRentBase, ZK_INT, ", iRentBase=%d", "租到手价"),
    ZD_COLC(tagHOUSE, szPPTSource, ZK_TEXT, ",szPPTSource='%s'", "产权来源"),
    ZD_COLC(tagHOUSE, dDelegate, ZK_DATE, ",dDelegate='%s'", "委托日期"),
    ZD_COLC(tagHOUSE, dBuy, ZK_DATE, ",dBuy='%s'", "购房日期"),
    ZD_COLC(tagHOUSE, dRent, ZK_DATE, ",dRent='%s'", "租赁日期"),
    ZD_COLC(tagHOUSE, szCitizen, ZK_TEXT, ",szCitizen='%s'", "身份国籍"),
    ZD_COLC(tagHOUSE, szHouseNum, ZK_TEXT, ", szHouseNum='%s'", "房源编号"),
    ZD_COLC(tagHOUSE, szOwnerMan, ZK_TEXT, ", szOwnerMan='%s'", "产权人"),
    ZD_COLC(tagHOUSE, szOwnerTel, ZK_CIPHER, ", szOwnerTel='%s'", "联系电话"),
    ZD_COLC(tagHOUSE, szLinkMan, ZK_TEXT, ",szLinkMan='%s'", "委托人"),
    ZD_COLC(tagHOUSE, szLinkTel, ZK_CIPHER, ",szLinkTel='%s'", "联系电话"),
    ZD_COLC(tagHOUSE, szHPC, ZK_TEXT, ", szHPC='%s'", "产权号"),
    ZD_COLC(tagHOUSE, szRemark, ZK_TEXT, ", szRemark='%s'", "备注"),
};

// What the update writes before that list: the house's place and agent,
// with the new version.
static constexpr ZDCol kHousePlace[] = {
    ZD_COLC(tagHOUSE, iEst, ZK_INT, " dtUpdate = now(), iVersion = iVersion + 1, iEst=%d", "楼盘"),
    ZD_COLC(tagHOUSE, szBuildNO, ZK_TEXT, ", szBuildNO='%s'", "栋号"),
    ZD_COLC(tagHOUSE, szHouseNO, ZK_TEXT, ", szHouseNO ='%s'", "室号"),
    ZD_COLC(tagHOUSE, iEmp, ZK_INT, ", iEmp=%d", "登记员工"),
    ZD_COLC(tagHOUSE, iBr, ZK_INT, ", iBr=%d,", "部门"),
};

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
    bool bNumbered = false, bNoAgent = false;
    ZDResult failure;
    int outcome = DbTransaction([&](ZDTxn& t) {
        // (Run again after a conflict, the number is the new key's.)
        if (bNumbered) {
            pHou->szHouseNum[0] = '\0';
            bNumbered = false;
        }
        int agent = TxnTouchAgent(t, pHou->iEmp);
        bNoAgent = agent == 0;
        if (agent <= 0)
            return false;
        return TxnInsertRow(t, ins, iOpEmp, OBJ_HOUSE, [&](int key, ZDSql& upd) {
            pHou->iOrdinal = key;
            if (!pHou->szHouseNum[0]) {
                snprintf(pHou->szHouseNum, sizeof pHou->szHouseNum, "%08d", key);
                bNumbered = true;
            }
            SqlAdd(upd, "update t_house set");
            AddValues(upd, *pHou, ZD_TABLE(kHouseWrite));
            SqlAdd(upd, " where iOrdinal = %d", key);
        }) != 0;
    }, &failure, TXN_REPEAT);
    if (outcome == TXN_DONE)
        return 1;
    // Give the record back as it came.
    pHou->iOrdinal = 0;
    if (bNumbered)
        pHou->szHouseNum[0] = '\0';
    // Another desk stored the same room after the count above.
    if (outcome == TXN_FAILED && failure.errCode == ZD_ER_DUP_ENTRY) {
        DbBox("重复 ", "", MB_OK);
        return 0;
    }
    if (outcome == TXN_UNDONE && bNoAgent) {
        DbBox(kAgentGone, kFailCaption, MB_OK);
        return 0;
    }
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
    AddValues(sql, *pNew, ZD_TABLE(kHousePlace));
    AddValues(sql, *pNew, ZD_TABLE(kHouseWrite));
    SqlAdd(sql, " where tb2 = 0 and iOrdinal = %d", key);
    // What another desk changed: the house as it is now against the house
    // the form loaded.
    auto describe = [&](ZDTxn& t) {
        ZDSql now;
        AddHouseColumns(now);
        SqlAdd(now, " from t_house where iOrdinal = %d", key);
        return TxnChangedCaptions(t, now, {ZD_TABLE(kHouseRead)}, *pOld, {ZD_TABLE(kHousePlace), ZD_TABLE(kHouseWrite)});
    };
    // A house handed to another employee is work given to him.
    ZDVersionOpts opts;
    opts.iAgent = pNew->iEmp != pOld->iEmp ? pNew->iEmp : 0;
    if (!VersionedChange(iOpEmp, sql, OBJ_HOUSE, key, "t_house", pOld->iVersion, describe,
                         {"修改没有保存: 数据服务器拒绝了这次修改, 错误原因查看错误日志文件.", ""},
                         {"楼盘名称,栋号,房号,有重复,或原始数据被其他用户删除", "修改失败"}, opts))
        return 0;
    pNew->iVersion = pOld->iVersion + 1;
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
