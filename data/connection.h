// ZTData: the one server connection, the login check and password reset.
#pragma once
#include "common/platform.h"
#include "common/zt_box.h"

// Sent to the settings' owner window after each error-log entry: wParam 1,
// lParam the entry text (valid only during the call).
#define WM_DB_ERROR (WM_USER + 500)

// Connection settings, filled by the program and kept by address: the record
// must stay valid and unchanged until MYSQL_Terminal.
struct tagZT_SQL_MATION {
    HWND hOwner;            // owner of the reconnection prompt, target of WM_DB_ERROR
    const char* pszAppDir;  // program folder (passed to the field cipher)
    int32_t iLoginEmp;      // logged-in employee; set by the program after login
    char szUser[33];
    char szPwd[257];        // enciphered with CipherPwd
    char szHost[38];
    char szDatabase[51];
    char szCharset[17];
    int32_t iPort;          // 0: client library default
    int32_t iConnectTimeout;
    int32_t iReadTimeout;
    int32_t iWriteTimeout;  // carried for the caller, not applied
    int32_t bSsl;           // 1: the connection must be encrypted (TLS)
    char szSslCa[260];      // CA certificate file; when given, the server's certificate is verified
    // The servers to try in order, as config.ini's HOST names several
    // ("host[:port],host[:port],..."; an entry without a port has iPort).
    // Empty: the one server szHost, iPort.
    char szServers[256];
};

// Connects; 1 when connected, 0 otherwise (an error-log entry is written).
// With several servers the first that answers is used: one that refuses,
// cannot be reached or is a cluster node not ready for statements (a Galera
// node outside the cluster's primary part) is passed over.  A lost
// connection is reconnected the same way, the servers tried in order
// before the user is asked.
ZTDATA_API int MYSQL_Init(tagZT_SQL_MATION* pMation);
// Closes the connection, stops the liveness timer, deletes the lock.
ZTDATA_API void MYSQL_Terminal();
// The client library's error number of the connection's last call (0 when
// it succeeded or there is no connection): after a failed MYSQL_Init, why it
// failed (2002/2003 server unreachable, 1045 account refused, 1049 unknown
// database, ...).
ZTDATA_API unsigned int MYSQL_ErrorNumber();
// The last entry the calling thread wrote to the error log: its error
// number into *pCode and the server's reason into psz (cb bytes, cut on a
// whole character), when given.  Returns how many entries the thread has
// written so far (0: none, and *pCode 0, psz ""): a caller that reads it
// before and after a call knows whether the call met an error.
ZTDATA_API long ZTData_LastError(unsigned int* pCode, char* psz, size_t cb);
// How many message boxes the library has shown (or its hook has answered)
// on the calling thread so far: a caller that reads it before and after a
// call knows whether the call has told the user something itself.
ZTDATA_API long ZTData_BoxesShown();
// The most rows a bounded list reads: the newest of its filter.
#define ZT_LIST_ROWS 5000
// "host:port" of the server the connection is on; after a failed connection
// the server whose failure MYSQL_ErrorNumber tells (of several, the last
// that answered with a refusal, else the last tried).  "" before any.
ZTDATA_API void ZTData_ServerName(char* psz, size_t cb);
// Transactions the cluster refused because another node changed the same
// rows at the same moment, since the start: those run again and those
// reported to the user (with the saves refused because another desk had
// saved the same record since its form loaded it).
ZTDATA_API void ZTData_ConflictCounts(long* pRetried, long* pReported);
// The login check of an employee's password, handed over enciphered with
// CipherPwd: 1 when it is his, 0 for a wrong password (or no such
// employee); -1 when the check could not be made (no connection, or a
// server error, which is written to the error log).  The database keeps a
// salted hash (cipher/password.h); a password an older database still keeps
// enciphered is accepted and re-stored as a hash at this login.  It shows no
// box of its own besides the reconnection prompt: the caller says what
// failed.  Every attempt made writes a "用户登录" row to the operation log.
ZTDATA_API int FD_LG_Check(int iEmp, const char* pszPwd);
// After FD_LG_Check returned 1: 1 when that employee must choose a new
// password before he works (a reset's one-time password, the seed
// password), else 0.
ZTDATA_API int FD_LG_MustChange();
// Sets an employee's password (handed over enciphered) as a password he
// must change at his next login; 1 on success.
ZTDATA_API int FD_Pwd_Reset(int iOpEmp, int iEmp, const char* pszPwd);
// Binary-log file name into pszBuf (at least MAX_PATH bytes): selector 0 asks
// "Show master Status", otherwise "SHOW BINARY LOGS".  Returns pszBuf or null
// (also when the account lacks the server's BINLOG MONITOR right, which the
// program's own account is not given).
ZTDATA_API char* FD_GetLogName(char* pszBuf, int iSelector);

// Where "errlog.log" is written: the first of the two folders (either may be
// null or empty) in which the file can be opened for appending; a missing
// folder is created first.  Without folders (the default) it is the file of
// that name in the current folder.
ZTDATA_API void ZTData_SetErrorLogFolders(const char* pszFirst, const char* pszSecond);
// The full path of the error log the last entry was written to, or, before
// any entry, where the next one goes first.  Returns 1; 0 when the last
// entry could not be written anywhere (psz then names the first place tried).
ZTDATA_API int ZTData_ErrorLogPath(char* psz, size_t cb);

// The message-box seam of ZTData: every box the library shows goes through it.
ZTDATA_API ZT_MSGBOX_HOOK ZTData_SetMessageBoxHook(ZT_MSGBOX_HOOK hook);
