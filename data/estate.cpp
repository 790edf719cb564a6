// The estate dictionary and the buildings of each estate.
#include "data/estate.h"
#include "data/dict_load.h"


// ---- Loading estates ---------------------------------------------------------------------

tagESTLIST* FD_Sct_EstList(tagURBAN* pUrban, tagESTLIST** ppList, int* pCount, int, int bRecyle)
{
    if (ppList) {
        Mem_Free_EstList(*ppList);
        *ppList = nullptr;
    }
    if (pCount)
        *pCount = 0;
    ZDSql sql;
    SqlAdd(sql, "select iOrdinal,iUrban, szEstate, szSpell");
    SqlAdd(sql, ",szAddress,szDist, szRingArea");
    SqlAdd(sql, ",szHouseStruct, szHouseType");
    SqlAdd(sql, " from t_estate where  bRecyle = %d ", bRecyle);
    if (pUrban)
        SqlAdd(sql, " and  iUrban =%d", pUrban->iOrdinal);
    if (!bRecyle)
        SqlAdd(sql, " order by iOrdinal asc");
    ZDResult r;
    if (!RunList(sql, r))
        return nullptr;
    tagESTLIST* p = FillBlock<tagESTLIST>(DbRows(r), ZD_SPARE_RECORDS, pCount, [](tagESTLIST& e, const ZDRow& row) {
        e.iOrdinal = GetInt(row, 0);
        e.iUrban = GetInt(row, 1);
        GetText(row, 2, e.szEstate);
        GetText(row, 3, e.szSpell);
        GetText(row, 4, e.szAddress);
        GetText(row, 5, e.szDist);
        GetText(row, 6, e.szRingArea);
        GetText(row, 7, e.szHouseStruct);
        GetText(row, 8, e.szHouseType);
    });
    if (!p) {
        DbBox("分配内存出错", "", MB_OK);
        return nullptr;
    }
    if (ppList)
        *ppList = p;
    return p;
}

tagESTATE* FD_Sct_Est(tagURBAN* pUrban, tagESTATE** ppEst, int* pCount)
{
    if (ppEst)
        *ppEst = nullptr;
    if (pCount)
        *pCount = 0;
    ZDSql sql;
    SqlAdd(sql, "select iOrdinal, szEstate, szSpell");
    SqlAdd(sql, ",szDist, szIntersection, iBuild");
    SqlAdd(sql, ",szHouseUsage, iImg");
    SqlAdd(sql, ",szAddress, szBuildYear");
    SqlAdd(sql, ",szBuildStruct, szBuildType");
    SqlAdd(sql, ",szDevCom, szMgCom, szHouseType");
    SqlAdd(sql, ", iUrban, szRingArea from t_estate");
    if (pUrban)
        SqlAdd(sql, " where bRecyle = 0 and iUrban =%d", pUrban->iOrdinal);
    ZDResult r;
    if (!RunList(sql, r))
        return nullptr;
    tagESTATE* p = FillBlock<tagESTATE>(DbRows(r), ZD_SPARE_RECORDS, pCount, [pUrban](tagESTATE& e, const ZDRow& row) {
        e.iOrdinal = GetInt(row, 0);
        GetText(row, 1, e.szEstate);
        GetText(row, 2, e.szSpell);
        GetText(row, 3, e.szDist);
        GetText(row, 4, e.szIntersection);
        e.iBuild = GetInt(row, 5);
        GetText(row, 6, e.szHouseUsage);
        e.iImg = GetInt(row, 7);
        GetText(row, 8, e.szAddress);
        GetText(row, 9, e.szBuildYear);
        GetText(row, 10, e.szBuildStruct);
        GetText(row, 11, e.szBuildType);
        GetText(row, 12, e.szDevCom);
        GetText(row, 13, e.szMgCom);
        GetText(row, 14, e.szHouseType);
        e.iUrban = GetInt(row, 15);
        GetText(row, 16, e.szRingArea);
        e.pUrban = pUrban;
    });
    if (!p) {
        DbBox("分配内存出错", "", MB_OK);
        return nullptr;
    }
    if (ppEst)
        *ppEst = p;
    return p;
}

tagESTATE* FD_Sct_EstDetail(tagESTATE* pEst)
{
    if (!pEst || !CheckConnection())
        return nullptr;
    ZDSql sql;
    SqlAdd(sql, "select");
    SqlAdd(sql, " iOrdinal, szEstate,szSpell");
    SqlAdd(sql, ",szDist, szIntersection,iBuild");
    SqlAdd(sql, ",szHouseUsage,iImg,szAddress");
    SqlAdd(sql, ",szBuildYear,szBuildStruct,szBuildType");
    SqlAdd(sql, ",szDevCom, szMgCom, szHouseType");
    SqlAdd(sql, ",iUrban,szRingArea,iCoversArea");
    SqlAdd(sql, ",iBuildArea,iRoom,iVacancy");
    SqlAdd(sql, ", iVolume,iAfforest, iHouse");
    SqlAdd(sql, ", iPark,szHouseStruct, szHandoverStandard");
    SqlAdd(sql, ",szLandCategory, szLandSource, szLandUsage");
    SqlAdd(sql, ",szUsePeriod,szTransferDate, szTransferPrice");
    SqlAdd(sql, ",szFloorPrice,szSalesAddress,szMgAddress");
    SqlAdd(sql, ",szSalesTel,szMgTel, szOpenDate");
    SqlAdd(sql, ",szWorkTime,iOpenAvePrice,dMgPrice");
    SqlAdd(sql, ", szHandOverDate,dParkRentPrice, iBuild, szBuildCom");
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
    tagESTATE& e = *pEst;
    e.iOrdinal = GetInt(row, 0);
    GetText(row, 1, e.szEstate);
    GetText(row, 2, e.szSpell);
    GetText(row, 3, e.szDist);
    GetText(row, 4, e.szIntersection);
    GetText(row, 6, e.szHouseUsage);
    e.iImg = GetInt(row, 7);
    GetText(row, 8, e.szAddress);
    GetText(row, 9, e.szBuildYear);
    GetText(row, 10, e.szBuildStruct);
    GetText(row, 11, e.szBuildType);
    GetText(row, 12, e.szDevCom);
    GetText(row, 13, e.szMgCom);
    GetText(row, 14, e.szHouseType);
    e.iUrban = GetInt(row, 15);
    GetText(row, 16, e.szRingArea);
    e.iCoversArea = GetInt(row, 17);
    e.iBuildArea = GetInt(row, 18);
    e.iRoom = GetInt(row, 19);
    e.iVacancy = GetInt(row, 20);
    e.iVolume = GetInt(row, 21);
    e.iAfforest = GetInt(row, 22);
    e.iHouse = GetInt(row, 23);
    e.iPark = GetInt(row, 24);
    GetText(row, 25, e.szHouseStruct);
    GetText(row, 26, e.szHandoverStandard);
    GetText(row, 27, e.szLandCategory);
    GetText(row, 28, e.szLandSource);
    GetText(row, 29, e.szLandUsage);
    GetText(row, 30, e.szUsePeriod);
    GetText(row, 31, e.szTransferDate);
    GetText(row, 32, e.szTransferPrice);
    GetText(row, 33, e.szFloorPrice);
    GetText(row, 34, e.szSalesAddress);
    GetText(row, 35, e.szMgAddress);
    GetText(row, 36, e.szSalesTel);
    GetText(row, 37, e.szMgTel);
    GetText(row, 38, e.szOpenDate);
    GetText(row, 39, e.szWorkTime);
    e.iOpenAvePrice = GetInt(row, 40);
    e.dMgPrice = GetDouble(row, 41);
    GetText(row, 42, e.szHandOverDate);
    e.dParkRentPrice = GetDouble(row, 43);
    e.iBuild = GetInt(row, 44);
    GetText(row, 45, e.szBuildCom);
    return pEst;
}

// ---- Changing estates ---------------------------------------------------------------------

// The columns an add and a modify write, from the record.
static void AddEstateColumns(ZDSql& sql, const tagESTATE& e)
{
    SqlAdd(sql, " szSpell = '%s'", FieldText(e.szSpell).c_str());
    SqlAdd(sql, ",szRingArea = '%s'", FieldText(e.szRingArea).c_str());
    SqlAdd(sql, ", szDist = '%s'", FieldText(e.szDist).c_str());
    SqlAdd(sql, ", szAddress='%s'", FieldText(e.szAddress).c_str());
    SqlAdd(sql, ", szInterSection='%s'", FieldText(e.szIntersection).c_str());
    SqlAdd(sql, ", iCoversArea=%d", e.iCoversArea);
    SqlAdd(sql, ", iBuildArea=%d", e.iBuildArea);
    SqlAdd(sql, ", iRoom=%d", e.iRoom);
    SqlAdd(sql, ", iAfforest=%d", e.iAfforest);
    SqlAdd(sql, ", iVolume=%d", e.iVolume);
    SqlAdd(sql, ", iVacancy=%d", e.iVacancy);
    SqlAdd(sql, ", iHouse = %d", e.iHouse);
    SqlAdd(sql, ", iPark = %d", e.iPark);
    SqlAdd(sql, ", szLandCategory='%s'", FieldText(e.szLandCategory).c_str());
    SqlAdd(sql, ", szLandSource= '%s'", FieldText(e.szLandSource).c_str());
    SqlAdd(sql, ", szLandUsage = '%s'", FieldText(e.szLandUsage).c_str());
    SqlAdd(sql, ", szUsePeriod = '%s'", FieldText(e.szUsePeriod).c_str());
    SqlAdd(sql, ", szTransferDate='%s'", FieldText(e.szTransferDate).c_str());
    SqlAdd(sql, ", szTransferPrice='%s'", FieldText(e.szTransferPrice).c_str());
    SqlAdd(sql, ", szFloorPrice='%s'", FieldText(e.szFloorPrice).c_str());
    SqlAdd(sql, ", szHouseType = '%s'", FieldText(e.szHouseType).c_str());
    SqlAdd(sql, ", szHouseStruct='%s'", FieldText(e.szHouseStruct).c_str());
    SqlAdd(sql, ", szHouseUsage='%s'", FieldText(e.szHouseUsage).c_str());
    SqlAdd(sql, ", szBuildType = '%s'", FieldText(e.szBuildType).c_str());
    SqlAdd(sql, ", szBuildStruct= '%s'", FieldText(e.szBuildStruct).c_str());
    SqlAdd(sql, ", szHandoverStandard='%s'", FieldText(e.szHandoverStandard).c_str());
    SqlAdd(sql, ", szBuildYear='%s'", FieldText(e.szBuildYear).c_str());
    SqlAdd(sql, ", szDevCom = '%s'", FieldText(e.szDevCom).c_str());
    SqlAdd(sql, ", szSalesAddress='%s'", FieldText(e.szSalesAddress).c_str());
    SqlAdd(sql, ", szSalesTel='%s'", FieldText(e.szSalesTel).c_str());
    SqlAdd(sql, ", szOpenDate='%s'", FieldText(e.szOpenDate).c_str());
    SqlAdd(sql, ", iOpenAvePrice=%d", e.iOpenAvePrice);
    SqlAdd(sql, ", szHandoverDate='%s'", FieldText(e.szHandOverDate).c_str());
    SqlAdd(sql, ", szMgCom = '%s'", FieldText(e.szMgCom).c_str());
    SqlAdd(sql, ", szMgTel = '%s'", FieldText(e.szMgTel).c_str());
    SqlAdd(sql, ", szMgAddress='%s'", FieldText(e.szMgAddress).c_str());
    SqlAdd(sql, ", szWorkTime='%s'", FieldText(e.szWorkTime).c_str());
    SqlAdd(sql, ", dMgPrice=%.2f", e.dMgPrice);
    SqlAdd(sql, ", dParkRentPrice=%.2f", e.dParkRentPrice);
    SqlAdd(sql, ", iBuild=%d", e.iBuild);
    SqlAdd(sql, ", szBuildCom = '%s'", FieldText(e.szBuildCom).c_str());
}

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
            AddEstateColumns(upd, *pEst);
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
    ZDSql sql;
    SqlAdd(sql, "update t_estate set");
    SqlAdd(sql, " szEstate = '%s',", name.c_str());
    AddEstateColumns(sql, *pNew);
    SqlAdd(sql, " where iOrdinal = %d", pOld->iOrdinal);
    return LoggedChange(iOpEmp, sql, OBJ_ESTATE, pOld->iOrdinal, ACT_MODIFY, {"修改数据失败", ""});
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

tagBUILDNO* FD_Sct_BNO(tagBUILDNO** ppBNO, int* pCount, int iEst, int bRecyle)
{
    if (pCount)
        *pCount = 0;
    ZDSql sql;
    SqlAdd(sql, "select iOrdinal, iBuildNO, iEst, iLift, iHouse,iFloort, szBuildStruct, szBuildType");
    SqlAdd(sql, " from t_BuildNO ");
    SqlAdd(sql, " where bRecyle = %d", bRecyle);
    if (iEst != 0)
        SqlAdd(sql, " and iEst = %d", iEst);
    if (bRecyle)
        SqlAdd(sql, " order by iOrdinal asc");
    ZDResult r;
    if (!RunList(sql, r))
        return nullptr;
    tagBUILDNO* p = FillBlock<tagBUILDNO>(DbRows(r), ZD_SPARE_RECORDS, pCount, [](tagBUILDNO& b, const ZDRow& row) {
        b.iOrdinal = GetInt(row, 0);
        b.iBuildNO = GetInt(row, 1);
        b.iEst = GetInt(row, 2);
        b.iLift = GetInt(row, 3);
        b.iHouse = GetInt(row, 4);
        b.iFloort = GetInt(row, 5);
        GetText(row, 6, b.szBuildStruct);
        GetText(row, 7, b.szBuildType);
    });
    if (!p) {
        DbBox("分配内存出错", "", MB_OK);
        return nullptr;
    }
    if (ppBNO)
        *ppBNO = p;
    return p;
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
    ZDSql sql;
    SqlAdd(sql, "update t_BuildNO set iBuildNO=%d, iEst=%d, iLift=%d, iHouse=%d, iFloort=%d", pNew->iBuildNO,
           pNew->iEst, pNew->iLift, pNew->iHouse, pNew->iFloort);
    SqlAdd(sql, ", szBuildStruct = '%s', szBuildType = '%s'", FieldText(pNew->szBuildStruct).c_str(),
           FieldText(pNew->szBuildType).c_str());
    SqlAdd(sql, " where iOrdinal = %d", pOld->iOrdinal);
    pNew->iOrdinal = pOld->iOrdinal;
    return LoggedChange(iOpEmp, sql, OBJ_BUILDNO, pOld->iOrdinal, ACT_MODIFY, {"修改失败", ""});
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
