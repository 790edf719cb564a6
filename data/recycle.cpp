// The recycle bin: lists of soft-deleted objects by type, restore, purge,
// clear, and the look-up lists of the recycle-bin window.
#include "data/recycle.h"
#include "data/recycle_peers.h"
#include "data/dict_load.h"
#include "data/oplog.h"

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

// Runs a list statement whose first four columns (cols) are the entry's
// key, deletion time, deleting employee and the object's key, over the rows
// of from ("from ... where ..."), in the order of key ascending; fill(obj,
// row) copies the object's columns.  Bounded (piMatched given), it reads the
// newest ZD_LIST_ROWS by that key and lists them in the same ascending order.
template <class T, class F>
static tagRECY* LoadRecycleList(const ZDSql& cols, const ZDSql& from, const char* key, tagRECY** ppRecy, T** ppObj,
                                int* pCount, long long* piMatched, F fill)
{
    if (pCount)
        *pCount = 0;
    if (ppRecy)
        *ppRecy = nullptr;
    if (ppObj)
        *ppObj = nullptr;
    ZDSql sql;
    SqlAddRaw(sql, "%s", cols.text.c_str());
    SqlAddRaw(sql, " %s", from.text.c_str());
    SqlAddRaw(sql, " order by %s %s", key, piMatched ? "desc" : "asc");
    if (piMatched)
        AddListLimit(sql);
    ZDResult r;
    if (!RunList(sql, r))
        return nullptr;
    MYSQL_RES* res = DbRows(r);
    T* obj = AllocRecords<T>(res ? (size_t)mysql_num_rows(res) : 0);
    if (!obj)
        return nullptr;
    size_t i = 0;
    tagRECY* recy = FillBlock<tagRECY>(res, 0, pCount, [&](tagRECY& e, const ZDRow& row) {
        e.iOrdinal = GetInt(row, 0);
        GetText(row, 1, e.szRecyle);
        e.iEmp = GetInt(row, 2);
        e.iObjOrdinal = GetInt(row, 3);
        fill(obj[i++], row);
    });
    if (!recy) {
        FreeBlock(obj);
        return nullptr;
    }
    if (piMatched) {
        // Read newest first: listed oldest first, as an unbounded list is.
        int n = pCount ? *pCount : (int)i;
        std::reverse(recy, recy + n);
        std::reverse(obj, obj + n);
        *piMatched = ListMatched(n, from);
    }
    if (ppRecy)
        *ppRecy = recy;
    if (ppObj)
        *ppObj = obj;
    return recy;
}

tagRECY* FD_Sct_Recy_Hou(tagRECY** ppRecy, tagHOUSE** ppObj, int* pCount, const tagRECY_SCOPE* pScope, long long* piMatched)
{
    ZDSql cols, from;
    SqlAdd(cols, "select r.iOrdinal,  r.dtRecyle, r.iEmp, h.iOrdinal, h.iEst, h.szBuildNO, h.szHouseNO, h.szTrade");
    SqlAdd(from, " from t_recyle as r left join t_house as h on h.iOrdinal = r.iObjOrdinal"
                " where h.bRecyle = 1 and h.bDeleted = 0");
    SqlAdd(from, " and r.iObjType = %d", OBJ_HOUSE);
    AddListScope(from, OBJ_HOUSE, pScope);
    return LoadRecycleList(cols, from, "r.iOrdinal", ppRecy, ppObj, pCount, piMatched, [](tagHOUSE& h, const ZDRow& row) {
        h.iOrdinal = GetInt(row, 3);
        h.iEst = GetInt(row, 4);
        GetText(row, 5, h.szBuildNO);
        GetText(row, 6, h.szHouseNO);
        GetText(row, 7, h.szTrade);
    });
}

tagRECY* FD_Sct_Recy_Cli(tagRECY** ppRecy, tagCLIENT** ppObj, int* pCount, const tagRECY_SCOPE* pScope, long long* piMatched)
{
    ZDSql cols, from;
    SqlAdd(cols, "select r.iOrdinal,  r.dtRecyle, r.iEmp, c.iOrdinal, c.szUrban, c.szCliMan, c.szTrade");
    SqlAdd(from, " from t_recyle as r left join t_client as c on c.iOrdinal = r.iObjOrdinal"
                " where c.bRecyle = 1 and c.bDeleted = 0");
    SqlAdd(from, " and r.iObjType = %d", OBJ_CLIENT);
    AddListScope(from, OBJ_CLIENT, pScope);
    return LoadRecycleList(cols, from, "r.iOrdinal", ppRecy, ppObj, pCount, piMatched, [](tagCLIENT& c, const ZDRow& row) {
        c.iOrdinal = GetInt(row, 3);
        GetText(row, 4, c.szUrban);
        GetText(row, 5, c.szCliMan);
        GetText(row, 6, c.szTrade);
    });
}

tagRECY* FD_Sct_Recy_Est(tagRECY** ppRecy, tagESTLIST** ppObj, int* pCount, const tagRECY_SCOPE* pScope, long long* piMatched)
{
    ZDSql cols, from;
    SqlAdd(cols, "select r.iOrdinal,  r.dtRecyle, r.iEmp, e.iOrdinal, e.iUrban, e.szEstate");
    SqlAdd(from, " from t_recyle as r left join t_estate as e on e.iOrdinal = r.iObjOrdinal where e.bRecyle = 1");
    SqlAdd(from, " and r.iObjType = %d", OBJ_ESTATE);
    AddListScope(from, OBJ_ESTATE, pScope);
    return LoadRecycleList(cols, from, "r.iOrdinal", ppRecy, ppObj, pCount, piMatched, [](tagESTLIST& e, const ZDRow& row) {
        e.iOrdinal = GetInt(row, 3);
        e.iUrban = GetInt(row, 4);
        GetText(row, 5, e.szEstate);
    });
}

tagRECY* FD_Sct_Recy_Br(tagRECY** ppRecy, tagBRLIST** ppObj, int* pCount, const tagRECY_SCOPE* pScope, long long* piMatched)
{
    ZDSql cols, from;
    SqlAdd(cols, "select r.iOrdinal,  r.dtRecyle, r.iEmp, b.iOrdinal, b.szBr");
    SqlAdd(from, " from t_recyle as r left join t_branch as b on b.iOrdinal = r.iObjOrdinal where b.bRecyle = 1");
    SqlAdd(from, " and r.iObjType = %d", OBJ_BRANCH);
    AddListScope(from, OBJ_BRANCH, pScope);
    return LoadRecycleList(cols, from, "r.iOrdinal", ppRecy, ppObj, pCount, piMatched, [](tagBRLIST& b, const ZDRow& row) {
        b.iOrdinal = GetInt(row, 3);
        GetText(row, 4, b.szBr);
    });
}

tagRECY* FD_Sct_Recy_Emp(tagRECY** ppRecy, tagEMPLIST** ppObj, int* pCount, const tagRECY_SCOPE* pScope, long long* piMatched)
{
    ZDSql cols, from;
    SqlAdd(cols, "select r.iOrdinal,  r.dtRecyle, r.iEmp, e.iOrdinal, e.iBr, e.szEmp");
    SqlAdd(from, " from t_recyle as r left join t_employee as e on e.iOrdinal = r.iObjOrdinal where e.bRecyle = 1");
    SqlAdd(from, " and r.iObjType = %d", OBJ_EMPLOYEE);
    AddListScope(from, OBJ_EMPLOYEE, pScope);
    return LoadRecycleList(cols, from, "r.iOrdinal", ppRecy, ppObj, pCount, piMatched, [](tagEMPLIST& e, const ZDRow& row) {
        e.iOrdinal = GetInt(row, 3);
        e.iBr = GetInt(row, 4);
        GetText(row, 5, e.szEmp);
    });
}

tagRECY* FD_Sct_Recy_Pst(tagRECY** ppRecy, tagPostion** ppObj, int* pCount, const tagRECY_SCOPE* pScope, long long* piMatched)
{
    ZDSql cols, from;
    SqlAdd(cols, "select r.iOrdinal,  r.dtRecyle, r.iEmp, p.iOrdinal, p.szPST");
    SqlAdd(from, " from t_recyle as r left join t_position as p on p.iOrdinal = r.iObjOrdinal where p.bRecyle = 1");
    SqlAdd(from, " and r.iObjType = %d", OBJ_POSITION);
    AddListScope(from, OBJ_POSITION, pScope);
    return LoadRecycleList(cols, from, "r.iOrdinal", ppRecy, ppObj, pCount, piMatched, [](tagPostion& p, const ZDRow& row) {
        p.iOrdinal = GetInt(row, 3);
        GetText(row, 4, p.szPST);
    });
}

tagRECY* FD_Sct_Recy_Urban(tagRECY** ppRecy, tagURBAN** ppObj, int* pCount, const tagRECY_SCOPE* pScope, long long* piMatched)
{
    ZDSql cols, from;
    SqlAdd(cols, "select r.iOrdinal,  r.dtRecyle, r.iEmp, u.iOrdinal, u.szUrban");
    SqlAdd(from, " from t_recyle as r left join t_urban as u on u.iOrdinal = r.iObjOrdinal where u.bRecyle = 1");
    SqlAdd(from, " and r.iObjType = %d", OBJ_URBAN);
    AddListScope(from, OBJ_URBAN, pScope);
    return LoadRecycleList(cols, from, "r.iOrdinal", ppRecy, ppObj, pCount, piMatched, [](tagURBAN& u, const ZDRow& row) {
        u.iOrdinal = GetInt(row, 3);
        GetText(row, 4, u.szUrban);
    });
}

// The follow-up lists start from the retired follow-ups of their kind, so
// that those retired together with their listing (which have no entry) are
// listed as well as those deleted one by one.
tagRECY* FD_Sct_Recy_HouFol(tagRECY** ppRecy, tagFOLLOW** ppObj, int* pCount, const tagRECY_SCOPE* pScope, long long* piMatched)
{
    ZDSql cols, from;
    SqlAdd(cols, "select r.iOrdinal,  r.dtRecyle, r.iEmp, f.iOrdinal, f.szContent, h.iEst, h.szBuildNO, h.szHouseNO, h.szTrade");
    SqlAdd(cols, ", f.iHou");
    SqlAdd(from, " from t_follow as f");
    SqlAdd(from, " left join t_recyle as r on r.iObjOrdinal = f.iOrdinal and r.iObjType = %d", OBJ_HOUSE_FOLLOW);
    SqlAdd(from, " left join t_house as h on f.iHou = h.iOrdinal");
    SqlAdd(from, " where f.bRecyle = 1 and f.iHou <> 0 and h.bDeleted = 0");
    AddListScope(from, OBJ_HOUSE_FOLLOW, pScope);
    return LoadRecycleList(cols, from, "f.iOrdinal", ppRecy, ppObj, pCount, piMatched, [](tagFOLLOW& f, const ZDRow& row) {
        f.iOrdinal = GetInt(row, 3);
        GetText(row, 4, f.szContent);
        f.iEst = GetInt(row, 5);
        GetText(row, 6, f.szBuildNO);
        GetText(row, 7, f.szHouseNO);
        GetText(row, 8, f.szTrade);
        f.iHou = GetInt(row, 9);
    });
}

tagRECY* FD_Sct_Recy_CliFol(tagRECY** ppRecy, tagFOLLOW** ppObj, int* pCount, const tagRECY_SCOPE* pScope, long long* piMatched)
{
    ZDSql cols, from;
    SqlAdd(cols, "select r.iOrdinal,  r.dtRecyle, r.iEmp, f.iOrdinal, f.szContent, c.szCliMan, c.szTrade, c.szUrban");
    SqlAdd(cols, ", c.szLevel, f.iCli");
    SqlAdd(from, " from t_follow as f");
    SqlAdd(from, " left join t_recyle as r on r.iObjOrdinal = f.iOrdinal and r.iObjType = %d", OBJ_CLIENT_FOLLOW);
    SqlAdd(from, " left join t_client as c on f.iCli = c.iOrdinal");
    SqlAdd(from, " where f.bRecyle = 1 and f.iCli <> 0 and c.bDeleted = 0");
    AddListScope(from, OBJ_CLIENT_FOLLOW, pScope);
    return LoadRecycleList(cols, from, "f.iOrdinal", ppRecy, ppObj, pCount, piMatched, [](tagFOLLOW& f, const ZDRow& row) {
        f.iOrdinal = GetInt(row, 3);
        GetText(row, 4, f.szContent);
        GetText(row, 5, f.szCliMan);
        GetText(row, 6, f.szTrade);
        GetText(row, 7, f.szWay);  // the client's wanted urban areas
        GetText(row, 8, f.szLevel);
        f.iCli = GetInt(row, 9);
    });
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

static bool Purgeable(int iObjType) { return iObjType == OBJ_HOUSE || iObjType == OBJ_CLIENT; }

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

int FD_Init_RecyArgc(tagWNDRECY* pWnd)
{
    if (!pWnd)
        return 0;
    Term_RecyArgc(pWnd);
    ZDSql sql;
    SqlAdd(sql, "select iOrdinal, szUrban from t_urban order by iPriority, iOrdinal");
    SqlAdd(sql, ";select iOrdinal, iUrban, szEstate from t_Estate order by iPriority, iOrdinal");
    SqlAdd(sql, ";select iOrdinal, szBr from t_branch order by iOrdinal");
    SqlAdd(sql, ";select iOrdinal, iBr, szEmp from t_employee order by iOrdinal");
    // The look-ups are exactly the rows (no spares); a rejected batch is not
    // written to the error record.
    ZDResult r;
    if (!RunList(sql, r, false))
        return 0;
    pWnd->pUrban = FillBlock<tagURBAN>(DbRows(r, 0), 0, &pWnd->nUrban, [](tagURBAN& u, const ZDRow& row) {
        u.iOrdinal = GetInt(row, 0);
        GetText(row, 1, u.szUrban);
    });
    pWnd->pEst = FillBlock<tagESTLIST>(DbRows(r, 1), 0, &pWnd->nEst, [](tagESTLIST& e, const ZDRow& row) {
        e.iOrdinal = GetInt(row, 0);
        e.iUrban = GetInt(row, 1);
        GetText(row, 2, e.szEstate);
    });
    pWnd->pBr = FillBlock<tagBRLIST>(DbRows(r, 2), 0, &pWnd->nBr, [](tagBRLIST& b, const ZDRow& row) {
        b.iOrdinal = GetInt(row, 0);
        GetText(row, 1, b.szBr);
    });
    pWnd->pEmp = FillBlock<tagEMPLIST>(DbRows(r, 3), 0, &pWnd->nEmp, [](tagEMPLIST& e, const ZDRow& row) {
        e.iOrdinal = GetInt(row, 0);
        e.iBr = GetInt(row, 1);
        GetText(row, 2, e.szEmp);
    });
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
