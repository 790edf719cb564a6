// Client demands: load, insert, update, delete, retiring follow-ups.
#include "data/listing_core.h"
#include "data/client.h"
#include "data/listing_rows.h"

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

void ReadClient(const ZDRow& row, tagCLIENT& c)
{
    c.iOrdinal = GetInt(row, 0);
    GetText(row, 1, c.szClientNum);
    GetText(row, 2, c.szTrade);
    c.iMinBuy = GetInt(row, 3);
    c.iMaxBuy = GetInt(row, 4);
    c.iMinRent = GetInt(row, 5);
    c.iMaxRent = GetInt(row, 6);
    GetText(row, 7, c.szUrban);
    c.iMinArea = GetInt(row, 8);
    c.iMaxArea = GetInt(row, 9);
    c.iMinRoom = GetInt(row, 10);
    c.iMaxRoom = GetInt(row, 11);
    GetText(row, 12, c.szHouseType);
    GetText(row, 13, c.szFloor);
    GetText(row, 14, c.szToward);
    GetText(row, 15, c.szDecoration);
    GetText(row, 16, c.szLayout);
    GetText(row, 17, c.szLevel);
    GetText(row, 18, c.szSource);
    GetText(row, 19, c.szPayment);
    GetText(row, 20, c.szAgencyFee);
    GetText(row, 21, c.szUsage);
    GetText(row, 22, c.szCliMan);
    GetText(row, 23, c.szCliTel);
    GetText(row, 24, c.szLinkTel);
    GetText(row, 25, c.szLinkMan);
    GetText(row, 26, c.szCitizen);
    GetText(row, 27, c.szDelegatePD);
    GetDate(row, 28, c.dDelegate);
    c.iBr = GetInt(row, 29);
    c.iEmp = GetInt(row, 30);
    GetText(row, 31, c.szRemark);
    GetDate(row, 32, c.dtUpdate);
    GetDate(row, 33, c.dtFollow);
    Range(c.szPurchaseRange, sizeof c.szPurchaseRange, c.iMinBuy, c.iMaxBuy);
    Range(c.szRentRange, sizeof c.szRentRange, c.iMinRent, c.iMaxRent);
    Range(c.szAreaRange, sizeof c.szAreaRange, c.iMinArea, c.iMaxArea);
    Range(c.szRoomRange, sizeof c.szRoomRange, c.iMinRoom, c.iMaxRoom);
}

// The columns every client load reads, in record order of the copy above.
void AddClientColumns(ZDSql& sql)
{
    SqlAdd(sql, "select iOrdinal,szClientNum,szTrade");
    SqlAdd(sql, ",iMinBuy,iMaxBuy,iMinRent");
    SqlAdd(sql, ",iMaxRent,szUrban,iMinArea");
    SqlAdd(sql, ",iMaxArea,iMinRoom,iMaxRoom");
    SqlAdd(sql, ",szHouseType,szFloor,szToward");
    SqlAdd(sql, ",szDecoration,szLayout,szLevel");
    SqlAdd(sql, ",szSource,szPayment,szAgencyFee");
    SqlAdd(sql, ",szUsage,szCliMan,szCliTel");
    SqlAdd(sql, ",szLinkTel,szLinkMan,szCitizen");
    SqlAdd(sql, ",szDelegatePD,dDelegate,iBr");
    SqlAdd(sql, ",iEmp, szRemark, dtUpdate");
    SqlAdd(sql, ",dtFollow");
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

// The column list the insert and the update both write.
static void AddClientValues(ZDSql& sql, const tagCLIENT& c)
{
    SqlAdd(sql, " szTrade='%s'", c.szTrade);
    if (c.szClientNum[0])
        SqlAdd(sql, ",szClientNum = '%s'", c.szClientNum);
    SqlAdd(sql, ",szUrban='%s'", c.szUrban);
    SqlAdd(sql, ",szHouseType='%s'", c.szHouseType);
    SqlAdd(sql, ",szFloor='%s'", c.szFloor);
    SqlAdd(sql, ",szToward='%s'", c.szToward);
    SqlAdd(sql, ",szDecoration='%s'", c.szDecoration);
    SqlAdd(sql, ",szLevel='%s'", c.szLevel);
    SqlAdd(sql, ",szUsage='%s'", c.szUsage);
    SqlAdd(sql, ",szSource='%s'", c.szSource);
    SqlAdd(sql, ",szPayment='%s'", c.szPayment);
    SqlAdd(sql, ",szAgencyFee='%s'", c.szAgencyFee);
    if (c.dDelegate[0])
        SqlAdd(sql, ",dDelegate='%s'", c.dDelegate);
    SqlAdd(sql, ",szDelegatePD='%s'", c.szDelegatePD);
    SqlAdd(sql, ",szCitizen='%s'", c.szCitizen);
    SqlAdd(sql, ",szRemark='%s'", c.szRemark);
    SqlAdd(sql, ",szLayout='%s'", c.szLayout);
    SqlAdd(sql, ",iMinBuy = %d", c.iMinBuy);
    SqlAdd(sql, ",iMaxBuy = %d", c.iMaxBuy);
    SqlAdd(sql, ",iMinRent= %d", c.iMinRent);
    SqlAdd(sql, ",iMaxRent=%d", c.iMaxRent);
    SqlAdd(sql, ",iMinArea=%d", c.iMinArea);
    SqlAdd(sql, ",iMaxARea=%d", c.iMaxArea);
    SqlAdd(sql, ",iMinRoom=%d", c.iMinRoom);
    SqlAdd(sql, ",iMaxRoom=%d", c.iMaxRoom);
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
    int outcome = DbTransaction([&](ZDTxn& t) {
        return TxnInsertRow(t, ins, iOpEmp, OBJ_CLIENT, [&](int key, ZDSql& upd) {
            pCli->iOrdinal = key;
            // The client number is always the key; a typed number is not kept.
            snprintf(pCli->szClientNum, sizeof pCli->szClientNum, "%08d", key);
            SqlAdd(upd, "update t_client set");
            AddClientValues(upd, *pCli);
            SqlAdd(upd, " where iOrdinal = %d", key);
        }) != 0;
    }, &failure, TXN_REPEAT);
    if (outcome == TXN_DONE)
        return 1;
    // Give the record back as it came.
    pCli->iOrdinal = 0;
    memcpy(pCli->szClientNum, typedNum, sizeof typedNum);
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
    SqlAdd(sql, " szLinkTel = '%s',szLinkMan ='%s', szCliTel ='%s',szCliMan='%s', iEmp=%d, iBr=%d,", pNew->szLinkTel,
           pNew->szLinkMan, pNew->szCliTel, pNew->szCliMan, pNew->iEmp, pNew->iBr);
    AddClientValues(sql, *pNew);
    SqlAdd(sql, " where tb2 = 0 and iOrdinal = %d", key);
    if (!LoggedChange(iOpEmp, sql, OBJ_CLIENT, key, ACT_MODIFY, {"修改没有保存: 数据服务器拒绝了这次修改, 错误原因查看错误日志文件.", ""},
                      {"联系电话,客源电话,证件号,有重复,或原始数据被其他用户删除", "修改失败"}))
        return 0;
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
