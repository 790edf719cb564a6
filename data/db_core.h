// Internals of ZTData shared by every entity family: the connection check,
// statement composition, running statements under the library lock, the error
// record and failure box, copying result columns into fixed fields, record
// blocks, the operation log and the recycle-bin entry.
#pragma once
#include "data/mysql_api.h"
#include "data/connection.h"

#include <cstdarg>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// ---- Connection ----------------------------------------------------------

// Pings the server; on failure reconnects, prompting while reconnecting fails
// (one thread asks at a time; the others wait for its answer).  1 when the
// connection is alive, also after a reconnection; 0 otherwise (after "No",
// or asked again from inside its own prompt, a failure box "操作失败" has
// told the user that the operation was not done).
int CheckConnection();

// ---- Statement text ------------------------------------------------------

// A statement being composed.  It grows as needed: there is no fixed limit.
struct ZDSql {
    std::string text;
};

// Appends a fragment formatted printf-style.  Every %s argument is a text
// value and is escaped for the connection's character set (quotes,
// backslashes, NUL; multi-byte characters kept whole), so the fragment's
// own quotes enclose it safely.  %d, %u, %ld, %lld, %x, %c, %f and their
// widths/precisions ("%08d", "%.2f") format as usual.  A null %s is empty.
// A %s argument that is a fixed field (a char array, such as a record's
// text) is read up to its first NUL and never past its end, so a field
// filled to the brim takes nothing of the bytes after it.
template <class... A> void SqlAdd(ZDSql& sql, const char* fmt, const A&... args);
// As SqlAdd but %s arguments are inserted verbatim: only for texts that are
// already SQL (filter expressions composed by the program, table names).
template <class... A> void SqlAddRaw(ZDSql& sql, const char* fmt, const A&... args);

// Escapes one text value for the connection's character set (no quotes
// added).  Without a live connection the text is escaped exactly as the
// client library escapes it for a GBK connection: a double-byte character
// (lead byte 0x81..0xFE, trail byte 0x40..0x7E or 0x80..0xFE) is kept
// whole, so a trail byte 0x5C is not doubled; a lead byte without such a
// trail is escaped with a backslash, so it cannot take the closing quote as
// its trail.
std::string SqlEscape(const char* value);
// The text escaped and enclosed in single quotes: a complete SQL literal.
std::string SqlQuote(const char* value);
// The LIKE literal that matches texts containing / starting with / ending
// with / equal to the value (iMatch: FD_LIKE_*), whose "%", "_" and "\"
// match themselves.  Empty for an unknown iMatch.
std::string SqlQuoteLike(const char* value, int iMatch);
namespace zd_sql {
// The argument forms of SqlAdd: a char array becomes its bounded text, every
// other argument passes as it is.
template <size_t N> inline std::string Arg(const char (&f)[N]) { return std::string(f, strnlen(f, N)); }
template <class T> inline const T& Arg(const T& v) { return v; }
inline const char* Pass(const std::string& s) { return s.c_str(); }
template <class T> inline const T& Pass(const T& v) { return v; }
void Add(ZDSql& sql, bool bEscape, const char* fmt, ...);
} // namespace zd_sql

template <class... A> void SqlAdd(ZDSql& sql, const char* fmt, const A&... args)
{
    zd_sql::Add(sql, true, fmt, zd_sql::Pass(zd_sql::Arg(args))...);
}
template <class... A> void SqlAddRaw(ZDSql& sql, const char* fmt, const A&... args)
{
    zd_sql::Add(sql, false, fmt, zd_sql::Pass(zd_sql::Arg(args))...);
}

// ---- Running statements --------------------------------------------------

// What one statement of a call produced.
struct ZDStmt {
    std::shared_ptr<MYSQL_RES> rows;  // stored result set, or null
    long long affected = 0;           // matched rows of an UPDATE (found-rows)
    unsigned long long insertId = 0;
};

// The outcome of one call (one statement or a ";"-separated batch), read
// entirely while the library lock is held.  Stored results stay valid after.
struct ZDResult {
    int ok = 0;                   // 1: the server accepted every statement
    unsigned int errCode = 0;     // the server's error, when ok is 0
    std::string errText;
    std::vector<ZDStmt> stmts;    // in statement order, up to the failing one
};

// Runs a statement (or batch) on the connection under the library lock and
// reads every result of it.  No connection check.
ZDResult DbRun(const std::string& sql);
inline ZDResult DbRun(const ZDSql& sql) { return DbRun(sql.text); }

// The first result set of a call (null if none).
MYSQL_RES* DbRows(const ZDResult& r, size_t stmt = 0);
// Hands a stored result set of the call to the caller, who frees it with
// mysql_free_result (for exports that return raw result sets); null if none.
MYSQL_RES* DbTakeRows(ZDResult& r, size_t stmt = 0);
// Affected (matched) rows of a statement of the call; -1 if it did not run.
long long DbAffected(const ZDResult& r, size_t stmt = 0);
// Runs "select count(*) ..." style statements: the first column of the first
// row as an integer; -1 on a server error (the error record is written).
long long DbScalar(const std::string& sql);

// ---- Error record and failure box ----------------------------------------

// Appends "errlog.log" with the call's server error and notifies the owner.
void WriteErrorRecord(const ZDResult& r);
// Appends "errlog.log" with the connection's current error.
void WriteErrorRecord();
// Message box with no owner, the text, caption "操作失败" and OK; with bRecord
// the error record is written first.
void ShowFailure(const char* pszText, int bRecord, const ZDResult* r = nullptr);
// Any other box of the library (text, caption, flags): the seam.
int DbBox(const char* pszText, const char* pszCaption, UINT uFlags = MB_OK);

// ---- Reading rows into records --------------------------------------------

struct ZDRow {
    MYSQL_ROW cols = nullptr;
    unsigned long* lengths = nullptr;
    unsigned int count = 0;
};

// Fetches the next row of a stored result; false at the end.
bool DbNextRow(MYSQL_RES* res, ZDRow& row);

// Copies a text of len bytes into a fixed field of cb bytes, NUL-terminated,
// cut at cb - 1 bytes without splitting a GBK double-byte character.  A null
// text gives an empty field.
void CopyField(char* dst, size_t cb, const char* src, size_t len);
inline void CopyField(char* dst, size_t cb, const char* src)
{
    CopyField(dst, cb, src, src ? strlen(src) : 0);
}
template <size_t N> inline void CopyField(char (&dst)[N], const char* src) { CopyField(dst, N, src); }
// The text of a fixed field: up to its first NUL, never past the field.
template <size_t N> inline std::string FieldText(const char (&f)[N]) { return std::string(f, strnlen(f, N)); }

// Column i of a row: text into a fixed field, integer (NULL 0), double (NULL 0).
void GetText(const ZDRow& row, unsigned int i, char* dst, size_t cb);
template <size_t N> inline void GetText(const ZDRow& row, unsigned int i, char (&dst)[N]) { GetText(row, i, dst, N); }
// A date or date-time column as text; a zero date ("0000-00-00", which the
// server stores for an empty date text) reads as empty, like NULL.
void GetDate(const ZDRow& row, unsigned int i, char* dst, size_t cb);
template <size_t N> inline void GetDate(const ZDRow& row, unsigned int i, char (&dst)[N]) { GetDate(row, i, dst, N); }
int GetInt(const ZDRow& row, unsigned int i);
double GetDouble(const ZDRow& row, unsigned int i);
bool IsNull(const ZDRow& row, unsigned int i);

// ---- Record blocks ----------------------------------------------------------

// Number of zero-filled spare records after the rows of a list.
enum { ZD_SPARE_RECORDS = 101 };

// One zeroed allocation of count records of size cb (count may be 0: then a
// minimal block that still frees cleanly).  Released only with FreeBlock.
void* AllocBlock(size_t count, size_t cb);
// The same allocation left as it was: *pZeroed says whether it is zeroed
// (new pages) or holds what a released block held (the caller zeroes it).
void* AllocBlockDirty(size_t count, size_t cb, bool* pZeroed);
void FreeBlock(void* p);
template <class T> inline T* AllocRecords(size_t count)
{
    return static_cast<T*>(AllocBlock(count, sizeof(T)));
}

// ---- Loading lists ------------------------------------------------------------
// Every list export loads its rows the same way: connection check, statement,
// error record, a block of the rows plus the spares, each row filled, the
// block and its count handed over.  The count is always the rows actually
// filled: a result that yields fewer rows than it counted (a short read)
// gives a shorter list, never a list with unfilled records inside its count.

// Runs a list statement (or batch) after the connection check.  False with
// no connection or when the server rejected it (the rejection is written to
// the error record unless bRecordError is false).
bool RunList(const ZDSql& sql, ZDResult& r, bool bRecordError = true);

// A new block of the rows of res plus nSpare zeroed records, row i filled by
// fill(record, row); *pCount (when given) gets the rows filled.  Null when
// the block cannot be had (*pCount untouched).
// Each record is zeroed just before it is filled, while it is in the cache,
// rather than the whole block first: a 5000-house block is 9 MB.
template <class T, class F> T* FillBlock(MYSQL_RES* res, size_t nSpare, int* pCount, F fill)
{
    size_t n = res ? (size_t)mysql_num_rows(res) : 0;
    bool zeroed = false;
    T* p = static_cast<T*>(AllocBlockDirty(n + nSpare, sizeof(T), &zeroed));
    if (!p)
        return nullptr;
    ZDRow row;
    size_t i = 0;
    while (i < n && DbNextRow(res, row)) {
        if (!zeroed)
            memset(static_cast<void*>(&p[i]), 0, sizeof(T));
        fill(p[i++], row);
    }
    if (!zeroed)
        memset(static_cast<void*>(&p[i]), 0, (n + nSpare - i) * sizeof(T));
    if (pCount)
        *pCount = (int)i;
    return p;
}

// The whole list: RunList, then FillBlock of the first result with the
// spare records; the block is also stored through ppOut.  Null on failure
// (ppOut and pCount untouched).
template <class T, class F>
T* LoadList(const ZDSql& sql, T** ppOut, int* pCount, F fill, bool bRecordError = true)
{
    ZDResult r;
    if (!RunList(sql, r, bRecordError))
        return nullptr;
    T* p = FillBlock<T>(DbRows(r), ZD_SPARE_RECORDS, pCount, fill);
    if (p && ppOut)
        *ppOut = p;
    return p;
}

// ---- Bounded lists ------------------------------------------------------------
// A list that may hold more rows than a window can show reads the newest
// ZD_LIST_ROWS of its filter (its statement ordered newest first, then
// AddListLimit), and says how many the filter matches with ListMatched.

enum { ZD_LIST_ROWS = ZT_LIST_ROWS };
// Appends " limit 0, 5000".
void AddListLimit(ZDSql& sql);
// The rows a bounded list's filter matches, after it read nRows: nRows when
// it read fewer than the limit, else "select count(*) " + fromWhere (the
// list statement's "from ... where ..." without its order); -1 when that
// count failed (the error record is written).
long long ListMatched(int nRows, const ZDSql& fromWhere);

// ---- Outcome of a change ---------------------------------------------------------

// A message box: its text (null: no box) and caption.
struct ZDBox {
    const char* text;
    const char* caption;
};
// The caption of the library's failure boxes, "操作失败".
extern const char kFailCaption[];

// What a change's result means to its caller: 0 when the server rejected it
// (the error record is written, then onError is shown) or, when onNoRow has
// a text, when it touched no row (onNoRow is shown); 1 otherwise.
int ChangeOutcome(const ZDResult& r, ZDBox onError = {nullptr, nullptr}, ZDBox onNoRow = {nullptr, nullptr});

// After a committed update of a listing: its dtUpdate read back into dst
// ("select dtUpdate from TABLE where iOrdinal =KEY"), when exactly one row
// comes back.  A server error is only recorded: the change stands.
void ReadUpdateTime(const char* pszTable, int iKey, char* dst, size_t cb);

// ---- Transactions ----------------------------------------------------------
// A change that takes several statements (insert and update, change and log
// row, soft delete and recycle-bin entry) runs as one transaction: the
// database holds all of it or none of it.  The library lock is held from the
// start to the commit, so no statement of another thread lands inside it.
// The session's autocommit is never switched: "start transaction" opens the
// transaction and commit or rollback ends it.  A lost connection ends it on
// the server (rolled back); none of its statements is ever sent again on a
// new connection.  Nothing inside shows a box or writes the error record
// (that would wait on other threads while holding the lock): the caller
// reports the outcome after it.

struct ZDTxn {
    MYSQL* conn = nullptr;        // the connection it runs on
    unsigned long session = 0;    // the server session it began in
    bool failed = false;          // a statement failed: only a rollback is left
    ZDResult error;               // that statement's error
};

// What became of a transaction.
// The server's answer to a row that a unique key already holds (two desks
// storing the same room at the same moment: the later is refused).
enum { ZD_ER_DUP_ENTRY = 1062 };

enum ZD_TXN_OUTCOME {
    TXN_DONE = 1,      // committed
    TXN_UNDONE = 0,    // the change declined (a guard touched no row): rolled back
    TXN_FAILED = -1,   // a statement failed or the connection was lost: nothing stored
    TXN_UNKNOWN = -2,  // the connection was lost during the commit itself: stored or not
    TXN_CONFLICT = -3  // refused because another session changed the same rows at
                       // the same moment (on a cluster: another node): nothing stored
};

// Whether a transaction refused for a conflict runs again.  A cluster such
// as Galera lets every node take changes and refuses the later of two that
// touch the same rows at its commit ("deadlock", 1213); a single server
// refuses one of two that wait for each other the same way, and gives up
// a lock waited for too long (1205).  Either way nothing of it was stored.
enum ZD_TXN_REPEAT {
    // Reported, never run again: the change writes values the user saw and
    // edited in a form; the other change may have altered them, and
    // repeating would silently overwrite it.
    TXN_ONCE = 0,
    // Run again from its start, up to ZD_TXN_ATTEMPTS times in all: the
    // change adds new rows, or its statements compute from what the tables
    // hold when they run (guards, counts, moves), so running it again does
    // exactly what was asked.  The body must set every output of its own
    // anew on each run.
    TXN_REPEAT = 1
};
enum { ZD_TXN_ATTEMPTS = 4 };

// Whether a failed statement's error is such a conflict.
bool TxnIsConflict(const ZDResult& failure);
// Before another attempt: a short pause that grows with the attempt, so the
// change that won gets ahead; counted as a conflict run again.
void TxnBeforeRepeat(int iAttempt);
// A conflict reported to the caller (counted).
void TxnConflictReported();

// Runs a statement (or batch) inside the transaction.  After a failure no
// further statement is sent: the result is the first failure again.  A
// statement that would run on another connection or server session than the
// one the transaction began in is not sent (it fails as a lost connection).
ZDResult TxnRun(ZDTxn& t, const std::string& sql);
inline ZDResult TxnRun(ZDTxn& t, const ZDSql& sql) { return TxnRun(t, sql.text); }
// A "select count(*) ..." inside the transaction: the first column of the
// first row, -1 when it failed.
long long TxnScalar(ZDTxn& t, const ZDSql& sql);
// The operation-log row of a change, inside its transaction: true when it
// was written (or the object type has no log rows).
bool TxnLog(ZDTxn& t, int iOpEmp, int iObjType, int iObjID, int iAct);
// The recycle-bin entry of a soft deletion, inside its transaction: true when
// the entry was written with a key.
bool TxnRecycleEntry(ZDTxn& t, int iOpEmp, int iObjID, int iObjType);

// Inside a transaction: the insert of a new row's first columns, then the
// update that fill(key, sql) composes for the rest of it (it must match the
// new row), then the new row's log row (action 3).  The new key, or 0 when
// any of them failed.
int TxnInsertRow(ZDTxn& t, const ZDSql& ins, int iOpEmp, int iObjType, const std::function<void(int, ZDSql&)>& fill);

bool TxnBegin(ZDTxn& t);   // takes the library lock (always) and starts
int TxnEnd(ZDTxn& t, bool bCommit, ZDResult* pFailure);   // commits or rolls back, releases the lock

// Runs body(ZDTxn&) as one transaction: committed when body returns true and
// every statement succeeded, else rolled back.  Returns a ZD_TXN_OUTCOME; the
// failing statement's error goes to *pFailure.  A conflict runs the body
// again when iRepeat is TXN_REPEAT (a fresh transaction on the same
// connection), and ends in TXN_CONFLICT when it is TXN_ONCE or the attempts
// are spent.  Run the connection check before it: a reconnection prompt
// must never wait inside the lock.
template <class F> int DbTransaction(F body, ZDResult* pFailure = nullptr, int iRepeat = TXN_ONCE)
{
    ZDResult failure;
    for (int attempt = 1;; ++attempt) {
        failure = ZDResult();
        ZDTxn t;
        bool bCommit = TxnBegin(t) && body(t);
        int outcome = TxnEnd(t, bCommit, &failure);
        if (pFailure && outcome != TXN_DONE)
            *pFailure = failure;
        if (outcome != TXN_FAILED || !TxnIsConflict(failure))
            return outcome;
        if (iRepeat != TXN_REPEAT || attempt >= ZD_TXN_ATTEMPTS) {
            TxnConflictReported();
            return TXN_CONFLICT;
        }
        TxnBeforeRepeat(attempt);
    }
}

// Runs a statement or a ";"-separated batch as one transaction: every
// statement stored, or none.  For changes that compute from what the
// tables hold (moves, restores, purges, removals): a conflict runs it again
// (TXN_REPEAT).  1 when stored; otherwise 0 after TxnOutcome's report with
// onError.  *pResult (when given) gets the batch's results.
int AtomicChange(const ZDSql& sql, ZDBox onError, ZDResult* pResult = nullptr);
// Tells the user about a transaction that did not commit: TXN_FAILED writes
// the error record and shows onError (no box when its text is null);
// TXN_UNKNOWN writes the error record and says the outcome is unknown;
// TXN_CONFLICT writes the error record and, when onError has a text, says
// that another user changed the same data (with onError's caption, or
// "操作失败"); TXN_UNDONE shows onError.  Returns 1 for TXN_DONE, else 0.
int TxnOutcome(int iOutcome, const ZDResult& failure, ZDBox onError);
// The text of the box for a commit whose answer was lost.
extern const char kOutcomeUnknown[];
// The text of the box for a change refused for another user's change.
extern const char kConcurrentChange[];

// ---- Operation log and recycle bin ------------------------------------------

enum ZD_OBJ_TYPE {
    OBJ_HOUSE = 0, OBJ_CLIENT = 1, OBJ_ESTATE = 2, OBJ_BRANCH = 3, OBJ_EMPLOYEE = 4,
    OBJ_POSITION = 5, OBJ_URBAN = 6, OBJ_HOUSE_FOLLOW = 7, OBJ_CLIENT_FOLLOW = 8,
    OBJ_BUILDNO = 9, OBJ_PARAM = 10, OBJ_DISTRICT = 11, OBJ_LOGIN = 12,
    OBJ_HOUSE_REMIND = 13, OBJ_CLIENT_REMIND = 14
};
enum ZD_LOG_ACT { ACT_DELETE = 1, ACT_MODIFY = 2, ACT_ADD = 3, ACT_LOGIN = 4, ACT_PASSWORD = 8, ACT_EXPORT = 9 };

// Table of an object type ("t_house", ...), or null for the log-only types.
const char* ObjTypeTable(int iObjType);
// Appends the statement (ending in ";") that writes one t_log row whose
// snapshot the server takes from the object's row.  False, and nothing
// appended, for the types that have no log rows (districts, reminders).
bool AddOpLog(ZDSql& sql, int iOpEmp, int iObjType, int iObjID, int iAct);
// Appends the statement (ending in ";") of one log row that records what
// the text says (an audit row: a grant, a merge, an options save, a log
// clear): the text escaped and cut, on whole characters, to 2000 bytes
// (the log window shows the first 1023).
void AddAuditLog(ZDSql& sql, int iOpEmp, int iObjType, int iObjID, int iAct, const std::string& text);
// The same row inside a transaction: true when it was written.
bool TxnAudit(ZDTxn& t, int iOpEmp, int iObjType, int iObjID, int iAct, const std::string& text);
// Runs change(t, text) and then its audit row (as TxnAudit, with the text
// as change left it: it may add what it counted, or empty it when it found
// nothing to change, and then no row is written) as one transaction
// (TXN_ONCE, or iRepeat for a change that computes from what the tables hold).  A commit whose answer was lost is settled by looking for the
// audit row once the connection is back: found, the change was stored (1,
// no box); not found, "… 没有保存" is shown (0); when even that cannot be
// read, the unknown outcome is said.  Otherwise as TxnOutcome with onError;
// *pOutcome (when given) gets the transaction's outcome (TXN_UNDONE when
// change returned false without a failed statement; TXN_UNKNOWN also when
// the read-back settled it: the user has then been told unless it returned 1).
int AuditedChange(const std::function<bool(ZDTxn&, std::string&)>& change, int iOpEmp, int iObjType, int iObjID,
                  int iAct, const std::string& text, ZDBox onError, int* pOutcome = nullptr,
                  int iRepeat = TXN_ONCE);
// The box of a change found not stored after its commit's answer was lost.
extern const char kOutcomeNotSaved[];
// Appends the statement (ending in ";") of one recycle-bin entry.
void AddRecycleEntry(ZDSql& sql, int iOpEmp, int iObjID, int iObjType);
// Writes one t_log row on its own, for what is not part of a change (a
// login, an attempt that was refused or failed).  No connection check; the
// outcome is ignored.
void WriteOpLog(int iOpEmp, int iObjType, int iObjID, int iAct);
// Runs one change statement and its log row (object, action) as one
// transaction, never run again after a conflict (TXN_ONCE: it writes a
// form's values).  1 when both are stored.  Otherwise 0, nothing stored, and
// the user told: a rejected statement or a lost connection writes the error
// record and shows onError (none when its text is null); a change that
// touched no row, when onNoRow has a text, shows onNoRow (without a text
// such a change is stored and logged like any other); a commit whose answer
// was lost says that its outcome is unknown.  *pChange (when given) gets the
// change statement's result.
int LoggedChange(int iOpEmp, const ZDSql& sql, int iObjType, int iKey, int iAct, ZDBox onError,
                 ZDBox onNoRow = {nullptr, nullptr}, ZDResult* pChange = nullptr);
// A form's change of one row guarded by the version the form loaded: as
// LoggedChange, but first the row (live, bRecyle 0) is read and locked in
// the transaction.  When it is gone, onNoRow is shown; when its iVersion is
// not iVersion, another desk saved it since: nothing is stored and
// kConcurrentChange is shown with what the other desk changed (describe,
// called inside the transaction, names it; "" names nothing).  The change
// itself must raise iVersion and still touch the row: when it touches none
// (a duplicate rule of its own), onNoRow is shown.
//
// opts (the defaults are a table with a recycle-bin mark and a logged
// change): a table without the mark locks the row by its key alone; bLog
// false writes no log row; then (when given) runs after the change and its
// log row, in the same transaction (false: nothing is stored);
// pChange receives the change statement's result; with iAgent (not 0) the
// change gives the row to that employee: he must still be there
// (TxnTouchAgent), or kAgentGone is shown and nothing stored.  With onNoRow without a
// text, a row gone or a change that touches no row is no failure: nothing
// is stored, no box is shown and -1 is returned (the caller says it).
struct ZDVersionOpts {
    bool bRecyleMark = true;
    bool bLog = true;
    std::function<bool(ZDTxn&)> then;
    ZDResult* pChange = nullptr;
    int iAgent = 0;
};
int VersionedChange(int iOpEmp, const ZDSql& sql, int iObjType, int iKey, const char* pszTable, int iVersion,
                    const std::function<std::string(ZDTxn&)>& describe, ZDBox onError, ZDBox onNoRow,
                    const ZDVersionOpts& opts = ZDVersionOpts());
// The refusal of a save whose form loaded an older version: kConcurrentChange
// and, when changed is not empty, "\n\n其他用户修改了: " changed ("修改失败").
void ShowVersionConflict(const std::string& changed);
// Marks, inside a transaction that gives an employee a house, a client or
// another's work, that employee's row: the change and a deletion of him
// then write the same row and cannot both pass.  1 when he is there (not in
// the recycle bin), 0 when he is not, -1 when the statement failed.
int TxnTouchAgent(ZDTxn& t, int iEmp);
// Said when the employee a change gives work to has been deleted meanwhile.
extern const char kAgentGone[];
// Runs an insert and the new row's log row (iAct, normally ACT_ADD) as one
// transaction (TXN_REPEAT): the new key, or 0 when nothing was stored (the
// user told as by LoggedChange with onError; an insert that gave no key
// counts as failed).
int LoggedInsert(int iOpEmp, const ZDSql& sql, int iObjType, ZDBox onError, int iAct = ACT_ADD);
// Runs a guarded soft delete (bRecyle = 1 behind an in-use count), its
// recycle-bin entry and its log row (action 1) as one transaction
// (TXN_REPEAT: the count is made again): the object is deleted, indexed and
// logged, or none of it.  1 when stored.
// Otherwise 0 and nothing deleted: the soft delete rejected (or the
// connection lost there) shows "异常错误,错误原因查看错误日志文件." after the
// error record; a refusal (no row matched) shows pszRefused (no box when it
// is null); an entry that could not be written shows "写入回收站失败,
// 数据未删除" after the error record; a log row that could not be written
// the generic text again; all captioned "操作失败"; a commit whose answer was
// lost says that its outcome is unknown.  An attempt that did not delete is
// still logged on its own, as every attempt is.  A refusal returns
// iRefusedResult (1 where an object that is gone needs no deleting).
int SoftDelete(int iOpEmp, const ZDSql& sql, int iObjType, int iKey, const char* pszRefused, int iRefusedResult = 0);
// The text of the generic failure box.
extern const char kAbnormalError[];
// The text of a deletion whose recycle-bin entry could not be written.
extern const char kRecycleFailed[];
