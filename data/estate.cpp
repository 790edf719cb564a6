// The estate dictionary and the buildings of each estate.
#include "data/estate.h"
#include "data/dict_load.h"
#include "data/columns.h"


// ---- Loading estates ---------------------------------------------------------------------

// Runs a dictionary list and fills a block of its rows and the spares with
// fill(record, row); the block also goes to *ppOut.  Null when the statement
// failed, or when no block can be had ("分配内存出错").
template <class T, class F> static T* LoadDict(const ZDSql& sql, T** ppOut, int* pCount, F fill)
{
    ZDResult r;
    if (!RunList(sql, r))
        return nullptr;
    T* p = FillBlock<T>(DbRows(r), ZD_SPARE_RECORDS, pCount, fill);
    if (!p) {
        DbBox("分配内存出错", "", MB_OK);
        return nullptr;
    }
    if (ppOut)
        *ppOut = p;
    return p;
}

// The light list's columns.
static constexpr ZDCol kEstListRead[] = {
    ZD_COL(tagESTLIST, iOrdinal, ZK_INT, "select iOrdinal,"),
    ZD_COL(tagESTLIST, iUrban, ZK_INT, "iUrban, "),
    ZD_COL(tagESTLIST, szEstate, ZK_TEXT, "szEstate, "),
    ZD_COL(tagESTLIST, szSpell, ZK_TEXT, "szSpell,"),
    ZD_COL(tagESTLIST, szAddress, ZK_TEXT, "szAddress,"),
    ZD_COL(tagESTLIST, szDist, ZK_TEXT, "szDist, "),
    ZD_COL(tagESTLIST, szRingArea, ZK_TEXT, "szRingArea,"),
    ZD_COL(tagESTLIST, szHouseStruct, ZK_TEXT, "szHouseStruct, "),
    ZD_COL(tagESTLIST, szHouseType, ZK_TEXT, "szHouseType"),
};

tagESTLIST* FD_Sct_EstList(tagURBAN* pUrban, tagESTLIST** ppList, int* pCount, int, int bRecyle)
{
    if (ppList) {
        Mem_Free_EstList(*ppList);
        *ppList = nullptr;
    }
    if (pCount)
        *pCount = 0;
    ZDSql sql;
    AddColumns(sql, ZD_TABLE(kEstListRead));
    SqlAdd(sql, " from t_estate where  bRecyle = %d ", bRecyle);
    if (pUrban)
        SqlAdd(sql, " and  iUrban =%d", pUrban->iOrdinal);
    if (!bRecyle)
        SqlAdd(sql, " order by iOrdinal asc");
    return LoadDict(sql, ppList, pCount, RowReader<tagESTLIST>(ZD_TABLE(kEstListRead)));
}

// The columns the dictionary's list reads, which the full record reads
// first too (each row: its piece in the list, then in the full record).
static constexpr ZDCol kEstateRead[] = {
    ZD_COL2(tagESTATE, iOrdinal, ZK_INT, " iOrdinal, ", " iOrdinal, "),
    ZD_COL2(tagESTATE, szEstate, ZK_TEXT, "szEstate, ", "szEstate,"),
    ZD_COL2(tagESTATE, szSpell, ZK_TEXT, "szSpell,", "szSpell,"),
    ZD_COL2(tagESTATE, szDist, ZK_TEXT, "szDist, ", "szDist, "),
    ZD_COL2(tagESTATE, szIntersection, ZK_TEXT, "szIntersection, ", "szIntersection,"),
    ZD_COL2(tagESTATE, iBuild, ZK_INT, "iBuild,", "iBuild,"),
    ZD_COL2(tagESTATE, szHouseUsage, ZK_TEXT, "szHouseUsage, ", "szHouseUsage,"),
    ZD_COL2(tagESTATE, iImg, ZK_INT, "iImg,", "iImg,"),
    ZD_COL2(tagESTATE, szAddress, ZK_TEXT, "szAddress, ", "szAddress,"),
    ZD_COL2(tagESTATE, szBuildYear, ZK_TEXT, "szBuildYear,", "szBuildYear,"),
    ZD_COL2(tagESTATE, szBuildStruct, ZK_TEXT, "szBuildStruct, ", "szBuildStruct,"),
    ZD_COL2(tagESTATE, szBuildType, ZK_TEXT, "szBuildType,", "szBuildType,"),
    ZD_COL2(tagESTATE, szDevCom, ZK_TEXT, "szDevCom, ", "szDevCom, "),
    ZD_COL2(tagESTATE, szMgCom, ZK_TEXT, "szMgCom, ", "szMgCom, "),
    ZD_COL2(tagESTATE, szHouseType, ZK_TEXT, "szHouseType, ", "szHouseType,"),
    ZD_COL2(tagESTATE, iUrban, ZK_INT, "iUrban, ", "iUrban,"),
    ZD_COL2(tagESTATE, szRingArea, ZK_TEXT, "szRingArea", "szRingArea,"),
};

// The rest of the full record.  (Its building count comes again at the
// end, as the record has always been read: the same column, the same value.)
static constexpr ZDCol kEstateDetail[] = {
    ZD_COL(tagESTATE, iCoversArea, ZK_INT, "iCoversArea,"),
    ZD_COL(tagESTATE, iBuildArea, ZK_INT, "iBuildArea,"),
    ZD_COL(tagESTATE, iRoom, ZK_INT, "iRoom,"),
    ZD_COL(tagESTATE, iVacancy, ZK_INT, "iVacancy, "),
    ZD_COL(tagESTATE, iVolume, ZK_INT, "iVolume,"),
    ZD_COL(tagESTATE, iAfforest, ZK_INT, "iAfforest, "),
    ZD_COL(tagESTATE, iHouse, ZK_INT, "iHouse, "),
    ZD_COL(tagESTATE, iPark, ZK_INT, "iPark,"),
    ZD_COL(tagESTATE, iVersion, ZK_INT, "iVersion, "),
    ZD_COL(tagESTATE, szHouseStruct, ZK_TEXT, "szHouseStruct, "),
    ZD_COL(tagESTATE, szHandoverStandard, ZK_TEXT, "szHandoverStandard,"),
    ZD_COL(tagESTATE, szLandCategory, ZK_TEXT, "szLandCategory, "),
    ZD_COL(tagESTATE, szLandSource, ZK_TEXT, "szLandSource, "),
    ZD_COL(tagESTATE, szLandUsage, ZK_TEXT, "szLandUsage,"),
    ZD_COL(tagESTATE, szUsePeriod, ZK_TEXT, "szUsePeriod,"),
    ZD_COL(tagESTATE, szTransferDate, ZK_TEXT, "szTransferDate, "),
    ZD_COL(tagESTATE, szTransferPrice, ZK_TEXT, "szTransferPrice,"),
    ZD_COL(tagESTATE, szFloorPrice, ZK_TEXT, "szFloorPrice,"),
    ZD_COL(tagESTATE, szSalesAddress, ZK_TEXT, "szSalesAddress,"),
    ZD_COL(tagESTATE, szMgAddress, ZK_TEXT, "szMgAddress,"),
    ZD_COL(tagESTATE, szSalesTel, ZK_TEXT, "szSalesTel,"),
    ZD_COL(tagESTATE, szMgTel, ZK_TEXT, "szMgTel, "),
    ZD_COL(tagESTATE, szOpenDate, ZK_TEXT, "szOpenDate,"),
    ZD_COL(tagESTATE, szWorkTime, ZK_TEXT, "szWorkTime,"),
    ZD_COL(tagESTATE, iOpenAvePrice, ZK_INT, "iOpenAvePrice,"),
    ZD_COL(tagESTATE, dMgPrice, ZK_DEC, "dMgPrice, "),
    ZD_COL(tagESTATE, szHandOverDate, ZK_TEXT, "szHandOverDate,"),
    ZD_COL(tagESTATE, dParkRentPrice, ZK_DEC, "dParkRentPrice, "),
    ZD_COL(tagESTATE, iBuild, ZK_INT, "iBuild, "),
    ZD_COL(tagESTATE, szBuildCom, ZK_TEXT, "szBuildCom"),
};

tagESTATE* FD_Sct_Est(tagURBAN* pUrban, tagESTATE** ppEst, int* pCount)
{
    if (ppEst)
        *ppEst = nullptr;
    if (pCount)
        *pCount = 0;
    ZDSql sql;
    SqlAdd(sql, "select");
    AddColumns(sql, ZD_TABLE(kEstateRead));
    SqlAdd(sql, " from t_estate");
    if (pUrban)
        SqlAdd(sql, " where bRecyle = 0 and iUrban =%d", pUrban->iOrdinal);
    return LoadDict(sql, ppEst, pCount, [pUrban](tagESTATE& e, const ZDRow& row) {
        ReadColumns(row, e, ZD_TABLE(kEstateRead));
        e.pUrban = pUrban;
    });
}

tagESTATE* FD_Sct_EstDetail(tagESTATE* pEst)
{
    if (!pEst || !CheckConnection())
        return nullptr;
    ZDSql sql;
    SqlAdd(sql, "select");
    AddColumns(sql, ZD_TABLE(kEstateRead), ZD_SECOND);
    AddColumns(sql, ZD_TABLE(kEstateDetail));
    SqlAdd(sql, " from t_estate where iOrdinal = %d", pEst->iOrdinal);
    ZDResult r = DbRun(sql);
    if (!r.ok) {
        ShowFailure(kAbnormalError, 1, &r);
        return nullptr;
    }
    MYSQL_RES* res = DbRows(r);
    ZDRow row;
    if (!res || mysql_num_rows(res) != 1 || !DbNextRow(res, row)) {
        DbBox("此数据已被其他用户删除", "", MB_OK);
        return nullptr;
    }
    ReadColumns(row, *pEst, ZD_TABLE(kEstateDetail), ReadColumns(row, *pEst, ZD_TABLE(kEstateRead)));
    return pEst;
}

// ---- Changing estates ---------------------------------------------------------------------

// The columns an add and a modify write, from the record, each with the
// name of its box for telling a user what another desk changed.
static constexpr ZDCol kEstateWrite[] = {
    ZD_COLC(tagESTATE, szSpell, ZK_TEXT, " szSpell = '%s'", "拼音缩写"),
    ZD_COLC(tagESTATE, szRingArea, ZK_TEXT, ",szRingArea = '%s'", "所属环区"),
    ZD_COLC(tagESTATE, szDist, ZK_TEXT, ", szDist = '%s'", "所属片区"),
    ZD_COLC(tagESTATE, szAddress, ZK_TEXT, ", szAddress='%s'", "楼盘地址"),
    ZD_COLC(tagESTATE, szIntersection, ZK_TEXT, ", szInterSection='%s'", "概要地址"),
    ZD_COLC(tagESTATE, iCoversArea, ZK_INT, ", iCoversArea=%d", "占地面积"),
    ZD_COLC(tagESTATE, iBuildArea, ZK_INT, ", iBuildArea=%d", "建筑面积"),
    ZD_COLC(tagESTATE, iRoom, ZK_INT, ", iRoom=%d", "得房率"),
    ZD_COLC(tagESTATE, iAfforest, ZK_INT, ", iAfforest=%d", "绿化率"),
    ZD_COLC(tagESTATE, iVolume, ZK_INT, ", iVolume=%d", "容积率"),
    ZD_COLC(tagESTATE, iVacancy, ZK_INT, ", iVacancy=%d", "空置率"),
    ZD_COLC(tagESTATE, iHouse, ZK_INT, ", iHouse = %d", "总户数"),
    ZD_COLC(tagESTATE, iPark, ZK_INT, ", iPark = %d", "总车位"),
    ZD_COLC(tagESTATE, szLandCategory, ZK_TEXT, ", szLandCategory='%s'", "土地性质"),
    ZD_COLC(tagESTATE, szLandSource, ZK_TEXT, ", szLandSource= '%s'", "土地来源"),
    ZD_COLC(tagESTATE, szLandUsage, ZK_TEXT, ", szLandUsage = '%s'", "土地用途"),
    ZD_COLC(tagESTATE, szUsePeriod, ZK_TEXT, ", szUsePeriod = '%s'", "使用期限"),
    ZD_COLC(tagESTATE, szTransferDate, ZK_TEXT, ", szTransferDate='%s'", "出让日期"),
    ZD_COLC(tagESTATE, szTransferPrice, ZK_TEXT, ", szTransferPrice='%s'", "出让价格"),
    ZD_COLC(tagESTATE, szFloorPrice, ZK_TEXT, ", szFloorPrice='%s'", "楼面价格"),
    ZD_COLC(tagESTATE, szHouseType, ZK_TEXT, ", szHouseType = '%s'", "房屋类型"),
    ZD_COLC(tagESTATE, szHouseStruct, ZK_TEXT, ", szHouseStruct='%s'", "房屋结构"),
    ZD_COLC(tagESTATE, szHouseUsage, ZK_TEXT, ", szHouseUsage='%s'", "房屋用途"),
    ZD_COLC(tagESTATE, szBuildType, ZK_TEXT, ", szBuildType = '%s'", "建筑类型"),
    ZD_COLC(tagESTATE, szBuildStruct, ZK_TEXT, ", szBuildStruct= '%s'", "建筑结构"),
    ZD_COLC(tagESTATE, szHandoverStandard, ZK_TEXT, ", szHandoverStandard='%s'", "交房标准"),
    ZD_COLC(tagESTATE, szBuildYear, ZK_TEXT, ", szBuildYear='%s'", "竣工日期"),
    ZD_COLC(tagESTATE, szDevCom, ZK_TEXT, ", szDevCom = '%s'", "开发商"),
    ZD_COLC(tagESTATE, szSalesAddress, ZK_TEXT, ", szSalesAddress='%s'", "售楼地址"),
    ZD_COLC(tagESTATE, szSalesTel, ZK_TEXT, ", szSalesTel='%s'", "售楼电话"),
    ZD_COLC(tagESTATE, szOpenDate, ZK_TEXT, ", szOpenDate='%s'", "开盘日期"),
    ZD_COLC(tagESTATE, iOpenAvePrice, ZK_INT, ", iOpenAvePrice=%d", "开盘均价"),
    ZD_COLC(tagESTATE, szHandOverDate, ZK_TEXT, ", szHandoverDate='%s'", "交房日期"),
    ZD_COLC(tagESTATE, szMgCom, ZK_TEXT, ", szMgCom = '%s'", "物业公司"),
    ZD_COLC(tagESTATE, szMgTel, ZK_TEXT, ", szMgTel = '%s'", "公司电话"),
    ZD_COLC(tagESTATE, szMgAddress, ZK_TEXT, ", szMgAddress='%s'", "公司地址"),
    ZD_COLC(tagESTATE, szWorkTime, ZK_TEXT, ", szWorkTime='%s'", "工作时间"),
    ZD_COLC(tagESTATE, dMgPrice, ZK_DEC, ", dMgPrice=%.2f", "物业费"),
    ZD_COLC(tagESTATE, dParkRentPrice, ZK_DEC, ", dParkRentPrice=%.2f", "车位租金"),
    ZD_COLC(tagESTATE, iBuild, ZK_INT, ", iBuild=%d", "总栋数"),
    ZD_COLC(tagESTATE, szBuildCom, ZK_TEXT, ", szBuildCom = '%s'", "建筑商"),
};

// What a modify writes before that list: the new version and the name.
static constexpr ZDCol kEstateName[] = {
    ZD_COLC(tagESTATE, szEstate, ZK_TEXT, " iVersion = iVersion + 1, szEstate = '%s',", "楼盘名称"),
};

// Counts estates of the urban area with that name (other than iExcept when
// it is given); -1 on a server error.
static long long CountNamesakes(int iUrban, const std::string& name, int iExcept, bool bExcept)
{
    ZDSql sql;
    SqlAdd(sql, "select count(*) from t_estate");
    SqlAdd(sql, " where iUrban = %d", iUrban);
    SqlAdd(sql, " and szEstate = '%s'", name.c_str());
    if (bExcept)
        SqlAdd(sql, " and iOrdinal <> %d", iExcept);
    return DbScalar(sql.text);
}

int FD_Ist_Est(int iOpEmp, tagESTATE* pEst)
{
    if (!pEst || !CheckConnection())
        return 0;
    std::string name = FieldText(pEst->szEstate);
    long long n = CountNamesakes(pEst->iUrban, name, 0, false);
    if (n < 0)
        return 0;
    if (n != 0) {
        DbBox("数据重复", "", MB_OK);
        return 0;
    }
    ZDSql ins;
    SqlAdd(ins, "Insert into t_estate (szEstate, iUrban)");
    SqlAdd(ins, " values ('%s', %d)", name.c_str(), pEst->iUrban);
    // The name row, the other columns and the log row: all or nothing (an
    // estate is never left with its name only).
    ZDResult failure;
    int outcome = DbTransaction([&](ZDTxn& t) {
        return TxnInsertRow(t, ins, iOpEmp, OBJ_ESTATE, [&](int key, ZDSql& upd) {
            pEst->iOrdinal = key;
            SqlAdd(upd, "update t_estate set");
            AddValues(upd, *pEst, ZD_TABLE(kEstateWrite));
            SqlAdd(upd, " where iOrdinal = %d", key);
        }) != 0;
    }, &failure, TXN_REPEAT);
    if (outcome == TXN_DONE)
        return 1;
    pEst->iOrdinal = 0;
    return TxnOutcome(outcome, failure, {"增加数据出错", ""});
}

int FD_Upd_Est(int iOpEmp, tagESTATE* pOld, tagESTATE* pNew)
{
    if (!pOld || !pNew || !CheckConnection())
        return 0;
    std::string name = FieldText(pNew->szEstate);
    long long n = CountNamesakes(pNew->iUrban, name, pOld->iOrdinal, true);
    if (n < 0)
        return 0;
    if (n != 0) {
        DbBox("数据重复", "", MB_OK);
        return 0;
    }
    int key = pOld->iOrdinal;
    ZDSql sql;
    SqlAdd(sql, "update t_estate set");
    AddValues(sql, *pNew, ZD_TABLE(kEstateName));
    AddValues(sql, *pNew, ZD_TABLE(kEstateWrite));
    SqlAdd(sql, " where iOrdinal = %d", key);
    // What another desk changed: the estate as it is now against the estate
    // the form loaded.
    auto describe = [&](ZDTxn& t) {
        ZDSql now;
        SqlAdd(now, "select");
        AddColumns(now, ZD_TABLE(kEstateRead), ZD_SECOND);
        AddColumns(now, ZD_TABLE(kEstateDetail));
        SqlAdd(now, " from t_estate where iOrdinal = %d", key);
        return TxnChangedCaptions(t, now, {ZD_TABLE(kEstateRead), ZD_TABLE(kEstateDetail)}, *pOld,
                                  {ZD_TABLE(kEstateName), ZD_TABLE(kEstateWrite)});
    };
    if (!VersionedChange(iOpEmp, sql, OBJ_ESTATE, key, "t_estate", pOld->iVersion, describe, {"修改数据失败", ""},
                         {"此数据已被其他用户删除", "修改失败"}))
        return 0;
    pNew->iVersion = pOld->iVersion + 1;
    return 1;
}

int FD_Del_Est(int iOpEmp, tagESTATE* pEst)
{
    if (!pEst || !CheckConnection())
        return 0;
    int key = pEst->iOrdinal;
    ZDSql sql;
    SqlAdd(sql, "update t_estate set bRecyle=1 where");
    SqlAdd(sql, " (select count(*) as tb2 from t_house where iEst=%d and bRecyle = 0) = 0", key);
    SqlAdd(sql, " and (select count(*) as tb3 from t_buildNO where iEst=%d and bRecyle = 0) = 0", key);
    SqlAdd(sql, " and  iOrdinal = %d", key);
    return SoftDelete(iOpEmp, sql, OBJ_ESTATE, key, "错误原因:\n\n1.该楼盘下有房源或客源,不能直接删除\n\n2.已被其它用户删除");
}

// ---- Finding estates -------------------------------------------------------------------------

template <class T>
static T* FindEstate(T* pArray, T** ppOut, int iKey, const char* pszName, int iCount)
{
    T* found = nullptr;
    if (pArray && !(pszName && !*pszName)) {
        for (int i = 0; i < iCount; ++i) {
            if (pszName ? FieldText(pArray[i].szEstate) == pszName : pArray[i].iOrdinal == iKey) {
                found = &pArray[i];
                break;
            }
        }
    }
    if (ppOut)
        *ppOut = found;
    return found;
}

tagESTLIST* FindEstList(tagESTLIST* pArray, tagESTLIST** ppOut, int iKey, const char* pszName, int iCount)
{
    return FindEstate(pArray, ppOut, iKey, pszName, iCount);
}

tagESTATE* FindEst(tagESTATE* pArray, tagESTATE** ppOut, int iKey, const char* pszName, int iCount)
{
    return FindEstate(pArray, ppOut, iKey, pszName, iCount);
}

void Mem_Free_EstList(tagESTLIST* pArray) { FreeBlock(pArray); }
void Mem_Free_Est(tagESTATE* pArray) { FreeBlock(pArray); }

// ---- Buildings -----------------------------------------------------------------------------------

// A building's columns as its list reads them, and as a change writes them.
static constexpr ZDCol kBuildRead[] = {
    ZD_COL(tagBUILDNO, iOrdinal, ZK_INT, "select iOrdinal, "),
    ZD_COL(tagBUILDNO, iBuildNO, ZK_INT, "iBuildNO, "),
    ZD_COL(tagBUILDNO, iEst, ZK_INT, "iEst, "),
    ZD_COL(tagBUILDNO, iLift, ZK_INT, "iLift, "),
    ZD_COL(tagBUILDNO, iHouse, ZK_INT, "iHouse,"),
    ZD_COL(tagBUILDNO, iFloort, ZK_INT, "iFloort, "),
    ZD_COL(tagBUILDNO, iVersion, ZK_INT, "iVersion, "),
    ZD_COL(tagBUILDNO, szBuildStruct, ZK_TEXT, "szBuildStruct, "),
    ZD_COL(tagBUILDNO, szBuildType, ZK_TEXT, "szBuildType"),
};
// (Each with the name of its box in the building form.)
static constexpr ZDCol kBuildWrite[] = {
    ZD_COLC(tagBUILDNO, iBuildNO, ZK_INT, " iVersion = iVersion + 1, iBuildNO=%d", "栋号"),
    ZD_COL(tagBUILDNO, iEst, ZK_INT, ", iEst=%d"),
    ZD_COLC(tagBUILDNO, iLift, ZK_INT, ", iLift=%d", "梯户"),
    ZD_COLC(tagBUILDNO, iHouse, ZK_INT, ", iHouse=%d", "梯户"),
    ZD_COLC(tagBUILDNO, iFloort, ZK_INT, ", iFloort=%d", "总层"),
    ZD_COLC(tagBUILDNO, szBuildStruct, ZK_TEXT, ", szBuildStruct = '%s'", "建筑结构"),
    ZD_COLC(tagBUILDNO, szBuildType, ZK_TEXT, ", szBuildType = '%s'", "建筑类型"),
};

tagBUILDNO* FD_Sct_BNO(tagBUILDNO** ppBNO, int* pCount, int iEst, int bRecyle)
{
    if (pCount)
        *pCount = 0;
    ZDSql sql;
    AddColumns(sql, ZD_TABLE(kBuildRead));
    SqlAdd(sql, " from t_BuildNO ");
    SqlAdd(sql, " where bRecyle = %d", bRecyle);
    if (iEst != 0)
        SqlAdd(sql, " and iEst = %d", iEst);
    if (bRecyle)
        SqlAdd(sql, " order by iOrdinal asc");
    return LoadDict(sql, ppBNO, pCount, RowReader<tagBUILDNO>(ZD_TABLE(kBuildRead)));
}

int FD_Ist_BNO(int iOpEmp, tagBUILDNO* pBNO)
{
    if (!pBNO || !CheckConnection())
        return 0;
    ZDSql sql;
    SqlAdd(sql, "insert into t_BuildNO (iBuildNO, iEst, iLift, iHouse, iFloort");
    SqlAdd(sql, ", szBuildStruct, szBuildType)");
    SqlAdd(sql, " values (%d, %d,%d,%d,%d, '%s','%s')", pBNO->iBuildNO, pBNO->iEst, pBNO->iLift, pBNO->iHouse,
           pBNO->iFloort, FieldText(pBNO->szBuildStruct).c_str(), FieldText(pBNO->szBuildType).c_str());
    int key = LoggedInsert(iOpEmp, sql, OBJ_BUILDNO, {"增加失败", ""});
    if (!key)
        return 0;
    pBNO->iOrdinal = key;
    return 1;
}

int FD_Upd_BNO(int iOpEmp, tagBUILDNO* pOld, tagBUILDNO* pNew)
{
    if (!pOld || !pNew || !CheckConnection())
        return 0;
    int key = pOld->iOrdinal;
    ZDSql sql;
    SqlAdd(sql, "update t_BuildNO set");
    AddValues(sql, *pNew, ZD_TABLE(kBuildWrite));
    SqlAdd(sql, " where iOrdinal = %d", key);
    pNew->iOrdinal = key;
    auto describe = [&](ZDTxn& t) {
        ZDSql now;
        AddColumns(now, ZD_TABLE(kBuildRead));
        SqlAdd(now, " from t_BuildNO where iOrdinal = %d", key);
        return TxnChangedCaptions(t, now, {ZD_TABLE(kBuildRead)}, *pOld, {ZD_TABLE(kBuildWrite)});
    };
    if (!VersionedChange(iOpEmp, sql, OBJ_BUILDNO, key, "t_BuildNO", pOld->iVersion, describe, {"修改失败", ""},
                         {"此数据已被其他用户删除", "修改失败"}))
        return 0;
    pNew->iVersion = pOld->iVersion + 1;
    return 1;
}

int FD_Del_BNO(int iOpEmp, tagBUILDNO* pBNO)
{
    if (!pBNO || !CheckConnection())
        return 0;
    ZDSql sql;
    SqlAdd(sql, "Delete from t_buildno");
    SqlAdd(sql, " where iOrdinal = %d", pBNO->iOrdinal);
    // The log row (its snapshot read while the row is there) and the
    // deletion: both or neither, and no row for a building already gone.
    ZDResult failure;
    int outcome = DbTransaction([&](ZDTxn& t) {
        if (!TxnLog(t, iOpEmp, OBJ_BUILDNO, pBNO->iOrdinal, ACT_DELETE))
            return false;
        ZDResult r = TxnRun(t, sql);
        return r.ok && DbAffected(r) == 1;
    }, &failure, TXN_REPEAT);
    if (outcome == TXN_UNDONE)
        return 1;    // already gone: nothing to delete, as before
    return TxnOutcome(outcome, failure, {kAbnormalError, kFailCaption});
}

tagBUILDNO* FindBNO(tagBUILDNO* pArray, int iCount, int iBuildNO, int iKey)
{
    if (!pArray)
        return nullptr;
    for (int i = 0; i < iCount; ++i) {
        if (iBuildNO != 0 ? pArray[i].iBuildNO == iBuildNO : pArray[i].iOrdinal == iKey)
            return &pArray[i];
    }
    return nullptr;
}

void Mem_Free_BNO(tagBUILDNO* pArray) { FreeBlock(pArray); }
