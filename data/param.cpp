// The parameter dictionary: loading the tree, changing values, finding and
// the parameter drop-down fill.
#include "data/param.h"
#include "data/dict_load.h"
#include "data/columns.h"

#include <algorithm>
#include <cstdio>
#include <vector>

// ---- Loading ----------------------------------------------------------------------------------

// The columns of the categories, the names, and the values (live, and in
// the recycle bin with their name and category).
static constexpr ZDCol kTagRead[] = {
    ZD_COL(tagARGC, iOrdinal, ZK_INT, "select iOrdinal, "),
    ZD_COL(tagARGC, szTags, ZK_TEXT, "szTags"),
};
static constexpr ZDCol kNameRead[] = {
    ZD_COL(tagARGC, iOrdinal, ZK_INT, "select iOrdinal, "),
    ZD_COL(tagARGC, szName, ZK_TEXT, "szName, "),
    ZD_COL(tagARGC, iCategory, ZK_INT, "iParentIndex"),
};
static constexpr ZDCol kValueRead[] = {
    ZD_COL(tagARGC, iOrdinal, ZK_INT, "select iOrdinal, "),
    ZD_COL(tagARGC, iPriority, ZK_INT, "iPriority, "),
    ZD_COL(tagARGC, iVersion, ZK_INT, "iVersion, "),
    ZD_COL(tagARGC, szValue, ZK_TEXT, "szValue"),
};
static constexpr ZDCol kValueAllRead[] = {
    ZD_COL(tagARGC, iOrdinal, ZK_INT, "select iOrdinal, "),
    ZD_COL(tagARGC, iPriority, ZK_INT, "iPriority,"),
    ZD_COL(tagARGC, iParentIndex, ZK_INT, "iParentIndex, "),
    ZD_COL(tagARGC, iVersion, ZK_INT, "iVersion, "),
    ZD_COL(tagARGC, szValue, ZK_TEXT, "szValue"),
};
static constexpr ZDCol kValueBinRead[] = {
    ZD_COL(tagARGC, iOrdinal, ZK_INT, "select t1.iOrdinal, "),
    ZD_COL(tagARGC, szTags, ZK_TEXT, "t3.szTags, "),
    ZD_COL(tagARGC, szName, ZK_TEXT, "t2.szName, "),
    ZD_COL(tagARGC, szValue, ZK_TEXT, "t1.szValue"),
};

tagARGC* FD_sct_Argc_Name(tagARGC** ppTags, tagARGC** ppNames, int* pnTags, int* pnNames)
{
    if (ppTags) {
        Mem_Free_Argc(*ppTags);
        *ppTags = nullptr;
    }
    if (ppNames) {
        Mem_Free_Argc(*ppNames);
        *ppNames = nullptr;
    }
    if (pnTags)
        *pnTags = 0;
    if (pnNames)
        *pnNames = 0;
    ZDSql sql;
    AddColumns(sql, ZD_TABLE(kTagRead));
    SqlAdd(sql, " from t_param where iParentIndex = 0 and bRecyle = 0");
    SqlAdd(sql, " order by iOrdinal asc");
    SqlAdd(sql, ";");
    AddColumns(sql, ZD_TABLE(kNameRead));
    SqlAdd(sql, " from t_param where szTags is null and szValue is null and bRecyle = 0");
    SqlAdd(sql, " order by iParentIndex asc, iPriority asc, iOrdinal asc");
    ZDResult r;
    if (!RunList(sql, r))
        return nullptr;
    MYSQL_RES* tagRes = DbRows(r, 0);
    MYSQL_RES* nameRes = DbRows(r, 1);
    size_t nTagRows = tagRes ? (size_t)mysql_num_rows(tagRes) : 0;
    size_t nNameRows = nameRes ? (size_t)mysql_num_rows(nameRes) : 0;
    tagARGC* tags = AllocRecords<tagARGC>(nTagRows + ZD_SPARE_RECORDS);
    tagARGC* names = AllocRecords<tagARGC>(nNameRows + ZD_SPARE_RECORDS);
    if (!tags || !names) {
        FreeBlock(tags);
        FreeBlock(names);
        return nullptr;
    }

    // Merged pass: both results are sorted by the key that links them.
    int nTags = 0, nNames = 0;
    ZDRow nameRow;
    tagARGC name;
    auto nextName = [&]() {
        name = tagARGC{};
        if (!DbNextRow(nameRes, nameRow))
            return false;
        ReadColumns(nameRow, name, ZD_TABLE(kNameRead));
        return true;
    };
    bool bName = nextName();
    ZDRow tagRow;
    while (DbNextRow(tagRes, tagRow)) {
        tagARGC& t = tags[nTags++];
        ReadColumns(tagRow, t, ZD_TABLE(kTagRead));
        // Names whose category sorts before this one have no live category.
        while (bName && name.iCategory < t.iOrdinal)
            bName = nextName();
        while (bName && name.iCategory == t.iOrdinal) {
            tagARGC& n = names[nNames++];
            n = name;
            n.pCategory = &t;
            bName = nextName();
        }
    }
    if (ppTags)
        *ppTags = tags;
    if (ppNames)
        *ppNames = names;
    if (pnTags)
        *pnTags = nTags;
    if (pnNames)
        *pnNames = nNames;
    return names;
}

tagARGC* FD_sct_Argc_Value(tagARGC* pName, tagARGC** ppValues, int* pCount)
{
    if (ppValues) {
        Mem_Free_Argc(*ppValues);
        *ppValues = nullptr;
    }
    if (pCount)
        *pCount = 0;
    if (!pName)
        return nullptr;
    ZDSql sql;
    AddColumns(sql, ZD_TABLE(kValueRead));
    SqlAdd(sql, " from t_param where");
    SqlAdd(sql, " szTags is NULL and szName is NULL and iParentIndex = %d and bRecyle = 0", pName->iOrdinal);
    SqlAdd(sql, " order by iParentIndex asc, iPriority asc, iOrdinal asc");
    int iName = pName->iOrdinal;
    tagARGC* p = LoadList<tagARGC>(sql, nullptr, pCount, [iName](tagARGC& v, const ZDRow& row) {
        ReadColumns(row, v, ZD_TABLE(kValueRead));
        v.iParentIndex = iName;
    });
    if (ppValues)
        *ppValues = p;
    return p;
}

tagARGC* _FD_sct_Argc_Value(tagARGC* pName, tagARGC** ppValues, int* pCount, int, int bRecyle)
{
    if (ppValues) {
        Mem_Free_Argc(*ppValues);
        *ppValues = nullptr;
    }
    if (pCount)
        *pCount = 0;
    ZDCols cols = bRecyle ? ZD_TABLE(kValueBinRead) : ZD_TABLE(kValueAllRead);
    ZDSql sql;
    AddColumns(sql, cols);
    if (!bRecyle) {
        SqlAdd(sql, " from t_param where");
        SqlAdd(sql, " szTags is NULL and szName is NULL and bRecyle=0");
        if (pName)
            SqlAdd(sql, " and iParentIndex = %d", pName->iOrdinal);
        SqlAdd(sql, " order by iParentIndex asc, iPriority asc, szValue asc, iOrdinal asc");
    } else {
        SqlAdd(sql, " from t_param as t1 left JOIN t_param as t2 "
                    "on t1.iParentIndex = t2.iOrdinal left join t_param as t3 on t2.iParentIndex = t3.iOrdinal "
                    "where t1.szValue is not null");
        SqlAdd(sql, " and t1.bRecyle =1");
        SqlAdd(sql, " order by iOrdinal asc");
    }
    ZDResult r;
    if (!RunList(sql, r))
        return nullptr;
    tagARGC* p = FillBlock<tagARGC>(DbRows(r), ZD_SPARE_RECORDS, pCount,
                                    [cols](tagARGC& v, const ZDRow& row) { ReadColumns(row, v, cols); });
    if (ppValues)
        *ppValues = p;
    return p;
}

// ---- Changing values -------------------------------------------------------------------------------

int FD_Ist_Argc_Value(int iOpEmp, tagARGC* pValue)
{
    if (!pValue || !CheckConnection())
        return 0;
    std::string text = FieldText(pValue->szValue);
    ZDSql check;
    SqlAdd(check, "select count(*) from t_param where");
    SqlAdd(check, " szValue = '%s' ", text.c_str());
    SqlAdd(check, "and iParentIndex = %d", pValue->iParentIndex);
    long long n = DbScalar(check.text);
    if (n < 0)
        return 0;
    if (n >= 1) {
        DbBox("已存在相同数据,增加失败", "", MB_OK);
        return 0;
    }
    ZDSql sql;
    SqlAdd(sql, "insert into t_param (szValue, iParentIndex, iPriority)");
    SqlAdd(sql, " values ('%s', %d, %d)", text.c_str(), pValue->iParentIndex, pValue->iPriority);
    int key = LoggedInsert(iOpEmp, sql, OBJ_PARAM, {nullptr, nullptr}, ACT_ADD);
    if (!key)
        return 0;
    pValue->iOrdinal = key;
    return 1;
}

// What a value's change writes, each with the name of its box in the value
// dialog (the priority with the new version).
static constexpr ZDCol kValuePriority[] = {
    ZD_COLC(tagARGC, iPriority, ZK_INT, " set iVersion = iVersion + 1, iPriority = %d", "优先级"),
};
static constexpr ZDCol kValueText[] = {
    ZD_COLC(tagARGC, szValue, ZK_TEXT, ", szValue = '%s'", "参数值"),
};

int FD_Upd_Argc_Value(int iOpEmp, tagARGC* pOld, tagARGC* pNew)
{
    if (!pOld || !pNew || !CheckConnection())
        return 0;
    std::string text = FieldText(pNew->szValue);
    bool bRename = FieldText(pOld->szValue) != text;
    ZDSql sql;
    SqlAdd(sql, "update t_param");
    if (bRename) {
        SqlAdd(sql, ",(select count(*) as tb2 from t_param");
        SqlAdd(sql, " where iParentIndex = %d and szValue = '%s') as tb2", pNew->iParentIndex, text.c_str());
    }
    AddValues(sql, *pNew, ZD_TABLE(kValuePriority));
    if (bRename)
        AddValues(sql, *pNew, ZD_TABLE(kValueText));
    SqlAdd(sql, " where iOrdinal = %d", pNew->iOrdinal);
    if (bRename)
        SqlAdd(sql, " and tb2 = 0");
    // A rename to a name the parameter already has changes nothing: refused,
    // and not logged.  A value another desk saved since pOld was loaded is
    // refused naming what that desk changed.
    int key = pOld->iOrdinal;
    auto describe = [&](ZDTxn& t) {
        ZDSql now;
        AddColumns(now, ZD_TABLE(kValueAllRead));
        SqlAdd(now, " from t_param where iOrdinal = %d", key);
        return TxnChangedCaptions(t, now, {ZD_TABLE(kValueAllRead)}, *pOld,
                                  {ZD_TABLE(kValueText), ZD_TABLE(kValuePriority)});
    };
    ZDResult r;
    ZDVersionOpts opts;
    opts.pChange = &r;
    if (VersionedChange(iOpEmp, sql, OBJ_PARAM, key, "t_param", pOld->iVersion, describe, {nullptr, nullptr},
                        {"已存在相同数据, 或该数据已被其他用户删除, 修改失败", ""}, opts) != 1)
        return 0;
    pNew->iVersion = pOld->iVersion + 1;
    char msg[64];
    snprintf(msg, sizeof msg, "修改数据 %d.行", (int)DbAffected(r));
    DbBox(msg, "操作成功", MB_OK);
    return 1;
}

int FD_Del_Argc_Value(int iOpEmp, tagARGC* pValue)
{
    if (!pValue || !CheckConnection())
        return 0;
    ZDSql sql;
    SqlAdd(sql, "delete from t_param where iOrdinal = %d", pValue->iOrdinal);
    // The log row takes its snapshot from the value's row, so it is written
    // before the row goes; the deletion and its log row are stored together.
    ZDResult failure;
    int outcome = DbTransaction([&](ZDTxn& t) {
        return TxnLog(t, iOpEmp, OBJ_PARAM, pValue->iOrdinal, ACT_DELETE) && TxnRun(t, sql).ok;
    }, &failure);
    return TxnOutcome(outcome, failure, {kAbnormalError, kFailCaption});
}

// ---- Finding ---------------------------------------------------------------------------------------

tagARGC* FindArgc(tagARGC* pArray, int iCount, int iKey)
{
    if (!pArray)
        return nullptr;
    for (int i = 0; i < iCount; ++i)
        if (pArray[i].iOrdinal == iKey)
            return &pArray[i];
    return nullptr;
}

void Mem_Free_Argc(tagARGC* pArray) { FreeBlock(pArray); }

const tagARGC* FindArgcName(const tagARGC* pTags, int nTags, const tagARGC* pNames, int nNames,
                            const char* pszTag, const char* pszName)
{
    if (!pTags || !pNames || !pszTag || !pszName)
        return nullptr;
    for (int t = 0; t < nTags; ++t) {
        if (pTags[t].iOrdinal == 0 || FieldText(pTags[t].szTags) != pszTag)
            continue;
        for (int n = 0; n < nNames; ++n)
            if (pNames[n].iOrdinal != 0 && pNames[n].iCategory == pTags[t].iOrdinal &&
                FieldText(pNames[n].szName) == pszName)
                return &pNames[n];
    }
    return nullptr;
}

// ---- Drop-down fill -----------------------------------------------------------------------------------

int FillArgcCombo(const tagARGC* pValues, int nValues, int iName, ZT_FILL_PROC pfnAdd, void* pCtx)
{
    if (!pValues || !pfnAdd || iName == 0)
        return -1;
    std::vector<int> found;
    for (int i = 0; i < nValues; ++i)
        if (pValues[i].iOrdinal != 0 && pValues[i].iParentIndex == iName)
            found.push_back(i);
    // Loaded values already stand in the server's order; a value put later
    // joins those of its priority after them.
    std::stable_sort(found.begin(), found.end(),
                     [pValues](int a, int b) { return pValues[a].iPriority < pValues[b].iPriority; });
    for (int i : found)
        pfnAdd(pCtx, FieldText(pValues[i].szValue).c_str());
    return found.empty() ? -1 : found.front();
}

int FillArgcCombo(HWND hList, const tagARGC* pValues, int nValues, int iName, UINT uAddMsg)
{
    ZDListTarget t = {hList, uAddMsg};
    return FillArgcCombo(pValues, nValues, iName, SendTextToList, &t);
}

int FillArgcCombos(const tagARGC* pTags, int nTags, const tagARGC* pNames, int nNames, const tagARGC* pValues,
                   int nValues, const char* pszTag, ZT_ARGC_BIND* pBinds, int nBinds, UINT uAddMsg)
{
    if (!pBinds)
        return 0;
    for (int b = 0; b < nBinds; ++b)
        pBinds[b].iFirst = -1;
    if (!pTags || !pNames || !pszTag)
        return 0;
    int filled = 0;
    for (int t = 0; t < nTags; ++t) {
        if (pTags[t].iOrdinal == 0 || FieldText(pTags[t].szTags) != pszTag)
            continue;
        for (int n = 0; n < nNames; ++n) {
            const tagARGC& name = pNames[n];
            if (name.iOrdinal == 0 || name.iCategory != pTags[t].iOrdinal)
                continue;
            std::string text = FieldText(name.szName);
            for (int b = 0; b < nBinds; ++b) {
                if (!pBinds[b].pszName || text != pBinds[b].pszName)
                    continue;
                pBinds[b].iFirst = FillArgcCombo(pBinds[b].hList, pValues, nValues, name.iOrdinal, uAddMsg);
                ++filled;
            }
        }
    }
    return filled;
}
