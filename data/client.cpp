// Client demands: load, insert, update, delete, retiring follow-ups.
#include "data/listing_core.h"
#include "data/client.h"
#include "data/listing_rows.h"
#include "data/columns.h"

#include <cstdio>
#include <cstring>

// A number in decimal at p; the end of its digits.
static char* PutInt(char* p, int v)
{
    unsigned u = v < 0 ? 0u - static_cast<unsigned>(v) : static_cast<unsigned>(v);
    if (v < 0)
        *p++ = '-';
    char digits[10];
    int n = 0;
    do {
        digits[n++] = static_cast<char>('0' + u % 10);
        u /= 10;
    } while (u);
    while (n)
        *p++ = digits[--n];
    return p;
}

// "lo-hi" into a field of cb bytes, cut as snprintf cuts (a list of 5000
// clients writes 20,000 of them).
static void Range(char* dst, size_t cb, int lo, int hi)
{
    char buf[32];
    char* e = PutInt(buf, lo);
    *e++ = '-';
    e = PutInt(e, hi);
    size_t n = static_cast<size_t>(e - buf);
    if (n > cb - 1)
        n = cb - 1;
    memcpy(dst, buf, n);
    dst[n] = '\0';
}

// The columns every client load reads, in the order of its select list.
static constexpr ZDCol kClientRead[] = {
    ZD_COL(tagCLIENT, iOrdinal, ZK_INT, "select iOrdinal,"),
    ZD_COL(tagCLIENT, szClientNum, ZK_TEXT, "szClientNum,"),
    ZD_COL(tagCLIENT, szTrade, ZK_TEXT, "szTrade,"),
    ZD_COL(tagCLIENT, iMinBuy, ZK_INT, "iMinBuy,"),
    ZD_COL(tagCLIENT, iMaxBuy, ZK_INT, "iMaxBuy,"),
    ZD_COL(tagCLIENT, iMinRent, ZK_INT, "iMinRent,"),
    ZD_COL(tagCLIENT, iMaxRent, ZK_INT, "iMaxRent,"),
    ZD_COL(tagCLIENT, szUrban, ZK_TEXT, "szUrban,"),
    ZD_COL(tagCLIENT, iMinArea, ZK_INT, "iMinArea,"),
    ZD_COL(tagCLIENT, iMaxArea, ZK_INT, "iMaxArea,"),
    ZD_COL(tagCLIENT, iMinRoom, ZK_INT, "iMinRoom,"),
    ZD_COL(tagCLIENT, iMaxRoom, ZK_INT, "iMaxRoom,"),
    ZD_COL(tagCLIENT, szHouseType, ZK_TEXT, "szHouseType,"),
    ZD_COL(tagCLIENT, szFloor, ZK_TEXT, "szFloor,"),
    ZD_COL(tagCLIENT, szToward, ZK_TEXT, "szToward,"),
    ZD_COL(tagCLIENT, szDecoration, ZK_TEXT, "szDecoration,"),
    ZD_COL(tagCLIENT, szLayout, ZK_TEXT, "szLayout,"),
    ZD_COL(tagCLIENT, szLevel, ZK_TEXT, "szLevel,"),
    ZD_COL(tagCLIENT, szSource, ZK_TEXT, "szSource,"),
    ZD_COL(tagCLIENT, szPayment, ZK_TEXT, "szPayment,"),
    ZD_COL(tagCLIENT, szAgencyFee, ZK_TEXT, "szAgencyFee,"),
    ZD_COL(tagCLIENT, szUsage, ZK_TEXT, "szUsage,"),
    ZD_COL(tagCLIENT, szCliMan, ZK_TEXT, "szCliMan,"),
    ZD_COL(tagCLIENT, szCliTel, ZK_CIPHER, "szCliTel,"),
    ZD_COL(tagCLIENT, szLinkTel, ZK_CIPHER, "szLinkTel,"),
    ZD_COL(tagCLIENT, szLinkMan, ZK_TEXT, "szLinkMan,"),
    ZD_COL(tagCLIENT, szCitizen, ZK_TEXT, "szCitizen,"),
    ZD_COL(tagCLIENT, szDelegatePD, ZK_TEXT, "szDelegatePD,"),
    ZD_COL(tagCLIENT, dDelegate, ZK_DATE, "dDelegate,"),
    ZD_COL(tagCLIENT, iBr, ZK_INT, "iBr,"),
    ZD_COL(tagCLIENT, iEmp, ZK_INT, "iEmp, "),
    ZD_COL(tagCLIENT, iVersion, ZK_INT, "iVersion, "),
    ZD_COL(tagCLIENT, szRemark, ZK_TEXT, "szRemark, "),
    ZD_COL(tagCLIENT, dtUpdate, ZK_DATE, "dtUpdate,"),
    ZD_COL(tagCLIENT, dtFollow, ZK_DATE, "dtFollow"),
};

void AddClientColumns(ZDSql& sql)
{
    AddColumns(sql, ZD_TABLE(kClientRead));
}

unsigned int ReadClient(const ZDRow& row, tagCLIENT& c)
{
    unsigned int next = ReadColumns(row, c, ZD_TABLE(kClientRead));
    Range(c.szPurchaseRange, sizeof c.szPurchaseRange, c.iMinBuy, c.iMaxBuy);
    Range(c.szRentRange, sizeof c.szRentRange, c.iMinRent, c.iMaxRent);
    Range(c.szAreaRange, sizeof c.szAreaRange, c.iMinArea, c.iMaxArea);
    Range(c.szRoomRange, sizeof c.szRoomRange, c.iMinRoom, c.iMaxRoom);
    return next;
}

tagCLIENT* FD_Sct_Cli(int, tagCLIENT** ppCli, int* piCount, const char* pszWhere, int bRecyle,
                      long long* piMatched)
{
    if (ppCli)
        *ppCli = nullptr;
    if (piCount)
        *piCount = 0;

    ZDSql from;
    SqlAdd(from, "from t_client");
    SqlAdd(from, " where bRecyle = %d ", bRecyle);
    if (pszWhere && pszWhere[0])
        SqlAddRaw(from, " and (%s)", pszWhere);
    ZDSql sql;
    AddClientColumns(sql);
    SqlAddRaw(sql, " %s", from.text.c_str());
    if (bRecyle == 1)
        SqlAdd(sql, " order by iOrdinal asc");
    else
        SqlAdd(sql, " order by dtFollow desc, dtUpdate desc");
    if (piMatched)
        AddListLimit(sql);

    int n = 0;
    tagCLIENT* list =
        LoadList<tagCLIENT>(sql, ppCli, &n, [](tagCLIENT& c, const ZDRow& row) { ReadClient(row, c); });
    if (!list)
        return nullptr;
    if (piCount)
        *piCount = n;
    if (piMatched)
        *piMatched = ListMatched(n, from);
    return list;
}

// The telephone clauses of the duplicate checks: either telephone of the
// record equal to either telephone column of another row.  False when the
// record has no telephone at all (there would be nothing to compare).
static bool AddPhoneClauses(ZDSql& sql, const tagCLIENT& c)
{
    if (!c.szCliTel[0] && !c.szLinkTel[0])
        return false;
    if (c.szCliTel[0])
        SqlAdd(sql, " szCliTel='%s' or szLinkTel = '%s'", c.szCliTel, c.szCliTel);
    if (c.szLinkTel[0])
        SqlAdd(sql, " %s szCliTel = '%s' or szLinkTel = '%s'", c.szCliTel[0] ? "or" : "", c.szLinkTel, c.szLinkTel);
    return true;
}

// The column list the insert and the update both write (a client number
// or a commission date left empty keeps the column's value), each with the
// name of its box for telling a user what another desk changed.
static constexpr ZDCol kClientWrite[] = {
    ZD_COLC(tagCLIENT, szTrade, ZK_TEXT, " szTrade='%s'", "交易"),
    ZD_COLC(tagCLIENT, szClientNum, ZK_SET, ",szClientNum = '%s'", "客源编号"),
    ZD_COLC(tagCLIENT, szUrban, ZK_TEXT, ",szUrban='%s'", "城区"),
    ZD_COLC(tagCLIENT, szHouseType, ZK_TEXT, ",szHouseType='%s'", "类型"),
    ZD_COLC(tagCLIENT, szFloor, ZK_TEXT, ",szFloor='%s'", "楼层"),
    ZD_COLC(tagCLIENT, szToward, ZK_TEXT, ",szToward='%s'", "朝向"),
    ZD_COLC(tagCLIENT, szDecoration, ZK_TEXT, ",szDecoration='%s'", "装修"),
    ZD_COLC(tagCLIENT, szLevel, ZK_TEXT, ",szLevel='%s'", "等级"),
    ZD_COLC(tagCLIENT, szUsage, ZK_TEXT, ",szUsage='%s'", "性质"),
    ZD_COLC(tagCLIENT, szSource, ZK_TEXT, ",szSource='%s'", "来源"),
    ZD_COLC(tagCLIENT, szPayment, ZK_TEXT, ",szPayment='%s'", "付款"),
    ZD_COLC(tagCLIENT, szAgencyFee, ZK_TEXT, ",szAgencyFee='%s'", "付佣"),
    ZD_COLC(tagCLIENT, dDelegate, ZK_SET, ",dDelegate='%s'", "委托日期"),
    ZD_COLC(tagCLIENT, szDelegatePD, ZK_TEXT, ",szDelegatePD='%s'", "委托权限"),
    ZD_COLC(tagCLIENT, szCitizen, ZK_TEXT, ",szCitizen='%s'", "身份国籍"),
    ZD_COLC(tagCLIENT, szRemark, ZK_TEXT, ",szRemark='%s'", "备注"),
    ZD_COLC(tagCLIENT, szLayout, ZK_TEXT, ",szLayout='%s'", "配置"),
    ZD_COLC(tagCLIENT, iMinBuy, ZK_INT, ",iMinBuy = %d", "购价"),
    ZD_COLC(tagCLIENT, iMaxBuy, ZK_INT, ",iMaxBuy = %d", "购价"),
    ZD_COLC(tagCLIENT, iMinRent, ZK_INT, ",iMinRent= %d", "租价"),
    ZD_COLC(tagCLIENT, iMaxRent, ZK_INT, ",iMaxRent=%d", "租价"),
    ZD_COLC(tagCLIENT, iMinArea, ZK_INT, ",iMinArea=%d", "面积"),
    ZD_COLC(tagCLIENT, iMaxArea, ZK_INT, ",iMaxARea=%d", "面积"),
    ZD_COLC(tagCLIENT, iMinRoom, ZK_INT, ",iMinRoom=%d", "房型"),
    ZD_COLC(tagCLIENT, iMaxRoom, ZK_INT, ",iMaxRoom=%d", "房型"),
};

// What the update writes before that list: the client's people and agent,
// with the new version.
static constexpr ZDCol kClientPeople[] = {
    ZD_COLC(tagCLIENT, szLinkTel, ZK_CIPHER, " iVersion = iVersion + 1, szLinkTel = '%s'", "联系电话"),
    ZD_COLC(tagCLIENT, szLinkMan, ZK_TEXT, ",szLinkMan ='%s'", "委托代理"),
    ZD_COLC(tagCLIENT, szCliTel, ZK_CIPHER, ", szCliTel ='%s'", "客户电话"),
    ZD_COLC(tagCLIENT, szCliMan, ZK_TEXT, ",szCliMan='%s'", "客户姓名"),
    ZD_COLC(tagCLIENT, iEmp, ZK_INT, ", iEmp=%d", "员工"),
    ZD_COLC(tagCLIENT, iBr, ZK_INT, ", iBr=%d,", "部门"),
};

// The client's telephones into their key table, after its old ones go
// (bReplace): a telephone another client holds stops the statement (1062).
static void AddPhoneKeys(ZDSql& sql, const tagCLIENT& c, int key, bool bReplace)
{
    if (bReplace)
        SqlAdd(sql, ";delete from t_clienttel where iCli = %d", key);
    if (c.szCliTel[0])
        SqlAdd(sql, ";insert into t_clienttel (szTel, iCli) values ('%s', %d)", c.szCliTel, key);
    if (c.szLinkTel[0] && strncmp(c.szLinkTel, c.szCliTel, sizeof c.szLinkTel) != 0)
        SqlAdd(sql, ";insert into t_clienttel (szTel, iCli) values ('%s', %d)", c.szLinkTel, key);
}

static const char kPhoneDuplicate[] = "客源电话, 联系电话 不允许重复 ";
// Said when an insert stored nothing: the form keeps what was typed, and
// saving again is an insert like the first.
static const char kClientNotSaved[] = "保存失败,客源没有保存,可以再次保存.";

int FD_Ist_Cli(int iOpEmp, tagCLIENT* pCli)
{
    if (!pCli || !CheckConnection())
        return 0;

    // Neither telephone may be in use by any client, counting the recycle
    // bin and purged rows too.
    ZDSql dup;
    SqlAdd(dup, "select count(*) from t_client");
    SqlAdd(dup, " where");
    if (!AddPhoneClauses(dup, *pCli)) {
        DbBox(kPhoneDuplicate, "", MB_OK);
        return 0;
    }
    long long n = DbScalar(dup.text);
    if (n < 0) {
        DbBox(kClientNotSaved, kFailCaption, MB_OK);
        return 0;
    }
    if (n != 0) {
        DbBox(kPhoneDuplicate, "", MB_OK);
        return 0;
    }

    // The key columns, then everything else on the new row, then the log
    // row: one transaction, so a save cut off half-way leaves no row.
    ZDSql ins;
    SqlAdd(ins, "insert into t_Client");
    SqlAdd(ins, " (szLinkTel, szLinkMan, szCliTel, szCliMan, iBr, iEmp)");
    SqlAdd(ins, " values ('%s', '%s', '%s','%s',%d, %d)", pCli->szLinkTel, pCli->szLinkMan, pCli->szCliTel,
           pCli->szCliMan, pCli->iBr, pCli->iEmp);
    char typedNum[sizeof pCli->szClientNum];
    memcpy(typedNum, pCli->szClientNum, sizeof typedNum);
    ZDResult failure;
    bool bNoAgent = false;
    int outcome = DbTransaction([&](ZDTxn& t) {
        int agent = TxnTouchAgent(t, pCli->iEmp);
        bNoAgent = agent == 0;
        if (agent <= 0)
            return false;
        return TxnInsertRow(t, ins, iOpEmp, OBJ_CLIENT, [&](int key, ZDSql& upd) {
            pCli->iOrdinal = key;
            // The client number is always the key; a typed number is not kept.
            snprintf(pCli->szClientNum, sizeof pCli->szClientNum, "%08d", key);
            SqlAdd(upd, "update t_client set");
            AddValues(upd, *pCli, ZD_TABLE(kClientWrite));
            SqlAdd(upd, " where iOrdinal = %d", key);
            AddPhoneKeys(upd, *pCli, key, false);
        }) != 0;
    }, &failure, TXN_REPEAT);
    if (outcome == TXN_DONE)
        return 1;
    // Give the record back as it came.
    pCli->iOrdinal = 0;
    memcpy(pCli->szClientNum, typedNum, sizeof typedNum);
    // Another desk stored the same telephone after the count above.
    if (outcome == TXN_FAILED && failure.errCode == ZD_ER_DUP_ENTRY) {
        DbBox(kPhoneDuplicate, "", MB_OK);
        return 0;
    }
    if (outcome == TXN_UNDONE && bNoAgent) {
        DbBox(kAgentGone, kFailCaption, MB_OK);
        return 0;
    }
    return TxnOutcome(outcome, failure, {kClientNotSaved, kFailCaption});
}

int FD_Upd_Cli(int iOpEmp, const tagCLIENT* pOld, tagCLIENT* pNew)
{
    if (!pOld || !pNew || !CheckConnection())
        return 0;
    int key = pOld->iOrdinal;
    ZDSql sql;
    SqlAdd(sql, "update t_client");
    SqlAdd(sql, ",(select count(*) as tb2 from t_client where ");
    SqlAdd(sql, "(");
    if (!AddPhoneClauses(sql, *pNew)) {
        DbBox("联系电话,客源电话,证件号,有重复,或原始数据被其他用户删除", "修改失败", MB_OK);
        return 0;
    }
    SqlAdd(sql, ")");
    SqlAdd(sql, " and iOrdinal <> %d", key);
    SqlAdd(sql, " ) as tb2");
    SqlAdd(sql, " set");
    AddValues(sql, *pNew, ZD_TABLE(kClientPeople));
    AddValues(sql, *pNew, ZD_TABLE(kClientWrite));
    SqlAdd(sql, " where tb2 = 0 and iOrdinal = %d", key);
    AddPhoneKeys(sql, *pNew, key, true);
    // What another desk changed: the client as it is now against the client
    // the form loaded.
    auto describe = [&](ZDTxn& t) {
        ZDSql now;
        AddClientColumns(now);
        SqlAdd(now, " from t_client where iOrdinal = %d", key);
        return TxnChangedCaptions(t, now, {ZD_TABLE(kClientRead)}, *pOld,
                                  {ZD_TABLE(kClientPeople), ZD_TABLE(kClientWrite)});
    };
    ZDVersionOpts opts;
    opts.iAgent = pNew->iEmp != pOld->iEmp ? pNew->iEmp : 0;
    if (!VersionedChange(iOpEmp, sql, OBJ_CLIENT, key, "t_client", pOld->iVersion, describe,
                         {"修改没有保存: 数据服务器拒绝了这次修改, 错误原因查看错误日志文件.", ""},
                         {"联系电话,客源电话,证件号,有重复,或原始数据被其他用户删除", "修改失败"}, opts))
        return 0;
    pNew->iVersion = pOld->iVersion + 1;
    ReadUpdateTime("t_client", key, pNew->dtUpdate, sizeof pNew->dtUpdate);
    return 1;
}

int FD_Del_Cli(int iOpEmp, const tagCLIENT* pCli)
{
    if (!pCli || !CheckConnection())
        return 0;
    int key = pCli->iOrdinal;
    ZDSql sql;
    SqlAdd(sql, " update t_client set bRecyle = 1 where ");
    SqlAdd(sql, " iOrdinal = %d", key);
    SqlAdd(sql, " and (select count(*) from t_follow where iCli = %d and bRecyle = 0)=0", key);
    return SoftDelete(iOpEmp, sql, OBJ_CLIENT, key, "错误原因:\n\n1.该客源有写跟进,不能直接删除\n\n2.已被其它用户删除");
}

int FD_C_F_Hou(int iOpEmp, const tagCLIENT* pCli)
{
    // Key 0 is a free slot, and "iCli = 0" would retire every house follow-up.
    if (!pCli || pCli->iOrdinal == 0)
        return 0;
    return RetireFollowUps(iOpEmp, OBJ_CLIENT_FOLLOW, pCli->iOrdinal);
}

void Mem_Free_Cli(tagCLIENT* pCli)
{
    FreeBlock(pCli);
}
