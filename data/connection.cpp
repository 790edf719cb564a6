// The one connection: opening, the liveness check with its reconnection
// prompt, the one-minute timer, the login check and password reset.
#include "data/db_core.h"
#include "data/db_state.h"
#include "cipher/cipher.h"
#include "data/test_hooks.h"

#include <mmsystem.h>

ZDState g_db = {nullptr, nullptr, 0, 0};

static CRITICAL_SECTION* LibraryLock()
{
    static CRITICAL_SECTION* cs = [] {
        CRITICAL_SECTION* p = new CRITICAL_SECTION;
        InitializeCriticalSection(p);
        return p;
    }();
    return cs;
}

void DbLock() { EnterCriticalSection(LibraryLock()); }
void DbUnlock() { LeaveCriticalSection(LibraryLock()); }

ZT_MSGBOX_HOOK ZTData_SetMessageBoxHook(ZT_MSGBOX_HOOK hook)
{
    return ZT_SetMessageBoxHookLocal(hook);
}

// Opens a new connection from the settings and makes it the library's,
// releasing the previous handle.  Returns the handle when connected, null
// otherwise (the failed handle stays current so its error can be read).
static MYSQL* OpenConnection(tagZT_SQL_MATION* m)
{
    char pwd[257];
    memcpy(pwd, m->szPwd, sizeof pwd);
    pwd[sizeof pwd - 1] = '\0';
    CipherPwd(m->pszAppDir, pwd, CIPHER_DECODE);

    MYSQL* conn = mysql_init(nullptr);
    if (!conn)
        return nullptr;
    if (m->iConnectTimeout > 0) {
        unsigned int v = (unsigned int)m->iConnectTimeout;
        mysql_options(conn, MYSQL_OPT_CONNECT_TIMEOUT, &v);
    }
    if (m->iReadTimeout > 0) {
        unsigned int v = (unsigned int)m->iReadTimeout;
        mysql_options(conn, MYSQL_OPT_READ_TIMEOUT, &v);
    }
    if (m->szCharset[0])
        mysql_options(conn, MYSQL_SET_CHARSET_NAME, m->szCharset);

    // Connecting can take up to the connect timeout: it is done outside the
    // lock, and only the swap of handles is guarded.
    MYSQL* ok = mysql_real_connect(conn, m->szHost, m->szUser, pwd, m->szDatabase, (unsigned int)m->iPort,
                                   nullptr, CLIENT_FOUND_ROWS | CLIENT_INTERACTIVE | CLIENT_MULTI_STATEMENTS);
    SecureZeroMemory(pwd, sizeof pwd);

    DbLock();
    MYSQL* old = g_db.conn;
    g_db.conn = conn;
    if (old)
        mysql_close(old);
    DbUnlock();
    return ok ? conn : nullptr;
}

int CheckConnection()
{
    tagZT_SQL_MATION* m = g_db.mation;
    if (!m)
        return 0;
    DbLock();
    int alive = g_db.conn && mysql_ping(g_db.conn) == 0;
    DbUnlock();
    if (alive)
        return 1;

    // One thread reconnects at a time; others give up their operation.
    if (InterlockedExchange(&g_db.reconnecting, 1))
        return 0;
    for (;;) {
        if (OpenConnection(m))
            break;
        HWND owner = (m->hOwner && IsWindow(m->hOwner)) ? m->hOwner : nullptr;
        int answer = ZT_MessageBox(owner,
                                   "选择\"是\"重新连接\n选择\"否\"1分钟后重新连接\r建议确认服务器正常运行下,请选择\"是\"",
                                   "与数据服务器断开连接", MB_YESNO);
        if (answer != IDYES)
            break;
    }
    InterlockedExchange(&g_db.reconnecting, 0);
    return 0;
}

static void CALLBACK LivenessTick(UINT, UINT, DWORD_PTR, DWORD_PTR, DWORD_PTR)
{
    CheckConnection();
}

void ZTData_TestSetLivenessPeriod(UINT uMilliseconds)
{
    if (g_db.timer)
        timeKillEvent(g_db.timer);
    g_db.timer = timeSetEvent(uMilliseconds, 0, LivenessTick, 0, TIME_PERIODIC | TIME_CALLBACK_FUNCTION);
}

int MYSQL_Init(tagZT_SQL_MATION* pMation)
{
    if (!pMation)
        return 0;
    g_db.mation = pMation;
    if (!OpenConnection(pMation)) {
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

int FD_LG_Check(int iEmp, const char* pszPwd)
{
    if (!CheckConnection())
        return 0;
    ZDSql sql;
    SqlAdd(sql, "select count(*) from t_employee");
    SqlAdd(sql, " where iOrdinal = %d and szPwd = '%s'", iEmp, pszPwd);
    // Every attempt is logged before the check, whatever its outcome.
    WriteOpLog(iEmp, OBJ_LOGIN, iEmp, ACT_LOGIN);
    long long n = DbScalar(sql.text);
    return n > 0 ? (int)n : 0;
}

int FD_Pwd_Reset(int, int iEmp, const char* pszPwd)
{
    if (!CheckConnection())
        return 0;
    ZDSql sql;
    SqlAdd(sql, "update t_employee set");
    SqlAdd(sql, " szPwd = '%s'", pszPwd);
    SqlAdd(sql, " where iOrdinal = %d", iEmp);
    ZDResult r = DbRun(sql);
    if (!r.ok) {
        WriteErrorRecord(r);
        DbBox("执行语句发生错误.详细请错误日志", "", MB_OK);
        return 0;
    }
    if (DbAffected(r) == 0) {
        WriteErrorRecord();
        DbBox("修改密码出错.详细请错误日志", "", MB_OK);
        return 0;
    }
    WriteOpLog(iEmp, OBJ_EMPLOYEE, iEmp, ACT_PASSWORD);
    return 1;
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
