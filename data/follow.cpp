// Follow-ups: joined and per-listing lists, writing, changing, retiring.
#include "data/listing_core.h"
#include "data/follow.h"
#include "data/columns.h"

static int FollowType(const tagFOLLOW& f)
{
    return f.iHou != 0 ? OBJ_HOUSE_FOLLOW : OBJ_CLIENT_FOLLOW;
}

// The joined lists: the follow-up's columns, then its listing's.
static constexpr ZDCol kFollowJoined[] = {
    ZD_COL(tagFOLLOW, iOrdinal, ZK_INT, "select f.iOrdinal,"),
    ZD_COL(tagFOLLOW, iEmp, ZK_INT, "f.iEmp,"),
    ZD_COL(tagFOLLOW, iBr, ZK_INT, "f.iBr,"),
    ZD_COL(tagFOLLOW, iVersion, ZK_INT, "f.iVersion,"),
    ZD_COL(tagFOLLOW, szWay, ZK_TEXT, "szWay,"),
    ZD_COL(tagFOLLOW, szContent, ZK_TEXT, "szContent,"),
    ZD_COL(tagFOLLOW, dtFollow, ZK_DATE, "f.dtFollow,"),
};
static constexpr ZDCol kFollowHouse[] = {
    ZD_COL(tagFOLLOW, iHou, ZK_INT, " iHou,"),
    ZD_COL(tagFOLLOW, szTrade, ZK_TEXT, "t.szTrade,"),
    ZD_COL(tagFOLLOW, iEst, ZK_INT, "iEst,"),
    ZD_COL(tagFOLLOW, szBuildNO, ZK_TEXT, "szBuildNo,"),
    ZD_COL(tagFOLLOW, szHouseNO, ZK_TEXT, "szHouseNO "),
};
static constexpr ZDCol kFollowClient[] = {
    ZD_COL(tagFOLLOW, iCli, ZK_INT, "iCli,"),
    ZD_COL(tagFOLLOW, szTrade, ZK_TEXT, "t.szTrade,"),
    ZD_COL(tagFOLLOW, szLevel, ZK_TEXT, "szLevel, "),
    ZD_COL(tagFOLLOW, szCliMan, ZK_TEXT, "szCliMan "),
};

// The follow-ups of one listing.
static constexpr ZDCol kFollowRead[] = {
    ZD_COL(tagFOLLOW, iOrdinal, ZK_INT, "select iOrdinal, "),
    ZD_COL(tagFOLLOW, iBr, ZK_INT, "iBr, "),
    ZD_COL(tagFOLLOW, iEmp, ZK_INT, "iEmp, "),
    ZD_COL(tagFOLLOW, iHou, ZK_INT, "iHou,"),
    ZD_COL(tagFOLLOW, iCli, ZK_INT, "iCli, "),
    ZD_COL(tagFOLLOW, iVersion, ZK_INT, "iVersion, "),
    ZD_COL(tagFOLLOW, szWay, ZK_TEXT, "szWay, "),
    ZD_COL(tagFOLLOW, szContent, ZK_TEXT, "szContent, "),
    ZD_COL(tagFOLLOW, dtFollow, ZK_DATE, "dtFollow"),
};

tagFOLLOW* FD_Sct_F(tagFOLLOW** ppFol, int* piCount, const char* pszWhere, int iKind, int bRecyle,
                    long long* piMatched)
{
    bool bHouse = iKind == FOLLOW_KIND_HOUSE;
    ZDSql from;
    if (bHouse)
        SqlAdd(from, "from t_follow as f inner join t_house as t on f.iHou = t.iOrdinal");
    else
        SqlAdd(from, "from t_follow as f inner join t_client as t on f.iCli = t.iOrdinal");
    SqlAdd(from, " where f.bRecyle = %d", bRecyle);
    if (pszWhere && pszWhere[0])
        SqlAddRaw(from, "  and (%s)", pszWhere);
    ZDCols listing = bHouse ? ZD_TABLE(kFollowHouse) : ZD_TABLE(kFollowClient);
    ZDSql sql;
    AddColumns(sql, ZD_TABLE(kFollowJoined));
    AddColumns(sql, listing);
    SqlAddRaw(sql, "%s", from.text.c_str());
    // Both joined tables have an iOrdinal: the recycle order is the follow-up's.
    if (bRecyle == 1)
        SqlAdd(sql, " order by f.iOrdinal asc");
    else
        SqlAdd(sql, " order by f.dtFollow desc");
    if (piMatched)
        AddListLimit(sql);

    int n = 0;
    tagFOLLOW* list = LoadList<tagFOLLOW>(sql, ppFol, &n, [listing](tagFOLLOW& f, const ZDRow& row) {
        ReadColumns(row, f, listing, ReadColumns(row, f, ZD_TABLE(kFollowJoined)));
    });
    if (!list)
        return nullptr;
    if (piCount)
        *piCount = n;
    if (piMatched)
        *piMatched = ListMatched(n, from);
    return list;
}

tagFOLLOW* FD_Sct_Follow(tagFOLLOW** ppFol, int iHou, int iCli, int* piCount, void*)
{
    if (ppFol)
        *ppFol = nullptr;
    if (piCount)
        *piCount = 0;
    ZDSql sql;
    AddColumns(sql, ZD_TABLE(kFollowRead));
    SqlAdd(sql, " from t_follow");
    SqlAdd(sql, " where  bRecyle = 0");
    if (iHou != 0)
        SqlAdd(sql, " and iHou = %d", iHou);
    else if (iCli != 0)
        SqlAdd(sql, " and iCli = %d", iCli);
    SqlAdd(sql, " order by dtFollow desc");
    return LoadList<tagFOLLOW>(sql, ppFol, piCount, RowReader<tagFOLLOW>(ZD_TABLE(kFollowRead)));
}

// The follow-up's insert, the listing's stamp, the read-back of its time and
// its log row, inside a transaction, each statement on its own: sent as one
// batch, a transaction a Galera node aborted for another node's change in
// the middle of the batch was seen to commit without the follow-up it
// reported (its key read back nowhere), where a statement on its own is
// refused with the conflict and the whole change runs again.
static bool TxnFollow(ZDTxn& t, int iOpEmp, tagFOLLOW* pFol)
{
    ZDSql ins;
    SqlAdd(ins, "insert into t_follow");
    SqlAdd(ins, " (dtFollow, szWay, szContent, iEmp, iBr, iHou, iCli)");
    SqlAdd(ins, " values (now(), '%s', '%s', %d, %d,%d,%d)", pFol->szWay, pFol->szContent, pFol->iEmp, pFol->iBr,
           pFol->iHou, pFol->iCli);
    ZDResult r = TxnRun(t, ins);
    if (!r.ok || r.stmts.empty() || r.stmts[0].insertId == 0)
        return false;
    int key = (int)r.stmts[0].insertId;
    pFol->iOrdinal = key;

    // The listing's latest follow-up is this one's time exactly.
    ZDSql stamp;
    if (pFol->iHou != 0) {
        SqlAdd(stamp, "update t_house  set t_house.dtFollow = ");
        SqlAdd(stamp, "(select dtFollow from t_follow");
        SqlAdd(stamp, " where t_follow.iOrdinal = %d)", key);
        SqlAdd(stamp, " where iOrdinal = %d", pFol->iHou);
    } else {
        SqlAdd(stamp, "update t_client  set dtFollow = ");
        SqlAdd(stamp, "(select dtFollow from t_follow");
        SqlAdd(stamp, " where iOrdinal = %d)", key);
        SqlAdd(stamp, " where iOrdinal = %d", pFol->iCli);
    }
    if (!TxnRun(t, stamp).ok)
        return false;

    // Read back before the commit: after it nothing can fail any more, so a
    // follow-up reported as not written never is.
    ZDSql back;
    SqlAdd(back, "select dtFollow from t_follow where iOrdinal = %d", key);
    ZDResult b = TxnRun(t, back);
    if (!b.ok)
        return false;
    MYSQL_RES* res = DbRows(b);
    ZDRow row;
    if (res && DbNextRow(res, row) && !IsNull(row, 0))
        GetDate(row, 0, pFol->dtFollow);
    else
        CopyField(pFol->dtFollow, "ERR");
    return TxnLog(t, iOpEmp, FollowType(*pFol), key, ACT_ADD);
}

int FD_Ist_FollowRemind(int iOpEmp, tagFOLLOW* pFol, tagREMIND* pRem)
{
    if (!pFol || !CheckConnection())
        return 0;
    ZDResult failure;
    int outcome = DbTransaction([&](ZDTxn& t) {
        return TxnFollow(t, iOpEmp, pFol) && (!pRem || TxnRemind(t, iOpEmp, pRem));
    }, &failure, TXN_REPEAT);
    if (outcome == TXN_DONE)
        return 1;
    pFol->iOrdinal = 0;
    pFol->dtFollow[0] = '\0';
    if (pRem)
        pRem->iOrdinal = 0;
    return TxnOutcome(outcome, failure,
                      {pRem ? "保存失败,跟进和提醒都没有保存,可以再次保存." : "保存失败,跟进没有保存,可以再次保存.",
                       kFailCaption});
}

int FD_Ist_Follow(int iOpEmp, tagFOLLOW* pFol)
{
    return FD_Ist_FollowRemind(iOpEmp, pFol, nullptr);
}

// What a change writes, with the new version, each with the name of its box.
static constexpr ZDCol kFollowWrite[] = {
    ZD_COLC(tagFOLLOW, szWay, ZK_TEXT, " iVersion = iVersion + 1, szWay='%s'", "跟进方式"),
    ZD_COLC(tagFOLLOW, szContent, ZK_TEXT, ", szContent='%s'", "跟进内容"),
};

int FD_Upd_Follow(int iOpEmp, const tagFOLLOW* pOld, tagFOLLOW* pNew)
{
    if (!pOld || !pNew || !CheckConnection())
        return 0;
    int key = pOld->iOrdinal;
    ZDSql sql;
    SqlAdd(sql, "update t_follow set");
    AddValues(sql, *pNew, ZD_TABLE(kFollowWrite));
    SqlAdd(sql, " where iOrdinal = %d", key);
    const tagFOLLOW& kind = (pOld->iHou || pOld->iCli) ? *pOld : *pNew;
    auto describe = [&](ZDTxn& t) {
        ZDSql now;
        AddColumns(now, ZD_TABLE(kFollowRead));
        SqlAdd(now, " from t_follow where iOrdinal = %d", key);
        return TxnChangedCaptions(t, now, {ZD_TABLE(kFollowRead)}, *pOld, {ZD_TABLE(kFollowWrite)});
    };
    // Other errors are reported by the result only.
    if (!VersionedChange(iOpEmp, sql, FollowType(kind), key, "t_follow", pOld->iVersion, describe, {nullptr, nullptr},
                         {"此数据已被其他用户删除", "修改失败"}))
        return 0;
    pNew->iVersion = pOld->iVersion + 1;
    return 1;
}

int FD_Del_Follow(int iOpEmp, const tagFOLLOW* pFol)
{
    if (!pFol || !CheckConnection())
        return 0;
    int key = pFol->iOrdinal;
    int type = FollowType(*pFol);
    ZDSql sql;
    SqlAdd(sql, "update t_follow set bRecyle = 1");
    SqlAdd(sql, " where iOrdinal = %d", key);
    // Indexed in the recycle bin like every other soft deletion, so the
    // follow-up recycle lists find it.  One that is gone already is no
    // failure: nothing is left to retire.
    return SoftDelete(iOpEmp, sql, type, key, nullptr, 1);
}

int RetireFollowUps(int iOpEmp, int iObjType, int iListing)
{
    if (!CheckConnection())
        return 0;
    const char* column = iObjType == OBJ_HOUSE_FOLLOW ? "iHou" : "iCli";
    ZDSql live;
    SqlAdd(live, "select iOrdinal from t_follow where ");
    SqlAddRaw(live, "%s", column);
    SqlAdd(live, " = %d and bRecyle = 0 for update", iListing);
    ZDSql retire;
    SqlAdd(retire, "update t_follow set bRecyle = 1");
    SqlAdd(retire, " where ");
    SqlAddRaw(retire, "%s", column);
    SqlAdd(retire, " = %d and bRecyle = 0", iListing);

    const char* why = kAbnormalError;
    ZDResult failure;
    int outcome = DbTransaction([&](ZDTxn& t) {
        // The live follow-ups, locked: on one server none can be added to
        // the listing or retired elsewhere until the commit; on a cluster
        // a follow-up retired through another node meanwhile makes the
        // commit fail for a conflict, and the whole change runs again.
        ZDResult l = TxnRun(t, live);
        if (!l.ok)
            return false;
        std::vector<int> keys;
        ZDRow row;
        for (MYSQL_RES* res = DbRows(l); DbNextRow(res, row);)
            keys.push_back(GetInt(row, 0));
        if (keys.empty())
            return true;
        // Each one's entry and log row, in one batch.
        ZDSql each;
        for (int key : keys) {
            AddRecycleEntry(each, iOpEmp, key, iObjType);
            AddOpLog(each, iOpEmp, iObjType, key, ACT_DELETE);
        }
        why = kRecycleFailed;
        ZDResult e = TxnRun(t, each);
        if (!e.ok || e.stmts.size() != keys.size() * 2)
            return false;
        for (size_t i = 0; i < e.stmts.size(); i += 2)
            if (e.stmts[i].insertId == 0)
                return false;
        why = kAbnormalError;
        ZDResult u = TxnRun(t, retire);
        return u.ok && DbAffected(u) == (long long)keys.size();
    }, &failure, TXN_REPEAT);
    return TxnOutcome(outcome, failure, {why, kFailCaption});
}

void Mem_Free_Follow(tagFOLLOW* pFol)
{
    FreeBlock(pFol);
}
