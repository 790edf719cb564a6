// The recycle bin: lists of soft-deleted objects by type, restore, purge,
// clear, and the look-up lists of the recycle-bin window.
#include "data/recycle.h"
#include "data/recycle_peers.h"
#include "data/dict_load.h"
#include "data/oplog.h"
#include "data/columns.h"

#include <algorithm>

// ---- Scope ------------------------------------------------------------------------------

static bool Scoped(const tagRECY_SCOPE* s)
{
    return s && (s->iEmp || s->iBr);
}

// Who owns an object of a kind: its listing's employee and branch columns
// (pszOwner the alias of the listing: houses and their follow-ups by the
// house, clients and theirs by the client, employees by themselves), or,
// for the agency's dictionaries and organisation, its deleting employee.
static void AddOwner(ZDSql& sql, const tagRECY_SCOPE* s, const char* pszOwner, const char* pszEmpColumn)
{
    if (s->iEmp)
        SqlAddRaw(sql, " and %s.%s = %d", pszOwner, pszEmpColumn, s->iEmp);
    else
        SqlAddRaw(sql, " and %s.iBr = %d", pszOwner, s->iBr);
}

static void AddDeleter(ZDSql& sql, const tagRECY_SCOPE* s, const char* pszColumn)
{
    if (s->iEmp)
        SqlAddRaw(sql, " and %s = %d", pszColumn, s->iEmp);
    else
        SqlAddRaw(sql, " and %s in (select iOrdinal from t_employee where iBr = %d)", pszColumn, s->iBr);
}

// The scope's condition on a list statement (entries r joined with the
// object's alias and, for follow-ups, their listing's h or c).
static void AddListScope(ZDSql& sql, int iObjType, const tagRECY_SCOPE* s)
{
    if (!Scoped(s))
        return;
    switch (iObjType) {
    case OBJ_HOUSE: case OBJ_HOUSE_FOLLOW: AddOwner(sql, s, "h", "iEmp"); break;
    case OBJ_CLIENT: case OBJ_CLIENT_FOLLOW: AddOwner(sql, s, "c", "iEmp"); break;
    case OBJ_EMPLOYEE: AddOwner(sql, s, "e", "iOrdinal"); break;
    default: AddDeleter(sql, s, "r.iEmp"); break;
    }
}

// The scope's condition on the object table of a clear (no alias).
static void AddClearScope(ZDSql& sql, int iObjType, const tagRECY_SCOPE* s)
{
    if (!Scoped(s))
        return;
    const char* col = s->iEmp ? "iEmp" : "iBr";
    int key = s->iEmp ? s->iEmp : s->iBr;
    switch (iObjType) {
    case OBJ_HOUSE: case OBJ_CLIENT: SqlAddRaw(sql, " and %s = %d", col, key); break;
    case OBJ_HOUSE_FOLLOW: SqlAddRaw(sql, " and iHou in (select iOrdinal from t_house where %s = %d)", col, key); break;
    case OBJ_CLIENT_FOLLOW: SqlAddRaw(sql, " and iCli in (select iOrdinal from t_client where %s = %d)", col, key); break;
    case OBJ_EMPLOYEE: SqlAddRaw(sql, " and %s = %d", s->iEmp ? "iOrdinal" : "iBr", key); break;
    default:
        SqlAdd(sql, " and iOrdinal in (select iObjOrdinal from t_recyle where iObjType = %d", iObjType);
        AddDeleter(sql, s, "iEmp");
        SqlAdd(sql, ")");
        break;
    }
}

// ---- Lists -----------------------------------------------------------------------------

static bool Purgeable(int iObjType) { return iObjType == OBJ_HOUSE || iObjType == OBJ_CLIENT; }

// Every list reads the entry's columns first, then the object's (its key
// first: the entry's iObjOrdinal too).
static constexpr ZDCol kEntryRead[] = {
    ZD_COL(tagRECY, iOrdinal, ZK_INT, "select r.iOrdinal,  "),
    ZD_COL(tagRECY, szRecyle, ZK_TEXT, "r.dtRecyle, "),
    ZD_COL(tagRECY, iEmp, ZK_INT, "r.iEmp, "),
};
static constexpr ZDCol kBinHouse[] = {
    ZD_COL(tagHOUSE, iOrdinal, ZK_INT, "h.iOrdinal, "),
    ZD_COL(tagHOUSE, iEst, ZK_INT, "h.iEst, "),
    ZD_COL(tagHOUSE, szBuildNO, ZK_TEXT, "h.szBuildNO, "),
    ZD_COL(tagHOUSE, szHouseNO, ZK_TEXT, "h.szHouseNO, "),
    ZD_COL(tagHOUSE, szTrade, ZK_TEXT, "h.szTrade"),
};
static constexpr ZDCol kBinClient[] = {
    ZD_COL(tagCLIENT, iOrdinal, ZK_INT, "c.iOrdinal, "),
    ZD_COL(tagCLIENT, szUrban, ZK_TEXT, "c.szUrban, "),
    ZD_COL(tagCLIENT, szCliMan, ZK_TEXT, "c.szCliMan, "),
    ZD_COL(tagCLIENT, szTrade, ZK_TEXT, "c.szTrade"),
};
static constexpr ZDCol kBinEstate[] = {
    ZD_COL(tagESTLIST, iOrdinal, ZK_INT, "e.iOrdinal, "),
    ZD_COL(tagESTLIST, iUrban, ZK_INT, "e.iUrban, "),
    ZD_COL(tagESTLIST, szEstate, ZK_TEXT, "e.szEstate"),
};
static constexpr ZDCol kBinBranch[] = {
    ZD_COL(tagBRLIST, iOrdinal, ZK_INT, "b.iOrdinal, "),
    ZD_COL(tagBRLIST, szBr, ZK_TEXT, "b.szBr"),
};
static constexpr ZDCol kBinEmployee[] = {
    ZD_COL(tagEMPLIST, iOrdinal, ZK_INT, "e.iOrdinal, "),
    ZD_COL(tagEMPLIST, iBr, ZK_INT, "e.iBr, "),
    ZD_COL(tagEMPLIST, szEmp, ZK_TEXT, "e.szEmp"),
};
static constexpr ZDCol kBinPosition[] = {
    ZD_COL(tagPostion, iOrdinal, ZK_INT, "p.iOrdinal, "),
    ZD_COL(tagPostion, szPST, ZK_TEXT, "p.szPST"),
};
static constexpr ZDCol kBinUrban[] = {
    ZD_COL(tagURBAN, iOrdinal, ZK_INT, "u.iOrdinal, "),
    ZD_COL(tagURBAN, szUrban, ZK_TEXT, "u.szUrban"),
};
static constexpr ZDCol kBinHouseFollow[] = {
    ZD_COL(tagFOLLOW, iOrdinal, ZK_INT, "f.iOrdinal, "),
    ZD_COL(tagFOLLOW, szContent, ZK_TEXT, "f.szContent, "),
    ZD_COL(tagFOLLOW, iEst, ZK_INT, "h.iEst, "),
    ZD_COL(tagFOLLOW, szBuildNO, ZK_TEXT, "h.szBuildNO, "),
    ZD_COL(tagFOLLOW, szHouseNO, ZK_TEXT, "h.szHouseNO, "),
    ZD_COL(tagFOLLOW, szTrade, ZK_TEXT, "h.szTrade, "),
    ZD_COL(tagFOLLOW, iHou, ZK_INT, "f.iHou"),
};
static constexpr ZDCol kBinClientFollow[] = {
    ZD_COL(tagFOLLOW, iOrdinal, ZK_INT, "f.iOrdinal, "),
    ZD_COL(tagFOLLOW, szContent, ZK_TEXT, "f.szContent, "),
    ZD_COL(tagFOLLOW, szCliMan, ZK_TEXT, "c.szCliMan, "),
    ZD_COL(tagFOLLOW, szTrade, ZK_TEXT, "c.szTrade, "),
    ZD_COL(tagFOLLOW, szWay, ZK_TEXT, "c.szUrban, "),  // the client's wanted urban areas
    ZD_COL(tagFOLLOW, szLevel, ZK_TEXT, "c.szLevel, "),
    ZD_COL(tagFOLLOW, iCli, ZK_INT, "f.iCli"),
};

// Runs a list statement of the entry's columns and the object's (obj) over
// the rows of from ("from ... where ..."), in the order of key ascending.
// Bounded (piMatched given), it reads the newest ZD_LIST_ROWS by that key
// and lists them in the same ascending order.
template <class T>
static tagRECY* LoadRecycleList(ZDCols obj, const ZDSql& from, const char* key, tagRECY** ppRecy, T** ppObj,
                                int* pCount, long long* piMatched)
{
    if (pCount)
        *pCount = 0;
    if (ppRecy)
        *ppRecy = nullptr;
    if (ppObj)
        *ppObj = nullptr;
    ZDSql sql;
    AddColumns(sql, ZD_TABLE(kEntryRead));
    AddColumns(sql, obj);
    SqlAddRaw(sql, " %s", from.text.c_str());
    SqlAddRaw(sql, " order by %s %s", key, piMatched ? "desc" : "asc");
    if (piMatched)
        AddListLimit(sql);
    ZDResult r;
    if (!RunList(sql, r))
        return nullptr;
    MYSQL_RES* res = DbRows(r);
    T* objs = AllocRecords<T>(res ? (size_t)mysql_num_rows(res) : 0);
    if (!objs)
        return nullptr;
    size_t i = 0;
    tagRECY* recy = FillBlock<tagRECY>(res, 0, pCount, [&](tagRECY& e, const ZDRow& row) {
        T& o = objs[i++];
        ReadColumns(row, o, obj, ReadColumns(row, e, ZD_TABLE(kEntryRead)));
        e.iObjOrdinal = o.iOrdinal;
    });
    if (!recy) {
        FreeBlock(objs);
        return nullptr;
    }
    if (piMatched) {
        // Read newest first: listed oldest first, as an unbounded list is.
        int n = pCount ? *pCount : (int)i;
        std::reverse(recy, recy + n);
        std::reverse(objs, objs + n);
        *piMatched = ListMatched(n, from);
    }
    if (ppRecy)
        *ppRecy = recy;
    if (ppObj)
        *ppObj = objs;
    return recy;
}

// The entries of one type with their objects still in the bin (table as
// alias; houses and clients not purged).
template <class T>
static tagRECY* LoadEntries(int iObjType, const char* table, const char* alias, ZDCols obj, tagRECY** ppRecy,
                            T** ppObj, int* pCount, const tagRECY_SCOPE* pScope, long long* piMatched)
{
    ZDSql from;
    SqlAddRaw(from, " from t_recyle as r left join %s as %s on %s.iOrdinal = r.iObjOrdinal where %s.bRecyle = 1",
              table, alias, alias, alias);
    if (Purgeable(iObjType))
        SqlAddRaw(from, " and %s.bDeleted = 0", alias);
    SqlAdd(from, " and r.iObjType = %d", iObjType);
    AddListScope(from, iObjType, pScope);
    return LoadRecycleList(obj, from, "r.iOrdinal", ppRecy, ppObj, pCount, piMatched);
}

tagRECY* FD_Sct_Recy_Hou(tagRECY** ppRecy, tagHOUSE** ppObj, int* pCount, const tagRECY_SCOPE* pScope, long long* piMatched)
{
    return LoadEntries(OBJ_HOUSE, "t_house", "h", ZD_TABLE(kBinHouse), ppRecy, ppObj, pCount, pScope, piMatched);
}

tagRECY* FD_Sct_Recy_Cli(tagRECY** ppRecy, tagCLIENT** ppObj, int* pCount, const tagRECY_SCOPE* pScope, long long* piMatched)
{
    return LoadEntries(OBJ_CLIENT, "t_client", "c", ZD_TABLE(kBinClient), ppRecy, ppObj, pCount, pScope, piMatched);
}

tagRECY* FD_Sct_Recy_Est(tagRECY** ppRecy, tagESTLIST** ppObj, int* pCount, const tagRECY_SCOPE* pScope, long long* piMatched)
{
    return LoadEntries(OBJ_ESTATE, "t_estate", "e", ZD_TABLE(kBinEstate), ppRecy, ppObj, pCount, pScope, piMatched);
}

tagRECY* FD_Sct_Recy_Br(tagRECY** ppRecy, tagBRLIST** ppObj, int* pCount, const tagRECY_SCOPE* pScope, long long* piMatched)
{
    return LoadEntries(OBJ_BRANCH, "t_branch", "b", ZD_TABLE(kBinBranch), ppRecy, ppObj, pCount, pScope, piMatched);
}

tagRECY* FD_Sct_Recy_Emp(tagRECY** ppRecy, tagEMPLIST** ppObj, int* pCount, const tagRECY_SCOPE* pScope, long long* piMatched)
{
    return LoadEntries(OBJ_EMPLOYEE, "t_employee", "e", ZD_TABLE(kBinEmployee), ppRecy, ppObj, pCount, pScope,
                       piMatched);
}

tagRECY* FD_Sct_Recy_Pst(tagRECY** ppRecy, tagPostion** ppObj, int* pCount, const tagRECY_SCOPE* pScope, long long* piMatched)
{
    return LoadEntries(OBJ_POSITION, "t_position", "p", ZD_TABLE(kBinPosition), ppRecy, ppObj, pCount, pScope,
                       piMatched);
}

tagRECY* FD_Sct_Recy_Urban(tagRECY** ppRecy, tagURBAN** ppObj, int* pCount, const tagRECY_SCOPE* pScope, long long* piMatched)
{
    return LoadEntries(OBJ_URBAN, "t_urban", "u", ZD_TABLE(kBinUrban), ppRecy, ppObj, pCount, pScope, piMatched);
}

// The follow-up lists start from the retired follow-ups of their kind
// (column the key of their listing, table as alias), so that those retired
// together with their listing (which have no entry) are listed as well as
// those deleted one by one.
static tagRECY* LoadFollowEntries(int iObjType, const char* column, const char* table, const char* alias, ZDCols obj,
                                  tagRECY** ppRecy, tagFOLLOW** ppObj, int* pCount, const tagRECY_SCOPE* pScope,
                                  long long* piMatched)
{
    ZDSql from;
    SqlAdd(from, " from t_follow as f");
    SqlAdd(from, " left join t_recyle as r on r.iObjOrdinal = f.iOrdinal and r.iObjType = %d", iObjType);
    SqlAddRaw(from, " left join %s as %s on f.%s = %s.iOrdinal", table, alias, column, alias);
    SqlAddRaw(from, " where f.bRecyle = 1 and f.%s <> 0 and %s.bDeleted = 0", column, alias);
    AddListScope(from, iObjType, pScope);
    return LoadRecycleList(obj, from, "f.iOrdinal", ppRecy, ppObj, pCount, piMatched);
}

tagRECY* FD_Sct_Recy_HouFol(tagRECY** ppRecy, tagFOLLOW** ppObj, int* pCount, const tagRECY_SCOPE* pScope, long long* piMatched)
{
    return LoadFollowEntries(OBJ_HOUSE_FOLLOW, "iHou", "t_house", "h", ZD_TABLE(kBinHouseFollow), ppRecy, ppObj, pCount,
                             pScope, piMatched);
}

tagRECY* FD_Sct_Recy_CliFol(tagRECY** ppRecy, tagFOLLOW** ppObj, int* pCount, const tagRECY_SCOPE* pScope, long long* piMatched)
{
    return LoadFollowEntries(OBJ_CLIENT_FOLLOW, "iCli", "t_client", "c", ZD_TABLE(kBinClientFollow), ppRecy, ppObj,
                             pCount, pScope, piMatched);
}

// ---- Restore, purge, clear ------------------------------------------------------------------

// What a binned object hangs on: restored without it, the object would
// name a row no list shows (a house of a deleted estate, an employee of a
// deleted branch).
struct RestoreOwner {
    const char* column;  // the object's column holding the owner's key
    const char* table;
    const char* name;    // for the box
    bool bHasDeleted;    // the owner's table marks purged rows bDeleted
};

static const RestoreOwner* OwnerOf(int iObjType)
{
    static const RestoreOwner kEstate = {"iEst", "t_estate", "楼盘", false};
    static const RestoreOwner kUrban = {"iUrban", "t_urban", "城区", false};
    static const RestoreOwner kBranch = {"iBr", "t_branch", "分店", false};
    static const RestoreOwner kHouse = {"iHou", "t_house", "房源", true};
    static const RestoreOwner kClient = {"iCli", "t_client", "客源", true};
    switch (iObjType) {
    case OBJ_HOUSE: case OBJ_BUILDNO: return &kEstate;
    case OBJ_ESTATE: return &kUrban;
    case OBJ_EMPLOYEE: return &kBranch;
    case OBJ_HOUSE_FOLLOW: return &kHouse;
    case OBJ_CLIENT_FOLLOW: return &kClient;
    default: return nullptr;
    }
}

const char kRecycleStale[] = "该记录已被其他用户处理, 请刷新回收站";

// The bin entry removed, exactly that one: false (with *pStale) when
// another desk has dealt with it.  A follow-up retired with its listing has
// no entry (key 0): there is none to remove.
static bool TakeEntry(ZDTxn& t, const tagRECY* pRecy, int iObjType, bool* pStale)
{
    if (pRecy->iOrdinal == 0 && (iObjType == OBJ_HOUSE_FOLLOW || iObjType == OBJ_CLIENT_FOLLOW))
        return true;
    ZDSql del;
    SqlAdd(del, "delete from t_recyle where iOrdinal = %d and iObjType = %d and iObjOrdinal = %d", pRecy->iOrdinal,
           iObjType, pRecy->iObjOrdinal);
    ZDResult r = TxnRun(t, del);
    if (!r.ok)
        return false;
    if (DbAffected(r) != 1) {
        *pStale = true;
        return false;
    }
    return true;
}

// The object's change (run already): exactly one row of it still in the bin.
static bool OneRow(const ZDResult& r, bool* pStale)
{
    if (!r.ok)
        return false;
    if (DbAffected(r) != 1) {
        *pStale = true;
        return false;
    }
    return true;
}

int FD_Recover_Recyle(int iOpEmp, tagRECY* pRecy, int iObjType)
{
    const char* table = ObjTypeTable(iObjType);
    if (!pRecy || !table || !CheckConnection())
        return 0;
    const RestoreOwner* owner = OwnerOf(iObjType);
    bool stale = false, orphan = false;
    ZDResult failure;
    int outcome = DbTransaction([&](ZDTxn& t) {
        stale = orphan = false;
        if (!TakeEntry(t, pRecy, iObjType, &stale))
            return false;
        ZDSql upd;
        SqlAdd(upd, "update ");
        SqlAddRaw(upd, "%s", table);
        SqlAdd(upd, " set bRecyle = 0  where bRecyle = 1 and iOrdinal = %d", pRecy->iObjOrdinal);
        if (Purgeable(iObjType))
            SqlAdd(upd, " and bDeleted = 0");
        if (!OneRow(TxnRun(t, upd), &stale))
            return false;
        if (owner) {
            // The owner read under a shared lock: it cannot go to the bin
            // while the object comes back.
            ZDSql own;
            SqlAdd(own, "select count(*) from ");
            SqlAddRaw(own, "%s o join %s x on o.iOrdinal = x.%s", owner->table, table, owner->column);
            SqlAdd(own, " where x.iOrdinal = %d and o.bRecyle = 0", pRecy->iObjOrdinal);
            if (owner->bHasDeleted)
                SqlAdd(own, " and o.bDeleted = 0");
            SqlAdd(own, " lock in share mode");
            long long n = TxnScalar(t, own);
            if (n < 0)
                return false;
            if (n == 0) {
                orphan = true;
                return false;
            }
        }
        // The object back, its entry gone and the restore logged, or none of it.
        return TxnLog(t, iOpEmp, iObjType, pRecy->iObjOrdinal, LOG_ACT_RESTORE);
    }, &failure, TXN_REPEAT);
    if (outcome == TXN_UNDONE && orphan) {
        std::string text = std::string("该记录所属的") + owner->name + "已删除或在回收站中, 请先还原" + owner->name;
        DbBox(text.c_str(), kFailCaption, MB_OK);
        return 0;
    }
    if (outcome == TXN_UNDONE && stale) {
        DbBox(kRecycleStale, kFailCaption, MB_OK);
        return 0;
    }
    return TxnOutcome(outcome, failure, {"还原数据,发生未知错误", kFailCaption});
}

// Houses and clients are never removed: a purge marks them deleted.
static void AddPurge(ZDSql& sql, int iObjType, const char* table)
{
    if (Purgeable(iObjType)) {
        SqlAdd(sql, "update ");
        SqlAddRaw(sql, "%s", table);
        SqlAdd(sql, " set bDeleted = 1  where bRecyle = 1");
    } else {
        SqlAdd(sql, "delete from ");
        SqlAddRaw(sql, "%s", table);
        SqlAdd(sql, " where bRecyle = 1");
    }
}

// A position's or an employee's permission row goes with it.
static void AddPurgeRights(ZDSql& sql, int iObjType, const char* keys)
{
    if (iObjType == OBJ_POSITION)
        SqlAddRaw(sql, "delete from t_popedom where iPst in (%s);", keys);
    else if (iObjType == OBJ_EMPLOYEE)
        SqlAddRaw(sql, "delete from t_popedom where iEmp in (%s);", keys);
}

int FD_Del_Recyle(int iOpEmp, tagRECY* pRecy, int iObjType)
{
    const char* table = ObjTypeTable(iObjType);
    if (!pRecy || !table || !CheckConnection())
        return 0;
    bool stale = false;
    ZDResult failure;
    int outcome = DbTransaction([&](ZDTxn& t) {
        stale = false;
        if (!TakeEntry(t, pRecy, iObjType, &stale))
            return false;
        // Logged before the purge: the snapshot is read while the row is there.
        ZDSql log;
        if (AddOpLog(log, iOpEmp, iObjType, pRecy->iObjOrdinal, LOG_ACT_PURGE) && !TxnRun(t, log).ok)
            return false;
        ZDSql purge;
        AddPurge(purge, iObjType, table);
        SqlAdd(purge, " and iOrdinal = %d", pRecy->iObjOrdinal);
        if (Purgeable(iObjType))
            SqlAdd(purge, " and bDeleted = 0");
        if (!OneRow(TxnRun(t, purge), &stale))
            return false;
        ZDSql rights;
        AddPurgeRights(rights, iObjType, std::to_string(pRecy->iObjOrdinal).c_str());
        return rights.text.empty() || TxnRun(t, rights).ok;
    }, &failure, TXN_REPEAT);
    if (outcome == TXN_UNDONE && stale) {
        DbBox(kRecycleStale, kFailCaption, MB_OK);
        return 0;
    }
    return TxnOutcome(outcome, failure, {"回收站删除,发生未知错误", kFailCaption});
}

// House and client follow-ups share t_follow: a purge of one kind keeps to it.
static void AddKindOnly(ZDSql& sql, int iObjType)
{
    if (iObjType == OBJ_HOUSE_FOLLOW)
        SqlAdd(sql, " and iHou <> 0");
    else if (iObjType == OBJ_CLIENT_FOLLOW)
        SqlAdd(sql, " and iCli <> 0");
}

int FD_Clear_Recyle(int iOpEmp, int iObjType, const tagRECY_SCOPE* pScope)
{
    const char* table = ObjTypeTable(iObjType);
    if (!table || !CheckConnection())
        return 0;
    ZDSql sql;
    // One log row for the clear (object key 0), saying how many it purges.
    SqlAdd(sql, "insert into t_log (iAct, iObjType, iObjID, iOpEmp, szValue) ");
    SqlAdd(sql, "select %d, %d, 0, %d, concat('清空回收站: ', count(*)) from ", LOG_ACT_CLEAR, iObjType, iOpEmp);
    SqlAddRaw(sql, "%s", table);
    SqlAdd(sql, " where bRecyle = 1");
    if (iObjType == OBJ_HOUSE || iObjType == OBJ_CLIENT)
        SqlAdd(sql, " and bDeleted = 0");
    AddKindOnly(sql, iObjType);
    AddClearScope(sql, iObjType, pScope);
    SqlAdd(sql, ";");
    bool byOwner = Scoped(pScope) && (iObjType == OBJ_HOUSE || iObjType == OBJ_CLIENT || iObjType == OBJ_EMPLOYEE ||
                                      iObjType == OBJ_HOUSE_FOLLOW || iObjType == OBJ_CLIENT_FOLLOW);
    if (byOwner) {
        // The entries of the objects the scope holds, read before they go.
        SqlAdd(sql, "delete from t_recyle where iObjType = %d and iObjOrdinal in (select iOrdinal from ", iObjType);
        SqlAddRaw(sql, "%s", table);
        SqlAdd(sql, " where bRecyle = 1");
        AddKindOnly(sql, iObjType);
        AddClearScope(sql, iObjType, pScope);
        SqlAdd(sql, ");");
    }
    if (iObjType == OBJ_POSITION || iObjType == OBJ_EMPLOYEE) {
        ZDSql keys;
        SqlAdd(keys, "select iOrdinal from ");
        SqlAddRaw(keys, "%s", table);
        SqlAdd(keys, " where bRecyle = 1");
        AddClearScope(keys, iObjType, pScope);
        AddPurgeRights(sql, iObjType, keys.text.c_str());
    }
    AddPurge(sql, iObjType, table);
    AddKindOnly(sql, iObjType);
    AddClearScope(sql, iObjType, pScope);
    if (!Scoped(pScope)) {
        SqlAdd(sql, ";delete from t_recyle where iObjType = %d;", iObjType);
    } else if (!byOwner) {
        SqlAdd(sql, ";delete from t_recyle where iObjType = %d", iObjType);
        AddDeleter(sql, pScope, "iEmp");
        SqlAdd(sql, ";");
    } else {
        SqlAdd(sql, ";");
    }
    return AtomicChange(sql, {"清空回收站,发生未知错误", kFailCaption});
}

// ---- Look-up lists -------------------------------------------------------------------------------

// The look-ups: key and name (and the key they hang on), recycled rows too.
static constexpr ZDCol kLookUrban[] = {
    ZD_COL(tagURBAN, iOrdinal, ZK_INT, "select iOrdinal, "),
    ZD_COL(tagURBAN, szUrban, ZK_TEXT, "szUrban"),
};
static constexpr ZDCol kLookEstate[] = {
    ZD_COL(tagESTLIST, iOrdinal, ZK_INT, "select iOrdinal, "),
    ZD_COL(tagESTLIST, iUrban, ZK_INT, "iUrban, "),
    ZD_COL(tagESTLIST, szEstate, ZK_TEXT, "szEstate"),
};
static constexpr ZDCol kLookBranch[] = {
    ZD_COL(tagBRLIST, iOrdinal, ZK_INT, "select iOrdinal, "),
    ZD_COL(tagBRLIST, szBr, ZK_TEXT, "szBr"),
};
static constexpr ZDCol kLookEmployee[] = {
    ZD_COL(tagEMPLIST, iOrdinal, ZK_INT, "select iOrdinal, "),
    ZD_COL(tagEMPLIST, iBr, ZK_INT, "iBr, "),
    ZD_COL(tagEMPLIST, szEmp, ZK_TEXT, "szEmp"),
};

int FD_Init_RecyArgc(tagWNDRECY* pWnd)
{
    if (!pWnd)
        return 0;
    Term_RecyArgc(pWnd);
    ZDSql sql;
    AddColumns(sql, ZD_TABLE(kLookUrban));
    SqlAdd(sql, " from t_urban order by iPriority, iOrdinal;");
    AddColumns(sql, ZD_TABLE(kLookEstate));
    SqlAdd(sql, " from t_Estate order by iPriority, iOrdinal;");
    AddColumns(sql, ZD_TABLE(kLookBranch));
    SqlAdd(sql, " from t_branch order by iOrdinal;");
    AddColumns(sql, ZD_TABLE(kLookEmployee));
    SqlAdd(sql, " from t_employee order by iOrdinal");
    // The look-ups are exactly the rows (no spares); a rejected batch is not
    // written to the error record.
    ZDResult r;
    if (!RunList(sql, r, false))
        return 0;
    pWnd->pUrban = FillBlock<tagURBAN>(DbRows(r, 0), 0, &pWnd->nUrban, RowReader<tagURBAN>(ZD_TABLE(kLookUrban)));
    pWnd->pEst = FillBlock<tagESTLIST>(DbRows(r, 1), 0, &pWnd->nEst, RowReader<tagESTLIST>(ZD_TABLE(kLookEstate)));
    pWnd->pBr = FillBlock<tagBRLIST>(DbRows(r, 2), 0, &pWnd->nBr, RowReader<tagBRLIST>(ZD_TABLE(kLookBranch)));
    pWnd->pEmp = FillBlock<tagEMPLIST>(DbRows(r, 3), 0, &pWnd->nEmp, RowReader<tagEMPLIST>(ZD_TABLE(kLookEmployee)));
    if (!pWnd->pUrban || !pWnd->pEst || !pWnd->pBr || !pWnd->pEmp) {
        Term_RecyArgc(pWnd);
        return 0;
    }
    return 1;
}

void Term_RecyArgc(tagWNDRECY* pWnd)
{
    if (!pWnd)
        return;
    FreeBlock(pWnd->pUrban);
    FreeBlock(pWnd->pEst);
    FreeBlock(pWnd->pBr);
    FreeBlock(pWnd->pEmp);
    pWnd->pUrban = nullptr;
    pWnd->pEst = nullptr;
    pWnd->pBr = nullptr;
    pWnd->pEmp = nullptr;
    pWnd->nUrban = pWnd->nEst = pWnd->nBr = pWnd->nEmp = 0;
}

void Mem_Free_Recyle(tagRECY* pRecy) { FreeBlock(pRecy); }
