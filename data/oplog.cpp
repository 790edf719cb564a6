// Operation-log writer, recycle-bin entry, and the log list of the log window.
#include "data/db_core.h"
#include "data/oplog.h"
#include "data/columns.h"
#include "data/test_hooks.h"
#include "common/gbk.h"

#include <cstdlib>

const char* ObjTypeTable(int iObjType)
{
    switch (iObjType) {
    case OBJ_HOUSE: return "t_house";
    case OBJ_CLIENT: return "t_client";
    case OBJ_ESTATE: return "t_estate";
    case OBJ_BRANCH: return "t_branch";
    case OBJ_EMPLOYEE: return "t_employee";
    case OBJ_POSITION: return "t_position";
    case OBJ_URBAN: return "t_urban";
    case OBJ_HOUSE_FOLLOW:
    case OBJ_CLIENT_FOLLOW: return "t_follow";
    case OBJ_BUILDNO: return "t_buildno";
    case OBJ_PARAM: return "t_param";
    case OBJ_DISTRICT: return "t_District";
    default: return nullptr;
    }
}

bool AddOpLog(ZDSql& sql, int iOpEmp, int iObjType, int iObjID, int iAct)
{
    const char* snapshot = nullptr;
    switch (iObjType) {
    case OBJ_LOGIN:
        SqlAdd(sql, "insert into t_log (iAct, iObjType, iObjID, iOpEmp, szValue) ");
        SqlAdd(sql, " values (%d, %d, %d, %d, '%s');", iAct, iObjType, iObjID, iOpEmp,
               iAct == LOG_ACT_LOGIN_FAILED ? "登录失败: 密码错误" : "用户登录");
        return true;
    case OBJ_HOUSE:
        snapshot = "concat(iEst,'@,@', szBuildNo,'@,@', szHouseNO,'@,@'"
                   ",dbBuildArea,'@,@', szTrade,'@,@', szLinkMan,'@,@',"
                   "szLinkTel,'@,@',szOwnerMan,'@,@',szOwnerTel ) "
                   "from t_house where iOrdinal = %d;";
        break;
    case OBJ_CLIENT:
        snapshot = " concat(szTrade,'@,@',szLinkMan,'@,@', szLinkTel,'@,@'"
                   ", szCliMan,'@,@', szCliTel) from t_client where iOrdinal = %d;";
        break;
    case OBJ_ESTATE: snapshot = " szEstate from t_estate where iOrdinal = %d;"; break;
    case OBJ_BRANCH: snapshot = " szBr from t_branch where iOrdinal = %d;"; break;
    case OBJ_EMPLOYEE: snapshot = " concat(iBr,'@,@', szEmp) from t_employee where iOrdinal = %d;"; break;
    case OBJ_POSITION: snapshot = " szPst from t_position where iOrdinal = %d;"; break;
    case OBJ_URBAN: snapshot = " concat(iParentIndex, szUrban) from t_urban where iOrdinal = %d;"; break;
    case OBJ_HOUSE_FOLLOW: snapshot = " concat(iHou, szContent) from t_follow where iOrdinal = %d;"; break;
    case OBJ_CLIENT_FOLLOW: snapshot = " concat(iCli, szContent) from t_follow where iOrdinal = %d;"; break;
    case OBJ_BUILDNO:
        snapshot = " concat(iEst, '@,@',iBuildNO, '@,@',iLift, '@,@',"
                   "iHouse, '@,@',iFloort) from t_buildno where iOrdinal = %d;";
        break;
    case OBJ_PARAM: snapshot = " concat(iParentIndex, '@,@', szValue) from t_param where iOrdinal = %d;"; break;
    default:
        return false;  // districts and reminders are not logged
    }
    SqlAdd(sql, "insert into t_log (iAct, iObjType, iObjID, iOpEmp, szValue) ");
    SqlAdd(sql, "select %d, %d, %d, %d, ", iAct, iObjType, iObjID, iOpEmp);
    SqlAdd(sql, snapshot, iObjID);
    return true;
}

void WriteOpLog(int iOpEmp, int iObjType, int iObjID, int iAct)
{
    ZDSql sql;
    if (AddOpLog(sql, iOpEmp, iObjType, iObjID, iAct))
        DbRun(sql);
}

bool TxnLog(ZDTxn& t, int iOpEmp, int iObjType, int iObjID, int iAct)
{
    ZDSql sql;
    return !AddOpLog(sql, iOpEmp, iObjType, iObjID, iAct) || TxnRun(t, sql).ok;
}

static const size_t kAuditMax = 2000;

void AddAuditLog(ZDSql& sql, int iOpEmp, int iObjType, int iObjID, int iAct, const std::string& text)
{
    // Within the column (2048 characters); the log window shows the first
    // 1023 bytes of it.
    std::string cut = text.substr(0, Gbk_CutLen(text.c_str(), text.size(), kAuditMax));
    SqlAdd(sql, "insert into t_log (iAct, iObjType, iObjID, iOpEmp, szValue) ");
    SqlAdd(sql, " values (%d, %d, %d, %d, '%s');", iAct, iObjType, iObjID, iOpEmp, cut.c_str());
}

bool TxnAudit(ZDTxn& t, int iOpEmp, int iObjType, int iObjID, int iAct, const std::string& text)
{
    ZDSql sql;
    AddAuditLog(sql, iOpEmp, iObjType, iObjID, iAct, text);
    ZDResult r = TxnRun(t, sql);
    return r.ok && DbAffected(r) == 1;
}

const char kOutcomeNotSaved[] = "与数据服务器的连接在提交时中断, 重新连接后查明: 这次操作没有保存.";

int AuditedChange(const std::function<bool(ZDTxn&, std::string&)>& change, int iOpEmp, int iObjType, int iObjID,
                  int iAct, const std::string& text, ZDBox onError, int* pOutcome, int iRepeat)
{
    std::string done;
    // The log's last key before the change: the audit row is the one after
    // it with this operator, object, action and text.
    long long before = -1, session = -1;
    ZDResult failure;
    int outcome = DbTransaction([&](ZDTxn& t) {
        ZDSql last, self;
        SqlAdd(last, "select coalesce(max(iOrdinal), 0) from t_log");
        SqlAdd(self, "select connection_id()");
        before = TxnScalar(t, last);
        session = TxnScalar(t, self);
        done = text;
        // (A change that left no text has nothing to record.)
        return before >= 0 && change(t, done) && (done.empty() || TxnAudit(t, iOpEmp, iObjType, iObjID, iAct, done));
    }, &failure, iRepeat);
    if (pOutcome)
        *pOutcome = outcome;
    if (outcome != TXN_UNKNOWN)
        return TxnOutcome(outcome, failure, onError);
    WriteErrorRecord(failure);
    if (done.empty())
        return 1;    // nothing was to change
    long long found = -1;
    if (CheckConnection()) {
        // The old session's commit ends (stored or rolled back) before it
        // leaves the server: read only once it has left (up to 15 s).
        ZDSql gone;
        SqlAdd(gone, "select count(*) from information_schema.processlist where id = %d", (int)session);
        long long left = 1;
        for (int i = 0; i < 150 && session > 0 && (left = DbScalar(gone.text)) > 0; i++)
            Sleep(100);
        std::string cut = done.substr(0, Gbk_CutLen(done.c_str(), done.size(), kAuditMax));
        ZDSql q;
        SqlAdd(q, "select count(*) from t_log where iOrdinal > %d and iAct = %d and iObjType = %d", (int)before, iAct,
               iObjType);
        SqlAdd(q, " and iObjID = %d and iOpEmp = %d and szValue = '%s'", iObjID, iOpEmp, cut.c_str());
        if (left == 0 || session <= 0)
            found = DbScalar(q.text);
    }
    if (found > 0)
        return 1;
    DbBox(found == 0 ? kOutcomeNotSaved : kOutcomeUnknown, kFailCaption, MB_OK);
    return 0;
}

void AddRecycleEntry(ZDSql& sql, int iOpEmp, int iObjID, int iObjType)
{
    SqlAdd(sql, "insert into t_recyle (iObjType, iObjOrdinal, iEmp) values (");
    SqlAdd(sql, "%d, %d, %d);", iObjType, iObjID, iOpEmp);
}

bool TxnRecycleEntry(ZDTxn& t, int iOpEmp, int iObjID, int iObjType)
{
    ZDSql sql;
    AddRecycleEntry(sql, iOpEmp, iObjID, iObjType);
    ZDResult r = TxnRun(t, sql);
    // An entry without a key could be neither listed nor restored.
    return r.ok && !r.stmts.empty() && r.stmts[0].insertId != 0;
}

const char kAbnormalError[] = "异常错误,错误原因查看错误日志文件.";
const char kRecycleFailed[] = "写入回收站失败, 数据未删除";

int LoggedChange(int iOpEmp, const ZDSql& sql, int iObjType, int iKey, int iAct, ZDBox onError, ZDBox onNoRow,
                 ZDResult* pChange)
{
    bool bNoRow = false;
    ZDResult failure;
    int outcome = DbTransaction([&](ZDTxn& t) {
        ZDResult r = TxnRun(t, sql);
        if (pChange)
            *pChange = r;
        if (!r.ok)
            return false;
        if (onNoRow.text && DbAffected(r) <= 0) {
            bNoRow = true;
            return false;
        }
        return TxnLog(t, iOpEmp, iObjType, iKey, iAct);
    }, &failure);
    if (outcome == TXN_UNDONE && bNoRow) {
        DbBox(onNoRow.text, onNoRow.caption, MB_OK);
        return 0;
    }
    return TxnOutcome(outcome, failure, onError);
}

const char kAgentGone[] = "所选员工已被其他用户删除,这次操作没有保存,请重新选择员工.";

int TxnTouchAgent(ZDTxn& t, int iEmp)
{
    ZDSql sql;
    SqlAdd(sql, "update t_employee set iAssigned = iAssigned + 1 where iOrdinal = %d and bRecyle = 0", iEmp);
    ZDResult r = TxnRun(t, sql);
    if (!r.ok)
        return -1;
    return DbAffected(r) > 0 ? 1 : 0;
}

void ShowVersionConflict(const std::string& changed)
{
    TxnConflictReported();
    std::string text = kConcurrentChange;
    if (!changed.empty())
        text += "\n\n其他用户修改了: " + changed;
    DbBox(text.c_str(), "修改失败", MB_OK);
}

int VersionedChange(int iOpEmp, const ZDSql& sql, int iObjType, int iKey, const char* pszTable, int iVersion,
                    const std::function<std::string(ZDTxn&)>& describe, ZDBox onError, ZDBox onNoRow,
                    const ZDVersionOpts& opts)
{
    const int iAgent = opts.iAgent;
    enum { kStored, kGone, kChanged, kNoRow, kNoAgent } why = kStored;
    std::string changed;
    ZDResult failure;
    int outcome = DbTransaction([&](ZDTxn& t) {
        why = kStored;
        changed.clear();
        ZDSql lock;
        SqlAdd(lock, "select coalesce(max(iVersion), -2) from ");
        SqlAddRaw(lock, "%s", pszTable);
        SqlAdd(lock, " where iOrdinal = %d", iKey);
        if (opts.bRecyleMark)
            SqlAdd(lock, " and bRecyle = 0");
        SqlAdd(lock, " for update");
        long long v = TxnScalar(t, lock);
        if (v == -1)
            return false;
        if (v == -2) {
            why = kGone;
            return false;
        }
        if (v != iVersion) {
            why = kChanged;
            changed = describe(t);
            return false;
        }
        if (iAgent) {
            int agent = TxnTouchAgent(t, iAgent);
            if (agent <= 0) {
                why = agent == 0 ? kNoAgent : kStored;
                return false;
            }
        }
        ZDResult r = TxnRun(t, sql);
        if (opts.pChange)
            *opts.pChange = r;
        if (!r.ok)
            return false;
        if (DbAffected(r) <= 0) {
            why = kNoRow;
            return false;
        }
        if (opts.bLog && !TxnLog(t, iOpEmp, iObjType, iKey, ACT_MODIFY))
            return false;
        return !opts.then || opts.then(t);
    }, &failure);
    if (outcome == TXN_UNDONE && why == kNoAgent) {
        DbBox(kAgentGone, "修改失败", MB_OK);
        return 0;
    }
    if (outcome == TXN_UNDONE && why == kChanged) {
        ShowVersionConflict(changed);
        return 0;
    }
    // A key that holds another row's value: the change's own rule, refused
    // by the server when the statement's check came too late.
    bool duplicate = outcome == TXN_FAILED && failure.errCode == ZD_ER_DUP_ENTRY;
    if ((outcome == TXN_UNDONE && (why == kGone || why == kNoRow)) || duplicate) {
        if (!onNoRow.text)
            return -1;
        DbBox(onNoRow.text, onNoRow.caption, MB_OK);
        return 0;
    }
    return TxnOutcome(outcome, failure, onError);
}

int LoggedInsert(int iOpEmp, const ZDSql& sql, int iObjType, ZDBox onError, int iAct)
{
    int key = 0;
    ZDResult failure;
    int outcome = DbTransaction([&](ZDTxn& t) {
        ZDResult r = TxnRun(t, sql);
        if (!r.ok || r.stmts.empty() || r.stmts[0].insertId == 0)
            return false;
        key = (int)r.stmts[0].insertId;
        return TxnLog(t, iOpEmp, iObjType, key, iAct);
    }, &failure, TXN_REPEAT);
    return TxnOutcome(outcome, failure, onError) ? key : 0;
}

int TxnInsertRow(ZDTxn& t, const ZDSql& ins, int iOpEmp, int iObjType, const std::function<void(int, ZDSql&)>& fill)
{
    ZDResult r = TxnRun(t, ins);
    if (!r.ok || r.stmts.empty() || r.stmts[0].insertId == 0)
        return 0;
    int key = (int)r.stmts[0].insertId;
    ZDSql upd;
    fill(key, upd);
    ZDResult u = TxnRun(t, upd);
    return u.ok && DbAffected(u) > 0 && TxnLog(t, iOpEmp, iObjType, key, ACT_ADD) ? key : 0;
}

int SoftDelete(int iOpEmp, const ZDSql& sql, int iObjType, int iKey, const char* pszRefused, int iRefusedResult)
{
    const char* why = kAbnormalError;
    bool bRefused = false;
    ZDResult failure;
    int outcome = DbTransaction([&](ZDTxn& t) {
        why = kAbnormalError;
        bRefused = false;
        ZDResult r = TxnRun(t, sql);
        if (!r.ok)
            return false;
        if (DbAffected(r) <= 0) {
            bRefused = true;
            return false;
        }
        why = kRecycleFailed;
        if (!TxnRecycleEntry(t, iOpEmp, iKey, iObjType))
            return false;
        why = kAbnormalError;
        return TxnLog(t, iOpEmp, iObjType, iKey, ACT_DELETE);
    }, &failure, TXN_REPEAT);
    if (outcome == TXN_DONE)
        return 1;
    // (Nothing was deleted: the log has no row for it.)
    if (bRefused) {
        if (pszRefused)
            ShowFailure(pszRefused, 0);
        return iRefusedResult;
    }
    // (An entry that got no key ends the change without a server error:
    // its box comes without an error record.)
    return TxnOutcome(outcome, failure, {why, kFailCaption});
}

// ---- The log list ---------------------------------------------------------------

static bool IsBlank(const char* p)
{
    if (!p)
        return true;
    for (; *p; ++p)
        if (*p != ' ' && *p != '\t' && *p != '\r' && *p != '\n')
            return false;
    return true;
}

// The log window's columns.
static constexpr ZDCol kLogRead[] = {
    ZD_COL(tagLOG, iOrdinal, ZK_INT, "select iOrdinal, "),
    ZD_COL(tagLOG, iAct, ZK_INT, "iAct, "),
    ZD_COL(tagLOG, iObjType, ZK_INT, "iObjType, "),
    ZD_COL(tagLOG, iObjID, ZK_INT, "iObjID, "),
    ZD_COL(tagLOG, iOpEmp, ZK_INT, "iOpEmp, "),
    ZD_COL(tagLOG, szValue, ZK_TEXT, "szValue, "),
    ZD_COL(tagLOG, szTime, ZK_TEXT, "dtAdd "),
};

tagLOG* FD_Sct_Log(tagLOG** ppList, int* pCount, const char* pszFilter, long long* piMatched)
{
    if (ppList)
        *ppList = nullptr;
    if (pCount)
        *pCount = 0;
    ZDSql from;
    SqlAdd(from, "from t_log");
    if (!IsBlank(pszFilter))
        SqlAddRaw(from, " where %s", pszFilter);
    ZDSql sql;
    AddColumns(sql, ZD_TABLE(kLogRead));
    // The whole log, bounded: read newest first off the time index (its
    // entries are in (dtAdd, iOrdinal) order) rather than every row sorted,
    // which the server prefers to 5000 look-ups and which grows with the log.
    if (IsBlank(pszFilter) && piMatched)
        SqlAdd(sql, "from t_log force index (ix_log_time)");
    else
        SqlAddRaw(sql, "%s", from.text.c_str());
    SqlAdd(sql, " order by dtAdd desc, iOrdinal desc");
    if (piMatched)
        AddListLimit(sql);
    int n = 0;
    tagLOG* list = LoadList<tagLOG>(sql, ppList, &n, RowReader<tagLOG>(ZD_TABLE(kLogRead)));
    if (!list)
        return nullptr;
    if (pCount)
        *pCount = n;
    if (piMatched)
        *piMatched = ListMatched(n, from);
    return list;
}

int FD_Del_Log(int iOpEmp, const char* pszFilter, int iLogKey, int, long long* pnDeleted)
{
    if (pnDeleted)
        *pnDeleted = 0;
    long long deleted = 0;
    if (!CheckConnection())
        return 0;
    ZDSql where;
    if (iLogKey > 0)
        SqlAdd(where, " where iOrdinal = %d", iLogKey);
    else if (!IsBlank(pszFilter))
        SqlAddRaw(where, " where %s", pszFilter);
    // The count is read before the rows go; the row recording the deletion
    // is written after them, so no clear removes it.
    auto change = [&](ZDTxn& t, std::string& text) {
        ZDSql cnt;
        SqlAdd(cnt, "select count(*) from t_log");
        SqlAddRaw(cnt, "%s", where.text.c_str());
        long long n = TxnScalar(t, cnt);
        if (n < 0)
            return false;
        deleted = n;
        ZDSql del;
        SqlAdd(del, "delete from t_log");
        SqlAddRaw(del, "%s", where.text.c_str());
        // Nothing to delete: nothing happened, and the log says nothing.
        if (n == 0) {
            text.clear();
            return true;
        }
        text += ", " + std::to_string(n) + " 条";
        return TxnRun(t, del).ok != 0;
    };
    std::string text = iLogKey > 0 ? "删除日志: 序号 " + std::to_string(iLogKey)
                                   : std::string("清空日志: ") + (IsBlank(pszFilter) ? "全部" : pszFilter);
    int ok = AuditedChange(change, iOpEmp, ZT_LOG_OBJ_OPLOG, iLogKey > 0 ? iLogKey : 0,
                           iLogKey > 0 ? LOG_ACT_LOG_DELETE : LOG_ACT_LOG_CLEAR, text, {kAbnormalError, kFailCaption},
                           nullptr, TXN_REPEAT);
    if (ok == 1 && pnDeleted)
        *pnDeleted = deleted;
    return ok;
}

void Mem_Free_Log(tagLOG* pList)
{
    FreeBlock(pList);
}

// Whether a text is exactly 'YYYY-MM-DD' naming a calendar day.
static bool IsDayText(const char* p)
{
    if (strlen(p) != 10 || p[4] != '-' || p[7] != '-')
        return false;
    for (int i = 0; i < 10; i++)
        if (i != 4 && i != 7 && (p[i] < '0' || p[i] > '9'))
            return false;
    int y = atoi(p), m = atoi(p + 5), d = atoi(p + 8);
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return y >= 1000 && m >= 1 && m <= 12 && d >= 1 && d <= kDays[m - 1] + (m == 2 && leap ? 1 : 0);
}

char* FD_Log_DateFilter(char* pszBuf, int cbBuf, const char* pszFrom, const char* pszTo)
{
    if (!pszBuf || cbBuf <= 0)
        return nullptr;
    const char* from = pszFrom ? pszFrom : "";
    const char* to = pszTo ? pszTo : "";
    // A date that is none (a half character cut away would leave it empty,
    // and an empty bound selects every row on that side) bounds nothing:
    // the filter is refused rather than widened.
    bool ok = (!*from || IsDayText(from)) && (!*to || IsDayText(to));
    ZDSql sql;
    if (ok && *from)
        SqlAdd(sql, " dtAdd >= '%s'", from);
    if (ok && *to)
        SqlAdd(sql, " %s dtAdd <= '%s 23:59:59'", *from ? "and" : "", to);
    if (ok && sql.text.size() < (size_t)cbBuf) {
        memcpy(pszBuf, sql.text.c_str(), sql.text.size() + 1);
        return pszBuf;
    }
    // A shorter filter would select more rows, and a clear deletes what it
    // selects: the buffer gets a condition no row meets instead.
    // ("0" where "1 = 0" does not fit: only a buffer of one byte is left empty.)
    static const char kNoRow[] = "1 = 0";
    CopyField(pszBuf, (size_t)cbBuf, (size_t)cbBuf > strlen(kNoRow) ? kNoRow : "0");
    return nullptr;
}

// ---- Exports ---------------------------------------------------------------------------

int FD_Log_Export(int iOpEmp, int iObjType, int nRows, const char* pszList, const char* pszFormat, const char* pszFile)
{
    // The snapshot column holds 2048 characters; list and format are short,
    // a path at most some hundreds of bytes: the file name is cut to 1600.
    char list[64], format[16], file[1600];
    CopyField(list, pszList);
    CopyField(format, pszFormat);
    CopyField(file, pszFile);
    if (!CheckConnection())
        return 0;
    std::string text = std::string(list) + "@,@" + std::to_string(nRows) + "@,@" + format + "@,@" + file;
    // The row is the change: a lost answer is settled by looking for it.
    // The caller decides what the export then is (no box for a refusal).
    return AuditedChange([](ZDTxn&, std::string&) { return true; }, iOpEmp, iObjType, 0, ACT_EXPORT, text,
                         {nullptr, nullptr});
}

// ---- Test entries ---------------------------------------------------------------

void ZTData_TestWriteOpLog(int iOpEmp, int iObjType, int iObjID, int iAct)
{
    WriteOpLog(iOpEmp, iObjType, iObjID, iAct);
}

int ZTData_TestWriteRecycleEntry(int iOpEmp, int iObjID, int iObjType)
{
    if (!CheckConnection())
        return 0;
    ZDResult failure;
    int outcome = DbTransaction([&](ZDTxn& t) { return TxnRecycleEntry(t, iOpEmp, iObjID, iObjType); }, &failure,
                                TXN_REPEAT);
    return TxnOutcome(outcome, failure, {kRecycleFailed, kFailCaption});
}

// ---- Telephone views ---------------------------------------------------------------------------

int FD_View_Tel(int iOpEmp, int iObjType, int iObjID, int iMax, int* piCount)
{
    if (piCount)
        *piCount = -1;
    if ((iObjType != OBJ_HOUSE && iObjType != OBJ_CLIENT) || !CheckConnection())
        return TELVIEW_FAILED;
    const bool bLimited = iMax > 0 && iOpEmp != 1;
    long long count = -1;
    bool bRefused = false;
    ZDResult failure;
    int outcome = DbTransaction([&](ZDTxn& t) {
        count = -1;
        bRefused = false;
        // The day's rows of this employee and kind, locked with the range
        // they lie in: a second desk of his waits here until this one ends.
        ZDSql sql;
        SqlAdd(sql, "select count(*) from t_telview where iEmp = %d and dDay = curdate()", iOpEmp);
        SqlAdd(sql, " and iObjType = %d for update", iObjType);
        count = TxnScalar(t, sql);
        if (count < 0)
            return false;
        if (bLimited && count >= iMax) {
            bRefused = true;
            return false;
        }
        // Numbered within the day: two views given the same number (a
        // cluster's nodes) cannot both be stored.
        ZDSql ins;
        SqlAdd(ins, "insert into t_telview (iEmp, iObjType, iObjID, dDay, iSeq) values (%d, %d, %d, curdate(), %lld)",
               iOpEmp, iObjType, iObjID, count + 1);
        ZDResult r = TxnRun(t, ins);
        if (!r.ok || DbAffected(r) != 1)
            return false;
        return TxnLog(t, iOpEmp, iObjType, iObjID, LOG_ACT_TELVIEW);
    }, &failure, TXN_REPEAT);
    if (outcome == TXN_DONE) {
        if (piCount)
            *piCount = (int)(count + 1);
        return TELVIEW_ALLOWED;
    }
    if (outcome == TXN_UNDONE && bRefused) {
        if (piCount)
            *piCount = (int)count;
        return TELVIEW_REFUSED;
    }
    if (outcome != TXN_UNDONE || failure.errCode)
        WriteErrorRecord(failure);
    return outcome == TXN_UNKNOWN ? TELVIEW_UNKNOWN : TELVIEW_FAILED;
}
