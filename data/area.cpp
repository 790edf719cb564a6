// Cities, urban areas and districts: loading, changing under the server's
// guards, merging, finding and the area drop-down fill.
#include "data/area.h"
#include "data/oplog.h"
#include "data/dict_load.h"
#include "data/columns.h"

#include <cstdio>


// ---- Loading -------------------------------------------------------------------------

// The columns of the three lists.  (The urban rows' bDeleted is selected
// and not kept.)
static constexpr ZDCol kCityRead[] = {
    ZD_COL(tagCITY, iOrdinal, ZK_INT, "select iOrdinal, "),
    ZD_COL(tagCITY, iVersion, ZK_INT, "iVersion, "),
    ZD_COL(tagCITY, szUrban, ZK_TEXT, "szUrban"),
};
static constexpr ZDCol kUrbanRead[] = {
    ZD_COL(tagURBAN, iOrdinal, ZK_INT, "select iOrdinal, "),
    ZD_COL(tagURBAN, iPriority, ZK_INT, "iPriority, "),
    ZD_COL(tagURBAN, szUrban, ZK_TEXT, "szUrban,"),
    ZD_COL(tagURBAN, iVersion, ZK_INT, "iVersion, "),
    ZD_COL(tagURBAN, iParentIndex, ZK_INT, "iParentIndex"),
};
static constexpr ZDCol kDistrictRead[] = {
    ZD_COL(tagDISTRICT, iOrdinal, ZK_INT, "select iOrdinal, "),
    ZD_COL(tagDISTRICT, iPriority, ZK_INT, "iPriority, "),
    ZD_COL(tagDISTRICT, szDistrict, ZK_TEXT, "szDistrict, "),
    ZD_COL(tagDISTRICT, iVersion, ZK_INT, "iVersion, "),
    ZD_COL(tagDISTRICT, iParentIndex, ZK_INT, "iParentIndex"),
};

tagCITY* FD_SCT_CITY(tagCITY** ppCity, int* pCount, int bActiveOnly)
{
    if (ppCity)
        *ppCity = nullptr;
    if (pCount)
        *pCount = 0;
    ZDSql sql;
    AddColumns(sql, ZD_TABLE(kCityRead));
    SqlAdd(sql, ", bDeleted from t_urban");
    SqlAdd(sql, " where iParentIndex = 0  and bRecyle = 0 ");
    if (bActiveOnly == 1)
        SqlAdd(sql, " and bActive = 1");
    SqlAdd(sql, " order by iParentIndex asc, iOrdinal asc");
    tagCITY* p = LoadList<tagCITY>(sql, nullptr, pCount, RowReader<tagCITY>(ZD_TABLE(kCityRead)));
    if (ppCity)
        *ppCity = p;
    return p;
}

tagURBAN* FD_SCT_URBAN(tagCITY* pCity, tagURBAN** ppUrban, int* pCount, int bAllCity, int bRecyle)
{
    if (ppUrban)
        *ppUrban = nullptr;
    if (pCount && !bRecyle)
        *pCount = 0;
    if (!bAllCity && !pCity)
        return nullptr;
    ZDSql sql;
    AddColumns(sql, ZD_TABLE(kUrbanRead));
    SqlAdd(sql, ", bDeleted from t_urban");
    SqlAdd(sql, " where bRecyle = %d", bRecyle);
    if (bAllCity)
        SqlAdd(sql, " and iParentIndex != 0");
    else
        SqlAdd(sql, " and iParentIndex = %d", pCity->iOrdinal);
    if (bRecyle)
        SqlAdd(sql, " order by iOrdinal asc, iParentIndex asc");
    else
        SqlAdd(sql, " order by iParentIndex asc,iPriority asc, iOrdinal asc");
    tagURBAN* p = LoadList<tagURBAN>(sql, nullptr, pCount, RowReader<tagURBAN>(ZD_TABLE(kUrbanRead)));
    if (ppUrban)
        *ppUrban = p;
    return p;
}

tagDISTRICT* FD_SCT_DISTRICT(tagURBAN* pUrban, tagDISTRICT** ppDist, int* pCount, int, int bRecyle)
{
    if (ppDist)
        *ppDist = nullptr;
    if (pCount)
        *pCount = 0;
    ZDSql sql;
    AddColumns(sql, ZD_TABLE(kDistrictRead));
    SqlAdd(sql, " from t_district where bRecyle = %d", bRecyle);
    if (pUrban)
        SqlAdd(sql, " and iParentIndex = %d", pUrban->iOrdinal);
    if (bRecyle)
        SqlAdd(sql, " order by iOrdinal asc,iParentIndex asc");
    else
        SqlAdd(sql, " order by iParentIndex asc,iPriority asc, iOrdinal asc");
    tagDISTRICT* p = LoadList<tagDISTRICT>(sql, nullptr, pCount,
                                              [pUrban](tagDISTRICT& d, const ZDRow& row) {
        ReadColumns(row, d, ZD_TABLE(kDistrictRead));
        d.pUrban = pUrban;
    });
    if (ppDist)
        *ppDist = p;
    return p;
}

// ---- Adding ---------------------------------------------------------------------------

// Runs a duplicate count: 1 when the name is free, 0 when it is taken (the
// warning is shown) or the count failed (its error is recorded).
static int NameIsFree(const ZDSql& check)
{
    long long n = DbScalar(check.text);
    if (n < 0)
        return 0;
    if (n != 0) {
        DbBox("数据重复,加入失败", "错误", MB_OK | MB_ICONWARNING);
        return 0;
    }
    return 1;
}

// Runs an insert; the new key, or 0 when it failed (the error is recorded).
static int InsertRow(const ZDSql& sql)
{
    ZDResult r = DbRun(sql);
    if (!ChangeOutcome(r))
        return 0;
    return r.stmts.empty() ? 0 : (int)r.stmts[0].insertId;
}

// Runs the insert of a city or urban area with its log row; the new key, or
// 0 when neither was stored (the error is recorded).
static int InsertArea(int iOpEmp, const ZDSql& sql)
{
    return LoggedInsert(iOpEmp, sql, OBJ_URBAN, {nullptr, nullptr});
}

int FD_IST_CITY(int iOpEmp, tagCITY* pCity)
{
    if (!pCity || !CheckConnection())
        return 0;
    std::string name = FieldText(pCity->szUrban);
    ZDSql check;
    SqlAdd(check, "select count(*) from t_Urban");
    SqlAdd(check, " where iParentIndex = 0");
    SqlAdd(check, " and szUrban = '%s'", name.c_str());
    if (!NameIsFree(check))
        return 0;
    ZDSql sql;
    SqlAdd(sql, "insert into t_Urban");
    SqlAdd(sql, " ( iParentIndex, szUrban)");
    SqlAdd(sql, " values");
    SqlAdd(sql, "( %d, '%s')", 0, name.c_str());
    int id = InsertArea(iOpEmp, sql);
    if (!id)
        return 0;
    pCity->iOrdinal = id;
    return 1;
}

int FD_IST_URBAN(int iOpEmp, tagURBAN* pUrban)
{
    if (!pUrban || !CheckConnection())
        return 0;
    std::string name = FieldText(pUrban->szUrban);
    ZDSql check;
    SqlAdd(check, "select count(*) from t_Urban");
    SqlAdd(check, " where iParentIndex = %d", pUrban->iParentIndex);
    SqlAdd(check, " and szUrban = '%s'", name.c_str());
    if (!NameIsFree(check))
        return 0;
    ZDSql sql;
    SqlAdd(sql, "insert into t_Urban");
    SqlAdd(sql, " ( iParentIndex, szUrban, iPriority)");
    SqlAdd(sql, " values");
    SqlAdd(sql, "( %d, '%s', %d)", pUrban->iParentIndex, name.c_str(), pUrban->iPriority);
    int id = InsertArea(iOpEmp, sql);
    if (!id)
        return 0;
    pUrban->iOrdinal = id;
    return 1;
}

int FD_IST_DISTRICT(int, tagDISTRICT* pDist)
{
    if (!pDist || !CheckConnection())
        return 0;
    std::string name = FieldText(pDist->szDistrict);
    ZDSql check;
    SqlAdd(check, "select count(*) from t_district");
    SqlAdd(check, " where iParentIndex = %d", pDist->iParentIndex);
    SqlAdd(check, " and szDistrict = '%s'", name.c_str());
    if (!NameIsFree(check))
        return 0;
    ZDSql sql;
    SqlAdd(sql, "insert into t_district");
    SqlAdd(sql, " ( iParentIndex, szDistrict, iPriority)");
    SqlAdd(sql, " values");
    SqlAdd(sql, "( %d, '%s', %d)", pDist->iParentIndex, name.c_str(), pDist->iPriority);
    int id = InsertRow(sql);
    if (!id)
        return 0;
    pDist->iOrdinal = id;
    return 1;
}

// ---- Modifying -------------------------------------------------------------------------

// What a modify writes, each with the name of its box in the name dialog.
// Every modify also raises the row's version, and names the one its dialog
// loaded: a save after another desk's stores nothing and says what that
// desk changed.
static constexpr ZDCol kCityName[] = {
    ZD_COLC(tagCITY, szUrban, ZK_TEXT, " set iVersion = iVersion + 1, szUrban = '%s'", "城市"),
};
static constexpr ZDCol kUrbanName[] = {
    ZD_COLC(tagURBAN, szUrban, ZK_TEXT, "szUrban = '%s',", "城区名称"),
};
static constexpr ZDCol kUrbanPriority[] = {
    ZD_COLC(tagURBAN, iPriority, ZK_INT, "iPriority = %d", "优先显示"),
};
static constexpr ZDCol kDistrictName[] = {
    ZD_COLC(tagDISTRICT, szDistrict, ZK_TEXT, "szDistrict = '%s',", "片区名称"),
};
static constexpr ZDCol kDistrictPriority[] = {
    ZD_COLC(tagDISTRICT, iPriority, ZK_INT, "iPriority = %d", "优先显示"),
};

// What another desk changed in the row key of the table: the row as read
// now (by the read list) against the record the dialog loaded.
template <class T>
static std::function<std::string(ZDTxn&)> AreaChanges(const T& loaded, ZDCols read, const char* pszTable, int key,
                                                      ZDCols name, ZDCols priority = ZDCols{nullptr, 0})
{
    return [&loaded, read, pszTable, key, name, priority](ZDTxn& t) {
        ZDSql now;
        AddColumns(now, read);
        SqlAddRaw(now, " from %s", pszTable);
        SqlAdd(now, " where iOrdinal = %d", key);
        return TxnChangedCaptions(t, now, {read}, loaded, {name, priority});
    };
}

int FD_UPD_CITY(int iOpEmp, tagCITY* pOld, tagCITY* pNew)
{
    if (!pOld || !pNew || !CheckConnection())
        return 0;
    std::string name = FieldText(pNew->szUrban);
    ZDSql sql;
    SqlAdd(sql, "update t_urban,");
    SqlAdd(sql, "(select count(*) as tb2 from t_urban where iParentIndex = 0 and ");
    SqlAdd(sql, "szUrban = '%s') as tb2", name.c_str());
    AddValues(sql, *pNew, ZD_TABLE(kCityName));
    SqlAdd(sql, " where iOrdinal = %d  and 0 = tb2", pNew->iOrdinal);
    int r = VersionedChange(iOpEmp, sql, OBJ_URBAN, pOld->iOrdinal, "t_urban", pOld->iVersion,
                            AreaChanges(*pOld, ZD_TABLE(kCityRead), "t_urban", pOld->iOrdinal, ZD_TABLE(kCityName)),
                            {nullptr, nullptr}, {nullptr, nullptr});
    // A name another city has (or a city gone): refused by the guard.
    if (r < 0) {
        DbBox("目标数据重复,操作失败,或源数据被删除", "", MB_OK);
        return 1;
    }
    if (r == 0)
        return 0;
    pNew->iVersion = pOld->iVersion + 1;
    return 1;
}

int FD_UPD_URBAN(int iOpEmp, tagURBAN* pOld, tagURBAN* pNew)
{
    if (!pOld || !pNew || !CheckConnection())
        return 0;
    // The names are compared as texts: bytes left behind the terminator by
    // an earlier longer name must not turn a priority change into a rename
    // (whose guard would then find the row's own name).
    std::string name = FieldText(pNew->szUrban);
    bool bRename = FieldText(pOld->szUrban) != name;
    ZDSql sql;
    SqlAdd(sql, "update t_urban");
    if (bRename) {
        SqlAdd(sql, ",(select count(*) tb2 from t_urban where ");
        SqlAdd(sql, " iParentIndex = %d and szUrban = '%s') as tb2", pNew->iParentIndex, name.c_str());
    }
    SqlAdd(sql, " set iVersion = iVersion + 1, ");
    if (bRename)
        AddValues(sql, *pNew, ZD_TABLE(kUrbanName));
    AddValues(sql, *pNew, ZD_TABLE(kUrbanPriority));
    SqlAdd(sql, " where iOrdinal = %d ", pNew->iOrdinal);
    if (bRename)
        SqlAdd(sql, " and 0 = tb2");
    int r = VersionedChange(iOpEmp, sql, OBJ_URBAN, pOld->iOrdinal, "t_urban", pOld->iVersion,
                            AreaChanges(*pOld, ZD_TABLE(kUrbanRead), "t_urban", pOld->iOrdinal,
                                        ZD_TABLE(kUrbanName), ZD_TABLE(kUrbanPriority)),
                            {nullptr, nullptr}, {nullptr, nullptr});
    if (r < 0) {
        DbBox("目标数据重复,操作失败", "", MB_OK);
        return 1;
    }
    if (r == 0)
        return 0;
    pNew->iVersion = pOld->iVersion + 1;
    return 1;
}

int FD_UPD_DISTRICT(int, tagDISTRICT* pOld, tagDISTRICT* pNew)
{
    if (!pOld || !pNew || !CheckConnection())
        return 0;
    std::string name = FieldText(pNew->szDistrict);
    bool bRename = FieldText(pOld->szDistrict) != name;
    ZDSql sql;
    SqlAdd(sql, "update t_district ");
    if (bRename) {
        SqlAdd(sql, ", (select count(*) as tb2 from t_district where");
        SqlAdd(sql, " iParentIndex = %d and szDistrict = '%s' ) as tb2 ", pNew->iParentIndex, name.c_str());
    }
    SqlAdd(sql, "set iVersion = iVersion + 1, ");
    if (bRename)
        AddValues(sql, *pNew, ZD_TABLE(kDistrictName));
    AddValues(sql, *pNew, ZD_TABLE(kDistrictPriority));
    SqlAdd(sql, " where iOrdinal = %d", pNew->iOrdinal);
    if (bRename)
        SqlAdd(sql, " and tb2 = 0");
    // A district's change is not logged; a rename to a sibling's name (or a
    // district gone) changes nothing, silently.
    ZDVersionOpts opts;
    opts.bLog = false;
    int r = VersionedChange(0, sql, OBJ_DISTRICT, pOld->iOrdinal, "t_district", pOld->iVersion,
                            AreaChanges(*pOld, ZD_TABLE(kDistrictRead), "t_district", pOld->iOrdinal,
                                        ZD_TABLE(kDistrictName), ZD_TABLE(kDistrictPriority)),
                            {nullptr, nullptr}, {nullptr, nullptr}, opts);
    if (r < 0)
        return 1;
    if (r == 0)
        return 0;
    pNew->iVersion = pOld->iVersion + 1;
    return 1;
}

// ---- Deleting ----------------------------------------------------------------------------

int FD_DEL_CITY(int iOpEmp, tagCITY* pCity)
{
    if (!pCity || !CheckConnection())
        return 0;
    ZDSql sql;
    SqlAdd(sql, "update t_urban, (select count(*) as B from t_urban where bRecyle = 0 and  iParentIndex = %d) as B "
                "set bRecyle = 1 where ", pCity->iOrdinal);
    SqlAdd(sql, " iOrdinal = %d", pCity->iOrdinal);
    SqlAdd(sql, " and B =0");
    return SoftDelete(iOpEmp, sql, OBJ_URBAN, pCity->iOrdinal,
                          "错误原因:\n\n1.该数据被城区占用,不能直接删除\n\n2.已被其它用户删除");
}

int FD_DEL_URBAN(int iOpEmp, tagURBAN* pUrban)
{
    if (!pUrban || !CheckConnection())
        return 0;
    ZDSql sql;
    SqlAdd(sql, "update t_urban set bRecyle = 1 where ");
    SqlAdd(sql, " (select count(*) from t_district where iParentIndex = %d and bRecyle = 0) = 0", pUrban->iOrdinal);
    SqlAdd(sql, " and (select count(*) from t_estate where iUrban = %d and bRecyle = 0) = 0", pUrban->iOrdinal);
    SqlAdd(sql, " and iOrdinal = %d", pUrban->iOrdinal);
    return SoftDelete(iOpEmp, sql, OBJ_URBAN, pUrban->iOrdinal,
                          "错误原因:\n\n1.该数据被楼盘占用,不能直接删除\n\n2.已被其它用户删除");
}

int FD_DEL_DISTRICT(int iOpEmp, tagDISTRICT* pDist)
{
    if (!pDist || !CheckConnection())
        return 0;
    ZDSql sql;
    SqlAdd(sql, "update t_district set bRecyle=1 where iOrdinal=%d", pDist->iOrdinal);
    // A district that is gone gets no recycle-bin entry (and no box).
    return SoftDelete(iOpEmp, sql, OBJ_DISTRICT, pDist->iOrdinal, nullptr);
}

// ---- Merging --------------------------------------------------------------------------------

int FD_JOIN_URBAN(int iOpEmp, tagURBAN* pSource, tagURBAN* pTarget)
{
    char text[96];
    if (FD_JOIN_URBAN_TOLD(iOpEmp, pSource, pTarget, text, sizeof text) != 1)
        return 0;
    DbBox(text, "合并成功", MB_OK);
    return 1;
}

int FD_JOIN_URBAN_TOLD(int iOpEmp, tagURBAN* pSource, tagURBAN* pTarget, char* pszResult, size_t cb)
{
    if (pszResult && cb)
        pszResult[0] = 0;
    if (!pSource || !pTarget || !CheckConnection())
        return 0;
    ZDSql sql;
    // (A moved district or estate is a change an open form must not overwrite.)
    SqlAdd(sql, "update t_district set iParentIndex = %d, iVersion = iVersion + 1 where iParentIndex = %d",
           pTarget->iOrdinal, pSource->iOrdinal);
    SqlAdd(sql, ";update t_estate set iUrban = %d, iVersion = iVersion + 1 where iUrban = %d", pTarget->iOrdinal,
           pSource->iOrdinal);
    // Both moves and the row saying what moved where, or none of it.
    long long districts = 0, estates = 0;
    std::string what = FieldText(pSource->szUrban) + " 合并到 " + FieldText(pTarget->szUrban);
    int stored = AuditedChange([&](ZDTxn& t, std::string& text) {
        ZDResult r = TxnRun(t, sql);
        if (!r.ok)
            return false;
        districts = DbAffected(r, 0);
        estates = DbAffected(r, 1);
        text += ": 片区 " + std::to_string(districts) + " 条, 楼盘 " + std::to_string(estates) + " 条";
        return true;
    }, iOpEmp, OBJ_URBAN, pSource->iOrdinal, LOG_ACT_MERGE, what,
                                {"合并城区失败, 片区和楼盘都没有转移, 错误原因查看错误日志文件.", kFailCaption}, nullptr,
                                TXN_REPEAT);
    if (!stored)
        return 0;
    if (pszResult && cb)
        snprintf(pszResult, cb, "转移片区%4d条.转移楼盘字典%4d条.", (int)districts, (int)estates);
    return 1;
}

// ---- Finding ------------------------------------------------------------------------------------

template <class T, size_t N>
static T* FindArea(T* pArray, int iKey, const char* pszName, int iCount, char (T::*name)[N])
{
    if (!pArray)
        return nullptr;
    for (int i = 0; i < iCount; ++i) {
        T& rec = pArray[i];
        if (pszName ? FieldText(rec.*name) == pszName : rec.iOrdinal == iKey)
            return &rec;
    }
    return nullptr;
}

tagCITY* FindCity(tagCITY* pArray, tagCITY** ppOut, int iKey, const char* pszName, int iCount)
{
    if (pszName && !*pszName)
        return nullptr;
    tagCITY* p = FindArea(pArray, iKey, pszName, iCount, &tagCITY::szUrban);
    if (p && ppOut)
        *ppOut = p;
    return p;
}

tagURBAN* FindUrban(tagURBAN* pArray, tagURBAN** ppOut, int iKey, const char* pszName, int iCount)
{
    tagURBAN* p = FindArea(pArray, iKey, pszName, iCount, &tagURBAN::szUrban);
    if (ppOut)
        *ppOut = p;
    return p;
}

tagDISTRICT* FindDist(tagDISTRICT* pArray, tagDISTRICT** ppOut, int iKey, const char* pszName, int iCount)
{
    tagDISTRICT* p = FindArea(pArray, iKey, pszName, iCount + ZD_SPARE_RECORDS, &tagDISTRICT::szDistrict);
    if (ppOut)
        *ppOut = p;
    return p;
}

void Mem_Free_City(tagCITY* pArray) { FreeBlock(pArray); }
void Mem_Free_Urban(tagURBAN* pArray) { FreeBlock(pArray); }
void Mem_Free_Dist(tagDISTRICT* pArray) { FreeBlock(pArray); }

// ---- Drop-down fill -------------------------------------------------------------------------------

void SendTextToList(void* pCtx, const char* pszText)
{
    ZDListTarget* t = static_cast<ZDListTarget*>(pCtx);
    SendMessageA(t->hList, t->uMsg, 0, (LPARAM)pszText);
}

template <class T, size_t N>
static int FillArea(const T* pArray, int iCount, int iParent, ZT_FILL_PROC pfnAdd, void* pCtx, char (T::*name)[N])
{
    if (!pArray || !pfnAdd)
        return -1;
    int first = -1;
    for (int i = 0; i < iCount; ++i) {
        if (pArray[i].iOrdinal != 0 && pArray[i].iParentIndex == iParent) {
            first = i;
            break;
        }
    }
    if (first < 0)
        return -1;
    pfnAdd(pCtx, "");
    for (int i = first; i < iCount && pArray[i].iOrdinal != 0 && pArray[i].iParentIndex == iParent; ++i)
        pfnAdd(pCtx, FieldText(pArray[i].*name).c_str());
    return first;
}

int FillAreaCombo(const tagURBAN* pArray, int iCount, int iParent, ZT_FILL_PROC pfnAdd, void* pCtx)
{
    return FillArea(pArray, iCount, iParent, pfnAdd, pCtx, &tagURBAN::szUrban);
}

int FillAreaCombo(const tagDISTRICT* pArray, int iCount, int iParent, ZT_FILL_PROC pfnAdd, void* pCtx)
{
    return FillArea(pArray, iCount, iParent, pfnAdd, pCtx, &tagDISTRICT::szDistrict);
}

int FillAreaCombo(HWND hList, const tagURBAN* pArray, int iCount, int iParent, UINT uAddMsg)
{
    ZDListTarget t = {hList, uAddMsg};
    return FillAreaCombo(pArray, iCount, iParent, SendTextToList, &t);
}

int FillAreaCombo(HWND hList, const tagDISTRICT* pArray, int iCount, int iParent, UINT uAddMsg)
{
    ZDListTarget t = {hList, uAddMsg};
    return FillAreaCombo(pArray, iCount, iParent, SendTextToList, &t);
}
