// The one connection: opening, the liveness check with its reconnection
// prompt, the one-minute timer, the login check and password reset.
#include "data/db_core.h"
#include "data/encrypted_connect.h"
#include "data/oplog.h"
#include "data/db_state.h"
#include "data/passwords.h"
#include "cipher/cipher.h"
#include "data/test_hooks.h"
#include "common/servers.h"

#include <mmsystem.h>

ZDState g_db = {nullptr, nullptr, 0, 0, 0, "", ""};

// A lock made on its first use and never destroyed (threads may still take
// it while the program ends).
static CRITICAL_SECTION* NewLock()
{
    CRITICAL_SECTION* p = new CRITICAL_SECTION;
    InitializeCriticalSection(p);
    return p;
}

static CRITICAL_SECTION* LibraryLock()
{
    static CRITICAL_SECTION* cs = NewLock();
    return cs;
}

void DbLock() { EnterCriticalSection(LibraryLock()); }
void DbUnlock() { LeaveCriticalSection(LibraryLock()); }

ZT_MSGBOX_HOOK ZTData_SetMessageBoxHook(ZT_MSGBOX_HOOK hook)
{
    return ZT_SetMessageBoxHookLocal(hook);
}

// How long the connection check waits for the server's answer, in seconds:
// 2, or half the connect time-out when that is shorter (at least 1).  A
// server that left it unanswered is given as long to connect again, so a
// frozen server holds an operation no longer than the connect time-out.
static unsigned int CheckSeconds(const tagZT_SQL_MATION* m)
{
    unsigned int s = 2;
    if (m && m->iConnectTimeout > 0 && (unsigned int)m->iConnectTimeout / 2 < s)
        s = (unsigned int)m->iConnectTimeout / 2;
    return s > 0 ? s : 1;
}

// A new client handle with the settings' options.  bVerify asks the client
// library to insist on a server certificate it trusts; bSilent gives a
// server that left the connection check unanswered the check's time to
// connect.
static MYSQL* NewHandle(const tagZT_SQL_MATION* m, bool bVerify, bool bSeveral, bool bSilent)
{
    MYSQL* conn = mysql_init(nullptr);
    if (!conn)
        return nullptr;
    // With several servers one that does not answer must not hold up the
    // others for the system's own time-out (minutes).
    unsigned int connectTimeout = m->iConnectTimeout > 0 ? (unsigned int)m->iConnectTimeout : (bSeveral ? 10u : 0u);
    if (bSilent && (connectTimeout == 0 || CheckSeconds(m) < connectTimeout))
        connectTimeout = CheckSeconds(m);
    if (connectTimeout > 0)
        mysql_options(conn, MYSQL_OPT_CONNECT_TIMEOUT, &connectTimeout);
    if (m->iReadTimeout > 0) {
        unsigned int v = (unsigned int)m->iReadTimeout;
        mysql_options(conn, MYSQL_OPT_READ_TIMEOUT, &v);
    }
    if (m->szCharset[0])
        mysql_options(conn, MYSQL_SET_CHARSET_NAME, m->szCharset);
    if (m->bSsl || m->szSslCa[0]) {
        // With a CA file the server must also prove who it is (its
        // certificate names the host connected to).
        my_bool on = 1;
        mysql_options(conn, MYSQL_OPT_SSL_ENFORCE, &on);
        if (m->szSslCa[0])
            mysql_options(conn, MYSQL_OPT_SSL_CA, m->szSslCa);
        if (m->szSslCa[0] || bVerify)
            mysql_options(conn, MYSQL_OPT_SSL_VERIFY_SERVER_CERT, &on);
    }
    return conn;
}

// The servers of the settings in the order they are tried.
static int ServersOf(const tagZT_SQL_MATION* m, ZT_SERVER* out)
{
    if (m->szServers[0]) {
        int n = ZT_ParseServers(m->szServers, m->iPort, out);
        if (n > 0)
            return n;
    }
    CopyField(out[0].szHost, sizeof out[0].szHost, m->szHost);
    out[0].iPort = m->iPort;
    out[0].bOwnPort = false;
    return 1;
}

// Connects to one server.  The handle comes back connected (*pOk true) or
// failed (its error readable), or null when none could be made.  Asked for
// encryption it is encrypted or not made, and against a server without
// encryption nothing but the greeting's answer leaves this machine: the
// refusal (2026) comes before the account is sent.
static MYSQL* ConnectTo(const tagZT_SQL_MATION* m, const ZT_SERVER& s, const char* pwd, bool bSeveral, bool bSilent,
                        bool* pOk)
{
    const unsigned long flags = CLIENT_FOUND_ROWS | CLIENT_INTERACTIVE | CLIENT_MULTI_STATEMENTS;
    auto connect = [&](MYSQL* conn) {
        return mysql_real_connect(conn, s.szHost, m->szUser, pwd, m->szDatabase, (unsigned int)s.iPort, nullptr,
                                  flags);
    };
    if (m->bSsl || m->szSslCa[0])
        return ZT_ConnectEncrypted([&](bool bVerify) { return NewHandle(m, bVerify, bSeveral, bSilent); }, connect,
                                   m->szSslCa[0] != 0, pOk);
    MYSQL* conn = NewHandle(m, false, bSeveral, bSilent);
    if (!conn)
        return nullptr;
    *pOk = connect(conn) != nullptr;
    return conn;
}

// Runs a batch on a connection of its own (not yet the library's) and
// reads every result; the rows' first two columns, as name and value, in
// order.  False when the server refused it.
typedef std::vector<std::pair<std::string, std::string>> NamedValues;

static bool ReadValues(MYSQL* conn, const char* sql, NamedValues* values)
{
    if (mysql_real_query(conn, sql, (unsigned long)strlen(sql)) != 0)
        return false;
    for (;;) {
        if (MYSQL_RES* res = mysql_store_result(conn)) {
            while (MYSQL_ROW row = mysql_fetch_row(res))
                if (values && mysql_num_fields(res) > 1)
                    values->emplace_back(row[0] ? row[0] : "", row[1] ? row[1] : "");
            mysql_free_result(res);
        } else if (mysql_field_count(conn) != 0) {
            return false;
        }
        int next = mysql_next_result(conn);
        if (next == -1)
            return true;
        if (next > 0)
            return false;
    }
}

static std::string ValueOf(const NamedValues& v, const char* name)
{
    for (const auto& nv : v)
        if (lstrcmpiA(nv.first.c_str(), name) == 0)
            return nv.second;
    return "";
}

// Whether a server takes statements.  A Galera node outside the cluster's
// primary component (the cluster has lost its majority, or the node is cut
// off from it) answers pings but refuses statements; a server without
// Galera always takes them.  After a failover (bCatchUp) the node first
// applies every change the cluster has committed, so what this program
// stored through the node it left is seen at once.
enum NodeState { NODE_READY, NODE_NOT_PRIMARY, NODE_NOT_READY };

static NodeState NodeReady(MYSQL* conn, bool bCatchUp)
{
    NamedValues v;
    if (!ReadValues(conn,
                    "SHOW VARIABLES LIKE 'wsrep_on';"
                    " SHOW STATUS WHERE Variable_name IN ('wsrep_ready', 'wsrep_cluster_status')",
                    &v))
        return NODE_NOT_READY;
    if (lstrcmpiA(ValueOf(v, "wsrep_on").c_str(), "ON") != 0)
        return NODE_READY;
    if (lstrcmpiA(ValueOf(v, "wsrep_cluster_status").c_str(), "Primary") != 0)
        return NODE_NOT_PRIMARY;
    if (lstrcmpiA(ValueOf(v, "wsrep_ready").c_str(), "ON") != 0)
        return NODE_NOT_READY;
    if (bCatchUp &&
        !ReadValues(conn, "SET SESSION wsrep_sync_wait = 1; SELECT 1; SET SESSION wsrep_sync_wait = 0", nullptr))
        return NODE_NOT_READY;
    return NODE_READY;
}

// Why the last connection attempt failed when no handle tells it (a
// server that answered but was not ready): 1047, as such a node answers
// statements, with the reason.
static unsigned int g_failCode = 0;
static const char* g_failText = "";
static const char kNotReady[] = "WSREP has not yet prepared node for application use";
static const char kNotPrimary[] =
    "WSREP has not yet prepared node for application use (wsrep_cluster_status non-Primary: the node is not part "
    "of the cluster's primary component)";

// The order in which the servers are tried: as listed, but a server that
// left the connection check unanswered (a frozen one would hold the attempt
// for the connect time-out) comes last; *pSilent is its place, or -1.
static void ServerOrder(const ZT_SERVER* servers, int n, int* order, int* pSilent)
{
    int k = 0;
    char name[64];
    *pSilent = -1;
    for (int pass = 0; pass < 2; ++pass)
        for (int i = 0; i < n; ++i) {
            ZT_ServerName(servers[i], name, sizeof name);
            bool silent = g_db.silent[0] && strcmp(name, g_db.silent) == 0;
            if (silent != (pass == 1))
                continue;
            if (silent)
                *pSilent = i;
            order[k++] = i;
        }
}

// Opens a new connection from the settings and makes it the library's,
// releasing the previous handle.  With several servers they are tried in
// order.  Returns the handle when connected, null otherwise (then a failed
// handle stays current so its error can be read: of several, the last
// server that refused, a cluster node outside the primary component
// included, else the last that could not be reached).
static MYSQL* OpenConnection(tagZT_SQL_MATION* m, bool bReconnect)
{
    char pwd[257];
    memcpy(pwd, m->szPwd, sizeof pwd);
    pwd[sizeof pwd - 1] = '\0';
    CipherPwd(m->pszAppDir, pwd, CIPHER_DECODE);

    ZT_SERVER servers[ZT_MAX_SERVERS];
    int n = ServersOf(m, servers);
    bool bSeveral = n > 1;
    int order[ZT_MAX_SERVERS];
    int silent = -1;
    DbLock();
    ServerOrder(servers, n, order, &silent);
    DbUnlock();
    // Connecting can take up to the connect timeout: it is done outside the
    // lock, and only the swap of handles is guarded.
    MYSQL* conn = nullptr;     // connected, or the failure to keep
    bool bConnected = false;
    int failAt = -1;           // the server of the kept failure
    bool bRefused = false;     // the kept failure is a server's refusal
    unsigned int failCode = 0;
    const char* failText = "";
    for (int k = 0; k < n && !bConnected; ++k) {
        int i = order[k];
        bool ok = false;
        MYSQL* c = ConnectTo(m, servers[i], pwd, bSeveral, i == silent, &ok);
        NodeState state = ok ? NodeReady(c, bReconnect) : NODE_READY;
        if (ok && state != NODE_READY) {
            // Answered, but takes no statements: a refusal, told by its
            // reason (a fresh handle carries no error of its own).
            mysql_close(c);
            c = mysql_init(nullptr);
            if (!c)
                continue;
            if (conn)
                mysql_close(conn);
            conn = c;
            failAt = i;
            bRefused = true;
            failCode = 1047;
            failText = state == NODE_NOT_PRIMARY ? kNotPrimary : kNotReady;
            continue;
        }
        if (ok) {
            if (conn)
                mysql_close(conn);
            conn = c;
            failAt = i;
            bConnected = true;
            break;
        }
        if (!c)
            continue;
        bool bRefusal = mysql_errno(c) < 2000;
        if (!conn || bRefusal || !bRefused) {
            if (conn)
                mysql_close(conn);
            conn = c;
            failAt = i;
            bRefused = bRefusal;
            failCode = 0;
            failText = "";
        } else {
            mysql_close(c);
        }
    }
    SecureZeroMemory(pwd, sizeof pwd);
    if (!conn)
        return nullptr;

    DbLock();
    MYSQL* old = g_db.conn;
    g_db.conn = conn;
    g_db.stale = 0;
    g_failCode = bConnected ? 0 : failCode;
    g_failText = bConnected ? "" : failText;
    if (failAt >= 0)
        ZT_ServerName(servers[failAt], g_db.server, sizeof g_db.server);
    if (bConnected && strcmp(g_db.server, g_db.silent) == 0)
        g_db.silent[0] = '\0';   // it answers again
    if (old)
        mysql_close(old);
    DbUnlock();
    return bConnected ? conn : nullptr;
}

void ConnectionError(unsigned int* pCode, std::string* pText)
{
    DbLock();
    *pCode = g_db.conn ? mysql_errno(g_db.conn) : 0;
    *pText = g_db.conn ? mysql_error(g_db.conn) : "";
    if (*pCode == 0 && g_failCode) {
        *pCode = g_failCode;
        *pText = g_failText;
    }
    DbUnlock();
}

void ZTData_ServerName(char* psz, size_t cb)
{
    if (!psz || !cb)
        return;
    DbLock();
    CopyField(psz, cb, g_db.server);
    DbUnlock();
}

// ---- The reconnection prompt ----------------------------------------------------
// One thread at a time reconnects, asking while reconnecting fails; its
// thread id is g_db.reconnecting.  Every other thread that needs the
// connection meanwhile waits for the outcome of that round instead of
// asking a second time.

static CRITICAL_SECTION* PromptLock()
{
    static CRITICAL_SECTION* cs = NewLock();
    return cs;
}

static HANDLE g_roundDone = nullptr;   // set when a round ends (manual reset)
static LONG g_rounds = 0;              // rounds ended so far
static int g_lastOutcome = 0;          // 1: the last round reconnected

static bool IsOurWindow(HWND h)
{
    DWORD pid = 0;
    return h && IsWindow(h) && IsWindowVisible(h) && GetWindowThreadProcessId(h, &pid) &&
           pid == GetCurrentProcessId();
}

// The window the prompt and the failure box belong to: the caller's own
// active window (the dialog in front of the frame, the login dialog), else
// the active window of the settings' owner's thread (a worker's busy dialog
// or the frame), else our foreground window, else the settings' owner.
static HWND BoxOwner(const tagZT_SQL_MATION* m)
{
    HWND h = GetActiveWindow();
    if (IsOurWindow(h))
        return h;
    HWND owner = (m && m->hOwner && IsWindow(m->hOwner)) ? m->hOwner : nullptr;
    if (owner) {
        GUITHREADINFO gi;
        memset(&gi, 0, sizeof gi);
        gi.cbSize = sizeof gi;
        if (GetGUIThreadInfo(GetWindowThreadProcessId(owner, nullptr), &gi) && IsOurWindow(gi.hwndActive))
            return gi.hwndActive;
    }
    h = GetForegroundWindow();
    if (IsOurWindow(h))
        return h;
    return owner;
}

// ---- The check's own time-out ---------------------------------------------------
// A ping waits for the server's answer as long as a statement may (the read
// time-out): a server that keeps the connection but no longer answers (a
// frozen process, a machine gone from the network) would hold every
// operation that long, and the reconnection after it as long again.  The
// check therefore has a time of its own: a watchdog thread, started with
// the first check, looks at the ping in flight a few times a second and
// breaks the connection (mariadb_cancel shuts its socket down) of one that
// has waited longer; the ping then fails at once.  Arming it costs the
// check no system call.  The checking thread holds the library lock, so
// the connection is still used by one thread at a time; the watchdog only
// shuts down its socket, while the pinging thread waits.

static volatile LONG g_pingTicket = 0;    // the ping in flight (0: none)
static volatile LONG g_pingStart = 0;     // when it began (GetTickCount)
static volatile LONG g_pingLimit = 0;     // how long it may take, ms
static volatile LONG g_pingBroken = 0;    // the ping whose connection the watchdog broke
static MYSQL* volatile g_pingConn = nullptr;
static LONG g_pingTickets = 0;            // (under the library lock)

static LONG ReadLong(volatile LONG* p)
{
    return InterlockedCompareExchange(p, 0, 0);
}

static DWORD WINAPI PingWatchdog(LPVOID)
{
    for (;;) {
        Sleep(200);
        LONG ticket = ReadLong(&g_pingTicket);
        if (ticket <= 0)
            continue;
        LONG start = ReadLong(&g_pingStart);
        LONG limit = ReadLong(&g_pingLimit);
        // (The start read belongs to this ping when the ticket is still it.)
        if (ReadLong(&g_pingTicket) != ticket || (LONG)(GetTickCount() - (DWORD)start) < limit)
            continue;
        if (InterlockedCompareExchange(&g_pingTicket, -ticket, ticket) != ticket)
            continue;   // answered meanwhile
        mariadb_cancel(g_pingConn);
        InterlockedExchange(&g_pingBroken, ticket);
    }
}

// Pings the connection (the lock held): 1 answered, 0 failed, -1 no answer
// in ms milliseconds (the connection is then broken).
static int PingWithin(DWORD ms)
{
    static bool bWatched = false;
    if (!bWatched) {
        HANDLE h = CreateThread(nullptr, 0, PingWatchdog, nullptr, 0, nullptr);
        if (h) {
            CloseHandle(h);
            bWatched = true;
        }
    }
    LONG ticket = ++g_pingTickets;
    if (ticket <= 0)
        ticket = g_pingTickets = 1;
    g_pingConn = g_db.conn;
    InterlockedExchange(&g_pingStart, (LONG)GetTickCount());
    InterlockedExchange(&g_pingLimit, (LONG)ms);
    InterlockedExchange(&g_pingTicket, ticket);
    int alive = mysql_ping(g_db.conn) == 0;
    if (InterlockedCompareExchange(&g_pingTicket, 0, ticket) == ticket)
        return alive;
    // The watchdog is breaking it: the connection is left once it is done.
    while (ReadLong(&g_pingBroken) != ticket)
        Sleep(1);
    InterlockedExchange(&g_pingTicket, 0);
    return -1;
}

static bool Ping()
{
    DbLock();
    // (A node found refusing statements is left at the next check.)
    bool alive = false;
    if (g_db.conn && !g_db.stale) {
        int r = PingWithin(CheckSeconds(g_db.mation) * 1000u);
        if (r < 0)
            CopyField(g_db.silent, sizeof g_db.silent, g_db.server);
        alive = r == 1;
    }
    DbUnlock();
    return alive;
}

// Reconnects, asking while reconnecting fails: 1 when the connection is
// back, 0 when the user chose to wait ("No").
static int ReconnectAsking(tagZT_SQL_MATION* m)
{
    for (;;) {
        if (OpenConnection(m, true))
            return 1;
        int answer = ZT_MessageBox(BoxOwner(m),
                                   "选择\"是\"重新连接\n选择\"否\"1分钟后重新连接\r建议确认服务器正常运行下,请选择\"是\"",
                                   "与数据服务器断开连接", MB_YESNO);
        if (answer != IDYES)
            return 0;
    }
}

// Waits until the round in progress has ended.  A thread with windows keeps
// answering messages sent to it (the prompt of another thread may be owned
// by one of its windows), but takes no input meanwhile.
static void WaitForRound(HANDLE done, LONG round)
{
    for (;;) {
        EnterCriticalSection(PromptLock());
        bool ended = g_rounds != round;
        LeaveCriticalSection(PromptLock());
        if (ended)
            return;
        if (MsgWaitForMultipleObjects(1, &done, FALSE, 200, QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1) {
            MSG msg;
            PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        }
    }
}

// The connection check.  1 when the connection is alive, also after a
// reconnection (silent, or after "Yes"); 0 when it is not.  With bReport an
// operation that cannot go on says so, in one box: the prompt this thread
// showed (its "No" gives up the operation), else a failure box (the thread
// waited for another thread's prompt, or was asked from inside its own).
static int CheckLink(int bReport)
{
    tagZT_SQL_MATION* m = g_db.mation;
    if (!m)
        return 0;
    if (Ping())
        return 1;

    DWORD me = GetCurrentThreadId();
    EnterCriticalSection(PromptLock());
    if (!g_roundDone)
        g_roundDone = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE done = g_roundDone;
    LONG round = g_rounds;
    DWORD asking = static_cast<DWORD>(g_db.reconnecting);
    if (!asking) {
        g_db.reconnecting = static_cast<LONG>(me);
        ResetEvent(done);
    }
    LeaveCriticalSection(PromptLock());

    int ok = 0;
    bool bAsked = false;
    if (!asking) {
        // Another thread may have reconnected since the ping above.
        ok = Ping() ? 1 : ReconnectAsking(m);
        bAsked = !ok;   // (a failed round has asked at least once)
        EnterCriticalSection(PromptLock());
        g_lastOutcome = ok;
        ++g_rounds;
        g_db.reconnecting = 0;
        SetEvent(done);
        LeaveCriticalSection(PromptLock());
    } else if (asking != me) {
        WaitForRound(done, round);
        EnterCriticalSection(PromptLock());
        ok = g_lastOutcome;
        LeaveCriticalSection(PromptLock());
    }
    // (asking == me: asked again from inside its own prompt; it fails.)
    if (!ok && bReport && !bAsked)
        ZT_MessageBox(BoxOwner(m), "未连接到数据服务器,操作没有完成", "操作失败", MB_OK);
    return ok;
}

int CheckConnection()
{
    return CheckLink(1);
}

// The one-minute check: no operation is waiting for it, so a declined
// reconnection is not reported.
static void CALLBACK LivenessTick(UINT, UINT, DWORD_PTR, DWORD_PTR, DWORD_PTR)
{
    CheckLink(0);
}

void ZTData_TestSetLivenessPeriod(UINT uMilliseconds)
{
    if (g_db.timer)
        timeKillEvent(g_db.timer);
    g_db.timer = timeSetEvent(uMilliseconds, 0, LivenessTick, 0, TIME_PERIODIC | TIME_CALLBACK_FUNCTION);
}

int ZTData_TestSessionCounts(long* pStatements, long* pPings)
{
    ZDResult r = DbRun("show session status where variable_name in ('Questions', 'Com_admin_commands')");
    if (!r.ok)
        return 0;
    long q = 0, pings = 0;
    ZDRow row;
    for (MYSQL_RES* res = DbRows(r); DbNextRow(res, row);) {
        long v = row.cols[1] ? strtol(row.cols[1], nullptr, 10) : 0;
        if (row.cols[0] && lstrcmpiA(row.cols[0], "Questions") == 0)
            q = v;
        else
            pings = v;
    }
    if (pStatements)
        *pStatements = q;
    if (pPings)
        *pPings = pings;
    return 1;
}

int MYSQL_Init(tagZT_SQL_MATION* pMation)
{
    if (!pMation)
        return 0;
    g_db.mation = pMation;
    if (!OpenConnection(pMation, false)) {
        WriteErrorRecord();
        return 0;
    }
    LibraryLock();
    if (!g_db.timer)
        g_db.timer = timeSetEvent(60000, 0, LivenessTick, 0, TIME_PERIODIC | TIME_CALLBACK_FUNCTION);
    return 1;
}

void MYSQL_Terminal()
{
    g_db.mation = nullptr;
    if (g_db.timer) {
        timeKillEvent(g_db.timer);
        g_db.timer = 0;
    }
    DbLock();
    if (g_db.conn)
        mysql_close(g_db.conn);
    g_db.conn = nullptr;
    DbUnlock();
}

unsigned int MYSQL_ErrorNumber()
{
    unsigned int n = 0;
    std::string text;
    ConnectionError(&n, &text);
    return n;
}

int FD_LG_Check(int iEmp, const char* pszPwd)
{
    // The caller tells the user why a check could not be made.
    if (!CheckLink(0))
        return -1;
    return CheckLoginPassword(iEmp, pszPwd);
}

char* FD_GetLogName(char* pszBuf, int iSelector)
{
    if (!pszBuf)
        return nullptr;
    ZDResult r = DbRun(iSelector == 0 ? "Show master Status" : "SHOW BINARY LOGS");
    if (!r.ok) {
        WriteErrorRecord(r);
        return nullptr;
    }
    MYSQL_RES* res = DbRows(r);
    if (!res)
        return nullptr;
    my_ulonglong n = mysql_num_rows(res);
    if (n > 1)
        mysql_data_seek(res, n - 2);
    else if (!(n == 1 && iSelector == 0))
        return nullptr;
    ZDRow row;
    if (!DbNextRow(res, row))
        return nullptr;
    GetText(row, 0, pszBuf, MAX_PATH);
    return pszBuf;
}
