// Statement composition, execution under the library lock, error record,
// failure box, field copying and record blocks.
#include "data/db_core.h"
#include "data/db_state.h"
#include "data/errlog.h"
#include "common/gbk.h"

#include <cstdio>
#include <cstdlib>

// ---- Statement text ------------------------------------------------------

// The client library's escaping for a GBK connection, byte for byte.
static void EscapeGbk(std::string& out, const char* s, size_t len)
{
    for (size_t i = 0; i < len; ++i) {
        unsigned char c = (unsigned char)s[i];
        if (Gbk_IsLead(c) && i + 1 < len && Gbk_IsTrail((unsigned char)s[i + 1])) {
            out.append(s + i, 2);
            ++i;
            continue;
        }
        char esc = '\0';
        if (Gbk_IsLead(c)) {
            esc = (char)c;  // half a character
        } else {
            switch (c) {
            case '\0': esc = '0'; break;
            case '\n': esc = 'n'; break;
            case '\r': esc = 'r'; break;
            case '\x1a': esc = 'Z'; break;
            case '\'': case '"': case '\\': esc = (char)c; break;
            default: break;
            }
        }
        if (esc) {
            out += '\\';
            out += esc;
        } else {
            out += (char)c;
        }
    }
}

// Whether the connection is GBK (the program's connections always are):
// then escaping needs neither the connection nor its lock.  Read without
// the lock: the settings do not change after MYSQL_Init.
static bool ConnectionIsGbk()
{
    const tagZT_SQL_MATION* m = g_db.mation;
    return !m || lstrcmpiA(m->szCharset, "gbk") == 0;
}

std::string SqlEscape(const char* value)
{
    std::string out;
    if (!value)
        return out;
    size_t len = strlen(value);
    if (ConnectionIsGbk()) {
        // The client library's own escaping, without waiting for a
        // statement another thread runs under the lock.
        out.reserve(len + len / 8 + 2);
        EscapeGbk(out, value, len);
        return out;
    }
    DbLock();
    if (g_db.conn) {
        out.resize(len * 2 + 1);
        unsigned long n = mysql_real_escape_string(g_db.conn, &out[0], value, (unsigned long)len);
        DbUnlock();
        out.resize(n);
        return out;
    }
    DbUnlock();
    // No connection to ask.
    out.reserve(len + len / 8 + 2);
    EscapeGbk(out, value, len);
    return out;
}

static void FormatInto(std::string& out, const char* fmt, va_list ap, bool bEscape)
{
    char buf[512];
    for (const char* p = fmt; *p;) {
        if (*p != '%') {
            const char* q = strchr(p, '%');
            size_t n = q ? (size_t)(q - p) : strlen(p);
            out.append(p, n);
            p += n;
            continue;
        }
        if (p[1] == '%') {
            out += '%';
            p += 2;
            continue;
        }
        // Collect one conversion: flags, width, precision, length, type.
        const char* start = p++;
        while (*p && strchr("-+ #0", *p))
            ++p;
        while (*p >= '0' && *p <= '9')
            ++p;
        if (*p == '.') {
            ++p;
            while (*p >= '0' && *p <= '9')
                ++p;
        }
        int longs = 0;
        while (*p == 'l' || *p == 'h' || *p == 'z') {
            if (*p == 'l')
                ++longs;
            if (*p == 'z')
                longs = 2;
            ++p;
        }
        char conv = *p ? *p++ : 's';
        std::string piece(start, p);
        int n = 0;
        switch (conv) {
        case 'd': case 'i':
            if (longs >= 2)
                n = snprintf(buf, sizeof buf, piece.c_str(), va_arg(ap, long long));
            else if (longs == 1)
                n = snprintf(buf, sizeof buf, piece.c_str(), va_arg(ap, long));
            else
                n = snprintf(buf, sizeof buf, piece.c_str(), va_arg(ap, int));
            break;
        case 'u': case 'x': case 'X': case 'o':
            if (longs >= 2)
                n = snprintf(buf, sizeof buf, piece.c_str(), va_arg(ap, unsigned long long));
            else if (longs == 1)
                n = snprintf(buf, sizeof buf, piece.c_str(), va_arg(ap, unsigned long));
            else
                n = snprintf(buf, sizeof buf, piece.c_str(), va_arg(ap, unsigned int));
            break;
        case 'f': case 'F': case 'e': case 'E': case 'g': case 'G':
            n = snprintf(buf, sizeof buf, piece.c_str(), va_arg(ap, double));
            break;
        case 'c':
            n = snprintf(buf, sizeof buf, piece.c_str(), va_arg(ap, int));
            break;
        case 's': {
            const char* s = va_arg(ap, const char*);
            if (!s)
                s = "";
            if (piece == "%s") {
                if (bEscape)
                    out += SqlEscape(s);
                else
                    out += s;
                continue;
            }
            std::string v = bEscape ? SqlEscape(s) : std::string(s);
            int m = snprintf(nullptr, 0, piece.c_str(), v.c_str());
            std::string tmp((size_t)m + 1, '\0');
            snprintf(&tmp[0], tmp.size(), piece.c_str(), v.c_str());
            tmp.resize((size_t)m);
            out += tmp;
            continue;
        }
        default:
            out += piece;
            continue;
        }
        if (n > 0)
            out.append(buf, (size_t)n < sizeof buf ? (size_t)n : sizeof buf - 1);
    }
}

void zd_sql::Add(ZDSql& sql, bool bEscape, const char* fmt, ...)
{
    va_list ap;
    va_start(ap, fmt);
    FormatInto(sql.text, fmt, ap, bEscape);
    va_end(ap);
}

// ---- Running statements --------------------------------------------------

// A cluster node that has left the cluster's primary component answers
// every statement with this error.
enum { ER_NODE_NOT_READY = 1047 };

static void CaptureError(ZDResult& r, MYSQL* conn)
{
    r.ok = 0;
    r.errCode = conn ? mysql_errno(conn) : 2006;
    r.errText = conn ? mysql_error(conn) : "MySQL server has gone away";
    if (r.errCode == 0) {
        r.errCode = 2006;
        r.errText = "MySQL server has gone away";
    }
    // The next connection check leaves it: for another server of the list,
    // or to find it still outside the primary component and say so.
    if (r.errCode == ER_NODE_NOT_READY && g_db.mation)
        InterlockedExchange(&g_db.stale, 1);
}

// Frees a stored result unless it was handed over with DbTakeRows.
struct ZDResFree {
    bool bKeep = false;
    void operator()(MYSQL_RES* p) const
    {
        if (p && !bKeep)
            mysql_free_result(p);
    }
};

ZDResult DbRun(const std::string& sql)
{
    ZDResult r;
    DbLock();
    MYSQL* conn = g_db.conn;
    if (!conn || mysql_real_query(conn, sql.data(), (unsigned long)sql.size()) != 0) {
        CaptureError(r, conn);
        DbUnlock();
        return r;
    }
    r.ok = 1;
    for (;;) {
        ZDStmt st;
        MYSQL_RES* res = mysql_store_result(conn);
        if (res) {
            st.rows.reset(res, ZDResFree());
            st.affected = (long long)mysql_num_rows(res);
        } else if (mysql_field_count(conn) != 0) {
            CaptureError(r, conn);
            break;
        } else {
            st.affected = (long long)mysql_affected_rows(conn);
            st.insertId = mysql_insert_id(conn);
        }
        r.stmts.push_back(st);
        int next = mysql_next_result(conn);
        if (next == -1)
            break;
        if (next > 0) {
            // A later statement of the batch failed; the rest did not run.
            CaptureError(r, conn);
            break;
        }
    }
    DbUnlock();
    return r;
}

MYSQL_RES* DbRows(const ZDResult& r, size_t stmt)
{
    for (size_t i = 0, k = 0; i < r.stmts.size(); ++i) {
        if (!r.stmts[i].rows)
            continue;
        if (k++ == stmt)
            return r.stmts[i].rows.get();
    }
    return nullptr;
}

MYSQL_RES* DbTakeRows(ZDResult& r, size_t stmt)
{
    for (size_t i = 0, k = 0; i < r.stmts.size(); ++i) {
        std::shared_ptr<MYSQL_RES>& rows = r.stmts[i].rows;
        if (!rows)
            continue;
        if (k++ != stmt)
            continue;
        if (rows.use_count() != 1)
            return nullptr;  // still shared: it cannot be handed over
        ZDResFree* d = std::get_deleter<ZDResFree>(rows);
        if (!d)
            return nullptr;
        d->bKeep = true;
        MYSQL_RES* res = rows.get();
        rows.reset();
        return res;
    }
    return nullptr;
}

long long DbAffected(const ZDResult& r, size_t stmt)
{
    return stmt < r.stmts.size() ? r.stmts[stmt].affected : -1;
}

long long DbScalar(const std::string& sql)
{
    ZDResult r = DbRun(sql);
    if (!r.ok) {
        WriteErrorRecord(r);
        return -1;
    }
    ZDRow row;
    MYSQL_RES* res = DbRows(r);
    if (!res || !DbNextRow(res, row))
        return 0;
    return row.cols[0] ? strtoll(row.cols[0], nullptr, 10) : 0;
}

// ---- Error record and failure box ----------------------------------------

// The calling thread's last error-log entry (ZTData_LastError).
struct ZDLastError {
    long serial;
    unsigned int code;
    char text[512];
};
static thread_local ZDLastError t_lastError;

static void NoteLastError(unsigned int code, const std::string& text)
{
    t_lastError.serial++;
    t_lastError.code = code;
    CopyField(t_lastError.text, sizeof t_lastError.text, text.c_str(), text.size());
}

long ZTData_LastError(unsigned int* pCode, char* psz, size_t cb)
{
    if (pCode)
        *pCode = t_lastError.code;
    if (psz && cb)
        CopyField(psz, cb, t_lastError.text);
    return t_lastError.serial;
}

long ZTData_BoxesShown()
{
    return ZT_BoxesShown();
}

static void AppendErrorLog(unsigned int code, const std::string& text)
{
    NoteLastError(code, text);
    SYSTEMTIME t;
    GetLocalTime(&t);
    char head[160];
    snprintf(head, sizeof head, "%04d-%02d-%02d %02d:%02d:%02d\t错误码:%6d\t错误说明:",
             t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, (int)code);
    std::string entry = std::string(head) + text;
    std::string line = entry + "\r\n";
    // When the file cannot be opened the entry is lost and the caller goes on.
    HANDLE h = ErrorLog_Open();
    if (h != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(h, line.data(), (DWORD)line.size(), &written, nullptr);
        CloseHandle(h);
    }
    tagZT_SQL_MATION* m = g_db.mation;
    if (m && m->hOwner && IsWindow(m->hOwner))
        SendMessageA(m->hOwner, WM_DB_ERROR, 1, (LPARAM)entry.c_str());
}

void ZTData_LogNotice(const char* pszText)
{
    SYSTEMTIME t;
    GetLocalTime(&t);
    char head[64];
    snprintf(head, sizeof head, "%04d-%02d-%02d %02d:%02d:%02d\t提示:", t.wYear, t.wMonth, t.wDay, t.wHour,
             t.wMinute, t.wSecond);
    std::string line = std::string(head) + (pszText ? pszText : "") + "\r\n";
    HANDLE h = ErrorLog_Open();
    if (h != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(h, line.data(), (DWORD)line.size(), &written, nullptr);
        CloseHandle(h);
    }
}

void WriteErrorRecord(const ZDResult& r)
{
    AppendErrorLog(r.errCode, r.errText);
}

void WriteErrorRecord()
{
    unsigned int code = 0;
    std::string text;
    ConnectionError(&code, &text);
    AppendErrorLog(code, text);
}

int DbBox(const char* pszText, const char* pszCaption, UINT uFlags)
{
    return ZT_MessageBox(nullptr, pszText, pszCaption, uFlags);
}

void ShowFailure(const char* pszText, int bRecord, const ZDResult* r)
{
    if (bRecord) {
        if (r)
            WriteErrorRecord(*r);
        else
            WriteErrorRecord();
    }
    DbBox(pszText, kFailCaption, MB_OK);
}

const char kFailCaption[] = "操作失败";

int ChangeOutcome(const ZDResult& r, ZDBox onError, ZDBox onNoRow)
{
    if (!r.ok) {
        WriteErrorRecord(r);
        if (onError.text)
            DbBox(onError.text, onError.caption, MB_OK);
        return 0;
    }
    if (onNoRow.text && DbAffected(r) <= 0) {
        DbBox(onNoRow.text, onNoRow.caption, MB_OK);
        return 0;
    }
    return 1;
}

void ReadUpdateTime(const char* pszTable, int iKey, char* dst, size_t cb)
{
    ZDSql back;
    SqlAdd(back, "select dtUpdate from ");
    SqlAddRaw(back, "%s", pszTable);
    SqlAdd(back, " where iOrdinal =%d", iKey);
    ZDResult t = DbRun(back);
    if (!t.ok) {
        WriteErrorRecord(t);
        return;
    }
    MYSQL_RES* res = DbRows(t);
    ZDRow row;
    if (res && mysql_num_rows(res) == 1 && DbNextRow(res, row))
        GetDate(row, 0, dst, cb);
}

// ---- Transactions ----------------------------------------------------------

// Client-side errors (2000 and up: the server gone, the connection lost)
// as opposed to a statement the server rejected.
static bool IsLinkError(unsigned int code)
{
    return code >= 2000;
}

static void TxnFail(ZDTxn& t, const ZDResult& r)
{
    if (!t.failed) {
        t.failed = true;
        t.error = r;
    }
}

static ZDResult LostLink()
{
    ZDResult r;
    r.errCode = 2006;
    r.errText = "MySQL server has gone away";
    return r;
}

// Whether the transaction's connection and server session are still the
// current ones (the lock is held, so no other thread swaps the handle; the
// client library could only reconnect by itself, which is switched off).
static bool TxnLinkHolds(const ZDTxn& t)
{
    return t.conn && g_db.conn == t.conn && mysql_thread_id(t.conn) == t.session;
}

bool TxnBegin(ZDTxn& t)
{
    DbLock();
    t.conn = g_db.conn;
    if (!t.conn) {
        TxnFail(t, LostLink());
        return false;
    }
    // A silent reconnection inside the transaction would run its remaining
    // statements on a new session, each committed on its own.
    my_bool off = 0;
    mysql_options(t.conn, MYSQL_OPT_RECONNECT, &off);
    t.session = mysql_thread_id(t.conn);
    ZDResult r = DbRun("start transaction");
    if (!r.ok) {
        TxnFail(t, r);
        return false;
    }
    return true;
}

ZDResult TxnRun(ZDTxn& t, const std::string& sql)
{
    if (t.failed)
        return t.error;
    if (!TxnLinkHolds(t)) {
        TxnFail(t, LostLink());
        return t.error;
    }
    ZDResult r = DbRun(sql);
    if (!r.ok)
        TxnFail(t, r);
    else if (!TxnLinkHolds(t))
        TxnFail(t, LostLink());
    return t.failed ? t.error : r;
}

long long TxnScalar(ZDTxn& t, const ZDSql& sql)
{
    ZDResult r = TxnRun(t, sql);
    ZDRow row;
    if (!r.ok || !DbNextRow(DbRows(r), row))
        return -1;
    return row.cols[0] ? strtoll(row.cols[0], nullptr, 10) : 0;
}

int TxnEnd(ZDTxn& t, bool bCommit, ZDResult* pFailure)
{
    int outcome;
    if (bCommit && !t.failed) {
        ZDResult r = TxnLinkHolds(t) ? DbRun("commit") : LostLink();
        if (r.ok) {
            outcome = TXN_DONE;
        } else {
            // The commit was sent: whether the server stored it before the
            // connection broke cannot be known from here.
            outcome = IsLinkError(r.errCode) ? TXN_UNKNOWN : TXN_FAILED;
            TxnFail(t, r);
            if (outcome == TXN_FAILED && TxnLinkHolds(t))
                DbRun("rollback");
        }
    } else {
        outcome = t.failed ? TXN_FAILED : TXN_UNDONE;
        // On a lost connection the server has rolled back already.
        if (TxnLinkHolds(t))
            DbRun("rollback");
    }
    DbUnlock();
    if (pFailure && t.failed)
        *pFailure = t.error;
    return outcome;
}

const char kOutcomeUnknown[] = "与数据服务器的连接在提交时中断,无法确认操作是否完成,请刷新后查看.";
const char kConcurrentChange[] = "其他用户同时修改了同一数据,这次操作没有保存,请刷新后再试.";

// ---- Conflicts --------------------------------------------------------------

enum { ER_LOCK_WAIT_TIMEOUT = 1205, ER_LOCK_DEADLOCK = 1213 };

static volatile LONG g_conflictsRetried = 0;
static volatile LONG g_conflictsReported = 0;

bool TxnIsConflict(const ZDResult& failure)
{
    return failure.errCode == ER_LOCK_DEADLOCK || failure.errCode == ER_LOCK_WAIT_TIMEOUT;
}

void TxnBeforeRepeat(int iAttempt)
{
    InterlockedIncrement(&g_conflictsRetried);
    // 2-6 ms, then 4-12, 8-24: sessions that collided seldom collide again.
    DWORD base = 2u << (iAttempt - 1);
    Sleep(base + (DWORD)(GetTickCount() ^ GetCurrentThreadId()) % (2 * base + 1));
}

void TxnConflictReported()
{
    InterlockedIncrement(&g_conflictsReported);
}

void ZTData_ConflictCounts(long* pRetried, long* pReported)
{
    if (pRetried)
        *pRetried = InterlockedCompareExchange(&g_conflictsRetried, 0, 0);
    if (pReported)
        *pReported = InterlockedCompareExchange(&g_conflictsReported, 0, 0);
}

int TxnOutcome(int iOutcome, const ZDResult& failure, ZDBox onError)
{
    switch (iOutcome) {
    case TXN_DONE:
        return 1;
    case TXN_UNKNOWN:
        WriteErrorRecord(failure);
        DbBox(kOutcomeUnknown, kFailCaption, MB_OK);
        return 0;
    case TXN_CONFLICT:
        WriteErrorRecord(failure);
        if (onError.text)
            DbBox(kConcurrentChange, onError.caption && onError.caption[0] ? onError.caption : kFailCaption, MB_OK);
        return 0;
    case TXN_FAILED:
        WriteErrorRecord(failure);
        break;
    default:
        break;
    }
    if (onError.text)
        DbBox(onError.text, onError.caption, MB_OK);
    return 0;
}

int AtomicChange(const ZDSql& sql, ZDBox onError, ZDResult* pResult)
{
    ZDResult failure;
    int outcome = DbTransaction([&](ZDTxn& t) {
        ZDResult r = TxnRun(t, sql);
        if (pResult)
            *pResult = r;
        return r.ok != 0;
    }, &failure, TXN_REPEAT);
    return TxnOutcome(outcome, failure, onError);
}

// ---- Reading rows ----------------------------------------------------------

void AddListLimit(ZDSql& sql)
{
    SqlAdd(sql, " limit 0, %d", (int)ZD_LIST_ROWS);
}

long long ListMatched(int nRows, const ZDSql& fromWhere)
{
    if (nRows < ZD_LIST_ROWS)
        return nRows;
    return DbScalar("select count(*) " + fromWhere.text);
}

bool RunList(const ZDSql& sql, ZDResult& r, bool bRecordError)
{
    if (!CheckConnection())
        return false;
    r = DbRun(sql);
    if (!r.ok && bRecordError)
        WriteErrorRecord(r);
    return r.ok != 0;
}

bool DbNextRow(MYSQL_RES* res, ZDRow& row)
{
    if (!res)
        return false;
    row.cols = mysql_fetch_row(res);
    if (!row.cols)
        return false;
    row.lengths = mysql_fetch_lengths(res);
    row.count = mysql_num_fields(res);
    return true;
}

void CopyField(char* dst, size_t cb, const char* src, size_t len)
{
    if (!dst || cb == 0)
        return;
    size_t n = 0;
    if (src && len) {
        // A text that fits whole is cut only when it ends in half a
        // character, which needs a lead byte at its end: a last byte below
        // the lead bytes spares the look at every byte.
        if (len < cb && static_cast<unsigned char>(src[len - 1]) < 0x81)
            n = len;
        else
            n = Gbk_CutLen(src, len, cb - 1);
        memcpy(dst, src, n);
    }
    dst[n] = '\0';
}

void GetText(const ZDRow& row, unsigned int i, char* dst, size_t cb)
{
    if (i >= row.count) {
        CopyField(dst, cb, nullptr, 0);
        return;
    }
    CopyField(dst, cb, row.cols[i], row.cols[i] ? row.lengths[i] : 0);
}

void GetDate(const ZDRow& row, unsigned int i, char* dst, size_t cb)
{
    if (i < row.count && row.cols[i] && row.cols[i][0] == '0' && strncmp(row.cols[i], "0000-00-00", 10) == 0) {
        CopyField(dst, cb, nullptr, 0);
        return;
    }
    GetText(row, i, dst, cb);
}

// The server sends an integer column as optional minus and decimal digits:
// read here without the C library's general parser; anything else (a
// value too long for this) as strtoll reads it.
static long long ParseInteger(const char* s, unsigned long len)
{
    const char* p = s;
    const char* e = s + len;
    bool neg = p < e && *p == '-';
    if (neg)
        ++p;
    if (p == e || e - p > 18)
        return strtoll(s, nullptr, 10);
    long long v = 0;
    for (; p < e; ++p) {
        unsigned d = static_cast<unsigned char>(*p) - '0';
        if (d > 9)
            return strtoll(s, nullptr, 10);
        v = v * 10 + d;
    }
    return neg ? -v : v;
}

// A decimal column ("-1234.56"): its digits, at most 15, make a whole
// number below 2^53 and the places after the point a power of ten up to
// 10^15, both exact as doubles, so their quotient is the correctly rounded
// value strtod gives.  Anything else (exponents, more digits) goes to strtod.
static double ParseDecimal(const char* s, unsigned long len)
{
    static const double kTens[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    const char* p = s;
    const char* e = s + len;
    bool neg = p < e && *p == '-';
    if (neg)
        ++p;
    long long m = 0;
    int digits = 0, places = -1;
    for (; p < e; ++p) {
        if (*p == '.' && places < 0) {
            places = 0;
            continue;
        }
        unsigned d = static_cast<unsigned char>(*p) - '0';
        if (d > 9 || ++digits > 15)
            return strtod(s, nullptr);
        m = m * 10 + d;
        if (places >= 0)
            ++places;
    }
    if (digits == 0)
        return strtod(s, nullptr);
    double v = places > 0 ? static_cast<double>(m) / kTens[places] : static_cast<double>(m);
    return neg ? -v : v;
}

int GetInt(const ZDRow& row, unsigned int i)
{
    if (i >= row.count || !row.cols[i])
        return 0;
    return (int)ParseInteger(row.cols[i], row.lengths ? row.lengths[i] : (unsigned long)strlen(row.cols[i]));
}

double GetDouble(const ZDRow& row, unsigned int i)
{
    if (i >= row.count || !row.cols[i])
        return 0.0;
    return ParseDecimal(row.cols[i], row.lengths ? row.lengths[i] : (unsigned long)strlen(row.cols[i]));
}

bool IsNull(const ZDRow& row, unsigned int i)
{
    return i >= row.count || !row.cols[i];
}

// ---- Record blocks ----------------------------------------------------------

// The block released last is kept for the next allocation: a list window
// releases its block just before it loads the next one of about the same
// size, and fresh pages cost a page fault each on first touch (a 5000-house
// list spans over two thousand pages).  At most one block is kept.
static void* volatile g_spareBlock = nullptr;

static size_t BlockBytes(void* p)
{
    MEMORY_BASIC_INFORMATION mi;
    if (VirtualQuery(p, &mi, sizeof mi) != sizeof mi)
        return 0;
    return mi.RegionSize;
}

void* AllocBlockDirty(size_t count, size_t cb, bool* pZeroed)
{
    size_t bytes = count * cb;
    if (bytes == 0)
        bytes = 1;
    void* spare = InterlockedExchangePointer((void* volatile*)&g_spareBlock, nullptr);
    if (spare) {
        size_t have = BlockBytes(spare);
        if (have >= bytes && have / 2 <= bytes) {
            *pZeroed = false;
            return spare;
        }
        // Not this request's size: keep it for the next one.
        if (InterlockedCompareExchangePointer((void* volatile*)&g_spareBlock, spare, nullptr) != nullptr)
            VirtualFree(spare, 0, MEM_RELEASE);
    }
    // Committed pages come zero-filled.
    *pZeroed = true;
    return VirtualAlloc(nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
}

void* AllocBlock(size_t count, size_t cb)
{
    bool zeroed = false;
    void* p = AllocBlockDirty(count, cb, &zeroed);
    if (p && !zeroed)
        memset(p, 0, count * cb > 0 ? count * cb : 1);
    return p;
}

// A block larger than this goes back to the system when released: a bounded
// list's block is well under it, and a gigabyte kept for a list that is
// never loaded again would stay with the process until it ends.
static const size_t kSpareMaxBytes = 64u << 20;

void FreeBlock(void* p)
{
    if (!p)
        return;
    if (BlockBytes(p) > kSpareMaxBytes) {
        VirtualFree(p, 0, MEM_RELEASE);
        return;
    }
    void* old = InterlockedExchangePointer((void* volatile*)&g_spareBlock, p);
    if (old)
        VirtualFree(old, 0, MEM_RELEASE);
}
